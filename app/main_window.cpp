// Main window frame; the survey selection and grid are built into it.
#include "app/main_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>

#include "app/his_globals.h"

namespace app {

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString::fromUtf8(kAppTitle));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* operatorLabel = new QLabel(QString::fromUtf8(Globals().OperatorName), this);
  statusBar()->addPermanentWidget(operatorLabel);
  // Maximised; without a window manager the state alone does nothing, so take the screen's size too.
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
  setWindowState(Qt::WindowMaximized);
}

}  // namespace app
