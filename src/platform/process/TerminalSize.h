#pragma once

// The width in columns of the terminal behind descriptor Fd: what the
// terminal reports (TIOCGWINSZ), else the COLUMNS environment variable when
// it holds a positive number, else 0 (unknown). On Windows
// (TerminalSize_win.cpp) the console reports the width of its window.
int TerminalColumns(int Fd);
