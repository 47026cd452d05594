#include "scriptedservice.h"
#include "service/credential.h"
#include "windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>

using Answer = zendry::MessageBoxes::Answer;
using Mode = ScriptedService::Mode;

namespace {

const QString unavailable = "The server is temporarily unavailable.\r\nPlease try again later.";

struct Exchange : WindowFixture
{
    explicit Exchange(ScriptedService &service, int timeoutMs = 400)
        : WindowFixture(service.port(), timeoutMs)
    {
        showActive();
    }
    void fill(const QString &zdid, const QString &pw, const QString &number, const QString &message)
    {
        edit("ZDID")->setText(zdid);
        edit("PW")->setText(pw);
        edit("Number")->setText(number);
        control<QPlainTextEdit>("Message")->setPlainText(message);
    }
    QString focused() const { return QApplication::focusWidget()->objectName(); }
    bool idle() const
    {
        return window->isEnabled() && !window->exchangeInProgress() && !QApplication::overrideCursor()
                && window->serviceSocket()->state() == QAbstractSocket::UnconnectedState;
    }
};

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void requestsOnTheWire();
    void replies_data();
    void replies();
    void buyCredits();
    void failedConnections_data();
    void failedConnections();
    void checks_data();
    void checks();
    void theContactIsRecordedBeforeTheChecks();
};

void TestExchange::requestsOnTheWire()
{
    ScriptedService service;
    service.reply = "=1,2";
    Exchange f(service);
    // A refresh: trimmed ZDID, and the digest as stored (none: the box was never left).
    f.fill(" alice ", "x", "", "");
    f.button("Refresh")->click();
    QTRY_VERIFY(f.idle());
    QCOMPARE(service.requests.value(0), QByteArray("txt ,VXROZ"));

    // A send, built from the fields as they stand when the connection opens.
    f.fill(" bob ", "", " 4477 ", "a\nb\n");
    f.edit("PW")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("PW"), "pw");
    f.edit("Sig")->setText("-x");
    f.button("Send")->click();
    QTRY_VERIFY(f.idle());
    QVERIFY(service.requests.value(1).startsWith("stxt "));
    QCOMPARE(zendry::WireEncode(QString::fromLatin1(service.requests.value(1).mid(5))),
             "v1.10 bob " + zendry::PasswordDigest("pw") + "\r\n4477\r\na\rb\r\r-x");
}

void TestExchange::replies_data()
{
    // clang-format off
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("refresh");
    QTest::addColumn<QString>("text"); // empty: no box
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("credits");
    const QString sent = "Your message has been sent to the Zendry\r\nSMS server and will be delivered shortly.";
    const QString problem = "Connection problem.\r\nPlease try again later.";
    QTest::newRow("sent") << QByteArray("=5,20") << false << sent << "Message" << "5 20";
    QTest::newRow("refreshed") << QByteArray("=2.9,x\r\n") << true << "" << "Refresh" << "2 0";
    QTest::newRow("=15") << QByteArray("=15") << false << problem << "Send" << "9 9";
    QTest::newRow("=1e999,5") << QByteArray("=1e999,5") << true << problem << "Send" << "9 9";
    QTest::newRow("!W") << QByteArray("!W") << false << "Unknown or invalid ZDID." << "ZDID" << "9 9";
    QTest::newRow("!P") << QByteArray("!P") << true << "Incorrect password." << "PW" << "9 9";
    QTest::newRow("!rw") << QByteArray("!rw") << false << "Unknown or invalid recipient ZDID." << "Number" << "9 9";
    QTest::newRow("!RN") << QByteArray("!RN") << false << "Recipient ZDID does not have a mobile phone number configured."
                         << "Number" << "9 9";
    QTest::newRow("!rq") << QByteArray("!rq") << false << "Problem with recipient." << "Number" << "9 9";
    QTest::newRow("message") << QByteArray("!\"Closed\r\ntoday \xE9") << false << QString("Closed\r\ntoday é")
                             << "Send" << "9 9";
    QTest::newRow("a letter") << QByteArray("ok") << false << unavailable << "Send" << "9 9";
    // clang-format on
}

void TestExchange::replies()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, refresh);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    QFETCH(QString, credits);
    ScriptedService service;
    service.reply = reply;
    Exchange f(service);
    f.fill("bob", "pw", "447700900123", "hi");
    f.edit("FreeCredits")->setText("9");
    f.edit("Credits")->setText("9");
    f.button(refresh ? "Refresh" : "Send")->click();
    QTRY_VERIFY(f.idle());
    QCOMPARE(f.boxes.shown.size(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty()) {
        QCOMPARE(f.boxes.shown[0].title, focus == "Message" ? QString("Message Sent") : QString("Error"));
        QCOMPARE(f.boxes.shown[0].text, text);
    }
    QCOMPARE(f.focused(), focus);
    QCOMPARE(f.edit("FreeCredits")->text() + ' ' + f.edit("Credits")->text(), credits);
    if (focus == "Message")
        QCOMPARE(f.control<QPlainTextEdit>("Message")->textCursor().selectedText(), QString("hi"));
}

void TestExchange::buyCredits()
{
    for (const Answer answer : { Answer::Yes, Answer::No }) {
        ScriptedService service;
        service.reply = "!0";
        Exchange f(service);
        f.fill("bob", "pw", "1", "hi");
        f.boxes.nextAnswers = { answer };
        f.button("Refresh")->click();
        QTRY_VERIFY(f.idle());
        QCOMPARE(f.boxes.shown.size(), 1);
        QCOMPARE(f.boxes.shown[0].title, QString("Buy Credits?"));
        QCOMPARE(f.boxes.shown[0].text,
                 QString("You do not have enough credits to send a text.\r\n"
                         "Would you like to purchase some credits now?"));
        QCOMPARE(f.boxes.shown[0].buttons, zendry::MessageBoxes::Buttons::YesNo);
        QCOMPARE(f.edit("FreeCredits")->text() + f.edit("Credits")->text(), QString("00"));
        QCOMPARE(f.focused(), QString("Send"));
        const QString page = QString("http://127.0.0.1:%1/buytexts.html").arg(service.port());
        const QList<QPair<QString, QString>> opened = { { "Open", page } };
        QCOMPARE(f.desktop.opened, answer == Answer::Yes ? opened : decltype(opened)());
    }
}

void TestExchange::failedConnections_data()
{
    // clang-format off
    QTest::addColumn<QString>("how");
    QTest::newRow("refused") << "refused";
    QTest::newRow("closed at once") << "close";
    QTest::newRow("silent") << "silent";
    QTest::newRow("a reply in two pieces") << "pieces";
    // clang-format on
}

// The window is locked for the exchange and usable after it. The time-out
// counts from the start: a server that closes without replying is left to it.
void TestExchange::failedConnections()
{
    QFETCH(QString, how);
    ScriptedService service;
    service.mode = how == "close" ? Mode::CloseAtOnce : how == "pieces" ? Mode::TwoPieces : Mode::Silent;
    service.reply = "=5,2";
    service.secondPiece = "0";
    const quint16 port = service.port();
    if (how == "refused")
        service.close();
    const int timeoutMs = 500;
    WindowFixture f(port, timeoutMs);
    f.showActive();
    f.edit("ZDID")->setText("bob");
    f.edit("PW")->setText("pw");
    QElapsedTimer clock;
    clock.start();
    f.button("Refresh")->click();
    QVERIFY(!f.window->isEnabled());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QTRY_VERIFY(f.window->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!f.window->exchangeInProgress());
    if (how == "pieces") { // only the first piece is read
        QVERIFY(f.boxes.shown.isEmpty());
        QCOMPARE(f.edit("Credits")->text(), QString("2"));
        return;
    }
    QVERIFY(how == "refused" ? clock.elapsed() < timeoutMs : clock.elapsed() >= timeoutMs - 20);
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, unavailable);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("Send"));
}

void TestExchange::checks_data()
{
    // clang-format off
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("fields"); // ZDID|PW|Number|Message
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    const QString comma = "Sending to multiple recipients is not supported by this version of Zendry SMS.";
    const QString tooLong = "Your message is %1 characters too long.  Please\r\nshorten the message or the signature and try again.";
    QTest::newRow("no ZDID") << "Send" << "|pw|1|hi" << "Please enter your ZDID." << "ZDID" << 0 << 0;
    QTest::newRow("ZDID of spaces") << "Send" << "   |pw|1|hi" << "Please enter your ZDID." << "ZDID" << 0 << 3;
    QTest::newRow("no password") << "Send" << "bob||1|hi" << "Please enter your password." << "PW" << 0 << 0;
    QTest::newRow("no number") << "Send" << "bob|pw|  |hi" << "Please enter the number you wish to send the text to."
                               << "Number" << 0 << 2;
    QTest::newRow("leading zero") << "Send" << "bob|pw| 07700|hi" << "Please enter the correct country code."
                                  << "Number" << 0 << 1;
    QTest::newRow("two numbers") << "Send" << "bob|pw|4477,4478|hi" << comma << "Number" << 4 << 5;
    QTest::newRow("a ZDID with a zero, and a comma") << "Send" << "bob|pw|0alice,x|hi" << comma << "Number" << 6 << 2;
    QTest::newRow("message of spaces") << "Send" << "bob|pw|1|   " << "Please enter a message to send." << "Message" << 0 << 0;
    QTest::newRow("one too long") << "Send" << "bob|pw|1|" + QString(157, u'x') << tooLong.arg(1) << "Message" << 157 << 0;
    QTest::newRow("44 too long") << "Send" << "bob|pw|1|" + QString(200, u'x') << tooLong.arg(44) << "Message" << 200 << 0;
    QTest::newRow("refresh, no ZDID") << "Refresh" << "  |pw||" << "Please enter your ZDID." << "ZDID" << 0 << 2;
    QTest::newRow("refresh, password of spaces") << "Refresh" << "bob|   ||" << "Please enter your password." << "PW" << 0 << 3;
    // clang-format on
}

// The first check that fails shows its box, puts the focus and selection where
// the correction goes, and nothing is sent.
void TestExchange::checks()
{
    QFETCH(QString, button);
    QFETCH(QString, fields);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    ScriptedService service;
    Exchange f(service);
    const QStringList v = fields.split('|');
    f.fill(v[0], v[1], v[2], v[3]); // the signature follows the ZDID: "bob", three characters
    f.button(qPrintable(button))->click();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].title, QString("Error"));
    QCOMPARE(f.boxes.shown[0].text, text);
    QCOMPARE(f.focused(), focus);
    if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget())) {
        QCOMPARE(edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition(), selStart);
        QCOMPARE(int(edit->selectedText().size()), selLength);
    } else {
        const QTextCursor cursor = f.control<QPlainTextEdit>("Message")->textCursor();
        QCOMPARE(cursor.selectionStart(), selStart);
        QCOMPARE(cursor.selectedText().size(), selLength);
    }
    QVERIFY(f.idle());
    QCOMPARE(service.connections, 0);
}

void TestExchange::theContactIsRecordedBeforeTheChecks()
{
    ScriptedService service;
    Exchange f(service);
    auto *to = f.control<QComboBox>("ToName");
    auto send = [&](const QString &name, const QString &number) {
        to->setEditText(name);
        f.edit("Number")->setText(number);
        f.button("Send")->click();
        return f.window->contactNames()[0] + '=' + f.window->contactNumbers()[0] + ' '
                + QString::number(to->count());
    };
    QCOMPARE(send("Carol ", " 4477 "), QString("Carol=4477 2"));
    QCOMPARE(f.boxes.shown.value(0).text, QString("Please enter your ZDID."));
    QCOMPARE(to->currentText(), QString("Carol "));
    // Another letter case updates the contact; the list keeps its entry.
    QCOMPARE(send("CAROL", "99"), QString("CAROL=99 2"));
    QCOMPARE(to->itemText(1), QString("Carol"));
    // "<new>" and an empty box record nothing.
    QCOMPARE(send("<new>", "1"), QString("CAROL=99 2"));
    QCOMPARE(send("", "1"), QString("CAROL=99 2"));
    QCOMPARE(service.connections, 0);
}

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
