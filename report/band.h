// Bands: the horizontal (or vertical) strips a page is built from. TqdrBand
// holds every band property; each band kind publishes its own set.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/variant.h"
#include "report/component.h"

namespace report {

class TqdrBand;
class TqdrChild;
class TqdrDataBand;
class TqdrUserDataSet;

// What the band engine keeps on a band during a preparation (set when the
// bands are connected, changed while they print).
struct TqdrBandRunState {
  // Data bands one level deeper; for a group header its chain (itself and the
  // group headers directly after it).
  std::vector<TqdrBand*> childDataBands;
  TqdrBand* headerBand = nullptr;
  TqdrBand* footerBand = nullptr;
  TqdrBand* groupBand = nullptr;  // first group header of a data band
  int lineNo = 0, lineThroughNo = 0;
  int ownObjectCount = -1;  // objects before the run added any; -1: none added
  bool hasCrossBands = false;
  int columnNo = 1;          // band column of a data band, 1-based
  int rowStart = 0;          // prepared-page object count where the current row began
  double columnBottom = 0;   // lowest CurY of the current row of band columns
  core::Variant lastConditionValue;  // a group header's last condition value
};

class TqdrBand : public TqdrReportComponent {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrBand(TqdrComponent* owner = nullptr);
  TqdrBand* AsBand() const override { return const_cast<TqdrBand*>(this); }
  ~TqdrBand() override;

  bool Vertical() const { return vertical_; }
  void SetVertical(bool v) { vertical_ = v; }
  bool AllowSplit() const { return allowSplit_; }
  void SetAllowSplit(bool v) { allowSplit_ = v; }
  TqdrChild* Child() const { return child_; }
  // Raises "Circular child reference is not allowed" when the chain of children
  // would lead back to this band; the old child stays then.
  void SetChild(TqdrChild* child);
  bool KeepChild() const { return keepChild_; }
  void SetKeepChild(bool v) { keepChild_ = v; }
  bool KeepTogether() const { return keepTogether_; }
  void SetKeepTogether(bool v) { keepTogether_ = v; }
  bool PrintChildIfInvisible() const { return printChildIfInvisible_; }
  void SetPrintChildIfInvisible(bool v) { printChildIfInvisible_ = v; }
  bool ReprintOnNewPage() const { return reprintOnNewPage_; }
  void SetReprintOnNewPage(bool v) { reprintOnNewPage_ = v; }
  bool StartNewPage() const { return startNewPage_; }
  void SetStartNewPage(bool v) { startNewPage_ = v; }
  bool Stretched() const { return stretched_; }
  void SetStretched(bool v) { stretched_ = v; }
  const std::string& OutlineText() const { return outlineText_; }
  void SetOutlineText(const std::string& v) { outlineText_ = v; }
  const std::string& Condition() const { return condition_; }
  void SetCondition(const std::string& v) { condition_ = v; }
  bool HideIfSingleDataRecord() const { return hideIfSingleDataRecord_; }
  void SetHideIfSingleDataRecord(bool v) { hideIfSingleDataRecord_ = v; }
  bool PrintOnFirstPage() const { return printOnFirstPage_; }
  void SetPrintOnFirstPage(bool v) { printOnFirstPage_ = v; }
  bool PrintOnLastPage() const { return printOnLastPage_; }
  void SetPrintOnLastPage(bool v) { printOnLastPage_ = v; }
  bool PrintOnTop() const { return printOnTop_; }
  void SetPrintOnTop(bool v) { printOnTop_ = v; }
  const std::string& OnAfterCalcHeight() const { return onAfterCalcHeight_; }
  void SetOnAfterCalcHeight(const std::string& v) { onAfterCalcHeight_ = v; }
  const std::string& OnAfterPrint() const { return onAfterPrint_; }
  void SetOnAfterPrint(const std::string& v) { onAfterPrint_ = v; }
  const std::string& OnBeforePrint() const { return onBeforePrint_; }
  void SetOnBeforePrint(const std::string& v) { onBeforePrint_ = v; }

  // Set by the band engine while the band is reprinted on a new page.
  bool Overflow() const { return overflow_; }
  void SetOverflow(bool v) { overflow_ = v; }
  // Bands the engine prints with this one (headers, footers, groups).
  std::vector<TqdrBand*>& SubBands() { return subBands_; }
  TqdrBandRunState& Run() { return run_; }
  const TqdrBandRunState& Run() const { return run_; }

  // The band kind's number in the fixed order (0 TqdrReportTitle ... 17 TqdrOverlay).
  int BandNumber() const;
  std::string GetDescription() const override;

 protected:
  void Notification(TqdrComponent* removed) override;

 private:
  bool vertical_ = false, allowSplit_ = false, keepChild_ = false, keepTogether_ = false;
  TqdrChild* child_ = nullptr;
  bool printChildIfInvisible_ = false, reprintOnNewPage_ = false, startNewPage_ = false;
  bool stretched_ = false, hideIfSingleDataRecord_ = false;
  bool printOnFirstPage_ = true, printOnLastPage_ = true, printOnTop_ = false;
  std::string outlineText_, condition_;
  std::string onAfterCalcHeight_, onAfterPrint_, onBeforePrint_;
  bool overflow_ = false;
  std::vector<TqdrBand*> subBands_;
  TqdrBandRunState run_;
};

// A band printed once per record of its dataset (or RowCount times without one).
class TqdrDataBand : public TqdrBand {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrDataBand(TqdrComponent* owner = nullptr);
  ~TqdrDataBand() override;

  int Columns() const { return columns_; }
  void SetColumns(int v) { columns_ = v; }
  double ColumnWidth() const { return columnWidth_; }
  void SetColumnWidth(double v) { columnWidth_ = v; }
  double ColumnGap() const { return columnGap_; }
  void SetColumnGap(double v) { columnGap_ = v; }
  bool FooterAfterEach() const { return footerAfterEach_; }
  void SetFooterAfterEach(bool v) { footerAfterEach_ = v; }
  bool KeepFooter() const { return keepFooter_; }
  void SetKeepFooter(bool v) { keepFooter_ = v; }
  bool KeepHeader() const { return keepHeader_; }
  void SetKeepHeader(bool v) { keepHeader_ = v; }
  bool PrintIfDetailEmpty() const { return printIfDetailEmpty_; }
  void SetPrintIfDetailEmpty(bool v) { printIfDetailEmpty_ = v; }
  // Rows printed without a dataset: the private row counter's RangeEndCount.
  int RowCount() const;
  void SetRowCount(int v);
  const std::string& OnMasterDetail() const { return onMasterDetail_; }
  void SetOnMasterDetail(const std::string& v) { onMasterDetail_ = v; }
  // The private user dataset (range end reCount) that counts RowCount rows.
  TqdrUserDataSet* VirtualDataSet() const { return virtualDataSet_.get(); }
  std::string GetDescription() const override;

 private:
  int columns_ = 0;
  double columnWidth_ = 0, columnGap_ = 0;
  bool footerAfterEach_ = false, keepFooter_ = false, keepHeader_ = false;
  bool printIfDetailEmpty_ = false;
  std::string onMasterDetail_;
  std::unique_ptr<TqdrUserDataSet> virtualDataSet_;
};

#define QDR_BAND_CLASS(Name, Base) \
  class Name : public Base {       \
    CORE_DECLARE_CLASS()           \
   public:                         \
    using Base::Base;              \
  };

QDR_BAND_CLASS(TqdrMasterData, TqdrDataBand)
QDR_BAND_CLASS(TqdrDetailData, TqdrDataBand)
QDR_BAND_CLASS(TqdrSubdetailData, TqdrDataBand)
QDR_BAND_CLASS(TqdrDataBand4, TqdrDataBand)
QDR_BAND_CLASS(TqdrDataBand5, TqdrDataBand)
QDR_BAND_CLASS(TqdrDataBand6, TqdrDataBand)
QDR_BAND_CLASS(TqdrHeader, TqdrBand)
QDR_BAND_CLASS(TqdrFooter, TqdrBand)
QDR_BAND_CLASS(TqdrPageHeader, TqdrBand)
QDR_BAND_CLASS(TqdrPageFooter, TqdrBand)
QDR_BAND_CLASS(TqdrColumnHeader, TqdrBand)
QDR_BAND_CLASS(TqdrColumnFooter, TqdrBand)
QDR_BAND_CLASS(TqdrGroupHeader, TqdrBand)
QDR_BAND_CLASS(TqdrGroupFooter, TqdrBand)
QDR_BAND_CLASS(TqdrReportTitle, TqdrBand)
QDR_BAND_CLASS(TqdrReportSummary, TqdrBand)
QDR_BAND_CLASS(TqdrChild, TqdrBand)
QDR_BAND_CLASS(TqdrOverlay, TqdrBand)
QDR_BAND_CLASS(TqdrNullBand, TqdrBand)

#undef QDR_BAND_CLASS

}  // namespace report
