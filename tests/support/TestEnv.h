#pragma once

#include <QString>

namespace lumora::test {

// Points XDG_CONFIG_HOME and XDG_RUNTIME_DIR at fresh private folders so that
// no test ever reads or writes the user's own settings store. Called by both
// test mains before any test runs.
void IsolateEnvironment();

// The folder XDG_CONFIG_HOME points at for this test process.
QString ConfigHome();

// Removes the settings store file (and its folder's other files) so that a
// test starts from "nothing stored".
void ResetConfigHome();

} // namespace lumora::test
