// Small text helpers shared by every folder: trimming and ASCII case rules
// the way the system compares names (only ASCII letters fold).
#pragma once

#include <string>
#include <string_view>

namespace core {

// Trims characters of code 32 and below at both ends, as the system's Trim does.
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);
std::string UpperCase(std::string_view s);  // ASCII letters only
std::string LowerCase(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Case-insensitive ordering over ASCII letters; other bytes compare as unsigned.
int CompareNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);

}  // namespace core
