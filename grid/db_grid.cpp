// The data grid: column building, geometry, cursor tracking, keyboard and
// footer values.
#include "grid/db_grid.h"

#include <QEvent>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTextLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "core/date_time.h"
#include "core/float_text.h"
#include "core/text_util.h"
#include "core/variant.h"
#include "grid/grid_model.h"
#include "grid/grid_view.h"
#include "platform/db/result_set.h"

namespace grid {

namespace {

std::string WholeNumber(int64_t fixed) {
  // Round half away from zero, like the fixed-point values themselves.
  int64_t whole = fixed >= 0 ? (fixed + 5000) / 10000 : (fixed - 5000) / 10000;
  return std::to_string(whole);
}

}  // namespace

TDBGridGv::TDBGridGv(QWidget* parent) : QWidget(parent), columns_(this) {
  model_ = new TGridModel(this);
  view_ = new TGridView(this, this);
  auto* titles = new TTitleHeader(this, view_);
  auto* indicator = new TIndicatorHeader(this, view_);
  view_->setHorizontalHeader(titles);
  view_->setVerticalHeader(indicator);
  view_->setItemDelegate(new TCellDelegate(this, view_));
  view_->setModel(model_);
  view_->setShowGrid(false);
  view_->setWordWrap(false);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setTabKeyNavigation(false);
  view_->setCornerButtonEnabled(false);
  view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  indicator->setSectionResizeMode(QHeaderView::Fixed);
  setFocusProxy(view_);

  footer_ = new TFooterBar(this, this);
  footer_->hide();
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  hbar_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(view_, 1);
  layout->addWidget(footer_);
  layout->addWidget(hbar_);

  connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current, const QModelIndex&) {
            if (!current.isValid()) return;
            col_ = current.column();
            CurrentMoved(current.row());
          });
  connect(titles, &QHeaderView::sectionResized, this,
          [this](int logical, int, int newSize) { SectionResized(logical, newSize); });
  connect(titles, &QHeaderView::sectionMoved, this,
          [this](int logical, int oldVisual, int newVisual) {
            SectionMoved(logical, oldVisual, newVisual);
          });
  connect(titles, &QHeaderView::sectionClicked, this, [this](int logical) {
    if (onTitleClick_ && logical >= 0 && logical < VisibleColumnCount())
      onTitleClick_(*VisibleColumn(logical));
  });
  QScrollBar* inner = view_->horizontalScrollBar();
  connect(inner, &QScrollBar::valueChanged, this, [this](int value) {
    hbar_->setValue(value);
    footer_->update();
  });
  connect(inner, &QScrollBar::rangeChanged, this, [this, inner](int min, int max) {
    hbar_->setRange(min, max);
    hbar_->setPageStep(inner->pageStep());
    hbar_->setSingleStep(inner->singleStep());
    hbar_->setVisible(footerRowCount_ > 0 && max > min);
  });
  connect(hbar_, &QScrollBar::valueChanged, inner, &QScrollBar::setValue);
  sumList_.SetOnSumListChanged([this] { footer_->update(); });

  LayoutChanged();
}

TDBGridGv::~TDBGridGv() {
  destroying_ = true;
  // The view and its parts go with the QWidget base, after our members:
  // cut them off from the columns first.
  disconnect(view_->selectionModel(), nullptr, this, nullptr);
  sumList_.SetOnSumListChanged(nullptr);
  if (dataSource_) dataSource_->RemoveLink(this);
  dataSource_ = nullptr;
  laidOut_.clear();
  model_->Reset(laidOut_, nullptr);
}

QTableView* TDBGridGv::View() const {
  return view_;
}

void TDBGridGv::SetDataSource(TDataSourceGv* source) {
  if (source == dataSource_) return;
  if (dataSource_) dataSource_->RemoveLink(this);
  dataSource_ = source;
  sumList_.SetDataSource(source);
  if (dataSource_) dataSource_->AddLink(this);
  LayoutChanged();
}

platform::DbResultSet* TDBGridGv::Data() const {
  return dataSource_ ? dataSource_->Data() : nullptr;
}

// ---- properties --------------------------------------------------------

QFont TDBGridGv::TitleFont() const {
  return titleFont_ ? *titleFont_ : font();
}

void TDBGridGv::SetTitleFont(const QFont& font) {
  titleFont_ = font;
  ApplyGeometry();
}

void TDBGridGv::SetTitleLines(int lines) {
  titleLines_ = std::max(lines, 0);
  ApplyGeometry();
}

void TDBGridGv::SetTitleHeight(int pixels) {
  titleHeight_ = std::max(pixels, 0);
  ApplyGeometry();
}

void TDBGridGv::SetFooterRowCount(int rows) {
  if (rows < 0) return;
  footerRowCount_ = rows;
  LayoutChanged();
}

void TDBGridGv::SetOptions(TDBGridOptions options) {
  options_ = options;
  LayoutChanged();
}

void TDBGridGv::SetOptionsGv(TDBGridOptionsGv options) {
  optionsGv_ = options;
  ApplyGeometry();
}

void TDBGridGv::SetRowHeight(int pixels) {
  rowHeight_ = std::max(pixels, 0);
  ApplyGeometry();
}

void TDBGridGv::SetRowLines(int lines) {
  rowLines_ = std::max(lines, 0);
  ApplyGeometry();
}

void TDBGridGv::SetFrozenCols(int count) {
  frozenCols_ = std::max(count, 0);
  ApplyGeometry();
}

QTableView* TDBGridGv::FrozenView() const {
  return frozen_ && frozen_->isVisibleTo(view_) ? frozen_ : nullptr;
}

void TDBGridGv::UpdateFrozen() {
  if (destroying_) return;
  const int count = std::min(frozenCols_, VisibleColumnCount());
  if (count <= 0) {
    if (frozen_) frozen_->hide();
    return;
  }
  if (!frozen_) {
    // A second view over the same model and selection, laid over the left
    // columns; it scrolls with the main view vertically only.
    frozen_ = new TGridView(this, view_);
    frozen_->SetOverlay(true);
    frozen_->setHorizontalHeader(new TTitleHeader(this, frozen_));
    frozen_->setModel(model_);
    frozen_->setSelectionModel(view_->selectionModel());
    frozen_->setItemDelegate(view_->itemDelegate());
    frozen_->verticalHeader()->hide();
    frozen_->setShowGrid(false);
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    frozen_->setSelectionMode(QAbstractItemView::SingleSelection);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, frozen_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(frozen_->verticalScrollBar(), &QScrollBar::valueChanged, view_->verticalScrollBar(),
            &QScrollBar::setValue);
  }
  QHeaderView* titles = view_->horizontalHeader();
  QHeaderView* frozenTitles = frozen_->horizontalHeader();
  frozenTitles->setVisible(titles->isVisible());
  frozenTitles->setFixedHeight(titles->height());
  frozen_->verticalHeader()->setMinimumSectionSize(1);
  frozen_->verticalHeader()->setDefaultSectionSize(view_->verticalHeader()->defaultSectionSize());
  int width = 0;
  for (int c = 0; c < model_->columnCount(); ++c) {
    frozen_->setColumnHidden(c, c >= count);
    if (c < count) {
      frozenTitles->resizeSection(c, titles->sectionSize(c));
      width += titles->sectionSize(c);
    }
  }
  const QRect viewport = view_->viewport()->geometry();
  const int top = titles->isVisible() ? titles->geometry().top() : viewport.top();
  frozen_->setGeometry(viewport.left(), top, std::min(width, viewport.width()),
                       viewport.bottom() - top + 1);
  frozen_->verticalScrollBar()->setValue(view_->verticalScrollBar()->value());
  frozen_->show();
  frozen_->raise();
}

void TDBGridGv::SetDefaultColWidth(int pixels) {
  defaultColWidth_ = std::max(pixels, 0);
  ApplyGeometry();
}

void TDBGridGv::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) ApplyGeometry();
}

// ---- heights -----------------------------------------------------------

int TDBGridGv::CalcRowHeight() const {
  QFontMetrics fm(font(), this);
  if (rowHeight_ == 0 && rowLines_ == 0)
    return fm.height() + 3 + (options_.Contains(dgRowLines) ? 1 : 0);
  return rowHeight_ + rowLines_ * (fm.height() + fm.leading());
}

QFont TDBGridGv::LargestTitleFont() const {
  if (laidOut_.empty()) return TitleFont();
  QFont best = laidOut_.front()->Title().Font();
  int bestHeight = QFontMetrics(best, this).height();
  for (const TColumnGv* column : laidOut_) {
    QFont f = column->Title().Font();
    int h = QFontMetrics(f, this).height();
    if (h > bestHeight) {
      best = f;
      bestHeight = h;
    }
  }
  return best;
}

int TDBGridGv::CalcTitleHeight() const {
  if (!options_.Contains(dgTitles)) return 0;
  if (titleLines_ == 0 && titleHeight_ == 0) return CalcRowHeight();
  QFontMetrics fm(LargestTitleFont(), this);
  return titleLines_ * fm.height() + fm.leading() + titleHeight_ + 2 +
         (options_.Contains(dgRowLines) ? 1 : 0);
}

std::vector<std::string> TDBGridGv::TitleTextLines(int col, int width) const {
  if (col < 0 || col >= VisibleColumnCount()) return {};
  const TColumnGv* column = laidOut_[static_cast<size_t>(col)];
  const std::string caption = column->Title().Caption();
  if (titleLines_ == 0 && titleHeight_ == 0) return {caption};
  const QString text = QString::fromStdString(caption);
  QTextLayout layout(text, column->Title().Font(), const_cast<TDBGridGv*>(this));
  QTextOption option;
  option.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(option);
  std::vector<std::string> lines;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(std::max(width, 1));
    lines.push_back(text.mid(line.textStart(), line.textLength()).trimmed().toStdString());
  }
  layout.endLayout();
  if (lines.empty()) lines.emplace_back();
  return lines;
}

// ---- layout ------------------------------------------------------------

void TDBGridGv::BuildColumns() {
  const platform::DbResultSet* data = Data();
  laidOut_.clear();
  if (columns_.Count() > 0) {
    autoColumns_.clear();
    for (int i = 0; i < columns_.Count(); ++i) {
      TColumnGv* column = columns_.Items(i);
      column->fieldIndex_ =
          data && !column->FieldName().empty() ? data->FieldIndex(column->FieldName()) : -1;
      if (column->Visible()) laidOut_.push_back(column);
    }
    return;
  }
  // Columns built from the fields: keep the ones whose field is still there,
  // in field order, so widths the user set survive a reopen.
  std::vector<std::unique_ptr<TColumnGv>> built;
  if (data) {
    for (int f = 0; f < data->FieldCount(); ++f) {
      const std::string& name = data->Field(f).name;
      auto it = std::find_if(autoColumns_.begin(), autoColumns_.end(), [&](const auto& c) {
        return c && core::EqualsNoCase(c->FieldName(), name);
      });
      std::unique_ptr<TColumnGv> column;
      if (it != autoColumns_.end()) {
        column = std::move(*it);
      } else {
        column = std::make_unique<TColumnGv>(this);
        column->fieldName_ = name;
      }
      column->fieldIndex_ = f;
      built.push_back(std::move(column));
    }
  }
  autoColumns_ = std::move(built);
  for (const auto& column : autoColumns_)
    if (column->Visible()) laidOut_.push_back(column.get());
  if (autoColumns_.empty()) {
    if (!emptyColumn_) emptyColumn_ = std::make_unique<TColumnGv>(this);
    laidOut_.push_back(emptyColumn_.get());
  }
}

void TDBGridGv::ApplyGeometry() {
  if (destroying_) return;
  applying_ = true;
  QHeaderView* titles = view_->horizontalHeader();
  QHeaderView* indicator = view_->verticalHeader();
  titles->setVisible(options_.Contains(dgTitles));
  indicator->setVisible(options_.Contains(dgIndicator));
  const bool resize = options_.Contains(dgColumnResize);
  titles->setSectionResizeMode(resize ? QHeaderView::Interactive : QHeaderView::Fixed);
  titles->setSectionsMovable(resize && columns_.Count() > 0);
  for (int i = 0; i < VisibleColumnCount() && i < titles->count(); ++i)
    titles->resizeSection(i, laidOut_[static_cast<size_t>(i)]->Width());
  const int rowH = CalcRowHeight();
  indicator->setMinimumSectionSize(1);
  indicator->setDefaultSectionSize(rowH);
  view_->setSelectionBehavior(options_.Contains(dgRowSelect) ? QAbstractItemView::SelectRows
                                                             : QAbstractItemView::SelectItems);
  footer_->setFixedHeight(footerRowCount_ * rowH);
  footer_->setVisible(footerRowCount_ > 0);
  view_->setHorizontalScrollBarPolicy(footerRowCount_ > 0 ? Qt::ScrollBarAlwaysOff
                                                          : Qt::ScrollBarAsNeeded);
  QScrollBar* inner = view_->horizontalScrollBar();
  hbar_->setVisible(footerRowCount_ > 0 && inner->maximum() > inner->minimum());
  titles->updateGeometry();
  view_->Relayout();
  titles->viewport()->update();
  view_->viewport()->update();
  footer_->update();
  UpdateFrozen();
  applying_ = false;
}

void TDBGridGv::LayoutChanged() {
  if (destroying_) return;
  BuildColumns();
  model_->Reset(laidOut_, Data());
  ApplyGeometry();
  SyncFooterSums();
  SyncCursorFromData();
}

void TDBGridGv::ColumnChanged(bool layout) {
  if (destroying_) return;
  if (layout) {
    LayoutChanged();
    return;
  }
  ApplyGeometry();
}

void TDBGridGv::SyncFooterSums() {
  struct Want {
    TGroupOperation op;
    std::string field;
  };
  std::vector<Want> wants;
  for (const TColumnGv* column : laidOut_) {
    for (int row = 0; row < footerRowCount_; ++row) {
      const TColumnFooterGv* footer = column->FooterAt(row);
      if (!footer) continue;
      if (footer->ValueType() == fvtSum)
        wants.push_back(
            {goSum, footer->FieldName().empty() ? column->FieldName() : footer->FieldName()});
      else if (footer->ValueType() == fvtCount)
        wants.push_back({goCount, std::string()});
    }
  }
  auto wanted = [&](const TDBSum& item) {
    return std::any_of(wants.begin(), wants.end(), [&](const Want& w) {
      return w.op == item.GroupOperation() && core::EqualsNoCase(w.field, item.FieldName());
    });
  };
  TDBSumCollection& items = sumList_.SumCollection();
  bool changed = false;
  auto& list = items.items_;
  const size_t before = list.size();
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const auto& item) { return item->gridOwned_ && !wanted(*item); }),
             list.end());
  changed = list.size() != before;
  for (const Want& w : wants) {
    if (items.Find(w.op, w.field)) continue;
    items.Add(w.op, w.field)->gridOwned_ = true;
    changed = true;
  }
  if (changed && sumList_.Active()) sumList_.RecalcAll();
}

// ---- cursor ------------------------------------------------------------

int TDBGridGv::Row() const {
  QModelIndex current = view_->currentIndex();
  return current.isValid() ? current.row() : -1;
}

int TDBGridGv::Col() const {
  QModelIndex current = view_->currentIndex();
  return current.isValid() ? current.column() : std::min(col_, VisibleColumnCount() - 1);
}

void TDBGridGv::SetCol(int col) {
  if (Row() < 0) {
    col_ = std::clamp(col, 0, std::max(0, VisibleColumnCount() - 1));
    return;
  }
  MoveCursor(Row(), col);
}

int TDBGridGv::VisibleDataRowCount() const {
  return std::max(1, view_->viewport()->height() / std::max(1, CalcRowHeight()));
}

void TDBGridGv::SyncCursorFromData() {
  auto* indicator = static_cast<TIndicatorHeader*>(view_->verticalHeader());
  const platform::DbResultSet* data = Data();
  const int rows = model_->rowCount();
  const int cols = model_->columnCount();
  if (!data || rows == 0) {
    indicator->SetCurrentRow(-1);
    footer_->update();
    return;
  }
  const int row = std::clamp(data->RecNo(), 0, rows - 1);
  indicator->SetCurrentRow(row);
  if (cols > 0) {
    const int col = std::clamp(col_, 0, cols - 1);
    QModelIndex index = model_->index(row, col);
    if (view_->currentIndex() != index) {
      syncing_ = true;
      view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
      syncing_ = false;
    }
    view_->scrollTo(index);
  }
  footer_->update();
}

void TDBGridGv::CurrentMoved(int row) {
  static_cast<TIndicatorHeader*>(view_->verticalHeader())->SetCurrentRow(row);
  footer_->update();
  if (syncing_ || !dataSource_) return;
  const platform::DbResultSet* data = Data();
  if (!data || data->RecNo() == row) return;
  dataSource_->MoveTo(row, this);
}

void TDBGridGv::MoveCursor(int row, int col) {
  const int rows = model_->rowCount();
  const int cols = model_->columnCount();
  if (rows == 0) return;
  row = std::clamp(row, 0, rows - 1);
  if (cols == 0) {
    static_cast<TIndicatorHeader*>(view_->verticalHeader())->SetCurrentRow(row);
    if (dataSource_) dataSource_->MoveTo(row, this);
    return;
  }
  col = std::clamp(col, 0, cols - 1);
  QModelIndex index = model_->index(row, col);
  view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  view_->scrollTo(index);
}

void TDBGridGv::DataSetChanged() {
  LayoutChanged();
}

void TDBGridGv::RecordChanged() {
  SyncCursorFromData();
}

void TDBGridGv::DataSourceDestroyed(TDataSourceGv* source) {
  if (source != dataSource_) return;
  dataSource_ = nullptr;
  LayoutChanged();
}

void TDBGridGv::SectionResized(int logical, int newSize) {
  if (applying_ || logical < 0 || logical >= VisibleColumnCount()) return;
  laidOut_[static_cast<size_t>(logical)]->width_ = newSize;
  if (logical < frozenCols_) UpdateFrozen();
  footer_->update();
}

void TDBGridGv::SectionMoved(int logical, int oldVisual, int newVisual) {
  if (applying_ || logical < 0 || logical >= VisibleColumnCount()) return;
  if (newVisual < 0 || newVisual >= VisibleColumnCount()) return;
  TColumnGv* moved = laidOut_[static_cast<size_t>(oldVisual)];
  TColumnGv* target = laidOut_[static_cast<size_t>(newVisual)];
  // The header keeps sections in model order; the move goes into Columns and
  // the header is put back once it has finished its own bookkeeping.
  QMetaObject::invokeMethod(
      this,
      [this, moved, target, oldVisual, newVisual] {
        applying_ = true;
        view_->horizontalHeader()->moveSection(newVisual, oldVisual);
        applying_ = false;
        const int from = columns_.IndexOf(moved);
        const int to = columns_.IndexOf(target);
        if (from >= 0 && to >= 0) columns_.Move(from, to);
      },
      Qt::QueuedConnection);
}

// ---- keyboard ----------------------------------------------------------

bool TDBGridGv::ColumnAcceptsTab(int col) const {
  if (col < 0 || col >= VisibleColumnCount() || !Data()) return false;
  const TColumnGv* column = laidOut_[static_cast<size_t>(col)];
  return !column->ReadOnly() && column->FieldIndex() >= 0;
}

bool TDBGridGv::KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const platform::DbResultSet* data = Data();
  if (!data) return false;
  const bool ctrl = modifiers & Qt::ControlModifier;
  const bool shift = modifiers & Qt::ShiftModifier;
  switch (key) {
    // Editing keys: our result sets are read-only, so they do nothing.
    case Qt::Key_Escape:
    case Qt::Key_F2:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
      return true;
    default:
      break;
  }
  const int rows = model_->rowCount();
  const int cols = model_->columnCount();
  int row = Row() >= 0 ? Row() : std::clamp(data->RecNo(), 0, std::max(rows - 1, 0));
  int col = Col();
  const int page = VisibleDataRowCount();
  const int firstVisible = std::max(0, view_->rowAt(0));
  const int lastVisible = std::min(rows - 1, firstVisible + page - 1);
  const bool recordKeys = cols <= 1 || options_.Contains(dgRowSelect);
  switch (key) {
    case Qt::Key_Up:
      row = ctrl ? firstVisible : row - 1;
      break;
    case Qt::Key_Down:
      row = ctrl ? lastVisible : row + 1;
      break;
    case Qt::Key_PageUp:
      row = ctrl ? firstVisible : row - page;
      break;
    case Qt::Key_PageDown:
      row = ctrl ? lastVisible : row + page;
      break;
    case Qt::Key_Home:
      if (ctrl || recordKeys)
        row = 0;
      else
        col = 0;
      break;
    case Qt::Key_End:
      if (ctrl || recordKeys)
        row = rows - 1;
      else
        col = cols - 1;
      break;
    case Qt::Key_Left:
      col = ctrl ? 0 : col - 1;
      break;
    case Qt::Key_Right:
      col = ctrl ? cols - 1 : col + 1;
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      if (!options_.Contains(dgTabs)) return false;
      const int step = (key == Qt::Key_Backtab || shift) ? -1 : 1;
      int next = -1;
      for (int c = col + step; c >= 0 && c < cols; c += step)
        if (ColumnAcceptsTab(c)) {
          next = c;
          break;
        }
      if (next < 0) {
        // Past the end: the next record's first column, or the previous record's last.
        const int wrapRow = row + step;
        if (wrapRow < 0 || wrapRow >= rows) return true;
        for (int c = step > 0 ? 0 : cols - 1; c >= 0 && c < cols; c += step)
          if (ColumnAcceptsTab(c)) {
            next = c;
            break;
          }
        if (next < 0) return true;
        row = wrapRow;
      }
      col = next;
      break;
    }
    default:
      return false;
  }
  MoveCursor(row, col);
  return true;
}

// ---- texts -------------------------------------------------------------

std::string TDBGridGv::CellText(int row, int col) const {
  return model_->Text(row, col).toStdString();
}

std::string TDBGridGv::FooterText(int footerRow, int col) const {
  if (footerRow < 0 || footerRow >= footerRowCount_ || col < 0 || col >= VisibleColumnCount())
    return {};
  const TColumnGv* column = laidOut_[static_cast<size_t>(col)];
  const TColumnFooterGv* footer = column->FooterAt(footerRow);
  if (!footer) return {};
  const platform::DbResultSet* data = Data();
  const std::string& fieldName =
      footer->FieldName().empty() ? column->FieldName() : footer->FieldName();
  switch (footer->ValueType()) {
    case fvtNon:
      return {};
    case fvtSum: {
      const TDBSum* item = sumList_.SumCollection().Find(goSum, fieldName);
      const int field = data ? data->FieldIndex(fieldName) : -1;
      if (!item || field < 0) return {};
      switch (data->Field(field).kind) {
        case platform::FieldKind::Integer:
          return WholeNumber(item->SumValue());
        case platform::FieldKind::Float:
          return core::FloatToStr(item->Value());
        case platform::FieldKind::String:
        case platform::FieldKind::DateTime:
        case platform::FieldKind::Boolean:
        case platform::FieldKind::Blob:
          return {};
      }
      return {};
    }
    case fvtCount: {
      const TDBSum* item = sumList_.SumCollection().Find(goCount, std::string());
      return item ? WholeNumber(item->SumValue()) : std::string();
    }
    case fvtFieldValue: {
      const int field = data ? data->FieldIndex(fieldName) : -1;
      if (field < 0 || data->IsEmpty()) return {};
      const core::Variant& v = data->Value(field);
      if (v.IsNull() || v.IsEmpty()) return {};
      if (v.Type() == core::VarType::Date) return core::DateToStr(v.RawDouble());
      return v.ToString();
    }
    case fvtStaticText:
      return footer->Value();
  }
  return {};
}

}  // namespace grid
