#pragma once

#include <QStringList>

// The program after the application object exists: the skin unit's start-up
// step, the application title, the main window (which opens the stored port
// and reads the device before it is first shown), then the message loop
// until the main window closes. With --commission [PLAN] [--port PORT] the
// commissioning window instead of the main window. Returns the program's
// exit status.
int RunProgram(const QStringList &Arguments);
