#pragma once

#include <QString>

namespace lumora::test {

// Points XDG_CONFIG_HOME and XDG_RUNTIME_DIR at fresh private folders so that
// no test ever reads or writes the user's own settings store. Called by both
// test mains before any test runs.
void IsolateEnvironment();

// The folder XDG_CONFIG_HOME points at for this test process.
QString ConfigHome();

// The tree of serial devices (LUMORA_PORT_ROOT) the code under test sees:
// dev/serial/by-id, sys/class/tty, dev, run/udev/data below it.
QString PortRoot();

// Removes the settings store file (and its folder's other files) and the
// tree of serial devices, so that a test starts from "nothing stored" and no
// ports.
void ResetConfigHome();

} // namespace lumora::test
