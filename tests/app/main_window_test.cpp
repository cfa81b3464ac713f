// The main window driven on the real demo database: selection defaults, the
// exact procedure call, result rows, and the failures the clerk can meet.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <fstream>

#include "app/expand_combo_box.h"
#include "app/his_globals.h"
#include "app/survey_print.h"
#include "core/error.h"
#include "demo_fixture.h"
#include "engine/engine.h"
#include "engine/preview_form.h"
#include "engine/preview_pages.h"
#include "engine/report_runtime.h"
#include "grid/db_grid.h"
#include "platform/db/stored_call.h"
#include "recording_ui.h"
#include "report/options.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"

namespace {

TEST(OneMonthBack, ClampsToTheShorterMonth) {
  struct Case {
    QDate from, to;
  } cases[] = {
      {{2026, 3, 31}, {2026, 2, 28}},
      {{2024, 3, 31}, {2024, 2, 29}},
      {{2026, 1, 15}, {2025, 12, 15}},
      {{2026, 5, 31}, {2026, 4, 30}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::OneMonthBack(c.from), c.to) << c.from.toString().toStdString();
}

// Patients discharged in May 2011 (the demo's own rows lie in the last 18 months).
const char* const kMay2011 =
    "INSERT INTO BA_BRSY00 (ID, BAH000, ZYCS00, XBBH00, CSRQ00, RYRQ00, RZKS00, CYRQ00, DQKS00, "
    "CWF000, XYF000) "
    "VALUES (90001, 'M00001', 1, '1', '1960-05-20', '2011-05-01 08:00:00', '01', '2011-05-01 "
    "09:00:00', '01', 100, 50),"
    " (90002, 'M00002', 1, '2', '1980-01-02', '2011-05-03 08:00:00', '02', '2011-05-10 10:00:00', "
    "'02', 10, NULL),"
    " (90003, 'M00003', 2, '2', '1990-07-07', '2011-05-20 08:00:00', '02', '2011-05-31 23:00:00', "
    "'02', 5, 5),"
    " (90004, 'M00004', 1, '1', '1970-03-03', '2011-05-25 08:00:00', '01', '2011-06-01 00:00:00', "
    "'01', 1, 1)";

class MainWindowTest : public DemoDatabaseTest {
 protected:
  void SetUp() override {
    DemoDatabaseTest::SetUp();
    Exec(kMay2011);
    app::DataModule().DBHis.SetParam("DATABASE NAME", dbPath_);
    app::DataModule().DBHis.SetParam("SERVER NAME", "");
    app::DataModule().DBHis.Open();
    window_ = std::make_unique<app::TFrmMain>();
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    window_->show();
  }
  void TearDown() override {
    window_.reset();
    DemoDatabaseTest::TearDown();
  }

  void Select(int department, const QString& record, QDate begin, QDate end) {
    window_->cmbBMMC00()->setCurrentIndex(department);
    window_->EdBAH000()->setText(record);
    window_->dtBeginDate()->setDate(begin);
    window_->dtEndDate()->setDate(end);
  }
  void Query() { QTest::mouseClick(window_->BtnQuery(), Qt::LeftButton); }
  std::vector<std::string> Records() {
    std::vector<std::string> out;
    auto& d = window_->qryReport().Data();
    for (int r = 0; r < d.RecordCount(); ++r)
      out.push_back(d.Cell(r, d.FieldIndex("BAH000")).ToString());
    return out;
  }
  std::string Statement() { return window_->qryReport().SqlText(); }

  RecordingUi ui_;
  std::unique_ptr<app::TFrmMain> window_;
};

TEST_F(MainWindowTest, ShowsTodayAndOneMonthBackAndTheDepartments) {
  EXPECT_EQ(window_->windowTitle().toStdString(), "出院病人调查表");
  EXPECT_EQ(window_->dtEndDate()->date(), QDate::currentDate());
  EXPECT_EQ(window_->dtBeginDate()->date(), app::OneMonthBack(QDate::currentDate()));
  app::TExpandComboBox* c = window_->cmbBMMC00();
  ASSERT_EQ(c->count(), 13);
  EXPECT_EQ(c->itemText(0).toStdString(), "所有科室");
  EXPECT_EQ(c->Values()[0], "-1");
  EXPECT_EQ(c->itemText(1).toStdString(), "内科");
  EXPECT_EQ(c->Values()[1], "01");
  EXPECT_EQ(c->itemText(12).toStdString(), "肿瘤科");
  EXPECT_EQ(c->currentIndex(), 0);
  EXPECT_TRUE(window_->BtnPrint()->isEnabled())
      << "before the first run both print buttons are enabled";
  EXPECT_TRUE(window_->BtallPrint()->isEnabled());
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(MainWindowTest, RunsTheProcedureForTheSelection) {
  Select(0, "", {2011, 5, 1}, {2011, 5, 31});
  Query();
  EXPECT_EQ(Statement(), "Exec SP_BA_SYBRDC '-1','','20110501','20110601'");
  EXPECT_EQ(Records(), (std::vector<std::string>{"M00001", "M00002", "M00003"}))
      << "end day exclusive";
  EXPECT_TRUE(window_->BtnPrint()->isEnabled());
  EXPECT_TRUE(window_->BtallPrint()->isEnabled());
  EXPECT_EQ(window_->ProgressBar1()->value(), 0);
  EXPECT_EQ(window_->qryReport().Data().FieldCount(), 39);
  grid::TDBGridGv* grid = window_->DBGridGv1();
  ASSERT_EQ(grid->VisibleColumnCount(), 39);
  EXPECT_EQ(grid->VisibleColumn(0)->Title().Caption(), "交费方式");
  EXPECT_EQ(grid->VisibleColumn(38)->FieldName(), "SXQT00");
  EXPECT_EQ(grid->TitleLines(), 2);
  ASSERT_NE(grid->Data(), nullptr) << "the grid shows the procedure's rows";
  EXPECT_EQ(grid->Data()->RecordCount(), 3);
  EXPECT_EQ(grid->CellText(0, 2), "M00001");
  EXPECT_EQ(grid->CellText(0, 7), "2011.05.01") << "dates in the process format";
  EXPECT_TRUE(ui_.boxes.empty() && ui_.details.empty());

  // The template bytes were extracted into Templet.
  QFile templet(QString::fromStdString(app::Globals().ExeDir) +
                "Templet/医院出院病人调查表(病案).qr3");
  ASSERT_TRUE(templet.open(QIODevice::ReadOnly));
  EXPECT_TRUE(templet.readAll().startsWith("<?xml"));
}

TEST_F(MainWindowTest, SelectionCases) {
  struct Case {
    const char* name;
    int department;
    QString record;
    QDate begin, end;
    const char* statement;
    std::vector<std::string> records;
  } cases[] = {
      {"one-day range",
       0,
       "",
       {2011, 5, 10},
       {2011, 5, 10},
       "Exec SP_BA_SYBRDC '-1','','20110510','20110511'",
       {"M00002"}},
      {"one department",
       2,
       "",
       {2011, 5, 1},
       {2011, 5, 31},
       "Exec SP_BA_SYBRDC '02','','20110501','20110601'",
       {"M00002", "M00003"}},
      {"one record, trimmed",
       0,
       " M00003 ",
       {2011, 5, 1},
       {2011, 5, 31},
       "Exec SP_BA_SYBRDC '-1','M00003','20110501','20110601'",
       {"M00003"}},
      {"an apostrophe is a value",
       0,
       "x' OR '1'='1",
       {2011, 5, 1},
       {2011, 5, 31},
       "Exec SP_BA_SYBRDC '-1','x'' OR ''1''=''1','20110501','20110601'",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Select(c.department, c.record, c.begin, c.end);
    Query();
    EXPECT_EQ(Statement(), c.statement);
    EXPECT_EQ(Records(), c.records);
    EXPECT_EQ(window_->BtnPrint()->isEnabled(), !c.records.empty());
    EXPECT_EQ(window_->BtallPrint()->isEnabled(), !c.records.empty());
  }
  EXPECT_TRUE(ui_.boxes.empty() && ui_.details.empty());
}

TEST_F(MainWindowTest, TheLastMonthOfTheDemoHasRows) {
  Query();
  EXPECT_GT(window_->qryReport().RecordCount(), 50);
  EXPECT_TRUE(window_->BtnPrint()->isEnabled());
}

TEST_F(MainWindowTest, MissingDefinitionStopsBeforeTheProcedure) {
  Exec("DELETE FROM XT_BBMC00");
  Query();
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"没有找到该报表！"});
  EXPECT_FALSE(window_->BtnPrint()->isEnabled());
  EXPECT_FALSE(window_->BtallPrint()->isEnabled());
  EXPECT_EQ(Statement().find("Exec"), std::string::npos);
}

TEST_F(MainWindowTest, ProcedureFailureShowsTheDetailDialog) {
  Exec(
      "UPDATE SYS_PROCEDURES SET BODY = 'SELECT * FROM NO_SUCH_TABLE' WHERE NAME = 'SP_BA_SYBRDC'");
  Select(0, "", {2011, 5, 1}, {2011, 5, 31});
  Query();
  ASSERT_EQ(ui_.details.size(), 1u);
  EXPECT_EQ(
      ui_.details[0].rfind(
          std::string(app::kAppTitle) + "|统计失败，请看详细信息|统计失败，请看详细信息\r\n", 0),
      0u)
      << ui_.details[0];
  EXPECT_NE(ui_.details[0].find("NO_SUCH_TABLE"), std::string::npos)
      << "the server's message is the detail";
  EXPECT_FALSE(window_->qryReport().Active());
  EXPECT_FALSE(window_->BtnPrint()->isEnabled());
}

TEST_F(MainWindowTest, UnwritableTempletFolderIsReportedAndTheProgramGoesOn) {
  QDir(dir_.path()).rmdir("Templet");
  std::ofstream(dir_.filePath("Templet").toStdString()) << "a file, not a folder";
  Query();
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].icon, app::MessageIcon::Error);
  EXPECT_EQ(window_->ProgressBar1()->value(), 50) << "the progress bar keeps its last position";
  Select(0, "", {2011, 5, 1}, {2011, 5, 31});
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, CtrlF12WithoutTheDesignTemplate) {
  QTest::keyClick(window_->dtBeginDate(), Qt::Key_F12, Qt::ControlModifier);
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].caption, "提示");
  EXPECT_EQ(ui_.boxes[0].text, "系统找不到程序目录 " + app::Globals().ExeDir +
                                   " 下的 [医院出院病人调查表.qr3] 文件，请确认是否存在该文件！");
  EXPECT_EQ(ui_.boxes[0].icon, app::MessageIcon::Information);
}

TEST_F(MainWindowTest, EnterMovesToTheNextControl) {
  QApplication::setActiveWindow(window_.get());
  window_->dtBeginDate()->setFocus();
  QTest::keyClick(window_->dtBeginDate(), Qt::Key_Return);
  EXPECT_TRUE(window_->dtEndDate()->hasFocus());
  QTest::keyClick(window_->dtEndDate(), Qt::Key_Return);
  EXPECT_TRUE(window_->BtnQuery()->hasFocus());
}

// The same statistics run against PostgreSQL through ODBC.
TEST(MainWindowPostgres, RunsTheProcedureOnTheServer) {
  const char* dsn = std::getenv("SURVEY_TEST_PG_DSN");
  if (!dsn || !*dsn) GTEST_SKIP() << "SURVEY_TEST_PG_DSN is not set (./test starts the server)";
  RecordingUi ui;
  QTemporaryDir dir;
  app::Globals().ExeDir = dir.path().toStdString() + "/";
  platform::DbSession& s = app::DataModule().DBHis;
  s.Close();
  s.SetParam("SERVER NAME", dsn);
  s.SetParam("DATABASE NAME", "");
  s.SetParam("USER NAME", "postgres");
  s.Open();
  std::ifstream in(std::string(SURVEY_SOURCE_DIR) + "/data/postgres/survey_pg.sql");
  std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const std::string& stmt : platform::SplitStatements(script)) s.Run(stmt);
  s.Run("INSERT INTO XT_BMBM00 VALUES ('01', '内科', 'NK'), ('02', '外科', 'WK')");
  s.Run(
      "INSERT INTO XT_BBMC00 (BBMC00, BBMB00, MBMC00, SJLY00, QSHS00, QSLS00, XSLS00, QSBT00) "
      "VALUES ('首页报盘处理', 'template', 't.qr3', 'SP_BA_SYBRDC', 1, 1, 39, 1)");
  std::string rows = kMay2011;
  s.Run(rows);
  {
    app::TFrmMain window;
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    ASSERT_EQ(window.cmbBMMC00()->count(), 3);
    window.cmbBMMC00()->setCurrentIndex(0);
    window.dtBeginDate()->setDate({2011, 5, 1});
    window.dtEndDate()->setDate({2011, 5, 31});
    QTest::mouseClick(window.BtnQuery(), Qt::LeftButton);
    EXPECT_TRUE(ui.boxes.empty()) << (ui.boxes.empty() ? "" : ui.boxes[0].text);
    EXPECT_TRUE(ui.details.empty()) << (ui.details.empty() ? "" : ui.details[0]);
    auto& d = window.qryReport().Data();
    ASSERT_EQ(d.RecordCount(), 3);
    EXPECT_EQ(d.FieldCount(), 39);
    EXPECT_EQ(d.FieldByName("BAH000").AsString(), "M00001");
    EXPECT_EQ(d.FieldByName("RYKB00").AsString(), "内科");
    EXPECT_DOUBLE_EQ(d.FieldByName("ZJE000").AsFloat(), 150.0);
    EXPECT_EQ(d.FieldByName("CYRQ00").Kind(), platform::FieldKind::DateTime);
    EXPECT_TRUE(window.BtnPrint()->isEnabled());
  }
  s.Close();
}

// 单个打印 / 全部打印: the print template is looked for in the working directory.
class PrintButtonsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    savedDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    engine::SetPreviewHooks(
        {[this](report::TqdrReport&, engine::TqdrPreviewPages&) { ++shown_; }, {}});
    app::Globals().HospitalName = "测试医院";
    app::Globals().OperatorName = "张三";
    Select(0, "", {2011, 5, 1}, {2011, 5, 31});
    Query();
  }
  void TearDown() override {
    engine::SetPreviewHooks({});
    QDir::setCurrent(savedDir_);
    MainWindowTest::TearDown();
  }
  void CopyTemplate() {
    QFile::copy(QString::fromUtf8(SURVEY_SOURCE_DIR "/data/医院出院病人调查表(病案).qr3"),
                dir_.filePath(QString::fromUtf8(app::kSurveyTemplate)));
  }
  // Lets the preview's timer prepare the report.
  int PreparedPages() {
    engine::TqdrPreviewPages* pages = engine::PreparedPages(window_->SurveyPrint().QDReport());
    QElapsedTimer wait;
    wait.start();
    while (pages->PageCount() == 0 && wait.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return pages->PageCount();
  }
  std::string MemoText(int page, const char* name) {
    report::TqdrPage* p = engine::PreparedPages(window_->SurveyPrint().QDReport())->PageAt(page);
    for (report::TqdrComponent* c : p ? p->AllObjects() : std::vector<report::TqdrComponent*>())
      if (c->Name() == name) return static_cast<report::TqdrCustomMemoView*>(c)->Text();
    return "<none>";
  }

  QString savedDir_;
  int shown_ = 0;
};

TEST_F(PrintButtonsTest, PrintAllShowsEveryRowAndSingleTheCurrentOne) {
  CopyTemplate();
  ASSERT_EQ(Records(), (std::vector<std::string>{"M00001", "M00002", "M00003"}));
  QTest::mouseClick(window_->BtallPrint(), Qt::LeftButton);
  EXPECT_EQ(1, shown_);
  EXPECT_EQ(3, PreparedPages());
  EXPECT_EQ("测试医院出院病人调查表", MemoText(0, "Memo_HospitalName"));
  EXPECT_EQ("测试医院", MemoText(0, "Memo_yymc"));
  EXPECT_EQ("张三", MemoText(0, "Memo_tbr"));
  EXPECT_EQ("M00002", MemoText(1, "Memo12"));
  EXPECT_TRUE(window_->SurveyPrint().QDReport().PrintOptions()->ShowDialog());

  // The grid follows the query's current record both ways (the grid's own tests).
  window_->qryReport().First();
  window_->qryReport().Next();
  QTest::mouseClick(window_->BtnPrint(), Qt::LeftButton);
  EXPECT_EQ(1, PreparedPages());
  EXPECT_EQ("M00002", MemoText(0, "Memo12")) << "the row under the cursor";
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(PrintButtonsTest, MissingOrBrokenTemplateGivesItsMessage) {
  QTest::mouseClick(window_->BtallPrint(), Qt::LeftButton);
  ASSERT_EQ(1u, ui_.boxes.size());
  EXPECT_EQ(app::kNoTemplateMessage, ui_.boxes[0].text);
  EXPECT_EQ(app::kAppTitle, ui_.boxes[0].caption);
  EXPECT_EQ(app::MessageIcon::None, ui_.boxes[0].icon);
  EXPECT_EQ(0, shown_);

  QFile out(dir_.filePath(QString::fromUtf8(app::kSurveyTemplate)));
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write("<?xml version=\"1.0\"?><TqdrReport><TqdrReportPage Name=\"Page1\"/></TqdrReport>");
  out.close();
  QTest::mouseClick(window_->BtallPrint(), Qt::LeftButton);
  ASSERT_EQ(2u, ui_.boxes.size());
  EXPECT_EQ(app::kPrintFailedMessage, ui_.boxes[1].text);
  EXPECT_EQ("提示", ui_.boxes[1].caption);
  EXPECT_EQ(app::MessageIcon::Information, ui_.boxes[1].icon);
  EXPECT_EQ(0, shown_);
}

// The whole road with the real preview window: it opens modally, fills page
// by page while it is shown, and closes when the clerk closes it.
TEST_F(PrintButtonsTest, PrintAllOpensThePreviewWindowWithTheForms) {
  CopyTemplate();
  engine::InstallPreviewWindow();
  int pagesShown = -1;
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* form = dynamic_cast<engine::TqdrPreviewForm*>(w);
      if (!form || !form->isVisible()) continue;
      engine::TqdrPreviewPages* pages = engine::PreparedPages(window_->SurveyPrint().QDReport());
      if (pages->PageCount() < 3 ||
          engine::ReportEngine(window_->SurveyPrint().QDReport())->Preparing())
        return;
      pagesShown = pages->PageCount();
      if (const char* dir = std::getenv("SURVEY_RENDER_DIR"))
        form->grab().save(QString::fromUtf8(dir) + "/preview_window.png");
      poll.stop();
      form->close();
    }
  });
  poll.start();
  QTest::mouseClick(window_->BtallPrint(), Qt::LeftButton);  // returns when the window closes
  EXPECT_EQ(3, pagesShown);
  EXPECT_TRUE(ui_.boxes.empty());
}

}  // namespace
