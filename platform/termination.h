#pragma once

#include <QObject>

class QSocketNotifier;

namespace zendry {

// Tells when the program is asked to end from outside: SIGTERM (how Linux
// desktops and kill end a program), SIGHUP and SIGINT on Unix. The signal
// handler only writes a byte to a pipe; the event loop reads it and emits
// requested(), so whatever follows runs as an ordinary event.
class Termination : public QObject
{
    Q_OBJECT

public:
    explicit Termination(QObject *parent = nullptr);
    ~Termination() override;

signals:
    void requested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace zendry
