// Grid columns: a column binds a data set field by name and carries its title
// and footer settings. Settings that were never given follow the grid (fonts,
// colours) or the field (caption, alignment, width).
#pragma once

#include <QColor>
#include <QFont>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
struct FieldDef;
}

namespace grid {

class TColumnGv;
class TDBGridGv;

enum TSortMarkerGv { smNoneGv, smDownGv, smUpGv };
enum TFooterValueType { fvtNon, fvtSum, fvtCount, fvtFieldValue, fvtStaticText };

class TColumnTitleGv {
 public:
  explicit TColumnTitleGv(TColumnGv* column) : column_(column) {}

  // The given caption, else the field's name, else the column's FieldName.
  std::string Caption() const;
  void SetCaption(std::string caption);
  bool CaptionStored() const { return caption_.has_value(); }
  Qt::Alignment Alignment() const { return alignment_; }
  void SetAlignment(Qt::Alignment alignment);
  QFont Font() const;  // the grid's title font unless set
  void SetFont(const QFont& font);
  QColor Color() const;  // the grid's fixed colour unless set
  void SetColor(const QColor& color);
  bool EndEllipsis() const { return endEllipsis_; }
  void SetEndEllipsis(bool value);
  bool TitleButton() const { return titleButton_; }
  void SetTitleButton(bool value) { titleButton_ = value; }
  TSortMarkerGv SortMarker() const { return sortMarker_; }
  void SetSortMarker(TSortMarkerGv marker);
  int SortIndex() const { return sortIndex_; }
  void SetSortIndex(int index);

 private:
  TColumnGv* column_;
  std::optional<std::string> caption_;
  Qt::Alignment alignment_ = Qt::AlignLeft;
  std::optional<QFont> font_;
  std::optional<QColor> color_;
  bool endEllipsis_ = false;
  bool titleButton_ = false;
  TSortMarkerGv sortMarker_ = smNoneGv;
  int sortIndex_ = 0;
};

class TColumnFooterGv {
 public:
  explicit TColumnFooterGv(TColumnGv* column) : column_(column) {}

  TFooterValueType ValueType() const { return valueType_; }
  void SetValueType(TFooterValueType type);
  // The field summed or shown; the column's field when empty.
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(std::string name);
  const std::string& Value() const { return value_; }
  void SetValue(std::string value);
  Qt::Alignment Alignment() const;  // the column's alignment unless set
  void SetAlignment(Qt::Alignment alignment);
  QFont Font() const;  // the grid's font unless set
  void SetFont(const QFont& font);
  QColor Color() const;  // the grid's fixed colour unless set
  void SetColor(const QColor& color);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool EndEllipsis() const { return endEllipsis_; }
  void SetEndEllipsis(bool value);

 private:
  TColumnGv* column_;
  TFooterValueType valueType_ = fvtNon;
  std::string fieldName_;
  std::string value_;
  std::optional<Qt::Alignment> alignment_;
  std::optional<QFont> font_;
  std::optional<QColor> color_;
  bool wordWrap_ = false;
  bool endEllipsis_ = false;
};

class TColumnGv {
 public:
  explicit TColumnGv(TDBGridGv* grid = nullptr);
  TColumnGv(const TColumnGv&) = delete;
  TColumnGv& operator=(const TColumnGv&) = delete;

  TDBGridGv* Grid() const { return grid_; }

  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(std::string name);
  // The bound field of the grid's open data set, resolved at every layout;
  // -1 / null when the data set is closed or has no such field.
  int FieldIndex() const { return fieldIndex_; }
  const platform::FieldDef* Field() const;

  TColumnTitleGv& Title() { return title_; }
  const TColumnTitleGv& Title() const { return title_; }
  // The first footer row's settings.
  TColumnFooterGv& Footer() { return Footers(0); }
  const TColumnFooterGv& Footer() const { return *footers_.front(); }
  // Footer settings of footer row `row`, made on first use.
  TColumnFooterGv& Footers(int row);
  // Footer settings of footer row `row`, or null when never made.
  const TColumnFooterGv* FooterAt(int row) const;
  int FooterCount() const { return static_cast<int>(footers_.size()); }

  // Pixel width: the given one, else computed from the field's display width.
  int Width() const;
  void SetWidth(int width);
  bool WidthStored() const { return width_.has_value(); }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Cell alignment: the given one, else numbers right and the rest left.
  Qt::Alignment Alignment() const;
  void SetAlignment(Qt::Alignment alignment);
  QFont Font() const;  // the grid's font unless set
  void SetFont(const QFont& font);
  QColor Color() const;  // the grid's window colour unless set
  void SetColor(const QColor& color);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool EndEllipsis() const { return endEllipsis_; }
  void SetEndEllipsis(bool value);
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int value) { minWidth_ = value; }
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int value) { maxWidth_ = value; }
  bool AutoFitColWidth() const { return autoFitColWidth_; }
  void SetAutoFitColWidth(bool value) { autoFitColWidth_ = value; }

  // Characters the field's text takes by default (display width).
  static int DisplayWidth(const platform::FieldDef& field);

 private:
  friend class TDBGridGv;
  friend class TColumnTitleGv;
  friend class TColumnFooterGv;
  void Changed(bool layout) const;  // tells the grid

  TDBGridGv* grid_;
  std::string fieldName_;
  int fieldIndex_ = -1;
  TColumnTitleGv title_;
  std::vector<std::unique_ptr<TColumnFooterGv>> footers_;
  std::optional<int> width_;
  bool visible_ = true;
  std::optional<Qt::Alignment> alignment_;
  std::optional<QFont> font_;
  std::optional<QColor> color_;
  bool readOnly_ = false;
  bool wordWrap_ = false;
  bool endEllipsis_ = false;
  int minWidth_ = 0;
  int maxWidth_ = 0;
  bool autoFitColWidth_ = true;
};

// The grid's persistent columns. While it is empty the grid builds its own
// columns from the data set's fields.
class TDBGridColumnsGv {
 public:
  explicit TDBGridColumnsGv(TDBGridGv* grid) : grid_(grid) {}

  TColumnGv* Add();
  int Count() const { return static_cast<int>(items_.size()); }
  TColumnGv* Items(int index) const { return items_[static_cast<size_t>(index)].get(); }
  TColumnGv* operator[](int index) const { return Items(index); }
  void Delete(int index);
  void Clear();
  // Moves the column at `from` to position `to`.
  void Move(int from, int to);
  int IndexOf(const TColumnGv* column) const;

 private:
  TDBGridGv* grid_;
  std::vector<std::unique_ptr<TColumnGv>> items_;
};

}  // namespace grid
