// Decimal rounding of float digits for the formatters.
#include "core/format_digits.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace core {

std::string FixedDigits(double value, int decimals, bool& nonZero) {
  value = std::fabs(value);
  std::string digits;
  int pointPos = 0;  // value = 0.<digits> x 10^pointPos
  if (value != 0.0 && std::isfinite(value)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    digits.push_back(buf[0]);
    digits.append(buf + 2, 14);
    pointPos = std::atoi(buf + 17) + 1;
    int keep = pointPos + decimals;
    if (keep < 0) {
      digits.clear();
    } else if (keep < static_cast<int>(digits.size())) {
      bool roundUp = digits[static_cast<size_t>(keep)] >= '5';
      digits.resize(static_cast<size_t>(keep));
      if (roundUp) {
        int i = keep - 1;
        for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i)
          digits[static_cast<size_t>(i)] = '0';
        if (i >= 0) {
          ++digits[static_cast<size_t>(i)];
        } else {
          digits.insert(0, 1, '1');
          ++pointPos;
        }
      }
    }
  }
  nonZero = digits.find_first_of("123456789") != std::string::npos;
  if (!nonZero) {
    digits.clear();
    pointPos = 0;
  }
  std::string intPart, frac;
  if (pointPos <= 0) {
    intPart = "0";
    frac = std::string(static_cast<size_t>(-pointPos), '0') + digits;
  } else {
    if (static_cast<int>(digits.size()) < pointPos)
      digits.resize(static_cast<size_t>(pointPos), '0');
    intPart = digits.substr(0, static_cast<size_t>(pointPos));
    frac = digits.substr(static_cast<size_t>(pointPos));
  }
  frac.resize(static_cast<size_t>(decimals), '0');
  return decimals > 0 ? intPart + "." + frac : intPart;
}

}  // namespace core
