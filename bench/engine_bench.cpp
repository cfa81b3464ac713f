// Band engine benchmark: the survey print template prepared over a SQLite
// query of N generated records (engine and prepared pages store, no drawing),
// optionally with the store's file cache; then the .qp3 saved and loaded.
// BM_PaintSurveyPage draws a prepared page into an image at zoom 1, as the
// preview does for each page it shows (goal: under 10 ms a page).
// Run: ninja -C BUILD engine_bench && BUILD/bin/engine_bench [--benchmark_filter=Paint]
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <chrono>
#include <fstream>

#include "bench/survey_fixture.h"

namespace {

using bench::PeakRssMb;
using bench::SurveyReport;

void PrepareSurvey(benchmark::State& state, bool fileCache) {
  bench::EnsureApp("engine_bench");
  const int rows = static_cast<int>(state.range(0));
  SurveyReport survey(rows, fileCache);
  engine::TqdrPreviewPages& pages = *survey.pages;
  int pageCount = 0;
  for (auto _ : state) {
    if (!survey.Prepare()) state.SkipWithError("prepare");
    pageCount = pages.PageCount();
  }
  if (pageCount != rows) state.SkipWithError("one page per record");
  state.counters["pages/s"] = benchmark::Counter(double(pageCount) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate);
  state.counters["peakRSS_MB"] = double(PeakRssMb());

  // Saving and loading the prepared pages.
  const std::string qp3 = survey.db.dir.filePath("survey.qp3").toStdString();
  auto t0 = std::chrono::steady_clock::now();
  pages.SaveToFile(qp3);
  auto t1 = std::chrono::steady_clock::now();
  engine::TqdrPreviewPages loaded(&survey.rep);
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

// One page drawn per iteration into an image of the page's size at zoom 1
// (96 dpi), white paper first, as the preview's workspace paints it.
// Arg 1: page 1 again and again (the store's page cache holds it);
// Arg 0: the next of 200 pages each time, so that most pages are rebuilt
// from the store (more than its 50 cached pages), as when paging through.
void BM_PaintSurveyPage(benchmark::State& state) {
  bench::EnsureApp("engine_bench");
  const bool samePage = state.range(0) != 0;
  const int rows = samePage ? 20 : 200;
  SurveyReport survey(rows, false);
  if (!survey.Prepare() || survey.pages->PageCount() != rows) {
    state.SkipWithError("prepare");
    return;
  }
  engine::TqdrPreviewPages& pages = *survey.pages;
  int width = 0, height = 0;
  pages.PageSizeAt(0, width, height);
  if (width <= 0 || height <= 0) {
    state.SkipWithError("page size");
    return;
  }
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  int index = 0;
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    pages.DrawPageAt(index, painter, 1, 1, 0, 0, false);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
    if (!samePage) index = (index + 1) % rows;
  }
  // A page that drew nothing would make the figure meaningless.
  int dark = 0;
  for (int y = 0; y < height; y += 2)
    for (int x = 0; x < width; x += 2)
      if (qGray(image.pixel(x, y)) < 128) ++dark;
  if (dark < 1000) state.SkipWithError("the page drew almost nothing");
  state.counters["page_px"] = double(width) * double(height);
  state.counters["pages/s"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PaintSurveyPage)
    ->ArgName("same_page")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

}  // namespace
