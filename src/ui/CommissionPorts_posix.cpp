#include "CommissionPorts.h"

#include "platform/serial/PortMap.h"
#include "platform/serial/PortProbe.h"
#include "platform/store/SettingsStore.h"

namespace {

QString SourceText(TPortSource Source)
{
    switch (Source) {
    case TPortSource::User:
        return QStringLiteral("your entry in [Ports]");
    case TPortSource::Uart:
        return QStringLiteral("UART");
    case TPortSource::Adapter:
        return QStringLiteral("assigned adapter");
    case TPortSource::None:
        break;
    }
    return QStringLiteral("no device");
}

QString OfferText(const TPortResolution &Port)
{
    const QString head = Port.Name + QStringLiteral("  ");
    if (Port.Path.isEmpty())
        return head + QStringLiteral("no device");
    const TPortProbe probe = ProbePort(Port.Path);
    QString shown = Port.Path;
    if (!probe.Target.isEmpty())
        shown += QStringLiteral(" -> ") + probe.Target;
    return head + QStringLiteral("%1 (%2): %3").arg(shown, SourceText(Port.Source), DescribeAccess(probe));
}

} // namespace

std::vector<TPortOffer> CommissionPorts(int32_t Stored)
{
    TSettingsStore store(TSettingsStore::DefaultPath());
    TPortMap map(store);
    // New adapters get their numbers as the command line's listing gives
    // them; a store that cannot be written leaves them unnumbered for now.
    map.TryAssignAdapters();
    const QString storedName = QStringLiteral("COM%1").arg(Stored);
    std::vector<TPortOffer> offers{{storedName, OfferText(map.Resolve(storedName))}};
    for (const TPortResolution &port : map.ResolveAll()) {
        if (port.Name != storedName)
            offers.push_back({port.Name, OfferText(port)});
    }
    return offers;
}
