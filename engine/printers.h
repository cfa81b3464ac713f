// Printers: the list of installed printers with the current one, a printer
// object per printer (a CUPS queue, or the virtual printer that stands in when
// none is installed) and the canvas that pages are drawn on.
//
// A real printer renders every document with Qt's PDF engine: into FileName
// when printing to a file, otherwise into a spool file that is handed to the
// CUPS queue when the document ends (and thrown away when it is aborted).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "report/types.h"

class QPainter;
class QFont;

namespace engine {

class TqdrCustomPrinter;

// Draws on the open page of a printer. Fonts set through SetFont are sized
// for the printer's vertical resolution (the point size is kept).
class TqdrPrinterCanvas {
 public:
  explicit TqdrPrinterCanvas(TqdrCustomPrinter* printer) : printer_(printer) {}
  // The painter of the open page; null when no page is open.
  QPainter* Painter() const { return painter_; }
  void SetPainter(QPainter* painter) { painter_ = painter; }
  void SetFont(const QFont& font);

 private:
  TqdrCustomPrinter* printer_;
  QPainter* painter_ = nullptr;
};

// A paper or a paper source a printer offers.
struct TqdrPrinterChoice {
  std::string name;
  int number;
};

class TqdrCustomPrinter {
 public:
  TqdrCustomPrinter(const std::string& name, const std::string& port);
  virtual ~TqdrCustomPrinter();
  TqdrCustomPrinter(const TqdrCustomPrinter&) = delete;
  TqdrCustomPrinter& operator=(const TqdrCustomPrinter&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Port() const { return port_; }
  // When not empty, documents go to this file.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& v) { fileName_ = v; }
  // The document name the spooler shows.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v) { title_ = v; }
  int DpiX() const { return dpiX_; }
  int DpiY() const { return dpiY_; }
  // Paper number; 256 is a custom size.
  int Paper() const { return paper_; }
  report::TPrinterOrientation Orientation() const { return orientation_; }
  // Physical paper and non-printable borders, millimetres.
  double PaperWidth() const { return paperWidth_; }
  double PaperHeight() const { return paperHeight_; }
  double LeftMargin() const { return leftMargin_; }
  double TopMargin() const { return topMargin_; }
  double RightMargin() const { return rightMargin_; }
  double BottomMargin() const { return bottomMargin_; }
  int DefPaper() const { return defPaper_; }
  report::TPrinterOrientation DefOrientation() const { return defOrientation_; }
  double DefPaperWidth() const { return defPaperWidth_; }
  double DefPaperHeight() const { return defPaperHeight_; }
  // Paper source chosen in the properties dialog, -1 when none was.
  int Bin() const { return bin_; }
  // First entry "prDefault" (7, automatic).
  const std::vector<TqdrPrinterChoice>& Bins() const { return bins_; }
  // First entry "prCustom" (256).
  const std::vector<TqdrPrinterChoice>& Papers() const { return papers_; }
  TqdrPrinterCanvas* Canvas() { return &canvas_; }
  bool Printing() const { return printing_; }
  bool Initialized() const { return initialized_; }
  // Whether the device makes the copies asked for in SetPrintParams itself;
  // when not, the print loop prints each page as often as needed.
  virtual bool DeviceCopies() const { return true; }

  virtual void Initialize() = 0;
  virtual void Abort() = 0;
  virtual void BeginDoc() = 0;
  virtual void BeginPage() = 0;
  virtual void BeginRawDoc() = 0;
  virtual void EndDoc() = 0;
  virtual void EndPage() = 0;
  virtual void EndRawDoc() = 0;
  virtual void WriteRawData(const std::string& data) = 0;
  // Paper for the page settings dialog: sizes in millimetres, used for paper 256.
  virtual void SetViewParams(int paper, report::TPrinterOrientation orientation, double width,
                             double height) = 0;
  // Paper and device settings of the next printed page. `duplex` is the
  // page's duplex mode + 1 (1 none, 2 vertical, 3 horizontal, 4 simplex).
  virtual void SetPrintParams(int paper, report::TPrinterOrientation orientation, int copies,
                              int duplex, int bin, double width, double height) = 0;
  // The printer's settings dialog; true when confirmed.
  virtual bool PropertiesDlg() = 0;

 protected:
  std::string name_, port_, fileName_, title_;
  int dpiX_ = 0, dpiY_ = 0;
  int paper_ = 9;
  report::TPrinterOrientation orientation_ = report::TPrinterOrientation::poPortrait;
  double paperWidth_ = 0, paperHeight_ = 0;
  double leftMargin_ = 0, topMargin_ = 0, rightMargin_ = 0, bottomMargin_ = 0;
  int defPaper_ = 9;
  report::TPrinterOrientation defOrientation_ = report::TPrinterOrientation::poPortrait;
  double defPaperWidth_ = 0, defPaperHeight_ = 0;
  int bin_ = -1;
  std::vector<TqdrPrinterChoice> bins_, papers_;
  TqdrPrinterCanvas canvas_{this};
  bool printing_ = false;
  bool initialized_ = false;
};

// A CUPS queue. Without a queue of that name (CreateFilePrinter) it prints to
// files only: PDF at 1200 dpi on Qt's paper sizes, with no borders.
class TqdrPrinter : public TqdrCustomPrinter {
 public:
  TqdrPrinter(const std::string& name, const std::string& port);
  ~TqdrPrinter() override;
  static std::unique_ptr<TqdrPrinter> CreateFilePrinter(const std::string& name);

  // Copies of a document printed to a file are printed page by page.
  bool DeviceCopies() const override { return !ToFile(); }

  // Raises core::Error "Printer selected is not valid" when the device has no resolution.
  void Initialize() override;
  void Abort() override;
  // Raises core::Error "Printer selected is not valid" when the printer is not initialised.
  void BeginDoc() override;
  // Raises core::Error when the output cannot be opened.
  void BeginPage() override;
  void BeginRawDoc() override;
  // Hands the document to the queue; raises core::Error when the queue refuses it.
  void EndDoc() override;
  void EndPage() override;
  void EndRawDoc() override;
  void WriteRawData(const std::string& data) override;
  void SetViewParams(int paper, report::TPrinterOrientation orientation, double width,
                     double height) override;
  void SetPrintParams(int paper, report::TPrinterOrientation orientation, int copies, int duplex,
                      int bin, double width, double height) override;
  bool PropertiesDlg() override;

 protected:
  TqdrPrinter(const std::string& name, const std::string& port, bool fileOnly);

 private:
  struct Device;
  struct Job;
  void ApplyPaper(int paper, report::TPrinterOrientation orientation, double width, double height);
  void ReadDevice();
  void StartJob();
  void FinishJob(bool submit);
  std::vector<std::string> JobOptions() const;
  void Submit(const std::string& file, const std::vector<std::string>& options);
  bool ToFile() const { return !FileName().empty() || fileOnly_; }

  bool fileOnly_ = false;
  std::unique_ptr<Device> device_;  // the device settings (the "device mode")
  std::unique_ptr<Job> job_;        // the document being rendered
  int copies_ = 1, duplex_ = 1, source_ = 7;
  std::string raw_;
  bool rawOpen_ = false;
};

// Stands in when no printer is installed: 600 dpi, A4 portrait, 4 mm borders;
// document and page operations do nothing.
class TqdrVirtualPrinter : public TqdrCustomPrinter {
 public:
  explicit TqdrVirtualPrinter(const std::string& name);
  bool DeviceCopies() const override { return true; }
  void Initialize() override;
  void Abort() override {}
  void BeginDoc() override {}
  void BeginPage() override {}
  void BeginRawDoc() override {}
  void EndDoc() override {}
  void EndPage() override {}
  void EndRawDoc() override {}
  void WriteRawData(const std::string&) override {}
  void SetViewParams(int paper, report::TPrinterOrientation orientation, double width,
                     double height) override;
  void SetPrintParams(int paper, report::TPrinterOrientation orientation, int copies, int duplex,
                      int bin, double width, double height) override;
  bool PropertiesDlg() override { return false; }
};

// The installed printers and the current one.
class TqdrPrinters {
 public:
  // Enumerates the CUPS queues; the virtual printer "prVirtual" when there are none.
  TqdrPrinters();
  ~TqdrPrinters();

  int PrinterCount() const { return static_cast<int>(printers_.size()); }
  // Null when out of range.
  TqdrCustomPrinter* PrinterAt(int index) const;
  const std::vector<std::string>& Printers() const { return names_; }
  // Case ignored; -1 when absent.
  int IndexOfPrinter(const std::string& name) const;
  // Makes the printer current and initialises it on first selection; -1
  // selects the system's default printer (the first one when none is set).
  void SelectPrinter(int index);
  TqdrCustomPrinter* CurrentPrinter() const { return PrinterAt(printerIndex_); }
  int PrinterIndex() const { return printerIndex_; }
  bool HasPhysicalPrinters() const { return hasPhysicalPrinters_; }
  std::string DefaultPrinterName() const;
  // Adds a printer CUPS does not list (a file printer for batch output); returns its index.
  int AddPrinter(std::unique_ptr<TqdrCustomPrinter> printer);

 private:
  std::vector<std::unique_ptr<TqdrCustomPrinter>> printers_;
  std::vector<std::string> names_;
  int printerIndex_ = -1;
  bool hasPhysicalPrinters_ = false;
};

// The one list, created on first use.
TqdrPrinters& Printers();

// Lets new report pages take the current printer's default paper.
void InstallDefaultPaperProvider();

}  // namespace engine
