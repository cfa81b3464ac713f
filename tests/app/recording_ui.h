// Captures the application's messages and answers its questions in tests.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/messages.h"

struct RecordingUi : app::MessageUi {
  std::vector<app::MessageRequest> boxes;
  std::vector<std::string> details;  // caption | short | detail
  std::deque<app::MessageAnswer> answers;

  RecordingUi() { app::SetMessageUi(this); }
  ~RecordingUi() override { app::SetMessageUi(nullptr); }

  app::MessageAnswer Box(const app::MessageRequest& r) override {
    boxes.push_back(r);
    if (r.buttons == app::MessageButtons::Ok) return app::MessageAnswer::Ok;
    if (answers.empty()) return app::MessageAnswer::No;
    app::MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void Detail(const std::string& caption, const std::string& shortText, const std::string& text) override {
    details.push_back(caption + "|" + shortText + "|" + text);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& b : boxes) out.push_back(b.text);
    return out;
  }
};
