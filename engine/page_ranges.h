// Page range texts ("1,3,5-7", "8-") as printing and exporting read them.
#pragma once

#include <string_view>
#include <vector>

namespace engine {

// Page numbers (1-based) selected by `text` out of `pageCount`; empty selects
// all. Raises core::Error "'X' is not a valid integer value" for a part that is
// not a number, before anything is selected.
std::vector<int> ParsePageNumbers(std::string_view text, int pageCount);

}  // namespace engine
