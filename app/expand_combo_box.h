// A drop-down list that keeps, beside its display items, a parallel list of values.
#pragma once

#include <QComboBox>
#include <string>
#include <vector>

namespace app {

class TExpandComboBox : public QComboBox {
 public:
  explicit TExpandComboBox(QWidget* parent = nullptr);
  void ClearAll();
  void AddItem(const std::string& item, const std::string& value);
  // The value of the selected entry, empty when nothing is selected.
  std::string SelectedValue() const;
  const std::vector<std::string>& Values() const { return values_; }
  void SetValues(const std::vector<std::string>& values) { values_ = values; }

 private:
  std::vector<std::string> values_;
};

}  // namespace app
