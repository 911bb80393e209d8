#include "ComPort.h"

#include "PortMap.h"
#include "SettingsStore.h"

QString ComPortPath(const QString &PortName)
{
    TSettingsStore store(TSettingsStore::DefaultPath());
    return PortDevicePath(PortName, store);
}
