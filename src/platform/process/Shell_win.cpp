#include "platform/process/Shell.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

bool ShellOpen(const QString &Target, uintptr_t OwnerWindow, int ShowCommand)
{
    const std::wstring target = Target.toStdWString();
    ShellExecuteW(reinterpret_cast<HWND>(OwnerWindow), L"Open", target.c_str(), nullptr, L"", ShowCommand);
    return true;
}

int ShellTaskbarHeight()
{
    APPBARDATA bar{};
    bar.cbSize = sizeof bar;
    bar.hWnd = FindWindowA("Shell_TrayWnd", nullptr);
    // No taskbar (a shell without one, as under Wine without its desktop)
    // takes nothing from the screen.
    if (bar.hWnd == nullptr || !SHAppBarMessage(ABM_GETTASKBARPOS, &bar))
        return 0;
    const long height = bar.rc.bottom - bar.rc.top;
    const auto state = UINT(SHAppBarMessage(ABM_GETSTATE, &bar));
    if ((state & ABS_AUTOHIDE) != 0 || height == 4)
        return 0;
    return int(std::max(height - 2, 0L));
}
