// View parts of the grid: keyboard routing, title and indicator painting,
// cell painting and footer rows.
#include "grid/grid_view.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPolygon>
#include <QResizeEvent>

#include "grid/column.h"
#include "grid/db_grid.h"
#include "grid/grid_model.h"

namespace grid {

namespace {
constexpr int kInset = 2;
constexpr int kSortMarkerWidth = 16;

QColor LineColor(const QWidget* w) {
  return w->palette().color(QPalette::Mid);
}

// Draws `lines` as one block, centred vertically inside `inner`; a block
// taller than the cell starts at the top so its first lines stay readable.
void DrawLines(QPainter* p, const QRect& inner, const std::vector<std::string>& lines,
               Qt::Alignment align, bool endEllipsis) {
  QFontMetrics fm(p->font(), p->device());
  const int lineH = fm.height();
  const int count = static_cast<int>(lines.size());
  const int block = count * lineH;
  int top = inner.top() + (block <= inner.height() ? (inner.height() - block) / 2 : 0);
  int fit = std::max(1, inner.height() / std::max(1, lineH));
  for (int i = 0; i < count; ++i) {
    QString text = QString::fromStdString(lines[static_cast<size_t>(i)]);
    if (endEllipsis && count > fit && i == fit - 1) {
      text = fm.elidedText(text + QChar(0x2026), Qt::ElideRight, inner.width());
    } else if (endEllipsis) {
      text = fm.elidedText(text, Qt::ElideRight, inner.width());
    }
    QRect line(inner.left(), top + i * lineH, inner.width(), lineH);
    p->drawText(line, static_cast<int>(align | Qt::AlignVCenter | Qt::TextSingleLine), text);
  }
}
}  // namespace

void DrawFixedFrame(QPainter* p, const QRect& r, bool raised3D, const QColor& line) {
  if (raised3D) {
    p->setPen(Qt::white);
    p->drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p->drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    p->setPen(Qt::darkGray);
    p->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p->drawLine(r.right(), r.top(), r.right(), r.bottom());
    return;
  }
  p->setPen(line);
  p->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  p->drawLine(r.right(), r.top(), r.right(), r.bottom());
}

// ---- view --------------------------------------------------------------

TGridView::TGridView(TDBGridGv* grid, QWidget* parent) : QTableView(parent), grid_(grid) {}

bool TGridView::event(QEvent* event) {
  // Tab moves between columns rather than focus when the grid takes tabs.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
        grid_->Options().Contains(dgTabs)) {
      keyPressEvent(key);
      return true;
    }
  }
  return QTableView::event(event);
}

void TGridView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  if (!overlay_) grid_->UpdateFrozen();
}

void TGridView::updateGeometries() {
  QTableView::updateGeometries();
  if (!overlay_) grid_->UpdateFrozen();
}

void TGridView::keyPressEvent(QKeyEvent* event) {
  if (grid_->KeyDown(event->key(), event->modifiers())) {
    event->accept();
    return;
  }
  event->ignore();
}

// ---- title row ---------------------------------------------------------

TTitleHeader::TTitleHeader(TDBGridGv* grid, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), grid_(grid) {
  setHighlightSections(false);
  setMinimumSectionSize(0);
}

QSize TTitleHeader::sizeHint() const {
  return QSize(length(), grid_->CalcTitleHeight());
}

void TTitleHeader::paintSection(QPainter* p, const QRect& rect, int logicalIndex) const {
  if (logicalIndex < 0 || logicalIndex >= grid_->VisibleColumnCount()) return;
  TColumnGv* column = grid_->VisibleColumn(logicalIndex);
  const TColumnTitleGv& title = column->Title();
  p->save();
  p->setClipRect(rect);
  p->fillRect(rect, title.Color());
  DrawFixedFrame(p, rect, grid_->OptionsGv().Contains(dgvFixed3D), LineColor(this));

  QRect inner = rect.adjusted(kInset, kInset, -kInset, -kInset);
  if (title.SortMarker() != smNoneGv && inner.width() > kSortMarkerWidth) {
    QRect marker(inner.right() - kSortMarkerWidth + 1, inner.top(), kSortMarkerWidth,
                 inner.height());
    inner.setRight(marker.left() - 1);
    const int cx = marker.center().x();
    const int cy = marker.center().y();
    QPolygon arrow;
    if (title.SortMarker() == smDownGv)
      arrow << QPoint(cx - 4, cy - 2) << QPoint(cx + 4, cy - 2) << QPoint(cx, cy + 2);
    else
      arrow << QPoint(cx - 4, cy + 2) << QPoint(cx + 4, cy + 2) << QPoint(cx, cy - 2);
    p->setPen(Qt::NoPen);
    p->setBrush(Qt::darkGray);
    p->drawPolygon(arrow);
    int sorted = 0;
    for (int i = 0; i < grid_->VisibleColumnCount(); ++i)
      if (grid_->VisibleColumn(i)->Title().SortMarker() != smNoneGv) ++sorted;
    if (sorted > 1) {
      QFont small = title.Font();
      small.setPixelSize(std::max(6, QFontMetrics(small).height() / 2));
      p->setFont(small);
      p->setPen(palette().color(QPalette::ButtonText));
      p->drawText(QRect(cx + 4, marker.top(), kSortMarkerWidth / 2, marker.height()),
                  Qt::AlignLeft | Qt::AlignBottom, QString::number(title.SortIndex()));
    }
  }
  p->setFont(title.Font());
  p->setPen(palette().color(QPalette::ButtonText));
  DrawLines(p, inner, grid_->TitleTextLines(logicalIndex, inner.width()), title.Alignment(),
            title.EndEllipsis());
  p->restore();
}

// ---- indicator column --------------------------------------------------

TIndicatorHeader::TIndicatorHeader(TDBGridGv* grid, QWidget* parent)
    : QHeaderView(Qt::Vertical, parent), grid_(grid) {
  setHighlightSections(false);
  setSectionsClickable(false);
  setMinimumSectionSize(1);
  setMinimumWidth(0);
}

QSize TIndicatorHeader::sizeHint() const {
  return QSize(TDBGridGv::kIndicatorWidth, length());
}

void TIndicatorHeader::SetCurrentRow(int row) {
  if (row == current_) return;
  const int old = current_;
  current_ = row;
  // Only the two rows whose glyph changed are painted again.
  for (int r : {old, row}) {
    if (r < 0 || r >= count()) continue;
    int y = sectionViewportPosition(r);
    viewport()->update(0, y, width(), sectionSize(r));
  }
}

void TIndicatorHeader::paintSection(QPainter* p, const QRect& rect, int logicalIndex) const {
  p->save();
  p->fillRect(rect, palette().color(QPalette::Button));
  DrawFixedFrame(p, rect, grid_->OptionsGv().Contains(dgvFixed3D), LineColor(this));
  if (logicalIndex == current_) {
    const int cy = rect.center().y();
    const int left = rect.left() + 3;
    QPolygon arrow;
    arrow << QPoint(left, cy - 4) << QPoint(left + 4, cy) << QPoint(left, cy + 4);
    p->setPen(Qt::NoPen);
    p->setBrush(palette().color(QPalette::ButtonText));
    p->drawPolygon(arrow);
  }
  p->restore();
}

// ---- data cells --------------------------------------------------------

TCellDelegate::TCellDelegate(TDBGridGv* grid, QObject* parent)
    : QAbstractItemDelegate(parent), grid_(grid) {}

void TCellDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
  const auto* model = static_cast<const TGridModel*>(index.model());
  TColumnGv* column = model->Column(index.column());
  const QRect r = option.rect;
  const TDBGridOptions options = grid_->Options();
  const bool selected = (option.state & QStyle::State_Selected) &&
                        grid_->OptionsGv().Contains(dgvHighlightFocus) &&
                        (grid_->View()->hasFocus() || options.Contains(dgAlwaysShowSelection) ||
                         options.Contains(dgRowSelect));
  const QPalette& pal = grid_->palette();
  QRect cell = r;
  if (options.Contains(dgColLines)) cell.setRight(cell.right() - 1);
  if (options.Contains(dgRowLines)) cell.setBottom(cell.bottom() - 1);
  p->fillRect(cell, selected ? pal.color(QPalette::Highlight) : column->Color());

  const QString text = model->Text(index.row(), index.column());
  if (!text.isEmpty()) {
    QFont font = column->Font();
    p->setFont(font);
    p->setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    QRect inner = cell.adjusted(kInset, 0, -kInset, 0);
    int flags = static_cast<int>(column->Alignment() | Qt::AlignVCenter);
    QString shown = text;
    if (column->WordWrap()) {
      flags |= Qt::TextWordWrap;
    } else {
      flags |= Qt::TextSingleLine;
      if (column->EndEllipsis())
        shown = QFontMetrics(font, p->device()).elidedText(text, Qt::ElideRight, inner.width());
    }
    p->drawText(inner, flags, shown);
  }
  const QColor line = LineColor(grid_);
  p->setPen(line);
  if (options.Contains(dgColLines)) p->drawLine(r.right(), r.top(), r.right(), r.bottom());
  if (options.Contains(dgRowLines)) p->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}

QSize TCellDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const {
  const auto* model = static_cast<const TGridModel*>(index.model());
  return QSize(model->Column(index.column())->Width(), grid_->CalcRowHeight());
}

// ---- footer rows -------------------------------------------------------

TFooterBar::TFooterBar(TDBGridGv* grid, QWidget* parent) : QWidget(parent), grid_(grid) {}

void TFooterBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = grid_->palette();
  p.fillRect(rect(), pal.color(QPalette::Button));
  QTableView* view = grid_->View();
  QHeaderView* header = view->horizontalHeader();
  const int origin = view->viewport()->mapTo(this->parentWidget(), QPoint(0, 0)).x() - x();
  const int viewportWidth = view->viewport()->width();
  const int rowH = grid_->CalcRowHeight();
  const bool raised = grid_->OptionsGv().Contains(dgvFooter3D);
  const QColor line = LineColor(grid_);
  for (int row = 0; row < grid_->FooterRowCount(); ++row) {
    const int top = row * rowH;
    if (grid_->Options().Contains(dgIndicator))
      DrawFixedFrame(
          &p, QRect(origin - TDBGridGv::kIndicatorWidth, top, TDBGridGv::kIndicatorWidth, rowH),
          grid_->OptionsGv().Contains(dgvFixed3D), line);
    p.save();
    p.setClipRect(QRect(origin, 0, viewportWidth, height()));
    for (int col = 0; col < grid_->VisibleColumnCount(); ++col) {
      if (header->isSectionHidden(col)) continue;
      QRect cell(origin + header->sectionViewportPosition(col), top, header->sectionSize(col),
                 rowH);
      if (cell.right() < origin || cell.left() > origin + viewportWidth) continue;
      TColumnGv* column = grid_->VisibleColumn(col);
      const TColumnFooterGv* footer = column->FooterAt(row);
      p.fillRect(cell, footer ? footer->Color() : pal.color(QPalette::Button));
      DrawFixedFrame(&p, cell, raised, line);
      const std::string text = grid_->FooterText(row, col);
      if (text.empty() || !footer) continue;
      QFont font = footer->Font();
      p.setFont(font);
      p.setPen(pal.color(QPalette::ButtonText));
      QRect inner = cell.adjusted(kInset, 0, -kInset - 1, -1);
      QString shown = QString::fromStdString(text);
      int flags = static_cast<int>(footer->Alignment() | Qt::AlignVCenter);
      if (footer->WordWrap()) {
        flags |= Qt::TextWordWrap;
      } else {
        flags |= Qt::TextSingleLine;
        if (footer->EndEllipsis())
          shown = QFontMetrics(font, this).elidedText(shown, Qt::ElideRight, inner.width());
      }
      p.drawText(inner, flags, shown);
    }
    p.restore();
  }
}

}  // namespace grid
