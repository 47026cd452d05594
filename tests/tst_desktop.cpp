// What a desktop does and offscreen does not: the window manager gives the
// window its activation back some time after a box closes, a key held down
// repeats, the mouse makes double clicks, the clipboard is the X server's.
// Run by tests/xsession on an X server of its own; a held key and a double
// click come from the desktop's own keyboard and mouse (UserInput).
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

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
