// Password descrambling, its inverse and DefaultIfBlank.
#include "app/password.h"

#include <gtest/gtest.h>

namespace {

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

// Expected bytes computed by hand from the regrouping, the padding rules and
// the key positions 2..7, 1, 2, ...
TEST(DecodePassword, Table) {
  struct Case {
    const char* name;
    const char* stored;
    const char* hex;
  } cases[] = {
      {"empty", "", ""},
      {"length 1 (4k+1) yields nothing", "Q", ""},
      {"length 2 stays, pads ==", "QQ", "d5"},
      {"length 3 regroups c2 c3 c1, pads =", "vQk", "d6d6"},
      {"length 4 regroups c3 c1 c4 c2", "vzW9", "ee8a06"},
      {"length 5 regroups c2 c4 c5 c3 c1", "vzW93", "636869"},
      {"five then two", "vzW93M8", "6368696566"},
      {"five then one", "ingaew", "31323334"},
      {"GBK bytes", "QLv1Eg", "c3dcc2eb"},
      {"slash maps to 63 like any other character", "a/b+c", "9372ae"},
      {"= inside is 63", "ab=cd=", "01521214"},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(app::DecodePasswordBytes(c.stored)), c.hex) << c.name;
  EXPECT_EQ(app::DecodePassword("vzW93M8"), "chief");
  EXPECT_EQ(app::DecodePassword("QLv1Eg"), "密码") << "decoded bytes are GBK";
}

TEST(DecodePassword, EmptyMarker) {
  std::string stored = app::EncodePassword("4071958362");
  EXPECT_FALSE(stored.empty());
  EXPECT_EQ(app::DecodePassword(stored), "");
}

TEST(EncodePassword, RoundTrips) {
  for (const char* text : {"a", "ab", "abc", "abcd", "abcde", "chief", "1234567890123", "密码", "O'Brien",
                           "福州市第一人民医院", "  spaced  "}) {
    std::string stored = app::EncodePassword(text);
    EXPECT_EQ(stored.find('='), std::string::npos) << "stored texts carry no padding: " << text;
    EXPECT_EQ(app::DecodePassword(stored), text);
  }
  EXPECT_EQ(app::EncodePassword("chief"), "vzW93M8");
}

TEST(DefaultIfBlank, Table) {
  EXPECT_EQ(app::DefaultIfBlank("", "VLK"), "VLK");
  EXPECT_EQ(app::DefaultIfBlank("  \t", "VLK"), "VLK");
  EXPECT_EQ(app::DefaultIfBlank(" HIS ", "VLK"), " HIS ") << "a value that is not blank stays untrimmed";
}

}  // namespace
