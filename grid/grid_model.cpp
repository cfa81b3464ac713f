// Item model over the result set.
#include "grid/grid_model.h"

#include "core/date_time.h"
#include "core/variant.h"
#include "grid/column.h"
#include "platform/db/result_set.h"

namespace grid {

void TGridModel::Reset(const std::vector<TColumnGv*>& columns, const platform::DbResultSet* data) {
  beginResetModel();
  columns_ = columns;
  data_ = data;
  rows_ = data ? data->RecordCount() : 0;
  fields_.clear();
  for (TColumnGv* c : columns_) fields_.push_back(data ? c->FieldIndex() : -1);
  endResetModel();
}

int TGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int TGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString TGridModel::Text(int row, int col) const {
  if (!data_ || col < 0 || col >= static_cast<int>(fields_.size())) return QString();
  int field = fields_[static_cast<size_t>(col)];
  if (field < 0) return QString();
  // Cell() answers Null outside the rows, so a set closed behind our back reads empty.
  const core::Variant& v = data_->Cell(row, field);
  if (v.IsNull() || v.IsEmpty()) return QString();
  if (v.Type() == core::VarType::Date)
    return QString::fromStdString(core::DateToStr(v.RawDouble()));
  return QString::fromStdString(v.ToString());
}

QVariant TGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return QVariant();
  switch (role) {
    case Qt::DisplayRole:
      return Text(index.row(), index.column());
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Column(index.column())->Alignment() | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return QVariant();
  if (section < 0 || section >= static_cast<int>(columns_.size())) return QVariant();
  return QString::fromStdString(Column(section)->Title().Caption());
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace grid
