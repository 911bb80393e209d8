#include "PortMap.h"

#include "IntConv.h"
#include "SettingsStore.h"

QString PortDevicePath(const QString &PortName, const TSettingsStore &Store)
{
    if (const auto mapped = Store.ReadString(QStringLiteral("Ports"), PortName); mapped && !mapped->isEmpty())
        return *mapped;
    if (!PortName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return {};
    const QStringView digits = QStringView(PortName).sliced(3);
    // Only the plain decimal form "COM<n>" names a default device.
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return {};
    }
    int32_t number = 0;
    if (!TryStrToInt(digits, number) || number < 1)
        return {};
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}
