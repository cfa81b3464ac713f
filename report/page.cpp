// Report and dialog pages: paper geometry, columns and alignment.
#include "report/page.h"

#include <cmath>
#include <utility>

#include "core/float_text.h"
#include "report/band.h"
#include "report/paper_sizes.h"
#include "report/publish.h"
#include "report/resources.h"
#include "report/view.h"

namespace report {

namespace {

std::function<TqdrDefaultPaper()>& PaperProvider() {
  static std::function<TqdrDefaultPaper()> provider;
  return provider;
}

template <class T>
core::TObject* Make(core::TObject* owner) {
  return new T(dynamic_cast<TqdrComponent*>(owner));
}

using P = TqdrReportPage;
using G = TqdrDialogPage;

template <int N>
core::Variant DialogEventGet(const core::TObject* o) {
  return core::Variant(static_cast<const G*>(o)->Event(N));
}
template <int N>
void DialogEventSet(const core::PropInfo&, core::TObject* o, const core::Variant& v) {
  static_cast<G*>(o)->SetEvent(N, v.ToString());
}

}  // namespace

void SetDefaultPaperProvider(std::function<TqdrDefaultPaper()> provider) {
  PaperProvider() = std::move(provider);
}

const core::ClassInfo* TqdrPage::StaticClass() {
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<TqdrPage> b("TqdrPage", TqdrComponent::StaticClass());
    publish::Font(b);
    publish::Visible(b);
    return b.Done();
  }();
  return info;
}

const core::ClassInfo* TqdrReportPage::StaticClass() {
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<P> b("TqdrReportPage", TqdrPage::StaticClass());
    b.Factory(&Make<P>);
    b.Enum<&P::Orientation, &P::SetOrientation>("Orientation", &kOrientationType).Default(0);
    b.Float<&P::PaperWidth, &P::SetPaperWidth>("PaperWidth");
    b.Float<&P::PaperHeight, &P::SetPaperHeight>("PaperHeight");
    b.Integer<&P::PaperSize, &P::SetPaperSize>("PaperSize");
    b.Float<&P::LeftMargin, &P::SetLeftMargin>("LeftMargin");
    b.Float<&P::RightMargin, &P::SetRightMargin>("RightMargin");
    b.Float<&P::TopMargin, &P::SetTopMargin>("TopMargin");
    b.Float<&P::BottomMargin, &P::SetBottomMargin>("BottomMargin");
    b.Boolean<&P::MirrorMargins, &P::SetMirrorMargins>("MirrorMargins").Default(0);
    b.Integer<&P::Columns, &P::SetColumns>("Columns").Default(0);
    b.Float<&P::ColumnWidth, &P::SetColumnWidth>("ColumnWidth");
    b.Object<&P::ColumnPositions, &P::SetColumnPositions>(
        "ColumnPositions", TqdrStringList::StaticClass(), core::pfStringList);
    b.Integer<&P::Bin, &P::SetBin>("Bin").Default(7);
    b.Integer<&P::BinOtherPages, &P::SetBinOtherPages>("BinOtherPages").Default(7);
    b.Object<&P::BackPicture, &P::SetBackPicture>("BackPicture", TqdrPicture::StaticClass());
    b.Integer<&P::Color, &P::SetColor>("Color").Default(clTransparent);
    publish::DataSet(b);
    b.Enum<&P::Duplex, &P::SetDuplex>("Duplex", &kDuplexType).Default(0);
    b.Boolean<&P::PrintEnd, &P::SetPrintEnd>("PrintEnd").Default(0);
    b.Object<&P::Frame, &P::SetFrame>("Frame", TqdrFrame::StaticClass());
    b.Boolean<&P::LargeDesignHeight, &P::SetLargeDesignHeight>("LargeDesignHeight").Default(0);
    b.String<&P::OutlineText, &P::SetOutlineText>("OutlineText");
    b.Boolean<&P::PrintIfEmpty, &P::SetPrintIfEmpty>("PrintIfEmpty").Default(1);
    b.Boolean<&P::PrintOnPreviousPage, &P::SetPrintOnPreviousPage>("PrintOnPreviousPage")
        .Default(0);
    b.Boolean<&P::TitleBeforeHeader, &P::SetTitleBeforeHeader>("TitleBeforeHeader").Default(1);
    b.Object<&P::HGuides, &P::SetHGuides>("HGuides", TqdrStringList::StaticClass(),
                                          core::pfStringList);
    b.Object<&P::VGuides, &P::SetVGuides>("VGuides", TqdrStringList::StaticClass(),
                                          core::pfStringList);
    b.Event<&P::OnAfterPrint, &P::SetOnAfterPrint>("OnAfterPrint");
    b.Event<&P::OnBeforePrint, &P::SetOnBeforePrint>("OnBeforePrint");
    b.Event<&P::OnManualBuild, &P::SetOnManualBuild>("OnManualBuild");
    return b.Done();
  }();
  return info;
}

TqdrReportPage::TqdrReportPage(TqdrComponent* owner)
    : TqdrPage(owner),
      columnPositions_(std::make_unique<TqdrStringList>()),
      background_(std::make_unique<TqdrPictureView>(nullptr)),
      hGuides_(std::make_unique<TqdrStringList>()),
      vGuides_(std::make_unique<TqdrStringList>()) {
  background_->SetKeepAspectRatio(false);
  background_->SetColor(clTransparent);
  SetPaperSize(9);
}

TqdrReportPage::~TqdrReportPage() = default;

TqdrPicture* TqdrReportPage::BackPicture() const {
  return background_->Picture();
}
void TqdrReportPage::SetBackPicture(TqdrPicture* v) {
  background_->SetPicture(v);
}
int TqdrReportPage::Color() const {
  return background_->Color();
}
void TqdrReportPage::SetColor(int v) {
  background_->SetColor(v);
}
TqdrFrame* TqdrReportPage::Frame() const {
  return background_->Frame();
}
void TqdrReportPage::SetFrame(TqdrFrame* v) {
  background_->SetFrame(v);
}
void TqdrReportPage::SetColumnPositions(TqdrStringList* v) {
  columnPositions_->Assign(v);
}
void TqdrReportPage::SetHGuides(TqdrStringList* v) {
  hGuides_->Assign(v);
}
void TqdrReportPage::SetVGuides(TqdrStringList* v) {
  vGuides_->Assign(v);
}

void TqdrReportPage::SetSubReport(TqdrSubreport* v) {
  SetReference(subReport_, v);
}

void TqdrReportPage::Notification(TqdrComponent* removed) {
  TqdrPage::Notification(removed);
  if (removed == subReport_) subReport_ = nullptr;
}

void TqdrReportPage::UpdateDimensions() {
  SetWidth(std::round(paperWidth_ * qr01cm));
  SetHeight(std::round(paperHeight_ * qr01cm));
}

void TqdrReportPage::SetPaperWidth(double v) {
  paperWidth_ = v;
  paperSize_ = kCustomPaper;
  UpdateDimensions();
}

void TqdrReportPage::SetPaperHeight(double v) {
  paperHeight_ = v;
  paperSize_ = kCustomPaper;
  UpdateDimensions();
}

void TqdrReportPage::SetPaperSize(int v) {
  paperSize_ = v;
  if (v < kCustomPaper) {
    if (const TqdrPaperSize* paper = FindPaperSize(v)) {
      paperWidth_ = paper->width;
      paperHeight_ = paper->height;
      if (orientation_ == TPrinterOrientation::poLandscape) std::swap(paperWidth_, paperHeight_);
    }
  }
  UpdateDimensions();
}

void TqdrReportPage::SetOrientation(TPrinterOrientation v) {
  if (v == orientation_) return;
  orientation_ = v;
  std::swap(paperWidth_, paperHeight_);
  const double l = leftMargin_, r = rightMargin_, t = topMargin_, b = bottomMargin_;
  if (v == TPrinterOrientation::poLandscape) {
    leftMargin_ = t;
    rightMargin_ = b;
    topMargin_ = r;
    bottomMargin_ = l;
  } else {
    leftMargin_ = b;
    rightMargin_ = t;
    topMargin_ = l;
    bottomMargin_ = r;
  }
  UpdateDimensions();
}

void TqdrReportPage::SetColumns(int n) {
  columns_ = n;
  std::vector<std::string> positions;
  if (n > 0) {
    columnWidth_ = (paperWidth_ - leftMargin_ - rightMargin_) / n;
    for (int i = 0; i < n; ++i) positions.push_back(core::FloatToStr(i * columnWidth_));
  }
  columnPositions_->SetLines(std::move(positions));
}

void TqdrReportPage::SetDefaults() {
  leftMargin_ = rightMargin_ = topMargin_ = bottomMargin_ = 10;
  TqdrDefaultPaper paper;
  if (PaperProvider()) paper = PaperProvider()();
  orientation_ = paper.orientation;
  paperSize_ = paper.paperSize;
  paperWidth_ = paper.width;
  paperHeight_ = paper.height;
  UpdateDimensions();
}

void TqdrReportPage::AlignChildren() {
  SetWidth((paperWidth_ - leftMargin_ - rightMargin_) * qr01cm);
  SetHeight((paperHeight_ - topMargin_ - bottomMargin_) * qr01cm);
  TqdrComponent::AlignChildren();
  for (TqdrComponent* c : Objects()) {
    auto* band = dynamic_cast<TqdrBand*>(c);
    if (!band) continue;
    if (band->Vertical())
      band->SetHeight(Height() - band->Top());
    else
      band->SetWidth(Width() - band->Left());
    band->AlignChildren();
  }
  UpdateDimensions();
}

std::string TqdrReportPage::GetDescription() const {
  return Resources().Lookup("obRepPage");
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrDialogPage::StaticClass() {
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<G> b("TqdrDialogPage", TqdrPage::StaticClass());
    b.Factory(&Make<G>);
    b.Enum<&G::BorderStyle, &G::SetBorderStyle>("BorderStyle", &kBorderStyleType)
        .Default(static_cast<int>(TFormBorderStyle::bsSizeable));
    b.String<&G::Caption, &G::SetCaption>("Caption");
    b.Integer<&G::Color, &G::SetColor>("Color").Default(clBtnFace);
    publish::Height(b);
    publish::Left(b);
    b.Enum<&G::Position, &G::SetPosition>("Position", &kPositionType)
        .Default(static_cast<int>(TPosition::poScreenCenter));
    publish::Top(b);
    publish::Width(b);
    b.Enum<&G::WindowState, &G::SetWindowState>("WindowState", &kWindowStateType).Default(0);
    b.Custom("OnActivate", core::PropKind::Event, &DialogEventGet<G::kOnActivate>,
             &DialogEventSet<G::kOnActivate>);
    b.Custom("OnClick", core::PropKind::Event, &DialogEventGet<G::kOnClick>,
             &DialogEventSet<G::kOnClick>);
    b.Custom("OnCloseQuery", core::PropKind::Event, &DialogEventGet<G::kOnCloseQuery>,
             &DialogEventSet<G::kOnCloseQuery>);
    b.Custom("OnDeactivate", core::PropKind::Event, &DialogEventGet<G::kOnDeactivate>,
             &DialogEventSet<G::kOnDeactivate>);
    b.Custom("OnHide", core::PropKind::Event, &DialogEventGet<G::kOnHide>,
             &DialogEventSet<G::kOnHide>);
    b.Custom("OnKeyDown", core::PropKind::Event, &DialogEventGet<G::kOnKeyDown>,
             &DialogEventSet<G::kOnKeyDown>);
    b.Custom("OnKeyPress", core::PropKind::Event, &DialogEventGet<G::kOnKeyPress>,
             &DialogEventSet<G::kOnKeyPress>);
    b.Custom("OnKeyUp", core::PropKind::Event, &DialogEventGet<G::kOnKeyUp>,
             &DialogEventSet<G::kOnKeyUp>);
    b.Custom("OnShow", core::PropKind::Event, &DialogEventGet<G::kOnShow>,
             &DialogEventSet<G::kOnShow>);
    b.Custom("OnResize", core::PropKind::Event, &DialogEventGet<G::kOnResize>,
             &DialogEventSet<G::kOnResize>);
    return b.Done();
  }();
  return info;
}

TqdrDialogPage::TqdrDialogPage(TqdrComponent* owner) : TqdrPage(owner) {
  Font()->SetName("Tahoma");
  Font()->SetSize(8);
}

std::string TqdrDialogPage::GetDescription() const {
  return Resources().Lookup("obDlgPage");
}

}  // namespace report
