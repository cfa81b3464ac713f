// Expressions: building by priority, the compile-time type check, fast
// paths, short-circuit, Null rules, sets and the run-time error texts.
#include "script/expression.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "script/designator.h"
#include "script/helpers.h"
#include "script/script.h"
#include "test_support.h"

using core::Variant;
using core::VarType;

namespace {

class ExpressionTest : public testing::Test {
 protected:
  void SetUp() override {
    sqtest::AddStandardTypes(script_);
    script_.AddVariable("i", "Integer", Variant(int32_t{7}));
    script_.AddVariable("j", "Integer", Variant(int32_t{2}));
    script_.AddVariable("big", "Integer", Variant(int32_t{2147483647}));
    script_.AddVariable("vbig", "Variant", Variant(int32_t{2147483647}));
    script_.AddVariable("r", "Extended", Variant(0.5));
    script_.AddVariable("s", "String", Variant("xyz"));
    script_.AddVariable("t", "Boolean", Variant(true));
    script_.AddVariable("f", "Boolean", Variant(false));
    script_.AddVariable("vf", "Variant", Variant(false));
    script_.AddVariable("vs1", "Variant", Variant("1"));
    script_.AddVariable("vsa", "Variant", Variant("a"));
    script_.AddVariable("nul", "Variant", Variant::MakeNull());
    Variant arr = Variant::MakeArray({{0, 2}});
    arr.MutableArray().items = {Variant(int32_t{1}), Variant::MakeNull(), Variant(int32_t{5})};
    script_.AddVariable("arr", "Variant", arr);
    script_.AddMethod("function G: Boolean",
                      sq::TsqCallMethodEvent([this](core::TObject*, const core::ClassInfo*,
                                                    const std::string&, Variant&) {
                        ++calls_;
                        return Variant(true);
                      }));
  }

  sq::TsqScript script_;
  int calls_ = 0;
};

struct ValueCase {
  const char* name;
  const char* text;
  Variant expected;
};

class ExpressionValues : public ExpressionTest, public testing::WithParamInterface<ValueCase> {};

TEST_P(ExpressionValues, Evaluate) {
  const ValueCase& c = GetParam();
  Variant v = sqtest::Eval(script_, c.text);
  ASSERT_EQ(static_cast<int>(c.expected.Type()), static_cast<int>(v.Type()))
      << c.text << " gave " << v.ToString();
  if (c.expected.IsNull()) return;
  if (c.expected.IsFloat())
    EXPECT_DOUBLE_EQ(c.expected.ToDouble(), v.ToDouble()) << c.text;
  else
    EXPECT_EQ(c.expected.ToString(), v.ToString()) << c.text;
}

Variant Int(int32_t v) {
  return Variant(v);
}

INSTANTIATE_TEST_SUITE_P(
    Precedence, ExpressionValues,
    testing::Values(ValueCase{"MulBeforeAdd", "1 + 2 * 3", Int(7)},
                    ValueCase{"Brackets", "(1 + 2) * 3", Int(9)},
                    ValueCase{"LeftAssociative", "10 - 4 - 3", Int(3)},
                    ValueCase{"NestedBrackets", "((2 + 3) * (4 - 1)) div 2", Int(7)},
                    ValueCase{"IntDiv", "7 div 2", Int(3)},
                    ValueCase{"RealDivOfInts", "7 / 2", Variant(3.5)},
                    ValueCase{"Mod", "7 mod 3", Int(1)},
                    ValueCase{"UnaryMinusBindsFirst", "-i * j", Int(-14)},
                    ValueCase{"UnaryMinusOfBracket", "-(1 + 2)", Int(-3)},
                    ValueCase{"UnaryMinusAsRightOperand", "2 * -3", Int(-6)},
                    ValueCase{"NotAppliesToNextOperand", "not t = f", Variant(true)},
                    ValueCase{"NotOfInteger", "not 5", Int(-6)},
                    ValueCase{"ComparisonChainGroupsLeft", "1 < 2 = t", Variant(true)},
                    ValueCase{"BracketedOr", "(i = 7) or (j = 5)", Variant(true)}),
    [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Variants, ExpressionValues,
    testing::Values(ValueCase{"NumericStringPlusInt", "vs1 + 2", Variant(3.0)},
                    ValueCase{"StringConcat", "'ab' + 'cd'", Variant("abcd")},
                    ValueCase{"NullPlusOne", "nul + 1", Variant::MakeNull()},
                    ValueCase{"NullEqualsNull", "nul = nul", Variant(true)},
                    ValueCase{"NullBelowZero", "nul < 0", Variant(true)},
                    ValueCase{"LowerAfterUpper", "'a' < 'B'", Variant(false)},
                    ValueCase{"ByteCompare", "'abc' < 'abd'", Variant(true)},
                    ValueCase{"PrefixSmaller", "'ab' < 'abc'", Variant(true)},
                    ValueCase{"IntegerWrapsAt32Bits", "big + 1", Int(-2147483647 - 1)},
                    ValueCase{"IntegerMulWraps", "big * 2", Int(-2)},
                    ValueCase{"VariantOverflowTurnsReal", "vbig + 1", Variant(2147483648.0)},
                    ValueCase{"IntPlusFloat", "i + r", Variant(7.5)},
                    ValueCase{"WideDecimalLiteralIsReal", "3000000000 + 0", Variant(3000000000.0)},
                    ValueCase{"HexLiteralKeepsBits", "$FFFFFFFF", Int(-1)},
                    ValueCase{"FloatLiteral", "1.25 * 2", Variant(2.5)}),
    [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Sets, ExpressionValues,
    testing::Values(ValueCase{"InRange", "5 in [1, 3..6]", Variant(true)},
                    ValueCase{"BelowRange", "2 in [1, 3..6]", Variant(false)},
                    ValueCase{"AboveRange", "7 in [1, 3..6]", Variant(false)},
                    ValueCase{"SingleElement", "1 in [1, 3..6]", Variant(true)},
                    ValueCase{"RangeBound", "6 in [1, 3..6]", Variant(true)},
                    ValueCase{"ComputedElements", "i in [j + 5]", Variant(true)},
                    ValueCase{"EmptySet", "1 in []", Variant(false)},
                    ValueCase{"StringInSet", "s in ['abc', 'xyz']", Variant(true)},
                    ValueCase{"InVariantArrayRange", "3 in arr", Variant(true)},
                    ValueCase{"OutsideVariantArrayRange", "6 in arr", Variant(false)}),
    [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

struct ErrorCase {
  const char* name;
  const char* text;
  const char* error;
};

class ExpressionErrors : public ExpressionTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(ExpressionErrors, Raise) {
  const ErrorCase& c = GetParam();
  try {
    sqtest::Eval(script_, c.text);
    FAIL() << c.text << " should fail with " << c.error;
  } catch (const core::Error& e) {
    EXPECT_STREQ(c.error, e.what()) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runtime, ExpressionErrors,
    testing::Values(ErrorCase{"TextPlusInt", "vsa + 2", "Invalid variant type conversion"},
                    ErrorCase{"IntDivByZero", "7 div (j - 2)", "Division by zero"},
                    ErrorCase{"IntModByZero", "7 mod 0", "Division by zero"},
                    ErrorCase{"RealDivByZero", "1 / 0", "Floating point division by zero"},
                    ErrorCase{"NullAgainstEmpty", "nul < arr", "Invalid variant operation"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    TypeCheck, ExpressionErrors,
    testing::Values(ErrorCase{"BooleanComparedWithLess", "t < f", "Incompatible types at 1:3"},
                    ErrorCase{"StringPlusIntLiteral", "'1' + 2", "Incompatible types at 1:5"},
                    ErrorCase{"StringTimesNumber", "s * 2", "Incompatible types at 1:3"},
                    ErrorCase{"UnbracketedOrChain", "i = 7 or j = 2", "Incompatible types at 1:12"},
                    ErrorCase{"FirstFailureWins", "(t < f) + ('a' * 2)",
                              "Incompatible types at 1:4"},
                    ErrorCase{"MinusOfString", "-s", "Incompatible types at 1:1"},
                    ErrorCase{"IntPlusString", "i + s", "Incompatible types at 1:3"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST_F(ExpressionTest, BooleanAndOrShortCircuitOnlyWhenBothTyped) {
  struct Case {
    const char* text;
    int calls;
    bool result;
  } cases[] = {
      {"f and G", 0, false}, {"t and G", 1, true},   {"t or G", 0, true},
      {"f or G", 1, true},   {"vf and G", 1, false},
  };
  for (const Case& c : cases) {
    calls_ = 0;
    Variant v = sqtest::Eval(script_, c.text);
    EXPECT_EQ(c.calls, calls_) << c.text;
    EXPECT_EQ(c.result, v.ToBool()) << c.text;
  }
}

TEST_F(ExpressionTest, TypeCheckSetsKindsAndFlags) {
  struct Case {
    const char* text;
    sq::TsqTypeKind kind;
  } cases[] = {
      {"i + j", sq::stInt},      {"i / j", sq::stFloat},     {"i + r", sq::stFloat},
      {"r + i", sq::stFloat},    {"i < j", sq::stBool},      {"i in [1]", sq::stBool},
      {"s + 'a'", sq::stString}, {"vs1 + 1", sq::stVariant}, {"t and f", sq::stBool},
      {"nul", sq::stVariant},
  };
  for (const Case& c : cases) {
    std::string fail;
    auto e = sqtest::Build(script_, c.text, &fail);
    EXPECT_EQ("", fail) << c.text;
    EXPECT_EQ(c.kind, e->Typ()) << c.text;
  }
  auto e = sqtest::Build(script_, "i + j");
  auto* op = dynamic_cast<sq::TsqOperatorNode*>(e->Root());
  ASSERT_NE(nullptr, op);
  EXPECT_TRUE(op->BothInteger());
  e = sqtest::Build(script_, "i + vbig");
  EXPECT_FALSE(dynamic_cast<sq::TsqOperatorNode*>(e->Root())->BothInteger());
}

TEST_F(ExpressionTest, StrCatJoinsTextOtherwiseAdds) {
  struct Case {
    Variant left, right;
    const char* expected;
  } cases[] = {{Variant("a"), Variant(int32_t{1}), "a1"},
               {Variant(int32_t{1}), Variant(int32_t{2}), "3"},
               {Variant("n"), Variant::MakeNull(), "n"}};
  for (const Case& c : cases) {
    sq::TsqExpression e(&script_);
    e.AddOperand(c.left);
    EXPECT_TRUE(e.AddOperator("StrCat"));
    e.AddOperand(c.right);
    e.Finalize();
    EXPECT_EQ(c.expected, e.Value().ToString());
  }
}

TEST_F(ExpressionTest, AssignmentGoesThroughARootDesignator) {
  auto target = sqtest::Build(script_, "i");
  EXPECT_TRUE(target->IsAssignable());
  target->SetValue(Variant(int32_t{42}));
  EXPECT_EQ(42, script_.Find("i")->Value().ToInt32());
  auto sum = sqtest::Build(script_, "i + 1");
  EXPECT_FALSE(sum->IsAssignable());
  EXPECT_THROW(sum->SetValue(Variant(int32_t{1})), core::Error);
}

TEST_F(ExpressionTest, BuilderEdges) {
  sq::TsqExpression empty(&script_);
  EXPECT_EQ("", empty.Finalize());
  EXPECT_TRUE(empty.Value().IsNull());
  sq::TsqExpression e(&script_);
  EXPECT_FALSE(e.AddOperator("**")) << "an unknown operator adds no node";
  e.AddOperand(Variant(int32_t{2}));
  e.Finalize();
  EXPECT_EQ(2, e.Value().ToInt32());
  auto text = sqtest::Build(script_, "  i  +  1 ");
  EXPECT_EQ("i  +  1 ", text->SourceText());
}

TEST(ExpressionLiterals, NumberAndStringTokens) {
  EXPECT_EQ(VarType::Integer, sq::TsqExpression::NumberValue("12").Type());
  EXPECT_EQ(31, sq::TsqExpression::NumberValue("$1F").ToInt32());
  EXPECT_DOUBLE_EQ(0.0015, sq::TsqExpression::NumberValue("1.5e-3").ToDouble());
  EXPECT_EQ("it's", sq::TsqExpression::StringValue("'it's'").ToString());
  EXPECT_EQ("", sq::TsqExpression::StringValue("''").ToString());
}

}  // namespace
