// Report dataset over a database dataset.
#include "report/db_dataset.h"

#include "core/error.h"
#include "report/persistent.h"
#include "report/report.h"
#include "report/resources.h"

namespace report {
namespace {

core::TObject* MakeDBDataset(core::TObject* owner) {
  return new TqdrDBDataset(dynamic_cast<TqdrComponent*>(owner));
}

// Source name and user name of an alias line "source=user".
void SplitAlias(const std::string& line, std::string& source, std::string& user) {
  size_t eq = line.find('=');
  source = line.substr(0, eq);
  user = eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

}  // namespace

const core::ClassInfo* TqdrDBDataset::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrDBDataset>("TqdrDBDataset", TqdrCustomDBDataSet::StaticClass())
          .Factory(&MakeDBDataset)
          .Done();
  return info;
}

TqdrDBDataset::TqdrDBDataset(TqdrComponent* owner) : TqdrCustomDBDataSet(owner) {}

TqdrDBDataset::~TqdrDBDataset() {
  RestoreHandlers();
}

void TqdrDBDataset::SetDataSet(TqdrDataSource* v) {
  if (v == dataSet_) return;
  RestoreHandlers();
  dataSet_ = v;
  opened_ = false;
  startBookmark_.reset();
  fieldCache_.clear();
}

void TqdrDBDataset::RestoreHandlers() {
  if (!handlersInstalled_ || !dataSet_) return;
  dataSet_->AfterOpen = std::move(ownAfterOpen_);
  dataSet_->BeforeClose = std::move(ownBeforeClose_);
  ownAfterOpen_ = nullptr;
  ownBeforeClose_ = nullptr;
  handlersInstalled_ = false;
}

void TqdrDBDataset::Initialize() {
  if (!dataSet_) {
    std::string text = Resources().Lookup("dbNotConn");
    size_t p = text.find("%s");
    if (p != std::string::npos) text.replace(p, 2, Name());
    throw core::Error(text);
  }
  if (!handlersInstalled_) {
    ownAfterOpen_ = dataSet_->AfterOpen;
    ownBeforeClose_ = dataSet_->BeforeClose;
    dataSet_->AfterOpen = [this] { HandleAfterOpen(); };
    dataSet_->BeforeClose = [this] { HandleBeforeClose(); };
    handlersInstalled_ = true;
  }
  endReached_ = false;
  opened_ = false;
}

void TqdrDBDataset::Finalize() {
  if (dataSet_ && startBookmark_ && dataSet_->Active()) dataSet_->GotoBookmark(*startBookmark_);
  startBookmark_.reset();
  if (CloseDataSource()) Close();
  RestoreHandlers();
  opened_ = false;
}

void TqdrDBDataset::Open() {
  if (opened_ || !dataSet_) return;
  opened_ = true;
  if (!dataSet_->Active()) dataSet_->Open();
  RebuildCache();
  if (RangeBegin() == TqdrRangeBegin::rbCurrent || RangeEnd() == TqdrRangeEnd::reCurrent)
    startBookmark_ = dataSet_->GetBookmark();
  TqdrDataSet::Open();
}

void TqdrDBDataset::Close() {
  TqdrDataSet::Close();
  startBookmark_.reset();
  opened_ = false;
  if (dataSet_) dataSet_->Close();
}

void TqdrDBDataset::EnsureOpen() {
  if (opened_) return;
  try {
    Open();
  } catch (const core::Error&) {
    // A source that cannot be opened reads as closed (see DisplayText).
    opened_ = false;
  }
}

void TqdrDBDataset::First() {
  EnsureOpen();
  if (dataSet_ && dataSet_->Active()) {
    if (RangeBegin() == TqdrRangeBegin::rbCurrent && startBookmark_)
      dataSet_->GotoBookmark(*startBookmark_);
    else
      dataSet_->First();
  }
  endReached_ = false;
  TqdrDataSet::First();
}

void TqdrDBDataset::Next() {
  EnsureOpen();
  endReached_ = false;
  if (dataSet_ && RangeEnd() == TqdrRangeEnd::reCurrent && startBookmark_ &&
      dataSet_->GetBookmark() == *startBookmark_) {
    endReached_ = true;
    return;
  }
  if (dataSet_ && dataSet_->Active()) dataSet_->Next();
  TqdrDataSet::Next();
}

void TqdrDBDataset::Prior() {
  EnsureOpen();
  if (dataSet_ && dataSet_->Active()) dataSet_->Prior();
  TqdrDataSet::Prior();
}

bool TqdrDBDataset::Eof() {
  EnsureOpen();
  bool baseEof = TqdrDataSet::Eof();
  return baseEof || !dataSet_ || !dataSet_->Active() || dataSet_->Eof() || endReached_;
}

void TqdrDBDataset::HandleAfterOpen() {
  RebuildCache();
  if (ownAfterOpen_) ownAfterOpen_();
}

void TqdrDBDataset::HandleBeforeClose() {
  if (ownBeforeClose_) ownBeforeClose_();
  startBookmark_.reset();
  opened_ = false;
}

void TqdrDBDataset::RebuildCache() {
  fieldCache_.clear();
  if (!dataSet_) return;
  std::vector<std::string> names;
  GetFieldList(names);
  for (const std::string& name : names)
    fieldCache_.emplace(name, dataSet_->FieldIndex(TranslateAlias(name)));  // first one wins
}

std::string TqdrDBDataset::TranslateAlias(const std::string& userName) const {
  std::string source, user;
  for (const std::string& line : FieldAliases()->Lines()) {
    SplitAlias(line, source, user);
    if (core::EqualsNoCase(user, userName)) return source;
  }
  return userName;
}

std::string TqdrDBDataset::FieldReference(const std::string& field) const {
  return UserName() + ".\"" + field + "\"";
}

void TqdrDBDataset::GetFieldList(std::vector<std::string>& list) {
  list.clear();
  if (FieldAliases()->Count() > 0) {
    std::string source, user;
    for (const std::string& line : FieldAliases()->Lines()) {
      SplitAlias(line, source, user);
      if (!source.empty() && source[0] == '-') continue;
      list.push_back(user);
    }
    return;
  }
  if (!dataSet_) return;
  try {
    list = dataSet_->FieldNames();
  } catch (const core::Error&) {
  }
}

std::optional<int> TqdrDBDataset::CachedField(const std::string& field) const {
  auto it = fieldCache_.find(field);
  if (it == fieldCache_.end()) return std::nullopt;
  return it->second;
}

void TqdrDBDataset::AddFieldError(const std::string& field) {
  TqdrReport* report = ServedReport() ? ServedReport() : Report();
  if (!report) return;
  report->AddError(report->CurrentObjectName() + ": " + Resources().Lookup("dbFldNotFound") + " " +
                   FieldReference(field));
}

std::string TqdrDBDataset::DisplayText(const std::string& field) {
  EnsureOpen();
  if (!dataSet_ || !dataSet_->Active()) return FieldReference(field);
  if (fieldCache_.empty()) {
    int index = dataSet_->FieldIndex(field);
    if (index >= 0) return dataSet_->FieldDisplayText(index);
  } else if (std::optional<int> index = CachedField(field); index && *index >= 0) {
    return dataSet_->FieldDisplayText(*index);
  }
  AddFieldError(field);
  return Resources().Lookup("dbFldNotFound") + " " + FieldReference(field);
}

core::Variant TqdrDBDataset::Value(const std::string& field) {
  EnsureOpen();
  std::optional<int> index = CachedField(field);
  if (!dataSet_ || !dataSet_->Active() || !index || *index < 0) {
    AddFieldError(field);
    return core::Variant::MakeNull();
  }
  core::Variant value = dataSet_->FieldValue(*index);
  if (dataSet_->FieldKind(*index) == TqdrSourceFieldKind::LargeInt && !value.IsNull())
    return core::Variant(value.ToInt32());
  return value;
}

int TqdrDBDataset::DisplayWidth(const std::string& field) {
  if (!dataSet_) return 10;
  int index = dataSet_->FieldIndex(TranslateAlias(field));
  if (index < 0) return 10;
  if (dataSet_->Active()) return dataSet_->FieldDisplayWidth(index);
  switch (dataSet_->FieldKind(index)) {
    case TqdrSourceFieldKind::String:
    case TqdrSourceFieldKind::WideString:
      return dataSet_->FieldSize(index);
    case TqdrSourceFieldKind::DateTime:
      return 20;
    case TqdrSourceFieldKind::LargeInt:
      return 15;
    case TqdrSourceFieldKind::Memo:
    case TqdrSourceFieldKind::Integer:
    case TqdrSourceFieldKind::Float:
    case TqdrSourceFieldKind::Boolean:
    case TqdrSourceFieldKind::Blob:
      return 10;
  }
  return 10;
}

TqdrFieldType TqdrDBDataset::FieldType(const std::string& field) {
  if (!dataSet_) return TqdrFieldType::fftNumeric;
  int index = dataSet_->FieldIndex(TranslateAlias(field));
  if (index < 0) return TqdrFieldType::fftNumeric;
  switch (dataSet_->FieldKind(index)) {
    case TqdrSourceFieldKind::String:
    case TqdrSourceFieldKind::WideString:
    case TqdrSourceFieldKind::Memo:
      return TqdrFieldType::fftString;
    case TqdrSourceFieldKind::Boolean:
      return TqdrFieldType::fftBoolean;
    case TqdrSourceFieldKind::Integer:
    case TqdrSourceFieldKind::LargeInt:
    case TqdrSourceFieldKind::Float:
    case TqdrSourceFieldKind::DateTime:
    case TqdrSourceFieldKind::Blob:
      return TqdrFieldType::fftNumeric;
  }
  return TqdrFieldType::fftNumeric;
}

bool TqdrDBDataset::IsBlobField(const std::string& field) {
  EnsureOpen();
  std::optional<int> index = CachedField(field);
  return dataSet_ && index && *index >= 0 &&
         dataSet_->FieldKind(*index) == TqdrSourceFieldKind::Blob;
}

void TqdrDBDataset::AssignBlobTo(const std::string& field, TqdrStringList* target) {
  EnsureOpen();
  std::optional<int> index = CachedField(field);
  if (!target || !dataSet_ || !dataSet_->Active() || !index || *index < 0) return;
  if (dataSet_->FieldValue(*index).IsNull()) return;
  target->SetText(dataSet_->FieldBytes(*index));
}

int TqdrDBDataset::RecordCount() {
  EnsureOpen();
  return dataSet_ && dataSet_->Active() ? dataSet_->RecordCount() : 0;
}

}  // namespace report
