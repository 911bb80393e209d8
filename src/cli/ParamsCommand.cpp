#include "cli/CliCommand.h"
#include "cli/CliLink.h"
#include "cli/RecordViews.h"

int RunParams(TCliContext &Context)
{
    TCliLink link;
    int exit = CliExitOk;
    if (!Context.OpenLink(link, exit))
        return exit;
    TDeviceParams params{};
    if (!link.ReadParams(&params, sizeof params))
        return Context.DeviceFailure(link);
    if (Context.Out.Json())
        Context.Out.JsonLine(QJsonObject{{QStringLiteral("port"), link.PortName()},
                                         {QStringLiteral("params"), ParamsJson(params)}});
    else
        Context.Out.Line(FieldLines(ParamsFields(params)));
    return CliExitOk;
}
