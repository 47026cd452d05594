// The stand-in server as its own process under load on loopback: 200 clients
// at once, 10,000 exchanges, and a SIGKILL in the middle of a run.
#include "service/credential.h"
#include "service/request.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Server
{
    explicit Server(const QString &data) : data(data) { }
    bool addAccount(qint64 credits)
    {
        return QProcess::execute(
                       ZENDRY_SERVER_BINARY,
                       { "--data", data, "--add-account", "load", "pw", QString::number(credits), "0" })
                == 0;
    }
    bool start()
    {
        process.setProgram(ZENDRY_SERVER_BINARY);
        process.setArguments({ "--data", data, "--listen", "127.0.0.1:0" });
        process.start();
        if (!process.waitForStarted(10000))
            return false;
        // "zendry-server on 127.0.0.1:PORT with N accounts"
        QByteArray out;
        const QRegularExpression line("on 127\\.0\\.0\\.1:(\\d+) ");
        return QTest::qWaitFor(
                [&] {
                    out += process.readAllStandardOutput();
                    const auto m = line.match(QString::fromLatin1(out));
                    port = m.hasMatch() ? quint16(m.captured(1).toUInt()) : 0;
                    return port != 0;
                },
                10000);
    }
    // The account's credits as the data file holds them; -1 when the file is not valid.
    qint64 creditsOnDisk() const
    {
        QFile file(data + "/accounts.json");
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error != QJsonParseError::NoError)
            return -1;
        for (const QJsonValue &v : doc.object().value("accounts").toArray()) {
            if (v.toObject().value("zdid").toString() == "load")
                return v.toObject().value("free").toInteger() + v.toObject().value("purchased").toInteger();
        }
        return -1;
    }
    QString data;
    QProcess process;
    quint16 port = 0;
};

// Keeps `concurrent` exchanges open until `total` have been started.
struct Load
{
    Load(quint16 port, int concurrent, int total) : port(port), total(total)
    {
        for (int i = 0; i < concurrent; ++i)
            startOne();
    }
    void startOne()
    {
        if (started >= total)
            return;
        ++started;
        auto *s = new QTcpSocket;
        auto reply = std::make_shared<QByteArray>();
        QObject::connect(s, &QTcpSocket::connected, s, [this, s] { s->write(request); });
        QObject::connect(s, &QTcpSocket::readyRead, s, [s, reply] { *reply += s->readAll(); });
        QObject::connect(s, &QTcpSocket::disconnected, s, [this, s, reply] { finish(s, *reply); });
        QObject::connect(s, &QTcpSocket::errorOccurred, s, [this, s, reply](QAbstractSocket::SocketError e) {
            if (e != QAbstractSocket::RemoteHostClosedError)
                finish(s, *reply);
        });
        s->connectToHost(QHostAddress::LocalHost, port);
    }
    void finish(QTcpSocket *s, const QByteArray &reply)
    {
        if (s->property("done").toBool())
            return;
        s->setProperty("done", true);
        s->deleteLater();
        ++finished;
        if (reply.startsWith('='))
            replies.insert(reply);
        else
            ++refused;
        startOne();
    }
    bool done() const { return finished == started && started == total; }

    quint16 port;
    int total;
    int started = 0, finished = 0, refused = 0;
    QSet<QByteArray> replies;
    const QByteArray request =
            zendry::sendRequest("load", zendry::PasswordDigest("pw"), "447700900123", "load", "l");
};

} // namespace

class TestServerLoad : public QObject
{
    Q_OBJECT

private slots:
    void tenThousandExchanges();
    void killedInTheMiddle();
};

void TestServerLoad::tenThousandExchanges()
{
    QTemporaryDir data;
    Server server(data.path());
    const qint64 credits = 12000;
    QVERIFY(server.addAccount(credits));
    QVERIFY(server.start());
    Load load(server.port, 200, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(load.done(), 240000);
    server.process.terminate();
    QVERIFY(server.process.waitForFinished(10000));
    // Every send spent exactly one credit: every balance was seen once.
    QCOMPARE(load.refused, 0);
    QCOMPARE(int(load.replies.size()), 10000);
    QCOMPARE(server.creditsOnDisk(), credits - 10000);
}

void TestServerLoad::killedInTheMiddle()
{
    QTemporaryDir data;
    Server server(data.path());
    const qint64 credits = 100000;
    QVERIFY(server.addAccount(credits));
    QVERIFY(server.start());
    Load load(server.port, 200, 100000);
    // Killed at a random moment: after a random number of answers.
    const int answered = 100 + int(QRandomGenerator::global()->bounded(3000));
    QTRY_VERIFY_WITH_TIMEOUT(load.replies.size() >= answered, 120000);
    server.process.kill();
    QVERIFY(server.process.waitForFinished(10000));
    QTRY_VERIFY_WITH_TIMEOUT(load.finished == load.started, 30000);
    // The file is whole, and it spent at least what was answered and at most
    // what was asked.
    const qint64 onDisk = server.creditsOnDisk();
    QVERIFY2(onDisk >= 0, "accounts.json is not valid after the kill");
    const qint64 spent = credits - onDisk;
    QVERIFY2(spent >= load.replies.size() && spent <= load.started,
             qPrintable(QString("spent %1, answered %2, asked %3")
                                .arg(spent)
                                .arg(load.replies.size())
                                .arg(load.started)));
}

QTEST_GUILESS_MAIN(TestServerLoad)
#include "tst_serverload.moc"
