#ifndef TLGSPLASH_H
#define TLGSPLASH_H

#include <QPixmap>
#include <QSplashScreen>

// The start-up splash. It stays on top of every window, so a message box or a file
// dialog raised while it is up would sit hidden behind it; it therefore closes itself
// as soon as any dialog is about to be shown.
class tlgSplash : public QSplashScreen
{
    Q_OBJECT

public:
    explicit tlgSplash(const QPixmap &picture);

    // The game's splash picture, 300 logical pixels high, with the version and the
    // credit line, for a screen of `pixelRatio`.
    static QPixmap picture(qreal pixelRatio);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
};

#endif
