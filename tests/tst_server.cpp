// The stand-in: its answers and pages, its banners, and as its own process
// under a burst of concurrent sends.
#include "banner/bannerheader.h"
#include "server/standinserver.h"
#include "service/credential.h"
#include "service/request.h"

#include <QDir>
#include <QImage>
#include <QProcess>
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

// A banner reply as its picture's name and width, when the header's length is the picture's.
QByteArray bannerOf(const QByteArray &reply)
{
    const auto header = BannerHeader::parse(reply);
    if (!header || header->length != reply.size() - header->pictureAt)
        return "bad";
    const int width = QImage::fromData(reply.mid(header->pictureAt)).width();
    return header->link.section('=', 1).toLatin1() + ' ' + QByteArray::number(width);
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
    void asItsOwnProcess();
};

void TestServer::answers_data()
{
    // Requests to one server in turn, each followed by its reply: the whole
    // reply; for a page a part of it; for a banner its picture's name and
    // width. "+shelf" puts two pictures on the banner shelf.
    QTest::addColumn<QList<QByteArray>>("steps");
    const QByteArray digest = PasswordDigest("pw").toLatin1(), carol = PasswordDigest("sécret 1").toLatin1();
    const QByteArray ok = "HTTP/1.0 200", ad = "Ad SMS v1.10";
    auto send = [](const char *zdid, const QString &digest, const char *to) {
        return sendRequest(zdid, digest, to, "hello\r\nthere", "al");
    };
    using Steps = QList<QByteArray>;
    // clang-format off
    QTest::newRow("credits") << Steps{ creditsRequest(" ALICE ", digest), "=1,1" };
    QTest::newRow("unknown ZDID") << Steps{ creditsRequest("carol", digest), "!w" };
    QTest::newRow("wrong digest") << Steps{ creditsRequest("alice", PasswordDigest("PW")), "!p" };
    QTest::newRow("send: free credits first") << Steps{ send("alice", digest, "4477"), "=0,1" };
    QTest::newRow("send, no credits") << Steps{ send("bob", PasswordDigest("bob"), "4477"), "!0" };
    QTest::newRow("to an unknown ZDID") << Steps{ send("alice", digest, "carol"), "!rw" };
    QTest::newRow("garbage") << Steps{ "hello there", "" };
    QTest::newRow("the create page") << Steps{ "GET /create/ HTTP/1.0\r\n\r\n", "<form method=\"post\" action=\"/create/\">" };
    QTest::newRow("no such page, escaped") << Steps{ "GET /x<y> HTTP/1.0\r\n\r\n", "/x&lt;y&gt;" };
    QTest::newRow("buying with a wrong password") << Steps{ post("/buytexts.html", "zdid=alice&password=x&credits=1"), "HTTP/1.0 400" };
    QTest::newRow("an account created, then credits bought")
            << Steps{ post("/create/", "zdid=carol&password=s%C3%A9cret+1&mobile=4477"), ok, creditsRequest("carol", carol), "=5,0",
                      post("/buytexts.html", "zdid=carol&password=s%C3%A9cret+1&credits=10"), ok, creditsRequest("carol", carol), "=5,10" };
    QTest::newRow("the built-in banner, then the shelf's in turn")
            << Steps{ ad, "builtin 468", "+shelf", "", ad, "10.png 10", ad, "20.png 20", ad, "10.png 10" };
    // clang-format on
}

// A send spends a credit, saves the accounts at once and records the message.
void TestServer::answers()
{
    QFETCH(QList<QByteArray>, steps);
    Running s;
    for (qsizetype i = 0; i + 1 < steps.size(); i += 2) {
        const QByteArray &request = steps[i], &reply = steps[i + 1];
        if (request == "+shelf") {
            QVERIFY(QDir(s.dir.path()).mkdir("banners"));
            for (int width : { 10, 20 })
                QVERIFY(QImage(width, 5, QImage::Format_RGB32)
                                .save(s.dir.filePath(QString("banners/%1.png").arg(width))));
            continue;
        }
        const QByteArray got = s.ask(request);
        if (request.startsWith("Ad SMS "))
            QCOMPARE(bannerOf(got), reply);
        else
            QVERIFY2(request.contains(" HTTP/1.") ? got.contains(reply) : got == reply, got);
    }
    const bool sent = steps.contains("=0,1");
    AccountStore reread(s.dir.path());
    QVERIFY(reread.load());
    const Account *alice = reread.find("alice"); // none: nothing was saved
    QCOMPARE(alice ? alice->freeCredits : 1, sent ? 0 : 1);
    QFile outbox(s.server.outboxPath());
    QCOMPARE(outbox.open(QIODevice::ReadOnly) ? outbox.readAll().count("\"message\":\"hello\\rthere\"") : 0,
             sent ? 1 : 0);
}

// A request that came while the server was busy past its deadline, so its
// line was never seen quiet, is still answered.
void TestServer::answeredThoughBusy()
{
    Running s;
    s.server.setLimits({ 60000, 100, 1 << 20 });
    QCOMPARE(s.ask(creditsRequest("alice", PasswordDigest("pw"))), QByteArray("=1,1"));
}

// As its own process, accounts added from the command line: a burst of sends,
// all open at once, spends each credit once and leaves the file saved.
void TestServer::asItsOwnProcess()
{
    QTemporaryDir data;
    const QStringList add = { "--data", data.path(), "--add-account", "load", "pw", "1000", "0" };
    QCOMPARE(QProcess::execute(ZENDRY_SERVER_BINARY, add), 0);
    QProcess server;
    server.start(ZENDRY_SERVER_BINARY, { "--data", data.path(), "--listen", "127.0.0.1:0" });
    QByteArray out; // "zendry-server on 127.0.0.1:PORT with N accounts"
    QTRY_VERIFY(out.append(server.readAllStandardOutput()).contains(" with "));
    const quint16 port = quint16(out.split(':').value(1).split(' ')[0].toUInt());
    int finished = 0;
    QSet<QByteArray> balances; // each answer's balance; a credit spent twice would repeat one
    for (int i = 0; i < 300; ++i) {
        auto *s = new QTcpSocket(&server);
        auto reply = std::make_shared<QByteArray>();
        connect(s, &QTcpSocket::connected, s,
                [s] { s->write(sendRequest("load", PasswordDigest("pw"), "1", "a", "l")); });
        // Read as it comes: a socket may be closed by the time it says so.
        connect(s, &QTcpSocket::readyRead, s, [s, reply] { *reply += s->readAll(); });
        connect(s, &QTcpSocket::disconnected, s, [&, reply] {
            if (reply->startsWith('='))
                balances.insert(*reply);
            ++finished;
        });
        s->connectToHost(QHostAddress::LocalHost, port);
    }
    QTRY_COMPARE_WITH_TIMEOUT(finished, 300, 60000);
    QCOMPARE(balances.size(), 300);
    server.kill();
    QVERIFY(server.waitForFinished());
    AccountStore store(data.path());
    QVERIFY(store.load() && store.find("load"));
    QCOMPARE(store.find("load")->freeCredits, 700);
}

QTEST_GUILESS_MAIN(TestServer)
#include "tst_server.moc"
