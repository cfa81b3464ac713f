// Start-up values, connection settings and hospital identity.
#include "app/his_globals.h"

#include <QCoreApplication>
#include <QDir>
#include <memory>

#include "app/password.h"
#include "core/date_time.h"
#include "core/text_util.h"
#include "platform/settings/ini_settings.h"

namespace app {

namespace {
std::unique_ptr<platform::IniSettings>& RegistryStore() {
  static std::unique_ptr<platform::IniSettings> store;
  return store;
}
const char* const kDefaultIme = "智能ABC输入法";
}  // namespace

HisGlobals& Globals() {
  static HisGlobals g;
  return g;
}

void ApplyDateFormats() {
  core::FormatSettingsData& f = core::FormatSettings();
  f.ShortDateFormat = "YYYY.MM.DD";
  f.LongDateFormat = "YYYY.MM.DD";
  f.DateSeparator = '.';
  f.TimeSeparator = ':';
  f.ShortTimeFormat = "HH24:MI:SS";
}

void InitPrivateGlobals(const std::string& exeDir) {
  HisGlobals& g = Globals();
  QCoreApplication::setApplicationName(QString::fromUtf8(kAppTitle));
  ApplyDateFormats();
  g.SystemNumber = "3";
  g.ExeDir = exeDir;
  if (g.ExeDir.empty() || g.ExeDir.back() != '/') g.ExeDir.push_back('/');
  QDir dir(QString::fromUtf8(g.ExeDir));
  for (const char* folder : {"Templet", "Backup"})
    if (!dir.exists(folder)) dir.mkdir(folder);  // failure is ignored: later steps report it
}

const platform::IniSettings& Registry() {
  auto& store = RegistryStore();
  if (!store)
    store = std::make_unique<platform::IniSettings>(
        platform::IniSettings::Load(platform::IniSettings::DefaultPath(Globals().ExeDir)));
  return *store;
}

void SetRegistry(const platform::IniSettings& settings) {
  RegistryStore() = std::make_unique<platform::IniSettings>(settings);
}

void LoadConnectionSettings() {
  ApplyDateFormats();
  HisGlobals& g = Globals();
  const platform::IniSettings& reg = Registry();
  g.Connection = ConnectionSettings();
  std::string ime;
  if (reg.HasSection(kVelkKey)) {
    auto read = [&](const char* name) { return core::Trim(reg.ReadString(kVelkKey, name).value_or("")); };
    std::string database = read("DataBase");
    std::string server = read("ServerName");
    std::string user = read("UserName");
    std::string password = read("Password");
    ime = read("Ime");
    g.Connection.DatabaseName = DefaultIfBlank(database, "VLK");
    g.Connection.ServerName = server;
    g.Connection.DbUserName = user;
    g.Connection.DbPassword = DecodePassword(password);
  }
  g.LookupColumns[0] = DefaultIfBlank(ime, kDefaultIme);
  g.LookupCaptions[0] = DefaultIfBlank(ime, kDefaultIme);
}

void LoadHospitalIdentity() {
  HisGlobals& g = Globals();
  const platform::IniSettings& reg = Registry();
  g.HospitalName = DecodePassword(core::Trim(reg.ReadString(kWindowsKey, "HNAME").value_or("")));
  g.HospitalID = core::Trim(reg.ReadString(kVelkKey, "HospitalID").value_or(""));
}

void RequestTerminate() {
  Globals().TerminateRequested = true;
  if (QCoreApplication::instance()) QCoreApplication::exit(0);
}

}  // namespace app
