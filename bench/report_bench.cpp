// Report text benchmarks: laying out a two-line CJK memo at the reference
// resolution (the advance cache warm, as it is after the first row), memo
// expansion with a format suffix, and the float formatters.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "core/format_float.h"
#include "core/format_printf.h"
#include "report/collections.h"
#include "report/component.h"
#include "report/dataset.h"
#include "report/find_expression.h"
#include "report/memo_format.h"
#include "report/qt_text_measure.h"
#include "report/report.h"
#include "report/text_layout.h"
#include "report/value_lookup.h"

namespace {

void EnsureApp() {
  static QGuiApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "report_bench";
    static char* argv[] = {name, nullptr};
    return new QGuiApplication(argc, argv);
  }();
  (void)app;
}

void BM_LayoutTwoLineCjkMemo(benchmark::State& state) {
  EnsureApp();
  report::TqdrQtTextMeasure measure;
  measure.SetFont("AR PL UMing CN", 9, 0);
  report::TqdrTextLayout layout(&measure);
  layout.SetBounds(100, 40);
  const std::vector<std::string> text = {"患者姓名李\xF0\xA8\x8B\xA2性别女年龄三十五岁"};
  for (auto _ : state) {
    layout.SetLayoutText(text);
    benchmark::DoNotOptimize(layout.Lines().size());
  }
  if (layout.Lines().size() != 2) state.SkipWithError("not two lines");
}
BENCHMARK(BM_LayoutTwoLineCjkMemo);

void BM_ExpandMemoWithFormat(benchmark::State& state) {
  report::TqdrFormat displayFormat;
  const auto calc = [](const std::string&) { return core::Variant(1234.5); };
  for (auto _ : state) {
    std::string out = report::ExpandExpressions(
        "Total: [AMOUNT #n#,##0.00] yuan", "[", "]", [&](const std::string& expr) {
          core::Variant value;
          return report::CalcAndFormat(expr, displayFormat, false, calc, value);
        });
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_ExpandMemoWithFormat);

void BM_FormatFloatPattern(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(core::FormatFloat("#,##0.00", 1234567.891));
}
BENCHMARK(BM_FormatFloatPattern);

void BM_FormatPrintfFloat(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(core::FormatPrintfFloat("%2.2n", 1234567.891));
}
BENCHMARK(BM_FormatPrintfFloat);

// The lookup Calc tries first: a field reference answered without compiling.
void BM_LookupFieldReference(benchmark::State& state) {
  report::TqdrReport rep;
  report::TqdrUserDataSet ds;
  ds.SetName("QDDBBRXX");
  ds.OnGetValue = [](const std::string&, core::Variant& v) { v = core::Variant(42); };
  rep.Datasets()->AddDataSet(&ds);
  report::TqdrRunCounters counters;
  const std::string ref = "QDDBBRXX.\"xm0000\"";
  core::Variant value;
  for (auto _ : state) {
    bool found = report::LookupValue(rep, counters, nullptr, ref, value);
    benchmark::DoNotOptimize(found);
  }
  if (value.ToInt32() != 42) state.SkipWithError("wrong value");
}
BENCHMARK(BM_LookupFieldReference);

// Calc of `expr` over a report with one dataset whose fields all read 42.
void CalcLoop(benchmark::State& state, const std::string& expr, const std::string& expected) {
  report::TqdrReport rep;
  report::TqdrUserDataSet ds;
  ds.SetName("QDDBBRXX");
  ds.OnGetValue = [](const std::string&, core::Variant& v) { v = core::Variant(42); };
  rep.Datasets()->AddDataSet(&ds);
  if (!rep.PrepareScript()) state.SkipWithError("script");
  core::Variant value;
  for (auto _ : state) {
    value = rep.Calc(expr);
    benchmark::DoNotOptimize(value);
  }
  if (value.ToString() != expected) state.SkipWithError("wrong value");
}

void BM_CalcFieldReference(benchmark::State& state) {
  CalcLoop(state, "QDDBBRXX.\"xm0000\"", "42");
}
BENCHMARK(BM_CalcFieldReference);

// Already compiled: the value lookup misses, the cache finds the function and runs it.
void BM_CalcCompiledExpression(benchmark::State& state) {
  CalcLoop(state, "<QDDBBRXX.\"nl0000\"> + 1", "43");
}
BENCHMARK(BM_CalcCompiledExpression);

// IIF evaluates its condition and the chosen branch through Calc again.
void BM_CalcIif(benchmark::State& state) {
  CalcLoop(state, "IIF(<QDDBBRXX.\"nl0000\"> > 40, 'old', 'young')", "old");
}
BENCHMARK(BM_CalcIif);

}  // namespace
