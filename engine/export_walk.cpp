// The export walk of the prepared pages store: the page walk printing shares,
// handing each page's background and views to an export filter.
#include <memory>

#include "core/error.h"
#include "engine/export_filter.h"
#include "engine/page_ranges.h"
#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/frame.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"

namespace engine {

namespace {
constexpr double kMm = 3.77953;

// The picture view that stands for the page's colour, frame and background picture.
std::unique_ptr<report::TqdrPictureView> PageBackground(report::TqdrReportPage* page, int index) {
  auto bg = std::make_unique<report::TqdrPictureView>();
  if (page->BackgroundView()) bg->Assign(page->BackgroundView());
  bg->SetName("_pagebackground");
  bg->SetStretched(true);
  double left = page->LeftMargin(), right = page->RightMargin();
  if (page->MirrorMargins() && index % 2 == 1) std::swap(left, right);
  bg->SetBounds(left * kMm, page->TopMargin() * kMm, (page->PaperWidth() - left - right) * kMm,
                (page->PaperHeight() - page->TopMargin() - page->BottomMargin()) * kMm);
  return bg;
}

template <class Band>
bool InBand(const report::TqdrComponent* c) {
  for (; c; c = c->Parent())
    if (dynamic_cast<const Band*>(c)) return true;
  return false;
}
}  // namespace

bool TqdrPreviewPages::ExportTo(TqdrExportFilter& filter) {
  if (!filter.Start(report_)) return false;
  const int count = PageCount();
  std::vector<int> numbers = ParsePageNumbers(filter.PageNumbers(), count);
  if (numbers.empty())
    for (int i = 1; i <= count; ++i) numbers.push_back(i);
  const bool progress = filter.ShowProgress() && report_;
  if (progress) report_->ProgressStart(report::pkExporting);
  for (int number : numbers) {
    if (report_ && report_->Terminated()) break;
    const int index = number - 1;
    report::TqdrPage* page = PageAt(index);
    if (!page) continue;
    if (progress) report_->Progress(report::pkExporting, number);
    filter.StartPage(page, index);
    if (auto* rp = dynamic_cast<report::TqdrReportPage*>(page)) {
      std::unique_ptr<report::TqdrPictureView> bg = PageBackground(rp, index);
      filter.ExportObject(bg.get());
    }
    const bool suppress = filter.SuppressPageHeaderFooter();
    for (report::TqdrComponent* c : page->AllObjects()) {
      auto* view = dynamic_cast<report::TqdrView*>(c);
      if (!view) continue;
      if (suppress && index > 0 && InBand<report::TqdrPageHeader>(c)) continue;
      if (suppress && index < count - 1 && InBand<report::TqdrPageFooter>(c)) continue;
      if (auto* memo = dynamic_cast<report::TqdrCustomMemoView*>(c);
          memo && memo->Highlight()->Active())
        memo->SetFont(memo->Highlight()->Font());
      filter.ExportObject(view);
    }
    filter.FinishPage(page, index);
    ReleaseCachedPages();
  }
  if (progress) report_->ProgressStop(report::pkExporting);
  filter.Finish();
  return true;
}

}  // namespace engine
