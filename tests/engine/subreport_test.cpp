// Sub-reports: on the page they run another report page's data bands at
// their place and the engine goes on after the longest; printed on their
// parent they become objects of the holding band, which stretches.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"

namespace engine {
namespace {

class SubreportTest : public testing::Test {
 protected:
  SubreportTest() : pages_(&report_), engine_(report_, pages_) { main_ = AddPage("Page1"); }
  report::TqdrReportPage* AddPage(const char* name) {
    auto* p = new report::TqdrReportPage(&report_);
    p->SetParent(&report_);
    p->SetName(name);
    return p;
  }
  template <class B>
  B* AddBand(report::TqdrComponent* page, const std::string& name, double top, double height,
             int rows = 0) {
    auto* b = new B(&report_);
    b->SetParent(page);
    b->SetName(name);
    b->SetBounds(0, top, 700, height);
    if (rows)
      static_cast<report::TqdrDataBand*>(static_cast<report::TqdrBand*>(b))->SetRowCount(rows);
    return b;
  }
  report::TqdrMemoView* AddMemo(report::TqdrComponent* band, const std::string& name,
                                const std::string& text, double left, double top) {
    auto* m = new report::TqdrMemoView(&report_);
    m->SetParent(band);
    m->SetName(name);
    m->SetBounds(left, top, 100, 20);
    m->SetText(text);
    return m;
  }
  report::TqdrSubreport* AddSubreport(report::TqdrComponent* band, const std::string& name,
                                      report::TqdrReportPage* page, double left, double top) {
    auto* s = new report::TqdrSubreport(&report_);
    s->SetParent(band);
    s->SetName(name);
    s->SetBounds(left, top, 300, 40);
    s->SetPage(page);
    return s;
  }
  bool Build() {
    pages_.ClearAll();
    return report_.PrepareScript() && engine_.BuildPages();
  }
  // "page: text@top" of every memo, in page order.
  std::vector<std::string> Placed() {
    std::vector<std::string> out;
    for (int i = 0; i < pages_.PageCount(); ++i)
      for (report::TqdrComponent* c : pages_.PageAt(i)->AllObjects())
        if (auto* m = dynamic_cast<report::TqdrCustomMemoView*>(c))
          out.push_back(std::to_string(i + 1) + ":" + m->Text() + "@" +
                        std::to_string(static_cast<int>(m->AbsTop())));
    return out;
  }

  report::TqdrReport report_;
  TqdrPreviewPages pages_;
  TqdrEngine engine_;
  report::TqdrReportPage* main_;
};

TEST_F(SubreportTest, SideBySideOnThePageTheEngineGoesOnAfterTheLongest) {
  auto* band = AddBand<report::TqdrMasterData>(main_, "MasterData1", 10, 50, 1);
  auto* longPage = AddPage("Long");
  AddMemo(AddBand<report::TqdrMasterData>(longPage, "LongRows", 10, 400, 3), "L", "L[Line]", 0, 0);
  auto* shortPage = AddPage("Short");
  AddMemo(AddBand<report::TqdrMasterData>(shortPage, "ShortRows", 10, 100, 2), "S", "S[Line]", 0,
          0);
  AddSubreport(band, "Sub1", longPage, 0, 10);
  AddSubreport(band, "Sub2", shortPage, 350, 10);
  AddMemo(AddBand<report::TqdrReportSummary>(main_, "Summary", 500, 20), "End", "end", 0, 0);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  // A4 without margins: 1122.5 free; the long rows need 3 x 400 after the band.
  ASSERT_EQ(2, pages_.PageCount());
  EXPECT_EQ((std::vector<std::string>{"1:L1@10", "1:L2@410", "1:S1@10", "1:S2@110", "2:L3@0",
                                      "2:end@400"}),
            Placed());
}

TEST_F(SubreportTest, PrintOnParentRowsJoinTheBandWhichStretches) {
  auto* band = AddBand<report::TqdrMasterData>(main_, "MasterData1", 10, 60, 1);
  band->SetStretched(true);
  auto* rowsPage = AddPage("Rows");
  AddMemo(AddBand<report::TqdrMasterData>(rowsPage, "Inner", 10, 20, 3), "R", "R[Line]", 0, 0);
  AddSubreport(band, "Sub1", rowsPage, 50, 10)->SetPrintOnParent(true);
  AddMemo(band, "Below", "below", 0, 50);
  AddMemo(AddBand<report::TqdrReportSummary>(main_, "Summary", 500, 20), "End", "end", 0, 0);
  ASSERT_TRUE(Build()) << report_.ErrorsText();
  ASSERT_EQ(1, pages_.PageCount());
  // Rows at 10, 30, 50 inside the band; the subreport (10..50) grows to 70,
  // the memo below it (50) moves down by 20 and the band ends below it.
  EXPECT_EQ((std::vector<std::string>{"1:below@70", "1:R1@10", "1:R2@30", "1:R3@50", "1:end@90"}),
            Placed());
  EXPECT_EQ(2u, band->Objects().size()) << "the template band keeps only its own objects";
  EXPECT_DOUBLE_EQ(60, band->Height());
}

}  // namespace
}  // namespace engine
