#include "platform/serial/ComPort.h"

#include "platform/serial/PortMap.h"
#include "platform/store/SettingsStore.h"

QString ComPortPath(const QString &PortName)
{
    TSettingsStore store(TSettingsStore::DefaultPath());
    return PortDevicePath(PortName, store);
}
