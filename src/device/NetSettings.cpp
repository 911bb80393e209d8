#include "NetSettings.h"

#include "base/IntConv.h"
#include "base/LumoraError.h"

#include <cstring>

TNetSettings NetSettings{};

namespace {

// Offset of DhcpFlag in the device information record.
constexpr int RecordNetOffset = 35;

// The value of one part, -1 when it does not read as an integer.
int32_t PartValue(const QString &Part)
{
    int32_t value = -1;
    if (!TryStrToInt(Part, value))
        return -1;
    return value;
}

// Checks Text and stores its four numbers into Address; raises Message when
// it is not a dotted address.
void StoreAddress(const QString &Text, uint8_t (&Address)[4], const QString &Message)
{
    if (!DottedToAddress(Text, Address))
        throw ELumoraError(Message);
}

} // namespace

QStringList SplitDotted(const QString &Text)
{
    QStringList parts;
    QStringView rest(Text);
    while (!rest.isEmpty()) {
        const qsizetype dot = rest.indexOf(u'.');
        if (dot < 0) {
            parts.append(rest.toString());
            break;
        }
        parts.append(rest.left(dot).toString());
        rest = rest.mid(dot + 1);
    }
    return parts;
}

bool IsValidIP(const QString &Text)
{
    const QStringList parts = SplitDotted(Text);
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        const int32_t value = PartValue(part);
        if (value < 0 || value > 255)
            return false;
    }
    return true;
}

bool DottedToAddress(const QString &Text, uint8_t (&Address)[4])
{
    if (!IsValidIP(Text))
        return false;
    const QStringList parts = SplitDotted(Text);
    for (int i = 0; i < 4; ++i)
        Address[i] = static_cast<uint8_t>(PartValue(parts[i]) & 0xFF);
    return true;
}

void CollectNetSettings(INetSettingsSource &Source, TNetSettings &Settings)
{
    const bool dhcp = Source.DhcpChecked();
    if (!dhcp) {
        StoreAddress(Source.LocalIpText(), Settings.LocalAddr, InvalidLocalIpText);
        StoreAddress(Source.GatewayIpText(), Settings.GatewayAddr, InvalidGatewayIpText);
        StoreAddress(Source.SubnetMaskText(), Settings.SubnetMask, InvalidSubnetMaskText);
    }
    StoreAddress(Source.ServerIpText(), Settings.ServerAddr, InvalidServerIpText);
    Settings.DhcpFlag = dhcp ? 1 : 0;
}

void NetSettingsFromRecord(const uint8_t *Record, TNetSettings &Settings)
{
    std::memcpy(&Settings, Record + RecordNetOffset, sizeof Settings);
}
