#pragma once

#include "support/PtyPair.h"

#include <QByteArray>

#include <chrono>
#include <cstdint>
#include <thread>

// A device played on the master side of a pseudo-terminal: it waits for one
// request, then answers after a delay, optionally in two pieces, the second
// once the link has read the first. The answer runs on its own thread while
// the link under test blocks in its exchange.
class TScriptedDevice {
public:
    explicit TScriptedDevice(lumora::test::TPtyPair &Pty) : FPty(Pty) {}
    TScriptedDevice(const TScriptedDevice &) = delete;
    TScriptedDevice &operator=(const TScriptedDevice &) = delete;
    ~TScriptedDevice() { Finish(); }

    // Reads a request of RequestLength bytes, then writes Reply (nothing when
    // empty) DelayMs after it arrived; with SplitAt > 0 the bytes from
    // SplitAt on follow as soon as the link has read the first piece.
    void Answer(int RequestLength, const QByteArray &Reply, int DelayMs, int SplitAt = 0)
    {
        Finish();
        FThread = std::thread([this, RequestLength, Reply, DelayMs, SplitAt] {
            FRequest = FPty.ReadMaster(RequestLength, 3000);
            std::this_thread::sleep_for(std::chrono::milliseconds(DelayMs));
            if (SplitAt <= 0) {
                FPty.WriteMaster(Reply);
                return;
            }
            FPty.WriteMaster(Reply.left(SplitAt));
            if (FPty.WaitQueued(SplitAt))
                FPty.WaitDrained();
            FPty.WriteMaster(Reply.mid(SplitAt));
        });
    }

    // Waits until the last answer has been written; returns its request.
    QByteArray Finish()
    {
        if (FThread.joinable())
            FThread.join();
        return FRequest;
    }

private:
    lumora::test::TPtyPair &FPty;
    std::thread FThread;
    QByteArray FRequest;
};

// A data reply as the device sends it: two leading bytes, the record, the
// record's checksum.
inline QByteArray DeviceReply(const QByteArray &Record)
{
    uint8_t sum = 0;
    for (const char c : Record)
        sum = uint8_t(sum + uint8_t(c));
    return QByteArray("\xAA\x55", 2) + Record + char(sum);
}

// An information record with a recognisable pattern.
inline QByteArray PatternRecord(int Length, int Seed)
{
    QByteArray record(Length, 0);
    for (int i = 0; i < Length; ++i)
        record[i] = char(i * 7 + Seed);
    return record;
}

// The four-byte acknowledgement with result Code.
inline QByteArray DeviceAck(uint8_t Code)
{
    return QByteArray(2, 0) + char(Code) + char(Code);
}

inline constexpr int ReadRequestLength = 7;   // AA 55 00 00 00 FB FF
inline constexpr int WriteRequestLength = 24; // 17 payload bytes
