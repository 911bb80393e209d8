#pragma once

#include <QString>

#include <cstdint>

// The system shell, where the platform has one the program talks to.

// Show commands of the shell's open request.
inline constexpr int ShellHide = 0; // SW_HIDE
inline constexpr int ShellShow = 5; // SW_SHOW

// Asks the shell to perform the verb "Open" on Target (a web address, or a
// file name looked for in the current directory), with OwnerWindow as the
// owner (0 for none), no parameters, an empty working directory and
// ShowCommand. The shell's answer is not examined. Returns false where the
// platform has no such shell (the caller then opens Target through the
// desktop's own services).
bool ShellOpen(const QString &Target, uintptr_t OwnerWindow, int ShowCommand);

// The pixels the shell's taskbar takes from the bottom of the primary
// screen: 0 when it hides itself or is a 4-pixel strip, else its height less
// 2. Negative where the platform has no such shell (the caller then reads
// the screen's reserved strip).
int ShellTaskbarHeight();
