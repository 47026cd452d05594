#include "windowfixture.h"

#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace {

const QString unavailable = "The server is temporarily unavailable.\r\nPlease try again later.";

// A service that misbehaves in one chosen way.
struct FaultyService : QTcpServer
{
    enum class Fault { None, ResetMidReply, Flood, OneByteAtATime, NeverReads, CloseAtOnce };

    FaultyService()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                ++connections;
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                if (fault == Fault::CloseAtOnce) {
                    s->disconnectFromHost();
                } else if (fault != Fault::NeverReads) {
                    connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
                }
            }
        });
    }

    void answer(QTcpSocket *s)
    {
        s->readAll();
        switch (fault) {
        case Fault::None:
            s->write("=5,20");
            break;
        case Fault::ResetMidReply:
            s->write("=5,20");
            s->flush();
#ifdef Q_OS_UNIX
            {
                // Closing with a zero linger time sends a reset instead of a close.
                linger l{ 1, 0 };
                setsockopt(int(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &l, sizeof l);
            }
#endif
            s->abort();
            return;
        case Fault::Flood:
            s->write("=1,2" + QByteArray(1 << 20, 'x'));
            break;
        case Fault::OneByteAtATime: {
            auto *timer = new QTimer(s);
            auto left = std::make_shared<QByteArray>("=5,20");
            connect(timer, &QTimer::timeout, s, [s, left] {
                if (left->isEmpty() || s->state() != QAbstractSocket::ConnectedState)
                    return;
                s->write(left->left(1));
                s->flush();
                left->remove(0, 1);
            });
            timer->start(100);
            s->write(left->left(1));
            left->remove(0, 1);
            return;
        }
        default:
            return;
        }
        s->disconnectFromHost();
    }

    Fault fault = Fault::None;
    int connections = 0;
};

using Fault = FaultyService::Fault;

struct Client : WindowFixture
{
    explicit Client(quint16 port, int timeoutMs, const QString &host = "127.0.0.1")
        : WindowFixture(options(port, timeoutMs, host))
    {
        showActive();
        edit("ZDID")->setText("bob");
        edit("PW")->setText("pw");
    }
    static Options options(quint16 port, int timeoutMs, const QString &host)
    {
        Options o;
        o.port = port;
        o.timeoutMs = timeoutMs;
        o.serviceHost = host;
        return o;
    }
    bool idle() const
    {
        return window->isEnabled() && !window->exchangeInProgress() && !QApplication::overrideCursor()
                && window->serviceSocket()->state() == QAbstractSocket::UnconnectedState;
    }
    void refresh()
    {
        const auto before = boxes.shown.size();
        edit("Credits")->clear();
        button("Refresh")->click();
        QTest::qWaitFor(
                [&] { return idle() && (boxes.shown.size() > before || !edit("Credits")->text().isEmpty()); },
                10000);
    }
};

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void aResetMidReply();
    void aMegabyteOfReply();
    void aReplyOneByteAtATime();
    void aServerThatNeverReads();
    void aHostThatDoesNotExist();
    void fiftyExchangesAgainstAFlakyServer();
};

// Whichever comes first, the data or the reset, decides; the window is idle after.
void TestFaults::aResetMidReply()
{
    FaultyService service;
    service.fault = Fault::ResetMidReply;
    Client c(service.serverPort(), 2000);
    c.refresh();
    QVERIFY(c.idle());
    if (c.boxes.shown.isEmpty())
        QCOMPARE(c.edit("Credits")->text(), QString("20"));
    else
        QCOMPARE(c.boxes.shown[0].text, unavailable);
}

// Only what has arrived at the first notification is read; the rest is dropped.
void TestFaults::aMegabyteOfReply()
{
    FaultyService service;
    service.fault = Fault::Flood;
    Client c(service.serverPort(), 2000);
    c.refresh();
    QVERIFY(c.idle());
    QVERIFY(c.boxes.shown.isEmpty());
    QCOMPARE(c.edit("FreeCredits")->text(), QString("1"));
    QCOMPARE(c.edit("Credits")->text(), QString("2"));
}

// The first byte is the whole reply: a balance without a comma.
void TestFaults::aReplyOneByteAtATime()
{
    FaultyService service;
    service.fault = Fault::OneByteAtATime;
    Client c(service.serverPort(), 2000);
    c.refresh();
    QVERIFY(c.idle());
    QCOMPARE(c.boxes.shown.size(), 1);
    QCOMPARE(c.boxes.shown[0].text, QString("Connection problem.\r\nPlease try again later."));
}

void TestFaults::aServerThatNeverReads()
{
    FaultyService service;
    service.fault = Fault::NeverReads;
    Client c(service.serverPort(), 400);
    c.refresh();
    QVERIFY(c.idle());
    QCOMPARE(c.boxes.shown.value(0).text, unavailable);
    QCOMPARE(service.connections, 1);
}

// Resolving fails, or takes longer than the time-out: the same box either way.
void TestFaults::aHostThatDoesNotExist()
{
    Client c(80, 1500, "no-such-host.invalid");
    c.refresh();
    QVERIFY(c.idle());
    QCOMPARE(c.boxes.shown.size(), 1);
    QCOMPARE(c.boxes.shown[0].text, unavailable);
}

void TestFaults::fiftyExchangesAgainstAFlakyServer()
{
    FaultyService service;
    Client c(service.serverPort(), 150);
    int failures = 0;
    for (int i = 0; i < 50; ++i) {
        service.fault = i % 3 == 2 ? Fault::CloseAtOnce : Fault::None;
        c.refresh();
        QVERIFY2(c.idle(), qPrintable(QString("after exchange %1").arg(i)));
        if (service.fault == Fault::None)
            QCOMPARE(c.edit("Credits")->text(), QString("20"));
        failures += service.fault == Fault::CloseAtOnce;
    }
    QCOMPARE(int(c.boxes.shown.size()), failures);
    QCOMPARE(service.connections, 50); // one connection an exchange
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
