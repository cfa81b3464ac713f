// Process-wide values of the application: this tool's title, formats and
// folders, the connection settings, the login results and the system
// parameter records loaded at login.
#pragma once

#include <array>
#include <string>

namespace platform {
class IniSettings;
}

namespace app {

inline constexpr const char* kAppTitle = "出院病人调查表";
inline constexpr const char* kMasterUser = "CHIEF";
// Registry key paths of the installation (sections of the settings file).
inline constexpr const char* kVelkKey = "\\SOFTWARE\\Nordvane\\VELK300";
inline constexpr const char* kWindowsKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

struct ConnectionSettings {
  std::string DatabaseName;
  std::string ServerName;
  std::string DbUserName;
  std::string DbPassword;
};

// Lookup key columns or captions per coded item; field 0 is the input method.
using TImeDefault = std::array<std::string, 26>;
// Dictionary defaults and a few numeric and yes/no settings.
using TDefaultData = std::array<std::string, 21>;

struct HisGlobals {
  std::string SystemNumber;
  std::string ExeDir;  // ends with "/"
  bool LoginOK = false;
  bool TerminateRequested = false;
  ConnectionSettings Connection;
  std::string HospitalName;
  std::string HospitalID;
  std::string UserBadgeNo;
  std::string UserPassword;
  std::string OperatorName;
  int EmployeeNo = 0;
  std::string BadgeNo;
  std::string GroupCode;
  std::string GroupLevel;
  TImeDefault LookupColumns;
  TImeDefault LookupCaptions;
  TDefaultData DictionaryDefaults;
};

HisGlobals& Globals();

// Title, date formats, system number, ExeDir and the Templet/Backup folders.
void InitPrivateGlobals(const std::string& exeDir);
void ApplyDateFormats();

// The settings file in use (the registry stand-in); loaded on first use.
const platform::IniSettings& Registry();
void SetRegistry(const platform::IniSettings& settings);

// Reads the connection settings and the input-method names. May raise for a
// value stored with a non-text type.
void LoadConnectionSettings();
void LoadHospitalIdentity();

// Ends the application at the next opportunity (a modal window closes, the loop returns).
void RequestTerminate();

}  // namespace app
