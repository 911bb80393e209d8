#include "PtyPair.h"

#include "platform/store/SettingsStore.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
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

void MapPort(int Number, const QString &Path)
{
    TSettingsStore(TSettingsStore::DefaultPath())
        .WriteString(QStringLiteral("Ports"), QStringLiteral("COM%1").arg(Number), Path);
}

} // namespace lumora::test
