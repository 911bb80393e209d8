#include "platform/serial/PortProbe.h"

#include "platform/serial/PortOpen.h"
#include "platform/store/RegKey_win.h"

TPortProbe ProbePort(const QString &path)
{
    TPortProbe probe;
    probe.Path = path;
    // Opened as the link opens it, and closed again at once.
    const TPortOpening opening = OpenHeldPort(path);
    if (opening.Failure == TPortOpenFailure::System) {
        const DWORD error = opening.SystemError;
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
    if (opening.Ok())
        CloseHandle(opening.Handle);
    probe.Access = opening.Ok() ? TPortAccess::Ok : TPortAccess::NotCharDevice;
    return probe;
}
