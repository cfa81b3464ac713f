// TsqClassVariable: a class registered in a script — its class reference,
// ancestor name, members (properties, methods, index properties, events) and
// default property. Created from the class information, every published
// property except events becomes a property member.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/custom_variable.h"
#include "script/helpers.h"

namespace sq {

class TsqScript;

class TsqClassVariable : public TsqCustomVariable {
 public:
  // `classRef` may be null for a class known to scripts by name only.
  TsqClassVariable(std::string_view name, const core::ClassInfo* classRef,
                   std::string_view ancestor, TsqScript* script);

  const core::ClassInfo* ClassRef() const { return classRef_; }
  const std::string& Ancestor() const { return ancestor_; }
  TsqClassVariable* AncestorClass() const;
  // True when this class is `other` or descends from it (by ancestor names).
  bool DescendsFrom(const TsqClassVariable* other) const;

  TsqCustomVariable* DefaultProperty() const { return defaultProperty_; }
  void SetDefaultProperty(TsqCustomVariable* p) { defaultProperty_ = p; }

  // Member of this class or, failing that, of its ancestors; null when none.
  TsqCustomVariable* FindMember(std::string_view name) const;
  int MemberCount() const { return static_cast<int>(members_.size()); }
  TsqCustomVariable* Members(int i) const { return members_[static_cast<size_t>(i)].get(); }

  TsqMethodHelper* AddMethod(std::string_view declaration, TsqHelperMethodEvent callback);
  TsqMethodHelper* AddConstructor(std::string_view declaration, TsqHelperMethodEvent callback);
  // A property without a write callback is read-only.
  TsqPropertyHelper* AddProperty(std::string_view name, std::string_view typeName,
                                 TsqGetPropertyEvent onGet, TsqSetPropertyEvent onSet = nullptr);
  TsqMethodHelper* AddIndexProperty(std::string_view name, std::string_view indexTypes,
                                    std::string_view resultType, TsqHelperMethodEvent callback,
                                    bool readOnly = false);
  TsqMethodHelper* AddDefaultProperty(std::string_view name, std::string_view indexTypes,
                                      std::string_view resultType, TsqHelperMethodEvent callback,
                                      bool readOnly = false);
  TsqEventHelper* AddEvent(std::string_view name, const TsqEventClass* eventClass);

 private:
  TsqCustomVariable* AddMember(std::unique_ptr<TsqCustomVariable> m);
  void AddPublishedProperties();

  const core::ClassInfo* classRef_;
  std::string ancestor_;
  TsqScript* script_;
  TsqCustomVariable* defaultProperty_ = nullptr;
  std::vector<std::unique_ptr<TsqCustomVariable>> members_;
  std::unordered_map<std::string, TsqCustomVariable*> byName_;  // upper-cased; last wins
};

// Reads a method declaration ("function Copy(s: String; from, count:
// Integer): String", "macrofunction IIF(...)", "procedure Inc(var i:
// Integer; incr: Integer = 1)", "constructor Create") into `method`: name,
// macro flag, parameters with kinds, defaults and var flags, result kind.
// Defaults named by an identifier take that item's current value in `script`.
void ParseMethodDeclaration(std::string_view declaration, TsqScript* script,
                            TsqCustomVariable& method);

}  // namespace sq
