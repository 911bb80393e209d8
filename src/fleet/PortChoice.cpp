#include "fleet/PortChoice.h"

#include "fleet/FleetLink.h"
#include "platform/serial/ComNumber.h"
#include "platform/serial/PortMap.h"
#include "platform/store/SettingsStore.h"

bool ParsePortNumber(const QString &Spec, int32_t &Number)
{
    const int32_t number = ComNumber(
        Spec.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) ? Spec : QStringLiteral("COM") + Spec);
    if (number < 0)
        return false;
    Number = number;
    return true;
}

bool ResolvePortChoice(const QString &Spec, TPortChoice &Choice, QString &Error)
{
    TSettingsStore store(TSettingsStore::DefaultPath());
    if (Spec.contains(QLatin1Char('/'))) {
        Choice = {Spec, Spec};
        return true;
    }
    int32_t number = 0;
    if (Spec.isEmpty()) {
        TFleetStatus status;
        number = TCOMMan(&status).GetPortNumber();
    } else if (!ParsePortNumber(Spec, number)) {
        Error = QStringLiteral("invalid port '%1': give COMn, a port number or a device path").arg(Spec);
        return false;
    } else if (number < 1) {
        Error = QStringLiteral("invalid port '%1': port numbers start at 1").arg(Spec);
        return false;
    }
    Choice.Name = QStringLiteral("COM%1").arg(number);
    Choice.Path = PortDevicePath(Choice.Name, store);
    return true;
}
