// TsqItemList: the base of script items and statements, an owned list of
// child objects (destroying the list destroys the children).
#pragma once

#include <memory>
#include <vector>

#include "core/object.h"

namespace sq {

class TsqItemList : public core::TObject {
 public:
  TsqItemList() = default;
  TsqItemList(const TsqItemList&) = delete;
  TsqItemList& operator=(const TsqItemList&) = delete;
  ~TsqItemList() override;

  int Count() const { return static_cast<int>(items_.size()); }
  TsqItemList* Items(int i) const { return items_[static_cast<size_t>(i)].get(); }
  // Takes ownership; returns the added child.
  TsqItemList* AddItem(std::unique_ptr<TsqItemList> item);
  virtual void Clear();

 protected:
  std::vector<std::unique_ptr<TsqItemList>> items_;
};

}  // namespace sq
