// Variant storage and conversions.
#include "core/variant.h"

#include <gtest/gtest.h>

#include "core/date_time.h"
#include "core/error.h"

using core::Variant;
using core::VarType;

TEST(Variant, NumbersStayInline) {
  static_assert(sizeof(Variant) <= 16, "a variant is a tag and one word");
  Variant v(int32_t{42});
  EXPECT_EQ(v.Type(), VarType::Integer);
  EXPECT_EQ(v.ToInt32(), 42);
  Variant d(2.5);
  EXPECT_EQ(d.Type(), VarType::Double);
}

TEST(Variant, CopiesShareStringsAndArraysCopyOnWrite) {
  Variant a("abc");
  Variant b = a;
  EXPECT_EQ(&a.RawString(), &b.RawString());
  Variant arr = Variant::MakeArray({{1, 3}});
  Variant arr2 = arr;
  arr2.MutableArray().items[0] = Variant(int32_t{7});
  EXPECT_TRUE(arr.RawArray().items[0].IsEmpty()) << "changing a copy must not change the original";
  EXPECT_EQ(arr2.RawArray().items[0].ToInt32(), 7);
  EXPECT_EQ(arr.RawArray().bounds[0].low, 1);
  EXPECT_EQ(arr.RawArray().items.size(), 3u);
  Variant moved = std::move(a);
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(moved.ToString(), "abc");
}

TEST(Variant, TextConversions) {
  core::FormatSettings().ShortDateFormat = "yyyy.mm.dd";
  struct Case {
    const char* name;
    Variant value;
    const char* text;
  } cases[] = {
      {"empty", Variant(), ""},
      {"null", Variant::MakeNull(), ""},
      {"int", Variant(int32_t{-17}), "-17"},
      {"int64", Variant(int64_t{1} << 40), "1099511627776"},
      {"double", Variant(0.1), "0.1"},
      {"whole double", Variant(3.0), "3"},
      {"currency", Variant(core::Currency{12345}), "1.2345"},
      {"currency trailing zeros", Variant(core::Currency{-25000}), "-2.5"},
      {"true", Variant(true), "True"},
      {"date", Variant::MakeDate(core::EncodeDate(2011, 5, 13)), "2011.05.13"},
      {"string", Variant("出院"), "出院"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value.ToString(), c.text) << c.name;
}

TEST(Variant, NumberConversions) {
  EXPECT_EQ(Variant(2.5).ToInt32(), 2) << "ties round to even";
  EXPECT_EQ(Variant(3.5).ToInt32(), 4);
  EXPECT_EQ(Variant(-2.5).ToInt32(), -2);
  EXPECT_EQ(Variant(true).ToInt32(), -1);
  EXPECT_EQ(Variant(" 12 ").ToInt32(), 12);
  EXPECT_DOUBLE_EQ(Variant("1.5e2").ToDouble(), 150.0);
  EXPECT_EQ(Variant().ToInt32(), 0);
  EXPECT_TRUE(Variant("TRUE").ToBool());
  EXPECT_FALSE(Variant("0").ToBool());
  EXPECT_EQ(Variant(1.5).ToCurrency().scaled, 15000);
}

TEST(Variant, BadConversionsRaiseTheVariantError) {
  const Variant bad[] = {Variant("a"), Variant::MakeNull(), Variant("1,5"), Variant(""),
                         Variant(1e30)};
  for (const Variant& v : bad) {
    try {
      (void)v.ToInt32();
      ADD_FAILURE() << "no error for " << v.ToString();
    } catch (const core::Error& e) {
      EXPECT_STREQ(e.what(), "Invalid variant type conversion");
    }
  }
  EXPECT_THROW((void)Variant("x").ToBool(), core::Error);
}
