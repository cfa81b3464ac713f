// Combo box with a values list.
#include "app/expand_combo_box.h"

namespace app {

TExpandComboBox::TExpandComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  setMaxVisibleItems(9);
}

void TExpandComboBox::ClearAll() {
  clear();
  values_.clear();
}

void TExpandComboBox::AddItem(const std::string& item, const std::string& value) {
  addItem(QString::fromUtf8(item));
  values_.push_back(value);
}

std::string TExpandComboBox::SelectedValue() const {
  int i = currentIndex();
  if (i < 0 || i >= static_cast<int>(values_.size())) return std::string();
  return values_[static_cast<size_t>(i)];
}

}  // namespace app
