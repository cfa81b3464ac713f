// The survey main window.
#pragma once

#include <QMainWindow>

namespace app {

class TFrmMain : public QMainWindow {
 public:
  explicit TFrmMain(QWidget* parent = nullptr);
};

}  // namespace app
