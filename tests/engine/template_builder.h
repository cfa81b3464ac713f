// Small templates built in code for engine tests: a page on the report,
// bands on a page, memos on a band. Objects belong to the report.
#pragma once

#include <string>

#include "report/band.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"

namespace enginetest {

inline report::TqdrReportPage* AddPage(report::TqdrReport& r, const std::string& name) {
  auto* page = new report::TqdrReportPage(&r);
  page->SetParent(&r);
  page->SetName(name);
  return page;
}

template <class B>
B* AddBand(report::TqdrReport& r, report::TqdrComponent* page, const std::string& name, double left,
           double top, double width, double height) {
  auto* band = new B(&r);
  band->SetParent(page);
  band->SetName(name);
  band->SetBounds(left, top, width, height);
  return band;
}

inline report::TqdrMemoView* AddMemo(report::TqdrReport& r, report::TqdrComponent* parent,
                                     const std::string& name, const std::string& text,
                                     double left = 0, double top = 0, double width = 300,
                                     double height = 20) {
  auto* memo = new report::TqdrMemoView(&r);
  memo->SetParent(parent);
  memo->SetName(name);
  memo->SetBounds(left, top, width, height);
  memo->SetText(text);
  return memo;
}

}  // namespace enginetest
