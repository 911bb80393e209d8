#pragma once

#include "sim/SimServer.h"

namespace lumora::test {

// The simulator's engine on a fresh pseudo-terminal, serving from a thread
// of the test process with its log of received frames on, so that a test can
// run the program, the tool or the link against it (in-process or as a
// child), change the device between exchanges and look at every frame the
// device received. Serving stops when the line goes.
class TSimLine : public TSimServer {
public:
    // Throws std::runtime_error when no pseudo-terminal can be had.
    explicit TSimLine(const TSimConfig &Config = SampleDevice());

    // How many received frames carried Command.
    int CountOf(uint8_t Command) const;
};

// The sample device with serial number Serial; with IgnoreWrites it
// acknowledges writes without taking them.
TSimConfig SampleUnit(const char *Serial, bool IgnoreWrites = false);

} // namespace lumora::test
