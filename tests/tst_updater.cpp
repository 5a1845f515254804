#include "tlModalAnswerer.h"
#include "tlTestEnvironment.h"
#include "tlUpdater.h"

#include <QApplication>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// A stalled server is given up quickly; any other check gets all the time it needs.
const int stallTimeout = 50;
const int usualTimeout = 15000;
const int replyLimit = 64 * 1024;

const QString parsingFailed = QStringLiteral(
    "Parsing of xml file failed. Cannot check for newer version. Try again later.");
const QString networkFailed = QStringLiteral("Cannot check for latest version.\n(");
const QString latestText = QStringLiteral(
    "You are running the latest version of Tilvane (incl. Layout Designer) (2.2.4).");
const QString web = QStringLiteral("http://example.org/");

QByteArray http(const QByteArray &status, const QByteArray &body)
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size())
           + "\r\nConnection: close\r\n\r\n" + body;
}

// A descriptor naming `version`, padded with blanks to `size` bytes if asked.
QByteArray descriptor(const QByteArray &version, const QByteArray &address = web.toLatin1(),
                      int size = 0)
{
    const QByteArray body = "<?xml version=\"1.0\"?>\n<latest version=\"" + version + "\">"
                            + address + "</latest>\n";
    return http("200 OK", body.leftJustified(size, ' '));
}

QString newVersionText(const QString &version, const QString &address = web)
{
    return QStringLiteral("<html>A new version of Tilvane (incl. Layout Designer) (%1) is "
                          "available.<br>To download go to:<br><a href=\"%2\">%2</a></html>")
        .arg(version, address);
}

// Every request gets `answer`; while that is empty, requests are held unanswered.
class DescriptorServer : public QTcpServer
{
    Q_OBJECT

public:
    DescriptorServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        });
    }

    void answerHeld()
    {
        for (QTcpSocket *socket : qAsConst(held)) {
            if (socket->state() == QAbstractSocket::ConnectedState)
                respond(socket);
        }
        held.clear();
    }

    QByteArray answer;
    int requests = 0;

signals:
    void requestReceived();

private:
    void read(QTcpSocket *socket)
    {
        if (!(requestSoFar[socket] += socket->readAll()).contains("\r\n\r\n"))
            return;
        ++requests;
        if (answer.isEmpty())
            held << socket;
        else
            respond(socket);
        emit requestReceived();
    }

    void respond(QTcpSocket *socket)
    {
        socket->write(answer);
        socket->disconnectFromHost();
    }

    QHash<QTcpSocket *, QByteArray> requestSoFar;
    QList<QTcpSocket *> held;  // children of the server: they outlive the test
};

}

// The version check against a small HTTP server on this machine.
class UpdaterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void outcome_data();
    void outcome();
    void secondCheckWhilePendingIsIgnored();
    void destroyedWhilePending();
    void descriptorAddress();

private:
    bool runCheck(const QUrl &checked)
    {
        QSignalSpy finished(updater, &tlUpdater::checkFinished);
        updater->check(checked);
        return finished.wait();
    }

    DescriptorServer server;
    QUrl url, refusingUrl;
    QWidget window;
    tlUpdater *updater = nullptr;
    tlModalAnswerer *answerer = nullptr;
};

void UpdaterTest::initTestCase()
{
    QCoreApplication::setApplicationVersion(QStringLiteral("2.2.4"));
    // Whatever proxy the environment names, these requests stay on this machine.
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    const QString address = QStringLiteral("http://127.0.0.1:%1/tlLatestVersion.xml");
    QVERIFY(server.listen(QHostAddress::LocalHost));
    url = QUrl(address.arg(server.serverPort()));
    QTcpServer closed;  // a port that was free a moment ago: nobody listens there
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    refusingUrl = QUrl(address.arg(closed.serverPort()));
}

void UpdaterTest::init()
{
    server.requests = 0;
    updater = new tlUpdater(&window);
    answerer = new tlModalAnswerer;
}

void UpdaterTest::cleanup()
{
    delete answerer;
    delete updater;
}

void UpdaterTest::outcome_data()
{
    QTest::addColumn<QByteArray>("answer");  // empty: the server never answers
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("text");       // the box's text or its beginning; empty: no box

    const QString plainNewer = QStringLiteral(
        "A new version of Tilvane (incl. Layout Designer) (2.3) is available.");
    const QByteArray markup = "http://example.org/?a=1&amp;b=&lt;b&gt;x&lt;/b&gt;&quot;";
    QTest::newRow("newer") << descriptor("2.2.5") << false << newVersionText("2.2.5");
    QTest::newRow("equal") << descriptor("2.2.4") << false << latestText;
    QTest::newRow("equal, trailing zero") << descriptor("2.2.4.0") << false << latestText;
    QTest::newRow("older") << descriptor("2.1.9") << false
                           << QStringLiteral("Strange, you are running a newer version (2.2.4) "
                                             "than the latest version available on the web (2.1.9).");
    QTest::newRow("2.10.0 after 2.2.4") << descriptor("2.10.0") << false << newVersionText("2.10.0");
    QTest::newRow("address with markup") << descriptor("2.3", markup) << false
                                         << newVersionText("2.3", QString::fromLatin1(markup));
    QTest::newRow("script address") << descriptor("2.3", "javascript:alert(1)") << false << plainNewer;
    QTest::newRow("file address") << descriptor("2.3", "file:///etc/passwd") << false << plainNewer;
    QTest::newRow("no address") << descriptor("2.3", "") << false << plainNewer;
    QTest::newRow("connection refused") << QByteArray() << true << networkFailed;
    QTest::newRow("not found") << http("404 Not Found", "gone") << false << networkFailed;
    QTest::newRow("stalled server") << QByteArray() << false
                                    << networkFailed + QStringLiteral("The server did not answer in time).");
    QTest::newRow("garbage xml") << http("200 OK", "<latest version=\"2.3\">http://x/</lat")
                                 << false << parsingFailed;
    QTest::newRow("not xml") << http("200 OK", "2.3") << false << parsingFailed;
    QTest::newRow("empty reply") << http("200 OK", "") << false << parsingFailed;
    QTest::newRow("no version number") << descriptor("soon") << false << parsingFailed;
    QTest::newRow("version with a tail") << descriptor("2.3 beta") << false << parsingFailed;
    QTest::newRow("empty version") << descriptor("") << false << QString();
    QTest::newRow("no version element") << http("200 OK", "<latest>http://x/</latest>") << false
                                        << QString();
    QTest::newRow("largest reply") << descriptor("2.2.5", web.toLatin1(), replyLimit) << false
                                   << newVersionText("2.2.5");
    QTest::newRow("one byte too large") << descriptor("2.2.5", web.toLatin1(), replyLimit + 1)
                                        << false << parsingFailed;
    QTest::newRow("huge reply") << descriptor("2.2.5", web.toLatin1(), replyLimit * 256) << false
                                << parsingFailed;
}

void UpdaterTest::outcome()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, refused);
    QFETCH(QString, text);

    server.answer = answer;
    if (answer.isEmpty())
        updater->setTransferTimeout(stallTimeout);
    QVERIFY(runCheck(refused ? refusingUrl : url));
    QCOMPARE(answerer->boxes.size(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty()) {
        QCOMPARE(answerer->boxes[0].title, QStringLiteral("Tilvane"));
        QCOMPARE(answerer->boxes[0].text.left(text.size()), text);
    }

    // Whatever happened, the updater is ready for the next check.
    server.answer = descriptor("2.2.4");
    updater->setTransferTimeout(usualTimeout);
    QVERIFY(runCheck(url));
    QCOMPARE(answerer->texts().constLast(), latestText);
}

void UpdaterTest::secondCheckWhilePendingIsIgnored()
{
    QSignalSpy received(&server, &DescriptorServer::requestReceived);
    QSignalSpy finished(updater, &tlUpdater::checkFinished);
    server.answer.clear();
    updater->check(url);
    updater->check(url);
    QVERIFY(received.wait());
    server.answer = descriptor("2.2.4");
    server.answerHeld();
    QVERIFY(finished.wait());

    // A second request, had it been sent, would reach the server before this one.
    QVERIFY(runCheck(url));
    QCOMPARE(server.requests, 2);
    QCOMPARE(answerer->texts(), QStringList({latestText, latestText}));
}

void UpdaterTest::destroyedWhilePending()
{
    QSignalSpy received(&server, &DescriptorServer::requestReceived);
    server.answer.clear();
    updater->check(url);
    QVERIFY(received.wait());
    delete updater;
    updater = nullptr;
    server.answer = descriptor("2.3");
    server.answerHeld();
    QCoreApplication::processEvents();
    QVERIFY(answerer->boxes.isEmpty());
}

void UpdaterTest::descriptorAddress()
{
    qunsetenv("TILVANE_VERSION_URL");
    const QUrl configured = tlUpdater::descriptorUrl();
    QCOMPARE(configured.scheme(), QStringLiteral("http"));
    QCOMPARE(configured.fileName(), QStringLiteral("tlLatestVersion.xml"));
    const QByteArray elsewhere = "http://127.0.0.1:1/v/tlLatestVersion.xml";
    qputenv("TILVANE_VERSION_URL", elsewhere);
    QCOMPARE(tlUpdater::descriptorUrl().toEncoded(), elsewhere);
    qunsetenv("TILVANE_VERSION_URL");
}

TILVANE_TEST_MAIN(UpdaterTest, QApplication)
#include "tst_updater.moc"
