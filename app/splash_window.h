// The splash window. Created and destroyed at start-up without being shown.
#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace app {

class TfrmSplash : public QWidget {
 public:
  explicit TfrmSplash(QWidget* parent = nullptr);
  void SetTitle(const QString& title);
  QLabel* Label3() const { return label3_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Timer1Timer();
  QLabel* label1_;
  QLabel* label2_;
  QLabel* label3_;
  QTimer* timer1_;
  int colour_ = 0;
};

}  // namespace app
