// Band engine: sub-reports. Those on the page run another report page's data
// bands at their place (flowing over following pages); print-on-parent ones
// are collected and merged into the band that holds them.
#include <algorithm>
#include <memory>
#include <tuple>

#include "core/reflection.h"
#include "engine/engine.h"
#include "report/band.h"
#include "report/page.h"
#include "report/persistent.h"
#include "report/view.h"

namespace engine {

using report::TqdrBand;
using report::TqdrComponent;
using report::TqdrSubreport;

namespace {

std::vector<TqdrSubreport*> Subreports(const TqdrBand& band, bool onParent) {
  std::vector<TqdrSubreport*> out;
  for (TqdrComponent* c : band.Objects())
    if (auto* s = dynamic_cast<TqdrSubreport*>(c);
        s && s->Visible() && s->PrintOnParent() == onParent && s->Page())
      out.push_back(s);
  return out;
}

}  // namespace

void TqdrEngine::RunSubreports(TqdrBand& band) {
  const std::vector<TqdrSubreport*> subs = Subreports(band, false);
  if (subs.empty()) return;
  const int startPage = pages_.CurrentPage();
  const int startColumn = curColumn_;
  const double origin = columnOriginX_, x = curX_, y = curY_;
  // Farthest position: later page, then later column, then lower.
  std::tuple<int, int, double> farthest{startPage, startColumn, y};
  for (TqdrSubreport* sub : subs) {
    pages_.SetCurrentPage(startPage);
    curColumn_ = startColumn;
    columnOriginX_ = origin + sub->Left();
    curX_ = x + sub->Left();
    curY_ = y - band.Height() + sub->Top();
    RunReportPage(*sub->Page());
    farthest = std::max(farthest, std::make_tuple(pages_.CurrentPage(), curColumn_, curY_));
  }
  pages_.SetCurrentPage(std::get<0>(farthest));
  curColumn_ = std::get<1>(farthest);
  curX_ = origin + (curColumn_ > 1 ? ColumnX(curColumn_) : 0);
  curY_ = std::get<2>(farthest);
  columnOriginX_ = origin;
}

void TqdrEngine::CollectBand(TqdrBand& band) {
  if (TqdrComponent* copy = CopyTree(band, collectorBand_)) {
    copy->SetLeft(band.Left());
    copy->SetTop(band.Top());
  }
}

bool TqdrEngine::MergeParentSubreports(TqdrBand& band) {
  const std::vector<TqdrSubreport*> subs = Subreports(band, true);
  if (subs.empty()) return false;
  const bool outermost = collectorBand_ == nullptr;
  std::unique_ptr<report::TqdrNullBand> collector;
  if (outermost) {
    band.Run().ownObjectCount = static_cast<int>(band.Objects().size());
    collector = std::make_unique<report::TqdrNullBand>(nullptr);
    collectorBand_ = collector.get();
  }
  const double x = curX_, y = curY_, origin = columnOriginX_;
  struct Restore {
    TqdrEngine& e;
    double x, y, origin;
    bool outermost;
    ~Restore() {
      e.curX_ = x;
      e.curY_ = y;
      e.columnOriginX_ = origin;
      if (outermost) e.collectorBand_ = nullptr;
    }
  } restore{*this, x, y, origin, outermost};
  std::vector<size_t> firsts;  // each subreport's first band in the collector
  for (TqdrSubreport* sub : subs) {
    firsts.push_back(collectorBand_->Objects().size());
    columnOriginX_ = origin + sub->Left();
    curX_ = sub->Left();
    curY_ = sub->Top();
    RunReportPage(*sub->Page());
    curX_ = x;
  }
  if (!outermost) return false;
  // A subreport grows to the bottom of its output, so that what lies below
  // it moves down with it when the band shifts.
  bool grew = false;
  const auto& collected = collector->Objects();
  for (size_t i = 0; i < subs.size(); ++i) {
    const size_t end = i + 1 < subs.size() ? firsts[i + 1] : collected.size();
    double bottom = 0;
    for (size_t k = firsts[i]; k < end; ++k)
      bottom = std::max(bottom, collected[k]->Top() + collected[k]->Height());
    const double growth = bottom - (subs[i]->Top() + subs[i]->Height());
    if (growth > 0) {
      subs[i]->SetStretchDelta(growth);
      subs[i]->SetHeight(subs[i]->Height() + growth);
      grew = true;
    }
  }
  // The collected views join the band at their place inside the collector.
  for (TqdrComponent* copy : std::vector<TqdrComponent*>(collector->Objects())) {
    for (TqdrComponent* c : std::vector<TqdrComponent*>(copy->Objects())) {
      report::TqdrView* view = c->AsView();
      if (!view || dynamic_cast<TqdrSubreport*>(view)) continue;
      const double left = copy->Left() + view->Left(), top = copy->Top() + view->Top();
      view->SetParent(&band);
      view->SetLeft(left);
      view->SetTop(top);
      if (report::TqdrStretcheable* s = view->AsStretcheable())
        s->SetStretchMode(report::TqdrStretchMode::smDontStretch);
    }
  }
  return grew;
}

}  // namespace engine
