// TsqCustomEvent: the adapter between a component event and the script
// procedure that handles it. Concrete adapters (one per event signature)
// turn the event's arguments into variants and call CallHandler.
#pragma once

#include <vector>

#include "core/variant.h"

namespace sq {

class TsqProcVariable;

class TsqCustomEvent : public core::TObject {
 public:
  TsqCustomEvent(core::TObject* instance, TsqProcVariable* handler)
      : instance_(instance), handler_(handler) {}
  core::TObject* Instance() const { return instance_; }
  TsqProcVariable* Handler() const { return handler_; }
  // Copies `args` into the handler's parameters, calls it and copies var
  // parameters back into `args`. Ignored while the handler is executing.
  void CallHandler(std::vector<core::Variant>& args);

 private:
  core::TObject* instance_;
  TsqProcVariable* handler_;
};

}  // namespace sq
