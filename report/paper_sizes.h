// The platform's standard paper numbers with their sizes in millimetres
// (portrait). 256 is a custom size and is not in the table.
#pragma once

#include <span>

namespace report {

struct TqdrPaperSize {
  int number;
  double width, height;  // mm
};

// The paper of number `number`, or null when the number is not a standard paper.
const TqdrPaperSize* FindPaperSize(int number);
// The standard paper of that size (either orientation, 1 mm tolerance), or null.
const TqdrPaperSize* FindPaperBySize(double width, double height);
// The papers every printer driver knows: numbers 1 to 47 and 50 to 68 (66 entries).
std::span<const TqdrPaperSize> DriverPaperSizes();

}  // namespace report
