#pragma once

#include "FrameParser.h"
#include "device/DeviceParams.h"
#include "device/Records.h"

#include <QByteArray>

// How the simulated device misbehaves.
struct TSimFaults {
    bool Silent = false;       // never answers
    bool BadChecksum = false;  // data replies carry a wrong checksum
    bool Short = false;        // every reply one byte short
    bool Long = false;         // every reply one byte long
    int AckCode = 0;           // result code of the acknowledgement
    bool BadAck = false;       // acknowledgement whose bytes 2 and 3 differ
    int DelayMs = 0;           // pause before each reply
    int StrayBytes = 0;        // garbage bytes sent before each reply
    bool IgnoreWrites = false; // acknowledges writes with code 0 without storing them
};

// A second unit on the same line, for trials of units swapped on a cable:
// the device becomes it (and back) on Swap(), or once by itself after
// SwapAfterFrames frames (0: never). Each unit keeps its own record.
struct TSimSwap {
    bool HasOther = false;
    TDeviceInfo Other{};
    int SwapAfterFrames = 0;
};

struct TSimConfig {
    TDeviceInfo Info{};
    TDeviceParams Params{};
    TSimFaults Faults;
    TSimSwap Swap;
};

// A sample single-output EDFA amplifier with plausible values.
TSimConfig SampleDevice();

// The device's side of the protocol, without any I/O: answers command 0 with
// the information record, command 3 with the parameter record and command 1
// (17 bytes of network settings) with an acknowledgement, storing the
// settings into the information record when it acknowledges with code 0.
// Other commands get no answer. With another unit configured, the device
// becomes it after answering the SwapAfterFrames-th frame.
class TSimDevice {
public:
    explicit TSimDevice(const TSimConfig &Config);

    // The bytes to send back for Request, faults applied; empty for none.
    QByteArray Respond(const TRequest &Request);

    const TSimConfig &Config() const { return FConfig; }
    void SetFaults(const TSimFaults &Faults) { FConfig.Faults = Faults; }
    // The other unit takes the line: Info and Swap.Other trade places.
    // Nothing happens without another unit.
    void Swap();

private:
    QByteArray Answer(const TRequest &Request);
    QByteArray DataReply(const void *Record, int Count) const;
    QByteArray AckReply(uint8_t Code) const;
    QByteArray ApplyLengthFaults(QByteArray Reply) const;

    TSimConfig FConfig;
    int FFrames = 0; // frames received
};
