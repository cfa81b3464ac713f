// Parsing of procedure calls and statement scripts.
#include "platform/db/stored_call.h"

#include "core/error.h"
#include "core/float_text.h"
#include "core/text_util.h"

namespace platform {

namespace {

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.' || c == '$' || c == '#' || c == '[' || c == ']' ||
         static_cast<unsigned char>(c) >= 0x80;
}

void SkipBlanks(std::string_view s, size_t& i) {
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
}

}  // namespace

std::optional<StoredCall> ParseStoredCall(std::string_view sql) {
  std::string_view s = core::TrimView(sql);
  size_t i = 0;
  size_t kw = 0;
  if (core::StartsWithNoCase(s, "execute"))
    kw = 7;
  else if (core::StartsWithNoCase(s, "exec"))
    kw = 4;
  if (kw == 0 || kw >= s.size() || static_cast<unsigned char>(s[kw]) > ' ') return std::nullopt;
  i = kw;
  SkipBlanks(s, i);
  size_t start = i;
  while (i < s.size() && IsNameChar(s[i])) ++i;
  if (i == start) return std::nullopt;
  StoredCall call;
  call.name = std::string(s.substr(start, i - start));
  SkipBlanks(s, i);
  if (i < s.size() && s[i] == ';' && i + 1 == s.size()) ++i;
  while (i < s.size()) {
    SkipBlanks(s, i);
    if (s[i] == '\'') {
      std::string text;
      ++i;
      bool closed = false;
      while (i < s.size()) {
        if (s[i] == '\'') {
          if (i + 1 < s.size() && s[i + 1] == '\'') {
            text.push_back('\'');
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        text.push_back(s[i++]);
      }
      if (!closed) throw core::Error("Unterminated string in call of " + call.name);
      call.args.emplace_back(std::move(text));
    } else {
      size_t a = i;
      while (i < s.size() && s[i] != ',' && s[i] != ';') ++i;
      std::string_view raw = core::TrimView(s.substr(a, i - a));
      double d;
      if (core::EqualsNoCase(raw, "null")) {
        call.args.push_back(core::Variant::MakeNull());
      } else if (core::TextToFloatAnySeparator(raw, d) && raw.find(',') == std::string_view::npos) {
        if (raw.find_first_of(".eE") == std::string_view::npos && d >= -2147483648.0 &&
            d <= 2147483647.0)
          call.args.emplace_back(static_cast<int32_t>(d));
        else
          call.args.emplace_back(d);
      } else {
        throw core::Error("Invalid argument \"" + std::string(raw) + "\" in call of " + call.name);
      }
    }
    SkipBlanks(s, i);
    if (i >= s.size()) break;
    if (s[i] == ';') {
      ++i;
      SkipBlanks(s, i);
      if (i < s.size()) throw core::Error("Unexpected text after call of " + call.name);
      break;
    }
    if (s[i] != ',') throw core::Error("Invalid argument list in call of " + call.name);
    ++i;
  }
  return call;
}

std::vector<std::string> SplitStatements(std::string_view script) {
  std::vector<std::string> out;
  std::string current;
  char quote = 0;
  for (size_t i = 0; i < script.size(); ++i) {
    char c = script[i];
    if (quote) {
      current.push_back(c);
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      current.push_back(c);
      continue;
    }
    if (c == '$' && i + 1 < script.size() && script[i + 1] == '$') {
      // A dollar-quoted body (PostgreSQL functions) runs to the next "$$".
      size_t end = script.find("$$", i + 2);
      if (end == std::string_view::npos) end = script.size() - 2;
      current.append(script.substr(i, end + 2 - i));
      i = end + 1;
      continue;
    }
    if (c == '-' && i + 1 < script.size() && script[i + 1] == '-') {
      while (i < script.size() && script[i] != '\n') ++i;
      current.push_back('\n');
      continue;
    }
    if (c == ';') {
      if (!core::TrimView(current).empty()) out.push_back(core::Trim(current));
      current.clear();
      continue;
    }
    current.push_back(c);
  }
  if (!core::TrimView(current).empty()) out.push_back(core::Trim(current));
  return out;
}

}  // namespace platform
