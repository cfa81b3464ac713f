// Band engine: preparation, passes, report page runs, band connection, data
// bands and groups. Output of single bands, breaks and keeps are in
// engine_output.cpp.
#include "engine/engine.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "core/date_time.h"
#include "core/error.h"
#include "core/reflection.h"
#include "core/variant_ops.h"
#include "engine/aggregate_list.h"
#include "engine/band_layout.h"
#include "engine/engine_layout_host.h"
#include "engine/engine_module.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/dataset.h"
#include "report/options.h"
#include "report/page.h"
#include "report/resources.h"
#include "report/view.h"
#include "script/script.h"

namespace engine {

using report::TqdrBand;
using report::TqdrComponent;
using report::TqdrDataBand;
using report::TqdrDataSet;
using report::TqdrReportPage;

namespace {

constexpr double kMmUnits = 3.77953;

// Kind numbers of the fixed band order.
enum BandKind {
  kTitle = 0,
  kSummary = 1,
  kPageHeader = 2,
  kPageFooter = 3,
  kHeader = 4,
  kFooter = 5,
  kMaster = 6,
  kLastDataLevel = 11,
  kGroupHeader = 12,
  kGroupFooter = 13,
  kChild = 14,
  kColumnHeader = 15,
  kColumnFooter = 16,
  kOverlay = 17
};

bool IsDataKind(int kind) {
  return kind >= kMaster && kind <= kLastDataLevel;
}

std::string PositionKey(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%9.2f", v);
  return buf;
}

std::vector<TqdrDataBand*> DataBands(const std::vector<TqdrBand*>& bands) {
  std::vector<TqdrDataBand*> out;
  for (TqdrBand* b : bands)
    if (auto* d = dynamic_cast<TqdrDataBand*>(b)) out.push_back(d);
  return out;
}

std::vector<TqdrReportPage*> ReportPages(const report::TqdrReport& r) {
  std::vector<TqdrReportPage*> pages;
  for (TqdrComponent* c : r.Objects())
    if (auto* p = dynamic_cast<TqdrReportPage*>(c)) pages.push_back(p);
  return pages;
}

}  // namespace

const core::ClassInfo* TqdrCustomEngine::StaticClass() {
  using E = TqdrCustomEngine;
  static const core::ClassInfo* info = core::ClassBuilder<E>("TqdrCustomEngine", nullptr)
                                           .Integer<&E::CurColumn, &E::SetCurColumn>("CurColumn")
                                           .Integer<&E::CurVColumn, &E::SetCurVColumn>("CurVColumn")
                                           .Float<&E::CurX, &E::SetCurX>("CurX")
                                           .Float<&E::CurY, &E::SetCurY>("CurY")
                                           .Boolean<&E::DoublePass>("DoublePass")
                                           .Boolean<&E::FinalPass, &E::SetFinalPass>("FinalPass")
                                           .Float<&E::PageHeight, &E::SetPageHeight>("PageHeight")
                                           .Float<&E::PageWidth, &E::SetPageWidth>("PageWidth")
                                           .Float<&E::StartDate, &E::SetStartDate>("StartDate")
                                           .Float<&E::StartTime, &E::SetStartTime>("StartTime")
                                           .Integer<&E::TotalPages, &E::SetTotalPages>("TotalPages")
                                           .Done();
  return info;
}

TqdrEngine::TqdrEngine(report::TqdrReport& report, TqdrPreviewPages& pages)
    : report_(report),
      pages_(pages),
      aggregates_(std::make_unique<TqdrAggregateList>(report)),
      layoutHost_(std::make_unique<TqdrEngineLayoutHost>(*this)),
      layout_(std::make_unique<TqdrBandLayout>(*layoutHost_)) {
  RegisterEngineModule();
  pages_.SetEngine(this);
  report_.SetEngineLink(this);
}

core::TObject* TqdrEngine::OutlineObject() {
  if (!outlineObject_) outlineObject_ = std::make_unique<TqdrOutlineObject>(*this);
  return outlineObject_.get();
}

TqdrEngine::~TqdrEngine() {
  if (report_.EngineLink() == this) report_.SetEngineLink(nullptr);
  pages_.SetEngine(nullptr);
}

bool TqdrEngine::DoublePass() const {
  return report_.EngineOptions()->DoublePass();
}

double TqdrEngine::Mm() const {
  return kMmUnits;
}

report::TqdrRunCounters TqdrEngine::RunCounters() const {
  report::TqdrRunCounters c;
  c.startDate = startDate_;
  c.startTime = startTime_;
  c.currentPage = pages_.CurrentPage();
  c.firstReportPage = pages_.FirstReportPage();
  c.totalPages = totalPages_;
  c.currentLine = currentLine_;
  c.currentLineThrough = currentLineThrough_;
  return c;
}

core::Variant TqdrEngine::AggregateValue(const std::string& name, const std::string& expr,
                                         core::TObject* band, int flags) {
  return aggregates_->GetValue(aggregateBand_, curVColumn_, flags, dynamic_cast<TqdrBand*>(band),
                               expr, name);
}

void TqdrEngine::CallEvent(const std::string& handler, TqdrComponent* sender, bool force) {
  if (handler.empty() || (!preparing_ && !force)) return;
  sq::TsqScript* script = report_.Script();
  if (!script) return;
  core::Variant args = core::Variant::MakeArray({{0, 0}});
  args.MutableArray().items[0] = core::Variant(static_cast<core::TObject*>(sender));
  script->CallFunctionVar(handler, args);
}

void TqdrEngine::StopReport() {
  report_.SetTerminated(true);
}

void TqdrEngine::AddAnchor(const std::string& text) {
  pages_.AddAnchor(text);
}

int TqdrEngine::GetAnchorPage(const std::string& text) const {
  return pages_.GetAnchorPage(text);
}

// ---------------------------------------------------------------------------
// Preparation

bool TqdrEngine::BuildPages() {
  bool ok = false;
  bool started = false;
  auto close = [&] {
    if (started) {
      CallEvent(report_.OnStopReport(), &report_);
      report_.Datasets()->FinalizeAll();
    }
    pages_.CloseStore();
    preparing_ = false;
    report_.SetEngineRunning(false);
  };
  try {
    ok = Initialize();
    if (ok) {
      report_.Datasets()->InitializeAll();
      started = true;
      CallEvent(report_.OnStartReport(), &report_);
      ok = RunDialogs();
    }
    if (ok) {
      for (TqdrReportPage* page : ReportPages(report_)) {
        pages_.RegisterSourcePage(page);
        aggregates_->CollectFromPage(*page);
      }
      finalPass_ = !DoublePass();
      report_.SetFinalPass(finalPass_);
      totalPages_ = 0;
      pages_.MarkPassStart();
      RunPass();
      if (DoublePass() && !report_.Terminated()) {
        totalPages_ = pages_.PageCount();
        pages_.RewindToPassStart();
        aggregates_->ClearValues();
        finalPass_ = true;
        report_.SetFinalPass(true);
        RunPass();
      }
    }
  } catch (...) {
    close();
    throw;
  }
  close();
  return ok;
}

bool TqdrEngine::Initialize() {
  pages_.OpenStore();
  const double now = core::Now();
  startDate_ = std::floor(now);
  startTime_ = now - std::floor(now);
  preparing_ = true;
  report_.SetEngineRunning(true);
  keeping_ = false;
  keepBand_ = nullptr;
  curVColumn_ = 0;
  collectorBand_ = nullptr;
  aggregates_->Clear();
  layout_->Reset();
  for (TqdrReportPage* page : ReportPages(report_)) {
    ConnectBands(*page, false);
    ConnectBands(*page, true);
  }
  CheckDatasets();
  return report_.Errors().empty();
}

bool TqdrEngine::CheckDatasets() {
  TqdrDataSet* reportDs = report_.DataSet();
  for (TqdrReportPage* page : ReportPages(report_)) {
    TqdrDataSet* pageDs = page->DataSet();
    if (reportDs && reportDs == pageDs) {
      report_.AddError("Cannot use the same dataset for Report.DataSet and Page.DataSet");
      return false;
    }
    for (TqdrBand* b : page->TopDataBands()) {
      TqdrDataSet* ds = b->DataSet();
      if (!ds) continue;
      if (ds == reportDs) {
        report_.AddError("Cannot use the same dataset for Report.DataSet and Band.DataSet");
        break;
      }
      if (ds == pageDs) {
        report_.AddError("Cannot use the same dataset for Page.DataSet and Band.DataSet");
        break;
      }
    }
  }
  return true;
}

void TqdrEngine::ConnectBands(TqdrReportPage& page, bool vertical) {
  page.AlignChildren();
  auto& top = vertical ? page.TopVerticalDataBands() : page.TopDataBands();
  top.clear();
  std::map<std::string, TqdrBand*> sorted;
  for (TqdrComponent* c : page.Objects()) {
    auto* band = dynamic_cast<TqdrBand*>(c);
    if (!band || band->Vertical() != vertical) continue;
    report::TqdrBandRunState& run = band->Run();
    run.childDataBands.clear();
    run.headerBand = run.footerBand = run.groupBand = nullptr;
    run.hasCrossBands = false;
    if (auto* data = dynamic_cast<TqdrDataBand*>(band);
        data && !data->DataSet() && data->RowCount() > 0)
      data->SetDataSet(data->VirtualDataSet());
    const int kind = band->BandNumber();
    if (kind < kHeader || kind > kGroupFooter) continue;
    sorted.emplace(PositionKey(vertical ? band->Left() : band->Top()), band);
  }
  if (!vertical) MoveCellsIntoVerticalBands(page);
  std::vector<TqdrBand*> list;
  for (auto& [key, band] : sorted) list.push_back(band);
  auto error = [this](const char* key, TqdrBand* band) {
    report_.AddError(report::Resources().Lookup(key) + " " + band->Name());
  };

  // Groups: chains of headers take the next data band; footers pair with the
  // nearest unmatched header before them.
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i]->BandNumber() != kGroupHeader) continue;
    size_t end = i;
    while (end < list.size() && list[end]->BandNumber() == kGroupHeader) ++end;
    std::vector<TqdrBand*> chain(list.begin() + static_cast<long>(i),
                                 list.begin() + static_cast<long>(end));
    for (TqdrBand* h : chain) h->Run().childDataBands = chain;
    TqdrBand* data = nullptr;
    for (size_t j = end; j < list.size() && !data; ++j)
      if (IsDataKind(list[j]->BandNumber())) data = list[j];
    if (data && !data->Run().groupBand)
      data->Run().groupBand = chain.front();
    else if (!data)
      error("enUnconnGroup", chain.front());
    i = end - 1;
  }
  std::vector<bool> matched(list.size(), false);
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i]->BandNumber() != kGroupFooter) continue;
    for (size_t j = i; j-- > 0;) {
      if (list[j]->BandNumber() == kGroupHeader && !matched[j]) {
        matched[j] = matched[i] = true;
        list[j]->Run().footerBand = list[i];
        break;
      }
    }
  }
  std::vector<TqdrBand*> rest;
  for (size_t i = 0; i < list.size(); ++i) {
    const int kind = list[i]->BandNumber();
    if (kind == kGroupFooter && !matched[i]) error("enUnconnGFooter", list[i]);
    if (kind != kGroupHeader && kind != kGroupFooter) rest.push_back(list[i]);
  }
  list.swap(rest);

  // Headers directly before a data band, footers directly after it.
  std::vector<bool> used(list.size(), false);
  for (size_t i = 0; i < list.size(); ++i) {
    if (!IsDataKind(list[i]->BandNumber())) continue;
    if (i > 0 && list[i - 1]->BandNumber() == kHeader && !used[i - 1]) {
      list[i]->Run().headerBand = list[i - 1];
      used[i - 1] = true;
    }
    if (i + 1 < list.size() && list[i + 1]->BandNumber() == kFooter) {
      list[i]->Run().footerBand = list[i + 1];
      used[i + 1] = true;
    }
  }
  rest.clear();
  for (size_t i = 0; i < list.size(); ++i) {
    const int kind = list[i]->BandNumber();
    if ((kind == kHeader || kind == kFooter) && !used[i]) error("enUnconnHeader", list[i]);
    if (kind != kHeader && kind != kFooter) rest.push_back(list[i]);
  }
  list.swap(rest);

  // Levels: each band takes the bands of the next level that follow it, up to
  // the first band of its own or a higher level.
  std::vector<bool> taken(list.size(), false);
  std::function<void(size_t)> takeChildren = [&](size_t parent) {
    const int level = list[parent]->BandNumber();
    for (size_t j = parent + 1; j < list.size(); ++j) {
      const int kind = list[j]->BandNumber();
      if (kind <= level) break;
      if (kind != level + 1 || taken[j]) continue;
      taken[j] = true;
      if (list[j]->DataSet() && list[parent]->DataSet())
        list[parent]->Run().childDataBands.push_back(list[j]);
      takeChildren(j);
    }
  };
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i]->BandNumber() != kMaster) continue;
    taken[i] = true;
    if (list[i]->DataSet()) top.push_back(static_cast<TqdrDataBand*>(list[i]));
    takeChildren(i);
  }
  for (size_t i = 0; i < list.size(); ++i)
    if (!taken[i]) error("enBandPos", list[i]);
}

bool TqdrEngine::RunDialogs() {
  if (!report_.OnRunDialogs().empty()) {
    core::Variant args = core::Variant::MakeArray({{0, 0}});
    args.MutableArray().items[0] = core::Variant(true);
    report_.Script()->CallFunctionVar(report_.OnRunDialogs(), args);
    return args.RawArray().items[0].ToBool();
  }
  for (TqdrComponent* c : report_.Objects()) {
    auto* dialog = dynamic_cast<report::TqdrDialogPage*>(c);
    if (!dialog || !dialog->Visible() || dialog->Objects().empty()) continue;
    // Without a host to show it there is no window to wait for.
    if (DialogShowHook && !DialogShowHook(dialog)) return false;
  }
  return true;
}

void TqdrEngine::RunPass() {
  firstPageRun_ = true;
  TqdrDataSet* ds = report_.DataSet();
  if (!ds) {
    RunReportPages();
    return;
  }
  ds->First();
  while (!ds->Eof() && !report_.Terminated()) {
    RunReportPages();
    ds->Next();
  }
}

void TqdrEngine::RunReportPages() {
  for (TqdrReportPage* page : ReportPages(report_)) {
    page_ = page;
    if (!page->SubReport() && page->Visible()) RunReportPage(*page);
    if (report_.Terminated()) return;
    firstPageRun_ = false;
  }
}

void TqdrEngine::RunReportPage(TqdrReportPage& page) {
  if (page.SubReport()) {
    RunDataBands({page.TopDataBands().begin(), page.TopDataBands().end()});
    return;
  }
  keepBlocked_ = true;
  CallEvent(page.OnBeforePrint(), &page);
  if (TqdrDataSet* ds = page.DataSet()) {
    ds->First();
    while (!ds->Eof() && !report_.Terminated()) {
      RunPage(page);
      ds->Next();
    }
  } else {
    RunPage(page);
  }
  CallEvent(page.OnAfterPrint(), &page);
}

bool TqdrEngine::PageHasData(TqdrReportPage& page) {
  if (report_.EngineOptions()->PrintIfEmpty()) return true;
  for (TqdrDataBand* band : page.TopDataBands()) {
    TqdrDataSet* ds = band->DataSet();
    ds->First();
    while (!ds->Eof()) {
      if (HasDetailData(*band, band->PrintIfDetailEmpty())) return true;
      ds->Next();
    }
  }
  return false;
}

void TqdrEngine::RunPage(TqdrReportPage& page) {
  if (!PageHasData(page)) return;
  BeginPageRun(page);
  ShowPageObjects(page);
  if (OnManualBuild)
    OnManualBuild(&page);
  else if (!page.OnManualBuild().empty())
    CallEvent(page.OnManualBuild(), &page);
  else
    RunDataBands({page.TopDataBands().begin(), page.TopDataBands().end()});
  FinishPageRun(page);
}

void TqdrEngine::FinishPageRun(TqdrReportPage& page) {
  finishingRun_ = true;
  double height = page.PaperHeight() * kMmUnits;
  if (page.PrintEnd()) {
    pageHeight_ = curY_ + BottomReserve();
    height = page.TopMargin() * kMmUnits + pageHeight_ + page.BottomMargin() * kMmUnits;
  }
  pages_.SetPageDimensions(&page, height, page.PaperWidth() * kMmUnits);
  struct Lower {
    bool& flag;
    ~Lower() { flag = false; }
  } lower{finishingRun_};
  FinishPage();
}

void TqdrEngine::BeginPageRun(TqdrReportPage& page) {
  headers_.clear();
  TqdrBand* title = FindBand(report::TqdrReportTitle::StaticClass());
  TqdrBand* pageHeader = FindBand(report::TqdrPageHeader::StaticClass());
  if (page.TitleBeforeHeader()) {
    headers_.push_back({title, 0, false});
    headers_.push_back({pageHeader, 0, false});
  } else {
    headers_.push_back({pageHeader, 0, false});
    headers_.push_back({title, 0, false});
  }
  pageHeight_ = (page.PaperHeight() - page.TopMargin() - page.BottomMargin()) * kMmUnits;
  pageWidth_ = (page.PaperWidth() - page.LeftMargin() - page.RightMargin()) * kMmUnits;
  curX_ = curY_ = columnOriginX_ = 0;
  curColumn_ = 1;
  crossHostBand_ = nullptr;
  firstPageOfRun_ = true;
  finishingRun_ = false;
  auto removeTitle = [this, title] {
    for (auto& h : headers_)
      if (title && h.band == title) h.band = nullptr;
  };
  if (pages_.PageCount() > 0 && page.PrintOnPreviousPage()) {
    pages_.SetCurrentPage(pages_.PageCount() - 1);
    curY_ = pages_.PageContentBottom();
    removeTitle();
    ShowBand(report::TqdrReportTitle::StaticClass());
  } else {
    OpenPage();
  }
  if (firstPageRun_) pages_.SetFirstReportPage(pages_.CurrentPage());
  bodyTop_ = curY_;
  TqdrBand* columnHeader = FindBand(report::TqdrColumnHeader::StaticClass());
  ShowBand(columnHeader);
  if (columnHeader) headers_.push_back({columnHeader, 0, false});
  removeTitle();
  pages_.Outline()->LevelRoot();
  AddPageOutline();
}

void TqdrEngine::ShowPageObjects(TqdrReportPage& page) {
  std::vector<TqdrComponent*> own;
  for (TqdrComponent* c : page.Objects())
    if (!dynamic_cast<TqdrBand*>(c) && dynamic_cast<report::TqdrView*>(c)) own.push_back(c);
  if (own.empty()) return;
  // A temporary band lends the objects its place without owning them.
  report::TqdrNullBand holder(nullptr);
  holder.SetBounds(0, 0, pageWidth_, pageHeight_);
  holder.SetFont(page.Font());
  const std::vector<TqdrComponent*> order = page.Objects();
  for (TqdrComponent* c : own) c->SetParent(&holder);
  const double y = curY_;
  struct GiveBack {
    std::vector<TqdrComponent*>& own;
    const std::vector<TqdrComponent*>& order;
    TqdrReportPage& page;
    ~GiveBack() {
      for (TqdrComponent* c : own) c->SetParent(&page);
      page.RestoreObjectOrder(order);
    }
  } giveBack{own, order, page};
  ShowBand(&holder);
  curY_ = y;
}

void TqdrEngine::AddPageOutline() {
  if (!page_ || page_->OutlineText().empty()) return;
  report_.SetCurrentObjectName(page_->Name());
  const std::string text = report_.Calc(page_->OutlineText()).ToString();
  pages_.Outline()->LevelRoot();
  pages_.Outline()->AddItem(text, 0);
}

void TqdrEngine::AddOutline(TqdrBand& band) {
  if (band.OutlineText().empty()) return;
  report_.SetCurrentObjectName(band.Name());
  const std::string text = report_.Calc(band.OutlineText()).ToString();
  pages_.Outline()->AddItem(text, static_cast<int>(std::lround(curY_ - band.Height())));
}

void TqdrEngine::LevelUpIfOutlined(TqdrBand& band) {
  if (!band.OutlineText().empty()) pages_.Outline()->LevelUp();
}

// ---------------------------------------------------------------------------
// Data bands

void TqdrEngine::ResetRepeatedValues(TqdrBand& band) {
  for (TqdrComponent* c : band.Objects())
    if (auto* memo = dynamic_cast<report::TqdrCustomMemoView*>(c))
      memo->SetLastPrinted(core::Variant::MakeNull());
}

std::vector<TqdrBand*> TqdrEngine::GroupChain(TqdrDataBand& band) const {
  TqdrBand* first = band.Run().groupBand;
  if (!first) return {};
  return first->Run().childDataBands;
}

void TqdrEngine::RunDataBands(const std::vector<TqdrDataBand*>& bands) {
  QCoreApplication::processEvents();
  for (TqdrDataBand* band : bands) {
    if (report_.Terminated()) return;
    if (!band->DataSet()) continue;
    RunDataBand(*band);
    if (report_.Terminated()) return;
    keepBlocked_ = false;
  }
}

void TqdrEngine::RunDataBand(TqdrDataBand& band) {
  TqdrDataSet* ds = band.DataSet();
  report::TqdrBandRunState& run = band.Run();
  const std::vector<TqdrBand*> group = GroupChain(band);
  ds->First();
  run.lineNo = run.lineThroughNo = 1;
  SetDataColumn(band, 1);
  ResetRepeatedValues(band);
  bool shown = false;
  int footerKeepStart = 0;
  while (!ds->Eof()) {
    if (HasDetailData(band, band.PrintIfDetailEmpty())) {
      if (!shown) {
        if (band.KeepTogether()) OpenKeep(&band);
        if (band.KeepHeader() && run.headerBand) OpenKeep(&band);
        RememberHeader(run.headerBand);
        ShowBand(run.headerBand);
      } else if (group.empty() && band.KeepTogether()) {
        OpenKeep(&band);
      }
      if (!group.empty()) {
        if (!shown)
          PrintGroupHeaders(group, 0, true);
        else
          TestGroupConditions(band, group);
      }
      if (band.KeepFooter()) footerKeepStart = pages_.PageObjectCount();
      if (band.Columns() > 1 && run.columnNo == 1) run.rowStart = pages_.PageObjectCount();
      const double rowTop = curY_;
      currentLine_ = run.lineNo;
      currentLineThrough_ = run.lineThroughNo;
      ShowBand(&band);
      for (auto& listener : BandListeners) listener(&band);
      if (!shown && band.KeepHeader() && run.headerBand) CloseKeep(&band);
      shown = true;
      ++run.lineNo;
      ++run.lineThroughNo;
      AdvanceDataColumn(band, rowTop);
      AddOutline(band);
      RunDataBands(DataBands(run.childDataBands));
      LevelUpIfOutlined(band);
    }
    keepBlocked_ = false;
    if (band.FooterAfterEach()) ShowBand(run.footerBand);
    if (group.empty() && band.KeepTogether()) CloseKeep(&band);
    ds->Next();
    if (!((band.RowCount() == 0 || band.RowCount() >= run.lineNo) && !report_.Terminated())) break;
  }
  SetDataColumn(band, std::max(1, band.Columns()));
  AdvanceDataColumn(band, curY_);
  if (!shown) return;
  if (!group.empty()) PrintGroupFooters(group, 0, band);
  if (!band.FooterAfterEach()) {
    if (band.KeepFooter()) OpenKeep(&band, footerKeepStart);
    footerUnderKeep_ = true;
    struct Lower {
      bool& flag;
      ~Lower() { flag = false; }
    } lower{footerUnderKeep_};
    ShowBand(run.footerBand);
    if (band.KeepFooter()) CloseKeep(&band);
  }
  ForgetHeader(run.headerBand);
  if (!group.empty() && band.KeepTogether()) CloseKeep(&band);
}

bool TqdrEngine::HasDetailData(TqdrDataBand& band, bool force) {
  if (force) return true;
  const auto& children = band.Run().childDataBands;
  if (children.empty()) return true;
  bool passed = false;
  for (TqdrBand* c : children) {
    auto* child = static_cast<TqdrDataBand*>(c);
    TqdrDataSet* ds = child->DataSet();
    if (!ds) continue;
    CallEvent(child->OnMasterDetail(), child);
    ds->First();
    while (!ds->Eof()) {
      if (HasDetailData(*child, child->PrintIfDetailEmpty())) {
        passed = true;
        break;
      }
      ds->Next();
    }
  }
  return passed;
}

void TqdrEngine::PrintGroupHeaders(const std::vector<TqdrBand*>& group, size_t from, bool initial) {
  for (size_t i = from; i < group.size(); ++i) {
    TqdrBand* h = group[i];
    report::TqdrBandRunState& run = h->Run();
    if (initial) {
      run.lineNo = run.lineThroughNo = 1;
      ResetRepeatedValues(*h);
    } else {
      ++run.lineNo;
      ++run.lineThroughNo;
      if (i + 1 < group.size()) group[i + 1]->Run().lineNo = 0;
    }
    currentLine_ = run.lineNo;
    currentLineThrough_ = run.lineThroughNo;
    report_.SetCurrentObjectName(h->Name());
    run.lastConditionValue = report_.Calc(h->Condition());
    if (h->KeepTogether()) OpenKeep(h);
    ShowBand(h);
    AddOutline(*h);
    RememberHeader(h);
  }
}

void TqdrEngine::TestGroupConditions(TqdrDataBand& band, const std::vector<TqdrBand*>& group) {
  for (size_t i = 0; i < group.size(); ++i) {
    TqdrBand* h = group[i];
    report_.SetCurrentObjectName(h->Name());
    const core::Variant value = report_.Calc(h->Condition());
    bool same = false;
    try {
      same = core::VarEquals(value, h->Run().lastConditionValue);
    } catch (const core::Error&) {
      same = false;
    }
    if (same) continue;
    SetDataColumn(band, std::max(1, band.Columns()));
    AdvanceDataColumn(band, curY_);
    TqdrDataSet* ds = band.DataSet();
    bool steppedBack = true;
    try {
      ds->Prior();
    } catch (const core::Error&) {
      steppedBack = false;  // a dataset that cannot move back: footers print on this record
    }
    PrintGroupFooters(group, i, band);
    if (steppedBack) ds->Next();
    PrintGroupHeaders(group, i, false);
    band.Run().lineNo = 1;
    ResetRepeatedValues(band);
    return;
  }
}

void TqdrEngine::PrintGroupFooters(const std::vector<TqdrBand*>& group, size_t from,
                                   TqdrDataBand& band) {
  for (size_t i = group.size(); i-- > from;) {
    TqdrBand* h = group[i];
    if (TqdrBand* footer = h->Run().footerBand) {
      if (footer->HideIfSingleDataRecord() && band.Run().lineNo < 3)
        aggregates_->ResetBand(footer);
      else
        ShowBand(footer);
    }
    LevelUpIfOutlined(*h);
    ForgetHeader(h);
    if (h->KeepTogether()) CloseKeep(h);
  }
}

void TqdrEngine::RememberHeader(TqdrBand* band) {
  if (!band) return;
  const int kind = band->BandNumber();
  if ((kind == kHeader || kind == kGroupHeader) && band->ReprintOnNewPage())
    headers_.push_back({band, columnOriginX_, keeping_});
}

void TqdrEngine::ForgetHeader(TqdrBand* band) {
  if (!band) return;
  for (auto it = headers_.begin(); it != headers_.end(); ++it) {
    if (it->band == band) {
      headers_.erase(it);
      return;
    }
  }
}

TqdrBand* TqdrEngine::FindBand(const core::ClassInfo* bandClass) const {
  if (!page_ || !bandClass) return nullptr;
  for (TqdrComponent* c : page_->Objects()) {
    auto* band = dynamic_cast<TqdrBand*>(c);
    if (band && band->ClassType() && band->ClassType()->InheritsFrom(bandClass)) return band;
  }
  return nullptr;
}

}  // namespace engine
