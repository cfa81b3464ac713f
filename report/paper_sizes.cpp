// Standard paper sizes by paper number.
#include "report/paper_sizes.h"

#include <cmath>
#include <iterator>

namespace report {

namespace {
// Sizes in tenths of a millimetre, as the printer drivers report them.
constexpr struct {
  int number, width, height;
} kPapers[] = {
    {1, 2159, 2794},    // Letter
    {2, 2159, 2794},    // Letter small
    {3, 2794, 4318},    // Tabloid
    {4, 4318, 2794},    // Ledger
    {5, 2159, 3556},    // Legal
    {6, 1397, 2159},    // Statement
    {7, 1842, 2667},    // Executive
    {8, 2970, 4200},    // A3
    {9, 2100, 2970},    // A4
    {10, 2100, 2970},   // A4 small
    {11, 1480, 2100},   // A5
    {12, 2500, 3540},   // B4 (JIS)
    {13, 1820, 2570},   // B5 (JIS)
    {14, 2159, 3302},   // Folio
    {15, 2150, 2750},   // Quarto
    {16, 2540, 3556},   // 10 x 14 in
    {17, 2794, 4318},   // 11 x 17 in
    {18, 2159, 2794},   // Note
    {19, 984, 2254},    // Envelope #9
    {20, 1048, 2413},   // Envelope #10
    {21, 1143, 2635},   // Envelope #11
    {22, 1207, 2794},   // Envelope #12
    {23, 1270, 2921},   // Envelope #14
    {24, 4318, 5588},   // C size sheet
    {25, 5588, 8636},   // D size sheet
    {26, 8636, 11176},  // E size sheet
    {27, 1100, 2200},   // Envelope DL
    {28, 1620, 2290},   // Envelope C5
    {29, 3240, 4580},   // Envelope C3
    {30, 2290, 3240},   // Envelope C4
    {31, 1140, 1620},   // Envelope C6
    {32, 1140, 2290},   // Envelope C65
    {33, 2500, 3530},   // Envelope B4
    {34, 1760, 2500},   // Envelope B5
    {35, 1760, 1250},   // Envelope B6
    {36, 1100, 2300},   // Envelope Italy
    {37, 984, 1905},    // Envelope Monarch
    {38, 921, 1651},    // 6 3/4 envelope
    {39, 3778, 2794},   // US standard fanfold
    {40, 2159, 3048},   // German standard fanfold
    {41, 2159, 3302},   // German legal fanfold
    {42, 2500, 3530},   // B4 (ISO)
    {43, 1000, 1480},   // Japanese postcard
    {44, 2286, 2794},   // 9 x 11 in
    {45, 2540, 2794},   // 10 x 11 in
    {46, 3810, 2794},   // 15 x 11 in
    {47, 2200, 2200},   // Envelope invite
    {50, 2355, 3048},   // Letter extra
    {51, 2355, 3810},   // Legal extra
    {52, 2969, 4572},   // Tabloid extra
    {53, 2360, 3220},   // A4 extra
    {54, 2159, 2794},   // Letter transverse
    {55, 2100, 2970},   // A4 transverse
    {56, 2355, 3048},   // Letter extra transverse
    {57, 2270, 3560},   // SuperA/A4
    {58, 3050, 4870},   // SuperB/A3
    {59, 2159, 3223},   // Letter plus
    {60, 2100, 3300},   // A4 plus
    {61, 1480, 2100},   // A5 transverse
    {62, 1820, 2570},   // B5 (JIS) transverse
    {63, 3220, 4450},   // A3 extra
    {64, 1740, 2350},   // A5 extra
    {65, 2010, 2760},   // B5 (ISO) extra
    {66, 4200, 5940},   // A2
    {67, 2970, 4200},   // A3 transverse
    {68, 3220, 4450},   // A3 extra transverse
    {70, 1050, 1480},   // A6
    {75, 2794, 2159},   // Letter rotated
    {76, 4200, 2970},   // A3 rotated
    {77, 2970, 2100},   // A4 rotated
    {78, 2100, 1480},   // A5 rotated
    {79, 3640, 2570},   // B4 (JIS) rotated
    {80, 2570, 1820},   // B5 (JIS) rotated
    {82, 1480, 1000},   // Japanese postcard rotated
    {83, 1480, 1050},   // A6 rotated
    {88, 1280, 1820},   // B6 (JIS)
    {89, 1820, 1280},   // B6 (JIS) rotated
    {90, 3048, 2794},   // 12 x 11 in
    {93, 1460, 2150},   // PRC 16K
    {94, 970, 1510},    // PRC 32K
    {95, 970, 1510},    // PRC 32K big
    {96, 1020, 1650},   // PRC envelope #1
    {97, 1020, 1760},   // PRC envelope #2
    {98, 1250, 1760},   // PRC envelope #3
    {99, 1100, 2080},   // PRC envelope #4
    {100, 1100, 2200},  // PRC envelope #5
    {101, 1200, 2300},  // PRC envelope #6
    {102, 1600, 2300},  // PRC envelope #7
    {103, 1200, 3090},  // PRC envelope #8
    {104, 2290, 3240},  // PRC envelope #9
    {105, 3240, 4580},  // PRC envelope #10
};

TqdrPaperSize table[std::size(kPapers)];
bool BuildTable() {
  for (size_t i = 0; i < std::size(kPapers); ++i)
    table[i] = {kPapers[i].number, kPapers[i].width / 10.0, kPapers[i].height / 10.0};
  return true;
}
}  // namespace

const TqdrPaperSize* FindPaperSize(int number) {
  static const bool built = BuildTable();
  (void)built;
  for (const auto& p : table)
    if (p.number == number) return &p;
  return nullptr;
}

std::span<const TqdrPaperSize> DriverPaperSizes() {
  FindPaperSize(0);
  // The first entries of the table, up to number 68.
  size_t n = 0;
  while (n < std::size(table) && table[n].number <= 68) ++n;
  return {table, n};
}

const TqdrPaperSize* FindPaperBySize(double width, double height) {
  FindPaperSize(0);
  for (const auto& p : table) {
    if ((std::fabs(p.width - width) <= 1 && std::fabs(p.height - height) <= 1) ||
        (std::fabs(p.width - height) <= 1 && std::fabs(p.height - width) <= 1))
      return &p;
  }
  return nullptr;
}

}  // namespace report
