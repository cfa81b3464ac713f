// Fuzz target for the prepared-report loader: any bytes must load or fail
// with an error, never crash or hang; pages that loaded are rebuilt too.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>

#include "engine/preview_pages.h"
#include "report/report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static report::TqdrReport* report = new report::TqdrReport;
  std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
  engine::TqdrPreviewPages pages(report);
  try {
    pages.LoadFromStream(stream);
    for (int i = 0; i < pages.PageCount() && i < 8; ++i) pages.PageAt(i);
  } catch (const std::exception&) {
    // A damaged document is refused with a message; that is the expected outcome.
  }
  return 0;
}
