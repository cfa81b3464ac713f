// TqdrPreviewPages: the store of prepared pages. Pages are records of object
// differences against source copies of the template objects, held in one XML
// tree that can be swapped partly to a temporary file and saved as a .qp3 file.
//
// Prepared-report file (.qp3), no indentation:
//   ELEMENT                       CONTENT
//   <?xml version="1.0" encoding="utf-8"?>
//   preparedreport                root; children in order of first creation, found by name
//     previewpages                page records
//       pageN [ld="0"]            objects of a page made from source page N, in output order
//         m12 l=".." t=".." ...   object record: short name, difference attributes, children
//         TqdrMemoView ...        object without a source copy: class name, all attributes
//       TqdrReportPage ...        a page stored in full (ReplacePage, AppendPagesOf)
//     outline                     item text= page= top=, nested
//     anchors                     item text= page= top=
//     report                      TqdrReport DotMatrixReport= PreviewOptions.OutlineVisible= ...
//     sourcepages                 full page elements (template form) of the source copies
//     dictionary                  <m12 name="Page0.Memo1"/> per short name, sorted
#pragma once

#include <functional>
#include <iosfwd>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/dictionary.h"
#include "engine/outline.h"

class QPainter;

namespace report {
class TqdrBand;
class TqdrComponent;
class TqdrPage;
class TqdrReport;
class TqdrReportPage;
class TqdrView;
class TqdrXMLDocument;
class TqdrXMLItem;
}  // namespace report

namespace engine {

// What the store asks of the band engine while it prepares.
class TqdrEngineState {
 public:
  virtual ~TqdrEngineState() = default;
  virtual bool Preparing() const = 0;
  virtual bool FinalPass() const = 0;
  virtual double CurY() const = 0;
};

class TqdrCustomPrinter;
class TqdrExportFilter;
struct TqdrPrintSettings;

enum class TqdrAddPageMode { apOverwrite, apAppend };

class TqdrCustomPreviewPages {
 public:
  virtual ~TqdrCustomPreviewPages() = default;
  virtual int PageCount() const = 0;
  virtual report::TqdrPage* PageAt(int index) = 0;
  virtual int CurrentPage() const = 0;
  // The `outline` element (created on demand).
  virtual report::TqdrXMLItem* OutlineItem() = 0;
};

class TqdrPreviewPages : public TqdrCustomPreviewPages {
 public:
  explicit TqdrPreviewPages(report::TqdrReport* report);
  ~TqdrPreviewPages() override;
  TqdrPreviewPages(const TqdrPreviewPages&) = delete;
  TqdrPreviewPages& operator=(const TqdrPreviewPages&) = delete;

  void SetEngine(TqdrEngineState* engine) { engine_ = engine; }
  report::TqdrReport* Report() const { return report_; }
  TqdrOutline* Outline() { return &outline_; }
  report::TqdrXMLDocument* Document() const { return doc_.get(); }
  const TqdrDictionary& Dictionary() const { return dictionary_; }
  const std::vector<std::unique_ptr<report::TqdrPage>>& SourcePages() const { return sourcePages_; }

  int PageCount() const override;
  // Built on demand; cached (50 pages) while no preparation runs. Null when out of range.
  report::TqdrPage* PageAt(int index) override;
  // (0, 0) for an index out of range.
  void PageSizeAt(int index, int& width, int& height);
  int CurrentPage() const override { return currentPage_; }
  void SetCurrentPage(int v) { currentPage_ = v; }
  TqdrAddPageMode AddMode() const { return addMode_; }
  void SetAddMode(TqdrAddPageMode v) { addMode_ = v; }
  int FirstReportPage() const { return firstReportPage_; }
  void SetFirstReportPage(int v) { firstReportPage_ = v; }
  int PreviewPageNo() const { return previewPageNo_; }
  void SetPreviewPageNo(int v) { previewPageNo_ = v; }
  report::TqdrXMLItem* OutlineItem() override;

  void ClearAll();
  void OpenStore();
  void CloseStore();
  void RegisterSourcePage(report::TqdrPage* page);
  void RegisterRuntimeObject(report::TqdrComponent* object);
  // A run-time copy of a template object is recorded against the same source
  // (cells of cross layouts); the link goes when the copy is freed.
  void LinkCopy(const report::TqdrComponent* copy, const report::TqdrComponent* original);
  void UnlinkCopy(const report::TqdrComponent* copy) { templateLinks_.erase(copy); }
  void StartOutputPage(report::TqdrPage* page);
  void AppendBand(report::TqdrBand* band);
  void MarkPassStart();
  void RewindToPassStart();
  void CutFrom(int index);
  void PasteAt(double x, double y);
  bool PageHasBand(report::TqdrBand* band) const;
  int PageObjectCount() const;
  double PageContentBottom() const;
  void InsertEmptyPage(int index);
  void RemovePage(int index);
  void ReplacePage(int index, report::TqdrPage* page);
  void AppendPagesOf(TqdrPreviewPages& other);
  void SetPageDimensions(report::TqdrPage* page, double height, double width);
  void DrawPageAt(int index, QPainter& canvas, double scaleX, double scaleY, double offsetX,
                  double offsetY, bool printing = false);

  // Prints through the current printer (print_pages.cpp) with the report's
  // PrintOptions, after the print dialog when they ask for it. False when the
  // dialog was cancelled.
  bool PrintAll();
  // The print loop alone: the pages selected by `settings` on `printer`.
  void PrintPages(TqdrCustomPrinter& printer, const TqdrPrintSettings& settings);

  // Hands the pages in the filter's range, object by object, to the filter;
  // false when its start step refuses.
  bool ExportTo(TqdrExportFilter& filter);

  // Preview mouse handling: the topmost view of page `index` under (x, y) in
  // device units, its cursor and URL announced; a click follows the URL and
  // calls OnClickObject (a page reported modified is stored in full). Nothing
  // happens while a preparation runs. Returns the view found, or null.
  report::TqdrView* HitTest(int index, double x, double y, bool click, int& cursor, double scale,
                            double offsetX, double offsetY, int button = 0, int shift = 0);
  // Host hooks of HitTest (the report's click and mouse-over events, the shell's URL opener).
  std::function<void(report::TqdrView* view, int button, int shift, bool& modified)> OnClickObject;
  std::function<void(report::TqdrView* view, int& cursor)> OnMouseOverObject;
  std::function<void(const std::string& url)> OnShowURL;
  std::function<void(const std::string& url)> OnFollowURL;

  void AddAnchor(const std::string& text);
  // Page number (1-based) of the last anchor named `text` (case ignored), else 1.
  int GetAnchorPage(const std::string& text) const;

  void SaveToStream(std::ostream& stream);
  // Raises core::Error on a damaged document. With partial loading the stream
  // must outlive the loaded pages.
  void LoadFromStream(std::istream& stream, bool allowPartialLoading = false);
  void SaveToFile(const std::string& fileName);
  // False when the file is missing (and need not exist).
  bool LoadFromFile(const std::string& fileName, bool mustExist = false);

  // Estimated bytes added since the last swap-out.
  int64_t MemoryEstimate() const { return memSize_; }

 private:
  struct SourceLink {
    report::TqdrComponent* source = nullptr;
    std::string shortName;
  };
  struct CachedPage {
    int index;
    std::unique_ptr<report::TqdrPage> page;
  };

  report::TqdrXMLItem* Pages();
  report::TqdrXMLItem* PageItem(int index) const;
  report::TqdrXMLItem* CurrentPageItem() const;
  bool Preparing() const;
  bool FinalPass() const;
  void ApplyMemoryLimit();
  void ClearCache();
  // Drops the built pages and, with the file cache, puts their records back on disk.
  void ReleaseCachedPages();
  void EnsureLoaded(report::TqdrXMLItem* item);
  void RegisterCopy(report::TqdrComponent* tmpl, report::TqdrComponent* copy);
  report::TqdrComponent* CopyTree(report::TqdrComponent* src, report::TqdrComponent* parent);
  void StoreSerialized(TqdrDictionary::Entry& e);
  void AddObject(report::TqdrComponent* obj, report::TqdrXMLItem* parent);
  std::string RecordText(report::TqdrComponent* obj, report::TqdrComponent* source) const;
  std::unique_ptr<report::TqdrPage> BuildPage(int index);
  void BuildObjects(report::TqdrXMLItem* item, report::TqdrComponent* parent);
  void WriteFullPage(report::TqdrPage* page, report::TqdrXMLItem* item);
  int SourceIndexOf(report::TqdrPage* templatePage) const;
  void RefreshSaveElements();
  void ReadLoadedElements();
  int RecordCount(report::TqdrXMLItem* item) const;

  report::TqdrReport* report_;
  TqdrEngineState* engine_ = nullptr;
  std::unique_ptr<report::TqdrXMLDocument> doc_;
  std::vector<std::unique_ptr<report::TqdrPage>> sourcePages_;
  std::vector<report::TqdrPage*> templatePages_;  // parallel to sourcePages_, null after CloseStore
  TqdrDictionary dictionary_;
  std::unordered_map<const report::TqdrComponent*, SourceLink> templateLinks_;
  std::unordered_map<const report::TqdrComponent*, report::TqdrComponent*> sourceToTemplate_;
  std::unordered_map<const report::TqdrComponent*, std::string> sourceNames_;
  std::list<CachedPage> cache_;
  std::unique_ptr<report::TqdrPage> uncached_;  // the last page built while preparing
  TqdrOutline outline_;
  int currentPage_ = -1;
  TqdrAddPageMode addMode_ = TqdrAddPageMode::apOverwrite;
  int firstReportPage_ = 0;
  int previewPageNo_ = 1;
  int markedPage_ = -1;
  int markedObjectCount_ = 0;
  int64_t memSize_ = 0;
};

}  // namespace engine
