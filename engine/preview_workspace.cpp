// Page list layout and the preview's scrolled page surface.
#include "engine/preview_workspace.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "engine/preview.h"
#include "engine/preview_pages.h"
#include "report/view.h"
#include "report/view_draw.h"

namespace engine {

namespace {

constexpr int kGap = 10;
constexpr int kA4Width = 794, kA4Height = 1123;
constexpr int kPaintReach = 20;  // pages either side of the one at the scroll position

int Round(double v) {
  return static_cast<int>(std::lround(v));
}

// The library's zoom cursor: a magnifier.
QCursor ZoomCursor() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::white, 4));
  p.drawEllipse(QRectF(3, 3, 14, 14));
  p.drawLine(QPointF(15, 15), QPointF(24, 24));
  p.setPen(QPen(Qt::black, 2));
  p.drawEllipse(QRectF(3, 3, 14, 14));
  p.drawLine(QPointF(15, 15), QPointF(24, 24));
  p.drawLine(QPointF(7, 10), QPointF(13, 10));
  p.drawLine(QPointF(10, 7), QPointF(10, 13));
  return QCursor(pm, 10, 10);
}

// Cursor numbers of views (the platform's negative constants and the library's own).
QCursor CursorOf(int cursor) {
  switch (cursor) {
    case report::crHand:
      return QCursor(Qt::OpenHandCursor);
    case report::crZoom:
      return ZoomCursor();
    case -2:
      return QCursor(Qt::ArrowCursor);
    case -3:
      return QCursor(Qt::CrossCursor);
    case -4:
      return QCursor(Qt::IBeamCursor);
    case -6:
      return QCursor(Qt::SizeBDiagCursor);
    case -7:
      return QCursor(Qt::SizeVerCursor);
    case -8:
      return QCursor(Qt::SizeFDiagCursor);
    case -9:
      return QCursor(Qt::SizeHorCursor);
    case -10:
      return QCursor(Qt::UpArrowCursor);
    case -11:
    case -17:
      return QCursor(Qt::WaitCursor);
    case -12:
    case -16:
      return QCursor(Qt::DragCopyCursor);
    case -13:
    case -18:
      return QCursor(Qt::ForbiddenCursor);
    case -14:
      return QCursor(Qt::SplitHCursor);
    case -15:
      return QCursor(Qt::SplitVCursor);
    case -19:
      return QCursor(Qt::BusyCursor);
    case -20:
      return QCursor(Qt::WhatsThisCursor);
    case -21:
      return QCursor(Qt::PointingHandCursor);
    case -22:
      return QCursor(Qt::SizeAllCursor);
    default:
      return QCursor(Qt::ArrowCursor);
  }
}

constexpr int kHandPoint = -21;

}  // namespace

// ---------------------------------------------------------------------------
// TqdrPageList

void TqdrPageList::Clear() {
  items_.clear();
  widestRow_ = 0;
}

void TqdrPageList::SetColumnCount(int count) {
  columns_ = std::max(1, count);
  Clear();
}

int TqdrPageList::RowEnd(int start) const {
  int end = start + 1;
  while (end < Count() && items_[static_cast<size_t>(end)].column > 0) ++end;
  return end;
}

void TqdrPageList::AddPage(int width, int height) {
  Item item;
  item.width = width;
  item.height = height;
  if (items_.empty()) {
    item.top = kGap;
  } else {
    const Item& last = items_.back();
    if (last.column + 1 < columns_) {
      item.column = last.column + 1;
      item.top = last.top;
    } else {
      const int start = RowStart(Count() - 1);
      int tallest = 0;
      for (int i = start; i < Count(); ++i)
        tallest = std::max(tallest, items_[static_cast<size_t>(i)].height);
      item.top = last.top + tallest + kGap;
    }
  }
  items_.push_back(item);
  const int start = RowStart(Count() - 1);
  int row = 0;
  for (int i = start; i < Count(); ++i) row += items_[static_cast<size_t>(i)].width + kGap;
  widestRow_ = std::max(widestRow_, row);
}

QRect TqdrPageList::PageRect(int index, double zoom, int clientWidth) const {
  if (index < 0 || index >= Count()) {
    const int left = std::max(0, Round((clientWidth - zoom * kA4Width) / 2));
    return QRect(left, Round(zoom * kGap), Round(zoom * kA4Width), Round(zoom * kA4Height));
  }
  const Item& item = items_[static_cast<size_t>(index)];
  const int start = RowStart(index);
  int rowWidth = item.width;
  if (columns_ > 1) {
    rowWidth = 0;
    const int end = RowEnd(start);
    for (int i = start; i < end; ++i) rowWidth += items_[static_cast<size_t>(i)].width;
    rowWidth += kGap * (end - start - 1);
  }
  int before = 0;
  for (int i = start; i < index; ++i) before += items_[static_cast<size_t>(i)].width + kGap;
  const double free = (clientWidth - zoom * rowWidth) / 2;
  const int left = (free >= 0 ? Round(free) : kGap) + Round(zoom * before);
  return QRect(left, Round(zoom * item.top), Round(zoom * item.width), Round(zoom * item.height));
}

int TqdrPageList::FindPage(int y, double zoom, bool byScroll) const {
  // Tops grow row by row, so the pages at or above y form a prefix.
  auto above = [&](int i) {
    const Item& item = items_[static_cast<size_t>(i)];
    const double d = byScroll ? zoom * item.height / 5 : 0;
    return Round(zoom * item.top) <= y + d;
  };
  int lo = 0, hi = Count() - 1, found = 0;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    if (above(mid)) {
      found = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return found;
}

QSize TqdrPageList::ScrollRange(double zoom, int clientWidth) const {
  if (items_.empty()) return QSize(0, 0);
  const int start = RowStart(Count() - 1);
  int bottom = 0;
  for (int i = start; i < Count(); ++i) {
    const QRect r = PageRect(i, zoom, clientWidth);
    bottom = std::max(bottom, r.y() + r.height());
  }
  return QSize(Round(zoom * widestRow_ + kGap), bottom + kGap);
}

// ---------------------------------------------------------------------------
// TqdrPreviewWorkspace

TqdrPreviewWorkspace::TqdrPreviewWorkspace(TqdrCustomPreview* preview, QWidget* parent)
    : QAbstractScrollArea(parent), preview_(preview) {
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  verticalScrollBar()->setSingleStep(8);
  horizontalScrollBar()->setSingleStep(8);
  UpdateToolCursor();
}

QPoint TqdrPreviewWorkspace::Position() const {
  return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void TqdrPreviewWorkspace::SetPosition(int x, int y) {
  horizontalScrollBar()->setValue(x);
  verticalScrollBar()->setValue(y);
}

void TqdrPreviewWorkspace::ScrollBy(int dx, int dy) {
  const QPoint p = Position();
  SetPosition(p.x() + dx, p.y() + dy);
}

void TqdrPreviewWorkspace::UpdateScrollRange() {
  const QSize range = pageList_.ScrollRange(preview_->Zoom(), viewport()->width());
  const QSize view = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, range.width() - view.width()));
  horizontalScrollBar()->setPageStep(view.width());
  verticalScrollBar()->setRange(0, std::max(0, range.height() - view.height()));
  verticalScrollBar()->setPageStep(view.height());
  viewport()->update();
}

QRect TqdrPreviewWorkspace::PageRect(int index) const {
  return pageList_.PageRect(index, preview_->Zoom(), viewport()->width());
}

int TqdrPreviewWorkspace::PageAtPosition() const {
  return pageList_.FindPage(Position().y(), preview_->Zoom(), true);
}

void TqdrPreviewWorkspace::UpdateToolCursor() {
  viewport()->setCursor(
      CursorOf(preview_->Tool() == TqdrPreviewTool::ptHand ? report::crHand : report::crZoom));
}

void TqdrPreviewWorkspace::scrollContentsBy(int, int) {
  viewport()->update();
  preview_->PositionChanged();
}

void TqdrPreviewWorkspace::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  preview_->UpdateZoom();
}

void TqdrPreviewWorkspace::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QColor back = report::ToQColor(preview_->BackColor());
  TqdrPreviewPages* pages = preview_->Pages();
  if (preview_->Locked() || !pages || pageList_.Count() == 0) {
    painter.fillRect(event->rect(), back);
    return;
  }
  const QPoint pos = Position();
  const QRect dirty = event->rect();
  const int center = PageAtPosition();
  const int first = std::max(0, center - kPaintReach);
  const int last = std::min(pageList_.Count() - 1, center + kPaintReach);
  std::vector<std::pair<int, QRect>> visible;
  QRegion background(dirty);
  for (int i = first; i <= last; ++i) {
    const QRect r = PageRect(i).translated(-pos);
    const QRect withShadow = r.adjusted(0, 0, 1, 1);
    if (!withShadow.intersects(dirty)) continue;
    visible.push_back({i, r});
    background -= withShadow;
  }
  for (const QRect& r : background) painter.fillRect(r, back);
  for (const auto& [index, rect] : visible) DrawPage(painter, index, rect);
}

void TqdrPreviewWorkspace::DrawPage(QPainter& painter, int index, const QRect& rect) {
  painter.save();
  painter.setPen(report::ToQColor(preview_->FrameColor()));
  painter.setBrush(Qt::white);
  painter.drawRect(rect.adjusted(0, 0, -1, -1));
  // One-pixel shadow along the bottom and right edges.
  painter.drawLine(rect.left() + 1, rect.bottom() + 1, rect.right() + 1, rect.bottom() + 1);
  painter.drawLine(rect.right() + 1, rect.top() + 1, rect.right() + 1, rect.bottom() + 1);
  painter.restore();
  const double zoom = preview_->Zoom();
  preview_->Pages()->DrawPageAt(index, painter, zoom, zoom, rect.x(), rect.y());
  const TqdrFindState& find = FindState();
  if (find.found && find.page == index) {
    const QRect hit(rect.x() + Round(find.rect.left() * zoom) - 1,
                    rect.y() + Round(find.rect.top() * zoom), Round(find.rect.width() * zoom) + 2,
                    Round(find.rect.height() * zoom));
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(hit, Qt::white);
    painter.restore();
  }
}

void TqdrPreviewWorkspace::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const int amount = delta.y() != 0 ? delta.y() : delta.x();
  if (amount == 0) return;
  const int direction = amount > 0 ? 1 : -1;
  if (event->modifiers() & Qt::ControlModifier) {
    const double zoom = preview_->Zoom();
    double next = zoom + 0.1 * direction;
    if (direction < 0 && next < 0.3) next = std::min(zoom, 0.3);
    preview_->SetZoom(next);
  } else {
    ScrollBy(0, -20 * direction);
  }
  event->accept();
}

void TqdrPreviewWorkspace::keyPressEvent(QKeyEvent* event) {
  if (preview_->HandleKey(event->key(), event->modifiers()))
    event->accept();
  else
    event->ignore();
}

int TqdrPreviewWorkspace::PageUnder(QPoint point, QRect& rect) const {
  const QPoint content = point + Position();
  int index = pageList_.FindPage(content.y(), preview_->Zoom(), false);
  rect = PageRect(index);
  if (pageList_.ColumnCount() > 1 && content.x() < rect.left() && index > 0) {
    --index;
    rect = PageRect(index);
  }
  rect.translate(-Position());
  return index;
}

void TqdrPreviewWorkspace::mousePressEvent(QMouseEvent* event) {
  if (preview_->Locked() || pageList_.Count() == 0) return;
  setFocus();
  if (event->button() == Qt::LeftButton) {
    dragging_ = true;
    lastPoint_ = event->position().toPoint();
  }
}

void TqdrPreviewWorkspace::mouseMoveEvent(QMouseEvent* event) {
  if (preview_->Locked() || pageList_.Count() == 0) return;
  const QPoint point = event->position().toPoint();
  if (dragging_) {
    if (preview_->Tool() == TqdrPreviewTool::ptHand) {
      const QPoint d = point - lastPoint_;
      ScrollBy(-d.x(), -d.y());
    }
    lastPoint_ = point;
    return;
  }
  if (event->buttons() != Qt::NoButton) return;
  QRect rect;
  const int index = PageUnder(point, rect);
  int cursor = preview_->Tool() == TqdrPreviewTool::ptHand ? report::crHand : report::crZoom;
  const int toolCursor = cursor;
  report::TqdrView* view = preview_->Pages()->HitTest(index, point.x(), point.y(), false, cursor,
                                                      preview_->Zoom(), rect.x(), rect.y());
  const std::string url = view ? view->URL() : std::string();
  if (!url.empty()) cursor = kHandPoint;
  if (!view || cursor == 0) cursor = toolCursor;
  preview_->ShowHoverURL(url);
  viewport()->setCursor(CursorOf(cursor));
}

void TqdrPreviewWorkspace::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasDragging = dragging_;
  dragging_ = false;
  if (preview_->Locked() || pageList_.Count() == 0) return;
  if (preview_->Tool() == TqdrPreviewTool::ptZoom) {
    if (event->button() == Qt::LeftButton) preview_->SetZoom(preview_->Zoom() + 0.25);
    if (event->button() == Qt::RightButton) preview_->SetZoom(preview_->Zoom() - 0.25);
    return;
  }
  if (event->button() == Qt::LeftButton && !wasDragging) return;
  const QPoint point = event->position().toPoint();
  QRect rect;
  const int index = PageUnder(point, rect);
  int cursor = 0;
  const int button = event->button() == Qt::LeftButton    ? 0
                     : event->button() == Qt::RightButton ? 1
                                                          : 2;
  int shift = 0;
  if (event->modifiers() & Qt::ShiftModifier) shift |= 1;
  if (event->modifiers() & Qt::AltModifier) shift |= 2;
  if (event->modifiers() & Qt::ControlModifier) shift |= 4;
  report::TqdrView* view =
      preview_->Pages()->HitTest(index, point.x(), point.y(), true, cursor, preview_->Zoom(),
                                 rect.x(), rect.y(), button, shift);
  viewport()->update();
  if (preview_->OnClick) preview_->OnClick(view, button);
}

void TqdrPreviewWorkspace::mouseDoubleClickEvent(QMouseEvent* event) {
  if (preview_->OnDoubleClick) preview_->OnDoubleClick();
  QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void TqdrPreviewWorkspace::contextMenuEvent(QContextMenuEvent* event) {
  if (preview_->Tool() == TqdrPreviewTool::ptHand && preview_->OnContextMenu)
    preview_->OnContextMenu(event->globalPos());
}

}  // namespace engine
