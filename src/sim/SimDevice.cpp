#include "SimDevice.h"

#include "device/ComUnit.h"

#include <cstring>
#include <utility>

namespace {

constexpr int NetSettingsSize = 17;
constexpr int NetSettingsOffset = 35; // DhcpFlag of the information record

// A fixed text field: the text, zero bytes after it, no terminator when it
// fills the field.
void SetText(char *field, size_t size, const char *text)
{
    for (size_t i = 0; i < size; ++i)
        field[i] = *text != '\0' ? *text++ : '\0';
}

quint32 Address(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    return quint32(a) | quint32(b) << 8 | quint32(c) << 16 | quint32(d) << 24;
}

} // namespace

TSimConfig SampleDevice()
{
    TSimConfig c;
    c.Info.DeviceType = 6;
    SetText(c.Info.SerialNo, sizeof c.Info.SerialNo, "0612345678");
    c.Info.FirmwareVersion = 0x0103; // 3.1
    c.Info.HardwareVersion = 0x0002; // 2.0
    SetText(c.Info.UpdateTime, sizeof c.Info.UpdateTime, "2024-05-17 10:30");
    c.Info.DhcpFlag = 0;
    c.Info.LocalAddr = Address(192, 168, 1, 100);
    c.Info.ServerAddr = Address(192, 168, 1, 1);
    c.Info.GatewayAddr = Address(192, 168, 1, 254);
    c.Info.SubnetMask = Address(255, 255, 255, 0);

    c.Params.ReversePower = EncodeValue(35);
    c.Params.Supply8V = EncodeValue(81);
    c.Params.TransceiverSupply = EncodeValue(500);
    c.Params.Supply15V = EncodeValue(152);
    c.Params.Supply24V = EncodeValue(240);
    c.Params.InputPowerA = EncodeValue(62);
    c.Params.InputPowerB = TParamSlot{0, 0xFF, 0xFF};
    c.Params.Temperature = EncodeValue(25);
    c.Params.LidState = 0;
    c.Params.SwitchFlags = 0x80;
    return c;
}

TSimDevice::TSimDevice(const TSimConfig &Config) : FConfig(Config) {}

void TSimDevice::Swap()
{
    if (FConfig.Swap.HasOther)
        std::swap(FConfig.Info, FConfig.Swap.Other);
}

QByteArray TSimDevice::Respond(const TRequest &Request)
{
    QByteArray reply = Answer(Request);
    if (++FFrames == FConfig.Swap.SwapAfterFrames)
        Swap();
    return reply;
}

QByteArray TSimDevice::Answer(const TRequest &Request)
{
    if (FConfig.Faults.Silent)
        return {};
    QByteArray reply;
    switch (Request.Command) {
    case CmdReadInfo:
        reply = DataReply(&FConfig.Info, int(sizeof FConfig.Info));
        break;
    case CmdReadParams:
        reply = DataReply(&FConfig.Params, int(sizeof FConfig.Params));
        break;
    case CmdWriteSettings: {
        const bool wellFormed = Request.Payload.size() == NetSettingsSize;
        const uint8_t code = wellFormed ? uint8_t(FConfig.Faults.AckCode) : 2;
        if (wellFormed && code == 0 && !FConfig.Faults.BadAck && !FConfig.Faults.IgnoreWrites) {
            std::memcpy(reinterpret_cast<uint8_t *>(&FConfig.Info) + NetSettingsOffset,
                        Request.Payload.constData(), NetSettingsSize);
        }
        reply = AckReply(code);
        break;
    }
    default:
        return {};
    }
    reply = ApplyLengthFaults(reply);
    if (FConfig.Faults.StrayBytes > 0)
        reply.prepend(QByteArray(FConfig.Faults.StrayBytes, char(0x5A)));
    return reply;
}

QByteArray TSimDevice::DataReply(const void *Record, int Count) const
{
    QByteArray reply;
    reply.append(char(FrameHead[0])).append(char(FrameHead[1]));
    reply.append(static_cast<const char *>(Record), Count);
    uint8_t sum = ByteSum(std::span<const uint8_t>(static_cast<const uint8_t *>(Record), size_t(Count)));
    if (FConfig.Faults.BadChecksum)
        sum = uint8_t(sum + 1);
    reply.append(char(sum));
    return reply;
}

QByteArray TSimDevice::AckReply(uint8_t Code) const
{
    QByteArray reply;
    reply.append(char(FrameHead[0])).append(char(FrameHead[1]));
    reply.append(char(Code));
    reply.append(char(FConfig.Faults.BadAck ? uint8_t(Code + 1) : Code));
    return reply;
}

QByteArray TSimDevice::ApplyLengthFaults(QByteArray Reply) const
{
    if (FConfig.Faults.Short && !Reply.isEmpty())
        Reply.chop(1);
    if (FConfig.Faults.Long)
        Reply.append(char(0x00));
    return Reply;
}
