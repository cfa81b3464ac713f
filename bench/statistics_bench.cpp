// The clerk's statistics run on a large database: the procedure over 100,000
// admissions, then the main window's grid showing the result, up to the first
// painted frame. Reports the time and the process's resident memory.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>

#include "core/date_time.h"
#include "grid/data_source.h"
#include "grid/db_grid.h"
#include "platform/db/db_query.h"
#include "tools/demo_db/demo_database.h"

namespace {

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4;
}

struct BigDatabase {
  QTemporaryDir dir;
  std::string path;
  BigDatabase() {
    path = dir.filePath("big.db").toStdString();
    tools::BuildDemoDatabaseFromDir(path, std::string(SURVEY_SOURCE_DIR) + "/data", 100000);
  }
};

BigDatabase& Database() {
  static BigDatabase db;
  return db;
}

void BM_StatisticsRunAndFirstPaint(benchmark::State& state) {
  BigDatabase& db = Database();
  platform::DbSession session("His_DB");
  session.SetParam("DATABASE NAME", db.path);
  session.Open();
  long before = ResidentKiB();
  int rows = 0;
  for (auto _ : state) {
    platform::DbQuery query(session);
    // Every admission of the last 18 months: the whole generated table.
    query.AddSql("Exec SP_BA_SYBRDC '-1','','20000101','21000101'");
    query.Open();
    grid::TDataSourceGv source;
    source.SetDataSet(&query);
    grid::TDBGridGv grid;
    grid.resize(1280, 720);
    grid.SetTitleLines(2);
    grid.SetDataSource(&source);
    QImage frame(grid.size(), QImage::Format_ARGB32_Premultiplied);
    grid.render(&frame);
    rows = query.RecordCount();
    state.counters["peak_rss_MiB"] = static_cast<double>(ResidentKiB() - before) / 1024.0;
    grid.SetDataSource(nullptr);
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_StatisticsRunAndFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(3);

// The procedure and the fetch alone, without the grid.
void BM_ProcedureOnly(benchmark::State& state) {
  platform::DbSession session("His_DB");
  session.SetParam("DATABASE NAME", Database().path);
  session.Open();
  for (auto _ : state) {
    platform::DbQuery query(session);
    query.AddSql("Exec SP_BA_SYBRDC '-1','','20000101','21000101'");
    query.Open();
    benchmark::DoNotOptimize(query.RecordCount());
  }
}
BENCHMARK(BM_ProcedureOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

// The result's SELECT alone (no refill of the survey table).
void BM_SelectOnly(benchmark::State& state) {
  platform::DbSession session("His_DB");
  session.SetParam("DATABASE NAME", Database().path);
  session.Open();
  for (auto _ : state) {
    platform::DbQuery query(session);
    query.AddSql("SELECT * FROM BA_BRSY00");
    query.Open();
    benchmark::DoNotOptimize(query.RecordCount());
  }
}
BENCHMARK(BM_SelectOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  core::FormatSettings().ShortDateFormat = "YYYY.MM.DD";
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
