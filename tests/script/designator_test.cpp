// Designators over a host class: published properties read through the class
// information, callback properties, methods in both callback forms, default
// and other index properties, string and array elements, and the compile
// errors of name paths.
#include "script/designator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "core/reflection.h"
#include "script/class_variable.h"
#include "script/compile_error.h"
#include "script/expression.h"
#include "script/helpers.h"
#include "script/script.h"
#include "script/variables.h"
#include "test_support.h"

using core::Variant;

namespace {

class THost : public core::TObject {
  CORE_DECLARE_CLASS()
 public:
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c) { caption_ = c; }
  int32_t Width() const { return width_; }
  void SetWidth(int32_t w) { width_ = w; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  double Ratio() const { return 0.25; }
  const std::string& OnClick() const { return onClick_; }
  void SetOnClick(const std::string& s) { onClick_ = s; }

  std::vector<std::string> items{"a", "b", "c"};

 private:
  std::string caption_ = "Title";
  int32_t width_ = 40;
  bool visible_ = true;
  std::string onClick_;
};

class TChildHost : public THost {
  CORE_DECLARE_CLASS()
};

class TPlain : public core::TObject {
  CORE_DECLARE_CLASS()
};

const core::ClassInfo* THost::StaticClass() {
  static const core::ClassInfo* info = core::ClassBuilder<THost>("THost", nullptr)
                                           .String<&THost::Caption, &THost::SetCaption>("Caption")
                                           .Integer<&THost::Width, &THost::SetWidth>("Width")
                                           .Boolean<&THost::Visible, &THost::SetVisible>("Visible")
                                           .Float<&THost::Ratio>("Ratio")
                                           .Event<&THost::OnClick, &THost::SetOnClick>("OnClick")
                                           .Done();
  return info;
}

const core::ClassInfo* TChildHost::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TChildHost>("TChildHost", THost::StaticClass()).Done();
  return info;
}

const core::ClassInfo* TPlain::StaticClass() {
  static const core::ClassInfo* info = core::ClassBuilder<TPlain>("TPlain", nullptr).Done();
  return info;
}

const core::ClassInfo* RootClass() {
  static const core::ClassInfo* info = core::ClassBuilder<core::TObject>("TObject", nullptr).Done();
  return info;
}

THost* HostOf(core::TObject* obj) {
  return static_cast<THost*>(obj);
}

class DesignatorTest : public testing::Test {
 protected:
  void SetUp() override {
    sqtest::AddStandardTypes(script_);
    script_.AddClass(RootClass(), "");
    sq::TsqClassVariable* host = script_.AddClass(THost::StaticClass(), "TObject");
    host->AddMethod("function Sum(a: Integer; b: Integer = 10): Integer",
                    [this](core::TObject*, const core::ClassInfo*, const std::string& name,
                           sq::TsqMethodHelper& m) {
                      names_.push_back(name);
                      return Variant(m.ParamValue(0).ToInt32() + m.ParamValue(1).ToInt32());
                    });
    host->AddMethod(
        "procedure Twice(var x: Integer)",
        [](core::TObject*, const core::ClassInfo*, const std::string&, sq::TsqMethodHelper& m) {
          m.SetParamValue(0, Variant(m.ParamValue(0).ToInt32() * 2));
          return Variant::MakeNull();
        });
    host->AddDefaultProperty("Items", "Integer", "String",
                             [this](core::TObject* obj, const core::ClassInfo*,
                                    const std::string& name, sq::TsqMethodHelper& m) {
                               names_.push_back(name);
                               auto& items = HostOf(obj)->items;
                               size_t at = static_cast<size_t>(m.ParamValue(0).ToInt32());
                               if (name == "ITEMS.SET") {
                                 items.at(at) = m.ParamValue(1).ToString();
                                 return Variant::MakeNull();
                               }
                               return Variant(items.at(at));
                             });
    host->AddIndexProperty(
        "Cell", "Integer, Integer", "Integer",
        [](core::TObject*, const core::ClassInfo*, const std::string&, sq::TsqMethodHelper& m) {
          return Variant(m.ParamValue(0).ToInt32() * 10 + m.ParamValue(1).ToInt32());
        },
        true);
    host->AddProperty("Area", "Integer",
                      [](core::TObject* obj, const core::ClassInfo*, const std::string&) {
                        return Variant(HostOf(obj)->Width() * 2);
                      });
    host->AddProperty("Shown", "Boolean",
                      [](core::TObject* obj, const core::ClassInfo*, const std::string&) {
                        return Variant(HostOf(obj)->Width());  // normalised to a Boolean
                      });
    script_.AddClass(TChildHost::StaticClass(), "THost");
    script_.AddClass(TPlain::StaticClass(), "TObject");
    script_.AddObject("Host", &host_);
    script_.AddObject("Child", &child_);
    script_.AddObject("Plain", &plain_);
    script_.AddVariable("i", "Integer", Variant(int32_t{3}));
    script_.AddVariable("s", "String", Variant("\xE4\xB8\xAD\xE6\x96\x87z"));  // two CJK + z
    Variant arr = Variant::MakeArray({{1, 3}});
    arr.MutableArray().items = {Variant(int32_t{10}), Variant(int32_t{20}), Variant(int32_t{30})};
    script_.AddVariable("v", "Variant", arr);

    // A declared two-dimensional array with its own helper, as the compiler makes it.
    auto grid = std::make_unique<sq::TsqVariable>("grid", sq::stArray, "Array");
    auto helper = std::make_unique<sq::TsqArrayHelper>("grid", 2, 2, sq::stInt, "Integer");
    grid->SetRefItem(helper.get());
    grid->SetValue(Variant::MakeArray({{0, 1}, {0, 2}}));
    script_.Add("", std::move(helper));
    script_.Add("grid", std::move(grid));

    script_.AddMethod("procedure Inc(var n: Integer; incr: Integer = 1)",
                      sq::TsqCallMethodEvent([](core::TObject*, const core::ClassInfo*,
                                                const std::string&, Variant& args) {
                        auto& a = args.MutableArray().items;
                        a[0] = Variant(a[0].ToInt32() + a[1].ToInt32());
                        return Variant::MakeNull();
                      }));
    script_.AddMethod("macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
                      sq::TsqCallMethodEvent([this](core::TObject*, const core::ClassInfo*,
                                                    const std::string& name, Variant& args) {
                        names_.push_back(name);
                        for (const Variant& a : args.RawArray().items)
                          texts_.push_back(a.ToString());
                        return Variant(int32_t{0});
                      }));
  }

  Variant Eval(const char* text) { return sqtest::Eval(script_, text); }
  sq::TsqDesignator* RootDesignator(std::unique_ptr<sq::TsqExpression>& e) {
    auto* node = dynamic_cast<sq::TsqDesignatorNode*>(e->Root());
    return node ? node->Designator() : nullptr;
  }

  sq::TsqScript script_;
  THost host_;
  TChildHost child_;
  TPlain plain_;
  std::vector<std::string> names_;
  std::vector<std::string> texts_;
};

TEST_F(DesignatorTest, PublishedPropertiesReadAndWrite) {
  EXPECT_EQ("Title", Eval("Host.Caption").ToString());
  EXPECT_EQ(41, Eval("host.width + 1").ToInt32());
  EXPECT_TRUE(Eval("Host.Visible").ToBool());
  EXPECT_DOUBLE_EQ(0.25, Eval("Host.Ratio").ToDouble());
  auto caption = sqtest::Build(script_, "Host.Caption");
  EXPECT_EQ(sq::stString, caption->Typ());
  caption->SetValue(Variant("New"));
  EXPECT_EQ("New", host_.Caption());
  auto ratio = sqtest::Build(script_, "Host.Ratio");
  EXPECT_FALSE(ratio->IsAssignable()) << "a property without a setter is read-only";
}

TEST_F(DesignatorTest, EventsAreNotPublishedAsProperties) {
  EXPECT_THROW(sqtest::Build(script_, "Host.OnClick"), sq::TsqCompileError);
}

TEST_F(DesignatorTest, CallbackPropertiesAndBooleanNormalising) {
  EXPECT_EQ(80, Eval("Host.Area").ToInt32());
  EXPECT_FALSE(sqtest::Build(script_, "Host.Area")->IsAssignable());
  Variant shown = Eval("Host.Shown");
  EXPECT_TRUE(shown.IsBoolean());
  EXPECT_TRUE(shown.RawBool());
}

TEST_F(DesignatorTest, MethodsGetArgumentsAndDefaults) {
  EXPECT_EQ(3, Eval("Host.Sum(1, 2)").ToInt32());
  EXPECT_EQ(15, Eval("Host.Sum(5)").ToInt32()) << "missing trailing arguments take defaults";
  EXPECT_EQ(std::vector<std::string>({"SUM", "SUM"}), names_);
  EXPECT_EQ(7, Eval("Child.Sum(3, 4)").ToInt32()) << "members are found in ancestors";
}

TEST_F(DesignatorTest, VarParametersAreCopiedBack) {
  Eval("Host.Twice(i)");
  EXPECT_EQ(6, script_.Find("i")->Value().ToInt32());
  Eval("Inc(i)");
  EXPECT_EQ(7, script_.Find("i")->Value().ToInt32());
  Eval("Inc(i, 5)");
  EXPECT_EQ(12, script_.Find("i")->Value().ToInt32());
}

TEST_F(DesignatorTest, DefaultAndIndexProperties) {
  EXPECT_EQ("b", Eval("Host[1]").ToString());
  EXPECT_EQ("c", Eval("Host.Items[2]").ToString());
  auto target = sqtest::Build(script_, "Host[0]");
  target->SetValue(Variant("z"));
  EXPECT_EQ("z", host_.items[0]);
  EXPECT_EQ(std::vector<std::string>({"ITEMS.GET", "ITEMS.GET", "ITEMS.SET"}), names_);
  EXPECT_EQ(23, Eval("Host.Cell[2, 3]").ToInt32());
  EXPECT_FALSE(sqtest::Build(script_, "Host.Cell[0, 0]")->IsAssignable());
  EXPECT_EQ("b", Eval("Child[1]").ToString()) << "a class inherits its ancestor's default property";
}

TEST_F(DesignatorTest, MacroArgumentsArriveAsSourceText) {
  Eval("IIF(i > 1, 'a' + 'b', Host.Sum(1))");
  EXPECT_EQ(std::vector<std::string>({"IIF"}), names_) << "Sum must not be called";
  EXPECT_EQ(std::vector<std::string>({"i > 1", "'a' + 'b'", "Host.Sum(1)"}), texts_);
}

TEST_F(DesignatorTest, StringCharactersCountCharacters) {
  EXPECT_EQ("\xE6\x96\x87", Eval("s[2]").ToString());
  EXPECT_EQ("z", Eval("s[3]").ToString());
  EXPECT_EQ("", Eval("s[9]").ToString());
  EXPECT_EQ("i", Eval("Host.Caption[2]").ToString());
  auto e = sqtest::Build(script_, "s[1]");
  EXPECT_NE(nullptr, dynamic_cast<sq::TsqStringDesignator*>(RootDesignator(e)));
  e->SetValue(Variant("Q"));
  EXPECT_EQ("Q\xE6\x96\x87z", script_.Find("s")->Value().ToString());
}

TEST_F(DesignatorTest, ArrayElements) {
  EXPECT_EQ(20, Eval("v[2]").ToInt32());
  auto cell = sqtest::Build(script_, "grid[1, 2]");
  EXPECT_NE(nullptr, dynamic_cast<sq::TsqArrayDesignator*>(RootDesignator(cell)));
  cell->SetValue(Variant(int32_t{9}));
  EXPECT_EQ(9, Eval("grid[1, 2]").ToInt32());
  EXPECT_TRUE(Eval("grid[0, 2]").IsEmpty());
  try {
    Eval("grid[2, 0]");
    FAIL();
  } catch (const core::Error& e) {
    EXPECT_STREQ("Variant or safe array index out of bounds", e.what());
  }
  auto element = sqtest::Build(script_, "v[3]");
  element->SetValue(Variant(int32_t{7}));
  EXPECT_EQ(7, Eval("v[3]").ToInt32());
  EXPECT_EQ(10, Eval("v[1]").ToInt32());
}

TEST_F(DesignatorTest, SimplePathsAreSpecialised) {
  auto e = sqtest::Build(script_, "i");
  auto* d = dynamic_cast<sq::TsqVariableDesignator*>(RootDesignator(e));
  ASSERT_NE(nullptr, d);
  EXPECT_EQ(script_.Find("i"), d->Variable()) << "a variable read is a direct reference";
  e = sqtest::Build(script_, "Host.Width");
  EXPECT_EQ(nullptr, dynamic_cast<sq::TsqVariableDesignator*>(RootDesignator(e)));
}

TEST_F(DesignatorTest, IsTestsTheClassChain) {
  EXPECT_TRUE(Eval("Child is THost").ToBool());
  EXPECT_TRUE(Eval("Child is TChildHost").ToBool());
  EXPECT_FALSE(Eval("Host is TChildHost").ToBool());
  EXPECT_FALSE(Eval("Plain is THost").ToBool());
}

struct PathErrorCase {
  const char* name;
  const char* text;
  const char* message;
  const char* position;
};

class DesignatorErrors : public DesignatorTest,
                         public testing::WithParamInterface<PathErrorCase> {};

TEST_P(DesignatorErrors, CompileFails) {
  const PathErrorCase& c = GetParam();
  try {
    sqtest::Build(script_, c.text);
    FAIL() << c.text;
  } catch (const sq::TsqCompileError& e) {
    EXPECT_STREQ(c.message, e.what()) << c.text;
    EXPECT_EQ(c.position, e.Position()) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DesignatorErrors,
    testing::Values(
        PathErrorCase{"UndeclaredName", "1 + nope", "Undeclared identifier: 'nope'", "1:5"},
        PathErrorCase{"UndeclaredMember", "Host.Nope", "Undeclared identifier: 'Nope'", "1:6"},
        PathErrorCase{"TooFewArguments", "Host.Sum()", "Not enough actual parameters", "1:6"},
        PathErrorCase{"TooManyArguments", "Host.Sum(1, 2, 3)", "Too many actual parameters", "1:6"},
        PathErrorCase{"ArgumentType", "Host.Sum('a')", "Incompatible types: 'Integer', 'String'",
                      "1:6"},
        PathErrorCase{"IndexPropertyWithoutIndex", "Host.Items", "Index required", "1:6"},
        PathErrorCase{"NoDefaultProperty", "Plain[0]",
                      "Class TPlain does not have a default property", "1:6"},
        PathErrorCase{"MemberOfString", "s.Length", "Strings doesn't have properties or methods",
                      "1:3"},
        PathErrorCase{"IndexOnInteger", "i[1]", "Array type required", "1:2"},
        PathErrorCase{"VariantArrayWithoutIndex", "v.x", "Index required", "1:3"},
        PathErrorCase{"ArgumentsToAVariable", "i(1)", "Too many actual parameters", "1:1"}),
    [](const testing::TestParamInfo<PathErrorCase>& info) { return std::string(info.param.name); });

TEST_F(DesignatorTest, UndeclaredNamesBecomeVariantsWithoutDeclarations) {
  std::vector<sq::TsqNamePart> parts(1);
  parts[0].name = "misspelt";
  sq::TsqDesignatorOptions options;
  options.declareVars = false;
  auto d = sq::CompileDesignator(script_, std::move(parts), options);
  sq::TsqCustomVariable* v = script_.FindLocal("misspelt");
  ASSERT_NE(nullptr, v);
  EXPECT_EQ(sq::stVariant, v->Typ());
  EXPECT_TRUE(d->Value().IsNull());
}

TEST_F(DesignatorTest, TypedWithObjectsResolveMembersFirst) {
  sq::TsqCustomVariable* host = script_.Find("Host");
  std::vector<sq::TsqNamePart> parts(1);
  parts[0].name = "Width";
  sq::TsqDesignatorOptions options;
  options.withObjects = {host};
  auto d = sq::CompileDesignator(script_, std::move(parts), options);
  EXPECT_EQ(40, d->Value().ToInt32());
}

TEST_F(DesignatorTest, VariantsAreTypedByTheirValueWhenCompiled) {
  script_.AddVariable("vo", "Variant", Variant(&host_));
  script_.AddVariable("vt", "Variant", Variant("abc"));
  script_.AddVariable("vn", "Variant", Variant::MakeNull());
  EXPECT_EQ(40, Eval("vo.Width").ToInt32());
  EXPECT_EQ("b", Eval("vt[2]").ToString());
  EXPECT_THROW(sqtest::Build(script_, "vn.Width"), sq::TsqCompileError);
}

TEST_F(DesignatorTest, ConstructorAndDestructorModes) {
  THost made;
  bool freed = false;
  sq::TsqClassVariable* root = script_.FindClass("TObject");
  ASSERT_NE(nullptr, root);
  root->AddMethod("procedure Free", [&](core::TObject* obj, const core::ClassInfo*,
                                        const std::string&, sq::TsqMethodHelper&) {
    freed = obj == &made;
    return Variant();
  });
  script_.FindClass("THost")->AddConstructor(
      "constructor Create(w: Integer)",
      [&](core::TObject*, const core::ClassInfo* cls, const std::string&, sq::TsqMethodHelper& m) {
        EXPECT_EQ(THost::StaticClass(), cls);
        made.SetWidth(m.ParamValue(0).ToInt32());
        return Variant(static_cast<core::TObject*>(&made));
      });
  std::vector<sq::TsqNamePart> parts(1);
  parts[0].name = "THost";
  parts[0].args.push_back(sqtest::Build(script_, "5"));
  sq::TsqDesignatorOptions options;
  options.mode = sq::TsqDesignatorMode::Constructor;
  auto created = sq::CompileDesignator(script_, std::move(parts), options);
  EXPECT_EQ(sq::stClass, created->Typ());
  EXPECT_EQ("THost", created->TypeName());
  EXPECT_EQ(&made, sq::ObjectOf(created->Value()));
  EXPECT_EQ(5, made.Width());

  std::vector<sq::TsqNamePart> notClass(1);
  notClass[0].name = "i";
  try {
    sq::CompileDesignator(script_, std::move(notClass), options);
    FAIL();
  } catch (const sq::TsqCompileError& e) {
    EXPECT_STREQ("Class type required", e.what());
  }

  script_.AddObject("Made", &made);
  std::vector<sq::TsqNamePart> target(1);
  target[0].name = "Made";
  options.mode = sq::TsqDesignatorMode::Destructor;
  auto destroy = sq::CompileDesignator(script_, std::move(target), options);
  destroy->Value();
  EXPECT_TRUE(freed);
}

TEST_F(DesignatorTest, AddressOfGivesTheName) {
  std::vector<sq::TsqNamePart> parts(1);
  parts[0].kind = sq::TsqNamePart::AddressOf;
  parts[0].name = "ButtonClick";
  auto d = sq::CompileDesignator(script_, std::move(parts));
  EXPECT_EQ("ButtonClick", d->Value().ToString());
  EXPECT_EQ(sq::stString, d->Typ());
}

}  // namespace
