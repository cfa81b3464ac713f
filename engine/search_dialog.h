// TqdrSearchDialog: the find dialog of the preview (text, search from the
// first page, case sensitivity).
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace engine {

class TqdrSearchDialog : public QDialog {
 public:
  // The text box starts with `lastText`, selected.
  explicit TqdrSearchDialog(const std::string& lastText, QWidget* parent = nullptr);

  std::string Text() const;
  bool FromFirstPage() const;
  bool CaseSensitive() const;
  QLineEdit* TextEdit() const { return text_; }
  QCheckBox* FromFirstPageBox() const { return fromFirst_; }
  QCheckBox* CaseSensitiveBox() const { return caseSensitive_; }
  QPushButton* OkButton() const { return ok_; }

  // F1; the default does nothing.
  std::function<void()> OnHelp;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLineEdit* text_ = nullptr;
  QCheckBox* fromFirst_ = nullptr;
  QCheckBox* caseSensitive_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace engine
