// String variables and type-name lookup.
#include "script/variables.h"

#include "script/script.h"

namespace sq {

TsqStringVariable::TsqStringVariable(std::string_view name, TsqTypeKind typ,
                                     std::string_view typeName)
    : TsqVariable(name, typ, typeName) {
  value_ = core::Variant("");
}

void TsqStringVariable::SetValue(const core::Variant& v) {
  if (IsReadOnly()) return;
  if (v.IsString())
    value_ = v;
  else
    value_ = core::Variant(v.ToString());
}

TsqTypeKind KindOfTypeName(const TsqScript* script, std::string_view typeName) {
  if (script && !typeName.empty()) {
    if (auto* t = dynamic_cast<TsqTypeVariable*>(script->Find(typeName))) return t->Typ();
  }
  return stClass;
}

}  // namespace sq
