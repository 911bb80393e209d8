#pragma once

#include <chrono>
#include <memory>

// Turns a request to stop (Ctrl+C, or a termination request) into an event
// that a wait can see, so that Ctrl+C ends a wait at once and never
// interrupts a device exchange halfway. On Linux (InterruptWait_posix.cpp), while an instance lives,
// SIGINT and SIGTERM are blocked for the process and arrive through a signal
// descriptor that a wait polls. On Windows (InterruptWait_win.cpp) a console
// control handler (Ctrl+C, Ctrl+Break, the console closed) sets an event
// that a wait blocks on.
class TInterruptWait {
public:
    TInterruptWait();
    ~TInterruptWait();
    TInterruptWait(const TInterruptWait &) = delete;
    TInterruptWait &operator=(const TInterruptWait &) = delete;

    // Waits until Deadline; returns false as soon as a signal arrived (also
    // one that came before the call).
    bool WaitUntil(std::chrono::steady_clock::time_point deadline);

    // True once a signal has arrived; checks without waiting.
    bool Interrupted();

private:
    // Blocks until the stop event or for Bound at most; false when the
    // system's wait failed (InterruptWait_posix.cpp, InterruptWait_win.cpp).
    bool BlockOnStopEvent(std::chrono::milliseconds Bound);

    struct TSystem; // the system's objects behind the event
    std::unique_ptr<TSystem> FSystem;
    bool FInterrupted = false;
};
