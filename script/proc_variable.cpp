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

void TsqProcVariable::CacheLocals() const {
  if (cachedCount_ == local_->Count()) return;
  cachedSlots_.clear();
  for (int i = 0; i < local_->Count(); ++i) {
    auto* v = dynamic_cast<TsqCustomVariable*>(local_->Items(i));
    if (auto* var = dynamic_cast<TsqVariable*>(v)) {
      cachedSlots_.push_back({var, nullptr});
    } else if (auto* p = dynamic_cast<TsqParamItem*>(v)) {
      cachedSlots_.push_back({nullptr, p});
    }
  }
  cachedCount_ = local_->Count();
}

std::vector<core::Variant> TsqProcVariable::SaveLocals() const {
  CacheLocals();
  std::vector<core::Variant> saved;
  saved.reserve(cachedSlots_.size());
  for (const Slot& s : cachedSlots_) saved.push_back(s.var ? s.var->Stored() : s.param->Value());
  return saved;
}

void TsqProcVariable::RestoreLocals(const std::vector<core::Variant>& saved) const {
  CacheLocals();
  for (size_t i = 0; i < cachedSlots_.size() && i < saved.size(); ++i) {
    const Slot& s = cachedSlots_[i];
    if (s.var)
      s.var->MutableStored() = saved[i];
    else
      s.param->SetValue(saved[i]);
  }
}

void TsqProcVariable::PushLocals() {
  CacheLocals();
  frameStarts_.push_back(frames_.size());
  for (const Slot& s : cachedSlots_) frames_.push_back(s.var ? s.var->Stored() : s.param->Value());
}

void TsqProcVariable::PopLocals() {
  if (frameStarts_.empty()) return;
  const size_t start = frameStarts_.back();
  frameStarts_.pop_back();
  CacheLocals();
  for (size_t i = 0; i < cachedSlots_.size() && start + i < frames_.size(); ++i) {
    const Slot& s = cachedSlots_[i];
    if (s.var)
      s.var->MutableStored() = std::move(frames_[start + i]);
    else
      s.param->SetValue(frames_[start + i]);
  }
  frames_.resize(start);
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
