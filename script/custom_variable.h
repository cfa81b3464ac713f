// TsqCustomVariable: the base of every named thing a script can refer to
// (variables, constants, types, parameters, procedures, helpers, classes,
// designators, expression nodes). Its children are its parameters.
#pragma once

#include <string>
#include <string_view>

#include "core/variant.h"
#include "script/item_list.h"
#include "script/type_kind.h"

namespace sq {

class TsqParamItem;

class TsqCustomVariable : public TsqItemList {
 public:
  TsqCustomVariable() = default;
  TsqCustomVariable(std::string_view name, TsqTypeKind typ, std::string_view typeName);

  const std::string& Name() const { return name_; }
  void SetName(std::string_view name);
  // Upper-cased copy of the name, as passed to host callbacks.
  const std::string& UpperName() const { return upperName_; }

  TsqTypeKind Typ() const { return typ_; }
  void SetTyp(TsqTypeKind t) { typ_ = t; }
  const std::string& TypeName() const { return typeName_; }
  void SetTypeName(std::string_view n) { typeName_ = std::string(n); }

  virtual core::Variant Value() { return value_; }
  virtual void SetValue(const core::Variant& v) { value_ = v; }

  bool IsReadOnly() const { return isReadOnly_; }
  void SetIsReadOnly(bool v) { isReadOnly_ = v; }
  bool IsMacro() const { return isMacro_; }
  void SetIsMacro(bool v) { isMacro_ = v; }
  bool NeedResult() const { return needResult_; }
  void SetNeedResult(bool v) { needResult_ = v; }
  // A procedure's Result variable; an array variable's array helper.
  TsqCustomVariable* RefItem() const { return refItem_; }
  void SetRefItem(TsqCustomVariable* item) { refItem_ = item; }
  const void* AddedBy() const { return addedBy_; }
  void SetAddedBy(const void* owner) { addedBy_ = owner; }
  const std::string& SourcePos() const { return sourcePos_; }
  void SetSourcePos(std::string_view p) { sourcePos_ = std::string(p); }
  const std::string& SourceUnit() const { return sourceUnit_; }
  void SetSourceUnit(std::string_view u) { sourceUnit_ = std::string(u); }

  int ParamCount() const { return Count(); }
  TsqParamItem* Params(int i) const;
  void AddParam(std::unique_ptr<TsqParamItem> p);
  // Parameters that have no default value.
  int RequiredParamCount() const;

 protected:
  core::Variant value_ = core::Variant::MakeNull();

 private:
  std::string name_;
  std::string upperName_;
  std::string typeName_;
  std::string sourcePos_;
  std::string sourceUnit_;
  TsqCustomVariable* refItem_ = nullptr;
  const void* addedBy_ = nullptr;
  TsqTypeKind typ_ = stVariant;
  bool isReadOnly_ = false;
  bool isMacro_ = false;
  bool needResult_ = true;
};

}  // namespace sq
