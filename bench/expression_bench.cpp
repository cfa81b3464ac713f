// Script expressions on the paths a report takes per record: integer
// arithmetic on typed variables (the fast path), the same on Variants
// (variant arithmetic), a direct variable read, a string comparison, a host
// property read and a short-circuit Boolean.
#include <benchmark/benchmark.h>

#include <memory>

#include "script/class_variable.h"
#include "script/designator.h"
#include "script/expression.h"
#include "script/script.h"

namespace {

struct Fixture {
  sq::TsqScript script;
  Fixture() {
    script.AddType("Integer", sq::stInt);
    script.AddType("Boolean", sq::stBool);
    script.AddType("String", sq::stString);
    script.AddType("Variant", sq::stVariant);
    script.AddVariable("i", "Integer", core::Variant(int32_t{7}));
    script.AddVariable("j", "Integer", core::Variant(int32_t{12}));
    script.AddVariable("vi", "Variant", core::Variant(int32_t{7}));
    script.AddVariable("vj", "Variant", core::Variant(int32_t{12}));
    script.AddVariable("s", "String", core::Variant("discharged"));
    script.AddVariable("f", "Boolean", core::Variant(false));
    script.AddVariable("t", "Boolean", core::Variant(true));
    script.AddMethod(
        "function Width: Integer",
        sq::TsqCallMethodEvent([](core::TObject*, const core::ClassInfo*, const std::string&,
                                  core::Variant&) { return core::Variant(int32_t{40}); }));
  }
  void Name(sq::TsqExpression& e, const char* name) {
    e.AddDesignator(sq::CompileNamePath(script, name));
  }
  // a * 3 + b div 2 - 1
  std::unique_ptr<sq::TsqExpression> Arithmetic(const char* a, const char* b) {
    auto e = std::make_unique<sq::TsqExpression>(&script);
    Name(*e, a);
    e->AddOperator("*");
    e->AddOperand(core::Variant(int32_t{3}));
    e->AddOperator("+");
    Name(*e, b);
    e->AddOperator("div");
    e->AddOperand(core::Variant(int32_t{2}));
    e->AddOperator("-");
    e->AddOperand(core::Variant(int32_t{1}));
    e->Finalize();
    return e;
  }
};

void BM_IntegerArithmeticTyped(benchmark::State& state) {
  Fixture f;
  auto e = f.Arithmetic("i", "j");
  for (auto _ : state) benchmark::DoNotOptimize(e->Value());
}
BENCHMARK(BM_IntegerArithmeticTyped);

void BM_IntegerArithmeticVariant(benchmark::State& state) {
  Fixture f;
  auto e = f.Arithmetic("vi", "vj");
  for (auto _ : state) benchmark::DoNotOptimize(e->Value());
}
BENCHMARK(BM_IntegerArithmeticVariant);

void BM_VariableRead(benchmark::State& state) {
  Fixture f;
  auto e = std::make_unique<sq::TsqExpression>(&f.script);
  f.Name(*e, "i");
  e->Finalize();
  for (auto _ : state) benchmark::DoNotOptimize(e->Value());
}
BENCHMARK(BM_VariableRead);

void BM_StringCompare(benchmark::State& state) {
  Fixture f;
  auto e = std::make_unique<sq::TsqExpression>(&f.script);
  f.Name(*e, "s");
  e->AddOperator("=");
  e->AddOperand(core::Variant("discharged"));
  e->Finalize();
  for (auto _ : state) benchmark::DoNotOptimize(e->Value());
}
BENCHMARK(BM_StringCompare);

void BM_HostFunctionCall(benchmark::State& state) {
  Fixture f;
  auto e = std::make_unique<sq::TsqExpression>(&f.script);
  f.Name(*e, "Width");
  e->AddOperator("+");
  e->AddOperand(core::Variant(int32_t{1}));
  e->Finalize();
  for (auto _ : state) benchmark::DoNotOptimize(e->Value());
}
BENCHMARK(BM_HostFunctionCall);

void BM_BooleanShortCircuit(benchmark::State& state) {
  Fixture f;
  auto e = std::make_unique<sq::TsqExpression>(&f.script);
  f.Name(*e, "f");
  e->AddOperator("and");
  e->AddOperator("(");
  f.Name(*e, "t");
  e->AddOperator("or");
  f.Name(*e, "f");
  e->AddOperator(")");
  e->Finalize();
  for (auto _ : state) benchmark::DoNotOptimize(e->Value());
}
BENCHMARK(BM_BooleanShortCircuit);

}  // namespace
