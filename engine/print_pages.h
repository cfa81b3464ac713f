// The settings of one print run, as the print loop of the prepared pages
// store (TqdrPreviewPages::PrintPages, print_pages.cpp) takes them.
#pragma once

#include <string>

#include "report/types.h"

namespace engine {

struct TqdrPrintSettings {
  int copies = 1;  // below 1 counts as 1
  bool collate = true;
  std::string pageNumbers;  // a page range text; empty prints all pages
  report::TqdrPrintPages printPages = report::TqdrPrintPages::ppAll;
  bool reverse = false;
};

}  // namespace engine
