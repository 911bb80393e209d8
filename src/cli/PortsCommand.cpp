#include "cli/CliCommand.h"
#include "fleet/PortInventory.h"
#include "platform/store/SettingsStore.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonValue>

namespace {

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

QString NumberColumn(int32_t number)
{
    return QStringLiteral("  %1  ").arg(
        number > 0 ? QStringLiteral("COM%1").arg(number) : QStringLiteral("--"), -4);
}

QString AdapterText(const TInventoryAdapter &row)
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

const QString RulesFile = QStringLiteral("/etc/udev/rules.d/99-lumora-serial.rules");

QJsonObject PortJson(const TInventoryPort &row)
{
    QJsonObject object = row.Port.Path.isEmpty()
                             ? QJsonObject{{QStringLiteral("path"), QJsonValue()},
                                           {QStringLiteral("access"), AccessKey(TPortAccess::Missing)},
                                           {QStringLiteral("detail"), QStringLiteral("no device")}}
                             : ProbeJson(row.Probe);
    object.insert(QStringLiteral("name"), row.Port.Name);
    object.insert(QStringLiteral("source"), SourceKey(row.Port.Source));
    return object;
}

QJsonObject InventoryJson(const TPortInventory &inventory)
{
    QJsonArray portArray;
    for (const TInventoryPort &row : inventory.Ports)
        portArray.append(PortJson(row));
    QJsonArray adapterArray;
    for (const TInventoryAdapter &row : inventory.Adapters) {
        QJsonObject object =
            row.Present ? ProbeJson(row.Probe) : QJsonObject{{QStringLiteral("path"), row.Path}};
        object.insert(QStringLiteral("number"), row.Number > 0 ? QJsonValue(row.Number) : QJsonValue());
        object.insert(QStringLiteral("present"), row.Present);
        object.insert(QStringLiteral("shadowed"), row.Shadowed);
        object.insert(QStringLiteral("modemManagerIgnores"), row.Udev.MmIgnored);
        adapterArray.append(object);
    }
    QJsonArray uartArray;
    for (const TInventoryUart &uart : inventory.Uarts) {
        QJsonObject object = ProbeJson(uart.Probe);
        object.insert(QStringLiteral("number"), uart.Number);
        uartArray.append(object);
    }
    return QJsonObject{
        {QStringLiteral("store"), inventory.Store},
        {QStringLiteral("storedPort"), inventory.StoredPort},
        {QStringLiteral("ports"), portArray},
        {QStringLiteral("adapters"), adapterArray},
        {QStringLiteral("uarts"), uartArray},
        {QStringLiteral("modemManager"),
         QJsonObject{{QStringLiteral("running"), inventory.ModemManagerRunning},
                     {QStringLiteral("unmarked"), QJsonArray::fromStringList(inventory.Unmarked)},
                     {QStringLiteral("rules"), QJsonArray::fromStringList(inventory.ModemManagerRules)}}}};
}

// Where the system numbers the ports: each with the adapter's name where
// the system has one.
QJsonObject SystemPortsJson(const TPortInventory &inventory)
{
    QJsonArray ports;
    for (const TInventoryPort &row : inventory.Ports) {
        ports.append(
            QJsonObject{{QStringLiteral("name"), row.Port.Name},
                        {QStringLiteral("path"), row.Probe.Path},
                        {QStringLiteral("friendlyName"),
                         row.Port.FriendlyName.isEmpty() ? QJsonValue() : QJsonValue(row.Port.FriendlyName)},
                        {QStringLiteral("access"), AccessKey(row.Probe.Access)},
                        {QStringLiteral("detail"),
                         row.Port.Path.isEmpty() ? QStringLiteral("no device") : DescribeAccess(row.Probe)}});
    }
    return QJsonObject{{QStringLiteral("store"), inventory.Store},
                       {QStringLiteral("storedPort"), inventory.StoredPort},
                       {QStringLiteral("ports"), ports}};
}

QString PortLine(const TInventoryPort &row)
{
    return QStringLiteral("  %1  ").arg(row.Port.Name, SystemNumbersPorts ? -5 : -4) + PortText(row);
}

void PrintModemManagerAdvice(TCliOutput &out, const TPortInventory &inventory)
{
    out.Line(QString());
    out.Line(
        QStringLiteral("ModemManager is running and probes new USB serial adapters with AT commands, which\n"
                       "can hold or garble the line for several seconds: %1.")
            .arg(inventory.Unmarked.join(QStringLiteral(", "))));
    if (inventory.ModemManagerRules.isEmpty()) {
        out.Line(QStringLiteral("Their USB vendor and product ids are unknown; stop it with "
                                "'sudo systemctl stop ModemManager' while you work."));
        return;
    }
    out.Line(QStringLiteral("To keep it away, put these lines in %1\nand run 'sudo udevadm control "
                            "--reload', then plug the adapter in again:")
                 .arg(RulesFile));
    for (const QString &rule : inventory.ModemManagerRules)
        out.Line(QStringLiteral("  ") + rule);
}

void PrintInventory(TCliOutput &out, const TPortInventory &inventory)
{
    out.Line(QStringLiteral("Ports (stored port COM%1, settings store %2):")
                 .arg(inventory.StoredPort)
                 .arg(inventory.Store));
    if (inventory.Ports.empty())
        out.Line(QStringLiteral("  none found"));
    for (const TInventoryPort &row : inventory.Ports)
        out.Line(PortLine(row));
    if (SystemNumbersPorts)
        return;
    out.Line(QString());
    out.Line(QStringLiteral("Adapters (%1):").arg(inventory.AdapterFolder));
    if (inventory.Adapters.empty())
        out.Line(QStringLiteral("  none found"));
    for (const TInventoryAdapter &row : inventory.Adapters)
        out.Line(NumberColumn(row.Number) + AdapterText(row));
    out.Line(QStringLiteral("UARTs:"));
    if (inventory.Uarts.empty())
        out.Line(QStringLiteral("  none found"));
    for (const TInventoryUart &uart : inventory.Uarts)
        out.Line(NumberColumn(uart.Number) + ProbeText(uart.Probe, uart.Probe.Path));
    if (!inventory.Unmarked.isEmpty())
        PrintModemManagerAdvice(out, inventory);
}

} // namespace

TCliCommand PortsCommand()
{
    if (SystemNumbersPorts)
        return {"ports",
                {},
                "list the COM ports Windows has, and whether they can be opened",
                "Shows the COM ports Windows lists (in the registry's SERIALCOMM list), with the\n"
                "name the device manager gives each adapter, and whether it can be opened: for a\n"
                "port in use, that another program holds it. The numbers are those Windows gives;\n"
                "the device manager changes them. The stored port is shown also when Windows does\n"
                "not list it.\n",
                {},
                0,
                RunPorts};
    return {"ports",
            {},
            "list the COM numbers, the adapters and UARTs, and whether they can be opened",
            "Shows every COMn that leads to a device and why: your entry in section [Ports]\n"
            "of the settings store, the UART ttyS<n-1>, or the USB adapter (a link in\n"
            "/dev/serial/by-id) assigned to n. Then the adapters, with their numbers, and the\n"
            "UARTs present, each with whether this user can open it; for a busy device the\n"
            "process holding it, for a permission failure the group to join. When\n"
            "ModemManager runs and may probe an adapter, gives the udev rule that keeps it\n"
            "away. An adapter seen for the first time gets the lowest free number and keeps\n"
            "it, as on Windows.\n",
            {},
            0,
            RunPorts};
}

QString JournalPlaceText()
{
    return SystemNumbersPorts ? QStringLiteral("%LOCALAPPDATA%\\Lumora\\journal.jsonl")
                              : QStringLiteral("${XDG_STATE_HOME:-~/.local/state}/lumora/journal.jsonl");
}

int RunPorts(TCliContext &Context)
{
    TSettingsStore store(TSettingsStore::DefaultPath());
    const TPortInventory inventory = TakePortInventory(store, TPortScanRoots::FromEnvironment());
    if (!inventory.StoreError.isEmpty())
        Context.Out.ErrorLine(QStringLiteral("new adapters not numbered: %1").arg(inventory.StoreError));
    if (Context.Out.Json())
        Context.Out.JsonLine(SystemNumbersPorts ? SystemPortsJson(inventory) : InventoryJson(inventory));
    else
        PrintInventory(Context.Out, inventory);
    return CliExitOk;
}
