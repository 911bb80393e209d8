#include "platform/serial/SystemPorts_win.h"

#include "platform/serial/ComNumber.h"
#include "platform/store/RegKey_win.h"

// clang-format off
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

#include <QHash>

#include <algorithm>

namespace {

// "COM3" -> "USB Serial Port (COM3)" for the devices of the Ports class
// present now.
QHash<QString, QString> FriendlyNames()
{
    QHash<QString, QString> names;
    const HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return names;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        wchar_t port[64] = {};
        DWORD bytes = sizeof port - sizeof(wchar_t);
        DWORD type = 0;
        const bool named = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE *>(port),
                                            &bytes) == ERROR_SUCCESS &&
                           type == REG_SZ;
        RegCloseKey(key);
        wchar_t friendly[256] = {};
        if (named && SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                                       reinterpret_cast<BYTE *>(friendly),
                                                       sizeof friendly - sizeof(wchar_t), nullptr))
            names.insert(QString::fromWCharArray(port).toUpper(), QString::fromWCharArray(friendly));
    }
    SetupDiDestroyDeviceInfoList(devices);
    return names;
}

} // namespace

std::vector<TSystemPort> SystemPorts()
{
    std::vector<TSystemPort> ports;
    TRegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, QStringLiteral("HARDWARE\\DEVICEMAP\\SERIALCOMM")))
        return ports;
    const QHash<QString, QString> friendly = FriendlyNames();
    for (const auto &value : key.StringValues()) {
        const QString name = value.second.trimmed().toUpper();
        const int32_t number = ComNumber(name);
        const bool listed =
            std::any_of(ports.begin(), ports.end(), [&](const TSystemPort &p) { return p.Number == number; });
        if (number >= 1 && !listed)
            ports.push_back({number, name, friendly.value(name)});
    }
    std::sort(ports.begin(), ports.end(),
              [](const TSystemPort &a, const TSystemPort &b) { return a.Number < b.Number; });
    return ports;
}
