// The script object model: lookup and shadowing, registration rules,
// clearing by owner, the runtime library list, compiling through the
// registered compiler, running, stopping and calling procedures.
#include "script/script.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "core/reflection.h"
#include "script/class_variable.h"
#include "script/compile_error.h"
#include "script/events.h"
#include "script/messages.h"
#include "script/parser.h"
#include "script/proc_variable.h"
#include "script/rtti_module.h"
#include "script/statement.h"
#include "script/variables.h"
#include "test_support.h"

using core::Variant;

namespace {

std::unique_ptr<sq::TsqVariable> Var(const char* name, int32_t value) {
  auto v = std::make_unique<sq::TsqVariable>(name, sq::stInt, "Integer");
  v->SetValue(Variant(value));
  return v;
}

// Minimal statements standing in for the compiled ones.
class AssignStatement : public sq::TsqStatement {
 public:
  AssignStatement(sq::TsqScript* s, std::unique_ptr<sq::TsqExpression> target,
                  std::unique_ptr<sq::TsqExpression> value)
      : TsqStatement(s), target_(std::move(target)), value_(std::move(value)) {}
  void Execute() override { target_->SetValue(value_->Value()); }

 private:
  std::unique_ptr<sq::TsqExpression> target_, value_;
};

class IfStatement : public sq::TsqStatement {
 public:
  IfStatement(sq::TsqScript* s, std::unique_ptr<sq::TsqExpression> cond,
              std::unique_ptr<sq::TsqStatement> then, std::unique_ptr<sq::TsqStatement> other)
      : TsqStatement(s), cond_(std::move(cond)), then_(std::move(then)), else_(std::move(other)) {}
  void Execute() override { (cond_->Value().ToBool() ? then_ : else_)->Execute(); }

 private:
  std::unique_ptr<sq::TsqExpression> cond_;
  std::unique_ptr<sq::TsqStatement> then_, else_;
};

class CallbackStatement : public sq::TsqStatement {
 public:
  CallbackStatement(sq::TsqScript* s, std::function<void()> f)
      : TsqStatement(s), f_(std::move(f)) {}
  void Execute() override { f_(); }

 private:
  std::function<void()> f_;
};

std::unique_ptr<sq::TsqStatement> Assign(sq::TsqScript& s, const char* target, const char* value) {
  return std::make_unique<AssignStatement>(&s, sqtest::Build(s, target), sqtest::Build(s, value));
}

TEST(ScriptLookup, CaseInsensitiveAndTheLastAddedWins) {
  sq::TsqScript script;
  auto first = Var("Total", 1);
  auto second = Var("TOTAL", 2);
  sq::TsqCustomVariable* secondRaw = second.get();
  script.Add("Total", std::move(first));
  script.Add("TOTAL", std::move(second));
  EXPECT_EQ(secondRaw, script.FindLocal("total"));
  EXPECT_EQ(2, script.Count());
  std::unique_ptr<core::TObject> removed = script.Remove(secondRaw);
  EXPECT_EQ(secondRaw, removed.get()) << "Remove hands the item back unfreed";
  EXPECT_EQ(1, script.Find("TOTAL")->Value().ToInt32());
}

TEST(ScriptLookup, ParentChainAndShadowing) {
  sq::TsqScript parent;
  sqtest::AddStandardTypes(parent);
  parent.AddVariable("Shared", "Integer", Variant(int32_t{1}));
  sq::TsqScript child(&parent);
  EXPECT_EQ(parent.FindLocal("Shared"), child.Find("shared"));
  EXPECT_EQ(nullptr, child.FindLocal("Shared"));

  child.AddVariable("Shared", "Integer", Variant(int32_t{5}));
  EXPECT_EQ(nullptr, child.FindLocal("Shared"))
      << "AddVariable adds nothing when found up the chain";
  EXPECT_EQ(1, child.Find("Shared")->Value().ToInt32());

  child.Add("Shared", Var("Shared", 9));  // a declaration in the child
  EXPECT_EQ(9, child.Find("Shared")->Value().ToInt32());
  EXPECT_EQ(1, parent.Find("Shared")->Value().ToInt32());
  EXPECT_EQ(9, sqtest::Eval(child, "Shared").ToInt32()) << "designators see the child's item";
}

TEST(ScriptRegistration, ConstantsEnumsTypesAndVariables) {
  sq::TsqScript script;
  sqtest::AddStandardTypes(script);
  script.AddConst("Limit", "Integer", Variant(int32_t{10}));
  script.AddConst("Limit", "Integer", Variant(int32_t{20}));
  sq::TsqCustomVariable* limit = script.Find("Limit");
  EXPECT_EQ(10, limit->Value().ToInt32());
  EXPECT_TRUE(limit->IsReadOnly());
  limit->SetValue(Variant(int32_t{99}));
  EXPECT_EQ(10, limit->Value().ToInt32()) << "writes to a constant are ignored";
  EXPECT_FALSE(sqtest::Build(script, "Limit")->IsAssignable());

  script.AddEnum("TAlign", "alLeft, alRight,alTop");
  script.AddEnumSet("TStyle", "fsBold,fsItalic,fsUnderline");
  EXPECT_EQ(2, script.Find("alTop")->Value().ToInt32());
  EXPECT_EQ(sq::stEnum, script.Find("alTop")->Typ());
  EXPECT_EQ(4, script.Find("fsUnderline")->Value().ToInt32());
  EXPECT_EQ(sq::stEnum, sq::KindOfTypeName(&script, "TAlign"));
  EXPECT_EQ(sq::stClass, sq::KindOfTypeName(&script, "TUnknown"));

  script.AddVariable("Count", "Integer", Variant(int32_t{1}));
  EXPECT_EQ(sq::stInt, script.Find("Count")->Typ());
  script.SetVariable("Count", Variant(int32_t{2}));
  script.SetVariable("Fresh", Variant("x"));
  EXPECT_EQ(2, script.Find("Count")->Value().ToInt32());
  EXPECT_EQ(sq::stVariant, script.Find("Fresh")->Typ());
  EXPECT_EQ("x", script.Find("Fresh")->Value().ToString());
  EXPECT_TRUE(script.Find("Value") == nullptr);
}

TEST(ScriptRegistration, MethodDeclarations) {
  sq::TsqScript script;
  sqtest::AddStandardTypes(script);
  script.AddConst("DefaultStep", "Integer", Variant(int32_t{3}));
  sq::TsqCallMethodEvent none = [](core::TObject*, const core::ClassInfo*, const std::string&,
                                   Variant&) { return Variant(); };
  sq::TsqMethodHelper* copy =
      script.AddMethod("function Copy(s: String; from, count: Integer): String", none, "ctString");
  EXPECT_EQ("Copy", copy->Name());
  EXPECT_EQ("Copy", copy->Description());
  EXPECT_EQ("ctString", copy->Category());
  EXPECT_EQ(sq::stString, copy->Typ());
  ASSERT_EQ(3, copy->ParamCount());
  EXPECT_EQ("count", copy->Params(2)->Name());
  EXPECT_EQ(sq::stInt, copy->Params(2)->Typ());
  EXPECT_FALSE(copy->IsMacro());

  sq::TsqMethodHelper* inc = script.AddMethod(
      "procedure Inc(var i: Integer; const incr: Integer = DefaultStep; neg: Extended = -1.5; "
      "t: String = 'x')",
      none, "ctOther", "Increments");
  ASSERT_EQ(4, inc->ParamCount());
  EXPECT_TRUE(inc->Params(0)->IsVarParam());
  EXPECT_FALSE(inc->Params(1)->IsVarParam());
  EXPECT_EQ(3, inc->Params(1)->DefValue().ToInt32());
  EXPECT_DOUBLE_EQ(-1.5, inc->Params(2)->DefValue().ToDouble());
  EXPECT_EQ("x", inc->Params(3)->DefValue().ToString());
  EXPECT_EQ(1, inc->RequiredParamCount());
  EXPECT_EQ("Increments", inc->Description());
  EXPECT_EQ(sq::stClass, inc->Typ()) << "no result type";

  sq::TsqMethodHelper* sum = script.AddMethod(
      "macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", none);
  EXPECT_TRUE(sum->IsMacro());
  EXPECT_EQ(sq::stVariant, sum->Typ());
  EXPECT_EQ(2, sum->Params(1)->DefValue().Type() == core::VarType::Integer ? 2 : 0);
}

TEST(ScriptClasses, AddClassOnceAndInheritTheDefaultProperty) {
  sq::TsqScript script;
  sqtest::AddStandardTypes(script);
  static const core::ClassInfo base("TBase", nullptr);
  static const core::ClassInfo derived("TDerived", &base);
  sq::TsqClassVariable* b = script.AddClass(&base, "TObject");
  ASSERT_NE(nullptr, b);
  sq::TsqMethodHelper* items =
      b->AddDefaultProperty("Items", "Integer", "Variant",
                            [](core::TObject*, const core::ClassInfo*, const std::string&,
                               sq::TsqMethodHelper&) { return Variant(); });
  const int count = script.Count();
  EXPECT_EQ(b, script.AddClass(&base, "TObject")) << "a known class is not added again";
  EXPECT_EQ(count, script.Count());
  sq::TsqClassVariable* d = script.AddClass(&derived, "TBase");
  EXPECT_EQ(items, d->DefaultProperty());
  EXPECT_TRUE(d->DescendsFrom(b));
  EXPECT_FALSE(b->DescendsFrom(d));
  EXPECT_TRUE(sq::TypesCompatible(sq::stClass, "TBase", sq::stClass, "TDerived", &script, true));
  EXPECT_FALSE(sq::TypesCompatible(sq::stClass, "TDerived", sq::stClass, "TBase", &script, true));
}

// Owners for AddedBy stamps.
const char kReport = 0, kDesigner = 0;

TEST(ScriptClearing, ClearItemsFreesOnlyThatOwnersItems) {
  sq::TsqScript script;
  script.SetAddedBy(&kReport);
  script.Add("a", Var("a", 1));
  script.Add("b", Var("b", 2));
  script.SetAddedBy(&kDesigner);
  script.Add("c", Var("c", 3));
  script.SetAddedBy(nullptr);
  script.Add("d", Var("d", 4));
  EXPECT_EQ(&kReport, script.Find("a")->AddedBy());
  script.AddCodeLine("", "3:1");
  script.ClearItems(&kReport);
  EXPECT_EQ(nullptr, script.Find("a"));
  EXPECT_EQ(nullptr, script.Find("b"));
  EXPECT_NE(nullptr, script.Find("c"));
  EXPECT_NE(nullptr, script.Find("d"));
  EXPECT_FALSE(script.IsExecutableLine(3));
}

int moduleInstances = 0;

class CounterModule : public sq::TsqRTTIModule {
 public:
  explicit CounterModule(sq::TsqScript& s) : TsqRTTIModule(s) {
    ++moduleInstances;
    s.AddType("Integer", sq::stInt);
    s.AddConst("Answer", "Integer", Variant(int32_t{42}));
  }
};

TEST(ScriptClearing, RuntimeLibraryItemsSurviveClear) {
  sq::RegisterRTTIModule(&sq::MakeRTTIModule<CounterModule>);
  sq::RegisterRTTIModule(&sq::MakeRTTIModule<CounterModule>);
  moduleInstances = 0;
  {
    sq::TsqScript script;
    script.AddRTTI();
    script.AddRTTI();
    EXPECT_EQ(1, moduleInstances) << "modules are created once per script";
    EXPECT_TRUE(script.RTTIAdded());
    EXPECT_EQ(sq::RuntimeLibraryOwner(), script.Find("Answer")->AddedBy());
    script.Add("Mine", Var("Mine", 1));
    script.SetError("x", "1:1");
    script.Clear();
    EXPECT_EQ(nullptr, script.Find("Mine"));
    EXPECT_EQ(42, script.Find("Answer")->Value().ToInt32());
    EXPECT_EQ("", script.ErrorMsg());
    script.RemoveRTTI();
    EXPECT_EQ(nullptr, script.Find("Answer"));
    EXPECT_FALSE(script.RTTIAdded());
  }
  sq::UnregisterRTTIModule(&sq::MakeRTTIModule<CounterModule>);
  EXPECT_TRUE(sq::RTTIModules().empty());
}

// A compiler double: reports "';' expected" at the first "bad" of the text
// and "Language '%s' not found" for any language but VuredeVizivo.
class FakeCompiler : public sq::TsqScriptCompiler {
 public:
  void CompileScript(sq::TsqScript& script, const std::string& syntaxType) override {
    if (syntaxType != "VuredeVizivo")
      throw core::Error(sq::FormatMessage(sq::Messages().SLangNotFound, syntaxType));
    sq::TsqParser p;
    p.SetText(script.Text());
    for (std::string w = p.GetIdent(); !w.empty(); w = p.GetIdent()) {
      if (w == "bad") {
        p.SetPosition(p.TokenStart());
        throw sq::TsqCompileError("';' expected", p.GetXYPosition());
      }
    }
  }
};

TEST(ScriptCompile, ReturnsFalseWithMessageAndPosition) {
  sq::TsqScript script;
  script.SetSyntaxType("Klingon");
  EXPECT_THROW(script.Compile(), core::Error) << "the built-in compiler knows no Klingon";
  script.SetSyntaxType("VuredeVizivo");
  sq::SetScriptCompiler(std::make_unique<FakeCompiler>());
  script.SetLines({"begin", "  a bad", "end."});
  EXPECT_FALSE(script.Compile());
  EXPECT_EQ("';' expected", script.ErrorMsg());
  EXPECT_EQ("2:5", script.ErrorPos());
  script.SetLines({"begin", "end."});
  EXPECT_TRUE(script.Compile());
  EXPECT_EQ("", script.ErrorMsg());
  EXPECT_EQ("", script.ErrorPos());
  script.SetSyntaxType("Klingon");
  try {
    script.Compile();
    FAIL();
  } catch (const core::Error& e) {
    EXPECT_STREQ("Language 'Klingon' not found", e.what());
  }
  sq::SetScriptCompiler(nullptr);
}

TEST(ScriptText, LinesJoinWithCrLf) {
  sq::TsqScript script;
  script.SetText("a\nb\r\nc");
  EXPECT_EQ(std::vector<std::string>({"a", "b", "c"}), script.Lines());
  EXPECT_EQ("a\r\nb\r\nc", script.Text());
}

class ScriptRun : public testing::Test {
 protected:
  void SetUp() override { sqtest::AddStandardTypes(script_); }

  // function Fact(n: Integer): Integer;
  // begin if n <= 1 then Result := 1 else Result := Fact(n - 1) * n end;
  sq::TsqProcVariable* AddFactorial() {
    auto proc = std::make_unique<sq::TsqProcVariable>("Fact", &script_, sq::stInt, "Integer", true);
    sq::TsqProcVariable* raw = proc.get();
    raw->AddParameter(std::make_unique<sq::TsqParamItem>("n", sq::stInt, "Integer"));
    script_.Add("Fact", std::move(proc));
    sq::TsqScript& local = raw->LocalScript();
    // The right operand n is read after the inner call: it must be this call's n.
    local.Statement().Add(std::make_unique<IfStatement>(
        &local, sqtest::Build(local, "n <= 1"), Assign(local, "Result", "1"),
        Assign(local, "Result", "Fact(n - 1) * n")));
    return raw;
  }

  sq::TsqScript script_;
};

TEST_F(ScriptRun, RecursiveFunctionKeepsItsLocals) {
  AddFactorial();
  Variant args = Variant::MakeArray({{0, 0}});
  args.MutableArray().items[0] = Variant(int32_t{5});
  EXPECT_EQ(120, script_.CallFunction("Fact", args).ToInt32());
  script_.AddVariable("x", "Integer", Variant(int32_t{0}));
  script_.Statement().Add(Assign(script_, "x", "Fact(6)"));
  script_.Execute();
  EXPECT_EQ(720, script_.Find("x")->Value().ToInt32());
}

TEST_F(ScriptRun, CallFunctionSetsOnlyTheGivenParameters) {
  auto proc = std::make_unique<sq::TsqProcVariable>("Pair", &script_, sq::stInt, "Integer", true);
  sq::TsqProcVariable* raw = proc.get();
  raw->AddParameter(std::make_unique<sq::TsqParamItem>("a", sq::stInt, "Integer"));
  raw->AddParameter(std::make_unique<sq::TsqParamItem>("b", sq::stInt, "Integer"));
  script_.Add("Pair", std::move(proc));
  sq::TsqScript& local = raw->LocalScript();
  local.Statement().Add(Assign(local, "Result", "a * 10 + b"));
  local.Statement().Add(Assign(local, "a", "a + 1"));
  raw->Params(1)->SetValue(Variant(int32_t{7}));
  Variant one = Variant::MakeArray({{0, 0}});
  one.MutableArray().items[0] = Variant(int32_t{4});
  EXPECT_EQ(47, script_.CallFunction("Pair", one).ToInt32()) << "b keeps the value it last held";
  EXPECT_EQ(47, script_.CallFunctionVar("Pair", one).ToInt32());
  EXPECT_EQ(5, one.RawArray().items[0].ToInt32()) << "CallFunctionVar copies parameters back";
  EXPECT_TRUE(script_.CallFunction("Nothing", one).IsNull());
  script_.AddVariable("NotAProc", "Integer", Variant(int32_t{1}));
  EXPECT_TRUE(script_.CallFunction("NotAProc", one).IsNull());
}

TEST_F(ScriptRun, TerminateStopsAtTheNextStatementAndExecuteResetsFlags) {
  script_.AddVariable("x", "Integer", Variant(int32_t{0}));
  script_.Statement().Add(Assign(script_, "x", "1"));
  script_.Statement().Add(std::make_unique<CallbackStatement>(&script_, [this] {
    EXPECT_TRUE(script_.Running());
    script_.Terminate();
  }));
  script_.Statement().Add(Assign(script_, "x", "2"));
  script_.Execute();
  EXPECT_EQ(1, script_.Find("x")->Value().ToInt32());
  EXPECT_FALSE(script_.Terminated());
  EXPECT_FALSE(script_.Running());
  EXPECT_TRUE(script_.TracksRunningScope());

  script_.Statement().Clear();
  script_.Statement().Add(Assign(script_, "x", "1 div (x - 1)"));
  EXPECT_THROW(script_.Execute(), core::Error);
  EXPECT_FALSE(script_.Running()) << "flags are reset when an error leaves the run";
}

TEST_F(ScriptRun, TerminateReachesProcedureScopes) {
  sq::TsqProcVariable* fact = AddFactorial();
  script_.Terminate();
  EXPECT_TRUE(fact->LocalScript().Terminated());
}

TEST_F(ScriptRun, RunningScopeIsTheCalledProceduresLocals) {
  sq::TsqScript* seen = nullptr;
  script_.AddMethod("procedure Probe",
                    sq::TsqCallMethodEvent(
                        [&](core::TObject*, const core::ClassInfo*, const std::string&, Variant&) {
                          seen = script_.RunningScope();
                          return Variant();
                        }));
  auto proc = std::make_unique<sq::TsqProcVariable>("Outer", &script_, sq::stClass, "", false);
  sq::TsqProcVariable* raw = proc.get();
  script_.Add("Outer", std::move(proc));
  std::shared_ptr<sq::TsqExpression> probe = sqtest::Build(raw->LocalScript(), "Probe");
  raw->LocalScript().Statement().Add(
      std::make_unique<CallbackStatement>(&raw->LocalScript(), [probe] { probe->Value(); }));
  auto call = std::make_unique<CallbackStatement>(&script_, [raw] { raw->Value(); });
  script_.Statement().Add(std::move(call));
  script_.Execute();
  EXPECT_EQ(&raw->LocalScript(), seen);
  EXPECT_EQ(nullptr, script_.RunningScope());
}

TEST_F(ScriptRun, RunLineGoesToTheNearestHandler) {
  std::vector<std::string> calls;
  script_.OnRunLine = [&](sq::TsqScript& sender, const std::string& unit, const std::string& pos) {
    calls.push_back((&sender == &script_ ? "main " : "child ") + unit + " " + pos);
  };
  sq::TsqScript child(&script_);
  child.RunLine("", "3:1");
  script_.RunLine("lib", "4:2");
  EXPECT_EQ(std::vector<std::string>({"child  3:1", "main lib 4:2"}), calls);
}

TEST_F(ScriptRun, ExecutableLines) {
  script_.AddCodeLine("", "12:5");
  script_.AddCodeLine("", "3:1");
  script_.AddCodeLine("", "12:9");
  script_.AddCodeLine("unit1", "7:1");
  EXPECT_TRUE(script_.IsExecutableLine(12));
  EXPECT_TRUE(script_.IsExecutableLine(3, ""));
  EXPECT_FALSE(script_.IsExecutableLine(7));
  EXPECT_TRUE(script_.IsExecutableLine(7, "unit1"));
  EXPECT_EQ("12,3", script_.ExecutableLines().at(""));
}

// Event adapters: writing a procedure name installs one; "0" clears it.
class ClickAdapter : public sq::TsqCustomEvent {
 public:
  using TsqCustomEvent::TsqCustomEvent;
};

TEST_F(ScriptRun, EventPropertiesInstallAdapters) {
  sq::TsqCustomEvent* installed = nullptr;
  sq::TsqEventClass click{
      "TNotifyEvent",
      [](core::TObject* obj, sq::TsqProcVariable* proc) {
        return std::make_unique<ClickAdapter>(obj, proc);
      },
      [&](core::TObject*, std::string_view, sq::TsqCustomEvent* adapter) { installed = adapter; }};
  static const core::ClassInfo button("TButtonLike", nullptr);
  sq::TsqClassVariable* cls = script_.AddClass(&button, "");
  cls->AddEvent("OnClick", &click);
  core::TObject component;
  script_.AddVariable("Button", "TButtonLike", Variant(&component));
  script_.AddVariable("clicks", "Integer", Variant(int32_t{0}));

  auto handler =
      std::make_unique<sq::TsqProcVariable>("ButtonClick", &script_, sq::stClass, "", false);
  sq::TsqProcVariable* raw = handler.get();
  raw->AddParameter(std::make_unique<sq::TsqParamItem>("Sender", sq::stVariant, "Variant"));
  script_.Add("ButtonClick", std::move(handler));
  raw->LocalScript().Statement().Add(Assign(raw->LocalScript(), "clicks", "clicks + 1"));

  auto target = sqtest::Build(script_, "Button.OnClick");
  target->SetValue(Variant("ButtonClick"));
  ASSERT_NE(nullptr, installed);
  EXPECT_EQ(&component, installed->Instance());
  std::vector<Variant> args{Variant(&component)};
  installed->CallHandler(args);
  EXPECT_EQ(1, script_.Find("clicks")->Value().ToInt32());
  EXPECT_EQ("", sqtest::Eval(script_, "Button.OnClick").ToString());

  target->SetValue(Variant(int32_t{0}));
  EXPECT_EQ(nullptr, installed);
  try {
    target->SetValue(Variant("clicks"));
    FAIL();
  } catch (const core::Error& e) {
    EXPECT_STREQ("Event handler must be a procedure", e.what());
  }
}

TEST(ScriptMessages, ReplacedByKey) {
  const std::string saved = sq::Messages().SIdUndeclared;
  EXPECT_TRUE(sq::SetMessage("SIdUndeclared", "Unbekannt: "));
  EXPECT_FALSE(sq::SetMessage("SNoSuchKey", "x"));
  sq::TsqScript script;
  try {
    sqtest::Build(script, "zz");
    FAIL();
  } catch (const sq::TsqCompileError& e) {
    EXPECT_STREQ("Unbekannt: 'zz'", e.what());
  }
  sq::SetMessage("SIdUndeclared", saved);
  EXPECT_EQ("Class TFoo does not have a default property",
            sq::FormatMessage(sq::Messages().SClassError, "TFoo"));
}

}  // namespace
