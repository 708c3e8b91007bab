#pragma once

#include <functional>

// The desktop's way of ending a program at log-out or shut-down when it does not speak the session
// protocol: SIGTERM (and SIGHUP when the terminal goes). OnTerminate runs on the thread that called,
// from its event loop, once per signal; the signal no longer kills the process outright.
void WatchTerminationSignals(std::function<void()> OnTerminate);
