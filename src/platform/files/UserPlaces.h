#pragma once

#include <QString>

// Where the program keeps what it records for the user, and who the user
// is.

// The folder of the program's records (the commissioning journal):
// ${XDG_STATE_HOME:-$HOME/.local/state}/lumora on Linux, %LOCALAPPDATA%\Lumora
// on Windows. It need not exist yet.
QString UserStateFolder();

// The user's login name.
QString LoginName();
