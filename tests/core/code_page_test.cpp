// GBK <-> UTF-8 at the file boundary.
#include "core/code_page.h"

#include <gtest/gtest.h>

TEST(CodePage, RoundTripsChineseText) {
  const std::string utf8 = "医院出院病人调查表(病案)";
  std::string gbk = core::Utf8ToGbk(utf8);
  EXPECT_EQ(gbk.substr(0, 2), "\xD2\xBD") << "医 is D2BD in GBK";
  EXPECT_EQ(gbk.size(), 2 * 11 + 2) << "11 Chinese characters and two ASCII brackets";
  EXPECT_EQ(core::GbkToUtf8(gbk), utf8);
}

TEST(CodePage, BadBytesAreReplacedNotDropped) {
  EXPECT_EQ(core::GbkToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(core::Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b") << "an emoji has no GBK form";
  EXPECT_EQ(core::Utf8Length("出院ab"), 4u);
  EXPECT_TRUE(core::IsValidUtf8("出院"));
  EXPECT_FALSE(core::IsValidUtf8("\xB2\xA1")) << "病 in GBK";
}
