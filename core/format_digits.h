// Decimal digits of a float for the text formatters: rounded on the decimal
// text (15 significant digits, half away from zero) rather than on the binary
// value, so 7.25 with one decimal gives 7.3 and 1.005 with two gives 1.01.
#pragma once

#include <string>

namespace core {

// |value| as "<integer digits>.<decimals digits>" ("." only when decimals > 0);
// nonZero tells whether any written digit is not 0.
std::string FixedDigits(double value, int decimals, bool& nonZero);

}  // namespace core
