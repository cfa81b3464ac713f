// Character positions in UTF-8 text: scripts count characters (code points),
// not bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace sq {

// Number of characters in `s`; a stray continuation byte counts as one.
size_t Utf8Length(std::string_view s);
// Byte range of character `index` (1-based); false when out of range.
bool Utf8CharRange(std::string_view s, size_t index, size_t& start, size_t& length);

}  // namespace sq
