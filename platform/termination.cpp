#include "platform/termination.h"

#include <QSocketNotifier>

#include <cstdlib>
#include <mutex>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zendry {

namespace {

Termination *current = nullptr; // the one that tells, the last made
bool ended = false;
// Wayland's event thread and the GUI thread may both find the connection
// gone; the one that comes second waits until the first has stored, as it
// would otherwise end the process under it.
std::recursive_mutex ending;
QtMessageHandler previousHandler = nullptr;

void endNow()
{
    const std::lock_guard<std::recursive_mutex> lock(ending);
    if (current && !ended) {
        ended = true;
        emit current->ending();
    }
}

// Whether a message of Qt's says that it is about to end the process
// because the display connection is gone.
bool displayLost(QtMsgType type, const QString &message)
{
    return type != QtDebugMsg && type != QtInfoMsg
            && (message.startsWith(QLatin1String("The X11 connection broke"))
                || message.startsWith(QLatin1String("The Wayland connection")));
}

// Qt's own messages still go where they went; the one that says the
// display is gone is the last chance to store anything.
void onMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (previousHandler)
        previousHandler(type, context, message);
    if (displayLost(type, message))
        endNow();
}

} // namespace

#ifdef Q_OS_UNIX
namespace {

int signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

} // namespace
#endif

Termination::Termination(QObject *parent) : QObject(parent)
{
    current = this;
    ended = false;
    static const bool hooked = [] {
        previousHandler = qInstallMessageHandler(onMessage);
        return std::atexit(endNow) == 0;
    }();
    Q_UNUSED(hooked);
#ifdef Q_OS_UNIX
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    ::fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] const auto read = ::read(signalPipe[0], &byte, 1);
        emit requested();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : { SIGTERM, SIGHUP, SIGINT })
        sigaction(sig, &action, nullptr);
#endif
}

Termination::~Termination()
{
    if (current == this)
        current = nullptr;
#ifdef Q_OS_UNIX
    for (int sig : { SIGTERM, SIGHUP, SIGINT })
        std::signal(sig, SIG_DFL);
#endif
}

} // namespace zendry
