// TsqSystemModule: the built-in types, constants and functions every script
// sees (conversions, formatting, dates, strings, math and the rest).
#pragma once

#include <functional>
#include <string>

#include "script/rtti_module.h"

namespace sq {

class TsqSystemModule : public TsqRTTIModule {
 public:
  explicit TsqSystemModule(TsqScript& script);
};

// Registers the system module with the runtime library (once; call it before
// registering other modules so that it comes first).
void RegisterSystemModule();

// Where ShowMessage sends its text. Without a handler the text and a line
// break go to standard output.
using TsqShowMessageHandler = std::function<void(const std::string& text)>;
void SetShowMessageHandler(TsqShowMessageHandler handler);

// The generator behind Random: seed := seed * 134775813 + 1 (mod 2^32).
void SetRandomSeed(uint32_t seed);
uint32_t RandomSeed();

}  // namespace sq
