#include "platform/process/TerminalSize.h"

#include <QtGlobal>

#include <io.h>
#include <windows.h>

// The console's window behind the descriptor, else COLUMNS as on Linux.
int TerminalColumns(int Fd)
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(Fd));
    if (handle != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(handle, &info))
        return info.srWindow.Right - info.srWindow.Left + 1;
    bool ok = false;
    const int columns = qEnvironmentVariableIntValue("COLUMNS", &ok);
    return ok && columns > 0 ? columns : 0;
}
