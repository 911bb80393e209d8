#include "fleet/AddressRules.h"

namespace {

uint32_t HostOrder(const uint8_t *Address)
{
    return uint32_t(Address[0]) << 24 | uint32_t(Address[1]) << 16 | uint32_t(Address[2]) << 8 |
           uint32_t(Address[3]);
}

QString Dotted(const uint8_t *Address)
{
    return QStringLiteral("%1.%2.%3.%4").arg(Address[0]).arg(Address[1]).arg(Address[2]).arg(Address[3]);
}

// The host bits of a mask (its zeros) form one run at the low end.
bool IsContiguous(uint32_t Mask)
{
    const uint32_t host = ~Mask;
    return (host & (host + 1)) == 0;
}

} // namespace

QString AddressFault(const uint8_t *Local, const uint8_t *Mask)
{
    if (Mask && !IsContiguous(HostOrder(Mask)))
        return QStringLiteral("Invalid subnet mask: %1 is no subnet mask (its ones must come first, "
                              "as in 255.255.255.0)")
            .arg(Dotted(Mask));
    if (!Local)
        return QString();
    const uint32_t local = HostOrder(Local);
    if (local == 0)
        return QStringLiteral("Invalid local IP: 0.0.0.0 cannot be a unit's own address");
    if (local == 0xFFFFFFFFu)
        return QStringLiteral("Invalid local IP: 255.255.255.255 is the broadcast address");
    const uint32_t host = Mask ? ~HostOrder(Mask) : 0;
    if (host > 1 && (local & host) == host)
        return QStringLiteral("Invalid local IP: %1 is the broadcast address of its subnet (mask %2)")
            .arg(Dotted(Local), Dotted(Mask));
    return QString();
}

QString SettingsFault(const TNetSettings &Settings)
{
    // The main window reads any flag but 1 as off.
    if (Settings.DhcpFlag == 1)
        return QString();
    return AddressFault(Settings.LocalAddr, Settings.SubnetMask);
}
