// General-format float text and its parser.
#include "core/float_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/date_time.h"
#include "core/text_util.h"

namespace core {

std::string FloatToStrSep(double value, char decimalSeparator, int precision) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;

  // "%.*e" gives exactly `precision` significant digits, correctly rounded.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", precision - 1, value);
  const char* p = buf;
  bool negative = false;
  if (*p == '-') {
    negative = true;
    ++p;
  }
  std::string digits;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits.push_back(*p);
  int exp10 = (*p == 'e') ? std::atoi(p + 1) : 0;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  // Decimal point position: the value is 0.d1d2... * 10^(exp10 + 1).
  int pointPos = exp10 + 1;
  std::string out;
  if (negative) out.push_back('-');
  if (pointPos > precision || pointPos < -3) {
    out.push_back(digits[0]);
    if (digits.size() > 1) {
      out.push_back(decimalSeparator);
      out.append(digits, 1, std::string::npos);
    }
    out.push_back('E');
    out.append(std::to_string(exp10));
    return out;
  }
  if (pointPos <= 0) {
    out.push_back('0');
    out.push_back(decimalSeparator);
    out.append(static_cast<size_t>(-pointPos), '0');
    out.append(digits);
    return out;
  }
  if (static_cast<int>(digits.size()) <= pointPos) {
    out.append(digits);
    out.append(static_cast<size_t>(pointPos) - digits.size(), '0');
    return out;
  }
  out.append(digits, 0, static_cast<size_t>(pointPos));
  out.push_back(decimalSeparator);
  out.append(digits, static_cast<size_t>(pointPos), std::string::npos);
  return out;
}

std::string FloatToStr(double value, int precision) {
  return FloatToStrSep(value, FormatSettings().DecimalSeparator, precision);
}

std::string CurrToStr(Currency value) {
  uint64_t mag = value.scaled < 0 ? 0 - static_cast<uint64_t>(value.scaled)
                                  : static_cast<uint64_t>(value.scaled);
  std::string out;
  if (value.scaled < 0) out.push_back('-');
  out.append(std::to_string(mag / 10000));
  unsigned frac = static_cast<unsigned>(mag % 10000);
  if (frac != 0) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04u", frac);
    std::string f(buf);
    while (!f.empty() && f.back() == '0') f.pop_back();
    out.push_back(FormatSettings().DecimalSeparator);
    out.append(f);
  }
  return out;
}

namespace {

// Strict number syntax: [sign] digits [sep digits] [(e|E) [sign] digits].
bool ParseNumber(std::string_view text, bool acceptPoint, bool acceptComma, char sep,
                 double& out) {
  std::string_view t = TrimView(text);
  if (t.empty()) return false;
  std::string buf;
  buf.reserve(t.size());
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') buf.push_back(t[i++]);
  bool anyDigit = false;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
    buf.push_back(t[i++]);
    anyDigit = true;
  }
  if (i < t.size() &&
      (t[i] == sep || (acceptPoint && t[i] == '.') || (acceptComma && t[i] == ','))) {
    buf.push_back('.');
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      buf.push_back(t[i++]);
      anyDigit = true;
    }
  }
  if (!anyDigit) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    buf.push_back('e');
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) buf.push_back(t[i++]);
    bool expDigit = false;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      buf.push_back(t[i++]);
      expDigit = true;
    }
    if (!expDigit) return false;
  }
  if (i != t.size()) return false;
  // strtod reads '.' in the "C" locale, which is what the program runs in.
  char* end = nullptr;
  out = std::strtod(buf.c_str(), &end);
  return end && *end == '\0';
}

}  // namespace

bool TextToFloat(std::string_view text, double& out) {
  char sep = FormatSettings().DecimalSeparator;
  return ParseNumber(text, false, false, sep, out);
}

bool TextToFloatAnySeparator(std::string_view text, double& out) {
  return ParseNumber(text, true, true, '.', out);
}

}  // namespace core
