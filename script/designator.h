// Designators: compiled name paths such as Memo1.Lines[2] or Copy(s, 1, 2).
// Every name is resolved while compiling into a direct reference to an item;
// evaluation walks the items carrying the current value. Simple paths are
// specialised: a lone variable reads its storage directly, a string variable
// with one index reads one character, an array variable with indexes reads
// one element.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/custom_expression.h"
#include "script/custom_variable.h"

namespace sq {

class TsqScript;
class TsqCustomHelper;
class TsqProcVariable;
class TsqVariable;
class TsqStringVariable;

struct TsqDesignatorItem {
  TsqCustomVariable* Ref = nullptr;
  std::vector<std::unique_ptr<TsqCustomExpression>> Args;
  std::string SourcePos;
  bool Flag = false;  // reached as a default property (obj[...])
  // Kept with the item so evaluation needs no type tests.
  TsqCustomHelper* helper = nullptr;
  TsqProcVariable* proc = nullptr;
  bool macro = false;
  bool varParams = false;
  std::unique_ptr<TsqCustomVariable> owned;  // item made for this path (address-of text)
};

class TsqDesignator : public TsqCustomExpression {
 public:
  explicit TsqDesignator(TsqScript* script);
  core::Variant Value() override;
  void SetValue(const core::Variant& v) override;
  bool IsAssignable() const override { return !IsReadOnly(); }

  std::vector<TsqDesignatorItem>& Items() { return items_; }
  const std::vector<TsqDesignatorItem>& Items() const { return items_; }
  TsqScript* Script() const { return script_; }

 protected:
  core::Variant Walk(const core::Variant* written);

  std::vector<TsqDesignatorItem> items_;
  TsqScript* script_;
};

// A single variable: direct access to its storage.
class TsqVariableDesignator final : public TsqDesignator {
 public:
  TsqVariableDesignator(TsqScript* script, TsqCustomVariable* variable);
  core::Variant Value() override { return variable_->Value(); }
  void SetValue(const core::Variant& v) override { variable_->SetValue(v); }
  TsqCustomVariable* Variable() const { return variable_; }

 private:
  TsqCustomVariable* variable_;
};

// A string variable followed by one index: one character, 1-based.
class TsqStringDesignator final : public TsqDesignator {
 public:
  explicit TsqStringDesignator(TsqScript* script);
  core::Variant Value() override;
  void SetValue(const core::Variant& v) override;
};

// An array variable followed by its indexes.
class TsqArrayDesignator final : public TsqDesignator {
 public:
  explicit TsqArrayDesignator(TsqScript* script);
  core::Variant Value() override;
  void SetValue(const core::Variant& v) override;

 private:
  size_t Element(const core::VariantArrayData& data);
};

// One element of a name path as the compiler hands it over.
struct TsqNamePart {
  enum Kind { Name, Index, AddressOf };
  Kind kind = Name;
  std::string name;
  // Call arguments after a name, or the indexes of "[...]".
  std::vector<std::unique_ptr<TsqCustomExpression>> args;
  std::string pos;  // line:column of the part
};

enum class TsqDesignatorMode { Normal, Constructor, Destructor };

struct TsqDesignatorOptions {
  TsqDesignatorMode mode = TsqDesignatorMode::Normal;
  // A language that requires declarations reports undeclared names; otherwise
  // they become Variant variables of `mainScript` (default: the script itself).
  bool declareVars = true;
  TsqScript* mainScript = nullptr;
  // Typed with objects, innermost last.
  std::vector<TsqCustomVariable*> withObjects;
};

// Resolves a name path against `script` and returns the (specialised)
// designator. Raises TsqCompileError with the message and the part's position.
std::unique_ptr<TsqDesignator> CompileDesignator(TsqScript& script, std::vector<TsqNamePart> parts,
                                                 const TsqDesignatorOptions& options = {});

// Convenience for hosts and tests: a designator for one name path written as
// dotted names without arguments ("Report.Title").
std::unique_ptr<TsqDesignator> CompileNamePath(TsqScript& script, std::string_view path);

}  // namespace sq
