// What a desktop does and offscreen does not: the window manager gives the
// window its activation back some time after a box closes, a key held down
// repeats, the mouse makes double clicks, the clipboard is the X server's,
// the keyboard has a layout, the window manager offers full screen.
// Run by tests/xsession on an X server of its own; a held key and a double
// click come from the desktop's own keyboard and mouse (UserInput).
#include "app/altkeys.h"
#include "scriptedservice.h"
#include "service/credential.h"
#include "userinput.h"
#include "windowfixture.h"

#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

using namespace zendry;

namespace {

// Answers each box with Enter, as the user does once it has the focus, and
// notes how it looked: title, text, format, icon, buttons, and whether it
// fitted the screen.
struct BoxAnswerer
{
    BoxAnswerer()
    {
        timer.callOnTimeout([this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || box == answered || QApplication::activeWindow() != box)
                return;
            answered = box;
            // Its size, not its place: where a box goes is the window manager's
            // choice, which under load may step it past an earlier one.
            const QSize room = box->screen()->availableGeometry().size(), size = box->frameGeometry().size();
            const bool fits = size.width() <= room.width() && size.height() <= room.height();
            // Every word of its text as wide as the box at most, as the box
            // wraps between words only, and room for its title beside the
            // window manager's buttons.
            const auto *label = box->findChild<QLabel *>("qt_msgbox_label");
            const QStringList words = box->text().split(QRegularExpression("[ \n]"));
            const bool whole = std::all_of(words.begin(), words.end(), [label](const QString &word) {
                return label->fontMetrics().horizontalAdvance(word) <= label->width();
            });
            const bool titled = box->width() > box->fontMetrics().horizontalAdvance(box->windowTitle()) + 100;
            seen << QString("%1|%2|%3%4|%5|%6%7%8")
                            .arg(box->windowTitle(), box->text().left(10))
                            .arg(box->textFormat())
                            .arg(box->icon())
                            .arg(int(box->standardButtons()), 0, 16)
                            .arg(fits ? "fits" : "too big", whole ? "" : " cut", titled ? "" : " untitled");
            QTest::keyClick(box, Qt::Key_Return);
        });
        timer.start(50);
    }
    QTimer timer;
    QPointer<QMessageBox> answered;
    QStringList seen;
};

// Runs an X tool to its end and gives what it wrote.
QString x11(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        qWarning() << tool << args << "failed:" << p.readAllStandardError();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The X server's keyboard layout while it lives; the US one again after.
struct KeyboardLayout
{
    explicit KeyboardLayout(const QString &layout) { x11("setxkbmap", { layout }); }
    ~KeyboardLayout() { x11("setxkbmap", { "us" }); }
};

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void theFieldABoxNamesIsEntered_data();
    void theFieldABoxNamesIsEntered();
    void theDesktopsBoxes();
    void aPasteKeepsItsFirstLine();
    void aKeyHeldDownAndADoubleClick();
    void theFrameOffersNoResizing();
    void theFrameTakesNoFullScreen();
    void whatAltWithAKeyMeans_data();
    void whatAltWithAKeyMeans();
    void altKeysOnEveryLayout_data();
    void altKeysOnEveryLayout();
};

void TestDesktop::theFieldABoxNamesIsEntered_data()
{
    // The button, the reply (none: refused before anything is sent), the field and its text.
    QTest::addColumn<QString>("exchange");
    QTest::newRow("!w") << "Refresh|!w|ZDID|kim";
    QTest::newRow("!p, the mask") << "Refresh|!p|PW|**********";
    QTest::newRow("!rw") << "Send|!rw|Number|4477";
    QTest::newRow("a password of spaces") << "Refresh||PW|   ";
}

// After the box the field to correct is entered as a program focus move
// enters it: wholly selected, so what the user types replaces it.
void TestDesktop::theFieldABoxNamesIsEntered()
{
    QFETCH(QString, exchange);
    const QStringList e = exchange.split('|');
    ScriptedService service;
    service.reply = e[1].toLatin1();
    WindowFixture f(service.port(), 10000, false);
    f.realBoxes = true;
    f.start();
    f.showActive();
    BoxAnswerer answerer;
    f.fill("kim", "pw", "4477", "hi");
    f.edit(qPrintable(e[2]))->setText(e[3]);
    f.button(qPrintable(e[0]))->click();
    QTRY_COMPARE(answerer.seen.size(), 1);
    QVERIFY(answerer.seen[0].startsWith("Error|") && answerer.seen[0].endsWith("|fits"));
    QTRY_VERIFY(f.idle() && QApplication::activeWindow() == f.window.get());
    QTest::keyClicks(QApplication::focusWidget(), "new");
    QTRY_COMPARE(f.edit(qPrintable(e[2]))->text(), QString("new"));
}

// Plain text, no icon; Enter gives the default button's answer. A box never
// grows past the screen: a long text is cut to what fits, a word longer than
// a line broken over lines. A short text leaves room for the title.
void TestDesktop::theDesktopsBoxes()
{
    BoxAnswerer answerer;
    QtMessageBoxes boxes;
    QString answers;
    for (auto answer : { MessageBoxes::Answer::No, MessageBoxes::Answer::Yes })
        answers += QString::number(
                int(boxes.show(nullptr, "T", "<b>a</b>\r\nb", MessageBoxes::Buttons::YesNo, answer)));
    boxes.ok(nullptr, "E", QString("word ").repeated(2000));
    boxes.ok(nullptr, "E", QString(1 << 20, u'x'));
    boxes.ok(nullptr, "Message Sent", "!");
    QCOMPARE(answers, QString("21"));
    QCOMPARE(answerer.seen,
             QStringList({ "T|<b>a</b>\nb|00|14000|fits", "T|<b>a</b>\nb|00|14000|fits",
                           "E|word word |00|400|fits", "E|xxxxxxxxxx|00|400|fits",
                           "Message Sent|!|00|400|fits" }));
}

// Pasted text keeps what stands before its first line break, in every
// single-line box; the settings file keeps its four lines.
void TestDesktop::aPasteKeepsItsFirstLine()
{
    WindowFixture f;
    f.showActive();
    f.control<QCheckBox>("SavePW")->setChecked(true);
    // The box, what stands on the clipboard, what the box then holds.
    for (const QString paste : { "ZDID|alice\r\nAutoRefresh=1|alice", "Sig|Kim\r\npassword=0000|Kim",
                                 "ToName|Bob\rSmith|Bob", "Number|44\n77|44", "PW|pw\r\nx|pw" }) {
        const QStringList p = paste.split('|');
        QApplication::clipboard()->setText(p[1]);
        QWidget *box = f.control(qPrintable(p[0]));
        box->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(box == f.to() ? f.to()->currentText() : static_cast<QLineEdit *>(box)->text(), p[2]);
    }
    f.window->close();
    QCOMPARE(f.bytes("Zendry SMS.ini"),
             "ZDID=alice\r\npassword=" + PasswordDigest("pw").toLatin1()
                     + "\r\nsignature=Kim\r\nAutoRefresh=0\r\n");
}

// F1 held down opens the Readme once, when it is let go; a double click on
// the banner is one click.
void TestDesktop::aKeyHeldDownAndADoubleClick()
{
    WindowFixture f;
    f.showActive();
    const QPoint banner = f.control("Banner")->mapToGlobal(QPoint(20, 20));
    UserInput::holdKey("F1");
    QTRY_COMPARE(f.desktop.opened.size(), 1);
    UserInput::doubleClick(banner);
    QTRY_COMPARE(f.desktop.opened.size(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    const QString readme = "open " + QDir::toNativeSeparators(f.folder.filePath("Readme.txt"));
    QTRY_COMPARE(f.desktop.opened, QStringList({ readme, "open http://www.test.example/", readme }));
}

// The window manager is told that the window has one size: the Motif hints
// offer no resizing (function 0x2, decoration 0x4) and no maximising (0x10, 0x40).
void TestDesktop::theFrameOffersNoResizing()
{
    if (QGuiApplication::platformName() != "xcb")
        QSKIP("Motif hints are X11's; Windows' frame is tested in tst_window");
    WindowFixture f;
    QProcess xprop;
    xprop.start("xprop", { "-id", QString::number(f.window->winId()), "_MOTIF_WM_HINTS" });
    QVERIFY(xprop.waitForFinished());
    const QStringList hints = QString(xprop.readAll()).section('=', 1).split(',');
    QVERIFY(hints.size() == 5 && !(hints[1].toUInt(nullptr, 0) & 0x12)
            && !(hints[2].toUInt(nullptr, 0) & 0x44));
}

// Full screen is not offered, and a window manager that makes the window
// full screen all the same gets it back at once where it stood, framed.
void TestDesktop::theFrameTakesNoFullScreen()
{
    if (QGuiApplication::platformName() != "xcb")
        QSKIP("the window manager's actions are X11's; Windows offers no full screen");
    WindowFixture f;
    f.showActive();
    const QString id = QString::number(f.window->winId());
    const auto property = [&id](const char *name) { return x11("xprop", { "-id", id, name }); };
    QTRY_VERIFY(property("_NET_WM_ALLOWED_ACTIONS").contains("_NET_WM_ACTION_MOVE")
                && !property("_NET_WM_ALLOWED_ACTIONS").contains("FULLSCREEN"));
    const QRect frame = f.window->frameGeometry();
    // The window manager takes requests in order: once the window is kept
    // above, it has been made full screen before.
    x11("wmctrl", { "-i", "-r", id, "-b", "add,fullscreen" });
    x11("wmctrl", { "-i", "-r", id, "-b", "add,above" });
    QTRY_VERIFY(property("_NET_WM_STATE").contains("_NET_WM_STATE_ABOVE")
                && !property("_NET_WM_STATE").contains("FULLSCREEN") && f.window->frameGeometry() == frame);
}

// The window's access keys, upper case.
static const QString accessKeys = "CPHZAVRETNDMGS";

void TestDesktop::whatAltWithAKeyMeans_data()
{
    // The key as Qt names it, its modifiers and text, how its native code
    // names it and that code (an XKB keycode or a Windows virtual key), and
    // what it does: an access key's letter, "refuse" (types nothing) or
    // "pass" (the box with the focus has it).
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("codes");
    QTest::addColumn<uint>("native");
    QTest::addColumn<QString>("meaning");
    const int alt = Qt::AltModifier, xkb = int(KeyCodes::Xkb), windows = int(KeyCodes::Windows);
    // Every access key on a US, a Russian and a Greek layout: the key's
    // keycode and the letter each layout puts on it.
    const struct
    {
        char letter;
        uint keycode;
        char16_t russian, greek;
    } keys[] = { { 'C', 54, u'С', u'Ψ' }, { 'P', 33, u'З', u'Π' }, { 'H', 43, u'Р', u'Η' },
                 { 'Z', 52, u'Я', u'Ζ' }, { 'A', 38, u'Ф', u'Α' }, { 'V', 55, u'М', u'Ω' },
                 { 'R', 27, u'К', u'Ρ' }, { 'E', 26, u'У', u'Ε' }, { 'T', 28, u'Е', u'Τ' },
                 { 'N', 57, u'Т', u'Ν' }, { 'D', 40, u'В', u'Δ' }, { 'M', 58, u'Ь', u'Μ' },
                 { 'G', 42, u'П', u'Γ' }, { 'S', 39, u'Ы', u'Σ' } };
    for (const auto &k : keys) {
        const QString l(QLatin1Char(k.letter));
        QTest::addRow("Alt+%c, US", k.letter) << int(k.letter) << alt << l.toLower() << xkb << k.keycode << l;
        QTest::addRow("Alt+%c, Russian", k.letter)
                << int(k.russian) << alt << QString(QChar(k.russian)).toLower() << xkb << k.keycode << l;
        QTest::addRow("Alt+%c, Greek", k.letter)
                << int(k.greek) << alt << QString(QChar(k.greek)).toLower() << xkb << k.keycode << l;
    }
    QTest::newRow("Alt+Shift+R") << int(Qt::Key_R) << int(Qt::AltModifier | Qt::ShiftModifier) << "R" << xkb
                                 << 27u << "R";
    // A Latin layout's own letters count, wherever the key stands.
    QTest::newRow("AZERTY's A, where US has Q") << int(Qt::Key_A) << alt << "a" << xkb << 24u << "A";
    QTest::newRow("AZERTY's Q, where US has A") << int(Qt::Key_Q) << alt << "q" << xkb << 38u << "refuse";
    QTest::newRow("QWERTZ's Z, where US has Y") << int(Qt::Key_Z) << alt << "z" << xkb << 29u << "Z";
    QTest::newRow("QWERTZ's Y, where US has Z") << int(Qt::Key_Y) << alt << "y" << xkb << 52u << "refuse";
    QTest::newRow("AZERTY's comma, where US has M")
            << int(Qt::Key_Comma) << alt << "," << xkb << 58u << "refuse";
    QTest::newRow("German ü") << int(Qt::Key_Udiaeresis) << alt << "ü" << xkb << 34u << "refuse";
    QTest::newRow("Russian ё, where US has `") << 0x401 << alt << "ё" << xkb << 49u << "refuse";
    QTest::newRow("Greek ;, where US has Q")
            << int(Qt::Key_Semicolon) << alt << ";" << xkb << 24u << "refuse";
    // Letters that are no access key, digits and punctuation type nothing.
    for (const char *k : { "Q24", "X53", "J44", "W25" })
        QTest::addRow("Alt+%c", k[0])
                << int(k[0]) << alt << QString(QChar(k[0] + 32)) << xkb << uint(atoi(k + 1)) << "refuse";
    QTest::newRow("Alt+Й, where US has Q") << 0x419 << alt << "й" << xkb << 24u << "refuse";
    QTest::newRow("Alt+1") << int(Qt::Key_1) << alt << "1" << xkb << 10u << "refuse";
    QTest::newRow("Alt+Shift+1") << int(Qt::Key_Exclam) << int(Qt::AltModifier | Qt::ShiftModifier) << "!"
                                 << xkb << 10u << "refuse";
    QTest::newRow("Alt+,") << int(Qt::Key_Comma) << alt << "," << xkb << 59u << "refuse";
    QTest::newRow("Alt+Space") << int(Qt::Key_Space) << alt << " " << xkb << 65u << "refuse";
    // On Windows the virtual key names the letter key on every layout.
    QTest::newRow("Windows, Russian К") << 0x41A << alt << "к" << windows << uint('R') << "R";
    QTest::newRow("Windows, Greek Ω") << 0x3A9 << alt << "ω" << windows << uint('V') << "V";
    QTest::newRow("Windows, Alt+Q") << int(Qt::Key_Q) << alt << "q" << windows << uint('Q') << "refuse";
    QTest::newRow("Windows, Alt+;") << int(Qt::Key_Semicolon) << alt << ";" << windows << 0xBAu << "refuse";
    // What is no Alt key stays the box's: AltGr types (Ctrl+Alt on Windows).
    QTest::newRow("AltGr+E, X11") << 0x20AC << 0 << "€" << xkb << 26u << "pass";
    QTest::newRow("AltGr+E, Windows") << int(Qt::Key_E) << int(Qt::AltModifier | Qt::ControlModifier) << "€"
                                      << windows << uint('E') << "pass";
    QTest::newRow("Alt+F4") << int(Qt::Key_F4) << alt << "" << xkb << 70u << "pass";
    QTest::newRow("Alt+Enter") << int(Qt::Key_Return) << alt << "\r" << xkb << 36u << "pass";
}

// Alt with a key is an access key on every layout, and never types.
void TestDesktop::whatAltWithAKeyMeans()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, codes);
    QFETCH(uint, native);
    QFETCH(QString, meaning);
    KeyPress press{ key, Qt::KeyboardModifiers(modifiers), text };
    (codes == int(KeyCodes::Windows) ? press.virtualKey : press.scanCode) = native;
    const AltKey got = altKeyMeaning(press, KeyCodes(codes), accessKeys);
    QCOMPARE(got.action == AltKey::Action::AccessKey        ? QString(got.letter)
                     : got.action == AltKey::Action::Refuse ? "refuse"
                                                            : "pass",
             meaning);
}

void TestDesktop::altKeysOnEveryLayout_data()
{
    // The layout, the box with the focus, the keys (as xdotool names them),
    // and then the box with the focus and its text, or the box shown.
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("then");
    QTest::newRow("letters no access keys") << "us"
                                            << "Message"
                                            << "alt+q alt+x alt+j o k"
                                            << "Message|ok";
    QTest::newRow("Alt+W in Number") << "us"
                                     << "Number"
                                     << "alt+w 5"
                                     << "Number|5";
    QTest::newRow("a digit and a comma") << "us"
                                         << "Sig"
                                         << "alt+1 alt+comma o k"
                                         << "Sig|ok";
    QTest::newRow("a label's, To's list open") << "us"
                                               << "ToName"
                                               << "alt+Down alt+n 5"
                                               << "Number|5";
    QTest::newRow("Russian, a label's") << "ru"
                                        << "Message"
                                        << "alt+Cyrillic_te 5"
                                        << "Number|5";
    QTest::newRow("Russian, a button's") << "ru"
                                         << "Message"
                                         << "alt+Cyrillic_ka"
                                         << "box|Please enter your ZDID.";
    QTest::newRow("Russian, no access key") << "ru"
                                            << "Message"
                                            << "alt+Cyrillic_o Cyrillic_o"
                                            << "Message|о";
    QTest::newRow("Greek, a label's") << "gr"
                                      << "Number"
                                      << "alt+Greek_mu Greek_alpha"
                                      << "Message|α";
}

// The keys as the X server sends them for each layout reach the window's
// boxes and access keys.
void TestDesktop::altKeysOnEveryLayout()
{
    QFETCH(QString, layout);
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QString, then);
    if (QGuiApplication::platformName() != "xcb")
        QSKIP("X11's keyboard layouts; Windows names its letter keys on every layout");
    WindowFixture f;
    f.showActive();
    f.control(qPrintable(box))->setFocus();
    QTRY_COMPARE(f.focused(), box);
    KeyboardLayout keyboard(layout);
    x11("xdotool", QStringList{ "key", "--delay", "50" } + keys.split(' '));
    const auto text = [] {
        auto *message = qobject_cast<QPlainTextEdit *>(QApplication::focusWidget());
        auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        return message ? message->toPlainText() : line ? line->text() : QString();
    };
    if (then.startsWith("box|"))
        QTRY_COMPARE(f.boxes.shown.isEmpty() ? QString() : "box|" + f.boxes.shown[0].text, then);
    else
        QTRY_COMPARE(f.focused() + '|' + text(), then);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
