// Sum list: recalculation and the edit hooks.
#include "grid/sum_list.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "core/text_util.h"
#include "core/variant.h"
#include "platform/db/result_set.h"

namespace grid {

namespace {
constexpr int64_t kOne = 10000;
}

int64_t ToFixedPoint(double value) {
  return std::llround(value * 10000.0);
}

TDBSum* TDBSumCollection::Add(TGroupOperation op, std::string fieldName) {
  items_.push_back(std::make_unique<TDBSum>(op, std::move(fieldName)));
  return items_.back().get();
}

TDBSum* TDBSumCollection::Find(TGroupOperation op, const std::string& fieldName) const {
  for (const auto& item : items_)
    if (item->GroupOperation() == op && core::EqualsNoCase(item->FieldName(), fieldName))
      return item.get();
  return nullptr;
}

void TDBSumCollection::Remove(const TDBSum* item) {
  items_.erase(std::remove_if(items_.begin(), items_.end(),
                              [item](const auto& p) { return p.get() == item; }),
               items_.end());
}

void TDBSumListProducer::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active_) {
    RecalcAll();
    return;
  }
  ZeroAll();
  SumListChanged();
}

void TDBSumListProducer::SumListChanged() {
  if (onChanged_) onChanged_();
}

void TDBSumListProducer::ZeroAll() {
  for (auto& item : items_.items_) item->value_ = item->changed_ = 0;
}

int TDBSumListProducer::FieldOf(const TDBSum& item) const {
  if (!data_ || item.FieldName().empty()) return -1;
  return data_->FieldIndex(item.FieldName());
}

bool TDBSumListProducer::FieldValue(int row, int field, int64_t& out) const {
  if (!data_ || field < 0) return false;
  const core::Variant& v = data_->Cell(row, field);
  if (v.IsNull() || v.IsEmpty()) return false;
  try {
    out = ToFixedPoint(v.ToDouble());
  } catch (const std::exception&) {
    return false;  // a text that is not a number adds nothing
  }
  return true;
}

void TDBSumListProducer::RecalcAll() {
  if (recalculating_) return;
  recalculating_ = true;
  ZeroAll();
  bool walk = false;
  for (const auto& item : items_.items_)
    if (item->GroupOperation() == goCount || !item->FieldName().empty()) walk = true;
  if (active_ && data_ && !externalRecalc_ && walk) {
    if (onRecalcAll_) onRecalcAll_();
    struct Job {
      TDBSum* item;
      int field;
    };
    std::vector<Job> sums;
    int64_t countItems = 0;
    for (auto& item : items_.items_) {
      if (item->GroupOperation() == goCount) {
        ++countItems;
      } else {
        int field = FieldOf(*item);
        if (field >= 0) sums.push_back({item.get(), field});
      }
    }
    const int rows = data_->RecordCount();
    for (int row = 0; row < rows; ++row) {
      for (const Job& job : sums) {
        int64_t v;
        if (FieldValue(row, job.field, v)) job.item->value_ += v;
      }
    }
    if (countItems)
      for (auto& item : items_.items_)
        if (item->GroupOperation() == goCount) item->value_ = rows * kOne;
  }
  recalculating_ = false;
  SumListChanged();
}

void TDBSumListProducer::AfterOpen(platform::DbResultSet* data) {
  data_ = data;
  if (!active_) return;
  RecalcAll();
}

void TDBSumListProducer::AfterClose() {
  data_ = nullptr;
  if (!active_) return;
  ZeroAll();
  SumListChanged();
}

void TDBSumListProducer::AfterEdit() {
  if (!active_ || !data_) return;
  const int row = data_->RecNo();
  for (auto& item : items_.items_) {
    if (item->GroupOperation() == goCount) {
      item->changed_ = kOne;  // the record is already counted
      continue;
    }
    int64_t v = 0;
    item->changed_ = FieldValue(row, FieldOf(*item), v) ? v : 0;
  }
}

void TDBSumListProducer::AfterInsert() {
  if (!active_) return;
  for (auto& item : items_.items_) item->changed_ = 0;
}

void TDBSumListProducer::AfterPost(const std::vector<core::Variant>& newValues) {
  if (!active_ || !data_) return;
  for (auto& item : items_.items_) {
    if (item->GroupOperation() == goCount) {
      item->value_ += kOne - item->changed_;
    } else {
      int field = FieldOf(*item);
      int64_t v = 0;
      if (field >= 0 && static_cast<size_t>(field) < newValues.size()) {
        const core::Variant& nv = newValues[static_cast<size_t>(field)];
        if (!nv.IsNull() && !nv.IsEmpty()) {
          try {
            v = ToFixedPoint(nv.ToDouble());
          } catch (const std::exception&) {
            v = 0;
          }
        }
      }
      item->value_ += v - item->changed_;
    }
    item->changed_ = 0;
  }
  SumListChanged();
}

void TDBSumListProducer::BeforeDelete() {
  if (!active_ || !data_ || data_->IsEmpty()) return;
  const int row = data_->RecNo();
  for (auto& item : items_.items_) {
    if (item->GroupOperation() == goCount) {
      item->value_ -= kOne;
      continue;
    }
    int64_t v = 0;
    if (FieldValue(row, FieldOf(*item), v)) item->value_ -= v;
  }
  SumListChanged();
}

TDBGridGvSumList::~TDBGridGvSumList() {
  if (source_) source_->RemoveLink(this);
}

void TDBGridGvSumList::SetDataSource(TDataSourceGv* source) {
  if (source == source_) return;
  if (source_) source_->RemoveLink(this);
  source_ = source;
  if (source_) source_->AddLink(this);
  DataSetChanged();
}

void TDBGridGvSumList::DataSetChanged() {
  platform::DbResultSet* data = source_ ? source_->Data() : nullptr;
  if (data)
    AfterOpen(data);
  else
    AfterClose();
}

void TDBGridGvSumList::DataSourceDestroyed(TDataSourceGv* source) {
  if (source != source_) return;
  source_ = nullptr;
  AfterClose();
}

}  // namespace grid
