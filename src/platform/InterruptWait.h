#pragma once

#include <chrono>
#include <csignal>

// Turns SIGINT and SIGTERM into an event that a wait can see. While an
// instance lives, both signals are blocked for the process and arrive through
// a signal descriptor; a wait blocks in poll() on it until its deadline, so
// Ctrl+C ends a wait at once and never interrupts a device exchange halfway.
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
    int FSignalFd = -1;
    bool FInterrupted = false;
    bool FRestoreMask = false;
    sigset_t FOldMask{};
};
