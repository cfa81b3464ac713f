// TsqParser: the character-level reader of the script engine. The compiler
// asks it, at the current position, for exactly the token kind its grammar
// expects and rewinds by setting Position back when an alternative fails.
// Every language-specific convention (comments, quotes, hex prefix, keywords,
// line ends) is a setting; a fresh reader holds the VuredeVizivo defaults.
#pragma once

#include <bitset>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace sq {

class TsqParser {
 public:
  TsqParser();

  // Restores every setting to the fresh defaults and clears the keywords.
  void Reset();

  void SetText(std::string_view s);
  const std::string& Text() const { return text_; }  // the source plus one #0
  int Size() const { return size_; }

  // 1-based offset into Text; setting it also moves TokenStart.
  int Position() const { return position_; }
  void SetPosition(int p) { position_ = tokenStart_ = p; }
  int TokenStart() const { return tokenStart_; }
  const std::vector<int>& LineStarts() const { return lineStarts_; }

  void SkipSpaces();
  bool GetEOL();
  std::string GetIdent();
  std::string GetWord();  // empty for keywords
  bool IsKeyword(std::string_view s) const;
  std::string GetChar();
  std::string GetNumber();  // hexadecimal numbers come back with the "$" prefix
  std::string GetString();  // the literal's value wrapped in single quotes
  std::string GetQrString();
  std::string GetXYPosition() const;  // "line:column" of Position
  // "line:column" of an arbitrary offset.
  std::string XYPositionOf(int position) const;
  int GetPlainPosition(int column, int line) const;

  // Settings.
  void SetKeywords(const std::vector<std::string>& words);
  void AddKeyword(std::string_view word);
  void ClearKeywords();
  const std::vector<std::string>& Keywords() const { return keywords_; }

  std::bitset<256>& IdentChars() { return identChars_; }
  const std::bitset<256>& IdentChars() const { return identChars_; }
  void SetIdentChars(std::string_view chars);
  // Adds the characters 128..255: identifiers may hold national characters.
  void AddExtendedIdentChars();

  const std::string& CommentLine1() const { return commentLine1_; }
  void SetCommentLine1(std::string v) { commentLine1_ = std::move(v); }
  const std::string& CommentLine2() const { return commentLine2_; }
  void SetCommentLine2(std::string v) { commentLine2_ = std::move(v); }
  // "opener,closer"
  std::string CommentBlock1() const { return block1Open_ + "," + block1Close_; }
  void SetCommentBlock1(std::string_view v);
  std::string CommentBlock2() const { return block2Open_ + "," + block2Close_; }
  void SetCommentBlock2(std::string_view v);
  const std::string& StringQuotes() const { return stringQuotes_; }
  void SetStringQuotes(std::string v) { stringQuotes_ = std::move(v); }
  const std::string& HexSequence() const { return hexSequence_; }
  void SetHexSequence(std::string v) { hexSequence_ = std::move(v); }
  const std::string& SkipChar() const { return skipChar_; }
  void SetSkipChar(std::string v) { skipChar_ = std::move(v); }
  bool SkipEOL() const { return skipEOL_; }
  void SetSkipEOL(bool v) { skipEOL_ = v; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool v) { caseSensitive_ = v; }

 private:
  unsigned char Ch(int p) const {
    return p >= 1 && p <= static_cast<int>(text_.size()) ? static_cast<unsigned char>(text_[p - 1])
                                                         : 0;
  }
  bool At(int p, std::string_view s) const;
  bool MatchLineComment(const std::string& opener) const;
  // Reads decimal digits, or the hex prefix and hex digits, from `p`; moves p
  // past them. False (p unchanged) when there are none.
  bool ReadIntegerPart(int& p) const;
  bool ReadDigits(int& p) const;
  bool ReadQuotedPiece(int& p, std::string& out) const;
  bool ReadCodePiece(int& p, std::string& out) const;

  std::string text_ = std::string(1, '\0');
  int position_ = 1;
  int tokenStart_ = 1;
  int size_ = 0;
  std::vector<int> lineStarts_{0};

  std::vector<std::string> keywords_;
  std::set<std::string> upperKeywords_;
  std::bitset<256> identChars_;
  std::string commentLine1_, commentLine2_;
  std::string block1Open_, block1Close_, block2Open_, block2Close_;
  std::string stringQuotes_, hexSequence_, skipChar_;
  bool skipEOL_ = true;
  bool caseSensitive_ = false;
};

// Value of a number token as the lexer returns it ("12", "$1F", "1.5e3"):
// integers as 64-bit (false when the text is not an integer).
bool ParseIntegerToken(std::string_view text, int64_t& out);

// Appends the UTF-8 form of a character code.
void AppendCharCode(std::string& out, uint32_t code);

}  // namespace sq
