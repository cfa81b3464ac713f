// Float patterns: digit placeholders 0 and #, the decimal point ".", thousands
// grouping ",", exponents E+ E- e+ e-, quoted literals and up to three
// sections (positive;negative;zero). Used by display formats and scripts.
#pragma once

#include <string>
#include <string_view>

#include "core/date_time.h"

namespace core {

// Formats value by pattern; the separators come from settings. An empty
// pattern gives the general float text.
std::string FormatFloat(std::string_view pattern, double value,
                        const FormatSettingsData& settings = FormatSettings());

}  // namespace core
