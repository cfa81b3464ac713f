// TsqParser: white space and comments, identifiers, numbers, strings, report
// references and line:column positions over a byte string.
#include "script/parser.h"

#include <algorithm>
#include <cstdint>

#include "core/text_util.h"

namespace sq {

namespace {

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(unsigned char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int HexValue(unsigned char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a') return c - 'a' + 10;
  return c - 'A' + 10;
}
// Characters that end a string attempt: controls other than tab (and #0, the
// end of the text).
bool IsStringBreak(unsigned char c) {
  return c <= 8 || (c >= 10 && c <= 31);
}

void SplitPair(std::string_view v, std::string& opener, std::string& closer) {
  size_t comma = v.find(',');
  opener = std::string(core::TrimView(v.substr(0, comma)));
  closer = comma == std::string_view::npos ? std::string()
                                           : std::string(core::TrimView(v.substr(comma + 1)));
}

}  // namespace

void AppendCharCode(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    code = std::min<uint32_t>(code, 0x10FFFF);
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool ParseIntegerToken(std::string_view text, int64_t& out) {
  text = core::TrimView(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  uint64_t value = 0;
  if (text[0] == '$') {
    text.remove_prefix(1);
    if (text.empty() || text.size() > 16) return false;
    for (char c : text) {
      if (!IsHexDigit(static_cast<unsigned char>(c))) return false;
      value = value * 16 + static_cast<uint64_t>(HexValue(static_cast<unsigned char>(c)));
    }
  } else {
    for (char c : text) {
      if (!IsDigit(static_cast<unsigned char>(c))) return false;
      if (__builtin_mul_overflow(value, 10u, &value) ||
          __builtin_add_overflow(value, static_cast<uint64_t>(c - '0'), &value))
        return false;
    }
    if (value > static_cast<uint64_t>(INT64_MAX) + (negative ? 1u : 0u)) return false;
  }
  out = negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
  return true;
}

TsqParser::TsqParser() {
  Reset();
}

void TsqParser::Reset() {
  ClearKeywords();
  identChars_.reset();
  for (int c = '0'; c <= '9'; ++c) identChars_.set(c);
  for (int c = 'A'; c <= 'Z'; ++c) identChars_.set(c);
  for (int c = 'a'; c <= 'z'; ++c) identChars_.set(c);
  identChars_.set('_');
  commentLine1_ = "//";
  commentLine2_.clear();
  SetCommentBlock1("{,}");
  SetCommentBlock2("(*,*)");
  // assign(count, char): GCC 12 warns falsely (-Wrestrict) on one-character literals.
  stringQuotes_.assign(1, '\'');
  hexSequence_.assign(1, '$');
  skipChar_.clear();
  skipEOL_ = true;
  caseSensitive_ = false;
}

void TsqParser::SetText(std::string_view s) {
  text_.assign(s.data(), s.size());
  text_ += '\0';
  size_ = static_cast<int>(s.size());
  position_ = tokenStart_ = 1;
  lineStarts_.assign(1, 0);
  for (int i = 0; i < size_; ++i)
    if (s[static_cast<size_t>(i)] == '\n') lineStarts_.push_back(i + 1);
}

void TsqParser::SetCommentBlock1(std::string_view v) {
  SplitPair(v, block1Open_, block1Close_);
}
void TsqParser::SetCommentBlock2(std::string_view v) {
  SplitPair(v, block2Open_, block2Close_);
}

void TsqParser::SetIdentChars(std::string_view chars) {
  identChars_.reset();
  for (char c : chars) identChars_.set(static_cast<unsigned char>(c));
}

void TsqParser::AddExtendedIdentChars() {
  for (int c = 128; c < 256; ++c) identChars_.set(static_cast<size_t>(c));
}

void TsqParser::SetKeywords(const std::vector<std::string>& words) {
  ClearKeywords();
  for (const std::string& w : words) AddKeyword(w);
}

void TsqParser::AddKeyword(std::string_view word) {
  std::string w(word);
  auto at = std::lower_bound(
      keywords_.begin(), keywords_.end(), w,
      [](const std::string& a, const std::string& b) { return core::CompareNoCase(a, b) < 0; });
  keywords_.insert(at, w);
  upperKeywords_.insert(core::UpperCase(w));
}

void TsqParser::ClearKeywords() {
  keywords_.clear();
  upperKeywords_.clear();
}

bool TsqParser::IsKeyword(std::string_view s) const {
  if (!caseSensitive_) return upperKeywords_.count(core::UpperCase(s)) != 0;
  return std::find(keywords_.begin(), keywords_.end(), s) != keywords_.end();
}

bool TsqParser::At(int p, std::string_view s) const {
  if (s.empty() || p < 1 || p - 1 + static_cast<int>(s.size()) > size_) return false;
  return std::string_view(text_).substr(static_cast<size_t>(p - 1), s.size()) == s;
}

bool TsqParser::MatchLineComment(const std::string& opener) const {
  if (!At(position_, opener)) return false;
  // An opener made of letters (rem) must not be the start of a longer name.
  unsigned char last = static_cast<unsigned char>(opener.back());
  if (identChars_.test(last) && identChars_.test(Ch(position_ + static_cast<int>(opener.size()))))
    return false;
  return true;
}

void TsqParser::SkipSpaces() {
  for (;;) {
    for (;;) {
      unsigned char c = Ch(position_);
      if (position_ > size_ || c > 32 || (c == 13 && !skipEOL_)) break;
      ++position_;
    }
    if (!skipChar_.empty() && position_ <= size_ &&
        Ch(position_) == static_cast<unsigned char>(skipChar_[0])) {
      ++position_;
      GetEOL();
      continue;
    }
    if (position_ <= size_) {
      if (MatchLineComment(commentLine1_) ||
          (!commentLine2_.empty() && MatchLineComment(commentLine2_))) {
        // Where line ends are tokens the comment stops before the line end, so
        // that the end still separates statements.
        while (position_ <= size_ && Ch(position_) != 10 && (skipEOL_ || Ch(position_) != 13))
          ++position_;
        continue;
      }
      const std::string* closer = nullptr;
      if (At(position_, block1Open_)) {
        position_ += static_cast<int>(block1Open_.size());
        closer = &block1Close_;
      } else if (At(position_, block2Open_)) {
        position_ += static_cast<int>(block2Open_.size());
        closer = &block2Close_;
      }
      if (closer) {
        while (position_ <= size_ && !At(position_, *closer)) ++position_;
        if (position_ <= size_) position_ += static_cast<int>(closer->size());
        continue;
      }
    }
    break;
  }
  tokenStart_ = position_;
}

bool TsqParser::GetEOL() {
  SkipSpaces();
  unsigned char c = Ch(position_);
  if (position_ > size_ || (c != 13 && c != 10)) return false;
  while (position_ <= size_ && (Ch(position_) == 13 || Ch(position_) == 10)) ++position_;
  return true;
}

std::string TsqParser::GetIdent() {
  SkipSpaces();
  unsigned char c = Ch(position_);
  if (position_ > size_ || !identChars_.test(c) || IsDigit(c)) return std::string();
  while (position_ <= size_ && identChars_.test(Ch(position_))) ++position_;
  return text_.substr(static_cast<size_t>(tokenStart_ - 1),
                      static_cast<size_t>(position_ - tokenStart_));
}

std::string TsqParser::GetWord() {
  std::string s = GetIdent();
  if (!s.empty() && IsKeyword(s)) return std::string();
  return s;
}

std::string TsqParser::GetChar() {
  unsigned char c = Ch(position_);
  if (position_ > size_) return std::string();
  if ((c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) ||
      (c >= 123 && c <= 126)) {
    ++position_;
    return std::string(1, static_cast<char>(c));
  }
  return std::string();
}

bool TsqParser::ReadDigits(int& p) const {
  int start = p;
  while (IsDigit(Ch(p))) ++p;
  return p > start;
}

bool TsqParser::ReadIntegerPart(int& p) const {
  if (!hexSequence_.empty() && At(p, hexSequence_)) {
    int q = p + static_cast<int>(hexSequence_.size());
    int start = q;
    while (IsHexDigit(Ch(q))) ++q;
    if (q > start) {
      p = q;
      return true;
    }
    return false;
  }
  return ReadDigits(p);
}

std::string TsqParser::GetNumber() {
  SkipSpaces();
  int p = position_;
  if (!ReadIntegerPart(p)) return std::string();
  int intEnd = p;
  // Fractional form: "." digits, then an optional exponent that is given back
  // when it has no digits.
  if (Ch(p) == '.') {
    int q = p + 1;
    if (ReadDigits(q))
      p = q;
    else
      p = intEnd;  // 1..5 and 1.x keep only the integer
  }
  if (Ch(p) == 'E' || Ch(p) == 'e') {
    int q = p + 1;
    if (Ch(q) == '+' || Ch(q) == '-') ++q;
    if (ReadDigits(q)) p = q;
  }
  position_ = p;
  std::string result = text_.substr(static_cast<size_t>(tokenStart_ - 1),
                                    static_cast<size_t>(position_ - tokenStart_));
  if (hexSequence_ != "$" && !hexSequence_.empty()) {
    size_t at = 0;
    while ((at = result.find(hexSequence_, at)) != std::string::npos) {
      result.replace(at, hexSequence_.size(), 1, '$');
      ++at;
    }
  }
  return result;
}

bool TsqParser::ReadQuotedPiece(int& p, std::string& out) const {
  const unsigned char quote = static_cast<unsigned char>(stringQuotes_[0]);
  const bool escapes = quote == '"';
  std::string piece;
  int q = p + 1;
  for (;;) {
    unsigned char c = Ch(q);
    if (q > size_ || IsStringBreak(c)) return false;
    if (c == quote) {
      if (!escapes && Ch(q + 1) == quote) {
        piece += static_cast<char>(quote);
        q += 2;
        continue;
      }
      ++q;
      break;
    }
    if (escapes && c == '\\') {
      unsigned char e = Ch(q + 1);
      if (q + 1 > size_ || IsStringBreak(e)) return false;
      q += 2;
      switch (e) {
        case 'n':
        case 'N':
          piece += '\n';
          break;
        case 'r':
        case 'R':
          piece += '\r';
          break;
        case 'x':
        case 'X': {
          if (!IsHexDigit(Ch(q))) break;  // \x without digits gives nothing
          uint32_t code = 0;
          while (IsHexDigit(Ch(q)))
            code = (code * 16 + static_cast<uint32_t>(HexValue(Ch(q++)))) & 0xFFFFFF;
          AppendCharCode(piece, code & 0xFF);
          break;
        }
        default:
          piece += static_cast<char>(e);
      }
      continue;
    }
    piece += static_cast<char>(c);
    ++q;
  }
  out += piece;
  p = q;
  return true;
}

bool TsqParser::ReadCodePiece(int& p, std::string& out) const {
  int q = p + 1;
  int start = q;
  if (!ReadIntegerPart(q)) return false;
  std::string digits = text_.substr(static_cast<size_t>(start - 1), static_cast<size_t>(q - start));
  if (!hexSequence_.empty() && hexSequence_ != "$" && digits.rfind(hexSequence_, 0) == 0)
    digits.replace(0, hexSequence_.size(), 1, '$');
  int64_t code = 0;
  if (!ParseIntegerToken(digits, code) || code < 0 || code > 0x10FFFF) return false;
  AppendCharCode(out, static_cast<uint32_t>(code));
  p = q;
  return true;
}

std::string TsqParser::GetString() {
  SkipSpaces();
  std::string value;
  int pieces = 0;
  int p = position_;
  for (;;) {
    unsigned char c = Ch(p);
    if (p > size_) break;
    if (!stringQuotes_.empty() && c == static_cast<unsigned char>(stringQuotes_[0])) {
      if (!ReadQuotedPiece(p, value)) break;
    } else if (c == '#') {
      if (!ReadCodePiece(p, value)) break;
    } else {
      break;
    }
    ++pieces;
  }
  position_ = p;
  if (pieces == 0) return std::string();
  return "'" + value + "'";
}

std::string TsqParser::GetQrString() {
  int start = position_;
  int depth = 1;
  bool inSingle = false, inDouble = false;
  int p = position_;
  while (p <= size_) {
    unsigned char c = Ch(p);
    if (c == '\'' && !inDouble) {
      inSingle = !inSingle;
    } else if (c == '"' && !inSingle) {
      inDouble = !inDouble;
    } else if (!inSingle && !inDouble) {
      if (c == '<' || c == '[') {
        ++depth;
      } else if (c == '>' || c == ']') {
        if (--depth == 0) break;
      }
    }
    ++p;
  }
  position_ = p;
  return text_.substr(static_cast<size_t>(start - 1), static_cast<size_t>(p - start));
}

std::string TsqParser::XYPositionOf(int position) const {
  auto it = std::lower_bound(lineStarts_.begin(), lineStarts_.end(), position);
  int line = static_cast<int>(it - lineStarts_.begin());
  if (line == 0) line = 1;  // position 0 or below: treat as the first line
  int column = position - lineStarts_[static_cast<size_t>(line - 1)];
  return std::to_string(line) + ":" + std::to_string(column);
}

std::string TsqParser::GetXYPosition() const {
  return XYPositionOf(position_);
}

int TsqParser::GetPlainPosition(int column, int line) const {
  if (line < 1 || line > static_cast<int>(lineStarts_.size())) return -1;
  return lineStarts_[static_cast<size_t>(line - 1)] + column;
}

}  // namespace sq
