// What a screen reader reads and hears of the window's one-line boxes and of
// To, through the same calls and the same path as the desktop's bridge: a
// bridge of the test's own, loaded as Qt loads one, hears what a screen
// reader would, with no other handler in the way.
#include "app/textboundaries.h"
#include "windowfixture.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleBridgePlugin>
#include <QAccessibleEvent>
#include <QApplication>
#include <QImage>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qwindowsysteminterface.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

using namespace zendry;

namespace {

// What the bridge heard: the object's name, the event, and its text.
QStringList g_heard;
bool g_bridgeLoaded = false;

class RecordingBridge : public QAccessibleBridge
{
public:
    RecordingBridge() { g_bridgeLoaded = true; }
    void setRootObject(QAccessibleInterface *) override { }
    void notifyAccessibilityUpdate(QAccessibleEvent *e) override
    {
        QAccessibleInterface *i = e->accessibleInterface();
        if (!e->object() || !i)
            return;
        // To's text and list have no names of their own.
        QObject *o = e->object();
        QString heard = o->objectName() + ' ';
        if (qobject_cast<QAbstractItemView *>(o))
            heard = "list ";
        else if (qobject_cast<QLineEdit *>(o) && o->objectName().isEmpty())
            heard = o->parent()->objectName() + ".text ";
        switch (e->type()) {
        case QAccessible::TextInserted:
            heard += "inserted " + static_cast<QAccessibleTextInsertEvent *>(e)->textInserted();
            break;
        case QAccessible::TextRemoved:
            heard += "removed " + static_cast<QAccessibleTextRemoveEvent *>(e)->textRemoved();
            break;
        case QAccessible::TextUpdated:
            heard += "updated " + static_cast<QAccessibleTextUpdateEvent *>(e)->textRemoved() + '>'
                    + static_cast<QAccessibleTextUpdateEvent *>(e)->textInserted();
            break;
        case QAccessible::TextCaretMoved:
            heard += "caret";
            break;
        case QAccessible::TextSelectionChanged:
            heard += "selection";
            break;
        case QAccessible::TableModelChanged:
            heard += "table";
            break;
        default:
            return;
        }
        if (QAccessibleTextInterface *text = i->textInterface())
            heard += " | " + text->text(0, text->characterCount());
        g_heard << heard;
    }
};

} // namespace

class RecordingBridgePlugin : public QAccessibleBridgePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QAccessibleBridgeFactoryInterface_iid FILE "recordingbridge.json")

public:
    // Qt keeps the bridge it is given to the end and never deletes it.
    QAccessibleBridge *create(const QString &) override
    {
        static RecordingBridge bridge;
        return &bridge;
    }
};

Q_IMPORT_PLUGIN(RecordingBridgePlugin)

namespace {

// Ends the test program, failing, when a call does not come back within a
// second: a call that never returns fails the test instead of hanging it.
class Deadline
{
public:
    Deadline()
        : m_thread([this] {
            std::unique_lock lock(m_mutex);
            while (!m_done) {
                if (!m_armed) {
                    m_wake.wait(lock);
                } else if (m_wake.wait_until(lock, m_due) == std::cv_status::timeout && m_armed) {
                    std::fprintf(stderr, "FAIL! %s: no answer within a second\n", m_what.c_str());
                    std::fflush(stderr);
                    std::_Exit(1);
                }
            }
        })
    {
    }
    ~Deadline()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    template<typename Call>
    auto within(const QString &what, Call call)
    {
        {
            std::lock_guard lock(m_mutex);
            m_what = what.toStdString();
            m_due = std::chrono::steady_clock::now() + std::chrono::seconds(1);
            m_armed = true;
        }
        m_wake.notify_all();
        const auto result = call();
        std::lock_guard lock(m_mutex);
        m_armed = false;
        return result;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_what;
    std::chrono::steady_clock::time_point m_due;
    bool m_armed = false;
    bool m_done = false;
    std::thread m_thread;
};

QString pieceOf(const QString &text, TextSpan span)
{
    return text.mid(span.start, span.end - span.start);
}

// A screen reader is on from before the window opens: the platform's
// accessibility, whose bridges include the test's own.
void readerOn(bool on)
{
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(on);
}

} // namespace

class TestScreenReader : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void textSpans_data();
    void textSpans();
    void everyQueryOfEveryBox_data();
    void everyQueryOfEveryBox();
    void aReaderHearsNoPasswordAndEveryChangeOfTo();
    void aPickIsToldAsTheNewNameAlone();
    void readOnlyBoxesShowTheirStart_data();
    void readOnlyBoxesShowTheirStart();
};

void TestScreenReader::cleanup()
{
    readerOn(false);
    g_heard.clear();
}

void TestScreenReader::textSpans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("boundary");
    QTest::addColumn<QString>("spans"); // before, at and after
    const int chr = QAccessible::CharBoundary, word = QAccessible::WordBoundary;
    const QString surrogates = QStringLiteral("a\U0001F600b");
    // Pieces as "start-end" of the text.
    QTest::newRow("char at start") << "447700900333" << 0 << chr << "0-0 0-1 1-2";
    QTest::newRow("char inside") << "447700900333" << 5 << chr << "4-5 5-6 6-7";
    QTest::newRow("char at last") << "447700900333" << 11 << chr << "10-11 11-12 12-12";
    QTest::newRow("char at end") << "447700900333" << 12 << chr << "11-12 12-12 12-12";
    QTest::newRow("char of a surrogate pair") << surrogates << 2 << chr << "0-1 1-3 3-4";
    QTest::newRow("word, one, at start") << "447700900333" << 0 << word << "0-0 0-12 12-12";
    QTest::newRow("word, one, at end") << "447700900333" << 12 << word << "0-0 0-12 12-12";
    QTest::newRow("word, first of two") << "Bob Smith" << 2 << word << "0-0 0-4 4-9";
    QTest::newRow("word, on the space") << "Bob Smith" << 3 << word << "0-0 0-4 4-9";
    QTest::newRow("word, second of two") << "Bob Smith" << 4 << word << "0-4 4-9 9-9";
    QTest::newRow("word, second at end") << "Bob Smith" << 9 << word << "0-4 4-9 9-9";
    QTest::newRow("word, spaces ahead") << "  Bob  Ann " << 1 << word << "0-0 0-2 2-7";
    QTest::newRow("word, a minus sign") << "-1234567890" << 5 << word << "0-0 0-11 11-11";
    QTest::newRow("word, tab between") << "a\tb" << 2 << word << "0-2 2-3 3-3";
    QTest::newRow("word, empty") << "" << 0 << word << "0-0 0-0 0-0";
    QTest::newRow("char, empty") << "" << 0 << chr << "0-0 0-0 0-0";
    for (int whole : { int(QAccessible::SentenceBoundary), int(QAccessible::ParagraphBoundary),
                       int(QAccessible::LineBoundary), int(QAccessible::NoBoundary) }) {
        QTest::addRow("whole %d at start", whole) << "Bob Smith. Ann" << 0 << whole << "0-0 0-14 14-14";
        QTest::addRow("whole %d at end", whole) << "Bob Smith. Ann" << 14 << whole << "0-0 0-14 14-14";
    }
}

void TestScreenReader::textSpans()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, boundary);
    const auto span = [&](TextSide side) {
        const TextSpan s = textSpan(text, offset, QAccessible::TextBoundaryType(boundary), side);
        return QString("%1-%2").arg(s.start).arg(s.end);
    };
    QTEST(QStringList({ span(TextSide::Before), span(TextSide::At), span(TextSide::After) }).join(' '),
          "spans");
}

void TestScreenReader::everyQueryOfEveryBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    const std::pair<const char *, const char *> boxes[] = {
        { "ZDID", "demo" },           { "PW", "sword fish" },    { "Number", "447700900333" },
        { "Sig", "Bob Smith" },       { "Chars", "-1984" },      { "FreeCredits", "155" },
        { "Credits", "-1234567890" }, { "ToName", "Ann Smith" }, { "Number", "" },
    };
    for (const auto &[box, value] : boxes)
        QTest::addRow("%s %s", box, value) << QString(box) << QString(value);
}

// Every question a reader asks of a box, at every offset, comes back at
// once with the piece the rules give, the box's text as it shows it; the
// password box shows a star for each character, and never its text. The
// text's attributes run over all of it.
void TestScreenReader::everyQueryOfEveryBox()
{
    QFETCH(QString, box);
    QFETCH(QString, value);
    readerOn(true);
    WindowFixture f;
    f.showActive();
    QLineEdit *edit = box == "ToName" ? f.to()->lineEdit() : f.edit(qPrintable(box));
    edit->setText(value);
    const QString shown = box == "PW" ? QString(value.size(), u'*') : value;
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(edit)->textInterface();
    QVERIFY(text);
    QCOMPARE(text->text(0, text->characterCount()), shown);
    Deadline deadline;
    const int n = int(shown.size());
    for (int offset = 0; offset <= n; ++offset) {
        for (int b = QAccessible::CharBoundary; b <= QAccessible::NoBoundary; ++b) {
            const auto boundary = QAccessible::TextBoundaryType(b);
            for (TextSide side : { TextSide::Before, TextSide::At, TextSide::After }) {
                const QString what =
                        QString("%1 at %2, boundary %3, side %4").arg(box).arg(offset).arg(b).arg(int(side));
                int start = -1, end = -1;
                const QString piece = deadline.within(what, [&] {
                    switch (side) {
                    case TextSide::Before:
                        return text->textBeforeOffset(offset, boundary, &start, &end);
                    case TextSide::At:
                        return text->textAtOffset(offset, boundary, &start, &end);
                    default:
                        return text->textAfterOffset(offset, boundary, &start, &end);
                    }
                });
                const TextSpan expected = textSpan(shown, offset, boundary, side);
                QVERIFY2(start == expected.start && end == expected.end && piece == pieceOf(shown, expected),
                         qPrintable(QString("%1: %2 (%3-%4)").arg(what, piece).arg(start).arg(end)));
            }
        }
        int start = -1, end = -1;
        deadline.within(box + " attributes", [&] { return text->attributes(offset, &start, &end); });
        QCOMPARE(QString("%1-%2").arg(start).arg(end), QString("0-%1").arg(n));
    }
}

// Users run the masking handler with nothing before it, so what it passes on
// reaches the desktop's bridge: a typed password only as stars, and every
// change of To's list, which the handler sends on again.
void TestScreenReader::aReaderHearsNoPasswordAndEveryChangeOfTo()
{
    readerOn(true);
    WindowFixture f(9, 10000, false);
    f.put("Phonebook.txt", "1 Ann\r\n2 Bob\r\n");
    f.start();
    if (!g_bridgeLoaded)
        QSKIP("This platform's accessibility loads no bridges (Windows reaches UI Automation itself)");
    f.showActive();
    QLineEdit *pw = f.edit("PW");
    pw->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(pw, "swordfish");
    QTest::keyClick(pw, Qt::Key_Backspace);
    const QStringList password = g_heard.filter(QRegularExpression("^PW "));
    QCOMPARE(QString("%1 %2")
                     .arg(password.filter("inserted *").size())
                     .arg(password.filter("removed *").size()),
             "9 1");
    for (const QString &heard : password)
        QVERIFY2(QRegularExpression("^PW \\w+[* |]*$").match(heard).hasMatch(), qPrintable(heard));
    g_heard.clear();
    f.to()->setEditText("Ann");
    f.boxes.nextAnswers = { ScriptedBoxes::Answer::Yes };
    f.button("DeleteContact")->click();
    QCOMPARE(f.to()->count(), 2);
    QVERIFY(g_heard.contains("list table"));
}

// A pick in To, by the wheel or an arrow key, reaches a screen reader as the
// new name, then the old one going, and nothing of the box before them: a
// caret or a selection told first made a reader speak a piece of the name.
void TestScreenReader::aPickIsToldAsTheNewNameAlone()
{
    readerOn(true);
    WindowFixture f(9, 10000, false);
    f.put("Phonebook.txt", "1 Ann Smith\r\n2 Bob Smith\r\n");
    f.start();
    if (!g_bridgeLoaded)
        QSKIP("This platform's accessibility loads no bridges (Windows reaches UI Automation itself)");
    f.showActive();
    f.to()->setFocus(Qt::TabFocusReason);
    const QPoint over = f.to()->geometry().center();
    QStringList picks;
    for (int turn = 0; turn < 2; ++turn) {
        g_heard.clear();
        QWindowSystemInterface::handleWheelEvent(f.window->windowHandle(), over, f.window->mapToGlobal(over),
                                                 {}, { 0, -120 });
        QWindowSystemInterface::flushWindowSystemEvents();
        picks << g_heard.filter(QRegularExpression("^ToName.text ")).join(", ");
    }
    g_heard.clear();
    QTest::keyClick(f.to(), Qt::Key_Down);
    picks << g_heard.filter(QRegularExpression("^ToName.text ")).join(", ");
    QCOMPARE(
            picks,
            QStringList({ "ToName.text inserted <new> | <new>",
                          "ToName.text inserted Ann Smith | Ann Smith, ToName.text removed <new> | Ann Smith",
                          "ToName.text inserted Bob Smith | Bob Smith, ToName.text removed Ann Smith | Bob "
                          "Smith" }));
}

void TestScreenReader::readOnlyBoxesShowTheirStart_data()
{
    QTest::addColumn<QString>("box");
    for (const char *box : { "FreeCredits", "Credits", "Chars" })
        QTest::newRow(box) << QString(box);
}

// A read-only box shows its value from the first character when set, while
// Tab has it selected, and after the focus has left it, wherever the user
// took the caret; and shows its caret only while it has the focus.
void TestScreenReader::readOnlyBoxesShowTheirStart()
{
    QFETCH(QString, box);
    WindowFixture f;
    f.showActive();
    QLineEdit *edit = f.edit(qPrintable(box));
    // The box works out what it shows when it paints.
    const auto firstShown = [edit] {
        edit->grab();
        return edit->cursorPositionAt(QPoint(edit->contentsRect().left() + 4, edit->height() / 2));
    };
    edit->setText("-1234567890123");
    QCOMPARE(firstShown(), 0);
    QWidget *before = edit->previousInFocusChain();
    while (!(before->focusPolicy() & Qt::TabFocus) || !before->isEnabled())
        before = before->previousInFocusChain();
    before->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(QString("%1 %2").arg(edit->selectedText()).arg(firstShown()), "-1234567890123 0");
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != edit);
    QCOMPARE(firstShown(), 0);
    // Empty and without the focus, nothing in it has the colour of text.
    edit->clear();
    const QImage shot =
            edit->grab(edit->rect().adjusted(3, 3, -3, -3)).toImage().convertToFormat(QImage::Format_RGB32);
    const auto *pixels = reinterpret_cast<const QRgb *>(shot.constBits());
    QVERIFY(!QSet<QRgb>(pixels, pixels + shot.width() * shot.height())
                     .contains(edit->palette().text().color().rgb()));
}

QTEST_MAIN(TestScreenReader)
#include "tst_screenreader.moc"
