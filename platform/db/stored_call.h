// Recognises the statement form "Exec NAME arg, arg, ..." that runs a stored
// procedure, so that each backend can run it its own way with bound values.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/variant.h"

namespace platform {

struct StoredCall {
  std::string name;
  std::vector<core::Variant> args;  // quoted texts, numbers or NULL
};

// Parses "Exec[ute] NAME 'a','b',…" (quotes doubled inside a text). Returns
// nullopt when the statement is not such a call; raises core::Error when it is
// one with malformed arguments.
std::optional<StoredCall> ParseStoredCall(std::string_view sql);

// Splits a script into statements at ";" outside quotes and comments.
std::vector<std::string> SplitStatements(std::string_view script);

}  // namespace platform
