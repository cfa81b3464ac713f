// Splash window: two-layer title and a status line whose colour cycles.
#include "app/splash_window.h"

#include <QFont>
#include <QLabel>
#include <QTimer>

namespace app {

namespace {
const QColor kCycle[3] = {Qt::blue, QColor(0, 128, 128), Qt::red};

void SetColour(QLabel* label, const QColor& c) {
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, c);
  label->setPalette(p);
}
}  // namespace

TfrmSplash::TfrmSplash(QWidget* parent) : QWidget(parent, Qt::FramelessWindowHint | Qt::SplashScreen) {
  setFixedSize(452, 301);
  QFont title(QString::fromUtf8("宋体"));
  title.setPixelSize(19);
  title.setBold(true);
  label2_ = new QLabel(this);
  label2_->setGeometry(2, 102, 452, 40);
  label1_ = new QLabel(this);
  label1_->setGeometry(0, 100, 452, 40);
  for (QLabel* l : {label1_, label2_}) {
    l->setFont(title);
    l->setAlignment(Qt::AlignCenter);
  }
  SetColour(label1_, QColor(0, 128, 128));
  SetColour(label2_, QColor(192, 192, 192));
  label3_ = new QLabel(QString::fromUtf8("正在登陆数据库,请稍侯..."), this);
  QFont status(QString::fromUtf8("宋体"));
  status.setPixelSize(12);
  status.setBold(true);
  label3_->setFont(status);
  label3_->setGeometry(0, 240, 452, 20);
  label3_->setAlignment(Qt::AlignCenter);
  timer1_ = new QTimer(this);
  timer1_->setInterval(500);
  connect(timer1_, &QTimer::timeout, this, [this] { Timer1Timer(); });
  SetColour(label3_, kCycle[0]);
}

void TfrmSplash::SetTitle(const QString& title) {
  label1_->setText(title);
  label2_->setText(title);
  update();
}

void TfrmSplash::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  colour_ = 0;
  SetColour(label3_, kCycle[0]);
  timer1_->start();
}

void TfrmSplash::Timer1Timer() {
  colour_ = (colour_ + 1) % 3;
  SetColour(label3_, kCycle[colour_]);
}

}  // namespace app
