#include "tlLayoutLocator.h"
#include "tlStdoutCapture.h"
#include "tlTestClock.h"
#include "tlTestEnvironment.h"
#include "tlTestGames.h"
#include "tleGameEngine.h"
#include "tlgBackupHandler.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString backupLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QStringList backupFiles()
{
    return QDir(backupLocation()).entryList(QStringList{QStringLiteral("*.tlgf")}, QDir::Files,
                                            QDir::Name | QDir::Reversed);
}

QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

// A full set of backups from long ago, named 1000000001 to 1000000010.
bool saveOldBackups(const tleGameEngine &engine)
{
    const qint64 longAgo = 1000000000;
    for (int i = 1; i <= tlgBackupHandler::maxBackups; ++i) {
        if (!engine.save(QStringLiteral("%1/%2.tlgf").arg(backupLocation()).arg(longAgo + i)))
            return false;
    }
    return true;
}

}

class BackupHandlerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void setupMakesBackupFolderCurrent();
    void backupRoundTrip();
    void onlyTheNewestTenStay();
    void foreignFilesAreKeptButNotListed();
    void backupsInOneSecondShareAName();
    void emptyFolderListsNothing();
    void unusableFolderDisablesBackups();

private:
    bool deal(tleGameEngine &engine, uint32_t seed);
    tlTestClock clock;
};

void BackupHandlerTest::init()
{
    QDir folder(backupLocation());
    for (const QString &name : folder.entryList(QDir::Files))
        QVERIFY(folder.remove(name));
}

bool BackupHandlerTest::deal(tleGameEngine &engine, uint32_t seed)
{
    if (!engine.init(tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0)))
        return false;
    engine.seed(seed);
    engine.shuffleTiles();
    return true;
}

void BackupHandlerTest::setupMakesBackupFolderCurrent()
{
    // Never the player's own folder: the test environment moved the home folder.
    QVERIFY2(backupLocation().startsWith(QDir::homePath()), qPrintable(backupLocation()));
    tlgBackupHandler handler(clock);
    QVERIFY(handler.enabled());
    QVERIFY(QFileInfo(backupLocation()).isDir());
    QCOMPARE(canonical(QDir::currentPath()), canonical(backupLocation()));
}

void BackupHandlerTest::backupRoundTrip()
{
    tleGameEngine engine;
    QVERIFY(deal(engine, 7));
    tlgBackupHandler handler(clock);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    QVERIFY(handler.backupGame(engine));

    const QStringList files = backupFiles();
    QCOMPARE(files.size(), 1);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.tlgf$")).match(files.first()).hasMatch());
    const qint64 stamp = files.first().section(QLatin1Char('.'), 0, 0).toLongLong();
    QCOMPARE(stamp, clock.now);

    const QVector<tlgBackupInfo> backups = handler.listBackups();
    QCOMPARE(backups.size(), 1);
    QCOMPARE(backups.first().layoutName, QStringLiteral("Turtle"));
    QCOMPARE(backups.first().path, QDir(backupLocation()).absoluteFilePath(files.first()));
    QVERIFY(backups.first().created.isValid());
    QVERIFY(backups.first().created >= before);

    tlgBackupInfo latest;
    QVERIFY(handler.latestBackup(latest));
    QCOMPARE(latest.path, backups.first().path);

    tleGameEngine reopened;
    QString layoutName;
    uint32_t checksum = 0;
    QVERIFY(reopened.peek(latest.path, layoutName, checksum));
    QVERIFY(reopened.open(latest.path, tlLayoutLocator::findLayoutFile(layoutName, checksum)));
    QVERIFY(kindsOf(reopened) == kindsOf(engine));
}

void BackupHandlerTest::onlyTheNewestTenStay()
{
    tleGameEngine engine;
    QVERIFY(deal(engine, 11));
    // Ten backups from long ago, then one made now: the eleventh overall.
    QVERIFY(saveOldBackups(engine));
    tlgBackupHandler handler(clock);
    QVERIFY(handler.backupGame(engine));

    const QStringList files = backupFiles();
    QCOMPARE(files.size(), tlgBackupHandler::maxBackups);
    QVERIFY(!files.contains(QStringLiteral("1000000001.tlgf")));
    QVERIFY(files.contains(QStringLiteral("1000000002.tlgf")));

    const QVector<tlgBackupInfo> backups = handler.listBackups();
    QCOMPARE(backups.size(), tlgBackupHandler::maxBackups);
    QCOMPARE(QFileInfo(backups.first().path).fileName(), files.first());
    QCOMPARE(QFileInfo(backups.last().path).fileName(), QStringLiteral("1000000002.tlgf"));
}

void BackupHandlerTest::foreignFilesAreKeptButNotListed()
{
    tleGameEngine engine;
    QVERIFY(deal(engine, 3));
    QFile foreign(backupLocation() + QStringLiteral("/abc.tlgf"));
    QVERIFY(foreign.open(QIODevice::WriteOnly));
    foreign.write("not a game\n");
    foreign.close();
    QVERIFY(saveOldBackups(engine));

    tlgBackupHandler handler(clock);
    QVERIFY(handler.backupGame(engine));
    // The foreign name sorts first, so it holds one of the ten places and stays.
    const QStringList files = backupFiles();
    QCOMPARE(files.size(), tlgBackupHandler::maxBackups);
    QCOMPARE(files.first(), QStringLiteral("abc.tlgf"));
    QVERIFY(!files.contains(QStringLiteral("1000000002.tlgf")));

    const QVector<tlgBackupInfo> backups = handler.listBackups();
    QCOMPARE(backups.size(), tlgBackupHandler::maxBackups - 1);
    for (const tlgBackupInfo &backup : backups)
        QVERIFY(!backup.path.endsWith(QStringLiteral("/abc.tlgf")));
    tlgBackupInfo latest;
    QVERIFY(handler.latestBackup(latest));
    QCOMPARE(latest.path, backups.first().path);
}

void BackupHandlerTest::backupsInOneSecondShareAName()
{
    tleGameEngine first;
    tleGameEngine second;
    QVERIFY(deal(first, 1));
    QVERIFY(deal(second, 2));
    QVERIFY(kindsOf(first) != kindsOf(second));
    tlgBackupHandler handler(clock);

    QVERIFY(handler.backupGame(first));
    QVERIFY(handler.backupGame(second));
    QCOMPARE(backupFiles(), QStringList{QStringLiteral("%1.tlgf").arg(clock.now)});

    tlgBackupInfo latest;
    QVERIFY(handler.latestBackup(latest));
    tleGameEngine reopened;
    QVERIFY(reopened.open(latest.path, tlLayoutLocator::findLayoutFile(latest.layoutName, 0)));
    QVERIFY(kindsOf(reopened) == kindsOf(second));
}

void BackupHandlerTest::emptyFolderListsNothing()
{
    tlgBackupHandler handler(clock);
    QVERIFY(handler.enabled());
    QVERIFY(handler.listBackups().isEmpty());
    tlgBackupInfo info{QDateTime(), QStringLiteral("untouched"), QString()};
    QVERIFY(!handler.latestBackup(info));
    QCOMPARE(info.layoutName, QStringLiteral("untouched"));
}

void BackupHandlerTest::unusableFolderDisablesBackups()
{
    // A regular file where the organisation's folder must go makes the location unusable.
    const QString blocked = QStringLiteral("blocked");
    const QString shared = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QVERIFY(QDir().mkpath(shared));
    QFile blocker(shared + QLatin1Char('/') + blocked);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCoreApplication::setOrganizationName(blocked);
    QVERIFY(backupLocation().startsWith(blocker.fileName() + QLatin1Char('/')));

    const QString current = QDir::currentPath();
    const QStringList filesBefore = QDir().entryList(QDir::Files);
    tleGameEngine engine;
    QVERIFY(deal(engine, 5));
    QString output;
    {
        tlStdoutCapture capture;
        tlgBackupHandler handler(clock);
        QVERIFY(!handler.enabled());
        QVERIFY(!handler.backupGame(engine));
        QVERIFY(handler.listBackups().isEmpty());
        tlgBackupInfo info;
        QVERIFY(!handler.latestBackup(info));
        output = capture.text();
    }
    QCoreApplication::setOrganizationName(QString());
    QCOMPARE(output, QStringLiteral(
        "tlgBackupHandler::tlgBackupHandler(): Warning, failed accessing directory to hold backup file.\n"
        "                                      No backup (autosave) will be created.\n"));
    QCOMPARE(QDir::currentPath(), current);
    QCOMPARE(QDir().entryList(QDir::Files), filesBefore);
}

TILVANE_TEST_MAIN(BackupHandlerTest, QCoreApplication)
#include "tst_backuphandler.moc"
