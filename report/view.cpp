// Views: published properties, initial values and setters.
#include "report/view.h"

#include <QImage>
#include <stdexcept>

#include "core/text_util.h"
#include "report/collections.h"
#include "report/page.h"
#include "report/publish.h"
#include "report/report.h"
#include "report/resources.h"

namespace report {

namespace {

// Properties held by TqdrView that memos, pictures and shapes publish.
template <class C>
void PublishViewProperty(core::ClassBuilder<C>& b, std::string_view name) {
  if (name == "BrushStyle") {
    b.template Enum<&TqdrView::BrushStyle, &TqdrView::SetBrushStyle>("BrushStyle", &kBrushStyleType)
        .Default(0);
  } else if (name == "Color") {
    b.template Integer<&TqdrView::Color, &TqdrView::SetColor>("Color").Default(clTransparent);
  } else if (name == "Cursor") {
    b.template Integer<&TqdrView::Cursor, &TqdrView::SetCursor>("Cursor").Default(0);
  } else if (name == "DataField") {
    b.template String<&TqdrView::DataField, &TqdrView::SetDataField>("DataField");
  } else if (name == "DataSet") {
    publish::DataSet(b);
  } else if (name == "Frame") {
    b.template Object<&TqdrView::Frame, &TqdrView::SetFrame>("Frame", TqdrFrame::StaticClass());
  } else if (name == "TagStr") {
    b.template String<&TqdrView::TagStr, &TqdrView::SetTagStr>("TagStr");
  } else if (name == "URL") {
    b.template String<&TqdrView::URL, &TqdrView::SetURL>("URL");
  } else if (name == "Font") {
    publish::Font(b);
  } else if (name == "ParentFont") {
    publish::ParentFont(b);
  } else {
    throw std::logic_error("no view property " + std::string(name));
  }
}

using M = TqdrCustomMemoView;

bool HighlightStored(const core::TObject* o) {
  return static_cast<const M*>(o)->IsHighlightStored();
}

// Properties held by TqdrCustomMemoView that the memo classes publish.
template <class C>
void PublishMemoProperty(core::ClassBuilder<C>& b, std::string_view name) {
  if (name == "AutoWidth") {
    b.template Boolean<&M::AutoWidth, &M::SetAutoWidth>("AutoWidth").Default(0);
  } else if (name == "AllowExpressions") {
    b.template Boolean<&M::AllowExpressions, &M::SetAllowExpressions>("AllowExpressions")
        .Default(1);
  } else if (name == "AllowHTMLTags") {
    b.template Boolean<&M::AllowHTMLTags, &M::SetAllowHTMLTags>("AllowHTMLTags").Default(0);
  } else if (name == "CharSpacing") {
    b.template Float<&M::CharSpacing, &M::SetCharSpacing>("CharSpacing")
        .template StoredIf<&M::IsCharSpacingStored>();
  } else if (name == "Clipped") {
    b.template Boolean<&M::Clipped, &M::SetClipped>("Clipped").Default(1);
  } else if (name == "DisplayFormat") {
    b.template Object<&M::DisplayFormat, &M::SetDisplayFormat>("DisplayFormat",
                                                               TqdrFormat::StaticClass());
  } else if (name == "ExpressionDelimiters") {
    b.template String<&M::ExpressionDelimiters, &M::SetExpressionDelimiters>("ExpressionDelimiters")
        .template StoredIf<&M::IsExpressionDelimitersStored>();
  } else if (name == "FlowTo") {
    b.template Reference<&M::FlowTo, &M::SetFlowTo>("FlowTo", M::StaticClass());
  } else if (name == "GapX") {
    b.template Float<&M::GapX, &M::SetGapX>("GapX").template StoredIf<&M::IsGapXStored>();
  } else if (name == "GapY") {
    b.template Float<&M::GapY, &M::SetGapY>("GapY").template StoredIf<&M::IsGapYStored>();
  } else if (name == "HAlign") {
    b.template Enum<&M::HAlign, &M::SetHAlign>("HAlign", &kHAlignType).Default(0);
  } else if (name == "HideZeros") {
    b.template Boolean<&M::HideZeros, &M::SetHideZeros>("HideZeros").Default(0);
  } else if (name == "Highlight") {
    b.template Object<&M::Highlight, &M::SetHighlight>("Highlight", TqdrHighlight::StaticClass())
        .Stored(&HighlightStored);
  } else if (name == "LineSpacing") {
    b.template Float<&M::LineSpacing, &M::SetLineSpacing>("LineSpacing")
        .template StoredIf<&M::IsLineSpacingStored>();
  } else if (name == "Memo") {
    b.template Object<&M::Memo, &M::SetMemo>("Memo", TqdrStringList::StaticClass(),
                                             core::pfWideStrings);
  } else if (name == "ParagraphGap") {
    b.template Float<&M::ParagraphGap, &M::SetParagraphGap>("ParagraphGap")
        .template StoredIf<&M::IsParagraphGapStored>();
  } else if (name == "Rotation") {
    b.template Integer<&M::Rotation, &M::SetRotation>("Rotation")
        .template StoredIf<&M::IsRotationStored>();
  } else if (name == "RTLReading") {
    b.template Boolean<&M::RTLReading, &M::SetRTLReading>("RTLReading").Default(0);
  } else if (name == "Style") {
    b.template String<&M::Style, &M::SetStyle>("Style");
  } else if (name == "SuppressRepeated") {
    b.template Boolean<&M::SuppressRepeated, &M::SetSuppressRepeated>("SuppressRepeated")
        .Default(0);
  } else if (name == "Underlines") {
    b.template Boolean<&M::Underlines, &M::SetUnderlines>("Underlines").Default(0);
  } else if (name == "WordBreak") {
    b.template Boolean<&M::WordBreak, &M::SetWordBreak>("WordBreak").Default(0);
  } else if (name == "WordWrap") {
    b.template Boolean<&M::WordWrap, &M::SetWordWrap>("WordWrap").Default(1);
  } else if (name == "VAlign") {
    b.template Enum<&M::VAlign, &M::SetVAlign>("VAlign", &kVAlignType).Default(0);
  } else {
    PublishViewProperty(b, name);
  }
}

template <class T>
core::TObject* Make(core::TObject* owner) {
  return new T(dynamic_cast<TqdrComponent*>(owner));
}

}  // namespace

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrView::StaticClass() {
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<TqdrView> b("TqdrView", TqdrReportComponent::StaticClass());
    b.Enum<&TqdrView::Align, &TqdrView::SetAlign>("Align", &kAlignType).Default(0);
    b.Boolean<&TqdrView::Printable, &TqdrView::SetPrintable>("Printable").Default(1);
    b.Enum<&TqdrView::ShiftMode, &TqdrView::SetShiftMode>("ShiftMode", &kShiftModeType)
        .Default(static_cast<int>(TqdrShiftMode::smAlways));
    publish::Left(b);
    publish::Top(b);
    publish::Width(b);
    publish::Height(b);
    b.Integer<&TqdrView::GroupIndex, &TqdrView::SetGroupIndex>("GroupIndex").Default(0);
    publish::Restrictions(b);
    publish::Visible(b);
    b.Event<&TqdrView::OnAfterData, &TqdrView::SetOnAfterData>("OnAfterData");
    b.Event<&TqdrView::OnAfterPrint, &TqdrView::SetOnAfterPrint>("OnAfterPrint");
    b.Event<&TqdrView::OnBeforePrint, &TqdrView::SetOnBeforePrint>("OnBeforePrint");
    b.Event<&TqdrView::OnPreviewClick, &TqdrView::SetOnPreviewClick>("OnPreviewClick");
    return b.Done();
  }();
  return info;
}

TqdrView::TqdrView(TqdrComponent* owner)
    : TqdrReportComponent(owner), frame_(std::make_unique<TqdrFrame>()) {}

const core::ClassInfo* TqdrStretcheable::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrStretcheable>("TqdrStretcheable", TqdrView::StaticClass())
          .Enum<&TqdrStretcheable::StretchMode, &TqdrStretcheable::SetStretchMode>(
              "StretchMode", &kStretchModeType)
          .Default(0)
          .Done();
  return info;
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrCustomMemoView::StaticClass() {
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<M> b("TqdrCustomMemoView", TqdrStretcheable::StaticClass());
    b.Factory(&Make<M>);
    for (const char* name : {"Cursor", "TagStr", "URL"}) PublishMemoProperty(b, name);
    return b.Done();
  }();
  return info;
}

TqdrCustomMemoView::TqdrCustomMemoView(TqdrComponent* owner)
    : TqdrStretcheable(owner),
      displayFormat_(std::make_unique<TqdrFormat>()),
      highlight_(std::make_unique<TqdrHighlight>()),
      memo_(std::make_unique<TqdrStringList>()) {}

TqdrCustomMemoView::~TqdrCustomMemoView() = default;

void TqdrCustomMemoView::BeforePrint() {
  TqdrStretcheable::BeforePrint();
  templateSaved_ = !(DataSet() && !DataField().empty());
  if (templateSaved_) savedTemplate_ = memo_->Lines();
}

void TqdrCustomMemoView::AfterPrint() {
  if (templateSaved_) {
    memo_->SetLines(std::move(savedTemplate_));
    savedTemplate_.clear();
    templateSaved_ = false;
  }
  TqdrStretcheable::AfterPrint();
}

bool TqdrCustomMemoView::IsHighlightStored() const {
  return !core::TrimView(highlight_->Condition()).empty();
}

void TqdrCustomMemoView::Notification(TqdrComponent* removed) {
  TqdrStretcheable::Notification(removed);
  if (removed == flowTo_) flowTo_ = nullptr;
}

void TqdrCustomMemoView::SetStyle(const std::string& v) {
  style_ = v;
  TqdrReport* report = Report();
  if (!report || v.empty()) return;
  TqdrStyleItem* item = report->Styles()->Find(v);
  if (!item) return;
  SetColor(item->Color());
  SetFont(item->Font());
  SetFrame(item->Frame());
}

void TqdrCustomMemoView::ReapplyStyle() {
  if (style_.empty()) return;
  TqdrReport* report = Report();
  if (report && report->Styles()->Find(style_))
    SetStyle(style_);
  else
    style_.clear();
}

std::string TqdrCustomMemoView::GetComponentText() const {
  std::string text = Text();
  if (!allowExpressions_) return text;
  static constexpr std::string_view kTag = "[TOTALPAGES]";
  std::string upper = core::UpperCase(text);
  size_t at = upper.find(kTag);
  if (at != std::string::npos) text.replace(at, kTag.size(), std::to_string(totalPages_));
  return text;
}

const core::ClassInfo* TqdrMemoView::StaticClass() {
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<M> b("TqdrMemoView", TqdrCustomMemoView::StaticClass());
    b.Factory(&Make<TqdrMemoView>);
    for (const char* name : {"AutoWidth",
                             "AllowExpressions",
                             "AllowHTMLTags",
                             "BrushStyle",
                             "CharSpacing",
                             "Clipped",
                             "Color",
                             "DataField",
                             "DataSet",
                             "DisplayFormat",
                             "ExpressionDelimiters",
                             "FlowTo",
                             "Font",
                             "Frame",
                             "GapX",
                             "GapY",
                             "HAlign",
                             "HideZeros",
                             "Highlight",
                             "LineSpacing",
                             "Memo",
                             "ParagraphGap",
                             "ParentFont",
                             "Rotation",
                             "RTLReading",
                             "Style",
                             "SuppressRepeated",
                             "Underlines",
                             "WordBreak",
                             "WordWrap",
                             "VAlign"})
      PublishMemoProperty(b, name);
    return b.Done();
  }();
  return info;
}

std::string TqdrMemoView::GetDescription() const {
  return Resources().Lookup("obText");
}

const core::ClassInfo* TqdrSysMemoView::StaticClass() {
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<M> b("TqdrSysMemoView", TqdrCustomMemoView::StaticClass());
    b.Factory(&Make<TqdrSysMemoView>);
    for (const char* name : {"AutoWidth",  "BrushStyle",    "CharSpacing",
                             "Color",      "DisplayFormat", "Font",
                             "Frame",      "GapX",          "GapY",
                             "HAlign",     "HideZeros",     "Highlight",
                             "Memo",       "ParentFont",    "Rotation",
                             "RTLReading", "Style",         "SuppressRepeated",
                             "VAlign",     "WordWrap"})
      PublishMemoProperty(b, name);
    return b.Done();
  }();
  return info;
}

std::string TqdrSysMemoView::GetDescription() const {
  return Resources().Lookup("obSysText");
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrCustomLineView::StaticClass() {
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<TqdrCustomLineView> b("TqdrCustomLineView", TqdrStretcheable::StaticClass());
    b.Factory(&Make<TqdrCustomLineView>);
    PublishViewProperty(b, "Frame");
    return b.Done();
  }();
  return info;
}

TqdrCustomLineView::TqdrCustomLineView(TqdrComponent* owner) : TqdrStretcheable(owner) {}

void TqdrCustomLineView::FitToEdge() {
  if (diagonal_) return;
  if (Width() <= Height()) {
    SetWidth(0);
    Frame()->SetTyp(frame_typ::ftLeft);
  } else {
    SetHeight(0);
    Frame()->SetTyp(frame_typ::ftTop);
  }
}

std::string TqdrCustomLineView::GetDescription() const {
  return Resources().Lookup("obLine");
}

const core::ClassInfo* TqdrLineView::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrLineView>("TqdrLineView", TqdrCustomLineView::StaticClass())
          .Factory(&Make<TqdrLineView>)
          .Boolean<&TqdrLineView::Diagonal, &TqdrLineView::SetDiagonal>("Diagonal")
          .Default(0)
          .Done();
  return info;
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrPictureView::StaticClass() {
  using P = TqdrPictureView;
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<P> b("TqdrPictureView", TqdrView::StaticClass());
    b.Factory(&Make<P>);
    PublishViewProperty(b, "Cursor");
    b.Boolean<&P::AutoSize, &P::SetAutoSize>("AutoSize").Default(0);
    b.Boolean<&P::Center, &P::SetCenter>("Center").Default(0);
    PublishViewProperty(b, "Color");
    b.Default(clWhite);
    PublishViewProperty(b, "DataField");
    PublishViewProperty(b, "DataSet");
    PublishViewProperty(b, "Frame");
    b.Boolean<&P::KeepAspectRatio, &P::SetKeepAspectRatio>("KeepAspectRatio").Default(1);
    b.Object<&P::Picture, &P::SetPicture>("Picture", TqdrPicture::StaticClass());
    b.Boolean<&P::Stretched, &P::SetStretched>("Stretched").Default(1);
    PublishViewProperty(b, "TagStr");
    PublishViewProperty(b, "URL");
    return b.Done();
  }();
  return info;
}

TqdrPictureView::TqdrPictureView(TqdrComponent* owner)
    : TqdrView(owner), picture_(std::make_unique<TqdrPicture>()) {
  SetColor(clWhite);
  picture_->OnChange = [this] { PictureUpdated(); };
}

void TqdrPictureView::PictureUpdated() {
  pictureChanged_ = true;
  if (autoSize_ && !picture_->IsEmpty()) {
    QImage image = picture_->ToImage();
    if (!image.isNull()) {
      SetWidth(image.width());
      SetHeight(image.height());
    }
  }
}

void TqdrPictureView::SetAutoSize(bool v) {
  autoSize_ = v;
  if (v && !picture_->IsEmpty()) {
    QImage image = picture_->ToImage();
    if (!image.isNull()) {
      SetWidth(image.width());
      SetHeight(image.height());
    }
  }
}

std::string TqdrPictureView::GetDescription() const {
  return Resources().Lookup("obPicture");
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrShapeView::StaticClass() {
  using S = TqdrShapeView;
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<S> b("TqdrShapeView", TqdrView::StaticClass());
    b.Factory(&Make<S>);
    PublishViewProperty(b, "BrushStyle");
    PublishViewProperty(b, "Color");
    PublishViewProperty(b, "Cursor");
    b.Integer<&S::Curve, &S::SetCurve>("Curve").Default(0);
    PublishViewProperty(b, "Frame");
    b.Enum<&S::Shape, &S::SetShape>("Shape", &kShapeKindType).Default(0);
    PublishViewProperty(b, "TagStr");
    PublishViewProperty(b, "URL");
    return b.Done();
  }();
  return info;
}

std::string TqdrShapeView::GetDescription() const {
  return Resources().Lookup("obShape");
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrSubreport::StaticClass() {
  using S = TqdrSubreport;
  static const core::ClassInfo* info =
      core::ClassBuilder<S>("TqdrSubreport", TqdrView::StaticClass())
          .Factory(&Make<S>)
          .Reference<&S::Page, &S::SetPage>("Page", TqdrReportPage::StaticClass())
          .Boolean<&S::PrintOnParent, &S::SetPrintOnParent>("PrintOnParent")
          .Default(0)
          .Done();
  return info;
}

TqdrSubreport::TqdrSubreport(TqdrComponent* owner) : TqdrView(owner) {
  Frame()->SetTyp(frame_typ::ftAll);
  Font()->SetName("Tahoma");
  Font()->SetSize(8);
  SetColor(clSilver);
}

// The page hears of the sub-report's end through its free notification.
TqdrSubreport::~TqdrSubreport() = default;

void TqdrSubreport::SetPage(TqdrReportPage* page) {
  if (page == page_) return;
  if (page_ && page_->SubReport() == this) page_->SetSubReport(nullptr);
  SetReference(page_, page);
  if (page_) page_->SetSubReport(this);
}

void TqdrSubreport::Notification(TqdrComponent* removed) {
  TqdrView::Notification(removed);
  if (removed == page_) page_ = nullptr;
}

std::string TqdrSubreport::GetDescription() const {
  return Resources().Lookup("obSubRep");
}

}  // namespace report
