// The HTML-like tags of memo text (<b> <i> <u> <strike> <sub> <sup>
// <font color=...> and their closing forms): split a source line into its
// characters and the tag state of each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// Tag state of one character.
struct TqdrHTMLTag {
  enum Style : uint8_t { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
  uint8_t style = 0;
  int32_t color = 0;     // TColor (0x00BBGGRR)
  int size = 0;          // points
  int offsetFactor = 0;  // 1: lowered by its own size (<sub>)
  bool isDefault = true;
  bool operator==(const TqdrHTMLTag& o) const {
    return style == o.style && color == o.color && size == o.size && offsetFactor == o.offsetFactor;
  }
};

// Code points of UTF-8 text; an invalid byte becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);

// Characters of one source line and their states, starting from defaults.
// With allowTags off every character keeps the default state. A tag that is
// not recognised stays as text.
// sourcePos (optional) receives each kept character's index in line.
void ParseTags(const std::u32string& line, bool allowTags, const TqdrHTMLTag& defaults,
               std::u32string& chars, std::vector<TqdrHTMLTag>& states,
               std::vector<uint32_t>* sourcePos = nullptr);

// Tags that restore state from defaults: <b>, <i>, <u>, <font color=#RRGGBB>.
std::string TagsForState(const TqdrHTMLTag& state, const TqdrHTMLTag& defaults);

}  // namespace report
