// qdr render and qdr pages.
#include "tools/qdr/render_command.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>

#include "engine/pdf_export.h"
#include "engine/preview_pages.h"
#include "engine/report_runtime.h"
#include "platform/db/db_query.h"
#include "platform/db/db_session.h"
#include "report/collections.h"
#include "report/db/query_source.h"
#include "report/db_dataset.h"
#include "report/font_substitutions.h"
#include "report/options.h"
#include "report/report.h"

namespace qdr {

const char kRenderUsage[] =
    "usage: qdr render TEMPLATE.qr3 [--sqlite DB | --odbc CONNECTION] [--dataset NAME=SQL]...\n"
    "                  [--var NAME=VALUE]... (--pdf OUT.pdf | --qp3 OUT.qp3 | --png DIR)\n"
    "                  [--zoom Z]\n"
    "       qdr pages IN.qp3 (--pdf OUT.pdf | --png DIR) [--zoom Z]\n"
    "  render: each --dataset NAME=SQL becomes a dataset of that name over the rows of SQL\n"
    "  on the database (--sqlite file, or --odbc DSN or connection string); --var sets a\n"
    "  report variable. The report is prepared and written as PDF, as a prepared-report\n"
    "  file, or as PNG pages page-1.png ... at 96 dpi times --zoom (default 1).\n"
    "  pages: writes a prepared-report file as PDF or PNG pages.\n"
    "  Exit status: 0 written, 1 the report's errors on stderr, 3 usage or file error.\n";

namespace {

// A GUI application for fonts and painting; offscreen without a display.
std::unique_ptr<QGuiApplication> MakeApplication() {
  if (QGuiApplication::instance()) return nullptr;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "qdr";
  static char* argv[] = {name, nullptr};
  auto app = std::make_unique<QGuiApplication>(argc, argv);
  report::InstallFontSubstitutions();
  return app;
}

struct Output {
  std::string pdf, qp3, png;
  double zoom = 1;
  int Count() const { return !pdf.empty() + !qp3.empty() + !png.empty(); }
};

// Reads --pdf/--qp3/--png/--zoom at args[i]; false when it is not one of them.
bool ReadOutput(const std::vector<std::string>& args, size_t& i, Output& out, bool& bad) {
  const std::string& a = args[i];
  if (a != "--pdf" && a != "--qp3" && a != "--png" && a != "--zoom") return false;
  if (i + 1 >= args.size()) {
    bad = true;
    return true;
  }
  const std::string& v = args[++i];
  if (a == "--pdf") out.pdf = v;
  if (a == "--qp3") out.qp3 = v;
  if (a == "--png") out.png = v;
  if (a == "--zoom") {
    out.zoom = std::atof(v.c_str());
    bad = out.zoom <= 0;
  }
  return true;
}

int Write(report::TqdrReport& report, engine::TqdrPreviewPages& pages, const Output& out,
          std::ostream& err) {
  try {
    if (!out.qp3.empty()) pages.SaveToFile(out.qp3);
    if (!out.pdf.empty()) {
      engine::TqdrPdfExport pdf;
      pdf.SetFileName(out.pdf);
      pages.ExportTo(pdf);
    }
    if (!out.png.empty()) {
      std::filesystem::create_directories(out.png);
      for (int i = 0; i < pages.PageCount(); ++i) {
        int w = 0, h = 0;
        pages.PageSizeAt(i, w, h);
        QImage image(std::max(1, static_cast<int>(w * out.zoom)),
                     std::max(1, static_cast<int>(h * out.zoom)), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
          QPainter painter(&image);
          pages.DrawPageAt(i, painter, out.zoom, out.zoom, 0, 0, false);
        }
        const QString file =
            QDir(QString::fromStdString(out.png)).filePath(QString("page-%1.png").arg(i + 1));
        if (!image.save(file)) {
          err << "qdr: cannot write " << file.toStdString() << "\n";
          return 3;
        }
      }
    }
  } catch (const std::exception& e) {
    err << "qdr: " << e.what() << "\n";
    return 3;
  }
  (void)report;
  return 0;
}

}  // namespace

int RunRenderCommand(const std::vector<std::string>& args, std::ostream& err) {
  std::string templateFile, sqlite, odbc;
  std::vector<std::pair<std::string, std::string>> datasets, vars;
  Output out;
  bool bad = false;
  for (size_t i = 0; i < args.size() && !bad; ++i) {
    const std::string& a = args[i];
    if (ReadOutput(args, i, out, bad)) continue;
    const bool pair = a == "--dataset" || a == "--var";
    if (a == "--sqlite" || a == "--odbc" || pair) {
      if (i + 1 >= args.size()) {
        bad = true;
        break;
      }
      const std::string& v = args[++i];
      if (a == "--sqlite") sqlite = v;
      if (a == "--odbc") odbc = v;
      if (pair) {
        const size_t eq = v.find('=');
        if (eq == std::string::npos || eq == 0) {
          bad = true;
          break;
        }
        (a == "--dataset" ? datasets : vars).emplace_back(v.substr(0, eq), v.substr(eq + 1));
      }
    } else if (a.rfind("--", 0) != 0 && templateFile.empty()) {
      templateFile = a;
    } else {
      bad = true;
    }
  }
  if (bad || templateFile.empty() || out.Count() != 1 || (!sqlite.empty() && !odbc.empty()) ||
      (!datasets.empty() && sqlite.empty() && odbc.empty())) {
    err << kRenderUsage;
    return 3;
  }
  auto app = MakeApplication();
  engine::InstallReportRuntime();

  // Datasets exist before the template loads, so its names bind to them.
  platform::DbSession session("qdr");
  struct Bound {
    std::unique_ptr<platform::DbQuery> query;
    std::unique_ptr<report::TqdrQuerySource> source;
    std::unique_ptr<report::TqdrDBDataset> dataset;
  };
  std::vector<Bound> bound;
  try {
    if (!datasets.empty()) {
      session.SetParam("DATABASE NAME", sqlite);
      session.SetParam("SERVER NAME", odbc);
      session.Open();
    }
    for (const auto& [name, sql] : datasets) {
      Bound b;
      b.query = std::make_unique<platform::DbQuery>(session);
      b.query->AddSql(sql);
      b.source = std::make_unique<report::TqdrQuerySource>(*b.query);
      b.dataset = std::make_unique<report::TqdrDBDataset>();
      b.dataset->SetName(name);
      b.dataset->SetUserName(name);
      b.dataset->SetDataSet(b.source.get());
      bound.push_back(std::move(b));
    }
  } catch (const std::exception& e) {
    err << "qdr: " << e.what() << "\n";
    return 3;
  }
  report::TqdrReport report;
  report.EngineOptions()->SetNewSilentMode(report::TqdrSilentMode::simSilent);
  try {
    if (!report.LoadFromFile(templateFile)) {
      err << "qdr: cannot open " << templateFile << "\n";
      return 3;
    }
  } catch (const std::exception& e) {
    err << "qdr: " << e.what() << "\n";
    return 3;
  }
  // Expressions read fields of the report's own dataset list.
  for (const Bound& b : bound)
    if (!report.Datasets()->Find(b.dataset.get())) report.Datasets()->AddDataSet(b.dataset.get());
  for (const auto& [name, value] : vars)
    report.Variables()->SetVariables(name, core::Variant(value));
  const bool prepared = report.Prepare(true);
  engine::TqdrPreviewPages& pages = *engine::PreparedPages(report);
  if (!prepared || !report.Errors().empty()) {
    for (const std::string& e : report.Errors()) err << e << "\n";
    return 1;
  }
  const int code = Write(report, pages, out, err);
  session.Close();
  return code;
}

int RunPagesCommand(const std::vector<std::string>& args, std::ostream& err) {
  std::string input;
  Output out;
  bool bad = false;
  for (size_t i = 0; i < args.size() && !bad; ++i) {
    if (ReadOutput(args, i, out, bad)) continue;
    if (args[i].rfind("--", 0) != 0 && input.empty())
      input = args[i];
    else
      bad = true;
  }
  if (bad || input.empty() || out.Count() != 1 || !out.qp3.empty()) {
    err << kRenderUsage;
    return 3;
  }
  auto app = MakeApplication();
  engine::InstallReportRuntime();
  report::TqdrReport report;
  engine::TqdrPreviewPages& pages = *engine::PreparedPages(report);
  try {
    if (!pages.LoadFromFile(input, true)) {
      err << "qdr: cannot open " << input << "\n";
      return 3;
    }
  } catch (const std::exception& e) {
    err << "qdr: " << e.what() << "\n";
    return 3;
  }
  return Write(report, pages, out, err);
}

}  // namespace qdr
