// Band engine: vertical bands (cross layouts). A horizontal band's cells that
// lie under vertical bands move into them when the bands are connected; when
// the horizontal band prints, the vertical data bands run over their datasets
// and copy the cells across the page, continuing on further pages when the
// width is used up.
#include <algorithm>

#include "core/error.h"
#include "core/reflection.h"
#include "core/variant_ops.h"
#include "engine/aggregate_list.h"
#include "engine/engine.h"
#include "report/band.h"
#include "report/dataset.h"
#include "report/memo_text.h"
#include "report/page.h"
#include "report/view.h"

namespace engine {

using report::TqdrBand;
using report::TqdrComponent;
using report::TqdrDataBand;

namespace {

constexpr double kTolerance = 0.0001;

bool Inside(const TqdrComponent& o, const TqdrBand& v) {
  return o.Left() >= v.Left() - kTolerance &&
         o.Left() + o.Width() <= v.Left() + v.Width() + kTolerance;
}

}  // namespace

void TqdrEngine::MoveCellsIntoVerticalBands(report::TqdrReportPage& page) {
  std::vector<TqdrBand*> verticals;
  for (TqdrComponent* c : page.Objects())
    if (TqdrBand* b = c->AsBand(); b && b->Vertical()) verticals.push_back(b);
  if (verticals.empty()) return;
  for (TqdrComponent* c : page.Objects()) {
    TqdrBand* h = c->AsBand();
    if (!h || h->Vertical() || dynamic_cast<report::TqdrOverlay*>(h)) continue;
    for (TqdrComponent* o : std::vector<TqdrComponent*>(h->Objects())) {
      report::TqdrView* view = o->AsView();
      if (!view) continue;
      for (TqdrBand* v : verticals) {
        if (!Inside(*view, *v)) continue;
        view->SetLeft(view->Left() - v->Left());
        view->SetParent(v);
        view->SetHostBand(h);
        break;
      }
    }
  }
  // Cells moved by an earlier preparation still belong to their host.
  for (TqdrBand* v : verticals)
    for (TqdrComponent* o : v->Objects())
      if (report::TqdrView* view = o->AsView(); view && view->HostBand())
        view->HostBand()->Run().hasCrossBands = true;
}

void TqdrEngine::PrepareVerticalOutput(TqdrBand& host) {
  report_.SetCurrentObjectName(host.Name());
  host.BeforePrint();
  if (OnBeforePrint) OnBeforePrint(&host);
  CallEvent(host.OnBeforePrint(), &host);
  // The host's own objects (row headers) are filled here: the band's own fill
  // step passes over the cross host.
  const auto calc = [this](const std::string& expr) { return report_.Calc(expr); };
  for (TqdrComponent* c : host.Objects()) {
    report::TqdrView* view = c->AsView();
    if (!view) continue;
    report_.SetCurrentObjectName(view->Name());
    view->BeforePrint();
    if (!host.Visible()) continue;
    if (OnBeforePrint) OnBeforePrint(view);
    CallEvent(view->OnBeforePrint(), view);
    if (!view->Visible()) continue;
    if (report::TqdrCustomMemoView* memo = view->AsMemo()) report::MemoGetData(*memo, calc);
    CallEvent(view->OnAfterData(), view);
  }
  crossHostBand_ = &host;
  host.Run().ownObjectCount = static_cast<int>(host.Objects().size());
  savedAllowSplit_ = host.AllowSplit();
  host.SetAllowSplit(false);
  verticalHeaders_.clear();
  verticalBreaks_ = {static_cast<int>(host.Objects().size())};
  curVColumn_ = 0;
  const double x = curX_;
  // Cells start where the leftmost vertical band stands, after a break too, so
  // the host's own objects (row headers) keep their place on every page.
  verticalX0_ = -1;
  if (page_)
    for (TqdrComponent* c : page_->Objects())
      if (TqdrBand* b = c->AsBand(); b && b->Vertical())
        verticalX0_ = verticalX0_ < 0 ? b->Left() : std::min(verticalX0_, b->Left());
  if (verticalX0_ < 0) verticalX0_ = 0;
  curX_ = verticalX0_;
  if (page_) RunVerticalDataBands(page_->TopVerticalDataBands(), host);
  verticalBreaks_.push_back(static_cast<int>(host.Objects().size()));
  curX_ = x;
}

void TqdrEngine::RunVerticalDataBands(const std::vector<TqdrDataBand*>& bands, TqdrBand& host) {
  for (TqdrDataBand* band : bands) {
    report::TqdrDataSet* ds = band->DataSet();
    if (!ds || report_.Terminated()) continue;
    report::TqdrBandRunState& run = band->Run();
    const std::vector<TqdrBand*> group = GroupChain(*band);
    auto conditionOf = [this](TqdrBand* h) {
      report_.SetCurrentObjectName(h->Name());
      return report_.Calc(h->Condition());
    };
    auto headersFrom = [&](size_t from) {
      for (size_t i = from; i < group.size(); ++i) {
        group[i]->Run().lastConditionValue = conditionOf(group[i]);
        ShowVerticalBand(*group[i], host);
        if (group[i]->ReprintOnNewPage()) verticalHeaders_.push_back(group[i]);
      }
    };
    auto footersFrom = [&](size_t from) {
      for (size_t i = group.size(); i-- > from;) {
        TqdrBand* footer = group[i]->Run().footerBand;
        if (footer && !(footer->HideIfSingleDataRecord() && run.lineNo < 3))
          ShowVerticalBand(*footer, host);
        else if (footer)
          aggregates_->ResetBand(footer);
        verticalHeaders_.erase(
            std::remove(verticalHeaders_.begin(), verticalHeaders_.end(), group[i]),
            verticalHeaders_.end());
      }
    };
    ds->First();
    run.lineNo = run.lineThroughNo = 1;
    bool shown = false;
    while (!ds->Eof() && !report_.Terminated()) {
      if (!shown && run.headerBand) {
        verticalHeaders_.push_back(run.headerBand);
        ShowVerticalBand(*run.headerBand, host);
      }
      if (!shown) {
        headersFrom(0);
      } else {
        for (size_t i = 0; i < group.size(); ++i) {
          bool same = false;
          try {
            same = core::VarEquals(conditionOf(group[i]), group[i]->Run().lastConditionValue);
          } catch (const core::Error&) {
          }
          if (same) continue;
          // Footers while the dataset still stands on the ended group's last record.
          bool back = true;
          try {
            ds->Prior();
          } catch (const core::Error&) {
            back = false;
          }
          footersFrom(i);
          if (back) ds->Next();
          headersFrom(i);
          run.lineNo = 1;
          break;
        }
      }
      shown = true;
      currentLine_ = run.lineNo;
      currentLineThrough_ = run.lineThroughNo;
      ShowVerticalBand(*band, host);
      ++run.lineNo;
      ++run.lineThroughNo;
      std::vector<TqdrDataBand*> children;
      for (TqdrBand* b : run.childDataBands)
        if (auto* d = dynamic_cast<TqdrDataBand*>(b)) children.push_back(d);
      RunVerticalDataBands(children, host);
      if (band->FooterAfterEach() && run.footerBand) ShowVerticalBand(*run.footerBand, host);
      ds->Next();
      if (band->RowCount() != 0 && band->RowCount() < run.lineNo) break;
    }
    if (shown) footersFrom(0);
    if (shown && run.footerBand && !band->FooterAfterEach())
      ShowVerticalBand(*run.footerBand, host);
    if (run.headerBand)
      verticalHeaders_.erase(
          std::remove(verticalHeaders_.begin(), verticalHeaders_.end(), run.headerBand),
          verticalHeaders_.end());
  }
}

void TqdrEngine::ShowVerticalBand(TqdrBand& band, TqdrBand& host) {
  auto* data = dynamic_cast<TqdrDataBand*>(&band);
  if (data) ++curVColumn_;
  const bool footer =
      dynamic_cast<report::TqdrFooter*>(&band) || dynamic_cast<report::TqdrGroupFooter*>(&band);
  aggregateBand_ = footer ? &band : &host;
  report_.SetCurrentObjectName(band.Name());
  band.BeforePrint();
  if (OnBeforePrint) OnBeforePrint(&band);
  CallEvent(band.OnBeforePrint(), &band);
  if (band.Visible()) {
    if (curX_ + band.Width() > pageWidth_ + kTolerance && curX_ > verticalX0_) {
      curX_ = verticalX0_;
      verticalBreaks_.push_back(static_cast<int>(host.Objects().size()));
      const std::vector<TqdrBand*> headers = verticalHeaders_;
      for (TqdrBand* h : headers)
        if (h != &band) ShowVerticalBand(*h, host);
    }
    const auto calc = [this](const std::string& expr) { return report_.Calc(expr); };
    for (TqdrComponent* c : std::vector<TqdrComponent*>(band.Objects())) {
      report::TqdrView* view = c->AsView();
      if (!view || view->HostBand() != &host) continue;
      report_.SetCurrentObjectName(view->Name());
      view->BeforePrint();
      if (OnBeforePrint) OnBeforePrint(view);
      CallEvent(view->OnBeforePrint(), view);
      if (view->Visible()) {
        if (report::TqdrCustomMemoView* memo = view->AsMemo()) report::MemoGetData(*memo, calc);
        CallEvent(view->OnAfterData(), view);
        if (TqdrComponent* copy = CopyTree(*view, &host)) {
          copy->SetLeft(view->Left() + curX_);
          pages_.LinkCopy(copy, view);
        }
      }
      view->AfterPrint();
    }
    curX_ += band.Width();
  }
  report_.SetCurrentObjectName(band.Name());
  if (OnAfterPrint) OnAfterPrint(&band);
  CallEvent(band.OnAfterPrint(), &band);
  band.AfterPrint();
  // A vertical row counts for the host's aggregates in its own column.
  if (data)
    if (auto* hostData = dynamic_cast<TqdrDataBand*>(&host))
      aggregates_->AddValue(hostData, curVColumn_);
  if (footer) aggregates_->ResetBand(&band);
}

void TqdrEngine::OutputVerticalPages(TqdrBand& host) {
  const int startPage = pages_.CurrentPage();
  const double y = curY_, x = curX_;
  const int own = host.Run().ownObjectCount;
  std::vector<TqdrComponent*> all = host.Objects();
  pages_.SetAddMode(TqdrAddPageMode::apOverwrite);
  const size_t parts = verticalBreaks_.size() - 1;
  for (size_t i = 0; i < parts; ++i) {
    if (i > 0) {
      crossBreak_ = true;
      NewPage();
      crossBreak_ = false;
      curY_ = y;
    }
    // The host's own objects and the cells of this part of the width.
    std::vector<TqdrComponent*> part(all.begin(), all.begin() + own);
    part.insert(part.end(), all.begin() + verticalBreaks_[i], all.begin() + verticalBreaks_[i + 1]);
    host.ListObjectsForOutput(part);
    host.SetLeft(0);
    host.SetTop(curY_);
    pages_.AppendBand(&host);
  }
  if (parts > 1) FinishPage();
  host.RestoreObjectOrder(all);
  pages_.SetCurrentPage(startPage);
  curY_ = y;
  curX_ = x;
  pages_.SetAddMode(TqdrAddPageMode::apAppend);
  host.SetAllowSplit(savedAllowSplit_);
  crossHostBand_ = nullptr;
}

}  // namespace engine
