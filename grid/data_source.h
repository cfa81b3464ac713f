// The link between a query and the controls that show it. The caller says when
// the data set opened, closed or moved; the data source tells its links (the
// grid, the sum list), and a grid moving the record tells the others.
#pragma once

#include <vector>

namespace platform {
class DbQuery;
class DbResultSet;
}  // namespace platform

namespace grid {

class TDataSourceGv;

// A control fed by a data source.
class TDataLinkGv {
 public:
  virtual ~TDataLinkGv() = default;
  // The data set was opened, closed or replaced: lay out again.
  virtual void DataSetChanged() = 0;
  // The current record moved.
  virtual void RecordChanged() = 0;
  // The data source is going away; the link must forget it and read nothing.
  virtual void DataSourceDestroyed(TDataSourceGv* source) = 0;
};

class TDataSourceGv {
 public:
  TDataSourceGv() = default;
  ~TDataSourceGv();
  TDataSourceGv(const TDataSourceGv&) = delete;
  TDataSourceGv& operator=(const TDataSourceGv&) = delete;

  platform::DbQuery* DataSet() const { return query_; }
  // Binds a query; links hear DataSetChanged when the binding changes.
  void SetDataSet(platform::DbQuery* query);
  // Binds a result set that is always open (an in-memory set, no query).
  void SetResultSet(platform::DbResultSet* data);

  // The rows shown: the query's result set while the query is active, the
  // bound result set, or null when there is nothing open.
  platform::DbResultSet* Data() const;
  bool Active() const { return Data() != nullptr; }

  // The caller opened, closed or replaced the data set.
  void DataSetChanged();
  // The caller moved the current record.
  void RecordChanged();
  // Makes `row` the current record and tells every link but `origin`.
  void MoveTo(int row, TDataLinkGv* origin = nullptr);

  void AddLink(TDataLinkGv* link);
  void RemoveLink(TDataLinkGv* link);

 private:
  platform::DbQuery* query_ = nullptr;
  platform::DbResultSet* data_ = nullptr;
  std::vector<TDataLinkGv*> links_;
};

}  // namespace grid
