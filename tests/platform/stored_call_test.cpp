// Recognising procedure calls and splitting scripts.
#include "platform/db/stored_call.h"

#include <gtest/gtest.h>

#include "core/error.h"

using platform::ParseStoredCall;

TEST(StoredCall, ParsesQuotedAndBareArguments) {
  auto call = ParseStoredCall("Exec SP_BA_SYBRDC '01','','2026-01-01','O''Brien', 12, 2.5, NULL");
  ASSERT_TRUE(call);
  EXPECT_EQ(call->name, "SP_BA_SYBRDC");
  ASSERT_EQ(call->args.size(), 7u);
  EXPECT_EQ(call->args[0].ToString(), "01");
  EXPECT_EQ(call->args[1].ToString(), "");
  EXPECT_EQ(call->args[3].ToString(), "O'Brien");
  EXPECT_EQ(call->args[4].Type(), core::VarType::Integer);
  EXPECT_EQ(call->args[5].ToDouble(), 2.5);
  EXPECT_TRUE(call->args[6].IsNull());
  auto none = ParseStoredCall("  execute   SP_X  ");
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->args.empty());
}

TEST(StoredCall, OtherStatementsAreNotCalls) {
  for (const char* sql : {"select * from XT_YGBM00", "Executive", "exec", "EXECUTE"})
    EXPECT_FALSE(ParseStoredCall(sql)) << sql;
}

TEST(StoredCall, MalformedArgumentsRaise) {
  for (const char* sql : {"Exec SP 'open", "Exec SP 'a' 'b'", "Exec SP abc", "Exec SP 'a'; drop table x"})
    EXPECT_THROW(ParseStoredCall(sql), core::Error) << sql;
}

TEST(StoredCall, SplitsScriptsOutsideQuotes) {
  auto parts = platform::SplitStatements("a 'x;y'; -- note; here\n b;; \"c;d\"");
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0], "a 'x;y'");
  EXPECT_EQ(parts[1], "b");
  EXPECT_EQ(parts[2], "\"c;d\"");
  auto fn = platform::SplitStatements("CREATE FUNCTION f() AS $$ BEGIN x; y; END $$ LANGUAGE plpgsql; z");
  ASSERT_EQ(fn.size(), 2u);
  EXPECT_EQ(fn[1], "z");
}
