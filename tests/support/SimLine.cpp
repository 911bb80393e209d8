#include "SimLine.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace lumora::test {

TSimLine::TSimLine(const TSimConfig &Config) : TSimServer(Config)
{
    if (!Open())
        throw std::runtime_error("no pseudo-terminal for the simulator");
    KeepReceived(true);
    Start();
}

int TSimLine::CountOf(uint8_t Command) const
{
    const std::vector<TRequest> frames = Received();
    return int(std::count_if(frames.begin(), frames.end(),
                             [Command](const TRequest &r) { return r.Command == Command; }));
}

TSimConfig SampleUnit(const char *Serial, bool IgnoreWrites)
{
    TSimConfig config = SampleDevice();
    std::memset(config.Info.SerialNo, 0, sizeof config.Info.SerialNo);
    std::memcpy(config.Info.SerialNo, Serial, std::strlen(Serial));
    config.Faults.IgnoreWrites = IgnoreWrites;
    return config;
}

} // namespace lumora::test
