// GBK <-> UTF-8 through iconv; one converter per direction, opened on first use.
#include "core/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace core {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }

  // Converts `in`; an unconvertible sequence of `skip` bytes is replaced by `replacement`.
  std::string Run(std::string_view in, std::string_view replacement, bool fromUtf8) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.reserve(in.size() * 3 / 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[4096];
    while (srcLeft > 0) {
      char* dst = buf;
      size_t dstLeft = sizeof buf;
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buf, static_cast<size_t>(dst - buf));
      if (r != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: skip one character of the input.
      size_t skip = 1;
      if (fromUtf8) {
        unsigned char c = static_cast<unsigned char>(*src);
        skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (skip > srcLeft) skip = srcLeft;
      } else if (srcLeft >= 2) {
        // A lead byte with a valid trail byte is one unknown character.
        unsigned char lead = static_cast<unsigned char>(src[0]);
        unsigned char trail = static_cast<unsigned char>(src[1]);
        if (lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F)
          skip = 2;
      }
      out.append(replacement);
      src += skip;
      srcLeft -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
    out.append(buf, static_cast<size_t>(dst - buf));
    return out;
  }

 private:
  iconv_t cd_;
  std::mutex mutex_;
};

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  static Converter conv("UTF-8", "GBK");
  return conv.Run(gbk, "\xEF\xBF\xBD", false);
}

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  static Converter conv("GBK", "UTF-8");
  return conv.Run(utf8, "?", true);
}

bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
    i += n;
  }
  return true;
}

size_t Utf8Length(std::string_view s) {
  size_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace core
