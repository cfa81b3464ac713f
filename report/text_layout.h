// Memo text layout at the fixed reference resolution (600 units per inch,
// 6.25 units per screen pixel), so that line breaks never depend on the
// device that later draws the lines. Measuring goes through an interface; the
// wrapping itself is pure logic.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report/html_tags.h"

namespace report {

inline constexpr double kReferenceDpi = 600.0;
inline constexpr double kReferenceRatio = 600.0 / 96.0;  // reference units per pixel

// Widths in reference units.
class TqdrTextMeasure {
 public:
  virtual ~TqdrTextMeasure() = default;
  // Advance of one character drawn in state (sub and sup already reduced).
  virtual double Advance(char32_t c, const TqdrHTMLTag& state) = 0;
  // Height of a line of the default font.
  virtual double LineHeight() = 0;
};

struct TqdrLayoutLine {
  enum Flags { FirstOfParagraph = 1, LastOfParagraph = 2 };
  std::u32string text;
  std::vector<TqdrHTMLTag> states;  // one per character of text
  int flags = 0;
  double width = 0;        // reference units, character spacing included
  size_t paragraph = 0;    // index of the source line
  size_t sourceStart = 0;  // code point index of the first character in the source line
  std::string Utf8() const { return EncodeUtf8(text); }
};

class TqdrTextLayout {
 public:
  explicit TqdrTextLayout(TqdrTextMeasure* measure) : measure_(measure) {}

  void SetOptions(bool wordWrap, bool allowTags, int rotation);
  void SetGaps(double lineSpacing, double charSpacing, double paragraphGap);
  // The text rectangle at scale 1, in pixels: the layout width comes from it
  // (its height for texts turned by 90..179 or 270..359 degrees).
  void SetBounds(double width, double height);
  // Default state of every source line's first character.
  void SetDefaultState(const TqdrHTMLTag& state) { defaults_ = state; }

  // Wraps every source line (UTF-8).
  void SetLayoutText(const std::vector<std::string>& lines);

  const std::vector<TqdrLayoutLine>& Lines() const { return lines_; }
  // The source lines joined by line breaks, tags removed.
  const std::string& PlainText() const { return plainText_; }
  // The source text from wrapped line `line` to the end (source lines joined
  // by CR LF; tags kept), for text that moves on to the next page or memo.
  std::string SourceTextFrom(size_t line) const;
  // The source text before wrapped line `line` as text lines (tags kept).
  std::vector<std::string> SourceLinesBefore(size_t line) const;
  double LineHeightPixels() const { return measure_->LineHeight() / kReferenceRatio; }
  // Lines x (line height + LineSpacing), in pixels.
  double CalcHeight() const;
  // Widest line in pixels, first lines with their paragraph gap.
  double CalcWidth() const;

 private:
  void WrapLine(const std::u32string& source);
  void AddLine(const std::u32string& chars, const std::vector<TqdrHTMLTag>& states, size_t from,
               size_t to, const std::vector<double>& cum, int flags);

  TqdrTextMeasure* measure_;
  bool wordWrap_ = true;
  bool allowTags_ = false;
  int rotation_ = 0;
  double lineSpacing_ = 0, charSpacing_ = 0, paragraphGap_ = 0;
  double width_ = 0, height_ = 0;
  TqdrHTMLTag defaults_;
  std::string plainText_;
  std::vector<TqdrLayoutLine> lines_;
  std::vector<double> cum_;
  std::vector<std::u32string> sources_;
  std::vector<uint32_t> sourcePos_;  // reused: cumulative widths of the current source line
};

}  // namespace report
