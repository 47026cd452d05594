// The window's wiring: every event to its handler, and each kind of effect
// a handler applies, once, against scripted servers, boxes and desktop.
#include "scriptedservice.h"
#include "service/credential.h"
#include "service/request.h"
#include "windowfixture.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using namespace zendry;
using Answer = MessageBoxes::Answer;
using Mode = ScriptedService::Mode;

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void wiring_data();
    void wiring();
    void exchanges_data();
    void exchanges();
    void brokenAddresses_data();
    void brokenAddresses();
    void contacts();
    void theBannerIsFetchedAndRenewed();
    void pagesTheReadmeAndTheLockedWindow();
};

void TestWindow::wiring_data()
{
    // What the user types or the server sends, where the effect shows (a
    // control's property, the first box, the desktop, what the server got,
    // the window's state) and the effect.
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("effect");
    const QString unavailable = "Error: The server is temporarily unavailable.";
    // clang-format off
    QTest::newRow("Form_KeyUp") << "" << "desktop" << "open Readme";
    QTest::newRow("ZDID_Change") << "ab" << "Sig.text" << "ab";
    QTest::newRow("ZDID_GotFocus") << "ab" << "ZDID.selectedText" << "ab";
    QTest::newRow("PW_GotFocus") << "ab" << "PW.selectedText" << "ab";
    QTest::newRow("PW_LostFocus") << "abc" << "hash" << PasswordDigest("abc");
    QTest::newRow("Number_GotFocus") << "12" << "Number.selectedText" << "12";
    QTest::newRow("Number_LostFocus") << " +44 7" << "Number.text" << "447";
    QTest::newRow("Message_Change") << "hi" << "Chars.text" << "154";
    QTest::newRow("Sig_Change") << "ab" << "Chars.text" << "157";
    QTest::newRow("Sig_GotFocus") << "ab" << "Sig.selectedText" << "ab";
    QTest::newRow("Sig_LostFocus") << "   " << "Sig.text" << "bob";
    QTest::newRow("ToName_Click") << "" << "Number.text" << "1";
    QTest::newRow("DeleteContact_Click") << "" << "box" << "Delete Contact: Are you sure you want to delete Ann from your contacts?";
    QTest::newRow("SavePW_Click") << "" << "AutoRefresh.enabled" << "true";
    QTest::newRow("Send_Click") << "" << "box" << "Error: Please enter the number you wish to send the text to.";
    QTest::newRow("Refresh_Click") << "" << "Main.enabled" << "false";
    QTest::newRow("Socket_Connect") << "" << "server" << QString(creditsRequest("bob", ""));
    QTest::newRow("Socket_DataArrival") << "=5,20" << "Credits.text" << "20";
    QTest::newRow("Socket_Error") << "" << "box" << unavailable;
    QTest::newRow("TimeOut_Timer") << "" << "box" << unavailable;
    QTest::newRow("AdTimer_Timer") << "" << "adCountdown" << "119";
    QTest::newRow("AdSock_Connect") << "" << "server" << "Ad SMS v1.10";
    QTest::newRow("AdSock_DataArrival") << "9 http://ads.example/2\r" << "adLink" << "http://ads.example/2";
    QTest::newRow("AdSock_Error") << "" << "banner" << "468";
    QTest::newRow("Banner_Click") << "" << "desktop" << "open http://www.test.example/";
    QTest::newRow("CreateZDID_Click") << "" << "desktop" << "Open http://www.test.example:P/create/";
    QTest::newRow("Purchase_Click") << "" << "desktop" << "Open http://127.0.0.1:P/buytexts.html";
    QTest::newRow("HelpButton_Click") << "" << "desktop" << "open Readme";
    // clang-format on
}

// Each event the window handles, raised as the user or the network raises
// it, has the one effect of its handler. The service and the ad server are
// one scripted server, silent, or gone for the errors. A GotFocus comes from
// a focus move of the program's own, as after a refused field: Tab and the
// access keys select a box's text by themselves.
void TestWindow::wiring()
{
    QFETCH(QString, input);
    QFETCH(QString, where);
    QFETCH(QString, effect);
    const QString event = QTest::currentDataTag(), control = event.section('_', 0, 0),
                  kind = event.section('_', 1);
    ScriptedService server;
    server.mode = Mode::Silent;
    const quint16 port = server.port();
    if (kind == "Error")
        server.close();
    WindowFixture f(port, event == "TimeOut_Timer" ? 100 : 60000, false);
    f.put("Phonebook.txt", "1 Ann\r\n");
    const QString fallback = f.folder.filePath("Vorral.gif");
    if (control.startsWith("Ad")) { // the banner shows only what a fetch gives it
        f.adHost = "127.0.0.1";
        QFile::rename(fallback, fallback + '~');
    }
    f.start();
    QFile::rename(fallback + '~', fallback);
    f.showActive();
    f.fill("bob", "pw", "", "");
    f.to()->setEditText("Ann");
    QWidget *w = f.control(qPrintable(control));
    if (kind == "Change" || kind == "LostFocus") {
        w->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(w, input);
        if (kind == "LostFocus")
            QTest::keyClick(w, Qt::Key_Tab);
    } else if (kind == "GotFocus") {
        static_cast<QLineEdit *>(w)->setText(input);
        w->setFocus(Qt::OtherFocusReason);
    } else if (event == "ToName_Click") {
        f.to()->showPopup();
        f.to()->view()->setCurrentIndex(f.to()->model()->index(1, 0));
        QTest::keyClick(f.to()->view(), Qt::Key_Return);
    } else if (event == "Banner_Click") {
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
    } else if (kind == "Click") {
        static_cast<QAbstractButton *>(w)->click();
    } else if (event == "Form_KeyUp") {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    } else if (event == "AdTimer_Timer") {
        auto *tick = f.window->findChild<QTimer *>("AdTimer");
        tick->setSingleShot(true);
        tick->start(0);
    } else if (event == "AdSock_Error") {
        f.window->startBannerFetch();
    } else if (control != "AdSock") {
        f.button("Refresh")->click();
    }
    if (kind == "DataArrival") {
        QTRY_VERIFY(!server.requests.value(0).isEmpty());
        server.send(input.toLatin1());
    }
    const QString readme = QDir::toNativeSeparators(f.folder.filePath("Readme.txt"));
    const auto seen = [&]() -> QString {
        const ScriptedBoxes::Box box = f.boxes.shown.value(0);
        if (where == "box")
            return box.title + ": " + box.text.section("\r\n", 0, 0);
        if (where == "desktop")
            return f.desktop.opened.value(0).replace(readme, "Readme").replace(QString::number(port), "P");
        if (where == "server")
            return QString::fromLatin1(server.requests.value(0));
        if (where == "hash")
            return f.window->passwordHash();
        if (where == "adLink")
            return f.window->adLink();
        if (where == "adCountdown")
            return QString::number(f.window->adCountdown());
        if (where == "banner")
            return QString::number(f.control<QLabel>("Banner")->pixmap().width());
        const QString name = where.section('.', 0, 0);
        QObject *o = name == "Main" ? static_cast<QObject *>(f.window.get()) : f.control(qPrintable(name));
        return o->property(qPrintable(where.section('.', 1))).toString();
    };
    QTRY_COMPARE(seen(), effect);
}

void TestWindow::exchanges_data()
{
    // ZDID|Number|Message; the password is typed, the signature follows the ZDID.
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("button");
    // The reply; none: refused, nothing is sent; <how> the exchange fails.
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown"); // the box's title, the focus, its selection and the credits
    // clang-format off
    QTest::newRow("sent") << "bob|4477|hi\u00A0" << "Send" << QByteArray("=5,20") << "Message Sent|Message|0+3|5 20";
    QTest::newRow("sent, past 64 bits") << "bob|4477|hi" << "Send" << QByteArray("=99999999999999999999,0") << "Message Sent|Message|0+2|99999999999999999999 0";
    QTest::newRow("refreshed") << "bob||" << "Refresh" << QByteArray("=2.9,x") << "|Refresh||2 0";
    QTest::newRow("no credits, buy") << "bob||" << "Refresh" << QByteArray("!0") << "Buy Credits?|Send||0 0";
    QTest::newRow("refused: a range") << "bob| 07700|hi" << "Send" << QByteArray() << "Error|Number|0+1| ";
    QTest::newRow("refused: the caret at the end") << "bob|1|" + QString(157, u'x') << "Send" << QByteArray() << "Error|Message|157+0| ";
    QTest::newRow("failed inside connectToHost()") << "bob||" << "Refresh" << QByteArray("<proxy>") << "Error|Send|| ";
    QTest::newRow("no reply") << "bob||" << "Refresh" << QByteArray("<silent>") << "Error|Send|| ";
    QTest::newRow("closed without a reply") << "bob||" << "Refresh" << QByteArray("<close>") << "Error|Send|| ";
    // clang-format on
}

// The window is locked with the busy pointer while the request, built from
// the fields as typed, goes out; the first piece of the reply is the whole
// reply. The outcome of the reply, of a refusal or of a failure is applied:
// the box (Yes, its default, to buying credits), the focus and the selection
// where the user goes on, the credits. The time-out counts from the start; a
// failure ends the exchange when it is reported, even from inside the
// connecting call.
void TestWindow::exchanges()
{
    QFETCH(QString, fields);
    QFETCH(QString, button);
    QFETCH(QByteArray, reply);
    QFETCH(QString, shown);
    ScriptedService service;
    service.mode = reply == "<close>" ? Mode::CloseAtOnce : Mode::Silent;
    const quint16 port = service.port();
    const int timeoutMs = 600;
    WindowFixture f(port, timeoutMs);
    f.showActive();
    if (reply == "<proxy>") // a proxy that cannot carry TCP: Qt refuses within the call
        f.window->serviceSocket()->setProxy(QNetworkProxy(QNetworkProxy::FtpCachingProxy, "127.0.0.1", 9));
    const QStringList v = fields.split('|');
    f.fill(v[0], "", v[1], v[2]);
    f.edit("PW")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("PW"), "pw");
    QElapsedTimer clock;
    clock.start();
    f.button(qPrintable(button))->click(); // the password box is left first
    if (!reply.isEmpty()) {
        QVERIFY(!f.window->isEnabled());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    const QString digest = PasswordDigest("pw");
    if (!reply.isEmpty() && !reply.startsWith('<')) {
        QTRY_COMPARE(service.requests.value(0),
                     button == "Send" ? sendRequest("bob", digest, v[1], v[2], "bob")
                                      : creditsRequest("bob", digest));
        service.send(reply);
    }
    QTRY_VERIFY(f.idle());
    if (reply.startsWith('<'))
        QCOMPARE(clock.elapsed() >= timeoutMs, reply == "<silent>" || reply == "<close>");
    const QString at = qobject_cast<QPushButton *>(QApplication::focusWidget()) ? "" : selection();
    const QString credits = f.edit("FreeCredits")->text() + ' ' + f.edit("Credits")->text();
    QCOMPARE(f.edit("FreeCredits")->cursorPosition() + f.edit("Credits")->cursorPosition(), 0);
    QCOMPARE(QStringList({ f.boxes.shown.value(0).title, f.focused(), at, credits }).join('|'), shown);
    QCOMPARE(f.boxes.shown.size(), shown.startsWith('|') ? 0 : 1);
    QVERIFY(!reply.isEmpty() || service.connections == 0);
    const QString page = QString("Open http://127.0.0.1:%1/buytexts.html").arg(port);
    QCOMPARE(f.desktop.opened, reply == "!0" ? QStringList(page) : QStringList());
}

void TestWindow::brokenAddresses_data()
{
    QTest::addColumn<QString>("addresses"); // what the name's addresses do, in the order found
    QTest::addColumn<QString>("host"); // whose name it is
    QTest::addColumn<QString>("shown"); // the credits or the box; for the banner its request
    // clang-format off
    QTest::newRow("silent, then one that answers") << "silent answers" << "service" << "3 7";
    QTest::newRow("refusing, then one that answers") << "refuses answers" << "service" << "3 7";
    QTest::newRow("none answers") << "silent silent" << "service" << "The server is temporarily unavailable.";
    QTest::newRow("the banner's") << "silent answers" << "ad" << "Ad SMS v1.10";
    // clang-format on
}

// An address that swallows connections, as a broken IPv6 route does, or
// refuses them, does not keep the program from the next one: the request
// goes out once, on the connection made. With no address answering, the
// time-out ends the exchange and leaves nothing connecting.
void TestWindow::brokenAddresses()
{
    QFETCH(QString, addresses);
    QFETCH(QString, host);
    QFETCH(QString, shown);
    ScriptedService service;
    service.mode = host == "ad" ? Mode::Silent : Mode::Reply;
    service.reply = "=3,7";
    // Once its queue is full, a server that takes no connection drops the
    // next ones without a word.
    QTcpServer silent;
    silent.setListenBacklogSize(0);
    QVERIFY(silent.listen(QHostAddress("127.0.0.2"), service.port()));
    silent.pauseAccepting();
    QTcpSocket queued;
    queued.connectToHost(silent.serverAddress(), service.port());
    QVERIFY(queued.waitForConnected());
    const QHash<QString, QString> ip{ { "silent", "127.0.0.2" },
                                      { "refuses", "127.0.0.3" },
                                      { "answers", "127.0.0.1" } };
    WindowFixture f(service.port(), 3000, false);
    f.resolver = [&](const QString &name) {
        QList<QHostAddress> found;
        for (const QString &address : addresses.split(' '))
            found << QHostAddress(ip[address]);
        return name == "zendry.test" ? found : QList<QHostAddress>();
    };
    (host == "ad" ? f.adHost : f.serviceHost) = "zendry.test";
    f.start();
    if (host == "ad") {
        QTRY_COMPARE(service.requests, QList<QByteArray>({ shown.toLatin1() }));
        return;
    }
    f.fill("bob", "pw", "", "");
    f.button("Refresh")->click();
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), 10000);
    QCOMPARE(f.boxes.shown.isEmpty() ? f.edit("FreeCredits")->text() + ' ' + f.edit("Credits")->text()
                                     : f.boxes.shown[0].text.section("\r\n", 0, 0),
             shown);
    const QByteArray request = creditsRequest("bob", f.window->passwordHash());
    QCOMPARE(service.requests, shown == "3 7" ? QList<QByteArray>({ request }) : QList<QByteArray>());
}

// Send records the contact before its checks; picking fills the number;
// Delete asks, Yes by default, then removes the picked or typed contact. The
// phonebook goes back in the encoding it came in.
void TestWindow::contacts()
{
    WindowFixture f(9, 10000, false);
    f.put("Phonebook.txt",
          "\xEF\xBB\xBF"
          "1 Ann\n2 Bob\n");
    f.start();
    QAbstractItemModelTester tester(f.to()->model()); // every change told to the views
    f.window->LoadPhonebook();
    f.showActive();
    f.to()->setEditText("Cy ");
    f.edit("Number")->setText(" 3 ");
    f.button("Send")->click();
    QCOMPARE(f.boxes.shown.value(0).text + f.to()->currentText(), QString("Please enter your ZDID.Cy "));
    QStringList numbers;
    for (int row : { 2, 0, 3 }) {
        f.to()->showPopup();
        f.to()->view()->setCurrentIndex(f.to()->model()->index(row, 0));
        QTest::keyClick(f.to()->view(), Qt::Key_Return);
        numbers << f.edit("Number")->text();
    }
    QCOMPARE(numbers, QStringList({ "2", "", "3" }));
    f.boxes.nextAnswers = { Answer::No };
    f.button("DeleteContact")->click();
    f.button("DeleteContact")->click();
    f.to()->setFocus();
    QTest::keyClicks(f.to()->lineEdit(), "ANN");
    f.button("DeleteContact")->click();
    QCOMPARE(f.to()->count(), 2);
    QCOMPARE(f.to()->itemText(1) + f.to()->currentText() + f.edit("Number")->text(), QString("Bob"));
    QCOMPARE(f.window->contactNames()[0] + f.window->contactNames()[1], QString("Bob"));
    // A name typed, even with Enter, is not a pick, nor is leaving the box.
    f.edit("Number")->setText("447700900222");
    f.to()->setFocus();
    QTest::keyClicks(f.to(), "Bob");
    QTest::keyClick(f.to(), Qt::Key_Return);
    f.to()->setCurrentIndex(-1); // Enter made the entry current; only a change of text is typing now
    f.to()->setEditText("Bob");
    f.button("Send")->click();
    QCOMPARE(f.edit("Number")->text() + ' ' + f.window->contactNumbers()[0], "447700900222 447700900222");
    f.window->close();
    QCOMPARE(f.bytes("Phonebook.txt"),
             "\xEF\xBB\xBF"
             "447700900222 Bob\r\n");
}

// Start-up fetches; the picture is cleared from the first packet and shown
// when complete, the link set from the header. Every 121st tick fetches
// again; a reply that is no picture falls back to Vorral.gif and the default link.
void TestWindow::theBannerIsFetchedAndRenewed()
{
    ScriptedService ads;
    ads.mode = ScriptedService::Mode::Silent;
    WindowFixture f(ads.port(), 10000, false);
    f.adHost = "127.0.0.1";
    f.start();
    QTRY_COMPARE(ads.requests.value(0), QByteArray("Ad SMS v1.10"));
    auto *banner = f.control<QLabel>("Banner");
    QVERIFY(QImage(80, 20, QImage::Format_RGB32).save(f.folder.filePath("p.png")));
    const QByteArray png = f.bytes("p.png");
    ads.send(QByteArray::number(png.size()) + " http://ads.example/2\r" + png.left(10));
    QTRY_COMPARE(f.window->adRemaining(), int(png.size()) - 10);
    QVERIFY(banner->pixmap().isNull());
    QCOMPARE(f.window->adLink(), QString("http://ads.example/2"));
    ads.send(png.mid(10));
    QTRY_COMPARE(banner->size(), QSize(80, 20));
    QVERIFY(!QFile::exists(f.folder.filePath("Banner.tmp")));
    for (int tick = 0; tick < 120; ++tick)
        f.window->AdTimer_Timer();
    QCoreApplication::processEvents();
    QCOMPARE(ads.connections, 1);
    f.window->AdTimer_Timer();
    QTRY_COMPARE(ads.requests.value(1), QByteArray("Ad SMS v1.10"));
    f.window->AdTimer_Timer();
    ads.send("5 http://ads.example/3\rABCDE");
    QTRY_COMPARE(banner->size(), QSize(468, 60));
    QCOMPARE(f.window->adLink(), QString("http://www.test.example/"));
    QCOMPARE(f.window->adCountdown(), 120);
    // A banner larger than any allowed is refused at its header, and no more of it is taken.
    f.window->startBannerFetch();
    QTRY_COMPARE(ads.requests.value(2), QByteArray("Ad SMS v1.10"));
    ads.send("99999999 http://ads.example/4\r");
    QTRY_VERIFY(!ads.current);
}

// Help and F1 (released, with any modifier, from any control, the dropped
// list included) open the Readme; the buttons and the banner their pages,
// the banner's click whole after a double click elsewhere.
// A window locked for an exchange takes none of it.
void TestWindow::pagesTheReadmeAndTheLockedWindow()
{
    ScriptedService silent;
    silent.mode = ScriptedService::Mode::Silent;
    WindowFixture f(silent.port());
    f.showActive();
    const QString readme = "open " + QDir::toNativeSeparators(f.folder.filePath("Readme.txt"));
    for (const char *button : { "HelpButton", "CreateZDID", "Purchase" }) {
        f.button(button)->setFocus(); // Enter presses the focused button
        QTest::keyClick(f.button(button), Qt::Key_Return);
    }
    QTest::mouseDClick(f.control("Message"), Qt::LeftButton); // no double click of the banner's
    for (int click = 0; click < 2; ++click)
        QTest::mouseClick(f.control("Banner"), Qt::LeftButton, {}, QPoint(5, 5));
    f.to()->showPopup();
    for (QWidget *w : { static_cast<QWidget *>(f.to()->view()), f.control("Message"), f.control("Chars") }) {
        w->setFocus();
        QTest::keyPress(QApplication::focusWidget(), Qt::Key_F1);
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_F1, Qt::ShiftModifier);
    }
    QKeyEvent held(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(QApplication::focusWidget(), &held);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    f.fill("bob", "pw", "", "");
    f.button("Refresh")->click();
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : f.window.get(), Qt::Key_F1);
    QTest::mouseClick(f.control("Banner"), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(f.window->exchangeInProgress());
    const QString port = QString::number(silent.port());
    QCOMPARE(
            f.desktop.opened,
            QStringList({ readme, "Open http://www.test.example:" + port + "/create/",
                          "Open http://127.0.0.1:" + port + "/buytexts.html", "open http://www.test.example/",
                          "open http://www.test.example/", readme, readme, readme }));
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
