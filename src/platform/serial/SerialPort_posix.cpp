#include "platform/serial/SerialPort.h"

#include "platform/serial/PortOpen.h"
#include "platform/serial/SerialTrace.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

speed_t SpeedCode(uint32_t baud)
{
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B115200;
    }
}

tcflag_t SizeFlag(uint8_t byteSize)
{
    switch (byteSize) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

int Remaining(std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    return left > 0 ? int(left) : 0;
}

} // namespace

void ReadyHeldPort(int Fd)
{
    // TIOCEXCL keeps out other openers that do not lock (root excepted). A
    // non-terminal character device rejects the ioctl, which is harmless.
    ::ioctl(Fd, TIOCEXCL);
    // The open did not block; reads and writes do.
    const int flags = ::fcntl(Fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(Fd, F_SETFL, flags & ~O_NONBLOCK);
}

void TSerialPort::Close()
{
    if (FFd < 0)
        return;
    // Release the exclusive mode so that the next opener of a line that
    // stays open elsewhere (a simulator holds its own end) is not refused.
    ::ioctl(FFd, TIOCNXCL);
    // Output the line has not taken yet is discarded first: with hardware
    // flow control on and the device holding CTS low it would never go, and
    // close() would wait for it (up to 30 seconds in the kernel), freezing
    // the caller. The flow-control setting itself stays as it was.
    ::tcflush(FFd, TCOFLUSH);
    ::close(FFd);
    FFd = -1;
    FLost = false;
}

bool TSerialPort::IsSerialLine() const
{
    return FFd >= 0 && ::isatty(FFd) == 1;
}

bool TSerialPort::Configure(uint32_t BaudRate, uint8_t ByteSize, uint8_t Parity, uint8_t StopBits)
{
    if (FFd < 0)
        return false;
    termios tio{};
    if (::tcgetattr(FFd, &tio) != 0)
        return false;
    tio.c_iflag &=
        ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    tio.c_oflag &= ~tcflag_t(OPOST);
    tio.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CSTOPB);
    tio.c_cflag |= SizeFlag(ByteSize) | CLOCAL | CREAD;
    if (Parity == 1)
        tio.c_cflag |= PARENB | PARODD;
    else if (Parity == 2)
        tio.c_cflag |= PARENB;
    if (StopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, SpeedCode(BaudRate));
    ::cfsetospeed(&tio, SpeedCode(BaudRate));
    return ::tcsetattr(FFd, TCSANOW, &tio) == 0;
}

int TSerialPort::BytesWaiting() const
{
    int count = 0;
    if (FFd < 0 || ::ioctl(FFd, FIONREAD, &count) != 0)
        return 0;
    return std::max(count, 0);
}

int TSerialPort::ReadQueued(uint8_t *Buffer, int Capacity, int TimeoutMs)
{
    if (FFd < 0 || Capacity <= 0 || TimeoutMs < 0) {
        TraceBytes(TTraceDirection::Received, nullptr, 0, "not waiting");
        return 0;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;) {
        const int left = Remaining(deadline);
        pollfd pfd{FFd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, left);
        if (ready < 0 && errno != EINTR) {
            FLost = true;
            break;
        }
        if (ready > 0) {
            const int waiting = BytesWaiting();
            if (waiting > 0) {
                const int want = std::min(waiting, Capacity);
                ssize_t got;
                do {
                    got = ::read(FFd, Buffer, size_t(want));
                } while (got < 0 && errno == EINTR);
                if (got <= 0) {
                    FLost = true;
                    TraceBytes(TTraceDirection::Received, nullptr, 0, "read failed");
                    return 0;
                }
                TraceBytes(TTraceDirection::Received, Buffer, size_t(got));
                return int(got);
            }
            if (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) {
                FLost = true;
                TraceBytes(TTraceDirection::Received, nullptr, 0, "hang-up");
                return 0;
            }
            // Readable but the count is still zero: the bytes are on their
            // way through the line discipline. Give them a moment instead of
            // asking again at once.
            if (left > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (Remaining(deadline) == 0)
            break;
    }
    TraceBytes(TTraceDirection::Received, nullptr, 0, "timeout");
    return 0;
}

void TSerialPort::DiscardInput()
{
    if (FFd < 0)
        return;
    // A line that keeps talking cannot hold the caller here: a bounded number
    // of reads, then the flush drops whatever else has arrived.
    constexpr int MaxReads = 64;
    uint8_t scratch[256];
    for (int i = 0; i < MaxReads; ++i) {
        pollfd pfd{FFd, POLLIN, 0};
        if (::poll(&pfd, 1, 0) <= 0)
            break;
        const int waiting = BytesWaiting();
        if (waiting <= 0) {
            if (pfd.revents & (POLLHUP | POLLERR | POLLNVAL))
                FLost = true;
            break;
        }
        ssize_t got;
        do {
            got = ::read(FFd, scratch, size_t(std::min(waiting, int(sizeof scratch))));
        } while (got < 0 && errno == EINTR);
        if (got <= 0) {
            FLost = true;
            break;
        }
        TraceBytes(TTraceDirection::Received, scratch, size_t(got), "discarded");
    }
    ::tcflush(FFd, TCIFLUSH);
}

ssize_t TSerialPort::Write(const uint8_t *Data, size_t Length)
{
    if (FFd < 0)
        return -1;
    ssize_t written;
    do {
        written = ::write(FFd, Data, Length);
    } while (written < 0 && errno == EINTR);
    if (written < 0 && errno != EAGAIN)
        FLost = true;
    TraceBytes(TTraceDirection::Sent, Data, written > 0 ? size_t(written) : 0,
               written < 0 ? "write failed" : nullptr);
    return written;
}
