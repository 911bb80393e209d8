#include "platform/serial/ComNumber.h"

#include "base/IntConv.h"

#include <QString>

int32_t ComNumber(QStringView PortName)
{
    if (!PortName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) || PortName.size() == 3)
        return -1;
    const QStringView digits = PortName.sliced(3);
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    int32_t number = -1;
    return TryStrToInt(digits, number) ? number : -1;
}
