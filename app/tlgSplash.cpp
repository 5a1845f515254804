#include "tlgSplash.h"

#include "tlDiagnostics.h"
#include "tlFileSaver.h"
#include "tlVersion.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QStandardPaths>

namespace {

const int splashLogicalHeight = 300;
const int splashTextLeft = 10;
const int splashVersionTop = 7;
const double splashCreditLinesFromBottom = 1.5;

const QString splashSource = QStringLiteral(":/images/tlgSplash.png");
const QString cacheKeyName = QStringLiteral("Tilvane-Source");
const char *const cacheFormat = "PNG";

}

tlgScaledPictureCache::tlgScaledPictureCache(const QString &sourceFile, const QString &cacheFileName)
    : source(sourceFile)
    , cacheFile(cacheFileName)
{
}

QImage tlgScaledPictureCache::scaledToHeight(int height) const
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    const QByteArray bytes = file.readAll();
    const QString key = QStringLiteral("%1 %2").arg(
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()),
        QString::number(height));
    QImage image = cachedCopy(key, height);
    if (!image.isNull())
        return image;
    image = QImage::fromData(bytes).scaledToHeight(height, Qt::SmoothTransformation);
    if (!image.isNull())
        keep(image, key);
    return image;
}

QImage tlgScaledPictureCache::cachedCopy(const QString &key, int height) const
{
    if (cacheFile.isEmpty() || !QFileInfo::exists(cacheFile))
        return QImage();
    const auto unreadable = [this] {
        tl::diagnose("tlgScaledPictureCache::scaledToHeight",
                     {QStringLiteral("'%1' is no readable picture; it is made anew.").arg(cacheFile)});
        return QImage();
    };
    QImageReader reader(cacheFile, cacheFormat);
    if (!reader.canRead())
        return unreadable();
    // The key sits in the file's header: a copy made from another picture or for another
    // screen is never decoded.
    if (reader.text(cacheKeyName) != key)
        return QImage();
    const QImage image = reader.read();
    if (image.isNull() || image.height() != height)
        return unreadable();
    return image;
}

void tlgScaledPictureCache::keep(const QImage &image, const QString &key) const
{
    if (cacheFile.isEmpty())
        return;
    QByteArray content;
    QBuffer buffer(&content);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, cacheFormat);
    writer.setText(cacheKeyName, key);
    QString reason;
    if (!writer.write(image))
        reason = writer.errorString();
    else if (!QDir().mkpath(QFileInfo(cacheFile).absolutePath()))
        reason = QStringLiteral("the folder cannot be made");
    else
        tl::saveFile(cacheFile, content, &reason);
    if (!reason.isEmpty()) {
        tl::diagnose("tlgScaledPictureCache::scaledToHeight",
                     {QStringLiteral("cannot keep the scaled picture in '%1':").arg(cacheFile), reason});
    }
}

tlgSplash::tlgSplash(const QPixmap &picture)
    : QSplashScreen(picture, Qt::WindowStaysOnTopHint)
{
}

QString tlgSplash::defaultCacheFile()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/splash.png");
}

QPixmap tlgSplash::picture(qreal pixelRatio, const QString &cacheFile)
{
    QImage image = tlgScaledPictureCache(splashSource, cacheFile)
                       .scaledToHeight(int(pixelRatio * splashLogicalHeight));
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
