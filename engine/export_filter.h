// TqdrExportFilter: what the export walk of the prepared pages store hands
// pages and objects to. No concrete filter ships; formats derive from this.
#pragma once

#include <string>

namespace report {
class TqdrComponent;
class TqdrPage;
class TqdrReport;
}  // namespace report

namespace engine {

class TqdrExportFilter {
 public:
  virtual ~TqdrExportFilter() = default;
  // False stops the export before any page.
  virtual bool Start(report::TqdrReport* report) = 0;
  virtual void Finish() {}
  // A page range text ("1,3-5"); empty exports all pages.
  virtual std::string PageNumbers() const { return {}; }
  virtual bool ShowProgress() const { return false; }
  // Leave out page headers after the first page and page footers before the last.
  virtual bool SuppressPageHeaderFooter() const { return false; }
  virtual void StartPage(report::TqdrPage* page, int index) = 0;
  // One object of the page: the "_pagebackground" picture view first, then every view.
  virtual void ExportObject(report::TqdrComponent* object) = 0;
  virtual void FinishPage(report::TqdrPage* page, int index) = 0;
};

}  // namespace engine
