// The band engine and the outline as report scripts see them: the "Engine"
// and "Outline" objects of every report script and their classes.
#pragma once

#include <memory>

#include "core/object.h"
#include "script/rtti_module.h"

namespace engine {

class TqdrEngine;

// The outline of the prepared pages of one engine, as a script object.
class TqdrOutlineObject : public core::TObject {
 public:
  explicit TqdrOutlineObject(TqdrEngine& engine) : engine_(engine) {}
  const core::ClassInfo* ClassType() const override;
  TqdrEngine& Engine() const { return engine_; }

 private:
  TqdrEngine& engine_;
};

class TqdrEngineModule : public sq::TsqRTTIModule {
 public:
  explicit TqdrEngineModule(sq::TsqScript& script);
};

// Registers the module with the runtime library (once).
void RegisterEngineModule();

}  // namespace engine
