#include "scriptedservice.h"
#include "windowfixture.h"

#include <QApplication>
#include <QTest>

namespace {

using Mode = ScriptedService::Mode;
const QString unavailable = "The server is temporarily unavailable.\r\nPlease try again later.";

struct Client : WindowFixture
{
    Client(quint16 port, int timeoutMs, const QString &host = "127.0.0.1")
        : WindowFixture(Options{ port, timeoutMs, "127.0.0.2", true, nullptr, host })
    {
        showActive();
        edit("ZDID")->setText("bob");
        edit("PW")->setText("pw");
    }
    bool idle() const
    {
        return window->isEnabled() && !window->exchangeInProgress() && !QApplication::overrideCursor()
                && window->serviceSocket()->state() == QAbstractSocket::UnconnectedState;
    }
    // A refresh, and what it ended with: the box's text, or the credits shown.
    QString refresh()
    {
        const auto before = boxes.shown.size();
        edit("Credits")->clear();
        button("Refresh")->click();
        if (!QTest::qWaitFor([&] {
                return idle() && (boxes.shown.size() > before || !edit("Credits")->text().isEmpty());
            }))
            return "<no end>";
        return boxes.shown.size() > before ? boxes.shown.last().text
                                           : edit("FreeCredits")->text() + ',' + edit("Credits")->text();
    }
};

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void faultyServices();
    void fiftyExchangesAgainstAFlakyServer();
};

// Each time the outcome the exchange's rules give, and the window usable after.
void TestFaults::faultyServices()
{
    ScriptedService service;
    Client c(service.port(), 600);
    service.reply = "=5,20";
    service.mode = Mode::ResetMidReply; // whichever comes first, the data or the reset
    QVERIFY(QStringList({ "5,20", unavailable }).contains(c.refresh()));
    service.mode = Mode::OneByteAtATime; // the first byte is the whole reply
    QCOMPARE(c.refresh(), QString("Connection problem.\r\nPlease try again later."));
    service.mode = Mode::NeverRead;
    QCOMPARE(c.refresh(), unavailable);
    service.mode = Mode::Reply; // only what has come at the first notice is read
    service.reply = "=1,2" + QByteArray(1 << 20, 'x');
    QCOMPARE(c.refresh(), QString("1,2"));
    // A host that does not exist: resolving fails, or outlasts the time-out.
    Client lost(80, 1500, "no-such-host.invalid");
    QCOMPARE(lost.refresh(), unavailable);
    QVERIFY(c.idle() && lost.idle());
}

// No timer left running, no socket open, no busy pointer stacked.
void TestFaults::fiftyExchangesAgainstAFlakyServer()
{
    ScriptedService service;
    service.reply = "=5,20";
    Client c(service.port(), 150);
    for (int i = 0; i < 50; ++i) {
        service.mode = i % 3 == 2 ? Mode::CloseAtOnce : Mode::Reply;
        QCOMPARE(c.refresh(), service.mode == Mode::Reply ? QString("5,20") : unavailable);
        QVERIFY2(c.idle(), qPrintable(QString("after exchange %1").arg(i)));
    }
    QCOMPARE(service.connections, 50);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
