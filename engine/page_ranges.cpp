// Page range parsing.
#include "engine/page_ranges.h"

#include <string>

#include "core/error.h"

namespace engine {

namespace {
int ToPageNumber(const std::string& digits) {
  bool ok = !digits.empty() && digits.size() < 10;
  for (char c : digits) ok = ok && c >= '0' && c <= '9';
  if (!ok) throw core::Error("'" + digits + "' is not a valid integer value");
  return std::stoi(digits);
}
}  // namespace

std::vector<int> ParsePageNumbers(std::string_view text, int pageCount) {
  std::string s;
  for (char c : text)
    if (c != ' ') s += c;
  std::vector<int> out;
  if (s.empty()) return out;
  if (s.back() == '-') s += std::to_string(pageCount);
  s += ',';
  std::string digits;
  int rangeStart = -1;
  for (char c : s) {
    if (c == '-') {
      rangeStart = ToPageNumber(digits);
      digits.clear();
    } else if (c == ',') {
      const int n = ToPageNumber(digits);
      digits.clear();
      const int from = rangeStart >= 0 ? rangeStart : n;
      for (int p = from; p <= n; ++p)
        if (p >= 1 && p <= pageCount) out.push_back(p);
      rangeStart = -1;
    } else {
      digits += c;
    }
  }
  return out;
}

}  // namespace engine
