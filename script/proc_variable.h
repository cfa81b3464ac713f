// TsqProcVariable: a procedure or function of the program. It owns a local
// script (parent: the declaring script) holding its parameters, locals and
// body; a function has a Result variable there.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "script/custom_variable.h"

namespace sq {

class TsqScript;
class TsqVariable;

class TsqProcVariable : public TsqCustomVariable {
 public:
  // `resultType` empty: a procedure. Parameters are added with AddParameter.
  TsqProcVariable(std::string_view name, TsqScript* declaring, TsqTypeKind resultKind,
                  std::string_view resultType, bool isFunction);
  ~TsqProcVariable() override;

  // Calls the procedure with the parameter values already assigned.
  core::Variant Value() override;
  void SetValue(const core::Variant&) override {}

  TsqScript& LocalScript() const { return *local_; }
  TsqScript* Declaring() const { return declaring_; }
  bool IsFunction() const { return isFunction_; }
  bool Executing() const { return executing_; }
  TsqVariable* ResultVariable() const;
  // Adds the parameter to the parameter list and to the local script.
  TsqParamItem* AddParameter(std::unique_ptr<TsqParamItem> p);

  // Values of the local scope's variables and parameters, saved around a
  // recursive call so each activation sees its own.
  std::vector<core::Variant> SaveLocals() const;
  void RestoreLocals(const std::vector<core::Variant>& saved) const;
  // The same on a stack kept by the procedure, so a recursive call costs no
  // allocation once the stack has grown.
  void PushLocals();
  void PopLocals();

 private:
  // Value-holding locals in item order, found once per change of the local
  // item count (recursion saves and restores them on every call).
  struct Slot {
    TsqVariable* var;
    TsqParamItem* param;
  };
  void CacheLocals() const;
  mutable std::vector<Slot> cachedSlots_;
  mutable int cachedCount_ = -1;
  std::vector<core::Variant> frames_;
  std::vector<size_t> frameStarts_;

  std::unique_ptr<TsqScript> local_;
  TsqScript* declaring_;
  bool isFunction_;
  bool executing_ = false;
};

}  // namespace sq
