// The checks behind a login, shared by the login window and batch mode:
// system permission of a badge number, the employee row, the stored password
// and the session facts read after a successful login.
#pragma once

#include <string>

namespace app {

// Whether the (upper-cased) badge number may use this system; the master user always may.
bool HasSystemPermission(const std::string& badgeNo);
// Opens the employee row of the badge number into the data module's general
// query; false when there is none.
bool FindEmployee(const std::string& badgeNo);
// Hospital identity, operator name and number, group level of the logged-in employee.
void LoadSessionInfo();
// The whole check without a window: empty on success (the session facts are
// loaded), else the message the login window would show.
std::string CheckLogin(const std::string& user, const std::string& password);

}  // namespace app
