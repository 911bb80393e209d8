#include "CommissionPorts.h"

#include "platform/serial/ComPort.h"
#include "platform/serial/PortProbe.h"
#include "platform/serial/SystemPorts_win.h"

namespace {

QString OfferText(const QString &Name, const QString &FriendlyName)
{
    QString text = Name + QStringLiteral("  ");
    if (!FriendlyName.isEmpty())
        text += FriendlyName + QStringLiteral(": ");
    return text + DescribeAccess(ProbePort(ComPortPath(Name)));
}

} // namespace

std::vector<TPortOffer> CommissionPorts(int32_t Stored)
{
    const QString storedName = QStringLiteral("COM%1").arg(Stored);
    const std::vector<TSystemPort> ports = SystemPorts();
    QString storedFriendly;
    for (const TSystemPort &port : ports) {
        if (port.Number == Stored)
            storedFriendly = port.FriendlyName;
    }
    std::vector<TPortOffer> offers{{storedName, OfferText(storedName, storedFriendly)}};
    for (const TSystemPort &port : ports) {
        if (port.Number != Stored)
            offers.push_back({port.Name, OfferText(port.Name, port.FriendlyName)});
    }
    return offers;
}
