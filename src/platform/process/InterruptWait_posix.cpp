#include "platform/process/InterruptWait.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

struct TInterruptWait::TSystem {
    int SignalFd = -1;
    int StopFd = -1; // written by Stop()
    bool RestoreMask = false;
    sigset_t OldMask{};
};

TInterruptWait::TInterruptWait() : FSystem(std::make_unique<TSystem>())
{
    const sigset_t set = StopSignals();
    FSystem->RestoreMask = pthread_sigmask(SIG_BLOCK, &set, &FSystem->OldMask) == 0;
    FSystem->SignalFd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    FSystem->StopFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

TInterruptWait::~TInterruptWait()
{
    // Take every signal that is still pending so that unblocking does not
    // deliver it: the caller ends normally after an interrupted wait.
    Interrupted();
    if (FSystem->SignalFd >= 0)
        ::close(FSystem->SignalFd);
    if (FSystem->StopFd >= 0)
        ::close(FSystem->StopFd);
    if (FSystem->RestoreMask)
        pthread_sigmask(SIG_SETMASK, &FSystem->OldMask, nullptr);
}

void TInterruptWait::Stop()
{
    FStopped = true;
    const uint64_t one = 1;
    // A full counter (the only failure) still wakes the waiter.
    if (FSystem->StopFd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(FSystem->StopFd, &one, sizeof one);
    }
}

bool TInterruptWait::Interrupted()
{
    if (FStopped)
        FInterrupted = true;
    if (FSystem->SignalFd < 0)
        return FInterrupted;
    signalfd_siginfo info;
    while (::read(FSystem->SignalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        if (!FInterrupted)
            FExitStatus = 128 + int(info.ssi_signo);
        FInterrupted = true;
    }
    return FInterrupted;
}

int TInterruptWait::ExitStatus()
{
    Interrupted();
    return FExitStatus;
}

bool TInterruptWait::BlockOnStopEvent(std::chrono::milliseconds Bound)
{
    pollfd p[2] = {{FSystem->SignalFd, POLLIN, 0}, {FSystem->StopFd, POLLIN, 0}};
    const int n = ::poll(p, 2, int(Bound.count())); // a negative descriptor is left out
    return n >= 0 || errno == EINTR;
}
