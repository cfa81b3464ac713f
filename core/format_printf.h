// The printf-like format language with one floating-point argument, as display
// formats use it: "%[index:][-][width][.precision]type" with the types
// e f g n m; "%%" is a percent sign. Other types do not take a float.
#pragma once

#include <string>
#include <string_view>

#include "core/date_time.h"

namespace core {

// Formats value by fmt. Raises core::Error "Format '<fmt>' invalid or
// incompatible with argument" for a type that does not take a float, a second
// argument, or a malformed specifier.
std::string FormatPrintfFloat(std::string_view fmt, double value,
                              const FormatSettingsData& settings = FormatSettings());

// One float conversion of type e, f, g, n or m with its precision (-1: the
// type's default), without width: the part display formats and the scripts'
// Format share.
std::string FormatFloatConversion(char type, int precision, double value,
                                  const FormatSettingsData& settings = FormatSettings());

}  // namespace core
