// The one exception type of the system: carries the message text (UTF-8).
#pragma once

#include <stdexcept>
#include <string>

namespace core {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

[[noreturn]] void ThrowConversionError();
[[noreturn]] void ThrowOperationError();

}  // namespace core
