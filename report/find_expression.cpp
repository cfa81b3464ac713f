// Expression finder and expander of memo text.
#include "report/find_expression.h"

#include <algorithm>

namespace report {
namespace {

bool StartsAt(std::string_view text, size_t pos, std::string_view what) {
  return !what.empty() && text.substr(pos, what.size()) == what;
}

std::string Cut255(std::string_view s) {
  // 255 characters, not bytes: never split a UTF-8 sequence.
  size_t chars = 0, pos = 0;
  while (pos < s.size()) {
    if ((static_cast<unsigned char>(s[pos]) & 0xC0) != 0x80) {
      if (chars == 255) break;
      ++chars;
    }
    ++pos;
  }
  return std::string(s.substr(0, pos));
}

}  // namespace

FoundExpression FindExpression(std::string_view text, std::string_view open, std::string_view close,
                               size_t start) {
  FoundExpression found;
  found.endPos = start;
  // A walk started off a delimiter would count a closing delimiter to -1 and
  // run to the end of the text; there is no expression there.
  if (start >= text.size() || !StartsAt(text, start, open)) return found;
  int depth = 0;
  bool inDouble = false, inSingle = false;
  size_t exprStart = start;
  bool first = true;
  size_t pos = start;
  bool stopped = false;
  for (; pos < text.size(); ++pos) {
    if (!inDouble && !inSingle) {
      if (StartsAt(text, pos, open)) {
        if (first) exprStart = pos;
        first = false;
        ++depth;
      } else if (StartsAt(text, pos, close)) {
        --depth;
      }
    }
    if (text[pos] == '"' && !inSingle) inDouble = !inDouble;
    if (text[pos] == '\'' && !inDouble) inSingle = !inSingle;
    if (depth == 0) {
      stopped = true;
      break;
    }
  }
  if (!stopped) pos = text.size() - 1;  // unterminated: the last character is dropped
  size_t innerStart = exprStart + open.size();
  if (pos > innerStart) found.inner = std::string(text.substr(innerStart, pos - innerStart));
  if (pos > start) found.endPos = std::min(pos + close.size() - 1, text.size() - 1);
  return found;
}

void SplitExpressionDelimiters(std::string_view delimiters, std::string& open, std::string& close) {
  size_t comma = delimiters.find(',');
  if (comma == std::string_view::npos) {
    open = Cut255(delimiters);
    close.clear();
    return;
  }
  open = Cut255(delimiters.substr(0, comma));
  close = Cut255(delimiters.substr(comma + 1));
}

std::string ExpandExpressions(std::string_view source, std::string_view open,
                              std::string_view close,
                              const std::function<std::string(const std::string&)>& calcAndFormat) {
  std::string text(source);
  if (open.empty() || text.find(open) == std::string::npos) return text;
  size_t i = 0;
  while (i < text.size()) {
    while (i + 1 < text.size() && !StartsAt(text, i, open)) ++i;
    FoundExpression found = FindExpression(text, open, close, i);
    if (found.endPos == i) break;
    std::string value = calcAndFormat(found.inner);
    text.replace(i, found.endPos - i + 1, value);
    i += value.size();
  }
  return text;
}

}  // namespace report
