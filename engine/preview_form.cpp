// The preview window: toolbar, status bar, caption, keys and full screen,
// and the entry points that show a report's prepared pages in it.
#include "engine/preview_form.h"
#include "engine/resource_text.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <map>

#include "engine/export_filters.h"
#include "engine/pdf_export.h"
#include "engine/preview.h"
#include "engine/preview_pages.h"
#include "engine/progress_window.h"
#include "engine/report_runtime.h"
#include "report/options.h"
#include "report/report.h"
#include "report/resources.h"

namespace engine {

namespace pb = report::preview_button;

namespace {


std::map<report::TqdrReport*, TqdrPreviewForm*>& Windows() {
  static std::map<report::TqdrReport*, TqdrPreviewForm*> windows;
  return windows;
}

std::function<void()>& Help() {
  static std::function<void()> help;
  return help;
}

// "页 %d / %d" with the page number and the page count.
QString PageOf(int page, int count) {
  std::string text = report::Resources().Lookup("clPageOf");
  for (int n : {page, count}) {
    const size_t at = text.find("%d");
    if (at == std::string::npos) break;
    text.replace(at, 2, std::to_string(n));
  }
  return QString::fromStdString(text);
}

// ---------------------------------------------------------------------------
// Toolbar pictures, drawn at 20 x 20.

enum class Glyph {
  Print,
  Open,
  Save,
  Export,
  Pdf,
  EMail,
  Find,
  WholePage,
  PageWidth,
  Zoom100,
  TwoPages,
  FullScreen,
  Margins,
  Outline,
  Hand,
  ZoomTool,
  AddPage,
  DeletePage,
  EditPage,
  First,
  Prior,
  Next,
  Last
};

void Sheet(QPainter& p, const QRectF& r) {
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  p.drawRect(r);
}

void Magnifier(QPainter& p, double x, double y, double size) {
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.setBrush(QColor(200, 225, 255));
  p.drawEllipse(QRectF(x, y, size, size));
  p.drawLine(QPointF(x + size * 0.85, y + size * 0.85), QPointF(x + size * 1.4, y + size * 1.4));
}

void Triangle(QPainter& p, double x, bool left) {
  QPainterPath path;
  if (left) {
    path.moveTo(x + 6, 4);
    path.lineTo(x, 10);
    path.lineTo(x + 6, 16);
  } else {
    path.moveTo(x, 4);
    path.lineTo(x + 6, 10);
    path.lineTo(x, 16);
  }
  path.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 80, 160));
  p.drawPath(path);
}

QIcon MakeIcon(Glyph glyph) {
  QPixmap pm(20, 20);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QFont small = p.font();
  small.setPixelSize(7);
  small.setBold(true);
  switch (glyph) {
    case Glyph::Print:
      Sheet(p, QRectF(5.5, 1.5, 9, 6));
      p.setBrush(QColor(150, 150, 150));
      p.drawRoundedRect(QRectF(1.5, 7.5, 17, 7), 1, 1);
      Sheet(p, QRectF(5.5, 12.5, 9, 6));
      break;
    case Glyph::Open:
      p.setPen(QPen(QColor(120, 90, 20), 1));
      p.setBrush(QColor(240, 200, 80));
      p.drawRect(QRectF(1.5, 5.5, 15, 11));
      p.drawRect(QRectF(1.5, 3.5, 6, 2));
      p.setBrush(QColor(250, 225, 120));
      p.drawPolygon(QPolygonF(
          {QPointF(4.5, 8.5), QPointF(18.5, 8.5), QPointF(16.5, 16.5), QPointF(1.5, 16.5)}));
      break;
    case Glyph::Save:
      p.setPen(QPen(QColor(20, 40, 90), 1));
      p.setBrush(QColor(50, 90, 170));
      p.drawRect(QRectF(2.5, 2.5, 15, 15));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5.5, 2.5, 9, 6));
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(QRectF(5.5, 11.5, 9, 6));
      break;
    case Glyph::Export:
      Sheet(p, QRectF(2.5, 1.5, 11, 16));
      p.setPen(QPen(QColor(0, 130, 0), 2));
      p.drawLine(QPointF(8, 10), QPointF(17, 10));
      p.drawLine(QPointF(14, 7), QPointF(17, 10));
      p.drawLine(QPointF(14, 13), QPointF(17, 10));
      break;
    case Glyph::Pdf:
      Sheet(p, QRectF(3.5, 1.5, 13, 17));
      p.setFont(small);
      p.setPen(QColor(200, 0, 0));
      p.drawText(QRectF(3, 6, 14, 9), Qt::AlignCenter, "PDF");
      break;
    case Glyph::EMail:
      Sheet(p, QRectF(1.5, 4.5, 17, 11));
      p.drawLine(QPointF(1.5, 4.5), QPointF(10, 11));
      p.drawLine(QPointF(18.5, 4.5), QPointF(10, 11));
      break;
    case Glyph::Find:
      Sheet(p, QRectF(2.5, 1.5, 12, 16));
      Magnifier(p, 8, 8, 7);
      break;
    case Glyph::WholePage:
      Sheet(p, QRectF(5.5, 1.5, 9, 17));
      p.setPen(QPen(QColor(30, 80, 160), 1));
      p.drawLine(QPointF(10, 4), QPointF(10, 16));
      break;
    case Glyph::PageWidth:
      Sheet(p, QRectF(1.5, 3.5, 17, 13));
      p.setPen(QPen(QColor(30, 80, 160), 1.5));
      p.drawLine(QPointF(4, 10), QPointF(16, 10));
      p.drawLine(QPointF(4, 10), QPointF(7, 7));
      p.drawLine(QPointF(4, 10), QPointF(7, 13));
      p.drawLine(QPointF(16, 10), QPointF(13, 7));
      p.drawLine(QPointF(16, 10), QPointF(13, 13));
      break;
    case Glyph::Zoom100:
      Sheet(p, QRectF(2.5, 2.5, 15, 15));
      p.setFont(small);
      p.setPen(QColor(30, 80, 160));
      p.drawText(QRectF(2, 5, 16, 10), Qt::AlignCenter, "1:1");
      break;
    case Glyph::TwoPages:
      Sheet(p, QRectF(1.5, 3.5, 8, 13));
      Sheet(p, QRectF(10.5, 3.5, 8, 13));
      break;
    case Glyph::FullScreen:
      p.setPen(QPen(QColor(30, 80, 160), 2));
      for (const auto& [x, y, dx, dy] : {std::tuple{2, 2, 1, 1}, std::tuple{18, 2, -1, 1},
                                         std::tuple{2, 18, 1, -1}, std::tuple{18, 18, -1, -1}}) {
        p.drawLine(QPointF(x, y), QPointF(x + 5 * dx, y));
        p.drawLine(QPointF(x, y), QPointF(x, y + 5 * dy));
      }
      break;
    case Glyph::Margins:
      Sheet(p, QRectF(3.5, 1.5, 13, 17));
      p.setPen(QPen(QColor(30, 80, 160), 1, Qt::DotLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(6.5, 4.5, 7, 11));
      break;
    case Glyph::Outline:
      p.setPen(QPen(QColor(60, 60, 60), 1));
      p.drawLine(QPointF(4.5, 4), QPointF(4.5, 16));
      for (double y : {4.5, 10.5, 16.5}) {
        p.drawLine(QPointF(4.5, y), QPointF(8, y));
        p.fillRect(QRectF(9, y - 1.5, 9, 3), QColor(30, 80, 160));
      }
      break;
    case Glyph::Hand: {
      p.setPen(QPen(QColor(60, 40, 20), 1));
      p.setBrush(QColor(250, 220, 180));
      for (int f = 0; f < 4; ++f)
        p.drawRoundedRect(QRectF(4.5 + f * 3, 2.5 + (f % 3), 3, 9), 1.5, 1.5);
      p.drawRoundedRect(QRectF(4.5, 8.5, 12, 9), 3, 3);
      p.drawRoundedRect(QRectF(1.5, 8.5, 4, 6), 2, 2);
      break;
    }
    case Glyph::ZoomTool:
      Magnifier(p, 2, 2, 11);
      p.setPen(QPen(QColor(40, 40, 40), 1.5));
      p.drawLine(QPointF(5, 7.5), QPointF(10, 7.5));
      p.drawLine(QPointF(7.5, 5), QPointF(7.5, 10));
      break;
    case Glyph::AddPage:
      Sheet(p, QRectF(2.5, 1.5, 12, 16));
      p.setPen(QPen(QColor(0, 140, 0), 2.5));
      p.drawLine(QPointF(14, 10), QPointF(14, 18));
      p.drawLine(QPointF(10, 14), QPointF(18, 14));
      break;
    case Glyph::DeletePage:
      Sheet(p, QRectF(2.5, 1.5, 12, 16));
      p.setPen(QPen(QColor(200, 0, 0), 2.5));
      p.drawLine(QPointF(10.5, 10.5), QPointF(17.5, 17.5));
      p.drawLine(QPointF(17.5, 10.5), QPointF(10.5, 17.5));
      break;
    case Glyph::EditPage:
      Sheet(p, QRectF(2.5, 1.5, 12, 16));
      p.setPen(QPen(QColor(180, 120, 0), 3));
      p.drawLine(QPointF(9, 16), QPointF(17, 8));
      break;
    case Glyph::First:
      p.fillRect(QRectF(3, 4, 2, 12), QColor(30, 80, 160));
      Triangle(p, 7, true);
      break;
    case Glyph::Prior:
      Triangle(p, 7, true);
      break;
    case Glyph::Next:
      Triangle(p, 7, false);
      break;
    case Glyph::Last:
      Triangle(p, 7, false);
      p.fillRect(QRectF(15, 4, 2, 12), QColor(30, 80, 160));
      break;
  }
  return QIcon(pm);
}

// Toolbar groups, in order; the right-click menu repeats the first two.
enum Group { gFile, gView, gPage, gTools, gEdit, gNavigate, gClose };

}  // namespace

struct TqdrPreviewForm::Item {
  std::string name;
  QAction* action = nullptr;
  int group = 0;
  bool wanted = false;  // shown by the options
  bool busyDisabled = false;
  bool editButton = false;  // enabled only with AllowEdit
  bool inMenu = false;
};

// ---------------------------------------------------------------------------
// The window

TqdrPreviewForm::TqdrPreviewForm(report::TqdrReport& report, TqdrPreviewPages& pages,
                                 QWidget* parent)
    : QMainWindow(parent), report_(report) {
  Windows()[&report_] = this;
  preview_ = new TqdrPreview(this);
  setCentralWidget(preview_);
  status_[0] = new QLabel(this);
  status_[0]->setMinimumWidth(160);
  status_[1] = new QLabel(this);
  statusBar()->addWidget(status_[0]);
  statusBar()->addWidget(status_[1], 1);

  preview_->OnPageChanged = [this] { UpdateStatus(); };
  preview_->OnZoomChanged = [this] { UpdateZoomBox(); };
  preview_->OnBusyChanged = [this](bool busy) { BusyChanged(busy); };
  preview_->OnStatus = [this](const std::string& text) {
    status_[1]->setText(QString::fromStdString(text));
  };
  preview_->OnPagePrepared = [this](int page) {
    if (page == 0 && closeButton_) closeButton_->setText(Res("clCancel"));
  };
  preview_->OnDoubleClick = [this] {
    if (fullScreen_) ToggleFullScreen();
  };
  preview_->OnContextMenu = [this](QPoint at) {
    std::unique_ptr<QMenu> menu = BuildPopupMenu();
    if (!menu->isEmpty()) menu->exec(at);
  };

  BuildToolbar();
  preview_->Attach(&report_, &pages);
  ApplyOptions();
  UpdateStatus();
}

TqdrPreviewForm::~TqdrPreviewForm() {
  auto it = Windows().find(&report_);
  if (it != Windows().end() && it->second == this) Windows().erase(it);
  preview_->Detach();
}

QAction* TqdrPreviewForm::AddButton(const std::string& name, int group, bool visible, int caption,
                                    int hint, const QIcon& icon) {
  auto item = std::make_unique<Item>();
  item->name = name;
  item->group = group;
  item->wanted = visible;
  item->inMenu = group == gFile || group == gView;
  item->action = toolbar_->addAction(icon, caption ? Res(caption) : Res(hint));
  item->action->setObjectName(QString::fromStdString(name));
  item->action->setToolTip(Res(hint));
  QAction* action = item->action;
  items_.push_back(std::move(item));
  return action;
}

void TqdrPreviewForm::BuildToolbar() {
  toolbar_ = addToolBar(QString());
  toolbar_->setMovable(false);
  toolbar_->setIconSize(QSize(20, 20));
  const uint32_t buttons = report_.PreviewOptions()->Buttons();
  const bool designer = static_cast<bool>(PreviewDesigner());
  auto has = [buttons](uint32_t flag) { return (buttons & flag) != 0; };
  int group = -1;
  auto startGroup = [&](int g) {
    if (group >= 0) separators_.push_back(toolbar_->addSeparator());
    group = g;
  };

  startGroup(gFile);
  connect(AddButton("btnPrint", gFile, has(pb::pbPrint), 101, 102, MakeIcon(Glyph::Print)),
          &QAction::triggered, this, [this] { preview_->Print(); });
  connect(AddButton("btnOpen", gFile, has(pb::pbLoad), 103, 104, MakeIcon(Glyph::Open)),
          &QAction::triggered, this, [this] { preview_->LoadReport(); });
  connect(AddButton("btnSave", gFile, has(pb::pbSave), 105, 106, MakeIcon(Glyph::Save)),
          &QAction::triggered, this, [this] { preview_->SaveReport(); });
  {
    const auto& filters = ExportFilters();
    QAction* exportAction = AddButton("btnExport", gFile, has(pb::pbExport) && !filters.empty(),
                                      107, 108, MakeIcon(Glyph::Export));
    auto* menu = new QMenu(this);
    for (const TqdrExportFilterEntry& e : filters) {
      TqdrExportFilter* filter = e.filter;
      connect(menu->addAction(QString::fromStdString(e.description) + "..."), &QAction::triggered,
              this, [this, filter] { Export(filter); });
    }
    exportAction->setMenu(menu);
    if (auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(exportAction)))
      button->setPopupMode(QToolButton::InstantPopup);
  }
  TqdrExportFilter* pdf = QuickExportFilter(TqdrQuickExport::qePDF);
  TqdrExportFilter* email = QuickExportFilter(TqdrQuickExport::qeEMail);
  connect(AddButton("btnPdf", gFile, has(pb::pbExportQuick) && pdf, 0, 151, MakeIcon(Glyph::Pdf)),
          &QAction::triggered, this, [this, pdf] { Export(pdf); });
  connect(
      AddButton("btnEmail", gFile, has(pb::pbExportQuick) && email, 0, 152, MakeIcon(Glyph::EMail)),
      &QAction::triggered, this, [this, email] { Export(email); });

  startGroup(gView);
  connect(AddButton("btnFind", gView, has(pb::pbFind), 109, 110, MakeIcon(Glyph::Find)),
          &QAction::triggered, this, [this] { preview_->Find(); });
  const bool zoom = has(pb::pbZoom);
  connect(AddButton("btnWholePage", gView, zoom, 111, 112, MakeIcon(Glyph::WholePage)),
          &QAction::triggered, this,
          [this] { preview_->SetZoomMode(report::TqdrZoomMode::zmWholePage); });
  connect(AddButton("btnPageWidth", gView, zoom, 113, 114, MakeIcon(Glyph::PageWidth)),
          &QAction::triggered, this,
          [this] { preview_->SetZoomMode(report::TqdrZoomMode::zmPageWidth); });
  connect(AddButton("btn100", gView, zoom, 115, 116, MakeIcon(Glyph::Zoom100)), &QAction::triggered,
          this, [this] { preview_->SetZoom(1); });
  connect(AddButton("btnTwoPages", gView, zoom, 117, 118, MakeIcon(Glyph::TwoPages)),
          &QAction::triggered, this,
          [this] { preview_->SetZoomMode(report::TqdrZoomMode::zmManyPages); });
  {
    zoomBox_ = new QComboBox(toolbar_);
    zoomBox_->setEditable(true);
    zoomBox_->setInsertPolicy(QComboBox::NoInsert);
    zoomBox_->addItems(
        {"25%", "50%", "75%", "100%", "150%", "200%", Res("zmPageWidth"), Res("zmWholePage")});
    zoomBox_->setToolTip(Res(119));
    zoomBox_->setMinimumContentsLength(5);
    QAction* action = toolbar_->addWidget(zoomBox_);
    action->setObjectName("cmbZoom");
    auto item = std::make_unique<Item>();
    item->name = "cmbZoom";
    item->action = action;
    item->group = gView;
    item->wanted = zoom;
    items_.push_back(std::move(item));
    connect(zoomBox_, &QComboBox::activated, this, [this](int index) {
      if (index == 6)
        preview_->SetZoomMode(report::TqdrZoomMode::zmPageWidth);
      else if (index == 7)
        preview_->SetZoomMode(report::TqdrZoomMode::zmWholePage);
      else
        ApplyZoomText();
      UpdateZoomBox();
      preview_->setFocus();
    });
    connect(zoomBox_->lineEdit(), &QLineEdit::returnPressed, this, [this] { ApplyZoomText(); });
  }
  connect(AddButton("btnFullScreen", gView, zoom, 0, 150, MakeIcon(Glyph::FullScreen)),
          &QAction::triggered, this, [this] { ToggleFullScreen(); });

  startGroup(gPage);
  connect(AddButton("btnMargins", gPage, has(pb::pbPageSetup), 120, 121, MakeIcon(Glyph::Margins)),
          &QAction::triggered, this, [this] { preview_->PageSetup(); });
  {
    QAction* outline =
        AddButton("btnOutline", gPage, has(pb::pbOutline), 122, 123, MakeIcon(Glyph::Outline));
    outline->setCheckable(true);
    connect(outline, &QAction::toggled, this, [this](bool on) { preview_->SetOutlineVisible(on); });
  }

  startGroup(gTools);
  {
    const bool tools = has(pb::pbTools);
    QAction* hand = AddButton("btnHand", gTools, tools, 124, 125, MakeIcon(Glyph::Hand));
    QAction* zoomTool =
        AddButton("btnZoomTool", gTools, tools, 126, 127, MakeIcon(Glyph::ZoomTool));
    auto* tool = new QActionGroup(this);
    for (QAction* a : {hand, zoomTool}) {
      a->setCheckable(true);
      tool->addAction(a);
    }
    hand->setChecked(true);
    connect(hand, &QAction::triggered, this,
            [this] { preview_->SetTool(TqdrPreviewTool::ptHand); });
    connect(zoomTool, &QAction::triggered, this,
            [this] { preview_->SetTool(TqdrPreviewTool::ptZoom); });
  }

  startGroup(gEdit);
  const bool edit = has(pb::pbEdit);
  connect(AddButton("btnAddPage", gEdit, edit, 128, 129, MakeIcon(Glyph::AddPage)),
          &QAction::triggered, this, [this] { preview_->AddPage(); });
  connect(AddButton("btnDeletePage", gEdit, edit, 130, 131, MakeIcon(Glyph::DeletePage)),
          &QAction::triggered, this, [this] { preview_->DeletePage(); });
  connect(AddButton("btnEditPage", gEdit, edit && designer, 132, 133, MakeIcon(Glyph::EditPage)),
          &QAction::triggered, this, [this] { preview_->EditPage(); });

  startGroup(gNavigate);
  const bool navigator = has(pb::pbNavigator);
  connect(AddButton("btnFirst", gNavigate, navigator, 134, 135, MakeIcon(Glyph::First)),
          &QAction::triggered, this, [this] { preview_->FirstPage(); });
  connect(AddButton("btnPrior", gNavigate, navigator, 136, 137, MakeIcon(Glyph::Prior)),
          &QAction::triggered, this, [this] { preview_->PriorPage(); });
  {
    pageBox_ = new QLineEdit(toolbar_);
    pageBox_->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d*"), pageBox_));
    pageBox_->setMaximumWidth(48);
    pageBox_->setAlignment(Qt::AlignCenter);
    pageBox_->setToolTip(Res(142));
    QAction* action = toolbar_->addWidget(pageBox_);
    action->setObjectName("edtPage");
    auto item = std::make_unique<Item>();
    item->name = "edtPage";
    item->action = action;
    item->group = gNavigate;
    item->wanted = navigator;
    items_.push_back(std::move(item));
    connect(pageBox_, &QLineEdit::returnPressed, this, [this] { ApplyPageText(); });
  }
  connect(AddButton("btnNext", gNavigate, navigator, 138, 139, MakeIcon(Glyph::Next)),
          &QAction::triggered, this, [this] { preview_->NextPage(); });
  connect(AddButton("btnLast", gNavigate, navigator, 140, 141, MakeIcon(Glyph::Last)),
          &QAction::triggered, this, [this] { preview_->LastPage(); });

  startGroup(gClose);
  {
    closeButton_ = new QToolButton(toolbar_);
    closeButton_->setText(Res(2));
    closeButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* action = toolbar_->addWidget(closeButton_);
    action->setObjectName("btnClose");
    auto item = std::make_unique<Item>();
    item->name = "btnClose";
    item->action = action;
    item->group = gClose;
    item->wanted = !has(pb::pbNoClose);
    items_.push_back(std::move(item));
    connect(closeButton_, &QToolButton::clicked, this, [this] {
      if (preview_->Busy())
        preview_->Cancel();
      else
        close();
    });
  }

  for (auto& item : items_) {
    static const char* const kBusyDisabled[] = {
        "btnPrint", "btnOpen",    "btnSave",    "btnExport",     "btnPdf",     "btnEmail",
        "btnFind",  "btnMargins", "btnAddPage", "btnDeletePage", "btnEditPage"};
    for (const char* n : kBusyDisabled)
      if (item->name == n) item->busyDisabled = true;
    item->editButton =
        item->name == "btnAddPage" || item->name == "btnDeletePage" || item->name == "btnEditPage";
    item->action->setVisible(item->wanted);
  }
  UpdateSeparators();
}

void TqdrPreviewForm::UpdateSeparators() {
  // A separator shows only between two groups that both show something.
  size_t next = 0;
  bool before = false;
  for (int g = gFile; g <= gClose; ++g) {
    bool shown = false;
    for (const auto& item : items_)
      if (item->group == g && item->wanted) shown = true;
    if (g > gFile && next < separators_.size()) separators_[next++]->setVisible(before && shown);
    before = before || shown;
  }
}

void TqdrPreviewForm::ApplyOptions() {
  const report::TqdrPreviewOptions* options = report_.PreviewOptions();
  const std::string& name = report_.ReportOptions()->Name();
  setWindowTitle(name.empty() ? Res(100) : QString::fromStdString(name));
  toolbar_->setToolButtonStyle(options->ShowCaptions() ? Qt::ToolButtonTextUnderIcon
                                                       : Qt::ToolButtonIconOnly);
  if (QAction* outline = Button("btnOutline")) {
    const QSignalBlocker block(outline);
    outline->setChecked(options->OutlineVisible());
  }
  for (const auto& item : items_)
    if (item->editButton) item->action->setEnabled(options->AllowEdit());
  if (options->ZoomMode() == report::TqdrZoomMode::zmDefault)
    preview_->SetZoom(options->Zoom());
  else
    preview_->SetZoomMode(options->ZoomMode());
  UpdateZoomBox();
}

QAction* TqdrPreviewForm::Button(const std::string& name) const {
  for (const auto& item : items_)
    if (item->name == name) return item->action;
  return nullptr;
}

std::vector<std::string> TqdrPreviewForm::VisibleButtons() const {
  std::vector<std::string> names;
  for (QAction* action : toolbar_->actions())
    if (!action->isSeparator() && action->isVisible())
      names.push_back(action->objectName().toStdString());
  return names;
}

QLabel* TqdrPreviewForm::StatusPanel(int index) const {
  return index >= 0 && index < 2 ? status_[index] : nullptr;
}

std::unique_ptr<QMenu> TqdrPreviewForm::BuildPopupMenu() {
  auto menu = std::make_unique<QMenu>(this);
  int lastGroup = -1;
  for (const auto& item : items_) {
    if (!item->inMenu || !item->wanted) continue;
    // Widgets (the zoom box) have no menu form.
    if (item->name == "cmbZoom") continue;
    if (lastGroup >= 0 && item->group != lastGroup) menu->addSeparator();
    lastGroup = item->group;
    QAction* source = item->action;
    if (source->menu()) {
      QMenu* sub = menu->addMenu(source->icon(), source->toolTip());
      for (QAction* a : source->menu()->actions()) sub->addAction(a);
      sub->setEnabled(source->isEnabled());
      continue;
    }
    QAction* entry = menu->addAction(source->icon(), source->toolTip());
    entry->setEnabled(source->isEnabled());
    connect(entry, &QAction::triggered, source, &QAction::trigger);
  }
  return menu;
}

void TqdrPreviewForm::UpdateStatus() {
  const int count = preview_->PageCount();
  if (preview_->FirstPass())
    status_[0]->setText(Res("clFirstPass") + " " + QString::number(count));
  else
    status_[0]->setText(PageOf(preview_->PageNo(), count));
  if (pageBox_) pageBox_->setText(QString::number(preview_->PageNo()));
}

void TqdrPreviewForm::UpdateZoomBox() {
  if (!zoomBox_) return;
  const QSignalBlocker block(zoomBox_);
  zoomBox_->setEditText(QString::number(std::lround(preview_->Zoom() * 100)) + "%");
}

void TqdrPreviewForm::ApplyZoomText() {
  QString text = zoomBox_->currentText();
  if (text == zoomBox_->itemText(6)) {
    preview_->SetZoomMode(report::TqdrZoomMode::zmPageWidth);
  } else if (text == zoomBox_->itemText(7)) {
    preview_->SetZoomMode(report::TqdrZoomMode::zmWholePage);
  } else {
    text.remove('%').remove(' ').replace(',', '.');
    bool ok = false;
    const double percent = text.toDouble(&ok);
    // Text that is no number leaves the zoom as it is.
    if (ok && std::isfinite(percent)) preview_->SetZoom(percent / 100);
  }
  UpdateZoomBox();
}

void TqdrPreviewForm::ApplyPageText() {
  const QString text = pageBox_->text();
  if (text.isEmpty()) return;
  bool ok = false;
  const qlonglong n = text.toLongLong(&ok);
  preview_->ShowPage(ok ? static_cast<int>(std::min<qlonglong>(n, 1 << 30)) : 1 << 30);
  UpdateStatus();
}

void TqdrPreviewForm::BusyChanged(bool busy) {
  const bool allowEdit = report_.PreviewOptions()->AllowEdit();
  for (const auto& item : items_) {
    if (!item->busyDisabled) continue;
    item->action->setEnabled(!busy && (!item->editButton || allowEdit));
  }
  if (!busy) {
    closeButton_->setText(Res("clClose"));
    if (closeWhenDone_) close();
  }
}

void TqdrPreviewForm::Export(TqdrExportFilter* filter) {
  if (filter) preview_->ExportReport(*filter);
}

void TqdrPreviewForm::ToggleFullScreen() {
  fullScreen_ = !fullScreen_;
  if (fullScreen_) {
    wasMaximized_ = isMaximized();
    toolbar_->hide();
    statusBar()->hide();
    showFullScreen();
    return;
  }
  toolbar_->show();
  statusBar()->show();
  if (wasMaximized_)
    showMaximized();
  else
    showNormal();
}

void TqdrPreviewForm::CloseWindow() {
  if (preview_->Busy()) {
    closeWhenDone_ = true;
    preview_->Cancel();
    return;
  }
  close();
}

void TqdrPreviewForm::closeEvent(QCloseEvent* event) {
  if (preview_->Busy()) {
    event->ignore();
    return;
  }
  preview_->Detach();
  event->accept();
  if (loop_) loop_->quit();
}

void TqdrPreviewForm::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      if (preview_->Busy())
        preview_->Cancel();
      else
        close();
      return;
    case Qt::Key_F11:
      ToggleFullScreen();
      return;
    case Qt::Key_F1:
      if (Help()) Help()();
      return;
    default:
      break;
  }
  if (!preview_->HandleKey(event->key(), event->modifiers())) QMainWindow::keyPressEvent(event);
}

// ---------------------------------------------------------------------------
// Entry points

TqdrPreviewForm* PreviewWindow(report::TqdrReport& report) {
  auto it = Windows().find(&report);
  return it == Windows().end() ? nullptr : it->second;
}

void ShowPreviewWindow(report::TqdrReport& report, TqdrPreviewPages& pages) {
  if (TqdrPreviewForm* open = PreviewWindow(report)) {
    // One window per report: a second show brings it forward.
    if (open->Preview()->Pages() != &pages) open->Preview()->Attach(&report, &pages);
    open->raise();
    open->activateWindow();
    return;
  }
  const report::TqdrPreviewOptions* options = report.PreviewOptions();
  auto* form = new TqdrPreviewForm(report, pages);
  if (!options->Maximized()) form->resize(900, 700);
  if (!options->Modal()) {
    form->setAttribute(Qt::WA_DeleteOnClose);
    options->Maximized() ? form->showMaximized() : form->show();
    return;
  }
  QPointer<TqdrPreviewForm> guard(form);
  QEventLoop loop;
  form->SetEventLoop(&loop);
  form->setWindowModality(Qt::ApplicationModal);
  options->Maximized() ? form->showMaximized() : form->show();
  if (form->isVisible()) loop.exec();
  if (guard) {
    guard->SetEventLoop(nullptr);
    delete guard.data();
  }
}

void ClosePreviewWindow(report::TqdrReport& report) {
  if (TqdrPreviewForm* form = PreviewWindow(report)) form->CloseWindow();
}

void SetPreviewHelp(std::function<void()> help) {
  Help() = std::move(help);
}

void InstallPreviewWindow() {
  SetPreviewHooks({ShowPreviewWindow, ClosePreviewWindow});
  InstallProgressWindow();
  RegisterPdfExport();
}

}  // namespace engine
