// TsqClassesModule: the classes module of the runtime library — TObject,
// TPersistent, TStrings and TStringList over our own objects, with the
// TDuplicates enumeration and the stream-mode and seek constants.
#pragma once

#include "script/rtti_module.h"

namespace core {
class ClassInfo;
}

namespace sq {

class TsqClassesModule : public TsqRTTIModule {
 public:
  explicit TsqClassesModule(TsqScript& script);
};

// Registers the classes module (after the system module).
void RegisterClassesModule();

// Class information of the script-visible root classes.
const core::ClassInfo* TObjectClass();
const core::ClassInfo* TPersistentClass();
const core::ClassInfo* TStringsClass();

}  // namespace sq
