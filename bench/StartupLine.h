#pragma once

// The device end of a pseudo-terminal for the start-up benchmark, answered
// in a thread of the benchmark itself (as the simulator answers), which
// notes the monotonic time at which the first bytes of a request arrive: the
// moment the program under test has sent its first request frame. A private
// settings store points COM1 at the line for every child started.

#include "SimSession.h"
#include "sim/FrameParser.h"
#include "sim/SimDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <ctime>
#include <thread>

inline long long NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

class TStartupLine {
public:
    TStartupLine()
    {
        termios raw{};
        cfmakeraw(&raw);
        char name[128] = {};
        if (openpty(&FMaster, &FSlave, name, &raw, nullptr) != 0 || pipe2(FStop, O_CLOEXEC) != 0)
            throw std::runtime_error("no pseudo-terminal");
        fcntl(FMaster, F_SETFD, FD_CLOEXEC);
        fcntl(FSlave, F_SETFD, FD_CLOEXEC);
        char pattern[] = "/tmp/lumora-bench.XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("cannot make a temporary directory");
        FDir = pattern;
        UsePrivateStore(FDir, name);
        FThread = std::thread([this] { Answer(); });
    }
    ~TStartupLine()
    {
        const char stop = 0;
        (void)!write(FStop[1], &stop, 1);
        FThread.join();
        for (int fd : {FMaster, FSlave, FStop[0], FStop[1]})
            close(fd);
        std::error_code ignored;
        std::filesystem::remove_all(FDir, ignored);
    }
    TStartupLine(const TStartupLine &) = delete;
    TStartupLine &operator=(const TStartupLine &) = delete;

    // Ready for the next program: no request seen yet, nothing queued, and
    // the exclusive mode the last program set on the line taken away (this
    // end keeps the line open, so the mode would outlive the program).
    void NextRound()
    {
        ioctl(FSlave, TIOCNXCL);
        tcflush(FSlave, TCIOFLUSH);
        FFirstRequestNs = 0;
    }
    // The time the first request bytes of this round arrived, 0 for none.
    long long FirstRequestNs() const { return FFirstRequestNs; }

private:
    void Answer()
    {
        TSimDevice device(SampleDevice());
        TFrameParser parser;
        pollfd fds[2] = {{FMaster, POLLIN, 0}, {FStop[0], POLLIN, 0}};
        uint8_t buffer[256];
        while (poll(fds, 2, -1) > 0 && !(fds[1].revents & POLLIN)) {
            const ssize_t n = read(FMaster, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            if (FFirstRequestNs == 0)
                FFirstRequestNs = NowNs();
            parser.Feed(buffer, size_t(n));
            while (const auto request = parser.Next()) {
                const QByteArray reply = device.Respond(*request);
                (void)!write(FMaster, reply.constData(), size_t(reply.size()));
            }
        }
    }

    int FMaster = -1;
    int FSlave = -1;
    int FStop[2] = {-1, -1};
    std::filesystem::path FDir;
    std::atomic<long long> FFirstRequestNs{0};
    std::thread FThread;
};
