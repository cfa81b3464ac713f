// Report datasets: the database adapter over a real SQLite query (aliases,
// range bounds, display texts, error entries, large objects) and the row
// counting user dataset.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "core/error.h"
#include "platform/db/db_query.h"
#include "platform/db/db_session.h"
#include "report/db/query_source.h"
#include "report/db_dataset.h"
#include "report/memo_text.h"
#include "report/options.h"
#include "report/persistent.h"
#include "report/report.h"
#include "report/value_lookup.h"
#include "report/view.h"

namespace report {
namespace {

class DBDatasetTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    std::string file = dir_.filePath("report.db").toStdString();
    std::ofstream{file};
    session_.SetParam("DATABASE NAME", file);
    session_.SetParam("SERVER NAME", "");
    session_.Open();
    Exec("CREATE TABLE P (ID INTEGER, NAME VARCHAR(30), BORN DATE, NOTE BLOB)");
    Exec("INSERT INTO P VALUES (1, '张三', '2001-02-03', NULL)");
    Exec(
        "INSERT INTO P VALUES (2, '李\xF0\xA8\x8B\xA2', '1990-07-08', "
        "X'6C696E6520310D0A6C696E652032')");
    Exec("INSERT INTO P VALUES (3, 'O''Neil', NULL, NULL)");
    query_.AddSql("SELECT ID, NAME, BORN, NOTE FROM P ORDER BY ID");
    ds_.SetName("QDDBBRXX");
    ds_.SetDataSet(&source_);
    report_.Datasets()->AddDataSet(&ds_);
    report_.SetCurrentObjectName("Memo1");
    ds_.SetServedReport(&report_);
  }
  void Exec(const std::string& sql) {
    platform::DbQuery q(session_);
    q.AddSql(sql);
    q.ExecSql();
  }
  // Names seen walking from First to Eof.
  std::vector<std::string> Walk() {
    std::vector<std::string> names;
    ds_.First();
    for (int guard = 0; !ds_.Eof() && guard < 10; ++guard) {
      names.push_back(ds_.Value("NAME").ToString());
      ds_.Next();
    }
    return names;
  }

  QTemporaryDir dir_;
  platform::DbSession session_{"His_DB"};
  platform::DbQuery query_{session_};
  TqdrQuerySource source_{query_};
  TqdrReport report_;
  TqdrDBDataset ds_;
};

TEST_F(DBDatasetTest, WalksEveryRowWithTypedValues) {
  ds_.Initialize();
  EXPECT_EQ(Walk(), (std::vector<std::string>{"张三", "李\xF0\xA8\x8B\xA2", "O'Neil"}));
  EXPECT_EQ(ds_.RecordCount(), 3);
  ds_.First();
  EXPECT_EQ(ds_.Value("id").ToInt32(), 1);
  EXPECT_EQ(ds_.DisplayText("Name"), "张三");
  EXPECT_EQ(ds_.FieldType("NAME"), TqdrFieldType::fftString);
  EXPECT_EQ(ds_.FieldType("ID"), TqdrFieldType::fftNumeric);
  EXPECT_EQ(ds_.DisplayWidth("NAME"), 30);
  EXPECT_EQ(ds_.DisplayWidth("BORN"), 20);
  EXPECT_EQ(ds_.FieldsCount(), 4);
  EXPECT_TRUE(ds_.HasField("born"));
  EXPECT_TRUE(report_.Errors().empty());
  ds_.Finalize();
}

TEST_F(DBDatasetTest, AliasesShowOnlyTheirFieldsAndHideMinusLines) {
  ds_.FieldAliases()->SetLines({"NAME=Patient", "-ID=Hidden"});
  ds_.Initialize();
  std::vector<std::string> fields;
  ds_.GetFieldList(fields);
  EXPECT_EQ(fields, std::vector<std::string>{"Patient"});
  ds_.First();
  EXPECT_EQ(ds_.Value("patient").ToString(), "张三");
  EXPECT_TRUE(report_.Errors().empty());
  EXPECT_TRUE(ds_.Value("Hidden").IsNull());
  EXPECT_EQ(report_.Errors(), std::vector<std::string>{"Memo1: 字段不存在: QDDBBRXX.\"Hidden\""});
  EXPECT_TRUE(ds_.Value("NAME").IsNull()) << "the source name is not a user name";
  ds_.Finalize();
}

TEST_F(DBDatasetTest, MissingFieldGivesTheNotFoundTextAndOneErrorEntry) {
  ds_.Initialize();
  ds_.First();
  EXPECT_EQ(ds_.DisplayText("xm0000"), "字段不存在: QDDBBRXX.\"xm0000\"");
  ds_.DisplayText("xm0000");
  EXPECT_EQ(report_.Errors(), std::vector<std::string>{"Memo1: 字段不存在: QDDBBRXX.\"xm0000\""});
}

TEST_F(DBDatasetTest, ClosedSourceThatCannotOpenGivesTheReference) {
  query_.ClearSql();
  query_.AddSql("SELECT * FROM NO_SUCH_TABLE");
  ds_.Initialize();
  EXPECT_EQ(ds_.DisplayText("xm0000"), "QDDBBRXX.\"xm0000\"");
  EXPECT_TRUE(ds_.Eof());
}

struct RangeCase {
  const char* name;
  TqdrRangeBegin begin;
  TqdrRangeEnd end;
  int count;
  std::vector<std::string> expected;
  int recNoAfter;  // a "current" bound brings the cursor back to row 1
};

TEST_F(DBDatasetTest, RangeBounds) {
  const std::vector<RangeCase> cases = {
      {"first_to_last",
       TqdrRangeBegin::rbFirst,
       TqdrRangeEnd::reLast,
       0,
       {"张三", "李\xF0\xA8\x8B\xA2", "O'Neil"},
       2},
      {"current_only",
       TqdrRangeBegin::rbCurrent,
       TqdrRangeEnd::reCurrent,
       0,
       {"李\xF0\xA8\x8B\xA2"},
       1},
      {"first_to_current",
       TqdrRangeBegin::rbFirst,
       TqdrRangeEnd::reCurrent,
       0,
       {"张三", "李\xF0\xA8\x8B\xA2"},
       1},
      {"current_to_last",
       TqdrRangeBegin::rbCurrent,
       TqdrRangeEnd::reLast,
       0,
       {"李\xF0\xA8\x8B\xA2", "O'Neil"},
       1},
      {"count_two",
       TqdrRangeBegin::rbFirst,
       TqdrRangeEnd::reCount,
       2,
       {"张三", "李\xF0\xA8\x8B\xA2"},
       2},
  };
  for (const RangeCase& c : cases) {
    source_.Close();
    source_.Open();
    source_.Next();  // the survey window's cursor is on the second row
    ds_.SetRangeBegin(c.begin);
    ds_.SetRangeEnd(c.end);
    ds_.SetRangeEndCount(c.count);
    ds_.Initialize();
    EXPECT_EQ(Walk(), c.expected) << c.name;
    ds_.Finalize();
    EXPECT_EQ(query_.Data().RecNo(), c.recNoAfter) << c.name;
  }
}

TEST_F(DBDatasetTest, CloseFromOutsideReopensOnNextRead) {
  ds_.Initialize();
  ds_.First();
  source_.Close();
  EXPECT_FALSE(query_.Active());
  EXPECT_EQ(ds_.DisplayText("NAME"), "张三");
  EXPECT_TRUE(query_.Active());
}

TEST_F(DBDatasetTest, CloseDataSourceClosesAtFinalize) {
  ds_.SetCloseDataSource(true);
  ds_.Initialize();
  Walk();
  ds_.Finalize();
  EXPECT_FALSE(query_.Active());
}

TEST_F(DBDatasetTest, BlobFieldCopiesItsLines) {
  ds_.Initialize();
  ds_.First();
  ds_.Next();
  EXPECT_TRUE(ds_.IsBlobField("NOTE"));
  EXPECT_FALSE(ds_.IsBlobField("NAME"));
  TqdrStringList lines;
  ds_.AssignBlobTo("NOTE", &lines);
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"line 1", "line 2"}));
}

TEST_F(DBDatasetTest, OwnHandlersRunAndComeBack) {
  int opened = 0, closing = 0;
  source_.AfterOpen = [&] { ++opened; };
  source_.BeforeClose = [&] { ++closing; };
  ds_.Initialize();
  ds_.First();
  source_.Close();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(closing, 1);
  ds_.Finalize();
  source_.Open();
  EXPECT_EQ(opened, 2);
}

TEST_F(DBDatasetTest, DataFieldMemoTakesTheFieldText) {
  ds_.Initialize();
  ds_.First();
  ds_.Next();
  TqdrMemoView memo;
  memo.SetName("Memo1");
  memo.SetDataSet(&ds_);
  memo.SetDataField("NAME");
  memo.SetText("[ignored]");
  auto noCalc = [](const std::string& e) -> core::Variant { throw core::Error("calc " + e); };
  MemoGetData(memo, noCalc);
  EXPECT_EQ(memo.Text(), "李\xF0\xA8\x8B\xA2");
  memo.SetDataField("ID");
  memo.DisplayFormat()->SetKind(TqdrFormatKind::fkNumeric);
  memo.DisplayFormat()->SetFormatStr("%.2f");
  memo.DisplayFormat()->SetDecimalSeparator(",");
  MemoGetData(memo, noCalc);
  EXPECT_EQ(memo.Text(), "2,00");
  memo.SetDataField("NOTE");
  MemoGetData(memo, noCalc);
  EXPECT_EQ(memo.Memo()->Lines(), (std::vector<std::string>{"line 1", "line 2"}));
  ds_.Finalize();
}

struct LookupCase {
  const char* name;
  const char* text;
  bool found;
  const char* expected;  // text form of the value
};

TEST_F(DBDatasetTest, ValueLookupOrder) {
  ds_.Initialize();
  ds_.First();
  ds_.Next();
  ds_.Next();  // row 3: BORN is null
  report_.Variables()->SetVariables("Page", core::Variant("shadowed by the system variable"));
  report_.Variables()->SetVariables("Title", core::Variant("[1+2]"));
  report_.Variables()->SetVariables("Who", core::Variant("variable"));
  TqdrRunCounters counters;
  counters.currentPage = 2;  // the third page of the output
  counters.firstReportPage = 1;
  counters.totalPages = 5;
  counters.currentLine = 7;
  auto app = [](const std::string& name, core::Variant& v) {
    if (name == "Who") v = core::Variant("application");
  };
  const std::vector<LookupCase> cases = {
      {"field", "QDDBBRXX.\"NAME\"", true, "O'Neil"},
      {"field_alias_case", "qddbbrxx.\"name\"", true, "O'Neil"},
      {"null_date_converted_to_zero", "QDDBBRXX.\"BORN\"", true, "0"},
      {"trailing_text_is_no_field", "QDDBBRXX.\"ID\" + 1", false, ""},
      {"dataset_not_in_list", "Other.\"ID\"", false, ""},
      {"page_whole_output", "Page#", true, "3"},
      {"page_in_report", "page", true, "2"},
      {"total_pages", "TotalPages#", true, "5"},
      {"total_pages_in_report", "TotalPages", true, "4"},
      {"line", "LINE", true, "7"},
      {"application_before_variable", "Who", true, "application"},
      {"variable_text_not_evaluated", "title", true, "[1+2]"},
      {"unknown", "NoSuchName", false, ""},
  };
  for (const LookupCase& c : cases) {
    core::Variant v;
    EXPECT_EQ(LookupValue(report_, counters, app, c.text, v), c.found) << c.name;
    EXPECT_EQ(v.ToString(), c.expected) << c.name;
  }
  report_.EngineOptions()->SetConvertNulls(false);
  core::Variant v;
  EXPECT_TRUE(LookupValue(report_, counters, nullptr, "QDDBBRXX.\"BORN\"", v));
  EXPECT_TRUE(v.IsNull());
  EXPECT_TRUE(report_.Errors().empty());
  ds_.Finalize();
}

TEST(DataSetTest, InitializeWithoutSourceRaisesNotConnected) {
  TqdrDBDataset ds;
  ds.SetName("DS9");
  try {
    ds.Initialize();
    FAIL() << "no error";
  } catch (const core::Error& e) {
    EXPECT_EQ(std::string(e.what()), "数据库 DS9 未连接至数据库");
  }
}

TEST(DataSetTest, RowCountUserDataSetYieldsExactlyCountRecords) {
  TqdrUserDataSet rows;
  rows.SetRangeEnd(TqdrRangeEnd::reCount);
  rows.SetRangeEndCount(3);
  int nextCalls = 0;
  rows.OnNext = [&](TqdrDataSet*) { ++nextCalls; };
  int records = 0;
  for (rows.First(); !rows.Eof() && records < 10; rows.Next()) ++records;
  EXPECT_EQ(records, 3);
  EXPECT_EQ(nextCalls, 2) << "no OnNext once the count is reached";
  EXPECT_EQ(rows.RecordCount(), 3);
}

TEST(DataSetTest, UserDataSetValuesComeFromTheCallback) {
  TqdrUserDataSet user;
  user.Fields()->SetLines({"A", "B"});
  EXPECT_TRUE(user.Value("A").IsNull());
  user.OnGetValue = [](const std::string& field, core::Variant& v) {
    if (field == "A") v = core::Variant(42);
  };
  EXPECT_EQ(user.Value("A").ToInt32(), 42);
  EXPECT_EQ(user.DisplayText("A"), "42");
  EXPECT_EQ(user.DisplayText("B"), "");
  EXPECT_EQ(user.FieldsCount(), 2);
  EXPECT_TRUE(user.HasField("b"));
  EXPECT_FALSE(user.HasField("C"));
}

TEST(DataSetTest, CheckEofCallbackDecides) {
  TqdrUserDataSet user;
  int seen = 0;
  user.OnCheckEOF = [&](TqdrDataSet* ds, bool& eof) { eof = ds->RecNo() >= 2; };
  for (user.First(); !user.Eof() && seen < 10; user.Next()) ++seen;
  EXPECT_EQ(seen, 2);
}

}  // namespace
}  // namespace report
