// Band engine benchmark: the survey print template prepared over a SQLite
// query of N generated records (engine and prepared pages store, no drawing),
// optionally with the store's file cache; then the .qp3 saved and loaded.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "engine/engine.h"
#include "engine/preview_pages.h"
#include "platform/db/db_query.h"
#include "platform/db/db_session.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/db/query_source.h"
#include "report/db_dataset.h"
#include "report/options.h"
#include "report/report.h"

namespace {

void EnsureApp() {
  static QGuiApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char arg0[] = "engine_bench";
    static char* argv[] = {arg0, nullptr};
    return new QGuiApplication(argc, argv);
  }();
  (void)app;
}

const std::string kTemplate = std::string(SURVEY_SOURCE_DIR) + "/data/医院出院病人调查表(病案).qr3";

// The QDDBBRXX fields the template prints.
std::vector<std::string> TemplateFields() {
  std::ifstream in(kTemplate, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string s = text.str();
  std::set<std::string> names;
  const std::regex field("QDDBBRXX\\.&#34;([A-Za-z0-9_]+)&#34;");
  for (auto it = std::sregex_iterator(s.begin(), s.end(), field); it != std::sregex_iterator();
       ++it)
    names.insert((*it)[1].str());
  return {names.begin(), names.end()};
}

// A SQLite file with `rows` survey rows.
struct SurveyDb {
  explicit SurveyDb(int rows) {
    file = dir.filePath("survey.db").toStdString();
    std::ofstream{file};
    session.SetParam("DATABASE NAME", file);
    session.SetParam("SERVER NAME", "");
    session.Open();
    const std::vector<std::string> fields = TemplateFields();
    std::string create = "CREATE TABLE S (", insert = "INSERT INTO S SELECT ", select = "SELECT ";
    for (size_t i = 0; i < fields.size(); ++i) {
      const char* sep = i ? ", " : "";
      create += sep + fields[i] + " VARCHAR(40)";
      insert += sep + std::string("'v' || (value % 97)");
      select += sep + fields[i];
    }
    Exec(create + ")");
    Exec("WITH RECURSIVE n(value) AS (SELECT 1 UNION ALL SELECT value + 1 FROM n WHERE value < " +
         std::to_string(rows) + ") " + insert + " FROM n");
    query.AddSql(select + " FROM S");
  }
  void Exec(const std::string& sql) {
    platform::DbQuery q(session);
    q.AddSql(sql);
    q.ExecSql();
  }
  QTemporaryDir dir;
  std::string file;
  platform::DbSession session{"His_DB"};
  platform::DbQuery query{session};
};

long PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

void PrepareSurvey(benchmark::State& state, bool fileCache) {
  EnsureApp();
  const int rows = static_cast<int>(state.range(0));
  SurveyDb db(rows);
  report::TqdrQuerySource source(db.query);
  report::TqdrDBDataset ds;
  ds.SetName("QDDBBRXX");
  ds.SetDataSet(&source);
  report::TqdrReport rep;
  if (!rep.LoadFromFile(kTemplate)) state.SkipWithError("template");
  rep.SetDataSet(nullptr);
  rep.Datasets()->Clear();
  rep.Datasets()->AddDataSet(&ds);
  if (auto* band = dynamic_cast<report::TqdrBand*>(rep.FindObject("MasterData1")))
    band->SetDataSet(&ds);
  rep.EngineOptions()->SetUseFileCache(fileCache);
  rep.EngineOptions()->SetMaxMemSize(10);
  engine::TqdrPreviewPages pages(&rep);
  engine::TqdrEngine eng(rep, pages);
  int pageCount = 0;
  for (auto _ : state) {
    pages.ClearAll();
    if (!rep.PrepareScript() || !eng.BuildPages()) state.SkipWithError("prepare");
    pageCount = pages.PageCount();
  }
  if (pageCount != rows) state.SkipWithError("one page per record");
  state.counters["pages/s"] = benchmark::Counter(double(pageCount) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate);
  state.counters["peakRSS_MB"] = double(PeakRssMb());

  // Saving and loading the prepared pages.
  const std::string qp3 = db.dir.filePath("survey.qp3").toStdString();
  auto t0 = std::chrono::steady_clock::now();
  pages.SaveToFile(qp3);
  auto t1 = std::chrono::steady_clock::now();
  engine::TqdrPreviewPages loaded(&rep);
  loaded.LoadFromFile(qp3, true);
  auto t2 = std::chrono::steady_clock::now();
  std::ifstream size(qp3, std::ios::binary | std::ios::ate);
  const double mb = double(size.tellg()) / (1024.0 * 1024.0);
  state.counters["qp3_MB"] = mb;
  state.counters["save_MB/s"] = mb / std::chrono::duration<double>(t1 - t0).count();
  state.counters["load_MB/s"] = mb / std::chrono::duration<double>(t2 - t1).count();
  if (loaded.PageCount() != rows) state.SkipWithError("reloaded pages");
}

void BM_PrepareSurvey(benchmark::State& state) {
  PrepareSurvey(state, false);
}
BENCHMARK(BM_PrepareSurvey)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PrepareSurveyFileCache(benchmark::State& state) {
  PrepareSurvey(state, true);
}
BENCHMARK(BM_PrepareSurveyFileCache)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
