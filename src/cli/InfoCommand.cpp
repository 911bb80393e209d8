#include "cli/CliCommand.h"
#include "cli/CliLink.h"
#include "cli/RecordViews.h"

bool TCliContext::ReadDeviceInfo(TCliLink &Link, TDeviceInfo &Info, int &Exit) const
{
    if (!OpenLink(Link, Exit))
        return false;
    if (!Link.ReadInfo(&Info, sizeof Info)) {
        Exit = DeviceFailure(Link);
        return false;
    }
    // As in the program, the last good record is the one DeviceInfo holds
    // (the update time is shown from it).
    DeviceInfo = Info;
    return true;
}

int RunInfo(TCliContext &Context)
{
    TCliLink link;
    TDeviceInfo info{};
    int exit = CliExitOk;
    if (!Context.ReadDeviceInfo(link, info, exit))
        return exit;
    if (Context.Out.Json()) {
        QJsonObject object = InfoJson(info);
        object.insert(QStringLiteral("port"), link.PortName());
        Context.Out.JsonLine(object);
    } else {
        Context.Out.Line(FieldLines(InfoFields(info)));
    }
    return CliExitOk;
}
