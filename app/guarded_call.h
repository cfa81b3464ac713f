// Runs an event handler the way the framework's default error handler would:
// an error that escapes it is shown in an error box and the program goes on.
#pragma once

#include <exception>
#include <utility>

#include "app/messages.h"

namespace app {

template <typename F>
void GuardedCall(F&& handler) {
  try {
    std::forward<F>(handler)();
  } catch (const std::exception& e) {
    ShowErrorBox(e.what());
  }
}

}  // namespace app
