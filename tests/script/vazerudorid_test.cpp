// The VazerUdorid grammar: programs compiled from text and run, compile
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
#include "script/system_module.h"
#include "script/type_kind.h"

namespace {

class VazerUdorid : public sqtest::LanguageFixture {
 protected:
  void SetUp() override { SetUpLanguage("VazerUdorid"); }
};

using sqtest::ProgramCase;

class VazerUdoridPrograms : public VazerUdorid,
                            public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(VazerUdoridPrograms, RunAndLog) {
  EXPECT_EQ(Run(GetParam().text), GetParam().log);
}

const ProgramCase kPrograms[] = {
    // Statement separators, declarations, assignments.
    {"ColonSeparatesStatements", "a = 1 : b = 2\r\nLog(a) : Log(b)", "1 2"},
    {"EmptyLinesAndNoFinalLineEnd", "\r\n\r\na = 1\r\n\r\nLog(a)\r\n\r\n", "1"},
    {"DimWithTypeAndValue", "DIM s AS String = \"x\", n AS Integer = 4\r\nLog(s) : Log(n + 1)",
     "x 5"},
    {"DimArray", "DIM a[3], m[2, 2]\r\na[2] = 5 : m[1, 1] = 7\r\nLog(a[2] + m[1, 1])", "12"},
    {"UndeclaredNameIsVariant", "x = \"1\"\r\nLog(x & 2)", "12"},
    {"SetAssigns", "SET a = 3\r\nLog(a)", "3"},
    {"CompoundAssignments", "a = 10\r\na += 5 : a -= 3 : a *= 2 : a /= 4\r\nLog(a)", "6"},
    {"IncrementDecrement", "a = 1\r\na++\r\na++\r\na--\r\nLog(a)", "2"},
    // Operators.
    {"StrCatAddsNumbers", "Log(1 & 2)", "3"},
    {"IntegerDivisionAndMod", "Log(7 \\ 2) : Log(7 MOD 3) : Log(7 / 2)", "3 1 3.5"},
    {"Comparisons", "Log(1 <> 2) : Log(2 <= 2) : Log(3 >= 4) : Log(1 = 1)", "True True False True"},
    {"Logic", "Log(NOT (1 > 2) AND (2 > 1)) : Log((1 > 2) OR (0 > 1)) : Log(True XOR True)",
     "True False False"},
    {"SetMembership", "Log(3 IN [1, 2..4]) : Log(5 IN [1, 2..4])", "True False"},
    {"HexNumbers", "Log(0x1F + 0x01)", "32"},
    {"UnaryMinus", "a = 5\r\nLog(-a + 2)", "-3"},
    {"ReportReference", "Log(<Table.\"Name\">)", "got Table.\"Name\""},
    // Syntax points.
    {"CaseInsensitive", "dim Count as integer\r\ncount = 3\r\nIF COUNT = 3 then log(\"yes\")",
     "yes"},
    {"QuoteComment", "a = 1 ' a = 2\r\nLog(a)", "1"},
    {"RemComment", "rem a = 2\r\na = 1\r\nLog(a) rem trailing note", "1"},
    {"BlockComment", "a = /\\ 2 /\\ 1\r\nLog(a)", "1"},
    {"RemNeedsAWordEnd", "remainder = 4\r\nLog(remainder)", "4"},
    {"LineContinuation", "a = 1 + _\r\n    2\r\nLog(a)", "3"},
    {"StringEscapesAndPieces",
     "Log(\"a\\\"b\") : Log(\"x\\x41\"\"y\") : Log(Length(\"\\n\")) : Log(\"A\"#66)",
     "a\"b xAy 1 AB"},
    {"DecimalIsExtended", "DIM d AS Decimal = 1.25\r\nLog(d * 2)", "2.5"},
    // If.
    {"OneLineIfRunsAllStatements", "a = 1\r\nIF a > 0 THEN Log(1) : Log(2)\r\nLog(3)", "1 2 3"},
    {"OneLineIfSkipsAllStatements", "a = 0\r\nIF a > 0 THEN Log(1) : Log(2)\r\nLog(3)", "3"},
    {"BlockIfElseIfElse",
     "FOR i = 1 TO 4\r\n"
     "  IF i = 1 THEN\r\n    Log(\"one\")\r\n"
     "  ELSEIF i = 2 THEN\r\n    Log(\"two\")\r\n"
     "  ELSEIF i = 3 THEN\r\n    Log(\"three\")\r\n"
     "  ELSE\r\n    Log(\"many\")\r\n  END IF\r\nNEXT",
     "one two three many"},
    {"BlockIfWithoutElse", "IF 1 > 2 THEN\r\nLog(1)\r\nEND IF\r\nLog(2)", "2"},
    {"EmptyBlockIf", "IF 1 > 0 THEN\r\nEND IF\r\nLog(2)", "2"},
    // Select case.
    {"SelectCase",
     "FOR i = 1 TO 6\r\n"
     "SELECT CASE i\r\n"
     "CASE 1, 2: Log(\"low\")\r\n"
     "CASE 3..4:\r\n  Log(\"mid\")\r\n"
     "CASE ELSE: Log(\"high\")\r\n"
     "END SELECT\r\nNEXT",
     "low low mid mid high high"},
    {"SelectCaseWithoutElse",
     "SELECT CASE \"b\"\r\nCASE \"a\": Log(1)\r\nCASE \"b\": Log(2)\r\nEND SELECT", "2"},
    // Loops.
    {"While", "i = 0\r\nWHILE i < 3\r\n  i = i + 1 : Log(i)\r\nWEND", "1 2 3"},
    {"DoLoopUntil", "i = 0\r\nDO\r\n  i = i + 1\r\nLOOP UNTIL i >= 3\r\nLog(i)", "3"},
    {"DoLoopWhile", "i = 0\r\nDO\r\n  i = i + 1 : Log(i)\r\nLOOP WHILE i < 3", "1 2 3"},
    {"DoLoopRunsOnce", "i = 5\r\nDO\r\n  Log(i)\r\nLOOP WHILE i < 3", "5"},
    {"ForNext", "FOR i = 1 TO 3\r\n  Log(i)\r\nNEXT\r\nLog(i)", "1 2 3 3"},
    {"ForStepDown", "FOR i = 3 TO 1 STEP -1\r\nLog(i)\r\nNEXT", "3 2 1"},
    {"ForFractionalStep", "FOR x = 0 TO 1 STEP 0.5\r\nLog(x)\r\nNEXT", "0 0.5 1"},
    {"ForNoIteration", "FOR i = 3 TO 1\r\nLog(i)\r\nNEXT\r\nLog(\"done\")", "done"},
    {"ForTypedVariable", "DIM k AS Integer\r\nFOR k = 1 TO 2\r\nLog(k)\r\nNEXT", "1 2"},
    {"BreakAndContinue",
     "FOR i = 1 TO 10\r\n"
     "  IF i = 2 THEN CONTINUE\r\n"
     "  IF i = 4 THEN BREAK\r\n"
     "  Log(i)\r\nNEXT",
     "1 3"},
    {"ExitLeavesTheProgram", "Log(1)\r\nEXIT\r\nLog(2)", "1"},
    // Procedures and functions.
    {"SubWithParameters",
     "SUB Show(a, b AS String)\r\n  Log(a & b)\r\nEND SUB\r\nShow(\"1\", \"x\")", "1x"},
    {"FunctionReturns",
     "FUNCTION Twice(n AS Integer) AS Integer\r\n  RETURN n * 2\r\n  Log(\"never\")\r\n"
     "END FUNCTION\r\nLog(Twice(21))",
     "42"},
    {"CallBeforeDeclaration",
     "Log(Sum(2, 3))\r\nFUNCTION Sum(a, b)\r\nRETURN a + b\r\nEND FUNCTION", "5"},
    {"ByRefAndByVal",
     "SUB Bump(BYREF a AS Integer, BYVAL b AS Integer)\r\n  a = a + 1 : b = b + 1\r\nEND SUB\r\n"
     "DIM x AS Integer = 1, y AS Integer = 1\r\nBump(x, y)\r\nLog(x) : Log(y)",
     "2 1"},
    {"DefaultParameter",
     "FUNCTION AddTo(a, b = 10)\r\nRETURN a + b\r\nEND FUNCTION\r\nLog(AddTo(1)) : Log(AddTo(1, "
     "2))",
     "11 3"},
    {"RecursiveFunction",
     "FUNCTION Fact(n)\r\n  IF n <= 1 THEN RETURN 1\r\n  RETURN n * Fact(n - 1)\r\nEND FUNCTION\r\n"
     "Log(Fact(5))",
     "120"},
    {"ExitLeavesOnlyTheSub",
     "SUB P()\r\n  Log(1)\r\n  EXIT\r\n  Log(2)\r\nEND SUB\r\nP()\r\nLog(3)", "1 3"},
    {"ProcedureWithoutParentheses", "SUB Hello\r\nLog(\"hi\")\r\nEND SUB\r\nHello", "hi"},
    // Scoping.
    {"LocalsShadowGlobals",
     "DIM v = \"global\"\r\nSUB P()\r\n  DIM v = \"local\"\r\n  Log(v)\r\nEND SUB\r\nP()\r\nLog(v)",
     "local global"},
    {"GlobalsVisibleInSubs", "g = 1\r\nSUB P()\r\n  g = g + 1\r\nEND SUB\r\nP() : P()\r\nLog(g)",
     "3"},
    {"LocalInitialiserRunsAtEachCall",
     "SUB P()\r\n  DIM n = 1\r\n  n = n + 1 : Log(n)\r\nEND SUB\r\nP() : P()", "2 2"},
    // Exceptions.
    {"TryCatch",
     "TRY\r\n  Log(1)\r\n  RaiseException(\"stop\")\r\n  Log(2)\r\nCATCH\r\n  "
     "Log(ExceptionMessage)\r\n"
     "END TRY\r\nLog(3)",
     "1 stop 3"},
    {"TryFinallyRunsOnExit",
     "SUB P()\r\n  TRY\r\n    EXIT\r\n  FINALLY\r\n    Log(\"cleanup\")\r\n  END TRY\r\n  "
     "Log(\"after\")\r\n"
     "END SUB\r\nP()",
     "cleanup"},
    {"NestedTry",
     "TRY\r\n  TRY\r\n    RaiseException(\"inner\")\r\n  FINALLY\r\n    Log(\"f\")\r\n  END TRY\r\n"
     "CATCH\r\n  Log(ExceptionMessage)\r\nEND TRY",
     "f inner"},
    // Objects.
    {"WithAndNew",
     "DIM sl AS TStringList\r\nsl = NEW TStringList\r\nWITH sl\r\n  Add(\"a\") : Add(\"b\")\r\n  "
     "Log(Count)\r\nEND WITH\r\n"
     "Log(sl.Strings[1])\r\nsl.Free",
     "2 b"},
    {"ObjectMembers",
     "DIM sl AS TStringList\r\nsl = TStringList.Create\r\nsl.Add(\"x\")\r\nLog(sl.Count)\r\n"
     "DELETE sl",
     "1"},
    {"LanguageLine", "#language VazerUdorid\r\nLog(1)", "1"},
};

INSTANTIATE_TEST_SUITE_P(VazerUdorid, VazerUdoridPrograms, ::testing::ValuesIn(kPrograms),
                         [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
  const char* name;
  const char* text;
  const char* error;  // line:column and message
};

class VazerUdoridErrors : public VazerUdorid, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(VazerUdoridErrors, MessageAndPosition) {
  EXPECT_EQ(CompileError(GetParam().text), GetParam().error);
}

const ErrorCase kErrors[] = {
    {"OneLineIfHasNoElse", "IF a THEN b = 1 ELSE c = 2", "1:17 End of line expected"},
    {"NextStandsAlone", "FOR i = 1 TO 3\r\nLog(i)\r\nNEXT i", "3:6 End of line expected"},
    {"TwoStatementsOnALine", "a = 1 b = 2", "1:7 End of line expected"},
    {"MissingExpression", "a = ", "1:5 Expression expected"},
    {"MissingBracket", "a = (1 + 2", "1:11 ')' expected"},
    {"MissingThen", "IF a b = 1", "1:6 'THEN' expected"},
    {"MissingEndIf", "IF a THEN\r\nLog(1)\r\nEND", "3:4 'IF' expected"},
    {"MissingEnd", "IF a THEN\r\nLog(1)\r\nWEND", "3:1 'END' expected"},
    {"MissingWend", "WHILE a\r\nLog(1)\r\nNEXT", "3:1 'WEND' expected"},
    {"MissingNext", "FOR i = 1 TO 2\r\nLog(i)\r\nWEND", "3:1 'NEXT' expected"},
    {"MissingTo", "FOR i = 1 2", "1:11 'TO' expected"},
    {"MissingEquals", "FOR i 1 TO 2", "1:7 '=' expected"},
    {"MissingCase", "SELECT a", "1:8 'CASE' expected"},
    {"MissingColonAfterCase", "SELECT CASE a\r\nCASE 1 Log(1)\r\nEND SELECT", "2:8 ':' expected"},
    {"MissingCaseElse", "SELECT CASE a\r\nCASE 1: Log(1)\r\nCASE\r\nEND SELECT",
     "3:5 'ELSE' expected"},
    {"MissingSelect", "SELECT CASE a\r\nCASE 1: Log(1)\r\nEND", "3:4 'SELECT' expected"},
    {"MissingWhileAfterLoop", "DO\r\nLog(1)\r\nLOOP i", "3:6 'WHILE' expected"},
    {"MissingHandler", "TRY\r\nLog(1)\r\nEND TRY", "3:1 'FINALLY' or 'CATCH' expected"},
    {"MissingTry", "TRY\r\nLog(1)\r\nCATCH\r\nEND", "4:4 'TRY' expected"},
    {"MissingEndWith", "WITH a\r\nLog(1)\r\nEND", "3:4 'WITH' expected"},
    {"MissingEndSub", "SUB P\r\nLog(1)\r\nEND", "3:4 'SUB' expected"},
    {"MissingEndFunction", "FUNCTION F\r\nLog(1)\r\nEND SUB", "3:5 'FUNCTION' expected"},
    {"MissingSubName", "SUB\r\nEND SUB", "1:4 Identifier expected"},
    {"MissingIndexBracket", "DIM a[2\r\n", "1:8 ']' expected"},
    {"MissingParameterBracket", "SUB P(a, b\r\nEND SUB", "1:11 ')' expected"},
    {"MissingReferenceEnd", "Log(<abc", "2:1 '>' expected"},
    {"KeywordIsNoName", "DIM next", "1:5 Identifier expected"},
    {"UpperCaseRemIsNoComment", "REM note", "1:1 End of line expected"},
    {"StringLiteralFirstRefusesStrCat", "Log(\"1\" & 2)", "1:10 Incompatible types"},
    {"UnknownType", "DIM a AS Foo", "1:13 Unknown type: 'Foo'"},
    {"ForVariableMustBeNumeric", "DIM s AS String\r\nFOR s = 1 TO 2\r\nNEXT",
     "2:6 For loop variable must be numeric variable"},
    {"Redeclared", "DIM a\r\nDIM a", "2:6 Identifier redeclared: 'a'"},
};

INSTANTIATE_TEST_SUITE_P(VazerUdorid, VazerUdoridErrors, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VazerUdorid, EachNameTakesOnlyItsOwnAsClause) {
  ASSERT_EQ(Run("DIM a, b AS Integer"), "");
  EXPECT_EQ(script_.Find("a")->Typ(), sq::stVariant);
  EXPECT_TRUE(script_.Find("a")->Value().IsNull());
  EXPECT_EQ(script_.Find("b")->Typ(), sq::stInt);
  EXPECT_EQ(script_.Find("b")->Value().ToInt32(), 0);
}

TEST_F(VazerUdorid, ErrorsRaisedAtRunTimeLeaveTheScript) {
  EXPECT_EQ(Run("Log(1)\r\nRaiseException(\"boom\")\r\nLog(2)"), "error: boom");
}

TEST_F(VazerUdorid, ImportsCompileTheUnitOnce) {
  int loads = 0;
  script_.OnGetUnit = [&](sq::TsqScript&, const std::string& name, std::string& text) {
    ++loads;
    if (name == "lib.vb") text = "K = 3\r\nFUNCTION Triple(x)\r\nRETURN x * K\r\nEND FUNCTION";
  };
  EXPECT_EQ(Run("IMPORTS \"lib.vb\", \"lib.vb\"\r\nLog(Triple(2))"), "6");
  EXPECT_EQ(loads, 1);
}

TEST_F(VazerUdorid, UnitWithBareLineFeeds) {
  script_.OnGetUnit = [](sq::TsqScript&, const std::string&, std::string& text) {
    text = "SUB Hello(n)\n  Log(\"hi \" & n)\nEND SUB\nHello(1)\nx = \n";
  };
  EXPECT_EQ(CompileError("IMPORTS \"unix.vb\"\r\nHello(2)"), "5:5 Expression expected");
  script_.OnGetUnit = [](sq::TsqScript&, const std::string&, std::string& text) {
    text = "SUB Hello(n)\n  Log(\"hi \" & n)\nEND SUB\nHello(1)\n";
  };
  EXPECT_EQ(Run("IMPORTS \"unix.vb\"\r\nHello(2)"), "hi 1 hi 2");
}

TEST_F(VazerUdorid, ErrorInsideAUnitNamesTheUnit) {
  script_.OnGetUnit = [](sq::TsqScript&, const std::string&, std::string& text) {
    text = "a = 1\r\nb = ";
  };
  EXPECT_EQ(CompileError("IMPORTS \"bad.vb\"\r\nLog(1)"), "2:5 Expression expected");
  EXPECT_EQ(script_.ErrorUnit(), "bad.vb");
}

TEST_F(VazerUdorid, LanguageLineOverridesSyntaxType) {
  script_.SetSyntaxType("VuredeVizivo");
  EXPECT_EQ(Run("#language VazerUdorid\r\nIF 1 < 2 THEN Log(\"vb\")"), "vb");
}

// The report compiles each expression into a one-function program of its
// script language and calls the function.
TEST_F(VazerUdorid, ExpressionFunctionCompilesAndIsCalled) {
  script_.AddVariable("x", "Integer", core::Variant(int32_t{4}));
  script_.SetText("function qr3f0\r\nreturn x * 2 + 1\r\nend function");
  ASSERT_TRUE(script_.Compile()) << script_.ErrorPos() << " " << script_.ErrorMsg();
  auto* f = dynamic_cast<sq::TsqProcVariable*>(script_.FindLocal("qr3f0"));
  ASSERT_NE(f, nullptr);
  core::Variant none = core::Variant::MakeArray({{0, -1}});
  EXPECT_EQ(script_.CallFunction("qr3f0", none).ToString(), "9");
  script_.Find("x")->SetValue(core::Variant(int32_t{10}));
  EXPECT_EQ(script_.CallFunction("qr3f0", none).ToString(), "21");
}

}  // namespace
