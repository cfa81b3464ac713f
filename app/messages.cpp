// Message helpers over QMessageBox and the detail dialog.
#include "app/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/his_globals.h"
#include "app/message_dialog.h"

namespace app {

namespace {

class QtMessageUi : public MessageUi {
 public:
  MessageAnswer Box(const MessageRequest& r) override {
    QMessageBox box;
    box.setWindowTitle(QString::fromUtf8(r.caption));
    box.setText(QString::fromUtf8(r.text));
    switch (r.icon) {
      case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
      case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
      case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
      case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
      case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    if (r.buttons == MessageButtons::Ok) {
      box.setStandardButtons(QMessageBox::Ok);
      box.exec();
      return MessageAnswer::Ok;
    }
    QPushButton* yes = box.addButton(QString::fromUtf8("是(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8("否(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(r.defaultNo ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
  }

  void Detail(const std::string& caption, const std::string& shortText, const std::string& details) override {
    TfrmMessage dialog;
    dialog.setWindowTitle(QString::fromUtf8(caption));
    dialog.SetTexts(shortText, details);
    dialog.exec();
  }
};

MessageUi*& CurrentUi() {
  static MessageUi* ui = nullptr;
  return ui;
}

MessageUi& Ui() {
  static QtMessageUi qtUi;
  return CurrentUi() ? *CurrentUi() : qtUi;
}

}  // namespace

void SetMessageUi(MessageUi* ui) { CurrentUi() = ui; }

MessageAnswer MessageBox(const MessageRequest& request) { return Ui().Box(request); }

void ShowMessageBox(const std::string& text, int kind) {
  MessageRequest r;
  r.text = text;
  r.caption = kAppTitle;
  r.icon = kind == 0 ? MessageIcon::Warning : kind == 1 ? MessageIcon::Error
                                          : kind == 2 ? MessageIcon::Information : MessageIcon::None;
  MessageBox(r);
}

void ShowErrorBox(const std::string& text) { ShowMessageBox(text, 1); }

bool ConfirmBox(const std::string& text, const std::string& caption) {
  MessageRequest r;
  r.text = text;
  r.caption = caption;
  r.icon = MessageIcon::Question;
  r.buttons = MessageButtons::YesNo;
  r.defaultNo = true;
  return MessageBox(r) == MessageAnswer::Yes;
}

std::string DetailShortText(const std::string& message) {
  size_t star = message.find('*');
  if (star == std::string::npos) return message;
  size_t colon = message.find(':');
  if (colon == std::string::npos) return message.substr(0, star);
  if (colon > star) return std::string();
  return message.substr(colon + 1, star - colon - 1);
}

void ShowDetailMessage(const std::string& caption, const std::string& message, const std::string& details) {
  Ui().Detail(caption.empty() ? std::string(kAppTitle) : caption, DetailShortText(message),
              message + "\r\n" + details);
}

}  // namespace app
