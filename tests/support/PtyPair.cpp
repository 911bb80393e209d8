#include "PtyPair.h"

#include "platform/store/SettingsStore.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace lumora::test {

TPtyPair::TPtyPair(bool Raw)
{
    termios raw{};
    cfmakeraw(&raw);
    char name[256] = {};
    if (::openpty(&FMaster, &FSlaveKeep, name, Raw ? &raw : nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    ::fcntl(FMaster, F_SETFD, FD_CLOEXEC);
    ::fcntl(FSlaveKeep, F_SETFD, FD_CLOEXEC);
    FSlavePath = QString::fromLocal8Bit(name);
}

TPtyPair::~TPtyPair()
{
    CloseMaster();
    if (FSlaveKeep >= 0)
        ::close(FSlaveKeep);
}

QByteArray TPtyPair::ReadMaster(int Expected, int TimeoutMs)
{
    using namespace std::chrono;
    QByteArray got;
    const auto deadline = steady_clock::now() + milliseconds(TimeoutMs);
    while (FMaster >= 0 && got.size() < Expected) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0)
            break;
        pollfd pfd{FMaster, POLLIN, 0};
        if (::poll(&pfd, 1, int(left)) <= 0)
            continue;
        char buf[512];
        const ssize_t n = ::read(FMaster, buf, sizeof buf);
        if (n <= 0)
            break;
        got.append(buf, n);
    }
    return got;
}

void TPtyPair::WriteMaster(const QByteArray &Bytes)
{
    if (FMaster >= 0 && ::write(FMaster, Bytes.constData(), size_t(Bytes.size())) != Bytes.size())
        throw std::runtime_error("short write to the pty master");
}

void TPtyPair::CloseMaster()
{
    if (FMaster >= 0) {
        ::close(FMaster);
        FMaster = -1;
    }
}

bool TPtyPair::WaitQueued(int Count, int TimeoutMs)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(TimeoutMs);
    // In raw mode a terminal reports itself readable only once VMIN bytes
    // (at most 255) are queued, with VTIME 0, so poll() wakes when they are.
    termios saved{};
    if (FSlaveKeep < 0 || Count < 1 || ::tcgetattr(FSlaveKeep, &saved) != 0)
        return false;
    termios waiting = saved;
    waiting.c_cc[VMIN] = cc_t(std::min(Count, 255));
    waiting.c_cc[VTIME] = 0;
    ::tcsetattr(FSlaveKeep, TCSANOW, &waiting);
    pollfd pfd{FSlaveKeep, POLLIN, 0};
    ::poll(&pfd, 1, TimeoutMs);
    ::tcsetattr(FSlaveKeep, TCSANOW, &saved);
    // Beyond 255 bytes the rest of the count is looked at every millisecond.
    for (;;) {
        int queued = 0;
        if (::ioctl(FSlaveKeep, FIONREAD, &queued) != 0)
            return false;
        if (queued >= Count)
            return true;
        if (steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(milliseconds(1));
    }
}

bool TPtyPair::WaitDrained(int TimeoutMs)
{
    // The system has no wake-up for an input queue that was read empty: the
    // count is looked at every millisecond until the bound.
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(TimeoutMs);
    for (;;) {
        int queued = 0;
        if (FSlaveKeep < 0 || ::ioctl(FSlaveKeep, FIONREAD, &queued) != 0)
            return false;
        if (queued == 0)
            return true;
        if (steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(milliseconds(1));
    }
}

void MapPort(int Number, const QString &Path)
{
    TSettingsStore(TSettingsStore::DefaultPath())
        .WriteString(QStringLiteral("Ports"), QStringLiteral("COM%1").arg(Number), Path);
}

} // namespace lumora::test
