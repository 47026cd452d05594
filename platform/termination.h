#pragma once

#include <QObject>

class QSocketNotifier;

namespace zendry {

// Tells when the program is asked to end from outside: SIGTERM (how Linux
// desktops and kill end a program), SIGHUP and SIGINT on Unix. The signal
// handler only writes a byte to a pipe; the event loop reads it and emits
// requested(), so whatever follows runs as an ordinary event.
//
// It also tells when the program is being ended under it: Qt's X11 and
// Wayland backends end the process themselves once the display connection
// is lost or broken (exit() and _exit()), with no event loop to come back
// to. Both first warn ("The X11 connection broke", "The Wayland connection
// broke" or "…experienced a fatal error"), and exit() runs the atexit
// routines too. Either way ending() is emitted once, always on the thread
// this object lives on (the window's), and whoever met the end waits until
// its handlers are done: on that thread by calling them, on any other by
// asking that thread and waiting for it, at most `waitMs`, so a thread
// that never answers cannot keep the process alive.
class Termination : public QObject
{
    Q_OBJECT

public:
    static constexpr int waitMs = 1500;

    explicit Termination(QObject *parent = nullptr);
    ~Termination() override;

    // What Qt's backends do when their display connection fails: the
    // message, on whatever thread, and then the end of the process.
    static void endingMet();
    // Whether a message of Qt's says it is about to end the process.
    static bool displayLost(QtMsgType type, const QString &message);

signals:
    void requested();
    // Connect it directly: whoever handles it must be done when it returns.
    void ending();

private:
    void endHere();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace zendry
