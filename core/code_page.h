// Conversion between UTF-8 (our text everywhere) and GBK (code page 936),
// the byte strings of the installation's files, settings and templates.
#pragma once

#include <string>
#include <string_view>

namespace core {

// Bytes that are not valid GBK become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
// Characters GBK cannot hold become "?".
std::string Utf8ToGbk(std::string_view utf8);
bool IsValidUtf8(std::string_view s);
// Number of code points of a UTF-8 text.
size_t Utf8Length(std::string_view s);

}  // namespace core
