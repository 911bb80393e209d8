#include "cli/CliCommand.h"
#include "cli/CliLink.h"
#include "cli/RecordViews.h"

int RunInfo(TCliContext &Context)
{
    TCliLink link;
    int exit = CliExitOk;
    if (!Context.OpenLink(link, exit))
        return exit;
    TDeviceInfo info{};
    if (!link.ReadInfo(&info, sizeof info))
        return Context.DeviceFailure(link);
    // As in the program, the last good record is the one DeviceInfo holds
    // (the update time is shown from it).
    DeviceInfo = info;
    if (Context.Out.Json()) {
        QJsonObject object = InfoJson(info);
        object.insert(QStringLiteral("port"), link.PortName());
        Context.Out.JsonLine(object);
    } else {
        Context.Out.Line(FieldLines(InfoFields(info)));
    }
    return CliExitOk;
}
