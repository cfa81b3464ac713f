// The fast value lookup of report expressions, tried before anything is
// compiled: Alias."Field", the eight system variables, the application's
// values, then report variables. (Script variables and compiled expressions
// come after it and are the expression context's part.)
#pragma once

#include <functional>
#include <string>

#include "core/variant.h"

namespace report {

class TqdrReport;

// Counters of the run that the system variables read (the band engine keeps them).
struct TqdrRunCounters {
  double startDate = 0, startTime = 0;
  int currentPage = 0;      // zero-based, across the whole prepared output
  int firstReportPage = 0;  // first page of this report in the output
  int totalPages = 0;
  int currentLine = 0, currentLineThrough = 0;
};

// Application values: name in, value out; a value left empty supplies nothing.
using TqdrGetValueFunction = std::function<void(const std::string& name, core::Variant& value)>;

// "Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#".
bool IsSystemVariable(const std::string& name);

// The first rule that applies wins; false when none does.
bool LookupValue(const TqdrReport& report, const TqdrRunCounters& counters,
                 const TqdrGetValueFunction& onGetValue, const std::string& name,
                 core::Variant& value);

}  // namespace report
