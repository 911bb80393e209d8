#include "SimServer.h"

#include "device/ComUnit.h"
#include "platform/serial/SerialTrace.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A partial frame older than this is dropped: the line went quiet.
constexpr auto PartialFrameLimit = std::chrono::milliseconds(200);

void CloseFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

TSimServer::TSimServer(const TSimConfig &Config) : FDevice(Config) {}

TSimServer::~TSimServer()
{
    Stop();
    if (FThread.joinable())
        FThread.join();
    CloseFd(FMaster);
    CloseFd(FSlave);
    CloseFd(FWake[0]);
    CloseFd(FWake[1]);
}

bool TSimServer::Open()
{
    termios raw{};
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B115200);
    ::cfsetospeed(&raw, B115200);
    char name[256] = {};
    if (::openpty(&FMaster, &FSlave, name, &raw, nullptr) != 0)
        return false;
    if (::pipe2(FWake, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    ::fcntl(FMaster, F_SETFD, FD_CLOEXEC);
    ::fcntl(FSlave, F_SETFD, FD_CLOEXEC);
    ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK);
    FSlavePath = QString::fromLocal8Bit(name);
    return true;
}

void TSimServer::Start()
{
    FThread = std::thread([this] { Run(); });
}

namespace {

constexpr char WakeStop = 1;
constexpr char WakeSwap = 2;

void Wake(int Fd, char Why)
{
    if (Fd >= 0) {
        [[maybe_unused]] const ssize_t ignored = ::write(Fd, &Why, 1);
    }
}

} // namespace

void TSimServer::Stop()
{
    Wake(FWake[1], WakeStop);
}

void TSimServer::Swap()
{
    Wake(FWake[1], WakeSwap);
}

bool TSimServer::HandleWake()
{
    char why[64];
    const ssize_t got = ::read(FWake[0], why, sizeof why);
    for (ssize_t i = 0; i < got; ++i) {
        if (why[i] == WakeStop)
            return false;
        std::lock_guard lock(FLock);
        FDevice.Swap();
        Log("--", {}, "the other unit takes the line");
    }
    return true;
}

TSimConfig TSimServer::Config() const
{
    std::lock_guard lock(FLock);
    return FDevice.Config();
}

void TSimServer::SetConfig(const TSimConfig &Config)
{
    std::lock_guard lock(FLock);
    FDevice = TSimDevice(Config);
}

void TSimServer::SetFaults(const TSimFaults &Faults)
{
    std::lock_guard lock(FLock);
    FDevice.SetFaults(Faults);
}

int TSimServer::FramesAnswered() const
{
    std::lock_guard lock(FLock);
    return FAnswered;
}

void TSimServer::KeepReceived(bool On)
{
    std::lock_guard lock(FLock);
    FKeepReceived = On;
}

std::vector<TRequest> TSimServer::Received() const
{
    std::lock_guard lock(FLock);
    return FReceived;
}

void TSimServer::ClearReceived()
{
    std::lock_guard lock(FLock);
    FReceived.clear();
}

bool TSimServer::WaitForReceived(size_t Count, std::chrono::milliseconds Bound) const
{
    std::unique_lock lock(FLock);
    return FReceivedChanged.wait_for(lock, Bound, [&] { return FReceived.size() >= Count; });
}

void TSimServer::Log(const char *Direction, const QByteArray &Bytes, const char *Note)
{
    if (FLog == nullptr)
        return;
    QByteArray line = TraceTimestamp() + ' ' + Direction + ' ' + QByteArray::number(Bytes.size()) + ':';
    if (!Bytes.isEmpty())
        line += ' ' + HexBytes(reinterpret_cast<const uint8_t *>(Bytes.constData()), size_t(Bytes.size()));
    if (Note != nullptr)
        line += QByteArray(" (") + Note + ')';
    line += '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), FLog);
    std::fflush(FLog);
}

int TSimServer::NextTimeout() const
{
    using namespace std::chrono;
    auto wait = milliseconds::max();
    const auto now = Clock::now();
    if (!FPending.empty())
        wait = duration_cast<milliseconds>(FPending.front().Due - now) + milliseconds(1);
    if (FParser.Pending() > 0)
        wait = std::min(wait,
                        duration_cast<milliseconds>(FLastInput + PartialFrameLimit - now) + milliseconds(1));
    if (wait == milliseconds::max())
        return -1;
    return int(std::max<milliseconds::rep>(wait.count(), 0));
}

void TSimServer::Run()
{
    if (FMaster < 0)
        return;
    for (;;) {
        pollfd fds[2] = {{FMaster, POLLIN, 0}, {FWake[0], POLLIN, 0}};
        const int ready = ::poll(fds, 2, NextTimeout());
        if (ready < 0 && errno != EINTR)
            return;
        if ((fds[1].revents & POLLIN) && !HandleWake())
            return;
        if (fds[0].revents & POLLIN)
            HandleInput();
        else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))
            return; // the line itself is gone
        if (FParser.Pending() > 0 && Clock::now() - FLastInput >= PartialFrameLimit) {
            Log("RX", {}, "partial frame dropped");
            FParser.Reset();
        }
        SendDue();
    }
}

void TSimServer::HandleInput()
{
    uint8_t buf[1024];
    const ssize_t got = ::read(FMaster, buf, sizeof buf);
    if (got <= 0)
        return;
    FLastInput = Clock::now();
    const size_t skippedBefore = FParser.Skipped();
    FParser.Feed(buf, size_t(got));
    while (auto request = FParser.Next()) {
        if (FParser.Skipped() != skippedBefore)
            Log("RX", {}, "garbage skipped");
        QByteArray frame = BuildFrame(
            request->Command,
            std::span<const uint8_t>(reinterpret_cast<const uint8_t *>(request->Payload.constData()),
                                     size_t(request->Payload.size())));
        QByteArray reply;
        int delay = 0;
        {
            std::lock_guard lock(FLock);
            reply = FDevice.Respond(*request);
            delay = FDevice.Config().Faults.DelayMs;
            if (!reply.isEmpty())
                ++FAnswered;
            if (FKeepReceived)
                FReceived.push_back(*request);
        }
        FReceivedChanged.notify_all();
        Log("RX", frame, reply.isEmpty() ? "no answer" : nullptr);
        if (!reply.isEmpty())
            FPending.push_back({Clock::now() + std::chrono::milliseconds(std::max(delay, 0)), reply});
    }
}

void TSimServer::SendDue()
{
    while (!FPending.empty() && FPending.front().Due <= Clock::now()) {
        const QByteArray bytes = FPending.front().Bytes;
        FPending.pop_front();
        Log("TX", bytes);
        Put(bytes);
    }
}

void TSimServer::SendNoise(const QByteArray &Bytes)
{
    Log("TX", Bytes, "noise");
    Put(Bytes);
}

void TSimServer::Put(const QByteArray &Bytes) const
{
    qsizetype off = 0;
    while (off < Bytes.size()) {
        const ssize_t put = ::write(FMaster, Bytes.constData() + off, size_t(Bytes.size() - off));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break; // the queue towards the program is full: drop the rest
        off += put;
    }
}
