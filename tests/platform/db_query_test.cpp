// The same query suite on the embedded SQLite file and on PostgreSQL through
// ODBC: navigation, bookmarks, typed fields, nulls, blobs, parameters,
// procedure calls and the server's error texts.
#include "platform/db/db_query.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>

#include "core/date_time.h"
#include "core/error.h"
#include "core/text_util.h"

using platform::DbQuery;
using platform::DbSession;

namespace {

enum class Backend { Sqlite, Postgres };

std::string Name(const testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::Sqlite ? "Sqlite" : "PostgresOdbc";
}

class DbQueryTest : public testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    if (GetParam() == Backend::Sqlite) {
      std::string file = dir_.filePath("suite.db").toStdString();
      std::ofstream(file).put('\0');
      std::remove(file.c_str());
      std::ofstream create(file);
      session_.SetParam("DATABASE NAME", file);
      session_.SetParam("SERVER NAME", "");
      session_.Open();
      Exec("CREATE TABLE T (ID INTEGER, NAME VARCHAR(40), AMOUNT DOUBLE, BORN DATE, DATA BLOB, NOTE VARCHAR(20))");
      Exec("CREATE TABLE SYS_PROCEDURES (NAME TEXT, PARAMS TEXT, BODY TEXT)");
      Exec("INSERT INTO SYS_PROCEDURES VALUES ('SP_PICK', 'FROMID,NAMEPART', "
           "'CREATE TEMP TABLE IF NOT EXISTS PICKLOG (N TEXT); INSERT INTO PICKLOG VALUES (:NAMEPART); "
           "SELECT ID, NAME FROM T WHERE ID >= :FROMID AND NAME LIKE ''%'' || :NAMEPART || ''%'' ORDER BY ID')");
    } else {
      const char* dsn = std::getenv("SURVEY_TEST_PG_DSN");
      if (!dsn || !*dsn) GTEST_SKIP() << "SURVEY_TEST_PG_DSN is not set (./test starts the server)";
      session_.SetParam("SERVER NAME", dsn);
      session_.SetParam("USER NAME", "postgres");
      session_.Open();
      Exec("DROP FUNCTION IF EXISTS SP_PICK");
      Exec("DROP TABLE IF EXISTS T");
      Exec("CREATE TABLE T (ID INTEGER, NAME VARCHAR(40), AMOUNT DOUBLE PRECISION, BORN DATE, DATA BYTEA, "
           "NOTE VARCHAR(20))");
      Exec("CREATE FUNCTION SP_PICK(fromid INTEGER, namepart VARCHAR) RETURNS TABLE(ID INTEGER, NAME VARCHAR) "
           "LANGUAGE sql AS $$ SELECT ID, NAME FROM T WHERE ID >= fromid AND NAME LIKE '%' || namepart || '%' "
           "ORDER BY ID $$");
    }
    Exec("INSERT INTO T (ID, NAME, AMOUNT, BORN, NOTE) VALUES (1, '林秀英', 12.5, '2011-05-13', 'a')");
    Exec("INSERT INTO T (ID, NAME, AMOUNT, BORN, NOTE) VALUES (2, 'O''Brien', -3, '1999-12-31', NULL)");
    Exec("INSERT INTO T (ID, NAME, AMOUNT, BORN, NOTE) VALUES (3, '陈建华', 0.1, NULL, 'c')");
  }

  void Exec(const std::string& sql) {
    DbQuery q(session_);
    q.AddSql(sql);
    q.ExecSql();
  }

  QTemporaryDir dir_;
  DbSession session_{"His_DB"};
};

TEST_P(DbQueryTest, NavigatesAndReadsTypedFields) {
  DbQuery q(session_);
  q.AddSql("SELECT ID, NAME, AMOUNT, BORN, NOTE");
  q.AddSql("FROM T ORDER BY ID");
  EXPECT_EQ(q.SqlText(), "SELECT ID, NAME, AMOUNT, BORN, NOTE\nFROM T ORDER BY ID");
  q.Open();
  ASSERT_TRUE(q.Active());
  EXPECT_EQ(q.RecordCount(), 3);
  auto& d = q.Data();
  EXPECT_TRUE(d.Bof());
  EXPECT_EQ(q.FieldByName("id").AsInteger(), 1) << "field names compare without case";
  EXPECT_EQ(q.FieldByName("NAME").AsString(), "林秀英");
  EXPECT_DOUBLE_EQ(q.FieldByName("Amount").AsFloat(), 12.5);
  EXPECT_EQ(q.FieldByName("BORN").Kind(), platform::FieldKind::DateTime);
  EXPECT_EQ(d.Field(d.FieldIndex("NAME")).size, 40) << "declared text length";
  EXPECT_EQ(q.FieldByName("BORN").Value().ToDouble(), core::EncodeDate(2011, 5, 13));
  platform::DbResultSet::Bookmark first = d.GetBookmark();
  q.Next();
  EXPECT_EQ(q.FieldByName("NAME").AsString(), "O'Brien");
  EXPECT_TRUE(q.FieldByName("NOTE").IsNull());
  EXPECT_EQ(q.FieldByName("NOTE").AsString(), "") << "a null reads as the empty text";
  q.Next();
  EXPECT_FALSE(q.Eof());
  EXPECT_TRUE(q.FieldByName("BORN").IsNull());
  q.Next();
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 3) << "the last record stays current at the end";
  d.Prior();
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 2);
  d.GotoBookmark(first);
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 1);
  try {
    (void)q.FieldByName("MISSING");
    FAIL();
  } catch (const core::Error& e) {
    EXPECT_STREQ(e.what(), "Field 'MISSING' not found");
  }
}

TEST_P(DbQueryTest, EmptyResultIsAtEof) {
  DbQuery q(session_);
  q.AddSql("SELECT * FROM T WHERE ID < 0");
  q.Open();
  EXPECT_EQ(q.RecordCount(), 0);
  EXPECT_TRUE(q.Eof());
  EXPECT_TRUE(q.Data().Bof());
}

TEST_P(DbQueryTest, NamedParameterIsBoundNotPasted) {
  DbQuery q(session_);
  q.AddSql("SELECT ID FROM T WHERE NAME = :lvzyid00");
  q.SetParam("lvzyid00", "O'Brien");
  q.Open();
  ASSERT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 2);
  q.SetParam(":LVZYID00", "x' OR '1'='1");
  q.Open();
  EXPECT_EQ(q.RecordCount(), 0) << "a quote in a value must not change the statement";
}

TEST_P(DbQueryTest, BlobSavesToFile) {
  DbQuery up(session_);
  up.AddSql("UPDATE T SET DATA = :data WHERE ID = 1");
  std::string bytes("<?xml?>\0\x01\xFF\xD2\xBD", 12);
  up.SetParamBytes("data", bytes);
  up.ExecSql();
  DbQuery q(session_);
  q.AddSql("SELECT DATA FROM T WHERE ID = 1");
  q.Open();
  std::string path = dir_.filePath("blob.bin").toStdString();
  q.FieldByName("DATA").SaveToFile(path);
  std::ifstream in(path, std::ios::binary);
  std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(back, bytes) << "bytes must survive unchanged";
  EXPECT_THROW(q.FieldByName("DATA").SaveToFile("/nonexistent/dir/x.bin"), core::Error);
}

TEST_P(DbQueryTest, ProcedureCallReturnsItsRows) {
  DbQuery q(session_);
  q.AddSql("Exec SP_PICK '2','华'");
  q.Open();
  ASSERT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 3);
  EXPECT_EQ(q.FieldByName("NAME").AsString(), "陈建华");
  q.ClearSql();
  q.AddSql("Exec SP_PICK '1','''Brien'");
  q.Open();
  ASSERT_EQ(q.RecordCount(), 1) << "quoted arguments are bound values";
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 2);
}

TEST_P(DbQueryTest, ErrorsCarryTheServersMessage) {
  DbQuery q(session_);
  q.AddSql("SELECT * FROM NO_SUCH_TABLE");
  try {
    q.Open();
    FAIL() << "no error";
  } catch (const core::Error& e) {
    std::string msg = core::UpperCase(e.what());
    EXPECT_NE(msg.find("NO_SUCH_TABLE"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(q.Active());
  q.ClearSql();
  q.AddSql("Exec SP_NOT_THERE '1'");
  EXPECT_THROW(q.Open(), core::Error);
}

INSTANTIATE_TEST_SUITE_P(Backends, DbQueryTest, testing::Values(Backend::Sqlite, Backend::Postgres), Name);

TEST(DbSession, ParametersReplaceByNameWithoutCase) {
  DbSession s("His_DB");
  s.AddParamLine("MAX ROWS=-1");
  s.SetParam("max rows", "10");
  s.SetParam("PassWord", "x");
  EXPECT_EQ(s.Params().size(), 2u);
  EXPECT_EQ(s.Param("MAX ROWS"), "10");
  EXPECT_EQ(s.Param("PASSWORD"), "x");
}

TEST(DbSession, OpeningFailuresRaise) {
  DbSession missing("His_DB");
  missing.SetParam("DATABASE NAME", "/nonexistent/VLK.db");
  EXPECT_THROW(missing.Open(), core::Error);
  EXPECT_FALSE(missing.Connected());
  DbSession badDsn("His_DB");
  badDsn.SetParam("SERVER NAME", "NoSuchDsn");
  EXPECT_THROW(badDsn.Open(), core::Error);
}

}  // namespace
