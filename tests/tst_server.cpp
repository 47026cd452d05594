#include "banner/bannerheader.h"
#include "platform/ansicodec.h"
#include "server/standinserver.h"
#include "server/webpages.h"
#include "service/credential.h"
#include "service/request.h"

#include <QDir>
#include <QImage>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace zendry;
using namespace zendry::server;

class TestServer : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void bannersInTurn();
    void createAnAccountAndBuyCredits();
};

namespace {

QByteArray send(const QString &zdid, const QString &pw, const QString &to)
{
    return sendRequest(zdid, PasswordDigest(pw), to, "hello\r\nthere", "al");
}

// One exchange over TCP: the request, then everything until the server closes.
QByteArray exchange(quint16 port, const QByteArray &request)
{
    QTcpSocket socket;
    QByteArray reply;
    QObject::connect(&socket, &QTcpSocket::connected, &socket, [&] { socket.write(request); });
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] { reply += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, port);
    return QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }) ? reply
                                                                                                : "<no end>";
}

struct Running
{
    Running() : server(dir.path())
    {
        server.open(nullptr);
        server.accounts().put({ "alice", PasswordDigest("pw"), 1, 1, "447700900001" });
        server.accounts().put({ "bob", PasswordDigest("bob"), 0, 0, "" });
        server.listen(QHostAddress::LocalHost, 0, nullptr);
    }
    QTemporaryDir dir;
    StandInServer server;
};

} // namespace

void TestServer::answers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    const QByteArray old = "stxt "
            + AnsiCodec::encode(WireEncode(QString("v1.09 alice ") + PasswordDigest("pw")
                                           + "\r\n1\r\nhi\rs"));
    // clang-format off
    QTest::newRow("credits") << creditsRequest(" ALICE ", PasswordDigest("pw")) << QByteArray("=1,1");
    QTest::newRow("unknown ZDID") << creditsRequest("carol", PasswordDigest("pw")) << QByteArray("!w");
    QTest::newRow("wrong digest") << creditsRequest("alice", PasswordDigest("PW")) << QByteArray("!p");
    QTest::newRow("no digest") << creditsRequest("alice", "") << QByteArray("!p");
    QTest::newRow("send: free credits first") << send("alice", "pw", "4477") << QByteArray("=0,1");
    QTest::newRow("send, no credits") << send("bob", "bob", "4477") << QByteArray("!0");
    QTest::newRow("to an unknown ZDID") << send("alice", "pw", "carol") << QByteArray("!rw");
    QTest::newRow("to a ZDID without mobile") << send("alice", "pw", "Bob") << QByteArray("!rn");
    QTest::newRow("to a ZDID") << send("alice", "pw", "alice") << QByteArray("=0,1");
    QTest::newRow("an old client") << old << QByteArray(outdatedVersionReply);
    QTest::newRow("garbage") << QByteArray("hello there") << QByteArray();
    QTest::newRow("send with one line") << "stxt " + AnsiCodec::encode(WireEncode(u"v1.10 a b")) << QByteArray();
    // clang-format on
}

void TestServer::answers()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    Running s;
    QCOMPARE(exchange(s.server.port(), request), reply);
    if (reply == "=0,1") { // spent, saved at once, and in the outbox
        AccountStore reread(s.dir.path());
        QVERIFY(reread.load());
        QCOMPARE(reread.find("alice")->freeCredits, 0);
        QFile outbox(s.server.outboxPath());
        QVERIFY(outbox.open(QIODevice::ReadOnly));
        QCOMPARE(outbox.readAll().count("\"message\":\"hello\\rthere\""), 1);
    }
}

void TestServer::bannersInTurn()
{
    Running s;
    auto fetch = [&] {
        const QByteArray reply = exchange(s.server.port(), "Ad SMS v1.10");
        const auto header = BannerHeader::parse(reply);
        return header && header->length == reply.size() - header->pictureAt
                ? header->link + ' ' + QString::number(QImage::fromData(reply.mid(header->pictureAt)).width())
                : QString("bad reply");
    };
    const QString site = QString("http://127.0.0.1:%1/?banner=").arg(s.server.port());
    QCOMPARE(fetch(), site + "builtin 468");
    QVERIFY(QDir(s.dir.path()).mkdir("banners"));
    for (const char *name : { "b.png", "a.png" }) {
        QImage image(name[0] == 'a' ? 10 : 20, 5, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(s.dir.filePath(QString("banners/") + name)));
    }
    QCOMPARE(QStringList({ fetch(), fetch(), fetch() }),
             QStringList({ site + "a.png 10", site + "b.png 20", site + "a.png 10" }));
}

// A user of the demo makes an account and buys credits through the pages the
// client's buttons open; then the service knows them.
void TestServer::createAnAccountAndBuyCredits()
{
    Running s;
    auto post = [&](const QByteArray &path, const QByteArray &body) {
        return exchange(s.server.port(),
                        "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: "
                                + QByteArray::number(body.size()) + "\r\n\r\n" + body)
                .left(12);
    };
    const QByteArray digest = PasswordDigest(QString("sécret 1")).toLatin1();
    QCOMPARE(post("/create/", "zdid=new+user&password=p"), QByteArray("HTTP/1.0 400"));
    QCOMPARE(post("/create/", "zdid=alice&password=p"), QByteArray("HTTP/1.0 400")); // taken
    QCOMPARE(post("/create/", "zdid=carol&password=s%C3%A9cret+1&mobile=4477"), QByteArray("HTTP/1.0 200"));
    QCOMPARE(exchange(s.server.port(), creditsRequest("carol", digest)), QByteArray("=5,0"));
    QCOMPARE(post("/buytexts.html", "zdid=carol&password=wrong&credits=10"), QByteArray("HTTP/1.0 400"));
    QCOMPARE(post("/buytexts.html", "zdid=carol&password=s%C3%A9cret+1&credits=10"),
             QByteArray("HTTP/1.0 200"));
    QCOMPARE(exchange(s.server.port(), creditsRequest("carol", digest)), QByteArray("=5,10"));
    // The pages themselves, their forms, and what the user typed, escaped.
    QVERIFY(exchange(s.server.port(), "GET /create/ HTTP/1.0\r\n\r\n")
                    .contains("<form method=\"post\" action=\"/create/\">"));
    QVERIFY(exchange(s.server.port(), "GET /?banner=a.png HTTP/1.0\r\n\r\n").contains("advertisement a.png"));
    QVERIFY(exchange(s.server.port(), "GET /x<y> HTTP/1.0\r\n\r\n").contains("404 Not Found"));
    QVERIFY(exchange(s.server.port(), "GET /x<y> HTTP/1.0\r\n\r\n").contains("/x&lt;y&gt;"));
}

QTEST_GUILESS_MAIN(TestServer)
#include "tst_server.moc"
