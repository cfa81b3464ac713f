// The preview control: paging, zoom, find, outline, files, page editing and
// preparation into the preview.
#include "engine/preview.h"
#include "engine/resource_text.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

#include "core/text_util.h"
#include "engine/engine.h"
#include "engine/outline.h"
#include "engine/page_settings_form.h"
#include "engine/preview_pages.h"
#include "engine/preview_workspace.h"
#include "engine/printers.h"
#include "engine/report_runtime.h"
#include "engine/search_dialog.h"
#include "report/options.h"
#include "report/page.h"
#include "report/resources.h"
#include "report/view.h"
#include "report/xml_document.h"

namespace engine {

namespace {

constexpr double kMm = 3.77953;
constexpr int kPanelWidth = 260, kPanelHeight = 75;
constexpr int64_t kPageBits = 1048576;  // 2^20

std::string ResText(const char* key) {
  return report::Resources().Lookup(key);
}

// The first "%d" of a resource text replaced by n.
std::string FormatPage(const std::string& pattern, int n) {
  std::string out = pattern;
  const size_t at = out.find("%d");
  if (at != std::string::npos) out.replace(at, 2, std::to_string(n));
  return out;
}

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TqdrDesignerCall& Designer() {
  static TqdrDesignerCall designer;
  return designer;
}


}  // namespace

TqdrFindState& FindState() {
  static TqdrFindState state;
  return state;
}

int64_t PackOutlineData(int page, int top) {
  return (static_cast<int64_t>(page) + 1) + static_cast<int64_t>(top / 2) * kPageBits;
}

void UnpackOutlineData(int64_t data, int& page, int& top) {
  page = static_cast<int>(data % kPageBits);
  top = static_cast<int>((data / kPageBits) * 2);
}

void SetPreviewDesigner(TqdrDesignerCall designer) {
  Designer() = std::move(designer);
}

const TqdrDesignerCall& PreviewDesigner() {
  return Designer();
}

// ---------------------------------------------------------------------------
// Construction and attachment

TqdrCustomPreview::TqdrCustomPreview(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(Qt::Horizontal, this);
  outline_ = new QTreeWidget(splitter_);
  outline_->setHeaderHidden(true);
  outline_->setColumnCount(1);
  workspace_ = new TqdrPreviewWorkspace(this, splitter_);
  splitter_->addWidget(outline_);
  splitter_->addWidget(workspace_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setCollapsible(1, false);
  outline_->hide();
  layout->addWidget(splitter_);

  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setAutoFillBackground(true);
  panel->setFixedSize(kPanelWidth, kPanelHeight);
  messageLabel_ = new QLabel(panel);
  messageLabel_->setAlignment(Qt::AlignCenter);
  messageCancel_ = new QPushButton(Res(2), panel);
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->addWidget(messageLabel_);
  panelLayout->addWidget(messageCancel_, 0, Qt::AlignHCenter);
  panel->hide();
  messagePanel_ = panel;

  connect(messageCancel_, &QPushButton::clicked, this, [this] { Cancel(); });
  connect(outline_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item, int) { OutlineClicked(item); });
  setFocusProxy(workspace_);
}

TqdrCustomPreview::~TqdrCustomPreview() {
  Detach();
}

void TqdrCustomPreview::Attach(report::TqdrReport* report, TqdrPreviewPages* pages) {
  Detach();
  report_ = report;
  pages_ = pages;
  if (report_) {
    report_->SetPreviewLink(this);
    const report::TqdrPreviewOptions* options = report_->PreviewOptions();
    buttons_ = options->Buttons();
    splitter_->setSizes(
        {options->OutlineWidth(), std::max(100, width() - options->OutlineWidth())});
    SetOutlineVisible(options->OutlineVisible());
  }
  if (pages_) pages_->OnFollowURL = [this](const std::string& url) { FollowURL(url); };
  pageNo_ = 1;
  RebuildPageList();
  RebuildOutline();
  UpdateZoom();
  ShowPage(1);
}

void TqdrCustomPreview::Detach() {
  if (report_ && report_->PreviewLink() == this) report_->SetPreviewLink(nullptr);
  if (pages_) pages_->OnFollowURL = nullptr;
  report_ = nullptr;
  pages_ = nullptr;
}

int TqdrCustomPreview::PageCount() const {
  return pages_ ? pages_->PageCount() : 0;
}

bool TqdrCustomPreview::AllowEdit() const {
  return report_ && report_->PreviewOptions()->AllowEdit();
}

void TqdrCustomPreview::SetTool(TqdrPreviewTool tool) {
  tool_ = tool;
  workspace_->UpdateToolCursor();
}

void TqdrCustomPreview::Lock() {
  locked_ = true;
  workspace_->viewport()->update();
}

void TqdrCustomPreview::Unlock() {
  locked_ = false;
  HideMessage();
  workspace_->viewport()->update();
}

void TqdrCustomPreview::SetBusy(bool busy) {
  busy_ = busy;
  if (OnBusyChanged) OnBusyChanged(busy);
}

void TqdrCustomPreview::PageChanged() {
  if (OnPageChanged) OnPageChanged();
}

// ---------------------------------------------------------------------------
// Paging and zoom

void TqdrCustomPreview::ShowPage(int n) {
  const int count = PageCount();
  pageNo_ = std::clamp(n, 1, std::max(1, count));
  if (pages_) pages_->SetPreviewPageNo(pageNo_);
  if (workspace_->PageList().Count() > 0) {
    showing_ = true;
    const QRect r = workspace_->PageRect(pageNo_ - 1);
    workspace_->SetPosition(workspace_->Position().x(), r.top() - 10);
    showing_ = false;
  }
  PageChanged();
}

void TqdrCustomPreview::FirstPage() {
  ShowPage(1);
}

void TqdrCustomPreview::PriorPage() {
  ShowPage(pageNo_ - 1);
}

void TqdrCustomPreview::NextPage() {
  ShowPage(pageNo_ + 1);
}

void TqdrCustomPreview::LastPage() {
  ShowPage(PageCount());
}

void TqdrCustomPreview::PositionChanged() {
  if (showing_ || workspace_->PageList().Count() == 0) return;
  const int page = workspace_->PageAtPosition() + 1;
  if (page == pageNo_) return;
  pageNo_ = page;
  if (pages_) pages_->SetPreviewPageNo(pageNo_);
  PageChanged();
}

void TqdrCustomPreview::SetZoom(double zoom) {
  if (zoom < 0.25) zoom = 0.25;
  // The view stays over the same part of the pages.
  const QPoint pos = workspace_->Position();
  const double ratio = zoom_ > 0 ? zoom / zoom_ : 1;
  if (zoomMode_ == report::TqdrZoomMode::zmManyPages) {
    zoomMode_ = report::TqdrZoomMode::zmDefault;
    RebuildPageList();
  }
  zoomMode_ = report::TqdrZoomMode::zmDefault;
  zoom_ = zoom;
  UpdateZoom();
  showing_ = true;
  workspace_->SetPosition(static_cast<int>(std::lround(pos.x() * ratio)),
                          static_cast<int>(std::lround(pos.y() * ratio)));
  showing_ = false;
}

void TqdrCustomPreview::SetZoomMode(report::TqdrZoomMode mode) {
  zoomMode_ = mode;
  RebuildPageList();
  UpdateZoom();
}

void TqdrCustomPreview::UpdateZoom() {
  int width = 0, height = 0;
  if (pages_) pages_->PageSizeAt(pageNo_ - 1, width, height);
  // An empty store lays out as an A4 page.
  if (width <= 0 || height <= 0) {
    width = 794;
    height = 1123;
  }
  const QSize client = workspace_->viewport()->size();
  bool scrollToPage = false;
  switch (zoomMode_) {
    case report::TqdrZoomMode::zmWholePage:
      zoom_ = (client.height() - 20.0) / height;
      scrollToPage = true;
      break;
    case report::TqdrZoomMode::zmPageWidth:
      zoom_ = (workspace_->width() - 52.0) / width;
      break;
    case report::TqdrZoomMode::zmManyPages:
      zoom_ = (client.width() - 32.0) / (2.0 * width);
      scrollToPage = true;
      break;
    case report::TqdrZoomMode::zmDefault:
      break;
  }
  // A window too small for the mode still shows something.
  zoom_ = std::max(zoom_, 0.05);
  workspace_->UpdateScrollRange();
  if (scrollToPage && workspace_->PageList().Count() > 0) {
    showing_ = true;
    const QRect r = workspace_->PageRect(pageNo_ - 1);
    workspace_->SetPosition(workspace_->Position().x(), r.top() - 10);
    showing_ = false;
  }
  workspace_->viewport()->update();
  if (OnZoomChanged) OnZoomChanged();
}

void TqdrCustomPreview::RebuildPageList() {
  TqdrPageList& list = workspace_->PageList();
  list.SetColumnCount(zoomMode_ == report::TqdrZoomMode::zmManyPages ? 2 : 1);
  const int count = PageCount();
  for (int i = 0; i < count; ++i) {
    int w = 0, h = 0;
    pages_->PageSizeAt(i, w, h);
    list.AddPage(w, h);
  }
  workspace_->UpdateScrollRange();
}

void TqdrCustomPreview::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (messagePanel_->isVisible()) PlaceMessagePanel();
}

// ---------------------------------------------------------------------------
// Keys

bool TqdrCustomPreview::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
  namespace pb = report::preview_button;
  const bool ctrl = modifiers & Qt::ControlModifier;
  switch (key) {
    case Qt::Key_PageUp:
      ctrl ? PriorPage() : workspace_->ScrollBy(0, -300);
      return true;
    case Qt::Key_PageDown:
      ctrl ? NextPage() : workspace_->ScrollBy(0, 300);
      return true;
    case Qt::Key_Home:
      FirstPage();
      return true;
    case Qt::Key_End:
      LastPage();
      return true;
    case Qt::Key_Left:
      workspace_->ScrollBy(-8, 0);
      return true;
    case Qt::Key_Right:
      workspace_->ScrollBy(8, 0);
      return true;
    case Qt::Key_Up:
      workspace_->ScrollBy(0, -8);
      return true;
    case Qt::Key_Down:
      workspace_->ScrollBy(0, 8);
      return true;
    case Qt::Key_F3:
      if (buttons_ & pb::pbFind) FindNext();
      return true;
    default:
      break;
  }
  if (!ctrl) return false;
  switch (key) {
    case Qt::Key_P:
      if (buttons_ & pb::pbPrint) Print();
      return true;
    case Qt::Key_S:
      if (buttons_ & pb::pbSave) SaveReport();
      return true;
    case Qt::Key_F:
      if (buttons_ & pb::pbFind) Find();
      return true;
    case Qt::Key_O:
      if (buttons_ & pb::pbLoad) LoadReport();
      return true;
    default:
      return false;
  }
}

void TqdrCustomPreview::keyPressEvent(QKeyEvent* event) {
  if (HandleKey(event->key(), event->modifiers()))
    event->accept();
  else
    event->ignore();
}

// ---------------------------------------------------------------------------
// Files, printing and export

std::string TqdrCustomPreview::AskFileName(bool save) {
  if (OnAskFileName) return OnAskFileName(save);
  const QString filter = QString::fromStdString(ResText("clQP3files")) + " (*.qp3)";
  const QString name = save ? QFileDialog::getSaveFileName(this, QString(), QString(), filter)
                            : QFileDialog::getOpenFileName(this, QString(), QString(), filter);
  return name.toStdString();
}

void TqdrCustomPreview::Print() {
  if (!Printers().HasPhysicalPrinters()) {
    report::MessageBoxes().ErrorBox(ResText("clNoPrinters"), ResText("mbError"));
    return;
  }
  PrintReport();
}

void TqdrCustomPreview::PrintReport() {
  if (busy_ || !pages_) return;
  pages_->SetPreviewPageNo(pageNo_);
  Locked([this] { return pages_->PrintAll(); });
}

void TqdrCustomPreview::SaveReport() {
  if (busy_ || !pages_) return;
  std::string name = AskFileName(true);
  if (name.empty()) return;
  SaveToFile(std::filesystem::path(name).replace_extension(".qp3").string());
}

void TqdrCustomPreview::SaveToFile(const std::string& fileName) {
  if (busy_ || !pages_) return;
  Locked([&] {
    ShowMessage(ResText("clSaving"), false);
    pages_->SaveToFile(fileName);
  });
}

void TqdrCustomPreview::LoadReport() {
  if (busy_ || !pages_) return;
  const std::string name = AskFileName(false);
  if (!name.empty()) LoadFromFile(name);
}

void TqdrCustomPreview::LoadFromFile(const std::string& fileName) {
  if (busy_ || !pages_) return;
  Lock();
  ShowMessage(ResText("clLoading"), false);
  FindState().found = false;
  findNextEnabled_ = false;
  try {
    pages_->LoadFromFile(fileName);
    if (report_) SetOutlineVisible(report_->PreviewOptions()->OutlineVisible());
    RebuildPageList();
    RebuildOutline();
  } catch (...) {
    RebuildPageList();
    Unlock();
    throw;
  }
  Unlock();
  UpdateZoom();
  ShowPage(1);
}

bool TqdrCustomPreview::ExportReport(TqdrExportFilter& filter) {
  if (busy_ || !pages_) return false;
  pages_->SetPreviewPageNo(pageNo_);
  return Locked([&] { return pages_->ExportTo(filter); });
}

void TqdrCustomPreview::ClearPages() {
  if (busy_ || !pages_) return;
  Lock();
  pages_->ClearAll();
  RebuildPageList();
  Unlock();
  RebuildOutline();
  ShowPage(1);
  workspace_->SetPosition(0, 0);
}

void TqdrCustomPreview::Cancel() {
  if (busy_ && report_) report_->SetTerminated(true);
}

// ---------------------------------------------------------------------------
// Finding text

void TqdrCustomPreview::Find() {
  if (busy_ || !pages_) return;
  TqdrFindState& state = FindState();
  TqdrSearchDialog dialog(state.lastText, this);
  if (dialog.exec() != QDialog::Accepted) return;
  state.lastText = dialog.Text();
  FindText(dialog.Text(), dialog.CaseSensitive(), dialog.FromFirstPage());
}

bool TqdrCustomPreview::FindText(const std::string& text, bool caseSensitive, bool fromFirstPage) {
  TqdrFindState& state = FindState();
  state.text = text;
  state.caseSensitive = caseSensitive;
  state.found = false;
  state.lastRecord = -1;
  findNextEnabled_ = true;
  const bool found = SearchFrom(fromFirstPage ? 0 : pageNo_ - 1);
  workspace_->viewport()->update();
  return found;
}

void TqdrCustomPreview::FindNext() {
  if (!findNextEnabled_ || busy_ || !pages_) return;
  SearchFrom(FindState().page);
}

// Searches the objects' texts from `page` on, after the last match on it.
bool TqdrCustomPreview::SearchFrom(int page) {
  TqdrFindState& state = FindState();
  if (!pages_ || state.text.empty()) return false;
  QString needle = QString::fromStdString(state.text);
  if (!state.caseSensitive) needle = needle.toUpper();
  if (page != state.page) state.lastRecord = -1;
  const int count = PageCount();
  for (int p = std::max(0, page); p < count; ++p) {
    if (p != state.page) {
      state.page = p;
      state.lastRecord = -1;
    }
    auto* rp = dynamic_cast<report::TqdrReportPage*>(pages_->PageAt(p));
    if (!rp) continue;
    const std::vector<report::TqdrComponent*> objects = rp->AllObjects();
    for (int i = state.lastRecord + 1; i < static_cast<int>(objects.size()); ++i) {
      auto* view = dynamic_cast<report::TqdrView*>(objects[static_cast<size_t>(i)]);
      if (!view) continue;
      QString text = QString::fromStdString(view->GetComponentText());
      if (text.isEmpty()) continue;
      if (!state.caseSensitive) text = text.toUpper();
      if (!text.contains(needle)) continue;
      const report::TqdrRect r = view->GetAbsoluteBounds();
      const double left = rp->MirrorMargins() && p % 2 == 1 ? rp->RightMargin() : rp->LeftMargin();
      state.rect = QRectF(left * kMm + r.Left, rp->TopMargin() * kMm + r.Top, r.Right - r.Left,
                          r.Bottom - r.Top);
      state.lastRecord = i;
      state.found = true;
      ScrollToFound();
      return true;
    }
  }
  // Past the last page: nothing more to find, and the view stays as it is.
  state.page = count;
  state.lastRecord = -1;
  return false;
}

void TqdrCustomPreview::ScrollToFound() {
  const TqdrFindState& state = FindState();
  const QRect page = workspace_->PageRect(state.page);
  const QRect hit(page.x() + static_cast<int>(std::lround(state.rect.left() * zoom_)),
                  page.y() + static_cast<int>(std::lround(state.rect.top() * zoom_)),
                  static_cast<int>(std::lround(state.rect.width() * zoom_)),
                  static_cast<int>(std::lround(state.rect.height() * zoom_)));
  const QSize view = workspace_->viewport()->size();
  QPoint pos = workspace_->Position();
  constexpr int kSpare = 20;
  if (hit.top() - kSpare < pos.y() || hit.bottom() + kSpare > pos.y() + view.height())
    pos.setY(hit.height() + 2 * kSpare > view.height() ? hit.top() - kSpare
             : hit.top() - kSpare < pos.y()            ? hit.top() - kSpare
                                                       : hit.bottom() + kSpare - view.height());
  if (hit.left() - kSpare < pos.x() || hit.right() + kSpare > pos.x() + view.width())
    pos.setX(hit.width() + 2 * kSpare > view.width() ? hit.left() - kSpare
             : hit.left() - kSpare < pos.x()         ? hit.left() - kSpare
                                                     : hit.right() + kSpare - view.width());
  showing_ = true;
  workspace_->SetPosition(pos.x(), pos.y());
  showing_ = false;
  pageNo_ = state.page + 1;
  if (pages_) pages_->SetPreviewPageNo(pageNo_);
  PageChanged();
  workspace_->viewport()->update();
}

// ---------------------------------------------------------------------------
// Outline

void TqdrCustomPreview::RebuildOutline() {
  outline_->clear();
  if (!pages_) return;
  TqdrOutline* outline = pages_->Outline();
  outline->LevelRoot();
  AddOutlineItems(nullptr);
  outline->LevelRoot();
  if (!report_ || report_->PreviewOptions()->OutlineExpand()) outline_->expandAll();
  if (outline_->topLevelItemCount() > 0) outline_->scrollToItem(outline_->topLevelItem(0));
}

void TqdrCustomPreview::AddOutlineItems(QTreeWidgetItem* parent) {
  TqdrOutline* outline = pages_->Outline();
  const int count = outline->ItemCount();
  for (int i = 0; i < count; ++i) {
    std::string text;
    int page = 0, top = 0;
    outline->GetItem(i, text, page, top);
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(outline_);
    node->setText(0, QString::fromStdString(text));
    node->setData(0, Qt::UserRole, QVariant::fromValue<qint64>(PackOutlineData(page, top)));
    outline->LevelDown(i);
    AddOutlineItems(node);
    outline->LevelUp();
  }
}

void TqdrCustomPreview::OutlineClicked(QTreeWidgetItem* item) {
  if (!item) return;
  int page = 0, top = 0;
  UnpackOutlineData(item->data(0, Qt::UserRole).value<qint64>(), page, top);
  ShowPage(std::min(page, PageCount()));
  if (top != 0 && pages_ && workspace_->PageList().Count() > 0) {
    auto* rp = dynamic_cast<report::TqdrReportPage*>(pages_->PageAt(pageNo_ - 1));
    const double margin = rp ? rp->TopMargin() * kMm : 0;
    const QRect r = workspace_->PageRect(pageNo_ - 1);
    showing_ = true;
    workspace_->SetPosition(workspace_->Position().x(),
                            r.top() + static_cast<int>(std::lround((margin + top) * zoom_)) - 10);
    showing_ = false;
  }
  workspace_->setFocus();
}

void TqdrCustomPreview::SetOutlineVisible(bool visible) {
  outline_->setVisible(visible);
}

bool TqdrCustomPreview::OutlineVisible() const {
  return !outline_->isHidden();
}

// ---------------------------------------------------------------------------
// URLs

void TqdrCustomPreview::FollowURL(const std::string& url) {
  if (url.empty()) return;
  if (url[0] == '@') {
    int page = 1;
    try {
      page = std::stoi(url.substr(1));
    } catch (...) {
      return;
    }
    ShowPage(page);
    return;
  }
  if (url[0] == '#') {
    ShowAnchor(url.substr(1));
    return;
  }
  if (OnOpenURL) {
    OnOpenURL(url);
    return;
  }
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void TqdrCustomPreview::ShowAnchor(const std::string& name) {
  if (!pages_) return;
  // The last anchor of that name, as GetAnchorPage finds it, gives the top too.
  int top = 0;
  if (report::TqdrXMLItem* root = pages_->Document()->Root()) {
    for (int i = 0; i < root->Count(); ++i) {
      report::TqdrXMLItem* anchors = root->Items(i);
      if (!core::EqualsNoCase(anchors->Name, "anchors")) continue;
      for (int k = anchors->Count() - 1; k >= 0; --k)
        if (core::EqualsNoCase(anchors->Items(k)->Prop("text"), name)) {
          top = IntProp(anchors->Items(k), "top");
          break;
        }
    }
  }
  ShowPage(pages_->GetAnchorPage(name));
  if (workspace_->PageList().Count() == 0) return;
  auto* rp = dynamic_cast<report::TqdrReportPage*>(pages_->PageAt(pageNo_ - 1));
  const double margin = rp ? rp->TopMargin() * kMm : 0;
  const QRect r = workspace_->PageRect(pageNo_ - 1);
  showing_ = true;
  workspace_->SetPosition(workspace_->Position().x(),
                          r.top() + static_cast<int>(std::lround((margin + top) * zoom_)) - 10);
  showing_ = false;
}

void TqdrCustomPreview::ShowHoverURL(const std::string& url) {
  if (url == hoverURL_) return;
  hoverURL_ = url;
  if (OnStatus) OnStatus(url);
}

// ---------------------------------------------------------------------------
// Page settings and editing

void TqdrCustomPreview::PageSetup() {
  if (busy_ || !pages_) return;
  const int index = pageNo_ - 1;
  auto* page = dynamic_cast<report::TqdrReportPage*>(pages_->PageAt(index));
  if (!page) return;
  TqdrPageSettingsForm form(page, report_, this);
  if (form.exec() != QDialog::Accepted) return;
  if (form.ApplyToAllPages() && report_) {
    for (report::TqdrComponent* c : report_->Objects()) {
      auto* target = dynamic_cast<report::TqdrReportPage*>(c);
      if (!target) continue;
      target->SetOrientation(page->Orientation());
      target->SetPaperWidth(page->PaperWidth());
      target->SetPaperHeight(page->PaperHeight());
      if (page->PaperSize() != report::kCustomPaper) target->SetPaperSize(page->PaperSize());
      target->SetLeftMargin(page->LeftMargin());
      target->SetTopMargin(page->TopMargin());
      target->SetRightMargin(page->RightMargin());
      target->SetBottomMargin(page->BottomMargin());
      target->AlignChildren();
    }
    // Prepared again into this preview, which stays the report's preview link.
    report_->Prepare();
    return;
  }
  Lock();
  pages_->ReplacePage(index, page);
  RebuildPageList();
  Unlock();
  UpdateZoom();
  ShowPage(pageNo_);
}

void TqdrCustomPreview::AddPage() {
  if (busy_ || !pages_ || !AllowEdit() || !(buttons_ & report::preview_button::pbEdit)) return;
  pages_->InsertEmptyPage(pageNo_ - 1);
  RebuildPageList();
  UpdateZoom();
  ShowPage(pageNo_);
}

void TqdrCustomPreview::DeletePage() {
  if (busy_ || !pages_ || !AllowEdit() || !(buttons_ & report::preview_button::pbEdit)) return;
  pages_->RemovePage(pageNo_ - 1);
  if (pageNo_ > PageCount()) pageNo_ = std::max(1, pageNo_ - 1);
  RebuildPageList();
  PageChanged();
  UpdateZoom();
}

void TqdrCustomPreview::EditPage() {
  if (busy_ || !pages_ || !AllowEdit() || !(buttons_ & report::preview_button::pbEdit)) return;
  if (!Designer()) return;
  const int index = pageNo_ - 1;
  auto* page = dynamic_cast<report::TqdrReportPage*>(pages_->PageAt(index));
  if (!page) return;
  // The page's views, placed absolutely on a bare page of a new report.
  report::TqdrReport edited;
  auto* copy = new report::TqdrReportPage(&edited);
  copy->Assign(page);
  copy->SetName(page->Name());
  const std::vector<report::TqdrComponent*> objects = page->AllObjects();
  for (report::TqdrComponent* c : objects) {
    auto* view = dynamic_cast<report::TqdrView*>(c);
    if (!view || !view->ClassType() || !view->ClassType()->CanCreate()) continue;
    auto* v = static_cast<report::TqdrView*>(view->ClassType()->Create(copy));
    v->Assign(view);
    try {
      v->SetName(view->Name());
    } catch (const std::exception&) {
      v->CreateUniqueName();
    }
    v->SetLeft(view->AbsLeft());
    v->SetTop(view->AbsTop());
    v->SetDataField("");
    v->SetDataSet(nullptr);
    if (v->Align() == report::TqdrAlign::baBottom || v->Align() == report::TqdrAlign::baClient)
      v->SetAlign(report::TqdrAlign::baNone);
  }
  if (!Designer()(edited)) return;
  for (report::TqdrComponent* c : edited.Objects())
    if (auto* designed = dynamic_cast<report::TqdrReportPage*>(c)) {
      Lock();
      pages_->ReplacePage(index, designed);
      RebuildPageList();
      Unlock();
      UpdateZoom();
      break;
    }
}

// ---------------------------------------------------------------------------
// Message panel

void TqdrCustomPreview::PlaceMessagePanel() {
  messagePanel_->move((width() - kPanelWidth) / 2, height() / 3);
}

void TqdrCustomPreview::ShowMessage(const std::string& text, bool withCancel) {
  messageLabel_->setText(QString::fromStdString(text));
  messageCancel_->setVisible(withCancel);
  PlaceMessagePanel();
  messagePanel_->show();
  messagePanel_->raise();
  messagePanel_->repaint();
}

void TqdrCustomPreview::HideMessage() {
  messagePanel_->hide();
}

// ---------------------------------------------------------------------------
// Preparation into the preview

void TqdrCustomPreview::PrepareStarted() {
  ClearPages();
  finalPass_ = true;
  FindState().found = false;
  findNextEnabled_ = false;
  SetBusy(true);
  ShowMessage(std::string(), true);
}

void TqdrCustomPreview::PagePrepared(int page) {
  if (!pages_) return;
  finalPass_ = true;
  if (report_)
    if (TqdrEngine* engine = ReportEngine(*report_); engine && engine->Preparing())
      finalPass_ = engine->FinalPass();
  if (finalPass_) {
    int w = 0, h = 0;
    pages_->PageSizeAt(page, w, h);
    workspace_->PageList().AddPage(w, h);
  }
  if (busy_)
    messageLabel_->setText(QString::fromStdString(
        FormatPage(ResText(finalPass_ ? "prRunning" : "prRunningFirst"), page + 1)));
  if (page == 0) {
    outline_->clear();
    ShowPage(1);
    UpdateZoom();
    firstPageTime_ = NowMs();
  } else if (page == 1) {
    const int64_t elapsed = NowMs() - firstPageTime_;
    refreshInterval_ = elapsed <= 4 ? 50 : elapsed > 9 ? 5 : 20;
    ShowPage(1);
    UpdateZoom();
  } else if (page % refreshInterval_ == 0) {
    PageChanged();
    workspace_->UpdateScrollRange();
  }
  if (OnPagePrepared) OnPagePrepared(page);
}

void TqdrCustomPreview::PrepareEnded() {
  SetBusy(false);
  finalPass_ = true;
  HideMessage();
  // The whole list again: a cancelled first pass leaves pages the list never got.
  RebuildPageList();
  if (pageNo_ > PageCount()) pageNo_ = std::max(1, PageCount());
  PageChanged();
  UpdateZoom();
  RebuildOutline();
  hoverURL_.clear();
  if (OnStatus) OnStatus(std::string());
}

void TqdrCustomPreview::SetStatusText(const std::string& text) {
  if (busy_ && !text.empty()) messageLabel_->setText(QString::fromStdString(text));
  if (OnStatus) OnStatus(text);
}

}  // namespace engine
