// The application's message boxes and the detail message dialog, behind one
// small interface so that tests can capture messages and answer questions.
#pragma once

#include <string>

namespace app {

enum class MessageIcon { None, Warning, Error, Information, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  bool defaultNo = false;
};

class MessageUi {
 public:
  virtual ~MessageUi() = default;
  virtual MessageAnswer Box(const MessageRequest& request) = 0;
  // caption (already defaulted), short text, detail text.
  virtual void Detail(const std::string& caption, const std::string& shortText,
                      const std::string& details) = 0;
};

// Installs a replacement (tests); null restores the Qt message boxes.
void SetMessageUi(MessageUi* ui);

MessageAnswer MessageBox(const MessageRequest& request);
// Kind 0 warning, 1 error, 2 information, other: no icon; caption is the title.
void ShowMessageBox(const std::string& text, int kind);
void ShowErrorBox(const std::string& text);
bool ConfirmBox(const std::string& text, const std::string& caption);
void ShowDetailMessage(const std::string& caption, const std::string& message, const std::string& details);

// The short text the detail dialog shows for a message: between the first ":"
// and the first "*" when the message holds a "*".
std::string DetailShortText(const std::string& message);

}  // namespace app
