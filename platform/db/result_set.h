// A fully fetched result set: every row is read into memory when the query
// opens, so record count, navigation in both directions and bookmarks work the
// same on every driver. Cells are variants; text is UTF-8, blobs are raw bytes.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/variant.h"

namespace platform {

enum class FieldKind { String, Integer, Float, DateTime, Boolean, Blob };

struct FieldDef {
  std::string name;
  FieldKind kind = FieldKind::String;
  int size = 0;  // declared length of a text column, 0 when unknown
};

class DbResultSet;

// One column of the current record, read in the form the caller asks for.
class DbField {
 public:
  DbField(const DbResultSet& set, int index) : set_(&set), index_(index) {}
  const std::string& FieldName() const;
  FieldKind Kind() const;
  const core::Variant& Value() const;
  bool IsNull() const;
  std::string AsString() const;  // null gives the empty text
  int32_t AsInteger() const;     // null gives 0
  double AsFloat() const;        // null gives 0
  std::string AsBytes() const;
  // Writes the column's bytes to a file; raises core::Error when it cannot.
  void SaveToFile(const std::string& path) const;

 private:
  const DbResultSet* set_;
  int index_;
};

class DbResultSet {
 public:
  using Bookmark = int;

  DbResultSet() = default;
  DbResultSet(std::vector<FieldDef> fields, std::vector<core::Variant> cells);

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  const FieldDef& Field(int index) const { return fields_[static_cast<size_t>(index)]; }
  // Index of a field by name without regard to case, or -1.
  int FieldIndex(std::string_view name) const;
  // Raises core::Error("Field 'NAME' not found") when there is no such field.
  DbField FieldByName(std::string_view name) const;
  DbField FieldAt(int index) const { return DbField(*this, index); }

  int RecordCount() const { return rows_; }
  bool IsEmpty() const { return rows_ == 0; }
  void First();
  void Last();
  void Next();
  void Prior();
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  // Zero-based number of the current record (0 when empty).
  int RecNo() const { return current_; }
  void MoveTo(int row);
  Bookmark GetBookmark() const { return current_; }
  void GotoBookmark(Bookmark b) { MoveTo(b); }

  const core::Variant& Value(int field) const { return Cell(current_, field); }
  const core::Variant& Cell(int row, int field) const;

 private:
  std::vector<FieldDef> fields_;
  std::unordered_map<std::string, int> index_;  // upper-cased name -> column
  std::vector<core::Variant> cells_;             // row-major
  int rows_ = 0;
  int current_ = 0;
  bool eof_ = true;
  bool bof_ = true;
};

}  // namespace platform
