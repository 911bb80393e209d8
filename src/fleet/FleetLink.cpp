#include "fleet/FleetLink.h"

bool TFleetLink::OpenChoice(const TPortChoice &Choice)
{
    FPortName = Choice.Name;
    FDevicePath = Choice.Path;
    if (!OpenDevice(Choice.Path))
        return false;
    if (FHandle.IsSerialLine())
        return true;
    // Requests written to it would vanish and no reply would ever come: say
    // what it is rather than let every exchange time out.
    ClosePort();
    ShowError(QStringLiteral("%1 is not a serial device").arg(Choice.Path));
    return false;
}

bool TFleetLink::OpenByName(const QString &Spec, QString &Error)
{
    TPortChoice choice;
    Error.clear();
    if (!ResolvePortChoice(FContext, Spec, choice, Error))
        return false;
    if (OpenChoice(choice))
        return true;
    Error = FStatus.Text();
    return false;
}
