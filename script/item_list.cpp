// TsqItemList: owned children.
#include "script/item_list.h"

namespace sq {

TsqItemList::~TsqItemList() = default;

TsqItemList* TsqItemList::AddItem(std::unique_ptr<TsqItemList> item) {
  items_.push_back(std::move(item));
  return items_.back().get();
}

void TsqItemList::Clear() {
  // Children are destroyed last-first, so later items that refer to earlier
  // ones go before them.
  while (!items_.empty()) items_.pop_back();
}

}  // namespace sq
