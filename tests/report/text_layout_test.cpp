// Memo text layout: wrapping on numbers with a fixed-advance measure, tags,
// heights and widths, and the Qt reference measure on the Ming face.
#include "report/text_layout.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include "report/html_tags.h"
#include "report/qt_text_measure.h"

namespace report {
namespace {

// Every ASCII character 6 pixels wide, every other one 12 (full width), line
// height 10 pixels; bold adds one pixel, so tag states show in the widths.
class FixedMeasure : public TqdrTextMeasure {
 public:
  double Advance(char32_t c, const TqdrHTMLTag& state) override {
    double px = c < 128 ? 6 : 12;
    if (state.style & TqdrHTMLTag::Bold) px += 1;
    return px * kReferenceRatio;
  }
  double LineHeight() override { return 10 * kReferenceRatio; }
};

using Lines = std::vector<std::string>;

struct WrapCase {
  const char* name;
  Lines source;
  double width;  // pixels at scale 1
  bool wordWrap;
  double paragraphGap;
  Lines expected;
};

Lines Texts(const TqdrTextLayout& layout) {
  Lines out;
  for (const TqdrLayoutLine& l : layout.Lines()) out.push_back(l.Utf8());
  return out;
}

TEST(TextLayoutTest, Wrapping) {
  const std::vector<WrapCase> cases = {
      // hello = 30 px, "hello world" = 66 px > 40: the blank at the break is dropped
      {"english_wraps_at_blanks", {"hello world foo"}, 40, true, 0, {"hello", "world", "foo"}},
      {"fits_on_one_line", {"hello world"}, 66, true, 0, {"hello world"}},
      // three 12-pixel characters fit in 40
      {"cjk_breaks_between_characters", {"中文字符测试"}, 40, true, 0, {"中文字", "符测试"}},
      {"cjk_exact_fit", {"中文字符"}, 24, true, 0, {"中文", "字符"}},
      // six 6-pixel characters fit in 40
      {"long_word_cut_at_last_fitting_character", {"abcdefghij"}, 40, true, 0, {"abcdef", "ghij"}},
      {"character_wider_than_line_stands_alone", {"中中"}, 5, true, 0, {"中", "中"}},
      {"single_character_never_wraps", {"中"}, 5, true, 0, {"中"}},
      {"no_word_wrap", {"hello world foo"}, 40, false, 0, {"hello world foo"}},
      {"paragraph_gap_narrows_first_line",
       {"中文字符测试"},
       40,
       true,
       10,
       {"中文", "字符测", "试"}},
      {"empty_line_is_a_blank", {"a", "", "b"}, 40, true, 0, {"a", " ", "b"}},
      {"latin_after_cjk_moves_with_last_wide_char", {"中文ab"}, 30, true, 0, {"中", "文ab"}},
      {"mixed_breaks_at_blank", {"ab 中文"}, 30, true, 0, {"ab 中", "文"}},
      {"plane_one_character_survives",
       {"李\xF0\xA8\x8B\xA2张王"},
       24,
       true,
       0,
       {"李\xF0\xA8\x8B\xA2", "张王"}},
  };
  FixedMeasure measure;
  for (const WrapCase& c : cases) {
    TqdrTextLayout layout(&measure);
    layout.SetOptions(c.wordWrap, false, 0);
    layout.SetGaps(0, 0, c.paragraphGap);
    layout.SetBounds(c.width, 100);
    layout.SetLayoutText(c.source);
    EXPECT_EQ(Texts(layout), c.expected) << c.name;
  }
}

TEST(TextLayoutTest, NoCharacterLostOrDuplicatedInCjkWrap) {
  FixedMeasure measure;
  const std::string text = "患者姓名李\xF0\xA8\x8B\xA2性别女年龄三十五岁住院号一二三四五六";
  for (double width : {11.0, 12.0, 25.0, 37.0, 50.0, 71.0, 100.0}) {
    TqdrTextLayout layout(&measure);
    layout.SetBounds(width, 100);
    layout.SetLayoutText({text});
    std::string joined;
    for (const TqdrLayoutLine& l : layout.Lines()) {
      joined += l.Utf8();
      if (l.text.size() > 1) {
        EXPECT_LE(l.width, width * kReferenceRatio) << width;
      }
    }
    EXPECT_EQ(joined, text) << width;
  }
}

TEST(TextLayoutTest, ParagraphFlags) {
  FixedMeasure measure;
  TqdrTextLayout layout(&measure);
  layout.SetBounds(40, 100);
  layout.SetLayoutText({"hello world foo", "x"});
  std::vector<int> flags;
  for (const TqdrLayoutLine& l : layout.Lines()) flags.push_back(l.flags);
  EXPECT_EQ(flags, (std::vector<int>{1, 0, 2, 3}));
  EXPECT_EQ(layout.PlainText(), "hello world foo\nx\n");
}

TEST(TextLayoutTest, HeightAndWidth) {
  FixedMeasure measure;
  TqdrTextLayout layout(&measure);
  layout.SetBounds(40, 100);
  layout.SetGaps(2, 0, 0);
  EXPECT_EQ(layout.CalcHeight(), 0);
  layout.SetLayoutText({"hello world foo"});
  // three lines of 10 pixels, 2 pixels line spacing
  EXPECT_DOUBLE_EQ(layout.CalcHeight(), 36);
  EXPECT_DOUBLE_EQ(layout.CalcWidth(), 30);
  layout.SetGaps(0, 1, 4);  // one pixel per character, four pixels on the first line
  layout.SetLayoutText({"hello world foo"});
  EXPECT_DOUBLE_EQ(layout.CalcWidth(), 30 + 5 + 4);
}

TEST(TextLayoutTest, TurnedTextTakesItsWidthFromTheHeight) {
  FixedMeasure measure;
  TqdrTextLayout layout(&measure);
  layout.SetOptions(true, false, 90);
  layout.SetBounds(10, 40);
  layout.SetLayoutText({"中文字符测试"});
  EXPECT_EQ(Texts(layout), (Lines{"中文字", "符测试"}));
}

TEST(HtmlTagsTest, TagsSetStatesAndLeaveNoTagCharacters) {
  FixedMeasure measure;
  TqdrTextLayout layout(&measure);
  layout.SetOptions(true, true, 0);
  TqdrHTMLTag defaults;
  defaults.size = 9;
  defaults.color = 0x112233;
  layout.SetDefaultState(defaults);
  layout.SetBounds(500, 100);
  layout.SetLayoutText({"<b>bold</b> normal <x>"});
  ASSERT_EQ(layout.Lines().size(), 1u);
  const TqdrLayoutLine& line = layout.Lines()[0];
  EXPECT_EQ(line.Utf8(), "bold normal <x>");
  EXPECT_TRUE(line.states[0].style & TqdrHTMLTag::Bold);
  EXPECT_TRUE(line.states[3].style & TqdrHTMLTag::Bold);
  EXPECT_FALSE(line.states[4].style & TqdrHTMLTag::Bold);
  EXPECT_TRUE(line.states[5].isDefault);
  EXPECT_DOUBLE_EQ(line.width, (15 * 6 + 4) * kReferenceRatio);
}

struct TagCase {
  const char* name;
  const char* text;
  const char* plain;
  int32_t colorOfLast;
  int sizeOfLast;
  int offsetOfLast;
};

TEST(HtmlTagsTest, Table) {
  TqdrHTMLTag defaults;
  defaults.size = 9;
  defaults.color = 0;
  const std::vector<TagCase> cases = {
      {"hex_colour_is_red_green_blue", "<font color=#FF0000>r", "r", 0x0000FF, 9, 0},
      {"named_colour", "<FONT COLOR = \"Blue\" >b", "b", 0xFF0000, 9, 0},
      {"colour_with_line_break", "<font\ncolor=\n'lime'>g", "g", 0x00FF00, 9, 0},
      {"font_end_restores", "<font color=red>x</font>y", "xy", 0, 9, 0},
      {"unknown_colour_stays_text", "<font color=nosuch>z", "<font color=nosuch>z", 0, 9, 0},
      {"sub", "H<sub>2", "H2", 0, 6, 1},
      {"sup_then_end", "x<sup>2</sup>y", "x2y", 0, 9, 0},
      {"unclosed_angle_stays", "a < b", "a < b", 0, 9, 0},
      {"strike_tag", "<strike>s", "s", 0, 9, 0},
  };
  for (const TagCase& c : cases) {
    std::u32string chars;
    std::vector<TqdrHTMLTag> states;
    ParseTags(DecodeUtf8(c.text), true, defaults, chars, states);
    EXPECT_EQ(EncodeUtf8(chars), c.plain) << c.name;
    ASSERT_FALSE(states.empty()) << c.name;
    EXPECT_EQ(states.back().color, c.colorOfLast) << c.name;
    EXPECT_EQ(states.back().size, c.sizeOfLast) << c.name;
    EXPECT_EQ(states.back().offsetFactor, c.offsetOfLast) << c.name;
  }
}

TEST(HtmlTagsTest, TagsForStateRoundTrip) {
  TqdrHTMLTag defaults;
  TqdrHTMLTag state;
  state.style = TqdrHTMLTag::Bold | TqdrHTMLTag::Underline;
  state.color = 0x0000FF;  // red
  std::string tags = TagsForState(state, defaults);
  EXPECT_EQ(tags, "<b><u><font color=#FF0000>");
  std::u32string chars;
  std::vector<TqdrHTMLTag> states;
  ParseTags(DecodeUtf8(tags + "x"), true, defaults, chars, states);
  ASSERT_EQ(states.size(), 1u);
  EXPECT_EQ(states[0].style, state.style);
  EXPECT_EQ(states[0].color, state.color);
}

TEST(Utf8Test, InvalidBytesBecomeReplacementAndPlaneOneSurvives) {
  EXPECT_EQ(DecodeUtf8("a\xF0\xA8\x8B\xA2"), U"a\U000282E2");
  EXPECT_EQ(EncodeUtf8(U"\U000282E2"), "\xF0\xA8\x8B\xA2");
  EXPECT_EQ(DecodeUtf8("a\xFF"
                       "b"),
            U"a\uFFFDb");
  EXPECT_EQ(DecodeUtf8("\xE4\xB8"), U"\uFFFD\uFFFD");
}

// The Ming face: CJK glyphs exactly full width, ASCII exactly half.
TEST(QtTextMeasureTest, MingFaceAtReferenceResolution) {
  TqdrQtTextMeasure measure;
  measure.SetFont("AR PL UMing CN", 9, 0);
  TqdrHTMLTag state;
  const double em = std::round(9 * 600 / 72.0);  // 75 reference units
  EXPECT_NEAR(measure.Advance(U'中', state), em, 0.5);
  EXPECT_NEAR(measure.Advance(U'a', state), em / 2, 0.5);
  EXPECT_GT(measure.Advance(U'\U000282E2', state), 0) << "plane one character has a width";
  EXPECT_DOUBLE_EQ(measure.LineHeight(), em);

  TqdrTextLayout layout(&measure);
  // 9 pt is 12 pixels; a 100 pixel memo holds eight full-width characters
  layout.SetBounds(100, 50);
  layout.SetLayoutText({"患者姓名李\xF0\xA8\x8B\xA2性别女年龄三十五岁"});
  Lines lines = Texts(layout);
  EXPECT_EQ(lines, (Lines{"患者姓名李\xF0\xA8\x8B\xA2性别", "女年龄三十五岁"}));
  EXPECT_DOUBLE_EQ(layout.CalcHeight(), 24);
}

}  // namespace
}  // namespace report
