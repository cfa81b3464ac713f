// The lexer: one table per setting, read the way the compiler reads.
#include "script/parser.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using sq::TsqParser;

namespace {

// Language settings of the registered grammars, as the compiler applies them.
void VuredeVizivo(TsqParser& p) {
  p.Reset();
  p.SetKeywords({"begin", "end", "if", "then", "div", "mod"});
}
void DppAzirez(TsqParser& p) {
  p.Reset();
  p.SetCommentBlock1("/*,*/");
  p.SetCommentBlock2("/*,*/");
  p.SetStringQuotes("\"");
  p.SetHexSequence("0x");
  p.SetCaseSensitive(true);
  p.SetKeywords({"if", "else", "while", "return"});
}
void VazerUdorid(TsqParser& p) {
  p.Reset();
  p.SetCommentLine1("'");
  p.SetCommentLine2("rem");
  p.SetCommentBlock1("/\\,/\\");
  p.SetCommentBlock2("/\\,/\\");
  p.SetStringQuotes("\"");
  p.SetHexSequence("0x");
  p.SetSkipEOL(false);
  p.SetSkipChar("_");
  p.SetKeywords({"rem", "if", "then", "end"});
}

using Language = void (*)(TsqParser&);

// Reads every token with the reader the grammar would try first that fits.
std::vector<std::string> Tokens(Language lang, const std::string& text) {
  TsqParser p;
  lang(p);
  p.SetText(text);
  std::vector<std::string> out;
  for (int guard = 0; guard < 100; ++guard) {
    p.SkipSpaces();
    if (p.Position() > p.Size()) break;
    if (p.GetEOL()) {
      out.push_back("<eol>");
      continue;
    }
    std::string t = p.GetNumber();
    if (t.empty()) t = p.GetString();
    if (t.empty()) {
      t = p.GetIdent();
      if (!t.empty() && p.IsKeyword(t)) t = "kw:" + t;
    }
    if (t.empty()) t = p.GetChar();
    if (t.empty()) {
      out.push_back("<stuck>");
      break;
    }
    out.push_back(t);
  }
  return out;
}

struct TokenCase {
  const char* name;
  Language lang;
  std::string text;
  std::vector<std::string> tokens;
};

class LexerTokens : public testing::TestWithParam<TokenCase> {};

TEST_P(LexerTokens, Reads) {
  const TokenCase& c = GetParam();
  EXPECT_EQ(c.tokens, Tokens(c.lang, c.text));
}

using V = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Comments, LexerTokens,
    testing::Values(
        TokenCase{"BlockBetweenIdents", VuredeVizivo, "a{ comment }b", V{"a", "b"}},
        TokenCase{"UnclosedBlockSwallowsRest", VuredeVizivo, "a { b c", V{"a"}},
        TokenCase{"ParenStarBlock", VuredeVizivo, "(* a *)x", V{"x"}},
        TokenCase{"BlocksDoNotNest", VuredeVizivo, "{ { } x } y", V{"x", "}", "y"}},
        TokenCase{"LineComment", VuredeVizivo, "a // c\r\nb", V{"a", "b"}},
        TokenCase{"CStyleBlock", DppAzirez, "a /* x\n y */ b", V{"a", "b"}},
        TokenCase{"BraceIsPunctuationInC", DppAzirez, "{ a }", V{"{", "a", "}"}},
        TokenCase{"QuoteLineComment", VazerUdorid, "a ' note\r\nb", V{"a", "<eol>", "b"}},
        TokenCase{"RemComment", VazerUdorid, "a\r\nrem note\r\nb", V{"a", "<eol>", "<eol>", "b"}},
        TokenCase{"RemIsCaseExact", VazerUdorid, "REM x", V{"kw:REM", "x"}},
        TokenCase{"RemNeedsWordEnd", VazerUdorid, "remainder", V{"remainder"}},
        TokenCase{"SlashBackslashBlock", VazerUdorid, "a /\\ x /\\ b", V{"a", "b"}}),
    [](const testing::TestParamInfo<TokenCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    LineEnds, LexerTokens,
    testing::Values(TokenCase{"EolIsSpaceByDefault", VuredeVizivo, "a\r\n\r\nb", V{"a", "b"}},
                    TokenCase{"EmptyLinesAreOneEnd", VazerUdorid, "a\r\n\r\n\r\nb",
                              V{"a", "<eol>", "b"}},
                    TokenCase{"ContinuationJoinsLines", VazerUdorid, "a _\r\n b\r\nc",
                              V{"a", "b", "<eol>", "c"}}),
    [](const testing::TestParamInfo<TokenCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Numbers, LexerTokens,
    testing::Values(TokenCase{"DollarHex", VuredeVizivo, "$FF", V{"$FF"}},
                    TokenCase{"CHexComesBackAsDollar", DppAzirez, "0xFF", V{"$FF"}},
                    TokenCase{"ExponentWithSign", VuredeVizivo, "1.5e-3", V{"1.5e-3"}},
                    TokenCase{"ExponentWithoutPoint", VuredeVizivo, "2E5", V{"2E5"}},
                    TokenCase{"DanglingExponentIsGivenBack", VuredeVizivo, "1e", V{"1", "e"}},
                    TokenCase{"PointWithoutDigit", VuredeVizivo, "3.x", V{"3", ".", "x"}},
                    TokenCase{"RangeDotsStayForGrammar", VuredeVizivo, "1..5",
                              V{"1", ".", ".", "5"}},
                    TokenCase{"IdentCannotStartWithDigit", VuredeVizivo, "9abc", V{"9", "abc"}},
                    TokenCase{"ZeroAloneInC", DppAzirez, "0 x", V{"0", "x"}}),
    [](const testing::TestParamInfo<TokenCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Keywords, LexerTokens,
    testing::Values(TokenCase{"CaseInsensitiveKeywords", VuredeVizivo, "Begin BEGIN begin",
                              V{"kw:Begin", "kw:BEGIN", "kw:begin"}},
                    TokenCase{"CaseSensitiveKeywords", DppAzirez, "If if", V{"If", "kw:if"}},
                    TokenCase{"PunctuationOneAtATime", VuredeVizivo, "a:=b<>c",
                              V{"a", ":", "=", "b", "<", ">", "c"}}),
    [](const testing::TestParamInfo<TokenCase>& info) { return std::string(info.param.name); });

struct StringCase {
  const char* name;
  Language lang;
  std::string text;
  std::string result;  // GetString's result ('' wrapped), empty for no string
  int position;        // Position afterwards
};

class LexerStrings : public testing::TestWithParam<StringCase> {};

TEST_P(LexerStrings, Reads) {
  const StringCase& c = GetParam();
  TsqParser p;
  c.lang(p);
  p.SetText(c.text);
  EXPECT_EQ(c.result, p.GetString());
  EXPECT_EQ(c.position, p.Position());
}

INSTANTIATE_TEST_SUITE_P(
    Quotes, LexerStrings,
    testing::Values(StringCase{"DoubledQuote", VuredeVizivo, "'it''s'", "'it's'", 8},
                    StringCase{"CharCodePieces", VuredeVizivo, "'a'#13#10'b'", "'a\r\nb'", 13},
                    StringCase{"HexCharCode", VuredeVizivo, "#$41", "'A'", 5},
                    StringCase{"HighCharCodeIsUtf8", VuredeVizivo, "#20013", "'\xE4\xB8\xAD'", 7},
                    StringCase{"HashWithoutDigits", VuredeVizivo, "  #x", "", 3},
                    StringCase{"UnclosedBeforeLineEnd", VuredeVizivo, " 'abc\r\n'", "", 2},
                    StringCase{"UnclosedAfterPiece", VuredeVizivo, "'a''b", "", 1},
                    StringCase{"BackslashIsPlainInPascal", VuredeVizivo, "'a\\n'", "'a\\n'", 6},
                    StringCase{"TabIsAllowed", VuredeVizivo, "'a\tb'", "'a\tb'", 6},
                    StringCase{"SpaceEndsTheLiteral", VuredeVizivo, "'a' 'b'", "'a'", 4},
                    StringCase{"NotAString", VuredeVizivo, "abc", "", 1}),
    [](const testing::TestParamInfo<StringCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Escapes, LexerStrings,
    testing::Values(StringCase{"NewlineEscape", DppAzirez, "\"a\\nb\"", "'a\nb'", 7},
                    StringCase{"UpperCaseEscapeLetter", DppAzirez, "\"\\R\"", "'\r'", 5},
                    StringCase{"UnknownEscapeIsLetter", DppAzirez, "\"\\t\"", "'t'", 5},
                    StringCase{"HexEscape", DppAzirez, "\"\\x41\"", "'A'", 7},
                    StringCase{"HexEscapeWithoutDigits", DppAzirez, "\"a\\xg\"", "'ag'", 7},
                    StringCase{"EscapedQuote", DppAzirez, "\"say \\\"hi\\\"\"", "'say \"hi\"'", 13},
                    StringCase{"EscapedBackslash", DppAzirez, "\"\\\\\"", "'\\'", 5},
                    StringCase{"AdjacentPiecesJoin", DppAzirez, "\"a\"\"b\"", "'ab'", 7},
                    StringCase{"SingleQuoteIsPunctuationInC", DppAzirez, "'a'", "", 1}),
    [](const testing::TestParamInfo<StringCase>& info) { return std::string(info.param.name); });

TEST(LexerTokenStart, StandsOnTheTokenAfterAComment) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {{"(* a *)x", 8}, {"// c\nx", 6}, {"{x}y", 4}};
  for (const Case& c : cases) {
    TsqParser p;
    p.SetText(c.text);
    EXPECT_EQ(std::string(1, c.text[c.expected - 1]), p.GetIdent()) << c.text;
    EXPECT_EQ(c.expected, p.TokenStart()) << c.text;
  }
}

TEST(LexerFailedRead, LeavesPositionWhereTheTokenWouldStart) {
  TsqParser p;
  p.SetText("   +");
  EXPECT_EQ("", p.GetIdent());
  EXPECT_EQ(4, p.Position());
  EXPECT_EQ("", p.GetNumber());
  EXPECT_EQ("+", p.GetChar());
}

TEST(LexerWords, GetWordRefusesKeywords) {
  TsqParser p;
  VuredeVizivo(p);
  p.SetText("end x");
  EXPECT_EQ("", p.GetWord());
  EXPECT_EQ("x", p.GetWord());
}

TEST(LexerIdentChars, NationalCharactersNeedTheExtendedSet) {
  const std::string name = "\xE5\xA7\x93\xE5\x90\x8D";  // two CJK characters
  TsqParser p;
  p.SetText(name + "1 x");
  EXPECT_EQ("", p.GetIdent());
  EXPECT_EQ("", p.GetChar()) << "bytes of 128 and above are no punctuation";
  p.AddExtendedIdentChars();
  EXPECT_EQ(name + "1", p.GetIdent());
  p.SetIdentChars("abc");
  p.SetText("abcd");
  EXPECT_EQ("abc", p.GetIdent());
}

TEST(LexerPositions, LineAndColumn) {
  TsqParser p;
  p.SetText("ab\ncd\n\nx");
  struct Case {
    int position;
    const char* expected;
  } cases[] = {{1, "1:1"}, {2, "1:2"}, {3, "1:3"}, {4, "2:1"}, {6, "2:3"}, {7, "3:1"}, {8, "4:1"}};
  for (const Case& c : cases) {
    p.SetPosition(c.position);
    EXPECT_EQ(c.expected, p.GetXYPosition()) << c.position;
  }
  EXPECT_EQ(5, p.GetPlainPosition(2, 2));
  EXPECT_EQ(1, p.GetPlainPosition(1, 1));
  EXPECT_EQ(-1, p.GetPlainPosition(1, 5));
  EXPECT_EQ(-1, p.GetPlainPosition(1, 0));
}

struct QrCase {
  const char* name;
  std::string text;  // starts just after the opening "<"
  std::string result;
};

class LexerQrString : public testing::TestWithParam<QrCase> {};

TEST_P(LexerQrString, ScansToTheMatchingBracket) {
  const QrCase& c = GetParam();
  TsqParser p;
  p.SetText(c.text);
  EXPECT_EQ(c.result, p.GetQrString());
  if (c.result.size() < c.text.size()) {
    EXPECT_EQ(c.text.substr(c.result.size(), 1), p.GetChar())
        << "Position stays on the closing bracket";
  }
}

INSTANTIATE_TEST_SUITE_P(Nesting, LexerQrString,
                         testing::Values(QrCase{"Field", "Table.\"Name\"> + 1", "Table.\"Name\""},
                                         QrCase{"NestedAngles", "a<b>c> rest", "a<b>c"},
                                         QrCase{"BracketsCount", "a[b]c> x", "a[b]c"},
                                         QrCase{"AnyCloserCounts", "a[b>c]d", "a[b>c"},
                                         QrCase{"QuotedCloserIgnored", "'>'\">\"x> y", "'>'\">\"x"},
                                         QrCase{"QuoteInsideOtherQuote", "\"it's\"> y", "\"it's\""},
                                         QrCase{"UnclosedRunsToEnd", "abc", "abc"}),
                         [](const testing::TestParamInfo<QrCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(LexerSettings, CommentBlocksSplitAtTheComma) {
  TsqParser p;
  EXPECT_EQ("{,}", p.CommentBlock1());
  EXPECT_EQ("(*,*)", p.CommentBlock2());
  p.SetCommentBlock1("<<");
  EXPECT_EQ("<<,", p.CommentBlock1()) << "a missing closer stays empty";
  p.SetCommentLine2("rem");
  p.SetCaseSensitive(true);
  p.AddKeyword("x");
  p.Reset();
  EXPECT_EQ("{,}", p.CommentBlock1());
  EXPECT_EQ("", p.CommentLine2());
  EXPECT_FALSE(p.CaseSensitive());
  EXPECT_TRUE(p.Keywords().empty());
}

}  // namespace
