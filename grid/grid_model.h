// The item model over the grid's open result set (private to the grid).
// Rows are records, columns the laid-out grid columns; every cell is read from
// the result set on request, so opening 100,000 rows costs nothing per row.
#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <QString>
#include <vector>

namespace platform {
class DbResultSet;
}

namespace grid {

class TColumnGv;

class TGridModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Shows these columns over `data` (null: no rows).
  void Reset(const std::vector<TColumnGv*>& columns, const platform::DbResultSet* data);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Display text of a cell: dates in the process date format, the rest as
  // their variant text; empty for a column without a field.
  QString Text(int row, int col) const;
  TColumnGv* Column(int col) const { return columns_[static_cast<size_t>(col)]; }
  const platform::DbResultSet* Data() const { return data_; }

 private:
  std::vector<TColumnGv*> columns_;
  std::vector<int> fields_;  // field index per column, -1 when unbound
  const platform::DbResultSet* data_ = nullptr;
  int rows_ = 0;
};

}  // namespace grid
