#pragma once

#include <functional>

// The desktop's way of ending a program at log-out or shut-down when it does not speak the session
// protocol: SIGTERM (and SIGHUP when the terminal goes). OnTerminate runs on the thread that called,
// from its event loop, once per signal; the signal no longer kills the process outright.
void WatchTerminationSignals(std::function<void()> OnTerminate);

// Whether a signal has come that the event loop has not handled yet: work that holds the thread
// for long looks here, so as to end without waiting for its end.
[[nodiscard]] bool TerminationSignalPending();
