// Bands: published properties per band kind, child chains and row counts.
#include "report/band.h"

#include <stdexcept>

#include "core/error.h"
#include "report/dataset.h"
#include "report/publish.h"
#include "report/resources.h"

namespace report {

namespace {

using B = TqdrBand;
using D = TqdrDataBand;

// Band properties (held by TqdrBand) that the band kinds publish.
template <class C>
void PublishBandProperty(core::ClassBuilder<C>& b, std::string_view name) {
  if (name == "AllowSplit") {
    b.template Boolean<&B::AllowSplit, &B::SetAllowSplit>("AllowSplit").Default(0);
  } else if (name == "Child") {
    // TqdrBand as the class: TqdrChild itself publishes Child, and its class info is being built.
    b.template Reference<&B::Child, &B::SetChild>("Child", TqdrBand::StaticClass());
  } else if (name == "Condition") {
    b.template String<&B::Condition, &B::SetCondition>("Condition");
  } else if (name == "HideIfSingleDataRecord") {
    b.template Boolean<&B::HideIfSingleDataRecord, &B::SetHideIfSingleDataRecord>(
         "HideIfSingleDataRecord")
        .Default(0);
  } else if (name == "KeepChild") {
    b.template Boolean<&B::KeepChild, &B::SetKeepChild>("KeepChild").Default(0);
  } else if (name == "KeepTogether") {
    b.template Boolean<&B::KeepTogether, &B::SetKeepTogether>("KeepTogether").Default(0);
  } else if (name == "OutlineText") {
    b.template String<&B::OutlineText, &B::SetOutlineText>("OutlineText");
  } else if (name == "PrintChildIfInvisible") {
    b.template Boolean<&B::PrintChildIfInvisible, &B::SetPrintChildIfInvisible>(
         "PrintChildIfInvisible")
        .Default(0);
  } else if (name == "PrintOnFirstPage") {
    b.template Boolean<&B::PrintOnFirstPage, &B::SetPrintOnFirstPage>("PrintOnFirstPage")
        .Default(1);
  } else if (name == "PrintOnLastPage") {
    b.template Boolean<&B::PrintOnLastPage, &B::SetPrintOnLastPage>("PrintOnLastPage").Default(1);
  } else if (name == "PrintOnTop") {
    b.template Boolean<&B::PrintOnTop, &B::SetPrintOnTop>("PrintOnTop").Default(0);
  } else if (name == "ReprintOnNewPage") {
    b.template Boolean<&B::ReprintOnNewPage, &B::SetReprintOnNewPage>("ReprintOnNewPage")
        .Default(0);
  } else if (name == "StartNewPage") {
    b.template Boolean<&B::StartNewPage, &B::SetStartNewPage>("StartNewPage").Default(0);
  } else if (name == "Stretched") {
    b.template Boolean<&B::Stretched, &B::SetStretched>("Stretched").Default(0);
  } else {
    throw std::logic_error("no band property " + std::string(name));
  }
}

template <class T>
core::TObject* Make(core::TObject* owner) {
  return new T(dynamic_cast<TqdrComponent*>(owner));
}

template <class T>
const core::ClassInfo* BandClass(const char* name, const core::ClassInfo* parent,
                                 std::initializer_list<const char*> props) {
  core::ClassBuilder<B> b(name, parent);
  b.Factory(&Make<T>);
  for (const char* p : props) PublishBandProperty(b, p);
  return b.Done();
}

}  // namespace

const core::ClassInfo* TqdrBand::StaticClass() {
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<B> b("TqdrBand", TqdrReportComponent::StaticClass());
    publish::Font(b);
    publish::Height(b);
    publish::Left(b);
    publish::ParentFont(b);
    publish::Restrictions(b);
    publish::Top(b);
    b.Boolean<&B::Vertical, &B::SetVertical>("Vertical").Default(0);
    publish::Visible(b);
    publish::Width(b);
    b.Event<&B::OnAfterCalcHeight, &B::SetOnAfterCalcHeight>("OnAfterCalcHeight");
    b.Event<&B::OnAfterPrint, &B::SetOnAfterPrint>("OnAfterPrint");
    b.Event<&B::OnBeforePrint, &B::SetOnBeforePrint>("OnBeforePrint");
    return b.Done();
  }();
  return info;
}

TqdrBand::TqdrBand(TqdrComponent* owner) : TqdrReportComponent(owner) {}

TqdrBand::~TqdrBand() = default;

void TqdrBand::SetChild(TqdrChild* child) {
  for (TqdrBand* c = child; c; c = c->Child())
    if (c == this) throw core::Error("Circular child reference is not allowed");
  SetReference(child_, child);
}

void TqdrBand::Notification(TqdrComponent* removed) {
  TqdrReportComponent::Notification(removed);
  if (removed == child_) child_ = nullptr;
}

int TqdrBand::BandNumber() const {
  static const core::ClassInfo* const kOrder[] = {
      TqdrReportTitle::StaticClass(),   TqdrReportSummary::StaticClass(),
      TqdrPageHeader::StaticClass(),    TqdrPageFooter::StaticClass(),
      TqdrHeader::StaticClass(),        TqdrFooter::StaticClass(),
      TqdrMasterData::StaticClass(),    TqdrDetailData::StaticClass(),
      TqdrSubdetailData::StaticClass(), TqdrDataBand4::StaticClass(),
      TqdrDataBand5::StaticClass(),     TqdrDataBand6::StaticClass(),
      TqdrGroupHeader::StaticClass(),   TqdrGroupFooter::StaticClass(),
      TqdrChild::StaticClass(),         TqdrColumnHeader::StaticClass(),
      TqdrColumnFooter::StaticClass(),  TqdrOverlay::StaticClass()};
  int number = -1;
  for (int i = 0; i < static_cast<int>(std::size(kOrder)); ++i)
    if (InheritsFrom(kOrder[i])) number = i;
  return number;
}

std::string TqdrBand::GetDescription() const {
  return Resources().Lookup("obBand");
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrDataBand::StaticClass() {
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<D> b("TqdrDataBand", TqdrBand::StaticClass());
    PublishBandProperty(b, "AllowSplit");
    PublishBandProperty(b, "Child");
    b.Integer<&D::Columns, &D::SetColumns>("Columns").Default(0);
    b.Float<&D::ColumnWidth, &D::SetColumnWidth>("ColumnWidth");
    b.Float<&D::ColumnGap, &D::SetColumnGap>("ColumnGap");
    publish::DataSet(b);
    b.Boolean<&D::FooterAfterEach, &D::SetFooterAfterEach>("FooterAfterEach").Default(0);
    PublishBandProperty(b, "KeepChild");
    b.Boolean<&D::KeepFooter, &D::SetKeepFooter>("KeepFooter").Default(0);
    b.Boolean<&D::KeepHeader, &D::SetKeepHeader>("KeepHeader").Default(0);
    PublishBandProperty(b, "KeepTogether");
    PublishBandProperty(b, "OutlineText");
    PublishBandProperty(b, "PrintChildIfInvisible");
    b.Boolean<&D::PrintIfDetailEmpty, &D::SetPrintIfDetailEmpty>("PrintIfDetailEmpty").Default(0);
    b.Integer<&D::RowCount, &D::SetRowCount>("RowCount");
    PublishBandProperty(b, "StartNewPage");
    PublishBandProperty(b, "Stretched");
    b.Event<&D::OnMasterDetail, &D::SetOnMasterDetail>("OnMasterDetail");
    return b.Done();
  }();
  return info;
}

TqdrDataBand::TqdrDataBand(TqdrComponent* owner)
    : TqdrBand(owner), virtualDataSet_(std::make_unique<TqdrUserDataSet>(nullptr)) {
  virtualDataSet_->SetRangeEnd(TqdrRangeEnd::reCount);
}

TqdrDataBand::~TqdrDataBand() = default;

int TqdrDataBand::RowCount() const {
  return virtualDataSet_->RangeEndCount();
}

void TqdrDataBand::SetRowCount(int v) {
  virtualDataSet_->SetRangeEndCount(v);
}

std::string TqdrDataBand::GetDescription() const {
  return Resources().Lookup("obDataBand");
}

#define QDR_DATA_BAND_INFO(Name)                                                                  \
  const core::ClassInfo* Name::StaticClass() {                                                    \
    static const core::ClassInfo* info = BandClass<Name>(#Name, TqdrDataBand::StaticClass(), {}); \
    return info;                                                                                  \
  }
QDR_DATA_BAND_INFO(TqdrMasterData)
QDR_DATA_BAND_INFO(TqdrDetailData)
QDR_DATA_BAND_INFO(TqdrSubdetailData)
QDR_DATA_BAND_INFO(TqdrDataBand4)
QDR_DATA_BAND_INFO(TqdrDataBand5)
QDR_DATA_BAND_INFO(TqdrDataBand6)
#undef QDR_DATA_BAND_INFO

#define QDR_BAND_INFO(Name, ...)                                        \
  const core::ClassInfo* Name::StaticClass() {                          \
    static const core::ClassInfo* info =                                \
        BandClass<Name>(#Name, TqdrBand::StaticClass(), {__VA_ARGS__}); \
    return info;                                                        \
  }
QDR_BAND_INFO(TqdrHeader, "AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible",
              "ReprintOnNewPage", "StartNewPage", "Stretched")
QDR_BAND_INFO(TqdrFooter, "AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible", "Stretched")
QDR_BAND_INFO(TqdrPageHeader, "Child", "PrintChildIfInvisible", "PrintOnFirstPage", "Stretched")
QDR_BAND_INFO(TqdrPageFooter, "PrintOnFirstPage", "PrintOnLastPage")
QDR_BAND_INFO(TqdrColumnHeader, "Stretched")
QDR_BAND_INFO(TqdrColumnFooter)
QDR_BAND_INFO(TqdrGroupHeader, "AllowSplit", "Child", "Condition", "KeepChild", "KeepTogether",
              "ReprintOnNewPage", "OutlineText", "PrintChildIfInvisible", "StartNewPage",
              "Stretched")
QDR_BAND_INFO(TqdrGroupFooter, "AllowSplit", "Child", "HideIfSingleDataRecord", "KeepChild",
              "PrintChildIfInvisible", "Stretched")
QDR_BAND_INFO(TqdrReportTitle, "AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible",
              "StartNewPage", "Stretched")
QDR_BAND_INFO(TqdrReportSummary, "AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible",
              "StartNewPage", "Stretched")
QDR_BAND_INFO(TqdrChild, "AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible",
              "StartNewPage", "Stretched")
QDR_BAND_INFO(TqdrOverlay, "PrintOnTop")
QDR_BAND_INFO(TqdrNullBand)
#undef QDR_BAND_INFO

}  // namespace report
