// The band engine: turns a template's report pages and the datasets bound to
// them into prepared pages. It repeats data bands per record, prints headers,
// footers and group bands at the right moments, breaks pages and columns,
// keeps blocks together and records the outline.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/preview_pages.h"
#include "report/persistent.h"
#include "report/report.h"

namespace core {
class ClassInfo;
}

namespace report {
class TqdrBand;
class TqdrComponent;
class TqdrDataBand;
class TqdrDialogPage;
class TqdrReportPage;
}  // namespace report

namespace engine {

class TqdrAggregateList;
class TqdrBandLayout;
class TqdrEngineLayoutHost;
class TqdrOutlineObject;

// The engine state scripts see (published properties).
class TqdrCustomEngine : public report::TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  int CurColumn() const { return curColumn_; }
  void SetCurColumn(int v) { curColumn_ = v; }
  int CurVColumn() const { return curVColumn_; }
  void SetCurVColumn(int v) { curVColumn_ = v; }
  double CurX() const { return curX_; }
  void SetCurX(double v) { curX_ = v; }
  double CurY() const { return curY_; }
  void SetCurY(double v) { curY_ = v; }
  virtual bool DoublePass() const = 0;
  bool FinalPass() const { return finalPass_; }
  void SetFinalPass(bool v) { finalPass_ = v; }
  double PageHeight() const { return pageHeight_; }
  void SetPageHeight(double v) { pageHeight_ = v; }
  double PageWidth() const { return pageWidth_; }
  void SetPageWidth(double v) { pageWidth_ = v; }
  double StartDate() const { return startDate_; }
  void SetStartDate(double v) { startDate_ = v; }
  double StartTime() const { return startTime_; }
  void SetStartTime(double v) { startTime_ = v; }
  int TotalPages() const { return totalPages_; }
  void SetTotalPages(int v) { totalPages_ = v; }

 protected:
  int curColumn_ = 1, curVColumn_ = 0;
  double curX_ = 0, curY_ = 0;
  bool finalPass_ = true;
  double pageHeight_ = 0, pageWidth_ = 0;
  double startDate_ = 0, startTime_ = 0;
  int totalPages_ = 0;
};

// A band remembered for reprinting at the top of every new page or column.
struct TqdrHeaderListItem {
  report::TqdrBand* band = nullptr;
  double left = 0;      // ColumnOriginX when remembered
  bool inKeep = false;  // remembered while a keep was open
};

class TqdrEngine : public TqdrCustomEngine, public report::TqdrEngineLink, public TqdrEngineState {
 public:
  TqdrEngine(report::TqdrReport& report, TqdrPreviewPages& pages);
  ~TqdrEngine() override;
  TqdrEngine(const TqdrEngine&) = delete;
  TqdrEngine& operator=(const TqdrEngine&) = delete;

  // A whole preparation; false when initialisation found errors or a dialog
  // page was cancelled. Errors raised by scripts, expressions and datasets
  // propagate after the closing steps ran.
  bool BuildPages();

  // Operations scripts call while a report is prepared.
  void NewPage();
  void NewColumn();
  void ShowBand(report::TqdrBand* band);
  // The first band of that class on the current report page.
  void ShowBand(const core::ClassInfo* bandClass);
  double FreeSpace();
  double BottomReserve();
  void StopReport();
  void AddAnchor(const std::string& text);
  int GetAnchorPage(const std::string& text) const;

  bool DoublePass() const override;
  bool Preparing() const override { return preparing_; }
  bool FinalPass() const override { return finalPass_; }
  double CurY() const override { return curY_; }
  int CurrentLine() const { return currentLine_; }
  int CurrentLineThrough() const { return currentLineThrough_; }
  report::TqdrReport& Report() const { return report_; }
  TqdrPreviewPages& Pages() const { return pages_; }
  TqdrAggregateList& Aggregates() const { return *aggregates_; }
  report::TqdrReportPage* CurrentReportPage() const { return page_; }

  // Shows a dialog page in place of the default modal display; returns false
  // when the user cancelled. Without it dialog pages are skipped.
  std::function<bool(report::TqdrDialogPage* page)> DialogShowHook;
  // Host events of the embedding program, called before the script handlers.
  std::function<void(report::TqdrComponent*sender)> OnBeforePrint, OnAfterPrint;
  std::function<void(report::TqdrReportPage* page)> OnManualBuild;
  // Told about every data band row shown.
  std::vector<std::function<void(report::TqdrBand* band)>> BandListeners;

  // Link for the report's expressions.
  report::TqdrRunCounters RunCounters() const override;
  core::Variant AggregateValue(const std::string& name, const std::string& expr,
                               core::TObject* band, int flags) override;
  core::TObject* EngineObject() override { return this; }
  core::TObject* OutlineObject() override;
  void ClearNotifyList() override { BandListeners.clear(); }

  // Calls the script procedure `handler` with `sender` (nothing when the name
  // is empty, or when no preparation runs unless forced).
  void CallEvent(const std::string& handler, report::TqdrComponent* sender, bool force = false);

 private:
  friend class TqdrEngineLayoutHost;

  // Preparation and passes.
  bool Initialize();
  void ConnectBands(report::TqdrReportPage& page, bool vertical);
  bool CheckDatasets();
  bool RunDialogs();
  void RunPass();
  void RunReportPages();
  void RunReportPage(report::TqdrReportPage& page);
  void RunPage(report::TqdrReportPage& page);
  bool PageHasData(report::TqdrReportPage& page);
  void BeginPageRun(report::TqdrReportPage& page);
  void ShowPageObjects(report::TqdrReportPage& page);
  void FinishPageRun(report::TqdrReportPage& page);
  void OpenPage();
  void FinishPage();

  // Data bands and groups.
  void RunDataBands(const std::vector<report::TqdrDataBand*>& bands);
  void RunDataBand(report::TqdrDataBand& band);
  bool HasDetailData(report::TqdrDataBand& band, bool force);
  std::vector<report::TqdrBand*> GroupChain(report::TqdrDataBand& band) const;
  void PrintGroupHeaders(const std::vector<report::TqdrBand*>& group, size_t from, bool initial);
  void TestGroupConditions(report::TqdrDataBand& band, const std::vector<report::TqdrBand*>& group);
  void PrintGroupFooters(const std::vector<report::TqdrBand*>& group, size_t from,
                         report::TqdrDataBand& band);
  void RememberHeader(report::TqdrBand* band);
  void ForgetHeader(report::TqdrBand* band);
  void ResetRepeatedValues(report::TqdrBand& band);
  void AddOutline(report::TqdrBand& band);
  void LevelUpIfOutlined(report::TqdrBand& band);
  void AddPageOutline();

  // Output of one band.
  void OutputBand(report::TqdrBand& band);
  void FillBand(report::TqdrBand& band);
  void FinishBand(report::TqdrBand& band);
  void PlaceAndAppend(report::TqdrBand& band);
  void ShowFooterBand(report::TqdrBand* band);
  void ShowColumnFooter();
  void StartNextColumn();
  void SetDataColumn(report::TqdrDataBand& band, int column);
  void AdvanceDataColumn(report::TqdrDataBand& band, double rowTop);
  void ShowWithoutFitTest(report::TqdrBand* band);

  // Vertical bands.
  void MoveCellsIntoVerticalBands(report::TqdrReportPage& page);
  void PrepareVerticalOutput(report::TqdrBand& host);
  void RunVerticalDataBands(const std::vector<report::TqdrDataBand*>& bands, report::TqdrBand& host);
  void ShowVerticalBand(report::TqdrBand& band, report::TqdrBand& host);
  void OutputVerticalPages(report::TqdrBand& host);

  // Sub-reports.
  void RunSubreports(report::TqdrBand& band);
  bool MergeParentSubreports(report::TqdrBand& band);
  void CollectBand(report::TqdrBand& band);

  // Keeping.
  void OpenKeep(report::TqdrBand* band, int objectIndex = 0);
  void CloseKeep(report::TqdrBand* band);

  report::TqdrBand* FindBand(const core::ClassInfo* bandClass) const;
  // Left of page column `column` (1-based) from the page's ColumnPositions, in report units.
  double ColumnX(int column) const;
  // A copy of `src` and its children under `parent`: run-time objects of
  // their own (cross-layout cells, collected subreport output).
  static report::TqdrComponent* CopyTree(const report::TqdrComponent& src,
                                         report::TqdrComponent* parent);
  double Mm() const;

  report::TqdrReport& report_;
  TqdrPreviewPages& pages_;
  std::unique_ptr<TqdrAggregateList> aggregates_;
  std::unique_ptr<TqdrEngineLayoutHost> layoutHost_;
  std::unique_ptr<TqdrBandLayout> layout_;
  std::unique_ptr<TqdrOutlineObject> outlineObject_;
  std::vector<TqdrHeaderListItem> headers_;
  report::TqdrReportPage* page_ = nullptr;

  bool preparing_ = false;
  int currentLine_ = 0, currentLineThrough_ = 0;
  double bodyTop_ = 0, columnOriginX_ = 0;
  bool keeping_ = false;
  report::TqdrBand* keepBand_ = nullptr;
  int keepObjectIndex_ = 0;
  report::TqdrXMLItem* keepOutlinePosition_ = nullptr;
  bool reprintingHeaders_ = false, showingSummary_ = false, keepBlocked_ = false;
  bool firstPageOfRun_ = false, finishingRun_ = false, footerUnderKeep_ = false;
  bool firstPageRun_ = false, crossBreak_ = false;
  report::TqdrBand* newPageBand_ = nullptr;
  report::TqdrBand* crossHostBand_ = nullptr;
  report::TqdrBand* collectorBand_ = nullptr;
  report::TqdrBand* aggregateBand_ = nullptr;
  std::vector<report::TqdrBand*> verticalHeaders_;
  std::vector<int> verticalBreaks_;  // host object counts where vertical pages begin
  double verticalX0_ = 0;
  bool savedAllowSplit_ = false;
};

}  // namespace engine
