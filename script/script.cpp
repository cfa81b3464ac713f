// TsqScript: item registration and lookup, clearing by owner, compiling
// through the registered compiler, running and calling procedures.
#include "script/script.h"

#include <algorithm>

#include "core/error.h"
#include "core/reflection.h"
#include "core/text_util.h"
#include "script/class_variable.h"
#include "script/il_parser.h"
#include "script/compile_error.h"
#include "script/messages.h"
#include "script/proc_variable.h"
#include "script/rtti_module.h"
#include "script/statement.h"
#include "script/variables.h"

namespace sq {

namespace {

const char kRuntimeLibraryOwner = 0;

std::unique_ptr<TsqScriptCompiler>& CompilerSlot() {
  static std::unique_ptr<TsqScriptCompiler> compiler;
  return compiler;
}

std::vector<std::string> SplitCommaList(std::string_view names) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= names.size()) {
    size_t comma = names.find(',', start);
    std::string_view item = names.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    item = core::TrimView(item);
    if (!item.empty()) out.emplace_back(item);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return out;
}

}  // namespace

const void* RuntimeLibraryOwner() {
  return &kRuntimeLibraryOwner;
}

void SetScriptCompiler(std::unique_ptr<TsqScriptCompiler> compiler) {
  CompilerSlot() = std::move(compiler);
}

TsqScriptCompiler* ScriptCompiler() {
  return CompilerSlot().get();
}

TsqScript::TsqScript(TsqScript* parent)
    : parent_(parent), statement_(std::make_unique<TsqStatementList>(this)) {}

TsqScript::~TsqScript() {
  // Statements refer to items and items to earlier items: free in reverse.
  statement_.reset();
  while (!items_.empty()) items_.pop_back();
  while (!modules_.empty()) modules_.pop_back();
}

std::string TsqScript::Text() const {
  std::string text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) text += "\r\n";
    text += lines_[i];
  }
  return text;
}

void TsqScript::SetText(std::string_view text) {
  lines_.clear();
  size_t start = 0;
  while (start <= text.size()) {
    size_t lf = text.find('\n', start);
    std::string_view line =
        text.substr(start, lf == std::string_view::npos ? std::string_view::npos : lf - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
}

void TsqScript::SetError(std::string_view msg, std::string_view pos, std::string_view unit) {
  if (!errorMsg_.empty()) return;
  errorMsg_ = std::string(msg);
  errorPos_ = std::string(pos);
  if (!unit.empty()) errorUnit_ = std::string(unit);
}

// ---------------------------------------------------------------------------
// Items.

void TsqScript::Add(std::string_view name, std::unique_ptr<core::TObject> item) {
  Entry e;
  e.name = std::string(name);
  e.object = item.get();
  e.owned = std::move(item);
  e.addedBy = addedBy_;
  if (auto* v = dynamic_cast<TsqCustomVariable*>(e.object)) {
    v->SetAddedBy(addedBy_);
    index_[core::UpperCase(name)].push_back(v);
  }
  items_.push_back(std::move(e));
}

void TsqScript::AddReference(std::string_view name, core::TObject* item) {
  Entry e;
  e.name = std::string(name);
  e.object = item;
  e.addedBy = addedBy_;
  if (auto* v = dynamic_cast<TsqCustomVariable*>(item)) index_[core::UpperCase(name)].push_back(v);
  items_.push_back(std::move(e));
}

std::unique_ptr<core::TObject> TsqScript::Remove(core::TObject* item) {
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (it->object != item) continue;
    std::unique_ptr<core::TObject> owned = std::move(it->owned);
    items_.erase(it);
    Reindex();
    return owned;
  }
  return nullptr;
}

void TsqScript::Reindex() {
  index_.clear();
  for (const Entry& e : items_)
    if (auto* v = dynamic_cast<TsqCustomVariable*>(e.object))
      index_[core::UpperCase(e.name)].push_back(v);
}

TsqCustomVariable* TsqScript::FindLocal(std::string_view name) const {
  auto it = index_.find(core::UpperCase(name));
  if (it == index_.end() || it->second.empty()) return nullptr;
  return it->second.back();
}

TsqCustomVariable* TsqScript::Find(std::string_view name) const {
  for (const TsqScript* s = this; s; s = s->parent_)
    if (TsqCustomVariable* v = s->FindLocal(name)) return v;
  return nullptr;
}

TsqClassVariable* TsqScript::FindClass(std::string_view name) const {
  return dynamic_cast<TsqClassVariable*>(Find(name));
}

void TsqScript::AddType(std::string_view name, TsqTypeKind kind) {
  if (Find(name)) return;
  Add(name, std::make_unique<TsqTypeVariable>(name, kind));
}

TsqClassVariable* TsqScript::AddClass(const core::ClassInfo* classRef, std::string_view ancestor) {
  if (!classRef) return nullptr;
  if (TsqCustomVariable* found = Find(classRef->Name()))
    return dynamic_cast<TsqClassVariable*>(found);
  auto cls = std::make_unique<TsqClassVariable>(classRef->Name(), classRef, ancestor, this);
  TsqClassVariable* raw = cls.get();
  if (TsqClassVariable* anc = FindClass(ancestor); anc && !raw->DefaultProperty())
    raw->SetDefaultProperty(anc->DefaultProperty());
  Add(classRef->Name(), std::move(cls));
  return raw;
}

void TsqScript::AddConst(std::string_view name, std::string_view typeName,
                         const core::Variant& value) {
  if (Find(name)) return;
  auto c = std::make_unique<TsqVariable>(name, KindOfTypeName(this, typeName), typeName);
  c->SetValue(value);
  c->SetIsReadOnly(true);
  Add(name, std::move(c));
}

void TsqScript::AddEnum(std::string_view typeName, std::string_view names) {
  if (!Find(typeName)) Add(typeName, std::make_unique<TsqTypeVariable>(typeName, stEnum));
  int32_t value = 0;
  for (const std::string& n : SplitCommaList(names)) {
    auto c = std::make_unique<TsqVariable>(n, stEnum, typeName);
    c->SetValue(core::Variant(value++));
    c->SetIsReadOnly(true);
    Add(n, std::move(c));
  }
}

void TsqScript::AddEnumSet(std::string_view typeName, std::string_view names) {
  if (!Find(typeName)) Add(typeName, std::make_unique<TsqTypeVariable>(typeName, stEnum));
  uint32_t bit = 1;
  for (const std::string& n : SplitCommaList(names)) {
    auto c = std::make_unique<TsqVariable>(n, stEnum, typeName);
    c->SetValue(core::Variant(static_cast<int32_t>(bit)));
    bit <<= 1;
    c->SetIsReadOnly(true);
    Add(n, std::move(c));
  }
}

TsqMethodHelper* TsqScript::AddMethodHelper(std::unique_ptr<TsqMethodHelper> helper,
                                            std::string_view declaration, std::string_view category,
                                            std::string_view description) {
  ParseMethodDeclaration(declaration, this, *helper);
  helper->SetCategory(category);
  helper->SetDescription(description.empty() ? std::string_view(helper->Name()) : description);
  TsqMethodHelper* raw = helper.get();
  std::string name = raw->Name();
  Add(name, std::move(helper));
  return raw;
}

TsqMethodHelper* TsqScript::AddMethod(std::string_view declaration, TsqCallMethodEvent callback,
                                      std::string_view category, std::string_view description) {
  return AddMethodHelper(std::make_unique<TsqMethodHelper>(std::move(callback), nullptr),
                         declaration, category, description);
}

TsqMethodHelper* TsqScript::AddMethod(std::string_view declaration, TsqHelperMethodEvent callback,
                                      std::string_view category, std::string_view description) {
  return AddMethodHelper(std::make_unique<TsqMethodHelper>(std::move(callback), nullptr),
                         declaration, category, description);
}

void TsqScript::AddObject(std::string_view name, core::TObject* object) {
  const core::ClassInfo* info = object ? object->ClassType() : nullptr;
  AddVariable(name, info ? std::string_view(info->Name()) : std::string_view("TObject"),
              object ? core::Variant(object) : core::Variant(int32_t{0}));
}

void TsqScript::AddVariable(std::string_view name, std::string_view typeName,
                            const core::Variant& value) {
  if (Find(name)) return;
  auto v = std::make_unique<TsqVariable>(name, KindOfTypeName(this, typeName), typeName);
  v->SetValue(value);
  Add(name, std::move(v));
}

void TsqScript::SetVariable(std::string_view name, const core::Variant& value) {
  if (TsqCustomVariable* v = Find(name)) {
    v->SetValue(value);
    return;
  }
  AddVariable(name, "Variant", value);
}

// ---------------------------------------------------------------------------
// Runtime library and clearing.

void TsqScript::AddRTTI() {
  if (rttiAdded_) return;
  rttiAdded_ = true;
  const void* saved = addedBy_;
  addedBy_ = RuntimeLibraryOwner();
  try {
    for (TsqRTTIModuleFactory factory : RTTIModules()) modules_.push_back(factory(*this));
  } catch (...) {
    addedBy_ = saved;
    throw;
  }
  addedBy_ = saved;
}

void TsqScript::FreeItemsIf(const std::function<bool(const Entry&)>& pred) {
  std::vector<std::unique_ptr<core::TObject>> doomed;
  std::vector<Entry> kept;
  kept.reserve(items_.size());
  for (Entry& e : items_) {
    if (pred(e))
      doomed.push_back(std::move(e.owned));
    else
      kept.push_back(std::move(e));
  }
  items_ = std::move(kept);
  Reindex();
  while (!doomed.empty()) doomed.pop_back();
}

void TsqScript::RemoveRTTI() {
  statement_->Clear();
  FreeItemsIf([](const Entry& e) { return e.addedBy == RuntimeLibraryOwner(); });
  while (!modules_.empty()) modules_.pop_back();
  rttiAdded_ = false;
}

void TsqScript::Clear() {
  statement_->Clear();
  FreeItemsIf([](const Entry& e) {
    return e.addedBy != RuntimeLibraryOwner() && !dynamic_cast<TsqRTTIModule*>(e.object);
  });
  executableLines_.clear();
  errorMsg_.clear();
  errorPos_.clear();
  errorUnit_.clear();
}

void TsqScript::ClearItems(const void* owner) {
  statement_->Clear();
  FreeItemsIf([owner](const Entry& e) { return e.addedBy == owner; });
  executableLines_.clear();
}

// ---------------------------------------------------------------------------
// Compiling and running.

bool TsqScript::Compile() {
  errorMsg_.clear();
  errorUnit_.clear();
  TsqScriptCompiler* compiler = ScriptCompiler();
  if (!compiler) compiler = &ILScriptCompiler();
  try {
    compiler->CompileScript(*this, syntaxType_);
  } catch (const TsqCompileError& e) {
    SetError(e.what(), e.Position());
  }
  if (errorMsg_.empty()) {
    errorPos_.clear();
    return true;
  }
  return false;
}

void TsqScript::Execute() {
  exit_ = terminated_ = false;
  running_ = true;
  tracksRunningScope_ = true;
  struct Reset {
    TsqScript* s;
    ~Reset() { s->exit_ = s->terminated_ = s->running_ = false; }
  } reset{this};
  statement_->Execute();
}

void TsqScript::Terminate() {
  exit_ = terminated_ = true;
  for (const Entry& e : items_)
    if (auto* proc = dynamic_cast<TsqProcVariable*>(e.object)) proc->LocalScript().Terminate();
}

core::Variant TsqScript::Evaluate(std::string_view expression) {
  TsqScript fresh(runningScope_ ? runningScope_ : this);
  fresh.AddRTTI();
  TsqRunLineEvent suspended = std::move(OnRunLine);
  OnRunLine = nullptr;
  struct Resume {
    TsqScript* s;
    TsqRunLineEvent& saved;
    ~Resume() { s->OnRunLine = std::move(saved); }
  } resume{this, suspended};
  fresh.SetSyntaxType("VuredeVizivo");
  fresh.SetLines(
      {"function __f__: Variant; begin Result := " + std::string(expression) + " end; begin end."});
  if (!fresh.Compile()) return core::Variant(fresh.ErrorMsg());
  return fresh.CallFunction("__f__", core::Variant::MakeNull());
}

core::Variant TsqScript::CallFunction(std::string_view name, const core::Variant& args) {
  auto* proc = dynamic_cast<TsqProcVariable*>(FindLocal(name));
  if (!proc) return core::Variant::MakeNull();
  if (args.IsArray()) {
    const auto& items = args.RawArray().items;
    for (size_t i = 0; i < items.size() && static_cast<int>(i) < proc->ParamCount(); ++i)
      proc->Params(static_cast<int>(i))->SetValue(items[i]);
  }
  proc->SetNeedResult(true);
  return proc->Value();
}

core::Variant TsqScript::CallFunctionVar(std::string_view name, core::Variant& args) {
  auto* proc = dynamic_cast<TsqProcVariable*>(FindLocal(name));
  if (!proc) return core::Variant::MakeNull();
  core::Variant result = CallFunction(name, args);
  if (args.IsArray()) {
    auto& items = args.MutableArray().items;
    for (size_t i = 0; i < items.size() && static_cast<int>(i) < proc->ParamCount(); ++i)
      items[i] = proc->Params(static_cast<int>(i))->Value();
  }
  return result;
}

void TsqScript::RunLine(const std::string& unitName, const std::string& position) {
  for (TsqScript* s = this; s; s = s->parent_) {
    if (s->OnRunLine) {
      s->OnRunLine(*this, unitName, position);
      return;
    }
  }
}

void TsqScript::AddCodeLine(std::string_view unitName, std::string_view position) {
  std::string line(position.substr(0, position.find(':')));
  std::string& list = executableLines_[std::string(unitName)];
  if (IsExecutableLine(std::atoi(line.c_str()), unitName)) return;
  if (!list.empty()) list += ',';
  list += line;
}

bool TsqScript::IsExecutableLine(int line, std::string_view unitName) const {
  auto it = executableLines_.find(std::string(unitName));
  if (it == executableLines_.end()) return false;
  for (const std::string& n : SplitCommaList(it->second))
    if (std::atoi(n.c_str()) == line) return true;
  return false;
}

}  // namespace sq
