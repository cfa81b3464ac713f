// The export filters the program offers: each with the text of its menu entry
// and, for the preview's quick buttons, whether it writes PDF or sends e-mail.
#pragma once

#include <string>
#include <vector>

namespace engine {

class TqdrExportFilter;

enum class TqdrQuickExport { qeNone, qePDF, qeEMail };

struct TqdrExportFilterEntry {
  TqdrExportFilter* filter = nullptr;  // not owned
  std::string description;
  TqdrQuickExport quick = TqdrQuickExport::qeNone;
};

// Adds the filter, or updates its entry when it is listed already.
void RegisterExportFilter(TqdrExportFilter* filter, const std::string& description,
                          TqdrQuickExport quick = TqdrQuickExport::qeNone);
void UnregisterExportFilter(TqdrExportFilter* filter);
const std::vector<TqdrExportFilterEntry>& ExportFilters();
// The filter registered for a quick button, or null.
TqdrExportFilter* QuickExportFilter(TqdrQuickExport quick);

}  // namespace engine
