// Registered classes and their members; method declaration texts.
#include "script/class_variable.h"

#include "core/reflection.h"
#include "core/text_util.h"
#include "core/variant_ops.h"
#include "script/expression.h"
#include "script/parser.h"
#include "script/script.h"
#include "script/variables.h"

namespace sq {

TsqClassVariable::TsqClassVariable(std::string_view name, const core::ClassInfo* classRef,
                                   std::string_view ancestor, TsqScript* script)
    : TsqCustomVariable(name, stClass, name),
      classRef_(classRef),
      ancestor_(ancestor),
      script_(script) {
  SetIsReadOnly(true);
  if (classRef_) AddPublishedProperties();
}

void TsqClassVariable::AddPublishedProperties() {
  for (const core::PropInfo* p : classRef_->Properties()) {
    if (p->kind == core::PropKind::Event) continue;
    AddMember(std::make_unique<TsqPropertyHelper>(p, classRef_));
  }
}

TsqClassVariable* TsqClassVariable::AncestorClass() const {
  if (ancestor_.empty() || !script_ || core::EqualsNoCase(ancestor_, Name())) return nullptr;
  return script_->FindClass(ancestor_);
}

bool TsqClassVariable::DescendsFrom(const TsqClassVariable* other) const {
  int guard = 0;
  for (const TsqClassVariable* c = this; c && guard < 64; c = c->AncestorClass(), ++guard)
    if (c == other || core::EqualsNoCase(c->Name(), other->Name())) return true;
  if (classRef_ && other->classRef_) return classRef_->InheritsFrom(other->classRef_);
  return false;
}

TsqCustomVariable* TsqClassVariable::FindMember(std::string_view name) const {
  std::string upper = core::UpperCase(name);
  int guard = 0;
  for (const TsqClassVariable* c = this; c && guard < 64; c = c->AncestorClass(), ++guard) {
    auto it = c->byName_.find(upper);
    if (it != c->byName_.end()) return it->second;
  }
  return nullptr;
}

TsqCustomVariable* TsqClassVariable::AddMember(std::unique_ptr<TsqCustomVariable> m) {
  TsqCustomVariable* raw = m.get();
  byName_[raw->UpperName()] = raw;
  members_.push_back(std::move(m));
  return raw;
}

TsqMethodHelper* TsqClassVariable::AddMethod(std::string_view declaration,
                                             TsqHelperMethodEvent callback) {
  auto m = std::make_unique<TsqMethodHelper>(std::move(callback), classRef_);
  ParseMethodDeclaration(declaration, script_, *m);
  return static_cast<TsqMethodHelper*>(AddMember(std::move(m)));
}

TsqMethodHelper* TsqClassVariable::AddConstructor(std::string_view declaration,
                                                  TsqHelperMethodEvent callback) {
  TsqMethodHelper* m = AddMethod(declaration, std::move(callback));
  m->SetTyp(stConstructor);
  m->SetTypeName(Name());
  return m;
}

TsqPropertyHelper* TsqClassVariable::AddProperty(std::string_view name, std::string_view typeName,
                                                 TsqGetPropertyEvent onGet,
                                                 TsqSetPropertyEvent onSet) {
  auto p = std::make_unique<TsqPropertyHelper>(name, KindOfTypeName(script_, typeName), typeName,
                                               classRef_, std::move(onGet), std::move(onSet));
  return static_cast<TsqPropertyHelper*>(AddMember(std::move(p)));
}

TsqMethodHelper* TsqClassVariable::AddIndexProperty(std::string_view name,
                                                    std::string_view indexTypes,
                                                    std::string_view resultType,
                                                    TsqHelperMethodEvent callback, bool readOnly) {
  std::string decl = "function " + std::string(name) + "(";
  int i = 0;
  size_t start = 0;
  while (start <= indexTypes.size()) {
    size_t comma = indexTypes.find(',', start);
    std::string_view t = core::TrimView(indexTypes.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (!t.empty()) {
      if (i) decl += "; ";
      decl += "p" + std::to_string(i++) + ": " + std::string(t);
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  decl += "): " + std::string(resultType);
  TsqMethodHelper* m = AddMethod(decl, std::move(callback));
  m->SetIsIndexProperty(true);
  m->SetIsReadOnly(readOnly);
  return m;
}

TsqMethodHelper* TsqClassVariable::AddDefaultProperty(std::string_view name,
                                                      std::string_view indexTypes,
                                                      std::string_view resultType,
                                                      TsqHelperMethodEvent callback,
                                                      bool readOnly) {
  TsqMethodHelper* m =
      AddIndexProperty(name, indexTypes, resultType, std::move(callback), readOnly);
  defaultProperty_ = m;
  return m;
}

TsqEventHelper* TsqClassVariable::AddEvent(std::string_view name, const TsqEventClass* eventClass) {
  return static_cast<TsqEventHelper*>(
      AddMember(std::make_unique<TsqEventHelper>(name, eventClass)));
}

// ---------------------------------------------------------------------------

namespace {

std::string NextChar(TsqParser& p) {
  p.SkipSpaces();
  return p.GetChar();
}

bool PeekChar(TsqParser& p, char c) {
  p.SkipSpaces();
  int at = p.Position();
  if (p.GetChar() == std::string(1, c)) return true;
  p.SetPosition(at);
  return false;
}

core::Variant ReadDefault(TsqParser& p, TsqScript* script) {
  bool negative = PeekChar(p, '-');
  std::string number = p.GetNumber();
  if (!number.empty()) {
    core::Variant v = TsqExpression::NumberValue(number);
    return negative ? core::VarNeg(v) : v;
  }
  std::string str = p.GetString();
  if (!str.empty()) return TsqExpression::StringValue(str);
  std::string ident = p.GetIdent();
  if (!ident.empty() && script) {
    if (TsqCustomVariable* v = script->Find(ident)) return v->Value();
  }
  return core::Variant::MakeNull();
}

}  // namespace

void ParseMethodDeclaration(std::string_view declaration, TsqScript* script,
                            TsqCustomVariable& method) {
  TsqParser p;
  p.SetText(declaration);
  std::string kind = core::LowerCase(p.GetIdent());
  if (kind.rfind("macro", 0) == 0) {
    method.SetIsMacro(true);
    kind = kind.substr(5);
  }
  method.SetName(p.GetIdent());
  std::string resultType;
  if (kind == "function") {
    size_t colon = declaration.rfind(':');
    if (colon != std::string_view::npos) {
      TsqParser r;
      r.SetText(declaration.substr(colon + 1));
      resultType = r.GetIdent();
    }
  } else if (kind == "constructor") {
    resultType = "Constructor";
  }
  method.SetTyp(resultType.empty() ? stClass : KindOfTypeName(script, resultType));
  method.SetTypeName(resultType);

  if (!PeekChar(p, '(')) return;
  if (PeekChar(p, ')')) return;
  for (;;) {
    bool isVar = false;
    int groupStart = p.Position();
    std::string first = p.GetIdent();
    if (core::EqualsNoCase(first, "var")) {
      isVar = true;
    } else if (!core::EqualsNoCase(first, "const")) {
      p.SetPosition(groupStart);
    }
    std::vector<std::string> names;
    do {
      std::string n = p.GetIdent();
      if (n.empty()) return;  // malformed: keep what was read
      names.push_back(n);
    } while (PeekChar(p, ','));
    std::string typeName = "Variant";
    if (PeekChar(p, ':')) typeName = p.GetIdent();
    bool hasDefault = false;
    core::Variant def;
    if (PeekChar(p, '=')) {
      hasDefault = true;
      def = ReadDefault(p, script);
    }
    for (const std::string& n : names) {
      auto param = std::make_unique<TsqParamItem>(n, KindOfTypeName(script, typeName), typeName);
      param->SetIsVarParam(isVar);
      if (hasDefault) param->SetDefValue(def);
      method.AddParam(std::move(param));
    }
    std::string sep = NextChar(p);
    if (sep != ";") return;
  }
}

}  // namespace sq
