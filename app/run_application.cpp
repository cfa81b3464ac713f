// The start-up sequence and its guard ("初始化失败！").
#include "app/run_application.h"

#include <QApplication>
#include <memory>

#include "app/data_module.h"
#include "app/his_globals.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/splash_window.h"
#include "engine/preview_form.h"
#include "engine/report_runtime.h"
#include "platform/instance_lock.h"

namespace app {

int RunApplication() {
  HisGlobals& g = Globals();
  std::unique_ptr<platform::InstanceLock> lock;
  try {
    LoadConnectionSettings();
    engine::InstallReportRuntime();
    engine::InstallPreviewWindow();
    auto splash = std::make_unique<TfrmSplash>();
    splash->hide();
    splash->SetTitle(QString::fromUtf8(kAppTitle));
    DataModule();
    lock = std::make_unique<platform::InstanceLock>(kAppTitle);
    if (!lock->TryAcquire()) {
      MessageRequest r;
      r.text = "应用程序正在运行!";
      r.caption = "注意";
      r.icon = MessageIcon::Information;
      MessageBox(r);
      return 0;
    }
    g.LoginOK = false;
    {
      TfrmLogin login;
      login.exec();
      login.RethrowStartupError();
    }
    if (g.LoginOK && !g.TerminateRequested) {
      splash->hide();
      auto* main = new TFrmMain();  // deletes itself on close
      main->show();
    }
    splash.reset();
    int code = 0;
    if (g.LoginOK && !g.TerminateRequested) code = QApplication::exec();
    lock->Release();
    return code;
  } catch (const std::exception& e) {
    ShowDetailMessage("错误", std::string("初始化失败！") + e.what(), "");
    RequestTerminate();
    return 1;
  }
}

}  // namespace app
