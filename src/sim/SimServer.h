#pragma once

#include "SimDevice.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// The simulated device on a pseudo-terminal: the server holds the master,
// programs open the slave as their serial port. Frames are answered as
// TSimDevice decides, after the configured delay. The server keeps its own
// descriptor of the slave open, so a program may close the port and open it
// again without the line going down.
class TSimServer {
public:
    explicit TSimServer(const TSimConfig &Config);
    ~TSimServer();
    TSimServer(const TSimServer &) = delete;
    TSimServer &operator=(const TSimServer &) = delete;

    // Creates the pseudo-terminal (raw mode). False when none can be had.
    bool Open();
    const QString &SlavePath() const { return FSlavePath; }

    // Each frame received and each reply sent is logged here (with a
    // timestamp, in hex) when set; nullptr for no log.
    void SetLog(FILE *Log) { FLog = Log; }

    // Serves until Stop(). Run blocks the calling thread; Start runs it in a
    // thread of its own.
    void Run();
    void Start();
    // Safe from a signal handler and from any thread.
    void Stop();
    // The other unit of the configuration takes the line (TSimDevice::Swap)
    // before the next frame. Safe from a signal handler and from any thread.
    void Swap();

    // The device's records and faults; safe from any thread while serving.
    // A new configuration applies from the next frame on.
    TSimConfig Config() const;
    void SetConfig(const TSimConfig &Config);
    void SetFaults(const TSimFaults &Faults);
    int FramesAnswered() const;

    // Sends Bytes on the line at once, outside any reply: line noise, or
    // what is left of a reply that came too late. Safe from any thread.
    void SendNoise(const QByteArray &Bytes);

    // The log of received frames, answered or not, in arrival order. Off
    // until switched on (a long-running simulator keeps no log). A frame is
    // logged before its reply is queued, so once a program has its reply the
    // frame is in the log.
    void KeepReceived(bool On);
    std::vector<TRequest> Received() const;
    void ClearReceived();
    // Blocks until the log holds at least Count frames or Bound has passed;
    // true when they are there.
    bool WaitForReceived(size_t Count, std::chrono::milliseconds Bound) const;

private:
    struct TPending {
        std::chrono::steady_clock::time_point Due;
        QByteArray Bytes;
    };
    bool HandleWake(); // false when told to stop
    void HandleInput();
    void SendDue();
    void Put(const QByteArray &Bytes) const;
    int NextTimeout() const;
    void Log(const char *Direction, const QByteArray &Bytes, const char *Note = nullptr);

    mutable std::mutex FLock; // guards FDevice, FAnswered and the received log
    mutable std::condition_variable FReceivedChanged;
    TSimDevice FDevice;
    int FAnswered = 0;
    bool FKeepReceived = false;
    std::vector<TRequest> FReceived;
    TFrameParser FParser;
    std::deque<TPending> FPending;
    std::chrono::steady_clock::time_point FLastInput;
    int FMaster = -1;
    int FSlave = -1;
    int FWake[2] = {-1, -1};
    QString FSlavePath;
    FILE *FLog = nullptr;
    std::thread FThread;
};
