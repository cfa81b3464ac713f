// The report's expression context: Calc with its value lookup order, the
// script preparation before every run, and the host functions scripts call
// back (Get, Set, IIF and the aggregate macros).
#include <cctype>

#include "core/error.h"
#include "core/text_util.h"
#include "core/variant_ops.h"
#include "report/component.h"
#include "report/expression_cache.h"
#include "report/report_module.h"
#include "report/report.h"
#include "report/resources.h"
#include "report/view.h"
#include "script/helpers.h"
#include "script/messages.h"
#include "script/script.h"
#include "script/variables.h"

namespace report {
namespace {

// Switches the main script's running-scope tracking off for the lifetime of
// the guard, and back on afterwards (also when an error travels through).
class TrackingOff {
 public:
  explicit TrackingOff(sq::TsqScript& s) : s_(s) { s_.SetTracksRunningScope(false); }
  ~TrackingOff() { s_.SetTracksRunningScope(true); }

 private:
  sq::TsqScript& s_;
};

bool IsBlank(const std::string& s) {
  for (unsigned char c : s)
    if (c > ' ') return false;
  return true;
}

std::string UpperTrimmedBefore(const std::string& s, char stop) {
  std::string head = s.substr(0, s.find(stop));
  size_t b = 0, e = head.size();
  while (b < e && static_cast<unsigned char>(head[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(head[e - 1]) <= ' ') --e;
  head = head.substr(b, e - b);
  for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return head;
}

}  // namespace

bool TqdrReport::LookupValue(const std::string& name, core::Variant& value) const {
  const TqdrRunCounters counters = engineLink_ ? engineLink_->RunCounters() : TqdrRunCounters{};
  if (report::LookupValue(*this, counters, OnGetValue, name, value)) return true;
  if (sq::TsqCustomVariable* v = script_->FindLocal(name); v && dynamic_cast<sq::TsqVariable*>(v)) {
    value = v->Value();
    return true;
  }
  return false;
}

core::Variant TqdrReport::Calc(const std::string& expr, sq::TsqScript* script) {
  if (!script) script = script_.get();
  core::Variant value;
  if (LookupValue(expr, value)) return value;
  std::string error;
  {
    TrackingOff off(*script_);
    value = expressionCache_->Calc(expr, script, error);
  }
  if (error.empty()) return value;
  // A nested Calc (an IIF branch) has named the object already.
  const std::string prefix = currentObjectName_ + ": ";
  if (!currentObjectName_.empty() && error.compare(0, prefix.size(), prefix) != 0)
    error = prefix + error;
  AddError(error);
  throw core::Error(error);
}

void TqdrReport::SetScriptValue(const core::Variant& value) {
  if (valueVariable_) valueVariable_->SetValue(value);
}

core::Variant TqdrReport::GetVariable(const std::string& name) {
  core::Variant value;
  if (LookupValue(name, value)) return value;
  if (name.find('(') != std::string::npos) {
    const std::string head = UpperTrimmedBefore(name, '(');
    if (head == "SUM" || head == "MIN" || head == "MAX" || head == "AVG" || head == "COUNT")
      return Calc(name);
  }
  AddError(Resources().Lookup("clUnknownVar") + " " + name);
  return core::Variant::MakeNull();
}

void TqdrReport::SetVariable(const std::string& name, const core::Variant& value) {
  variables_->SetVariables(name, value);
}

core::Variant TqdrReport::CalcArgument(const std::string& text) {
  if (IsBlank(text)) return core::Variant(int32_t{0});
  return Calc(text, script_->RunningScope());
}

core::Variant TqdrReport::CallMacro(const std::string& name, const core::Variant& args) {
  const auto& a = args.RawArray().items;
  auto text = [&a](size_t i) { return i < a.size() ? a[i].ToString() : std::string(); };
  if (name == "IIF") {
    sq::TsqScript* scope = script_->RunningScope();
    core::Variant condition = Calc(text(0), scope);
    bool chosen = false;
    try {
      chosen = core::VarEquals(condition, core::Variant(true));
    } catch (const core::Error&) {
      // A condition that cannot compare with true (a text, say) is not true.
    }
    return Calc(chosen ? text(1) : text(2), scope);
  }
  const bool count = name == "COUNT";
  const size_t first = count ? 0 : 1;
  const core::Variant bandArg = CalcArgument(text(first));
  const int flags = CalcArgument(text(first + 1)).ToInt32();
  // A band is named by its object; 0 (or anything not an object) means none.
  core::TObject* band = sq::ObjectOf(bandArg);
  if (!engineLink_) return core::Variant::MakeNull();
  return engineLink_->AggregateValue(name, count ? std::string() : text(0), band, flags);
}

bool TqdrReport::PrepareScript() {
  expressionCache_->Clear();
  expressionCache_->SetScriptLanguage(scriptLanguage_);
  if (engineLink_) engineLink_->ClearNotifyList();
  RegisterReportScriptModules();
  if (!script_->RTTIAdded()) {
    script_->SetExtendedIdentChars(true);
    script_->AddRTTI();
  }
  script_->ClearItems(this);
  script_->SetAddedBy(this);
  script_->SetTracksRunningScope(true);
  struct Unstamp {
    sq::TsqScript& s;
    ~Unstamp() { s.SetAddedBy(nullptr); }
  } unstamp{*script_};

  for (TqdrComponent* c : AllObjects()) {
    c->SetDesigning(false);
    c->BeforeStartReport();
    if (auto* picture = dynamic_cast<TqdrPictureView*>(c)) picture->ResetPictureChanged();
    script_->AddObject(c->Name(), c);
  }
  script_->AddObject("Report", this);
  if (engineLink_) {
    if (core::TObject* engine = engineLink_->EngineObject()) script_->AddObject("Engine", engine);
    if (core::TObject* outline = engineLink_->OutlineObject())
      script_->AddObject("Outline", outline);
  }
  script_->AddVariable("Value", "Variant", core::Variant::MakeNull());
  script_->AddMethod("function Get(Name: String): Variant",
                     sq::TsqCallMethodEvent([this](core::TObject*, const core::ClassInfo*,
                                                   const std::string&, core::Variant& args) {
                       return GetVariable(args.RawArray().items[0].ToString());
                     }));
  script_->AddMethod("procedure Set(Name: String; Value: Variant)",
                     sq::TsqCallMethodEvent([this](core::TObject*, const core::ClassInfo*,
                                                   const std::string&, core::Variant& args) {
                       const auto& a = args.RawArray().items;
                       SetVariable(a[0].ToString(), a[1]);
                       return core::Variant::MakeNull();
                     }));
  const sq::TsqCallMethodEvent macro = [this](core::TObject*, const core::ClassInfo*,
                                              const std::string& name, core::Variant& args) {
    return CallMacro(name, args);
  };
  for (const char* declaration :
       {"macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
        "macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "macrofunction AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "macrofunction MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "macrofunction MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant"})
    script_->AddMethod(declaration, macro);
  valueVariable_ = script_->FindLocal("Value");

  script_->SetLines(scriptText_->Lines());
  script_->SetSyntaxType(scriptLanguage_);
  bool compiled = false;
  std::string message;
  try {
    compiled = script_->Compile();
    message = script_->ErrorMsg();
  } catch (const core::Error& e) {
    message = e.what();
  }
  if (compiled) return true;
  AddError(sq::FormatMessage(
      sq::FormatMessage(Resources().Lookup("clScrError"), script_->ErrorPos()), message));
  return false;
}

}  // namespace report
