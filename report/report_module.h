// The report library's runtime module for scripts: its constants,
// enumerations and sets, the report classes with their members, and a few
// functions. Registered with the other modules; every report script sees it.
#pragma once

#include "script/rtti_module.h"

namespace report {

class TqdrReportModule : public sq::TsqRTTIModule {
 public:
  explicit TqdrReportModule(sq::TsqScript& script);
};

// Registers the runtime library every report script sees, in its order: the
// system, classes, forms and dialogs modules, then this module (once).
void RegisterReportScriptModules();

}  // namespace report
