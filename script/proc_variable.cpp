// Calling a script procedure: executing mark, running-scope tracking, the
// local statements and the Result variable.
#include "script/proc_variable.h"

#include "core/error.h"
#include "script/script.h"
#include "script/statement.h"
#include "script/variables.h"

namespace sq {

TsqProcVariable::TsqProcVariable(std::string_view name, TsqScript* declaring,
                                 TsqTypeKind resultKind, std::string_view resultType,
                                 bool isFunction)
    : TsqCustomVariable(name, resultKind, resultType),
      local_(std::make_unique<TsqScript>(declaring)),
      declaring_(declaring),
      isFunction_(isFunction) {
  SetIsReadOnly(true);
  if (isFunction) {
    auto result = std::make_unique<TsqVariable>("Result", resultKind, resultType);
    SetRefItem(result.get());
    local_->Add("Result", std::move(result));
  }
}

TsqProcVariable::~TsqProcVariable() {
  // The local script lists the parameters without owning them; it goes first.
  local_.reset();
}

TsqVariable* TsqProcVariable::ResultVariable() const {
  return static_cast<TsqVariable*>(RefItem());
}

TsqParamItem* TsqProcVariable::AddParameter(std::unique_ptr<TsqParamItem> p) {
  TsqParamItem* raw = p.get();
  AddParam(std::move(p));
  local_->AddReference(raw->Name(), raw);
  return raw;
}

std::vector<core::Variant> TsqProcVariable::SaveLocals() const {
  std::vector<core::Variant> saved;
  saved.reserve(static_cast<size_t>(local_->Count()));
  for (int i = 0; i < local_->Count(); ++i) {
    auto* v = dynamic_cast<TsqCustomVariable*>(local_->Items(i));
    bool isValue = dynamic_cast<TsqVariable*>(v) || dynamic_cast<TsqParamItem*>(v);
    saved.push_back(isValue ? v->Value() : core::Variant());
  }
  return saved;
}

void TsqProcVariable::RestoreLocals(const std::vector<core::Variant>& saved) const {
  for (int i = 0; i < local_->Count() && static_cast<size_t>(i) < saved.size(); ++i) {
    auto* v = dynamic_cast<TsqCustomVariable*>(local_->Items(i));
    if (auto* var = dynamic_cast<TsqVariable*>(v))
      var->MutableStored() = saved[static_cast<size_t>(i)];
    else if (auto* p = dynamic_cast<TsqParamItem*>(v))
      p->SetValue(saved[static_cast<size_t>(i)]);
  }
}

namespace {
// Script recursion deeper than this raises instead of exhausting the stack.
constexpr int kMaxCallDepth = 1000;
thread_local int callDepth = 0;
}  // namespace

core::Variant TsqProcVariable::Value() {
  if (callDepth >= kMaxCallDepth) throw core::Error("Stack overflow");
  ++callDepth;
  struct Depth {
    ~Depth() { --callDepth; }
  } depth;
  TsqScript* tracker = nullptr;
  for (TsqScript* s = declaring_; s; s = s->Parent()) {
    if (s->TracksRunningScope()) {
      tracker = s;
      break;
    }
  }
  TsqScript* previousScope = tracker ? tracker->RunningScope() : nullptr;
  const bool wasExecuting = executing_;
  executing_ = true;
  if (tracker) tracker->SetRunningScope(local_.get());
  struct Restore {
    TsqProcVariable* self;
    TsqScript* tracker;
    TsqScript* previousScope;
    bool wasExecuting;
    ~Restore() {
      self->executing_ = wasExecuting;
      if (tracker) tracker->SetRunningScope(previousScope);
    }
  } restore{this, tracker, previousScope, wasExecuting};
  local_->SetExitRequested(false);
  local_->SetTerminated(false);
  local_->Statement().Execute();
  local_->SetExitRequested(false);
  if (isFunction_) return ResultVariable()->Stored();
  return core::Variant::MakeNull();
}

}  // namespace sq
