// Batch printing: arguments, a terminal stand-in for the message boxes,
// login, statistics, preparation with progress, and output to PDF or a printer.
#include "app/batch_print.h"

#include <QCoreApplication>
#include <QDate>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "app/data_module.h"
#include "report/font_substitutions.h"
#include "app/his_globals.h"
#include "app/login_check.h"
#include "app/messages.h"
#include "app/survey_print.h"
#include "app/survey_statistics.h"
#include "app/system_parameters.h"
#include "engine/preview_pages.h"
#include "engine/print_pages.h"
#include "engine/printers.h"
#include "engine/report_runtime.h"
#include "platform/db/db_query.h"
#include "report/options.h"
#include "report/report.h"

namespace app {

const char kBatchPrintUsage[] =
    "usage: survey print --user BADGE --password TEXT --from YYYY-MM-DD --to YYYY-MM-DD\n"
    "                    [--dept CODE] [--record BAH]\n"
    "                    (--pdf FILE | --printer NAME [--pages RANGE] [--copies N])\n"
    "  Runs the statistics for the discharge dates --from to --to (both included),\n"
    "  for one department (--dept, default all) or one record number (--record),\n"
    "  and prints one survey form per row: to a PDF file, or to a printer queue\n"
    "  (--pages like 1-5,8; --copies default 1). The print template\n"
    "  \"医院出院病人调查表(病案).qr3\" is read from the current directory.\n"
    "  Exit status: 0 printed, 1 failed (the reason on stderr), 2 bad arguments.\n";

namespace {

// Message boxes on the terminal: every box is a line on stderr; questions answer no.
class TerminalUi : public MessageUi {
 public:
  MessageAnswer Box(const MessageRequest& request) override {
    std::fprintf(stderr, "%s\n", request.text.c_str());
    return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  }
  void Detail(const std::string&, const std::string& shortText,
              const std::string& details) override {
    std::fprintf(stderr, "%s\n%s\n", shortText.c_str(), details.c_str());
  }
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return 1;
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "survey print: %s\n%s", problem.c_str(), kBatchPrintUsage);
  return 2;
}

int PrintPrepared(report::TqdrReport& report, const std::map<std::string, std::string>& opt) {
  engine::TqdrPreviewPages* pages = engine::PreparedPages(report);
  engine::TqdrPrintSettings settings;
  if (auto it = opt.find("pages"); it != opt.end()) settings.pageNumbers = it->second;
  if (auto it = opt.find("copies"); it != opt.end())
    settings.copies = std::atoi(it->second.c_str());
  engine::TqdrCustomPrinter* printer = nullptr;
  std::unique_ptr<engine::TqdrPrinter> file;
  if (auto it = opt.find("pdf"); it != opt.end()) {
    file = engine::TqdrPrinter::CreateFilePrinter("PDF");
    file->SetFileName(it->second);
    file->Initialize();
    printer = file.get();
  } else {
    engine::TqdrPrinters& printers = engine::Printers();
    const int index = printers.IndexOfPrinter(opt.at("printer"));
    if (index < 0 || !printers.HasPhysicalPrinters())
      return Fail("打印机 \"" + opt.at("printer") + "\" 不存在");
    printers.SelectPrinter(index);
    printer = printers.CurrentPrinter();
  }
  pages->PrintPages(*printer, settings);
  std::fprintf(stderr, "已打印 %d 页\n", pages->PageCount());
  return 0;
}

}  // namespace

int RunBatchPrint(int argc, char** argv) {
  std::map<std::string, std::string> opt;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kBatchPrintUsage, stdout);
      return 0;
    }
    static const char* const kNames[] = {"user",   "password", "from",    "to",    "dept",
                                         "record", "pdf",      "printer", "pages", "copies"};
    bool known = false;
    for (const char* name : kNames)
      if (arg == std::string("--") + name) known = true;
    if (!known) return Usage("unknown option " + arg);
    if (i + 1 >= argc) return Usage(arg + " needs a value");
    opt[arg.substr(2)] = argv[++i];
  }
  for (const char* required : {"user", "from", "to"})
    if (!opt.count(required)) return Usage(std::string("--") + required + " is required");
  if (opt.count("pdf") == opt.count("printer")) return Usage("give either --pdf or --printer");
  const QDate from = QDate::fromString(QString::fromStdString(opt["from"]), Qt::ISODate);
  const QDate to = QDate::fromString(QString::fromStdString(opt["to"]), Qt::ISODate);
  if (!from.isValid() || !to.isValid()) return Usage("dates are written YYYY-MM-DD");

  // Fonts and painting need a GUI application; without a display it draws offscreen.
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);
  report::InstallFontSubstitutions();
  InitPrivateGlobals(QCoreApplication::applicationDirPath().toUtf8().toStdString());
  TerminalUi terminal;
  SetMessageUi(&terminal);
  // The session closes while Qt's database registry still exists.
  struct Restore {
    ~Restore() {
      DataModule().DBHis.Close();
      SetMessageUi(nullptr);
    }
  } restore;
  try {
    LoadConnectionSettings();
    EnsureServerRunning();
    if (!ConnectDatabase()) return 1;
    LoadSystemParameters();
    if (std::string m = CheckLogin(opt["user"], opt["password"]); !m.empty()) return Fail(m);

    TSurveySelection selection;
    if (opt.count("dept")) selection.deptCode = opt["dept"];
    if (opt.count("record")) selection.recordNo = opt["record"];
    selection.from = from;
    selection.to = to;
    platform::DbQuery statistics(DataModule().DBHis);
    std::string detail;
    switch (RunSurveyStatistics(
        statistics, selection, [](int) {}, detail)) {
      case TStatisticsOutcome::soNoDefinition:
        return Fail("没有找到该报表！");
      case TStatisticsOutcome::soFailed:
        return Fail("统计失败，请看详细信息\n" + detail);
      case TStatisticsOutcome::soOk:
        break;
    }
    std::fprintf(stderr, "统计完成：%d 条记录\n", statistics.RecordCount());

    TSurveyPrint print(DataModule().DBHis);
    print.OpenRows("", "1");
    if (!TSurveyPrint::TemplateExists()) return Fail(kNoTemplateMessage);
    report::TqdrReport& report = print.QDReport();
    try {
      print.LoadTemplate();
    } catch (const std::exception&) {
      return Fail(kPrintFailedMessage);
    }
    report.EngineOptions()->SetNewSilentMode(report::TqdrSilentMode::simSilent);
    // Thousands of forms: prepared pages beyond 10 MB wait in a temporary file.
    report.EngineOptions()->SetUseFileCache(true);
    report.EngineOptions()->SetMaxMemSize(10);
    report.OnProgress = [](report::TqdrReport*, int kind, int page) {
      if (kind == report::pkPreparing && page % 100 == 0) std::fprintf(stderr, "\r第 %d 页", page);
    };
    if (!report.Prepare(true)) return Fail(report.ErrorsText() + "\n" + kPrintFailedMessage);
    std::fprintf(stderr, "\r共 %d 页\n", engine::PreparedPages(report)->PageCount());
    return PrintPrepared(report, opt);
  } catch (const std::exception& e) {
    return Fail(std::string(kPrintFailedMessage) + "\n" + e.what());
  }
}

}  // namespace app
