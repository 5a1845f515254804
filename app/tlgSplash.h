#ifndef TLGSPLASH_H
#define TLGSPLASH_H

#include <QImage>
#include <QPixmap>
#include <QSplashScreen>
#include <QString>

// A picture scaled down to a height and kept, so scaled, in a cache file between runs:
// reading the small copy is far quicker than decoding a large picture. The copy carries
// a key made of the source picture's bytes and the height; a copy with another key, or
// one that cannot be read, is made anew from the source and written back. Without a
// cache file name the picture is scaled every time.
class tlgScaledPictureCache
{
public:
    tlgScaledPictureCache(const QString &source, const QString &cacheFile);

    // The source smoothly scaled to `height` pixels; a null image when the source cannot
    // be read.
    QImage scaledToHeight(int height) const;

private:
    QImage cachedCopy(const QString &key, int height) const;
    void keep(const QImage &image, const QString &key) const;

    QString source;
    QString cacheFile;
};

// The start-up splash. It stays on top of every window, so a message box or a file
// dialog raised while it is up would sit hidden behind it; it therefore closes itself
// as soon as any dialog is about to be shown.
class tlgSplash : public QSplashScreen
{
    Q_OBJECT

public:
    explicit tlgSplash(const QPixmap &picture);

    // The game's splash picture, 300 logical pixels high, with the version and the
    // credit line, for a screen of `pixelRatio`. The scaled picture is kept in
    // `cacheFile`, by default in the user's cache folder.
    static QPixmap picture(qreal pixelRatio, const QString &cacheFile = defaultCacheFile());
    static QString defaultCacheFile();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
};

#endif
