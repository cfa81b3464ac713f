// The compiled forms of a report's expressions: each distinct text becomes one
// function "qr3f<n>" of the report's script language, compiled once and then
// only called. Functions compiled earlier stay callable in the cache script.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "core/variant.h"

namespace sq {
class TsqScript;
class TsqProcVariable;
}  // namespace sq

namespace report {

class TqdrExpressionCache {
 public:
  TqdrExpressionCache();
  ~TqdrExpressionCache();
  TqdrExpressionCache(const TqdrExpressionCache&) = delete;
  TqdrExpressionCache& operator=(const TqdrExpressionCache&) = delete;

  // Forgets every compiled expression and empties the cache script.
  void Clear();
  const std::string& ScriptLanguage() const { return language_; }
  void SetScriptLanguage(const std::string& language) { language_ = language; }
  int Count() const { return static_cast<int>(functions_.size()); }
  sq::TsqScript& Script() { return *script_; }

  // Value of `expr` with names resolved in `scope`. A compile or run-time
  // error leaves `value` null (or as far as it got) and fills `errorMsg`.
  core::Variant Calc(const std::string& expr, sq::TsqScript* scope, std::string& errorMsg);

  // The source of function `name` returning `expr` in `language`; empty for a
  // language without an expression form.
  static std::string FunctionSource(const std::string& language, const std::string& name,
                                    const std::string& expr);
  // The lookup key: letter case is ignored outside quoted literals only, so
  // 'abc' and 'ABC' stay two expressions.
  static std::string Key(const std::string& expr);

 private:
  sq::TsqProcVariable* Compile(const std::string& expr, std::string& errorMsg);

  std::unique_ptr<sq::TsqScript> script_;
  std::unordered_map<std::string, sq::TsqProcVariable*> functions_;
  std::string language_ = "VuredeVizivo";
};

}  // namespace report
