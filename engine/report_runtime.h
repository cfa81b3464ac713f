// The run-time parts a report owns: its prepared pages store, its band engine
// (linked to each other) and the preview window it opens. Installing the
// runtime makes every report create one on first use.
#pragma once

#include <functional>

namespace report {
class TqdrReport;
}

namespace engine {

class TqdrEngine;
class TqdrPreviewPages;

// Makes reports create their store and engine here (safe to call repeatedly).
void InstallReportRuntime();
// The report's store and engine (created on first use); null without InstallReportRuntime.
TqdrPreviewPages* PreparedPages(report::TqdrReport& report);
TqdrEngine* ReportEngine(report::TqdrReport& report);

// How prepared pages are shown and the shown window closed; the preview
// window installs these. Without them ShowPrepared shows nothing.
struct TqdrPreviewHooks {
  std::function<void(report::TqdrReport&, TqdrPreviewPages&)> show;
  std::function<void(report::TqdrReport&)> close;
};
void SetPreviewHooks(TqdrPreviewHooks hooks);

}  // namespace engine
