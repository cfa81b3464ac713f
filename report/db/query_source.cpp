// Report data source over platform::DbQuery and its fully fetched rows.
#include "report/db/query_source.h"

#include "platform/db/db_query.h"

namespace report {

void TqdrQuerySource::Open() {
  if (query_->Active()) return;
  query_->Open();
  if (AfterOpen) AfterOpen();
}

void TqdrQuerySource::Close() {
  if (!query_->Active()) return;
  if (BeforeClose) BeforeClose();
  query_->Close();
}

bool TqdrQuerySource::Active() const {
  return query_->Active();
}

void TqdrQuerySource::First() {
  query_->Data().First();
}

void TqdrQuerySource::Next() {
  query_->Data().Next();
}

void TqdrQuerySource::Prior() {
  query_->Data().Prior();
}

bool TqdrQuerySource::Eof() const {
  return query_->Data().Eof();
}

TqdrDataSource::Bookmark TqdrQuerySource::GetBookmark() const {
  return query_->Data().GetBookmark();
}

void TqdrQuerySource::GotoBookmark(Bookmark b) {
  query_->Data().GotoBookmark(static_cast<platform::DbResultSet::Bookmark>(b));
}

int TqdrQuerySource::RecordCount() const {
  return query_->RecordCount();
}

std::vector<std::string> TqdrQuerySource::FieldNames() const {
  std::vector<std::string> names;
  const platform::DbResultSet& data = query_->Data();
  for (int i = 0; i < data.FieldCount(); ++i) names.push_back(data.Field(i).name);
  return names;
}

int TqdrQuerySource::FieldIndex(const std::string& name) const {
  return query_->Data().FieldIndex(name);
}

TqdrSourceFieldKind TqdrQuerySource::FieldKind(int field) const {
  switch (query_->Data().Field(field).kind) {
    case platform::FieldKind::String:
      return TqdrSourceFieldKind::String;
    case platform::FieldKind::Integer:
      return TqdrSourceFieldKind::Integer;
    case platform::FieldKind::Float:
      return TqdrSourceFieldKind::Float;
    case platform::FieldKind::DateTime:
      return TqdrSourceFieldKind::DateTime;
    case platform::FieldKind::Boolean:
      return TqdrSourceFieldKind::Boolean;
    case platform::FieldKind::Blob:
      return TqdrSourceFieldKind::Blob;
  }
  return TqdrSourceFieldKind::String;
}

int TqdrQuerySource::FieldSize(int field) const {
  return query_->Data().Field(field).size;
}

core::Variant TqdrQuerySource::FieldValue(int field) const {
  return query_->Data().FieldAt(field).Value();
}

std::string TqdrQuerySource::FieldDisplayText(int field) const {
  return query_->Data().FieldAt(field).AsString();
}

int TqdrQuerySource::FieldDisplayWidth(int field) const {
  const platform::FieldDef& def = query_->Data().Field(field);
  switch (def.kind) {
    case platform::FieldKind::String:
      return def.size > 0 ? def.size : 10;
    case platform::FieldKind::DateTime:
      return 20;
    case platform::FieldKind::Integer:
    case platform::FieldKind::Float:
    case platform::FieldKind::Boolean:
    case platform::FieldKind::Blob:
      return 10;
  }
  return 10;
}

std::string TqdrQuerySource::FieldBytes(int field) const {
  return query_->Data().FieldAt(field).AsBytes();
}

}  // namespace report
