#include "fleet/PortChoice.h"

#include "device/ComUnit.h"
#include "fleet/FleetContext.h"
#include "platform/serial/ComNumber.h"
#include "platform/serial/PortMap.h"
#include "platform/store/SettingsStore.h"

bool ParsePortNumber(const QString &Spec, int32_t &Number)
{
    int32_t number = ComNumber(Spec);
    if (number < 0 && !Spec.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        number = ComNumber(QStringLiteral("COM") + Spec);
    if (number < 0)
        return false;
    Number = number;
    return true;
}

bool ResolvePortChoice(const TFleetContext &Context, const QString &Spec, TPortChoice &Choice, QString &Error)
{
    TSettingsStore store(Context.StorePath);
    if (Spec.contains(QLatin1Char('/'))) {
        Choice = {Spec, Spec};
        return true;
    }
    int32_t number = 0;
    if (Spec.isEmpty())
        number = StoredPortNumber(store);
    else if (!ParsePortNumber(Spec, number)) {
        Error = QStringLiteral("invalid port '%1': give COMn, a port number or a device path").arg(Spec);
        return false;
    } else if (number < 1) {
        Error = QStringLiteral("invalid port '%1': port numbers start at 1").arg(Spec);
        return false;
    }
    Choice.Name = QStringLiteral("COM%1").arg(number);
    Choice.Path = PortDevicePath(Choice.Name, store, Context.Roots);
    return true;
}
