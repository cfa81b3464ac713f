// Tag scanning of memo lines.
#include "report/html_tags.h"

#include <cmath>
#include <cstdio>

namespace report {
namespace {

struct NamedColor {
  const char* name;
  int32_t color;
};

// The standard colour names ("cl" + value), as TColor values.
constexpr NamedColor kColors[] = {
    {"CLBLACK", 0x000000},  {"CLMAROON", 0x000080},  {"CLGREEN", 0x008000}, {"CLOLIVE", 0x008080},
    {"CLNAVY", 0x800000},   {"CLPURPLE", 0x800080},  {"CLTEAL", 0x808000},  {"CLGRAY", 0x808080},
    {"CLSILVER", 0xC0C0C0}, {"CLRED", 0x0000FF},     {"CLLIME", 0x00FF00},  {"CLYELLOW", 0x00FFFF},
    {"CLBLUE", 0xFF0000},   {"CLFUCHSIA", 0xFF00FF}, {"CLAQUA", 0xFFFF00},  {"CLWHITE", 0xFFFFFF},
    {"CLLTGRAY", 0xC0C0C0}, {"CLDKGRAY", 0x808080},
};

bool IsSpace(char32_t c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string UpperAscii(const std::u32string& s) {
  std::string out;
  for (char32_t c : s) {
    if (c >= 'a' && c <= 'z') c -= 32;
    out += c < 128 ? static_cast<char>(c) : '?';
  }
  return out;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// "FONT COLOR = value": the colour, or false when the tag is not that form.
bool ParseFontColor(const std::string& tag, int32_t& color) {
  if (tag.rfind("FONT", 0) != 0 || tag.size() < 5 || !IsSpace(static_cast<char32_t>(tag[4])))
    return false;
  std::string rest = Trim(tag.substr(4));
  if (rest.rfind("COLOR", 0) != 0) return false;
  rest = Trim(rest.substr(5));
  if (rest.empty() || rest[0] != '=') return false;
  rest = Trim(rest.substr(1));
  if (rest.size() >= 2 && (rest[0] == '"' || rest[0] == '\'') && rest.back() == rest[0])
    rest = Trim(rest.substr(1, rest.size() - 2));
  if (!rest.empty() && rest[0] == '#') {
    unsigned rgb = 0;
    if (rest.size() != 7 || std::sscanf(rest.c_str() + 1, "%6x", &rgb) != 1) return false;
    // #RRGGBB is written in red, green, blue order; TColor keeps red lowest.
    color = static_cast<int32_t>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
    return true;
  }
  std::string name = "CL" + rest;
  for (const NamedColor& c : kColors)
    if (name == c.name) {
      color = c.color;
      return true;
    }
  return false;
}

// Applies a tag name (upper-cased, trimmed); false when it is not a tag.
bool ApplyTag(const std::string& tag, const TqdrHTMLTag& defaults, TqdrHTMLTag& state) {
  auto styleBit = [&](const char* on, const char* off, uint8_t bit) {
    if (tag == on) {
      state.style |= bit;
      return true;
    }
    if (tag == off) {
      state.style &= static_cast<uint8_t>(~bit);
      return true;
    }
    return false;
  };
  if (styleBit("B", "/B", TqdrHTMLTag::Bold) || styleBit("I", "/I", TqdrHTMLTag::Italic) ||
      styleBit("U", "/U", TqdrHTMLTag::Underline) ||
      styleBit("STRIKE", "/STRIKE", TqdrHTMLTag::StrikeOut))
    return true;
  if (tag == "SUB" || tag == "SUP") {
    state.size = static_cast<int>(std::lround(defaults.size / 1.5));
    state.offsetFactor = tag == "SUB" ? 1 : 0;
    return true;
  }
  if (tag == "/SUB" || tag == "/SUP") {
    state.size = defaults.size;
    state.offsetFactor = 0;
    return true;
  }
  if (tag == "/FONT") {
    state.color = defaults.color;
    return true;
  }
  int32_t color = 0;
  if (ParseFontColor(tag, color)) {
    state.color = color;
    return true;
  }
  return false;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + static_cast<size_t>(len) > s.size()) {
      out += U'\uFFFD';
      ++i;
      continue;
    }
    char32_t cp = len == 1 ? c : c & (0x7F >> len);
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((cc & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      out += U'\uFFFD';
      ++i;
      continue;
    }
    out += cp;
    i += static_cast<size_t>(len);
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

void ParseTags(const std::u32string& line, bool allowTags, const TqdrHTMLTag& defaults,
               std::u32string& chars, std::vector<TqdrHTMLTag>& states,
               std::vector<uint32_t>* sourcePos) {
  chars.clear();
  states.clear();
  if (sourcePos) sourcePos->clear();
  TqdrHTMLTag state = defaults;
  state.isDefault = true;
  for (size_t i = 0; i < line.size(); ++i) {
    if (allowTags && line[i] == '<') {
      size_t close = line.find(U'>', i + 1);
      if (close != std::u32string::npos) {
        std::string tag = Trim(UpperAscii(line.substr(i + 1, close - i - 1)));
        if (ApplyTag(tag, defaults, state)) {
          state.isDefault = state == defaults;
          i = close;
          continue;
        }
      }
    }
    chars += line[i];
    states.push_back(state);
    if (sourcePos) sourcePos->push_back(static_cast<uint32_t>(i));
  }
}

std::string TagsForState(const TqdrHTMLTag& state, const TqdrHTMLTag& defaults) {
  std::string out;
  if (state.style & TqdrHTMLTag::Bold) out += "<b>";
  if (state.style & TqdrHTMLTag::Italic) out += "<i>";
  if (state.style & TqdrHTMLTag::Underline) out += "<u>";
  if (state.color != defaults.color) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "<font color=#%02X%02X%02X>", state.color & 0xFF,
                  (state.color >> 8) & 0xFF, (state.color >> 16) & 0xFF);
    out += buf;
  }
  return out;
}

}  // namespace report
