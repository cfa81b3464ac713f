// The login window: badge number and password, three attempts, permission
// check, and the session values recorded on success.
#pragma once

#include <QDialog>
#include <exception>

class QLineEdit;
class QPushButton;
class QLabel;

namespace app {

class TfrmLogin : public QDialog {
 public:
  explicit TfrmLogin(QWidget* parent = nullptr);

  bool CheckPermission();
  void LoadSessionInfo();
  void BtnOKClick();
  void BtnExitClick();
  int Attempts() const { return attempts_; }
  // An error raised while the window opened (connection, parameters), raised
  // again once the modal loop has ended.
  void RethrowStartupError();

  QLineEdit* edtUser() const { return edtUser_; }
  QLineEdit* edtPasswd() const { return edtPasswd_; }
  QPushButton* BtnOK() const { return btnOK_; }
  QPushButton* BtnExit() const { return btnExit_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Terminate();

  QLabel* rxLabel1_;
  QLabel* rxLabel2_;
  QLabel* rxLabel3_;
  QLabel* image1_;
  QLineEdit* edtUser_;
  QLineEdit* edtPasswd_;
  QPushButton* btnOK_;
  QPushButton* btnExit_;
  int attempts_ = 0;
  bool shownOnce_ = false;
  std::exception_ptr startupError_;
};

}  // namespace app
