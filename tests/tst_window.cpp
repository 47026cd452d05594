// The window's wiring: every event to its handler; each kind of effect a
// handler applies, once; start-up and shutdown; the real platform pieces
// main.cpp passes in; and captions that fit at the font the window picks.
#include "app/realsetup.h"
#include "endpoints.h"
#include "platform/systemdesktop.h"
#include "platform/termination.h"
#include "scriptedservice.h"
#include "service/credential.h"
#include "service/request.h"
#include "windowfixture.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleEvent>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QNetworkProxy>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qwindowsysteminterface.h>

#include <algorithm>
#include <csignal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace zendry;
using Answer = MessageBoxes::Answer;
using Mode = ScriptedService::Mode;

namespace {

// Where the caret or selection is in the focused box: "start+length".
QString selection()
{
    if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        return QString("%1+%2")
                .arg(edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition())
                .arg(edit->selectedText().size());
    const QTextCursor c = static_cast<QPlainTextEdit *>(QApplication::focusWidget())->textCursor();
    return QString("%1+%2").arg(c.selectionStart()).arg(c.selectedText().size());
}

// What accessibility clients get from the password box and from To, with a
// recording handler where the desktop's bridge to a screen reader would be.
QStringList g_heard, g_heardTo;

void hear(QAccessibleEvent *e)
{
    QAccessibleInterface *i = e->accessibleInterface();
    if (!e->object() || !i)
        return;
    if (e->object()->objectName() == "ToName") {
        g_heardTo << i->text(QAccessible::Name) + ": " + i->text(QAccessible::Value);
        return;
    }
    if (e->object()->objectName() != "PW")
        return;
    g_heard << i->text(QAccessible::Value)
            << i->textInterface()->text(0, i->textInterface()->characterCount());
    if (e->type() == QAccessible::TextInserted)
        g_heard << static_cast<QAccessibleTextInsertEvent *>(e)->textInserted();
    if (e->type() == QAccessible::TextRemoved)
        g_heard << static_cast<QAccessibleTextRemoveEvent *>(e)->textRemoved();
    if (e->type() == QAccessible::TextUpdated)
        g_heard << static_cast<QAccessibleTextUpdateEvent *>(e)->textRemoved()
                << static_cast<QAccessibleTextUpdateEvent *>(e)->textInserted();
}

// A screen reader listens from before the window opens until the end.
struct Listening
{
    Listening()
    {
        g_heard.clear();
        g_heardTo.clear();
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(hear);
    }
    ~Listening()
    {
        QAccessible::installUpdateHandler(nullptr);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
    }
};

// The window's captions: its labels, buttons and check boxes that show text.
QList<QWidget *> captions(const QWidget &window)
{
    QList<QWidget *> out;
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if ((qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w))
            && !w->property("text").toString().isEmpty())
            out << w;
    }
    return out;
}

// Whether a caption at a font of `pixels` fits whole in the room its style
// draws the text in.
bool whole(const QWidget *w, int pixels)
{
    QFont font = w->font();
    font.setPixelSize(pixels);
    QStyleOptionButton option;
    option.initFrom(w);
    QRect room = w->contentsRect();
    int flags = Qt::TextShowMnemonic;
    if (qobject_cast<const QCheckBox *>(w))
        room = w->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, w);
    else if (qobject_cast<const QPushButton *>(w))
        room = w->style()->subElementRect(QStyle::SE_PushButtonContents, &option, w);
    else if (static_cast<const QLabel *>(w)->wordWrap())
        flags |= Qt::TextWordWrap;
    const QRect need = QFontMetrics(font).boundingRect(room, flags, w->property("text").toString());
    return need.width() <= room.width() && need.height() <= room.height();
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    // The program reads no environment: a proxy named there is never used.
    void initTestCase() { qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(m_proxy.port())); }
    void wiring_data();
    void wiring();
    void exchanges_data();
    void exchanges();
    void brokenAddresses_data();
    void brokenAddresses();
    void fieldsAndFocus();
    void everyTabStopShowsTheFocus();
    void contacts();
    void theWheelAndTheArrowsOverTo();
    void aScreenReaderHearsNoPassword_data();
    void aScreenReaderHearsNoPassword();
    void firstRunInAnEmptyFolder();
    void aSecondRunGetsEverythingBack();
    void theDisplayGoingAway_data();
    void theDisplayGoingAway();
    void theBannerIsFetchedAndRenewed();
    void pagesTheReadmeAndTheLockedWindow();
    void theRealPieces();
    void captionsFit_data();
    void captionsFit();

public slots:
    void openUrl(const QUrl &url) { m_opened << QString(url.toEncoded()); }

private:
    QStringList m_opened; // what the desktop was asked to open
    ScriptedService m_proxy;
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

// Entering a box by key selects its text; a click puts the caret under the
// mouse, but the password box keeps its text selected, and takes the
// window's font. The counter shows from its first character. A password is
// digested when its box is left inside the window, not when the focus goes
// to another program.
void TestWindow::fieldsAndFocus()
{
    WindowFixture f;
    f.showActive();
    QTest::keyClicks(f.control("Message"), "hi");
    QCOMPARE(f.edit("Chars")->cursorPosition(), 0);
    QCOMPARE(f.edit("PW")->font(), f.window->font());
    for (const char *box : { "Number", "Sig", "ZDID", "PW" }) {
        for (bool byMouse : { false, true }) {
            QWidget *before = f.edit(box)->previousInFocusChain();
            while (!(before->focusPolicy() & Qt::TabFocus) || !before->isEnabled())
                before = before->previousInFocusChain();
            before->setFocus(Qt::OtherFocusReason);
            f.edit(box)->setText("4477 text");
            const QPoint at(f.edit(box)->width() / 3, 5);
            const int under = f.edit(box)->cursorPositionAt(at);
            if (byMouse)
                QTest::mouseClick(f.edit(box), Qt::LeftButton, {}, at);
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QApplication::processEvents();
            const bool all = !byMouse || box == QString("PW");
            QCOMPARE(selection(), all ? QString("0+9") : QString("%1+0").arg(under));
            QVERIFY(under > 0);
        }
    }
    QTest::keyClicks(f.edit("PW"), "abc");
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QCOMPARE(f.window->passwordHash(), PasswordDigest("4477 text"));
    QTest::keyClick(f.edit("PW"), Qt::Key_Tab);
    QCOMPARE(f.window->passwordHash(), PasswordDigest("abc"));
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

// The wheel turns To only when it has the focus; a turn, like an arrow key,
// is a pick, which a screen reader hears by the picked name while the box
// keeps its own name.
void TestWindow::theWheelAndTheArrowsOverTo()
{
    WindowFixture f(9, 10000, false);
    f.put("Phonebook.txt", "1 Ann\r\n2 Bob\r\n");
    Listening reader;
    f.start();
    f.showActive();
    f.control("Message")->setFocus(Qt::TabFocusReason);
    f.edit("Number")->setText("447700");
    const QPoint over = f.to()->geometry().center();
    QStringList numbers;
    for (int turn = 0; turn < 3; ++turn) {
        QWindowSystemInterface::handleWheelEvent(f.window->windowHandle(), over, f.window->mapToGlobal(over),
                                                 {}, { 0, -120 });
        QWindowSystemInterface::flushWindowSystemEvents();
        numbers << f.focused() + ' ' + f.to()->currentText() + ' ' + f.edit("Number")->text();
        f.to()->setFocus(Qt::TabFocusReason);
    }
    QTest::keyClick(f.to(), Qt::Key_Down);
    numbers << f.edit("Number")->text();
    QCOMPARE(numbers, QStringList({ "Message  447700", "ToName <new> ", "ToName Ann 1", "2" }));
    QCOMPARE(g_heardTo.filter("To: Bob").size(), 1);
    QCOMPARE(g_heardTo.filter(QRegularExpression("^(?!To:)")), QStringList());
}

// No event or readable text of the password box carries what was typed,
// pasted or typed again, nor what replaced the stored password's mask; a
// screen reader can say "star" for each character.
void TestWindow::aScreenReaderHearsNoPassword_data()
{
    QTest::addColumn<QString>("way");
    for (const char *way : { "typed", "pasted", "retyped", "over the mask" })
        QTest::newRow(way) << QString(way);
}

void TestWindow::aScreenReaderHearsNoPassword()
{
    QFETCH(QString, way);
    WindowFixture f(9, 10000, false);
    if (way == "over the mask")
        f.put("Zendry SMS.ini", "ZDID=bob\r\npassword=ab12\r\nsignature=bob\r\nAutoRefresh=0\r\n");
    Listening reader;
    f.start();
    f.showActive();
    QLineEdit *pw = f.edit("PW");
    pw->setFocus(Qt::TabFocusReason);
    QApplication::clipboard()->setText("swordfish");
    if (way == "pasted")
        QTest::keyClick(pw, Qt::Key_V, Qt::ControlModifier);
    else
        QTest::keyClicks(pw, way == "retyped" ? "swordfisk" : "swordfish");
    if (way == "retyped") {
        QTest::keyClick(pw, Qt::Key_Backspace);
        pw->selectAll();
        QTest::keyClicks(pw, "swordfish");
    }
    QCOMPARE(pw->text() + pw->displayText(), "swordfish" + QString(9, u'*'));
    QVERIFY(!g_heard.isEmpty());
    for (const QString &heard : std::as_const(g_heard))
        QCOMPARE(heard, QString(heard.size(), u'*'));
}

// Both files created empty, the shipped banner, the window's icon, and a
// start-up refresh that lacks its ZDID asks before the window is shown,
// which opens all the same.
void TestWindow::firstRunInAnEmptyFolder()
{
    ScriptedService service;
    WindowFixture f(service.port(), 10000, false);
    f.start();
    QCOMPARE(f.bytes("Zendry SMS.ini") + f.bytes("Phonebook.txt"), QByteArray());
    QVERIFY(!f.control("AutoRefresh")->isEnabled());
    QCOMPARE(f.window->adLink(), QString("http://www.test.example/"));
    QCOMPARE(f.control<QLabel>("Banner")->pixmap().size(), QSize(468, 60)); // Vorral.gif
    QCOMPARE(f.window->adCountdown(), 120);
    QVERIFY(!f.window->windowIcon().pixmap(32).isNull());
    f.put("Zendry SMS.ini", "password=ab12\r\nAutoRefresh=1");
    f.start();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, QString("Please enter your ZDID."));
    QVERIFY(!f.boxes.shown[0].ownerVisible);
    f.showActive();
    QCOMPARE(f.focused(), QString("ToName"));
    QCOMPARE(service.connections, 0);
    // The program itself, asked to end while that box is up, stores once and ends.
#ifndef Q_OS_UNIX
    QSKIP("Windows has no termination signal to send a program from outside");
#endif
    QTemporaryDir dir;
    QVERIFY(QFile::copy(ZENDRY_PROGRAM, dir.filePath("zendry-sms")));
    f.folder.swap(dir);
    f.put("Zendry SMS.ini", "password=ab12\r\nAutoRefresh=1");
    QProcess program;
    program.start(f.folder.filePath("zendry-sms"));
    QTRY_VERIFY(QFile::exists(f.folder.filePath("Phonebook.txt")));
    program.terminate();
    QTRY_COMPARE(program.state(), QProcess::NotRunning);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(f.bytes("Zendry SMS.ini"), "ZDID=\r\npassword=ab12\r\nsignature=\r\nAutoRefresh=1\r\n");
}

// Saved details refresh the credits before the window is shown. Closed by a
// termination request, with a password typed and its box never left, the
// window saves its digest, in the settings file's own encoding. A folder
// where the phonebook goes gives a box naming it and the system's reason,
// but not while the program is being ended: the settings are written all
// the same, and nothing holds the ending up.
void TestWindow::aSecondRunGetsEverythingBack()
{
    ScriptedService service;
    service.reply = "=3,7";
    Termination termination;
    WindowFixture f(service.port(), 10000, false);
    f.put("Zendry SMS.ini", "\xEF\xBB\xBFZDID=demo\npassword=ab12\nsignature=D d\nAutoRefresh=1\n");
    f.put("Phonebook.txt", "4477 Zo\xEB Ann\r\nfriend bob\r\n");
    f.start(&termination);
    QVERIFY(f.window->exchangeInProgress() && !f.window->isEnabled());
    f.showActive();
    QTRY_VERIFY(f.idle());
    QCOMPARE(service.requests.value(0), creditsRequest("demo", "ab12"));
    QCOMPARE(QStringList({ f.edit("ZDID")->text(), f.edit("PW")->text(), f.edit("Sig")->text(),
                           f.edit("FreeCredits")->text() + f.edit("Credits")->text(), f.to()->itemText(2) }),
             QStringList({ "demo", "**********", "D d", "37", "Zoë Ann" }));
    QVERIFY(f.control<QCheckBox>("SavePW")->isChecked() && f.control("AutoRefresh")->isEnabled());
    f.edit("PW")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("PW"), "new");
    QFile::remove(f.folder.filePath("Phonebook.txt"));
    QVERIFY(QDir().mkdir(f.folder.filePath("Phonebook.txt")));
    // Windows has no termination signal: a request to end comes as a message.
    const auto requestEnd = [&termination] {
#ifdef Q_OS_UNIX
        std::raise(SIGTERM);
#else
        emit termination.requested();
#endif
    };
    f.window->SavePhonebook(); // as the user's own close would
    requestEnd();
    QTRY_VERIFY(!f.window->isVisible());
    requestEnd();
    QCoreApplication::processEvents();
    QCOMPARE(f.bytes("Zendry SMS.ini"),
             "\xEF\xBB\xBFZDID=demo\r\npassword=" + PasswordDigest("new").toLatin1()
                     + "\r\nsignature=D d\r\nAutoRefresh=1\r\n");
    QCOMPARE(f.boxes.shown.size(), 1);
#ifdef Q_OS_WIN
    const QString reason = qt_error_string(ERROR_ACCESS_DENIED); // "Access is denied."
#else
    const QString reason = "Is a directory.";
#endif
    QCOMPARE(f.boxes.shown[0].title + ' ' + f.boxes.shown[0].text,
             "Error Zendry SMS could not save the file \""
                     + QDir::toNativeSeparators(f.folder.filePath("Phonebook.txt")) + "\".\r\n" + reason);
}

// Where the focus is shows on the black window: an empty read-only box
// shows its caret, and the Windows style's focus mark around a check box is
// light.
void TestWindow::everyTabStopShowsTheFocus()
{
    const std::unique_ptr<QStyle> windows(QStyleFactory::create("windows"));
    WindowFixture f;
    f.showActive();
    const auto colours = [&f](const QRect &area) {
        const QImage shot = f.window->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
        const auto *pixels = reinterpret_cast<const QRgb *>(shot.constBits());
        return QSet<QRgb>(pixels, pixels + shot.width() * shot.height());
    };
    QLineEdit *credits = f.edit("Credits");
    credits->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(colours(credits->geometry().adjusted(3, 3, -3, -3))
                        .contains(credits->palette().text().color().rgb()));
    QWidget *save = f.control("SavePW");
    save->setStyle(windows.get());
    save->setFocus(Qt::TabFocusReason);
    const int indicator = windows->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, save);
    QTRY_VERIFY(colours(save->geometry().adjusted(indicator, 0, 0, 0)).contains(qRgb(255, 255, 255)));
    save->setStyle(nullptr);
}

void TestWindow::theDisplayGoingAway_data()
{
    QTest::addColumn<QString>("platform");
    QTest::newRow("X11") << "xcb";
    QTest::newRow("Wayland") << "wayland";
}

// Qt ends the program itself when the display server goes (a closed remote
// session, a compositor that stops): the program, on a server of the test's
// own, stores its files first, and ends.
void TestWindow::theDisplayGoingAway()
{
#ifndef Q_OS_LINUX
    QSKIP("X11 and Wayland are Linux's");
#endif
    QFETCH(QString, platform);
    QTemporaryDir folder, runtime;
    QVERIFY(QFile::copy(ZENDRY_PROGRAM, folder.filePath("zendry-sms")));
    QFile phonebook(folder.filePath("Phonebook.txt"));
    QVERIFY(phonebook.open(QIODevice::WriteOnly) && phonebook.write("Ann") == 3);
    phonebook.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", platform);
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    QProcess server;
    server.setProcessEnvironment(env);
    if (platform == "xcb") {
        // The server writes its display's number once it takes connections.
        server.start("Xvfb", { "-displayfd", "1", "-nolisten", "tcp" });
        QTRY_VERIFY(server.canReadLine());
        env.insert("DISPLAY", ':' + QString::fromLatin1(server.readLine().trimmed()));
    } else {
        server.start("weston", { "--backend=headless-backend.so", "--socket=zendry-test" });
        QTRY_VERIFY(QFile::exists(runtime.filePath("zendry-test")));
        env.insert("WAYLAND_DISPLAY", "zendry-test");
    }
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(folder.filePath("zendry-sms"));
    // The files are made at start-up, once the display is connected.
    const QString ini = folder.filePath("Zendry SMS.ini");
    QTRY_VERIFY(QFile::exists(ini));
    server.terminate();
    QVERIFY(server.waitForFinished());
    QTRY_COMPARE(program.state(), QProcess::NotRunning);
    QVERIFY(phonebook.open(QIODevice::ReadOnly));
    QFile settings(ini);
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll() + phonebook.readAll(),
             "ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=0\r\n Ann\r\n");
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
    QCOMPARE(f.desktop.opened,
             QStringList({ readme, "Open http://www.test.example:" + port + "/create/",
                           "Open http://127.0.0.1:" + port + "/buytexts.html",
                           "open http://www.test.example/", readme, readme, readme }));
}

// The desktop opener: a web address fully encoded, a file as a file; on
// Windows the shell asked in UTF-16, with the window as owner and the verb as
// given. The production set-up: the hosts as built, reached directly, the
// time-out exact to the millisecond and the banner's tick running.
void TestWindow::theRealPieces()
{
    RealSetup real;
    MainSetup s = real.setup();
    QCOMPARE(QStringList({ s.endpoints.serviceHost, s.endpoints.adHost, s.endpoints.webHost,
                           s.endpoints.defaultBannerLink, QString::number(s.endpoints.port),
                           QString::number(s.exchangeTimeoutMs), s.programFolder }),
             QStringList({ build::serviceHost, build::adHost, build::webHost, build::defaultBannerLink,
                           QString::number(build::port), "10000", QCoreApplication::applicationDirPath() }));
    WindowFixture f(9, 10000, false);
    s.programFolder = f.folder.path();
    QVERIFY(s.boxes && s.desktop && s.termination);
    s.boxes = &f.boxes; // the hosts as built resolve nowhere here: a refresh fails
    Main window(s);
    const QTimer *tick = window.findChild<QTimer *>("AdTimer");
    QVERIFY(tick->isActive() && tick->interval() == 1000
            && window.findChild<QTimer *>("TimeOut")->timerType() == Qt::PreciseTimer);
    window.findChild<QLineEdit *>("ZDID")->setText("a");
    window.findChild<QLineEdit *>("PW")->setText("b");
    window.findChild<QPushButton *>("Refresh")->click();
    QTRY_COMPARE_WITH_TIMEOUT(window.adCountdown(), 119, 3000);
    QCOMPARE(m_proxy.connections, 0); // neither the banner nor the refresh went through it
    for (const char *scheme : { "http", "file" })
        QDesktopServices::setUrlHandler(scheme, this, "openUrl");
    static QStringList shell; // what Windows' shell is asked
    SystemDesktop::shellOpen = [](quintptr owner, const wchar_t *verb, const wchar_t *file,
                                  const wchar_t *parameters, const wchar_t *directory, int show) {
        shell << QStringList({ QString::number(owner), QString::fromWCharArray(verb),
                               QString::fromWCharArray(file), QString::fromWCharArray(parameters),
                               QString::fromWCharArray(directory), QString::number(show) })
                         .join('|');
    };
    window.show();
    s.desktop->open(&window, "open", "http://ads.example/a b|\"");
    // A folder named outside every single-byte code page.
    const QString readme = f.folder.filePath("\u0416\u4E2D/Readme.txt");
    s.desktop->open(&window, "Open", readme);
#ifdef Q_OS_WIN
    const QString owner = QString::number(window.winId());
    QCOMPARE(shell,
             QStringList({ owner + "|open|http://ads.example/a%20b%7C%22|||1",
                           owner + "|Open|" + readme + "|||1" }));
    const LONG_PTR style = GetWindowLongPtrW(HWND(window.winId()), GWL_STYLE);
    QVERIFY(!(style & WS_THICKFRAME) && !(style & WS_MAXIMIZEBOX)); // fixed in size
    // The program file carries its icon, its name and its version.
    const std::wstring program = QDir::toNativeSeparators(ZENDRY_PROGRAM).toStdWString();
    const HMODULE file = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    QVERIFY(FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14))); // the group icon
    FreeLibrary(file);
    QByteArray info(int(GetFileVersionInfoSizeW(program.c_str(), nullptr)), '\0');
    QVERIFY(GetFileVersionInfoW(program.c_str(), 0, DWORD(info.size()), info.data()));
    QString names;
    for (const wchar_t *key :
         { L"\\StringFileInfo\\040904B0\\ProductName", L"\\StringFileInfo\\040904B0\\FileVersion" }) {
        wchar_t *value = nullptr;
        UINT length = 0;
        names += VerQueryValueW(info.data(), key, reinterpret_cast<void **>(&value), &length)
                ? QString::fromWCharArray(value) + '|'
                : "-";
    }
    QCOMPARE(names, QString("Zendry SMS|1.10|"));
#else
    QCOMPARE(m_opened,
             QStringList({ "http://ads.example/a%20b%7C%22", QUrl::fromLocalFile(readme).toEncoded() }));
#endif
}

void TestWindow::captionsFit_data()
{
    QTest::addColumn<QString>("caption");
    WindowFixture f;
    for (const QWidget *w : captions(*f.window))
        QTest::newRow(qPrintable(w->objectName())) << w->objectName();
}

// Every caption is drawn whole at the font size the window picks, the largest
// that lets them all be: one pixel more cuts one. Run at 96 DPI and, by
// CTest, at 144, where the style's check box indicator is wider.
void TestWindow::captionsFit()
{
    QFETCH(QString, caption);
    // QtTest pins the DPI at 96; here the window meets the screen's own.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
    const auto pinAgain = qScopeGuard([] { QCoreApplication::setAttribute(Qt::AA_Use96Dpi); });
    WindowFixture f;
    const int size = f.window->font().pixelSize();
    QVERIFY(whole(f.control(qPrintable(caption)), size));
    const QList<QWidget *> all = captions(*f.window);
    QVERIFY(!std::all_of(all.begin(), all.end(), [size](const QWidget *w) { return whole(w, size + 1); }));
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
