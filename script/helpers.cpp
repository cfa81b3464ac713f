// Array, string, property, method and event helpers.
#include "script/helpers.h"

#include "core/error.h"
#include "core/reflection.h"
#include "core/text_util.h"
#include "script/events.h"
#include "script/messages.h"
#include "script/proc_variable.h"
#include "script/script.h"
#include "script/utf8_text.h"
#include "script/variables.h"

namespace sq {

namespace {

[[noreturn]] void ThrowIndexError() {
  throw core::Error("Variant or safe array index out of bounds");
}
[[noreturn]] void ThrowNilObject() {
  throw core::Error("Object reference is nil");
}

std::unique_ptr<TsqParamItem> IndexParam(int i, bool required) {
  std::string name(1, 'p');
  name += std::to_string(i);
  auto p = std::make_unique<TsqParamItem>(name, stInt, "Integer");
  if (!required) p->SetDefValue(core::Variant::MakeNull());
  return p;
}

}  // namespace

core::TObject* ObjectOf(const core::Variant& v) {
  if (v.IsObject()) return v.RawObject();
  return nullptr;
}

// ---------------------------------------------------------------------------

TsqArrayHelper::TsqArrayHelper(std::string_view name, int indexes, int required,
                               TsqTypeKind elementKind, std::string_view elementType)
    : TsqCustomHelper(name, elementKind, elementType) {
  for (int i = 0; i < indexes; ++i) AddParam(IndexParam(i, i < required));
}

size_t TsqArrayHelper::ElementIndex(const core::VariantArrayData& data,
                                    const core::Variant* indexes, int count) {
  if (data.bounds.empty() || count < static_cast<int>(data.bounds.size())) ThrowIndexError();
  size_t offset = 0;
  for (size_t d = 0; d < data.bounds.size(); ++d) {
    const core::ArrayBound& b = data.bounds[d];
    int32_t i = indexes[d].ToInt32();
    if (i < b.low || i > b.high) ThrowIndexError();
    offset = offset * static_cast<size_t>(b.Count()) + static_cast<size_t>(i - b.low);
  }
  return offset;
}

core::Variant TsqArrayHelper::Value() {
  if (!object_.IsArray()) throw core::Error(Messages().SArrayRequired);
  core::Variant idx[8];
  int n = std::min(ParamCount(), 8);
  for (int i = 0; i < n; ++i) idx[i] = Params(i)->Value();
  const core::VariantArrayData& data = object_.RawArray();
  return data.items[ElementIndex(data, idx, n)];
}

void TsqArrayHelper::SetValue(const core::Variant& v) {
  core::Variant idx[8];
  int n = std::min(ParamCount(), 8);
  for (int i = 0; i < n; ++i) idx[i] = Params(i)->Value();
  // Drop every other reference first so the array is changed in place.
  core::Variant array = std::move(object_);
  auto* var = dynamic_cast<TsqVariable*>(previous_);
  if (var) {
    array = std::move(var->MutableStored());
  } else if (previous_) {
    array = previous_->Value();
  }
  if (!array.IsArray()) {
    if (var) var->MutableStored() = std::move(array);
    throw core::Error(Messages().SArrayRequired);
  }
  core::VariantArrayData& data = array.MutableArray();
  size_t at;
  try {
    at = ElementIndex(data, idx, n);
  } catch (...) {
    if (var) var->MutableStored() = std::move(array);
    throw;
  }
  data.items[at] = v;
  if (var)
    var->MutableStored() = std::move(array);
  else if (previous_)
    previous_->SetValue(array);
}

// ---------------------------------------------------------------------------

TsqStringHelper::TsqStringHelper(std::string_view name) : TsqCustomHelper(name, stChar, "Char") {
  AddParam(IndexParam(0, true));
}

core::Variant TsqStringHelper::Value() {
  std::string s = object_.ToString();
  size_t start, length;
  int32_t index = Params(0)->Value().ToInt32();
  if (index < 1 || !Utf8CharRange(s, static_cast<size_t>(index), start, length))
    return core::Variant("");
  return core::Variant(std::string_view(s).substr(start, length));
}

void TsqStringHelper::SetValue(const core::Variant& v) {
  if (!previous_) return;
  std::string s = previous_->Value().ToString();
  size_t start, length;
  int32_t index = Params(0)->Value().ToInt32();
  if (index < 1 || !Utf8CharRange(s, static_cast<size_t>(index), start, length)) return;
  std::string ch = v.ToString();
  size_t chStart, chLength;
  if (!Utf8CharRange(ch, 1, chStart, chLength)) return;
  s.replace(start, length, ch, chStart, chLength);
  previous_->SetValue(core::Variant(std::move(s)));
}

// ---------------------------------------------------------------------------

namespace {

void KindOfProperty(const core::PropInfo& p, TsqTypeKind& kind, std::string& typeName) {
  switch (p.kind) {
    case core::PropKind::Integer:
      kind = stInt;
      typeName = "Integer";
      return;
    case core::PropKind::Float:
      kind = stFloat;
      typeName = "Extended";
      return;
    case core::PropKind::String:
      kind = stString;
      typeName = "String";
      return;
    case core::PropKind::Boolean:
      kind = stBool;
      typeName = "Boolean";
      return;
    case core::PropKind::Enumeration:
    case core::PropKind::Set:
      typeName = p.enumType ? p.enumType->name : std::string();
      kind = p.kind == core::PropKind::Enumeration && (core::EqualsNoCase(typeName, "Boolean") ||
                                                       core::EqualsNoCase(typeName, "bool"))
                 ? stBool
                 : stEnum;
      return;
    case core::PropKind::Class:
      kind = stClass;
      typeName = p.classType ? p.classType->Name() : std::string("TObject");
      return;
    case core::PropKind::Collection:
      kind = stClass;
      typeName = "TCollection";
      return;
    case core::PropKind::Variant:
      kind = stVariant;
      typeName = "Variant";
      return;
    case core::PropKind::Event:
      kind = stString;
      typeName = "String";
      return;
  }
}

core::Variant NormaliseBool(const core::Variant& v) {
  if (v.IsBoolean()) return v;
  if (v.IsNull() || v.IsEmpty()) return core::Variant(false);
  return core::Variant(v.ToBool());
}

}  // namespace

TsqPropertyHelper::TsqPropertyHelper(const core::PropInfo* prop, const core::ClassInfo* classRef)
    : prop_(prop), classRef_(classRef) {
  SetName(prop->name);
  TsqTypeKind kind = stInt;
  std::string typeName;
  KindOfProperty(*prop, kind, typeName);
  SetTyp(kind);
  SetTypeName(typeName);
  SetIsReadOnly(prop->set == nullptr || (prop->flags & core::pfReadOnly) != 0);
}

TsqPropertyHelper::TsqPropertyHelper(std::string_view name, TsqTypeKind typ,
                                     std::string_view typeName, const core::ClassInfo* classRef,
                                     TsqGetPropertyEvent onGet, TsqSetPropertyEvent onSet)
    : TsqCustomHelper(name, typ, typeName),
      classRef_(classRef),
      onGet_(std::move(onGet)),
      onSet_(std::move(onSet)) {
  SetIsReadOnly(!onSet_);
}

core::Variant TsqPropertyHelper::Value() {
  core::TObject* obj = ObjectOf(object_);
  core::Variant v;
  if (prop_) {
    if (!obj) ThrowNilObject();
    v = prop_->Get(obj);
  } else if (onGet_) {
    v = onGet_(obj, classRef_, UpperName());
  }
  if (Typ() == stBool) return NormaliseBool(v);
  return v;
}

void TsqPropertyHelper::SetValue(const core::Variant& v) {
  core::TObject* obj = ObjectOf(object_);
  if (prop_) {
    if (!obj) ThrowNilObject();
    prop_->Set(obj, v);
  } else if (onSet_) {
    onSet_(obj, classRef_, UpperName(), v);
  }
}

// ---------------------------------------------------------------------------

TsqMethodHelper::TsqMethodHelper(TsqCallMethodEvent onCall, const core::ClassInfo* classRef)
    : onCall_(std::move(onCall)), classRef_(classRef) {
  SetIsReadOnly(true);
}

TsqMethodHelper::TsqMethodHelper(TsqHelperMethodEvent onHelper, const core::ClassInfo* classRef)
    : onHelper_(std::move(onHelper)), classRef_(classRef) {
  SetIsReadOnly(true);
}

void TsqMethodHelper::SetIsIndexProperty(bool v) {
  isIndexProperty_ = v;
  getName_ = UpperName() + ".GET";
  setName_ = UpperName() + ".SET";
}

core::Variant TsqMethodHelper::Value() {
  return Invoke(isIndexProperty_ ? getName_ : UpperName(), nullptr);
}

void TsqMethodHelper::SetValue(const core::Variant& v) {
  if (isIndexProperty_) Invoke(setName_, &v);
}

core::Variant TsqMethodHelper::ParamValue(int i) const {
  if (i >= 0 && i < ParamCount()) return Params(i)->Value();
  if (i == ParamCount() && written_) return *written_;
  return core::Variant::MakeNull();
}

void TsqMethodHelper::SetParamValue(int i, const core::Variant& v) {
  if (i >= 0 && i < ParamCount()) Params(i)->SetValue(v);
}

core::Variant TsqMethodHelper::Invoke(const std::string& name, const core::Variant* written) {
  core::TObject* obj = ObjectOf(object_);
  if (onCall_) {
    const int n = ParamCount();
    const int count = n + (written ? 1 : 0);
    core::Variant args = core::Variant::MakeArray({core::ArrayBound{0, count - 1}});
    if (count > 0) {
      core::VariantArrayData& data = args.MutableArray();
      for (int i = 0; i < n; ++i) data.items[static_cast<size_t>(i)] = Params(i)->Value();
      if (written) data.items[static_cast<size_t>(n)] = *written;
    }
    core::Variant result = onCall_(obj, classRef_, name, args);
    const core::VariantArrayData& back = args.RawArray();
    for (int i = 0; i < n && static_cast<size_t>(i) < back.items.size(); ++i)
      if (Params(i)->IsVarParam()) Params(i)->SetValue(back.items[static_cast<size_t>(i)]);
    return result;
  }
  if (!onHelper_) return core::Variant::MakeNull();
  const core::Variant* saved = written_;
  written_ = written;
  struct Restore {
    const core::Variant*& slot;
    const core::Variant* value;
    ~Restore() { slot = value; }
  } restore{written_, saved};
  return onHelper_(obj, classRef_, name, *this);
}

// ---------------------------------------------------------------------------

TsqEventHelper::TsqEventHelper(std::string_view name, const TsqEventClass* eventClass)
    : TsqCustomHelper(name, stVariant, "Variant"), eventClass_(eventClass) {}

void TsqEventHelper::SetValue(const core::Variant& v) {
  core::TObject* obj = ObjectOf(object_);
  std::string text = v.ToString();
  if (text == "0") {
    if (eventClass_ && eventClass_->install) eventClass_->install(obj, Name(), nullptr);
    return;
  }
  auto* proc =
      caller_ && !text.empty() ? dynamic_cast<TsqProcVariable*>(caller_->Find(text)) : nullptr;
  if (!proc) throw core::Error(Messages().SEventError);
  if (!eventClass_ || !eventClass_->create) return;
  std::unique_ptr<TsqCustomEvent> adapter = eventClass_->create(obj, proc);
  TsqCustomEvent* raw = adapter.get();
  caller_->Add(Name(), std::move(adapter));
  if (eventClass_->install) eventClass_->install(obj, Name(), raw);
}

// ---------------------------------------------------------------------------

void TsqCustomEvent::CallHandler(std::vector<core::Variant>& args) {
  if (!handler_ || handler_->Executing()) return;
  const int n = std::min(handler_->ParamCount(), static_cast<int>(args.size()));
  for (int i = 0; i < n; ++i) handler_->Params(i)->SetValue(args[static_cast<size_t>(i)]);
  handler_->SetNeedResult(false);
  handler_->Value();
  for (int i = 0; i < n; ++i)
    if (handler_->Params(i)->IsVarParam())
      args[static_cast<size_t>(i)] = handler_->Params(i)->Value();
}

}  // namespace sq
