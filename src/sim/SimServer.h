#pragma once

#include "SimDevice.h"

#include <QString>

#include <chrono>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

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

    TSimConfig Config() const;
    void SetFaults(const TSimFaults &Faults);
    int FramesAnswered() const;

private:
    struct TPending {
        std::chrono::steady_clock::time_point Due;
        QByteArray Bytes;
    };
    void HandleInput();
    void SendDue();
    int NextTimeout() const;
    void Log(const char *Direction, const QByteArray &Bytes, const char *Note = nullptr);

    mutable std::mutex FLock; // guards FDevice and FAnswered
    TSimDevice FDevice;
    int FAnswered = 0;
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
