// The print loop of the prepared pages store: page range, odd/even, reverse
// order, copies and collation, paper settings per page, cancellation.
#include "engine/print_pages.h"

#include <QApplication>
#include <QPainter>
#include <cmath>
#include <exception>
#include <vector>

#include "engine/page_ranges.h"
#include "engine/preview_pages.h"
#include "engine/print_dialog.h"
#include "engine/printers.h"
#include "report/options.h"
#include "report/page.h"
#include "report/report.h"

namespace engine {

namespace {

// What the printer was last told about the paper.
struct PaperState {
  int paper = 0;
  long width = 0, height = 0;
  int bin = 0;
  report::TPrinterOrientation orientation = report::TPrinterOrientation::poPortrait;
  report::TqdrDuplexMode duplex = report::TqdrDuplexMode::dmNone;
  bool operator==(const PaperState&) const = default;
};

PaperState PaperOf(const report::TqdrReportPage& page, int index) {
  PaperState s;
  s.paper = page.PaperSize();
  s.width = std::lround(page.PaperWidth());
  s.height = std::lround(page.PaperHeight());
  s.bin = index == 0 ? page.Bin() : page.BinOtherPages();
  s.orientation = page.Orientation();
  s.duplex = page.Duplex();
  return s;
}

bool IsTwoSided(report::TqdrDuplexMode d) {
  return d == report::TqdrDuplexMode::dmVertical || d == report::TqdrDuplexMode::dmHorizontal;
}

}  // namespace

void TqdrPreviewPages::PrintPages(TqdrCustomPrinter& printer, const TqdrPrintSettings& settings) {
  const int count = PageCount();
  // A malformed range fails here, before anything is printed.
  const std::vector<int> numbers = ParsePageNumbers(settings.pageNumbers, count);
  // Only a blank text selects every page; a range that names no page ("0,11") prints none.
  const bool all = settings.pageNumbers.find_first_not_of(' ') == std::string::npos;
  std::vector<bool> wanted(static_cast<size_t>(count) + 1, all);
  for (int n : numbers) wanted[static_cast<size_t>(n)] = true;

  if (report_) {
    report_->SetTerminated(false);
    report_->ProgressStart(report::pkPrinting);
    const std::string& name = report_->ReportOptions()->Name();
    printer.SetTitle(name.empty() ? report_->FileName() : name);
  }
  const int copies = std::max(1, settings.copies);
  const bool odd = settings.printPages == report::TqdrPrintPages::ppOdd;
  const bool even = settings.printPages == report::TqdrPrintPages::ppEven;

  PaperState last;
  int printed = 0;
  bool aborted = false;
  auto terminated = [this] { return report_ && report_->Terminated(); };

  // One pass over the selected pages; returns how many were printed.
  auto printOnce = [&](int copyNo, int printerCopies, int repeat) {
    int passCount = 0;
    for (int k = 0; k < count; ++k) {
      const int index = settings.reverse ? count - 1 - k : k;
      const int number = index + 1;
      if (!wanted[static_cast<size_t>(number)]) continue;
      if ((odd && number % 2 == 0) || (even && number % 2 == 1)) continue;
      if (terminated()) {
        printer.Abort();
        aborted = true;
        return passCount;
      }
      auto* page = dynamic_cast<report::TqdrReportPage*>(PageAt(index));
      if (!page) continue;
      if (report_ && report_->OnPrintPage) report_->OnPrintPage(report_, page, copyNo);
      const PaperState paper = PaperOf(*page, index);
      if (printed == 0 || !(paper == last))
        printer.SetPrintParams(paper.paper, paper.orientation, printerCopies,
                               static_cast<int>(paper.duplex) + 1, paper.bin, page->PaperWidth(),
                               page->PaperHeight());
      if (printed == 0) printer.BeginDoc();
      for (int r = 0; r < repeat; ++r) {
        printer.BeginPage();
        if (QPainter* canvas = printer.Canvas()->Painter()) {
          const double sx = printer.DpiX() / 96.0, sy = printer.DpiY() / 96.0;
          DrawPageAt(index, *canvas, sx, sy, -printer.LeftMargin() * printer.DpiX() / 25.4,
                     -printer.TopMargin() * printer.DpiY() / 25.4, true);
        }
        printer.EndPage();
      }
      if (report_)
        report_->Progress(report::pkPrinting, number);  // processes window messages
      else if (QCoreApplication::instance())
        QCoreApplication::processEvents();
      ++printed;
      ++passCount;
      last = paper;
      ReleaseCachedPages();
    }
    return passCount;
  };

  try {
    if (settings.collate) {
      for (int copy = 1; copy <= copies && !aborted; ++copy) {
        const int n = printOnce(copy, 1, 1);
        if (aborted || terminated()) break;
        // An odd page count on two-sided paper: the next copy starts on a new sheet.
        if (copy < copies && n % 2 == 1 && IsTwoSided(last.duplex)) {
          printer.BeginPage();
          printer.EndPage();
        }
      }
    } else if (printer.DeviceCopies()) {
      printOnce(1, copies, 1);
    } else {
      printOnce(1, 1, copies);
    }
    if (printed > 0 && !aborted) printer.EndDoc();
  } catch (...) {
    if (printer.Printing()) {
      try {
        printer.Abort();
      } catch (...) {
      }
    }
    if (report_) report_->ProgressStop(report::pkPrinting);
    throw;
  }
  if (report_) report_->ProgressStop(report::pkPrinting);
}

bool TqdrPreviewPages::PrintAll() {
  // A dot-matrix report would be exported through a dot-matrix filter here;
  // none exists, so such reports print like any other.
  TqdrPrintSettings settings;
  bool showDialog = true;
  TqdrPrinters& printers = Printers();
  if (report_) {
    const report::TqdrPrintOptions* o = report_->PrintOptions();
    settings.copies = o->Copies();
    settings.collate = o->Collate();
    settings.pageNumbers = o->PageNumbers();
    settings.printPages = o->PrintPages();
    settings.reverse = o->Reverse();
    showDialog = o->ShowDialog();
    const int index = printers.IndexOfPrinter(o->Printer());
    if (index >= 0) printers.SelectPrinter(index);
  }
  // Without a widget application (batch printing) there is nothing to show the dialog on.
  if (showDialog && qobject_cast<QApplication*>(QCoreApplication::instance())) {
    TqdrPrintDialog dialog(QApplication::activeWindow());
    dialog.SetSettings(settings);
    if (dialog.exec() != QDialog::Accepted) return false;
    settings = dialog.Settings(PreviewPageNo());
  }
  TqdrCustomPrinter* printer = printers.CurrentPrinter();
  if (!printer) return false;
  if (report_ && report_->OnPrintReport) report_->OnPrintReport(report_);
  try {
    PrintPages(*printer, settings);
  } catch (...) {
    if (report_ && report_->OnAfterPrintReport) report_->OnAfterPrintReport(report_);
    throw;
  }
  if (report_ && report_->OnAfterPrintReport) report_->OnAfterPrintReport(report_);
  return true;
}

}  // namespace engine
