// Registry of export filters.
#include "engine/export_filters.h"

#include <algorithm>

namespace engine {

namespace {
std::vector<TqdrExportFilterEntry>& Entries() {
  static std::vector<TqdrExportFilterEntry> entries;
  return entries;
}
}  // namespace

void RegisterExportFilter(TqdrExportFilter* filter, const std::string& description,
                          TqdrQuickExport quick) {
  if (!filter) return;
  for (TqdrExportFilterEntry& e : Entries())
    if (e.filter == filter) {
      e.description = description;
      e.quick = quick;
      return;
    }
  Entries().push_back({filter, description, quick});
}

void UnregisterExportFilter(TqdrExportFilter* filter) {
  auto& entries = Entries();
  entries.erase(
      std::remove_if(entries.begin(), entries.end(),
                     [filter](const TqdrExportFilterEntry& e) { return e.filter == filter; }),
      entries.end());
}

const std::vector<TqdrExportFilterEntry>& ExportFilters() {
  return Entries();
}

TqdrExportFilter* QuickExportFilter(TqdrQuickExport quick) {
  if (quick == TqdrQuickExport::qeNone) return nullptr;
  for (const TqdrExportFilterEntry& e : Entries())
    if (e.quick == quick) return e.filter;
  return nullptr;
}

}  // namespace engine
