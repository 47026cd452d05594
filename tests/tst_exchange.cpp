#include "scriptedservice.h"
#include "service/credential.h"
#include "windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>

using Answer = zendry::MessageBoxes::Answer;

namespace {

const QString unavailable = "The server is temporarily unavailable.\r\nPlease try again later.";

struct Exchange : WindowFixture
{
    explicit Exchange(ScriptedService &service, int timeoutMs = 400)
        : WindowFixture(service.port(), timeoutMs), service(service)
    {
        showActive();
    }

    void typePassword(const QString &password)
    {
        edit("PW")->setFocus(Qt::TabFocusReason);
        edit("PW")->selectAll();
        QTest::keyClicks(edit("PW"), password);
        QTest::keyClick(edit("PW"), Qt::Key_Tab);
    }
    void fillValid()
    {
        edit("ZDID")->setText("bob");
        typePassword("pw");
        edit("Number")->setText("447700900123");
        control<QPlainTextEdit>("Message")->setPlainText("hi");
    }
    QString focused() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    bool idle() const
    {
        return window->isEnabled() && !window->exchangeInProgress() && !QApplication::overrideCursor()
                && window->serviceSocket()->state() == QAbstractSocket::UnconnectedState;
    }
    // The request's body as the client meant it: prefix cut, encoding undone.
    QString plainRequest(int prefix) const
    {
        return zendry::WireEncode(QString::fromLatin1(service.requests.value(0).mid(prefix)));
    }

    ScriptedService &service;
};

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void creditsRequestBytes();
    void sendRequestBytes();
    void replies_data();
    void replies();
    void buyCredits_data();
    void buyCredits();
    void onlyTheFirstPieceIsRead();
    void theWindowIsLockedDuringAnExchange();
    void failedConnections_data();
    void failedConnections();
    void sendChecks_data();
    void sendChecks();
    void refreshChecks_data();
    void refreshChecks();
    void theContactIsRecordedBeforeTheChecks();
};

void TestExchange::creditsRequestBytes()
{
    ScriptedService service;
    service.reply = "=1,2";
    Exchange f(service);
    f.edit("ZDID")->setText(" alice ");
    f.edit("PW")->setText("x"); // never entered: no digest yet
    f.button("Refresh")->click();
    QTRY_VERIFY(f.idle());
    QCOMPARE(service.requests.value(0), QByteArray("txt ,VXROZ"));
}

void TestExchange::sendRequestBytes()
{
    ScriptedService service;
    service.reply = "=1,2";
    Exchange f(service);
    f.edit("ZDID")->setText(" bob ");
    f.typePassword("pw");
    f.edit("Number")->setText(" 4477 ");
    f.control<QPlainTextEdit>("Message")->setPlainText("a\nb\n");
    f.edit("Sig")->setText("-x");
    f.button("Send")->click();
    QTRY_VERIFY(f.idle());
    QVERIFY(service.requests.value(0).startsWith("stxt "));
    QCOMPARE(f.plainRequest(5), "v1.10 bob " + zendry::PasswordDigest("pw") + "\r\n4477\r\na\rb\r\r-x");
}

void TestExchange::replies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("refresh");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("free");
    QTest::addColumn<QString>("purchased");
    const QString sent =
            "Your message has been sent to the Zendry\r\nSMS server and will be delivered shortly.";
    QTest::newRow("sent") << QByteArray("=5,20") << false << "Message Sent" << sent << "Message"
                          << "5"
                          << "20";
    QTest::newRow("sent, CR LF after")
            << QByteArray("=5,20\r\n") << false << "Message Sent" << sent << "Message"
            << "5"
            << "20";
    QTest::newRow("refreshed") << QByteArray("=5,20") << true << ""
                               << ""
                               << "Refresh"
                               << "5"
                               << "20";
    QTest::newRow("=,7") << QByteArray("=,7") << true << ""
                         << ""
                         << "Refresh"
                         << "0"
                         << "7";
    QTest::newRow("=2.9,x") << QByteArray("=2.9,x") << true << ""
                            << ""
                            << "Refresh"
                            << "2"
                            << "0";
    QTest::newRow("=15") << QByteArray("=15") << false << "Error"
                         << "Connection problem.\r\nPlease try again later."
                         << "Send"
                         << "9"
                         << "9";
    QTest::newRow("=1e999,5") << QByteArray("=1e999,5") << true << "Error"
                              << "Connection problem.\r\nPlease try again later."
                              << "Send"
                              << "9"
                              << "9";
    QTest::newRow("!W") << QByteArray("!W") << false << "Error"
                        << "Unknown or invalid ZDID."
                        << "ZDID"
                        << "9"
                        << "9";
    QTest::newRow("!P") << QByteArray("!P") << true << "Error"
                        << "Incorrect password."
                        << "PW"
                        << "9"
                        << "9";
    QTest::newRow("!rw") << QByteArray("!rw") << false << "Error"
                         << "Unknown or invalid recipient ZDID."
                         << "Number"
                         << "9"
                         << "9";
    QTest::newRow("!RN") << QByteArray("!RN") << false << "Error"
                         << "Recipient ZDID does not have a mobile phone number configured."
                         << "Number"
                         << "9"
                         << "9";
    QTest::newRow("!r") << QByteArray("!r") << false << "Error"
                        << "Problem with recipient."
                        << "Number"
                        << "9"
                        << "9";
    QTest::newRow("!rq") << QByteArray("!rq") << false << "Error"
                         << "Problem with recipient."
                         << "Number"
                         << "9"
                         << "9";
    QTest::newRow("message") << QByteArray("!\"Closed\r\ntoday \xE9") << false << "Error"
                             << QString("Closed\r\ntoday é") << "Send"
                             << "9"
                             << "9";
    QTest::newRow("empty message") << QByteArray("!\"") << false << "Error"
                                   << ""
                                   << "Send"
                                   << "9"
                                   << "9";
    QTest::newRow("a letter") << QByteArray("ok") << false << "Error" << unavailable << "Send"
                              << "9"
                              << "9";
    QTest::newRow("a question mark") << QByteArray("?") << true << "Error" << unavailable << "Send"
                                     << "9"
                                     << "9";
}

void TestExchange::replies()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, refresh);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    QFETCH(QString, free);
    QFETCH(QString, purchased);
    ScriptedService service;
    service.reply = reply;
    Exchange f(service);
    f.fillValid();
    f.edit("FreeCredits")->setText("9");
    f.edit("Credits")->setText("9");
    f.button(refresh ? "Refresh" : "Send")->click();
    QTRY_VERIFY(f.idle());
    QCOMPARE(f.window->isRefresh(), refresh);
    QCOMPARE(f.boxes.shown.size(), title.isEmpty() ? 0 : 1);
    if (!title.isEmpty()) {
        QCOMPARE(f.boxes.shown[0].title, title);
        QCOMPARE(f.boxes.shown[0].text, text);
        QCOMPARE(f.boxes.shown[0].buttons, zendry::MessageBoxes::Buttons::Ok);
    }
    QCOMPARE(f.focused(), focus);
    QCOMPARE(f.edit("FreeCredits")->text(), free);
    QCOMPARE(f.edit("Credits")->text(), purchased);
    if (title == "Message Sent")
        QCOMPARE(f.control<QPlainTextEdit>("Message")->textCursor().selectedText(), QString("hi"));
}

void TestExchange::buyCredits_data()
{
    QTest::addColumn<bool>("refresh");
    QTest::addColumn<Answer>("answer");
    QTest::newRow("send, yes") << false << Answer::Yes;
    QTest::newRow("send, no") << false << Answer::No;
    QTest::newRow("refresh, yes") << true << Answer::Yes;
}

void TestExchange::buyCredits()
{
    QFETCH(bool, refresh);
    QFETCH(Answer, answer);
    ScriptedService service;
    service.reply = "!0";
    Exchange f(service);
    f.fillValid();
    f.edit("FreeCredits")->setText("9");
    f.boxes.nextAnswers = { answer };
    f.button(refresh ? "Refresh" : "Send")->click();
    QTRY_VERIFY(f.idle());
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].title, QString("Buy Credits?"));
    QCOMPARE(f.boxes.shown[0].text,
             QString("You do not have enough credits to send a text.\r\n"
                     "Would you like to purchase some credits now?"));
    QCOMPARE(f.boxes.shown[0].buttons, zendry::MessageBoxes::Buttons::YesNo);
    QCOMPARE(f.edit("FreeCredits")->text(), QString("0"));
    QCOMPARE(f.edit("Credits")->text(), QString("0"));
    QCOMPARE(f.focused(), QString("Send"));
    if (answer == Answer::Yes) {
        QCOMPARE(f.desktop.opened.size(), 1);
        QCOMPARE(f.desktop.opened[0].first, QString("Open"));
        QCOMPARE(f.desktop.opened[0].second,
                 QString("http://127.0.0.1:%1/buytexts.html").arg(service.port()));
    } else {
        QVERIFY(f.desktop.opened.isEmpty());
    }
}

void TestExchange::onlyTheFirstPieceIsRead()
{
    ScriptedService service;
    service.mode = ScriptedService::Mode::TwoPieces;
    service.reply = "=5,2";
    service.secondPiece = "0";
    Exchange f(service);
    f.fillValid();
    f.button("Refresh")->click();
    QTRY_VERIFY(f.idle());
    QCOMPARE(f.edit("Credits")->text(), QString("2"));
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestExchange::theWindowIsLockedDuringAnExchange()
{
    ScriptedService service;
    service.mode = ScriptedService::Mode::Silent;
    Exchange f(service, 600);
    f.fillValid();
    f.button("Send")->click();
    QVERIFY(!f.window->isEnabled());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QVERIFY(f.window->exchangeInProgress());
    QTRY_COMPARE(service.requests.value(0).left(5), QByteArray("stxt "));
    QTRY_VERIFY(f.idle());
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, unavailable);
    QCOMPARE(f.focused(), QString("Send"));
    QCOMPARE(f.edit("Number")->text(), QString("447700900123"));

    // Usable again: the next exchange goes through.
    service.mode = ScriptedService::Mode::Reply;
    service.reply = "=3,4";
    f.button("Refresh")->click();
    QTRY_COMPARE(f.edit("Credits")->text(), QString("4"));
    QTRY_VERIFY(f.idle());
}

void TestExchange::failedConnections_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("refused") << "refused";
    QTest::newRow("closed at once") << "close";
    QTest::newRow("silent") << "silent";
}

// The time-out counts from the start: a server that closes without replying
// is left to it, a refused connection is reported at once.
void TestExchange::failedConnections()
{
    QFETCH(QString, how);
    ScriptedService service;
    service.mode = how == "close" ? ScriptedService::Mode::CloseAtOnce : ScriptedService::Mode::Silent;
    quint16 port = service.port();
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
    QTRY_COMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].title, QString("Error"));
    QCOMPARE(f.boxes.shown[0].text, unavailable);
    if (how == "refused")
        QVERIFY(clock.elapsed() < timeoutMs);
    else
        QVERIFY(clock.elapsed() >= timeoutMs - 20);
    QVERIFY(f.window->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!f.window->exchangeInProgress());
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("Send"));
}

void TestExchange::sendChecks_data()
{
    QTest::addColumn<QString>("zdid");
    QTest::addColumn<QString>("pw");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    const QString ok = "hi";
    QTest::newRow("no ZDID") << ""
                             << "pw"
                             << "1" << ok << "Please enter your ZDID."
                             << "ZDID" << 0 << 0;
    QTest::newRow("ZDID of spaces") << "   "
                                    << "pw"
                                    << "1" << ok << "Please enter your ZDID."
                                    << "ZDID" << 0 << 3;
    QTest::newRow("no password") << "bob"
                                 << ""
                                 << "1" << ok << "Please enter your password."
                                 << "PW" << 0 << 0;
    QTest::newRow("no number") << "bob"
                               << "pw"
                               << "  " << ok << "Please enter the number you wish to send the text to."
                               << "Number" << 0 << 2;
    QTest::newRow("leading zero") << "bob"
                                  << "pw"
                                  << " 07700" << ok << "Please enter the correct country code."
                                  << "Number" << 0 << 1;
    QTest::newRow("two numbers")
            << "bob"
            << "pw"
            << "4477,4478" << ok
            << "Sending to multiple recipients is not supported by this version of Zendry SMS."
            << "Number" << 4 << 5;
    QTest::newRow("zero and comma")
            << "bob"
            << "pw"
            << "0alice,x" << ok
            << "Sending to multiple recipients is not supported by this version of Zendry SMS."
            << "Number" << 6 << 2;
    QTest::newRow("no message") << "bob"
                                << "pw"
                                << "1"
                                << ""
                                << "Please enter a message to send."
                                << "Message" << 0 << 0;
    QTest::newRow("message of spaces") << "bob"
                                       << "pw"
                                       << "1"
                                       << "   "
                                       << "Please enter a message to send."
                                       << "Message" << 0 << 0;
    QTest::newRow("one too long") << "bob"
                                  << "pw"
                                  << "1" << QString(157, u'x')
                                  << "Your message is 1 characters too long.  Please\r\n"
                                     "shorten the message or the signature and try again."
                                  << "Message" << 157 << 0;
    QTest::newRow("44 too long") << "bob"
                                 << "pw"
                                 << "1" << QString(200, u'x')
                                 << "Your message is 44 characters too long.  Please\r\n"
                                    "shorten the message or the signature and try again."
                                 << "Message" << 200 << 0;
}

void TestExchange::sendChecks()
{
    QFETCH(QString, zdid);
    QFETCH(QString, pw);
    QFETCH(QString, number);
    QFETCH(QString, message);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    ScriptedService service;
    Exchange f(service);
    f.edit("ZDID")->setText(zdid); // the signature follows: "bob", three characters
    f.edit("PW")->setText(pw);
    f.edit("Number")->setText(number);
    f.control<QPlainTextEdit>("Message")->setPlainText(message);
    f.button("Send")->click();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].title, QString("Error"));
    QCOMPARE(f.boxes.shown[0].text, text);
    QCOMPARE(f.focused(), focus);
    if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget())) {
        QCOMPARE(edit->selectionStart() < 0 ? edit->cursorPosition() : edit->selectionStart(), selStart);
        QCOMPARE(int(edit->selectedText().size()), selLength);
    } else {
        const QTextCursor cursor = f.control<QPlainTextEdit>("Message")->textCursor();
        QCOMPARE(cursor.selectionStart(), selStart);
        QCOMPARE(cursor.selectedText().size(), selLength);
    }
    QVERIFY(f.idle());
    QCOMPARE(service.connections, 0);
}

void TestExchange::refreshChecks_data()
{
    QTest::addColumn<QString>("zdid");
    QTest::addColumn<QString>("pw");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no ZDID") << ""
                             << "pw"
                             << "Please enter your ZDID."
                             << "ZDID";
    QTest::newRow("ZDID of spaces") << "  "
                                    << "pw"
                                    << "Please enter your ZDID."
                                    << "ZDID";
    QTest::newRow("no password") << "bob"
                                 << ""
                                 << "Please enter your password."
                                 << "PW";
    QTest::newRow("password of spaces") << "bob"
                                        << "   "
                                        << "Please enter your password."
                                        << "PW";
}

void TestExchange::refreshChecks()
{
    QFETCH(QString, zdid);
    QFETCH(QString, pw);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    ScriptedService service;
    Exchange f(service);
    f.edit("ZDID")->setText(zdid);
    f.edit("PW")->setText(pw);
    f.button("Refresh")->click();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, text);
    QCOMPARE(f.focused(), focus);
    QCOMPARE(service.connections, 0);
}

void TestExchange::theContactIsRecordedBeforeTheChecks()
{
    ScriptedService service;
    Exchange f(service);
    auto *to = f.control<QComboBox>("ToName");
    to->setEditText("Carol ");
    f.edit("Number")->setText(" 4477 ");
    f.button("Send")->click();
    QCOMPARE(f.boxes.shown.value(0).text, QString("Please enter your ZDID."));
    QCOMPARE(f.window->contactNames()[0], QString("Carol"));
    QCOMPARE(f.window->contactNumbers()[0], QString("4477"));
    QCOMPARE(to->count(), 2);
    QCOMPARE(to->itemText(1), QString("Carol"));
    QCOMPARE(to->currentText(), QString("Carol "));

    // Another letter case updates the contact; the list keeps its entry.
    to->setEditText("CAROL");
    f.edit("Number")->setText("99");
    f.button("Send")->click();
    QCOMPARE(f.window->contactNames()[0], QString("CAROL"));
    QCOMPARE(f.window->contactNumbers()[0], QString("99"));
    QCOMPARE(to->count(), 2);
    QCOMPARE(to->itemText(1), QString("Carol"));

    // "<new>" and an empty box record nothing.
    for (const QString &name : { QString("<new>"), QString() }) {
        to->setEditText(name);
        f.button("Send")->click();
    }
    QVERIFY(f.window->contactNames()[1].isEmpty());
    QCOMPARE(service.connections, 0);
}

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
