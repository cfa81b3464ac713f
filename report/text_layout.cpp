// Wrapping memo lines at the reference resolution.
#include "report/text_layout.h"

#include <algorithm>
#include <cstddef>

namespace report {
namespace {

bool IsBreakOpportunity(char32_t c) {
  return c == ' ' || c >= 128;
}

}  // namespace

void TqdrTextLayout::SetOptions(bool wordWrap, bool allowTags, int rotation) {
  wordWrap_ = wordWrap;
  allowTags_ = allowTags;
  rotation_ = ((rotation % 360) + 360) % 360;
}

void TqdrTextLayout::SetGaps(double lineSpacing, double charSpacing, double paragraphGap) {
  lineSpacing_ = lineSpacing;
  charSpacing_ = charSpacing;
  paragraphGap_ = paragraphGap;
}

void TqdrTextLayout::SetBounds(double width, double height) {
  width_ = width;
  height_ = height;
}

void TqdrTextLayout::SetLayoutText(const std::vector<std::string>& lines) {
  plainText_.clear();
  lines_.clear();
  sources_.clear();
  for (const std::string& line : lines) WrapLine(DecodeUtf8(line.empty() ? " " : line));
}

void TqdrTextLayout::AddLine(const std::u32string& chars, const std::vector<TqdrHTMLTag>& states,
                             size_t from, size_t to, const std::vector<double>& cum, int flags) {
  TqdrLayoutLine line;
  line.text = chars.substr(from, to - from);
  line.states.assign(states.begin() + static_cast<ptrdiff_t>(from),
                     states.begin() + static_cast<ptrdiff_t>(to));
  line.flags = flags;
  line.width = cum[to] - cum[from];
  line.paragraph = sources_.size() - 1;
  line.sourceStart = from < sourcePos_.size() ? sourcePos_[from] : sources_.back().size();
  lines_.push_back(std::move(line));
}

void TqdrTextLayout::WrapLine(const std::u32string& source) {
  std::u32string chars;
  std::vector<TqdrHTMLTag> states;
  sources_.push_back(source);
  ParseTags(source, allowTags_, defaults_, chars, states, &sourcePos_);
  plainText_ += EncodeUtf8(chars);
  plainText_ += '\n';

  const double spacing = charSpacing_ * kReferenceRatio;
  cum_.assign(chars.size() + 1, 0.0);
  for (size_t i = 0; i < chars.size(); ++i)
    cum_[i + 1] = cum_[i] + measure_->Advance(chars[i], states[i]) + spacing;

  const bool turned = (rotation_ >= 90 && rotation_ < 180) || rotation_ >= 270;
  const double layoutWidth = (turned ? height_ : width_) * kReferenceRatio;
  const double firstWidth = ((turned ? height_ : width_) - paragraphGap_) * kReferenceRatio;
  const size_t n = chars.size();
  const size_t firstIndex = lines_.size();
  if (n <= 1 || !wordWrap_ || cum_[n] <= firstWidth) {
    AddLine(chars, states, 0, n, cum_,
            TqdrLayoutLine::FirstOfParagraph | TqdrLayoutLine::LastOfParagraph);
    return;
  }
  size_t s = 0;
  size_t b = 0;
  bool haveBreak = false;
  for (size_t k = 0; k < n; ++k) {
    // An opportunity at the line's first character would give an empty line.
    if (k > s && IsBreakOpportunity(chars[k])) {
      b = k;
      haveBreak = true;
    }
    const double lineWidth = lines_.size() == firstIndex ? firstWidth : layoutWidth;
    if (cum_[k + 1] - cum_[s] <= lineWidth) continue;
    size_t end, next;
    if (!haveBreak) {
      end = k == s ? k + 1 : k;  // a character that alone does not fit gets its own line
      next = end;
    } else if (chars[b] == ' ') {
      end = b;  // the blank ends the line and is not printed
      next = b + 1;
    } else {
      end = b;  // a wide character begins the next line
      next = b;
    }
    AddLine(chars, states, s, end, cum_, 0);
    s = next;
    haveBreak = false;
    if (s >= n) break;
    k = s - 1;  // s >= 1 here; the loop's ++k resumes at s
  }
  if (s < n || lines_.size() == firstIndex) AddLine(chars, states, s, n, cum_, 0);
  lines_[firstIndex].flags |= TqdrLayoutLine::FirstOfParagraph;
  lines_.back().flags |= TqdrLayoutLine::LastOfParagraph;
}

std::string TqdrTextLayout::SourceTextFrom(size_t line) const {
  if (line >= lines_.size()) return std::string();
  const TqdrLayoutLine& first = lines_[line];
  std::string out;
  if (allowTags_ && !first.states.empty()) out = TagsForState(first.states[0], defaults_);
  out += EncodeUtf8(std::u32string_view(sources_[first.paragraph]).substr(first.sourceStart));
  for (size_t p = first.paragraph + 1; p < sources_.size(); ++p)
    out += "\r\n" + EncodeUtf8(sources_[p]);
  return out;
}

std::vector<std::string> TqdrTextLayout::SourceLinesBefore(size_t line) const {
  std::vector<std::string> out;
  if (line >= lines_.size()) {
    for (const std::u32string& s : sources_) out.push_back(EncodeUtf8(s));
    return out;
  }
  const TqdrLayoutLine& cut = lines_[line];
  for (size_t p = 0; p < cut.paragraph; ++p) out.push_back(EncodeUtf8(sources_[p]));
  if (cut.sourceStart > 0) {
    std::u32string head = sources_[cut.paragraph].substr(0, cut.sourceStart);
    while (!head.empty() && head.back() == ' ') head.pop_back();  // the blank at the break
    out.push_back(EncodeUtf8(head));
  }
  return out;
}

double TqdrTextLayout::CalcHeight() const {
  if (lines_.empty()) return 0;
  return static_cast<double>(lines_.size()) * (LineHeightPixels() + lineSpacing_);
}

double TqdrTextLayout::CalcWidth() const {
  double widest = 0;
  for (const TqdrLayoutLine& line : lines_) {
    double w = line.width;
    if (line.flags & TqdrLayoutLine::FirstOfParagraph) w += paragraphGap_ * kReferenceRatio;
    widest = std::max(widest, w);
  }
  return widest / kReferenceRatio;
}

}  // namespace report
