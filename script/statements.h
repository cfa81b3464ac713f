// The statement kinds of a compiled program: assignments, calls, branches,
// loops, try blocks, flow-control flags and with. Each statement runs against
// the script it belongs to; control flow travels as that script's flags,
// errors as exceptions.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/variant.h"
#include "script/statement.h"

namespace sq {

class TsqCustomExpression;
class TsqCustomVariable;
class TsqDesignator;
class TsqSetExpression;

// Common prologue: reports the line to the script and says whether the
// statement may run (false once the script is terminated).
bool BeginStatement(TsqStatement& s);

class TsqAssignmentStmt : public TsqStatement {
 public:
  TsqAssignmentStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> target,
                    std::unique_ptr<TsqCustomExpression> expr);
  ~TsqAssignmentStmt() override;
  void Execute() override;
  TsqCustomExpression* Target() const { return target_.get(); }
  TsqCustomExpression* Expression() const { return expr_.get(); }

 protected:
  // Reads the source value, straight from a variable or literal when possible.
  core::Variant SourceValue() const;
  void Store(const core::Variant& v);
  core::Variant TargetValue() const;

  std::unique_ptr<TsqCustomExpression> target_;
  std::unique_ptr<TsqCustomExpression> expr_;
  TsqCustomVariable* targetVar_ = nullptr;  // set when the target is a lone variable
  TsqCustomVariable* sourceItem_ = nullptr;  // set when the source is a lone variable or literal
};

// target := target op expression, by the variant operation.
class TsqCompoundAssignStmt : public TsqAssignmentStmt {
 public:
  enum Op { Plus, Minus, Mul, Div };
  TsqCompoundAssignStmt(TsqScript* script, Op op, std::unique_ptr<TsqCustomExpression> target,
                        std::unique_ptr<TsqCustomExpression> expr);
  void Execute() override;
  Op Operation() const { return op_; }

 private:
  Op op_;
};

class TsqAssignPlusStmt final : public TsqCompoundAssignStmt {
 public:
  TsqAssignPlusStmt(TsqScript* s, std::unique_ptr<TsqCustomExpression> t,
                    std::unique_ptr<TsqCustomExpression> e)
      : TsqCompoundAssignStmt(s, Plus, std::move(t), std::move(e)) {}
};
class TsqAssignMinusStmt final : public TsqCompoundAssignStmt {
 public:
  TsqAssignMinusStmt(TsqScript* s, std::unique_ptr<TsqCustomExpression> t,
                     std::unique_ptr<TsqCustomExpression> e)
      : TsqCompoundAssignStmt(s, Minus, std::move(t), std::move(e)) {}
};
class TsqAssignMulStmt final : public TsqCompoundAssignStmt {
 public:
  TsqAssignMulStmt(TsqScript* s, std::unique_ptr<TsqCustomExpression> t,
                   std::unique_ptr<TsqCustomExpression> e)
      : TsqCompoundAssignStmt(s, Mul, std::move(t), std::move(e)) {}
};
class TsqAssignDivStmt final : public TsqCompoundAssignStmt {
 public:
  TsqAssignDivStmt(TsqScript* s, std::unique_ptr<TsqCustomExpression> t,
                   std::unique_ptr<TsqCustomExpression> e)
      : TsqCompoundAssignStmt(s, Div, std::move(t), std::move(e)) {}
};

// Evaluates a designator for its effect; "+" and "-" add or subtract 1.
class TsqCallStmt final : public TsqStatement {
 public:
  TsqCallStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> designator,
              std::string modificator = {});
  ~TsqCallStmt() override;
  void Execute() override;

 private:
  std::unique_ptr<TsqCustomExpression> designator_;
  std::string modificator_;
};

class TsqIfStmt final : public TsqStatement {
 public:
  TsqIfStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> condition);
  ~TsqIfStmt() override;
  void Execute() override;
  TsqStatementList& ThenList() { return then_; }
  TsqStatementList& ElseList() { return else_; }

 private:
  std::unique_ptr<TsqCustomExpression> condition_;
  TsqStatementList then_, else_;
};

class TsqCaseSelector final : public TsqStatement {
 public:
  TsqCaseSelector(TsqScript* script, std::unique_ptr<TsqSetExpression> set);
  ~TsqCaseSelector() override;
  void Execute() override { body_.Execute(); }
  bool Matches(const core::Variant& v) const;
  TsqStatementList& Body() { return body_; }

 private:
  std::unique_ptr<TsqSetExpression> set_;
  TsqStatementList body_;
};

class TsqCaseStmt final : public TsqStatement {
 public:
  TsqCaseStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> selector);
  ~TsqCaseStmt() override;
  void Execute() override;
  TsqCaseSelector* AddSelector(std::unique_ptr<TsqCaseSelector> s);
  TsqStatementList& ElseList() { return else_; }

 private:
  std::unique_ptr<TsqCustomExpression> selector_;
  std::vector<std::unique_ptr<TsqCaseSelector>> selectors_;
  TsqStatementList else_;
};

class TsqRepeatStmt final : public TsqStatement {
 public:
  TsqRepeatStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> condition,
                bool inverse = false);
  ~TsqRepeatStmt() override;
  void Execute() override;
  TsqStatementList& Body() { return body_; }
  void SetCondition(std::unique_ptr<TsqCustomExpression> c);
  void SetInverse(bool v) { inverse_ = v; }

 private:
  std::unique_ptr<TsqCustomExpression> condition_;
  bool inverse_;
  TsqStatementList body_;
};

class TsqWhileStmt final : public TsqStatement {
 public:
  TsqWhileStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> condition);
  ~TsqWhileStmt() override;
  void Execute() override;
  TsqStatementList& Body() { return body_; }

 private:
  std::unique_ptr<TsqCustomExpression> condition_;
  TsqStatementList body_;
};

// for v := a to|downto b do: bounds fixed as 32-bit integers at the start.
class TsqForStmt final : public TsqStatement {
 public:
  TsqForStmt(TsqScript* script, TsqCustomVariable* variable,
             std::unique_ptr<TsqCustomExpression> start, std::unique_ptr<TsqCustomExpression> end,
             bool down);
  ~TsqForStmt() override;
  void Execute() override;
  TsqStatementList& Body() { return body_; }

 private:
  TsqCustomVariable* variable_;
  std::unique_ptr<TsqCustomExpression> start_, end_;
  bool down_;
  TsqStatementList body_;
};

// FOR v = a TO b [STEP c]: variant arithmetic and comparison.
class TsqVbForStmt final : public TsqStatement {
 public:
  TsqVbForStmt(TsqScript* script, TsqCustomVariable* variable,
               std::unique_ptr<TsqCustomExpression> start, std::unique_ptr<TsqCustomExpression> end,
               std::unique_ptr<TsqCustomExpression> step);
  ~TsqVbForStmt() override;
  void Execute() override;
  TsqStatementList& Body() { return body_; }

 private:
  TsqCustomVariable* variable_;
  std::unique_ptr<TsqCustomExpression> start_, end_, step_;
  TsqStatementList body_;
};

class TsqCppForStmt final : public TsqStatement {
 public:
  TsqCppForStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> condition);
  ~TsqCppForStmt() override;
  void Execute() override;
  void SetCondition(std::unique_ptr<TsqCustomExpression> condition);
  TsqStatementList& InitList() { return init_; }
  TsqStatementList& StepList() { return step_; }
  TsqStatementList& Body() { return body_; }

 private:
  std::unique_ptr<TsqCustomExpression> condition_;
  TsqStatementList init_, step_, body_;
};

class TsqTryStmt final : public TsqStatement {
 public:
  TsqTryStmt(TsqScript* script, bool isExcept);
  void Execute() override;
  TsqStatementList& Body() { return body_; }
  TsqStatementList& Handler() { return handler_; }
  bool IsExcept() const { return isExcept_; }
  void SetIsExcept(bool v) { isExcept_ = v; }

 private:
  bool isExcept_;
  TsqStatementList body_, handler_;
};

class TsqBreakStmt final : public TsqStatement {
 public:
  using TsqStatement::TsqStatement;
  void Execute() override;
};
class TsqContinueStmt final : public TsqStatement {
 public:
  using TsqStatement::TsqStatement;
  void Execute() override;
};
class TsqExitStmt final : public TsqStatement {
 public:
  using TsqStatement::TsqStatement;
  void Execute() override;
};

// Stores the object of a designator in a hidden variable once; the body's
// designators start from that variable.
class TsqWithStmt final : public TsqStatement {
 public:
  TsqWithStmt(TsqScript* script, std::unique_ptr<TsqCustomExpression> designator,
              TsqCustomVariable* hidden);
  ~TsqWithStmt() override;
  void Execute() override;

 private:
  std::unique_ptr<TsqCustomExpression> designator_;
  TsqCustomVariable* hidden_;
};

// Class name the except handler reports for an error.
std::string ErrorClassName(const std::exception& e);

}  // namespace sq
