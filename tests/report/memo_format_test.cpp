// Memo text: float patterns, printf-like floats, the expression finder and
// expander, display formats and the " #" format suffix.
#include "report/memo_format.h"

#include <gtest/gtest.h>

#include <map>

#include "core/date_time.h"
#include "core/error.h"
#include "core/format_float.h"
#include "core/format_printf.h"
#include "report/find_expression.h"
#include "report/serializer.h"

namespace {

using core::Variant;
using report::TqdrFormat;
using report::TqdrFormatKind;

struct FloatCase {
  const char* name;
  const char* pattern;
  double value;
  const char* expected;
};

TEST(FormatFloatTest, Patterns) {
  const std::vector<FloatCase> cases = {
      {"grouping_and_two_decimals", "#,##0.00", 1234.5, "1,234.50"},
      {"grouping_millions", "#,##0", 1234567, "1,234,567"},
      {"optional_decimals_trimmed", "#,##0.##", 1234.5, "1,234.5"},
      {"leading_zeros", "000", 7, "007"},
      {"rounds_half_up", "0.00", 2.345678, "2.35"},
      {"rounds_decimal_half_away_from_zero", "0.00", 1.005, "1.01"},
      {"carry_into_new_digit", "#,##0.0", 999.96, "1,000.0"},
      {"small_value_rounds_to_zero", "0.0", 0.04, "0.0"},
      {"small_value_rounds_up", "0.0", 0.05, "0.1"},
      {"large_value", "#,##0", 123456789012.0, "123,456,789,012"},
      {"negative_uses_sign", "0", -1.6, "-2"},
      {"negative_rounding_to_zero_has_no_sign", "0", -0.4, "0"},
      {"negative_section", "0.00;(0.00)", -5, "(5.00)"},
      {"zero_section", "0.0;-0.0;'nil'", 0, "nil"},
      {"quoted_prefix_and_suffix", "\"$\"#,##0' yuan'", 1234567, "$1,234,567 yuan"},
      {"scientific", "0.00E+00", 12345, "1.23E+04"},
      {"scientific_negative_exponent", "0.0E-00", 0.00123, "1.2E-03"},
      {"second_point_ignored", "#.##0.00", 1.5, "1.50000"},
      {"hash_only_integer_zero_is_empty", "#.##", 0.25, ".25"},
      {"empty_pattern_is_general", "", 0.1, "0.1"},
  };
  for (const FloatCase& c : cases)
    EXPECT_EQ(core::FormatFloat(c.pattern, c.value), c.expected) << c.name;
}

TEST(FormatFloatTest, SeparatorsComeFromSettings) {
  core::FormatSettingsData settings;
  settings.DecimalSeparator = ',';
  settings.ThousandSeparator = '.';
  EXPECT_EQ(core::FormatFloat("#,##0.00", 1234.5, settings), "1.234,50");
}

TEST(FormatPrintfFloatTest, Specifiers) {
  const std::vector<FloatCase> cases = {
      {"fixed", "%2.2f", 123.456, "123.46"},
      {"fixed_default_precision", "%f", 1.5, "1.50"},
      {"fixed_half_away_from_zero", "%.1f", 7.25, "7.3"},
      {"fixed_no_decimals", "%.0f", 2.5, "3"},
      {"general", "%g", 0.5, "0.5"},
      {"general_precision", "%.3g", 3.14159, "3.14"},
      {"number_groups", "%2.2n", 1234567.891, "1,234,567.89"},
      {"money", "%2.2m", 1234.5,
       "\xEF\xBF\xA5"
       "1,234.50"},
      {"money_negative", "%.0m", -3,
       "-\xEF\xBF\xA5"
       "3"},
      {"scientific", "%e", 1234.5, "1.23450000000000E+003"},
      {"scientific_precision", "%.3e", -0.000123, "-1.23E-004"},
      {"width_pads_left", "%8.1f", 3.14159, "     3.1"},
      {"minus_pads_right", "%-8.1f|", 3.14159, "3.1     |"},
      {"money_width_counts_characters", "%6.0m", 5,
       "    \xEF\xBF\xA5"
       "5"},
      {"literal_text_and_percent", "Total %.0f%%", 42, "Total 42%"},
      {"index_zero", "%0:.1f and %0:.2f", 2.5, "2.5 and 2.50"},
      {"negative_zero_has_no_sign", "%.1f", -0.01, "0.0"},
  };
  for (const FloatCase& c : cases)
    EXPECT_EQ(core::FormatPrintfFloat(c.pattern, c.value), c.expected) << c.name;
}

TEST(FormatPrintfFloatTest, InvalidFormatsRaiseTheFormatError) {
  for (const char* fmt : {"%d", "%s", "%x", "%f %f", "%5", "%1:f", "abc %"}) {
    try {
      core::FormatPrintfFloat(fmt, 1.0);
      ADD_FAILURE() << fmt << " did not raise";
    } catch (const core::Error& e) {
      EXPECT_EQ(std::string(e.what()),
                "Format '" + std::string(fmt) + "' invalid or incompatible with argument");
    }
  }
}

struct FindCase {
  const char* name;
  const char* text;
  const char* open;
  const char* close;
  size_t start;
  const char* inner;
  size_t end;
};

TEST(FindExpressionTest, Table) {
  const std::vector<FindCase> cases = {
      {"simple", "Total: [1+2]", "[", "]", 7, "1+2", 11},
      {"nested", "[a[b]c]x", "[", "]", 0, "a[b]c", 6},
      {"single_quoted_bracket", "[IIF(1>0,'[x]','y')]", "[", "]", 0, "IIF(1>0,'[x]','y')", 19},
      {"double_quoted_bracket", "[QDDBBRXX.\"x]m\"]!", "[", "]", 0, "QDDBBRXX.\"x]m\"", 15},
      {"double_quote_inside_single", "['a\"]'] tail", "[", "]", 0, "'a\"]'", 6},
      {"custom_delimiters", "a<%1+1%>b", "<%", "%>", 1, "1+1", 7},
      {"unterminated_drops_last_character", "x[abc", "[", "]", 1, "ab", 4},
      {"not_at_a_delimiter", "ab]c", "[", "]", 2, "", 2},
      {"empty_expression", "[]", "[", "]", 0, "", 1},
      {"utf8_inside", "[\xE5\xBC\xA0\xE4\xB8\x89]", "[", "]", 0, "\xE5\xBC\xA0\xE4\xB8\x89", 7},
  };
  for (const FindCase& c : cases) {
    report::FoundExpression f = report::FindExpression(c.text, c.open, c.close, c.start);
    EXPECT_EQ(f.inner, c.inner) << c.name;
    EXPECT_EQ(f.endPos, c.end) << c.name;
  }
}

TEST(FindExpressionTest, SplitDelimiters) {
  std::string open, close;
  report::SplitExpressionDelimiters("[,]", open, close);
  EXPECT_EQ(open, "[");
  EXPECT_EQ(close, "]");
  report::SplitExpressionDelimiters("<%,%>", open, close);
  EXPECT_EQ(open, "<%");
  EXPECT_EQ(close, "%>");
  report::SplitExpressionDelimiters("{{,}},x", open, close);  // first comma only
  EXPECT_EQ(open, "{{");
  EXPECT_EQ(close, "}},x");
}

// Stands in for the report's Calc: a fixed table of expression values, so the
// cases here test expansion and formatting, not expression evaluation.
class MemoTextTest : public ::testing::Test {
 protected:
  std::map<std::string, Variant> values_ = {
      {"1+2", Variant(3)},
      {"1+1", Variant(2)},
      {"123.456", Variant(123.456)},
      {"1234.5", Variant(1234.5)},
      {"Date", Variant::MakeDate(core::EncodeDate(2024, 3, 5))},
      {"1>0", Variant(true)},
      {"1>2", Variant(false)},
      {"Page#", Variant(3)},
      {"0", Variant(0)},
      {"'0'", Variant("0")},
      {"IIF(1>0,'[x]','y')", Variant("[x]")},
      {"F(a #b)", Variant("whole")},
      {"Empty", Variant("")},
      {"'abc'", Variant("abc")},
  };
  std::vector<std::string> asked_;

  std::string Expand(const std::string& text, bool hideZeros = false,
                     const char* delimiters = "[,]") {
    std::string open, close;
    report::SplitExpressionDelimiters(delimiters, open, close);
    TqdrFormat displayFormat;
    return report::ExpandExpressions(text, open, close, [&](const std::string& expr) {
      Variant value;
      return report::CalcAndFormat(
          expr, displayFormat, hideZeros,
          [&](const std::string& e) {
            asked_.push_back(e);
            auto it = values_.find(e);
            if (it == values_.end()) throw core::Error("unknown " + e);
            return it->second;
          },
          value);
    });
  }
};

struct ExpandCase {
  const char* name;
  const char* text;
  bool hideZeros;
  const char* expected;
};

TEST_F(MemoTextTest, Expansion) {
  const std::vector<ExpandCase> cases = {
      {"sum", "Total: [1+2]", false, "Total: 3"},
      {"quoted_bracket", "[IIF(1>0,'[x]','y')]", false, "[x]"},
      {"printf", "[123.456 #n%2.2f]", false, "123.46"},
      {"printf_comma_separator", "[123.456 #n%2,2f]", false, "123,46"},
      {"printf_minus_separator", "[123.456 #n%2-2f]", false, "123-46"},
      {"float_pattern", "[1234.5 #n#,##0.00]", false, "1,234.50"},
      {"date_pattern", "[Date #ddd.mm.yyyy]", false, "05.03.2024"},
      {"boolean_true", "[1>0 #bNo,Yes]", false, "Yes"},
      {"boolean_false", "[1>2 #bNo,Yes]", false, "No"},
      {"page_number_is_no_format", "Page [Page#]", false, "Page 3"},
      {"hide_zero_number", "x[0]y", true, "xy"},
      {"string_zero_not_hidden", "x['0']y", true, "x0y"},
      {"zero_shown_without_hide", "[0]", false, "0"},
      {"total_pages_placeholder", "of [totalpages#]", false, "of [TotalPages#]"},
      {"suffix_with_parenthesis_belongs_to_expression", "[F(a #b)]", false, "whole"},
      {"several_and_empty_value", "[Empty][1+1]-[1+2]", false, "2-3"},
      {"replaced_text_not_rescanned", "[IIF(1>0,'[x]','y')][1+1]", false, "[x]2"},
      {"no_delimiter", "plain text", false, "plain text"},
      {"unterminated_takes_rest", "a ['abc'x", false, "a abc"},
  };
  for (const ExpandCase& c : cases) EXPECT_EQ(Expand(c.text, c.hideZeros), c.expected) << c.name;
}

TEST_F(MemoTextTest, CustomDelimiters) {
  EXPECT_EQ(Expand("a<%1+1%>b", false, "<%,%>"), "a2b");
  EXPECT_EQ(Expand("a[1+1]b", false, "<%,%>"), "a[1+1]b");
}

TEST_F(MemoTextTest, CalcErrorsPropagate) {
  EXPECT_THROW(Expand("x [nosuch] y"), core::Error);
}

TEST_F(MemoTextTest, TotalPagesIsNotCalculated) {
  Expand("[TOTALPAGES#]");
  EXPECT_TRUE(asked_.empty());
}

struct DataCase {
  const char* name;
  Variant value;
  TqdrFormatKind kind;
  const char* formatStr;
  const char* decimalSeparator;
  const char* expected;
};

TEST(FormatDataTest, Table) {
  const std::vector<DataCase> cases = {
      {"null_is_empty", Variant::MakeNull(), TqdrFormatKind::fkNumeric, "%2.2f", "", ""},
      {"text", Variant(12), TqdrFormatKind::fkText, "", "", "12"},
      {"numeric_printf", Variant(2.5), TqdrFormatKind::fkNumeric, "%.3f", "", "2.500"},
      {"numeric_separator", Variant(2.5), TqdrFormatKind::fkNumeric, "%.1f", ",", "2,5"},
      {"numeric_two_char_separator_ignored", Variant(2.5), TqdrFormatKind::fkNumeric, "%.1f", ",,",
       "2.5"},
      {"numeric_pattern", Variant(1234), TqdrFormatKind::fkNumeric, "#,##0", "", "1,234"},
      {"numeric_text_number", Variant("7.25"), TqdrFormatKind::fkNumeric, "%.1f", "", "7.3"},
      {"numeric_error_gives_plain_text", Variant("abc"), TqdrFormatKind::fkNumeric, "%2.2f", "",
       "abc"},
      {"numeric_bad_format_gives_plain_text", Variant(5), TqdrFormatKind::fkNumeric, "%d", "", "5"},
      {"datetime", Variant::MakeDate(core::EncodeDate(2023, 12, 31) + 0.5),
       TqdrFormatKind::fkDateTime, "yyyy.mm.dd hh:nn", "", "2023.12.31 12:00"},
      {"boolean_true", Variant(true), TqdrFormatKind::fkBoolean, "No,Yes", "", "Yes"},
      {"boolean_false", Variant(false), TqdrFormatKind::fkBoolean, "No,Yes", "", "No"},
      {"boolean_true_without_comma", Variant(true), TqdrFormatKind::fkBoolean, "No", "", ""},
      {"boolean_rest_after_first_comma", Variant(true), TqdrFormatKind::fkBoolean, "a,b,c", "",
       "b,c"},
      {"boolean_non_boolean_text_is_false", Variant("x"), TqdrFormatKind::fkBoolean, "F,T", "",
       "F"},
  };
  for (const DataCase& c : cases) {
    TqdrFormat format;
    format.SetKind(c.kind);
    format.SetFormatStr(c.formatStr);
    format.SetDecimalSeparator(c.decimalSeparator);
    EXPECT_EQ(report::FormatData(c.value, format), c.expected) << c.name;
  }
}

}  // namespace

namespace {

TEST(MemoTextFromXmlTest, ValidUtf8IncludingPlaneOneSurvivesInvalidEmpties) {
  EXPECT_EQ(report::MemoTextFromXml("李\xF0\xA8\x8B\xA2"), "李\xF0\xA8\x8B\xA2");
  EXPECT_EQ(report::MemoTextFromXml("abc"), "abc");
  EXPECT_EQ(report::MemoTextFromXml("\xB2\xBB"), "") << "GBK bytes are not UTF-8";
  EXPECT_EQ(report::MemoTextFromXml("a\xF0\xA8\x8B"), "") << "cut sequence";
  EXPECT_EQ(report::MemoTextFromXml("\xF8\x88\x80\x80\x80"), "") << "five-byte form";
}

}  // namespace
