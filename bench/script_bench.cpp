// Script engine speed: recursive fib(27), a string-building loop and a loop
// of built-in calls, each in VuredeVizivo and in Lua 5.4 in the same run; and
// the compile time of a 1,000-line program.
#include <benchmark/benchmark.h>

#include <string>

#include "script/script.h"
#include "script/system_module.h"

#ifdef SURVEY_HAVE_LUA
extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}
#endif

namespace {

const char kFib[] =
    "var R: Variant;\r\n"
    "function Fib(n: Integer): Integer;\r\n"
    "begin\r\n"
    "  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2)\r\n"
    "end;\r\n"
    "begin R := Fib(27) end.";

const char kStrings[] =
    "var R: Variant; s: String; i: Integer;\r\n"
    "begin s := ''; for i := 1 to 20000 do s := s + 'x'; R := Length(s) end.";

const char kBuiltins[] =
    "var R: Variant; n, i: Integer;\r\n"
    "begin n := 0; for i := 1 to 20000 do n := n + Length(IntToStr(i)) + Round(Sqrt(i)); "
    "R := n end.";

void RunVuredeVizivo(benchmark::State& state, const char* program, const char* expected) {
  sq::RegisterSystemModule();
  sq::TsqScript script;
  script.AddRTTI();
  script.SetText(program);
  if (!script.Compile()) {
    state.SkipWithError(script.ErrorMsg().c_str());
    return;
  }
  for (auto _ : state) {
    script.Execute();
    benchmark::DoNotOptimize(script.Find("R")->Value());
  }
  if (script.Find("R")->Value().ToString() != expected) state.SkipWithError("wrong result");
}

void BM_Fib27_VuredeVizivo(benchmark::State& state) {
  RunVuredeVizivo(state, kFib, "196418");
}
void BM_StringBuild_VuredeVizivo(benchmark::State& state) {
  RunVuredeVizivo(state, kStrings, "20000");
}
void BM_Builtins_VuredeVizivo(benchmark::State& state) {
  RunVuredeVizivo(state, kBuiltins, "1974534");
}
BENCHMARK(BM_Fib27_VuredeVizivo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StringBuild_VuredeVizivo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Builtins_VuredeVizivo)->Unit(benchmark::kMillisecond);

#ifdef SURVEY_HAVE_LUA
void RunLua(benchmark::State& state, const char* program, long long expected) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  if (luaL_loadstring(L, program) != LUA_OK) {
    state.SkipWithError(lua_tostring(L, -1));
    lua_close(L);
    return;
  }
  const int chunk = luaL_ref(L, LUA_REGISTRYINDEX);
  long long result = 0;
  for (auto _ : state) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, chunk);
    if (lua_pcall(L, 0, 1, 0) != LUA_OK) {
      state.SkipWithError(lua_tostring(L, -1));
      break;
    }
    result = lua_tointeger(L, -1);
    lua_pop(L, 1);
  }
  if (result != expected) state.SkipWithError("wrong result");
  lua_close(L);
}

void BM_Fib27_Lua(benchmark::State& state) {
  RunLua(state,
         "local function fib(n) if n < 2 then return n else return fib(n - 1) + fib(n - 2) end end "
         "return fib(27)",
         196418);
}
void BM_StringBuild_Lua(benchmark::State& state) {
  RunLua(state, "local s = '' for i = 1, 20000 do s = s .. 'x' end return #s", 20000);
}
void BM_Builtins_Lua(benchmark::State& state) {
  // Round half to even, as the script's Round does.
  RunLua(state,
         "local n = 0 local floor, sqrt = math.floor, math.sqrt "
         "for i = 1, 20000 do local r = sqrt(i) local f = floor(r) local d = r - f "
         "if d > 0.5 or (d == 0.5 and f % 2 == 1) then f = f + 1 end "
         "n = n + #tostring(i) + f end return n",
         1974534);
}
BENCHMARK(BM_Fib27_Lua)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StringBuild_Lua)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Builtins_Lua)->Unit(benchmark::kMillisecond);
#endif

// A 1,000-line program: routines, declarations and every statement kind.
std::string ThousandLines() {
  std::string s = "var total: Integer; s: String;\r\n";
  int lines = 1;
  int k = 0;
  while (lines < 990) {
    const std::string n = std::to_string(k++);
    s += "procedure P" + n + "(var a: Integer; b: Integer = 2);\r\n"
         "var i: Integer;\r\n"
         "begin\r\n"
         "  for i := 1 to b do a := a + i * 2 - (i div 3);\r\n"
         "  if (a > 10) and (a < 1000) then a := a - 1 else a := a + 1;\r\n"
         "  case a mod 4 of 0: a := a + 1; 1, 2: a := a + 2 else a := a + 3 end;\r\n"
         "  while a > 100 do a := a div 2;\r\n"
         "  try s := Copy('abcdef', 2, 3) + IntToStr(a) except s := ExceptionMessage end\r\n"
         "end;\r\n";
    lines += 9;
  }
  s += "begin\r\n  total := 0;\r\n";
  for (int i = 0; i < k; i += 7) s += "  P" + std::to_string(i) + "(total);\r\n";
  s += "end.";
  return s;
}

void BM_Compile1000Lines(benchmark::State& state) {
  sq::RegisterSystemModule();
  const std::string text = ThousandLines();
  sq::TsqScript script;
  script.AddRTTI();
  for (auto _ : state) {
    script.Clear();
    script.SetText(text);
    if (!script.Compile()) {
      state.SkipWithError((script.ErrorPos() + " " + script.ErrorMsg()).c_str());
      break;
    }
  }
  state.counters["lines"] = static_cast<double>(script.Lines().size());
}
BENCHMARK(BM_Compile1000Lines)->Unit(benchmark::kMillisecond);

}  // namespace
