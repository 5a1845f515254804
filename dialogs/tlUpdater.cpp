#include "tlUpdater.h"

#include "tlDiagnostics.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QVersionNumber>
#include <QWidget>
#include <QXmlStreamReader>

namespace {

// A server that accepted the request but stopped sending is given up after this long.
const int defaultTransferTimeout = 15000;
// The descriptor is a few hundred bytes; a reply this large is no descriptor.
const qint64 maximumReplySize = 64 * 1024;

const QString versionAttribute = QStringLiteral("version");

// Only a web page is offered as a link: the address comes from the network. (Its
// text is escaped before it is shown, so characters that a URL would encode do no harm.)
bool isWebAddress(const QString &address)
{
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

// The whole text must be a version number: "2.3.0" but neither "soon" nor "2.3 beta".
// (QVersionNumber::fromString is declared pure, so the suffix index it hands back is
// lost in an optimised build and cannot tell a tail.)
QVersionNumber parseVersion(const QString &text)
{
    static const QRegularExpression number(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]+(\\.[0-9]+)*")));
    return number.match(text).hasMatch() ? QVersionNumber::fromString(text) : QVersionNumber();
}

}

tlUpdater::tlUpdater(QWidget *window)
    : QObject(window)
    , transferTimeout(defaultTransferTimeout)
{
    connect(&network, &QNetworkAccessManager::finished, this, &tlUpdater::downloadFinished);
}

QUrl tlUpdater::descriptorUrl()
{
    const QString chosen = qEnvironmentVariable("TILVANE_VERSION_URL");
    return QUrl(chosen.isEmpty() ? QStringLiteral(TILVANE_VERSION_URL) : chosen);
}

void tlUpdater::check(const QUrl &url)
{
    if (pendingReply)
        return;
    QNetworkRequest request(url);
    request.setTransferTimeout(transferTimeout);
    replyTooLarge = false;
    pendingReply = network.get(request);
    // The reply keeps no more than one byte beyond the limit, which is how a reply
    // over the limit shows itself.
    pendingReply->setReadBufferSize(maximumReplySize + 1);
    connect(pendingReply, &QNetworkReply::readyRead, this, &tlUpdater::limitReply);
}

void tlUpdater::setTransferTimeout(int milliseconds)
{
    transferTimeout = milliseconds;
}

void tlUpdater::limitReply()
{
    if (pendingReply->bytesAvailable() > maximumReplySize) {
        replyTooLarge = true;
        pendingReply->abort();
    }
}

void tlUpdater::downloadFinished(QNetworkReply *reply)
{
    if (replyTooLarge) {
        refuseDescriptor(QStringLiteral("The reply is larger than %1 bytes.").arg(maximumReplySize));
    } else if (reply->error() != QNetworkReply::NoError) {
        // The transfer timeout cancels the request, and Qt then only says "Operation
        // canceled"; the only other cancelling, of a reply too large, is told above.
        const QString why = reply->error() == QNetworkReply::OperationCanceledError
                                ? tr("The server did not answer in time")
                                : reply->errorString();
        showBox(true, tr("Cannot check for latest version.\n(%1).\n\nMake sure you are "
                         "connected to a network and try again.")
                          .arg(why));
    } else {
        evaluate(reply->readAll());
    }
    reply->deleteLater();
    pendingReply = nullptr;
    emit checkFinished();
}

void tlUpdater::evaluate(const QByteArray &descriptor)
{
    QString latest;
    QString address;
    QXmlStreamReader xml(descriptor);
    bool addressMayFollow = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (addressMayFollow && xml.isCharacters())
            address = xml.text().toString().trimmed();
        addressMayFollow = false;
        if (xml.isStartElement() && xml.attributes().hasAttribute(versionAttribute)) {
            latest = xml.attributes().value(versionAttribute).toString().trimmed();
            address.clear();
            addressMayFollow = true;
        }
    }

    const QVersionNumber latestVersion = parseVersion(latest);
    if (xml.hasError()) {
        refuseDescriptor(QStringLiteral("Line %1: %2").arg(xml.lineNumber()).arg(xml.errorString()));
        return;
    }
    if (!latest.isEmpty() && latestVersion.isNull()) {
        refuseDescriptor(QStringLiteral("\"%1\" is no version number.").arg(latest));
        return;
    }
    if (latest.isEmpty())
        return;

    const QString own = QCoreApplication::applicationVersion();
    // Normalised, "2.3" and "2.3.0" are the same version.
    const int order = QVersionNumber::compare(parseVersion(own).normalized(),
                                              latestVersion.normalized());
    if (order < 0 && isWebAddress(address)) {
        const QString shownAddress = address.toHtmlEscaped();
        showBox(false, tr("<html>A new version of Tilvane (incl. Layout Designer) (%1) is "
                          "available.<br>To download go to:<br><a href=\"%2\">%2</a></html>")
                           .arg(latest, shownAddress));
    } else if (order < 0) {
        showBox(false, tr("A new version of Tilvane (incl. Layout Designer) (%1) is available.")
                           .arg(latest));
    } else if (order == 0) {
        showBox(false, tr("You are running the latest version of Tilvane (incl. Layout "
                          "Designer) (%1).")
                           .arg(own));
    } else {
        showBox(false, tr("Strange, you are running a newer version (%1) than the latest "
                          "version available on the web (%2).")
                           .arg(own, latest));
    }
}

void tlUpdater::refuseDescriptor(const QString &reason)
{
    tl::diagnose("tlUpdater::downloadFinished", {QStringLiteral("Unusable version descriptor:"),
                                                 reason});
    showBox(true, tr("Parsing of xml file failed. Cannot check for newer version. Try again "
                     "later."));
}

void tlUpdater::showBox(bool warning, const QString &text)
{
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information, tr("Tilvane"),
                    text, QMessageBox::Ok, qobject_cast<QWidget *>(parent()));
    box.exec();
}
