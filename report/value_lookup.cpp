// Fast value lookup of report expressions.
#include "report/value_lookup.h"

#include "core/text_util.h"
#include "report/collections.h"
#include "report/component.h"
#include "report/dataset.h"
#include "report/dataset_functions.h"
#include "report/options.h"
#include "report/report.h"

namespace report {
namespace {

const char* const kSystemNames[] = {"Date",       "Time",        "Page", "Page#",
                                    "TotalPages", "TotalPages#", "Line", "Line#"};

int SystemIndex(const std::string& name) {
  for (int i = 0; i < 8; ++i)
    if (core::EqualsNoCase(name, kSystemNames[i])) return i;
  return -1;
}

core::Variant SystemValue(int index, const TqdrRunCounters& c) {
  switch (index) {
    case 0:
      return core::Variant::MakeDate(c.startDate);
    case 1:
      return core::Variant::MakeDate(c.startTime);
    case 2:
      return core::Variant(int32_t{c.currentPage - c.firstReportPage + 1});
    case 3:
      return core::Variant(int32_t{c.currentPage + 1});
    case 4:
      return core::Variant(int32_t{c.totalPages - c.firstReportPage});
    case 5:
      return core::Variant(int32_t{c.totalPages});
    case 6:
      return core::Variant(int32_t{c.currentLine});
    default:
      return core::Variant(int32_t{c.currentLineThrough});
  }
}

}  // namespace

bool IsSystemVariable(const std::string& name) {
  return SystemIndex(name) >= 0;
}

bool LookupValue(const TqdrReport& report, const TqdrRunCounters& counters,
                 const TqdrGetValueFunction& onGetValue, const std::string& name,
                 core::Variant& value) {
  value = core::Variant::MakeNull();
  // A field reference is the whole text: Alias."Field" and nothing after the
  // closing quote, so QDDBBRXX."a" + 1 is left to the compiler.
  TqdrDataSet* ds = nullptr;
  std::string field;
  GetDatasetAndField(report, name, ds, field);
  if (ds && !field.empty() && name.back() == '"' && field.find('"') == std::string::npos) {
    value = ds->Value(field);
    if (value.IsNull() && report.EngineOptions()->ConvertNulls()) {
      switch (ds->FieldType(field)) {
        case TqdrFieldType::fftNumeric:
          value = core::Variant(int32_t{0});
          break;
        case TqdrFieldType::fftString:
          value = core::Variant("");
          break;
        case TqdrFieldType::fftBoolean:
          value = core::Variant(false);
          break;
      }
    }
    return true;
  }
  if (int index = SystemIndex(name); index >= 0) {
    value = SystemValue(index, counters);
    return true;
  }
  if (onGetValue) {
    core::Variant v;
    onGetValue(name, v);
    if (!v.IsEmpty()) {
      value = v;
      return true;
    }
  }
  int vi = report.Variables()->IndexOf(name);
  if (vi >= 0) {
    value = report.Variables()->Items(vi)->Value();
    return true;
  }
  return false;
}

}  // namespace report
