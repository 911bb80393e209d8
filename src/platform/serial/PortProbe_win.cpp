#include "platform/serial/PortProbe.h"

#include "platform/store/RegKey_win.h"

TPortProbe ProbePort(const QString &path)
{
    TPortProbe probe;
    probe.Path = path;
    // Opened as the link opens it: read/write, not shared.
    const HANDLE handle = CreateFileW(path.toStdWString().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        probe.Detail = WindowsErrorText(error);
        switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            probe.Access = TPortAccess::Missing;
            break;
        // A COM port another program has open refuses with "access denied".
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            probe.Access = TPortAccess::Busy;
            break;
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_NOT_READY:
            probe.Access = TPortAccess::NoHardware;
            break;
        default:
            probe.Access = TPortAccess::Failed;
            break;
        }
        return probe;
    }
    probe.Access = GetFileType(handle) == FILE_TYPE_CHAR ? TPortAccess::Ok : TPortAccess::NotCharDevice;
    CloseHandle(handle);
    return probe;
}
