#pragma once

#include "sim/FrameParser.h"
#include "sim/SimDevice.h"
#include "support/PtyPair.h"

#include <QString>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The simulator's engine answering on a real pseudo-terminal from a thread of
// the test process, so that a test can run the tool (in-process or as a
// child) against it and look at every request the device received.
class TSimThread {
public:
    explicit TSimThread(const TSimConfig &Config = SampleDevice()) : FDevice(Config)
    {
        FStop = ::eventfd(0, EFD_CLOEXEC);
        FThread = std::thread([this] { Serve(); });
    }
    ~TSimThread()
    {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(FStop, &one, sizeof one);
        FThread.join();
        ::close(FStop);
    }
    TSimThread(const TSimThread &) = delete;
    TSimThread &operator=(const TSimThread &) = delete;

    const QString &Path() const { return FPty.SlavePath(); }

    std::vector<TRequest> Requests() const
    {
        std::lock_guard lock(FMutex);
        return FRequests;
    }
    TDeviceInfo Info() const
    {
        std::lock_guard lock(FMutex);
        return FDevice.Config().Info;
    }
    void SetFaults(const TSimFaults &Faults)
    {
        std::lock_guard lock(FMutex);
        FDevice.SetFaults(Faults);
    }

private:
    void Serve()
    {
        TFrameParser parser;
        for (;;) {
            pollfd fds[2] = {{FPty.MasterFd(), POLLIN, 0}, {FStop, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR)
                return;
            if (fds[1].revents)
                return;
            if (!(fds[0].revents & POLLIN))
                continue;
            uint8_t buf[512];
            const ssize_t n = ::read(FPty.MasterFd(), buf, sizeof buf);
            if (n <= 0)
                continue;
            parser.Feed(buf, size_t(n));
            while (auto request = parser.Next()) {
                QByteArray reply;
                {
                    std::lock_guard lock(FMutex);
                    FRequests.push_back(*request);
                    reply = FDevice.Respond(*request);
                }
                if (!reply.isEmpty())
                    FPty.WriteMaster(reply);
            }
        }
    }

    lumora::test::TPtyPair FPty;
    TSimDevice FDevice;
    mutable std::mutex FMutex;
    std::vector<TRequest> FRequests;
    int FStop = -1;
    std::thread FThread;
};
