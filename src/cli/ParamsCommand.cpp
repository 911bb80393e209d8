#include "cli/CliCommand.h"
#include "cli/CliLink.h"
#include "cli/Limits.h"
#include "cli/RecordViews.h"

int RunParams(TCliContext &Context)
{
    TCliLink link;
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
