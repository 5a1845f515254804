#ifndef TLUPDATER_H
#define TLUPDATER_H

#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

class QNetworkReply;
class QWidget;

// Asks the web, on the player's request, which version of the game is the latest and
// tells the outcome in a message box over the window. It only ever reads the small
// version descriptor; nothing is downloaded or installed.
class tlUpdater : public QObject
{
    Q_OBJECT

public:
    // The boxes stand over `window`, which also owns the updater.
    explicit tlUpdater(QWidget *window = nullptr);

    // The descriptor this build asks for: the environment variable TILVANE_VERSION_URL
    // when set and not empty, otherwise the address the build was configured with.
    static QUrl descriptorUrl();

    // Asks `url` for the descriptor; ignored while an earlier request is pending.
    void check(const QUrl &url);

    // A server that stops sending is given up after this long (milliseconds).
    void setTransferTimeout(int milliseconds);

signals:
    // A check has ended and its outcome, if any, has been shown.
    void checkFinished();

public slots:
    void downloadFinished(QNetworkReply *reply);

private:
    void limitReply();
    void evaluate(const QByteArray &descriptor);
    void refuseDescriptor(const QString &reason);
    void showBox(bool warning, const QString &text);

    QNetworkAccessManager network;
    QNetworkReply *pendingReply = nullptr;
    int transferTimeout;
    bool replyTooLarge = false;
};

#endif
