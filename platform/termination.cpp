#include "platform/termination.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zendry {

namespace {

std::atomic<Termination *> current{ nullptr }; // the one that tells, the last made
std::mutex endMutex;
std::condition_variable endDone;
bool ended = false; // ending() has been handled; guarded by endMutex
bool handling = false; // its handlers are running; the window's thread alone
QtMessageHandler previousHandler = nullptr;
QLoggingCategory::CategoryFilter previousFilter = nullptr;
// Whether the user's logging rules let Qt's own warnings through.
std::atomic<bool> warningsWanted{ true };

bool isDefaultCategory(const char *name)
{
    return name && std::strcmp(name, "default") == 0;
}

// The warnings that announce a lost display come in Qt's default category,
// which logging rules such as "*.warning=false" silence: they still reach
// this program, and go no further than the rules say.
void categoryFilter(QLoggingCategory *category)
{
    if (previousFilter)
        previousFilter(category);
    if (isDefaultCategory(category->categoryName())) {
        warningsWanted = category->isWarningEnabled();
        category->setEnabled(QtWarningMsg, true);
    }
}

void onMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const bool silenced = type == QtWarningMsg && isDefaultCategory(context.category) && !warningsWanted;
    if (previousHandler && !silenced)
        previousHandler(type, context, message);
    if (Termination::displayLost(type, message))
        Termination::endingMet();
}

void atExit()
{
    Termination::endingMet();
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

bool Termination::displayLost(QtMsgType type, const QString &message)
{
    return type != QtDebugMsg && type != QtInfoMsg
            && (message.startsWith(QLatin1String("The X11 connection broke"))
                || message.startsWith(QLatin1String("The Wayland connection")));
}

// The window's data is the window thread's alone: another thread that meets
// the end asks that thread to store and waits for it.
void Termination::endingMet()
{
    Termination *termination = current;
    if (!termination)
        return;
    if (QThread::currentThread() == termination->thread())
        return termination->endHere();
    QMetaObject::invokeMethod(termination, &Termination::endHere, Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(endMutex);
    endDone.wait_for(lock, std::chrono::milliseconds(waitMs), [] { return ended; });
}

void Termination::endHere()
{
    {
        const std::lock_guard<std::mutex> lock(endMutex);
        if (ended || handling)
            return;
    }
    handling = true;
    emit ending();
    handling = false;
    {
        const std::lock_guard<std::mutex> lock(endMutex);
        ended = true;
    }
    endDone.notify_all();
}

Termination::Termination(QObject *parent) : QObject(parent)
{
    current = this;
    {
        const std::lock_guard<std::mutex> lock(endMutex);
        ended = false;
    }
    static const bool hooked = [] {
        previousHandler = qInstallMessageHandler(onMessage);
        previousFilter = QLoggingCategory::installFilter(categoryFilter);
        return std::atexit(atExit) == 0;
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
    Termination *self = this;
    current.compare_exchange_strong(self, nullptr);
#ifdef Q_OS_UNIX
    for (int sig : { SIGTERM, SIGHUP, SIGINT })
        std::signal(sig, SIG_DFL);
#endif
}

} // namespace zendry
