// Designators: resolving name paths at compile time and walking them at run
// time.
#include "script/designator.h"

#include "core/error.h"
#include "core/reflection.h"
#include "core/text_util.h"
#include "script/class_variable.h"
#include "script/compile_error.h"
#include "script/expression.h"
#include "script/helpers.h"
#include "script/messages.h"
#include "script/proc_variable.h"
#include "script/script.h"
#include "script/utf8_text.h"
#include "script/variables.h"

namespace sq {

namespace {

// Argument values of one item; most calls have few arguments, so they stay
// on the stack.
class ArgValues {
 public:
  explicit ArgValues(size_t n) : n_(n) {
    if (n > kInline) heap_.resize(n);
  }
  core::Variant& operator[](size_t i) { return n_ > kInline ? heap_[i] : inline_[i]; }

 private:
  static constexpr size_t kInline = 6;
  size_t n_;
  core::Variant inline_[kInline];
  std::vector<core::Variant> heap_;
};

bool IsPlainVariable(const TsqCustomVariable* v) {
  return dynamic_cast<const TsqVariable*>(v) || dynamic_cast<const TsqParamItem*>(v);
}

}  // namespace

TsqDesignator::TsqDesignator(TsqScript* script)
    : TsqCustomExpression("", stVariant, "Variant"), script_(script) {}

core::Variant TsqDesignator::Value() {
  return Walk(nullptr);
}

void TsqDesignator::SetValue(const core::Variant& v) {
  Walk(&v);
}

core::Variant TsqDesignator::Walk(const core::Variant* written) {
  core::Variant cur = core::Variant::MakeNull();
  TsqCustomVariable* prev = nullptr;
  const size_t n = items_.size();
  for (size_t i = 0; i < n; ++i) {
    TsqDesignatorItem& it = items_[i];
    TsqCustomVariable* ref = it.Ref;
    const bool last = i + 1 == n;
    const bool recursing = it.proc && it.proc->Executing();
    if (recursing) it.proc->PushLocals();
    try {
      if (!it.Args.empty()) {
        const size_t argc = it.Args.size();
        ArgValues values(argc);
        for (size_t k = 0; k < argc; ++k)
          values[k] = it.macro ? core::Variant(it.Args[k]->SourceText()) : it.Args[k]->Value();
        const size_t params = static_cast<size_t>(ref->ParamCount());
        for (size_t k = 0; k < argc && k < params; ++k)
          ref->Params(static_cast<int>(k))->SetValue(values[k]);
      }
      if (it.helper) it.helper->SetContext(prev, std::move(cur), script_);
      if (last && written) {
        ref->SetValue(*written);
        if (recursing) it.proc->PopLocals();
        return *written;
      }
      ref->SetNeedResult(last ? NeedResult() : true);
      cur = ref->Value();
      if (it.varParams) {
        for (size_t k = 0; k < it.Args.size() && static_cast<int>(k) < ref->ParamCount(); ++k) {
          TsqParamItem* p = ref->Params(static_cast<int>(k));
          if (p->IsVarParam() && it.Args[k]->IsAssignable()) it.Args[k]->SetValue(p->Value());
        }
      }
    } catch (...) {
      if (recursing) it.proc->PopLocals();
      throw;
    }
    if (recursing) it.proc->PopLocals();
    prev = ref;
  }
  return cur;
}

// ---------------------------------------------------------------------------

TsqVariableDesignator::TsqVariableDesignator(TsqScript* script, TsqCustomVariable* variable)
    : TsqDesignator(script), variable_(variable) {}

TsqStringDesignator::TsqStringDesignator(TsqScript* script) : TsqDesignator(script) {}

core::Variant TsqStringDesignator::Value() {
  core::Variant s = items_[0].Ref->Value();
  int32_t index = items_[1].Args[0]->Value().ToInt32();
  const std::string& text = s.RawString();  // empty for non-strings
  size_t start, length;
  if (index < 1 || !Utf8CharRange(text, static_cast<size_t>(index), start, length))
    return core::Variant("");
  return core::Variant(std::string_view(text).substr(start, length));
}

void TsqStringDesignator::SetValue(const core::Variant& v) {
  TsqCustomVariable* var = items_[0].Ref;
  int32_t index = items_[1].Args[0]->Value().ToInt32();
  std::string text = var->Value().ToString();
  size_t start, length, chStart, chLength;
  std::string ch = v.ToString();
  if (index < 1 || !Utf8CharRange(text, static_cast<size_t>(index), start, length) ||
      !Utf8CharRange(ch, 1, chStart, chLength))
    return;
  text.replace(start, length, ch, chStart, chLength);
  var->SetValue(core::Variant(std::move(text)));
}

TsqArrayDesignator::TsqArrayDesignator(TsqScript* script) : TsqDesignator(script) {}

size_t TsqArrayDesignator::Element(const core::VariantArrayData& data) {
  const auto& args = items_[1].Args;
  const size_t n = args.size();
  ArgValues idx(n);
  for (size_t k = 0; k < n && k < data.bounds.size(); ++k) idx[k] = args[k]->Value();
  return TsqArrayHelper::ElementIndex(data, &idx[0], static_cast<int>(n));
}

core::Variant TsqArrayDesignator::Value() {
  core::Variant array = items_[0].Ref->Value();
  if (!array.IsArray()) throw core::Error(Messages().SArrayRequired);
  const core::VariantArrayData& data = array.RawArray();
  return data.items[Element(data)];
}

void TsqArrayDesignator::SetValue(const core::Variant& v) {
  if (auto* var = dynamic_cast<TsqVariable*>(items_[0].Ref)) {
    core::Variant& stored = var->MutableStored();
    if (!stored.IsArray()) throw core::Error(Messages().SArrayRequired);
    core::VariantArrayData& data = stored.MutableArray();  // in place unless shared
    size_t at = Element(data);
    data.items[at] = v;
    return;
  }
  core::Variant array = items_[0].Ref->Value();
  if (!array.IsArray()) throw core::Error(Messages().SArrayRequired);
  core::VariantArrayData& data = array.MutableArray();
  data.items[Element(data)] = v;
  items_[0].Ref->SetValue(array);
}

// ---------------------------------------------------------------------------
// Compiling a name path.

namespace {

[[noreturn]] void Fail(const std::string& message, const std::string& pos) {
  throw TsqCompileError(message, pos);
}

TsqDesignatorItem MakeItem(TsqCustomVariable* ref, TsqNamePart* part) {
  TsqDesignatorItem item;
  item.Ref = ref;
  if (part) {
    item.Args = std::move(part->args);
    item.SourcePos = part->pos;
  }
  return item;
}

TsqCustomVariable* ArrayHelperOf(TsqScript& script, TsqCustomVariable* var,
                                 const std::string& pos) {
  if (TsqCustomVariable* h = var->RefItem(); dynamic_cast<TsqArrayHelper*>(h)) return h;
  TsqCustomVariable* h = script.Find("__ArrayHelper");
  if (!h) Fail(NamedMessage(Messages().SIdUndeclared, "__ArrayHelper"), pos);
  return h;
}

std::unique_ptr<TsqCustomExpression> DefaultArgument(TsqScript& script, const core::Variant& v) {
  auto e = std::make_unique<TsqExpression>(&script);
  e->AddOperand(v);
  e->Finalize();
  e->SetSourceText(v.ToString());
  return e;
}

void CheckArguments(TsqScript& script, TsqDesignatorItem& item) {
  TsqCustomVariable* ref = item.Ref;
  const TsqMessages& m = Messages();
  const size_t params = static_cast<size_t>(ref->ParamCount());
  const size_t required = static_cast<size_t>(ref->RequiredParamCount());
  if (item.Args.size() < required) Fail(m.SNotEnoughParams, item.SourcePos);
  if (item.Args.size() > params) Fail(m.STooManyParams, item.SourcePos);
  for (size_t k = item.Args.size(); k < params; ++k)
    item.Args.push_back(DefaultArgument(script, ref->Params(static_cast<int>(k))->DefValue()));
  for (size_t k = 0; k < params; ++k) {
    TsqParamItem* p = ref->Params(static_cast<int>(k));
    TsqCustomExpression* a = item.Args[k].get();
    if (p->IsVarParam()) item.varParams = true;
    if (!TypesCompatible(p->Typ(), p->TypeName(), a->Typ(), a->TypeName(), &script, false))
      Fail(m.SIncompatibleTypes + ": '" + TypeKindName(p->Typ(), p->TypeName()) + "', '" +
               TypeKindName(a->Typ(), a->TypeName()) + "'",
           item.SourcePos);
  }
  item.helper = dynamic_cast<TsqCustomHelper*>(ref);
  item.proc = dynamic_cast<TsqProcVariable*>(ref);
  item.macro = ref->IsMacro();
}

std::string ClassNameOfValue(const core::Variant& v) {
  if (core::TObject* obj = ObjectOf(v))
    if (const core::ClassInfo* info = obj->ClassType()) return info->Name();
  return "TObject";
}

}  // namespace

std::unique_ptr<TsqDesignator> CompileDesignator(TsqScript& script, std::vector<TsqNamePart> parts,
                                                 const TsqDesignatorOptions& options) {
  const TsqMessages& m = Messages();
  if (parts.empty() || parts[0].kind == TsqNamePart::Index)
    Fail(m.SVarRequired, parts.empty() ? std::string() : parts[0].pos);

  std::vector<TsqDesignatorItem> items;
  TsqNamePart& first = parts[0];

  if (first.kind == TsqNamePart::AddressOf) {
    // @Name: the name's text, as an event handler is named.
    auto text = std::make_unique<TsqVariable>("", stString, "String");
    text->SetValue(core::Variant(first.name));
    text->SetIsReadOnly(true);
    TsqDesignatorItem item = MakeItem(text.get(), &first);
    item.owned = std::move(text);
    items.push_back(std::move(item));
  } else {
    // 1. The first name: typed with objects from the innermost outwards, then scope.
    TsqCustomVariable* ref = nullptr;
    for (auto it = options.withObjects.rbegin(); it != options.withObjects.rend() && !ref; ++it) {
      TsqCustomVariable* with = *it;
      if (with->Typ() != stClass) continue;
      TsqClassVariable* cls = script.FindClass(with->TypeName());
      if (!cls) continue;
      if (TsqCustomVariable* member = cls->FindMember(first.name)) {
        items.push_back(MakeItem(with, nullptr));
        items.back().SourcePos = first.pos;
        ref = member;
      }
    }
    if (!ref) ref = script.Find(first.name);
    if (!ref) {
      if (options.declareVars) Fail(NamedMessage(m.SIdUndeclared, first.name), first.pos);
      TsqScript* main = options.mainScript ? options.mainScript : &script;
      main->AddVariable(first.name, "Variant", core::Variant::MakeNull());
      ref = main->FindLocal(first.name);
    }
    items.push_back(MakeItem(ref, &first));

    // 2. new: the class's Create member takes the arguments.
    if (options.mode == TsqDesignatorMode::Constructor) {
      auto* cls = dynamic_cast<TsqClassVariable*>(ref);
      if (!cls) Fail(m.SClassRequired, first.pos);
      TsqCustomVariable* create = cls->FindMember("Create");
      if (!create) Fail(NamedMessage(m.SIdUndeclared, "Create"), first.pos);
      TsqDesignatorItem item;
      item.Ref = create;
      item.Args = std::move(items.back().Args);
      item.SourcePos = first.pos;
      items.push_back(std::move(item));
    }
  }

  // 3. Each further name or index from the previous item's kind.
  for (size_t i = 1; i < parts.size(); ++i) {
    TsqNamePart& part = parts[i];
    const bool isIndex = part.kind == TsqNamePart::Index;
    TsqDesignatorItem& prevItem = items.back();
    TsqCustomVariable* prev = prevItem.Ref;
    auto* prevMethod = dynamic_cast<TsqMethodHelper*>(prev);
    const bool prevIndexProperty = prevMethod && prevMethod->IsIndexProperty();
    if (prevIndexProperty && prevItem.Args.empty() && prev->ParamCount() > 0) {
      if (!isIndex) Fail(m.SIndexRequired, part.pos);
      prevItem.Args = std::move(part.args);
      continue;
    }
    TsqTypeKind kind = prev->Typ() == stConstructor ? stClass : prev->Typ();
    std::string typeName = prev->TypeName();
    if (kind == stVariant && !prevIndexProperty) {
      // A Variant is typed by the value it holds now.
      core::Variant v = IsPlainVariable(prev) && prevItem.Args.empty() ? prev->Value()
                                                                       : core::Variant::MakeNull();
      if (v.IsNull() || v.IsEmpty())
        Fail(NamedMessage(m.SIdUndeclared, isIndex ? std::string("[") : part.name), part.pos);
      if (v.IsString()) {
        kind = stString;
      } else if (v.IsArray()) {
        if (!isIndex) Fail(m.SIndexRequired, part.pos);
        items.push_back(MakeItem(ArrayHelperOf(script, prev, part.pos), &part));
        continue;
      } else if (v.IsObject()) {
        kind = stClass;
        typeName = ClassNameOfValue(v);
      }
    }
    switch (kind) {
      case stString:
      case stChar: {
        if (!isIndex) Fail(m.SStringError, part.pos);
        TsqCustomVariable* helper = script.Find("__StringHelper");
        if (!helper) Fail(NamedMessage(m.SIdUndeclared, "__StringHelper"), part.pos);
        items.push_back(MakeItem(helper, &part));
        break;
      }
      case stClass: {
        TsqClassVariable* cls = script.FindClass(typeName);
        if (!cls) Fail(NamedMessage(m.SUnknownType, typeName), part.pos);
        if (isIndex) {
          TsqCustomVariable* def = cls->DefaultProperty();
          if (!def) Fail(FormatMessage(m.SClassError, cls->Name()), part.pos);
          items.push_back(MakeItem(def, &part));
          items.back().Flag = true;
        } else {
          TsqCustomVariable* member = cls->FindMember(part.name);
          if (!member) Fail(NamedMessage(m.SIdUndeclared, part.name), part.pos);
          items.push_back(MakeItem(member, &part));
        }
        break;
      }
      case stArray:
        if (!isIndex) Fail(m.SIndexRequired, part.pos);
        items.push_back(MakeItem(ArrayHelperOf(script, prev, part.pos), &part));
        break;
      default:
        Fail(m.SArrayRequired, part.pos);
    }
  }

  // An index property at the end of the path still needs its indexes.
  if (auto* method = dynamic_cast<TsqMethodHelper*>(items.back().Ref);
      method && method->IsIndexProperty() && method->ParamCount() > 0 && items.back().Args.empty())
    Fail(m.SIndexRequired, items.back().SourcePos);

  // 5. delete: the Free member of TObject.
  if (options.mode == TsqDesignatorMode::Destructor) {
    TsqCustomVariable* last = items.back().Ref;
    if (last->Typ() != stClass && last->Typ() != stVariant) Fail(m.SClassRequired, parts[0].pos);
    TsqClassVariable* root = script.FindClass("TObject");
    TsqCustomVariable* free = root ? root->FindMember("Free") : nullptr;
    if (!free) Fail(NamedMessage(m.SIdUndeclared, "Free"), parts[0].pos);
    TsqDesignatorItem item;
    item.Ref = free;
    item.SourcePos = parts[0].pos;
    items.push_back(std::move(item));
  }

  // 7. Arguments against parameters.
  for (TsqDesignatorItem& item : items) CheckArguments(script, item);

  // Specialise the simple shapes.
  std::unique_ptr<TsqDesignator> d;
  TsqCustomVariable* head = items[0].Ref;
  const bool plainHead = IsPlainVariable(head) && items[0].Args.empty() && !items[0].owned;
  if (items.size() == 1 && plainHead) {
    d = std::make_unique<TsqVariableDesignator>(&script, head);
  } else if (items.size() == 2 && plainHead && (head->Typ() == stString || head->Typ() == stChar) &&
             dynamic_cast<TsqStringHelper*>(items[1].Ref) && items[1].Args.size() == 1) {
    d = std::make_unique<TsqStringDesignator>(&script);
  } else if (items.size() == 2 && plainHead && head->Typ() == stArray &&
             dynamic_cast<TsqArrayHelper*>(items[1].Ref)) {
    d = std::make_unique<TsqArrayDesignator>(&script);
  } else {
    d = std::make_unique<TsqDesignator>(&script);
  }
  // 6. Kind and type name of the last item.
  TsqCustomVariable* last = items.back().Ref;
  if (last->Typ() == stConstructor) {
    d->SetTyp(stClass);
    d->SetTypeName(last->TypeName());
  } else {
    d->SetTyp(last->Typ());
    d->SetTypeName(last->TypeName());
  }
  d->SetIsReadOnly(last->IsReadOnly());
  d->SetSourcePos(parts[0].pos);
  d->Items() = std::move(items);
  return d;
}

std::unique_ptr<TsqDesignator> CompileNamePath(TsqScript& script, std::string_view path) {
  std::vector<TsqNamePart> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t dot = path.find('.', start);
    TsqNamePart part;
    part.name = std::string(core::TrimView(
        path.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start)));
    parts.push_back(std::move(part));
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return CompileDesignator(script, std::move(parts));
}

}  // namespace sq
