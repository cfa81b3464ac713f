// What report datasets need of a database dataset. The report library sees
// the database only through this interface; report/db/ implements it over the
// platform query, tests and applications may implement it over anything.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/variant.h"

namespace report {

enum class TqdrSourceFieldKind {
  String,
  WideString,
  Memo,
  Integer,
  LargeInt,
  Float,
  DateTime,
  Boolean,
  Blob
};

class TqdrDataSource {
 public:
  using Bookmark = int64_t;
  virtual ~TqdrDataSource() = default;

  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool Active() const = 0;
  virtual void First() = 0;
  virtual void Next() = 0;
  virtual void Prior() = 0;
  virtual bool Eof() const = 0;
  virtual Bookmark GetBookmark() const = 0;
  virtual void GotoBookmark(Bookmark b) = 0;
  virtual int RecordCount() const = 0;

  // Field names of the open data, or of the definitions when closed.
  virtual std::vector<std::string> FieldNames() const = 0;
  // Index of a field by name without regard to case, or -1 (works closed).
  virtual int FieldIndex(const std::string& name) const = 0;
  virtual TqdrSourceFieldKind FieldKind(int field) const = 0;
  virtual int FieldSize(int field) const = 0;  // declared text length, 0 when unknown
  // Current record (open data only).
  virtual core::Variant FieldValue(int field) const = 0;
  virtual std::string FieldDisplayText(int field) const = 0;
  virtual int FieldDisplayWidth(int field) const = 0;
  virtual std::string FieldBytes(int field) const = 0;

  // Called by the source after it opens and before it closes; a report
  // dataset chains its own handlers in front of the application's.
  std::function<void()> AfterOpen;
  std::function<void()> BeforeClose;
};

}  // namespace report
