// Login flows against a real SQLite file, driven through the window's controls.
#include "app/login_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "demo_fixture.h"
#include "recording_ui.h"

namespace {

using Texts = std::vector<std::string>;

class LoginTest : public DemoDatabaseTest {
 protected:
  // Types the entries and presses the OK button; returns the messages it showed.
  Texts Try(app::TfrmLogin& w, const std::string& user, const std::string& password) {
    ui_.boxes.clear();
    // setText: QTest can only type ASCII keys.
    w.edtUser()->setText(QString::fromStdString(user));
    w.edtPasswd()->setText(QString::fromStdString(password));
    QTest::mouseClick(w.BtnOK(), Qt::LeftButton);
    return ui_.Texts();
  }

  RecordingUi ui_;
};

TEST_F(LoginTest, OpensTheSessionAndLoadsParametersWhenShown) {
  app::TfrmLogin w;
  EXPECT_EQ(w.windowTitle().toStdString(), "正在登录-->出院病人调查表");
  EXPECT_EQ(w.edtUser()->text().toStdString(), "chief");
  w.show();
  EXPECT_TRUE(app::DataModule().DBHis.Connected());
  EXPECT_EQ(app::Globals().DictionaryDefaults[13], "20");
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(LoginTest, Flows) {
  struct Step {
    std::string user, password;
    Texts messages;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    bool loggedIn;
    bool terminated;
    const char* setupSql;
  } cases[] = {
      {"empty user", {{"  ", "x", {"请输入用户名（胸卡号）！"}}}, false, false, nullptr},
      {"no permission", {{"SF001", "sf001", {"该员工无权操作该系统！"}}}, false, false, nullptr},
      {"wrong twice then right",
       {{"BA001", "x", {"密码错误!"}}, {"BA001", "y", {"密码错误!"}}, {"BA001", "1234", {}}}, true, false, nullptr},
      {"three wrong",
       {{"BA001", "x", {"密码错误!"}}, {"BA001", "y", {"密码错误!"}}, {"BA001", "z", {"三次登录不成功,退出系统!"}}},
       false, true, nullptr},
      {"refusals do not count as attempts",
       {{"BA001", "x", {"密码错误!"}}, {"SF001", "x", {"该员工无权操作该系统！"}}, {"BA001", "y", {"密码错误!"}},
        {"BA001", "1234", {}}},
       true, false, nullptr},
      {"third attempt unknown user gives both messages",
       {{"BA001", "x", {"密码错误!"}}, {"BA001", "y", {"密码错误!"}},
        {"chief", "chief", {"三次登录不成功,退出系统!", "无此用户"}}},
       false, true, "DELETE FROM XT_YGBM00 WHERE XKH000 = 'CHIEF'"},
      {"unknown master user before the third attempt", {{"chief", "chief", {"无此用户"}}}, false, false,
       "DELETE FROM XT_YGBM00 WHERE XKH000 = 'CHIEF'"},
      {"CHIEF skips the permission statement", {{"chief", "chief", {}}}, true, false,
       "DELETE FROM XT_YHZB00 WHERE YGBH00 = 1"},
      {"blank stored password never logs in", {{"KONG01", "", {"密码有误！"}}, {"KONG01", "x", {"密码有误！"}}},
       false, false, nullptr},
      {"password that decodes to empty", {{"NOPW01", "", {}}}, true, false, nullptr},
      {"badge compares without case", {{"ba001", "1234", {}}}, true, false, nullptr},
      {"stored lower-case badge", {{"BA006", "yangsf", {}}}, true, false, nullptr},
      {"password compares with case", {{"BA003", "ba003!", {"密码错误!"}}}, false, false, nullptr},
      {"apostrophe in badge is data, not SQL", {{"x' OR '1'='1", "", {"该员工无权操作该系统！"}}}, false, false,
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    if (c.setupSql) Exec(c.setupSql);
    app::TfrmLogin w;
    w.show();
    for (const Step& s : c.steps) EXPECT_EQ(Try(w, s.user, s.password), s.messages) << s.user;
    EXPECT_EQ(app::Globals().LoginOK, c.loggedIn);
    EXPECT_EQ(app::Globals().TerminateRequested, c.terminated);
    TearDown();
  }
}

TEST_F(LoginTest, SuccessRecordsTheSession) {
  app::TfrmLogin w;
  w.show();
  EXPECT_TRUE(Try(w, " ba004 ", " 密码 ").empty());
  const app::HisGlobals& g = app::Globals();
  EXPECT_TRUE(g.LoginOK);
  EXPECT_EQ(g.UserBadgeNo, "BA004");
  EXPECT_EQ(g.UserPassword, "密码");
  EXPECT_EQ(g.OperatorName, "郑丽娟");
  EXPECT_EQ(g.EmployeeNo, 5);
  EXPECT_EQ(g.BadgeNo, "BA004");
  EXPECT_EQ(g.GroupCode, "00");
  EXPECT_EQ(g.GroupLevel, "1");
  EXPECT_EQ(g.HospitalName, "测试医院");
  EXPECT_EQ(g.HospitalID, "350100001");
  EXPECT_EQ(w.result(), QDialog::Accepted);
}

TEST_F(LoginTest, KeysMoveFocusAndEscapeAsks) {
  app::TfrmLogin w;
  w.show();
  QApplication::setActiveWindow(&w);
  w.edtUser()->setFocus();
  QTest::keyClick(w.edtUser(), Qt::Key_Return);
  EXPECT_TRUE(w.edtPasswd()->hasFocus());
  QTest::keyClick(w.edtPasswd(), Qt::Key_Return);
  EXPECT_TRUE(w.BtnOK()->hasFocus());
  ui_.answers = {app::MessageAnswer::No};
  QTest::keyClick(w.edtPasswd(), Qt::Key_Escape);
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].text, "真的要退出该系统吗?");
  EXPECT_EQ(ui_.boxes[0].caption, "退出系统");
  EXPECT_FALSE(app::Globals().TerminateRequested);
  ui_.answers = {app::MessageAnswer::Yes};
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_TRUE(app::Globals().TerminateRequested);
}

TEST_F(LoginTest, ExitButtonAsksAndKeepsTheWindowOnNo) {
  app::TfrmLogin w;
  w.show();
  ui_.answers = {app::MessageAnswer::No};
  QTest::mouseClick(w.BtnExit(), Qt::LeftButton);
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].text, "    要退出该系统吗?   ");
  EXPECT_EQ(ui_.boxes[0].caption, "确认");
  EXPECT_EQ(ui_.boxes[0].icon, app::MessageIcon::None);
  EXPECT_FALSE(app::Globals().TerminateRequested);
  EXPECT_EQ(w.edtUser()->selectedText(), w.edtUser()->text());
  ui_.answers = {app::MessageAnswer::Yes};
  QTest::mouseClick(w.BtnExit(), Qt::LeftButton);
  EXPECT_TRUE(app::Globals().TerminateRequested);
  EXPECT_FALSE(app::Globals().LoginOK);
}

TEST_F(LoginTest, ConnectionFailureEndsTheProgram) {
  app::Globals().Connection.DatabaseName = dir_.filePath("missing.db").toStdString();
  app::TfrmLogin w;
  w.show();
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].text.rfind("数据库连接失败！", 0), 0u) << ui_.boxes[0].text;
  EXPECT_TRUE(app::Globals().TerminateRequested);
}

}  // namespace
