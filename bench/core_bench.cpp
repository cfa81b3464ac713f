// Variant copies and conversions, float text: paths every report value takes.
#include <benchmark/benchmark.h>

#include "core/float_text.h"
#include "core/variant.h"

static void BM_VariantCopyInteger(benchmark::State& state) {
  core::Variant v(int32_t{42});
  for (auto _ : state) {
    core::Variant c = v;
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_VariantCopyInteger);

static void BM_VariantCopyString(benchmark::State& state) {
  core::Variant v("医院出院病人调查表");
  for (auto _ : state) {
    core::Variant c = v;
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_VariantCopyString);

static void BM_FloatToStr(benchmark::State& state) {
  double d = 3.77953;
  for (auto _ : state) benchmark::DoNotOptimize(core::FloatToStr(d));
}
BENCHMARK(BM_FloatToStr);

static void BM_StringToDouble(benchmark::State& state) {
  core::Variant v("1234.5678");
  for (auto _ : state) benchmark::DoNotOptimize(v.ToDouble());
}
BENCHMARK(BM_StringToDouble);
