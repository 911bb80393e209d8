#include "platform/process/TerminalSize.h"

#include <QtGlobal>

#include <sys/ioctl.h>

int TerminalColumns(int Fd)
{
    winsize size{};
    if (::ioctl(Fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    bool ok = false;
    const int columns = qEnvironmentVariableIntValue("COLUMNS", &ok);
    return ok && columns > 0 ? columns : 0;
}
