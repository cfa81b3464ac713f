// Start-up after the process values are set: connection settings, data
// module, single-instance guard, login, main window and the message loop.
#pragma once

namespace app {

// Returns the process exit code.
int RunApplication();

}  // namespace app
