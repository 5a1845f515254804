#include "tlStdoutCapture.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"
#include "tlgLayoutDesignerClient.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>

namespace {

// Stands in for the designer: runs until the test ends it by its process id.
const QByteArray standIn = "#!/bin/sh\nexec sleep 600\n";
const int endWithinMs = 10000;

}

class DesignerClientTest : public QObject
{
    Q_OBJECT

private slots:
    void missingDesignerIsReported();
    void startsOnceAndAgainAfterItEnded();

private:
    QTemporaryDir dir;
};

void DesignerClientTest::missingDesignerIsReported()
{
    tlgLayoutDesignerClient client(dir.path());
    const QString path = dir.filePath(QStringLiteral("Layout Designer"));
    QCOMPARE(client.designerBinaryPath(), path);
    tlStdoutCapture capture;
    QVERIFY(!client.launch());
    QCOMPARE(capture.text(),
             QStringLiteral("tlgLayoutDesignerClient::ensureRunning(): The binary '%1' does not exist.\n").arg(path));
    QCOMPARE(tlgLayoutDesignerClient().designerBinaryPath(),
             QCoreApplication::applicationDirPath() + QStringLiteral("/Layout Designer"));
}

void DesignerClientTest::startsOnceAndAgainAfterItEnded()
{
    QTemporaryDir folder;
    const QString path = writeTestFile(QDir(folder.path()), QStringLiteral("Layout Designer"), standIn);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
    tlgLayoutDesignerClient client(folder.path());
    QVERIFY(client.launch());
    const qint64 first = client.designerProcess()->processId();
    QVERIFY(client.launch());  // still running: nothing new
    QCOMPARE(client.designerProcess()->processId(), first);

    // The designer is closed; the next launch starts it anew.
    QSignalSpy ended(client.designerProcess(), QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    QCOMPARE(QProcess::execute(QStringLiteral("kill"), {QString::number(first)}), 0);
    QVERIFY(ended.wait(endWithinMs));
    QVERIFY(client.launch());
    const qint64 second = client.designerProcess()->processId();
    QVERIFY(second != first);
    QCOMPARE(QProcess::execute(QStringLiteral("kill"), {QString::number(second)}), 0);
}

TILVANE_TEST_MAIN(DesignerClientTest, QCoreApplication)
#include "tst_designerclient.moc"
