// What the window gives every user: the focus shown and entered as on the
// desktop it was made for, the mouse wheel and a screen reader over its
// boxes, and captions drawn whole at the font it picks.
#include "app/fontfit.h"
#include "scriptedservice.h"
#include "service/credential.h"
#include "windowfixture.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleEvent>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qwindowsysteminterface.h>

#include <algorithm>

using namespace zendry;

namespace {

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

class TestAccess : public QObject
{
    Q_OBJECT

private slots:
    void fieldsAndFocus();
    void theWheelAndTheArrowsOverTo();
    void aScreenReaderHearsNoPassword_data();
    void aScreenReaderHearsNoPassword();
    void everyTabStopShowsTheFocus();
    void captionsFit_data();
    void captionsFit();
};

// Entering a box by key selects its text; a click puts the caret under the
// mouse, but the password box keeps its text selected, and takes the
// window's font. The counter shows from its first character. A password is
// digested when its box is left inside the window, not when the focus goes
// to another program.
void TestAccess::fieldsAndFocus()
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

// The wheel turns To only when it has the focus; a turn, like an arrow key,
// is a pick, which a screen reader hears by the picked name while the box
// keeps its own name; the wheel's pick shows selected, which is what makes a
// screen reader speak it.
void TestAccess::theWheelAndTheArrowsOverTo()
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
        numbers << f.focused() + ' ' + f.to()->currentText() + ' ' + f.edit("Number")->text() + ' '
                        + f.to()->lineEdit()->selectedText();
        f.to()->setFocus(Qt::TabFocusReason);
    }
    QTest::keyClick(f.to(), Qt::Key_Down);
    numbers << f.edit("Number")->text();
    QCOMPARE(numbers, QStringList({ "Message  447700 ", "ToName <new>  <new>", "ToName Ann 1 Ann", "2" }));
    QCOMPARE(g_heardTo.filter("To: Bob").size(), 1);
    QCOMPARE(g_heardTo.filter(QRegularExpression("^(?!To:)")), QStringList());
    // Its text is a part of it a reader can find, and its action drops the list.
    QAccessibleInterface *to = QAccessible::queryAccessibleInterface(f.to());
    QCOMPARE(to->child(1)->object(), f.to()->lineEdit());
    QVERIFY(!to->child(2));
    QCOMPARE(QList<int>({ to->indexOfChild(to->child(1)),
                          to->indexOfChild(QAccessible::queryAccessibleInterface(f.edit("Number"))) }),
             QList<int>({ 1, -1 }));
    to->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(f.to()->view()->isVisible());
}

// No event or readable text of the password box carries what was typed,
// pasted or typed again, nor what replaced the stored password's mask; a
// screen reader can say "star" for each character.
void TestAccess::aScreenReaderHearsNoPassword_data()
{
    QTest::addColumn<QString>("way");
    for (const char *way : { "typed", "pasted", "retyped", "over the mask" })
        QTest::newRow(way) << QString(way);
}

void TestAccess::aScreenReaderHearsNoPassword()
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

// Where the focus is shows on the black window: an empty read-only box
// shows its caret, and the Windows style's focus mark around a check box is
// light.
void TestAccess::everyTabStopShowsTheFocus()
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

void TestAccess::captionsFit_data()
{
    QTest::addColumn<QString>("caption");
    WindowFixture f;
    for (const QWidget *w : captions(*f.window))
        QTest::newRow(qPrintable(w->objectName())) << w->objectName();
}

// Every caption is drawn whole at the font size the window picks, the largest
// that lets them all be: one pixel more cuts one, unless it is already the
// largest the window takes. Run at 96 DPI and, by
// CTest, at 144, where the style's check box indicator is wider.
void TestAccess::captionsFit()
{
    QFETCH(QString, caption);
    // QtTest pins the DPI at 96; here the window meets the screen's own.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
    const auto pinAgain = qScopeGuard([] { QCoreApplication::setAttribute(Qt::AA_Use96Dpi); });
    WindowFixture f;
    const int size = f.window->font().pixelSize();
    QVERIFY(whole(f.control(qPrintable(caption)), size));
#ifdef Q_OS_WIN
    // Under Windows' style and fonts the size is not the captions' to decide:
    // at the size picked they all have room to spare.
    return;
#endif
    if (size == largestFontPixels)
        return; // the desktop's fonts leave room to spare
    const QList<QWidget *> all = captions(*f.window);
    QVERIFY(!std::all_of(all.begin(), all.end(), [size](const QWidget *w) { return whole(w, size + 1); }));
}

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
