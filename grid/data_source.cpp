// Data source: binding and notification of its links.
#include "grid/data_source.h"

#include <algorithm>

#include "platform/db/db_query.h"

namespace grid {

TDataSourceGv::~TDataSourceGv() {
  // A link may remove itself while being told; walk a copy.
  std::vector<TDataLinkGv*> links = links_;
  links_.clear();
  for (TDataLinkGv* link : links) link->DataSourceDestroyed(this);
}

void TDataSourceGv::SetDataSet(platform::DbQuery* query) {
  if (query == query_ && data_ == nullptr) return;
  query_ = query;
  data_ = nullptr;
  DataSetChanged();
}

void TDataSourceGv::SetResultSet(platform::DbResultSet* data) {
  if (data == data_ && query_ == nullptr) return;
  data_ = data;
  query_ = nullptr;
  DataSetChanged();
}

platform::DbResultSet* TDataSourceGv::Data() const {
  if (data_) return data_;
  if (query_ && query_->Active()) return &query_->Data();
  return nullptr;
}

void TDataSourceGv::DataSetChanged() {
  std::vector<TDataLinkGv*> links = links_;
  for (TDataLinkGv* link : links) link->DataSetChanged();
}

void TDataSourceGv::RecordChanged() {
  std::vector<TDataLinkGv*> links = links_;
  for (TDataLinkGv* link : links) link->RecordChanged();
}

void TDataSourceGv::MoveTo(int row, TDataLinkGv* origin) {
  platform::DbResultSet* data = Data();
  if (!data) return;
  data->MoveTo(row);
  std::vector<TDataLinkGv*> links = links_;
  for (TDataLinkGv* link : links)
    if (link != origin) link->RecordChanged();
}

void TDataSourceGv::AddLink(TDataLinkGv* link) {
  if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TDataSourceGv::RemoveLink(TDataLinkGv* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

}  // namespace grid
