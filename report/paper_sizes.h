// The platform's standard paper numbers with their sizes in millimetres
// (portrait). 256 is a custom size and is not in the table.
#pragma once

namespace report {

struct TqdrPaperSize {
  int number;
  double width, height;  // mm
};

// The paper of number `number`, or null when the number is not a standard paper.
const TqdrPaperSize* FindPaperSize(int number);
// The standard paper of that size (either orientation, 1 mm tolerance), or null.
const TqdrPaperSize* FindPaperBySize(double width, double height);

}  // namespace report
