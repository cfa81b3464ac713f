// What report scripts see of the report: objects by name with their classes'
// members, event handlers called with their sender, the engine and the
// report's own operations, and names that keep their runtime-library meaning.
#include <gtest/gtest.h>

#include "core/error.h"
#include "engine/engine.h"
#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"
#include "script/script.h"

namespace engine {
namespace {

class ReportBridgeTest : public testing::Test {
 protected:
  ReportBridgeTest() : pages_(&report_), engine_(report_, pages_) {
    page_ = new report::TqdrReportPage(&report_);
    page_->SetParent(&report_);
    page_->SetName("Page1");
    band_ = new report::TqdrMasterData(&report_);
    band_->SetParent(page_);
    band_->SetName("MasterData1");
    band_->SetBounds(0, 10, 700, 300);
    band_->SetRowCount(3);
    memo_ = AddMemo("Memo1", "[Line]");
  }
  report::TqdrMemoView* AddMemo(const char* name, const char* text) {
    auto* m = new report::TqdrMemoView(&report_);
    m->SetParent(band_);
    m->SetName(name);
    m->SetBounds(0, 0, 200, 20);
    m->SetText(text);
    return m;
  }
  bool Run() {
    pages_.ClearAll();
    return report_.PrepareScript() && engine_.BuildPages();
  }
  std::string Texts() {
    std::string out;
    for (int i = 0; i < pages_.PageCount(); ++i)
      for (report::TqdrComponent* c : pages_.PageAt(i)->AllObjects())
        if (auto* m = dynamic_cast<report::TqdrCustomMemoView*>(c)) out += m->Text() + ";";
    return out;
  }

  report::TqdrReport report_;
  TqdrPreviewPages pages_;
  TqdrEngine engine_;
  report::TqdrReportPage* page_;
  report::TqdrMasterData* band_;
  report::TqdrMemoView* memo_;
};

TEST_F(ReportBridgeTest, BandEventHandlerRunsPerBandWithItsSender) {
  report_.ScriptText()->SetLines({"var Seen: String;", "procedure BandBefore(Sender: TqdrBand);",
                                  "begin", "  Seen := Seen + Sender.Name + ',';", "end;",
                                  "begin end."});
  band_->SetOnBeforePrint("BandBefore");
  ASSERT_TRUE(Run()) << report_.ErrorsText();
  EXPECT_EQ("MasterData1,MasterData1,MasterData1,", report_.Calc("Seen").ToString());
}

TEST_F(ReportBridgeTest, ExpressionsNameReportObjectsAndTheirMembers) {
  AddMemo("Memo2", "[Memo1.Name] [MasterData1.Height] [Report.Variables['Who']]");
  report_.Variables()->SetVariables("Who", core::Variant("clerk"));
  ASSERT_TRUE(Run()) << report_.ErrorsText();
  EXPECT_EQ("1;Memo1 300 clerk;2;Memo1 300 clerk;3;Memo1 300 clerk;", Texts());
  EXPECT_NEAR(37.7953, report_.Calc("qr1cm").ToDouble(), 1e-9);
  EXPECT_EQ(2, report_.Calc("smMaxHeight").ToInt32());
  EXPECT_EQ(2026, report_.Calc("YearOf(EncodeDate(2026, 12, 11))").ToInt32());
}

TEST_F(ReportBridgeTest, RuntimeNamesKeepTheirMeaningAndDeletedObjectsGo) {
  auto* pi = AddMemo("Pi", "x");
  ASSERT_TRUE(report_.PrepareScript()) << report_.ErrorsText();
  EXPECT_NEAR(3.14159265, report_.Calc("Pi").ToDouble(), 1e-6) << "the function, not the memo";
  EXPECT_EQ("Memo1", report_.Calc("Memo1.Name").ToString());
  delete pi;
  delete memo_;
  ASSERT_TRUE(report_.PrepareScript()) << report_.ErrorsText();
  EXPECT_THROW(report_.Calc("Memo1.Name"), core::Error);
  EXPECT_NEAR(3.14159265, report_.Calc("Pi").ToDouble(), 1e-6);
  EXPECT_EQ("ab", report_.Calc("Format('%s%s', ['a', 'b'])").ToString());
}

TEST_F(ReportBridgeTest, ScriptsDriveTheEngineAndStopTheRun) {
  report_.ScriptText()->SetLines({"procedure After(Sender: TqdrBand);", "begin",
                                  "  if Engine.FreeSpace < 2000 then Engine.NewPage;",
                                  "  if <Line> = 2 then Report.Terminated := True;", "end;",
                                  "begin end."});
  band_->SetOnAfterPrint("After");
  ASSERT_TRUE(Run()) << report_.ErrorsText();
  EXPECT_TRUE(report_.Terminated());
  EXPECT_EQ(3, pages_.PageCount()) << "a page per row, and no third row";
  EXPECT_EQ("1;2;", Texts());
}

}  // namespace
}  // namespace engine
