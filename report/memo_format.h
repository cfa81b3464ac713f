// Display formats of memo values: the text of a value in a format, the " #"
// format suffix of a bracketed expression, and CalcAndFormat over any value
// source (the report's Calc in a memo, a table in tests).
#pragma once

#include <functional>
#include <string>

#include "core/variant.h"
#include "report/frame.h"

namespace report {

// Text of value in format: null -> ""; fkText: plain text; fkNumeric: float
// pattern when FormatStr starts with "#", else printf-like, then the one
// character DecimalSeparator replaces the machine's; fkDateTime: date pattern;
// fkBoolean: "false text,true text". A formatting error gives the plain text.
std::string FormatData(const core::Variant& value, const TqdrFormat& format);

// Splits "expr #<kind><format>" into the value part and a temporary format.
// Returns false (valuePart = expr) when there is no suffix or the " #" belongs
// to the expression (the format part holds ")").
bool SplitFormatSuffix(const std::string& expr, std::string& valuePart, TqdrFormat& format);

// True for a value HideZeros blanks: not a string and equal to 0.
bool IsHiddenZero(const core::Variant& value);

// The text of one bracketed expression: its value from calc (or the
// "[TotalPages#]" placeholder), zero hiding, then FormatData with the suffix
// format or displayFormat. value receives the computed value.
std::string CalcAndFormat(const std::string& expr, const TqdrFormat& displayFormat, bool hideZeros,
                          const std::function<core::Variant(const std::string&)>& calc,
                          core::Variant& value);

}  // namespace report
