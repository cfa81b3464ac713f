// TsqExpression: a tree of operand and operator nodes, built from the flat
// source-order sequence the compiler feeds it (placed by operator priority),
// type-checked once, and evaluated on demand with integer fast paths and
// Boolean short-circuit switched on by the type check.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/custom_expression.h"

namespace sq {

class TsqScript;
class TsqDesignator;

class TsqExpressionNode : public TsqCustomVariable {
 public:
  TsqExpressionNode() = default;
  virtual int Priority() const = 0;

  TsqExpressionNode* Left() const { return left_.get(); }
  TsqExpressionNode* Right() const { return right_.get(); }
  TsqExpressionNode* ParentNode() const { return parent_; }

 protected:
  friend class TsqExpression;
  std::unique_ptr<TsqExpressionNode> left_, right_;
  TsqExpressionNode* parent_ = nullptr;
};

// A literal fixed at compile time.
class TsqOperandNode : public TsqExpressionNode {
 public:
  explicit TsqOperandNode(const core::Variant& v);
  int Priority() const override { return 0; }
  core::Variant Value() override { return value_; }
};

// A designator (variable, property, call, element); owns it.
class TsqDesignatorNode final : public TsqOperandNode {
 public:
  explicit TsqDesignatorNode(std::unique_ptr<TsqDesignator> d);
  ~TsqDesignatorNode() override;
  core::Variant Value() override;
  void SetValue(const core::Variant& v) override;
  TsqDesignator* Designator() const { return designator_.get(); }

 private:
  std::unique_ptr<TsqDesignator> designator_;
};

// A set constructor [a, b..c]: expressions where an empty entry between two
// marks a range ([1, 3..5, 9] is 1, 3, (empty), 5, 9).
class TsqSetExpression : public TsqCustomExpression {
 public:
  TsqSetExpression() : TsqCustomExpression("", stVariant, "Variant") {}
  void AddElement(std::unique_ptr<TsqCustomExpression> e) { elements_.push_back(std::move(e)); }
  void AddRangeMark() { elements_.push_back(nullptr); }
  // Whether `v` equals an element or lies in a range.
  bool Contains(const core::Variant& v) const;
  // The set as a variant array (Null elements mark ranges).
  core::Variant Value() override;

 private:
  std::vector<std::unique_ptr<TsqCustomExpression>> elements_;
};

class TsqSetNode final : public TsqOperandNode {
 public:
  explicit TsqSetNode(std::unique_ptr<TsqSetExpression> s);
  core::Variant Value() override { return set_->Value(); }
  const TsqSetExpression& Set() const { return *set_; }

 private:
  std::unique_ptr<TsqSetExpression> set_;
};

enum class TsqOperator : uint8_t {
  None,
  Great,
  Less,
  LessEq,
  GreatEq,
  NonEq,
  Eq,
  Plus,
  StrCat,
  Minus,
  Or,
  Xor,
  Mul,
  DivFloat,
  DivInt,
  Mod,
  And,
  Shl,
  Shr,
  LeftBracket,
  RightBracket,
  Not,
  UnMinus,
  In,
  Is,
};

class TsqOperatorNode : public TsqExpressionNode {
 public:
  explicit TsqOperatorNode(TsqOperator op) : op_(op) {}
  TsqOperator Op() const { return op_; }
  int Priority() const override;
  bool BothInteger() const { return bothInt_; }
  bool BothBoolean() const { return bothBool_; }
  void SetFlags(bool bothInt, bool bothBool) {
    bothInt_ = bothInt;
    bothBool_ = bothBool;
  }

 protected:
  core::Variant LeftValue() const { return left_ ? left_->Value() : core::Variant::MakeNull(); }
  core::Variant RightValue() const { return right_ ? right_->Value() : core::Variant::MakeNull(); }

 private:
  TsqOperator op_;
  bool bothInt_ = false;
  bool bothBool_ = false;
};

// One class per operator; Value() is the operation.
#define SQ_OPERATOR_NODE(Class, Op)               \
  class Class final : public TsqOperatorNode {    \
   public:                                        \
    Class() : TsqOperatorNode(TsqOperator::Op) {} \
    core::Variant Value() override;               \
  };
SQ_OPERATOR_NODE(TNoneNode, None)
SQ_OPERATOR_NODE(TGreatNode, Great)
SQ_OPERATOR_NODE(TLessNode, Less)
SQ_OPERATOR_NODE(TLessEqNode, LessEq)
SQ_OPERATOR_NODE(TGreatEqNode, GreatEq)
SQ_OPERATOR_NODE(TNonEqNode, NonEq)
SQ_OPERATOR_NODE(TEqNode, Eq)
SQ_OPERATOR_NODE(TPlusNode, Plus)
SQ_OPERATOR_NODE(TStrCatNode, StrCat)
SQ_OPERATOR_NODE(TMinusNode, Minus)
SQ_OPERATOR_NODE(TOrNode, Or)
SQ_OPERATOR_NODE(TXorNode, Xor)
SQ_OPERATOR_NODE(TMulNode, Mul)
SQ_OPERATOR_NODE(TDivFloatNode, DivFloat)
SQ_OPERATOR_NODE(TDivIntNode, DivInt)
SQ_OPERATOR_NODE(TModNode, Mod)
SQ_OPERATOR_NODE(TAndNode, And)
SQ_OPERATOR_NODE(TShlNode, Shl)
SQ_OPERATOR_NODE(TShrNode, Shr)
SQ_OPERATOR_NODE(TLeftBracketNode, LeftBracket)
SQ_OPERATOR_NODE(TRightBracketNode, RightBracket)
SQ_OPERATOR_NODE(TNotNode, Not)
SQ_OPERATOR_NODE(TUnMinusNode, UnMinus)
SQ_OPERATOR_NODE(TInNode, In)
SQ_OPERATOR_NODE(TIsNode, Is)
#undef SQ_OPERATOR_NODE

class TsqExpression : public TsqCustomExpression {
 public:
  explicit TsqExpression(TsqScript* script);
  ~TsqExpression() override;

  // Building, in source order. `pos` is the line:column of the token.
  void AddOperand(const core::Variant& v, std::string_view pos = {});
  // A number token ("12", "$1F", "2.5") or a string token (wrapped in quotes).
  void AddNumber(std::string_view token, std::string_view pos = {});
  void AddString(std::string_view token, std::string_view pos = {});
  void AddDesignator(std::unique_ptr<TsqDesignator> d, std::string_view pos = {});
  void AddSet(std::unique_ptr<TsqSetExpression> s, std::string_view pos = {});
  // Places an operator by priority; an unknown text adds nothing (false).
  bool AddOperator(std::string_view text, std::string_view pos = {});
  // Ends building and type-checks the tree. Returns the position of the first
  // incompatible operator, or an empty text.
  std::string Finalize();

  core::Variant Value() override { return root_ ? root_->Value() : core::Variant::MakeNull(); }
  // Assignment through a root designator; anything else raises.
  void SetValue(const core::Variant& v) override;
  bool IsAssignable() const override;

  TsqExpressionNode* Root() const { return root_.get(); }
  TsqScript* Script() const { return script_; }

  // Literal conversions used for number and string tokens.
  static core::Variant NumberValue(std::string_view token);
  static core::Variant StringValue(std::string_view token);

 private:
  void Attach(std::unique_ptr<TsqExpressionNode> node);
  std::unique_ptr<TsqExpressionNode> TakeChild(TsqExpressionNode* parent, TsqExpressionNode* child);
  void PutChild(TsqExpressionNode* parent, std::unique_ptr<TsqExpressionNode> child, bool asLeft);
  TsqTypeKind Check(TsqExpressionNode* node, std::string& typeName, std::string& failPos);

  std::unique_ptr<TsqExpressionNode> root_;
  TsqExpressionNode* current_ = nullptr;
  TsqScript* script_;
  bool finalized_ = false;
};

// Operator node for an operator text ("div", "<>", "unminus"), or null.
std::unique_ptr<TsqOperatorNode> MakeOperatorNode(std::string_view text);

}  // namespace sq
