#include "platform/sys/TermSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only write a byte; the event loop reads it and does the work.
int SignalPipe[2] = {-1, -1};
// Signals written to the pipe and not yet read from it.
std::atomic<int> PendingSignals{0};
static_assert(std::atomic<int>::is_always_lock_free, "touched by the signal handler");

void OnSignal(int)
{
    PendingSignals.fetch_add(1, std::memory_order_relaxed);
    const char Byte = 1;
    if (::write(SignalPipe[0], &Byte, 1) != 1)
        PendingSignals.fetch_sub(1, std::memory_order_relaxed);
}

} // namespace

void WatchTerminationSignals(std::function<void()> OnTerminate)
{
    if (SignalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, SignalPipe) != 0)
        return;
    auto* Notifier = new QSocketNotifier(SignalPipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(Notifier, &QSocketNotifier::activated, Notifier, [OnTerminate = std::move(OnTerminate)] {
        char Byte = 0;
        if (::read(SignalPipe[1], &Byte, 1) != 1)
            return;
        PendingSignals.fetch_sub(1, std::memory_order_relaxed);
        if (OnTerminate)
            OnTerminate();
    });
    struct sigaction Action = {};
    Action.sa_handler = OnSignal;
    sigemptyset(&Action.sa_mask);
    Action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &Action, nullptr);
    ::sigaction(SIGHUP, &Action, nullptr);
}

bool TerminationSignalPending()
{
    return PendingSignals.load(std::memory_order_relaxed) > 0;
}
