// TsqRTTIModule: the base of the runtime library modules. Each module class
// is registered once at start-up; TsqScript::AddRTTI creates one instance of
// every registered class for the script, and the instance fills the script
// with its types, constants, functions and classes.
#pragma once

#include <memory>
#include <vector>

#include "core/object.h"

namespace sq {

class TsqScript;

class TsqRTTIModule : public core::TObject {
 public:
  explicit TsqRTTIModule(TsqScript& script) : script_(script) {}
  TsqScript& Script() const { return script_; }

 private:
  TsqScript& script_;
};

using TsqRTTIModuleFactory = std::unique_ptr<TsqRTTIModule> (*)(TsqScript& script);

// Appends a module class to the global list (registration order is the order
// AddRTTI creates them in). Registering the same factory twice adds it once.
void RegisterRTTIModule(TsqRTTIModuleFactory factory);
void UnregisterRTTIModule(TsqRTTIModuleFactory factory);
const std::vector<TsqRTTIModuleFactory>& RTTIModules();

// Factory for a module class whose constructor takes the script.
template <class M>
std::unique_ptr<TsqRTTIModule> MakeRTTIModule(TsqScript& script) {
  return std::make_unique<M>(script);
}

}  // namespace sq
