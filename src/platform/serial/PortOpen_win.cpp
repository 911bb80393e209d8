#include "platform/serial/PortOpen.h"

#include <windows.h>

TPortOpening OpenHeldPort(const QString &Path)
{
    TPortOpening opening;
    // Not shared: a second opener, here or in another program, is refused
    // (with "access denied" for a COM port).
    const HANDLE handle = CreateFileA(Path.toLocal8Bit().constData(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        opening.SystemError = uint32_t(GetLastError());
        return opening;
    }
    if (GetFileType(handle) != FILE_TYPE_CHAR) {
        CloseHandle(handle);
        opening.Failure = TPortOpenFailure::NotCharDevice;
        return opening;
    }
    opening.Handle = handle;
    opening.Failure = TPortOpenFailure::None;
    return opening;
}
