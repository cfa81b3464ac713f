// Password descrambling and its inverse.
#include "app/password.h"

#include "core/code_page.h"
#include "core/text_util.h"

namespace app {

namespace {

constexpr char kKey[] = "PlumWick";
constexpr char kEmptyMarker[] = "4071958362";
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SixBits(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  return 63;  // '/' and every other character
}

// Groups of five, then one group of the remaining four, three, or one-two characters.
std::string Regroup(std::string_view s) {
  std::string t;
  t.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    size_t r = s.size() - i;
    const char* c = s.data() + i;
    if (r >= 5) {
      t += {c[1], c[3], c[4], c[2], c[0]};
      i += 5;
    } else if (r == 4) {
      t += {c[2], c[0], c[3], c[1]};
      i += 4;
    } else if (r == 3) {
      t += {c[1], c[2], c[0]};
      i += 3;
    } else {
      t.append(c, r);
      i += r;
    }
  }
  return t;
}

std::string Ungroup(std::string_view t) {
  std::string s;
  s.reserve(t.size());
  size_t i = 0;
  while (i < t.size()) {
    size_t r = t.size() - i;
    const char* o = t.data() + i;
    if (r >= 5) {
      s += {o[4], o[0], o[3], o[1], o[2]};
      i += 5;
    } else if (r == 4) {
      s += {o[1], o[3], o[0], o[2]};
      i += 4;
    } else if (r == 3) {
      s += {o[2], o[0], o[1]};
      i += 3;
    } else {
      s.append(o, r);
      i += r;
    }
  }
  return s;
}

std::string Base64Decode(std::string t) {
  switch (t.size() % 4) {
    case 2: t += "=="; break;
    case 3: t += "="; break;
    case 1: t += "="; break;
  }
  std::string out;
  // A text of length 4k+1 is not Base64: its lone last character carries
  // fewer than eight bits, so it yields no byte.
  size_t groups = t.size() / 4;
  for (size_t g = 0; g < groups; ++g) {
    const char* c = t.data() + g * 4;
    unsigned v = (SixBits(c[0]) << 18) | (SixBits(c[1]) << 12) | (SixBits(c[2]) << 6) | SixBits(c[3]);
    bool last = g + 1 == groups;
    int bytes = 3;
    if (last && c[2] == '=') bytes = 1;
    else if (last && c[3] == '=') bytes = 2;
    out.push_back(static_cast<char>((v >> 16) & 0xFF));
    if (bytes > 1) out.push_back(static_cast<char>((v >> 8) & 0xFF));
    if (bytes > 2) out.push_back(static_cast<char>(v & 0xFF));
  }
  return out;
}

std::string Base64EncodeUnpadded(std::string_view bytes) {
  std::string out;
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                 (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
    out += {kAlphabet[(v >> 18) & 63], kAlphabet[(v >> 12) & 63], kAlphabet[(v >> 6) & 63], kAlphabet[v & 63]};
  }
  size_t rest = bytes.size() - i;
  if (rest == 1) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += {kAlphabet[(v >> 18) & 63], kAlphabet[(v >> 12) & 63]};
  } else if (rest == 2) {
    unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    out += {kAlphabet[(v >> 18) & 63], kAlphabet[(v >> 12) & 63], kAlphabet[(v >> 6) & 63]};
  }
  return out;
}

// Key positions run 2..7 then 1, 2, ...: the eighth letter is never used.
template <typename Op>
std::string ApplyKey(std::string_view bytes, Op op) {
  std::string out(bytes);
  int k = 2;
  for (char& b : out) {
    b = static_cast<char>(op(static_cast<unsigned char>(b), static_cast<unsigned char>(kKey[k - 1])) & 0xFF);
    if (++k == 8) k = 1;
  }
  return out;
}

}  // namespace

std::string DecodePasswordBytes(std::string_view stored) {
  std::string bytes = ApplyKey(Base64Decode(Regroup(stored)), [](unsigned b, unsigned key) { return b - key; });
  if (bytes == kEmptyMarker) return std::string();
  return bytes;
}

std::string DecodePassword(std::string_view stored) { return core::GbkToUtf8(DecodePasswordBytes(stored)); }

std::string EncodePasswordBytes(std::string_view bytes) {
  return Ungroup(Base64EncodeUnpadded(ApplyKey(bytes, [](unsigned b, unsigned key) { return b + key; })));
}

std::string EncodePassword(std::string_view text) { return EncodePasswordBytes(core::Utf8ToGbk(text)); }

std::string DefaultIfBlank(const std::string& value, const std::string& fallback) {
  return core::TrimView(value).empty() ? fallback : value;
}

}  // namespace app
