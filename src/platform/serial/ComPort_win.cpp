#include "platform/serial/ComPort.h"

QString ComPortPath(const QString &PortName)
{
    // Windows numbers its ports itself; the device namespace also reaches
    // COM10 and above, which the bare name does not.
    return QStringLiteral("\\\\.\\") + PortName;
}
