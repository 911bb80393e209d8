#include "cli/CliCommand.h"
#include "fleet/FleetLink.h"
#include "fleet/Limits.h"
#include "fleet/RecordViews.h"

bool PrepareLimits(const TCliContext &Context, TFleetLink &Link, TLimits &Limits, int &DeviceType, int &Exit)
{
    DeviceType = 0;
    if (Context.Args.Has(QStringLiteral("limits"))) {
        QString error;
        if (!Limits.Load(Context.Args.Value(QStringLiteral("limits")), error)) {
            Context.Out.ErrorLine(error);
            Exit = CliExitUsage;
            return false;
        }
    }
    if (!Context.OpenLink(Link, Exit))
        return false;
    if (!Limits.NeedsType())
        return true;
    TDeviceInfo info{};
    if (!Link.ReadInfo(&info, sizeof info)) {
        Exit = Context.DeviceFailure(Link);
        return false;
    }
    DeviceType = info.DeviceType;
    return true;
}

int RunParams(TCliContext &Context)
{
    TFleetLink link(Context.Fleet);
    TLimits limits;
    int type = 0;
    int exit = CliExitOk;
    if (!PrepareLimits(Context, link, limits, type, exit))
        return exit;
    TDeviceParams params{};
    if (!link.ReadParams(&params, sizeof params))
        return Context.DeviceFailure(link);
    const QMap<QString, QString> alarms = limits.Check(params, type);
    if (Context.Out.Json())
        Context.Out.JsonLine(QJsonObject{{QStringLiteral("port"), link.PortName()},
                                         {QStringLiteral("params"), MarkedParamsJson(params, alarms)}});
    else
        Context.Out.Line(FieldLines(MarkedParamsFields(params, alarms)));
    return alarms.isEmpty() ? CliExitOk : CliExitLimits;
}
