// What report scripts see of the report: objects by name with their classes'
// members, event handlers called with their sender, the engine and the
// report's own operations, and names that keep their runtime-library meaning.
#include <gtest/gtest.h>

#include "core/error.h"
#include "engine/engine.h"
#include "engine/preview_pages.h"
#include "engine/report_runtime.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"
#include "script/script.h"
#include "template_builder.h"

namespace engine {
namespace {

class ReportBridgeTest : public testing::Test {
 protected:
  ReportBridgeTest() : pages_(&report_), engine_(report_, pages_) {
    page_ = enginetest::AddPage(report_, "Page1");
    band_ =
        enginetest::AddBand<report::TqdrMasterData>(report_, page_, "MasterData1", 0, 10, 700, 300);
    band_->SetRowCount(3);
    memo_ = AddMemo("Memo1", "[Line]");
  }
  report::TqdrMemoView* AddMemo(const char* name, const char* text) {
    return enginetest::AddMemo(report_, band_, name, text, 0, 0, 200);
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

TEST_F(ReportBridgeTest, ReportPageAndObjectEventsCallTheirProcedures) {
  report_.ScriptText()->SetLines({"var Log: String;", "procedure Note(Sender: TqdrComponent);",
                                  "begin Log := Log + Sender.Name + ';' end;", "begin end."});
  report_.SetName("Report1");
  report_.SetOnStartReport("Note");
  report_.SetOnStopReport("Note");
  page_->SetOnBeforePrint("Note");
  page_->SetOnAfterPrint("Note");
  memo_->SetOnAfterData("Note");
  band_->SetRowCount(2);
  ASSERT_TRUE(Run()) << report_.ErrorsText();
  EXPECT_EQ("Report1;Page1;Memo1;Memo1;Page1;Report1;", report_.Calc("Log").ToString());
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

// Through the report object: handlers change memos and bands while the
// report prepares, the pages show it, and the template is back afterwards.
TEST_F(ReportBridgeTest, HandlersShapeThePagesAndTheTemplateComesBack) {
  InstallReportRuntime();
  report::TqdrReport r;
  auto* page = enginetest::AddPage(r, "Page1");
  auto* title =
      enginetest::AddBand<report::TqdrReportTitle>(r, page, "ReportTitle1", 0, 0, 700, 30);
  enginetest::AddMemo(r, title, "Free", "");
  auto* band = enginetest::AddBand<report::TqdrMasterData>(r, page, "MasterData1", 0, 40, 700, 30);
  band->SetRowCount(6);
  enginetest::AddMemo(r, band, "Row", "row");
  r.Variables()->SetVariables("Prefix", core::Variant("No."));
  r.ScriptText()->SetLines(
      {"procedure RowBefore(Sender: TqdrBand);", "begin",
       "  Row.Text := Report.Variables['Prefix'] + IntToStr(<Line>);",
       "  MasterData1.Visible := <Line> <> 2;", "  if <Line> = 4 then Report.Terminated := True;",
       "end;", "procedure TitleBefore(Sender: TqdrBand);", "begin",
       "  Free.Text := 'free ' + IntToStr(Round(Engine.FreeSpace));", "end;", "begin end."});
  band->SetOnBeforePrint("RowBefore");
  title->SetOnBeforePrint("TitleBefore");
  ASSERT_TRUE(r.Prepare()) << r.ErrorsText();
  TqdrPreviewPages& pages = *PreparedPages(r);
  std::string texts;
  for (report::TqdrComponent* c : pages.PageAt(0)->AllObjects())
    if (auto* m = dynamic_cast<report::TqdrCustomMemoView*>(c)) texts += m->Text() + ";";
  // A4 without margins: 297 mm = 1122.5 units free on the empty page. Row 2
  // is hidden; stopping in row 4 ends the loop after that row.
  EXPECT_EQ("free 1123;No.1;No.3;No.4;", texts);
  auto* memoAfter = dynamic_cast<report::TqdrMemoView*>(r.FindObject("Row"));
  ASSERT_NE(nullptr, memoAfter);
  EXPECT_EQ("row", memoAfter->Text()) << "the template is back to its design";
  EXPECT_TRUE(r.FindObject("MasterData1")->Visible());
}

}  // namespace
}  // namespace engine
