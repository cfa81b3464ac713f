// Type kind names and the compatibility rule.
#include "script/type_kind.h"

#include "core/text_util.h"
#include "script/class_variable.h"
#include "script/script.h"

namespace sq {

std::string TypeKindName(TsqTypeKind kind, std::string_view typeName) {
  switch (kind) {
    case stInt:
      return "Integer";
    case stBool:
      return "Boolean";
    case stFloat:
      return "Extended";
    case stChar:
      return "Char";
    case stString:
      return "String";
    case stClass:
    case stEnum:
      return std::string(typeName);
    case stArray:
      return "Array";
    case stVariant:
    case stConstructor:
      return "Variant";
  }
  return std::string(typeName);
}

bool TypesCompatible(TsqTypeKind l, std::string_view lName, TsqTypeKind r, std::string_view rName,
                     const TsqScript* script, bool assignment) {
  if (r == stVariant && l != stConstructor) return true;
  switch (l) {
    case stInt:
      return r == stInt || r == stEnum || (r == stFloat && !assignment);
    case stBool:
      return r == stBool;
    case stFloat:
      return r == stInt || r == stFloat;
    case stChar:
    case stString:
      return r == stChar || r == stString;
    case stClass: {
      if (r != stClass || !script) return false;
      TsqClassVariable* lc = script->FindClass(lName);
      TsqClassVariable* rc = script->FindClass(rName);
      return lc && rc && rc->DescendsFrom(lc);
    }
    case stArray:
      return r == stArray;
    case stVariant:
      return true;
    case stEnum:
      return (r == stEnum && core::EqualsNoCase(lName, rName)) || r == stInt;
    case stConstructor:
      return false;
  }
  return false;
}

}  // namespace sq
