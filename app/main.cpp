#include "tlLayoutHandler.h"
#include "tlSettings.h"
#include "tlVersion.h"
#include "tlgApplication.h"
#include "tlgCommandLine.h"
#include "tlgWindow.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>
#include <cstdlib>

namespace {

const int splashLogicalHeight = 300;
const int splashMinimumMilliseconds = 1000;
const int splashTextLeft = 10;
const int splashVersionTop = 7;
const double splashCreditLinesFromBottom = 1.5;

QString creditLine()
{
    return QCoreApplication::translate("main", "Free software, GNU GPL 2 or later");
}

// The splash picture at 300 logical pixels high, with the version and the credit line.
QPixmap splashPicture(qreal pixelRatio)
{
    QImage image = QImage(QStringLiteral(":/images/tlgSplash.png"))
                       .scaledToHeight(int(pixelRatio * splashLogicalHeight),
                                       Qt::SmoothTransformation);
    image.setDevicePixelRatio(pixelRatio);

    QPainter painter(&image);
    const QFontMetrics metrics = painter.fontMetrics();
    const QString version = QCoreApplication::translate("main", "Version %1")
                                .arg(QString::fromLatin1(tl::version));
    painter.drawText(QRect(splashTextLeft, splashVersionTop, metrics.horizontalAdvance(version),
                           metrics.height()),
                     0, version);
    const QString credit = creditLine();
    const int creditTop =
        int(image.height() / pixelRatio - metrics.height() * splashCreditLinesFromBottom);
    painter.drawText(QRect(splashTextLeft, creditTop, metrics.horizontalAdvance(credit),
                           metrics.height()),
                     0, credit);
    painter.end();
    return QPixmap::fromImage(image);
}

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
}

void exitWithoutLayouts()
{
    QMessageBox::critical(nullptr, QString::fromLatin1(tl::productName),
                          tlLayoutHandler::missingDirectoryMessage(), QMessageBox::Ok);
    std::exit(EXIT_FAILURE);
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
    tlLayoutHandler::setMissingDirectoryReaction(exitWithoutLayouts);

    const qreal pixelRatio = QGuiApplication::primaryScreen()->devicePixelRatio();
    if (pixelRatio > 1)
        QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);

    // The splash stays at least its minimum time; the settings and the window are read
    // and built meanwhile instead of after it.
    QSplashScreen splash(splashPicture(pixelRatio), Qt::WindowStaysOnTopHint);
    splash.show();
    QCoreApplication::processEvents();
    QElapsedTimer shown;
    shown.start();

    tlSettings::instance().readSettings();
    tlgWindow window(QCoreApplication::arguments());
    waitForSplash(shown);

    // The window is shown before the splash is told to wait for it: waiting for a
    // window that is not shown yet would only time out.
    app.installEventFilter(&window);
    window.show();
    splash.finish(&window);

    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    return app.exec();
}
