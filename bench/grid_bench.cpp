// Data grid over a generated 100,000 x 39 result set: binding plus the first
// paint (rendered offscreen into an image), and the memory the grid adds on
// top of the result set. Goal: under 1 s and under 200 MB.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTableView>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "core/date_time.h"
#include "core/variant.h"
#include "grid/db_grid.h"
#include "platform/db/result_set.h"

namespace {

constexpr int kRows = 100000;
constexpr int kFields = 39;

QApplication& App() {
  static int argc = 1;
  static char name[] = "grid_bench";
  static char* argv[] = {name, nullptr};
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication app(argc, argv);
  return app;
}

double ResidentMb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

// Field kinds cycle like the survey result: codes and names, counts, amounts, dates.
platform::DbResultSet& Data() {
  static platform::DbResultSet data = [] {
    std::vector<platform::FieldDef> fields;
    for (int f = 0; f < kFields; ++f) {
      platform::FieldKind kind = f % 4 == 0   ? platform::FieldKind::Integer
                                 : f % 4 == 1 ? platform::FieldKind::Float
                                 : f % 4 == 2 ? platform::FieldKind::DateTime
                                              : platform::FieldKind::String;
      fields.push_back(
          {"F" + std::to_string(f), kind, kind == platform::FieldKind::String ? 12 : 0});
    }
    std::vector<core::Variant> cells;
    cells.reserve(static_cast<size_t>(kRows) * kFields);
    const double day = core::EncodeDate(2026, 1, 1);
    for (int r = 0; r < kRows; ++r)
      for (int f = 0; f < kFields; ++f) {
        switch (f % 4) {
          case 0:
            cells.emplace_back(int32_t{r});
            break;
          case 1:
            cells.emplace_back(r * 0.25);
            break;
          case 2:
            cells.push_back(core::Variant::MakeDate(day + r % 365));
            break;
          default:
            cells.emplace_back("病人" + std::to_string(r));
            break;
        }
      }
    return platform::DbResultSet(std::move(fields), std::move(cells));
  }();
  return data;
}

void BM_GridFirstPaint(benchmark::State& state) {
  App();
  const double empty = ResidentMb();
  platform::DbResultSet& data = Data();
  const double withData = ResidentMb();
  QFont titleFont(QString::fromUtf8("宋体"));
  titleFont.setPixelSize(15);
  double added = 0;
  for (auto _ : state) {
    const double before = ResidentMb();
    grid::TDataSourceGv source;
    grid::TDBGridGv grid;
    grid.SetTitleFont(titleFont);
    grid.SetTitleLines(2);
    for (int f = 0; f < kFields; ++f) {
      grid::TColumnGv* c = grid.Columns().Add();
      c->SetFieldName("F" + std::to_string(f));
      c->Title().SetCaption("出院病人字段" + std::to_string(f));
      c->Title().SetAlignment(Qt::AlignCenter);
    }
    grid.SumList().SetActive(true);
    grid.SetDataSource(&source);
    grid.resize(1280, 800);
    source.SetResultSet(&data);
    QImage image(grid.size(), QImage::Format_RGB32);
    grid.render(&image);
    benchmark::DoNotOptimize(image.constBits());
    added = std::max(added, ResidentMb() - before);  // the first pass allocates
    if (grid.View()->model()->rowCount() != kRows) state.SkipWithError("rows missing");
  }
  state.counters["data_MB"] = withData - empty;
  state.counters["grid_added_MB"] = added;
  state.counters["process_MB"] = ResidentMb();
}
BENCHMARK(BM_GridFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

// Moving the record through the grid: a key press walks the data set and repaints.
void BM_GridScrollPage(benchmark::State& state) {
  App();
  grid::TDataSourceGv source;
  grid::TDBGridGv grid;
  grid.SetDataSource(&source);
  grid.resize(1280, 800);
  source.SetResultSet(&Data());
  QImage image(grid.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    grid.KeyDown(Qt::Key_PageDown, Qt::NoModifier);
    grid.render(&image);
  }
}
BENCHMARK(BM_GridScrollPage)->Unit(benchmark::kMillisecond);

}  // namespace
