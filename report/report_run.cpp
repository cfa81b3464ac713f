// Running a report: preparation with the template restored afterwards,
// showing it in the preview, and the runtime (store, engine, preview) that
// the engine library installs.
#include <QTimer>
#include <sstream>

#include "core/error.h"
#include "report/collections.h"
#include "report/options.h"
#include "report/report.h"
#include "report/resources.h"
#include "script/messages.h"
#include "script/script.h"
#include "script/statement.h"

namespace report {
namespace {

TqdrReportRuntimeFactory& RuntimeFactory() {
  static TqdrReportRuntimeFactory factory;
  return factory;
}

}  // namespace

void SetReportRuntimeFactory(TqdrReportRuntimeFactory factory) {
  RuntimeFactory() = std::move(factory);
}

TqdrReportRuntime* TqdrReport::Runtime() {
  if (!runtime_ && RuntimeFactory()) runtime_ = RuntimeFactory()(*this);
  return runtime_.get();
}

bool TqdrReport::Prepare(bool clearPrevious) {
  TqdrReportRuntime* runtime = Runtime();
  if (clearPrevious && runtime) runtime->ClearPages();
  ClearErrors();
  terminated_ = false;
  bool result = false;
  for (int i = 0; i < datasets_->Count(); ++i) {
    TqdrDatasetItem* item = datasets_->Items(i);
    if (!item->DataSet())
      AddError(sq::FormatMessage(Resources().Lookup("clDSNotExist"), item->DataSetName()));
  }
  if (!runtime) AddError("No report engine is installed");
  if (errors_.empty()) {
    const bool restore = engineOptions_->RestoreAfterRun();
    std::stringstream saved;
    if (restore) SaveToStream(saved, true, false);
    try {
      if (OnBeginDoc) OnBeginDoc(this);
      if (PrepareScript()) {
        if (script_->Statement().Count() > 0) script_->Execute();
        if (runtime->BuildPages()) {
          if (OnEndDoc) OnEndDoc(this);
          result = true;
        } else {
          runtime->ClosePreview();
        }
      }
    } catch (const std::exception& e) {
      AddError(e.what());
    }
    if (restore) {
      const std::vector<std::string> errors = errors_;
      restoring_ = true;
      try {
        LoadFromStream(saved);
      } catch (const std::exception& e) {
        AddError(e.what());
      }
      restoring_ = false;
      for (const std::string& e : errors) AddError(e);
    }
  }
  if (!errors_.empty()) {
    result = false;
    ShowErrorMessage(Resources().Lookup("clErrors") + "\r\n" + ErrorsText());
  }
  return result;
}

void TqdrReport::ShowReport(bool clearPrevious) {
  TqdrReportRuntime* runtime = Runtime();
  if (clearPrevious && runtime) runtime->ClearPages();
  if (!oldStyleProgress_) {
    // Prepared from the preview's own event loop, so the window fills page by page.
    QTimer::singleShot(50, [this] { Prepare(false); });
    ShowPrepared();
    return;
  }
  if (Prepare(false)) ShowPrepared();
}

void TqdrReport::ShowPrepared() {
  if (TqdrReportRuntime* runtime = Runtime()) runtime->ShowPrepared();
}

}  // namespace report
