// The four script languages side by side on the same engine: recursive
// fib(27) and a loop reading report-object properties (Memo1.Text,
// Engine.CurY), each written in every registered language, in one run.
// build/bin/language_bench
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"
#include "script/script.h"
#include "script/variables.h"

namespace {

struct Program {
  const char* language;
  const char* fib;    // sets R to fib(27)
  const char* reads;  // 100,000 reads of Memo1.Text and Engine.CurY; R = total text length
};

const Program kPrograms[] = {
    {"VuredeVizivo",
     "var R: Integer;\r\n"
     "function Fib(n: Integer): Integer;\r\n"
     "begin\r\n"
     "  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2)\r\n"
     "end;\r\n"
     "begin R := Fib(27) end.",
     "var R, i: Integer; s: String; y: Extended;\r\n"
     "begin\r\n"
     "  R := 0;\r\n"
     "  for i := 1 to 100000 do begin s := Memo1.Text; y := Engine.CurY; R := R + Length(s) end\r\n"
     "end."},
    {"D++Azirez",
     "int R;\r\n"
     "int Fib(int n) { if (n < 2) return n; return Fib(n - 1) + Fib(n - 2); }\r\n"
     "{ R = Fib(27); }",
     "int R, i; String s; float y;\r\n"
     "{ R = 0; for (i = 1; i <= 100000; i++) { s = Memo1.Text; y = Engine.CurY; "
     "R = R + Length(s); } }"},
    {"VazerUdorid",
     "DIM R AS Integer\r\n"
     "FUNCTION Fib(n AS Integer) AS Integer\r\n"
     "  IF n < 2 THEN RETURN n\r\n"
     "  RETURN Fib(n - 1) + Fib(n - 2)\r\n"
     "END FUNCTION\r\n"
     "R = Fib(27)",
     "DIM R AS Integer, i AS Integer, s AS String, y AS Decimal\r\n"
     "R = 0\r\n"
     "FOR i = 1 TO 100000\r\n"
     "  s = Memo1.Text : y = Engine.CurY : R = R + Length(s)\r\n"
     "NEXT"},
    {"JScript",
     "var R;\r\n"
     "function Fib(n) { if (n < 2) return n; return Fib(n - 1) + Fib(n - 2); }\r\n"
     "R = Fib(27);",
     "var R, i, s, y;\r\n"
     "R = 0; for (i = 1; i <= 100000; i++) { s = Memo1.Text; y = Engine.CurY; "
     "R = R + Length(s); }"},
};

void EnsureApp() {
  static QGuiApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "language_bench";
    static char* argv[] = {name, nullptr};
    return new QGuiApplication(argc, argv);
  }();
  (void)app;
}

// Runs `source` as the report's main script; R after the run.
void RunReportScript(benchmark::State& state, const char* language, const char* source,
                     long expected) {
  EnsureApp();
  report::TqdrReport rep;
  auto* page = new report::TqdrReportPage(&rep);
  page->SetParent(&rep);
  page->SetName("Page1");
  auto* band = new report::TqdrMasterData(&rep);
  band->SetParent(page);
  band->SetName("MasterData1");
  auto* memo = new report::TqdrMemoView(&rep);
  memo->SetParent(band);
  memo->SetName("Memo1");
  memo->SetText("abc");
  engine::TqdrPreviewPages pages(&rep);
  engine::TqdrEngine eng(rep, pages);
  rep.SetScriptLanguage(language);
  rep.ScriptText()->SetText(source);
  if (!rep.PrepareScript()) {
    state.SkipWithError(rep.ErrorsText().c_str());
    return;
  }
  long r = 0;
  for (auto _ : state) {
    rep.Script()->Execute();
    r = rep.Script()->FindLocal("R")->Value().ToInt32();
  }
  if (r != expected) state.SkipWithError(("R = " + std::to_string(r)).c_str());
}

void Register() {
  for (const Program& p : kPrograms) {
    benchmark::RegisterBenchmark(
        (std::string("Fib27/") + p.language).c_str(),
        [p](benchmark::State& s) { RunReportScript(s, p.language, p.fib, 196418); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(
        (std::string("PropertyReads/") + p.language).c_str(),
        [p](benchmark::State& s) { RunReportScript(s, p.language, p.reads, 300000); })
        ->Unit(benchmark::kMillisecond);
  }
}

const bool registered = (Register(), true);

}  // namespace
