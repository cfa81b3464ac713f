// The report runtime: store, engine and preview hooks behind the report's
// Prepare / ShowReport / ShowPrepared.
#include "engine/report_runtime.h"

#include <memory>

#include "engine/engine.h"
#include "engine/preview_pages.h"
#include "report/page.h"
#include "report/report.h"

namespace engine {
namespace {

TqdrPreviewHooks& Hooks() {
  static TqdrPreviewHooks hooks;
  return hooks;
}

class ReportRuntime final : public report::TqdrReportRuntime {
 public:
  explicit ReportRuntime(report::TqdrReport& report)
      : report_(report), pages_(&report), engine_(report, pages_) {
    engine_.OnBeforePrint = [this](report::TqdrComponent* c) {
      if (report_.OnBeforePrint) report_.OnBeforePrint(c);
    };
    engine_.OnAfterPrint = [this](report::TqdrComponent* c) {
      if (report_.OnAfterPrint) report_.OnAfterPrint(c);
    };
  }
  void ClearPages() override { pages_.ClearAll(); }
  bool BuildPages() override {
    if (report_.OnManualBuild)
      engine_.OnManualBuild = [this](report::TqdrReportPage* page) { report_.OnManualBuild(page); };
    else
      engine_.OnManualBuild = nullptr;
    return engine_.BuildPages();
  }
  void ShowPrepared() override {
    if (report_.OnPreview) report_.OnPreview(&report_);
    if (Hooks().show) Hooks().show(report_, pages_);
  }
  void ClosePreview() override {
    if (Hooks().close) Hooks().close(report_);
  }
  TqdrPreviewPages& Pages() { return pages_; }
  TqdrEngine& Engine() { return engine_; }

 private:
  report::TqdrReport& report_;
  TqdrPreviewPages pages_;
  TqdrEngine engine_;
};

ReportRuntime* RuntimeOf(report::TqdrReport& report) {
  return static_cast<ReportRuntime*>(report.Runtime());
}

}  // namespace

void InstallReportRuntime() {
  report::SetReportRuntimeFactory([](report::TqdrReport& r) {
    return std::unique_ptr<report::TqdrReportRuntime>(new ReportRuntime(r));
  });
}

TqdrPreviewPages* PreparedPages(report::TqdrReport& report) {
  ReportRuntime* r = RuntimeOf(report);
  return r ? &r->Pages() : nullptr;
}

TqdrEngine* ReportEngine(report::TqdrReport& report) {
  ReportRuntime* r = RuntimeOf(report);
  return r ? &r->Engine() : nullptr;
}

void SetPreviewHooks(TqdrPreviewHooks hooks) {
  Hooks() = std::move(hooks);
}

}  // namespace engine
