// The grid's view parts (private to the grid): the table view with its
// keyboard, the title row and indicator column painted our way, the cell
// painter and the footer rows under the data.
#pragma once

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QTableView>
#include <QWidget>

namespace grid {

class TDBGridGv;

class TGridView : public QTableView {
 public:
  TGridView(TDBGridGv* grid, QWidget* parent);
  // Header sizes changed: place headers and viewport again.
  void Relayout() { updateGeometries(); }
  // The overlay of frozen columns: follows the main view, takes no focus.
  void SetOverlay(bool overlay) { overlay_ = overlay; }

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyboardSearch(const QString&) override {}
  void resizeEvent(QResizeEvent* event) override;
  void updateGeometries() override;

 private:
  TDBGridGv* grid_;
  bool overlay_ = false;
};

// Title row: word-wrapped captions, centred vertically, height by the grid.
class TTitleHeader : public QHeaderView {
 public:
  TTitleHeader(TDBGridGv* grid, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

 private:
  TDBGridGv* grid_;
};

// Indicator column: 11 pixels, an arrow at the current record.
class TIndicatorHeader : public QHeaderView {
 public:
  TIndicatorHeader(TDBGridGv* grid, QWidget* parent);
  QSize sizeHint() const override;
  void SetCurrentRow(int row);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

 private:
  TDBGridGv* grid_;
  int current_ = -1;
};

class TCellDelegate : public QAbstractItemDelegate {
 public:
  TCellDelegate(TDBGridGv* grid, QObject* parent);
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  TDBGridGv* grid_;
};

class TFooterBar : public QWidget {
 public:
  TFooterBar(TDBGridGv* grid, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TDBGridGv* grid_;
};

// Shared drawing helpers.
void DrawFixedFrame(QPainter* painter, const QRect& rect, bool raised3D, const QColor& line);

}  // namespace grid
