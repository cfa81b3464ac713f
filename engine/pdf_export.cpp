// PDF export over the export walk.
#include "engine/pdf_export.h"

#include <QFileDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <filesystem>

#include "core/error.h"
#include "engine/export_filters.h"
#include "engine/preview_pages.h"
#include "engine/report_runtime.h"
#include "report/options.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"

namespace engine {

namespace {
constexpr double kMm = 3.77953;
}

TqdrPdfExport::TqdrPdfExport() = default;
TqdrPdfExport::~TqdrPdfExport() {
  Finish();
}

std::string TqdrPdfExport::Description() {
  return "PDF 文件";
}

bool TqdrPdfExport::Start(report::TqdrReport* report) {
  Finish();
  askedName_.clear();
  std::string name = fileName_;
  if (name.empty()) {
    if (OnAskFileName) {
      name = OnAskFileName();
    } else {
      name =
          QFileDialog::getSaveFileName(nullptr, QString(), QString(), "PDF (*.pdf)").toStdString();
      if (!name.empty() && std::filesystem::path(name).extension().empty()) name += ".pdf";
    }
    if (name.empty()) return false;
    askedName_ = name;
  }
  writer_ = std::make_unique<QPdfWriter>(QString::fromStdString(name));
  writer_->setResolution(resolution_);
  writer_->setCreator("survey");
  if (report) {
    const std::string& title = report->ReportOptions()->Name();
    writer_->setTitle(QString::fromStdString(title));
  }
  pages_ = totalPages_;
  if (pages_ == 0 && report)
    if (TqdrPreviewPages* store = PreparedPages(*report)) pages_ = store->PageCount();
  return true;
}

void TqdrPdfExport::StartPage(report::TqdrPage* page, int index) {
  if (!writer_) return;
  auto* rp = dynamic_cast<report::TqdrReportPage*>(page);
  double width = 210, height = 297;
  double left = 0, top = 0;
  if (rp) {
    width = rp->PaperWidth();
    height = rp->PaperHeight();
    left = rp->MirrorMargins() && index % 2 == 1 ? rp->RightMargin() : rp->LeftMargin();
    top = rp->TopMargin();
  }
  const QPageSize size(QSizeF(width, height), QPageSize::Millimeter, QString(),
                       QPageSize::ExactMatch);
  writer_->setPageLayout(
      QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
  if (!painter_) {
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) {
      painter_.reset();
      writer_.reset();
      throw core::Error("Cannot write the file " + (askedName_.empty() ? fileName_ : askedName_));
    }
  } else {
    writer_->newPage();
  }
  const double scale = resolution_ / 96.0;
  offsetX_ = left * kMm * scale;
  offsetY_ = top * kMm * scale;
}

void TqdrPdfExport::ExportObject(report::TqdrComponent* object) {
  auto* view = dynamic_cast<report::TqdrView*>(object);
  if (!view || !painter_) return;
  const double scale = resolution_ / 96.0;
  if (auto* memo = dynamic_cast<report::TqdrCustomMemoView*>(view)) memo->SetTotalPages(pages_);
  // The page background is placed on the paper; the page's objects inside the margins.
  const bool background = view->Name() == "_pagebackground" && !view->Parent();
  painter_->save();
  view->Draw(*painter_, scale, scale, background ? 0 : offsetX_, background ? 0 : offsetY_);
  painter_->restore();
}

void TqdrPdfExport::FinishPage(report::TqdrPage*, int) {}

void TqdrPdfExport::Finish() {
  if (painter_) painter_->end();
  painter_.reset();
  writer_.reset();
}

TqdrPdfExport& PdfExport() {
  static TqdrPdfExport* filter = new TqdrPdfExport;  // lives until the program ends
  return *filter;
}

void RegisterPdfExport() {
  RegisterExportFilter(&PdfExport(), TqdrPdfExport::Description(), TqdrQuickExport::qePDF);
}

}  // namespace engine
