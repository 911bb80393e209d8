#include "fleet/PortScan.h"

#include "fleet/FleetLink.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/PortProbe.h"

#include <algorithm>
#include <thread>

namespace {

void Ask(TScannedPort &Port)
{
    if (Port.Choice.Path.isEmpty()) {
        Port.Why = QStringLiteral("no device");
        return;
    }
    TFleetLink link;
    if (!link.OpenChoice(Port.Choice)) {
        // A device that opens but is no serial line is refused by the link
        // itself: say so, not what a probe of the open alone would say.
        const TPortProbe probe = ProbePort(Port.Choice.Path);
        Port.Why = probe.Access == TPortAccess::Ok
                       ? link.Status().Text()
                       : QStringLiteral("cannot be opened: %1").arg(DescribeAccess(probe));
        return;
    }
    Port.Answered = link.ReadInfo(&Port.Info, sizeof Port.Info);
    if (!Port.Answered)
        Port.Why = QStringLiteral("no answer (%1)").arg(link.Status().Text());
}

} // namespace

bool ScanTargets(const QStringList &Specs, TSettingsStore &Store, const TPortScanRoots &Roots,
                 std::vector<TPortChoice> &Targets, QString &Error)
{
    Targets.clear();
    if (Specs.isEmpty()) {
        for (const TPortResolution &port : TPortMap(Store, Roots).ResolveAll())
            Targets.push_back({port.Name, port.Path});
        return true;
    }
    for (const QString &spec : Specs) {
        TPortChoice choice;
        if (!ResolvePortChoice(spec, choice, Error))
            return false;
        // "COM3 3" or a name and the path it leads to: one device, asked once
        // (a second open of it would only find it busy).
        const bool seen = std::any_of(Targets.begin(), Targets.end(), [&](const TPortChoice &t) {
            return t.Name == choice.Name || (!choice.Path.isEmpty() && t.Path == choice.Path);
        });
        if (!seen)
            Targets.push_back(choice);
    }
    return true;
}

std::vector<TScannedPort> ScanPorts(const std::vector<TPortChoice> &Targets)
{
    std::vector<TScannedPort> ports(Targets.size());
    std::vector<std::thread> threads;
    threads.reserve(ports.size());
    for (size_t i = 0; i < ports.size(); ++i) {
        ports[i].Choice = Targets[i];
        threads.emplace_back(Ask, std::ref(ports[i]));
    }
    for (std::thread &t : threads)
        t.join();
    return ports;
}
