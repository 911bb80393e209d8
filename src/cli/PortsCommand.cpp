#include "base/NameTable.h"
#include "cli/CliCommand.h"
#include "fleet/FleetLink.h"
#include "platform/serial/ComNumber.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/PortProbe.h"
#include "platform/serial/PortUsers.h"
#include "platform/store/SettingsStore.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonValue>

#include <algorithm>

namespace {

struct TPortRow {
    TPortResolution Port;
    TPortProbe Probe; // Path empty when the name leads to no device
};

struct TAdapterRow {
    QString Path;
    int32_t Number = 0; // 0: not numbered
    bool Present = false;
    bool Shadowed = false;
    TPortProbe Probe;
    TAdapterUdev Udev;
};

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

QString SourceKey(TPortSource source)
{
    return QString::fromLatin1(TableEntry(SourceNames, source).Key);
}

QString SourceText(TPortSource source)
{
    return QString::fromLatin1(TableEntry(SourceNames, source).Text);
}

QJsonObject ProbeJson(const TPortProbe &probe)
{
    QJsonObject object{{QStringLiteral("path"), probe.Path},
                       {QStringLiteral("target"), probe.Target.isEmpty() ? QJsonValue() : probe.Target},
                       {QStringLiteral("access"), AccessKey(probe.Access)},
                       {QStringLiteral("detail"), DescribeAccess(probe)}};
    if (probe.Access == TPortAccess::PermissionDenied) {
        object.insert(QStringLiteral("group"), probe.Group);
        const QString advice = GroupAdvice(probe);
        object.insert(QStringLiteral("advice"), advice.isEmpty() ? QJsonValue() : advice);
    }
    if (!probe.Holders.isEmpty())
        object.insert(QStringLiteral("holders"), QJsonArray::fromStringList(probe.Holders));
    return object;
}

// "shown -> target (why): whether it opens"
QString ProbeText(const TPortProbe &probe, const QString &shown, const QString &why = QString())
{
    QString text = probe.Target.isEmpty() ? shown : shown + QStringLiteral(" -> ") + probe.Target;
    if (!why.isEmpty())
        text += QStringLiteral(" (%1)").arg(why);
    return text + QStringLiteral(": ") + DescribeAccess(probe);
}

QString NumberColumn(int32_t number)
{
    return QStringLiteral("  %1  ").arg(
        number > 0 ? QStringLiteral("COM%1").arg(number) : QStringLiteral("--"), -4);
}

std::vector<TPortRow> PortRows(const TPortMap &map, int32_t stored)
{
    std::vector<TPortRow> rows;
    const QString storedName = QStringLiteral("COM%1").arg(stored);
    bool storedListed = false;
    for (const TPortResolution &port : map.ResolveAll()) {
        storedListed = storedListed || port.Name == storedName;
        rows.push_back({port, ProbePort(port.Path)});
    }
    // The stored port is always shown, also when it leads nowhere.
    if (!storedListed) {
        TPortRow row{map.Resolve(storedName), {}};
        if (!row.Port.Path.isEmpty())
            row.Probe = ProbePort(row.Port.Path);
        rows.push_back(row);
        std::stable_sort(rows.begin(), rows.end(), [](const TPortRow &a, const TPortRow &b) {
            return ComNumber(a.Port.Name) < ComNumber(b.Port.Name);
        });
    }
    return rows;
}

std::vector<TAdapterRow> AdapterRows(const TPortMap &map)
{
    std::vector<TAdapterRow> rows;
    for (const TAdapterNumber &a : map.AdapterNumbers())
        rows.push_back({a.Path, a.Number, a.Present, a.Shadowed, {}, {}});
    for (const QString &path : map.PresentAdapters()) {
        const bool numbered = std::any_of(rows.begin(), rows.end(), [&](const TAdapterRow &r) {
            return r.Path.compare(path, Qt::CaseInsensitive) == 0;
        });
        if (!numbered)
            rows.push_back({path, 0, true, false, {}, {}});
    }
    for (TAdapterRow &row : rows) {
        if (row.Present) {
            row.Probe = ProbePort(row.Path);
            row.Udev = AdapterUdev(row.Path, map.Roots());
        }
    }
    return rows;
}

QString AdapterText(const TAdapterRow &row)
{
    const QString name = QFileInfo(row.Path).fileName();
    if (!row.Present)
        return name + QStringLiteral(": unplugged, keeps its number");
    QString text = ProbeText(row.Probe, name);
    if (row.Number == 0)
        text += QStringLiteral("; no number (pin it with 'lumora-cli port map COMn PATH')");
    else if (row.Shadowed)
        text += QStringLiteral("; COM%1 now leads elsewhere, reach it by its path or map it").arg(row.Number);
    return text;
}

// The udev rules that keep a running ModemManager away from the adapters
// present that udev does not already mark.
QStringList ModemManagerAdvice(const std::vector<TAdapterRow> &adapters, QStringList &unmarked)
{
    QStringList rules;
    for (const TAdapterRow &row : adapters) {
        if (!row.Present || row.Udev.MmIgnored)
            continue;
        unmarked << row.Path;
        const QString rule = ModemManagerRule(row.Udev);
        if (!rule.isEmpty() && !rules.contains(rule))
            rules << rule;
    }
    return rules;
}

const QString RulesFile = QStringLiteral("/etc/udev/rules.d/99-lumora-serial.rules");

} // namespace

int RunPorts(TCliContext &Context)
{
    TSettingsStore store(TSettingsStore::DefaultPath());
    TPortMap map(store);
    const QString storeError = map.TryAssignAdapters();
    if (!storeError.isEmpty())
        Context.Out.ErrorLine(QStringLiteral("lumora-cli: new adapters not numbered: %1").arg(storeError));
    TFleetLink link;
    const int32_t stored = link.GetPortNumber();

    const std::vector<TPortRow> ports = PortRows(map, stored);
    const std::vector<TAdapterRow> adapters = AdapterRows(map);
    std::vector<TPortProbe> uarts;
    for (int32_t n : map.UartNumbers())
        uarts.push_back(ProbePort(map.UartPath(n)));
    const bool mmRunning = ProcessRunning(QStringLiteral("ModemManager"));
    QStringList unmarked;
    const QStringList rules = mmRunning ? ModemManagerAdvice(adapters, unmarked) : QStringList();

    if (Context.Out.Json()) {
        QJsonArray portArray;
        for (const TPortRow &row : ports) {
            QJsonObject object =
                row.Port.Path.isEmpty()
                    ? QJsonObject{{QStringLiteral("path"), QJsonValue()},
                                  {QStringLiteral("access"), AccessKey(TPortAccess::Missing)},
                                  {QStringLiteral("detail"), QStringLiteral("no device")}}
                    : ProbeJson(row.Probe);
            object.insert(QStringLiteral("name"), row.Port.Name);
            object.insert(QStringLiteral("source"), SourceKey(row.Port.Source));
            portArray.append(object);
        }
        QJsonArray adapterArray;
        for (const TAdapterRow &row : adapters) {
            QJsonObject object =
                row.Present ? ProbeJson(row.Probe) : QJsonObject{{QStringLiteral("path"), row.Path}};
            object.insert(QStringLiteral("number"), row.Number > 0 ? QJsonValue(row.Number) : QJsonValue());
            object.insert(QStringLiteral("present"), row.Present);
            object.insert(QStringLiteral("shadowed"), row.Shadowed);
            object.insert(QStringLiteral("modemManagerIgnores"), row.Udev.MmIgnored);
            adapterArray.append(object);
        }
        QJsonArray uartArray;
        for (size_t i = 0; i < uarts.size(); ++i) {
            QJsonObject object = ProbeJson(uarts[i]);
            object.insert(QStringLiteral("number"), map.UartNumbers()[i]);
            uartArray.append(object);
        }
        Context.Out.JsonLine(
            QJsonObject{{QStringLiteral("store"), store.FilePath()},
                        {QStringLiteral("storedPort"), stored},
                        {QStringLiteral("ports"), portArray},
                        {QStringLiteral("adapters"), adapterArray},
                        {QStringLiteral("uarts"), uartArray},
                        {QStringLiteral("modemManager"),
                         QJsonObject{{QStringLiteral("running"), mmRunning},
                                     {QStringLiteral("unmarked"), QJsonArray::fromStringList(unmarked)},
                                     {QStringLiteral("rules"), QJsonArray::fromStringList(rules)}}}});
        return CliExitOk;
    }

    TCliOutput &out = Context.Out;
    out.Line(
        QStringLiteral("Ports (stored port COM%1, settings store %2):").arg(stored).arg(store.FilePath()));
    for (const TPortRow &row : ports) {
        QString line = QStringLiteral("  %1  ").arg(row.Port.Name, -4);
        if (row.Port.Path.isEmpty())
            line += QStringLiteral("no device");
        else
            line += ProbeText(row.Probe, row.Port.Path, SourceText(row.Port.Source));
        out.Line(line);
    }
    out.Line(QString());
    out.Line(QStringLiteral("Adapters (%1):").arg(map.Roots().ById));
    if (adapters.empty())
        out.Line(QStringLiteral("  none found"));
    for (const TAdapterRow &row : adapters)
        out.Line(NumberColumn(row.Number) + AdapterText(row));
    out.Line(QStringLiteral("UARTs:"));
    if (uarts.empty())
        out.Line(QStringLiteral("  none found"));
    for (size_t i = 0; i < uarts.size(); ++i)
        out.Line(NumberColumn(map.UartNumbers()[i]) + ProbeText(uarts[i], uarts[i].Path));
    if (!unmarked.isEmpty()) {
        out.Line(QString());
        out.Line(QStringLiteral(
                     "ModemManager is running and probes new USB serial adapters with AT commands, which\n"
                     "can hold or garble the line for several seconds: %1.")
                     .arg(unmarked.join(QStringLiteral(", "))));
        if (rules.isEmpty()) {
            out.Line(QStringLiteral("Their USB vendor and product ids are unknown; stop it with "
                                    "'sudo systemctl stop ModemManager' while you work."));
        } else {
            out.Line(QStringLiteral("To keep it away, put these lines in %1\nand run 'sudo udevadm control "
                                    "--reload', then plug the adapter in again:")
                         .arg(RulesFile));
            for (const QString &rule : rules)
                out.Line(QStringLiteral("  ") + rule);
        }
    }
    return CliExitOk;
}
