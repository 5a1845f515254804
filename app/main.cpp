#include "tlLayoutLocator.h"
#include "tlSettings.h"
#include "tlVersion.h"
#include "tlgApplication.h"
#include "tlgCommandLine.h"
#include "tlgSplash.h"
#include "tlgWindow.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

namespace {

const int splashMinimumMilliseconds = 1000;

// Keeps the splash up for its minimum time while the event loop still repaints it.
void waitForSplash(const QElapsedTimer &shown)
{
    const qint64 remaining = splashMinimumMilliseconds - shown.elapsed();
    if (remaining <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(int(remaining), &loop, &QEventLoop::quit);
    loop.exec();
}

void setIdentity()
{
    QCoreApplication::setApplicationVersion(QString::fromLatin1(tl::version));
    QCoreApplication::setApplicationName(QString::fromLatin1(tl::productName));
    // Lets desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tilvane.Tilvane"));
}

}

int main(int argc, char *argv[])
{
    setIdentity();
    {
        // A plain application object needs no display: the informational options work
        // in any terminal.
        QCoreApplication commandLine(argc, argv);
        tlgCommandLine::answerWithoutWindow(QCoreApplication::arguments());
    }

    // The board is drawn with plain raster painting; loading OpenGL drivers on X11
    // would only cost start-up time and tens of megabytes. A player's own choice stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    tlgApplication app(argc, argv);
    Q_INIT_RESOURCE(tilvane);
    QGuiApplication::setApplicationDisplayName(QString::fromLatin1(tl::productName));
    tlSettings::instance().lendUserLayoutsToLocator();

    const qreal pixelRatio = QGuiApplication::primaryScreen()->devicePixelRatio();
    if (pixelRatio > 1)
        QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);

    // The splash stays at least its minimum time; the settings and the window are read
    // and built meanwhile instead of after it.
    tlgSplash splash(tlgSplash::picture(pixelRatio));
    splash.show();
    QCoreApplication::processEvents();
    QElapsedTimer shown;
    shown.start();

    tlSettings::instance().readSettings();
    tlgWindow window(QCoreApplication::arguments());
    // Without layouts, tile pictures or a working engine there is no game to show.
    if (!window.startupFailure().isEmpty()) {
        splash.close();
        QMessageBox::critical(nullptr, QString::fromLatin1(tl::productName),
                              window.startupFailure(), QMessageBox::Ok);
        return EXIT_FAILURE;
    }
    // A box or a dialog raised meanwhile has closed the splash; nothing to wait for then.
    if (splash.isVisible())
        waitForSplash(shown);

    // The window is shown before the splash is told to wait for it: waiting for a
    // window that is not shown yet would only time out.
    app.installEventFilter(&window);
    window.show();
    splash.finish(&window);

    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    return app.exec();
}
