// Main window frame; the survey selection and grid are built into it.
#include "app/main_window.h"

#include <QLabel>
#include <QStatusBar>

#include "app/his_globals.h"

namespace app {

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString::fromUtf8(kAppTitle));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* operatorLabel = new QLabel(QString::fromUtf8(Globals().OperatorName), this);
  statusBar()->addPermanentWidget(operatorLabel);
  setWindowState(Qt::WindowMaximized);
}

}  // namespace app
