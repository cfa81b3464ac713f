// UTF-8 character counting.
#include "script/utf8_text.h"

namespace sq {

namespace {

size_t SequenceLength(unsigned char lead) {
  if (lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

size_t NextChar(std::string_view s, size_t at) {
  size_t n = SequenceLength(static_cast<unsigned char>(s[at]));
  size_t end = at + 1;
  while (end < s.size() && end < at + n && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
    ++end;
  return end;
}

}  // namespace

size_t Utf8Length(std::string_view s) {
  size_t count = 0;
  for (size_t at = 0; at < s.size(); at = NextChar(s, at)) ++count;
  return count;
}

bool Utf8CharRange(std::string_view s, size_t index, size_t& start, size_t& length) {
  if (index < 1) return false;
  size_t at = 0;
  for (size_t i = 1; at < s.size(); ++i) {
    size_t next = NextChar(s, at);
    if (i == index) {
      start = at;
      length = next - at;
      return true;
    }
    at = next;
  }
  return false;
}

}  // namespace sq
