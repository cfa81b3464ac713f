// The VuredeVizivo compiler and statement execution: programs compiled from
// text and run, compile errors with their message and position.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/error.h"
#include "script/helpers.h"
#include "script/il_parser.h"
#include "script/script.h"
#include "test_support.h"

namespace {

// A script with the standard types and a Log procedure collecting values.
class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    sqtest::AddStandardTypes(script_);
    script_.AddConst("True", "Boolean", core::Variant(true));
    script_.AddConst("False", "Boolean", core::Variant(false));
    script_.AddVariable("ExceptionClassName", "String", core::Variant(std::string()));
    script_.AddVariable("ExceptionMessage", "String", core::Variant(std::string()));
    script_.AddMethod("procedure Log(v: Variant)",
                      [this](core::TObject*, const core::ClassInfo*, const std::string&,
                             core::Variant& args) {
                        log_.push_back(args.RawArray().items[0].ToString());
                        return core::Variant();
                      });
    script_.AddMethod("function Get(s: String): Variant",
                      [](core::TObject*, const core::ClassInfo*, const std::string&,
                         core::Variant& args) {
                        return core::Variant("got " + args.RawArray().items[0].ToString());
                      });
    script_.AddMethod("procedure Fail(s: String)",
                      [](core::TObject*, const core::ClassInfo*, const std::string&,
                         core::Variant& args) -> core::Variant {
                        throw core::Error(args.RawArray().items[0].ToString());
                      });
  }

  // Compiles and runs; returns the log joined with spaces.
  std::string Run(const std::string& text) {
    script_.SetText(text);
    if (!script_.Compile()) return "compile error " + script_.ErrorPos() + ": " + script_.ErrorMsg();
    log_.clear();
    script_.Execute();
    std::string out;
    for (const auto& s : log_) out += (out.empty() ? "" : " ") + s;
    return out;
  }

  std::string CompileError(const std::string& text) {
    script_.SetText(text);
    if (script_.Compile()) return "compiled";
    return script_.ErrorPos() + " " + script_.ErrorMsg();
  }

  sq::TsqScript script_;
  std::vector<std::string> log_;
};

struct ProgramCase {
  const char* name;
  const char* text;
  const char* log;
};

class Programs : public Program, public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(Programs, RunAndLog) {
  EXPECT_EQ(Run(GetParam().text), GetParam().log);
}

const ProgramCase kPrograms[] = {
    {"ForUp", "var i: Integer; begin for i := 1 to 3 do Log(i) end.", "1 2 3"},
    {"ForEmptyLeavesVariable", "var i: Integer; begin i := 7; for i := 1 to 0 do Log(i); Log(i) end.",
     "7"},
    {"ForDownLeavesLast", "var i: Integer; begin for i := 3 downto 1 do Log(i); Log(i) end.",
     "3 2 1 1"},
    {"ForBreak", "var i: Integer; begin for i := 1 to 10 do begin if i = 3 then break; end; Log(i) end.",
     "3"},
    {"ForContinueRunsAll",
     "var i, n: Integer; begin n := 0; for i := 1 to 10 do begin n := n + 1; continue; Log(i) end; "
     "Log(n) end.",
     "10"},
    {"ForBoundsFixedAtStart",
     "var i, n, c: Integer; begin n := 3; c := 0; for i := 1 to n do begin n := 10; c := c + 1 end; "
     "Log(c) end.",
     "3"},
    {"While", "var i: Integer; begin i := 0; while i < 3 do begin i := i + 1; Log(i) end end.",
     "1 2 3"},
    {"RepeatUntilTrueRunsOnce", "begin repeat Log('x') until true end.", "x"},
    {"RepeatCounts", "var i: Integer; begin i := 0; repeat i := i + 2 until i >= 5; Log(i) end.",
     "6"},
    {"IfElse", "var a: Integer; begin a := 2; if a > 1 then Log('big') else Log('small') end.",
     "big"},
    {"NestedIfElseBindsInner",
     "begin if true then if false then Log(1) else Log(2) end.", "2"},
    {"CaseRange", "begin case 5 of 1..4: Log('a'); 5, 6: Log('b'); else Log('c') end end.", "b"},
    {"CaseElseWithoutSemicolon", "begin case 9 of 1: Log('a'); 2..4: Log('b') else Log('c') end end.",
     "c"},
    {"CaseSemicolonBeforeEnd", "begin case 1 of 1: Log('a'); end end.", "a"},
    {"CaseStrings", "var s: String; begin s := 'y'; case s of 'x': Log(1); 'y': Log(2) end end.", "2"},
    {"EmptyStatementBeforeEnd", "var a: Integer; begin a := 1; end.", ""},
    {"InitialValuesPerKind",
     "var i: Integer; b: Boolean; s: String; v: Variant; begin Log(i); Log(b); Log('[' + s + ']'); "
     "Log(v) end.",
     "0 False [] "},
    {"InitialiserForEveryName", "var a, b: Integer = 5; begin Log(a + b) end.", "10"},
    {"Constants", "const N = 4; S = 'ab'; begin Log(N * 2); Log(S) end.", "8 ab"},
    {"Recursion",
     "function Fib(n: Integer): Integer; begin if n < 2 then Result := n else "
     "Result := Fib(n - 1) + Fib(n - 2) end; begin Log(Fib(15)) end.",
     "610"},
    {"CallBeforeDeclaration",
     "procedure A; begin B end; procedure B; begin Log('b') end; begin A end.", "b"},
    {"VarParameter",
     "procedure Twice(var x: Integer); begin x := x * 2 end; var a: Integer; begin a := 4; Twice(a); "
     "Log(a) end.",
     "8"},
    {"ValueParameterIsACopy",
     "procedure P(x: Integer); begin x := 0 end; var a: Integer; begin a := 4; P(a); Log(a) end.",
     "4"},
    {"DefaultParameter",
     "function Add(a: Integer; b: Integer = 10): Integer; begin Result := a + b end; "
     "begin Log(Add(1)); Log(Add(1, 2)) end.",
     "11 3"},
    {"LocalsShadowGlobals",
     "var x: Integer; procedure P; var x: Integer; begin x := 5; Log(x) end; "
     "begin x := 1; P; Log(x) end.",
     "5 1"},
    {"NestedRoutineSeesOuterLocals",
     "procedure Outer; var n: Integer; procedure Inner; begin n := n + 1 end; "
     "begin n := 1; Inner; Inner; Log(n) end; begin Outer end.",
     "3"},
    {"ExitLeavesOnlyTheProcedure",
     "procedure P; begin Log(1); exit; Log(2) end; begin P; Log(3) end.", "1 3"},
    {"ExitInMainProgram", "begin Log(1); exit; Log(2) end.", "1"},
    {"FinallyRunsOnExit",
     "procedure P; begin try Log('a'); exit; Log('b') finally Log('f') end; Log('after') end; "
     "begin P; Log('main') end.",
     "a f main"},
    {"ExceptCatchesDivisionByZero",
     "var a, b: Integer; begin b := 0; try a := 1 div b; Log('no') except Log(ExceptionMessage) end; "
     "Log('on') end.",
     "Division by zero on"},
    {"ExceptSeesHostErrors",
     "begin try Fail('boom') except Log(ExceptionClassName + ':' + ExceptionMessage) end end.",
     "Exception:boom"},
    {"NestedTryFinallyExcept",
     "begin try try Fail('x') finally Log('f') end except Log('e ' + ExceptionMessage) end end.",
     "f e x"},
    {"FinallyRunsWhenLoopBreaks",
     "var i: Integer; begin for i := 1 to 5 do try if i = 2 then break; Log(i) finally Log('f') end; "
     "Log(i) end.",
     "1 f f 2"},
    {"CompoundAssignOverflowsToReal",
     "var x, y: Integer; begin x := 2147483647; y := x + 1; x := x + 1; Log(y); Log(x) end.",
     "-2147483648 2147483648"},
    {"RightOperandRewriteKeepsStrings",
     "var s: String; begin s := 'b'; s := 'a' + s; Log(s) end.", "ab"},
    {"MultiplyFromTheLeft", "var x: Integer; begin x := 3; x := 2 * x; Log(x) end.", "6"},
    {"StringCharacters", "var s: String; begin s := 'abc'; s[2] := 'X'; Log(s); Log(s[3]) end.",
     "aXc c"},
    {"Arrays",
     "var a: array[3] of Integer; b: array[1..2, 1..2] of Integer; i: Integer; begin "
     "for i := 0 to 2 do a[i] := i * i; b[2, 1] := 7; Log(a[2]); Log(b[2, 1]) end.",
     "4 7"},
    {"SetMembership", "begin if 3 in [1, 2..4] then Log('in'); if not (9 in [1..4]) then Log('out') end.",
     "in out"},
    {"CommentsEverywhere", "{ a } begin (* b *) Log(1) // c\r\n end.", "1"},
    {"ProgramHeader", "program Demo; begin Log('ok') end.", "ok"},
    {"ReportReference", "var a: Integer; begin a := 2; if a < 3 then Log(<Band.Memo[1]>) end.",
     "got Band.Memo[1]"},
};

INSTANTIATE_TEST_SUITE_P(VuredeVizivo, Programs, ::testing::ValuesIn(kPrograms),
                         [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
  const char* name;
  const char* text;
  const char* error;  // "line:column message"
};

class CompileErrors : public Program, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(CompileErrors, MessageAndPosition) {
  EXPECT_EQ(CompileError(GetParam().text), GetParam().error);
}

const ErrorCase kErrors[] = {
    {"MissingSemicolon", "var a, b: Integer;\r\nbegin a := 1 b := 2 end.", "2:14 ';' expected"},
    {"MissingBegin", "var a: Integer;", "1:16 'BEGIN' expected"},
    {"MissingFinalDot", "begin end", "1:10 '.' expected"},
    {"MissingThen", "begin if 1 = 1 Log(1) end.", "1:16 'THEN' expected"},
    {"MissingDo", "var i: Integer; begin for i := 1 to 2 Log(i) end.", "1:39 'DO' expected"},
    {"MissingTo", "var i: Integer; begin for i := 1 Log(i) end.", "1:34 'TO' or 'DOWNTO' expected"},
    {"MissingUntil", "begin repeat Log(1) end.", "1:21 'UNTIL' expected"},
    {"MissingTryHandler", "begin try Log(1) end.", "1:18 'FINALLY' or 'EXCEPT' expected"},
    {"MissingExpression", "var a: Integer; begin a := end.", "1:28 Expression expected"},
    {"MissingBracket", "begin Log((1 + 2) end.", "1:19 ')' expected"},
    {"MissingColonEquals", "var a: Integer; begin a : 1 end.", "1:27 '=' expected"},
    {"Undeclared", "begin x := 1 end.", "1:8 Undeclared identifier: 'x'"},
    {"UnknownType", "var a: Whatever; begin end.", "1:16 Unknown type: 'Whatever'"},
    {"Redeclared", "procedure P; begin end; procedure P; begin end; begin end.",
     "1:36 Identifier redeclared: 'P'"},
    {"ConstantIsReadOnly", "const N = 1; begin N := 2 end.", "1:20 Left side cannot be assigned to"},
    {"ForNeedsNumericVariable", "var s: String; begin for s := 1 to 2 do end.",
     "1:27 For loop variable must be numeric variable"},
    {"IncompatibleAssignment", "var i: Integer; begin i := 'a' end.", "1:28 Incompatible types"},
    {"UnterminatedComment", "begin { never closed end.", "1:26 ';' expected"},
    {"UnterminatedString", "begin Log('abc) end.", "1:11 ')' expected"},
};

INSTANTIATE_TEST_SUITE_P(VuredeVizivo, CompileErrors, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Program, UnitsCompileOnceAndShareTheScript) {
  int loads = 0;
  script_.OnGetUnit = [&](sq::TsqScript&, const std::string& name, std::string& text) {
    ++loads;
    if (name == "lib.pas") text = "const K = 3; function Triple(x: Integer): Integer; "
                                  "begin Result := x * K end; begin end.";
  };
  EXPECT_EQ(Run("uses 'lib.pas', 'lib.pas'; begin Log(Triple(2)) end."), "6");
  EXPECT_EQ(loads, 1);
}

TEST_F(Program, ReadyIntermediateFormReplacesTheUnit) {
  script_.OnGetUnit = [](sq::TsqScript&, const std::string&, std::string& text) {
    text = "begin Log('from source') end.";
  };
  script_.OnGetILUnit = [](sq::TsqScript&, const std::string& name, std::string& text) {
    if (name != "fast.pas") return;
    text = "<?xml version=\"1.0\"?><program><compoundstmt pos=\"1:1\"><callstmt pos=\"1:7\">"
           "<dsgn pos=\"1:7\"><node text=\"Log\" pos=\"1:10\"/><expr pos=\"1:11\" pos1=\"1:14\">"
           "<string text=\"'from IL'\" pos=\"1:14\"/></expr></dsgn></callstmt></compoundstmt></program>";
  };
  EXPECT_EQ(Run("uses 'fast.pas', 'slow.pas'; begin Log('main') end."), "from IL from source main");
}

TEST_F(Program, ErrorInsideAUnitNamesTheUnit) {
  script_.OnGetUnit = [](sq::TsqScript&, const std::string&, std::string& text) {
    text = "begin\r\n  x := end.";
  };
  EXPECT_EQ(CompileError("uses 'bad.pas'; begin end."), "2:8 Expression expected");
  EXPECT_EQ(script_.ErrorUnit(), "bad.pas");
}

TEST_F(Program, LanguageLineOverridesSyntaxType) {
  script_.SetSyntaxType("NoSuchLanguage");
  EXPECT_EQ(Run("#language VuredeVizivo\r\nbegin Log(1) end."), "1");
  script_.SetSyntaxType("VuredeVizivo");
  script_.SetText("#language Klingon\r\nbegin end.");
  try {
    script_.Compile();
    ADD_FAILURE() << "compiled";
  } catch (const core::Error& e) {
    EXPECT_STREQ(e.what(), "Language 'Klingon' not found");
  }
}

TEST_F(Program, RunLineSeesEveryStatementAndTerminateStops) {
  std::vector<std::string> lines;
  script_.OnRunLine = [&](sq::TsqScript& s, const std::string&, const std::string& pos) {
    lines.push_back(pos);
    if (lines.size() == 3) s.Terminate();
  };
  EXPECT_EQ(Run("begin\r\n  Log(1);\r\n  Log(2);\r\n  Log(3);\r\n  Log(4)\r\nend."), "1 2");
  EXPECT_EQ(lines, (std::vector<std::string>{"2:3", "3:3", "4:3"}));
  EXPECT_TRUE(script_.IsExecutableLine(5));
  EXPECT_FALSE(script_.IsExecutableLine(1));
}

TEST_F(Program, RunTimeErrorsTravelOutAndFinallyStillRuns) {
  script_.SetText("begin try Fail('late') finally Log('f') end; Log('never') end.");
  ASSERT_TRUE(script_.Compile());
  try {
    script_.Execute();
    ADD_FAILURE() << "no error";
  } catch (const core::Error& e) {
    EXPECT_STREQ(e.what(), "late");
  }
  EXPECT_EQ(log_, (std::vector<std::string>{"f"}));
}

TEST_F(Program, LongOperatorChainsAreRefused) {
  std::string chain = "var a: Integer; begin a := 1";
  for (int i = 0; i < 100000; ++i) chain += "+1";
  EXPECT_EQ(CompileError(chain + " end."), "1:28 Expression too complex");
}

TEST_F(Program, RunawayRecursionRaises) {
  script_.SetText("function F(n: Integer): Integer; begin Result := F(n + 1) end; begin F(1) end.");
  ASSERT_TRUE(script_.Compile());
  EXPECT_THROW(script_.Execute(), core::Error);
}

TEST_F(Program, DeeplyNestedInputFailsWithAMessage) {
  std::string deep = "var a: Integer; begin a := " + std::string(5000, '(') + "1" +
                     std::string(5000, ')') + " end.";
  script_.SetText(deep);
  EXPECT_FALSE(script_.Compile());
  EXPECT_FALSE(script_.ErrorMsg().empty());
  EXPECT_FALSE(script_.ErrorPos().empty());
}

// The grammar machinery on a small language: a list of "name = number"
// pairs separated by commas, with optional "!" markers.
const char kTinyGrammar[] = R"xml(<?xml version="1.0"?>
<language text="@Tiny">
  <parser>
    <keywords><end/></keywords>
    <errors><err1 text="Name expected"/><err2 text="Number expected"/><err3 text="'=' expected"/></errors>
  </parser>
  <types/>
  <program>
    <loop text=","><pair/></loop>
    <optional><keyword text="end"/><char text="!" add="bang"/></optional>
  </program>
  <pair node="pair">
    <switch>
      <sequence><ident add="name"/><char text="=" err="3"/><number add="value" err="2"/></sequence>
      <sequence><char text="("/><ident add="name" err="1"/><char text=")"/></sequence>
    </switch>
    <optional><char text="!" add="flag"/><char text="!" skip="0" add="double"/></optional>
  </pair>
  <broken><nosuchrule/></broken>
</language>)xml";

class TinyGrammar : public ::testing::Test {
 protected:
  void SetUp() override { sq::RegisterLanguage("@Tiny", kTinyGrammar); }
  // The intermediate program without the XML declaration and the types.
  std::string IL(const std::string& text) {
    sq::TsqScript script;
    sq::TsqILParser p(script);
    p.SelectLanguage("@Tiny");
    if (!p.MakeILScript(text)) return script.ErrorPos() + " " + script.ErrorMsg();
    std::string out;
    Flatten(*p.Program(), out);
    return out;
  }
  static void Flatten(const sq::TsqILNode& n, std::string& out) {
    if (n.name == "types") return;
    out += n.name;
    if (!n.text.empty()) out += "=" + n.text;
    if (!n.children.empty()) {
      out += "(";
      for (const auto& c : n.children) Flatten(*c, out);
      out += ")";
    }
    out += " ";
  }
};

TEST_F(TinyGrammar, NodesWrapWhatTheyEmitAndFailedAlternativesLeaveNothing) {
  EXPECT_EQ(IL("a = 1, (b), c = 2"),
            "program(pair(name=a value=1 ) pair(name=b ) pair(name=c value=2 ) ) ");
}

TEST_F(TinyGrammar, SkipZeroReadsTheNextCharacterOnly) {
  EXPECT_EQ(IL("a = 1 !!"), "program(pair(name=a value=1 flag=! double=! ) ) ");
  // With white space between the marks the optional pair fails and gives back
  // the first mark, which then ends the list.
  EXPECT_EQ(IL("a = 1 ! !, b = 2"), "program(pair(name=a value=1 ) ) ");
}

TEST_F(TinyGrammar, LoopSeparatorAndErrorPositions) {
  EXPECT_EQ(IL("a = 1 b = 2"), "program(pair(name=a value=1 ) ) ");
  EXPECT_EQ(IL("a = x"), "1:5 Number expected");
  EXPECT_EQ(IL("a 1"), "1:3 '=' expected");
  EXPECT_EQ(IL("a = 1 end !"), "program(pair(name=a value=1 ) bang=! ) ");
}

TEST_F(TinyGrammar, LanguagesAreListedAndLookedUp) {
  auto names = sq::GetLanguageList();
  EXPECT_NE(std::find(names.begin(), names.end(), "VuredeVizivo"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "@Tiny"), names.end());
  EXPECT_THROW(sq::LanguageGrammarText("Nope"), core::Error);
  sq::RegisterLanguage("@Broken", R"(<language><program><broken/></program><broken><nosuch/></broken></language>)");
  sq::TsqScript script;
  sq::TsqILParser p(script);
  p.SelectLanguage("@Broken");
  try {
    p.MakeILScript("x");
    ADD_FAILURE() << "no error";
  } catch (const core::Error& e) {
    EXPECT_STREQ(e.what(), "Invalid language definition");
  }
}

}  // namespace
