#include "platform/ansicodec.h"
#include "server/standinserver.h"
#include "service/credential.h"
#include "service/request.h"

#include <QFile>
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
};

namespace {

void addAccounts(AccountStore &store)
{
    store.put({"alice", PasswordDigest("pw"), 1, 1, "447700900001"});
    store.put({"bob", PasswordDigest("bob"), 0, 0, ""});
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
    QTest::newRow("credits, ZDID in capitals") << creditsRequest(" ALICE ", PasswordDigest("pw")) << QByteArray("=1,1");
    QTest::newRow("credits, unknown ZDID") << creditsRequest("carol", PasswordDigest("pw")) << QByteArray("!w");
    QTest::newRow("credits, wrong digest") << creditsRequest("alice", PasswordDigest("PW")) << QByteArray("!p");
    QTest::newRow("credits, no digest") << creditsRequest("alice", "") << QByteArray("!p");
    QTest::newRow("send to a number") << send("alice", "pw", "4477") << QByteArray("=0,1");
    QTest::newRow("send, no credits") << send("bob", "bob", "4477") << QByteArray("!0");
    QTest::newRow("send, wrong digest") << send("alice", "x", "4477") << QByteArray("!p");
    QTest::newRow("send to an unknown ZDID") << send("alice", "pw", "carol") << QByteArray("!rw");
    QTest::newRow("send to a ZDID without mobile") << send("alice", "pw", "Bob") << QByteArray("!rn");
    QTest::newRow("send to a ZDID") << send("alice", "pw", "alice") << QByteArray("=0,1");
    QByteArray old = "stxt " + AnsiCodec::encode(WireEncode("v1.09 alice " + PasswordDigest("pw") + "\r\n1\r\nhi\rs"));
    QTest::newRow("old client") << old << QByteArray(outdatedVersionReply);
    QTest::newRow("garbage") << QByteArray("GET / HTTP/1.0\r\n\r\n") << QByteArray();
    QTest::newRow("prefix only") << QByteArray("stxt ") << QByteArray();
    QTest::newRow("credits without a space") << QByteArray("txt abc") << QByteArray();
    QTest::newRow("send with one line") << QByteArray("stxt ") + AnsiCodec::encode(WireEncode(u"v1.10 a b")) << QByteArray();
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
        QObject::connect(&socket, &QTcpSocket::connected, &socket, [this, request] { socket.write(request); });
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
    server.accounts().put({"busy", PasswordDigest("pw"), 150, 100, ""});
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

QTEST_GUILESS_MAIN(TestServer)
#include "tst_server.moc"
