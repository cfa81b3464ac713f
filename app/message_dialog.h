// The detail message dialog: a short message, an expandable detail text with
// a remark box, and printing of the detail text.
#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;
class QPushButton;
class QLabel;
class QWidget;
class QPrinter;

namespace app {

class TfrmMessage : public QDialog {
 public:
  explicit TfrmMessage(QWidget* parent = nullptr);

  void SetTexts(const std::string& shortText, const std::string& details);
  // Prints the detail lines on `printer` (the default printer when null) as a
  // job named `jobName`.
  void PrintDetails(QPrinter* printer = nullptr, const QString& jobName = QString());

  QPlainTextEdit* MemoMsg() const { return memoMsg_; }
  QPlainTextEdit* MemoMsgDetails() const { return memoMsgDetails_; }
  QPlainTextEdit* MnoUser() const { return mnoUser_; }
  QPushButton* BtnDetails() const { return btnDetails_; }
  QPushButton* BtnOK() const { return btnOK_; }
  QPushButton* BtnPrint() const { return btnPrint_; }
  QWidget* Panel1() const { return panel1_; }

  static constexpr int kWidth = 336;
  static constexpr int kCollapsedHeight = 143;
  static constexpr int kExpandedHeight = 286;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BtnDetailsClick();
  void BtnPrintClick();

  QLabel* image1_;
  QPlainTextEdit* memoMsg_;
  QPushButton* btnPrint_;
  QPushButton* btnDetails_;
  QPushButton* btnOK_;
  QPushButton* button1_;
  QWidget* panel1_;
  QPlainTextEdit* memoMsgDetails_;
  QPlainTextEdit* mnoUser_;
};

// Sets the current printer's paper size in tenths of a millimetre.
void SetPrinterPaperSize(QPrinter& printer, int width, int length);

}  // namespace app
