// The JScript grammar: programs compiled from text and run, compile
// errors with their message and position, and the report's expression
// function written in this language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "language_fixture.h"
#include "script/classes_module.h"
#include "script/dialogs_module.h"
#include "script/proc_variable.h"
#include "script/script.h"
#include "script/string_list.h"
#include "script/system_module.h"
#include "script/type_kind.h"

namespace {

class JScript : public sqtest::LanguageFixture {
 protected:
  void SetUp() override { SetUpLanguage("JScript"); }
};

using sqtest::ProgramCase;

class JScriptPrograms : public JScript, public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(JScriptPrograms, RunAndLog) {
  EXPECT_EQ(Run(GetParam().text), GetParam().log);
}

const ProgramCase kPrograms[] = {
    // Statements, separators, declarations.
    {"SemicolonsMayBeLeftOut", "a = 1 b = 2\r\nLog(a); Log(b)", "1 2"},
    {"VarWithValues", "var s = \"x\", n = 4;\r\nLog(s); Log(n + 1);", "x 5"},
    {"VarArray", "var a[3], m[2, 2];\r\na[2] = 5; m[1, 1] = 7; Log(a[2] + m[1, 1]);", "12"},
    {"UndeclaredNameIsVariant", "x = \"a\"; Log(x + \"b\");", "ab"},
    {"CompoundAssignments", "a = 10; a += 5; a -= 3; a *= 2; a /= 4; Log(a);", "6"},
    {"IncrementDecrement", "a = 1; a++; a++; a--; Log(a);", "2"},
    {"Blocks", "{ a = 1; { b = 2; } } Log(a + b);", "3"},
    // Operators.
    {"Comparisons", "Log(1 != 2); Log(2 <= 2); Log(3 >= 4); Log(1 == 1); Log(1 < 2); Log(2 > 3);",
     "True True False True True False"},
    {"LogicalOperators", "Log(!(1 > 2) && (2 > 1)); Log((1 > 2) || (0 > 1)); Log(true ^ true);",
     "True False False"},
    {"OrBindsBeforeComparison", "a = 1; Log(a == 1 || 2);", "False"},
    {"ArithmeticOperators", "Log(7 % 3); Log(7 div 2); Log(7 / 2); Log(1 << 3); Log(16 >> 2);",
     "1 3 3.5 8 4"},
    {"SetMembership", "Log(3 in [1, 2..4]); Log(5 in [1, 2..4]);", "True False"},
    {"HexAndUnaryMinus", "a = 0x10; Log(-a + 1);", "-15"},
    {"ReportReference", "Log(<Table.\"Name\">);", "got Table.\"Name\""},
    // Syntax points.
    {"CaseInsensitive", "VAR Count = 3; IF (count == 3) LOG(COUNT);", "3"},
    {"LineComment", "a = 1; // a = 2;\r\nLog(a);", "1"},
    {"BlockComment", "a = /* 2; */ 1; Log(a);", "1"},
    {"MultiLineBlockComment", "a = 1; /* a = 2;\r\n a = 3; */ Log(a);", "1"},
    {"LineEndsAreSpace", "a =\r\n 1\r\n + 2; Log(a);", "3"},
    {"StringEscapesAndPieces",
     "Log(\"a\\\"b\"); Log(\"x\\x41\"\"y\"); Log(Length(\"\\r\\n\")); Log(\"A\"#66);",
     "a\"b xAy 2 AB"},
    // If.
    {"IfElse", "for (i = 1; i <= 3; i++) if (i == 2) Log(\"two\"); else Log(i);", "1 two 3"},
    {"IfBlock", "if (1 < 2) { Log(1); Log(2); } Log(3);", "1 2 3"},
    {"DanglingElseBelongsToTheInnerIf", "if (1 > 0) if (1 > 2) Log(1); else Log(2);", "2"},
    // Switch.
    {"Switch",
     "for (i = 1; i <= 6; i++) switch (i) { case 1, 2: Log(\"low\"); case 3..4: { Log(\"mid\"); } "
     "default: Log(\"high\"); }",
     "low low mid mid high high"},
    {"SwitchWithoutDefault", "switch (\"b\") { case \"a\": Log(1); case \"b\": Log(2); }", "2"},
    // Loops.
    {"While", "i = 0; while (i < 3) { i++; Log(i); }", "1 2 3"},
    {"DoWhile", "i = 0; do { i++; Log(i); } while (i < 3);", "1 2 3"},
    {"DoWhileRunsOnce", "i = 5; do Log(i); while (i < 3);", "5"},
    {"ForLoop", "for (var i = 0; i < 3; i++) Log(i); Log(i);", "0 1 2 3"},
    {"ForWithAssignmentStep", "for (i = 10; i > 0; i = i - 4) Log(i);", "10 6 2"},
    {"ForWithEmptyParts", "i = 0; for (; i < 2; ) { Log(i); i += 1; }", "0 1"},
    {"ForCallStep", "n = 0; for (i = 0; i < 3; Bump()) Log(i); function Bump() { i++; }", "0 1 2"},
    {"BreakAndContinue",
     "for (i = 1; i < 10; i++) { if (i == 2) continue; if (i == 4) break; Log(i); }", "1 3"},
    // Functions.
    {"FunctionReturns", "function Twice(n) { return n * 2; Log(\"never\"); } Log(Twice(21));",
     "42"},
    {"CallBeforeDeclaration", "Log(Sum(2, 3)); function Sum(a, b) { return a + b; }", "5"},
    {"VarParameter",
     "function Copy(a, &b) { b = a; } var x = 1; var y = 0; Copy(5, y); Log(y); Copy(x, x); "
     "Log(x);",
     "5 1"},
    {"ValueParameterIsACopy",
     "function Bump(a) { a++; return a; } var x = 1; Log(Bump(x)); Log(x);", "2 1"},
    {"FunctionWithoutReturnGivesNull", "function F() { } Log(F() == null);", "True"},
    {"Recursion",
     "function Fact(n) { if (n <= 1) return 1; return n * Fact(n - 1); } Log(Fact(5));", "120"},
    {"ReturnAloneLeavesTheFunction", "function P() { Log(1); return; Log(2); } P(); Log(3);",
     "1 3"},
    // Scoping.
    {"LocalsShadowGlobals",
     "var v = \"global\"; function P() { var v = \"local\"; Log(v); } P(); Log(v);",
     "local global"},
    {"GlobalsVisibleInFunctions", "g = 1; function P() { g = g + 1; } P(); P(); Log(g);", "3"},
    {"LocalInitialiserRunsAtEachCall", "function P() { var n = 1; n++; Log(n); } P(); P();", "2 2"},
    // Exceptions.
    {"TryExcept",
     "try { Log(1); RaiseException(\"stop\"); Log(2); } except Log(ExceptionMessage); Log(3);",
     "1 stop 3"},
    {"TryFinallyRunsOnReturn",
     "function P() { try { return; } finally { Log(\"cleanup\"); } Log(\"after\"); } P();",
     "cleanup"},
    {"NestedTry",
     "try { try RaiseException(\"inner\"); finally Log(\"f\"); } except Log(ExceptionMessage);",
     "f inner"},
    // Objects.

    {"LanguageLine", "#language JScript\r\nLog(1);", "1"},
};

INSTANTIATE_TEST_SUITE_P(JScript, JScriptPrograms, ::testing::ValuesIn(kPrograms),
                         [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
  const char* name;
  const char* text;
  const char* error;  // line:column and message
};

class JScriptErrors : public JScript, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(JScriptErrors, MessageAndPosition) {
  EXPECT_EQ(CompileError(GetParam().text), GetParam().error);
}

const ErrorCase kErrors[] = {
    {"MissingExpression", "a = ;", "1:5 Expression expected"},
    {"MissingBracket", "a = (1 + 2;", "1:11 ')' expected"},
    {"MissingIfBracket", "if a) b = 1;", "1:4 '(' expected"},
    {"MissingIfClose", "if (a b = 1;", "1:7 ')' expected"},
    {"MissingBlockEnd", "{ a = 1;\r\n", "2:1 '}' expected"},
    {"MissingFunctionName", "function (a) { }", "1:10 Expression expected"},
    {"MissingSwitchBrace", "switch (a) case 1: b = 1;", "1:12 '{' expected"},
    {"MissingCaseColon", "switch (a) { case 1 b = 1; }", "1:21 ':' expected"},
    {"MissingDoWhile", "do a++; until (a);", "1:9 'WHILE' expected"},
    {"MissingDoWhileSemicolon", "do a++; while (a < 3) b = 1;", "1:23 ';' expected"},
    {"MissingForSemicolon", "for (i = 0 i < 3; i++) a++;", "1:12 ';' expected"},
    {"MissingHandler", "try { a = 1; } b = 2;", "1:16 'FINALLY' or 'EXCEPT' expected"},
    {"MissingIndexBracket", "var a[2;", "1:8 ']' expected"},
    {"MissingReferenceEnd", "Log(<abc", "1:9 '>' expected"},
    {"MissingWithClose", "with (a b = 1;", "1:9 ')' expected"},
    {"StringPlusNumberRefused", "Log(\"1\" + 2);", "1:10 Incompatible types"},
    {"Redeclared", "var a; var a;", "1:13 Identifier redeclared: 'a'"},
};

INSTANTIATE_TEST_SUITE_P(JScript, JScriptErrors, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JScript, FunctionsAndNamesWithoutVarAreVariants) {
  ASSERT_EQ(Run("function F(a, &b) { b = a; } c = 1;"), "");
  EXPECT_EQ(script_.Find("c")->Typ(), sq::stVariant);
  auto* f = dynamic_cast<sq::TsqProcVariable*>(script_.FindLocal("F"));
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Typ(), sq::stVariant);
}

TEST_F(JScript, WithBindsTheObject) {
  sq::TsqStringList list;
  script_.AddObject("List", &list);
  EXPECT_EQ(Run("with (List) { Add(\"a\"); Add(\"b\"); Log(Count) } Log(List.Strings[1]);"), "2 b");
}

// Names are untyped in this language; an object variable typed by the host
// takes the new object and its members.
TEST_F(JScript, NewCreatesAndDeleteFrees) {
  script_.AddVariable("sl", "TStringList", core::Variant(int32_t{0}));
  EXPECT_EQ(Run("sl = new TStringList; sl.Add(\"a\"); sl.Add(\"b\"); Log(sl.Count); "
                "Log(sl.Strings[1]); delete sl;"),
            "2 b");
}

TEST_F(JScript, ImportsCompileTheUnitOnce) {
  int loads = 0;
  script_.OnGetUnit = [&](sq::TsqScript&, const std::string& name, std::string& text) {
    ++loads;
    if (name == "lib.js") text = "K = 3; function Triple(x) { return x * K; }";
  };
  EXPECT_EQ(Run("import \"lib.js\", \"lib.js\"; Log(Triple(2));"), "6");
  EXPECT_EQ(loads, 1);
}

TEST_F(JScript, LanguageLineOverridesSyntaxType) {
  script_.SetSyntaxType("VazerUdorid");
  EXPECT_EQ(Run("#language JScript\r\nif (1 < 2) { Log(\"js\") }"), "js");
}

// The report compiles each expression into a one-function program of its
// script language and calls the function.
TEST_F(JScript, ExpressionFunctionCompilesAndIsCalled) {
  script_.AddVariable("x", "Integer", core::Variant(int32_t{4}));
  script_.SetText("function qr3f0() { return x * 2 + 1; }");
  ASSERT_TRUE(script_.Compile()) << script_.ErrorPos() << " " << script_.ErrorMsg();
  ASSERT_NE(dynamic_cast<sq::TsqProcVariable*>(script_.FindLocal("qr3f0")), nullptr);
  core::Variant none = core::Variant::MakeArray({{0, -1}});
  EXPECT_EQ(script_.CallFunction("qr3f0", none).ToString(), "9");
  script_.Find("x")->SetValue(core::Variant(int32_t{10}));
  EXPECT_EQ(script_.CallFunction("qr3f0", none).ToString(), "21");
}

}  // namespace
