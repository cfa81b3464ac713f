// Start-up: folders, the single-instance guard and the start-up error guard.
#include "app/run_application.h"

#include <gtest/gtest.h>

#include <QDir>

#include "core/date_time.h"
#include "demo_fixture.h"
#include "platform/instance_lock.h"
#include "recording_ui.h"

namespace {

// The instance lock lives in the runtime folder: give each test its own, so a
// copy of the program running on this machine does not interfere.
class StartUpTest : public DemoDatabaseTest {
 protected:
  void SetUp() override {
    DemoDatabaseTest::SetUp();
    ASSERT_TRUE(runtime_.isValid());
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
  }
  QTemporaryDir runtime_;
};

TEST_F(StartUpTest, InitPrivateGlobalsSetsFormatsAndFolders) {
  QDir(dir_.path()).mkdir("Templet");
  QFile keep(dir_.filePath("Templet/keep.qr3"));
  ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
  keep.close();
  app::InitPrivateGlobals(dir_.path().toStdString());
  EXPECT_EQ(app::Globals().ExeDir, dir_.path().toStdString() + "/");
  EXPECT_TRUE(QDir(dir_.filePath("Backup")).exists());
  EXPECT_TRUE(keep.exists()) << "an existing Templet folder is left untouched";
  EXPECT_EQ(app::Globals().SystemNumber, "3");
  EXPECT_EQ(core::DateToStr(core::EncodeDate(2011, 5, 13)), "2011.05.13");
  app::InitPrivateGlobals("/");
  EXPECT_EQ(app::Globals().ExeDir, "/") << "no doubled separator at the root";
}

TEST_F(StartUpTest, SecondInstanceIsRefused) {
  RecordingUi ui;
  platform::InstanceLock running(app::kAppTitle);
  ASSERT_TRUE(running.TryAcquire());
  EXPECT_EQ(app::RunApplication(), 0);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "应用程序正在运行!");
  EXPECT_EQ(ui.boxes[0].caption, "注意");
  EXPECT_EQ(ui.boxes[0].icon, app::MessageIcon::Information);
  EXPECT_FALSE(app::Globals().LoginOK);
}

TEST_F(StartUpTest, FailureDuringStartUpShowsTheGuardMessage) {
  RecordingUi ui;
  app::SetRegistry(platform::IniSettings::FromText("[SOFTWARE\\Nordvane\\VELK300]\nDataBase=hex:00,01\n"));
  EXPECT_EQ(app::RunApplication(), 1);
  ASSERT_EQ(ui.details.size(), 1u);
  EXPECT_EQ(ui.details[0], "错误|初始化失败！Invalid data type for 'DataBase'|初始化失败！Invalid data type for 'DataBase'\r\n");
  EXPECT_TRUE(app::Globals().TerminateRequested);
}

}  // namespace
