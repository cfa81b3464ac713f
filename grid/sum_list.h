// Running sums and counts over a data set, held in fixed point (value x 10000
// in a signed 64-bit integer) so that decimal fractions add up exactly:
// 0.1 summed ten times is exactly 1. The grid's footers read them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/data_source.h"

namespace core {
class Variant;
}

namespace grid {

enum TGroupOperation { goSum, goCount };

// One running value: the sum of a field, or the number of records.
class TDBSum {
 public:
  TDBSum(TGroupOperation op, std::string fieldName) : op_(op), fieldName_(std::move(fieldName)) {}

  TGroupOperation GroupOperation() const { return op_; }
  void SetGroupOperation(TGroupOperation op) { op_ = op; }
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(std::string name) { fieldName_ = std::move(name); }

  // The value in fixed point: the real value times 10000.
  int64_t SumValue() const { return value_; }
  double Value() const { return static_cast<double>(value_) / 10000.0; }
  // The value the record being edited contributed before the edit.
  int64_t SumValueChanged() const { return changed_; }

 private:
  friend class TDBSumListProducer;
  friend class TDBGridGv;
  TGroupOperation op_;
  std::string fieldName_;
  int64_t value_ = 0;
  int64_t changed_ = 0;
  bool gridOwned_ = false;  // created for a footer; the grid rebuilds these
};

class TDBSumCollection {
 public:
  TDBSum* Add(TGroupOperation op, std::string fieldName = {});
  int Count() const { return static_cast<int>(items_.size()); }
  TDBSum& Item(int index) { return *items_[static_cast<size_t>(index)]; }
  const TDBSum& Item(int index) const { return *items_[static_cast<size_t>(index)]; }
  // The first item of that operation on that field (case-insensitive), or null.
  TDBSum* Find(TGroupOperation op, const std::string& fieldName) const;
  void Remove(const TDBSum* item);
  void Clear() { items_.clear(); }

 private:
  friend class TDBGridGv;
  friend class TDBSumListProducer;
  std::vector<std::unique_ptr<TDBSum>> items_;
};

// Keeps the items of its collection up to date with the data set it watches.
// The hooks are called by whoever changes the data set; our result sets are
// read-only, so only open and close happen in the program, but edits, inserts,
// posts and deletes are kept right for editable data sets.
class TDBSumListProducer {
 public:
  TDBSumListProducer() = default;
  virtual ~TDBSumListProducer() = default;

  bool Active() const { return active_; }
  // Switching on recalculates everything; switching off clears the values.
  void SetActive(bool active);
  // The owner recalculates by itself: RecalcAll only zeroes.
  bool ExternalRecalc() const { return externalRecalc_; }
  void SetExternalRecalc(bool value) { externalRecalc_ = value; }
  // Kept for data sets that cannot number their records; ours always can.
  bool VirtualRecords() const { return virtualRecords_; }
  void SetVirtualRecords(bool value) { virtualRecords_ = value; }

  TDBSumCollection& SumCollection() { return items_; }
  const TDBSumCollection& SumCollection() const { return items_; }

  // The data set watched (null when none is open).
  platform::DbResultSet* DataSet() const { return data_; }

  // Zeroes every item and, when any item counts or names a field, walks the
  // records once. Reads rows by number, so the current record does not move.
  void RecalcAll();

  void AfterOpen(platform::DbResultSet* data);
  void AfterClose();
  // The current record is about to change: remember what it contributes.
  void AfterEdit();
  // A new record is being made: it contributes nothing yet.
  void AfterInsert();
  // The record was stored with these values, one per field of the data set.
  void AfterPost(const std::vector<core::Variant>& newValues);
  // The current record is about to go.
  void BeforeDelete();

  // Raised after every change of the values.
  void SetOnSumListChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }
  // Raised before the records are walked.
  void SetOnRecalcAll(std::function<void()> handler) { onRecalcAll_ = std::move(handler); }

 protected:
  void SumListChanged();

 private:
  void ZeroAll();
  // The value of a field at a row in fixed point; false for null or non-numeric.
  bool FieldValue(int row, int field, int64_t& out) const;
  int FieldOf(const TDBSum& item) const;

  TDBSumCollection items_;
  platform::DbResultSet* data_ = nullptr;
  bool active_ = false;
  bool externalRecalc_ = false;
  bool virtualRecords_ = false;
  bool recalculating_ = false;
  std::function<void()> onChanged_;
  std::function<void()> onRecalcAll_;
};

// The grid's sum list: follows the grid's data source.
class TDBGridGvSumList : public TDBSumListProducer, public TDataLinkGv {
 public:
  TDBGridGvSumList() = default;
  ~TDBGridGvSumList() override;

  TDataSourceGv* DataSource() const { return source_; }
  // Moves the sum list to the source's data set.
  void SetDataSource(TDataSourceGv* source);

  void DataSetChanged() override;
  void RecordChanged() override {}
  void DataSourceDestroyed(TDataSourceGv* source) override;

 private:
  TDataSourceGv* source_ = nullptr;
};

// Fixed-point conversion: value x 10000, rounded to nearest.
int64_t ToFixedPoint(double value);

}  // namespace grid
