#include "tlgSplash.h"

#include "tlVersion.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

const int splashLogicalHeight = 300;
const int splashTextLeft = 10;
const int splashVersionTop = 7;
const double splashCreditLinesFromBottom = 1.5;

}

tlgSplash::tlgSplash(const QPixmap &picture)
    : QSplashScreen(picture, Qt::WindowStaysOnTopHint)
{
}

QPixmap tlgSplash::picture(qreal pixelRatio)
{
    QImage image = QImage(QStringLiteral(":/images/tlgSplash.png"))
                       .scaledToHeight(int(pixelRatio * splashLogicalHeight),
                                       Qt::SmoothTransformation);
    image.setDevicePixelRatio(pixelRatio);

    QPainter painter(&image);
    const QFontMetrics metrics = painter.fontMetrics();
    const QString version = tr("Version %1").arg(QString::fromLatin1(tl::version));
    painter.drawText(QRect(splashTextLeft, splashVersionTop, metrics.horizontalAdvance(version),
                           metrics.height()),
                     0, version);
    const QString credit = tr("Free software, GNU GPL 2 or later");
    const int creditTop =
        int(image.height() / pixelRatio - metrics.height() * splashCreditLinesFromBottom);
    painter.drawText(QRect(splashTextLeft, creditTop, metrics.horizontalAdvance(credit),
                           metrics.height()),
                     0, credit);
    painter.end();
    return QPixmap::fromImage(image);
}

bool tlgSplash::eventFilter(QObject *watched, QEvent *event)
{
    // The Show event comes before the dialog reaches the screen.
    if (event->type() == QEvent::Show) {
        const auto *dialog = qobject_cast<QDialog *>(watched);
        if (dialog && dialog->isWindow())
            close();
    }
    return QSplashScreen::eventFilter(watched, event);
}

// Watching every object's events costs a little; it is done only while the splash is up.
void tlgSplash::showEvent(QShowEvent *event)
{
    QCoreApplication::instance()->installEventFilter(this);
    QSplashScreen::showEvent(event);
}

void tlgSplash::hideEvent(QHideEvent *event)
{
    QCoreApplication::instance()->removeEventFilter(this);
    QSplashScreen::hideEvent(event);
}
