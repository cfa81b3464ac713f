// Read-only INI file standing in for the installation's registry keys.
// Sections are key paths under HKEY_LOCAL_MACHINE ("[SOFTWARE\Nordvane\VELK300]"),
// matched without regard to case and to a leading backslash. Values are text;
// values in the registry-export forms "dword:…" and "hex…:" are non-text
// and reading them as text raises, as a registry read of the wrong type does.
//
//   file      := { line }
//   line      := "[" section "]" | name "=" value | ";" comment | "#" comment | blank
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class IniSettings {
 public:
  IniSettings() = default;
  // Reads the file; a missing or unreadable file gives empty settings.
  static IniSettings Load(const std::string& path);
  static IniSettings FromText(std::string_view text);
  // The settings file of this installation: $HIS_SETTINGS, else his_settings.ini
  // beside the executable, else /etc/his/settings.ini.
  static std::string DefaultPath(const std::string& exeDir);

  bool HasSection(std::string_view section) const;
  // The value as text; nullopt when the section or the value is missing.
  // Raises core::Error for a value stored with a non-text type.
  std::optional<std::string> ReadString(std::string_view section, std::string_view name) const;

 private:
  struct Value {
    std::string text;
    bool isText = true;
  };
  static std::string SectionKey(std::string_view section);
  // Section key -> (upper-cased value name -> value).
  std::map<std::string, std::map<std::string, Value>> sections_;
};

}  // namespace platform
