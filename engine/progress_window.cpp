// The progress window.
#include "engine/progress_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "report/resources.h"

namespace engine {

namespace {
constexpr int kWidth = 271, kHeight = 101;
}

TqdrProgress::TqdrProgress(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setFixedSize(kWidth, kHeight);
  label_ = new QLabel(this);
  label_->setAlignment(Qt::AlignCenter);
  label_->setGeometry(8, 15, kWidth - 16, 18);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 100);
  bar_->setTextVisible(false);
  bar_->setGeometry(12, 40, kWidth - 24, 16);
  cancel_ = new QPushButton(QString::fromStdString(report::Resources().Lookup(2)), this);
  cancel_->setGeometry((kWidth - 75) / 2, 66, 75, 25);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    terminated_ = true;
    hide();
  });
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kWidth / 2, kHeight / 2));
  }
}

TqdrProgress::~TqdrProgress() {
  EnableOwner();
}

void TqdrProgress::EnableOwner() {
  if (disabled_) disabled_->setEnabled(true);
  disabled_ = nullptr;
}

void TqdrProgress::Start(int, const std::string& message, bool showBar, bool showCancel) {
  terminated_ = false;
  cancel_->setVisible(showCancel);
  bar_->setVisible(showBar);
  label_->move(label_->x(), showBar ? 15 : 35);
  bar_->setValue(0);
  label_->setText(QString::fromStdString(message));
  QWidget* active = QApplication::activeWindow();
  if (active && active != this && !disabled_ && active->isEnabled()) {
    disabled_ = active;
    active->setEnabled(false);
  }
  show();
  raise();
  QCoreApplication::processEvents();
}

void TqdrProgress::SetMessage(const std::string& message) {
  label_->setText(QString::fromStdString(message));
  QCoreApplication::processEvents();
}

void TqdrProgress::SetPosition(int position) {
  bar_->setValue(position);
  raise();
  QCoreApplication::processEvents();
}

int TqdrProgress::Position() const {
  return bar_->value();
}

void TqdrProgress::hideEvent(QHideEvent* event) {
  EnableOwner();
  QWidget::hideEvent(event);
}

void TqdrProgress::mousePressEvent(QMouseEvent* event) {
  dragStart_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TqdrProgress::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - dragStart_);
}

void TqdrProgress::paintEvent(QPaintEvent*) {
  // Borderless: draw a raised edge so the window stands out.
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  p.setPen(palette().light().color());
  p.drawLine(0, 0, width() - 1, 0);
  p.drawLine(0, 0, 0, height() - 1);
  p.setPen(palette().dark().color());
  p.drawLine(width() - 1, 0, width() - 1, height() - 1);
  p.drawLine(0, height() - 1, width() - 1, height() - 1);
}

void InstallProgressWindow() {
  report::SetProgressWindowFactory(
      [] { return std::unique_ptr<report::TqdrProgressWindow>(new TqdrProgress); });
}

}  // namespace engine
