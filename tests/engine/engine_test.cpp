// Band engine: small templates built in code, prepared into a pages store and
// checked on the prepared bands' places and their memos' texts.
#include "engine/engine.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/dataset.h"
#include "report/font_substitutions.h"
#include "report/options.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"
#include "survey_rows.h"

namespace engine {
namespace {

using report::TqdrBand;

// Rows of a user dataset: the values of field "V" and "G" per record (digits
// read as numbers). Past the end it reads the last record, as a database
// cursor at its end does.
class Rows : public report::TqdrUserDataSet {
 public:
  explicit Rows(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {
    SetRangeEnd(report::TqdrRangeEnd::reCount);
    SetRangeEndCount(static_cast<int>(rows_.size()));
    Fields()->SetLines({"V", "G"});
    OnGetValue = [this](const std::string& field, core::Variant& v) {
      if (rows_.empty() || RecNo() < 0) return;
      const auto& row = rows_[std::min(rows_.size() - 1, static_cast<size_t>(RecNo()))];
      auto value = [](const std::string& text) {
        const bool digits =
            !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
        return digits ? core::Variant(int32_t{std::stoi(text)}) : core::Variant(text);
      };
      if (field == "V" && !row.empty()) v = value(row[0]);
      if (field == "G" && row.size() > 1) v = value(row[1]);
    };
  }

 private:
  std::vector<std::vector<std::string>> rows_;
};

// What a prepared page holds: per band, its name, top and the texts of its memos.
struct Placed {
  std::string band;
  double top;
  std::string text;
  double left;
};

class EngineTest : public testing::Test {
 public:
  EngineTest() : pages_(&report_), engine_(report_, pages_) {
    page_ = new report::TqdrReportPage(&report_);
    page_->SetParent(&report_);
    page_->SetName("Page1");
    page_->SetTopMargin(10);
    page_->SetBottomMargin(10);
  }

  template <class B>
  B* AddBand(const std::string& name, double top, double height, const std::string& text = {}) {
    auto* band = new B(&report_);
    band->SetParent(page_);
    band->SetName(name);
    band->SetBounds(0, top, 700, height);
    if (!text.empty()) {
      auto* memo = new report::TqdrMemoView(&report_);
      memo->SetParent(band);
      memo->SetName(name + "Memo");
      memo->SetBounds(0, 0, 300, height);
      memo->SetText(text);
    }
    return band;
  }
  Rows* AddRows(const std::string& name, std::vector<std::vector<std::string>> rows) {
    datasets_.push_back(std::make_unique<Rows>(std::move(rows)));
    Rows* ds = datasets_.back().get();
    ds->SetName(name);
    report_.Datasets()->AddDataSet(ds);
    return ds;
  }
  bool Build() {
    pages_.ClearAll();
    if (!report_.PrepareScript()) return false;
    return engine_.BuildPages();
  }
  std::vector<Placed> PageContent(int index) {
    std::vector<Placed> out;
    report::TqdrPage* page = pages_.PageAt(index);
    if (!page) return out;
    for (report::TqdrComponent* c : page->Objects()) {
      auto* band = dynamic_cast<TqdrBand*>(c);
      if (!band) continue;
      std::string text;
      for (report::TqdrComponent* v : band->Objects())
        if (auto* memo = dynamic_cast<report::TqdrCustomMemoView*>(v)) text += memo->Text();
      out.push_back({band->Name(), band->Top(), text, band->Left()});
    }
    return out;
  }
  // Texts of the memos of every page, pages separated by "|".
  std::string Texts() {
    std::string all;
    for (int i = 0; i < pages_.PageCount(); ++i) {
      if (i) all += "|";
      std::string page;
      for (const Placed& p : PageContent(i)) {
        if (p.text.empty()) continue;
        if (!page.empty()) page += ",";
        page += p.text;
      }
      all += page;
    }
    return all;
  }

  report::TqdrReport report_;
  TqdrPreviewPages pages_;
  TqdrEngine engine_;
  report::TqdrReportPage* page_;
  std::vector<std::unique_ptr<Rows>> datasets_;
};

TEST_F(EngineTest, MasterBandPrintsOncePerRecordBelowEachOther) {
  auto* band = AddBand<report::TqdrMasterData>("MasterData1", 20, 30, "[ds.\"V\"]");
  band->SetDataSet(AddRows("ds", {{"a"}, {"b"}, {"c"}}));
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  ASSERT_EQ(1, pages_.PageCount());
  const auto content = PageContent(0);
  ASSERT_EQ(3u, content.size());
  EXPECT_EQ("a", content[0].text);
  EXPECT_DOUBLE_EQ(0, content[0].top);
  EXPECT_DOUBLE_EQ(30, content[1].top);
  EXPECT_DOUBLE_EQ(60, content[2].top);
  EXPECT_EQ("c", content[2].text);
}

TEST_F(EngineTest, RowCountWithoutDatasetAndOnALongerDataset) {
  AddBand<report::TqdrMasterData>("MasterData1", 20, 30, "[Line]")->SetRowCount(3);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("1,2,3", Texts());
}

TEST_F(EngineTest, BandThatFillsMostOfThePagePrintsOneRecordPerPage) {
  // A4 with 10 mm margins: 277 mm = 1046.92981 units; 34.01577 stay free.
  auto* band = AddBand<report::TqdrMasterData>("MasterData1", 20, 1012.91404, "[ds.\"V\"]");
  band->SetDataSet(AddRows("ds", {{"1"}, {"2"}, {"3"}}));
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_NEAR(1046.92981, engine_.PageHeight(), 1e-5);
  EXPECT_EQ("1|2|3", Texts());
  EXPECT_DOUBLE_EQ(0, PageContent(2)[0].top);
}

TEST_F(EngineTest, ConnectionErrorsNameTheBandAndPrepareNothing) {
  struct Case {
    const char* name;
    std::function<void(EngineTest&)> build;
    std::string error;
  };
  const Case cases[] = {
      {"detail without master",
       [](EngineTest& t) {
         t.AddBand<report::TqdrDetailData>("DetailData1", 20, 20)->SetRowCount(1);
       },
       "Band的位置错误: DetailData1"},
      {"header below its data band",
       [](EngineTest& t) {
         t.AddBand<report::TqdrMasterData>("MasterData1", 20, 20)->SetRowCount(1);
         t.AddBand<report::TqdrHeader>("Header1", 60, 20);
       },
       "未连接至表首 Header1"},
      {"group without data band",
       [](EngineTest& t) { t.AddBand<report::TqdrGroupHeader>("GroupHeader1", 20, 20); },
       "群组未连接至数据库 GroupHeader1"},
      {"group footer without header",
       [](EngineTest& t) {
         t.AddBand<report::TqdrMasterData>("MasterData1", 20, 20)->SetRowCount(1);
         t.AddBand<report::TqdrGroupFooter>("GroupFooter1", 60, 20);
       },
       "没有群组表尾er for GroupFooter1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (report::TqdrComponent* o : std::vector<report::TqdrComponent*>(page_->Objects())) delete o;
    report_.ClearErrors();
    c.build(*this);
    EXPECT_FALSE(Build());
    EXPECT_EQ(std::vector<std::string>{c.error}, report_.Errors());
    EXPECT_EQ(0, pages_.PageCount());
  }
}

TEST_F(EngineTest, SameDatasetForReportAndPageIsOneError) {
  Rows* ds = AddRows("ds", {{"a"}});
  report_.SetDataSet(ds);
  page_->SetDataSet(ds);
  auto* second = new report::TqdrReportPage(&report_);
  second->SetParent(&report_);
  second->SetName("Page2");
  second->SetDataSet(ds);
  EXPECT_FALSE(Build());
  EXPECT_EQ(
      std::vector<std::string>{"Cannot use the same dataset for Report.DataSet and Page.DataSet"},
      report_.Errors());
  EXPECT_EQ(0, pages_.PageCount());
}

TEST_F(EngineTest, BandsWithEqualTopsConnectOnlyTheFirst) {
  AddBand<report::TqdrMasterData>("MasterData1", 20, 20, "one")->SetRowCount(1);
  AddBand<report::TqdrMasterData>("MasterData2", 20.001, 20, "two")->SetRowCount(1);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("one", Texts());
}

TEST_F(EngineTest, NestedGroupsPrintFootersInnerFirstThenHeadersAgain) {
  Rows* ds = AddRows("ds", {{"1", "A"}, {"2", "A"}, {"3", "B"}});
  auto* outer = AddBand<report::TqdrGroupHeader>("GH1", 10, 10, "H1:[ds.\"G\"]");
  outer->SetCondition("ds.\"G\"");
  auto* inner = AddBand<report::TqdrGroupHeader>("GH2", 30, 10, "H2");
  inner->SetCondition("ds.\"G\"");
  AddBand<report::TqdrMasterData>("MasterData1", 50, 10, "[ds.\"V\"]")->SetDataSet(ds);
  AddBand<report::TqdrGroupFooter>("GF2", 70, 10, "F2");
  AddBand<report::TqdrGroupFooter>("GF1", 90, 10, "F1:[ds.\"G\"]");
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("H1:A,H2,1,2,F2,F1:A,H1:B,H2,3,F2,F1:B", Texts());
}

TEST_F(EngineTest, GroupFooterHiddenForSingleRecordGroups) {
  Rows* ds = AddRows("ds", {{"1", "A"}, {"2", "B"}, {"3", "B"}});
  AddBand<report::TqdrGroupHeader>("GH1", 10, 10, "[ds.\"G\"]")->SetCondition("ds.\"G\"");
  AddBand<report::TqdrMasterData>("MasterData1", 30, 10, "[ds.\"V\"]")->SetDataSet(ds);
  AddBand<report::TqdrGroupFooter>("GF1", 50, 10, "end")->SetHideIfSingleDataRecord(true);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("A,1,B,2,3,end", Texts());
}

TEST_F(EngineTest, HeaderAndFooterSurroundTheRowsAndSumsComeFromTheRows) {
  Rows* ds = AddRows("ds", {{"2"}, {"3"}, {"5"}});
  AddBand<report::TqdrHeader>("Header1", 10, 10, "head");
  AddBand<report::TqdrMasterData>("MasterData1", 30, 10, "[ds.\"V\"]")->SetDataSet(ds);
  AddBand<report::TqdrFooter>("Footer1", 50, 10,
                              "sum [SUM(<ds.\"V\">, MasterData1)] of [COUNT(MasterData1)]");
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("head,2,3,5,sum 10 of 3", Texts());
}

TEST_F(EngineTest, MasterRecordsWithoutDetailsAreSkippedUnlessAsked) {
  Rows* masters = AddRows("m", {{"A"}, {"B"}, {"C"}});
  // Details exist only for master B.
  auto details = std::make_unique<Rows>(std::vector<std::vector<std::string>>{{"b1"}, {"b2"}});
  Rows* detailRows = details.get();
  detailRows->SetName("d");
  detailRows->OnCheckEOF = [masters](report::TqdrDataSet* ds, bool& eof) {
    eof = masters->RecNo() != 1 || ds->RecNo() >= 2;
  };
  report_.Datasets()->AddDataSet(detailRows);
  datasets_.push_back(std::move(details));
  auto* master = AddBand<report::TqdrMasterData>("MasterData1", 10, 10, "[m.\"V\"]");
  master->SetDataSet(masters);
  AddBand<report::TqdrDetailData>("DetailData1", 30, 10, "[d.\"V\"]")->SetDataSet(detailRows);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("B,b1,b2", Texts());
  master->SetPrintIfDetailEmpty(true);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("A,B,b1,b2,C", Texts());
}

TEST_F(EngineTest, EmptyPageIsLeftOutWithoutPrintIfEmpty) {
  AddBand<report::TqdrMasterData>("MasterData1", 10, 10, "x")->SetDataSet(AddRows("ds", {}));
  AddBand<report::TqdrPageHeader>("PageHeader1", 0, 10, "page");
  report_.EngineOptions()->SetPrintIfEmpty(false);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ(0, pages_.PageCount());
  report_.EngineOptions()->SetPrintIfEmpty(true);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("page", Texts());
}

TEST_F(EngineTest, StartNewPageBreaksBeforeEveryRowButTheFirst) {
  auto* band = AddBand<report::TqdrMasterData>("MasterData1", 10, 10, "[ds.\"V\"]");
  band->SetDataSet(AddRows("ds", {{"1"}, {"2"}, {"3"}}));
  band->SetStartNewPage(true);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("1|2|3", Texts());
}

TEST_F(EngineTest, PageHeaderAndFooterOnEveryPageWithFirstAndLastRules) {
  AddBand<report::TqdrPageHeader>("PageHeader1", 0, 20, "head [Page#]");
  auto* footer = AddBand<report::TqdrPageFooter>("PageFooter1", 900, 20, "foot [Page#]");
  auto* band = AddBand<report::TqdrMasterData>("MasterData1", 40, 400, "[ds.\"V\"]");
  band->SetDataSet(AddRows("ds", {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}}));
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("head 1,1,2,foot 1|head 2,3,4,foot 2|head 3,5,foot 3", Texts());
  const auto last = PageContent(2);
  EXPECT_NEAR(1046.92981 - 20, last.back().top, 1e-6) << "page footer sits at the bottom";
  footer->SetPrintOnFirstPage(false);
  footer->SetPrintOnLastPage(false);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("head 1,1,2|head 2,3,4,foot 2|head 3,5", Texts());
}

TEST_F(EngineTest, DoublePassKnowsTheTotalPageCount) {
  report_.EngineOptions()->SetDoublePass(true);
  AddBand<report::TqdrPageFooter>("PageFooter1", 900, 20, "[Page#]/[TotalPages]");
  auto* band = AddBand<report::TqdrMasterData>("MasterData1", 40, 600, "[ds.\"V\"]");
  band->SetDataSet(AddRows("ds", {{"1"}, {"2"}, {"3"}}));
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("1,1/3|2,2/3|3,3/3", Texts());
  EXPECT_TRUE(engine_.FinalPass());
  EXPECT_EQ(3, engine_.TotalPages());
}

TEST_F(EngineTest, PrintEndPageIsAsTallAsItsContent) {
  page_->SetPrintEnd(true);
  auto* band = AddBand<report::TqdrMasterData>("MasterData1", 40, 500, "[ds.\"V\"]");
  band->SetDataSet(AddRows("ds", {{"1"}, {"2"}, {"3"}}));
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("1,2,3", Texts()) << "no page break";
  int width = 0, height = 0;
  pages_.PageSizeAt(0, width, height);
  EXPECT_NEAR(10 * 3.77953 + 1500 + 10 * 3.77953, height, 1.0);
}

TEST_F(EngineTest, KeepTogetherMovesTheWholeBlockToTheNextPage) {
  Rows* masters = AddRows("m", {{"A"}, {"B"}});
  Rows* details = AddRows("d", {{"1"}, {"2"}, {"3"}});
  auto* master = AddBand<report::TqdrMasterData>("MasterData1", 10, 100, "[m.\"V\"]");
  master->SetDataSet(masters);
  master->SetKeepTogether(true);
  AddBand<report::TqdrDetailData>("DetailData1", 130, 200, "[m.\"V\"][d.\"V\"]")
      ->SetDataSet(details);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  // A fills 700 of 1046.9; B's block (100 + 3 x 200) does not fit after it.
  EXPECT_EQ("A,A1,A2,A3|B,B1,B2,B3", Texts());
  EXPECT_DOUBLE_EQ(0, PageContent(1)[0].top);
}

TEST_F(EngineTest, HeadersReprintOnNewPagesOnlyWhenAsked) {
  auto* header = AddBand<report::TqdrHeader>("Header1", 10, 20, "head");
  auto* band = AddBand<report::TqdrMasterData>("MasterData1", 40, 400, "[ds.\"V\"]");
  band->SetDataSet(AddRows("ds", {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}}));
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("head,1,2|3,4|5", Texts());
  header->SetReprintOnNewPage(true);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("head,1,2|head,3,4|head,5", Texts());
  EXPECT_TRUE(PageContent(1)[0].top == 0) << "the reprinted header opens the page";
}

TEST_F(EngineTest, PageFooterSumLeavesKeptRowsToTheNextPage) {
  Rows* masters = AddRows("m", {{"1"}, {"2"}});
  Rows* details = AddRows("d", {{"a"}, {"b"}, {"c"}});
  auto* master = AddBand<report::TqdrMasterData>("MasterData1", 10, 100, "M[m.\"V\"]");
  master->SetDataSet(masters);
  master->SetKeepTogether(true);
  AddBand<report::TqdrDetailData>("DetailData1", 130, 200, "[d.\"V\"]")->SetDataSet(details);
  AddBand<report::TqdrPageFooter>("PageFooter1", 900, 20, "sum [SUM(<m.\"V\">)]");
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("M1,a,b,c,sum 1|M2,a,b,c,sum 2", Texts());
}

TEST_F(EngineTest, BandColumnsFillEachRowBeforeGoingDown) {
  auto* band = AddBand<report::TqdrMasterData>("MasterData1", 10, 100, "[ds.\"V\"]");
  band->SetDataSet(AddRows("ds", {{"1"}, {"2"}, {"3"}}));
  band->SetColumns(2);
  band->SetColumnWidth(300);
  band->SetColumnGap(10);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  const auto c = PageContent(0);
  ASSERT_EQ(3u, c.size());
  EXPECT_EQ((std::vector<double>{0, 310, 0}),
            (std::vector<double>{c[0].left, c[1].left, c[2].left}));
  EXPECT_EQ((std::vector<double>{0, 0, 100}), (std::vector<double>{c[0].top, c[1].top, c[2].top}));
}

TEST_F(EngineTest, PageColumnsContinueBesideBeforeANewPage) {
  page_->SetColumns(2);
  page_->ColumnPositions()->SetLines({"0", "100"});
  auto* band = AddBand<report::TqdrMasterData>("MasterData1", 10, 600, "[ds.\"V\"]");
  band->SetDataSet(AddRows("ds", {{"1"}, {"2"}, {"3"}}));
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("1,2|3", Texts());
  const auto first = PageContent(0);
  ASSERT_EQ(2u, first.size());
  EXPECT_DOUBLE_EQ(0, first[1].top);
  EXPECT_NEAR(100 * 3.77953, first[1].left, 1e-9);
  EXPECT_DOUBLE_EQ(0, PageContent(1)[0].left);
}

TEST_F(EngineTest, StopReportEndsThePreparationKeepingThePagesSoFar) {
  auto* band = AddBand<report::TqdrMasterData>("MasterData1", 10, 600, "[ds.\"V\"]");
  band->SetDataSet(AddRows("ds", {{"1"}, {"2"}, {"3"}, {"4"}}));
  engine_.OnAfterPrint = [this](report::TqdrComponent* sender) {
    if (sender->Name() == "MasterData1" && pages_.PageCount() == 2) engine_.StopReport();
  };
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  EXPECT_EQ("1|2", Texts());
  EXPECT_FALSE(engine_.Preparing());
}

}  // namespace
}  // namespace engine

namespace engine {
namespace {

// The survey print template over a dataset of five records: one page per
// record, in order, with empty text where a field is null.
TEST(SurveyTemplate, OnePagePerRecordInOrder) {
  enginetest::SurveyRows survey(5);
  report::TqdrReport report;
  ASSERT_TRUE(survey.LoadSurvey(report));
  TqdrPreviewPages pages(&report);
  TqdrEngine engine(report, pages);
  ASSERT_TRUE(report.PrepareScript()) << report.ErrorsText();
  ASSERT_TRUE(engine.BuildPages()) << report.ErrorsText();
  EXPECT_TRUE(report.Errors().empty()) << report.ErrorsText();
  ASSERT_EQ(5, pages.PageCount());
  for (int i = 0; i < 5; ++i) {
    report::TqdrPage* page = pages.PageAt(i);
    ASSERT_NE(nullptr, page);
    std::string mrn, name = "<none>";
    int memos = 0;
    for (report::TqdrComponent* c : page->AllObjects()) {
      auto* memo = dynamic_cast<report::TqdrCustomMemoView*>(c);
      if (!memo) continue;
      ++memos;
      if (memo->Name() == "Memo12") mrn = memo->Text();
      if (memo->Name() == "Memo_zycs00") name = memo->Text();
    }
    EXPECT_EQ(160, memos);
    EXPECT_EQ("MRN" + std::to_string(i + 1), mrn);
    EXPECT_EQ("", name) << "a null field prints empty";
  }

  // The first page drawn at screen scale: the title, the lines and the record
  // number leave ink where the template puts them.
  report::InstallFontSubstitutions();
  QImage image(794, 1123, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    pages.DrawPageAt(0, painter, 1, 1, 0, 0, false);
  }
  if (const char* dir = std::getenv("SURVEY_RENDER_DIR"))
    image.save(QString::fromUtf8(dir) + "/survey_page1.png");
  auto inkIn = [&image](int x0, int y0, int x1, int y1) {
    int ink = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) ink += qGray(image.pixel(x, y)) < 128;
    return ink;
  };
  // Page margin 10 mm = 37.8 units; band top 18.9; Memo12 at (117.2, 113.4) 119 x 19.
  const int left = 38 + 117, top = 38 + 19 + 113;
  EXPECT_GT(inkIn(left, top, left + 119, top + 19), 20) << "record number and its underline";
  EXPECT_GT(inkIn(38 + 121, 38 + 19 + 4, 38 + 623, 38 + 19 + 35), 200) << "title";
  EXPECT_EQ(0, inkIn(0, 0, 30, 30)) << "nothing in the margin";
}

}  // namespace
}  // namespace engine
