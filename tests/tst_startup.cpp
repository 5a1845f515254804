#include "tlDataDirectory.h"
#include "tlModalAnswerer.h"
#include "tlTestEnvironment.h"
#include "tlgApplication.h"
#include "tlgCommandLine.h"
#include "tlgSplash.h"

#include <QFileDialog>
#include <QFileOpenEvent>
#include <QMessageBox>
#include <QProcess>
#include <memory>

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void fileOpenRequestIsHeld();
    void dataDirectoryCandidatesInOrder();
    void firstExistingCandidateWins();
    void noCandidateGivesCurrentDirectory();
    void developerFolderCanBeChosen();
    void gameFileArgument_data();
    void gameFileArgument();
    void commandLineAnswers_data();
    void commandLineAnswers();
    void dialogClosesTheSplash_data();
    void dialogClosesTheSplash();
};

void StartupTest::fileOpenRequestIsHeld()
{
    auto *app = qobject_cast<tlgApplication *>(QCoreApplication::instance());
    QVERIFY(app);
    QFileOpenEvent empty{QString()};
    QVERIFY(!QCoreApplication::sendEvent(app, &empty));
    QVERIFY(!app->fileOpenRequested());

    QFileOpenEvent request{QStringLiteral("/games/saved.tlgf")};
    QVERIFY(QCoreApplication::sendEvent(app, &request));
    QVERIFY(app->fileOpenRequested());
    QCOMPARE(app->fileToOpen(), QStringLiteral("/games/saved.tlgf"));
}

void StartupTest::dataDirectoryCandidatesInOrder()
{
    const QString app = QCoreApplication::applicationDirPath();
    const QString home = QDir::homePath();
    const QStringList expected = {
        QStringLiteral(TILVANE_DEVELOPER_DATA_DIR "/docs"),
        app + QStringLiteral("/../../../../Resources/docs"),
        app + QStringLiteral("/../Resources/docs"),
        app + QStringLiteral("/docs"),
        QStringLiteral("/usr/local/share/Tilvane/docs"),
        QStringLiteral("/opt/local/share/Tilvane/docs"),
        QStringLiteral("/usr/share/Tilvane/docs"),
        QStringLiteral("/opt/share/Tilvane/docs"),
        app + QStringLiteral("/../../../docs"),
        QStringLiteral("/usr/local/Tilvane/docs"),
        QStringLiteral("/opt/local/Tilvane/docs"),
        QStringLiteral("/usr/local/Tilvane/share/docs"),
        QStringLiteral("/opt/local/Tilvane/share/docs"),
        QStringLiteral("/usr/Tilvane/docs"),
        QStringLiteral("/opt/Tilvane/docs"),
        QStringLiteral("/usr/Tilvane/share/docs"),
        QStringLiteral("/opt/Tilvane/share/docs"),
        QStringLiteral("/sw/Tilvane/docs"),
        QStringLiteral("/sw/share/Tilvane/docs"),
        QStringLiteral("/sw/Tilvane/share/docs"),
        app + QStringLiteral("/../docs"),
        app + QStringLiteral("/../share/docs"),
        app + QStringLiteral("/../share/Tilvane/docs"),
        app + QStringLiteral("/../Tilvane/share/docs"),
        home + QStringLiteral("/Tilvane/docs"),
        home + QStringLiteral("/share/Tilvane/docs"),
    };
    QCOMPARE(dataDirectoryCandidates(QStringLiteral("docs")), expected);
}

void StartupTest::firstExistingCandidateWins()
{
    // The developer's data folder is found for the layouts...
    QCOMPARE(QDir(findDataDirectory("layouts").path()).canonicalPath(),
             QDir(QStringLiteral(TILVANE_LAYOUTS_DIR)).canonicalPath());

    // ...and a folder beside the executable comes before one in the home folder.
    const QString name = QStringLiteral("startup-test-data");
    const QString besideExecutable = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    const QString inHome = QDir::homePath() + QStringLiteral("/Tilvane/") + name;
    QVERIFY(QDir().mkpath(inHome));
    QCOMPARE(findDataDirectory(name).path(), inHome);
    QVERIFY(QDir().mkpath(besideExecutable));
    QCOMPARE(findDataDirectory(name).path(), besideExecutable);
    QDir(besideExecutable).removeRecursively();
}

void StartupTest::noCandidateGivesCurrentDirectory()
{
    const QDir dir = findDataDirectory(QStringLiteral("no-such-data-directory"));
    QVERIFY(dir.path().isEmpty() || dir.path() == QStringLiteral("."));
    QCOMPARE(dir.absolutePath(), QDir::currentPath());
    QVERIFY(!dataDirectoryFound(dir));
    QVERIFY(dataDirectoryFound(findDataDirectory("layouts")));
}

void StartupTest::developerFolderCanBeChosen()
{
    QTemporaryDir chosen;
    qputenv("TILVANE_DATA_DIR", QFile::encodeName(chosen.path()));
    const QStringList candidates = dataDirectoryCandidates(QStringLiteral("tiles"));
    qunsetenv("TILVANE_DATA_DIR");
    QCOMPARE(candidates.size(), 26);
    QCOMPARE(candidates.first(), chosen.path() + QStringLiteral("/tiles"));
}

void StartupTest::gameFileArgument_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("gameFile");
    QTest::addColumn<QString>("warning");
    const QString program = QStringLiteral("tilvane");
    QTest::newRow("none") << QStringList{program} << QString() << QString();
    QTest::newRow("absolute") << QStringList{program, QStringLiteral("/games/a.tlgf")}
                              << QStringLiteral("/games/a.tlgf") << QString();
    QTest::newRow("relative is made absolute")
        << QStringList{program, QStringLiteral("mine.tlgf")}
        << QDir::current().absoluteFilePath(QStringLiteral("mine.tlgf")) << QString();
    QTest::newRow("further arguments ignored")
        << QStringList{program, QStringLiteral("/g/first.tlgf"), QStringLiteral("/g/second.tlgf")}
        << QStringLiteral("/g/first.tlgf") << QString();
    QTest::newRow("capital extension refused")
        << QStringList{program, QStringLiteral("game.TLGF")} << QString()
        << QStringLiteral("Cannot load file 'game.TLGF'. Not the right type (extension).");
    QTest::newRow("layout file refused")
        << QStringList{program, QStringLiteral("Turtle.tllf")} << QString()
        << QStringLiteral("Cannot load file 'Turtle.tllf'. Not the right type (extension).");
}

void StartupTest::gameFileArgument()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, gameFile);
    QFETCH(QString, warning);
    tlModalAnswerer answerer;
    QCOMPARE(tlgCommandLine::process(arguments, nullptr), gameFile);
    QCOMPARE(answerer.texts(), warning.isEmpty() ? QStringList() : QStringList{warning});
    if (!warning.isEmpty())
        QCOMPARE(answerer.titles(), QStringList{QStringLiteral("Tilvane")});
}

void StartupTest::commandLineAnswers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");  // pattern for standard output
    QTest::addColumn<QString>("errors");  // pattern for standard error, if any

    const QString version = QStringLiteral("^Tilvane 2\\.2\\.4\\n$");
    const QString build = QStringLiteral("^Build on [A-Z][a-z]{2} [ 123]\\d \\d{4} \\d\\d:\\d\\d:\\d\\d\\n$");
    const QString help = QStringLiteral("Tilvane, a Solitaire Version of the Classic Eastern Game");
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0 << version << QString();
    QTest::newRow("b") << QStringList{QStringLiteral("-b")} << 0 << build << QString();
    QTest::newRow("build") << QStringList{QStringLiteral("--build")} << 0 << build << QString();
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0 << help << QString();

    // Qt's own options are the application object's to take, never a mistake.
    QTest::newRow("platform, then b")
        << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-b")}
        << 0 << build << QString();
    QTest::newRow("style, then version")
        << QStringList{QStringLiteral("-style"), QStringLiteral("fusion"), QStringLiteral("--version")}
        << 0 << version << QString();
    QTest::newRow("reverse is no bundle of short options")
        << QStringList{QStringLiteral("-reverse"), QStringLiteral("--build")} << 0 << build << QString();
    QTest::newRow("geometry and style sheet, then help")
        << QStringList{QStringLiteral("-qwindowgeometry"), QStringLiteral("640x480"),
                       QStringLiteral("-stylesheet"), QStringLiteral("none.qss"), QStringLiteral("-h")}
        << 0 << help << QString();
    // A mistake is still refused, and named alone, once Qt has taken its options.
    QTest::newRow("unknown option refused")
        << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--frobnicate")}
        << 1 << QStringLiteral("^$") << QStringLiteral("Unknown option 'frobnicate'\\.");
}

void StartupTest::commandLineAnswers()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    // No display at all: the answers come in any terminal. A case that reaches the game
    // itself names its platform on the command line.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QLatin1String(variable));
    QProcess game;
    game.setProcessEnvironment(environment);
    game.start(QStringLiteral(TILVANE_EXECUTABLE), arguments);
    QVERIFY(game.waitForFinished(30000));
    const QString out = QString::fromLocal8Bit(game.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(game.readAllStandardError());
    QCOMPARE(game.exitStatus(), QProcess::NormalExit);
    QVERIFY2(game.exitCode() == exitCode, qPrintable(err));
    QVERIFY2(QRegularExpression(output).match(out).hasMatch(), qPrintable(out));
    if (!errors.isEmpty())
        QVERIFY2(QRegularExpression(errors).match(err).hasMatch(), qPrintable(err));
}

namespace {

enum ShownAtStartup { ErrorBox, FileDialog, OrdinaryWindow };

QWidget *makeShownAtStartup(int kind)
{
    switch (kind) {
    case ErrorBox:
        return new QMessageBox(QMessageBox::Critical, QStringLiteral("Tilvane"),
                               QStringLiteral("Something is missing."));
    case FileDialog:
        return new QFileDialog(nullptr, QStringLiteral("Find Layout"), QDir::tempPath());
    default:
        return new QWidget;
    }
}

}

void StartupTest::dialogClosesTheSplash_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("closesSplash");
    QTest::newRow("message box") << int(ErrorBox) << true;
    QTest::newRow("file dialog") << int(FileDialog) << true;
    QTest::newRow("ordinary window") << int(OrdinaryWindow) << false;
}

void StartupTest::dialogClosesTheSplash()
{
    QFETCH(int, kind);
    QFETCH(bool, closesSplash);
    // The splash stays on top: a dialog shown while it is up would sit hidden behind it.
    const QSize pictureSize(40, 30);
    QPixmap picture(pictureSize);
    picture.fill(Qt::darkGreen);
    tlgSplash splash(picture);
    splash.show();
    QVERIFY(splash.isVisible());
    const std::unique_ptr<QWidget> shown(makeShownAtStartup(kind));
    shown->show();
    QCOMPARE(splash.isVisible(), !closesSplash);
    QVERIFY(shown->isVisible());
}

TILVANE_TEST_MAIN(StartupTest, tlgApplication)
#include "tst_startup.moc"
