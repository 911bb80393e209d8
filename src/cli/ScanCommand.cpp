#include "cli/CliCommand.h"
#include "fleet/FleetLink.h"
#include "fleet/RecordViews.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/PortProbe.h"
#include "platform/store/SettingsStore.h"

#include <QJsonArray>
#include <QJsonValue>

#include <thread>
#include <vector>

namespace {

struct TScanTarget {
    TPortChoice Choice;
    bool Opened = false;
    bool Answered = false;
    TDeviceInfo Info{};
    QString Why; // why the port did not answer
};

// Opens the port and sends the information request, nothing else.
void Ask(TScanTarget &target)
{
    if (target.Choice.Path.isEmpty())
        return;
    TFleetLink link;
    target.Opened = link.OpenChoice(target.Choice);
    if (target.Opened) {
        target.Answered = link.ReadInfo(&target.Info, sizeof target.Info);
        if (!target.Answered)
            target.Why = QStringLiteral("no answer (%1)").arg(link.Status().Text());
    }
}

QString CannotOpen(const TScanTarget &target)
{
    if (target.Choice.Path.isEmpty())
        return QStringLiteral("no device");
    return QStringLiteral("cannot be opened: %1").arg(DescribeAccess(ProbePort(target.Choice.Path)));
}

} // namespace

int RunScan(TCliContext &Context)
{
    std::vector<TScanTarget> targets;
    QStringList specs = Context.Args.Operands;
    if (specs.isEmpty() && Context.Global.PortGiven)
        specs << Context.Global.Port;
    for (const QString &spec : std::as_const(specs)) {
        TScanTarget target;
        QString error;
        if (!ResolvePortChoice(spec, target.Choice, error))
            return Context.Usage(error);
        targets.push_back(target);
    }
    if (specs.isEmpty()) {
        TSettingsStore store(TSettingsStore::DefaultPath());
        for (const TPortResolution &port : TPortMap(store).ResolveAll()) {
            TScanTarget target;
            target.Choice = {port.Name, port.Path};
            targets.push_back(target);
        }
    }
    if (targets.empty()) {
        Context.Out.ErrorLine(
            QStringLiteral("lumora-cli: no port resolves to a device; see 'lumora-cli ports'"));
        return CliExitDevice;
    }

    // Every port at once: each exchange waits on its own line.
    std::vector<std::thread> threads;
    threads.reserve(targets.size());
    for (TScanTarget &target : targets)
        threads.emplace_back(Ask, std::ref(target));
    for (std::thread &t : threads)
        t.join();

    bool any = false;
    QJsonArray array;
    for (TScanTarget &target : targets) {
        any = any || target.Answered;
        if (!target.Opened)
            target.Why = CannotOpen(target);
        const QString type = DeviceTypeName(target.Info.DeviceType);
        const QString serial = RecordText(target.Info.SerialNo, sizeof target.Info.SerialNo);
        if (Context.Out.Json()) {
            QJsonObject object{
                {QStringLiteral("name"), target.Choice.Name},
                {QStringLiteral("path"), target.Choice.Path.isEmpty() ? QJsonValue() : target.Choice.Path},
                {QStringLiteral("answered"), target.Answered}};
            if (target.Answered) {
                object.insert(QStringLiteral("type"),
                              QJsonObject{{QStringLiteral("code"), target.Info.DeviceType},
                                          {QStringLiteral("name"), type}});
                object.insert(QStringLiteral("serialNumber"), serial);
            } else {
                object.insert(QStringLiteral("why"), target.Why);
            }
            array.append(object);
            continue;
        }
        QString line = QStringLiteral("%1  %2: ")
                           .arg(target.Choice.Name, -5)
                           .arg(target.Choice.Path.isEmpty() ? QStringLiteral("-") : target.Choice.Path);
        if (target.Answered)
            line += QStringLiteral("type %1%2, serial number %3")
                        .arg(target.Info.DeviceType)
                        .arg(type.isEmpty() ? QString() : QLatin1Char(' ') + type, serial);
        else
            line += target.Why;
        Context.Out.Line(line);
    }
    if (Context.Out.Json())
        Context.Out.JsonLine(QJsonObject{{QStringLiteral("ports"), array}});
    return any ? CliExitOk : CliExitDevice;
}
