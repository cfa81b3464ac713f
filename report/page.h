// Pages: the printed report page (paper, margins, columns, background) and
// the dialog page shown before a run.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/component.h"

namespace report {

class TqdrDataBand;
class TqdrFrame;
class TqdrPicture;
class TqdrPictureView;
class TqdrStringList;
class TqdrSubreport;

class TqdrPage : public TqdrComponent {
  CORE_DECLARE_CLASS()
 public:
  using TqdrComponent::TqdrComponent;
  TqdrPage* AsPage() const override { return const_cast<TqdrPage*>(this); }
};

// The paper the current printer offers by default (SetDefaults uses it).
struct TqdrDefaultPaper {
  int paperSize = 9;
  double width = 210, height = 297;
  TPrinterOrientation orientation = TPrinterOrientation::poPortrait;
};
// Installed by the printing layer; without one SetDefaults takes A4 portrait.
void SetDefaultPaperProvider(std::function<TqdrDefaultPaper()> provider);

class TqdrReportPage : public TqdrPage {
  CORE_DECLARE_CLASS()
 public:
  // Paper size 9 (A4, 210 x 297 mm), portrait, no margins.
  explicit TqdrReportPage(TqdrComponent* owner = nullptr);
  ~TqdrReportPage() override;

  TPrinterOrientation Orientation() const { return orientation_; }
  // Swaps the paper sides and rotates the margins.
  void SetOrientation(TPrinterOrientation v);
  double PaperWidth() const { return paperWidth_; }
  double PaperHeight() const { return paperHeight_; }
  // Either makes PaperSize 256 (custom).
  virtual void SetPaperWidth(double v);
  virtual void SetPaperHeight(double v);
  int PaperSize() const { return paperSize_; }
  // A standard number takes its paper's sides (swapped when landscape).
  virtual void SetPaperSize(int v);
  double LeftMargin() const { return leftMargin_; }
  void SetLeftMargin(double v) { leftMargin_ = v; }
  double RightMargin() const { return rightMargin_; }
  void SetRightMargin(double v) { rightMargin_ = v; }
  double TopMargin() const { return topMargin_; }
  void SetTopMargin(double v) { topMargin_ = v; }
  double BottomMargin() const { return bottomMargin_; }
  void SetBottomMargin(double v) { bottomMargin_ = v; }
  bool MirrorMargins() const { return mirrorMargins_; }
  void SetMirrorMargins(bool v) { mirrorMargins_ = v; }
  int Columns() const { return columns_; }
  // Divides the printable width into n columns and lists their positions.
  void SetColumns(int n);
  double ColumnWidth() const { return columnWidth_; }
  void SetColumnWidth(double v) { columnWidth_ = v; }
  TqdrStringList* ColumnPositions() const { return columnPositions_.get(); }
  void SetColumnPositions(TqdrStringList* v);
  int Bin() const { return bin_; }
  void SetBin(int v) { bin_ = v; }
  int BinOtherPages() const { return binOtherPages_; }
  void SetBinOtherPages(int v) { binOtherPages_ = v; }
  TqdrPicture* BackPicture() const;
  void SetBackPicture(TqdrPicture* v);
  int Color() const;
  void SetColor(int v);
  TqdrDuplexMode Duplex() const { return duplex_; }
  void SetDuplex(TqdrDuplexMode v) { duplex_ = v; }
  bool PrintEnd() const { return printEnd_; }
  void SetPrintEnd(bool v) { printEnd_ = v; }
  TqdrFrame* Frame() const;
  void SetFrame(TqdrFrame* v);
  bool LargeDesignHeight() const { return largeDesignHeight_; }
  void SetLargeDesignHeight(bool v) { largeDesignHeight_ = v; }
  const std::string& OutlineText() const { return outlineText_; }
  void SetOutlineText(const std::string& v) { outlineText_ = v; }
  bool PrintIfEmpty() const { return printIfEmpty_; }
  void SetPrintIfEmpty(bool v) { printIfEmpty_ = v; }
  bool PrintOnPreviousPage() const { return printOnPreviousPage_; }
  void SetPrintOnPreviousPage(bool v) { printOnPreviousPage_ = v; }
  bool TitleBeforeHeader() const { return titleBeforeHeader_; }
  void SetTitleBeforeHeader(bool v) { titleBeforeHeader_ = v; }
  TqdrStringList* HGuides() const { return hGuides_.get(); }
  void SetHGuides(TqdrStringList* v);
  TqdrStringList* VGuides() const { return vGuides_.get(); }
  void SetVGuides(TqdrStringList* v);
  const std::string& OnAfterPrint() const { return onAfterPrint_; }
  void SetOnAfterPrint(const std::string& v) { onAfterPrint_ = v; }
  const std::string& OnBeforePrint() const { return onBeforePrint_; }
  void SetOnBeforePrint(const std::string& v) { onBeforePrint_ = v; }
  const std::string& OnManualBuild() const { return onManualBuild_; }
  void SetOnManualBuild(const std::string& v) { onManualBuild_ = v; }

  // The picture view that draws the background (BackPicture, Color, Frame).
  TqdrPictureView* BackgroundView() const { return background_.get(); }
  // The sub-report that prints this page, if any.
  TqdrSubreport* SubReport() const { return subReport_; }
  void SetSubReport(TqdrSubreport* v);

  // Width/Height from the paper, rounded to whole pixels.
  void UpdateDimensions();
  // Margins 10 mm; paper and orientation of the current printer.
  virtual void SetDefaults();
  // Aligns the page's views, stretches the bands over the printable area and
  // aligns each band's children.
  void AlignChildren() override;
  std::string GetDescription() const override;

  // Connected by the band engine for a preparation: the page's top-level data
  // bands, horizontal and vertical.
  std::vector<TqdrDataBand*>& TopDataBands() { return topDataBands_; }
  std::vector<TqdrDataBand*>& TopVerticalDataBands() { return topVerticalDataBands_; }

 protected:
  void Notification(TqdrComponent* removed) override;

 private:
  std::vector<TqdrDataBand*> topDataBands_, topVerticalDataBands_;
  TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
  double paperWidth_ = 0, paperHeight_ = 0;
  int paperSize_ = 0;
  double leftMargin_ = 0, rightMargin_ = 0, topMargin_ = 0, bottomMargin_ = 0;
  bool mirrorMargins_ = false;
  int columns_ = 0;
  double columnWidth_ = 0;
  std::unique_ptr<TqdrStringList> columnPositions_;
  int bin_ = 7, binOtherPages_ = 7;
  std::unique_ptr<TqdrPictureView> background_;
  TqdrDuplexMode duplex_ = TqdrDuplexMode::dmNone;
  bool printEnd_ = false;
  bool largeDesignHeight_ = false;
  std::string outlineText_;
  bool printIfEmpty_ = true, printOnPreviousPage_ = false, titleBeforeHeader_ = true;
  std::unique_ptr<TqdrStringList> hGuides_, vGuides_;
  std::string onAfterPrint_, onBeforePrint_, onManualBuild_;
  TqdrSubreport* subReport_ = nullptr;
};

// A dialog window shown before the run. Its window belongs to the dialog
// runner, which this system does not use; the page keeps the window's settings.
class TqdrDialogPage : public TqdrPage {
  CORE_DECLARE_CLASS()
 public:
  // Font "Tahoma" 8, button-face colour, sizeable, centred on the screen.
  explicit TqdrDialogPage(TqdrComponent* owner = nullptr);
  bool IsDialogObject() const override { return true; }

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v) { borderStyle_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  int Color() const { return color_; }
  void SetColor(int v) { color_ = v; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState v) { windowState_ = v; }
  // Events: script procedure names, indexed by DialogEvent.
  enum DialogEvent {
    kOnActivate,
    kOnClick,
    kOnCloseQuery,
    kOnDeactivate,
    kOnHide,
    kOnKeyDown,
    kOnKeyPress,
    kOnKeyUp,
    kOnShow,
    kOnResize,
    kEventCount
  };
  const std::string& Event(int which) const { return events_[which]; }
  void SetEvent(int which, const std::string& v) { events_[which] = v; }
  std::string GetDescription() const override;

 private:
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  std::string caption_;
  int color_ = clBtnFace;
  TPosition position_ = TPosition::poScreenCenter;
  TWindowState windowState_ = TWindowState::wsNormal;
  std::string events_[kEventCount];
};

}  // namespace report
