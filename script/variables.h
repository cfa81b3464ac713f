// The plain script items: variables and constants, registered type names,
// string variables with addressable characters, and parameters.
#pragma once

#include <string>
#include <string_view>

#include "script/custom_variable.h"

namespace sq {

// A variable or constant; writes to a read-only item are ignored.
class TsqVariable : public TsqCustomVariable {
 public:
  TsqVariable(std::string_view name, TsqTypeKind typ, std::string_view typeName)
      : TsqCustomVariable(name, typ, typeName) {}
  core::Variant Value() override { return value_; }
  void SetValue(const core::Variant& v) override {
    if (!IsReadOnly()) value_ = v;
  }
  // The stored value without a copy, for direct designators.
  const core::Variant& Stored() const { return value_; }
  core::Variant& MutableStored() { return value_; }
};

// A registered type name and its kind.
class TsqTypeVariable : public TsqCustomVariable {
 public:
  TsqTypeVariable(std::string_view name, TsqTypeKind typ) : TsqCustomVariable(name, typ, name) {}
};

// A String or Char variable: always holds text, so single characters can be
// read and changed in place (1-based, counted in characters).
class TsqStringVariable : public TsqVariable {
 public:
  TsqStringVariable(std::string_view name, TsqTypeKind typ, std::string_view typeName);
  void SetValue(const core::Variant& v) override;
  const std::string& Str() const { return value_.RawString(); }
};

// A parameter of a procedure, function or method.
class TsqParamItem : public TsqCustomVariable {
 public:
  TsqParamItem(std::string_view name, TsqTypeKind typ, std::string_view typeName)
      : TsqCustomVariable(name, typ, typeName) {}

  const core::Variant& DefValue() const { return defValue_; }
  void SetDefValue(const core::Variant& v) {
    defValue_ = v;
    hasDefault_ = true;
  }
  bool HasDefault() const { return hasDefault_; }
  bool IsVarParam() const { return isVarParam_; }
  void SetIsVarParam(bool v) { isVarParam_ = v; }

 private:
  core::Variant defValue_;
  bool hasDefault_ = false;
  bool isVarParam_ = false;
};

// Kind of a type name: the registered type of that name in the script or its
// parents; any other name is a class.
TsqTypeKind KindOfTypeName(const class TsqScript* script, std::string_view typeName);

}  // namespace sq
