// The report dataset over a database dataset (TqdrDataSource): field cache
// under alias names, range bounds by bookmark, display texts and widths, and
// large-object fields.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "core/text_util.h"
#include "report/data_source.h"
#include "report/dataset.h"

namespace report {

class TqdrDBDataset : public TqdrCustomDBDataSet {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrDBDataset(TqdrComponent* owner = nullptr);
  ~TqdrDBDataset() override;

  // Not owned; the application keeps the source alive while it is bound.
  TqdrDataSource* DataSet() const { return dataSet_; }
  void SetDataSet(TqdrDataSource* v);

  void Initialize() override;
  void Finalize() override;
  void Open() override;
  void Close() override;
  void First() override;
  void Next() override;
  void Prior() override;
  bool Eof() override;
  std::string DisplayText(const std::string& field) override;
  core::Variant Value(const std::string& field) override;
  int DisplayWidth(const std::string& field) override;
  TqdrFieldType FieldType(const std::string& field) override;
  bool IsBlobField(const std::string& field) override;
  void AssignBlobTo(const std::string& field, TqdrStringList* target) override;
  int RecordCount() override;
  void GetFieldList(std::vector<std::string>& list) override;

  // User name to source field name through FieldAliases.
  std::string TranslateAlias(const std::string& userName) const;
  // UserName."field": how templates refer to a field.
  std::string FieldReference(const std::string& field) const;

 private:
  struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
      return core::CompareNoCase(a, b) < 0;
    }
  };
  void EnsureOpen();
  void RebuildCache();
  void HandleAfterOpen();
  void HandleBeforeClose();
  void RestoreHandlers();
  // Index in the source of a cached user field; nullopt when not cached.
  std::optional<int> CachedField(const std::string& field) const;
  void AddFieldError(const std::string& field);

  TqdrDataSource* dataSet_ = nullptr;
  std::map<std::string, int, NoCaseLess> fieldCache_;  // -1: no such source field
  bool opened_ = false;
  bool endReached_ = false;
  std::optional<TqdrDataSource::Bookmark> startBookmark_;
  bool handlersInstalled_ = false;
  std::function<void()> ownAfterOpen_, ownBeforeClose_;
};

}  // namespace report
