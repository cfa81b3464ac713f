// Aggregate list: finding calls in footer memos, and totals fed row by row the
// way the band engine feeds them, read back through the report's expressions.
#include "engine/aggregate_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "core/object.h"
#include "engine/engine.h"
#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/dataset.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"

using namespace report;
using engine::TqdrAggregateItem;
using engine::TqdrAggregateKind;
using engine::TqdrAggregateList;
using engine::TqdrEngine;
using engine::TqdrPreviewPages;

namespace {

struct Row {
  std::string group;
  core::Variant x;
};

core::Variant Null() {
  return core::Variant::MakeNull();
}
core::Variant Int(int32_t i) {
  return core::Variant(i);
}

// Answers the aggregate macros from the list, as the engine does, with the
// band being output as the scope.
class EngineStandIn : public TqdrEngineLink {
 public:
  explicit EngineStandIn(TqdrAggregateList& list) : list_(list) {}
  TqdrRunCounters RunCounters() const override { return {}; }
  core::Variant AggregateValue(const std::string& name, const std::string& expr,
                               core::TObject* band, int flags) override {
    return list_.GetValue(aggregateBand, vColumn, flags, dynamic_cast<TqdrBand*>(band), expr, name);
  }
  core::TObject* EngineObject() override { return &engineObject_; }
  core::TObject* OutlineObject() override { return &outlineObject_; }
  void ClearNotifyList() override {}

  TqdrBand* aggregateBand = nullptr;
  int vColumn = 0;

 private:
  TqdrAggregateList& list_;
  core::TObject engineObject_, outlineObject_;
};

// A page with MasterData1 over dataset "ds" (fields G and X), its footer,
// one group with a footer, a page footer, and the run state the engine would
// set when it connects the bands.
class AggregateListTest : public testing::Test {
 protected:
  void SetUp() override {
    ds_.SetName("ds");
    ds_.Fields()->SetLines({"G", "X"});
    ds_.OnCheckEOF = [this](TqdrDataSet* ds, bool& eof) {
      eof = ds->RecNo() >= static_cast<int>(rows_.size());
    };
    ds_.OnGetValue = [this](const std::string& field, core::Variant& v) {
      const Row& row = rows_.at(static_cast<size_t>(ds_.RecNo()));
      v = field == "G" ? core::Variant(row.group) : row.x;
    };
    report_.Datasets()->AddDataSet(&ds_);
    report_.EngineOptions()->SetConvertNulls(false);  // Null rows reach the totals
    report_.SetEngineLink(&engine_);
    page_ = Add<TqdrReportPage>(&report_, "Page1");
    master_ = Add<TqdrMasterData>(page_, "MasterData1");
    master_->SetDataSet(&ds_);
    footer_ = Add<TqdrFooter>(page_, "Footer1");
    groupHeader_ = Add<TqdrGroupHeader>(page_, "GroupHeader1");
    groupFooter_ = Add<TqdrGroupFooter>(page_, "GroupFooter1");
    pageFooter_ = Add<TqdrPageFooter>(page_, "PageFooter1");
    page_->TopDataBands() = {master_};
    master_->Run().footerBand = footer_;
    master_->Run().groupBand = groupHeader_;
    groupHeader_->Run().childDataBands = {groupHeader_};
    groupHeader_->Run().footerBand = groupFooter_;
  }

  template <class T>
  T* Add(TqdrComponent* parent, const std::string& name) {
    auto* c = new T(&report_);
    c->SetParent(parent);
    c->SetName(name);
    return c;
  }
  TqdrMemoView* Memo(TqdrBand* band, const std::string& text) {
    auto* memo = Add<TqdrMemoView>(band, "Memo" + std::to_string(++memos_));
    memo->SetText(text);
    return memo;
  }
  void Collect() {
    ASSERT_TRUE(report_.PrepareScript());
    list_.CollectFromPage(*page_);
  }
  // Moves to row i and tells the list it was shown.
  void Show(int i, int vColumn = 0) {
    ds_.First();
    for (int k = 0; k < i; ++k) ds_.Next();
    list_.AddValue(master_, vColumn);
  }
  void ShowAll() {
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) Show(i);
  }
  // The text a memo of `scope` shows for `expr`.
  std::string Read(TqdrBand* scope, const std::string& expr) {
    engine_.aggregateBand = scope;
    return report_.Calc(expr).ToString();
  }
  std::vector<std::string> CallTexts() const {
    std::vector<std::string> out;
    for (int i = 0; i < list_.Count(); ++i) out.push_back(list_.Items(i).callText);
    return out;
  }

  TqdrReport report_;
  TqdrUserDataSet ds_;
  std::vector<Row> rows_;
  TqdrAggregateList list_{report_};
  EngineStandIn engine_{list_};
  TqdrReportPage* page_ = nullptr;
  TqdrMasterData* master_ = nullptr;
  TqdrFooter* footer_ = nullptr;
  TqdrGroupHeader* groupHeader_ = nullptr;
  TqdrGroupFooter* groupFooter_ = nullptr;
  TqdrPageFooter* pageFooter_ = nullptr;
  int memos_ = 0;
};

const char* const kSumX = "SUM(<ds.\"X\">, MasterData1)";

// ---------------------------------------------------------------------------
// Finding calls

TEST_F(AggregateListTest, FindsCallsOnlyWhereTheyAreCalls) {
  report_.Variables()->SetVariables("Total", core::Variant("SUM(<ds.\"X\">)"));
  report_.Variables()->SetVariables("Outer", core::Variant("Total"));
  report_.Variables()->SetVariables("Loop", core::Variant("Loop + Loop2"));
  report_.Variables()->SetVariables("Loop2", core::Variant("(Loop)"));
  struct Case {
    const char* name;
    const char* text;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"plain", "[SUM(<ds.\"X\">)]", {"SUM(<ds.\"X\">)"}},
      {"two in one text",
       "a [sum(<ds.\"X\">) ] b [ Avg( <ds.\"X\"> ) ]",
       {"sum(<ds.\"X\">)", "Avg( <ds.\"X\"> )"}},
      {"single-quoted", "['SUM(' + 'x)']", {}},
      {"double-quoted", "[\"a SUM(b)\"]", {}},
      // Calc takes this whole text as one field reference, so no call runs.
      {"field reference", "[ds.\"X\" + SUM(1)]", {}},
      {"outside brackets", "SUM(<ds.\"X\">)", {}},
      {"longer name", "[MYSUM(1) + SUMS(2)]", {}},
      {"space before parenthesis", "[SUM (1)]", {}},
      {"unclosed call", "[SUM(<ds.\"X\">]", {}},
      {"inside IIF",
       "[IIF(<ds.\"X\"> > 0, MAX(<ds.\"X\">), MIN(<ds.\"X\">))]",
       {"MAX(<ds.\"X\">)", "MIN(<ds.\"X\">)"}},
      {"comma inside quotes",
       "[COUNT(MasterData1) + SUM(IIF(<ds.\"G\"> = 'a,b', 1, 0))]",
       {"COUNT(MasterData1)", "SUM(IIF(<ds.\"G\"> = 'a,b', 1, 0))"}},
      {"variable", "[Total]", {"SUM(<ds.\"X\">)"}},
      {"variable of a variable", "[Outer]", {"SUM(<ds.\"X\">)"}},
      {"variable inside text", "[<Total> * 2]", {"SUM(<ds.\"X\">)"}},
      {"variables in a cycle", "[Loop]", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TqdrMemoView* memo = Memo(footer_, c.text);
    list_.Clear();
    list_.CollectFromPage(*page_);
    EXPECT_EQ(c.calls, CallTexts());
    delete memo;
  }
}

TEST_F(AggregateListTest, ItemTakesKindArgumentsAndPlace) {
  auto* detail = Add<TqdrDetailData>(page_, "DetailData1");
  TqdrMemoView* memo = Memo(groupFooter_,
                            "[SUM( <ds.\"X\"> , DetailData1, 3)] [avg(<ds.\"X\">, Nowhere)] "
                            "[COUNT()] [max(<ds.\"X\">,,$1)]");
  Collect();
  ASSERT_EQ(4, list_.Count());
  const TqdrAggregateItem& sum = list_.Items(0);
  EXPECT_EQ(TqdrAggregateKind::akSum, sum.kind);
  EXPECT_EQ("<ds.\"X\">", sum.expression);
  EXPECT_EQ(detail, sum.dataBand);
  EXPECT_TRUE(sum.countInvisible);
  EXPECT_TRUE(sum.runningTotal);
  EXPECT_EQ(groupFooter_, sum.scopeBand);
  EXPECT_FALSE(sum.inPageFooter);
  EXPECT_EQ(memo->Name(), sum.ownerMemo);
  EXPECT_TRUE(sum.value.IsNull());

  const TqdrAggregateItem& avg = list_.Items(1);
  EXPECT_EQ(TqdrAggregateKind::akAvg, avg.kind);
  EXPECT_EQ(master_, avg.dataBand) << "an unknown band name keeps the default band";
  EXPECT_FALSE(avg.countInvisible || avg.runningTotal);

  const TqdrAggregateItem& count = list_.Items(2);
  EXPECT_EQ(TqdrAggregateKind::akCount, count.kind);
  EXPECT_EQ("", count.expression);
  EXPECT_EQ(master_, count.dataBand);

  const TqdrAggregateItem& max = list_.Items(3);
  EXPECT_EQ(TqdrAggregateKind::akMax, max.kind);
  EXPECT_TRUE(max.countInvisible) << "flags $1";
  EXPECT_FALSE(max.runningTotal);
}

TEST_F(AggregateListTest, ScansFooterLikeBandsAndTheirChildren) {
  auto* detail = Add<TqdrDetailData>(page_, "DetailData1");
  auto* detailFooter = Add<TqdrFooter>(page_, "Footer2");
  auto* child = Add<TqdrChild>(page_, "Child1");
  auto* header = Add<TqdrHeader>(page_, "Header1");
  auto* summary = Add<TqdrReportSummary>(page_, "ReportSummary1");
  auto* columnFooter = Add<TqdrColumnFooter>(page_, "ColumnFooter1");
  auto* vertical = Add<TqdrMasterData>(page_, "MasterData2");
  vertical->SetVertical(true);
  master_->Run().childDataBands = {detail};
  master_->Run().headerBand = header;
  detail->Run().footerBand = detailFooter;
  detailFooter->SetChild(child);
  page_->TopVerticalDataBands() = {vertical};
  Memo(header, "[COUNT()]");  // headers are not scanned
  Memo(detailFooter, "[COUNT()]");
  Memo(child, "[COUNT()]");
  Memo(pageFooter_, "[COUNT()]");
  Memo(columnFooter, "[COUNT()]");
  Memo(summary, "[COUNT()]");
  Memo(vertical, "[COUNT()]");
  Memo(footer_, "[COUNT()]");
  Memo(groupFooter_, "[COUNT()]");
  auto* off = Memo(footer_, "[SUM(<ds.\"X\">)]");
  off->SetAllowExpressions(false);
  auto* braces = Memo(footer_, "[MIN(1)] {MAX(<ds.\"X\">)}");
  braces->SetExpressionDelimiters("{,}");
  Collect();

  struct Expect {
    TqdrBand* scope;
    TqdrBand* data;
  };
  std::vector<Expect> want = {
      {footer_, master_},     {footer_, master_},      {groupFooter_, master_},
      {detailFooter, detail}, {child, detail},         {vertical, vertical},
      {pageFooter_, master_}, {columnFooter, master_}, {summary, master_},
  };
  ASSERT_EQ(want.size(), static_cast<size_t>(list_.Count()));
  std::vector<std::string> found, expected;
  for (int i = 0; i < list_.Count(); ++i) {
    found.push_back(list_.Items(i).scopeBand->Name() + "/" + list_.Items(i).dataBand->Name());
    expected.push_back(want[static_cast<size_t>(i)].scope->Name() + "/" +
                       want[static_cast<size_t>(i)].data->Name());
  }
  EXPECT_EQ(expected, found);
  EXPECT_EQ("MAX(<ds.\"X\">)", list_.Items(1).callText);
  for (int i = 0; i < list_.Count(); ++i)
    EXPECT_EQ(list_.Items(i).scopeBand == pageFooter_, list_.Items(i).inPageFooter);
}

TEST_F(AggregateListTest, PageBandsNeedAHorizontalDataBand) {
  Memo(pageFooter_, "[COUNT()]");
  page_->TopDataBands().clear();
  Collect();
  EXPECT_EQ(0, list_.Count());
}

TEST_F(AggregateListTest, NonNumericFlagsFailAtCollection) {
  Memo(groupFooter_, "[SUM(<ds.\"X\">, MasterData1, abc)]");
  ASSERT_TRUE(report_.PrepareScript());
  try {
    list_.CollectFromPage(*page_);
    FAIL() << "no error";
  } catch (const core::Error& e) {
    EXPECT_STREQ("'abc' is not a valid integer value", e.what());
  }
}

// ---------------------------------------------------------------------------
// Totals

TEST_F(AggregateListTest, GroupFooterSumStartsAgainPerGroupUnlessRunningTotal) {
  rows_ = {{"a", Int(1)}, {"a", Int(2)}, {"b", Int(5)}};
  const std::string running = "SUM(<ds.\"X\">, MasterData1, 2)";
  Memo(groupFooter_, std::string("[") + kSumX + "] [" + running + "]");
  Collect();
  Show(0);
  Show(1);
  EXPECT_EQ("3", Read(groupFooter_, kSumX));
  EXPECT_EQ("3", Read(groupFooter_, running));
  list_.ResetBand(groupFooter_);
  EXPECT_EQ("0", Read(groupFooter_, kSumX)) << "emptied: Null shows as 0";
  Show(2);
  EXPECT_EQ("5", Read(groupFooter_, kSumX));
  EXPECT_EQ("8", Read(groupFooter_, running));
  list_.ResetBand(footer_);  // another band's output leaves the group alone
  EXPECT_EQ("5", Read(groupFooter_, kSumX));
}

TEST_F(AggregateListTest, KindsOverRows) {
  struct Case {
    const char* name;
    const char* call;
    std::vector<core::Variant> xs;
    const char* shown;
  };
  const Case cases[] = {
      {"COUNT counts rows", "COUNT(MasterData1)", {Int(2), Null(), Int(4)}, "3"},
      {"AVG leaves Null out", "AVG(<ds.\"X\">)", {Int(2), Null(), Int(4)}, "3"},
      {"AVG of nothing", "AVG(<ds.\"X\">)", {}, "0"},
      {"AVG of Nulls", "AVG(<ds.\"X\">)", {Null(), Null()}, "0"},
      {"SUM over a Null first", "SUM(<ds.\"X\">)", {Null(), Int(2), Int(4)}, "6"},
      {"MIN", "MIN(<ds.\"X\">)", {Int(5), Null(), Int(-2), Int(3)}, "-2"},
      {"MAX", "MAX(<ds.\"X\">)", {Int(5), Null(), Int(7), Int(3)}, "7"},
      {"SUM of Booleans counts true", "SUM(<ds.\"X\"> > 2)", {Int(1), Int(3), Int(5)}, "2"},
      {"SUM of false only", "SUM(<ds.\"X\"> > 9)", {Int(1), Int(3)}, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rows_.clear();
    for (const core::Variant& x : c.xs) rows_.push_back({"a", x});
    TqdrMemoView* memo = Memo(footer_, std::string("[") + c.call + "]");
    list_.Clear();
    Collect();
    ShowAll();
    EXPECT_EQ(c.shown, Read(footer_, c.call));
    delete memo;
  }
}

TEST_F(AggregateListTest, InvisibleRowsCountOnlyWithFlag1) {
  rows_ = {{"a", Int(1)}, {"a", Int(2)}, {"a", Int(4)}};
  Memo(footer_, "[SUM(<ds.\"X\">, MasterData1)] [SUM(<ds.\"X\">, MasterData1, 1)]");
  Collect();
  Show(0);
  master_->SetVisible(false);
  Show(1);
  master_->SetVisible(true);
  Show(2);
  EXPECT_EQ("5", Read(footer_, kSumX));
  EXPECT_EQ("7", Read(footer_, "SUM(<ds.\"X\">, MasterData1, 1)"));
}

TEST_F(AggregateListTest, ReadingMatchesTheCollectedCall) {
  rows_ = {{"a", Int(1)}, {"a", Int(2)}};
  Memo(groupFooter_, std::string("[") + kSumX + "]");
  Collect();
  ShowAll();
  struct Case {
    const char* name;
    TqdrBand* scope;
    int flags;
    TqdrBand* data;
    const char* expr;
    const char* function;
    bool found;
  };
  const Case cases[] = {
      {"as collected", groupFooter_, 0, master_, "<ds.\"X\">", "SUM", true},
      {"any data band", groupFooter_, 0, nullptr, "<ds.\"X\">", "SUM", true},
      {"case and blanks", groupFooter_, 0, master_, "  <DS.\"x\"> ", "sum", true},
      {"other scope", footer_, 0, master_, "<ds.\"X\">", "SUM", false},
      {"other kind", groupFooter_, 0, master_, "<ds.\"X\">", "MAX", false},
      {"other expression", groupFooter_, 0, master_, "<ds.\"G\">", "SUM", false},
      {"other data band", groupFooter_, 0, groupFooter_, "<ds.\"X\">", "SUM", false},
      {"other flags", groupFooter_, 2, master_, "<ds.\"X\">", "SUM", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    core::Variant v = list_.GetValue(c.scope, 0, c.flags, c.data, c.expr, c.function);
    EXPECT_EQ(!c.found, v.IsNull());
    if (c.found) {
      EXPECT_EQ("3", v.ToString());
    }
  }
}

TEST_F(AggregateListTest, UncollectedCallIsNull) {
  auto* header = Add<TqdrHeader>(page_, "Header1");
  master_->Run().headerBand = header;
  Memo(header, "[COUNT(MasterData1)]");
  rows_ = {{"a", Int(1)}};
  Collect();
  ShowAll();
  engine_.aggregateBand = header;
  EXPECT_TRUE(report_.Calc("COUNT(MasterData1)").IsNull());
}

// Rows 1 and 2 on the page; 3 and 4 in a KeepTogether block that does not fit
// and moves to the next page; 5 after it.
TEST_F(AggregateListTest, PageFooterCountsKeptRowsOnTheNextPage) {
  rows_ = {{"a", Int(1)}, {"a", Int(2)}, {"a", Int(4)}, {"a", Int(8)}, {"a", Int(16)}};
  const std::string pageSum = "SUM(<ds.\"X\">)";
  Memo(pageFooter_, "[" + pageSum + "]");
  Memo(footer_, "[" + pageSum + "]");
  Collect();
  Show(0);
  Show(1);
  list_.OpenKeep();
  Show(2);
  Show(3);
  EXPECT_EQ("3", Read(pageFooter_, pageSum)) << "kept rows stay aside";
  list_.ResetBand(pageFooter_);  // the old page's footer was printed
  list_.CloseKeep();
  EXPECT_EQ("12", Read(pageFooter_, pageSum));
  Show(4);
  EXPECT_EQ("28", Read(pageFooter_, pageSum));
  EXPECT_EQ("31", Read(footer_, pageSum)) << "keeps touch page footers only";
}

// A footer under KeepFooter does not fit: the last row moves with it to the
// next page. The engine takes the row back, prints the page footer, and adds
// the row again on the new page.
TEST_F(AggregateListTest, RollBackMovesTheLastRowToTheNextPage) {
  rows_ = {{"a", Int(1)}, {"a", Int(2)}, {"a", Int(4)}};
  Memo(pageFooter_, std::string("[") + kSumX + "]");
  Memo(footer_, std::string("[") + kSumX + "]");
  Memo(groupFooter_, std::string("[") + kSumX + "]");
  Collect();
  ShowAll();
  EXPECT_EQ("7", Read(groupFooter_, kSumX));
  list_.ResetBand(groupFooter_);  // the group footer was printed before the footer
  list_.OpenKeep();
  list_.RollBackKeep(master_);
  EXPECT_EQ("3", Read(pageFooter_, kSumX));
  list_.ResetBand(pageFooter_);
  list_.CloseKeep();
  list_.AddValue(master_, 0);
  EXPECT_EQ("4", Read(pageFooter_, kSumX));
  EXPECT_EQ("7", Read(footer_, kSumX)) << "taken back and added again";
  EXPECT_EQ("0", Read(groupFooter_, kSumX)) << "a printed group must not get the row again";
  Show(0);
  EXPECT_EQ("1", Read(groupFooter_, kSumX)) << "the next row counts as usual";
}

// The last row went into a keep that was already open (KeepTogether): the
// rollback takes it out of the kept rows, not out of the page's own.
TEST_F(AggregateListTest, RollBackInsideAKeepTakesBackOnlyTheKeptRow) {
  rows_ = {{"a", Int(1)}, {"a", Int(2)}, {"a", Int(4)}};
  Memo(pageFooter_, std::string("[") + kSumX + "]");
  Collect();
  Show(0);
  list_.OpenKeep();
  Show(1);
  Show(2);
  list_.RollBackKeep(master_);
  EXPECT_EQ("1", Read(pageFooter_, kSumX));
  list_.ResetBand(pageFooter_);
  list_.CloseKeep();
  EXPECT_EQ("2", Read(pageFooter_, kSumX));
  list_.AddValue(master_, 0);
  EXPECT_EQ("6", Read(pageFooter_, kSumX));
}

TEST_F(AggregateListTest, ColumnsKeepTheirOwnTotals) {
  rows_ = {{"a", Int(1)}, {"a", Int(2)}, {"a", Int(4)}, {"a", Int(8)}};
  const std::string avg = "AVG(<ds.\"X\">)";
  Memo(footer_, std::string("[") + kSumX + "] [" + avg + "]");
  Collect();
  Show(0, 1);
  Show(1, 2);
  Show(2, 1);
  Show(3, 1001);  // limited to the last column
  const std::pair<int, const char*> sums[] = {{1, "5"}, {2, "2"}, {3, "0"}, {1000, "8"}, {0, "0"}};
  for (const auto& [column, shown] : sums) {
    SCOPED_TRACE(column);
    engine_.vColumn = column;
    EXPECT_EQ(shown, Read(footer_, kSumX));
  }
  engine_.vColumn = 1;
  EXPECT_EQ("2.5", Read(footer_, avg));
  EXPECT_EQ(1, list_.Items(1).vColumn) << "the request sets the column";
  list_.ResetBand(footer_);
  EXPECT_TRUE(list_.Items(0).columnValues.empty());
  EXPECT_EQ("0", Read(footer_, kSumX));
}

TEST_F(AggregateListTest, SecondPassStartsFromEmptyTotals) {
  rows_ = {{"a", Int(1)}, {"b", Int(2)}};
  const std::string running = "SUM(<ds.\"X\">, MasterData1, 2)";
  Memo(groupFooter_, "[" + running + "] [COUNT(MasterData1, 2)]");
  Memo(pageFooter_, std::string("[") + kSumX + "]");
  Collect();
  std::vector<std::string> passes;
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) list_.ClearValues();
    ShowAll();
    list_.ResetBand(groupFooter_);
    passes.push_back(Read(groupFooter_, running) + " " +
                     Read(groupFooter_, "COUNT(MasterData1, 2)") + " " + Read(pageFooter_, kSumX));
    if (pass == 0) list_.OpenKeep();  // a keep the first pass left open ends with it
  }
  EXPECT_EQ("3 2 3", passes[0]);
  EXPECT_EQ(passes[0], passes[1]);
}

TEST_F(AggregateListTest, EvaluatesAsTheOwnerMemo) {
  rows_ = {{"a", Int(1)}};
  TqdrMemoView* memo = Memo(footer_, "[SUM(1 +)]");
  Collect();
  report_.SetCurrentObjectName("MasterData1");
  try {
    Show(0);
    FAIL() << "no error";
  } catch (const core::Error& e) {
    EXPECT_EQ(0, std::string(e.what()).rfind(memo->Name() + ": ", 0)) << e.what();
  }
  EXPECT_EQ("MasterData1", report_.CurrentObjectName());
}

// ---------------------------------------------------------------------------
// Through the band engine: the memo's call reaches the list with the band
// being output as its scope.

TEST(AggregatesInAPreparedReport, GroupAndReportSums) {
  TqdrReport report;
  TqdrPreviewPages pages(&report);
  TqdrEngine engine(report, pages);
  const std::vector<Row> rows = {{"a", Int(1)}, {"a", Int(2)}, {"b", Int(4)}};
  TqdrUserDataSet ds;
  ds.SetName("ds");
  ds.Fields()->SetLines({"G", "X"});
  ds.SetRangeEnd(TqdrRangeEnd::reCount);
  ds.SetRangeEndCount(static_cast<int>(rows.size()));
  ds.OnGetValue = [&](const std::string& field, core::Variant& v) {
    const Row& row = rows[std::min(rows.size() - 1, static_cast<size_t>(ds.RecNo()))];
    v = field == "G" ? core::Variant(row.group) : row.x;
  };
  report.Datasets()->AddDataSet(&ds);
  auto* page = new TqdrReportPage(&report);
  page->SetParent(&report);
  page->SetName("Page1");
  double top = 0;
  auto band = [&](TqdrBand* b, const std::string& name, const std::string& text) {
    b->SetParent(page);
    b->SetName(name);
    b->SetBounds(0, top += 20, 700, 20);
    auto* memo = new TqdrMemoView(&report);
    memo->SetParent(b);
    memo->SetName(name + "Memo");
    memo->SetBounds(0, 0, 300, 20);
    memo->SetText(text);
  };
  auto* group = new TqdrGroupHeader(&report);
  band(group, "GroupHeader1", "G");
  group->SetCondition("<ds.\"G\">");
  auto* master = new TqdrMasterData(&report);
  band(master, "MasterData1", "[ds.\"X\"]");
  master->SetDataSet(&ds);
  band(new TqdrGroupFooter(&report), "GroupFooter1", "g[SUM(<ds.\"X\">, MasterData1)]");
  band(new TqdrReportSummary(&report), "ReportSummary1", "s[SUM(<ds.\"X\">)]/[COUNT(MasterData1)]");
  ASSERT_TRUE(report.PrepareScript()) << report.ErrorsText();
  ASSERT_TRUE(engine.BuildPages()) << report.ErrorsText();
  std::string texts;
  for (int i = 0; i < pages.PageCount(); ++i)
    for (TqdrComponent* b : pages.PageAt(i)->Objects())
      for (TqdrComponent* v : b->Objects())
        if (auto* memo = dynamic_cast<TqdrCustomMemoView*>(v)) texts += memo->Text() + " ";
  EXPECT_EQ("G 1 2 g3 G 4 g4 s7/3 ", texts);
}

}  // namespace
