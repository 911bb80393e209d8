#include "platform/process/Shell.h"

// No system shell to talk to here: the desktop's services stand in for it.

bool ShellOpen(const QString &, uintptr_t, int)
{
    return false;
}

int ShellTaskbarHeight()
{
    return -1;
}
