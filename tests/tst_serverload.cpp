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

class TestServerLoad : public QObject
{
    Q_OBJECT

private slots:
    void tenThousandExchanges();
    void killedInTheMiddle();

private:
    bool start(qint64 credits);
    qint64 creditsOnDisk() const; // -1: the file is not whole
    void load(int concurrent, int total);
    void startOne();

    QTemporaryDir m_data;
    QProcess m_server;
    quint16 m_port = 0;
    int m_total = 0, m_started = 0, m_finished = 0;
    QSet<QByteArray> m_balances; // each send's reply: the balance it left
    const QByteArray m_request =
            zendry::sendRequest("load", zendry::PasswordDigest("pw"), "447700900123", "load", "l");
};

bool TestServerLoad::start(qint64 credits)
{
    m_started = m_finished = 0;
    m_balances.clear();
    if (QProcess::execute(
                ZENDRY_SERVER_BINARY,
                { "--data", m_data.path(), "--add-account", "load", "pw", QString::number(credits), "0" })
        != 0)
        return false;
    m_server.start(ZENDRY_SERVER_BINARY, { "--data", m_data.path(), "--listen", "127.0.0.1:0" });
    QByteArray out;
    return QTest::qWaitFor(
            [&] { // "zendry-server on 127.0.0.1:PORT with N accounts"
                out += m_server.readAllStandardOutput();
                m_port = quint16(
                        QRegularExpression("127\\.0\\.0\\.1:(\\d+) ").match(out).captured(1).toUInt());
                return m_port != 0;
            },
            10000);
}

qint64 TestServerLoad::creditsOnDisk() const
{
    QFile file(m_data.filePath("accounts.json"));
    QJsonParseError error;
    const QJsonDocument doc =
            QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "", &error);
    if (error.error != QJsonParseError::NoError)
        return -1;
    for (const QJsonValue v : doc.object().value("accounts").toArray()) {
        if (v.toObject().value("zdid").toString() == "load")
            return v.toObject().value("free").toInteger() + v.toObject().value("purchased").toInteger();
    }
    return -1;
}

// Keeps `concurrent` exchanges open until `total` have been started.
void TestServerLoad::load(int concurrent, int total)
{
    m_total = total;
    for (int i = 0; i < concurrent; ++i)
        startOne();
}

void TestServerLoad::startOne()
{
    if (m_started >= m_total)
        return;
    ++m_started;
    auto *s = new QTcpSocket(this);
    connect(s, &QTcpSocket::connected, s, [this, s] { s->write(m_request); });
    connect(s, &QTcpSocket::stateChanged, s, [this, s](QAbstractSocket::SocketState state) {
        if (state != QAbstractSocket::UnconnectedState || s->property("done").toBool())
            return;
        s->setProperty("done", true);
        const QByteArray reply = s->readAll();
        if (reply.startsWith('='))
            m_balances.insert(reply);
        ++m_finished;
        s->deleteLater();
        startOne();
    });
    s->connectToHost(QHostAddress::LocalHost, m_port);
}

void TestServerLoad::tenThousandExchanges()
{
    QVERIFY(start(12000));
    load(200, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(m_finished == 10000, 240000);
    m_server.terminate();
    QVERIFY(m_server.waitForFinished(10000));
    QCOMPARE(int(m_balances.size()), 10000); // no credit lost or spent twice
    QCOMPARE(creditsOnDisk(), 2000);
}

void TestServerLoad::killedInTheMiddle()
{
    QVERIFY(start(100000));
    load(200, 100000);
    // Killed at a random moment: after a random number of answers.
    const int answered = 100 + int(QRandomGenerator::global()->bounded(3000));
    QTRY_VERIFY_WITH_TIMEOUT(m_balances.size() >= answered, 120000);
    m_server.kill();
    m_total = m_started; // no new exchanges after the kill
    QVERIFY(m_server.waitForFinished(10000));
    QTRY_VERIFY_WITH_TIMEOUT(m_finished == m_started, 30000);
    // The file is whole; it spent at least what was answered, at most what was asked.
    const qint64 spent = 100000 - creditsOnDisk();
    QVERIFY2(creditsOnDisk() >= 0, "accounts.json is not whole after the kill");
    QVERIFY2(spent >= m_balances.size() && spent <= m_started,
             qPrintable(QString("spent %1, answered %2, asked %3")
                                .arg(spent)
                                .arg(m_balances.size())
                                .arg(m_started)));
}

QTEST_GUILESS_MAIN(TestServerLoad)
#include "tst_serverload.moc"
