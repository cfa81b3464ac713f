// Memo printing text over the expression finder, the display formats and the
// reference text layout. One layout object serves every memo, guarded by a
// mutex (its busy mark).
#include "report/memo_text.h"

#include <QPainter>
#include <QPen>
#include <QString>
#include <cmath>
#include <mutex>
#include <utility>
#include <vector>

#include "core/text_util.h"
#include "report/dataset.h"
#include "report/find_expression.h"
#include "report/font.h"
#include "report/frame.h"
#include "report/memo_format.h"
#include "report/persistent.h"
#include "report/qt_text_measure.h"
#include "report/report.h"
#include "report/text_layout.h"
#include "report/view.h"
#include "report/view_draw.h"

namespace report {
namespace {

struct SharedLayout {
  std::mutex busy;
  TqdrQtTextMeasure measure;
  TqdrTextLayout layout{&measure};
};

SharedLayout& Shared() {
  static SharedLayout* shared = new SharedLayout;  // used until the program ends
  return *shared;
}

uint8_t StyleBits(uint32_t fontStyle) {
  return static_cast<uint8_t>(fontStyle & 15);  // bold, italic, underline, strike-out
}

// Sets font, options, gaps and bounds; width/height at scale 1 in pixels.
void Prepare(SharedLayout& s, const TqdrCustomMemoView& memo, double width, double height) {
  const TqdrFont* font = memo.Highlight()->Active() ? memo.Highlight()->Font() : memo.Font();
  s.measure.SetFont(QString::fromStdString(font->Name()), font->Size(), StyleBits(font->Style()));
  TqdrHTMLTag defaults;
  defaults.size = font->Size();
  defaults.color = font->Color();
  defaults.style = StyleBits(font->Style());
  s.layout.SetDefaultState(defaults);
  s.layout.SetOptions(memo.WordWrap(), memo.AllowHTMLTags(), memo.Rotation());
  s.layout.SetGaps(memo.LineSpacing(), memo.CharSpacing(), memo.ParagraphGap());
  s.layout.SetBounds(width, height);
}

TqdrTextRect TextRectAtScale1(const TqdrCustomMemoView& memo) {
  return MemoTextRect(memo, BeginDraw(memo, 1, 1, 0, 0));
}

double VerticalExtra(const TqdrCustomMemoView& memo) {
  const TqdrFrame& f = *memo.Frame();
  double extra = 2 * memo.GapY();
  if (f.Typ() & frame_typ::ftTop) extra += (f.Width() - 1) / 2;
  if (f.Typ() & frame_typ::ftBottom) extra += f.Width() / 2;
  if (f.DropShadow()) extra += f.ShadowWidth();
  return extra;
}

double HorizontalExtra(const TqdrCustomMemoView& memo) {
  const TqdrFrame& f = *memo.Frame();
  double extra = 2 * memo.GapX();
  if (f.Typ() & frame_typ::ftLeft) extra += (f.Width() - 1) / 2;
  if (f.Typ() & frame_typ::ftRight) extra += f.Width() / 2;
  if (f.DropShadow()) extra += f.ShadowWidth();
  return extra;
}

std::string ExpandBrackets(const std::string& text, const TqdrCalcFunction& calc) {
  return ExpandExpressions(text, "[", "]",
                           [&](const std::string& expr) { return calc(expr).ToString(); });
}

}  // namespace

void MemoGetData(TqdrCustomMemoView& memo, const TqdrCalcFunction& calc) {
  memo.SetTagStr(ExpandBrackets(memo.TagStr(), calc));
  memo.SetURL(ExpandBrackets(memo.URL(), calc));
  TqdrDataSet* ds = memo.DataSet();
  if (ds && !memo.DataField().empty()) {
    const std::string& field = memo.DataField();
    if (ds->IsBlobField(field)) {
      ds->AssignBlobTo(field, memo.Memo());
    } else {
      memo.SetValue(ds->Value(field));
      std::string text = memo.DisplayFormat()->Kind() != TqdrFormatKind::fkText
                             ? FormatData(memo.Value(), *memo.DisplayFormat())
                             : ds->DisplayText(field);
      if (memo.HideZeros() && IsHiddenZero(memo.Value())) text.clear();
      memo.SetText(text);
    }
  } else if (memo.AllowExpressions()) {
    std::string open, close;
    SplitExpressionDelimiters(memo.ExpressionDelimiters(), open, close);
    core::Variant value = memo.Value();
    std::string text = ExpandExpressions(memo.Text(), open, close, [&](const std::string& expr) {
      return CalcAndFormat(expr, *memo.DisplayFormat(), memo.HideZeros(), calc, value);
    });
    memo.SetValue(value);
    memo.SetText(text);
  }
  if (TqdrReport* report = memo.Report()) report->SetScriptValue(memo.Value());
  TqdrHighlight& hl = *memo.Highlight();
  hl.SetActive(false);
  if (!hl.Condition().empty()) hl.SetActive(calc(hl.Condition()).ToBool());
  if (memo.SuppressRepeated()) {
    const std::string text = memo.Text();
    if (!memo.LastPrinted().IsNull() && memo.LastPrinted().ToString() == text)
      memo.SetText("");
    else
      memo.SetLastPrinted(core::Variant(text));
  }
  if (TqdrCustomMemoView* next = memo.FlowTo()) {
    MemoPrepareSplit(memo);
    MemoTakeFittingPart(memo);
    next->SetText(memo.HeldBack());
    next->SetAllowExpressions(false);
  }
}

int MemoCalcHeight(TqdrCustomMemoView& memo) {
  SharedLayout& s = Shared();
  std::lock_guard<std::mutex> lock(s.busy);
  if (memo.AutoWidth()) {
    Prepare(s, memo, 10000, 10000);
  } else {
    TqdrTextRect r = TextRectAtScale1(memo);
    Prepare(s, memo, r.right - r.left, r.bottom - r.top);
  }
  s.layout.SetLayoutText(memo.Memo()->Lines());
  return static_cast<int>(std::lround(s.layout.CalcHeight() + VerticalExtra(memo)));
}

int MemoCalcWidth(TqdrCustomMemoView& memo) {
  SharedLayout& s = Shared();
  std::lock_guard<std::mutex> lock(s.busy);
  Prepare(s, memo, 10000, 10000);
  s.layout.SetLayoutText(memo.Memo()->Lines());
  return static_cast<int>(std::lround(s.layout.CalcWidth() + HorizontalExtra(memo)));
}

void MemoPrepareSplit(TqdrCustomMemoView& memo) {
  memo.SetHeldBack(memo.Text());
}

double MemoTakeFittingPart(TqdrCustomMemoView& memo) {
  SharedLayout& s = Shared();
  std::lock_guard<std::mutex> lock(s.busy);
  memo.SetText(memo.HeldBack());
  TqdrTextRect r = TextRectAtScale1(memo);
  const double height = r.bottom - r.top;
  Prepare(s, memo, r.right - r.left, height);
  s.layout.SetLayoutText(memo.Memo()->Lines());
  const double lineHeight = s.layout.LineHeightPixels() + memo.LineSpacing();
  size_t n = lineHeight > 0 ? static_cast<size_t>(std::floor(height / lineHeight)) : 0;
  n = std::min(n, s.layout.Lines().size());
  memo.SetHeldBack(s.layout.SourceTextFrom(n));
  memo.Memo()->SetLines(s.layout.SourceLinesBefore(n));
  if (n == 0) return memo.Height();
  const double free = height - static_cast<double>(n) * lineHeight;
  return free == 0 ? 0.0001 : free;
}

void TqdrCustomMemoView::Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX,
                              double offsetY) {
  SharedLayout& s = Shared();
  std::vector<std::string> lines = Memo()->Lines();
  if (!IsDesigning()) {
    for (std::string& line : lines) {
      const size_t at = core::UpperCase(line).find("[TOTALPAGES#]");
      if (at == std::string::npos) continue;
      line.replace(at, 13, std::to_string(TotalPages()));
      break;
    }
  } else if (DataSet() && !DataField().empty()) {
    lines = {"[" + DataSet()->UserName() + ".\"" + DataField() + "\"]"};
  }
  if (AutoWidth()) SetWidth(MemoCalcWidth(*this));
  const int ownColor = Color();
  const TqdrHighlight& hl = *Highlight();
  if (hl.Active()) SetColor(hl.Color());
  const TqdrDrawRect r = BeginDraw(*this, scaleX, scaleY, offsetX, offsetY);
  const TqdrTextRect text = MemoTextRect(*this, r);
  {
    std::lock_guard<std::mutex> lock(s.busy);
    const TqdrTextRect at1 = TextRectAtScale1(*this);
    Prepare(s, *this, at1.right - at1.left, at1.bottom - at1.top);
    s.layout.SetLayoutText(lines);
    DrawBackground(canvas, *this, r);
    DrawFrame(canvas, *this, r);
    const TqdrFrame& f = *Frame();
    if (Underlines() && Rotation() == 0 && f.Color() != clTransparent) {
      const double step = (s.layout.LineHeightPixels() + LineSpacing()) * scaleY;
      canvas.save();
      canvas.setPen(QPen(ToQColor(f.Color()), std::max(1, r.frameWidth)));
      for (double y = r.y + step; step > 0 && y < r.y1; y += step)
        canvas.drawLine(r.x, static_cast<int>(std::lround(y)), r.x1,
                        static_cast<int>(std::lround(y)));
      canvas.restore();
    }
    const TqdrFont* font = hl.Active() ? hl.Font() : Font();
    TqdrTextDrawParams params;
    params.family = QString::fromStdString(font->Name());
    params.sizePoints = font->Size();
    params.scaleX = scaleX;
    params.scaleY = scaleY;
    params.lineSpacing = LineSpacing();
    params.charSpacing = CharSpacing();
    params.paragraphGap = ParagraphGap();
    params.hAlign = HAlign();
    params.vAlign = VAlign();
    DrawLayoutText(canvas, s.layout, s.measure, text, params);
  }
  SetColor(ownColor);
}

// The memo's stretch and split interface over the functions above.

double TqdrCustomMemoView::CalcHeight() {
  return MemoCalcHeight(*this);
}

void TqdrCustomMemoView::PrepareSplit() {
  MemoPrepareSplit(*this);
}

double TqdrCustomMemoView::TakeFittingPart() {
  if (HeldBack().empty()) {
    Memo()->SetLines({});
    return 0;
  }
  return MemoTakeFittingPart(*this);
}

double TqdrCustomMemoView::HeldBackHeight() {
  if (HeldBack().empty()) return 0;
  std::vector<std::string> part = Memo()->Lines();
  SetText(HeldBack());
  const double height = MemoCalcHeight(*this);
  Memo()->SetLines(std::move(part));
  return height;
}

}  // namespace report
