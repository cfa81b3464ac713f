// TqdrProgress: the small borderless progress window of printing, exporting
// and old-style preparation, with a message, a bar and a Cancel button.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <string>

#include "report/report.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace engine {

class TqdrProgress : public QWidget, public report::TqdrProgressWindow {
 public:
  // 271 x 101, centred on the screen; hidden until started.
  explicit TqdrProgress(QWidget* parent = nullptr);
  ~TqdrProgress() override;

  // Terminated cleared, Cancel and bar shown as asked, position 0, shown.
  void Start(int maximum, const std::string& message, bool showBar, bool showCancel) override;
  void SetMessage(const std::string& message) override;
  bool Terminated() const override { return terminated_; }
  // 0 to 100; brings the window to the front.
  void SetPosition(int position);
  int Position() const;

  QLabel* MessageLabel() const { return label_; }
  QProgressBar* Bar() const { return bar_; }
  QPushButton* CancelButton() const { return cancel_; }

 protected:
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void EnableOwner();

  QLabel* label_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool terminated_ = false;
  QPointer<QWidget> disabled_;  // the window that was active when shown
  QPoint dragStart_;
};

// Makes reports show TqdrProgress as their progress window.
void InstallProgressWindow();

}  // namespace engine
