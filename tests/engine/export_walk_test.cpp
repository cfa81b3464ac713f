// Page ranges and the export walk over prepared pages.
#include <gtest/gtest.h>

#include "core/error.h"
#include "engine/export_filter.h"
#include "engine/page_ranges.h"
#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"

using namespace report;

namespace {

TEST(PageRangesTest, Table) {
  struct Case {
    const char* name;
    const char* text;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {"empty selects all", "", {}},
      {"list and range", "1,3,5-7", {1, 3, 5, 6, 7}},
      {"open range", "8-", {8, 9, 10}},
      {"outside", "0,11", {}},
      {"backwards range", "3-1", {}},
      {"blanks removed", " 2 , 4 ", {2, 4}},
      {"range clipped to the pages", "9-12", {9, 10}},
  };
  for (const Case& c : cases) EXPECT_EQ(engine::ParsePageNumbers(c.text, 10), c.expected) << c.name;
  for (const char* bad : {"1,,3", "-3", "a", "1-x"})
    EXPECT_THROW(engine::ParsePageNumbers(bad, 10), core::Error) << bad;
}

class RecordingFilter : public engine::TqdrExportFilter {
 public:
  bool Start(TqdrReport*) override { return accept; }
  std::string PageNumbers() const override { return range; }
  bool SuppressPageHeaderFooter() const override { return suppress; }
  void StartPage(TqdrPage*, int index) override { log.push_back("page " + std::to_string(index)); }
  void ExportObject(TqdrComponent* c) override {
    std::string entry = c->Name();
    if (auto* m = dynamic_cast<TqdrMemoView*>(c)) entry += "=" + m->Text();
    log.push_back(entry);
  }
  void FinishPage(TqdrPage*, int) override { log.push_back("end"); }
  bool accept = true, suppress = false;
  std::string range;
  std::vector<std::string> log;
};

class ExportWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterReportClasses();
    page = new TqdrReportPage(&rep);
    page->SetName("Page1");
    page->SetLeftMargin(10);
    header = new TqdrPageHeader(page);
    header->SetName("PageHeader1");
    auto* title = new TqdrMemoView(header);
    title->SetName("Title");
    title->SetText("T");
    band = new TqdrMasterData(page);
    band->SetName("MasterData1");
    memo = new TqdrMemoView(band);
    memo->SetName("Memo1");
    store.OpenStore();
    store.RegisterSourcePage(page);
    for (int i = 0; i < 3; ++i) {
      store.StartOutputPage(page);
      store.AppendBand(header);
      memo->SetText("row " + std::to_string(i));
      store.AppendBand(band);
    }
    store.CloseStore();
  }
  TqdrReport rep;
  TqdrReportPage* page;
  TqdrPageHeader* header;
  TqdrMasterData* band;
  TqdrMemoView* memo;
  engine::TqdrPreviewPages store{&rep};
};

TEST_F(ExportWalkTest, RangeAndObjectsInOrder) {
  struct Case {
    const char* name;
    std::string range;
    bool suppress;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"one page", "2", false, {"page 1", "_pagebackground", "Title=T", "Memo1=row 1", "end"}},
      {"headers left out after the first page",
       "1,3",
       true,
       {"page 0", "_pagebackground", "Title=T", "Memo1=row 0", "end", "page 2", "_pagebackground",
        "Memo1=row 2", "end"}},
  };
  for (const Case& c : cases) {
    RecordingFilter filter;
    filter.range = c.range;
    filter.suppress = c.suppress;
    EXPECT_TRUE(store.ExportTo(filter)) << c.name;
    EXPECT_EQ(filter.log, c.expected) << c.name;
  }
}

TEST_F(ExportWalkTest, RefusedStartExportsNothing) {
  RecordingFilter filter;
  filter.accept = false;
  EXPECT_FALSE(store.ExportTo(filter));
  EXPECT_TRUE(filter.log.empty());
}

TEST_F(ExportWalkTest, BackgroundCoversThePrintableArea) {
  struct BgFilter : RecordingFilter {
    void ExportObject(TqdrComponent* c) override {
      if (c->Name() == "_pagebackground") left = c->Left(), width = c->Width();
    }
    double left = -1, width = -1;
  } filter;
  filter.range = "1";
  store.ExportTo(filter);
  EXPECT_NEAR(filter.left, 10 * 3.77953, 1e-6);
  EXPECT_NEAR(filter.width, 200 * 3.77953, 1e-6);
}

}  // namespace
