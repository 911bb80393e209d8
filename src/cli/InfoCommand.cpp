#include "cli/CliCommand.h"
#include "fleet/FleetLink.h"
#include "fleet/RecordViews.h"

bool TCliContext::ReadDeviceInfo(TFleetLink &Link, TDeviceInfo &Info, int &Exit) const
{
    if (!OpenLink(Link, Exit))
        return false;
    if (!Link.ReadInfo(&Info, sizeof Info)) {
        Exit = DeviceFailure(Link);
        return false;
    }
    return true;
}

int RunInfo(TCliContext &Context)
{
    TFleetLink link(Context.Fleet);
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
