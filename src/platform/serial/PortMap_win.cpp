#include "platform/serial/PortMap.h"

#include "platform/serial/ComNumber.h"
#include "platform/serial/ComPort.h"
#include "platform/serial/SystemPorts_win.h"

// Windows numbers its ports itself: COMn is the port Windows lists under
// that name, nothing is mapped or assigned, and there are no folders to
// scan.

const QString TPortMap::AdapterSection = QStringLiteral("Adapters");
const QString TPortMap::UserSection = QStringLiteral("Ports");

TPortScanRoots TPortScanRoots::FromEnvironment()
{
    return {};
}

TPortMap::TPortMap(TSettingsStore &Store, TPortScanRoots Roots) : FStore(Store), FRoots(std::move(Roots)) {}

void TPortMap::AssignAdapters() {}

QString TPortMap::TryAssignAdapters()
{
    return {};
}

TPortResolution TPortMap::Resolve(const QString &PortName) const
{
    const int32_t number = ComNumber(PortName);
    if (number < 1)
        return {PortName, {}, TPortSource::None, {}};
    const QString name = QStringLiteral("COM%1").arg(number);
    // A port Windows does not list may still open (some drivers do not
    // register theirs): the open says whether it exists.
    return {name, ComPortPath(name), TPortSource::Adapter, {}};
}

std::vector<TPortResolution> TPortMap::ResolveAll() const
{
    std::vector<TPortResolution> all;
    for (const TSystemPort &port : SystemPorts())
        all.push_back({port.Name, ComPortPath(port.Name), TPortSource::Adapter, port.FriendlyName});
    return all;
}

std::vector<TAdapterNumber> TPortMap::AdapterNumbers() const
{
    return {};
}

QString TPortMap::UartPath(int32_t Number) const
{
    Q_UNUSED(Number);
    return {};
}

QString PortDevicePath(const QString &PortName, TSettingsStore &Store, const TPortScanRoots &Roots)
{
    return TPortMap(Store, Roots).Resolve(PortName).Path;
}
