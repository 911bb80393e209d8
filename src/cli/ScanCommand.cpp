#include "cli/CliCommand.h"
#include "device/ComUnit.h"
#include "fleet/PortScan.h"
#include "platform/serial/PortMap.h"
#include "platform/store/SettingsStore.h"

#include <QJsonArray>
#include <QJsonValue>

namespace {

QJsonObject PortJson(const TScannedPort &port)
{
    QJsonObject object{{QStringLiteral("name"), port.Choice.Name},
                       {QStringLiteral("path"), port.Choice.Path.isEmpty() ? QJsonValue() : port.Choice.Path},
                       {QStringLiteral("answered"), port.Answered}};
    if (!port.Answered) {
        object.insert(QStringLiteral("why"), port.Why);
        return object;
    }
    object.insert(QStringLiteral("type"),
                  QJsonObject{{QStringLiteral("code"), port.Info.DeviceType},
                              {QStringLiteral("name"), DeviceTypeName(port.Info.DeviceType)}});
    object.insert(QStringLiteral("serialNumber"), RecordText(port.Info.SerialNo, sizeof port.Info.SerialNo));
    return object;
}

QString PortLine(const TScannedPort &port)
{
    QString line = QStringLiteral("%1  %2: ")
                       .arg(port.Choice.Name, -5)
                       .arg(port.Choice.Path.isEmpty() ? QStringLiteral("-") : port.Choice.Path);
    if (!port.Answered)
        return line + port.Why;
    const QString type = DeviceTypeName(port.Info.DeviceType);
    return line + QStringLiteral("type %1%2, serial number %3")
                      .arg(port.Info.DeviceType)
                      .arg(type.isEmpty() ? QString() : QLatin1Char(' ') + type,
                           RecordText(port.Info.SerialNo, sizeof port.Info.SerialNo));
}

} // namespace

int RunScan(TCliContext &Context)
{
    QStringList specs = Context.Args.Operands;
    if (specs.isEmpty() && Context.Global.PortGiven)
        specs << Context.Global.Port;
    TSettingsStore store(TSettingsStore::DefaultPath());
    std::vector<TPortChoice> targets;
    QString error;
    if (!ScanTargets(specs, store, TPortScanRoots::FromEnvironment(), targets, error))
        return Context.Usage(error);
    if (targets.empty()) {
        Context.Out.ErrorLine(QStringLiteral("no port resolves to a device; see 'lumora-cli ports'"));
        return CliExitDevice;
    }

    bool any = false;
    QJsonArray array;
    for (const TScannedPort &port : ScanPorts(targets)) {
        any = any || port.Answered;
        if (Context.Out.Json())
            array.append(PortJson(port));
        else
            Context.Out.Line(PortLine(port));
    }
    if (Context.Out.Json())
        Context.Out.JsonLine(QJsonObject{{QStringLiteral("ports"), array}});
    return any ? CliExitOk : CliExitDevice;
}
