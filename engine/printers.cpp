// Printers over Qt Print Support and CUPS.
#include "engine/printers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "core/float_text.h"
#include "core/text_util.h"
#include "report/page.h"
#include "report/paper_sizes.h"
#include "report/resources.h"

namespace engine {

using report::TPrinterOrientation;

namespace {

constexpr int kCustomPaper = 256;
constexpr int kAutoBin = 7;
constexpr int kMaxDeviceEntries = 256;

QPageLayout::Orientation ToQt(TPrinterOrientation o) {
  return o == TPrinterOrientation::poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// The Qt page size of a paper number, invalid when neither Qt nor our table knows it.
QPageSize PageSizeOf(int paper) {
  if (paper == kCustomPaper) return {};
  const QPageSize::PageSizeId id = QPageSize::id(paper);
  if (id != QPageSize::Custom) return QPageSize(id);
  if (const report::TqdrPaperSize* p = report::FindPaperSize(paper))
    return QPageSize(QSizeF(p->width, p->height), QPageSize::Millimeter);
  return {};
}

std::string Mm(double v) {
  return core::FloatToStrSep(v, '.');
}

std::string PaperName(int number) {
  const QPageSize::PageSizeId id = QPageSize::id(number);
  if (id != QPageSize::Custom) return QPageSize::name(id).toStdString();
  const report::TqdrPaperSize* p = report::FindPaperSize(number);
  if (!p) return std::to_string(number);
  return Mm(p->width) + " x " + Mm(p->height) + " mm";
}

}  // namespace

void TqdrPrinterCanvas::SetFont(const QFont& font) {
  if (!painter_) return;
  QFont f = font;
  if (f.pointSizeF() > 0)
    f.setPixelSize(
        std::max(1, static_cast<int>(std::lround(f.pointSizeF() * printer_->DpiY() / 72.0))));
  painter_->setFont(f);
}

TqdrCustomPrinter::TqdrCustomPrinter(const std::string& name, const std::string& port)
    : name_(name), port_(port) {}

TqdrCustomPrinter::~TqdrCustomPrinter() = default;

// ---------------------------------------------------------------------------
// Real printers

struct TqdrPrinter::Device {
  QPrinter printer{QPrinter::HighResolution};
  QPageLayout layout;  // the paper asked for, with the device's borders
};

struct TqdrPrinter::Job {
  QPrinter printer{QPrinter::HighResolution};
  QPainter painter;
  std::string file;
  bool spool = false;  // a temporary file for the queue
  std::vector<std::string> options;
  QPageLayout layout;
  bool pageOpen = false;
  int pages = 0;
};

TqdrPrinter::TqdrPrinter(const std::string& name, const std::string& port)
    : TqdrCustomPrinter(name, port) {}

TqdrPrinter::TqdrPrinter(const std::string& name, const std::string& port, bool fileOnly)
    : TqdrCustomPrinter(name, port), fileOnly_(fileOnly) {}

TqdrPrinter::~TqdrPrinter() {
  if (job_) FinishJob(false);
}

std::unique_ptr<TqdrPrinter> TqdrPrinter::CreateFilePrinter(const std::string& name) {
  return std::unique_ptr<TqdrPrinter>(new TqdrPrinter(name, "", true));
}

void TqdrPrinter::Initialize() {
  QPrinterInfo info;
  if (!fileOnly_) {
    info = QPrinterInfo::printerInfo(QString::fromStdString(name_));
    if (info.isNull()) return;  // no such queue: stays uninitialised
  }
  auto device = std::make_unique<Device>();
  if (fileOnly_)
    device->printer.setOutputFormat(QPrinter::PdfFormat);
  else
    device->printer.setPrinterName(info.printerName());
  const int dpi = device->printer.resolution();
  if (dpi <= 0) throw core::Error("Printer selected is not valid");
  device_ = std::move(device);
  dpiX_ = dpiY_ = dpi;

  const QPageSize defSize = !info.isNull() && info.defaultPageSize().isValid()
                                ? info.defaultPageSize()
                                : device_->printer.pageLayout().pageSize();
  const QPageLayout::Orientation defOrientation = device_->printer.pageLayout().orientation();
  defOrientation_ = defOrientation == QPageLayout::Portrait ? TPrinterOrientation::poPortrait
                                                            : TPrinterOrientation::poLandscape;
  const QSizeF mm = defSize.size(QPageSize::Millimeter);
  const int defNumber = defSize.windowsId() > 0 ? defSize.windowsId() : kCustomPaper;
  ApplyPaper(defNumber, defOrientation_, mm.width(), mm.height());
  defPaper_ = paper_;
  defPaperWidth_ = paperWidth_;
  defPaperHeight_ = paperHeight_;

  papers_ = {{report::Resources().Lookup("prCustom"), kCustomPaper}};
  auto addPaper = [this](int number, const std::string& name) {
    if (number <= 0 || number == kCustomPaper) return;
    for (const TqdrPrinterChoice& c : papers_)
      if (c.number == number) return;
    papers_.push_back({name, number});
  };
  if (fileOnly_) {
    for (const report::TqdrPaperSize& p : report::DriverPaperSizes())
      addPaper(p.number, PaperName(p.number));
  } else {
    const QList<QPageSize> sizes = info.supportedPageSizes();
    for (qsizetype i = 0; i < sizes.size() && i < kMaxDeviceEntries; ++i)
      addPaper(sizes[i].windowsId(), sizes[i].name().toStdString());
  }
  // Qt does not list a queue's paper sources; the automatic one stands for all.
  bins_ = {{report::Resources().Lookup("prDefault"), kAutoBin}};
  bin_ = -1;
  initialized_ = true;
}

void TqdrPrinter::ApplyPaper(int paper, TPrinterOrientation orientation, double width,
                             double height) {
  QPageSize size = PageSizeOf(paper);
  if (!size.isValid()) {
    // Custom sizes are given as the page lies; Qt wants the portrait form.
    paper = kCustomPaper;
    const QSizeF s = orientation == TPrinterOrientation::poLandscape ? QSizeF(height, width)
                                                                     : QSizeF(width, height);
    size = QPageSize(s, QPageSize::Millimeter);
  }
  QMarginsF borders;
  QPrinter& p = device_->printer;
  p.setPageOrientation(ToQt(orientation));
  if (p.setPageSize(size)) {
    QPageLayout l = p.pageLayout();
    l.setUnits(QPageLayout::Millimeter);
    borders = l.minimumMargins();
    p.setPageMargins(borders, QPageLayout::Millimeter);
  }
  device_->layout = QPageLayout(size, ToQt(orientation), borders, QPageLayout::Millimeter);
  paper_ = paper;
  orientation_ = orientation;
  ReadDevice();
}

void TqdrPrinter::ReadDevice() {
  const QPageLayout& l = device_->layout;
  const QRectF full = l.fullRect(QPageLayout::Millimeter);
  const QMarginsF m = l.margins(QPageLayout::Millimeter);
  paperWidth_ = full.width();
  paperHeight_ = full.height();
  leftMargin_ = m.left();
  topMargin_ = m.top();
  rightMargin_ = m.right();
  bottomMargin_ = m.bottom();
}

void TqdrPrinter::SetViewParams(int paper, TPrinterOrientation orientation, double width,
                                double height) {
  if (!device_) return;
  ApplyPaper(paper, orientation, width, height);
}

void TqdrPrinter::SetPrintParams(int paper, TPrinterOrientation orientation, int copies, int duplex,
                                 int bin, double width, double height) {
  if (!device_) return;
  ApplyPaper(paper, orientation, width, height);
  copies_ = std::max(1, copies);
  const int source = bin_ != -1 ? bin_ : bin;
  if (source != kAutoBin) source_ = source;
  if (duplex >= 2 && duplex <= 4) duplex_ = duplex;
  // A queue takes one paper, copy count and duplex mode per job: a change
  // within a document starts a new job for the pages that follow.
  if (job_ && job_->spool && JobOptions() != job_->options) FinishJob(true);
}

std::vector<std::string> TqdrPrinter::JobOptions() const {
  std::vector<std::string> out;
  if (copies_ > 1) out.insert(out.end(), {"-n", std::to_string(copies_), "-o", "collate=false"});
  const QPageSize size = device_->layout.pageSize();
  std::string media = size.key().toStdString();
  if (size.id() == QPageSize::Custom) {
    const QSizeF s = size.size(QPageSize::Millimeter);
    media = "Custom." + Mm(std::round(s.width() * 100) / 100) + "x" +
            Mm(std::round(s.height() * 100) / 100) + "mm";
  }
  out.insert(out.end(), {"-o", "media=" + media});
  if (duplex_ == 2) out.insert(out.end(), {"-o", "sides=two-sided-long-edge"});
  if (duplex_ == 3) out.insert(out.end(), {"-o", "sides=two-sided-short-edge"});
  if (duplex_ == 4) out.insert(out.end(), {"-o", "sides=one-sided"});
  return out;
}

void TqdrPrinter::BeginDoc() {
  // A queue that could not be opened prints nothing: say so instead of
  // returning as if the pages had gone out.
  if (!device_) throw core::Error("Printer selected is not valid");
  printing_ = true;
}

void TqdrPrinter::StartJob() {
  auto job = std::make_unique<Job>();
  job->spool = !ToFile();
  if (job->spool) {
    QTemporaryFile tmp(QDir::tempPath() + "/qdr-print-XXXXXX.pdf");
    tmp.setAutoRemove(false);
    if (!tmp.open())
      throw core::Error("Cannot create a spool file in " + QDir::tempPath().toStdString());
    job->file = tmp.fileName().toStdString();
  } else {
    job->file = FileName();
  }
  if (job->file.empty()) throw core::Error("No output file for printer \"" + name_ + "\"");
  job->options = JobOptions();
  job->printer.setOutputFormat(QPrinter::PdfFormat);
  job->printer.setOutputFileName(QString::fromStdString(job->file));
  job->printer.setResolution(dpiX_);
  job->printer.setDocName(QString::fromStdString(title_));
  job->printer.setCreator("survey");
  job->layout = device_->layout;
  job->printer.setPageLayout(job->layout);
  if (!job->painter.begin(&job->printer)) {
    if (job->spool) QFile::remove(QString::fromStdString(job->file));
    throw core::Error("Cannot print to \"" + job->file + "\"");
  }
  job_ = std::move(job);
}

void TqdrPrinter::BeginPage() {
  if (!device_ || !printing_) return;
  if (!job_) {
    StartJob();
  } else {
    if (!(job_->layout == device_->layout)) {
      job_->layout = device_->layout;
      job_->printer.setPageLayout(job_->layout);
    }
    job_->printer.newPage();
  }
  job_->pageOpen = true;
  canvas_.SetPainter(&job_->painter);
}

void TqdrPrinter::EndPage() {
  canvas_.SetPainter(nullptr);
  if (!job_ || !job_->pageOpen) return;
  job_->pageOpen = false;
  ++job_->pages;
}

void TqdrPrinter::FinishJob(bool submit) {
  std::unique_ptr<Job> job = std::move(job_);
  canvas_.SetPainter(nullptr);
  job->painter.end();
  const QString file = QString::fromStdString(job->file);
  if (!job->spool) {
    if (!submit) QFile::remove(file);  // no half-printed file
    return;
  }
  if (submit) {
    try {
      Submit(job->file, job->options);
    } catch (...) {
      QFile::remove(file);
      throw;
    }
  }
  QFile::remove(file);
}

void TqdrPrinter::Submit(const std::string& file, const std::vector<std::string>& options) {
  QStringList args{"-d", QString::fromStdString(name_)};
  if (!title_.empty()) args << "-t" << QString::fromStdString(title_);
  for (const std::string& o : options) args << QString::fromStdString(o);
  args << "--" << QString::fromStdString(file);
  QProcess lp;
  lp.start("lp", args);
  const bool done = lp.waitForFinished(60000);
  if (!done || lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
    std::string why = QString::fromLocal8Bit(lp.readAllStandardError()).trimmed().toStdString();
    if (why.empty()) why = lp.errorString().toStdString();
    throw core::Error("Printer \"" + name_ + "\" did not take the document: " + why);
  }
}

void TqdrPrinter::EndDoc() {
  const bool wasPrinting = printing_;
  printing_ = false;
  bin_ = -1;
  if (wasPrinting && job_) FinishJob(true);
}

void TqdrPrinter::Abort() {
  printing_ = false;
  bin_ = -1;
  if (job_) FinishJob(false);
}

void TqdrPrinter::BeginRawDoc() {
  if (!device_) return;
  raw_.clear();
  rawOpen_ = true;
}

void TqdrPrinter::WriteRawData(const std::string& data) {
  if (rawOpen_) raw_ += data;
}

void TqdrPrinter::EndRawDoc() {
  if (!rawOpen_) return;
  rawOpen_ = false;
  const std::string data = std::move(raw_);
  raw_.clear();
  if (!FileName().empty() || fileOnly_) {
    QFile out(QString::fromStdString(FileName()));
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(data.data(), static_cast<qint64>(data.size())) !=
            static_cast<qint64>(data.size()))
      throw core::Error("Cannot print to \"" + FileName() + "\"");
    return;
  }
  QTemporaryFile tmp(QDir::tempPath() + "/qdr-raw-XXXXXX");
  if (!tmp.open() ||
      tmp.write(data.data(), static_cast<qint64>(data.size())) != static_cast<qint64>(data.size()))
    throw core::Error("Cannot create a spool file in " + QDir::tempPath().toStdString());
  tmp.flush();
  Submit(tmp.fileName().toStdString(), {"-o", "raw"});
}

bool TqdrPrinter::PropertiesDlg() {
  if (!device_) return false;
  QPageSetupDialog dialog(&device_->printer, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return false;
  QPageLayout l = device_->printer.pageLayout();
  l.setUnits(QPageLayout::Millimeter);
  device_->layout = l;
  paper_ = l.pageSize().windowsId() > 0 ? l.pageSize().windowsId() : kCustomPaper;
  orientation_ = l.orientation() == QPageLayout::Landscape ? TPrinterOrientation::poLandscape
                                                           : TPrinterOrientation::poPortrait;
  ReadDevice();
  return true;
}

// ---------------------------------------------------------------------------
// The virtual printer

TqdrVirtualPrinter::TqdrVirtualPrinter(const std::string& name) : TqdrCustomPrinter(name, "") {}

void TqdrVirtualPrinter::Initialize() {
  dpiX_ = dpiY_ = 600;
  defPaper_ = paper_ = 9;
  defOrientation_ = orientation_ = TPrinterOrientation::poPortrait;
  defPaperWidth_ = paperWidth_ = 210;
  defPaperHeight_ = paperHeight_ = 297;
  leftMargin_ = topMargin_ = rightMargin_ = bottomMargin_ = 4;
  papers_ = {{report::Resources().Lookup("prCustom"), kCustomPaper}};
  for (const report::TqdrPaperSize& p : report::DriverPaperSizes())
    papers_.push_back({PaperName(p.number), p.number});
  bins_ = {{report::Resources().Lookup("prDefault"), kAutoBin}};
  bin_ = -1;
  initialized_ = true;
}

void TqdrVirtualPrinter::SetViewParams(int paper, TPrinterOrientation orientation, double width,
                                       double height) {
  const report::TqdrPaperSize* known = nullptr;
  for (const report::TqdrPaperSize& p : report::DriverPaperSizes())
    if (p.number == paper) known = &p;
  if (known) {
    paper_ = paper;
    paperWidth_ = known->width;
    paperHeight_ = known->height;
    if (orientation == TPrinterOrientation::poLandscape) std::swap(paperWidth_, paperHeight_);
  } else {
    paper_ = kCustomPaper;
    paperWidth_ = width;
    paperHeight_ = height;
  }
  orientation_ = orientation;
}

void TqdrVirtualPrinter::SetPrintParams(int paper, TPrinterOrientation orientation, int, int,
                                        int bin, double width, double height) {
  SetViewParams(paper, orientation, width, height);
  bin_ = bin;
}

// ---------------------------------------------------------------------------
// The printer list

TqdrPrinters::TqdrPrinters() {
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
    printers_.push_back(std::make_unique<TqdrPrinter>(info.printerName().toStdString(),
                                                      info.location().toStdString()));
    names_.push_back(printers_.back()->Name());
  }
  hasPhysicalPrinters_ = !printers_.empty();
  if (!hasPhysicalPrinters_) {
    printers_.push_back(
        std::make_unique<TqdrVirtualPrinter>(report::Resources().Lookup("prVirtual")));
    names_.push_back(printers_.back()->Name());
  }
  SelectPrinter(-1);
}

TqdrPrinters::~TqdrPrinters() = default;

TqdrCustomPrinter* TqdrPrinters::PrinterAt(int index) const {
  if (index < 0 || index >= PrinterCount()) return nullptr;
  return printers_[static_cast<size_t>(index)].get();
}

int TqdrPrinters::IndexOfPrinter(const std::string& name) const {
  for (size_t i = 0; i < names_.size(); ++i)
    if (core::EqualsNoCase(names_[i], name)) return static_cast<int>(i);
  return -1;
}

void TqdrPrinters::SelectPrinter(int index) {
  if (index == -1) {
    index = IndexOfPrinter(DefaultPrinterName());
    // CUPS may have no default destination: the first printer stands in.
    if (index == -1 && !printers_.empty()) index = 0;
  }
  TqdrCustomPrinter* printer = PrinterAt(index);
  if (!printer) return;
  printerIndex_ = index;
  if (!printer->Initialized()) printer->Initialize();
}

std::string TqdrPrinters::DefaultPrinterName() const {
  if (!hasPhysicalPrinters_) return names_.empty() ? std::string() : names_.front();
  return QPrinterInfo::defaultPrinterName().toStdString();
}

int TqdrPrinters::AddPrinter(std::unique_ptr<TqdrCustomPrinter> printer) {
  names_.push_back(printer->Name());
  printers_.push_back(std::move(printer));
  return PrinterCount() - 1;
}

TqdrPrinters& Printers() {
  // Lives until the program ends; never destroyed after the application object.
  static TqdrPrinters* list = new TqdrPrinters;
  return *list;
}

void InstallDefaultPaperProvider() {
  report::SetDefaultPaperProvider([] {
    report::TqdrDefaultPaper paper;
    const TqdrCustomPrinter* p = Printers().CurrentPrinter();
    if (!p || !p->Initialized()) return paper;
    paper.paperSize = p->DefPaper();
    paper.width = p->DefPaperWidth();
    paper.height = p->DefPaperHeight();
    paper.orientation = p->DefOrientation();
    return paper;
  });
}

}  // namespace engine
