// TsqCustomVariable: name, kind, value and parameters of a script item.
#include "script/custom_variable.h"

#include "core/text_util.h"
#include "script/variables.h"

namespace sq {

TsqCustomVariable::TsqCustomVariable(std::string_view name, TsqTypeKind typ,
                                     std::string_view typeName)
    : typeName_(typeName), typ_(typ) {
  SetName(name);
}

void TsqCustomVariable::SetName(std::string_view name) {
  name_ = std::string(name);
  upperName_ = core::UpperCase(name);
}

TsqParamItem* TsqCustomVariable::Params(int i) const {
  return static_cast<TsqParamItem*>(Items(i));
}

void TsqCustomVariable::AddParam(std::unique_ptr<TsqParamItem> p) {
  AddItem(std::move(p));
}

int TsqCustomVariable::RequiredParamCount() const {
  int n = 0;
  for (int i = 0; i < ParamCount(); ++i)
    if (!Params(i)->HasDefault()) ++n;
  return n;
}

}  // namespace sq
