#include "userinput.h"

#include <QProcess>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace UserInput {

#ifdef Q_OS_WIN

namespace {

INPUT keyInput(const QString &name, DWORD flags)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.dwFlags = flags;
    in.ki.wVk = name == "ctrl" ? VK_CONTROL
            : name == "Return" ? VK_RETURN
            : name.size() > 1  ? WORD(VK_F1 + name.mid(1).toInt() - 1) // "F1"
                               : WORD(name.toUpper().at(0).unicode()); // a letter is its own key
    return in;
}

// Waits until the window's thread has taken every event from its queue.
void send(QVector<INPUT> inputs, bool wait = true)
{
    QCOMPARE(SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)), UINT(inputs.size()));
    if (wait)
        QTRY_VERIFY(HIWORD(GetQueueStatus(QS_INPUT)) == 0);
}

QVector<INPUT> chord(const QString &keys)
{
    QVector<INPUT> down, up;
    for (const QString &name : keys.split('+')) {
        down << keyInput(name, 0);
        up.prepend(keyInput(name, KEYEVENTF_KEYUP));
    }
    return down + up;
}

} // namespace

void key(const QString &keys) { send(chord(keys)); }
void keySoon(const QString &keys) { send(chord(keys), false); }

void type(const QString &text)
{
    QVector<INPUT> inputs;
    for (QChar c : text)
        for (DWORD up : { 0, KEYEVENTF_KEYUP }) {
            inputs << keyInput("A", KEYEVENTF_UNICODE | up);
            inputs.back().ki.wVk = 0;
            inputs.back().ki.wScan = c.unicode();
        }
    send(inputs);
}

// Windows repeats a held key as further key-downs without a key-up.
void holdKey(const QString &name)
{
    send(QVector<INPUT>(10, keyInput(name, 0)) << keyInput(name, KEYEVENTF_KEYUP));
}

void doubleClick(QPoint global)
{
    QVERIFY(SetCursorPos(global.x(), global.y()));
    QVector<INPUT> inputs(4, INPUT{ INPUT_MOUSE, {} });
    for (int i = 0; i < 4; ++i)
        inputs[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    send(inputs);
}

#else

static void xdotool(const QStringList &args)
{
    QProcess p;
    p.start("xdotool", args);
    QTRY_COMPARE_WITH_TIMEOUT(p.state(), QProcess::NotRunning, 20000);
    QCOMPARE(p.exitCode(), 0);
}

void key(const QString &chord) { xdotool({ "key", chord }); }
void keySoon(const QString &chord) { QProcess::startDetached("xdotool", { "key", chord }); }
void type(const QString &text) { xdotool({ "type", text }); }
void holdKey(const QString &name) { xdotool({ "keydown", name, "sleep", "1.5", "keyup", name }); }

void doubleClick(QPoint global)
{
    xdotool({ "mousemove", QString::number(global.x()), QString::number(global.y()), "click", "--repeat", "2",
              "--delay", "80", "1" });
}

#endif

} // namespace UserInput
