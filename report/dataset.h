// Report datasets as far as the component tree needs them: the published
// properties of TqdrDataSet and its two direct kinds, the process-wide list of
// datasets and the lookup by name that every DataSetName setter uses.
// Record navigation and field access are added by the dataset classes' own module.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/variant.h"
#include "report/component.h"

namespace report {

class TqdrStringList;

enum class TqdrFieldType { fftNumeric, fftString, fftBoolean };

// A source of records for the band engine: navigation within its range and
// field values by user name. The base class counts records (reCount) and
// leaves the rest to callbacks and descendants.
class TqdrDataSet : public TqdrDialogComponent {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrDataSet(TqdrComponent* owner = nullptr);
  ~TqdrDataSet() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  TqdrRangeBegin RangeBegin() const { return rangeBegin_; }
  void SetRangeBegin(TqdrRangeBegin v) { rangeBegin_ = v; }
  TqdrRangeEnd RangeEnd() const { return rangeEnd_; }
  void SetRangeEnd(TqdrRangeEnd v) { rangeEnd_ = v; }
  int RangeEndCount() const { return rangeEndCount_; }
  void SetRangeEndCount(int v) { rangeEndCount_ = v; }
  const std::string& UserName() const { return userName_; }
  // A name that is blank after trimming raises the "prInvProp" text.
  virtual void SetUserName(const std::string& v);
  // UserName follows a rename while it is empty or still the old name.
  void SetName(const std::string& name) override;

  virtual std::string DisplayText(const std::string& field);
  virtual int DisplayWidth(const std::string& field);
  virtual TqdrFieldType FieldType(const std::string& field);
  virtual core::Variant Value(const std::string& field);
  virtual void Initialize() {}
  virtual void Finalize() {}
  virtual void Open();
  virtual void Close();
  virtual void First();
  virtual void Next();
  virtual void Prior();
  virtual bool Eof();
  virtual int FieldsCount() { return 0; }
  virtual bool IsBlobField(const std::string& field);
  virtual int RecordCount();
  // Copies a large-object field's content as text lines into target.
  virtual void AssignBlobTo(const std::string& field, TqdrStringList* target);
  virtual void GetFieldList(std::vector<std::string>& list) { list.clear(); }
  bool HasField(const std::string& name);  // case-insensitive

  int RecNo() const { return recNo_; }
  // The report this dataset serves during a run (errors are recorded there).
  TqdrReport* ServedReport() const { return servedReport_; }
  void SetServedReport(TqdrReport* r) { servedReport_ = r; }

  std::function<void(TqdrDataSet*, bool& eof)> OnCheckEOF;
  std::function<void(TqdrDataSet*)> OnFirst, OnNext, OnPrior, OnOpen, OnClose;

 protected:
  int recNo_ = 0;
  TqdrReport* servedReport_ = nullptr;

 private:
  bool enabled_ = true;
  TqdrRangeBegin rangeBegin_ = TqdrRangeBegin::rbFirst;
  TqdrRangeEnd rangeEnd_ = TqdrRangeEnd::reLast;
  int rangeEndCount_ = 0;
  std::string userName_;
};

// A dataset whose values come from the application (and the row counter of data bands).
class TqdrUserDataSet : public TqdrDataSet {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrUserDataSet(TqdrComponent* owner = nullptr);
  ~TqdrUserDataSet() override;
  TqdrStringList* Fields() const { return fields_.get(); }
  void SetFields(TqdrStringList* v);

  std::string DisplayText(const std::string& field) override;
  core::Variant Value(const std::string& field) override;
  int FieldsCount() override;
  void GetFieldList(std::vector<std::string>& list) override;

  // Field name in, value out (the value starts null).
  std::function<void(const std::string& field, core::Variant& value)> OnGetValue;

 private:
  std::unique_ptr<TqdrStringList> fields_;
};

// Base of datasets over a database query.
class TqdrCustomDBDataSet : public TqdrDataSet {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrCustomDBDataSet(TqdrComponent* owner = nullptr);
  ~TqdrCustomDBDataSet() override;
  bool CloseDataSource() const { return closeDataSource_; }
  void SetCloseDataSource(bool v) { closeDataSource_ = v; }
  // Lines "source field=user name"; a source name starting with "-" hides the field.
  TqdrStringList* FieldAliases() const { return fieldAliases_.get(); }
  void SetFieldAliases(TqdrStringList* v);
  bool OpenDataSource() const { return openDataSource_; }
  void SetOpenDataSource(bool v) { openDataSource_ = v; }

  int FieldsCount() override;

 private:
  bool closeDataSource_ = false;
  std::unique_ptr<TqdrStringList> fieldAliases_;
  bool openDataSource_ = true;
};

// The dataset named `name` (UserName, case-insensitive) in the process-wide list,
// passing over datasets of another report. An empty name gives none; without a
// report, or when none is found, `current` is returned (the binding stays).
TqdrDataSet* FindDataSetByName(TqdrDataSet* current, const std::string& name, TqdrReport* report);
// The dataset whose component Name is `name`, outside any report or in `report`.
TqdrDataSet* FindDataSetComponent(const std::string& name, TqdrReport* report);

}  // namespace report
