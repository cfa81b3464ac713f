// TqdrPreviewForm: the preview window. A toolbar with the buttons the
// report's PreviewOptions.Buttons ask for, the preview control and a status
// bar with the page number and the URL under the pointer.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QEventLoop;
class QIcon;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;

namespace report {
class TqdrReport;
}

namespace engine {

class TqdrPreview;
class TqdrPreviewPages;
class TqdrExportFilter;

class TqdrPreviewForm : public QMainWindow {
 public:
  TqdrPreviewForm(report::TqdrReport& report, TqdrPreviewPages& pages, QWidget* parent = nullptr);
  ~TqdrPreviewForm() override;

  TqdrPreview* Preview() const { return preview_; }
  report::TqdrReport& Report() const { return report_; }
  // The toolbar item of that object name ("btnPrint", "cmbZoom", ...), or null.
  QAction* Button(const std::string& name) const;
  // Object names of the toolbar items shown, in order (separators left out).
  std::vector<std::string> VisibleButtons() const;
  QComboBox* ZoomBox() const { return zoomBox_; }
  QLineEdit* PageBox() const { return pageBox_; }
  QToolButton* CloseButton() const { return closeButton_; }
  QLabel* StatusPanel(int index) const;  // 0 page, 1 URL and messages
  // The right-click menu as it is built from the visible buttons.
  std::unique_ptr<QMenu> BuildPopupMenu();

  void ToggleFullScreen();
  bool FullScreen() const { return fullScreen_; }
  // Applies the zoom box's text (or its mode entry).
  void ApplyZoomText();
  // Shows the page typed in the page box.
  void ApplyPageText();
  // Closes even while a preparation runs: it is cancelled and the window
  // closes when it stops.
  void CloseWindow();

  // Runs a modal loop until the window closes.
  void SetEventLoop(QEventLoop* loop) { loop_ = loop; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Item;
  void BuildToolbar();
  QAction* AddButton(const std::string& name, int group, bool visible, int caption, int hint,
                     const QIcon& icon);
  void UpdateSeparators();
  void UpdateStatus();
  void UpdateZoomBox();
  void BusyChanged(bool busy);
  void ApplyOptions();
  void Export(TqdrExportFilter* filter);

  report::TqdrReport& report_;
  TqdrPreview* preview_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  std::vector<std::unique_ptr<Item>> items_;
  std::vector<QAction*> separators_;
  QComboBox* zoomBox_ = nullptr;
  QLineEdit* pageBox_ = nullptr;
  QToolButton* closeButton_ = nullptr;
  QLabel* status_[2] = {};
  bool fullScreen_ = false;
  bool wasMaximized_ = false;
  bool closeWhenDone_ = false;
  QEventLoop* loop_ = nullptr;
};

// Shows the prepared pages of `report` in a new preview window, with the
// report's PreviewOptions applied. Modal: returns when the window closes.
// Non-modal: returns at once; the window frees itself when closed.
// While it is open, the window is the report's preview link
// (report.SetPreviewLink), so a preparation started after it opened fills it
// page by page and shows the message panel with Cancel (Cancel sets
// report.SetTerminated(true)).
void ShowPreviewWindow(report::TqdrReport& report, TqdrPreviewPages& pages);
// Closes the window that ShowPreviewWindow opened for `report`, if any.
void ClosePreviewWindow(report::TqdrReport& report);
// The window open for `report`, or null.
TqdrPreviewForm* PreviewWindow(report::TqdrReport& report);

// Installs the preview window as the reports' way of showing prepared pages,
// the progress window, and the PDF export filter.
void InstallPreviewWindow();
// F1 in the preview window; the default does nothing.
void SetPreviewHelp(std::function<void()> help);

}  // namespace engine
