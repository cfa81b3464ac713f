// Text formatting of the runtime library: printf-like Format, the float
// pattern language of FormatFloat, edit masks, and text-to-value parsing in
// the process's format settings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/variant.h"

namespace sq {

// Specifiers d u e f g n m p s x with index ("%1:s"), "-", width and
// precision ("*" takes them from the arguments). Raises "Format '%s' invalid
// or incompatible with argument" on a mismatch.
std::string FormatText(std::string_view fmt, const std::vector<core::Variant>& args);
// Patterns of 0 # . , E+ E- e+ e- "..." '...' and up to three sections
// (positive;negative;zero).
std::string FormatFloatText(std::string_view fmt, double value);
// Edit mask: "mask;save literals;blank".
std::string FormatMaskText(std::string_view mask, std::string_view value);

// Strict parsers; false on invalid text.
bool TryStrToInt(std::string_view s, int32_t& out);
bool TryStrToFloat(std::string_view s, double& out);
bool TryStrToDate(std::string_view s, double& out);
bool TryStrToTime(std::string_view s, double& out);
bool TryStrToDateTime(std::string_view s, double& out);

}  // namespace sq
