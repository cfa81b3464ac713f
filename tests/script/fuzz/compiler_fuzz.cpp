// Fuzz target: any text must compile or fail with a message and a position.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/error.h"
#include "script/script.h"
#include "script/system_module.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool registered = (sq::RegisterSystemModule(), true);
  (void)registered;
  sq::TsqScript script;
  script.AddRTTI();
  script.SetText(std::string(reinterpret_cast<const char*>(data), size));
  bool ok = false;
  try {
    ok = script.Compile();
  } catch (const core::Error&) {
    // A language directive naming an unknown language.
    return 0;
  }
  if (!ok && (script.ErrorMsg().empty() || script.ErrorPos().empty())) std::abort();
  return 0;
}
