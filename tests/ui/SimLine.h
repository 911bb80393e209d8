#pragma once

#include "sim/FrameParser.h"
#include "sim/SimDevice.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <mutex>
#include <stdexcept>
#include <thread>

// The simulated device on a real pseudo-terminal, answering from a thread of
// its own while the window under test blocks in its exchange. The device's
// record and faults can be changed between exchanges; every request frame it
// receives is logged.
class TSimLine {
public:
    explicit TSimLine(TSimConfig Config = SampleDevice()) : FDevice(Config)
    {
        termios raw{};
        cfmakeraw(&raw);
        cfsetspeed(&raw, B115200);
        char name[256] = {};
        if (openpty(&FMaster, &FSlaveKeep, name, &raw, nullptr) != 0 || pipe2(FWake, O_CLOEXEC) != 0)
            throw std::runtime_error("no pseudo-terminal");
        fcntl(FMaster, F_SETFD, FD_CLOEXEC);
        fcntl(FSlaveKeep, F_SETFD, FD_CLOEXEC);
        FSlavePath = QString::fromLocal8Bit(name);
        FThread = std::thread([this] { Serve(); });
    }
    ~TSimLine()
    {
        const char stop = 1;
        (void)!write(FWake[1], &stop, 1);
        FThread.join();
        for (int fd : {FMaster, FSlaveKeep, FWake[0], FWake[1]})
            close(fd);
    }
    TSimLine(const TSimLine &) = delete;
    TSimLine &operator=(const TSimLine &) = delete;

    const QString &SlavePath() const { return FSlavePath; }

    void SetConfig(const TSimConfig &Config)
    {
        std::lock_guard guard(FLock);
        FDevice = TSimDevice(Config);
    }
    TSimConfig Config()
    {
        std::lock_guard guard(FLock);
        return FDevice.Config();
    }
    void SetFaults(const TSimFaults &Faults)
    {
        std::lock_guard guard(FLock);
        FDevice.SetFaults(Faults);
    }
    QList<TRequest> Requests()
    {
        std::lock_guard guard(FLock);
        return FRequests;
    }
    int CountOf(uint8_t Command)
    {
        std::lock_guard guard(FLock);
        int n = 0;
        for (const TRequest &r : FRequests)
            n += r.Command == Command;
        return n;
    }
    void ClearRequests()
    {
        std::lock_guard guard(FLock);
        FRequests.clear();
    }

private:
    void Serve()
    {
        for (;;) {
            pollfd fds[2] = {{FMaster, POLLIN, 0}, {FWake[0], POLLIN, 0}};
            if (poll(fds, 2, -1) < 0)
                continue;
            if (fds[1].revents)
                return;
            uint8_t buffer[512];
            const ssize_t n = read(FMaster, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            std::lock_guard guard(FLock);
            FParser.Feed(buffer, size_t(n));
            while (auto request = FParser.Next()) {
                FRequests.append(*request);
                const QByteArray reply = FDevice.Respond(*request);
                if (!reply.isEmpty())
                    (void)!write(FMaster, reply.constData(), size_t(reply.size()));
            }
        }
    }

    int FMaster = -1;
    int FSlaveKeep = -1;
    int FWake[2] = {-1, -1};
    QString FSlavePath;
    std::mutex FLock;
    TSimDevice FDevice;
    TFrameParser FParser;
    QList<TRequest> FRequests;
    std::thread FThread;
};
