// TsqCustomExpression: the base of expressions as items see them — a value
// plus the source text it was compiled from (what macro functions receive).
#pragma once

#include <string>
#include <string_view>

#include "script/custom_variable.h"

namespace sq {

class TsqCustomExpression : public TsqCustomVariable {
 public:
  using TsqCustomVariable::TsqCustomVariable;
  const std::string& SourceText() const { return sourceText_; }
  void SetSourceText(std::string_view s) { sourceText_ = std::string(s); }
  // Whether writing the value is meaningful (the expression is a designator).
  virtual bool IsAssignable() const { return false; }

 private:
  std::string sourceText_;
};

}  // namespace sq
