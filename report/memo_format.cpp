// Memo display formats over the core formatters.
#include "report/memo_format.h"

#include <algorithm>

#include "core/date_time.h"
#include "core/error.h"
#include "core/format_float.h"
#include "core/format_printf.h"
#include "core/text_util.h"

namespace report {
namespace {

std::string Cut255(const std::string& s) {
  size_t chars = 0, pos = 0;
  while (pos < s.size()) {
    if ((static_cast<unsigned char>(s[pos]) & 0xC0) != 0x80) {
      if (chars == 255) break;
      ++chars;
    }
    ++pos;
  }
  return s.substr(0, pos);
}

std::string FormatNumeric(const core::Variant& value, const TqdrFormat& format) {
  const core::FormatSettingsData& settings = core::FormatSettings();
  double number = value.ToDouble();
  const std::string& fs = format.FormatStr();
  std::string text = !fs.empty() && fs[0] == '#' ? core::FormatFloat(fs, number, settings)
                                                 : core::FormatPrintfFloat(fs, number, settings);
  const std::string& sep = format.DecimalSeparator();
  if (sep.size() == 1 && sep[0] != settings.DecimalSeparator)
    std::replace(text.begin(), text.end(), settings.DecimalSeparator, sep[0]);
  return text;
}

bool EqualsTrue(const core::Variant& value) {
  if (value.IsBoolean()) return value.RawBool();
  try {
    return value.ToBool();
  } catch (const core::Error&) {
    return false;
  }
}

}  // namespace

std::string FormatData(const core::Variant& value, const TqdrFormat& format) {
  if (value.IsNull()) return std::string();
  try {
    switch (format.Kind()) {
      case TqdrFormatKind::fkText:
        return value.ToString();
      case TqdrFormatKind::fkNumeric:
        return FormatNumeric(value, format);
      case TqdrFormatKind::fkDateTime:
        return core::FormatDateTime(format.FormatStr(), value.ToDate());
      case TqdrFormatKind::fkBoolean: {
        const std::string& fs = format.FormatStr();
        size_t comma = fs.find(',');
        if (EqualsTrue(value))
          return comma == std::string::npos ? std::string() : Cut255(fs.substr(comma + 1));
        return fs.substr(0, comma);
      }
    }
  } catch (const core::Error&) {
  }
  return value.ToString();
}

bool SplitFormatSuffix(const std::string& expr, std::string& valuePart, TqdrFormat& format) {
  valuePart = expr;
  size_t p = expr.find(" #");
  if (p == std::string::npos) return false;
  std::string formatPart = expr.substr(p + 2);
  if (formatPart.find(')') != std::string::npos) return false;
  valuePart = expr.substr(0, p);
  format.SetKind(TqdrFormatKind::fkText);
  format.SetDecimalSeparator(std::string());
  char kind = formatPart.empty() ? '\0' : formatPart[0];
  switch (kind) {
    case 'N':
    case 'n':
      format.SetKind(TqdrFormatKind::fkNumeric);
      // In a float pattern "," groups thousands; only printf-like formats
      // name their decimal separator this way.
      if (formatPart.size() < 2 || formatPart[1] != '#')
        for (char& c : formatPart)
          if (c == ',' || c == '-') {
            format.SetDecimalSeparator(std::string(1, c));
            c = '.';
          }
      break;
    case 'D':
    case 'd':
    case 'T':
    case 't':
      format.SetKind(TqdrFormatKind::fkDateTime);
      break;
    case 'B':
    case 'b':
      format.SetKind(TqdrFormatKind::fkBoolean);
      break;
    default:
      break;
  }
  format.SetFormatStr(formatPart.empty() ? std::string() : Cut255(formatPart.substr(1)));
  return true;
}

bool IsHiddenZero(const core::Variant& value) {
  if (value.IsString() || value.IsNull() || value.IsArray() || value.IsObject()) return false;
  if (value.IsBoolean()) return !value.RawBool();
  return value.ToDouble() == 0.0;
}

std::string CalcAndFormat(const std::string& expr, const TqdrFormat& displayFormat, bool hideZeros,
                          const std::function<core::Variant(const std::string&)>& calc,
                          core::Variant& value) {
  std::string valuePart;
  TqdrFormat suffixFormat;
  bool hasFormat = SplitFormatSuffix(expr, valuePart, suffixFormat);
  if (core::EqualsNoCase(valuePart, "TOTALPAGES#"))
    value = core::Variant("[TotalPages#]");
  else
    value = calc(valuePart);
  if (hideZeros && IsHiddenZero(value)) return std::string();
  return FormatData(value, hasFormat ? suffixFormat : displayFormat);
}

}  // namespace report
