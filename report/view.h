// Printable objects: the view base, stretcheable views, memos, lines,
// pictures, shapes and sub-report placeholders.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/variant.h"
#include "report/component.h"
#include "report/frame.h"
#include "report/picture.h"

namespace report {

class TqdrBand;
class TqdrReportPage;

// Base of all printable objects. Holds every view-level property; each
// concrete class publishes the ones it uses.
class TqdrView : public TqdrReportComponent {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrView(TqdrComponent* owner = nullptr);
  TqdrView* AsView() const override { return const_cast<TqdrView*>(this); }
  void Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;

  TqdrAlign Align() const { return align_; }
  void SetAlign(TqdrAlign v) { align_ = v; }
  bool Printable() const { return printable_; }
  void SetPrintable(bool v) { printable_ = v; }
  TqdrShiftMode ShiftMode() const { return shiftMode_; }
  void SetShiftMode(TqdrShiftMode v) { shiftMode_ = v; }
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v) { groupIndex_ = v; }
  TBrushStyle BrushStyle() const { return brushStyle_; }
  void SetBrushStyle(TBrushStyle v) { brushStyle_ = v; }
  int Color() const { return color_; }
  virtual void SetColor(int v) { color_ = v; }
  int Cursor() const { return cursor_; }
  void SetCursor(int v) { cursor_ = static_cast<int16_t>(v); }
  const std::string& DataField() const { return dataField_; }
  void SetDataField(const std::string& v) { dataField_ = v; }
  TqdrFrame* Frame() const { return frame_.get(); }
  void SetFrame(TqdrFrame* f) { frame_->Assign(f); }
  const std::string& TagStr() const { return tagStr_; }
  void SetTagStr(const std::string& v) { tagStr_ = v; }
  const std::string& URL() const { return url_; }
  void SetURL(const std::string& v) { url_ = v; }
  const std::string& OnAfterData() const { return onAfterData_; }
  void SetOnAfterData(const std::string& v) { onAfterData_ = v; }
  const std::string& OnAfterPrint() const { return onAfterPrint_; }
  void SetOnAfterPrint(const std::string& v) { onAfterPrint_ = v; }
  const std::string& OnBeforePrint() const { return onBeforePrint_; }
  void SetOnBeforePrint(const std::string& v) { onBeforePrint_ = v; }
  const std::string& OnPreviewClick() const { return onPreviewClick_; }
  void SetOnPreviewClick(const std::string& v) { onPreviewClick_ = v; }

  // Band layout state during a preparation (engine/band_layout.h), not
  // published: the growth in the current output of the band, the objects
  // directly below that move with this one (not owned), and the full height
  // while the band is split.
  double StretchDelta() const { return stretchDelta_; }
  void SetStretchDelta(double v) { stretchDelta_ = v; }
  std::vector<TqdrView*>& ShiftTargets() { return shiftTargets_; }
  const std::vector<TqdrView*>& ShiftTargets() const { return shiftTargets_; }
  double FullHeight() const { return fullHeight_; }
  void SetFullHeight(double v) { fullHeight_ = v; }
  // The horizontal band a view came from when the engine moved it into a
  // vertical band (cross layouts); null otherwise.
  TqdrBand* HostBand() const { return hostBand_; }
  void SetHostBand(TqdrBand* band) { hostBand_ = band; }

 private:
  TqdrBand* hostBand_ = nullptr;
  TqdrAlign align_ = TqdrAlign::baNone;
  bool printable_ = true;
  TqdrShiftMode shiftMode_ = TqdrShiftMode::smAlways;
  int groupIndex_ = 0;
  TBrushStyle brushStyle_ = TBrushStyle::bsSolid;
  int color_ = clTransparent;
  int16_t cursor_ = 0;
  std::string dataField_;
  std::unique_ptr<TqdrFrame> frame_;
  std::string tagStr_, url_;
  std::string onAfterData_, onAfterPrint_, onBeforePrint_, onPreviewClick_;
  double stretchDelta_ = 0;
  std::vector<TqdrView*> shiftTargets_;
  double fullHeight_ = 0;
};

// A view that can grow with its content.
class TqdrStretcheable : public TqdrView {
  CORE_DECLARE_CLASS()
 public:
  using TqdrView::TqdrView;
  TqdrStretcheable* AsStretcheable() const override {
    return const_cast<TqdrStretcheable*>(this);
  }
  TqdrStretchMode StretchMode() const { return stretchMode_; }
  void SetStretchMode(TqdrStretchMode v) { stretchMode_ = v; }

  // Height the content needs; a plain stretcheable keeps its Height.
  virtual double CalcHeight() { return Height(); }
  // Splitting: PrepareSplit remembers the whole content; TakeFittingPart keeps
  // the part that fits the current Height, holds back the rest and returns the
  // unfilled height below the kept part, the whole Height when nothing fits.
  // A plain stretcheable fills any height (0) and holds nothing back.
  virtual void PrepareSplit() {}
  virtual double TakeFittingPart() { return 0; }
  // Height the held-back content needs on its own; 0 when nothing is held back.
  virtual double HeldBackHeight() { return 0; }

 private:
  TqdrStretchMode stretchMode_ = TqdrStretchMode::smDontStretch;
};

// A text object. Holds every memo property; TqdrMemoView and TqdrSysMemoView
// publish their sets. Text expansion, measuring and drawing of memos build on
// this class elsewhere (GetData, CalcWidth, Draw are not overridden here); the
// stretch and split interface is defined in report/memo_text.cpp.
class TqdrCustomMemoView : public TqdrStretcheable {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrCustomMemoView(TqdrComponent* owner = nullptr);
  TqdrCustomMemoView* AsMemo() const override {
    return const_cast<TqdrCustomMemoView*>(this);
  }
  void Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
  ~TqdrCustomMemoView() override;

  double CalcHeight() override;
  void PrepareSplit() override;
  // Nothing held back means nothing is left to place: the rest of the box
  // then goes on like a plain stretcheable (0) instead of never fitting.
  double TakeFittingPart() override;
  double HeldBackHeight() override;
  // A memo that is not a data field also keeps its template text across a
  // printing, so every record starts from the template again.
  void BeforePrint() override;
  void AfterPrint() override;

  bool AutoWidth() const { return autoWidth_; }
  void SetAutoWidth(bool v) { autoWidth_ = v; }
  bool AllowExpressions() const { return allowExpressions_; }
  void SetAllowExpressions(bool v) { allowExpressions_ = v; }
  bool AllowHTMLTags() const { return allowHTMLTags_; }
  void SetAllowHTMLTags(bool v) { allowHTMLTags_ = v; }
  double CharSpacing() const { return charSpacing_; }
  void SetCharSpacing(double v) { charSpacing_ = v; }
  bool Clipped() const { return clipped_; }
  void SetClipped(bool v) { clipped_ = v; }
  TqdrFormat* DisplayFormat() const { return displayFormat_.get(); }
  void SetDisplayFormat(TqdrFormat* f) { displayFormat_->Assign(f); }
  const std::string& ExpressionDelimiters() const { return expressionDelimiters_; }
  void SetExpressionDelimiters(const std::string& v) { expressionDelimiters_ = v; }
  TqdrCustomMemoView* FlowTo() const { return flowTo_; }
  void SetFlowTo(TqdrCustomMemoView* v) { SetReference(flowTo_, v == this ? nullptr : v); }
  double GapX() const { return gapX_; }
  void SetGapX(double v) { gapX_ = v; }
  double GapY() const { return gapY_; }
  void SetGapY(double v) { gapY_ = v; }
  TqdrHAlign HAlign() const { return hAlign_; }
  void SetHAlign(TqdrHAlign v) { hAlign_ = v; }
  bool HideZeros() const { return hideZeros_; }
  void SetHideZeros(bool v) { hideZeros_ = v; }
  TqdrHighlight* Highlight() const { return highlight_.get(); }
  void SetHighlight(TqdrHighlight* h) { highlight_->Assign(h); }
  double LineSpacing() const { return lineSpacing_; }
  void SetLineSpacing(double v) { lineSpacing_ = v; }
  // The text lines (UTF-8).
  TqdrStringList* Memo() const { return memo_.get(); }
  void SetMemo(TqdrStringList* m) { memo_->Assign(m); }
  // The whole text: lines joined by CR LF, without a final line break.
  std::string Text() const { return memo_->JoinedText(); }
  void SetText(std::string_view text) { memo_->SetText(text); }
  double ParagraphGap() const { return paragraphGap_; }
  void SetParagraphGap(double v) { paragraphGap_ = v; }
  int Rotation() const { return rotation_; }
  // Stored modulo 360 (the sign of the value is kept: -90 stays -90).
  void SetRotation(int v) { rotation_ = v % 360; }
  bool RTLReading() const { return rtlReading_; }
  void SetRTLReading(bool v) { rtlReading_ = v; }
  const std::string& Style() const { return style_; }
  // Applies the report's style of that name (colour, font, frame) when it exists.
  void SetStyle(const std::string& v);
  bool SuppressRepeated() const { return suppressRepeated_; }
  void SetSuppressRepeated(bool v) { suppressRepeated_ = v; }
  bool Underlines() const { return underlines_; }
  void SetUnderlines(bool v) { underlines_ = v; }
  bool WordBreak() const { return wordBreak_; }
  void SetWordBreak(bool v) { wordBreak_ = v; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { wordWrap_ = v; }
  TqdrVAlign VAlign() const { return vAlign_; }
  void SetVAlign(TqdrVAlign v) { vAlign_ = v; }

  // Stored rules of the published memo properties.
  bool IsCharSpacingStored() const { return charSpacing_ != 0; }
  bool IsExpressionDelimitersStored() const { return expressionDelimiters_ != "[,]"; }
  bool IsFontStored() const { return !ParentFont(); }
  bool IsGapXStored() const { return gapX_ != 2; }
  bool IsGapYStored() const { return gapY_ != 1; }
  bool IsHighlightStored() const;
  bool IsLineSpacingStored() const { return lineSpacing_ != 2; }
  bool IsParagraphGapStored() const { return paragraphGap_ != 0; }
  bool IsRotationStored() const { return rotation_ != 0; }

  // Number of prepared pages, set by the prepared-page store before drawing.
  int TotalPages() const { return totalPages_; }
  void SetTotalPages(int v) { totalPages_ = v; }
  // The text, "[TOTALPAGES]" replaced by the page count when expressions are allowed.
  std::string GetComponentText() const override;
  // Re-applies the style name; a name the report no longer has is emptied.
  void ReapplyStyle();

  // Printing state (report/memo_text.h): the value of the last expression or
  // field, the text last printed (SuppressRepeated; kept across rows) and the
  // text held back by TakeFittingPart.
  const core::Variant& Value() const { return value_; }
  void SetValue(const core::Variant& v) { value_ = v; }
  const core::Variant& LastPrinted() const { return lastPrinted_; }
  void SetLastPrinted(const core::Variant& v) { lastPrinted_ = v; }
  const std::string& HeldBack() const { return heldBack_; }
  void SetHeldBack(const std::string& v) { heldBack_ = v; }

 protected:
  void Notification(TqdrComponent* removed) override;

 private:
  bool autoWidth_ = false;
  bool allowExpressions_ = true;
  bool allowHTMLTags_ = false;
  double charSpacing_ = 0;
  bool clipped_ = true;
  std::unique_ptr<TqdrFormat> displayFormat_;
  std::string expressionDelimiters_ = "[,]";
  TqdrCustomMemoView* flowTo_ = nullptr;
  double gapX_ = 2, gapY_ = 1;
  TqdrHAlign hAlign_ = TqdrHAlign::haLeft;
  bool hideZeros_ = false;
  std::unique_ptr<TqdrHighlight> highlight_;
  double lineSpacing_ = 2;
  std::unique_ptr<TqdrStringList> memo_;
  double paragraphGap_ = 0;
  int rotation_ = 0;
  bool rtlReading_ = false;
  std::string style_;
  bool suppressRepeated_ = false;
  bool underlines_ = false;
  bool wordBreak_ = false;
  bool wordWrap_ = true;
  TqdrVAlign vAlign_ = TqdrVAlign::vaTop;
  int totalPages_ = 0;
  core::Variant value_ = core::Variant::MakeNull();
  core::Variant lastPrinted_ = core::Variant::MakeNull();
  std::string heldBack_;
  std::vector<std::string> savedTemplate_;
  bool templateSaved_ = false;
};

// The ordinary text object.
class TqdrMemoView : public TqdrCustomMemoView {
  CORE_DECLARE_CLASS()
 public:
  using TqdrCustomMemoView::TqdrCustomMemoView;
  std::string GetDescription() const override;
};

// A text object for system texts (no data field, no expression switch).
class TqdrSysMemoView : public TqdrCustomMemoView {
  CORE_DECLARE_CLASS()
 public:
  using TqdrCustomMemoView::TqdrCustomMemoView;
  std::string GetDescription() const override;
};

class TqdrCustomLineView : public TqdrStretcheable {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrCustomLineView(TqdrComponent* owner = nullptr);
  void Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
  bool Diagonal() const { return diagonal_; }
  void SetDiagonal(bool v) { diagonal_ = v; }
  // A line that is not diagonal is the left edge of its box when Width <= Height
  // (Width becomes 0, Frame.Typ ftLeft), otherwise the top edge (Height 0, ftTop).
  // Drawing applies this before it draws the frame.
  void FitToEdge();
  std::string GetDescription() const override;

 private:
  bool diagonal_ = false;
};

class TqdrLineView : public TqdrCustomLineView {
  CORE_DECLARE_CLASS()
 public:
  using TqdrCustomLineView::TqdrCustomLineView;
};

class TqdrPictureView : public TqdrView {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrPictureView(TqdrComponent* owner = nullptr);
  void Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;

  TqdrPicture* Picture() const { return picture_.get(); }
  void SetPicture(TqdrPicture* p) { picture_->Assign(p); }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v) { center_ = v; }
  bool KeepAspectRatio() const { return keepAspectRatio_; }
  void SetKeepAspectRatio(bool v) { keepAspectRatio_ = v; }
  bool Stretched() const { return stretched_; }
  void SetStretched(bool v) { stretched_ = v; }
  // Whether the picture changed since the view was created (the compact form writes it then).
  bool PictureChanged() const { return pictureChanged_; }
  void ResetPictureChanged() { pictureChanged_ = false; }
  std::string GetDescription() const override;

 private:
  void PictureUpdated();
  std::unique_ptr<TqdrPicture> picture_;
  bool autoSize_ = false;
  bool center_ = false;
  bool keepAspectRatio_ = true;
  bool stretched_ = true;
  bool pictureChanged_ = false;
};

class TqdrShapeView : public TqdrView {
  CORE_DECLARE_CLASS()
 public:
  using TqdrView::TqdrView;
  void Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
  int Curve() const { return curve_; }
  void SetCurve(int v) { curve_ = v; }
  TqdrShapeKind Shape() const { return shape_; }
  void SetShape(TqdrShapeKind v) { shape_ = v; }
  std::string GetDescription() const override;

 private:
  int curve_ = 0;
  TqdrShapeKind shape_ = TqdrShapeKind::skRectangle;
};

// Placeholder that prints another report page.
class TqdrSubreport : public TqdrView {
  CORE_DECLARE_CLASS()
 public:
  // All four frame lines, "Tahoma" 8, silver.
  explicit TqdrSubreport(TqdrComponent* owner = nullptr);
  void Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
  ~TqdrSubreport() override;
  // The printed page (hides TqdrComponent::Page, the nearest enclosing page).
  TqdrReportPage* Page() const { return page_; }
  // The page points back to this sub-report.
  void SetPage(TqdrReportPage* page);
  bool PrintOnParent() const { return printOnParent_; }
  void SetPrintOnParent(bool v) { printOnParent_ = v; }
  std::string GetDescription() const override;

 protected:
  void Notification(TqdrComponent* removed) override;

 private:
  TqdrReportPage* page_ = nullptr;
  bool printOnParent_ = false;
};

}  // namespace report
