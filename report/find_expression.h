// Finding bracketed expressions in memo text and expanding them. Positions are
// byte offsets into UTF-8 text; delimiters and quotes are ASCII or whole UTF-8
// sequences, so a match never starts inside a multi-byte character.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace report {

struct FoundExpression {
  std::string inner;  // text between the delimiters
  size_t endPos = 0;  // offset of the expression's last byte; == start when none
};

// The expression beginning at start (which holds the opening delimiter).
// Delimiters inside single- or double-quoted strings do not count; nesting is
// followed. Without a closing delimiter the walk runs to the end of the text
// and the inner text stops before the last character.
FoundExpression FindExpression(std::string_view text, std::string_view open, std::string_view close,
                               size_t start);

// Splits ExpressionDelimiters at its first comma ("[,]" -> "[" and "]"); each
// part is at most 255 characters.
void SplitExpressionDelimiters(std::string_view delimiters, std::string& open, std::string& close);

// Replaces every expression in text by calcAndFormat(inner text). Replaced
// text is never scanned again.
std::string ExpandExpressions(std::string_view text, std::string_view open, std::string_view close,
                              const std::function<std::string(const std::string&)>& calcAndFormat);

}  // namespace report
