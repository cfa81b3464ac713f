// Printing: the print loop over files and a CUPS queue, printers, the printer list.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <cmath>
#include <map>
#include <thread>

#include "core/error.h"
#include "engine/print_pages.h"
#include "engine/printers.h"
#include "print_test_util.h"
#include "report/options.h"
#include "report/resources.h"

using namespace print_test;
using engine::TqdrPrintSettings;
using report::TqdrPrintPages;

namespace {

constexpr double kPt = 72 / 25.4;

// A file printer that records the paper settings it is given.
class RecordingPrinter : public engine::TqdrPrinter {
 public:
  explicit RecordingPrinter(bool deviceCopies = false)
      : TqdrPrinter("recorder", "", true), deviceCopies_(deviceCopies) {}
  struct Call {
    int paper, copies, duplex, bin;
    report::TPrinterOrientation orientation;
  };
  bool DeviceCopies() const override { return deviceCopies_; }
  void SetPrintParams(int paper, report::TPrinterOrientation orientation, int copies, int duplex,
                      int bin, double width, double height) override {
    calls.push_back({paper, copies, duplex, bin, orientation});
    TqdrPrinter::SetPrintParams(paper, orientation, copies, duplex, bin, width, height);
  }
  std::vector<Call> calls;

 private:
  bool deviceCopies_;
};

TqdrPrintSettings Settings(int copies, bool collate, std::string pages = "",
                           TqdrPrintPages odd = TqdrPrintPages::ppAll, bool reverse = false) {
  TqdrPrintSettings s;
  s.copies = copies;
  s.collate = collate;
  s.pageNumbers = std::move(pages);
  s.printPages = odd;
  s.reverse = reverse;
  return s;
}

}  // namespace

TEST(PrintLoopTest, PagesCopiesAndOrderInTheFile) {
  struct Case {
    const char* name;
    int pages;
    TqdrPrintSettings settings;
    report::TqdrDuplexMode duplex;
    std::vector<int> expected;  // page numbers in the file; 0 = empty sheet
  };
  const auto none = report::TqdrDuplexMode::dmNone;
  const auto vertical = report::TqdrDuplexMode::dmVertical;
  const std::vector<Case> cases = {
      {"all pages", 3, Settings(1, true), none, {1, 2, 3}},
      {"list and range", 10, Settings(1, true, "1,3,5-7"), none, {1, 3, 5, 6, 7}},
      {"open range runs to the end", 10, Settings(1, true, "8-"), none, {8, 9, 10}},
      {"spaces are ignored", 10, Settings(1, true, " 2 , 4 - 5 "), none, {2, 4, 5}},
      {"numbers out of range print nothing", 10, Settings(1, true, "0,11"), none, {}},
      {"descending range prints nothing", 10, Settings(1, true, "3-1"), none, {}},
      {"pages listed twice print once, in order",
       4,
       Settings(1, true, "3,1,3,1-2"),
       none,
       {1, 2, 3}},
      {"odd pages reversed",
       5,
       Settings(1, true, "", TqdrPrintPages::ppOdd, true),
       none,
       {5, 3, 1}},
      {"even pages of a range", 6, Settings(1, true, "2-5", TqdrPrintPages::ppEven), none, {2, 4}},
      {"collated copies", 3, Settings(2, true), none, {1, 2, 3, 1, 2, 3}},
      {"collated copies reversed",
       3,
       Settings(2, true, "", TqdrPrintPages::ppAll, true),
       none,
       {3, 2, 1, 3, 2, 1}},
      {"uncollated copies of a file", 3, Settings(2, false), none, {1, 1, 2, 2, 3, 3}},
      {"no copies count as one", 2, Settings(0, true), none, {1, 2}},
      {"two-sided odd count: next copy on a new sheet",
       3,
       Settings(2, true),
       vertical,
       {1, 2, 3, 0, 1, 2, 3}},
      {"two-sided even count needs no sheet", 2, Settings(2, true), vertical, {1, 2, 1, 2}},
      {"horizontal duplex, three copies",
       1,
       Settings(3, true),
       report::TqdrDuplexMode::dmHorizontal,
       {1, 0, 1, 0, 1}},
      {"simplex needs no sheet",
       3,
       Settings(2, true),
       report::TqdrDuplexMode::dmSimplex,
       {1, 2, 3, 1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrintedReport r;
    r.AddTemplate(9, report::TPrinterOrientation::poPortrait, 0, 0, c.duplex);
    r.Prepare(c.pages);
    TempDir dir;
    auto printer = engine::TqdrPrinter::CreateFilePrinter("file");
    printer->Initialize();
    printer->SetFileName(dir.File("out.pdf"));
    r.store->PrintPages(*printer, c.settings);
    EXPECT_FALSE(printer->Printing());
    if (c.expected.empty()) {
      EXPECT_FALSE(fs::exists(dir.File("out.pdf"))) << "nothing printed, no document";
      continue;
    }
    EXPECT_EQ(PdfMarks(dir.File("out.pdf")), c.expected);
  }
}

TEST(PrintLoopTest, TextAndTitleReachTheFile) {
  struct Case {
    const char* name;
    std::string reportName, fileName, title;
  };
  for (const Case& c : std::vector<Case>{{"report name", "出院调查", "", "出院调查"},
                                         {"file name when unnamed", "", "", ""}}) {
    SCOPED_TRACE(c.name);
    PrintedReport r;
    r.report->ReportOptions()->SetName(c.reportName);
    r.Prepare(2);
    TempDir dir;
    auto printer = engine::TqdrPrinter::CreateFilePrinter("file");
    printer->Initialize();
    printer->SetFileName(dir.File("out.pdf"));
    r.store->PrintPages(*printer, Settings(1, true));
    EXPECT_EQ(printer->Title(), c.title);
    EXPECT_EQ(PdfTexts(dir.File("out.pdf")), (std::vector<std::string>{"Page 1", "Page 2"}));
    if (!c.title.empty()) {
      EXPECT_EQ(PdfTitle(dir.File("out.pdf")), c.title);
    }
  }
}

TEST(PrintLoopTest, PaperFollowsEachPageAndIsSentOnlyWhenItChanges) {
  PrintedReport r;
  const auto portrait = report::TPrinterOrientation::poPortrait;
  const auto landscape = report::TPrinterOrientation::poLandscape;
  r.AddTemplate(9);                        // A4 portrait
  r.AddTemplate(11, landscape);            // A5 landscape
  r.AddTemplate(256, portrait, 150, 100);  // custom
  r.templates[0].page->SetBin(1);
  r.templates[0].page->SetBinOtherPages(2);
  const std::vector<int> pick = {0, 0, 1, 1, 2, 0};
  r.Prepare(6, [&](int i) { return pick[static_cast<size_t>(i)]; });
  TempDir dir;
  RecordingPrinter printer;
  printer.Initialize();
  printer.SetFileName(dir.File("out.pdf"));
  r.store->PrintPages(printer, Settings(1, true));

  // Page 1 takes the first page's bin, page 2 the bin of other pages.
  ASSERT_EQ(printer.calls.size(), 5u);
  const std::vector<std::pair<int, int>> paperAndBin = {{9, 1}, {9, 2}, {11, 7}, {256, 7}, {9, 2}};
  for (size_t i = 0; i < paperAndBin.size(); ++i) {
    EXPECT_EQ(printer.calls[i].paper, paperAndBin[i].first) << i;
    EXPECT_EQ(printer.calls[i].bin, paperAndBin[i].second) << i;
    EXPECT_EQ(printer.calls[i].duplex, 1) << i;
  }
  EXPECT_EQ(printer.calls[2].orientation, landscape);

  const std::vector<std::pair<double, double>> mm = {{210, 297}, {210, 297}, {210, 148},
                                                     {210, 148}, {150, 100}, {210, 297}};
  const std::vector<PdfPage> pages = PdfPages(dir.File("out.pdf"));
  ASSERT_EQ(pages.size(), mm.size());
  for (size_t i = 0; i < mm.size(); ++i) {
    EXPECT_NEAR(pages[i].width, mm[i].first * kPt, 1.5) << "page " << i + 1;
    EXPECT_NEAR(pages[i].height, mm[i].second * kPt, 1.5) << "page " << i + 1;
  }
}

TEST(PrintLoopTest, SamePaperThroughoutIsSentOnce) {
  struct Case {
    const char* name;
    TqdrPrintSettings settings;
    bool deviceCopies;
    std::vector<int> copiesSent;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {"collated", Settings(2, true), false, {1}, {1, 2, 3, 1, 2, 3}},
      {"uncollated on a device that copies", Settings(2, false), true, {2}, {1, 2, 3}},
      {"uncollated on a file", Settings(2, false), false, {1}, {1, 1, 2, 2, 3, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrintedReport r;
    r.Prepare(3);
    TempDir dir;
    RecordingPrinter printer(c.deviceCopies);
    printer.Initialize();
    printer.SetFileName(dir.File("out.pdf"));
    r.store->PrintPages(printer, c.settings);
    std::vector<int> copies;
    for (const auto& call : printer.calls) copies.push_back(call.copies);
    EXPECT_EQ(copies, c.copiesSent);
    EXPECT_EQ(PdfMarks(dir.File("out.pdf")), c.expected);
  }
}

TEST(PrintLoopTest, EventsProgressAndCancel) {
  PrintedReport r;
  r.Prepare(5);
  std::vector<std::string> log;
  r.report->OnPrintPage = [&](report::TqdrReport*, report::TqdrPage* page, int copy) {
    ASSERT_NE(page, nullptr);
    log.push_back("page copy " + std::to_string(copy));
  };
  r.report->OnProgressStart = [&](report::TqdrReport*, int kind, int) {
    log.push_back("start " + std::to_string(kind));
  };
  r.report->OnProgress = [&](report::TqdrReport* rep, int kind, int page) {
    log.push_back("progress " + std::to_string(kind) + " " + std::to_string(page));
    if (page == 2) rep->SetTerminated(true);  // the Cancel button
  };
  r.report->OnProgressStop = [&](report::TqdrReport*, int kind, int) {
    log.push_back("stop " + std::to_string(kind));
  };
  r.report->SetTerminated(true);  // left over from an earlier run: cleared at the start
  TempDir dir;
  auto printer = engine::TqdrPrinter::CreateFilePrinter("file");
  printer->Initialize();
  printer->SetFileName(dir.File("out.pdf"));
  r.store->PrintPages(*printer, Settings(2, true));
  EXPECT_EQ(log, (std::vector<std::string>{"start 2", "page copy 1", "progress 2 1", "page copy 1",
                                           "progress 2 2", "stop 2"}));
  EXPECT_FALSE(printer->Printing());
  EXPECT_FALSE(fs::exists(dir.File("out.pdf"))) << "a cancelled run leaves no half file";
}

TEST(PrintLoopTest, MalformedRangePrintsNothing) {
  for (const char* text : {"1,,3", "-2", "a", "2-x"}) {
    SCOPED_TRACE(text);
    PrintedReport r;
    r.Prepare(3);
    int pagesSeen = 0;
    r.report->OnPrintPage = [&](report::TqdrReport*, report::TqdrPage*, int) { ++pagesSeen; };
    TempDir dir;
    auto printer = engine::TqdrPrinter::CreateFilePrinter("file");
    printer->Initialize();
    printer->SetFileName(dir.File("out.pdf"));
    EXPECT_THROW(r.store->PrintPages(*printer, Settings(1, true, text)), core::Error);
    EXPECT_EQ(pagesSeen, 0);
    EXPECT_FALSE(fs::exists(dir.File("out.pdf")));
  }
}

TEST(PrintLoopTest, UnwritableFileIsAnError) {
  PrintedReport r;
  r.Prepare(1);
  auto printer = engine::TqdrPrinter::CreateFilePrinter("file");
  printer->Initialize();
  printer->SetFileName("/nonexistent-folder/out.pdf");
  EXPECT_THROW(r.store->PrintPages(*printer, Settings(1, true)), core::Error);
  EXPECT_FALSE(printer->Printing());
}

TEST(PrintLoopTest, PrinterThatCouldNotBeOpenedIsAnError) {
  PrintedReport r;
  r.Prepare(1);
  engine::TqdrPrinter gone("no queue of this name", "");
  gone.Initialize();
  EXPECT_FALSE(gone.Initialized());
  EXPECT_THROW(r.store->PrintPages(gone, Settings(1, true)), core::Error);
}

TEST(PrintAllTest, PrinterByNameOrCurrentAndReportEvents) {
  engine::TqdrPrinters& list = engine::Printers();
  TempDir dir;
  const int a = list.AddPrinter(engine::TqdrPrinter::CreateFilePrinter("File A"));
  const int b = list.AddPrinter(engine::TqdrPrinter::CreateFilePrinter("File B"));
  list.PrinterAt(a)->SetFileName(dir.File("a.pdf"));
  list.PrinterAt(b)->SetFileName(dir.File("b.pdf"));
  struct Case {
    const char* name;
    std::string printerOption;
    std::string expectedFile;
  };
  for (const Case& c : std::vector<Case>{
           {"named, case ignored", "file b", "b.pdf"},
           {"unknown name keeps the current printer", "No Such Printer", "a.pdf"},
           {"the default text keeps it too", report::Resources().Lookup("prDefault"), "a.pdf"}}) {
    SCOPED_TRACE(c.name);
    list.SelectPrinter(a);
    fs::remove(dir.File("a.pdf"));
    fs::remove(dir.File("b.pdf"));
    PrintedReport r;
    r.Prepare(3);
    r.report->PrintOptions()->SetShowDialog(false);
    r.report->PrintOptions()->SetPrinter(c.printerOption);
    r.report->PrintOptions()->SetPageNumbers("2-3");
    r.report->PrintOptions()->SetPrintPages(TqdrPrintPages::ppOdd);
    std::vector<std::string> events;
    r.report->OnPrintReport = [&](report::TqdrReport*) { events.push_back("print"); };
    r.report->OnPrintPage = [&](report::TqdrReport*, report::TqdrPage*, int) {
      events.push_back("page");
    };
    r.report->OnAfterPrintReport = [&](report::TqdrReport*) { events.push_back("after"); };
    EXPECT_TRUE(r.store->PrintAll());
    EXPECT_EQ(events, (std::vector<std::string>{"print", "page", "after"}));
    ASSERT_TRUE(fs::exists(dir.File(c.expectedFile)));
    EXPECT_EQ(PdfMarks(dir.File(c.expectedFile)), std::vector<int>{3});
  }
  list.PrinterAt(a)->SetFileName("");
  list.PrinterAt(b)->SetFileName("");
}

TEST(PrintAllTest, AfterPrintEventFollowsAFailure) {
  engine::TqdrPrinters& list = engine::Printers();
  list.SelectPrinter(list.AddPrinter(engine::TqdrPrinter::CreateFilePrinter("File C")));
  list.CurrentPrinter()->SetFileName("/tmp/never-written.pdf");
  PrintedReport r;
  r.Prepare(2);
  r.report->PrintOptions()->SetShowDialog(false);
  r.report->PrintOptions()->SetPageNumbers("1,,2");
  bool after = false;
  r.report->OnAfterPrintReport = [&](report::TqdrReport*) { after = true; };
  EXPECT_THROW(r.store->PrintAll(), core::Error);
  EXPECT_TRUE(after);
  EXPECT_FALSE(fs::exists("/tmp/never-written.pdf"));
  list.CurrentPrinter()->SetFileName("");
}

TEST(VirtualPrinterTest, DefaultsAndPaperLookup) {
  engine::TqdrVirtualPrinter p(report::Resources().Lookup("prVirtual"));
  p.Initialize();
  EXPECT_EQ(p.Name(), "虚拟");
  EXPECT_EQ(p.DpiX(), 600);
  EXPECT_EQ(p.DefPaper(), 9);
  EXPECT_EQ(p.LeftMargin(), 4);
  EXPECT_EQ(p.BottomMargin(), 4);
  EXPECT_EQ(p.Bin(), -1);
  ASSERT_EQ(p.Papers().size(), 67u);
  EXPECT_EQ(p.Papers()[0].name, "自定");
  EXPECT_EQ(p.Papers()[0].number, 256);
  EXPECT_EQ(p.Papers()[1].number, 1);
  EXPECT_EQ(p.Papers().back().number, 68);
  ASSERT_EQ(p.Bins().size(), 1u);
  EXPECT_EQ(p.Bins()[0].name, "预设");
  EXPECT_EQ(p.Bins()[0].number, 7);

  struct Case {
    const char* name;
    int paper;
    report::TPrinterOrientation orientation;
    double width, height;  // given
    int expectedPaper;
    double expectedWidth, expectedHeight;
  };
  const auto portrait = report::TPrinterOrientation::poPortrait;
  const auto landscape = report::TPrinterOrientation::poLandscape;
  const std::vector<Case> cases = {
      {"A4", 9, portrait, 1, 1, 9, 210, 297},
      {"A3 landscape", 8, landscape, 1, 1, 8, 420, 297},
      {"B5", 13, portrait, 1, 1, 13, 182, 257},
      {"custom keeps the size", 256, portrait, 123, 45, 256, 123, 45},
      {"a number the drivers' table lacks is custom", 70, portrait, 105, 148, 256, 105, 148},
      {"gap in the table", 48, portrait, 50, 60, 256, 50, 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.SetPrintParams(c.paper, c.orientation, 1, 1, 3, c.width, c.height);
    EXPECT_EQ(p.Paper(), c.expectedPaper);
    EXPECT_DOUBLE_EQ(p.PaperWidth(), c.expectedWidth);
    EXPECT_DOUBLE_EQ(p.PaperHeight(), c.expectedHeight);
    EXPECT_EQ(p.Bin(), 3);
  }
}

TEST(FilePrinterTest, PaperSettingsReadBack) {
  auto p = engine::TqdrPrinter::CreateFilePrinter("file");
  p->Initialize();
  ASSERT_TRUE(p->Initialized());
  EXPECT_GT(p->DpiX(), 0);
  EXPECT_EQ(p->Papers()[0].number, 256);
  struct Case {
    const char* name;
    int paper;
    report::TPrinterOrientation orientation;
    double width, height;
    int expectedPaper;
    double expectedWidth, expectedHeight;
  };
  const auto portrait = report::TPrinterOrientation::poPortrait;
  const auto landscape = report::TPrinterOrientation::poLandscape;
  for (const Case& c :
       std::vector<Case>{{"A4", 9, portrait, 0, 0, 9, 210, 297},
                         {"A5 landscape", 11, landscape, 0, 0, 11, 210, 148},
                         {"custom", 256, portrait, 150, 100, 256, 150, 100},
                         {"custom landscape", 256, landscape, 200, 120, 256, 200, 120}}) {
    SCOPED_TRACE(c.name);
    p->SetViewParams(c.paper, c.orientation, c.width, c.height);
    EXPECT_EQ(p->Paper(), c.expectedPaper);
    EXPECT_NEAR(p->PaperWidth(), c.expectedWidth, 0.5);
    EXPECT_NEAR(p->PaperHeight(), c.expectedHeight, 0.5);
    EXPECT_EQ(p->Orientation(), c.orientation);
  }
}

TEST(PrinterListTest, LookupAndSelection) {
  engine::TqdrPrinters& list = engine::Printers();
  ASSERT_GT(list.PrinterCount(), 0);
  EXPECT_EQ(list.Printers().size(), static_cast<size_t>(list.PrinterCount()));
  if (!list.HasPhysicalPrinters()) {
    EXPECT_EQ(list.PrinterAt(0)->Name(), "虚拟");
  }
  const std::string first = list.PrinterAt(0)->Name();
  std::string upper = first;
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  EXPECT_EQ(list.IndexOfPrinter(upper), 0);
  EXPECT_EQ(list.IndexOfPrinter("no such printer"), -1);
  EXPECT_EQ(list.PrinterAt(list.PrinterCount()), nullptr);
  list.SelectPrinter(-1);
  ASSERT_NE(list.CurrentPrinter(), nullptr);
  EXPECT_TRUE(list.CurrentPrinter()->Initialized());
  const int before = list.PrinterIndex();
  list.SelectPrinter(list.PrinterCount() + 5);
  EXPECT_EQ(list.PrinterIndex(), before) << "an index out of range changes nothing";
}

// ---------------------------------------------------------------------------
// Through a real CUPS queue (cups-pdf): the queue's output files and its job records.

namespace {

class CupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* queue = std::getenv("SURVEY_TEST_CUPS_QUEUE");
    const char* out = std::getenv("SURVEY_TEST_CUPS_OUT");
    if (!queue || !*queue || !out || !*out)
      GTEST_SKIP() << "no CUPS queue: SURVEY_TEST_CUPS_QUEUE and SURVEY_TEST_CUPS_OUT are unset";
    queue_ = queue;
    out_ = out;
    engine::TqdrPrinters& list = engine::Printers();
    const int index = list.IndexOfPrinter(queue_);
    if (index < 0) GTEST_SKIP() << "CUPS does not list the queue " << queue_;
    list.SelectPrinter(index);
    printer_ = list.CurrentPrinter();
    printer_->SetFileName("");
  }
  void TearDown() override {
    for (const std::string& f : outputs_) fs::remove(f);
  }

  // A title no other job has; cups-pdf names its files after it.
  std::string NewTitle() {
    static int n = 0;
    return "qdrtest_" + std::to_string(getpid()) + "_" + std::to_string(++n) + "_" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 100000);
  }

  // The job records of `title`, once all of them are completed (at most a minute).
  std::vector<std::map<std::string, std::string>> Jobs(const std::string& title, size_t count) {
    TempDir dir;
    const std::string test = dir.File("jobs.test");
    const passwd* pw = getpwuid(getuid());
    std::ofstream(test) << "{\n OPERATION Get-Jobs\n GROUP operation-attributes-tag\n"
                           " ATTR charset attributes-charset utf-8\n"
                           " ATTR naturalLanguage attributes-natural-language en\n"
                           " ATTR uri printer-uri $uri\n"
                           " ATTR name requesting-user-name "
                        << (pw ? pw->pw_name : "root")
                        << "\n ATTR keyword which-jobs all\n"
                           " ATTR keyword requested-attributes "
                           "job-id,job-name,job-state,copies,sides,media\n}\n";
    std::vector<std::map<std::string, std::string>> jobs;
    for (int attempt = 0; attempt < 600; ++attempt) {
      jobs.clear();
      std::istringstream in(
          print_test::Run("ipptool -tv ipp://localhost/printers/" + queue_ + " " + test));
      std::map<std::string, std::string> job;
      auto flush = [&] {
        if (job["job-name"] == title) jobs.push_back(job);
        job.clear();
      };
      std::string line;
      std::regex attr(R"(^\s+([a-z-]+) \([^)]*\) = (.*)$)");
      std::smatch m;
      bool inResponse = false;
      while (std::getline(in, line)) {
        if (line.find("status-code") != std::string::npos) inResponse = true;
        if (!inResponse) continue;
        if (line.find("-- separator --") != std::string::npos) flush();
        if (std::regex_match(line, m, attr)) job[m[1]] = m[2];
      }
      flush();
      bool done = jobs.size() >= count;
      for (auto& j : jobs)
        done = done && (j["job-state"] == "completed" || j["job-state"] == "aborted" ||
                        j["job-state"] == "canceled");
      if (done) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::sort(jobs.begin(), jobs.end(),
              [](auto& x, auto& y) { return std::stoi(x["job-id"]) < std::stoi(y["job-id"]); });
    return jobs;
  }

  // cups-pdf's file of job `id`; its name starts with the title and ends with the job id.
  std::string OutputOf(const std::string& title, const std::string& id) {
    const std::string suffix = "job_" + id + ".pdf";
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::error_code ec;
      for (const auto& e : fs::directory_iterator(out_, ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind(title, 0) == 0 && name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
          outputs_.push_back(e.path().string());
          return e.path().string();
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
  }

  std::string queue_, out_;
  engine::TqdrCustomPrinter* printer_ = nullptr;
  std::vector<std::string> outputs_;
};

}  // namespace

TEST_F(CupsTest, PrinterReadsTheQueue) {
  EXPECT_TRUE(engine::Printers().HasPhysicalPrinters());
  EXPECT_TRUE(printer_->Initialized());
  EXPECT_GT(printer_->DpiX(), 0);
  EXPECT_GT(printer_->PaperWidth(), 0);
  EXPECT_EQ(printer_->Papers()[0].number, 256);
  bool hasA4 = false;
  for (const auto& p : printer_->Papers()) hasA4 = hasA4 || p.number == 9;
  EXPECT_TRUE(hasA4);
  EXPECT_EQ(printer_->Bins()[0].number, 7);
}

TEST_F(CupsTest, OrderAndSelectionReachThePaper) {
  struct Case {
    const char* name;
    int pages;
    TqdrPrintSettings settings;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {"odd pages reversed", 5, Settings(1, true, "", TqdrPrintPages::ppOdd, true), {5, 3, 1}},
      {"range, collated copies", 10, Settings(2, true, "8-"), {8, 9, 10, 8, 9, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrintedReport r;
    const std::string title = NewTitle();
    r.report->ReportOptions()->SetName(title);
    r.Prepare(c.pages);
    r.store->PrintPages(*printer_, c.settings);
    const auto jobs = Jobs(title, 1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].at("job-state"), "completed");
    const std::string file = OutputOf(title, jobs[0].at("job-id"));
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(PdfMarks(file), c.expected);
  }
}

TEST_F(CupsTest, UncollatedCopiesAreTheQueuesToMake) {
  PrintedReport r;
  const std::string title = NewTitle();
  r.report->ReportOptions()->SetName(title);
  r.Prepare(3);
  r.store->PrintPages(*printer_, Settings(2, false));
  const auto jobs = Jobs(title, 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].at("copies"), "2");
  const std::string file = OutputOf(title, jobs[0].at("job-id"));
  ASSERT_FALSE(file.empty());
  // Each page is sent once; cups-pdf writes one copy of what it receives.
  EXPECT_EQ(PdfMarks(file), (std::vector<int>{1, 2, 3}));
}

TEST_F(CupsTest, TwoSidedCopiesGetAnEmptySheet) {
  PrintedReport r;
  const std::string title = NewTitle();
  r.report->ReportOptions()->SetName(title);
  r.AddTemplate(9, report::TPrinterOrientation::poPortrait, 0, 0,
                report::TqdrDuplexMode::dmVertical);
  r.Prepare(3);
  r.store->PrintPages(*printer_, Settings(2, true));
  const auto jobs = Jobs(title, 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].at("sides"), "two-sided-long-edge");
  const std::string file = OutputOf(title, jobs[0].at("job-id"));
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(PdfMarks(file), (std::vector<int>{1, 2, 3, 0, 1, 2, 3}));
}

TEST_F(CupsTest, PaperChangeStartsAJobOnTheNewPaper) {
  PrintedReport r;
  const std::string title = NewTitle();
  r.report->ReportOptions()->SetName(title);
  r.AddTemplate(9);
  r.AddTemplate(11);  // A5
  const std::vector<int> pick = {0, 0, 1};
  r.Prepare(3, [&](int i) { return pick[static_cast<size_t>(i)]; });
  r.store->PrintPages(*printer_, Settings(1, true));
  const auto jobs = Jobs(title, 2);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].at("media"), "A4");
  EXPECT_EQ(jobs[1].at("media"), "A5");
  const std::string a4 = OutputOf(title, jobs[0].at("job-id"));
  const std::string a5 = OutputOf(title, jobs[1].at("job-id"));
  ASSERT_FALSE(a4.empty());
  ASSERT_FALSE(a5.empty());
  EXPECT_EQ(PdfMarks(a4), (std::vector<int>{1, 2}));
  EXPECT_EQ(PdfMarks(a5), (std::vector<int>{3}));
  const auto pages = PdfPages(a5);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NEAR(pages[0].width, 148 * kPt, 2);
  EXPECT_NEAR(pages[0].height, 210 * kPt, 2);
}

TEST_F(CupsTest, PrintToFileBypassesTheQueue) {
  PrintedReport r;
  const std::string title = NewTitle();
  r.report->ReportOptions()->SetName(title);
  r.Prepare(2);
  TempDir dir;
  printer_->SetFileName(dir.File("out.prn"));
  r.store->PrintPages(*printer_, Settings(2, false));
  printer_->SetFileName("");
  EXPECT_EQ(PdfMarks(dir.File("out.prn")), (std::vector<int>{1, 1, 2, 2}));
  EXPECT_TRUE(Jobs(title, 0).empty());
}
