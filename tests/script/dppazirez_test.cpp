// The D++Azirez grammar: programs compiled from text and run, compile errors
// with their message and position, and the report's expression function
// written in this language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "language_fixture.h"
#include "script/classes_module.h"
#include "script/dialogs_module.h"
#include "script/proc_variable.h"
#include "script/script.h"
#include "script/system_module.h"
#include "script/type_kind.h"

namespace {

class DppAzirez : public sqtest::LanguageFixture {
 protected:
  void SetUp() override { SetUpLanguage("D++Azirez"); }
};

using sqtest::ProgramCase;

class DppPrograms : public DppAzirez, public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(DppPrograms, RunAndLog) {
  EXPECT_EQ(Run(GetParam().text), GetParam().log);
}

const ProgramCase kPrograms[] = {
    // Program shape: declarations, then one brace block.
    {"DeclarationsThenMainBlock", "int i; { i = 5; Log(i); }", "5"},
    {"EmptyMainBlock", "{}", ""},
    {"EmptyStatements", "{ ; Log(1); ;; }", "1"},
    {"VariablesAmongStatements", "{ Log(1); int k = 4; Log(k); }", "1 4"},
    {"InitialiserPerName", "int a = 1, b, c = 3; { Log(a); Log(b); Log(c); }", "1 0 3"},
    {"ArrayPerName", "int a[3], b; { a[2] = 7; b = 1; Log(a[2] + b); }", "8"},
    {"TwoDimensionalArrays",
     "int a[3], b[2][3], c[2, 2]; { int i; for (i = 0; i < 3; i++) a[i] = i * i; "
     "b[1][2] = 7; c[1, 1] = 9; Log(a[2]); Log(b[1, 2]); Log(c[1][1]); }",
     "4 7 9"},
    {"Defines", "#define MAX 10\n#define NAME \"x\"\n{ Log(MAX * 2); Log(NAME); }", "20 x"},
    // Statements.
    {"IfElse", "{ int a = 2; if (a > 1) Log(\"big\"); else Log(\"small\"); }", "big"},
    {"ElseBindsInner", "{ if (true) if (false) Log(1); else Log(2); }", "2"},
    {"While", "{ int i = 0; while (i < 3) { i++; Log(i); } }", "1 2 3"},
    {"DoWhileFalseRunsOnce", "{ do Log(\"x\"); while (false); }", "x"},
    {"DoWhileLoopsWhileTrue", "{ int i = 0; do { i += 2; } while (i < 5); Log(i); }", "6"},
    {"CFor", "{ for (int i = 0; i < 3; i++) Log(i); }", "0 1 2"},
    {"CForCommaLists", "{ int i, j; for (i = 0, j = 10; i < 3; i++, j -= 2) Log(i + j); }",
     "10 9 8"},
    {"CForEmptyParts", "{ int i = 0; for (; i < 2; ) { Log(i); i++; } }", "0 1"},
    {"CForBreakContinue",
     "{ int i; for (i = 1; i < 10; i++) { if (i == 3) continue; if (i == 5) break; Log(i); } "
     "Log(i); }",
     "1 2 4 5"},
    {"SwitchSetsAndRanges",
     "{ switch (5) { case 1..4: Log(\"a\"); case 5, 6: Log(\"b\"); default: Log(\"c\"); } }", "b"},
    {"SwitchDefault", "{ switch (9) { case 1: Log(1); default: { Log(\"d\"); Log(\"e\"); } } }",
     "d e"},
    {"SwitchStrings",
     "{ String s = \"y\"; switch (s) { case \"x\": Log(1); case \"y\": Log(2); } }", "2"},
    {"CompoundAssignments",
     "{ float x = 1; x += 2; Log(x); x -= 1; Log(x); x *= 6; Log(x); x /= 4; Log(x); }",
     "3 2 12 3"},
    {"IncrementDecrement", "{ int x = 5; x++; x++; x--; Log(x); }", "6"},
    {"ExitMainProgram", "{ Log(1); exit; Log(2); }", "1"},
    // Functions and procedures.
    {"Function", "int sq(int x) { return x * x; } { Log(sq(7)); }", "49"},
    {"Recursion",
     "int fib(int n) { if (n < 2) return n; return fib(n - 1) + fib(n - 2); } { Log(fib(15)); }",
     "610"},
    {"VoidCalledBeforeItsDeclaration", "void a() { b(); } void b() { Log(\"b\"); } { a(); }", "b"},
    {"VarParameterWithDefault",
     "int f(int a, int &b = 0) { b = a * 2; return a + b; } "
     "{ int x = 1; Log(f(3, x)); Log(x); Log(f(4)); }",
     "9 6 12"},
    {"ValueParameterIsACopy", "void p(int x) { x = 0; } { int a = 4; p(a); Log(a); }", "4"},
    {"ReturnLeavesTheProcedureOnly",
     "void p(int n) { if (n > 0) return; Log(\"zero\"); } { p(1); p(0); Log(\"end\"); }",
     "zero end"},
    {"LocalInitialiserRunsOnEveryCall",
     "int next() { int n = 0; n++; return n; } { Log(next()); Log(next()); }", "1 1"},
    {"LocalsShadowGlobals", "int x; void p() { int x = 5; Log(x); } { x = 1; p(); Log(x); }",
     "5 1"},
    {"FunctionsSeeGlobals", "int g; void inc() { g += 1; } { inc(); inc(); Log(g); }", "2"},
    {"UntypedFunctionResult", "Variant v() { return \"t\"; } { Log(v() + \"!\"); }", "t!"},
    // Exceptions.
    {"ExceptCatchesDivisionByZero",
     "{ int a, b = 0; try { a = 1 div b; Log(\"no\"); } except { Log(ExceptionMessage); } "
     "Log(\"on\"); }",
     "Division by zero on"},
    {"ExceptSeesRaisedErrors",
     "{ try { RaiseException(\"boom\"); } except { Log(ExceptionMessage); } }", "boom"},
    {"FinallyRunsOnReturn",
     "void p() { try { Log(\"a\"); return; Log(\"b\"); } finally { Log(\"f\"); } Log(\"after\"); } "
     "{ p(); Log(\"main\"); }",
     "a f main"},
    {"NestedTry",
     "{ try { try { RaiseException(\"x\"); } finally { Log(\"f\"); } } except "
     "{ Log(\"e \" + ExceptionMessage); } }",
     "f e x"},
    // Operators in their C spellings, with the shared priorities.
    {"Operators",
     "{ Log(7 % 3); Log(1 << 4); Log(256 >> 2); Log(6 ^ 3); Log(6 && 3); Log(5 || 2); "
     "Log(7 div 2); }",
     "1 16 64 5 2 7 3"},
    {"Comparisons",
     "{ Log(1 == 1); Log(1 != 1); Log(2 >= 3); Log(2 <= 3); Log(!(1 == 2)); Log(3 in [1..4]); }",
     "True False False True True True"},
    {"LogicalOperatorsBindLikeArithmetic", "{ Log(2 == 1 || 1); Log((2 == 1) || (1 == 1)); }",
     "False True"},
    {"UnaryMinusAndHex", "{ Log(-0x10 + 1); }", "-15"},
    // Lexical points.
    {"Comments", "/* head */ { // line\n Log(1); /* two\nlines */ Log(2); }", "1 2"},
    {"StringEscapesAndPieces",
     "{ Log(\"a\\\"b\"); Log(\"\\x41\\t\"); Log(\"ab\"\"cd\"); Log(\"it's\"); Log(\"x\"#65); }",
     "a\"b At abcd it's xA"},
    {"KeywordsAreLowerCaseOnly", "{ int If = 3, WHILE = 4; Log(If + WHILE); }", "7"},
    {"NamesAreCaseInsensitive", "int Count; { count = 2; Log(COUNT); }", "2"},
    // Objects, address-of and report references.
    {"NewAndDelete",
     "{ TStringList l = new TStringList; l.Add(\"a\"); l.Add(\"b\"); Log(l.Count); delete l; }",
     "2"},
    {"AddressOfNamesTheProcedure", "void handler() { } { Log(&handler); }", "handler"},
    {"ReportReference", "{ int a = 2; if (a < 3) Log(<Band.Memo>); }", "got Band.Memo"},
};

INSTANTIATE_TEST_SUITE_P(DppAzirez, DppPrograms, ::testing::ValuesIn(kPrograms),
                         [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
  const char* name;
  const char* text;
  const char* error;  // "line:column message"
};

class DppErrors : public DppAzirez, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(DppErrors, MessageAndPosition) {
  EXPECT_EQ(CompileError(GetParam().text), GetParam().error);
}

const ErrorCase kErrors[] = {
    {"StatementsNeedTheMainBlock", "i = 5;", "1:1 '{' expected"},
    {"MissingSemicolon", "{ int a;\n  a = 1 a = 2; }", "2:9 ';' expected"},
    {"MissingClosingBrace", "{ Log(1);", "1:10 '}' expected"},
    {"UpperCaseKeywordIsAName", "{ int a; IF (a) Log(1); }", "1:17 ';' expected"},
    {"MissingParenthesis", "{ if 1) Log(1); }", "1:6 '(' expected"},
    {"MissingCloseParenthesis", "{ while (1 Log(1); }", "1:12 ')' expected"},
    {"MissingWhile", "{ do Log(1); }", "1:14 'WHILE' expected"},
    {"MissingTryHandler", "{ try { Log(1); } }", "1:19 'FINALLY' or 'EXCEPT' expected"},
    {"MissingCaseColon", "{ switch (1) { case 1 Log(1); } }", "1:23 ':' expected"},
    {"SwitchNeedsBrace", "{ switch (1) case 1: Log(1); }", "1:14 '{' expected"},
    {"HashWithoutDefine", "#definit X 1\n{ }", "1:2 'DEFINE' expected"},
    {"DefineWithoutName", "#define 1\n{ }", "1:9 Identifier expected"},
    {"ParameterWithoutName", "int f(int) { return 1; } { }", "1:10 Identifier expected"},
    {"MissingExpression", "{ int a; a = ; }", "1:14 Expression expected"},
    {"SingleEqualsIsNoComparison", "{ int a; if (a = 1) Log(1); }", "1:16 ')' expected"},
    {"UnterminatedString", "{ Log(\"abc); }", "1:7 ')' expected"},
    {"UnterminatedComment", "{ /* never closed }", "1:20 '}' expected"},
    {"Undeclared", "{ x = 1; }", "1:4 Undeclared identifier: 'x'"},
    {"UnknownType", "Whatever w; { }", "1:9 Unknown type: 'Whatever'"},
    {"Redeclared", "void p() { } void p() { } { }", "1:20 Identifier redeclared: 'p'"},
    {"DefineIsReadOnly", "#define N 1\n{ N = 2; }", "2:3 Left side cannot be assigned to"},
    {"IncompatibleInitialiser", "int i = \"a\"; { }", "1:9 Incompatible types"},
    {"NewNeedsAClass", "{ int i; Variant v = new i; }", "1:27 Class type required"},
};

INSTANTIATE_TEST_SUITE_P(DppAzirez, DppErrors, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DppAzirez, TypeAliasesGiveEngineKinds) {
  ASSERT_EQ(Run("int i; long l; float f = 1.5; bool b; String s; { Log(f * 2); Log(b); }"),
            "3 False");
  EXPECT_EQ(script_.Find("i")->Typ(), sq::stInt);
  EXPECT_EQ(script_.Find("l")->Typ(), sq::stInt);
  EXPECT_EQ(script_.Find("f")->Typ(), sq::stFloat);
  EXPECT_EQ(script_.Find("b")->Typ(), sq::stBool);
  EXPECT_EQ(script_.Find("s")->Typ(), sq::stString);
}

TEST_F(DppAzirez, VoidMakesAProcedureAndOtherTypesFunctions) {
  ASSERT_EQ(Run("void p() { } int f(int a, int &b = 0) { return a + b; } { }"), "");
  auto* p = dynamic_cast<sq::TsqProcVariable*>(script_.Find("p"));
  auto* f = dynamic_cast<sq::TsqProcVariable*>(script_.Find("f"));
  ASSERT_TRUE(p && f);
  EXPECT_FALSE(p->IsFunction());
  EXPECT_TRUE(f->IsFunction());
  EXPECT_EQ(f->Typ(), sq::stInt);
  core::Variant args = core::Variant::MakeArray({{0, 1}});
  args.MutableArray().items[0] = core::Variant(int32_t{3});
  args.MutableArray().items[1] = core::Variant(int32_t{4});
  EXPECT_EQ(script_.CallFunction("f", args).ToInt32(), 7);
}

TEST_F(DppAzirez, IncludedUnitsCompileOnce) {
  int loads = 0;
  script_.OnGetUnit = [&](sq::TsqScript&, const std::string& name, std::string& text) {
    ++loads;
    if (name == "lib.dpp") text = "#define K 3\nint triple(int x) { return x * K; } {}";
  };
  EXPECT_EQ(Run("#include \"lib.dpp\", \"lib.dpp\"\n{ Log(triple(2)); }"), "6");
  EXPECT_EQ(loads, 1);
}

TEST_F(DppAzirez, ErrorInsideAnIncludedUnitNamesTheUnit) {
  script_.OnGetUnit = [](sq::TsqScript&, const std::string&, std::string& text) {
    text = "{\n  x = ; }";
  };
  EXPECT_EQ(CompileError("#include \"bad.dpp\"\n{ }"), "2:7 Expression expected");
  EXPECT_EQ(script_.ErrorUnit(), "bad.dpp");
}

TEST_F(DppAzirez, LanguageLineSelectsTheGrammar) {
  script_.SetSyntaxType("VuredeVizivo");
  EXPECT_EQ(Run("#language D++Azirez\r\n{ Log(\"c\"); }"), "c");
}

// The one-function source the report's expression cache writes for an
// expression in this language, compiled and called.
TEST_F(DppAzirez, ReportExpressionFunction) {
  auto source = [](int n, const std::string& expr) {
    return "Variant qr3f" + std::to_string(n) + "() { " + "return " + expr + "; } {}";
  };
  script_.SetExtendedIdentChars(true);
  script_.AddVariable("Value", "Variant", core::Variant(int32_t{4}));
  const core::Variant none;

  script_.SetText(source(0, "1 + 2 * Value"));
  ASSERT_TRUE(script_.Compile()) << script_.ErrorPos() << " " << script_.ErrorMsg();
  EXPECT_EQ(script_.CallFunction("qr3f0", none).ToInt32(), 9);

  script_.SetText(source(1, "<DS.\"F\"> + \"!\""));
  ASSERT_TRUE(script_.Compile()) << script_.ErrorPos() << " " << script_.ErrorMsg();
  EXPECT_EQ(script_.CallFunction("qr3f1", none).ToString(), "got DS.\"F\"!");

  // National names, as report objects may have them.
  script_.AddVariable("\xca\xfd\xc1\xbf", "Integer", core::Variant(int32_t{6}));
  script_.SetText(source(2, "\xca\xfd\xc1\xbf * 2"));
  ASSERT_TRUE(script_.Compile()) << script_.ErrorPos() << " " << script_.ErrorMsg();
  EXPECT_EQ(script_.CallFunction("qr3f2", none).ToInt32(), 12);

  // A dangling operator ends the expression before it.
  script_.SetText(source(3, "1 +"));
  EXPECT_FALSE(script_.Compile());
  EXPECT_EQ(script_.ErrorPos() + " " + script_.ErrorMsg(), "1:28 ';' expected");
}

}  // namespace
