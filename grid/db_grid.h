// The data grid: shows the rows of the data source's open result set in a
// table with a multi-line title row, an indicator column marking the current
// record, and optional footer rows fed by the sum list. Cells are read from
// the result set when painted; nothing is built per row.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "grid/column.h"
#include "grid/data_source.h"
#include "grid/grid_options.h"
#include "grid/sum_list.h"

class QTableView;
class QScrollBar;

namespace platform {
class DbResultSet;
}

namespace grid {

class TGridModel;
class TGridView;
class TFooterBar;

class TDBGridGv : public QWidget, public TDataLinkGv {
 public:
  explicit TDBGridGv(QWidget* parent = nullptr);
  ~TDBGridGv() override;

  TDataSourceGv* DataSource() const { return dataSource_; }
  // Binds the grid and its sum list to a data source (null unbinds).
  void SetDataSource(TDataSourceGv* source);
  // The open result set shown, or null.
  platform::DbResultSet* Data() const;

  // Persistent columns; while empty the grid builds columns from the fields.
  TDBGridColumnsGv& Columns() { return columns_; }
  // The columns as laid out (visible ones, persistent or built).
  int VisibleColumnCount() const { return static_cast<int>(laidOut_.size()); }
  TColumnGv* VisibleColumn(int index) const { return laidOut_[static_cast<size_t>(index)]; }

  QFont TitleFont() const;  // a copy of the grid font unless set
  void SetTitleFont(const QFont& font);
  int TitleLines() const { return titleLines_; }
  void SetTitleLines(int lines);
  int TitleHeight() const { return titleHeight_; }
  void SetTitleHeight(int pixels);
  int FooterRowCount() const { return footerRowCount_; }
  void SetFooterRowCount(int rows);  // negative values are ignored
  TDBGridGvSumList& SumList() { return sumList_; }

  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions options);
  TDBGridOptionsGv OptionsGv() const { return optionsGv_; }
  void SetOptionsGv(TDBGridOptionsGv options);
  int RowHeight() const { return rowHeight_; }
  void SetRowHeight(int pixels);
  int RowLines() const { return rowLines_; }
  void SetRowLines(int lines);
  int FrozenCols() const { return frozenCols_; }
  void SetFrozenCols(int count);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  // Width of a column without a field and without a given width.
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int pixels);

  // Pixel heights of the title row (0 without dgTitles) and of a data row.
  int CalcTitleHeight() const;
  int CalcRowHeight() const;
  static constexpr int kIndicatorWidth = 11;

  // The current data row (-1 without rows) and laid-out column.
  int Row() const;
  int Col() const;
  void SetCol(int col);
  // The view over the frozen columns, or null while FrozenCols is 0.
  QTableView* FrozenView() const;
  // Number of data rows that fit in the view.
  int VisibleDataRowCount() const;

  // Display text of a data cell, of a footer cell.
  std::string CellText(int row, int col) const;
  std::string FooterText(int footerRow, int col) const;
  // The title caption of a column broken into the lines drawn in a cell of
  // `width` pixels (word-wrapped with multi-line titles, else one line).
  std::vector<std::string> TitleTextLines(int col, int width) const;

  // Columns are resolved again and the rows shown anew.
  void LayoutChanged();
  // Called by columns when a setting changed.
  void ColumnChanged(bool layout);

  void SetOnTitleClick(std::function<void(TColumnGv&)> handler) {
    onTitleClick_ = std::move(handler);
  }

  QTableView* View() const;

  // Data link.
  void DataSetChanged() override;
  void RecordChanged() override;
  void DataSourceDestroyed(TDataSourceGv* source) override;

  // Keyboard handling of the view; false when the key is not the grid's.
  bool KeyDown(int key, Qt::KeyboardModifiers modifiers);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  friend class TGridView;
  friend class TFooterBar;

  void BuildColumns();
  void ApplyGeometry();
  void SyncFooterSums();
  void SyncCursorFromData();
  void MoveCursor(int row, int col);
  void CurrentMoved(int row);
  void SectionResized(int logical, int newSize);
  void SectionMoved(int logical, int oldVisual, int newVisual);
  bool ColumnAcceptsTab(int col) const;
  void UpdateFrozen();
  QFont LargestTitleFont() const;

  TDataSourceGv* dataSource_ = nullptr;
  TDBGridColumnsGv columns_;
  std::vector<std::unique_ptr<TColumnGv>> autoColumns_;
  std::unique_ptr<TColumnGv> emptyColumn_;
  std::vector<TColumnGv*> laidOut_;
  std::optional<QFont> titleFont_;
  int titleLines_ = 0;
  int titleHeight_ = 0;
  int footerRowCount_ = 0;
  TDBGridGvSumList sumList_;
  TDBGridOptions options_ = kDefaultGridOptions;
  TDBGridOptionsGv optionsGv_ = kDefaultGridOptionsGv;
  int rowHeight_ = 0;
  int rowLines_ = 0;
  int frozenCols_ = 0;
  bool readOnly_ = false;
  int defaultColWidth_ = 64;
  int col_ = 0;  // current column, kept while the model has no rows
  bool syncing_ = false;
  bool applying_ = false;
  bool destroying_ = false;
  std::function<void(TColumnGv&)> onTitleClick_;

  TGridModel* model_;
  TGridView* view_;
  TGridView* frozen_ = nullptr;  // overlay holding the frozen columns
  TFooterBar* footer_;
  QScrollBar* hbar_;
};

}  // namespace grid
