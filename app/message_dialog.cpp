// Detail message dialog; fixed geometry: 336 x 143 collapsed, 286 expanded.
#include "app/message_dialog.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStyle>

#include "app/messages.h"
#include "core/error.h"
#include "core/text_util.h"
#include <QScreen>

namespace app {

namespace {
const char* const kExpand = "详细情况>>>";
const char* const kCollapse = "<<<详细情况";
}  // namespace

TfrmMessage::TfrmMessage(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  QFont f(QString::fromUtf8("宋体"));
  f.setPixelSize(12);
  setFont(f);
  setFixedSize(kWidth, kCollapsedHeight);

  image1_ = new QLabel(this);
  image1_->setGeometry(8, 8, 32, 32);
  image1_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

  memoMsg_ = new QPlainTextEdit(this);
  memoMsg_->setGeometry(48, 8, 280, 64);
  memoMsg_->setReadOnly(true);
  memoMsg_->setFrameShape(QFrame::NoFrame);
  memoMsg_->setBackgroundRole(QPalette::Window);
  memoMsg_->viewport()->setAutoFillBackground(false);
  memoMsg_->setFocusPolicy(Qt::NoFocus);

  btnPrint_ = new QPushButton(QString::fromUtf8("打印(&P)"), this);
  btnPrint_->setGeometry(16, 84, 90, 25);
  btnDetails_ = new QPushButton(QString::fromUtf8(kExpand), this);
  btnDetails_->setGeometry(122, 84, 90, 25);
  btnOK_ = new QPushButton(QString::fromUtf8("确定(&Q)"), this);
  btnOK_->setGeometry(230, 84, 90, 25);
  btnOK_->setDefault(true);
  button1_ = new QPushButton(QString::fromUtf8("保存(&S)"), this);
  button1_->setGeometry(16, 84, 90, 25);
  button1_->hide();

  panel1_ = new QWidget(this);
  panel1_->setGeometry(0, kCollapsedHeight - 20, kWidth, kExpandedHeight - kCollapsedHeight + 20);
  memoMsgDetails_ = new QPlainTextEdit(panel1_);
  memoMsgDetails_->setGeometry(8, 0, kWidth - 16, 100);
  memoMsgDetails_->setReadOnly(true);
  memoMsgDetails_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette menu = memoMsgDetails_->palette();
  menu.setColor(QPalette::Base, palette().color(QPalette::Button));
  memoMsgDetails_->setPalette(menu);
  mnoUser_ = new QPlainTextEdit(panel1_);
  mnoUser_->setGeometry(8, 104, kWidth - 16, 50);
  mnoUser_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette maroon = mnoUser_->palette();
  maroon.setColor(QPalette::Text, QColor(128, 0, 0));
  mnoUser_->setPalette(maroon);
  panel1_->hide();

  connect(btnDetails_, &QPushButton::clicked, this, [this] { BtnDetailsClick(); });
  connect(btnOK_, &QPushButton::clicked, this, [this] { accept(); });
  connect(btnPrint_, &QPushButton::clicked, this, [this] { BtnPrintClick(); });
  setWindowModality(Qt::ApplicationModal);
  // Centred on the screen.
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  btnOK_->setFocus();
}

void TfrmMessage::SetTexts(const std::string& shortText, const std::string& details) {
  memoMsg_->setPlainText(QString::fromUtf8(shortText));
  memoMsgDetails_->setPlainText(QString::fromUtf8(details));
}

void TfrmMessage::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    btnOK_->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfrmMessage::BtnDetailsClick() {
  if (btnDetails_->text() == QString::fromUtf8(kExpand)) {
    btnDetails_->setText(QString::fromUtf8(kCollapse));
    if (mnoUser_->toPlainText().trimmed().isEmpty()) mnoUser_->setPlainText(QString::fromUtf8("建议："));
    panel1_->show();
    setFixedSize(kWidth, kExpandedHeight);
  } else {
    btnDetails_->setText(QString::fromUtf8(kExpand));
    panel1_->hide();
    setFixedSize(kWidth, kCollapsedHeight);
  }
}

void SetPrinterPaperSize(QPrinter& printer, int width, int length) {
  printer.setPageSize(QPageSize(QSizeF(width / 10.0, length / 10.0), QPageSize::Millimeter));
}

void TfrmMessage::PrintDetails(QPrinter* target, const QString& jobName) {
  QPrinter defaultPrinter(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
  QPrinter& printer = target ? *target : defaultPrinter;
  // A 15 x 15 cm page (the size is in tenths of a millimetre).
  SetPrinterPaperSize(printer, 1500, 1500);
  printer.setFullPage(true);
  printer.setDocName(jobName.isEmpty() ? QString::fromUtf8("详细情况") : jobName);
  QPainter painter;
  if (!painter.begin(&printer))
    throw core::Error(printer.printerName().isEmpty() ? "No printer is installed"
                                                      : "The printer " + printer.printerName().toStdString() + " cannot start a job");
  QFont f(QString::fromUtf8("宋体"), 11);
  f.setBold(true);
  painter.setFont(QFont(f, &printer));
  QFontMetricsF fm(painter.font(), &printer);
  const QStringList lines = memoMsgDetails_->toPlainText().split('\n');
  for (int i = 0; i < lines.size(); ++i) {
    QString line = lines[i];
    if (line.endsWith('\r')) line.chop(1);
    painter.drawText(QPointF(50, 100 + 150.0 * i + fm.ascent()), line);
  }
  painter.end();
}

void TfrmMessage::BtnPrintClick() {
  try {
    PrintDetails();
  } catch (const std::exception& e) {
    ShowErrorBox(std::string("打印时出错！") + e.what());
  }
}

}  // namespace app
