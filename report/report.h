// TqdrReport: the root of the component tree. Holds the template-level
// properties, the option objects, the dataset/variable/style collections, the
// error list with its display routine, the progress protocol and the settings store.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/collections.h"
#include "report/component.h"
#include "report/options.h"
#include "report/value_lookup.h"

class QSettings;

namespace sq {
class TsqScript;
class TsqCustomVariable;
}  // namespace sq

namespace report {

class TqdrExpressionCache;
class TqdrPage;
class TqdrStringList;
class TqdrXMLSerializer;

// What the report's expressions and script ask of the band engine that runs it.
class TqdrEngineLink {
 public:
  virtual ~TqdrEngineLink() = default;
  // Page, line and start time counters the system variables read.
  virtual TqdrRunCounters RunCounters() const = 0;
  // Current value of an aggregate: `name` is SUM, AVG, MIN, MAX or COUNT,
  // `band` the band named by the call (null: the band being output).
  virtual core::Variant AggregateValue(const std::string& name, const std::string& expr,
                                       core::TObject* band, int flags) = 0;
  // The objects registered in the script as "Engine" and "Outline".
  virtual core::TObject* EngineObject() = 0;
  virtual core::TObject* OutlineObject() = 0;
  // Forgets the objects that listen to every data band row.
  virtual void ClearNotifyList() = 0;
};

// The library's message boxes. report/ has no widgets: the application installs
// an implementation; the default one shows nothing and records the messages.
class TqdrMessageBoxes {
 public:
  virtual ~TqdrMessageBoxes() = default;
  virtual void ErrorBox(const std::string& text, const std::string& caption);
  // Returns the button pressed; the default answers `defaultButton`.
  virtual int ConfirmBox(const std::string& text, const std::string& caption, int buttons);
  std::vector<std::string> Recorded;  // "caption: text" of every box asked for
  int defaultButton = 1;
};
// The installed boxes (never null).
TqdrMessageBoxes& MessageBoxes();
void SetMessageBoxes(std::unique_ptr<TqdrMessageBoxes> boxes);

// A progress window as the engine and printing use it through the report.
class TqdrProgressWindow {
 public:
  virtual ~TqdrProgressWindow() = default;
  virtual void Start(int maximum, const std::string& message, bool showBar, bool showCancel) = 0;
  virtual void SetMessage(const std::string& message) = 0;
  virtual bool Terminated() const = 0;  // Cancel was pressed
};
// The preview control told about preparation (pages count from 0 there).
class TqdrPreviewLink {
 public:
  virtual ~TqdrPreviewLink() = default;
  virtual void PrepareStarted() = 0;
  virtual void PagePrepared(int page) = 0;
  virtual void PrepareEnded() = 0;
  virtual void SetStatusText(const std::string&) {}
};
// Creates the progress windows; installed by the preview layer. Without one no window shows.
void SetProgressWindowFactory(std::function<std::unique_ptr<TqdrProgressWindow>()> factory);

// What a report runs on: its prepared pages store, band engine and preview
// window. The engine library supplies it (report/ has no engine and no widgets).
class TqdrReportRuntime {
 public:
  virtual ~TqdrReportRuntime() = default;
  virtual void ClearPages() = 0;
  // The band engine's preparation; false for initialisation errors or a cancelled dialog.
  virtual bool BuildPages() = 0;
  virtual void ShowPrepared() = 0;
  // Closes the preview window the report opened, if any.
  virtual void ClosePreview() = 0;
};
using TqdrReportRuntimeFactory = std::function<std::unique_ptr<TqdrReportRuntime>(TqdrReport&)>;
void SetReportRuntimeFactory(TqdrReportRuntimeFactory factory);

enum TqdrProgressKind { pkPreparing = 0, pkExporting = 1, pkPrinting = 2 };

class TqdrReport : public TqdrComponent {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrReport(TqdrComponent* owner = nullptr);
  ~TqdrReport() override;
  TqdrReport* AsReport() const override { return const_cast<TqdrReport*>(this); }

  // Published properties.
  const std::string& Version() const { return version_; }
  void SetVersion(const std::string&) { version_ = "3.23.9"; }
  bool DotMatrixReport() const { return dotMatrixReport_; }
  void SetDotMatrixReport(bool v) { dotMatrixReport_ = v; }
  TqdrEngineOptions* EngineOptions() const { return engineOptions_.get(); }
  void SetEngineOptions(TqdrEngineOptions* v) { engineOptions_->Assign(v); }
  const std::string& IniFile() const { return iniFile_; }
  void SetIniFile(const std::string& v) { iniFile_ = v; }
  bool OldStyleProgress() const { return oldStyleProgress_; }
  void SetOldStyleProgress(bool v) { oldStyleProgress_ = v; }
  TqdrPreviewOptions* PreviewOptions() const { return previewOptions_.get(); }
  void SetPreviewOptions(TqdrPreviewOptions* v) { previewOptions_->Assign(v); }
  TqdrPrintOptions* PrintOptions() const { return printOptions_.get(); }
  void SetPrintOptions(TqdrPrintOptions* v) { printOptions_->Assign(v); }
  TqdrReportOptions* ReportOptions() const { return reportOptions_.get(); }
  void SetReportOptions(TqdrReportOptions* v) { reportOptions_->Assign(v); }
  const std::string& ScriptLanguage() const { return scriptLanguage_; }
  void SetScriptLanguage(const std::string& v) { scriptLanguage_ = v; }
  TqdrStringList* ScriptText() const { return scriptText_.get(); }
  void SetScriptText(TqdrStringList* v);
  bool ShowProgress() const { return showProgress_; }
  void SetShowProgress(bool v) { showProgress_ = v; }
  bool StoreInDFM() const { return storeInDFM_; }
  void SetStoreInDFM(bool v) { storeInDFM_ = v; }
  const std::string& OnRunDialogs() const { return onRunDialogs_; }
  void SetOnRunDialogs(const std::string& v) { onRunDialogs_ = v; }
  const std::string& OnStartReport() const { return onStartReport_; }
  void SetOnStartReport(const std::string& v) { onStartReport_ = v; }
  const std::string& OnStopReport() const { return onStopReport_; }
  void SetOnStopReport(const std::string& v) { onStopReport_ = v; }

  TqdrReportDatasets* Datasets() const { return datasets_.get(); }
  TqdrVariables* Variables() const { return variables_.get(); }
  TqdrStyles* Styles() const { return styles_.get(); }
  // Replaces the styles; every memo re-applies its style name.
  void SetStyles(const TqdrStyles& styles);

  // Style file: top element `style` with a Name attribute and one `item` per style.
  void SaveStyles(std::ostream& stream, const std::string& name) const;
  // Replaces the styles with the `item` children of a style file and re-applies them.
  void LoadStyles(std::istream& stream);

  // Pages, objects, collections and options back to an empty template.
  void Clear() override;
  // The template file form (.qr3). LoadFromFile returns whether the file existed.
  bool LoadFromFile(const std::string& fileName, bool raiseIfMissing = false);
  void SaveToFile(const std::string& fileName);
  void LoadFromStream(std::istream& stream) override;
  void SaveToStream(std::ostream& stream, bool saveChildren = true,
                    bool saveDefaultValues = false) override;
  const std::string& FileName() const { return fileName_; }
  // Asks for a template password; false when cancelled. Without one a
  // protected template is refused (the report is emptied).
  std::function<bool(std::string& password)> OnPasswordRequest;

  // Error list: sorted, each message once.
  void AddError(const std::string& text);
  void AddErrors(const std::vector<std::string>& lines);
  void ClearErrors() { errors_.clear(); }
  const std::vector<std::string>& Errors() const { return errors_; }
  // Name of the object being printed; error entries of datasets name it.
  const std::string& CurrentObjectName() const { return currentObjectName_; }
  void SetCurrentObjectName(const std::string& v) { currentObjectName_ = v; }
  std::string ErrorsText() const;  // lines joined by CR LF
  // Shows `text` by NewSilentMode: an error box, nothing, or a raised core::Error.
  void ShowErrorMessage(const std::string& text);
  void ErrorBox(const std::string& text);
  int ConfirmBox(const std::string& text, int buttons);

  // Cancel flag tested by every engine and print loop.
  bool Terminated() const { return terminated_; }
  void SetTerminated(bool v) { terminated_ = v; }
  // Progress protocol; kinds are TqdrProgressKind.
  virtual void ProgressStart(int kind);
  virtual void Progress(int kind, int page);
  virtual void ProgressStop(int kind);
  void ProgressMessage(const std::string& text);
  std::function<void(TqdrReport*, int kind, int page)> OnProgressStart, OnProgress, OnProgressStop;
  // Printing host events: around a print run, and per printed page with its copy number.
  std::function<void(TqdrReport*)> OnPrintReport, OnAfterPrintReport;
  std::function<void(TqdrReport*, TqdrPage* page, int copyNo)> OnPrintPage;
  void SetPreviewLink(TqdrPreviewLink* link) { previewLink_ = link; }
  TqdrPreviewLink* PreviewLink() const { return previewLink_; }
  // Set by the engine: whether it runs, and whether this is the final pass.
  void SetEngineRunning(bool v) { engineRunning_ = v; }
  void SetFinalPass(bool v) { finalPass_ = v; }
  TqdrProgressWindow* ProgressWindow() const { return progressWindow_.get(); }

  // The settings store named by IniFile (the caller owns it).
  std::unique_ptr<QSettings> GetIniFile() const;

  // Connection names: setting ReportOptions.ConnectionName looks the name up
  // under "\Software\Morvane\Connections" of the installation settings through
  // ReadMachineSetting (nullopt: the key cannot be opened) and passes the text
  // (empty when the value is absent) to OnConnection. Both are the application's.
  std::function<std::optional<std::string>(const std::string& key, const std::string& name)>
      ReadMachineSetting;
  std::function<void(const std::string& connectionString)> OnConnection;

  // Resolves names in templates that the report itself does not hold (the
  // components of the form that owns the report).
  std::function<TqdrComponent*(const std::string& name)> OnFindComponent;

  // Running. Prepare fills the prepared pages (errors are listed and shown;
  // false when any occurred); ShowReport prepares into the preview window;
  // ShowPrepared shows what was prepared. Without a runtime (the engine
  // library not installed) Prepare fails with an error line.
  bool Prepare(bool clearPrevious = true);
  void ShowReport(bool clearPrevious = true);
  void ShowPrepared();
  TqdrReportRuntime* Runtime();
  // Host events of a run: around the preparation, per printed object, manual page building.
  std::function<void(TqdrReport*)> OnBeginDoc, OnEndDoc, OnPreview;
  std::function<void(TqdrComponent* sender)> OnBeforePrint, OnAfterPrint;
  std::function<void(TqdrComponent* page)> OnManualBuild;

  // Expression context. Calc evaluates `expr` with names resolved in `script`
  // (null: the main script): field references, system variables, application
  // and report values first, then the compiled expression. Errors are added to
  // the error list and raised.
  core::Variant Calc(const std::string& expr, sq::TsqScript* script = nullptr);
  // The value lookup that needs no compiling; false when nothing resolves `name`.
  bool LookupValue(const std::string& name, core::Variant& value) const;
  // Registers the objects and host functions and compiles ScriptText; false
  // (with the error listed) when the script does not compile.
  bool PrepareScript();
  sq::TsqScript* Script() const { return script_.get(); }
  TqdrExpressionCache* ExpressionCache() const { return expressionCache_.get(); }
  // The script variable "Value" that memos set to their current value.
  void SetScriptValue(const core::Variant& value);
  // Host functions of the script: Get resolves a name (null and an error line
  // when nothing does); Set stores a report variable.
  core::Variant GetVariable(const std::string& name);
  void SetVariable(const std::string& name, const core::Variant& value);
  // Application values asked for by name; a value left empty supplies nothing.
  TqdrGetValueFunction OnGetValue;
  void SetEngineLink(TqdrEngineLink* engine) { engineLink_ = engine; }
  TqdrEngineLink* EngineLink() const { return engineLink_; }

  TqdrXMLSerializer* ActiveSerializer() const { return activeSerializer_; }
  void SetActiveSerializer(TqdrXMLSerializer* s) { activeSerializer_ = s; }

  bool HasStoredData() const override { return true; }
  void WriteStoredData(TqdrPropWriter& writer, TqdrXMLSerializer& serializer) const override;
  bool ReadStoredEntry(const std::string& name, TqdrPropReader& reader,
                       TqdrXMLSerializer& serializer) override;
  std::string GetDescription() const override;

  // Every ReportOptions.Password character lowered by 10 (Scramble) or raised (Unscramble).
  static std::string ScramblePassword(const std::string& s, int delta);

 private:
  void ResetOptions();
  void ProcessMessages();
  core::Variant CallMacro(const std::string& name, const core::Variant& args);
  core::Variant CalcArgument(const std::string& text);

  std::string version_ = "3.23.9";
  bool dotMatrixReport_ = false;
  std::unique_ptr<TqdrEngineOptions> engineOptions_;
  std::string iniFile_ = "\\Software\\Morvane";
  bool oldStyleProgress_ = false;
  std::unique_ptr<TqdrPreviewOptions> previewOptions_;
  std::unique_ptr<TqdrPrintOptions> printOptions_;
  std::unique_ptr<TqdrReportOptions> reportOptions_;
  std::string scriptLanguage_ = "VuredeVizivo";
  std::unique_ptr<TqdrStringList> scriptText_;
  bool showProgress_ = true, storeInDFM_ = true;
  std::string onRunDialogs_, onStartReport_, onStopReport_;
  std::unique_ptr<TqdrReportDatasets> datasets_;
  std::unique_ptr<TqdrVariables> variables_;
  std::unique_ptr<TqdrStyles> styles_;
  std::vector<std::string> errors_;
  std::string currentObjectName_;
  bool terminated_ = false;
  bool engineRunning_ = false, finalPass_ = true;
  TqdrPreviewLink* previewLink_ = nullptr;
  std::unique_ptr<TqdrProgressWindow> progressWindow_;
  std::string fileName_;
  TqdrXMLSerializer* activeSerializer_ = nullptr;
  std::unique_ptr<TqdrReportRuntime> runtime_;
  bool restoring_ = false;  // reloading the template after a run
  std::unique_ptr<sq::TsqScript> script_;
  std::unique_ptr<TqdrExpressionCache> expressionCache_;
  sq::TsqCustomVariable* valueVariable_ = nullptr;
  TqdrEngineLink* engineLink_ = nullptr;
};

// Registers every class a template may name (safe to call repeatedly).
void RegisterReportClasses();

}  // namespace report
