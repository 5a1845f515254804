#include "tlDataDirectory.h"
#include "tlTestEnvironment.h"
#include "tleGameEngine.h"

#include <QProcess>

// Installs this build into a fresh prefix, as a player or a packager does, and runs the
// installed game from there.
class InstallationTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsWhatTheDesktopNeeds_data();
    void installsWhatTheDesktopNeeds();
    void softwareCentreFindsWhatItDescribes();
    void installedGameDealsFromInstalledData();

private:
    QTemporaryDir root;
    QString prefix;
};

namespace {

const int installMilliseconds = 300000;
// A slow machine under load may take many seconds to show the first board.
const int firstDealMilliseconds = 120000;
const int quitMilliseconds = 30000;

QStringList gameFilesBelow(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, {QStringLiteral("*.tlgf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

}

void InstallationTest::initTestCase()
{
    QVERIFY(root.isValid());
    prefix = root.path() + QStringLiteral("/usr");
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(TILVANE_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(TILVANE_BUILD_DIR), QStringLiteral("--prefix"), prefix});
    QVERIFY(install.waitForFinished(installMilliseconds));
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
             install.readAll().constData());
}

void InstallationTest::installsWhatTheDesktopNeeds_data()
{
    QTest::addColumn<QString>("path");
    QStringList paths = {
        QStringLiteral("bin/tilvane"),
        QStringLiteral("bin/tilvane-cli"),
        QStringLiteral("share/Tilvane/layouts/Turtle.tllf"),
        QStringLiteral("share/Tilvane/tiles/classic/Dragon_Red_normal.png"),
        QStringLiteral("share/Tilvane/docs/doc.index"),
        QStringLiteral("share/mime/packages/org.tilvane.Tilvane.xml"),
        QStringLiteral("share/man/man6/tilvane.6.gz"),
        QStringLiteral("share/man/man6/tilvane-cli.6.gz"),
        QStringLiteral("share/doc/tilvane/copyright"),
    };
    QStringList ids = {QStringLiteral("org.tilvane.Tilvane")};
#ifdef TILVANE_DESIGNER
    paths << QStringLiteral("bin/Layout Designer") << QStringLiteral("share/man/man6/Layout Designer.6.gz");
    ids << QStringLiteral("org.tilvane.Tilvane.Designer");
#endif
    for (const QString &id : ids) {
        paths << QStringLiteral("share/applications/%1.desktop").arg(id)
              << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(id)
              << QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(id);
        for (int side : {16, 22, 24, 32, 48, 64, 128, 256, 512})
            paths << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(id);
    }
    for (const QString &path : paths)
        QTest::newRow(qPrintable(path)) << path;
}

void InstallationTest::installsWhatTheDesktopNeeds()
{
    QFETCH(QString, path);
    const QFileInfo file(prefix + QLatin1Char('/') + path);
    QVERIFY2(file.isFile() && file.size() > 0, qPrintable(file.filePath()));
    if (path.startsWith(QLatin1String("bin/")))
        QVERIFY(file.isExecutable());
}

void InstallationTest::softwareCentreFindsWhatItDescribes()
{
    // Checks each description against the installed tree: its menu entry, its icon.
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (validator.isEmpty())
        QSKIP("appstreamcli is missing; apt-get install appstream");
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(validator, {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), root.path()});
    QVERIFY(validate.waitForFinished(installMilliseconds));
    QVERIFY2(validate.exitStatus() == QProcess::NormalExit && validate.exitCode() == 0,
             validate.readAll().constData());
}

void InstallationTest::installedGameDealsFromInstalledData()
{
    // The first candidate is the developer's folder of this very build; the fixed places
    // after it, such as /usr/share/Tilvane, come before the one beside the installed game.
    const QString here = QCoreApplication::applicationDirPath();
    for (const QString &candidate : dataDirectoryCandidates(QStringLiteral("layouts")).mid(1)) {
        if (!candidate.startsWith(here) && !candidate.startsWith(QDir::homePath()) && QDir(candidate).exists())
            QSKIP(qPrintable(candidate + QStringLiteral(" holds layouts of a system-wide installation, "
                                                        "which the installed game would find first")));
    }

    // The installed copy of the layout a new player starts on gets the tiles of another:
    // a deal from the installed data names that one, a deal from the source tree would not.
    const QString layouts = prefix + QStringLiteral("/share/Tilvane/layouts/");
    QVERIFY(QFile::remove(layouts + QStringLiteral("Turtle.tllf")));
    QVERIFY(QFile::copy(layouts + QStringLiteral("Arena.tllf"), layouts + QStringLiteral("Turtle.tllf")));

    QTemporaryDir player;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TILVANE_DATA_DIR"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), player.path());
    for (const QString &folder : {QStringLiteral("CONFIG"), QStringLiteral("DATA"), QStringLiteral("CACHE")})
        environment.insert(QStringLiteral("XDG_%1_HOME").arg(folder), player.path() + QLatin1Char('/') + folder.toLower());
    QProcess game;
    game.setProcessEnvironment(environment);
    game.setProcessChannelMode(QProcess::MergedChannels);
    game.setWorkingDirectory(player.path());
    game.start(prefix + QStringLiteral("/bin/tilvane"), QStringList());
    QVERIFY(game.waitForStarted());

    // Every new deal is backed up once its board is on screen.
    const QString backups = player.path() + QStringLiteral("/data");
    QTRY_VERIFY_WITH_TIMEOUT(!gameFilesBelow(backups).isEmpty() || game.state() == QProcess::NotRunning,
                             firstDealMilliseconds);
    const QStringList dealt = gameFilesBelow(backups);
    game.terminate();
    QVERIFY(game.waitForFinished(quitMilliseconds));
    QVERIFY2(!dealt.isEmpty(), game.readAll().constData());

    tleGameEngine engine;
    QString layoutName;
    uint32_t checksum = 0;
    QVERIFY(engine.peek(dealt.first(), layoutName, checksum));
    QCOMPARE(layoutName, QStringLiteral("Arena"));
}

TILVANE_TEST_MAIN(InstallationTest, QCoreApplication)
#include "tst_installation.moc"
