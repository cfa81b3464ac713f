// Grid columns: defaults that follow the grid and the bound field.
#include "grid/column.h"

#include <QFontMetrics>
#include <QPalette>
#include <algorithm>

#include "core/date_time.h"
#include "grid/db_grid.h"
#include "platform/db/result_set.h"

namespace grid {

// ---- title -------------------------------------------------------------

std::string TColumnTitleGv::Caption() const {
  if (caption_) return *caption_;
  if (const platform::FieldDef* f = column_->Field()) return f->name;
  return column_->FieldName();
}

void TColumnTitleGv::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  column_->Changed(false);
}

void TColumnTitleGv::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment & Qt::AlignHorizontal_Mask;
  column_->Changed(false);
}

QFont TColumnTitleGv::Font() const {
  if (font_) return *font_;
  if (column_->Grid()) return column_->Grid()->TitleFont();
  return QFont();
}

void TColumnTitleGv::SetFont(const QFont& font) {
  font_ = font;
  column_->Changed(true);  // the title height may change
}

QColor TColumnTitleGv::Color() const {
  if (color_) return *color_;
  if (column_->Grid()) return column_->Grid()->palette().color(QPalette::Button);
  return QColor(Qt::lightGray);
}

void TColumnTitleGv::SetColor(const QColor& color) {
  color_ = color;
  column_->Changed(false);
}

void TColumnTitleGv::SetEndEllipsis(bool value) {
  endEllipsis_ = value;
  column_->Changed(false);
}

void TColumnTitleGv::SetSortMarker(TSortMarkerGv marker) {
  sortMarker_ = marker;
  column_->Changed(false);
}

void TColumnTitleGv::SetSortIndex(int index) {
  sortIndex_ = index;
  column_->Changed(false);
}

// ---- footer ------------------------------------------------------------

void TColumnFooterGv::SetValueType(TFooterValueType type) {
  valueType_ = type;
  column_->Changed(true);  // sums are made per footer
}

void TColumnFooterGv::SetFieldName(std::string name) {
  fieldName_ = std::move(name);
  column_->Changed(true);
}

void TColumnFooterGv::SetValue(std::string value) {
  value_ = std::move(value);
  column_->Changed(false);
}

Qt::Alignment TColumnFooterGv::Alignment() const {
  return alignment_ ? *alignment_ : column_->Alignment();
}

void TColumnFooterGv::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment & Qt::AlignHorizontal_Mask;
  column_->Changed(false);
}

QFont TColumnFooterGv::Font() const {
  if (font_) return *font_;
  if (column_->Grid()) return column_->Grid()->font();
  return QFont();
}

void TColumnFooterGv::SetFont(const QFont& font) {
  font_ = font;
  column_->Changed(false);
}

QColor TColumnFooterGv::Color() const {
  if (color_) return *color_;
  if (column_->Grid()) return column_->Grid()->palette().color(QPalette::Button);
  return QColor(Qt::lightGray);
}

void TColumnFooterGv::SetColor(const QColor& color) {
  color_ = color;
  column_->Changed(false);
}

void TColumnFooterGv::SetWordWrap(bool value) {
  wordWrap_ = value;
  column_->Changed(false);
}

void TColumnFooterGv::SetEndEllipsis(bool value) {
  endEllipsis_ = value;
  column_->Changed(false);
}

// ---- column ------------------------------------------------------------

TColumnGv::TColumnGv(TDBGridGv* grid) : grid_(grid), title_(this) {
  footers_.push_back(std::make_unique<TColumnFooterGv>(this));
}

void TColumnGv::SetFieldName(std::string name) {
  fieldName_ = std::move(name);
  Changed(true);
}

const platform::FieldDef* TColumnGv::Field() const {
  if (!grid_ || fieldIndex_ < 0) return nullptr;
  const platform::DbResultSet* data = grid_->Data();
  if (!data || fieldIndex_ >= data->FieldCount()) return nullptr;
  return &data->Field(fieldIndex_);
}

TColumnFooterGv& TColumnGv::Footers(int row) {
  row = std::max(row, 0);
  while (static_cast<int>(footers_.size()) <= row)
    footers_.push_back(std::make_unique<TColumnFooterGv>(this));
  return *footers_[static_cast<size_t>(row)];
}

const TColumnFooterGv* TColumnGv::FooterAt(int row) const {
  if (row < 0 || row >= static_cast<int>(footers_.size())) return nullptr;
  return footers_[static_cast<size_t>(row)].get();
}

int TColumnGv::DisplayWidth(const platform::FieldDef& field) {
  switch (field.kind) {
    case platform::FieldKind::String:
      return field.size > 0 ? field.size : 20;
    case platform::FieldKind::Integer:
      return 11;
    case platform::FieldKind::Float:
      return 10;
    case platform::FieldKind::DateTime:
      return std::max<int>(10, static_cast<int>(core::FormatSettings().ShortDateFormat.size()));
    case platform::FieldKind::Boolean:
      return 5;
    case platform::FieldKind::Blob:
      return 10;
  }
  return 10;
}

int TColumnGv::Width() const {
  if (width_) return *width_;
  if (!grid_) return 64;
  const platform::FieldDef* f = Field();
  if (!f) return grid_->DefaultColWidth();
  QFontMetrics fm(Font(), grid_);
  return fm.horizontalAdvance(QLatin1Char('0')) * DisplayWidth(*f) + 4;
}

void TColumnGv::SetWidth(int width) {
  width_ = std::max(width, 0);
  Changed(false);
}

void TColumnGv::SetVisible(bool visible) {
  visible_ = visible;
  Changed(true);
}

Qt::Alignment TColumnGv::Alignment() const {
  if (alignment_) return *alignment_;
  if (const platform::FieldDef* f = Field())
    if (f->kind == platform::FieldKind::Integer || f->kind == platform::FieldKind::Float)
      return Qt::AlignRight;
  return Qt::AlignLeft;
}

void TColumnGv::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment & Qt::AlignHorizontal_Mask;
  Changed(false);
}

QFont TColumnGv::Font() const {
  if (font_) return *font_;
  if (grid_) return grid_->font();
  return QFont();
}

void TColumnGv::SetFont(const QFont& font) {
  font_ = font;
  Changed(false);
}

QColor TColumnGv::Color() const {
  if (color_) return *color_;
  if (grid_) return grid_->palette().color(QPalette::Base);
  return QColor(Qt::white);
}

void TColumnGv::SetColor(const QColor& color) {
  color_ = color;
  Changed(false);
}

void TColumnGv::SetWordWrap(bool value) {
  wordWrap_ = value;
  Changed(false);
}

void TColumnGv::SetEndEllipsis(bool value) {
  endEllipsis_ = value;
  Changed(false);
}

void TColumnGv::Changed(bool layout) const {
  if (grid_) grid_->ColumnChanged(layout);
}

// ---- collection --------------------------------------------------------

TColumnGv* TDBGridColumnsGv::Add() {
  items_.push_back(std::make_unique<TColumnGv>(grid_));
  if (grid_) grid_->ColumnChanged(true);
  return items_.back().get();
}

void TDBGridColumnsGv::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  if (grid_) grid_->ColumnChanged(true);
}

void TDBGridColumnsGv::Clear() {
  items_.clear();
  if (grid_) grid_->ColumnChanged(true);
}

void TDBGridColumnsGv::Move(int from, int to) {
  if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
  auto item = std::move(items_[static_cast<size_t>(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(item));
  if (grid_) grid_->ColumnChanged(true);
}

int TDBGridColumnsGv::IndexOf(const TColumnGv* column) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)].get() == column) return i;
  return -1;
}

}  // namespace grid
