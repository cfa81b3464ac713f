// INI reader for the registry stand-in.
#include "platform/settings/ini_settings.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/error.h"
#include "core/text_util.h"

namespace platform {

std::string IniSettings::SectionKey(std::string_view section) {
  std::string_view s = core::TrimView(section);
  while (!s.empty() && (s.front() == '\\' || s.front() == '/')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.remove_suffix(1);
  std::string key = core::UpperCase(s);
  for (char& c : key)
    if (c == '/') c = '\\';
  return key;
}

IniSettings IniSettings::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return IniSettings();
  std::ostringstream ss;
  ss << in.rdbuf();
  return FromText(ss.str());
}

IniSettings IniSettings::FromText(std::string_view text) {
  IniSettings s;
  std::map<std::string, Value>* current = nullptr;
  size_t pos = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;  // UTF-8 byte order mark
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = core::TrimView(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      size_t close = line.rfind(']');
      std::string_view name = line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1);
      current = &s.sections_[SectionKey(name)];
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos || current == nullptr) continue;
    std::string name = core::UpperCase(core::TrimView(line.substr(0, eq)));
    std::string_view raw = core::TrimView(line.substr(eq + 1));
    Value v;
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
      v.text = std::string(raw.substr(1, raw.size() - 2));
    } else if (core::StartsWithNoCase(raw, "dword:") || core::StartsWithNoCase(raw, "hex:") ||
               core::StartsWithNoCase(raw, "hex(")) {
      v.text = std::string(raw);
      v.isText = false;
    } else {
      v.text = std::string(raw);
    }
    (*current)[name] = std::move(v);
  }
  return s;
}

std::string IniSettings::DefaultPath(const std::string& exeDir) {
  if (const char* env = std::getenv("HIS_SETTINGS"); env && *env) return env;
  std::string beside = exeDir + "his_settings.ini";
  if (std::ifstream(beside).good()) return beside;
  return "/etc/his/settings.ini";
}

bool IniSettings::HasSection(std::string_view section) const {
  return sections_.count(SectionKey(section)) != 0;
}

std::optional<std::string> IniSettings::ReadString(std::string_view section,
                                                   std::string_view name) const {
  auto sec = sections_.find(SectionKey(section));
  if (sec == sections_.end()) return std::nullopt;
  auto val = sec->second.find(core::UpperCase(name));
  if (val == sec->second.end()) return std::nullopt;
  if (!val->second.isText) throw core::Error("Invalid data type for '" + std::string(name) + "'");
  return val->second.text;
}

}  // namespace platform
