// TsqScript: holds a program — its source lines, the items it can name, the
// compiled main program and the state of a run. Scripts chain through a
// parent link: a name not found here is looked up in the parent, so a host
// keeps shared items in one script and compiles small programs in children.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/variant.h"
#include "script/helpers.h"
#include "script/item_list.h"
#include "script/type_kind.h"

namespace core {
class ClassInfo;
}

namespace sq {

class TsqCustomVariable;
class TsqClassVariable;
class TsqMethodHelper;
class TsqProcVariable;
class TsqRTTIModule;
class TsqScript;
class TsqStatementList;

using TsqGetUnitEvent =
    std::function<void(TsqScript& sender, const std::string& unitName, std::string& unitText)>;
using TsqRunLineEvent = std::function<void(TsqScript& sender, const std::string& unitName,
                                           const std::string& sourcePos)>;

// Owner stamp of the items the runtime library modules add.
const void* RuntimeLibraryOwner();

// Turns a script's Lines into items and statements. The grammar-driven
// compiler registers itself with SetScriptCompiler; TsqScript::Compile calls it.
class TsqScriptCompiler {
 public:
  virtual ~TsqScriptCompiler() = default;
  // Compiles script.Lines() in the language `syntaxType`. Compile errors are
  // raised as TsqCompileError (or left through TsqScript::SetError); an
  // unknown language or a broken grammar raise core::Error.
  virtual void CompileScript(TsqScript& script, const std::string& syntaxType) = 0;
};
void SetScriptCompiler(std::unique_ptr<TsqScriptCompiler> compiler);
TsqScriptCompiler* ScriptCompiler();

class TsqScript : public core::TObject {
 public:
  explicit TsqScript(TsqScript* parent = nullptr);
  ~TsqScript() override;
  TsqScript(const TsqScript&) = delete;
  TsqScript& operator=(const TsqScript&) = delete;

  // Published properties.
  const std::vector<std::string>& Lines() const { return lines_; }
  void SetLines(std::vector<std::string> lines) { lines_ = std::move(lines); }
  // The lines joined with CR LF, as the lexer reads them.
  std::string Text() const;
  void SetText(std::string_view text);
  const std::string& SyntaxType() const { return syntaxType_; }
  void SetSyntaxType(std::string_view s) { syntaxType_ = std::string(s); }
  TsqGetUnitEvent OnGetUnit;
  TsqGetUnitEvent OnGetILUnit;
  TsqRunLineEvent OnRunLine;

  TsqScript* Parent() const { return parent_; }
  void SetParent(TsqScript* p) { parent_ = p; }
  TsqScript* RunningScope() const { return runningScope_; }
  void SetRunningScope(TsqScript* s) { runningScope_ = s; }
  bool TracksRunningScope() const { return tracksRunningScope_; }
  void SetTracksRunningScope(bool v) { tracksRunningScope_ = v; }
  bool ExtendedIdentChars() const { return extendedIdentChars_; }
  void SetExtendedIdentChars(bool v) { extendedIdentChars_ = v; }
  const void* AddedBy() const { return addedBy_; }
  void SetAddedBy(const void* owner) { addedBy_ = owner; }
  bool RTTIAdded() const { return rttiAdded_; }

  // Result of the last compilation.
  const std::string& ErrorMsg() const { return errorMsg_; }
  const std::string& ErrorPos() const { return errorPos_; }
  const std::string& ErrorUnit() const { return errorUnit_; }
  // Records a compile error unless one is recorded already.
  void SetError(std::string_view msg, std::string_view pos, std::string_view unit = {});
  void SetErrorUnit(std::string_view unit) { errorUnit_ = std::string(unit); }

  // Items, case-insensitive; the item added last under a name wins.
  void Add(std::string_view name, std::unique_ptr<core::TObject> item);
  // Lists an item this script does not own (a procedure's parameters).
  void AddReference(std::string_view name, core::TObject* item);
  // Takes the item out without freeing it (ownership passes to the caller).
  std::unique_ptr<core::TObject> Remove(core::TObject* item);
  int Count() const { return static_cast<int>(items_.size()); }
  core::TObject* Items(int i) const { return items_[static_cast<size_t>(i)].object; }
  const std::string& ItemName(int i) const { return items_[static_cast<size_t>(i)].name; }
  TsqCustomVariable* FindLocal(std::string_view name) const;
  TsqCustomVariable* Find(std::string_view name) const;
  TsqClassVariable* FindClass(std::string_view name) const;

  void AddType(std::string_view name, TsqTypeKind kind);
  // Null when the class name is already known (nothing is added then).
  TsqClassVariable* AddClass(const core::ClassInfo* classRef, std::string_view ancestor);
  void AddConst(std::string_view name, std::string_view typeName, const core::Variant& value);
  void AddEnum(std::string_view typeName, std::string_view names);
  void AddEnumSet(std::string_view typeName, std::string_view names);
  TsqMethodHelper* AddMethod(std::string_view declaration, TsqCallMethodEvent callback,
                             std::string_view category = {}, std::string_view description = {});
  TsqMethodHelper* AddMethod(std::string_view declaration, TsqHelperMethodEvent callback,
                             std::string_view category = {}, std::string_view description = {});
  void AddObject(std::string_view name, core::TObject* object);
  void AddVariable(std::string_view name, std::string_view typeName, const core::Variant& value);
  void SetVariable(std::string_view name, const core::Variant& value);

  void AddRTTI();
  void RemoveRTTI();
  void Clear();
  void ClearItems(const void* owner);

  // The compiled main program.
  TsqStatementList& Statement() { return *statement_; }

  bool Compile();
  void Execute();
  void Terminate();
  core::Variant Evaluate(std::string_view expression);
  core::Variant CallFunction(std::string_view name, const core::Variant& args);
  core::Variant CallFunctionVar(std::string_view name, core::Variant& args);
  void RunLine(const std::string& unitName, const std::string& position);
  void AddCodeLine(std::string_view unitName, std::string_view position);
  bool IsExecutableLine(int line, std::string_view unitName = {}) const;
  // Per unit name, the comma list of line numbers holding statements.
  const std::map<std::string, std::string>& ExecutableLines() const { return executableLines_; }

  // Run flags.
  bool BreakRequested() const { return break_; }
  void SetBreakRequested(bool v) { break_ = v; }
  bool ContinueRequested() const { return continue_; }
  void SetContinueRequested(bool v) { continue_ = v; }
  bool ExitRequested() const { return exit_; }
  void SetExitRequested(bool v) { exit_ = v; }
  bool Terminated() const { return terminated_; }
  void SetTerminated(bool v) { terminated_ = v; }
  bool Running() const { return running_; }

 private:
  struct Entry {
    std::string name;
    core::TObject* object = nullptr;
    std::unique_ptr<core::TObject> owned;
    const void* addedBy = nullptr;
  };
  void Reindex();
  void FreeItemsIf(const std::function<bool(const Entry&)>& pred);
  TsqMethodHelper* AddMethodHelper(std::unique_ptr<TsqMethodHelper> helper,
                                   std::string_view declaration, std::string_view category,
                                   std::string_view description);

  std::vector<std::string> lines_;
  std::string syntaxType_ = "VuredeVizivo";
  TsqScript* parent_;
  TsqScript* runningScope_ = nullptr;
  std::vector<Entry> items_;
  // Upper-cased name -> items in the order added (the last wins).
  std::unordered_map<std::string, std::vector<TsqCustomVariable*>> index_;
  std::vector<std::unique_ptr<TsqRTTIModule>> modules_;
  std::unique_ptr<TsqStatementList> statement_;
  std::map<std::string, std::string> executableLines_;
  std::string errorMsg_, errorPos_, errorUnit_;
  const void* addedBy_ = nullptr;
  bool extendedIdentChars_ = false;
  bool tracksRunningScope_ = false;
  bool rttiAdded_ = false;
  bool break_ = false, continue_ = false, exit_ = false, terminated_ = false, running_ = false;
};

}  // namespace sq
