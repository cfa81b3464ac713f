// Expression cache: one compiled function per distinct expression text.
#include "report/expression_cache.h"

#include "core/error.h"
#include "core/text_util.h"
#include "report/resources.h"
#include "script/messages.h"
#include "script/proc_variable.h"
#include "script/script.h"

namespace report {

TqdrExpressionCache::TqdrExpressionCache() : script_(std::make_unique<sq::TsqScript>()) {
  script_->SetExtendedIdentChars(true);
}

TqdrExpressionCache::~TqdrExpressionCache() = default;

void TqdrExpressionCache::Clear() {
  functions_.clear();
  script_->SetParent(nullptr);
  script_->Clear();
  script_->SetLines({});
}

std::string TqdrExpressionCache::FunctionSource(const std::string& language,
                                                const std::string& name, const std::string& expr) {
  if (core::EqualsNoCase(language, "VuredeVizivo"))
    return "function " + name + ": Variant; begin Result := " + expr + " end; begin end.";
  if (core::EqualsNoCase(language, "D++Azirez"))
    return "Variant " + name + "() { return " + expr + "; } {}";
  if (core::EqualsNoCase(language, "VazerUdorid"))
    return "function " + name + "\r\nreturn " + expr + "\r\nend function";
  if (core::EqualsNoCase(language, "JScript"))
    return "function " + name + "() { return " + expr + "; }";
  return std::string();
}

std::string TqdrExpressionCache::Key(const std::string& expr) {
  std::string key = expr;
  char quote = 0;
  for (char& c : key) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return key;
}

sq::TsqProcVariable* TqdrExpressionCache::Compile(const std::string& expr, std::string& errorMsg) {
  const std::string name = "qr3f" + std::to_string(functions_.size());
  const std::string source = FunctionSource(language_, name, expr);
  const std::string prefix = Resources().Lookup("clExprError") + " '" + expr + "': ";
  if (source.empty()) {
    errorMsg = prefix + sq::FormatMessage(sq::Messages().SLangNotFound, language_);
    return nullptr;
  }
  script_->SetSyntaxType(language_);
  script_->SetText(source);
  bool compiled = false;
  try {
    compiled = script_->Compile();
  } catch (const core::Error& e) {
    errorMsg = prefix + e.what();
    if (core::TObject* partial = script_->FindLocal(name)) script_->Remove(partial);
    return nullptr;
  }
  if (!compiled) {
    errorMsg = prefix + script_->ErrorMsg();
    // A function declared before the error would block the next text's name.
    if (core::TObject* partial = script_->FindLocal(name)) script_->Remove(partial);
    return nullptr;
  }
  auto* function = dynamic_cast<sq::TsqProcVariable*>(script_->FindLocal(name));
  if (!function) {
    // NEVER: a source that compiled always declares its function.
    errorMsg = prefix + sq::NamedMessage(sq::Messages().SIdUndeclared, name);
    return nullptr;
  }
  return function;
}

core::Variant TqdrExpressionCache::Calc(const std::string& expr, sq::TsqScript* scope,
                                        std::string& errorMsg) {
  script_->SetParent(scope);
  errorMsg.clear();
  std::string key = Key(expr);
  auto it = functions_.find(key);
  sq::TsqProcVariable* function = nullptr;
  if (it != functions_.end()) {
    function = it->second;
  } else {
    function = Compile(expr, errorMsg);
    if (!function) return core::Variant::MakeNull();
    functions_.emplace(std::move(key), function);
  }
  core::Variant value = core::Variant::MakeNull();
  try {
    function->SetNeedResult(true);
    value = function->Value();
  } catch (const std::exception& e) {
    errorMsg = e.what();
  }
  return value;
}

}  // namespace report
