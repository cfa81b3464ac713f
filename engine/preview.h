// The preview control: an outline tree, a splitter, the page workspace and a
// message panel shown while the pages are saved, loaded or prepared into it.
// Attached to a report it is the report's preview link, so a preparation
// fills it page by page.
#pragma once

#include <QPoint>
#include <QRectF>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "report/report.h"
#include "report/types.h"

class QLabel;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

namespace report {
class TqdrView;
}

namespace engine {

class TqdrExportFilter;
class TqdrPreviewPages;
class TqdrPreviewWorkspace;

enum class TqdrPreviewTool { ptHand, ptZoom };

// Find state, shared by every preview of the program.
struct TqdrFindState {
  std::string text;
  bool caseSensitive = false;
  bool found = false;
  QRectF rect;           // found object, report units on its page
  int page = 0;          // page being searched (0-based)
  int lastRecord = -1;   // index of the last matching object on that page
  std::string lastText;  // last text entered in the find dialog
};
TqdrFindState& FindState();

// Packs an outline item's page (0-based) and top into the node data:
// the low 20 bits the 1-based page, the rest half the top.
int64_t PackOutlineData(int page, int top);
void UnpackOutlineData(int64_t data, int& page, int& top);

// Opens the report designer on a report; true when the user confirmed. None
// is installed in this program, so pages cannot be edited in a designer.
using TqdrDesignerCall = std::function<bool(report::TqdrReport& report)>;
void SetPreviewDesigner(TqdrDesignerCall designer);
const TqdrDesignerCall& PreviewDesigner();

class TqdrCustomPreview : public QWidget, public report::TqdrPreviewLink {
 public:
  explicit TqdrCustomPreview(QWidget* parent = nullptr);
  ~TqdrCustomPreview() override;

  // Shows `pages` of `report` and becomes the report's preview link.
  void Attach(report::TqdrReport* report, TqdrPreviewPages* pages);
  // Leaves the report (also done when the control is freed).
  void Detach();
  report::TqdrReport* Report() const { return report_; }
  TqdrPreviewPages* Pages() const { return pages_; }

  int PageNo() const { return pageNo_; }
  int PageCount() const;
  double Zoom() const { return zoom_; }
  report::TqdrZoomMode ZoomMode() const { return zoomMode_; }
  TqdrPreviewTool Tool() const { return tool_; }
  void SetTool(TqdrPreviewTool tool);
  bool Busy() const { return busy_; }
  // The first pass of a two-pass preparation is running.
  bool FirstPass() const { return busy_ && !finalPass_; }
  bool Locked() const { return locked_; }
  int BackColor() const { return backColor_; }
  void SetBackColor(int v) { backColor_ = v; }
  int FrameColor() const { return frameColor_; }
  void SetFrameColor(int v) { frameColor_ = v; }
  // The toolbar buttons the window has; the keys of missing ones do nothing.
  uint32_t Buttons() const { return buttons_; }
  void SetButtons(uint32_t v) { buttons_ = v; }
  bool AllowEdit() const;

  // Page n clamped to the pages, its top 10 pixels below the window top.
  void ShowPage(int n);
  void FirstPage();
  void PriorPage();
  void NextPage();
  void LastPage();
  // Below 0.25 counts as 0.25; the mode becomes zmDefault.
  void SetZoom(double zoom);
  void SetZoomMode(report::TqdrZoomMode mode);
  // Zoom of the mode for the current page and workspace size, scroll range, repaint.
  void UpdateZoom();

  // The toolbar's and Ctrl+P's print: the message "clNoPrinters" when no printer is installed.
  void Print();
  void PrintReport();
  void SaveReport();
  void LoadReport();
  // False when the filter refused to start.
  bool ExportReport(TqdrExportFilter& filter);
  void SaveToFile(const std::string& fileName);
  void LoadFromFile(const std::string& fileName);
  void Find();
  void FindNext();
  // A new search for `text`; from page 1 or from the current page.
  bool FindText(const std::string& text, bool caseSensitive, bool fromFirstPage);
  bool FindNextEnabled() const { return findNextEnabled_; }
  void PageSetup();
  void AddPage();
  void DeletePage();
  void EditPage();
  void ClearPages();
  void Cancel();
  void SetOutlineVisible(bool visible);
  bool OutlineVisible() const;

  // The page list again from the store's pages.
  void RebuildPageList();
  void RebuildOutline();
  void ShowMessage(const std::string& text, bool withCancel);
  void HideMessage();

  // Mouse and URL handling of the workspace.
  void FollowURL(const std::string& url);
  // The URL under the pointer goes to the second status panel (empty: none).
  void ShowHoverURL(const std::string& url);
  // The workspace scrolled: the page at the new position becomes current.
  void PositionChanged();
  void ShowAnchor(const std::string& name);
  // Keys of the control; false when not handled.
  bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

  // TqdrPreviewLink: preparation into the preview.
  void PrepareStarted() override;
  void PagePrepared(int page) override;
  void PrepareEnded() override;
  void SetStatusText(const std::string& text) override;

  TqdrPreviewWorkspace* Workspace() const { return workspace_; }
  QTreeWidget* OutlineTree() const { return outline_; }
  QWidget* MessagePanel() const { return messagePanel_; }
  QPushButton* MessageCancel() const { return messageCancel_; }
  QLabel* MessageLabel() const { return messageLabel_; }
  // Refresh interval of the page list during preparation (pages).
  int RefreshInterval() const { return refreshInterval_; }

  // Host callbacks: page changed (page number shown, status), zoom changed,
  // Busy changed, the second status panel's text, clicks, full screen left.
  std::function<void()> OnPageChanged;
  std::function<void()> OnZoomChanged;
  std::function<void(bool busy)> OnBusyChanged;
  std::function<void(const std::string& text)> OnStatus;
  std::function<void(report::TqdrView* view, int button)> OnClick;
  std::function<void()> OnDoubleClick;
  // Right click with the hand tool.
  std::function<void(QPoint globalPos)> OnContextMenu;
  // Each page a preparation adds (0-based), after the preview took it.
  std::function<void(int page)> OnPagePrepared;
  // The file name to save to or open; empty when cancelled. The default shows a file dialog.
  std::function<std::string(bool save)> OnAskFileName;
  // Opens a URL that is neither a page nor an anchor. The default asks the desktop.
  std::function<void(const std::string& url)> OnOpenURL;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Lock();
  void Unlock();
  // Runs `work` with the preview locked; unlocked afterwards, also when it raises.
  template <class Work>
  auto Locked(Work work) {
    Lock();
    struct Unlocker {
      TqdrCustomPreview* p;
      ~Unlocker() { p->Unlock(); }
    } unlocker{this};
    return work();
  }
  void PageChanged();
  void SetBusy(bool busy);
  void AddOutlineItems(QTreeWidgetItem* parent);
  void OutlineClicked(QTreeWidgetItem* item);
  bool SearchFrom(int page);
  void ScrollToFound();
  void PlaceMessagePanel();
  std::string AskFileName(bool save);

  report::TqdrReport* report_ = nullptr;
  TqdrPreviewPages* pages_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QTreeWidget* outline_ = nullptr;
  TqdrPreviewWorkspace* workspace_ = nullptr;
  QWidget* messagePanel_ = nullptr;
  QLabel* messageLabel_ = nullptr;
  QPushButton* messageCancel_ = nullptr;
  int pageNo_ = 1;
  double zoom_ = 1;
  report::TqdrZoomMode zoomMode_ = report::TqdrZoomMode::zmDefault;
  TqdrPreviewTool tool_ = TqdrPreviewTool::ptHand;
  bool busy_ = false, locked_ = false;
  int backColor_ = 8421504, frameColor_ = 0;
  uint32_t buttons_ = report::preview_button::kDefault;
  bool findNextEnabled_ = false;
  int refreshInterval_ = 20;
  int64_t firstPageTime_ = 0;
  bool finalPass_ = true;
  bool showing_ = false;  // ShowPage sets the page itself, not from the scroll position
  std::string hoverURL_;
};

class TqdrPreview : public TqdrCustomPreview {
 public:
  using TqdrCustomPreview::TqdrCustomPreview;
};

}  // namespace engine
