// Expression trees: building by priority, the compile-time type check and
// evaluation of every operator.
#include "script/expression.h"

#include <array>
#include <utility>

#include "core/date_time.h"
#include "core/error.h"
#include "core/float_text.h"
#include "core/reflection.h"
#include "core/text_util.h"
#include "core/variant_ops.h"
#include "script/class_variable.h"
#include "script/compile_error.h"
#include "script/designator.h"
#include "script/messages.h"
#include "script/parser.h"
#include "script/script.h"

namespace sq {

namespace {

// Integer read of the fast path: no call when the value already is one.
inline int32_t AsInt32(const core::Variant& v) {
  return v.Type() == core::VarType::Integer ? static_cast<int32_t>(v.RawInt()) : v.ToInt32();
}

inline int32_t Wrap(int64_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}

TsqTypeKind KindOfValue(const core::Variant& v) {
  switch (v.Type()) {
    case core::VarType::Boolean:
      return stBool;
    case core::VarType::Single:
    case core::VarType::Double:
    case core::VarType::Currency:
    case core::VarType::Date:
      return stFloat;
    case core::VarType::String:
    case core::VarType::OleStr:
      return stString;
    case core::VarType::Null:
    case core::VarType::Empty:
      return stVariant;
    default:
      return stInt;
  }
}

struct OperatorText {
  const char* text;
  TsqOperator op;
};

constexpr OperatorText kOperators[] = {
    {"not", TsqOperator::Not},        {"unminus", TsqOperator::UnMinus},
    {"*", TsqOperator::Mul},          {"/", TsqOperator::DivFloat},
    {"div", TsqOperator::DivInt},     {"mod", TsqOperator::Mod},
    {"and", TsqOperator::And},        {"shl", TsqOperator::Shl},
    {"shr", TsqOperator::Shr},        {"+", TsqOperator::Plus},
    {"strcat", TsqOperator::StrCat},  {"-", TsqOperator::Minus},
    {"or", TsqOperator::Or},          {"xor", TsqOperator::Xor},
    {"=", TsqOperator::Eq},           {"<>", TsqOperator::NonEq},
    {"<", TsqOperator::Less},         {">", TsqOperator::Great},
    {"<=", TsqOperator::LessEq},      {">=", TsqOperator::GreatEq},
    {"in", TsqOperator::In},          {"is", TsqOperator::Is},
    {")", TsqOperator::RightBracket}, {"(", TsqOperator::LeftBracket},
    {" ", TsqOperator::None},
};

bool IsComparison(TsqOperator op) {
  switch (op) {
    case TsqOperator::Great:
    case TsqOperator::Less:
    case TsqOperator::LessEq:
    case TsqOperator::GreatEq:
    case TsqOperator::NonEq:
    case TsqOperator::Eq:
      return true;
    default:
      return false;
  }
}

// Operators a left operand of kind `l` admits.
bool Allowed(TsqTypeKind l, TsqOperator op) {
  switch (l) {
    case stBool:
      return op == TsqOperator::Eq || op == TsqOperator::NonEq || op == TsqOperator::And ||
             op == TsqOperator::Or || op == TsqOperator::Xor || op == TsqOperator::Not;
    case stChar:
    case stString:
      return IsComparison(op) || op == TsqOperator::Plus || op == TsqOperator::StrCat ||
             op == TsqOperator::In;
    case stClass:
    case stArray:
      return op == TsqOperator::Eq || op == TsqOperator::NonEq;
    default:
      return true;
  }
}

bool InArray(const core::Variant& v, const core::Variant& array) {
  if (!array.IsArray()) core::ThrowOperationError();
  const auto& items = array.RawArray().items;
  const size_t n = items.size();
  for (size_t i = 0; i < n;) {
    if (i + 2 < n && items[i + 1].IsNull()) {
      if (core::VarCompare(v, items[i]) >= 0 && core::VarCompare(v, items[i + 2]) <= 0) return true;
      i += 3;
      continue;
    }
    if (core::VarCompare(v, items[i]) == 0) return true;
    ++i;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// Nodes.

TsqOperandNode::TsqOperandNode(const core::Variant& v) {
  value_ = v;
  SetTyp(KindOfValue(v));
  SetTypeName(TypeKindName(Typ(), ""));
}

TsqDesignatorNode::TsqDesignatorNode(std::unique_ptr<TsqDesignator> d)
    : TsqOperandNode(core::Variant::MakeNull()), designator_(std::move(d)) {
  SetTyp(designator_->Typ());
  SetTypeName(designator_->TypeName());
}

TsqDesignatorNode::~TsqDesignatorNode() = default;

core::Variant TsqDesignatorNode::Value() {
  return designator_->Value();
}
void TsqDesignatorNode::SetValue(const core::Variant& v) {
  designator_->SetValue(v);
}

TsqSetNode::TsqSetNode(std::unique_ptr<TsqSetExpression> s)
    : TsqOperandNode(core::Variant::MakeNull()), set_(std::move(s)) {
  SetTyp(stVariant);
  SetTypeName("Variant");
}

bool TsqSetExpression::Contains(const core::Variant& v) const {
  const size_t n = elements_.size();
  for (size_t i = 0; i < n;) {
    if (i + 2 < n && !elements_[i + 1] && elements_[i] && elements_[i + 2]) {
      if (core::VarCompare(v, elements_[i]->Value()) >= 0 &&
          core::VarCompare(v, elements_[i + 2]->Value()) <= 0)
        return true;
      i += 3;
      continue;
    }
    if (elements_[i] && core::VarCompare(v, elements_[i]->Value()) == 0) return true;
    ++i;
  }
  return false;
}

core::Variant TsqSetExpression::Value() {
  const int32_t n = static_cast<int32_t>(elements_.size());
  core::Variant array = core::Variant::MakeArray({core::ArrayBound{0, n - 1}});
  if (n == 0) return array;
  auto& items = array.MutableArray().items;
  for (int32_t i = 0; i < n; ++i) {
    const auto& e = elements_[static_cast<size_t>(i)];
    items[static_cast<size_t>(i)] = e ? e->Value() : core::Variant::MakeNull();
  }
  return array;
}

int TsqOperatorNode::Priority() const {
  switch (op_) {
    case TsqOperator::Not:
    case TsqOperator::UnMinus:
      return 1;
    case TsqOperator::Mul:
    case TsqOperator::DivFloat:
    case TsqOperator::DivInt:
    case TsqOperator::Mod:
    case TsqOperator::And:
    case TsqOperator::Shl:
    case TsqOperator::Shr:
      return 2;
    case TsqOperator::Plus:
    case TsqOperator::StrCat:
    case TsqOperator::Minus:
    case TsqOperator::Or:
    case TsqOperator::Xor:
      return 3;
    case TsqOperator::Eq:
    case TsqOperator::NonEq:
    case TsqOperator::Less:
    case TsqOperator::Great:
    case TsqOperator::LessEq:
    case TsqOperator::GreatEq:
    case TsqOperator::In:
    case TsqOperator::Is:
      return 4;
    case TsqOperator::RightBracket:
      return 5;
    case TsqOperator::LeftBracket:
      return 6;
    case TsqOperator::None:
      return 7;
  }
  return 7;
}

core::Variant TNoneNode::Value() {
  return LeftValue();
}
core::Variant TLeftBracketNode::Value() {
  return LeftValue();
}
core::Variant TRightBracketNode::Value() {
  return LeftValue();
}

#define SQ_COMPARE_NODE(Class, OP)                                                                 \
  core::Variant Class::Value() {                                                                   \
    core::Variant l = LeftValue(), r = RightValue();                                               \
    if (BothInteger() && l.Type() == core::VarType::Integer && r.Type() == core::VarType::Integer) \
      return core::Variant(l.RawInt() OP r.RawInt());                                              \
    return core::Variant(core::VarCompare(l, r) OP 0);                                             \
  }
SQ_COMPARE_NODE(TGreatNode, >)
SQ_COMPARE_NODE(TLessNode, <)
SQ_COMPARE_NODE(TLessEqNode, <=)
SQ_COMPARE_NODE(TGreatEqNode, >=)
SQ_COMPARE_NODE(TNonEqNode, !=)
SQ_COMPARE_NODE(TEqNode, ==)
#undef SQ_COMPARE_NODE

core::Variant TPlusNode::Value() {
  if (BothInteger()) {
    int32_t a = AsInt32(left_->Value());
    return core::Variant(Wrap(static_cast<int64_t>(a) + AsInt32(right_->Value())));
  }
  return core::VarAdd(LeftValue(), RightValue());
}

core::Variant TMinusNode::Value() {
  if (BothInteger()) {
    int32_t a = AsInt32(left_->Value());
    return core::Variant(Wrap(static_cast<int64_t>(a) - AsInt32(right_->Value())));
  }
  return core::VarSub(LeftValue(), RightValue());
}

core::Variant TMulNode::Value() {
  if (BothInteger()) {
    int32_t a = AsInt32(left_->Value());
    return core::Variant(Wrap(static_cast<int64_t>(a) * AsInt32(right_->Value())));
  }
  return core::VarMul(LeftValue(), RightValue());
}

core::Variant TDivIntNode::Value() {
  if (BothInteger()) {
    int32_t a = AsInt32(left_->Value());
    return core::Variant(core::IntDivChecked(a, AsInt32(right_->Value())));
  }
  return core::VarOperation(LeftValue(), RightValue(), core::VarOp::IntDiv);
}

core::Variant TModNode::Value() {
  if (BothInteger()) {
    int32_t a = AsInt32(left_->Value());
    return core::Variant(core::IntModChecked(a, AsInt32(right_->Value())));
  }
  return core::VarOperation(LeftValue(), RightValue(), core::VarOp::Mod);
}

core::Variant TStrCatNode::Value() {
  core::Variant l = LeftValue();
  if (l.IsString()) return core::Variant(l.RawString() + RightValue().ToString());
  return core::VarAdd(l, RightValue());
}

core::Variant TDivFloatNode::Value() {
  return core::VarDiv(LeftValue(), RightValue());
}

core::Variant TAndNode::Value() {
  if (BothBoolean()) {
    core::Variant l = LeftValue();
    if (!l.ToBool()) return l;
    return RightValue();
  }
  return core::VarOperation(LeftValue(), RightValue(), core::VarOp::And);
}

core::Variant TOrNode::Value() {
  if (BothBoolean()) {
    core::Variant l = LeftValue();
    if (l.ToBool()) return l;
    return RightValue();
  }
  return core::VarOperation(LeftValue(), RightValue(), core::VarOp::Or);
}

core::Variant TXorNode::Value() {
  return core::VarOperation(LeftValue(), RightValue(), core::VarOp::Xor);
}
core::Variant TShlNode::Value() {
  return core::VarOperation(LeftValue(), RightValue(), core::VarOp::Shl);
}
core::Variant TShrNode::Value() {
  return core::VarOperation(LeftValue(), RightValue(), core::VarOp::Shr);
}
core::Variant TNotNode::Value() {
  return core::VarNot(LeftValue());
}
core::Variant TUnMinusNode::Value() {
  return core::VarNeg(LeftValue());
}

core::Variant TInNode::Value() {
  core::Variant l = LeftValue();
  if (auto* set = dynamic_cast<TsqSetNode*>(right_.get()))
    return core::Variant(set->Set().Contains(l));
  return core::Variant(InArray(l, RightValue()));
}

core::Variant TIsNode::Value() {
  core::TObject* obj = ObjectOf(LeftValue());
  auto* node = dynamic_cast<TsqDesignatorNode*>(right_.get());
  if (!obj || !node || node->Designator()->Items().empty()) return core::Variant(false);
  auto* cls = dynamic_cast<TsqClassVariable*>(node->Designator()->Items().back().Ref);
  if (!cls) return core::Variant(false);
  const core::ClassInfo* info = obj->ClassType();
  if (info && cls->ClassRef()) return core::Variant(info->InheritsFrom(cls->ClassRef()));
  TsqScript* script = node->Designator()->Script();
  TsqClassVariable* objClass = info && script ? script->FindClass(info->Name()) : nullptr;
  return core::Variant(objClass != nullptr && objClass->DescendsFrom(cls));
}

std::unique_ptr<TsqOperatorNode> MakeOperatorNode(std::string_view text) {
  for (const OperatorText& o : kOperators) {
    if (!core::EqualsNoCase(text, o.text)) continue;
    switch (o.op) {
      case TsqOperator::None:
        return std::make_unique<TNoneNode>();
      case TsqOperator::Great:
        return std::make_unique<TGreatNode>();
      case TsqOperator::Less:
        return std::make_unique<TLessNode>();
      case TsqOperator::LessEq:
        return std::make_unique<TLessEqNode>();
      case TsqOperator::GreatEq:
        return std::make_unique<TGreatEqNode>();
      case TsqOperator::NonEq:
        return std::make_unique<TNonEqNode>();
      case TsqOperator::Eq:
        return std::make_unique<TEqNode>();
      case TsqOperator::Plus:
        return std::make_unique<TPlusNode>();
      case TsqOperator::StrCat:
        return std::make_unique<TStrCatNode>();
      case TsqOperator::Minus:
        return std::make_unique<TMinusNode>();
      case TsqOperator::Or:
        return std::make_unique<TOrNode>();
      case TsqOperator::Xor:
        return std::make_unique<TXorNode>();
      case TsqOperator::Mul:
        return std::make_unique<TMulNode>();
      case TsqOperator::DivFloat:
        return std::make_unique<TDivFloatNode>();
      case TsqOperator::DivInt:
        return std::make_unique<TDivIntNode>();
      case TsqOperator::Mod:
        return std::make_unique<TModNode>();
      case TsqOperator::And:
        return std::make_unique<TAndNode>();
      case TsqOperator::Shl:
        return std::make_unique<TShlNode>();
      case TsqOperator::Shr:
        return std::make_unique<TShrNode>();
      case TsqOperator::LeftBracket:
        return std::make_unique<TLeftBracketNode>();
      case TsqOperator::RightBracket:
        return std::make_unique<TRightBracketNode>();
      case TsqOperator::Not:
        return std::make_unique<TNotNode>();
      case TsqOperator::UnMinus:
        return std::make_unique<TUnMinusNode>();
      case TsqOperator::In:
        return std::make_unique<TInNode>();
      case TsqOperator::Is:
        return std::make_unique<TIsNode>();
    }
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// The expression.

TsqExpression::TsqExpression(TsqScript* script)
    : TsqCustomExpression("", stVariant, "Variant"), script_(script) {
  root_ = std::make_unique<TNoneNode>();
  current_ = root_.get();
}

TsqExpression::~TsqExpression() = default;

core::Variant TsqExpression::NumberValue(std::string_view token) {
  int64_t i;
  if (ParseIntegerToken(token, i)) {
    if (i >= INT32_MIN && i <= INT32_MAX) return core::Variant(static_cast<int32_t>(i));
    // Hexadecimal literals are bit patterns: keep the low 32 bits. A decimal
    // literal too wide for 32 bits becomes a real instead of wrapping.
    if (!token.empty() && token[0] == '$') return core::Variant(Wrap(i));
    return core::Variant(static_cast<double>(i));
  }
  std::string text(token);
  size_t dot = text.find('.');
  if (dot != std::string::npos) text[dot] = core::FormatSettings().DecimalSeparator;
  double d;
  if (!core::TextToFloat(text, d)) core::ThrowConversionError();
  return core::Variant(d);
}

core::Variant TsqExpression::StringValue(std::string_view token) {
  if (token.size() < 2) return core::Variant("");
  return core::Variant(token.substr(1, token.size() - 2));
}

void TsqExpression::PutChild(TsqExpressionNode* parent, std::unique_ptr<TsqExpressionNode> child,
                             bool asLeft) {
  if (child) child->parent_ = parent;
  (asLeft ? parent->left_ : parent->right_) = std::move(child);
}

std::unique_ptr<TsqExpressionNode> TsqExpression::TakeChild(TsqExpressionNode* parent,
                                                            TsqExpressionNode* child) {
  std::unique_ptr<TsqExpressionNode>& slot =
      parent->left_.get() == child ? parent->left_ : parent->right_;
  std::unique_ptr<TsqExpressionNode> taken = std::move(slot);
  if (taken) taken->parent_ = nullptr;
  return taken;
}

void TsqExpression::Attach(std::unique_ptr<TsqExpressionNode> node) {
  TsqExpressionNode* raw = node.get();
  if (!current_->left_)
    PutChild(current_, std::move(node), true);
  else if (!current_->right_)
    PutChild(current_, std::move(node), false);
  else
    return;  // two operands without an operator: the grammar never sends this
  current_ = raw;
}

void TsqExpression::AddOperand(const core::Variant& v, std::string_view pos) {
  auto node = std::make_unique<TsqOperandNode>(v);
  node->SetSourcePos(pos);
  Attach(std::move(node));
}

void TsqExpression::AddNumber(std::string_view token, std::string_view pos) {
  AddOperand(NumberValue(token), pos);
}

void TsqExpression::AddString(std::string_view token, std::string_view pos) {
  AddOperand(StringValue(token), pos);
}

void TsqExpression::AddDesignator(std::unique_ptr<TsqDesignator> d, std::string_view pos) {
  auto node = std::make_unique<TsqDesignatorNode>(std::move(d));
  node->SetSourcePos(pos);
  Attach(std::move(node));
}

void TsqExpression::AddSet(std::unique_ptr<TsqSetExpression> s, std::string_view pos) {
  auto node = std::make_unique<TsqSetNode>(std::move(s));
  node->SetSourcePos(pos);
  Attach(std::move(node));
}

bool TsqExpression::AddOperator(std::string_view text, std::string_view pos) {
  std::unique_ptr<TsqOperatorNode> node = MakeOperatorNode(text);
  if (!node || finalized_) return false;
  node->SetSourcePos(pos);
  const TsqOperator op = node->Op();
  if (op == TsqOperator::LeftBracket || op == TsqOperator::Not || op == TsqOperator::UnMinus) {
    Attach(std::move(node));
    return true;
  }
  if (op == TsqOperator::RightBracket) {
    TsqExpressionNode* n = current_;
    while (n && n->Priority() <= 5) n = n->parent_;
    auto* bracket = dynamic_cast<TLeftBracketNode*>(n);
    if (!bracket || !bracket->parent_) return true;  // unmatched: the grammar reports it
    TsqExpressionNode* parent = bracket->parent_;
    const bool wasLeft = parent->left_.get() == bracket;
    std::unique_ptr<TsqExpressionNode> inner = TakeChild(bracket, bracket->left_.get());
    TsqExpressionNode* innerRaw = inner.get();
    std::unique_ptr<TsqExpressionNode> dead = TakeChild(parent, bracket);
    PutChild(parent, std::move(inner), wasLeft);
    current_ = innerRaw ? innerRaw : parent;
    return true;
  }
  if (dynamic_cast<TLeftBracketNode*>(current_)) {
    Attach(std::move(node));
    return true;
  }
  const int priority = node->Priority();
  TsqExpressionNode* n = current_;
  while (n->parent_ && priority >= n->parent_->Priority()) n = n->parent_;
  TsqExpressionNode* parent = n->parent_;
  if (!parent) return false;  // never: the root placeholder binds loosest
  const bool wasLeft = parent->left_.get() == n;
  std::unique_ptr<TsqExpressionNode> operand = TakeChild(parent, n);
  TsqOperatorNode* raw = node.get();
  PutChild(parent, std::move(node), wasLeft);
  PutChild(raw, std::move(operand), true);
  current_ = raw;
  return true;
}

TsqTypeKind TsqExpression::Check(TsqExpressionNode* node, std::string& typeName,
                                 std::string& failPos) {
  if (!node) {
    typeName = "Variant";
    return stVariant;
  }
  auto* op = dynamic_cast<TsqOperatorNode*>(node);
  if (!op) {
    typeName = node->TypeName();
    return node->Typ();
  }
  std::string ln, rn;
  TsqTypeKind l = Check(node->Left(), ln, failPos);
  TsqTypeKind r = Check(node->Right(), rn, failPos);
  const TsqOperator code = op->Op();
  if (code == TsqOperator::None || code == TsqOperator::LeftBracket ||
      code == TsqOperator::RightBracket) {
    typeName = ln;
    op->SetTyp(l);
    op->SetTypeName(ln);
    return l;
  }
  op->SetFlags(l == stInt && r == stInt, l == stBool && r == stBool);
  const bool skip = code == TsqOperator::Is && l == stClass && r == stClass;
  if (!skip && (!TypesCompatible(l, ln, r, rn, script_, false) || !Allowed(l, code))) {
    if (failPos.empty()) failPos = op->SourcePos().empty() ? std::string("0:0") : op->SourcePos();
  }
  TsqTypeKind result = l;
  typeName = ln;
  if (IsComparison(code) || code == TsqOperator::In || code == TsqOperator::Is) {
    result = stBool;
  } else if ((l == stInt && r == stFloat) || (l == stFloat && r == stInt) ||
             (code == TsqOperator::DivFloat && l == stInt && r == stInt)) {
    result = stFloat;
  }
  if (result != l) typeName = TypeKindName(result, "");
  op->SetTyp(result);
  op->SetTypeName(typeName);
  return result;
}

std::string TsqExpression::Finalize() {
  if (finalized_) return std::string();
  finalized_ = true;
  std::unique_ptr<TsqExpressionNode> placeholder = std::move(root_);
  root_ = TakeChild(placeholder.get(), placeholder->Left());
  current_ = root_.get();
  std::string typeName, failPos;
  TsqTypeKind kind = Check(root_.get(), typeName, failPos);
  SetTyp(kind);
  SetTypeName(typeName);
  return failPos;
}

void TsqExpression::SetValue(const core::Variant& v) {
  if (auto* d = dynamic_cast<TsqDesignatorNode*>(root_.get())) {
    d->SetValue(v);
    return;
  }
  throw core::Error(Messages().SLeftCantAssigned);
}

bool TsqExpression::IsAssignable() const {
  auto* d = dynamic_cast<TsqDesignatorNode*>(root_.get());
  return d && !d->Designator()->IsReadOnly();
}

}  // namespace sq
