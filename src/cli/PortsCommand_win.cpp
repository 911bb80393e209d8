#include "cli/CliCommand.h"
#include "fleet/FleetLink.h"
#include "platform/serial/ComPort.h"
#include "platform/serial/PortProbe.h"
#include "platform/serial/SystemPorts_win.h"

#include <QJsonArray>
#include <QJsonValue>

#include <algorithm>

// `ports` on Windows: the ports Windows lists, each with the adapter's name
// where the device manager has one and whether it can be opened; the stored
// port always, also when Windows does not list it.

namespace {

struct TPortRow {
    TSystemPort Port;
    TPortProbe Probe;
};

std::vector<TPortRow> PortRows(int32_t stored)
{
    std::vector<TPortRow> rows;
    for (const TSystemPort &port : SystemPorts())
        rows.push_back({port, ProbePort(ComPortPath(port.Name))});
    const bool listed =
        std::any_of(rows.begin(), rows.end(), [&](const TPortRow &row) { return row.Port.Number == stored; });
    if (!listed && stored >= 1) {
        const QString name = QStringLiteral("COM%1").arg(stored);
        rows.push_back({{stored, name, {}}, ProbePort(ComPortPath(name))});
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TPortRow &a, const TPortRow &b) { return a.Port.Number < b.Port.Number; });
    }
    return rows;
}

} // namespace

int RunPorts(TCliContext &Context)
{
    TFleetLink link;
    const int32_t stored = link.GetPortNumber();
    const std::vector<TPortRow> rows = PortRows(stored);
    const QString store = QStringLiteral("HKEY_CURRENT_USER\\ComSetup.INI\\COMSetup");
    if (Context.Out.Json()) {
        QJsonArray ports;
        for (const TPortRow &row : rows) {
            ports.append(QJsonObject{
                {QStringLiteral("name"), row.Port.Name},
                {QStringLiteral("path"), row.Probe.Path},
                {QStringLiteral("friendlyName"),
                 row.Port.FriendlyName.isEmpty() ? QJsonValue() : QJsonValue(row.Port.FriendlyName)},
                {QStringLiteral("access"), AccessKey(row.Probe.Access)},
                {QStringLiteral("detail"), DescribeAccess(row.Probe)}});
        }
        Context.Out.JsonLine(QJsonObject{{QStringLiteral("store"), store},
                                         {QStringLiteral("storedPort"), stored},
                                         {QStringLiteral("ports"), ports}});
        return CliExitOk;
    }
    Context.Out.Line(QStringLiteral("Ports (stored port COM%1, settings store %2):").arg(stored).arg(store));
    if (rows.empty())
        Context.Out.Line(QStringLiteral("  none found"));
    for (const TPortRow &row : rows) {
        QString line = QStringLiteral("  %1  ").arg(row.Port.Name, -5);
        if (!row.Port.FriendlyName.isEmpty())
            line += row.Port.FriendlyName + QStringLiteral(": ");
        Context.Out.Line(line + DescribeAccess(row.Probe));
    }
    return CliExitOk;
}
