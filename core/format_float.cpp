// Float pattern formatter: splits the pattern into sections, reads the digit
// layout of the chosen section, then writes literals and the number.
#include "core/format_float.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "core/float_text.h"
#include "core/format_digits.h"

namespace core {
namespace {

// Splits at ';' outside quotes.
std::vector<std::string_view> SplitSections(std::string_view pattern) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  char quote = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      sections.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(pattern.substr(start));
  return sections;
}

struct Layout {
  int intZeros = 0;    // minimum integer digits
  int fracZeros = 0;   // minimum fraction digits
  int fracDigits = 0;  // maximum fraction digits
  bool thousands = false;
  bool scientific = false;
  bool expSignAlways = false;  // E+ writes "+" for positive exponents
  char expChar = 'E';
  int expDigits = 0;
  std::string prefix;  // literals before the first placeholder
  std::string suffix;  // every other literal, in order
};

bool IsExpStart(std::string_view s, size_t i) {
  return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

Layout ReadLayout(std::string_view section) {
  Layout layout;
  bool seenDigit = false, inFraction = false, inExponent = false;
  int intPlaceholders = 0, firstIntZero = -1;
  for (size_t i = 0; i < section.size(); ++i) {
    char c = section[i];
    std::string& literals = seenDigit ? layout.suffix : layout.prefix;
    if (c == '"' || c == '\'') {
      size_t end = section.find(c, i + 1);
      if (end == std::string_view::npos) end = section.size();
      literals.append(section.substr(i + 1, end - i - 1));
      i = end;
      continue;
    }
    if (inExponent) {
      if (c == '0') {
        ++layout.expDigits;
        continue;
      }
      inExponent = false;
    }
    if (c == '0' || c == '#') {
      seenDigit = true;
      if (inFraction) {
        ++layout.fracDigits;
        if (c == '0') layout.fracZeros = layout.fracDigits;
      } else {
        if (c == '0' && firstIntZero < 0) firstIntZero = intPlaceholders;
        ++intPlaceholders;
      }
      continue;
    }
    if (c == '.') {  // only the first point counts; later ones are ignored
      if (!inFraction && !layout.scientific) inFraction = true;
      seenDigit = true;
      continue;
    }
    if (c == ',' && !layout.scientific) {
      layout.thousands = true;
      continue;
    }
    if (seenDigit && !layout.scientific && IsExpStart(section, i)) {
      layout.scientific = true;
      layout.expChar = c;
      layout.expSignAlways = section[i + 1] == '+';
      inExponent = true;
      ++i;
      continue;
    }
    literals.push_back(c);
  }
  if (firstIntZero >= 0) layout.intZeros = intPlaceholders - firstIntZero;
  return layout;
}

void GroupThousands(std::string& digits, char separator) {
  for (int pos = static_cast<int>(digits.size()) - 3; pos > 0; pos -= 3)
    digits.insert(static_cast<size_t>(pos), 1, separator);
}

// Digits of |value| rounded to layout's fraction digits; true when non-zero.
std::string FormatFixed(double value, const Layout& layout, const FormatSettingsData& settings,
                        bool& nonZero) {
  std::string text = FixedDigits(value, layout.fracDigits, nonZero);
  size_t dot = text.find('.');
  std::string intPart = text.substr(0, dot);
  std::string frac = dot == std::string::npos ? std::string() : text.substr(dot + 1);
  size_t firstNonZero = intPart.find_first_not_of('0');
  intPart = firstNonZero == std::string::npos ? std::string() : intPart.substr(firstNonZero);
  while (static_cast<int>(intPart.size()) < layout.intZeros) intPart.insert(0, 1, '0');
  while (static_cast<int>(frac.size()) > layout.fracZeros && !frac.empty() && frac.back() == '0')
    frac.pop_back();
  if (layout.thousands) GroupThousands(intPart, settings.ThousandSeparator);
  if (frac.empty()) return intPart;
  return intPart + settings.DecimalSeparator + frac;
}

std::string FormatScientific(double value, const Layout& layout, const FormatSettingsData& settings,
                             bool& nonZero) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", layout.fracDigits, std::fabs(value));
  std::string text = buf;
  size_t e = text.find('e');
  std::string mantissa = text.substr(0, e);
  int exponent = std::stoi(text.substr(e + 1));
  nonZero = mantissa.find_first_of("123456789") != std::string::npos;
  size_t dot = mantissa.find('.');
  std::string frac = dot == std::string::npos ? std::string() : mantissa.substr(dot + 1);
  while (static_cast<int>(frac.size()) > layout.fracZeros && !frac.empty() && frac.back() == '0')
    frac.pop_back();
  std::string out = mantissa.substr(0, dot == std::string::npos ? mantissa.size() : dot);
  if (!frac.empty()) out += settings.DecimalSeparator + frac;
  out += layout.expChar;
  if (exponent < 0)
    out += '-';
  else if (layout.expSignAlways)
    out += '+';
  std::string digits = std::to_string(std::abs(exponent));
  while (static_cast<int>(digits.size()) < layout.expDigits) digits.insert(0, 1, '0');
  return out + digits;
}

}  // namespace

std::string FormatFloat(std::string_view pattern, double value,
                        const FormatSettingsData& settings) {
  if (pattern.empty() || std::isnan(value) || std::isinf(value))
    return FloatToStrSep(value, settings.DecimalSeparator);
  std::vector<std::string_view> sections = SplitSections(pattern);
  std::string_view section = sections[0];
  bool signFromSection = false;
  if (value < 0 && sections.size() > 1 && !sections[1].empty()) {
    section = sections[1];
    signFromSection = true;
  }
  Layout layout = ReadLayout(section);
  bool nonZero = false;
  std::string number = layout.scientific ? FormatScientific(value, layout, settings, nonZero)
                                         : FormatFixed(value, layout, settings, nonZero);
  if (!nonZero && sections.size() > 2 && !sections[2].empty()) {
    layout = ReadLayout(sections[2]);
    number = FormatFixed(0.0, layout, settings, nonZero);
    return layout.prefix + number + layout.suffix;
  }
  std::string out;
  if (value < 0 && nonZero && !signFromSection) out += '-';
  return out + layout.prefix + number + layout.suffix;
}

}  // namespace core
