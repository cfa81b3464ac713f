// Variant arithmetic and comparison: the class-pair table (Empty, Null,
// integer, real, currency, string, Boolean, date) and the error texts.
#include "core/variant_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "core/error.h"
#include "core/object.h"

using core::Currency;
using core::Variant;
using core::VarOp;
using core::VarType;

namespace {

// One sample value per operand class.
Variant E() {
  return Variant();
}
Variant N() {
  return Variant::MakeNull();
}
Variant I(int32_t v = 7) {
  return Variant(v);
}
Variant R(double v = 2.5) {
  return Variant(v);
}
Variant C(double v = 1.5) {
  return Variant(Currency::FromDouble(v));
}
Variant S(const char* v = "4") {
  return Variant(v);
}
Variant B(bool v = true) {
  return Variant(v);
}
Variant D(double v = 45000.0) {
  return Variant::MakeDate(v);
}

struct OpCase {
  const char* name;
  Variant left;
  Variant right;
  VarOp op;
  Variant expected;  // compared by type and value when no error is expected
  const char* error = nullptr;
};

void ExpectSame(const Variant& expected, const Variant& actual) {
  ASSERT_EQ(static_cast<int>(expected.Type()), static_cast<int>(actual.Type()))
      << "got " << actual.ToString();
  if (expected.IsNull() || expected.IsEmpty()) return;
  if (expected.IsString()) {
    EXPECT_EQ(expected.RawString(), actual.RawString());
  } else if (expected.Type() == VarType::Currency) {
    EXPECT_EQ(expected.RawInt(), actual.RawInt());
  } else if (expected.IsFloat()) {
    EXPECT_DOUBLE_EQ(expected.RawDouble(), actual.RawDouble());
  } else if (expected.IsBoolean()) {
    EXPECT_EQ(expected.RawBool(), actual.RawBool());
  } else {
    EXPECT_EQ(expected.RawInt(), actual.RawInt());
  }
}

class VarOperationTable : public testing::TestWithParam<OpCase> {};

TEST_P(VarOperationTable, Computes) {
  const OpCase& c = GetParam();
  if (c.error) {
    try {
      core::VarOperation(c.left, c.right, c.op);
      FAIL() << "expected " << c.error;
    } catch (const core::Error& e) {
      EXPECT_STREQ(c.error, e.what());
    }
    return;
  }
  ExpectSame(c.expected, core::VarOperation(c.left, c.right, c.op));
}

const char* kInvalidOp = "Invalid variant operation";
const char* kConversion = "Invalid variant type conversion";

INSTANTIATE_TEST_SUITE_P(
    Pairs, VarOperationTable,
    testing::Values(
        // err row and column
        OpCase{"EmptyPlusInt", E(), I(), VarOp::Add, {}, kInvalidOp},
        OpCase{"IntPlusEmpty", I(), E(), VarOp::Add, {}, kInvalidOp},
        OpCase{"NullPlusEmpty", N(), E(), VarOp::Add, {}, kInvalidOp},
        OpCase{"DatePlusEmpty", D(), E(), VarOp::Sub, {}, kInvalidOp},
        // null
        OpCase{"NullPlusInt", N(), I(), VarOp::Add, N()},
        OpCase{"IntTimesNull", I(), N(), VarOp::Mul, N()},
        OpCase{"NullAndBool", N(), B(), VarOp::And, N()},
        OpCase{"StringPlusNull", S(), N(), VarOp::Add, N()},
        // int
        OpCase{"IntPlusInt", I(7), I(2), VarOp::Add, I(9)},
        OpCase{"IntDivideIntIsReal", I(7), I(2), VarOp::Div, R(3.5)},
        OpCase{"IntDivInt", I(7), I(2), VarOp::IntDiv, I(3)},
        OpCase{"NegativeDivTruncates", I(-7), I(2), VarOp::IntDiv, I(-3)},
        OpCase{"IntModInt", I(7), I(3), VarOp::Mod, I(1)},
        OpCase{"IntPlusBool", I(7), B(true), VarOp::Add, I(6)},
        OpCase{"BoolPlusInt", B(true), I(1), VarOp::Add, I(0)},
        OpCase{"IntAndInt", I(6), I(3), VarOp::And, I(2)},
        OpCase{"IntXorInt", I(6), I(3), VarOp::Xor, I(5)},
        OpCase{"ShlShifts", I(1), I(4), VarOp::Shl, I(16)},
        OpCase{"ShrIsLogical", I(-1), I(28), VarOp::Shr, I(15)},
        OpCase{"AddOverflowTurnsReal", I(2147483647), I(1), VarOp::Add, R(2147483648.0)},
        OpCase{"MulOverflowTurnsReal", I(65536), I(65536), VarOp::Mul, R(4294967296.0)},
        OpCase{"SubOverflowTurnsReal", I(-2147483647 - 1), I(1), VarOp::Sub, R(-2147483649.0)},
        OpCase{"DivByZero", I(1), I(0), VarOp::IntDiv, {}, "Division by zero"},
        OpCase{"ModByZero", I(1), I(0), VarOp::Mod, {}, "Division by zero"},
        // real
        OpCase{"IntPlusReal", I(7), R(2.5), VarOp::Add, R(9.5)},
        OpCase{"RealPlusString", R(2.5), S("4"), VarOp::Add, R(6.5)},
        OpCase{"RealDivRoundsToEven", R(2.5), I(2), VarOp::IntDiv, I(1)},
        OpCase{"RealModRounds", R(7.5), I(3), VarOp::Mod, I(2)},
        OpCase{"BoolPlusReal", B(true), R(0.5), VarOp::Add, R(-0.5)},
        OpCase{"RealByZero", R(1.0), I(0), VarOp::Div, {}, "Floating point division by zero"},
        OpCase{"ZeroByZero", R(0.0), R(0.0), VarOp::Div, {}, "Invalid floating point operation"},
        // string
        OpCase{"StringPlusString", S("ab"), S("cd"), VarOp::Add, S("abcd")},
        OpCase{"StringTimesString", S("4"), S("4"), VarOp::Mul, R(16.0)},
        OpCase{"NumericStringPlusInt", S("1"), I(2), VarOp::Add, R(3.0)},
        OpCase{"IntPlusNumericString", I(2), S("1.5"), VarOp::Add, R(3.5)},
        OpCase{"TextPlusInt", S("a"), I(2), VarOp::Add, {}, kConversion},
        OpCase{"StringMinusString", S("a"), S("b"), VarOp::Sub, {}, kConversion},
        // currency
        OpCase{"IntPlusCurrency", I(7), C(1.5), VarOp::Add, C(8.5)},
        OpCase{"CurrencyTimesReal", C(1.5), R(2.5), VarOp::Mul, C(3.75)},
        OpCase{"CurrencyByInt", C(1.0), I(3), VarOp::Div, C(0.3333)},
        OpCase{"StringPlusCurrency", S("2"), C(0.25), VarOp::Add, C(2.25)},
        OpCase{"CurrencyDivIsInt", C(7.0), I(2), VarOp::IntDiv, I(3)},
        // bool
        OpCase{"BoolAndBool", B(true), B(false), VarOp::And, B(false)},
        OpCase{"BoolOrBool", B(false), B(true), VarOp::Or, B(true)},
        OpCase{"BoolXorBool", B(true), B(true), VarOp::Xor, B(false)},
        OpCase{"BoolPlusBoolIsReal", B(true), B(true), VarOp::Add, R(-2.0)},
        OpCase{"StringAndBool", S("True"), B(true), VarOp::And, B(true)},
        OpCase{"StringOrBool", S("0"), B(false), VarOp::Or, B(false)},
        // date
        OpCase{"DatePlusInt", D(45000), I(2), VarOp::Add, D(45002)},
        OpCase{"IntPlusDate", I(2), D(45000), VarOp::Add, D(45002)},
        OpCase{"DateMinusInt", D(45000), I(1), VarOp::Sub, D(44999)},
        OpCase{"DateMinusDateIsDays", D(45000.5), D(44990), VarOp::Sub, R(10.5)},
        OpCase{"DateMinusRealIsDate", D(45000), R(0.5), VarOp::Sub, D(44999.5)},
        OpCase{"DateTimesIntIsReal", D(2), I(3), VarOp::Mul, R(6.0)},
        OpCase{"StringPlusDate", S("1"), D(45000), VarOp::Add, D(45001)}),
    [](const testing::TestParamInfo<OpCase>& info) { return std::string(info.param.name); });

struct CompareCase {
  const char* name;
  Variant left;
  Variant right;
  int expected;
  const char* error = nullptr;
};

class VarCompareTable : public testing::TestWithParam<CompareCase> {};

TEST_P(VarCompareTable, Orders) {
  const CompareCase& c = GetParam();
  if (c.error) {
    try {
      core::VarCompare(c.left, c.right);
      FAIL() << "expected " << c.error;
    } catch (const core::Error& e) {
      EXPECT_STREQ(c.error, e.what());
    }
    return;
  }
  EXPECT_EQ(c.expected, core::VarCompare(c.left, c.right));
}

core::TObject* SomeObject() {
  static core::TObject object;
  return &object;
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, VarCompareTable,
    testing::Values(CompareCase{"NullEqualsNull", N(), N(), 0},
                    CompareCase{"NullBelowZero", N(), I(0), -1},
                    CompareCase{"NullBelowEmptyText", N(), S(""), -1},
                    CompareCase{"IntAboveNull", I(-5), N(), 1},
                    CompareCase{"EmptyFails", E(), I(0), 0, kInvalidOp},
                    CompareCase{"NullAgainstEmptyFails", N(), E(), 0, kInvalidOp},
                    CompareCase{"LowerAfterUpperByteWise", S("a"), S("B"), 1},
                    CompareCase{"LastByteDecides", S("abc"), S("abd"), -1},
                    CompareCase{"PrefixIsSmaller", S("ab"), S("abc"), -1},
                    CompareCase{"HighBytesAreUnsigned", S("\xE4\xB8\xAD"), S("z"), 1},
                    CompareCase{"StringEqualsString", S("x"), S("x"), 0},
                    CompareCase{"NumericStringAgainstInt", S("10"), I(9), 1},
                    CompareCase{"TextAgainstIntFails", S("x"), I(9), 0, kConversion},
                    CompareCase{"IntAgainstReal", I(2), R(2.5), -1},
                    CompareCase{"CurrencyAgainstReal", C(1.5), R(1.5), 0},
                    CompareCase{"DateAgainstInt", D(45000), I(44999), 1},
                    CompareCase{"FalseBelowTrue", B(false), B(true), -1},
                    CompareCase{"TrueIsMinusOneAgainstInt", B(true), I(0), -1},
                    CompareCase{"StringAgainstBool", S("True"), B(true), 0},
                    CompareCase{"ObjectAgainstNil", Variant(SomeObject()), I(0), 1},
                    CompareCase{"ObjectAgainstItself", Variant(SomeObject()), Variant(SomeObject()),
                                0}),
    [](const testing::TestParamInfo<CompareCase>& info) { return std::string(info.param.name); });

TEST(VarUnary, NegateByClass) {
  ExpectSame(I(-7), core::VarNeg(I(7)));
  ExpectSame(R(2147483648.0), core::VarNeg(I(-2147483647 - 1)));
  ExpectSame(R(-2.5), core::VarNeg(R(2.5)));
  ExpectSame(C(-1.5), core::VarNeg(C(1.5)));
  ExpectSame(R(-4.0), core::VarNeg(S("4")));
  ExpectSame(N(), core::VarNeg(N()));
  ExpectSame(I(1), core::VarNeg(B(true)));
  EXPECT_THROW(core::VarNeg(E()), core::Error);
}

TEST(VarUnary, NotByClass) {
  ExpectSame(B(false), core::VarNot(B(true)));
  ExpectSame(N(), core::VarNot(N()));
  ExpectSame(I(-8), core::VarNot(I(7)));
  ExpectSame(I(-3), core::VarNot(R(2.4)));  // rounds to 2 first
}

TEST(IntFastPath, DivisionWrapsAndChecksZero) {
  EXPECT_EQ(3, core::IntDivChecked(7, 2));
  EXPECT_EQ(-2147483647 - 1, core::IntDivChecked(-2147483647 - 1, -1));
  EXPECT_EQ(0, core::IntModChecked(-2147483647 - 1, -1));
  EXPECT_THROW(core::IntDivChecked(1, 0), core::Error);
}

}  // namespace
