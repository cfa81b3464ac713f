// Band engine: output of one band (fill, fit test, placement, finish), page
// and column breaks, footers, keeps and band columns.
#include <QString>
#include <cmath>

#include "engine/aggregate_list.h"
#include "engine/band_layout.h"
#include "core/reflection.h"
#include "engine/engine.h"
#include "report/band.h"
#include "report/memo_text.h"
#include "report/page.h"
#include "report/persistent.h"
#include "report/view.h"

namespace engine {

using report::TqdrBand;
using report::TqdrComponent;
using report::TqdrDataBand;

namespace {

constexpr double kMmUnits = 3.77953;

bool IsDataBand(const TqdrBand& b) {
  return dynamic_cast<const TqdrDataBand*>(&b) != nullptr;
}

// Restores a flag when the scope ends, also when an error travels through.
class FlagScope {
 public:
  FlagScope(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = old_; }

 private:
  bool& flag_;
  bool old_;
};

}  // namespace

double TqdrEngine::BottomReserve() {
  double reserve = 0;
  if (TqdrBand* b = FindBand(report::TqdrColumnFooter::StaticClass())) reserve += b->Height();
  if (TqdrBand* b = FindBand(report::TqdrPageFooter::StaticClass())) reserve += b->Height();
  return reserve;
}

double TqdrEngine::FreeSpace() {
  if (page_ && page_->PrintEnd()) return 1000000;
  return pageHeight_ - BottomReserve() - curY_;
}

void TqdrEngine::ShowBand(const core::ClassInfo* bandClass) {
  ShowBand(FindBand(bandClass));
}

void TqdrEngine::ShowBand(TqdrBand* band) {
  if (!band) return;
  if (band->KeepChild()) OpenKeep(band);
  OutputBand(*band);
  if (report::TqdrChild* child = band->Child();
      child && (band->Visible() || band->PrintChildIfInvisible()))
    ShowBand(child);
  if (band->KeepChild()) CloseKeep(band);
  if (auto* data = dynamic_cast<TqdrDataBand*>(band)) aggregates_->AddValue(data, 0);
}

void TqdrEngine::OutputBand(TqdrBand& band) {
  // Vertical bands print through the horizontal bands whose cells they hold.
  if (band.Vertical()) return;
  const bool cross = band.Run().hasCrossBands;
  if (cross) PrepareVerticalOutput(band);
  const bool isData = IsDataBand(band);
  if (!reprintingHeaders_ && band.Visible() && band.StartNewPage() && !collectorBand_) {
    const bool byRow = isData || dynamic_cast<report::TqdrGroupHeader*>(&band);
    if (!byRow || band.Run().lineNo != 1) {
      newPageBand_ = &band;
      struct Clear {
        report::TqdrBand*& b;
        ~Clear() { b = nullptr; }
      } clear{newPageBand_};
      NewPage();
    }
  }
  try {
    FillBand(band);
    if (band.Visible()) {
      auto* data = dynamic_cast<TqdrDataBand*>(&band);
      const bool columns = data && data->Columns() > 1;
      const bool overlay = dynamic_cast<report::TqdrOverlay*>(&band) != nullptr;
      const bool nullBand = dynamic_cast<report::TqdrNullBand*>(&band) != nullptr;
      bool split = false;
      if (!columns && !overlay && !nullBand && FreeSpace() < band.Height() && !collectorBand_) {
        if (band.AllowSplit()) {
          layout_->SplitBand(band);
          split = true;
        } else {
          NewColumn();
        }
      }
      if (!split) {
        if (!nullBand) {
          double left = curX_;
          if (columns)
            left += (data->Run().columnNo - 1) * (data->ColumnWidth() + data->ColumnGap());
          band.SetLeft(left);
          band.SetTop(curY_);
        }
        if (collectorBand_)
          CollectBand(band);
        else if (cross)
          OutputVerticalPages(band);
        else if (reprintingHeaders_) {
          if (!pages_.PageHasBand(&band)) pages_.AppendBand(&band);
        } else {
          pages_.AppendBand(&band);
        }
        curY_ += band.Height();
      }
    }
  } catch (...) {
    if (cross) crossHostBand_ = nullptr;
    FinishBand(band);
    throw;
  }
  if (cross) crossHostBand_ = nullptr;
  FinishBand(band);
  aggregates_->ResetBand(&band);
  if (band.Visible()) RunSubreports(band);
}

void TqdrEngine::FillBand(TqdrBand& band) {
  if (!layout_->HasShiftTree(band)) layout_->BuildShiftTree(band);
  aggregateBand_ = &band;
  if (&band != crossHostBand_) {
    report_.SetCurrentObjectName(band.Name());
    band.BeforePrint();
    if (OnBeforePrint) OnBeforePrint(&band);
    CallEvent(band.OnBeforePrint(), &band);
    const auto calc = [this](const std::string& expr) { return report_.Calc(expr); };
    for (TqdrComponent* c : band.Objects()) {
      auto* view = c->AsView();
      if (!view) continue;
      report_.SetCurrentObjectName(view->Name());
      view->BeforePrint();
      if (!band.Visible()) continue;
      if (OnBeforePrint) OnBeforePrint(view);
      CallEvent(view->OnBeforePrint(), view);
      if (!view->Visible()) continue;
      if (auto* memo = view->AsMemo())
        report::MemoGetData(*memo, calc);
      CallEvent(view->OnAfterData(), view);
    }
  }
  if (band.Visible()) layout_->StretchBand(band);
}

void TqdrEngine::FinishBand(TqdrBand& band) {
  const std::vector<TqdrComponent*> objects = band.Objects();
  if (band.Visible()) {
    for (TqdrComponent* c : objects) {
      auto* view = c->AsView();
      if (!view) continue;
      report_.SetCurrentObjectName(view->Name());
      if (OnAfterPrint) OnAfterPrint(view);
      CallEvent(view->OnAfterPrint(), view);
    }
  }
  for (TqdrComponent* c : objects)
    if (auto* rc = c->AsReportComponent()) rc->AfterPrint();
  report_.SetCurrentObjectName(band.Name());
  if (band.Visible()) {
    if (OnAfterPrint) OnAfterPrint(&band);
    CallEvent(band.OnAfterPrint(), &band);
  }
  band.AfterPrint();
  report::TqdrBandRunState& run = band.Run();
  if (run.ownObjectCount >= 0) {
    while (static_cast<int>(band.Objects().size()) > run.ownObjectCount) {
      pages_.UnlinkCopy(band.Objects().back());
      delete band.Objects().back();
    }
    run.ownObjectCount = -1;
  }
}

void TqdrEngine::ShowWithoutFitTest(TqdrBand* band) {
  for (TqdrBand* b = band; b;) {
    b->SetOverflow(true);
    struct Clear {
      TqdrBand* b;
      ~Clear() { b->SetOverflow(false); }
    } clear{b};
    FillBand(*b);
    try {
      if (b->Visible()) {
        b->SetLeft(curX_);
        b->SetTop(curY_);
        pages_.AppendBand(b);
        curY_ += b->Height();
      }
    } catch (...) {
      FinishBand(*b);
      throw;
    }
    FinishBand(*b);
    aggregates_->ResetBand(b);
    report::TqdrChild* child = b->Child();
    b = child && (b->Visible() || b->PrintChildIfInvisible()) ? child : nullptr;
  }
}

// ---------------------------------------------------------------------------
// Pages and columns

void TqdrEngine::OpenPage() {
  pages_.StartOutputPage(page_);
  curY_ = 0;
  if (TqdrBand* overlay = FindBand(report::TqdrOverlay::StaticClass());
      overlay && !overlay->PrintOnTop())
    ShowBand(overlay);
  curY_ = 0;
  const double x = curX_;
  bodyTop_ = 0;
  for (size_t i = 0; i < headers_.size(); ++i) {
    const TqdrHeaderListItem entry = headers_[i];
    curX_ = entry.left;
    TqdrBand* b = entry.band;
    if (!b || b == newPageBand_) continue;
    const bool pageHeader = dynamic_cast<report::TqdrPageHeader*>(b) != nullptr;
    if (pageHeader && !b->PrintOnFirstPage() && firstPageOfRun_) continue;
    if (entry.inKeep && keeping_) continue;
    if (dynamic_cast<report::TqdrHeader*>(b) && crossBreak_) continue;
    const int line = currentLine_, lineThrough = currentLineThrough_;
    currentLine_ = b->Run().lineNo;
    currentLineThrough_ = b->Run().lineThroughNo;
    b->SetOverflow(true);
    struct Restore {
      TqdrEngine& e;
      TqdrBand* b;
      int line, lineThrough;
      ~Restore() {
        e.reprintingHeaders_ = false;
        b->SetOverflow(false);
        e.currentLine_ = line;
        e.currentLineThrough_ = lineThrough;
      }
    } restore{*this, b, line, lineThrough};
    reprintingHeaders_ = true;
    if (dynamic_cast<report::TqdrReportTitle*>(b)) headers_[i].band = nullptr;
    if (pageHeader) bodyTop_ = b->Height();
    ShowBand(b);
  }
  curX_ = x;
}

void TqdrEngine::NewColumn() {
  if (!page_) return;
  if (curColumn_ >= page_->Columns()) {
    NewPage();
    return;
  }
  ShowColumnFooter();
  StartNextColumn();
}

double TqdrEngine::ColumnX(int column) const {
  const auto* positions = page_ ? page_->ColumnPositions() : nullptr;
  if (!positions || column < 1 || column - 1 >= positions->Count()) return 0;
  QString text = QString::fromStdString((*positions)[column - 1]).trimmed();
  text.replace(',', '.');  // either decimal separator
  return text.toDouble() * kMmUnits;
}

TqdrComponent* TqdrEngine::CopyTree(const TqdrComponent& src, TqdrComponent* parent) {
  if (!src.ClassType() || !src.ClassType()->CanCreate()) return nullptr;
  auto* copy = static_cast<TqdrComponent*>(src.ClassType()->Create(nullptr));
  copy->Assign(&src);
  copy->SetName(src.Name());
  copy->SetParent(parent);
  for (TqdrComponent* child : src.Objects()) CopyTree(*child, copy);
  return copy;
}

void TqdrEngine::StartNextColumn() {
  ++curColumn_;
  const double x = ColumnX(curColumn_);
  curY_ = bodyTop_;
  const std::vector<TqdrHeaderListItem> entries = headers_;
  for (const TqdrHeaderListItem& entry : entries) {
    if (!entry.band || dynamic_cast<report::TqdrPageHeader*>(entry.band)) continue;
    curX_ = entry.left + x;
    ShowWithoutFitTest(entry.band);
  }
  curX_ = columnOriginX_ + x;
}

void TqdrEngine::ShowColumnFooter() {
  TqdrBand* footer = FindBand(report::TqdrColumnFooter::StaticClass());
  if (!footer) return;
  FillBand(*footer);
  try {
    if (footer->Visible()) {
      footer->SetLeft(curX_ - columnOriginX_);
      footer->SetTop(curY_);
      pages_.AppendBand(footer);
    }
  } catch (...) {
    FinishBand(*footer);
    throw;
  }
  FinishBand(*footer);
  aggregates_->ResetBand(footer);
}

void TqdrEngine::NewPage() {
  if (!page_) return;
  const bool moveKeep = keeping_;
  if (moveKeep) {
    if (footerUnderKeep_) aggregates_->RollBackKeep(dynamic_cast<TqdrDataBand*>(keepBand_));
    pages_.CutFrom(keepObjectIndex_);
  }
  FinishPage();
  OpenPage();
  if (moveKeep) {
    aggregates_->CloseKeep();
    pages_.PasteAt(0, curY_);
    pages_.Outline()->ShiftOutline(keepOutlinePosition_, static_cast<int>(std::lround(curY_)));
    curY_ = pages_.PageContentBottom();
    if (footerUnderKeep_) aggregates_->AddValue(dynamic_cast<TqdrDataBand*>(keepBand_), 0);
    keeping_ = false;
    keepBand_ = nullptr;
  }
  AddPageOutline();
}

void TqdrEngine::FinishPage() {
  if (page_->Columns() > 1) {
    ShowColumnFooter();
    if (!finishingRun_) {
      curX_ = columnOriginX_;
      curColumn_ = 1;
    }
  }
  ShowFooterBand(FindBand(report::TqdrColumnFooter::StaticClass()));
  if (finishingRun_ && !showingSummary_) {
    FlagScope summaryFlag(showingSummary_, true);
    TqdrBand* summary = FindBand(report::TqdrReportSummary::StaticClass());
    ShowBand(summary);
    if (summary && page_->PrintEnd()) {
      pageHeight_ += summary->Height();
      pages_.SetPageDimensions(
          page_, page_->TopMargin() * kMmUnits + pageHeight_ + page_->BottomMargin() * kMmUnits,
          page_->LeftMargin() * kMmUnits + pageWidth_ + page_->RightMargin() * kMmUnits);
    }
  }
  if (TqdrBand* footer = FindBand(report::TqdrPageFooter::StaticClass())) {
    curY_ = pageHeight_ - footer->Height();
    ShowFooterBand(footer);
  }
  if (TqdrBand* overlay = FindBand(report::TqdrOverlay::StaticClass());
      overlay && overlay->PrintOnTop()) {
    curY_ = 0;
    ShowFooterBand(overlay);
  }
  firstPageOfRun_ = false;
}

void TqdrEngine::ShowFooterBand(TqdrBand* band) {
  if (!band) return;
  FillBand(*band);
  try {
    if (band->Visible()) {
      band->SetLeft(0);
      band->SetTop(curY_);
      const bool pageFooter = dynamic_cast<report::TqdrPageFooter*>(band) != nullptr;
      if (pageFooter && ((firstPageOfRun_ && !band->PrintOnFirstPage()) ||
                         (finishingRun_ && !band->PrintOnLastPage()))) {
        FinishBand(*band);
        return;
      }
      if (!pages_.PageHasBand(band)) {
        pages_.AppendBand(band);
        curY_ += band->Height();
      }
    }
  } catch (...) {
    FinishBand(*band);
    throw;
  }
  FinishBand(*band);
  aggregates_->ResetBand(band);
}

// ---------------------------------------------------------------------------
// Keeps and band columns

void TqdrEngine::OpenKeep(TqdrBand* band, int objectIndex) {
  if (keeping_ || keepBlocked_) return;
  keeping_ = true;
  keepBand_ = band;
  keepObjectIndex_ = objectIndex ? objectIndex : pages_.PageObjectCount();
  keepOutlinePosition_ = pages_.Outline()->OutlinePosition();
  aggregates_->OpenKeep();
}

void TqdrEngine::CloseKeep(TqdrBand* band) {
  if (!keeping_ || band != keepBand_) return;
  keeping_ = false;
  keepBand_ = nullptr;
  aggregates_->CloseKeep();
}

void TqdrEngine::SetDataColumn(TqdrDataBand& band, int column) {
  if (band.Columns() < 2) return;
  report::TqdrBandRunState& run = band.Run();
  if (column > band.Columns()) column = 1;
  if (column == 1) run.columnBottom = 0;
  run.columnNo = column;
}

void TqdrEngine::AdvanceDataColumn(TqdrDataBand& band, double rowTop) {
  if (band.Columns() < 2) return;
  report::TqdrBandRunState& run = band.Run();
  run.columnBottom = std::max(run.columnBottom, curY_);
  if (run.columnNo < band.Columns()) {
    curY_ = rowTop;
  } else if (run.columnBottom <= pageHeight_ - BottomReserve() || page_->PrintEnd()) {
    curY_ = run.columnBottom;
  } else if (keeping_) {
    NewColumn();
  } else {
    const double rowHeight = run.columnBottom - rowTop;
    pages_.CutFrom(run.rowStart);
    NewColumn();
    pages_.PasteAt(curX_, curY_);
    curY_ += rowHeight;
  }
  if (band.Visible()) SetDataColumn(band, run.columnNo + 1);
}

}  // namespace engine
