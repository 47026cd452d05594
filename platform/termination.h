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
// is lost (exit() and _exit()), with no event loop to come back to. Both
// first warn ("The X11 connection broke", "The Wayland connection broke"),
// and exit() runs the atexit routines too; either emits ending() there and
// then, on the thread that is ending the process, at most once.
class Termination : public QObject
{
    Q_OBJECT

public:
    explicit Termination(QObject *parent = nullptr);
    ~Termination() override;

signals:
    void requested();
    // Connect it directly: whoever handles it must be done when it returns.
    void ending();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace zendry
