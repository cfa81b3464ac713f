// TsqCompileError: a compile-time error with its line:column position. The
// compiler parts raise it; TsqScript::Compile catches it and stores both.
#pragma once

#include <string>

#include "core/error.h"

namespace sq {

class TsqCompileError : public core::Error {
 public:
  TsqCompileError(const std::string& message, std::string position)
      : core::Error(message), position_(std::move(position)) {}
  const std::string& Position() const { return position_; }

 private:
  std::string position_;
};

}  // namespace sq
