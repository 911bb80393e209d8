#pragma once

#include <QStringList>

// The start of a console program: its arguments (without the program's
// name) as the user typed them, and a console that shows the program's
// UTF-8 output as text. On Linux the arguments are decoded from the locale's
// encoding and the terminal already reads UTF-8; on Windows
// (ConsoleProcess_win.cpp) they come from the wide command line, so no
// character is lost to the ANSI code page, and the console's output code
// page becomes UTF-8.
QStringList StartConsoleProcess(int argc, char **argv);

// Whether standard output is a terminal (a console on Windows), where a
// live line can be redrawn in place.
bool StandardOutputIsTerminal();
