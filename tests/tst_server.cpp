// The stand-in: its answers and pages, its banners, and as its own process
// under a burst of concurrent sends and a SIGKILL in the middle of one.
#include "banner/bannerheader.h"
#include "server/standinserver.h"
#include "service/credential.h"
#include "service/request.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace zendry;
using namespace zendry::server;

namespace {

// One exchange over TCP: the request, then everything until the server closes.
QByteArray exchange(quint16 port, const QByteArray &request)
{
    QTcpSocket socket;
    QByteArray reply;
    QObject::connect(&socket, &QTcpSocket::connected, &socket, [&] { socket.write(request); });
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] { reply += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, port);
    const bool closed = QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; });
    return closed ? reply : "<no end>";
}

QByteArray post(const QByteArray &path, const QByteArray &form)
{
    return "POST " + path + " HTTP/1.1\r\nContent-Length: " + QByteArray::number(form.size()) + "\r\n\r\n"
            + form;
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
    QByteArray ask(const QByteArray &request) { return exchange(server.port(), request); }
    QTemporaryDir dir;
    StandInServer server;
};

} // namespace

class TestServer : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void answeredThoughBusy();
    void bannersInTurn();
    void createAnAccountAndBuyCredits();
    void asItsOwnProcess();
};

void TestServer::answers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply"); // the whole reply, or for a page a part of it
    const QString digest = PasswordDigest("pw");
    auto send = [](const char *zdid, const QString &digest, const char *to) {
        return sendRequest(zdid, digest, to, "hello\r\nthere", "al");
    };
    // clang-format off
    QTest::newRow("credits") << creditsRequest(" ALICE ", digest) << QByteArray("=1,1");
    QTest::newRow("unknown ZDID") << creditsRequest("carol", digest) << QByteArray("!w");
    QTest::newRow("wrong digest") << creditsRequest("alice", PasswordDigest("PW")) << QByteArray("!p");
    QTest::newRow("send: free credits first") << send("alice", digest, "4477") << QByteArray("=0,1");
    QTest::newRow("send, no credits") << send("bob", PasswordDigest("bob"), "4477") << QByteArray("!0");
    QTest::newRow("to an unknown ZDID") << send("alice", digest, "carol") << QByteArray("!rw");
    QTest::newRow("garbage") << QByteArray("hello there") << QByteArray();
    QTest::newRow("the create page") << QByteArray("GET /create/ HTTP/1.0\r\n\r\n") << QByteArray("<form method=\"post\" action=\"/create/\">");
    QTest::newRow("no such page, escaped") << QByteArray("GET /x<y> HTTP/1.0\r\n\r\n") << QByteArray("/x&lt;y&gt;");
    QTest::newRow("buying with a wrong password") << post("/buytexts.html", "zdid=alice&password=x&credits=1") << QByteArray("HTTP/1.0 400");
    // clang-format on
}

// A send spends a credit, saves the accounts at once and records the message.
void TestServer::answers()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    Running s;
    const QByteArray got = s.ask(request);
    const bool page = request.startsWith("GET ") || request.startsWith("POST ");
    QVERIFY2(page ? got.contains(reply) : got == reply, got);
    AccountStore reread(s.dir.path());
    QVERIFY(reread.load());
    const Account *alice = reread.find("alice"); // none: nothing was saved
    QCOMPARE(alice ? alice->freeCredits : 1, reply == "=0,1" ? 0 : 1);
    QFile outbox(s.server.outboxPath());
    QCOMPARE(outbox.open(QIODevice::ReadOnly) ? outbox.readAll().count("\"message\":\"hello\\rthere\"") : 0,
             reply == "=0,1" ? 1 : 0);
}

// A request that came while the server was busy past its deadline, so its
// line was never seen quiet, is still answered.
void TestServer::answeredThoughBusy()
{
    Running s;
    s.server.setLimits({ 60000, 100, 1 << 20 });
    QCOMPARE(s.ask(creditsRequest("alice", PasswordDigest("pw"))), QByteArray("=1,1"));
}

// The built-in banner until pictures are put on the shelf, then those in turn.
void TestServer::bannersInTurn()
{
    Running s;
    auto fetch = [&] {
        const QByteArray reply = s.ask("Ad SMS v1.10");
        const auto header = BannerHeader::parse(reply);
        const bool whole = header && header->length == reply.size() - header->pictureAt;
        const int width = QImage::fromData(reply.mid(whole ? header->pictureAt : 0)).width();
        return whole ? header->link.section('=', 1) + ' ' + QString::number(width) : "bad";
    };
    QCOMPARE(fetch(), QString("builtin 468"));
    QVERIFY(QDir(s.dir.path()).mkdir("banners"));
    for (int width : { 10, 20 })
        QVERIFY(QImage(width, 5, QImage::Format_RGB32)
                        .save(s.dir.filePath(QString("banners/%1.png").arg(width))));
    const QStringList inTurn = { fetch(), fetch(), fetch() };
    QCOMPARE(inTurn, QStringList({ "10.png 10", "20.png 20", "10.png 10" }));
}

// Through the pages the client's buttons open; then the service knows them.
void TestServer::createAnAccountAndBuyCredits()
{
    Running s;
    const QByteArray digest = PasswordDigest(QString("sécret 1")).toLatin1(), ok = "HTTP/1.0 200";
    QCOMPARE(s.ask(post("/create/", "zdid=carol&password=s%C3%A9cret+1&mobile=4477")).left(12), ok);
    QCOMPARE(s.ask(creditsRequest("carol", digest)), QByteArray("=5,0"));
    QCOMPARE(s.ask(post("/buytexts.html", "zdid=carol&password=s%C3%A9cret+1&credits=10")).left(12), ok);
    QCOMPARE(s.ask(creditsRequest("carol", digest)), QByteArray("=5,10"));
}

// A burst of sends, all open at once, spends each credit once, and the file
// is saved before each answer; killed in the middle of a burst, the server
// leaves its accounts file whole, having spent at least what it answered.
void TestServer::asItsOwnProcess()
{
    QTemporaryDir data;
    QProcess server;
    quint16 port = 0;
    auto start = [&] {
        const QStringList add = { "--data", data.path(), "--add-account", "load", "pw", "1000", "0" };
        QCOMPARE(QProcess::execute(ZENDRY_SERVER_BINARY, add), 0);
        server.start(ZENDRY_SERVER_BINARY, { "--data", data.path(), "--listen", "127.0.0.1:0" });
        QByteArray out; // "zendry-server on 127.0.0.1:PORT with N accounts"
        QVERIFY(QTest::qWaitFor([&] {
            out += server.readAllStandardOutput();
            port = quint16(QRegularExpression("127\\.0\\.0\\.1:(\\d+) ").match(out).captured(1).toUInt());
            return port != 0;
        }));
    };
    auto creditsOnDisk = [&] { // -1: the file is not whole
        QFile file(data.filePath("accounts.json"));
        const QJsonDocument doc =
                QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "");
        const QJsonArray accounts = doc.object().value("accounts").toArray();
        return accounts.isEmpty() ? qint64(-1) : accounts[0].toObject().value("free").toInteger();
    };
    int finished = 0;
    QSet<QByteArray> balances; // each answer's balance; a credit spent twice would repeat one
    auto burst = [&] {
        finished = 0;
        balances.clear();
        for (int i = 0; i < 300; ++i) {
            auto *s = new QTcpSocket(&server);
            connect(s, &QTcpSocket::connected, s,
                    [s] { s->write(sendRequest("load", PasswordDigest("pw"), "1", "a", "l")); });
            connect(s, &QTcpSocket::disconnected, s, [&, s] {
                if (const QByteArray reply = s->readAll(); reply.startsWith('='))
                    balances.insert(reply);
                ++finished;
            });
            s->connectToHost(QHostAddress::LocalHost, port);
        }
    };
    start();
    burst();
    QTRY_COMPARE_WITH_TIMEOUT(finished, 300, 60000);
    QCOMPARE(balances.size(), 300);
    QCOMPARE(creditsOnDisk(), 700);
    server.kill();
    QVERIFY(server.waitForFinished());
    start();
    burst();
    QTRY_VERIFY_WITH_TIMEOUT(balances.size() >= 50, 30000);
    server.kill();
    QVERIFY(server.waitForFinished());
    const qint64 spent = 1000 - creditsOnDisk();
    QVERIFY2(creditsOnDisk() >= 0 && spent >= balances.size() && spent <= 300,
             qPrintable(QString::number(spent)));
}

QTEST_GUILESS_MAIN(TestServer)
#include "tst_server.moc"
