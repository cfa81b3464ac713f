// The page workspace of the preview: the page list that lays the prepared
// pages out in one or two columns, and the scrollable surface that paints the
// pages near the view and turns mouse and wheel input into preview actions.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QPainter;

namespace engine {

class TqdrCustomPreview;
class TqdrPreviewPages;

// Page positions at zoom 1: integer sizes, rectangles computed arithmetically.
// A page goes into the next column of the last row while the row has room,
// else it starts a row below the tallest page of the last row, 10 units apart.
class TqdrPageList {
 public:
  void Clear();
  int ColumnCount() const { return columns_; }
  // 1, or 2 for two pages side by side; the list is emptied.
  void SetColumnCount(int count);
  void AddPage(int width, int height);
  int Count() const { return static_cast<int>(items_.size()); }
  // Largest sum over a row of (page width + 10).
  int WidestRow() const { return widestRow_; }
  // Pixel rectangle of page `index` (0-based) at `zoom` in a workspace of
  // client width `clientWidth`; an A4 page at top 10 for an index outside the list.
  QRect PageRect(int index, double zoom, int clientWidth) const;
  // The last page whose top is at or above `y`; with `byScroll` a page counts
  // once its top is a fifth of its height above `y`. 0 for an empty list.
  int FindPage(int y, double zoom, bool byScroll) const;
  // Size of the scrolled surface at `zoom`.
  QSize ScrollRange(double zoom, int clientWidth) const;

 private:
  struct Item {
    int width = 0, height = 0;
    int column = 0, top = 0;
  };
  // First page of the row holding `index`.
  int RowStart(int index) const { return index - items_[static_cast<size_t>(index)].column; }
  int RowEnd(int start) const;  // one past the row's last page

  std::vector<Item> items_;
  int columns_ = 1;
  int widestRow_ = 0;
};

// The scrolled surface. Painting covers only the pages within 20 of the page
// at the scroll position, and of those only the ones in the viewport.
class TqdrPreviewWorkspace : public QAbstractScrollArea {
 public:
  TqdrPreviewWorkspace(TqdrCustomPreview* preview, QWidget* parent);

  TqdrPageList& PageList() { return pageList_; }
  const TqdrPageList& PageList() const { return pageList_; }
  // Scroll position (content pixels of the viewport's top left corner).
  QPoint Position() const;
  void SetPosition(int x, int y);
  void ScrollBy(int dx, int dy);
  // Recomputes the scroll bars from the page list at the preview's zoom.
  void UpdateScrollRange();
  // Rectangle of a page in content pixels at the preview's zoom.
  QRect PageRect(int index) const;
  // The page at the current scroll position (0-based).
  int PageAtPosition() const;
  // Cursor shown when no object sets one.
  void UpdateToolCursor();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // The page under a viewport point, its rectangle in viewport pixels.
  int PageUnder(QPoint point, QRect& rect) const;
  void DrawPage(QPainter& painter, int index, const QRect& rect);

  TqdrCustomPreview* preview_;
  TqdrPageList pageList_;
  bool dragging_ = false;
  QPoint lastPoint_;
};

}  // namespace engine
