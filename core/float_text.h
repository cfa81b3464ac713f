// Float text the way templates and scripts write numbers: general format,
// 15 significant digits, no trailing zeros, exponent form outside the fixed range.
#pragma once

#include <string>
#include <string_view>

#include "core/variant.h"

namespace core {

// FloatToStr: general format with the given number of significant digits,
// using the process decimal separator ("0.1", "1E15", "1.5E-7", "-3").
std::string FloatToStr(double value, int precision = 15);
// As FloatToStr with an explicit decimal separator.
std::string FloatToStrSep(double value, char decimalSeparator, int precision = 15);
// Up to four decimals, no trailing zeros.
std::string CurrToStr(Currency value);
// Parses a float written with the process decimal separator (surrounding blanks
// allowed). Returns false when the text is not a number.
bool TextToFloat(std::string_view text, double& out);
// As TextToFloat but accepts both "." and "," as the decimal separator (template files).
bool TextToFloatAnySeparator(std::string_view text, double& out);

}  // namespace core
