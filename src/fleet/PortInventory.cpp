#include "fleet/PortInventory.h"

#include "base/NameTable.h"
#include "device/ComUnit.h"
#include "platform/serial/ComNumber.h"
#include "platform/store/SettingsStore.h"

#include <algorithm>
#include <array>

namespace {

std::vector<TInventoryPort> PortRows(const TPortMap &Map, int32_t Stored)
{
    std::vector<TInventoryPort> rows;
    const QString storedName = QStringLiteral("COM%1").arg(Stored);
    bool storedListed = false;
    for (const TPortResolution &port : Map.ResolveAll()) {
        storedListed = storedListed || port.Name == storedName;
        rows.push_back({port, ProbePort(port.Path)});
    }
    // The stored port is always shown, also when it leads nowhere.
    if (!storedListed) {
        TInventoryPort row{Map.Resolve(storedName), {}};
        if (!row.Port.Path.isEmpty())
            row.Probe = ProbePort(row.Port.Path);
        rows.push_back(row);
        std::stable_sort(rows.begin(), rows.end(), [](const TInventoryPort &a, const TInventoryPort &b) {
            return ComNumber(a.Port.Name) < ComNumber(b.Port.Name);
        });
    }
    return rows;
}

std::vector<TInventoryAdapter> AdapterRows(const TPortMap &Map)
{
    std::vector<TInventoryAdapter> rows;
    for (const TAdapterNumber &a : Map.AdapterNumbers())
        rows.push_back({a.Path, a.Number, a.Present, a.Shadowed, {}, {}});
    for (const QString &path : Map.PresentAdapters()) {
        const bool numbered = std::any_of(rows.begin(), rows.end(), [&](const TInventoryAdapter &r) {
            return r.Path.compare(path, Qt::CaseInsensitive) == 0;
        });
        if (!numbered)
            rows.push_back({path, 0, true, false, {}, {}});
    }
    for (TInventoryAdapter &row : rows) {
        if (row.Present) {
            row.Probe = ProbePort(row.Path);
            row.Udev = AdapterUdev(row.Path, Map.Roots());
        }
    }
    return rows;
}

// Where a port name leads, as JSON names it and as the listing says it.
struct TSourceName {
    const char *Key;
    const char *Text;
};
constexpr std::array<TSourceName, 4> SourceNames = {{
    {"none", "no device"},
    {"user", "your entry in [Ports]"},
    {"uart", "UART"},
    {"adapter", "assigned adapter"},
}};
static_assert(SourceNames.size() == size_t(TPortSource::Adapter) + 1);

} // namespace

QString SourceKey(TPortSource Source)
{
    return QString::fromLatin1(TableEntry(SourceNames, Source).Key);
}

QString SourceText(TPortSource Source)
{
    return QString::fromLatin1(TableEntry(SourceNames, Source).Text);
}

TPortInventory TakePortInventory(TSettingsStore &Store, const TPortScanRoots &Roots)
{
    TPortMap map(Store, Roots);
    TPortInventory inventory;
    inventory.StoreError = map.TryAssignAdapters();
    inventory.StoredPort = StoredPortNumber(Store);
    inventory.Store = StoredPortLocation(Store);
    inventory.Ports = PortRows(map, inventory.StoredPort);
    if (SystemNumbersPorts)
        return inventory;
    inventory.AdapterFolder = map.Roots().ById;
    inventory.Adapters = AdapterRows(map);
    for (int32_t n : map.UartNumbers())
        inventory.Uarts.push_back({n, ProbePort(map.UartPath(n))});
    inventory.ModemManagerRunning = ProcessRunning(QStringLiteral("ModemManager"));
    if (!inventory.ModemManagerRunning)
        return inventory;
    for (const TInventoryAdapter &row : inventory.Adapters) {
        if (!row.Present || row.Udev.MmIgnored)
            continue;
        inventory.Unmarked << row.Path;
        const QString rule = ModemManagerRule(row.Udev);
        if (!rule.isEmpty() && !inventory.ModemManagerRules.contains(rule))
            inventory.ModemManagerRules << rule;
    }
    return inventory;
}

// "shown -> target (why): whether it opens"
QString ProbeText(const TPortProbe &probe, const QString &shown, const QString &why)
{
    QString text = probe.Target.isEmpty() ? shown : shown + QStringLiteral(" -> ") + probe.Target;
    if (!why.isEmpty())
        text += QStringLiteral(" (%1)").arg(why);
    return text + QStringLiteral(": ") + DescribeAccess(probe);
}

QString PortText(const TInventoryPort &Row)
{
    if (Row.Port.Path.isEmpty())
        return QStringLiteral("no device");
    if (!SystemNumbersPorts)
        return ProbeText(Row.Probe, Row.Port.Path, SourceText(Row.Port.Source));
    if (Row.Port.FriendlyName.isEmpty())
        return DescribeAccess(Row.Probe);
    return Row.Port.FriendlyName + QStringLiteral(": ") + DescribeAccess(Row.Probe);
}
