// TqdrPdfExport: an export filter that draws each exported page on a PDF
// page of the page's own paper size, object by object as the export walk
// hands them over.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/export_filter.h"

class QPainter;
class QPdfWriter;

namespace engine {

class TqdrPdfExport : public TqdrExportFilter {
 public:
  TqdrPdfExport();
  ~TqdrPdfExport() override;

  // The file written; when empty, Start asks for one (OnAskFileName).
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& v) { fileName_ = v; }
  void SetPageNumbers(const std::string& v) { pageNumbers_ = v; }
  // Text of "[TOTALPAGES]"; taken from the report's prepared pages when 0.
  void SetTotalPages(int v) { totalPages_ = v; }
  // Dots per inch of the PDF's drawing surface.
  int Resolution() const { return resolution_; }
  void SetResolution(int v) { resolution_ = v; }
  // Asks for the file name; empty when cancelled. The default shows a save dialog.
  std::function<std::string()> OnAskFileName;
  // The description of the menu entry.
  static std::string Description();

  bool Start(report::TqdrReport* report) override;
  void Finish() override;
  std::string PageNumbers() const override { return pageNumbers_; }
  bool ShowProgress() const override { return true; }
  void StartPage(report::TqdrPage* page, int index) override;
  void ExportObject(report::TqdrComponent* object) override;
  void FinishPage(report::TqdrPage* page, int index) override;

 private:
  std::string fileName_, pageNumbers_;
  std::string askedName_;  // the name chosen for this export only
  int totalPages_ = 0, pages_ = 0;
  int resolution_ = 600;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<QPainter> painter_;
  double offsetX_ = 0, offsetY_ = 0;
};

// Registers one process-wide PDF filter for the preview's Export menu and PDF button.
void RegisterPdfExport();
TqdrPdfExport& PdfExport();

}  // namespace engine
