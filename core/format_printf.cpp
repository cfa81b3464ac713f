// printf-like formatting of one float: walks the format, copies literal text
// and formats each specifier; only one argument exists, so a second specifier
// (other than one that repeats index 0) is an error.
#include "core/format_printf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/error.h"
#include "core/float_text.h"
#include "core/format_digits.h"

namespace core {
namespace {

[[noreturn]] void ThrowInvalid(std::string_view fmt) {
  throw Error("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

std::string Fixed(double value, int precision, bool thousands, const FormatSettingsData& s) {
  bool nonZero = false;
  std::string text = FixedDigits(value, precision, nonZero);
  size_t dot = text.find('.');
  std::string intPart = text.substr(0, dot);
  if (thousands)
    for (int pos = static_cast<int>(intPart.size()) - 3; pos > 0; pos -= 3)
      intPart.insert(static_cast<size_t>(pos), 1, s.ThousandSeparator);
  if (dot != std::string::npos) intPart += s.DecimalSeparator + text.substr(dot + 1);
  return intPart;
}

// True when text holds a non-zero digit: "-0.00" is written without the sign.
bool HasNonZeroDigit(const std::string& text) {
  return text.find_first_of("123456789") != std::string::npos;
}

std::string Scientific(double value, int precision, const FormatSettingsData& s) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", precision - 1, value);
  std::string text = buf;
  size_t e = text.find('e');
  std::string mantissa = text.substr(0, e);
  size_t dot = mantissa.find('.');
  if (dot != std::string::npos) mantissa[dot] = s.DecimalSeparator;
  int exponent = std::stoi(text.substr(e + 1));
  std::string digits = std::to_string(std::abs(exponent));
  while (digits.size() < 3) digits.insert(0, 1, '0');
  return mantissa + "E" + (exponent < 0 ? "-" : "+") + digits;
}

}  // namespace

std::string FormatFloatConversion(char type, int precision, double value, const FormatSettingsData& settings) {
  switch (type) {
    case 'f':
    case 'n':
    case 'm': {
      int p = precision < 0 ? 2 : std::min(precision, 18);
      std::string text = Fixed(value, p, type != 'f', settings);
      if (type == 'm') text = settings.CurrencyString + text;
      if (value < 0 && HasNonZeroDigit(text)) text.insert(0, 1, '-');
      return text;
    }
    case 'e':
      return Scientific(value, precision < 1 ? 15 : std::min(precision, 18), settings);
    case 'g':
      return FloatToStrSep(value, settings.DecimalSeparator, precision < 1 ? 15 : std::min(precision, 18));
    default:
      throw Error(std::string("Format type '") + type + "' does not take a float");
  }
}

std::string FormatPrintfFloat(std::string_view fmt, double value,
                              const FormatSettingsData& settings) {
  std::string out;
  bool argumentUsed = false;
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
    // [index:][-][width][.precision]type
    auto readNumber = [&](int& n) {
      bool any = false;
      n = 0;
      while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
        n = n * 10 + (fmt[i++] - '0');
        if (n > 1000) ThrowInvalid(fmt);
        any = true;
      }
      return any;
    };
    int number = 0;
    bool hasNumber = readNumber(number);
    bool explicitIndex = false;
    if (hasNumber && i < fmt.size() && fmt[i] == ':') {
      if (number != 0) ThrowInvalid(fmt);
      explicitIndex = true;
      ++i;
      hasNumber = false;
    }
    bool left = false;
    if (!hasNumber && i < fmt.size() && fmt[i] == '-') {
      left = true;
      ++i;
    }
    int width = 0;
    if (hasNumber)
      width = number;
    else
      readNumber(width);
    int precision = -1;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      if (!readNumber(precision)) precision = 0;
    }
    if (i >= fmt.size()) ThrowInvalid(fmt);
    if (argumentUsed && !explicitIndex) ThrowInvalid(fmt);
    argumentUsed = true;
    char type = static_cast<char>(fmt[i++] | 0x20);
    if (type != 'e' && type != 'f' && type != 'g' && type != 'n' && type != 'm') ThrowInvalid(fmt);
    std::string text = FormatFloatConversion(type, precision, value, settings);
    // Width counts characters, not bytes: the currency sign is multi-byte.
    size_t chars = 0;
    for (unsigned char ch : text)
      if ((ch & 0xC0) != 0x80) ++chars;
    if (static_cast<int>(chars) < width) {
      std::string pad(static_cast<size_t>(width) - chars, ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}

}  // namespace core
