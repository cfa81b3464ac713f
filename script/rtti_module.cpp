// The global list of runtime library module classes.
#include "script/rtti_module.h"

#include <algorithm>

namespace sq {

namespace {
std::vector<TsqRTTIModuleFactory>& ModuleList() {
  static std::vector<TsqRTTIModuleFactory> list;
  return list;
}
}  // namespace

void RegisterRTTIModule(TsqRTTIModuleFactory factory) {
  auto& list = ModuleList();
  if (std::find(list.begin(), list.end(), factory) == list.end()) list.push_back(factory);
}

void UnregisterRTTIModule(TsqRTTIModuleFactory factory) {
  auto& list = ModuleList();
  list.erase(std::remove(list.begin(), list.end(), factory), list.end());
}

const std::vector<TsqRTTIModuleFactory>& RTTIModules() {
  return ModuleList();
}

}  // namespace sq
