// TqdrDataSource over a platform query, so a report dataset can walk the
// rows the survey window fetched. Lives in its own library (report_db) so the
// report library itself never links the database layer.
#pragma once

#include "report/data_source.h"

namespace platform {
class DbQuery;
}

namespace report {

// Open and close through this object: they run the AfterOpen and
// BeforeClose handlers that a bound TqdrDBDataset relies on.
class TqdrQuerySource : public TqdrDataSource {
 public:
  explicit TqdrQuerySource(platform::DbQuery& query) : query_(&query) {}

  void Open() override;
  void Close() override;
  bool Active() const override;
  void First() override;
  void Next() override;
  void Prior() override;
  bool Eof() const override;
  Bookmark GetBookmark() const override;
  void GotoBookmark(Bookmark b) override;
  int RecordCount() const override;
  std::vector<std::string> FieldNames() const override;
  int FieldIndex(const std::string& name) const override;
  TqdrSourceFieldKind FieldKind(int field) const override;
  int FieldSize(int field) const override;
  core::Variant FieldValue(int field) const override;
  std::string FieldDisplayText(int field) const override;
  int FieldDisplayWidth(int field) const override;
  std::string FieldBytes(int field) const override;

 private:
  platform::DbQuery* query_;
};

}  // namespace report
