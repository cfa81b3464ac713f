// Navigation and typed field access over a fetched result set.
#include "platform/db/result_set.h"

#include <fstream>

#include "core/error.h"
#include "core/text_util.h"

namespace platform {

const std::string& DbField::FieldName() const { return set_->Field(index_).name; }
FieldKind DbField::Kind() const { return set_->Field(index_).kind; }
const core::Variant& DbField::Value() const { return set_->Value(index_); }
bool DbField::IsNull() const { return Value().IsNull() || Value().IsEmpty(); }
std::string DbField::AsString() const { return Value().ToString(); }
int32_t DbField::AsInteger() const { return IsNull() ? 0 : Value().ToInt32(); }
double DbField::AsFloat() const { return IsNull() ? 0.0 : Value().ToDouble(); }

std::string DbField::AsBytes() const {
  const core::Variant& v = Value();
  if (v.IsString()) return v.RawString();
  return v.ToString();
}

void DbField::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw core::Error("Cannot create file \"" + path + "\"");
  std::string bytes = AsBytes();
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw core::Error("Cannot write file \"" + path + "\"");
}

DbResultSet::DbResultSet(std::vector<FieldDef> fields, std::vector<core::Variant> cells)
    : fields_(std::move(fields)), cells_(std::move(cells)) {
  for (size_t i = 0; i < fields_.size(); ++i)
    index_.emplace(core::UpperCase(fields_[i].name), static_cast<int>(i));
  rows_ = fields_.empty() ? 0 : static_cast<int>(cells_.size() / fields_.size());
  First();
}

int DbResultSet::FieldIndex(std::string_view name) const {
  auto it = index_.find(core::UpperCase(name));
  return it == index_.end() ? -1 : it->second;
}

DbField DbResultSet::FieldByName(std::string_view name) const {
  int i = FieldIndex(name);
  if (i < 0) throw core::Error("Field '" + std::string(name) + "' not found");
  return DbField(*this, i);
}

void DbResultSet::First() {
  current_ = 0;
  bof_ = true;
  eof_ = rows_ == 0;
}

void DbResultSet::Last() {
  current_ = rows_ > 0 ? rows_ - 1 : 0;
  eof_ = true;
  bof_ = rows_ == 0;
}

void DbResultSet::Next() {
  bof_ = false;
  if (current_ + 1 < rows_)
    ++current_;
  else
    eof_ = true;
}

void DbResultSet::Prior() {
  eof_ = false;
  if (current_ > 0)
    --current_;
  else
    bof_ = true;
  if (rows_ == 0) eof_ = true;
}

void DbResultSet::MoveTo(int row) {
  if (rows_ == 0) return;
  if (row < 0) row = 0;
  if (row >= rows_) row = rows_ - 1;
  current_ = row;
  bof_ = eof_ = false;
}

const core::Variant& DbResultSet::Cell(int row, int field) const {
  static const core::Variant null = core::Variant::MakeNull();
  if (row < 0 || row >= rows_ || field < 0 || field >= FieldCount()) return null;
  return cells_[static_cast<size_t>(row) * fields_.size() + static_cast<size_t>(field)];
}

}  // namespace platform
