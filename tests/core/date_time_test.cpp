// Day numbers and the date pattern formatter.
#include "core/date_time.h"

#include <gtest/gtest.h>

using core::EncodeDate;
using core::EncodeTime;

TEST(DateTime, DayNumbersCountFrom18991230) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2011, 5, 13), 40676);
  EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
  auto p = core::DecodeDate(40676.75);
  EXPECT_EQ(p.year, 2011);
  EXPECT_EQ(p.month, 5);
  EXPECT_EQ(p.day, 13);
  auto t = core::DecodeTime(40676.75);
  EXPECT_EQ(t.hour, 18);
  EXPECT_EQ(core::DayOfWeek(EncodeDate(2026, 12, 10)), 5);  // a Thursday
  EXPECT_FALSE(core::IsValidDate(2023, 2, 29));
  EXPECT_TRUE(core::IsValidDate(2024, 2, 29));
}

TEST(DateTime, Patterns) {
  core::FormatSettingsData s;
  s.ShortDateFormat = "YYYY.MM.DD";
  s.DateSeparator = '.';
  s.LongTimeFormat = "hh:nn:ss";
  double v = EncodeDate(2026, 3, 7) + EncodeTime(14, 5, 9, 30);
  struct Case {
    const char* pattern;
    const char* text;
  } cases[] = {
      {"YYYY.MM.DD", "2026.03.07"},
      {"yy/m/d", "26.3.7"},
      {"hh:nn:ss.zzz", "14:05:09.030"},
      {"hh:mm", "14:05"},  // m right after an hour means minutes
      {"h:mm am/pm", "2:05 pm"},
      {"\"at\" hh 'o''clock'", "at 14 oclock"},
      {"mmm mmmm ddd dddd", "Mar March Sat Saturday"},
      {"ddddd", "2026.03.07"},
      {"c", "2026.03.07 14:05:09"},
      {"yyyy年m月d日", "2026年3月7日"},
  };
  for (const auto& c : cases) EXPECT_EQ(core::FormatDateTime(c.pattern, v, s), c.text) << c.pattern;
  EXPECT_EQ(core::FormatDateTime("c", EncodeDate(2026, 3, 7), s), "2026.03.07")
      << "midnight shows no time";
}
