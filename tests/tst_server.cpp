#include "platform/ansicodec.h"
#include "server/standinserver.h"
#include "server/webpages.h"
#include "banner/bannerheader.h"
#include "service/credential.h"
#include "service/request.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace zendry;
using namespace zendry::server;

class TestServer : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void creditsRunOutFreeFirst();
    void servesOverTcp();
    void burstOfConcurrentSends();
    void bannersInTurn();
    void webPages_data();
    void webPages();
    void createAnAccountAndBuyCredits();
};

namespace {

void addAccounts(AccountStore &store)
{
    store.put({ "alice", PasswordDigest("pw"), 1, 1, "447700900001" });
    store.put({ "bob", PasswordDigest("bob"), 0, 0, "" });
}

QByteArray send(const QString &zdid, const QString &pw, const QString &to)
{
    return sendRequest(zdid, PasswordDigest(pw), to, "hello\r\nthere", "al");
}

} // namespace

void TestServer::answers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("credits") << creditsRequest("alice", PasswordDigest("pw")) << QByteArray("=1,1");
    QTest::newRow("credits, ZDID in capitals")
            << creditsRequest(" ALICE ", PasswordDigest("pw")) << QByteArray("=1,1");
    QTest::newRow("credits, unknown ZDID")
            << creditsRequest("carol", PasswordDigest("pw")) << QByteArray("!w");
    QTest::newRow("credits, wrong digest")
            << creditsRequest("alice", PasswordDigest("PW")) << QByteArray("!p");
    QTest::newRow("credits, no digest") << creditsRequest("alice", "") << QByteArray("!p");
    QTest::newRow("send to a number") << send("alice", "pw", "4477") << QByteArray("=0,1");
    QTest::newRow("send, no credits") << send("bob", "bob", "4477") << QByteArray("!0");
    QTest::newRow("send, wrong digest") << send("alice", "x", "4477") << QByteArray("!p");
    QTest::newRow("send to an unknown ZDID") << send("alice", "pw", "carol") << QByteArray("!rw");
    QTest::newRow("send to a ZDID without mobile") << send("alice", "pw", "Bob") << QByteArray("!rn");
    QTest::newRow("send to a ZDID") << send("alice", "pw", "alice") << QByteArray("=0,1");
    QByteArray old =
            "stxt " + AnsiCodec::encode(WireEncode("v1.09 alice " + PasswordDigest("pw") + "\r\n1\r\nhi\rs"));
    QTest::newRow("old client") << old << QByteArray(outdatedVersionReply);
    QTest::newRow("garbage") << QByteArray("GET / HTTP/1.0\r\n\r\n") << QByteArray();
    QTest::newRow("prefix only") << QByteArray("stxt ") << QByteArray();
    QTest::newRow("credits without a space") << QByteArray("txt abc") << QByteArray();
    QTest::newRow("send with one line")
            << QByteArray("stxt ") + AnsiCodec::encode(WireEncode(u"v1.10 a b")) << QByteArray();
}

void TestServer::answers()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QTemporaryDir dir;
    AccountStore store(dir.path());
    addAccounts(store);
    QCOMPARE(answerServiceRequest(request, store).reply, reply);
}

void TestServer::creditsRunOutFreeFirst()
{
    QTemporaryDir dir;
    AccountStore store(dir.path());
    addAccounts(store);
    const ServiceAnswer first = answerServiceRequest(send("alice", "pw", "4477"), store);
    QCOMPARE(first.reply, QByteArray("=0,1"));
    QVERIFY(first.accountsChanged);
    QVERIFY(first.delivery.has_value());
    QCOMPARE(first.delivery->to, QString("4477"));
    QCOMPARE(first.delivery->message, QString("hello\rthere"));
    QCOMPARE(first.delivery->signature, QString("al"));
    QCOMPARE(answerServiceRequest(send("alice", "pw", "4477"), store).reply, QByteArray("=0,0"));
    const ServiceAnswer third = answerServiceRequest(send("alice", "pw", "4477"), store);
    QCOMPARE(third.reply, QByteArray("!0"));
    QVERIFY(!third.accountsChanged);
    QVERIFY(!third.delivery.has_value());
}

namespace {

// One client exchange: send the request, collect everything until the server closes.
struct Client
{
    explicit Client(quint16 port, const QByteArray &request)
    {
        QObject::connect(&socket, &QTcpSocket::connected, &socket,
                         [this, request] { socket.write(request); });
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { reply += socket.readAll(); });
        QObject::connect(&socket, &QTcpSocket::disconnected, &socket, [this] { done = true; });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    QTcpSocket socket;
    QByteArray reply;
    bool done = false;
};

} // namespace

void TestServer::servesOverTcp()
{
    QTemporaryDir dir;
    StandInServer server(dir.path());
    QVERIFY(server.open(nullptr));
    addAccounts(server.accounts());
    QVERIFY(server.listen(QHostAddress::LocalHost, 0, nullptr));

    Client ok(server.port(), send("alice", "pw", "4477"));
    Client garbage(server.port(), "hello there");
    QTRY_VERIFY(ok.done && garbage.done);
    QCOMPARE(ok.reply, QByteArray("=0,1"));
    QCOMPARE(garbage.reply, QByteArray());

    // Saved at once, and the message is in the outbox.
    AccountStore reread(dir.path());
    QVERIFY(reread.load());
    QCOMPARE(reread.find("alice")->freeCredits, 0);
    QFile outbox(server.outboxPath());
    QVERIFY(outbox.open(QIODevice::ReadOnly));
    const QByteArray line = outbox.readAll();
    QVERIFY(line.contains("\"to\":\"4477\""));
    QCOMPARE(line.count('\n'), 1);
}

void TestServer::burstOfConcurrentSends()
{
    QTemporaryDir dir;
    StandInServer server(dir.path());
    QVERIFY(server.open(nullptr));
    server.accounts().put({ "busy", PasswordDigest("pw"), 150, 100, "" });
    QVERIFY(server.listen(QHostAddress::LocalHost, 0, nullptr));

    const int clients = 200;
    std::vector<std::unique_ptr<Client>> all;
    for (int i = 0; i < clients; ++i)
        all.push_back(std::make_unique<Client>(server.port(), send("busy", "pw", QString::number(1000 + i))));
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(all.begin(), all.end(), [](auto &c) { return c->done; }), 30000);

    // Every send spent exactly one credit: each balance was seen once.
    QSet<QByteArray> replies;
    for (auto &c : all)
        replies.insert(c->reply);
    QCOMPARE(int(replies.size()), clients);
    QVERIFY(replies.contains("=0,50"));
    QVERIFY(replies.contains("=149,100"));
    AccountStore reread(dir.path());
    QVERIFY(reread.load());
    QCOMPARE(reread.find("busy")->freeCredits, 0);
    QCOMPARE(reread.find("busy")->purchasedCredits, 50);
}

void TestServer::bannersInTurn()
{
    QTemporaryDir dir;
    StandInServer server(dir.path());
    QVERIFY(server.open(nullptr));
    QVERIFY(server.listen(QHostAddress::LocalHost, 0, nullptr));
    auto fetch = [&] {
        Client c(server.port(), "Ad SMS v1.10");
        if (!QTest::qWaitFor([&] { return c.done; }))
            return std::make_pair(QString(), QByteArray());
        const auto header = BannerHeader::parse(c.reply);
        if (!header)
            return std::make_pair(QString("no header"), QByteArray());
        const QByteArray picture = c.reply.mid(header->pictureAt);
        return std::make_pair(header->link, picture.size() == header->length ? picture : QByteArray());
    };
    const QString site = QString("http://127.0.0.1:%1/?banner=").arg(server.port());
    auto [link, picture] = fetch();
    QCOMPARE(link, site + "builtin");
    QCOMPARE(QImage::fromData(picture).size(), QSize(468, 60));

    QVERIFY(QDir(dir.path()).mkdir("banners"));
    for (const char *name : { "b.png", "a.png" }) {
        QImage image(name[0] == 'a' ? 10 : 20, 5, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(dir.filePath(QString("banners/") + name)));
    }
    QCOMPARE(fetch().first, site + "a.png");
    QCOMPARE(fetch().first, site + "b.png");
    const auto third = fetch();
    QCOMPARE(third.first, site + "a.png");
    QCOMPARE(QImage::fromData(third.second).width(), 10);
}

void TestServer::webPages_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("contains");
    QTest::newRow("home") << QByteArray("GET / HTTP/1.1\r\nHost: x\r\n\r\n") << QByteArray("200")
                          << QByteArray("/create/");
    QTest::newRow("banner click") << QByteArray("GET /?banner=a.png HTTP/1.0\r\n\r\n") << QByteArray("200")
                                  << QByteArray("advertisement a.png");
    QTest::newRow("create form") << QByteArray("GET /create/ HTTP/1.0\r\n\r\n") << QByteArray("200")
                                 << QByteArray("<form method=\"post\" action=\"/create/\">");
    QTest::newRow("buy form") << QByteArray("GET /buytexts.html HTTP/1.0\r\n\r\n") << QByteArray("200")
                              << QByteArray("action=\"/buytexts.html\"");
    QTest::newRow("no such page") << QByteArray("GET /x<y> HTTP/1.0\r\n\r\n") << QByteArray("404")
                                  << QByteArray("/x&lt;y&gt;");
    QTest::newRow("taken, escaped") << QByteArray(
            "POST /create/ HTTP/1.0\r\nContent-Length: 24\r\n\r\nzdid=alice&password=x%3C")
                                    << QByteArray("400") << QByteArray("The ZDID alice is taken");
    QTest::newRow("buy, wrong password")
            << QByteArray("POST /buytexts.html HTTP/1.0\r\nContent-Length: 33\r\n\r\n"
                          "zdid=alice&password=no&credits=10")
            << QByteArray("400") << QByteArray("wrong password");
}

void TestServer::webPages()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, contains);
    QTemporaryDir dir;
    AccountStore store(dir.path());
    addAccounts(store);
    QVERIFY(WebPages::isComplete(request));
    bool changed = true;
    const QByteArray response = WebPages::respond(WebPages::parse(request), store, &changed);
    QVERIFY2(response.startsWith("HTTP/1.0 " + status), response.left(40));
    QVERIFY2(response.contains(contains), response);
    QVERIFY(!changed);
}

// A user of the demo makes an account and buys credits through the pages the
// client's buttons open, then the service knows them.
void TestServer::createAnAccountAndBuyCredits()
{
    QTemporaryDir dir;
    StandInServer server(dir.path());
    QVERIFY(server.open(nullptr));
    QVERIFY(server.listen(QHostAddress::LocalHost, 0, nullptr));
    auto exchange = [&](const QByteArray &request) {
        Client c(server.port(), request);
        return QTest::qWaitFor([&] { return c.done; }) ? c.reply : QByteArray("<no answer>");
    };
    auto post = [](const QByteArray &path, const QByteArray &body) {
        return "POST " + path
                + " HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                  "Content-Length: "
                + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    };
    QVERIFY(exchange(post("/create/", "zdid=new+user&password=p")).startsWith("HTTP/1.0 400"));
    QVERIFY(exchange(post("/create/", "zdid=carol&password=s%C3%A9cret+1&mobile=4477"))
                    .startsWith("HTTP/1.0 200"));
    QCOMPARE(exchange(creditsRequest("carol", PasswordDigest(QString("sécret 1")))), QByteArray("=5,0"));
    QVERIFY(exchange(post("/buytexts.html", "zdid=carol&password=s%C3%A9cret+1&credits=10"))
                    .startsWith("HTTP/1.0 200"));
    QCOMPARE(exchange(creditsRequest("carol", PasswordDigest(QString("sécret 1")))), QByteArray("=5,10"));
    QVERIFY(exchange(post("/buytexts.html", "zdid=carol&password=s%C3%A9cret+1&credits=0"))
                    .startsWith("HTTP/1.0 400"));

    AccountStore reread(dir.path());
    QVERIFY(reread.load());
    QCOMPARE(reread.find("carol")->purchasedCredits, 10);
    QCOMPARE(reread.find("carol")->mobile, QString("4477"));
}

QTEST_GUILESS_MAIN(TestServer)
#include "tst_server.moc"
