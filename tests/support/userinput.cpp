#include "userinput.h"

#include <QProcess>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace UserInput {

#ifdef Q_OS_WIN

namespace {

WORD virtualKey(const QString &name)
{
    if (name == "ctrl")
        return VK_CONTROL;
    if (name == "Return")
        return VK_RETURN;
    if (name.size() > 1 && name.startsWith('F'))
        return WORD(VK_F1 + name.mid(1).toInt() - 1);
    return WORD(name.toUpper().at(0).unicode()); // letters and digits are their own key
}

INPUT keyInput(WORD vk, DWORD flags)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = flags;
    return in;
}

void send(QVector<INPUT> inputs, bool wait = true)
{
    QCOMPARE(SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)), UINT(inputs.size()));
    if (wait) // until the window's thread has taken every event from its queue
        QTRY_VERIFY(HIWORD(GetQueueStatus(QS_INPUT)) == 0);
}

QVector<INPUT> chord(const QString &keys)
{
    QVector<INPUT> down, up;
    for (const QString &name : keys.split('+')) {
        down << keyInput(virtualKey(name), 0);
        up.prepend(keyInput(virtualKey(name), KEYEVENTF_KEYUP));
    }
    return down + up;
}

} // namespace

void key(const QString &keys)
{
    send(chord(keys));
}

void keySoon(const QString &keys)
{
    send(chord(keys), false);
}

void type(const QString &text)
{
    QVector<INPUT> inputs;
    for (QChar c : text) {
        INPUT in = keyInput(0, KEYEVENTF_UNICODE);
        in.ki.wScan = c.unicode();
        inputs << in;
        in.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs << in;
    }
    send(inputs);
}

void holdKey(const QString &name)
{
    // Windows repeats a held key as further key-downs without a key-up.
    QVector<INPUT> inputs(10, keyInput(virtualKey(name), 0));
    inputs << keyInput(virtualKey(name), KEYEVENTF_KEYUP);
    send(inputs);
}

void doubleClick(QPoint global)
{
    QVERIFY(SetCursorPos(global.x(), global.y()));
    QVector<INPUT> inputs;
    for (DWORD flags : { MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP }) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        inputs << in;
    }
    send(inputs);
}

#else

namespace {

void xdotool(const QStringList &args)
{
    QProcess p;
    p.start("xdotool", args);
    QTRY_COMPARE_WITH_TIMEOUT(p.state(), QProcess::NotRunning, 20000);
    QCOMPARE(p.exitCode(), 0);
}

} // namespace

void key(const QString &chord)
{
    xdotool({ "key", chord });
}

void keySoon(const QString &chord)
{
    QProcess::startDetached("xdotool", { "key", chord });
}

void type(const QString &text)
{
    xdotool({ "type", text });
}

void holdKey(const QString &name)
{
    xdotool({ "keydown", name, "sleep", "1.5", "keyup", name });
}

void doubleClick(QPoint global)
{
    xdotool({ "mousemove", QString::number(global.x()), QString::number(global.y()), "click", "--repeat", "2",
              "--delay", "80", "1" });
}

#endif

} // namespace UserInput
