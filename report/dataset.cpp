// Dataset properties and the process-wide dataset list.
#include "report/dataset.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "core/error.h"
#include "core/text_util.h"
#include "report/report.h"
#include "report/resources.h"

namespace report {

namespace {

struct DataSetList {
  std::mutex lock;
  std::vector<TqdrDataSet*> items;
};

DataSetList& AllDataSets() {
  static DataSetList* list = new DataSetList;  // used until the program ends
  return *list;
}

template <class T>
core::TObject* Make(core::TObject* owner) {
  return new T(dynamic_cast<TqdrComponent*>(owner));
}

}  // namespace

const core::ClassInfo* TqdrDataSet::StaticClass() {
  using S = TqdrDataSet;
  static const core::ClassInfo* info =
      core::ClassBuilder<S>("TqdrDataSet", TqdrDialogComponent::StaticClass())
          .Boolean<&S::Enabled, &S::SetEnabled>("Enabled")
          .Default(1)
          .Enum<&S::RangeBegin, &S::SetRangeBegin>("RangeBegin", &kRangeBeginType)
          .Default(0)
          .Enum<&S::RangeEnd, &S::SetRangeEnd>("RangeEnd", &kRangeEndType)
          .Default(0)
          .Integer<&S::RangeEndCount, &S::SetRangeEndCount>("RangeEndCount")
          .Default(0)
          .String<&S::UserName, &S::SetUserName>("UserName")
          .Done();
  return info;
}

TqdrDataSet::TqdrDataSet(TqdrComponent* owner) : TqdrDialogComponent(owner) {
  DataSetList& list = AllDataSets();
  std::lock_guard<std::mutex> guard(list.lock);
  list.items.push_back(this);
}

TqdrDataSet::~TqdrDataSet() {
  DataSetList& list = AllDataSets();
  std::lock_guard<std::mutex> guard(list.lock);
  list.items.erase(std::remove(list.items.begin(), list.items.end(), this), list.items.end());
}

void TqdrDataSet::SetUserName(const std::string& v) {
  if (core::TrimView(v).empty()) throw core::Error(Resources().Lookup("prInvProp"));
  userName_ = v;
}

void TqdrDataSet::SetName(const std::string& name) {
  const std::string old = Name();
  TqdrDialogComponent::SetName(name);
  if (!name.empty() && (userName_.empty() || userName_ == old)) userName_ = name;
}

std::string TqdrDataSet::DisplayText(const std::string&) {
  return std::string();
}

int TqdrDataSet::DisplayWidth(const std::string&) {
  return 10;
}

TqdrFieldType TqdrDataSet::FieldType(const std::string&) {
  return TqdrFieldType::fftNumeric;
}

core::Variant TqdrDataSet::Value(const std::string&) {
  return core::Variant::MakeNull();
}

void TqdrDataSet::Open() {
  if (OnOpen) OnOpen(this);
}

void TqdrDataSet::Close() {
  if (OnClose) OnClose(this);
}

void TqdrDataSet::First() {
  recNo_ = 0;
  if (OnFirst) OnFirst(this);
}

void TqdrDataSet::Next() {
  ++recNo_;
  if (rangeEnd_ == TqdrRangeEnd::reCount && recNo_ >= rangeEndCount_) return;
  if (OnNext) OnNext(this);
}

void TqdrDataSet::Prior() {
  --recNo_;
  if (OnPrior) OnPrior(this);
}

bool TqdrDataSet::Eof() {
  bool eof = rangeEnd_ == TqdrRangeEnd::reCount && recNo_ >= rangeEndCount_;
  if (OnCheckEOF) OnCheckEOF(this, eof);
  return eof;
}

bool TqdrDataSet::IsBlobField(const std::string&) {
  return false;
}

int TqdrDataSet::RecordCount() {
  if (rangeBegin_ == TqdrRangeBegin::rbFirst && rangeEnd_ == TqdrRangeEnd::reCount)
    return rangeEndCount_;
  return 0;
}

void TqdrDataSet::AssignBlobTo(const std::string&, TqdrStringList*) {}

bool TqdrDataSet::HasField(const std::string& name) {
  std::vector<std::string> list;
  GetFieldList(list);
  for (const std::string& f : list)
    if (core::EqualsNoCase(f, name)) return true;
  return false;
}

const core::ClassInfo* TqdrUserDataSet::StaticClass() {
  using S = TqdrUserDataSet;
  static const core::ClassInfo* info =
      core::ClassBuilder<S>("TqdrUserDataSet", TqdrDataSet::StaticClass())
          .Factory(&Make<S>)
          .Object<&S::Fields, &S::SetFields>("Fields", TqdrStringList::StaticClass(),
                                             core::pfStringList)
          .Done();
  return info;
}

TqdrUserDataSet::TqdrUserDataSet(TqdrComponent* owner)
    : TqdrDataSet(owner), fields_(std::make_unique<TqdrStringList>()) {}

TqdrUserDataSet::~TqdrUserDataSet() = default;

void TqdrUserDataSet::SetFields(TqdrStringList* v) {
  fields_->Assign(v);
}

std::string TqdrUserDataSet::DisplayText(const std::string& field) {
  return Value(field).ToString();
}

core::Variant TqdrUserDataSet::Value(const std::string& field) {
  core::Variant value = core::Variant::MakeNull();
  if (OnGetValue) OnGetValue(field, value);
  return value;
}

int TqdrUserDataSet::FieldsCount() {
  return fields_->Count();
}

void TqdrUserDataSet::GetFieldList(std::vector<std::string>& list) {
  list = fields_->Lines();
}

const core::ClassInfo* TqdrCustomDBDataSet::StaticClass() {
  using S = TqdrCustomDBDataSet;
  static const core::ClassInfo* info =
      core::ClassBuilder<S>("TqdrCustomDBDataSet", TqdrDataSet::StaticClass())
          .Boolean<&S::CloseDataSource, &S::SetCloseDataSource>("CloseDataSource")
          .Default(0)
          .Object<&S::FieldAliases, &S::SetFieldAliases>(
              "FieldAliases", TqdrStringList::StaticClass(), core::pfStringList)
          .Boolean<&S::OpenDataSource, &S::SetOpenDataSource>("OpenDataSource")
          .Default(1)
          .Done();
  return info;
}

TqdrCustomDBDataSet::TqdrCustomDBDataSet(TqdrComponent* owner)
    : TqdrDataSet(owner), fieldAliases_(std::make_unique<TqdrStringList>()) {}

TqdrCustomDBDataSet::~TqdrCustomDBDataSet() = default;

void TqdrCustomDBDataSet::SetFieldAliases(TqdrStringList* v) {
  fieldAliases_->Assign(v);
}

int TqdrCustomDBDataSet::FieldsCount() {
  std::vector<std::string> list;
  GetFieldList(list);
  return static_cast<int>(list.size());
}

TqdrDataSet* FindDataSetByName(TqdrDataSet* current, const std::string& name, TqdrReport* report) {
  if (name.empty()) return nullptr;
  if (!report) return current;
  DataSetList& list = AllDataSets();
  std::lock_guard<std::mutex> guard(list.lock);
  for (TqdrDataSet* ds : list.items) {
    TqdrReport* owner = ds->Report();
    if (owner && owner != report) continue;
    if (core::EqualsNoCase(ds->UserName(), name)) return ds;
  }
  return current;
}

TqdrDataSet* FindDataSetComponent(const std::string& name, TqdrReport* report) {
  if (name.empty()) return nullptr;
  DataSetList& list = AllDataSets();
  std::lock_guard<std::mutex> guard(list.lock);
  for (TqdrDataSet* ds : list.items) {
    TqdrReport* owner = ds->Report();
    if (owner && owner != report) continue;
    if (core::EqualsNoCase(ds->Name(), name)) return ds;
  }
  return nullptr;
}

}  // namespace report
