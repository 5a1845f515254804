#include "tlSettings.h"
#include "tlVersion.h"
#include "tldWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

namespace {

// Answers --help and --version (and ends there); returns the layout files named.
QStringList readCommandLine()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Draws layouts for Tilvane and checks that they can be played."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("layout"),
                                 QCoreApplication::translate("main", "Layout file to open (.tllf)."),
                                 QStringLiteral("[layout]"));
    parser.process(QCoreApplication::arguments());
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        QTextStream(stderr) << QCoreApplication::translate(
                                   "main", "Only one layout can be opened; opening '%1' and "
                                           "leaving the rest.").arg(files.first())
                            << Qt::endl;
    }
    return files;
}

}

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Layout Designer"));
    // Lets desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tilvane.Tilvane.Designer"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(tl::version));
    QStringList files;
    {
        // A plain application object needs no display: the informational options work
        // in any terminal.
        QCoreApplication commandLine(argc, argv);
        files = readCommandLine();
    }

    // The board is drawn with plain raster painting, as the game's is.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tilvane Layout Designer"));

    tlSettings::instance().readSettings();
    tldWindow window;
    window.show();
    // A file that cannot be opened is reported by the window, which stays empty then.
    if (!files.isEmpty())
        window.openFile(files.first());
    return app.exec();
}
