// Login window behaviour. User input is bound as a statement parameter, never
// pasted into the statement text.
#include "app/login_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <utility>

#include "app/data_module.h"
#include "app/guarded_call.h"
#include "app/his_globals.h"
#include "app/login_check.h"
#include "app/messages.h"
#include "app/password.h"
#include "app/system_parameters.h"
#include "core/text_util.h"

namespace app {

namespace {
std::string Text(const QLineEdit* e) { return e->text().toUtf8().toStdString(); }
}  // namespace

TfrmLogin::TfrmLogin(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("系统友好登录"));
  setFixedSize(348, 139);
  QFont f(QString::fromUtf8("宋体"));
  f.setPixelSize(12);
  setFont(f);

  image1_ = new QLabel(this);
  image1_->setGeometry(12, 36, 48, 48);
  image1_->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(48, 48));
  rxLabel3_ = new QLabel(QString::fromUtf8("请输入有效的用户名与口令"), this);
  rxLabel3_->setGeometry(72, 8, 260, 20);
  QFont bold = rxLabel3_->font();
  bold.setBold(true);
  rxLabel3_->setFont(bold);
  rxLabel1_ = new QLabel(QString::fromUtf8("用户名"), this);
  rxLabel1_->setGeometry(72, 40, 56, 20);
  rxLabel2_ = new QLabel(QString::fromUtf8("口  令"), this);
  rxLabel2_->setGeometry(72, 70, 56, 20);
  edtUser_ = new QLineEdit(this);
  edtUser_->setGeometry(132, 38, 200, 22);
  edtUser_->setText(QString::fromUtf8(core::LowerCase(kMasterUser)));
  edtPasswd_ = new QLineEdit(this);
  edtPasswd_->setGeometry(132, 68, 200, 22);
  edtPasswd_->setEchoMode(QLineEdit::Password);
  btnOK_ = new QPushButton(QString::fromUtf8("确定(&Y)"), this);
  btnOK_->setGeometry(150, 104, 80, 26);
  btnOK_->setAutoDefault(false);
  btnExit_ = new QPushButton(QString::fromUtf8("退出(&X)"), this);
  btnExit_->setGeometry(244, 104, 80, 26);
  btnExit_->setAutoDefault(false);
  setTabOrder(edtUser_, edtPasswd_);
  setTabOrder(edtPasswd_, btnOK_);
  setTabOrder(btnOK_, btnExit_);
  edtUser_->installEventFilter(this);
  edtPasswd_->installEventFilter(this);
  btnOK_->installEventFilter(this);
  connect(btnOK_, &QPushButton::clicked, this, [this] { GuardedCall([this] { BtnOKClick(); }); });
  connect(btnExit_, &QPushButton::clicked, this, [this] { GuardedCall([this] { BtnExitClick(); }); });

  setWindowTitle(QString::fromUtf8("正在登录-->出院病人调查表"));
  EnsureServerRunning();
  edtUser_->setFocus();
}

void TfrmLogin::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  attempts_ = 0;
  if (!ConnectDatabase()) {
    reject();
    return;
  }
  try {
    LoadSystemParameters();
  } catch (...) {
    startupError_ = std::current_exception();
    reject();
  }
}

void TfrmLogin::RethrowStartupError() {
  if (startupError_) std::rethrow_exception(std::exchange(startupError_, nullptr));
}

void TfrmLogin::Terminate() {
  RequestTerminate();
  reject();
}

bool TfrmLogin::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      keyPressEvent(key);
      return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (watched == edtUser_) {
        edtPasswd_->setFocus();
        return true;
      }
      if (watched == edtPasswd_) {
        btnOK_->setFocus();
        return true;
      }
      if (watched == btnOK_) {
        GuardedCall([this] { BtnOKClick(); });
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmLogin::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    if (ConfirmBox("真的要退出该系统吗?", "退出系统")) Terminate();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;  // no default button
  QDialog::keyPressEvent(event);
}

bool TfrmLogin::CheckPermission() {
  if (HasSystemPermission(core::UpperCase(core::Trim(Text(edtUser_))))) return true;
  ShowErrorBox("该员工无权操作该系统！");
  return false;
}

void TfrmLogin::BtnOKClick() {
  HisGlobals& g = Globals();
  g.LoginOK = false;
  if (core::TrimView(Text(edtUser_)).empty()) {
    ShowErrorBox("请输入用户名（胸卡号）！");
    edtUser_->setFocus();
    return;
  }
  if (!CheckPermission()) return;
  ++attempts_;
  g.UserPassword = core::Trim(Text(edtPasswd_));
  g.UserBadgeNo = core::UpperCase(core::Trim(Text(edtUser_)));

  if (!FindEmployee(g.UserBadgeNo)) {
    bool last = attempts_ >= 3;
    if (last) ShowErrorBox("三次登录不成功,退出系统!");
    ShowErrorBox("无此用户");
    if (last) {
      Terminate();
      return;
    }
    edtUser_->setFocus();
    edtUser_->selectAll();
    return;
  }
  std::string stored = core::Trim(DataModule().qryGeneral.FieldByName("DLMM00").AsString());
  if (stored.empty()) {
    g.LoginOK = false;
    ShowErrorBox("密码有误！");
    return;
  }
  if (DecodePassword(stored) == g.UserPassword) {
    g.LoginOK = true;
    LoadSessionInfo();
    accept();
    return;
  }
  if (attempts_ >= 3) {
    ShowErrorBox("三次登录不成功,退出系统!");
    Terminate();
    return;
  }
  ShowErrorBox("密码错误!");
  edtPasswd_->setFocus();
}

void TfrmLogin::LoadSessionInfo() {
  app::LoadSessionInfo();
}

void TfrmLogin::BtnExitClick() {
  MessageRequest r;
  r.text = "    要退出该系统吗?   ";
  r.caption = "确认";
  r.buttons = MessageButtons::YesNo;
  if (MessageBox(r) == MessageAnswer::Yes) {
    Globals().LoginOK = false;
    Terminate();
    return;
  }
  edtUser_->setFocus();
  edtUser_->selectAll();
}

}  // namespace app
