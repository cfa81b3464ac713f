// General-format float text: the form templates store numbers in.
#include "core/float_text.h"

#include <gtest/gtest.h>

TEST(FloatText, GeneralFormat) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {1, "1"},
      {-3, "-3"},
      {0.1, "0.1"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},         // rounded at the 15th digit
      {3.77953, "3.77953"},
      {37.7953, "37.7953"},
      {123456789012345.0, "123456789012345"},  // 15 digits stay fixed
      {1e15, "1E15"},                          // 16 integer digits switch to exponent
      {1234567890123456789.0, "1.23456789012346E18"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {-1.5e-7, "-1.5E-7"},
      {1e100, "1E100"},
      {210.5, "210.5"},
  };
  for (const auto& c : cases) EXPECT_EQ(core::FloatToStr(c.value), c.text) << c.text;
  EXPECT_EQ(core::FloatToStrSep(1.25, ','), "1,25");
}

TEST(FloatText, RoundTripsThroughTheParser) {
  for (double d : {0.1, 3.77953, -1234.5678, 1e-10, 6.02214076e23}) {
    double back = 0;
    ASSERT_TRUE(core::TextToFloat(core::FloatToStr(d), back));
    EXPECT_NEAR(back, d, std::abs(d) * 1e-14);
  }
}

TEST(FloatText, Parser) {
  double d = 0;
  EXPECT_TRUE(core::TextToFloat(" -12.5 ", d));
  EXPECT_EQ(d, -12.5);
  EXPECT_TRUE(core::TextToFloat("1E3", d));
  EXPECT_EQ(d, 1000);
  for (const char* bad : {"", "-", "1.2.3", "abc", "1e", "1,5", "0x10"})
    EXPECT_FALSE(core::TextToFloat(bad, d)) << bad;
  EXPECT_TRUE(core::TextToFloatAnySeparator("1,5", d));
  EXPECT_EQ(d, 1.5);
}
