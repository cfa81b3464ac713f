// The report object's run operations: Prepare with its checks and the
// template restored afterwards, ShowReport preparing into a shown preview.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "engine/engine.h"
#include "engine/preview_pages.h"
#include "engine/report_runtime.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/dataset.h"
#include "report/options.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"
#include "template_builder.h"

namespace engine {
namespace {

class ReportRunTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallReportRuntime();
    page_ = enginetest::AddPage(report_, "Page1");
    band_ =
        enginetest::AddBand<report::TqdrMasterData>(report_, page_, "MasterData1", 0, 20, 700, 400);
    band_->SetRowCount(3);
    memo_ = enginetest::AddMemo(report_, band_, "Memo1", "[Line]");
  }
  std::string PageText(int index) {
    std::string text;
    report::TqdrPage* page = PreparedPages(report_)->PageAt(index);
    for (report::TqdrComponent* c :
         page ? page->AllObjects() : std::vector<report::TqdrComponent*>())
      if (auto* m = dynamic_cast<report::TqdrCustomMemoView*>(c)) text += m->Text() + ";";
    return text;
  }

  report::TqdrReport report_;
  report::TqdrReportPage* page_ = nullptr;
  report::TqdrMasterData* band_ = nullptr;
  report::TqdrMemoView* memo_ = nullptr;
};

TEST_F(ReportRunTest, PrepareFillsThePagesAndRunsTheMainScript) {
  report_.ScriptText()->SetLines({"begin", "  Set('Greeting', 'hello');", "end."});
  memo_->SetText("[Line] [Greeting]");
  ASSERT_TRUE(report_.Prepare()) << report_.ErrorsText();
  EXPECT_EQ(2, PreparedPages(report_)->PageCount());
  EXPECT_EQ("1 hello;2 hello;", PageText(0));
  EXPECT_EQ("3 hello;", PageText(1));
  ASSERT_TRUE(report_.Prepare(false)) << report_.ErrorsText();
  EXPECT_EQ(4, PreparedPages(report_)->PageCount()) << "without ClearPrevious pages add up";
}

TEST_F(ReportRunTest, UnboundDatasetItemFailsBeforeRunning) {
  report_.Datasets()->AddItem()->SetDataSetName("QDDBBRXX");
  EXPECT_FALSE(report_.Prepare());
  EXPECT_EQ(std::vector<std::string>{"数据库 \"QDDBBRXX\" 不存在"}, report_.Errors());
  EXPECT_EQ(0, PreparedPages(report_)->PageCount());
}

TEST_F(ReportRunTest, ChangesMadeDuringTheRunAreUndoneAfterwards) {
  int seen = 0;
  report_.OnBeforePrint = [&seen](report::TqdrComponent* sender) {
    if (sender->Name() != "MasterData1") return;
    if (++seen == 2) sender->SetName("Renamed");
    static_cast<report::TqdrBand*>(sender)->SetStretched(true);
  };
  ASSERT_TRUE(report_.Prepare()) << report_.ErrorsText();
  auto* band = dynamic_cast<report::TqdrBand*>(report_.FindObject("MasterData1"));
  ASSERT_NE(nullptr, band) << "the template is reloaded as it was";
  EXPECT_FALSE(band->Stretched());
  EXPECT_EQ(nullptr, report_.FindObject("Renamed"));
}

TEST_F(ReportRunTest, ErrorsDuringTheRunAreListedAndThePagesSoFarKept) {
  memo_->SetText("[IIF(<Line> = 3, 1 div 0, <Line>)]");
  report_.EngineOptions()->SetNewSilentMode(report::TqdrSilentMode::simSilent);
  EXPECT_FALSE(report_.Prepare());
  ASSERT_EQ(1u, report_.Errors().size());
  EXPECT_NE(std::string::npos, report_.Errors()[0].find("Division by zero"))
      << report_.ErrorsText();
  EXPECT_EQ("1;2;", PageText(0));
  EXPECT_FALSE(ReportEngine(report_)->Preparing());
}

TEST_F(ReportRunTest, ShowReportPreparesIntoTheShownWindow) {
  int shownWithPages = -1;
  bool closed = false;
  SetPreviewHooks(
      {[&](report::TqdrReport&, TqdrPreviewPages& pages) { shownWithPages = pages.PageCount(); },
       [&](report::TqdrReport&) { closed = true; }});
  report_.ShowReport();
  EXPECT_EQ(0, shownWithPages) << "the window opens before preparation";
  QElapsedTimer wait;
  wait.start();
  while (PreparedPages(report_)->PageCount() < 2 && wait.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(2, PreparedPages(report_)->PageCount());

  report_.SetOldStyleProgress(true);
  shownWithPages = -1;
  report_.ShowReport();
  EXPECT_EQ(2, shownWithPages) << "old-style progress prepares first";
  EXPECT_FALSE(closed);
  SetPreviewHooks({});
}

TEST(ReportLoad, MissingFileAndTheOptionsATemplateMayChange) {
  QTemporaryDir dir;
  report::TqdrReport r;
  EXPECT_FALSE(r.LoadFromFile(dir.filePath("missing.qr3").toStdString()));
  EXPECT_TRUE(r.Objects().empty());

  const std::string file = dir.filePath("options.qr3").toStdString();
  {
    report::TqdrReport author;
    author.PreviewOptions()->SetModal(false);
    author.EngineOptions()->SetDoublePass(true);
    author.SetShowProgress(false);
    author.SaveToFile(file);
  }
  ASSERT_TRUE(r.LoadFromFile(file));
  EXPECT_TRUE(r.PreviewOptions()->Modal()) << "how the report is shown stays the application's";
  EXPECT_TRUE(r.ShowProgress());
  EXPECT_TRUE(r.EngineOptions()->DoublePass()) << "pagination comes from the template";
}

TEST(ReportLoad, ErrorsAfterLoadingAreRaisedInReThrowMode) {
  QTemporaryDir dir;
  const QString file = dir.filePath("unknown.qr3");
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><TqdrReport><TqdrReportPage Name=\"Page1\">"
      "<TqdrNoSuchView Name=\"X\"/></TqdrReportPage></TqdrReport>");
  f.close();
  report::TqdrReport r;
  r.EngineOptions()->SetNewSilentMode(report::TqdrSilentMode::simReThrow);
  try {
    r.LoadFromFile(file.toStdString());
    ADD_FAILURE() << "no error raised";
  } catch (const std::exception& e) {
    EXPECT_EQ(0u, std::string(e.what()).find("发生下列的错误:")) << e.what();
  }
}

TEST(ReportLoad, WrongPasswordEmptiesTheReport) {
  QTemporaryDir dir;
  const std::string file = dir.filePath("secret.qr3").toStdString();
  {
    report::TqdrReport author;
    auto* page = new report::TqdrReportPage(&author);
    page->SetParent(&author);
    page->SetName("Page1");
    author.ReportOptions()->SetPassword("pw");
    author.SaveToFile(file);
  }
  for (const char* answer : {"wrong", "pw"}) {
    report::TqdrReport r;
    r.OnPasswordRequest = [answer](std::string& entered) {
      entered = answer;
      return true;
    };
    r.LoadFromFile(file);
    EXPECT_EQ(std::string(answer) == "pw", r.FindObject("Page1") != nullptr) << answer;
  }
}

}  // namespace
}  // namespace engine
