#include "userinput.h"

#include <QProcess>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace UserInput {

#ifdef Q_OS_WIN

namespace {

// Waits until the window's thread has taken every event from its queue.
void send(QVector<INPUT> inputs)
{
    QCOMPARE(SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)), UINT(inputs.size()));
    QTRY_VERIFY(HIWORD(GetQueueStatus(QS_INPUT)) == 0);
}

} // namespace

// Windows repeats a held key as further key-downs without a key-up.
void holdKey(const QString &name)
{
    QVector<INPUT> inputs(11, INPUT{ INPUT_KEYBOARD, {} });
    for (INPUT &in : inputs)
        in.ki.wVk = WORD(VK_F1 + name.mid(1).toInt() - 1); // "F1"
    inputs.back().ki.dwFlags = KEYEVENTF_KEYUP;
    send(inputs);
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

void holdKey(const QString &name) { xdotool({ "keydown", name, "sleep", "1.5", "keyup", name }); }

void doubleClick(QPoint global)
{
    xdotool({ "mousemove", QString::number(global.x()), QString::number(global.y()), "click", "--repeat", "2",
              "--delay", "80", "1" });
}

#endif

} // namespace UserInput
