#include "platform/InterruptWait.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
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

TInterruptWait::TInterruptWait()
{
    const sigset_t set = StopSignals();
    FRestoreMask = pthread_sigmask(SIG_BLOCK, &set, &FOldMask) == 0;
    FSignalFd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
}

TInterruptWait::~TInterruptWait()
{
    // Take every signal that is still pending so that unblocking does not
    // deliver it: the caller ends normally after an interrupted wait.
    Interrupted();
    if (FSignalFd >= 0)
        ::close(FSignalFd);
    if (FRestoreMask)
        pthread_sigmask(SIG_SETMASK, &FOldMask, nullptr);
}

bool TInterruptWait::Interrupted()
{
    if (FSignalFd < 0)
        return FInterrupted;
    signalfd_siginfo info;
    while (::read(FSignalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        FInterrupted = true;
    return FInterrupted;
}

bool TInterruptWait::WaitUntil(std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    for (;;) {
        if (Interrupted())
            return false;
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
        if (left.count() <= 0)
            return true;
        pollfd p{FSignalFd, POLLIN, 0};
        // Round up so that the wait never ends a little early and loops.
        const int timeout = static_cast<int>(std::min<long long>(left.count() + 1, 60'000));
        const int n = ::poll(&p, FSignalFd >= 0 ? 1 : 0, timeout);
        if (n < 0 && errno != EINTR)
            return !Interrupted();
    }
}
