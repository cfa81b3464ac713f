// Execution of the statement kinds.
#include "script/statements.h"

#include <typeinfo>

#include "core/error.h"
#include "core/variant_ops.h"
#include "script/custom_expression.h"
#include "script/designator.h"
#include "script/expression.h"
#include "script/script.h"

namespace sq {

namespace {

// The lone variable a target or source stands for, if it is one.
TsqCustomVariable* LoneVariable(TsqCustomExpression* e) {
  if (auto* d = dynamic_cast<TsqVariableDesignator*>(e)) return d->Variable();
  if (auto* x = dynamic_cast<TsqExpression*>(e)) {
    if (auto* node = dynamic_cast<TsqDesignatorNode*>(x->Root()))
      if (auto* d = dynamic_cast<TsqVariableDesignator*>(node->Designator())) return d->Variable();
  }
  return nullptr;
}

TsqCustomVariable* LoneLiteral(TsqCustomExpression* e) {
  auto* x = dynamic_cast<TsqExpression*>(e);
  if (x && x->Root() && typeid(*x->Root()) == typeid(TsqOperandNode)) return x->Root();
  return nullptr;
}

// Clears continue after a loop iteration; true when the loop must stop.
bool AfterIteration(TsqScript* s) {
  if (s->BreakRequested() || s->ExitRequested() || s->Terminated()) return true;
  s->SetContinueRequested(false);
  return false;
}

}  // namespace

bool BeginStatement(TsqStatement& s) {
  TsqScript* script = s.Script();
  script->RunLine(s.SourceUnit(), s.SourcePos());
  return !script->Terminated();
}

std::string ErrorClassName(const std::exception& e) {
  std::string_view msg = e.what();
  if (msg == "Division by zero") return "EDivByZero";
  if (msg == "Floating point division by zero") return "EZeroDivide";
  if (msg == "Invalid variant type conversion") return "EVariantError";
  if (msg == "Invalid variant operation") return "EVariantError";
  return "Exception";
}

// ---------------------------------------------------------------------------

TsqAssignmentStmt::TsqAssignmentStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> target,
                                     std::unique_ptr<TsqCustomExpression> expr)
    : TsqStatement(script), target_(std::move(target)), expr_(std::move(expr)) {
  targetVar_ = LoneVariable(target_.get());
  sourceItem_ = LoneVariable(expr_.get());
  if (!sourceItem_) sourceItem_ = LoneLiteral(expr_.get());
}

TsqAssignmentStmt::~TsqAssignmentStmt() = default;

core::Variant TsqAssignmentStmt::SourceValue() const {
  return sourceItem_ ? sourceItem_->Value() : expr_->Value();
}

core::Variant TsqAssignmentStmt::TargetValue() const {
  return targetVar_ ? targetVar_->Value() : target_->Value();
}

void TsqAssignmentStmt::Store(const core::Variant& v) {
  if (targetVar_)
    targetVar_->SetValue(v);
  else
    target_->SetValue(v);
}

void TsqAssignmentStmt::Execute() {
  if (!BeginStatement(*this)) return;
  Store(SourceValue());
}

TsqCompoundAssignStmt::TsqCompoundAssignStmt(TsqScript* script, Op op,
                                             std::unique_ptr<TsqCustomExpression> target,
                                             std::unique_ptr<TsqCustomExpression> expr)
    : TsqAssignmentStmt(script, std::move(target), std::move(expr)), op_(op) {}

void TsqCompoundAssignStmt::Execute() {
  if (!BeginStatement(*this)) return;
  core::Variant rhs = SourceValue();
  core::Variant lhs = TargetValue();
  switch (op_) {
    case Plus: Store(core::VarAdd(lhs, rhs)); break;
    case Minus: Store(core::VarSub(lhs, rhs)); break;
    case Mul: Store(core::VarMul(lhs, rhs)); break;
    case Div: Store(core::VarDiv(lhs, rhs)); break;
  }
}

// ---------------------------------------------------------------------------

TsqCallStmt::TsqCallStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> designator,
                         std::string modificator)
    : TsqStatement(script), designator_(std::move(designator)), modificator_(std::move(modificator)) {
  if (modificator_.empty()) designator_->SetNeedResult(false);
}

TsqCallStmt::~TsqCallStmt() = default;

void TsqCallStmt::Execute() {
  if (!BeginStatement(*this)) return;
  if (modificator_.empty()) {
    designator_->Value();
  } else if (modificator_ == "+") {
    designator_->SetValue(core::VarAdd(designator_->Value(), core::Variant(int32_t{1})));
  } else {
    designator_->SetValue(core::VarSub(designator_->Value(), core::Variant(int32_t{1})));
  }
}

// ---------------------------------------------------------------------------

TsqIfStmt::TsqIfStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> condition)
    : TsqStatement(script), condition_(std::move(condition)), then_(script), else_(script) {}

TsqIfStmt::~TsqIfStmt() = default;

void TsqIfStmt::Execute() {
  if (!BeginStatement(*this)) return;
  core::Variant c = condition_->Value();
  if (c.IsBoolean() ? c.RawBool() : (!c.IsNull() && c.ToBool()))
    then_.Execute();
  else
    else_.Execute();
}

// ---------------------------------------------------------------------------

TsqCaseSelector::TsqCaseSelector(TsqScript* script, std::unique_ptr<TsqSetExpression> set)
    : TsqStatement(script), set_(std::move(set)), body_(script) {}

TsqCaseSelector::~TsqCaseSelector() = default;

bool TsqCaseSelector::Matches(const core::Variant& v) const {
  return set_->Contains(v);
}

TsqCaseStmt::TsqCaseStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> selector)
    : TsqStatement(script), selector_(std::move(selector)), else_(script) {}

TsqCaseStmt::~TsqCaseStmt() = default;

TsqCaseSelector* TsqCaseStmt::AddSelector(std::unique_ptr<TsqCaseSelector> s) {
  selectors_.push_back(std::move(s));
  return selectors_.back().get();
}

void TsqCaseStmt::Execute() {
  core::Variant v = selector_->Value();
  if (!BeginStatement(*this)) return;
  for (const auto& s : selectors_) {
    if (s->Matches(v)) {
      s->Execute();
      return;
    }
  }
  else_.Execute();
}

// ---------------------------------------------------------------------------

namespace {
bool IsTrue(TsqCustomExpression& e) {
  core::Variant c = e.Value();
  if (c.IsBoolean()) return c.RawBool();
  return !c.IsNull() && c.ToBool();
}
}  // namespace

TsqRepeatStmt::TsqRepeatStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> condition,
                             bool inverse)
    : TsqStatement(script), condition_(std::move(condition)), inverse_(inverse), body_(script) {}

TsqRepeatStmt::~TsqRepeatStmt() = default;

void TsqRepeatStmt::SetCondition(std::unique_ptr<TsqCustomExpression> c) {
  condition_ = std::move(c);
}

void TsqRepeatStmt::Execute() {
  if (!BeginStatement(*this)) return;
  TsqScript* s = Script();
  for (;;) {
    body_.Execute();
    if (AfterIteration(s)) break;
    if (IsTrue(*condition_) != inverse_) break;
  }
  s->SetBreakRequested(false);
}

TsqWhileStmt::TsqWhileStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> condition)
    : TsqStatement(script), condition_(std::move(condition)), body_(script) {}

TsqWhileStmt::~TsqWhileStmt() = default;

void TsqWhileStmt::Execute() {
  if (!BeginStatement(*this)) return;
  TsqScript* s = Script();
  while (IsTrue(*condition_)) {
    body_.Execute();
    if (AfterIteration(s)) break;
  }
  s->SetBreakRequested(false);
}

// ---------------------------------------------------------------------------

TsqForStmt::TsqForStmt(TsqScript* script, TsqCustomVariable* variable,
                       std::unique_ptr<TsqCustomExpression> start,
                       std::unique_ptr<TsqCustomExpression> end, bool down)
    : TsqStatement(script),
      variable_(variable),
      start_(std::move(start)),
      end_(std::move(end)),
      down_(down),
      body_(script) {}

TsqForStmt::~TsqForStmt() = default;

void TsqForStmt::Execute() {
  const int32_t from = start_->Value().ToInt32();
  const int32_t to = end_->Value().ToInt32();
  if (!BeginStatement(*this)) return;
  TsqScript* s = Script();
  if (down_ ? from >= to : to >= from) {
    // 64-bit count: the full 32-bit range has 2^32 iterations.
    const int64_t count = down_ ? int64_t{from} - to + 1 : int64_t{to} - from + 1;
    const int32_t step = down_ ? -1 : 1;
    int64_t value = from;
    for (int64_t i = 0; i < count; ++i, value += step) {
      variable_->SetValue(core::Variant(static_cast<int32_t>(value)));
      body_.Execute();
      if (AfterIteration(s)) break;
    }
  }
  s->SetBreakRequested(false);
}

TsqVbForStmt::TsqVbForStmt(TsqScript* script, TsqCustomVariable* variable,
                           std::unique_ptr<TsqCustomExpression> start,
                           std::unique_ptr<TsqCustomExpression> end,
                           std::unique_ptr<TsqCustomExpression> step)
    : TsqStatement(script),
      variable_(variable),
      start_(std::move(start)),
      end_(std::move(end)),
      step_(std::move(step)),
      body_(script) {}

TsqVbForStmt::~TsqVbForStmt() = default;

void TsqVbForStmt::Execute() {
  core::Variant current = start_->Value();
  const core::Variant last = end_->Value();
  const core::Variant step = step_ ? step_->Value() : core::Variant(int32_t{1});
  if (!BeginStatement(*this)) return;
  TsqScript* s = Script();
  const bool negative = core::VarCompare(step, core::Variant(int32_t{0})) < 0;
  while (negative ? core::VarCompare(current, last) >= 0 : core::VarCompare(current, last) <= 0) {
    variable_->SetValue(current);
    body_.Execute();
    if (AfterIteration(s)) break;
    current = core::VarAdd(current, step);
  }
  s->SetBreakRequested(false);
}

TsqCppForStmt::TsqCppForStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> condition)
    : TsqStatement(script),
      condition_(std::move(condition)),
      init_(script),
      step_(script),
      body_(script) {}

TsqCppForStmt::~TsqCppForStmt() = default;

void TsqCppForStmt::SetCondition(std::unique_ptr<TsqCustomExpression> condition) {
  condition_ = std::move(condition);
}

void TsqCppForStmt::Execute() {
  if (!BeginStatement(*this)) return;
  TsqScript* s = Script();
  init_.Execute();
  while (!s->Terminated() && (!condition_ || IsTrue(*condition_))) {
    body_.Execute();
    if (AfterIteration(s)) break;
    step_.Execute();
  }
  s->SetBreakRequested(false);
}

// ---------------------------------------------------------------------------

TsqTryStmt::TsqTryStmt(TsqScript* script, bool isExcept)
    : TsqStatement(script), isExcept_(isExcept), body_(script), handler_(script) {}

void TsqTryStmt::Execute() {
  if (!BeginStatement(*this)) return;
  TsqScript* s = Script();
  if (isExcept_) {
    try {
      body_.Execute();
    } catch (const core::Error& e) {
      s->SetVariable("ExceptionClassName", core::Variant(ErrorClassName(e)));
      s->SetVariable("ExceptionMessage", core::Variant(std::string(e.what())));
      handler_.Execute();
    }
    return;
  }
  // The finally part runs in full even when exit, break or continue left the
  // guarded part; the flags are restored afterwards.
  auto runFinally = [&] {
    const bool exitSaved = s->ExitRequested();
    const bool breakSaved = s->BreakRequested();
    const bool continueSaved = s->ContinueRequested();
    s->SetExitRequested(false);
    s->SetBreakRequested(false);
    s->SetContinueRequested(false);
    handler_.Execute();
    s->SetExitRequested(exitSaved || s->ExitRequested());
    s->SetBreakRequested(breakSaved || s->BreakRequested());
    s->SetContinueRequested(continueSaved || s->ContinueRequested());
  };
  try {
    body_.Execute();
  } catch (...) {
    // A failing finally part replaces the travelling error.
    runFinally();
    throw;
  }
  runFinally();
}

void TsqBreakStmt::Execute() {
  Script()->SetBreakRequested(true);
}
void TsqContinueStmt::Execute() {
  Script()->SetContinueRequested(true);
}
void TsqExitStmt::Execute() {
  Script()->SetExitRequested(true);
}

TsqWithStmt::TsqWithStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> designator,
                         TsqCustomVariable* hidden)
    : TsqStatement(script), designator_(std::move(designator)), hidden_(hidden) {}

TsqWithStmt::~TsqWithStmt() = default;

void TsqWithStmt::Execute() {
  hidden_->SetValue(designator_->Value());
}

}  // namespace sq
