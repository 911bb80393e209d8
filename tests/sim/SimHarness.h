#pragma once

#include "device/LinkFixture.h"
#include "support/SimLine.h"

#include <memory>

// A simulated device served from a thread of the test process, with COM1
// of a fresh store pointed at its terminal.
class SimLinkTest : public ::testing::Test {
protected:
    void SetUp() override { lumora::test::ResetConfigHome(); }

    void StartSim(const TSimConfig &config = SampleDevice())
    {
        Sim = std::make_unique<lumora::test::TSimLine>(config);
        lumora::test::MapPort(1, Sim->SlavePath());
    }
    void StartSim(const TSimFaults &faults)
    {
        TSimConfig config = SampleDevice();
        config.Faults = faults;
        StartSim(config);
    }

    std::unique_ptr<lumora::test::TSimLine> Sim;
    TRecordingLabel Label;
};
