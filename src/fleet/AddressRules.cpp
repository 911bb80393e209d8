#include "fleet/AddressRules.h"

#include <QtEndian>

namespace {

uint32_t HostOrder(const uint8_t *Address)
{
    return qFromBigEndian<uint32_t>(Address);
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

// Why an address cannot be a unit's own, whatever its subnet.
QString OwnAddressFault(uint32_t Local, const QString &Dotted)
{
    if (Local == 0)
        return QStringLiteral("0.0.0.0 cannot be a unit's own address");
    if (Local == 0xFFFFFFFFu)
        return QStringLiteral("255.255.255.255 is the broadcast address");
    if (Local >> 24 == 127)
        return QStringLiteral("%1 is a loopback address (127.0.0.0/8)").arg(Dotted);
    if (Local >> 28 == 0xE)
        return QStringLiteral("%1 is a multicast address (224.0.0.0/4)").arg(Dotted);
    return QString();
}

} // namespace

QString AddressFault(const TGivenAddresses &Given)
{
    const uint8_t *mask = Given.Mask;
    if (mask && !IsContiguous(HostOrder(mask)))
        return QStringLiteral("Invalid subnet mask: %1 is no subnet mask (its ones must come first, "
                              "as in 255.255.255.0)")
            .arg(Dotted(mask));
    if (!Given.Local)
        return QString();
    const uint32_t local = HostOrder(Given.Local);
    const QString own = Dotted(Given.Local);
    if (const QString fault = OwnAddressFault(local, own); !fault.isEmpty())
        return QStringLiteral("Invalid local IP: ") + fault;
    const uint32_t host = mask ? ~HostOrder(mask) : 0;
    if (host > 1 && (local & host) == host)
        return QStringLiteral("Invalid local IP: %1 is the broadcast address of its subnet (mask %2)")
            .arg(own, Dotted(mask));
    if (host > 1 && (local & host) == 0)
        return QStringLiteral("Invalid local IP: %1 is the network address of its subnet (mask %2)")
            .arg(own, Dotted(mask));
    const uint8_t *gateway = Given.Gateway;
    if (!gateway || HostOrder(gateway) == 0)
        return QString();
    if (HostOrder(gateway) == local)
        return QStringLiteral("Invalid gateway IP: %1 is the unit's own local IP").arg(own);
    if (mask && (HostOrder(gateway) & ~host) != (local & ~host))
        return QStringLiteral("Invalid gateway IP: %1 is outside the unit's subnet (local IP %2, mask %3)")
            .arg(Dotted(gateway), own, Dotted(mask));
    return QString();
}

QString SettingsFault(const TNetSettings &Settings)
{
    // The main window reads any flag but 1 as off.
    if (Settings.DhcpFlag == 1)
        return QString();
    return AddressFault({Settings.LocalAddr, Settings.SubnetMask, nullptr});
}
