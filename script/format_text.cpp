// Format, FormatFloat, FormatMaskText and the text parsers.
#include "script/format_text.h"

#include <cmath>
#include <cstdio>

#include "core/date_time.h"
#include "core/error.h"
#include "core/code_page.h"
#include "core/float_text.h"
#include "core/format_float.h"
#include "core/format_printf.h"
#include "core/text_util.h"

namespace sq {

namespace {

[[noreturn]] void FormatError(std::string_view fmt) {
  throw core::Error("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

}  // namespace

std::string FormatText(std::string_view fmt, const std::vector<core::Variant>& args) {
  std::string out;
  size_t argIndex = 0;
  size_t i = 0;
  while (i < fmt.size()) {
    char c = fmt[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < fmt.size() && fmt[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    auto readNumber = [&](int& n) -> bool {
      if (i < fmt.size() && fmt[i] == '*') {
        ++i;
        if (argIndex >= args.size()) FormatError(fmt);
        n = args[argIndex++].ToInt32();
        return true;
      }
      bool any = false;
      n = 0;
      while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
        if (n < 100000) n = n * 10 + (fmt[i] - '0');
        ++i;
        any = true;
      }
      return any;
    };
    int width = -1, prec = -1, n = 0;
    bool left = false;
    size_t save = i;
    if (readNumber(n) && i < fmt.size() && fmt[i] == ':') {
      argIndex = static_cast<size_t>(n);
      ++i;
    } else {
      i = save;
    }
    if (i < fmt.size() && fmt[i] == '-') {
      left = true;
      ++i;
    }
    if (readNumber(n)) width = n;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      prec = readNumber(n) ? n : 0;
    }
    if (i >= fmt.size()) FormatError(fmt);
    const char type = static_cast<char>(std::tolower(static_cast<unsigned char>(fmt[i++])));
    if (argIndex >= args.size()) FormatError(fmt);
    const core::Variant& a = args[argIndex++];
    std::string piece;
    switch (type) {
      case 'd':
      case 'u':
      case 'x': {
        if (!a.IsOrdinal()) FormatError(fmt);
        int64_t v = a.ToInt64();
        if (type == 'u') v = static_cast<uint32_t>(v);
        std::string digits;
        if (type == 'x') {
          char buf[32];
          std::snprintf(buf, sizeof buf, "%llX",
                        static_cast<unsigned long long>(v < 0 ? static_cast<uint32_t>(v) : v));
          digits = buf;
        } else {
          digits = std::to_string(v < 0 ? -v : v);
        }
        while (prec > 0 && static_cast<int>(digits.size()) < prec) digits = "0" + digits;
        piece = (v < 0 && type == 'd' ? "-" : "") + digits;
        break;
      }
      case 'e':
      case 'f':
      case 'g':
      case 'n':
      case 'm': {
        if (!a.IsNumeric()) FormatError(fmt);
        piece = core::FormatFloatConversion(type, prec, a.ToDouble());
        break;
      }
      case 'p': {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%08llX", static_cast<unsigned long long>(a.ToInt64()));
        piece = buf;
        break;
      }
      case 's': {
        if (!a.IsString() && !a.IsNull() && !a.IsEmpty()) {
          if (a.IsNumeric() || a.IsBoolean()) FormatError(fmt);
        }
        piece = a.ToString();
        if (prec >= 0 && static_cast<int>(piece.size()) > prec) piece.resize(static_cast<size_t>(prec));
        break;
      }
      default: FormatError(fmt);
    }
    // Width counts characters, not bytes: the currency sign is multi-byte.
    const int chars = static_cast<int>(core::Utf8Length(piece));
    if (width > chars) {
      std::string pad(static_cast<size_t>(width - chars), ' ');
      piece = left ? piece + pad : pad + piece;
    }
    out += piece;
  }
  return out;
}

std::string FormatFloatText(std::string_view fmt, double value) {
  // One float-pattern formatter serves scripts and memo formats alike.
  return core::FormatFloat(fmt, value);
}

std::string FormatMaskText(std::string_view mask, std::string_view value) {
  std::string m(mask);
  bool saveLiterals = true;
  char blank = '_';
  size_t semi = m.find(';');
  if (semi != std::string::npos) {
    std::string rest = m.substr(semi + 1);
    m.resize(semi);
    if (!rest.empty()) saveLiterals = rest[0] != '0';
    size_t semi2 = rest.find(';');
    if (semi2 != std::string::npos && semi2 + 1 < rest.size()) blank = rest[semi2 + 1];
  }
  std::string out;
  size_t vi = 0;
  for (size_t i = 0; i < m.size(); ++i) {
    char c = m[i];
    if (c == '!' || c == '>' || c == '<') continue;
    if (c == '\\' && i + 1 < m.size()) {
      out += m[++i];
      if (saveLiterals && vi < value.size() && value[vi] == m[i]) ++vi;
      continue;
    }
    const bool slot = std::string_view("09#LlAaCc").find(c) != std::string_view::npos;
    if (!slot) {
      out += c;
      if (saveLiterals && vi < value.size() && value[vi] == c) ++vi;
      continue;
    }
    out += vi < value.size() ? value[vi++] : blank;
  }
  return out;
}

// ---------------------------------------------------------------------------

bool TryStrToInt(std::string_view s, int32_t& out) {
  std::string_view t = core::TrimView(s);
  bool neg = false;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    neg = t[0] == '-';
    t.remove_prefix(1);
  }
  if (t.empty()) return false;
  int64_t v = 0;
  if (t[0] == '$' || (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))) {
    t.remove_prefix(t[0] == '$' ? 1 : 2);
    if (t.empty() || t.size() > 8) return false;
    for (char c : t) {
      int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
              : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
              : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                          : -1;
      if (d < 0) return false;
      v = v * 16 + d;
    }
    out = static_cast<int32_t>(static_cast<uint32_t>(v));
    if (neg) out = -out;
    return true;
  }
  for (char c : t) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return false;
  }
  if (neg) v = -v;
  if (v > 2147483647LL || v < -2147483648LL) return false;
  out = static_cast<int32_t>(v);
  return true;
}

bool TryStrToFloat(std::string_view s, double& out) {
  return core::TextToFloat(core::TrimView(s), out);
}

namespace {

bool ReadInt(std::string_view s, size_t& i, int& v) {
  size_t start = i;
  v = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && i - start < 5)
    v = v * 10 + (s[i++] - '0');
  return i > start;
}

bool ParseDate(std::string_view s, size_t& i, double& out) {
  const auto& fs = core::FormatSettings();
  int a, b, c;
  if (!ReadInt(s, i, a)) return false;
  if (i >= s.size() || (s[i] != fs.DateSeparator && s[i] != '-' && s[i] != '/')) return false;
  ++i;
  if (!ReadInt(s, i, b)) return false;
  int year, month, day;
  if (i < s.size() && (s[i] == fs.DateSeparator || s[i] == '-' || s[i] == '/')) {
    ++i;
    if (!ReadInt(s, i, c)) return false;
    // Order from the short date format: y first, or d before m.
    std::string order;
    for (char ch : core::LowerCase(fs.ShortDateFormat))
      if ((ch == 'y' || ch == 'm' || ch == 'd') && order.find(ch) == std::string::npos) order += ch;
    if (order.size() != 3) order = "ymd";
    int vals[3] = {a, b, c};
    year = month = day = 0;
    for (int k = 0; k < 3; ++k) {
      if (order[static_cast<size_t>(k)] == 'y') year = vals[k];
      if (order[static_cast<size_t>(k)] == 'm') month = vals[k];
      if (order[static_cast<size_t>(k)] == 'd') day = vals[k];
    }
    if (year < 100) year += year < 50 ? 2000 : 1900;
  } else {
    return false;
  }
  if (!core::IsValidDate(year, month, day)) return false;
  out = core::EncodeDate(year, month, day);
  return true;
}

bool ParseTime(std::string_view s, size_t& i, double& out) {
  const auto& fs = core::FormatSettings();
  int h, m = 0, sec = 0, ms = 0;
  if (!ReadInt(s, i, h)) return false;
  if (i < s.size() && (s[i] == fs.TimeSeparator || s[i] == ':')) {
    ++i;
    if (!ReadInt(s, i, m)) return false;
    if (i < s.size() && (s[i] == fs.TimeSeparator || s[i] == ':')) {
      ++i;
      if (!ReadInt(s, i, sec)) return false;
      if (i < s.size() && s[i] == '.') {
        ++i;
        if (!ReadInt(s, i, ms)) return false;
      }
    }
  } else {
    return false;
  }
  while (i < s.size() && s[i] == ' ') ++i;
  std::string rest = core::UpperCase(s.substr(i));
  if (rest.rfind("AM", 0) == 0 || rest.rfind("PM", 0) == 0) {
    if (h > 12) return false;
    if (rest[0] == 'P' && h < 12) h += 12;
    if (rest[0] == 'A' && h == 12) h = 0;
    i += 2;
  }
  if (h > 23 || m > 59 || sec > 59 || ms > 999) return false;
  out = core::EncodeTime(h, m, sec, ms);
  return true;
}

}  // namespace

bool TryStrToDate(std::string_view s, double& out) {
  std::string_view t = core::TrimView(s);
  size_t i = 0;
  return ParseDate(t, i, out) && i == t.size();
}

bool TryStrToTime(std::string_view s, double& out) {
  std::string_view t = core::TrimView(s);
  size_t i = 0;
  return ParseTime(t, i, out) && i == t.size();
}

bool TryStrToDateTime(std::string_view s, double& out) {
  std::string_view t = core::TrimView(s);
  size_t i = 0;
  double d = 0, tm = 0;
  size_t save = i;
  if (!ParseDate(t, i, d)) {
    i = save;
    if (!ParseTime(t, i, tm) || i != t.size()) return false;
    out = tm;
    return true;
  }
  while (i < t.size() && t[i] == ' ') ++i;
  if (i < t.size() && !ParseTime(t, i, tm)) return false;
  if (i != t.size()) return false;
  out = d + (d < 0 ? -tm : tm);
  return true;
}

}  // namespace sq
