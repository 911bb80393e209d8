#pragma once

#include <atomic>
#include <chrono>
#include <memory>

// Turns a request to stop (Ctrl+C, a termination request, or Stop() called
// from another thread) into an event that a wait can see, so that a stop
// ends a wait at once and never interrupts a device exchange halfway. On Linux (InterruptWait_posix.cpp),
// while an instance lives, SIGINT and SIGTERM are blocked for the process and arrive through a signal
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

    // True once a signal has arrived or Stop() was called; checks without
    // waiting.
    bool Interrupted();

    // The status a program ends with after the first signal, as a shell
    // reports a process ended by it: 130 for SIGINT (Ctrl+C, also Ctrl+Break
    // on Windows), 143 for SIGTERM (the console closed on Windows); 0 while
    // none has arrived.
    int ExitStatus();

    // Asks the thread that waits to stop, as a signal does: the wait under
    // way ends at once, every later one too. Safe from any thread.
    void Stop();

private:
    // Blocks until the stop event or for Bound at most; false when the
    // system's wait failed (InterruptWait_posix.cpp, InterruptWait_win.cpp).
    bool BlockOnStopEvent(std::chrono::milliseconds Bound);

    struct TSystem; // the system's objects behind the event
    std::unique_ptr<TSystem> FSystem;
    bool FInterrupted = false;
    int FExitStatus = 0;
    std::atomic<bool> FStopped{false};
};
