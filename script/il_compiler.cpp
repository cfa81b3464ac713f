// Stage two of the compiler: declarations, expressions and statements from
// the intermediate program.
#include "script/il_compiler.h"

#include <algorithm>
#include <unordered_map>

#include "core/error.h"
#include "core/text_util.h"
#include "script/class_variable.h"
#include "script/compile_error.h"
#include "script/designator.h"
#include "script/expression.h"
#include "script/helpers.h"
#include "script/il_parser.h"
#include "script/messages.h"
#include "script/proc_variable.h"
#include "script/script.h"
#include "script/statements.h"
#include "script/variables.h"
#include "script/xml_document.h"

namespace sq {

namespace {

bool Is(const TsqILNode& n, const char* name) {
  return n.name == name;
}

const TsqILNode* Child(const TsqILNode& n, const char* name) {
  for (const auto& c : n.children)
    if (c->name == name) return c.get();
  return nullptr;
}

[[noreturn]] void Fail(const std::string& msg, const std::string& pos) {
  throw TsqCompileError(msg, pos);
}

// Evaluates one operand of an expression whose operator node was dropped
// (x := x + e runs as x += e); the whole tree stays owned here.
class TsqSubExpression final : public TsqCustomExpression {
 public:
  TsqSubExpression(std::unique_ptr<TsqExpression> whole, TsqExpressionNode* part)
      : TsqCustomExpression("", part->Typ(), part->TypeName()),
        whole_(std::move(whole)),
        part_(part) {}
  core::Variant Value() override { return part_->Value(); }

 private:
  std::unique_ptr<TsqExpression> whole_;
  TsqExpressionNode* part_;
};

TsqCustomVariable* LoneVariableOf(TsqExpressionNode* node) {
  auto* d = dynamic_cast<TsqDesignatorNode*>(node);
  if (!d) return nullptr;
  auto* v = dynamic_cast<TsqVariableDesignator*>(d->Designator());
  return v ? v->Variable() : nullptr;
}

core::Variant InitialValue(TsqTypeKind kind) {
  switch (kind) {
    case stBool: return core::Variant(false);
    case stChar:
    case stString: return core::Variant(std::string());
    case stInt:
    case stClass: return core::Variant(int32_t{0});
    case stFloat: return core::Variant(0.0);
    default: return core::Variant::MakeNull();
  }
}

bool DeclareVarsOf(const TsqILParser& p);

constexpr size_t kMaxExpressionItems = 4000;
const char kTooComplex[] = "Expression too complex";

// Operands and operators of an expression, brackets included.
size_t CountItems(const TsqILNode& expr) {
  size_t n = 0;
  for (const auto& c : expr.children) n += c->name == "expr" ? CountItems(*c) : 1;
  return n;
}

}  // namespace

TsqILCompiler::TsqILCompiler(TsqILParser& parser) : parser_(parser), main_(parser.script_) {}

namespace {
std::unordered_map<const TsqILNode*, TsqProcVariable*>& Declared() {
  thread_local std::unordered_map<const TsqILNode*, TsqProcVariable*> declared;
  return declared;
}
}  // namespace

void TsqILCompiler::Compile() {
  Declared().clear();
  try {
    CompileBlock(*parser_.program_, main_, main_.Statement());
  } catch (const TsqCompileError& e) {
    main_.SetError(e.what(), e.Position().empty() ? pos_ : e.Position(), unit_);
  } catch (const core::Error& e) {
    main_.SetError(e.what(), pos_, unit_);
  }
  Declared().clear();
}

void TsqILCompiler::Position(const TsqILNode& n) {
  if (!n.pos.empty()) pos_ = n.pos;
}

std::string TsqILCompiler::ResolveType(const std::string& name) const {
  const TsqILNode* program = parser_.program_.get();
  if (!program->children.empty() && Is(*program->children.back(), "types")) {
    for (const auto& t : program->children.back()->children)
      if (core::EqualsNoCase(t->name, name)) return t->text;
  }
  return name;
}

void TsqILCompiler::DeclareRoutines(const TsqILNode& block, TsqScript& script) {
  for (const auto& c : block.children) {
    if (Is(*c, "procedure") || Is(*c, "function"))
      DeclareRoutine(*c, script);
    else if (Is(*c, "compoundstmt"))
      DeclareRoutines(*c, script);
  }
}

void TsqILCompiler::DeclareRoutine(const TsqILNode& n, TsqScript& script) {
  Position(n);
  const TsqILNode* nameNode = Child(n, "name");
  if (!nameNode) return;
  const std::string& name = nameNode->text;
  if (TsqCustomVariable* old = script.FindLocal(name); old && old->AddedBy() != RuntimeLibraryOwner())
    Fail(NamedMessage(Messages().SIdRedeclared, name), nameNode->pos);
  bool isFunction = Is(n, "function");
  std::string type;
  if (isFunction) {
    const TsqILNode* t = Child(n, "type");
    type = t ? ResolveType(t->text) : std::string("Variant");
    // void may be aliased to a type; it still makes a procedure.
    if (core::EqualsNoCase(type, "void") || (t && core::EqualsNoCase(t->text, "void"))) {
      isFunction = false;
      type.clear();
    }
  }
  TsqTypeKind kind = isFunction ? KindOfTypeName(&script, type) : stVariant;
  auto proc = std::make_unique<TsqProcVariable>(name, &script, kind, type, isFunction);
  proc->SetSourcePos(n.pos);
  proc->SetSourceUnit(unit_);
  TsqProcVariable* raw = proc.get();
  if (const TsqILNode* params = Child(n, "parameters")) {
    bool nextIsVar = false;
    TsqStatementList unused(&raw->LocalScript());
    for (const auto& c : params->children) {
      if (Is(*c, "varparams")) {
        nextIsVar = true;
      } else if (Is(*c, "var")) {
        CompileVar(*c, raw->LocalScript(), unused, raw, nextIsVar);
        nextIsVar = false;
      }
    }
  }
  Declared()[&n] = raw;
  script.Add(name, std::move(proc));
}

void TsqILCompiler::CompileBlock(const TsqILNode& block, TsqScript& script,
                                 TsqStatementList& list) {
  DeclareRoutines(block, script);
  for (const auto& c : block.children) CompileElement(*c, script, list);
}

void TsqILCompiler::CompileStatements(const TsqILNode& n, size_t from, TsqScript& script,
                                      TsqStatementList& list) {
  for (size_t i = from; i < n.children.size(); ++i) CompileElement(*n.children[i], script, list);
}

namespace {
template <class T, class... Args>
T* AddStatement(TsqStatementList& list, TsqScript& script, const TsqILNode& n,
                const std::string& unit, Args&&... args) {
  auto s = std::make_unique<T>(&script, std::forward<Args>(args)...);
  s->SetSourcePos(n.pos);
  s->SetSourceUnit(unit);
  script.AddCodeLine(unit, n.pos);
  T* raw = s.get();
  list.Add(std::move(s));
  return raw;
}

bool IsStatementNode(const TsqILNode& n) {
  static const char* const names[] = {
      "compoundstmt", "assignstmt", "callstmt", "ifstmt", "casestmt", "forstmt", "vbforstmt",
      "cppforstmt", "whilestmt", "repeatstmt", "trystmt", "break", "continue", "exit",
      "return", "with", "delete", "var", "const"};
  for (const char* s : names)
    if (n.name == s) return true;
  return false;
}
}  // namespace

void TsqILCompiler::CompileElement(const TsqILNode& n, TsqScript& script, TsqStatementList& list) {
  Position(n);
  const std::string& k = n.name;
  if (k == "var") {
    CompileVar(n, script, list, nullptr, false);
  } else if (k == "const") {
    CompileConst(n, script);
  } else if (k == "procedure" || k == "function") {
    TsqProcVariable* proc = Declared()[&n];
    if (!proc) return;
    auto savedWith = std::move(withObjects_);
    auto savedNames = std::move(withNames_);
    withObjects_.clear();
    withNames_.clear();
    CompileBlock(n, proc->LocalScript(), proc->LocalScript().Statement());
    withObjects_ = std::move(savedWith);
    withNames_ = std::move(savedNames);
  } else if (k == "uses") {
    CompileUses(n, script, list);
  } else if (k == "compoundstmt") {
    CompileStatements(n, 0, script, list);
  } else if (k == "assignstmt") {
    CompileAssign(n, script, list);
  } else if (k == "callstmt" || k == "delete") {
    const TsqILNode* d = Child(n, "dsgn");
    if (!d) return;
    auto target = Designator(
        *d, script, k == "delete" ? TsqDesignatorMode::Destructor : TsqDesignatorMode::Normal);
    std::string mod;
    if (const TsqILNode* m = Child(n, "modificator")) mod = m->text;
    if (!mod.empty() && target->IsReadOnly()) Fail(Messages().SLeftCantAssigned, d->pos);
    AddStatement<TsqCallStmt>(list, script, n, unit_, std::move(target), mod);
  } else if (k == "ifstmt") {
    const TsqILNode* c = Child(n, "expr");
    if (!c) return;
    auto* s = AddStatement<TsqIfStmt>(list, script, n, unit_, Expression(*c, script));
    if (const TsqILNode* t = Child(n, "thenstmt")) CompileStatements(*t, 0, script, s->ThenList());
    if (const TsqILNode* e = Child(n, "elsestmt")) CompileStatements(*e, 0, script, s->ElseList());
  } else if (k == "casestmt") {
    const TsqILNode* c = Child(n, "expr");
    if (!c) return;
    auto* s = AddStatement<TsqCaseStmt>(list, script, n, unit_, Expression(*c, script));
    for (const auto& child : n.children) {
      if (child.get() == c) continue;
      if (Is(*child, "caseselector")) {
        const TsqILNode* set = Child(*child, "set");
        if (!set) continue;
        auto sel = std::make_unique<TsqCaseSelector>(&script, Set(*set, script));
        sel->SetSourcePos(child->pos);
        sel->SetSourceUnit(unit_);
        for (const auto& b : child->children)
          if (b.get() != set) CompileElement(*b, script, sel->Body());
        s->AddSelector(std::move(sel));
      } else if (IsStatementNode(*child)) {
        CompileElement(*child, script, s->ElseList());
      }
    }
  } else if (k == "forstmt" || k == "vbforstmt") {
    CompileFor(n, script, list);
  } else if (k == "cppforstmt") {
    CompileCppFor(n, script, list);
  } else if (k == "whilestmt") {
    const TsqILNode* c = Child(n, "expr");
    if (!c) return;
    auto* s = AddStatement<TsqWhileStmt>(list, script, n, unit_, Expression(*c, script));
    for (const auto& b : n.children)
      if (b.get() != c) CompileElement(*b, script, s->Body());
  } else if (k == "repeatstmt") {
    const TsqILNode* cond = nullptr;
    bool inverse = false;
    for (const auto& b : n.children) {
      if (Is(*b, "expr")) cond = b.get();
      if (Is(*b, "inverse")) inverse = true;
    }
    if (!cond) return;
    auto* s = AddStatement<TsqRepeatStmt>(list, script, n, unit_, Expression(*cond, script),
                                          inverse);
    for (const auto& b : n.children)
      if (b.get() != cond) CompileElement(*b, script, s->Body());
  } else if (k == "trystmt") {
    const TsqILNode* fin = Child(n, "finallystmt");
    const TsqILNode* exc = Child(n, "exceptstmt");
    auto* s = AddStatement<TsqTryStmt>(list, script, n, unit_, exc != nullptr);
    for (const auto& b : n.children) {
      if (b.get() == fin || b.get() == exc)
        CompileStatements(*b, 0, script, s->Handler());
      else
        CompileElement(*b, script, s->Body());
    }
  } else if (k == "break") {
    AddStatement<TsqBreakStmt>(list, script, n, unit_);
  } else if (k == "continue") {
    AddStatement<TsqContinueStmt>(list, script, n, unit_);
  } else if (k == "exit") {
    AddStatement<TsqExitStmt>(list, script, n, unit_);
  } else if (k == "return") {
    if (const TsqILNode* e = Child(n, "expr")) {
      TsqCustomVariable* result = script.Find("Result");
      if (!result) Fail(NamedMessage(Messages().SIdUndeclared, "Result"), n.pos);
      auto target = std::make_unique<TsqVariableDesignator>(&script, result);
      AddStatement<TsqAssignmentStmt>(list, script, n, unit_, std::move(target),
                                      Expression(*e, script));
    }
    AddStatement<TsqExitStmt>(list, script, n, unit_);
  } else if (k == "with") {
    CompileWith(n, script, list);
  }
  // Everything else (empty, name, parameters, type, types, ...) carries no code.
}

void TsqILCompiler::CompileUses(const TsqILNode& n, TsqScript& script, TsqStatementList& list) {
  if (n.unit.empty()) {
    for (const auto& c : n.children)
      if (Is(*c, "uses")) CompileUses(*c, script, list);
    return;
  }
  const std::string saved = unit_;
  unit_ = n.unit;
  std::unique_ptr<TsqILNode> replacement;
  if (main_.OnGetILUnit) {
    std::string text;
    main_.OnGetILUnit(main_, n.unit, text);
    if (!text.empty()) {
      TsqXMLDocument doc;
      doc.LoadFromString(text);
      replacement = TsqILParser::FromXML(doc.Root());
    }
  }
  CompileBlock(replacement ? *replacement : n, script, list);
  unit_ = saved;
}

void TsqILCompiler::CompileVar(const TsqILNode& n, TsqScript& script, TsqStatementList& list,
                               TsqProcVariable* params, bool varParams) {
  const TsqMessages& m = Messages();
  const TsqILNode* typeNode = Child(n, "type");
  std::string type = typeNode ? ResolveType(typeNode->text) : std::string("Variant");
  TsqTypeKind kind;
  if (TsqCustomVariable* t = script.Find(type); t && dynamic_cast<TsqTypeVariable*>(t)) {
    kind = t->Typ();
    type = t->Name();
  } else if (script.FindClass(type)) {
    kind = stClass;
  } else {
    Fail(NamedMessage(m.SUnknownType, type), typeNode ? typeNode->pos : n.pos);
  }
  if (Child(n, "varparam")) varParams = true;
  // With the type written first (int a[2] = x, b), each name takes the array
  // and init that follow it; otherwise they apply to every name of the group.
  const bool typeFirst = !n.children.empty() && Is(*n.children.front(), "type");
  for (size_t i = 0; i < n.children.size(); ++i) {
    const auto& c = n.children[i];
    if (!Is(*c, "ident")) continue;
    const TsqILNode* arrayNode = typeFirst ? nullptr : Child(n, "array");
    const TsqILNode* init = typeFirst ? nullptr : Child(n, "init");
    for (size_t j = i + 1; typeFirst && j < n.children.size(); ++j) {
      const TsqILNode* f = n.children[j].get();
      if (Is(*f, "ident")) break;
      if (Is(*f, "array")) arrayNode = f;
      if (Is(*f, "init")) init = f;
    }
    const TsqILNode* initExpr = init ? Child(*init, "expr") : nullptr;
    const std::string& name = c->text;
    if (params) {
      auto p = std::make_unique<TsqParamItem>(name, kind, type);
      p->SetIsVarParam(varParams);
      if (initExpr) p->SetDefValue(Expression(*initExpr, script)->Value());
      params->AddParameter(std::move(p));
      continue;
    }
    if (TsqCustomVariable* old = script.FindLocal(name);
        old && old->AddedBy() != RuntimeLibraryOwner())
      Fail(NamedMessage(m.SIdRedeclared, name), c->pos);
    std::unique_ptr<TsqVariable> v;
    if (kind == stString || kind == stChar)
      v = std::make_unique<TsqStringVariable>(name, kind, type);
    else
      v = std::make_unique<TsqVariable>(name, kind, type);
    v->SetValue(InitialValue(kind));
    v->SetSourcePos(c->pos);
    v->SetSourceUnit(unit_);
    if (arrayNode) {
      std::vector<core::ArrayBound> bounds;
      for (const auto& d : arrayNode->children) {
        if (!Is(*d, "dim")) continue;
        std::vector<int32_t> values;
        for (const auto& e : d->children)
          if (Is(*e, "expr")) values.push_back(Expression(*e, script)->Value().ToInt32());
        if (values.size() == 1) bounds.push_back({0, values[0] - 1});
        else if (values.size() >= 2) bounds.push_back({values[0], values[1]});
      }
      if (bounds.empty()) bounds.push_back({0, 0});
      v->SetTyp(stArray);
      v->SetValue(core::Variant::MakeArray(bounds));
      const int dims = static_cast<int>(bounds.size());
      auto helper = std::make_unique<TsqArrayHelper>("__ArrayHelper", dims, dims, kind, type);
      v->SetRefItem(helper.get());
      script.Add(" array " + name, std::move(helper));
    }
    TsqVariable* raw = v.get();
    script.Add(name, std::move(v));
    script.AddCodeLine(unit_, c->pos);
    if (initExpr) {
      auto e = Expression(*initExpr, script);
      if (!TypesCompatible(raw->Typ(), raw->TypeName(), e->Typ(), e->TypeName(), &script, true))
        Fail(m.SIncompatibleTypes, initExpr->pos);
      AddStatement<TsqAssignmentStmt>(list, script, *init, unit_,
                                      std::make_unique<TsqVariableDesignator>(&script, raw),
                                      std::move(e));
    }
  }
}

void TsqILCompiler::CompileConst(const TsqILNode& n, TsqScript& script) {
  const TsqILNode* id = Child(n, "ident");
  const TsqILNode* ex = Child(n, "expr");
  if (!id || !ex) return;
  if (TsqCustomVariable* old = script.FindLocal(id->text);
      old && old->AddedBy() != RuntimeLibraryOwner())
    Fail(NamedMessage(Messages().SIdRedeclared, id->text), id->pos);
  auto e = Expression(*ex, script);
  auto c = std::make_unique<TsqVariable>(id->text, e->Typ(), e->TypeName());
  c->SetValue(e->Value());
  c->SetIsReadOnly(true);
  c->SetSourcePos(id->pos);
  script.Add(id->text, std::move(c));
  script.AddCodeLine(unit_, n.pos);
}

void TsqILCompiler::CompileAssign(const TsqILNode& n, TsqScript& script, TsqStatementList& list) {
  const TsqMessages& m = Messages();
  const TsqILNode* d = Child(n, "dsgn");
  const TsqILNode* ex = Child(n, "expr");
  if (!d || !ex) return;
  auto target = Designator(*d, script);
  if (target->IsReadOnly()) Fail(m.SLeftCantAssigned, d->pos);
  auto e = Expression(*ex, script);
  if (!TypesCompatible(target->Typ(), target->TypeName(), e->Typ(), e->TypeName(), &script, true))
    Fail(m.SIncompatibleTypes, ex->pos);
  std::string mod;
  if (const TsqILNode* mn = Child(n, "modificator")) mod = mn->text;

  using Op = TsqCompoundAssignStmt::Op;
  auto addCompound = [&](Op op, std::unique_ptr<TsqCustomExpression> rhs) {
    auto s = std::make_unique<TsqCompoundAssignStmt>(&script, op, std::move(target), std::move(rhs));
    s->SetSourcePos(n.pos);
    s->SetSourceUnit(unit_);
    script.AddCodeLine(unit_, n.pos);
    list.Add(std::move(s));
  };
  if (!mod.empty()) {
    Op op = mod == "+" ? Op::Plus : mod == "-" ? Op::Minus : mod == "*" ? Op::Mul : Op::Div;
    addCompound(op, std::move(e));
    return;
  }
  // x := x op e runs as a compound assignment on x.
  if (auto* vd = dynamic_cast<TsqVariableDesignator*>(target.get())) {
    TsqCustomVariable* v = vd->Variable();
    if (auto* opNode = dynamic_cast<TsqOperatorNode*>(e->Root()); opNode && opNode->Right()) {
      const TsqOperator o = opNode->Op();
      const bool arith = o == TsqOperator::Plus || o == TsqOperator::Minus ||
                         o == TsqOperator::Mul || o == TsqOperator::DivFloat;
      const Op op = o == TsqOperator::Plus    ? Op::Plus
                    : o == TsqOperator::Minus ? Op::Minus
                    : o == TsqOperator::Mul   ? Op::Mul
                                              : Op::Div;
      if (arith && opNode->Left() && LoneVariableOf(opNode->Left()) == v) {
        TsqExpressionNode* rest = opNode->Right();
        addCompound(op, std::make_unique<TsqSubExpression>(std::move(e), rest));
        return;
      }
      if ((o == TsqOperator::Plus || o == TsqOperator::Mul) && opNode->Left() &&
          LoneVariableOf(opNode->Right()) == v && v->Typ() != stString && v->Typ() != stVariant) {
        TsqExpressionNode* rest = opNode->Left();
        addCompound(op, std::make_unique<TsqSubExpression>(std::move(e), rest));
        return;
      }
    }
  }
  AddStatement<TsqAssignmentStmt>(list, script, n, unit_, std::move(target), std::move(e));
}

void TsqILCompiler::CompileFor(const TsqILNode& n, TsqScript& script, TsqStatementList& list) {
  const TsqMessages& m = Messages();
  const TsqILNode* id = Child(n, "ident");
  if (!id) return;
  // FOR v = a TO b [STEP c] counts by variants and may have a step.
  const bool vb = Is(n, "vbforstmt");
  std::vector<const TsqILNode*> exprs;
  bool down = false;
  for (const auto& c : n.children) {
    if (Is(*c, "expr") && exprs.size() < (vb ? 3u : 2u)) exprs.push_back(c.get());
    if (Is(*c, "downto")) down = true;
  }
  if (exprs.size() < 2) return;
  TsqCustomVariable* v = script.Find(id->text);
  if (!v) {
    if (DeclareVarsOf(parser_)) Fail(NamedMessage(m.SIdUndeclared, id->text), id->pos);
    main_.AddVariable(id->text, "Variant", core::Variant::MakeNull());
    v = main_.FindLocal(id->text);
  }
  if (!dynamic_cast<TsqVariable*>(v) && !dynamic_cast<TsqParamItem*>(v))
    Fail(m.SForError, id->pos);
  if (v->IsReadOnly() || (v->Typ() != stInt && v->Typ() != stFloat && v->Typ() != stVariant))
    Fail(m.SForError, id->pos);
  auto isHead = [&](const TsqILNode* c) {
    return c == id || Is(*c, "downto") || std::find(exprs.begin(), exprs.end(), c) != exprs.end();
  };
  TsqStatementList* body;
  if (vb) {
    auto* s = AddStatement<TsqVbForStmt>(
        list, script, n, unit_, v, Expression(*exprs[0], script), Expression(*exprs[1], script),
        exprs.size() > 2 ? Expression(*exprs[2], script) : nullptr);
    body = &s->Body();
  } else {
    auto* s = AddStatement<TsqForStmt>(list, script, n, unit_, v, Expression(*exprs[0], script),
                                       Expression(*exprs[1], script), down);
    body = &s->Body();
  }
  for (const auto& c : n.children)
    if (!isHead(c.get())) CompileElement(*c, script, *body);
}

// for (init; condition; step) with one unwrapped item per part (JScript):
// everything before the condition is the init part, the element after it the
// step part, the rest the body.
void TsqILCompiler::CompileSingleItemFor(const TsqILNode& n, TsqScript& script,
                                         TsqStatementList& list) {
  size_t cond = 0;
  while (cond < n.children.size() && !Is(*n.children[cond], "expr")) ++cond;
  if (cond + 1 >= n.children.size()) return;
  auto* s = AddStatement<TsqCppForStmt>(list, script, n, unit_, nullptr);
  for (size_t i = 0; i < cond; ++i) CompileElement(*n.children[i], script, s->InitList());
  s->SetCondition(Expression(*n.children[cond], script));
  CompileElement(*n.children[cond + 1], script, s->StepList());
  CompileStatements(n, cond + 2, script, s->Body());
}

// for (init; condition; step) body: the compoundstmt before the condition is
// the init part, the one after it the step part, the rest the body.
void TsqILCompiler::CompileCppFor(const TsqILNode& n, TsqScript& script, TsqStatementList& list) {
  if (n.children.empty()) return;
  if (!Is(*n.children[0], "compoundstmt")) {
    CompileSingleItemFor(n, script, list);
    return;
  }
  const TsqILNode* init = nullptr;
  const TsqILNode* cond = nullptr;
  const TsqILNode* step = nullptr;
  size_t body = 0;
  for (size_t i = 0; i < n.children.size() && !step; ++i) {
    const TsqILNode* c = n.children[i].get();
    if (!init && Is(*c, "compoundstmt")) init = c;
    else if (init && !cond && Is(*c, "expr")) cond = c;
    else if (cond && Is(*c, "compoundstmt")) step = c;
    body = i + 1;
  }
  if (!step) return;
  auto* s = AddStatement<TsqCppForStmt>(list, script, n, unit_, nullptr);
  // Declarations of the init part must exist before the condition compiles.
  CompileStatements(*init, 0, script, s->InitList());
  s->SetCondition(Expression(*cond, script));
  CompileStatements(*step, 0, script, s->StepList());
  CompileStatements(n, body, script, s->Body());
}

void TsqILCompiler::CompileWith(const TsqILNode& n, TsqScript& script, TsqStatementList& list) {
  const size_t activeBefore = withObjects_.size();
  for (const auto& c : n.children) {
    if (!Is(*c, "dsgn")) continue;
    auto d = Designator(*c, script);
    std::string name;
    for (int i = 0;; ++i) {
      name = std::to_string(i);
      bool used = script.FindLocal(name) != nullptr;
      for (const std::string& w : withNames_) used = used || w == name;
      if (!used) break;
    }
    auto hidden = std::make_unique<TsqVariable>(name, d->Typ(), d->TypeName());
    TsqVariable* raw = hidden.get();
    script.Add(name, std::move(hidden));
    AddStatement<TsqWithStmt>(list, script, *c, unit_, std::move(d), raw);
    withObjects_.push_back(raw);
    withNames_.push_back(name);
  }
  for (const auto& c : n.children)
    if (!Is(*c, "dsgn")) CompileElement(*c, script, list);
  withObjects_.resize(activeBefore);
  withNames_.resize(activeBefore);
}

// ---------------------------------------------------------------------------

std::unique_ptr<TsqExpression> TsqILCompiler::Expression(const TsqILNode& expr, TsqScript& script) {
  auto e = std::make_unique<TsqExpression>(&script);
  FeedExpression(expr, *e, script);
  // Evaluation and the type check recurse over the tree: bound its size.
  if (CountItems(expr) > kMaxExpressionItems) Fail(kTooComplex, expr.pos);
  std::string fail = e->Finalize();
  if (!fail.empty()) Fail(Messages().SIncompatibleTypes, fail);
  e->SetSourceText(expr.source);
  return e;
}

void TsqILCompiler::FeedExpression(const TsqILNode& expr, TsqExpression& e, TsqScript& script) {
  for (const auto& c : expr.children) {
    const std::string& k = c->name;
    if (k == "op") e.AddOperator(c->text, c->pos);
    else if (k == "number") e.AddNumber(c->text, c->pos);
    else if (k == "string") e.AddString(c->text, c->pos);
    else if (k == "dsgn") e.AddDesignator(Designator(*c, script), c->pos);
    else if (k == "set") e.AddSet(Set(*c, script), c->pos);
    else if (k == "new") {
      if (const TsqILNode* d = Child(*c, "dsgn"))
        e.AddDesignator(Designator(*d, script, TsqDesignatorMode::Constructor), c->pos);
    }
    else if (k == "expr") FeedExpression(*c, e, script);
  }
}

std::unique_ptr<TsqSetExpression> TsqILCompiler::Set(const TsqILNode& set, TsqScript& script) {
  auto s = std::make_unique<TsqSetExpression>();
  for (const auto& c : set.children) {
    if (Is(*c, "expr")) s->AddElement(Expression(*c, script));
    else if (Is(*c, "range")) s->AddRangeMark();
  }
  return s;
}

std::unique_ptr<TsqDesignator> TsqILCompiler::Designator(const TsqILNode& dsgn, TsqScript& script) {
  return Designator(dsgn, script, TsqDesignatorMode::Normal);
}

std::unique_ptr<TsqDesignator> TsqILCompiler::Designator(const TsqILNode& dsgn, TsqScript& script,
                                                         TsqDesignatorMode mode) {
  std::vector<TsqNamePart> parts;
  bool addr = false;
  for (const auto& c : dsgn.children) {
    if (Is(*c, "addr")) {
      addr = true;
    } else if (Is(*c, "node")) {
      TsqNamePart part;
      part.pos = c->pos;
      if (c->text == "[") {
        part.kind = TsqNamePart::Index;
      } else {
        part.kind = addr && parts.empty() ? TsqNamePart::AddressOf : TsqNamePart::Name;
        part.name = c->text;
      }
      parts.push_back(std::move(part));
    } else if (Is(*c, "expr") && !parts.empty()) {
      parts.back().args.push_back(Expression(*c, script));
    }
  }
  TsqDesignatorOptions options;
  options.mode = mode;
  options.declareVars = DeclareVarsOf(parser_);
  options.mainScript = &main_;
  options.withObjects = withObjects_;
  if (parts.empty()) Fail(Messages().SVarRequired, dsgn.pos);
  return CompileDesignator(script, std::move(parts), options);
}

namespace {
bool DeclareVarsOf(const TsqILParser& p) {
  return p.DeclareVars();
}
}  // namespace

}  // namespace sq
