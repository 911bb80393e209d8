#pragma once

#include <QString>

// Where the program keeps what it records for the user, and who the user
// is.

// The folder of the program's records (the commissioning journal):
// ${XDG_STATE_HOME:-$HOME/.local/state}/lumora on Linux, %LOCALAPPDATA%\Lumora
// on Windows. It need not exist yet, but the home folder it lies in must:
// with HOME unset, relative or naming no existing folder (and no absolute
// XDG_STATE_HOME), or no local application data folder on Windows, there is
// none, and the result is empty with Why (when given) saying so.
QString UserStateFolder(QString *Why = nullptr);

// The user's login name.
QString LoginName();
