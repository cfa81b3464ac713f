// The report's collections: dataset items, variables and styles. Each is an
// ordered list of items of one class that the serializer stores in the
// report's PropData and scripts see through core::TCollection.
#pragma once

#include <algorithm>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "core/variant.h"
#include "report/persistent.h"
#include "report/types.h"

namespace report {

class TqdrComponent;
class TqdrDataSet;
class TqdrFont;
class TqdrFrame;
class TqdrReport;

// Owns its items; Item classes derive from TqdrPersistent and have a default constructor.
template <class T>
class TqdrCollection : public core::TCollection {
 public:
  int Count() const override { return static_cast<int>(items_.size()); }
  T* Items(int index) const { return items_[static_cast<size_t>(index)].get(); }
  core::TObject* Item(int index) const override { return Items(index); }
  core::TObject* Add() override { return AddItem(); }
  T* AddItem() {
    items_.push_back(std::make_unique<T>());
    items_.back()->collection_ = this;
    return items_.back().get();
  }
  // A new item at index (clamped to the ends).
  T* InsertItem(int index) {
    index = std::clamp(index, 0, Count());
    auto it = items_.insert(items_.begin() + index, std::make_unique<T>());
    (*it)->collection_ = this;
    return it->get();
  }
  void Delete(int index) {
    if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
  }
  void Clear() override { items_.clear(); }
  const core::ClassInfo* ItemClass() const override { return T::StaticClass(); }
  // Copies the items of another collection of the same kind.
  void AssignItems(const TqdrCollection& other) {
    if (&other == this) return;
    Clear();
    for (const auto& item : other.items_) AddItem()->Assign(item.get());
  }

 private:
  std::vector<std::unique_ptr<T>> items_;
};

// One entry of the report's dataset list.
class TqdrDatasetItem : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  TqdrDatasetItem() = default;
  ~TqdrDatasetItem() override;
  TqdrDataSet* DataSet() const;
  void SetDataSet(TqdrDataSet* ds);
  // The bound dataset's UserName, or the stored name.
  std::string DataSetName() const;
  // Stores the name and binds the dataset of that name when one is found.
  void SetDataSetName(const std::string& name);
  void Assign(const TqdrPersistent* source) override;
  TqdrReport* Report() const;

 private:
  template <class>
  friend class TqdrCollection;
  friend class TqdrReportDatasets;
  core::TCollection* collection_ = nullptr;
  // Held through a watcher component so that a freed dataset clears the entry.
  std::unique_ptr<TqdrComponent> link_;
};

class TqdrReportDatasets : public TqdrCollection<TqdrDatasetItem> {
 public:
  explicit TqdrReportDatasets(TqdrReport* report = nullptr) : report_(report) {}
  TqdrReport* Report() const { return report_; }
  void AddDataSet(TqdrDataSet* ds);
  TqdrDatasetItem* Find(const TqdrDataSet* ds) const;
  // The item whose dataset has this UserName (case-insensitive).
  TqdrDatasetItem* Find(const std::string& userName) const;
  // A run's start and end: every bound dataset serves the report and is
  // initialized; then finalized.
  void InitializeAll();
  void FinalizeAll();

 private:
  TqdrReport* report_;
};

// A named value that expressions can use; a name starting with a blank is a category header.
class TqdrVariable : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  TqdrVariable() = default;
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v; }
  const core::Variant& Value() const { return value_; }
  void SetValue(const core::Variant& v) { value_ = v; }
  void Assign(const TqdrPersistent* source) override;

 private:
  template <class>
  friend class TqdrCollection;
  core::TCollection* collection_ = nullptr;
  std::string name_;
  core::Variant value_ = core::Variant::MakeNull();
};

// Report variables in categories: a variable whose name starts with a blank
// heads the category named by the rest of it.
class TqdrVariables : public TqdrCollection<TqdrVariable> {
 public:
  int IndexOf(const std::string& name) const;  // case-insensitive, -1 when absent
  // The value, or null when there is no such variable.
  core::Variant Variables(const std::string& name) const;
  // Sets the value, adding the variable at the end when there is none.
  void SetVariables(const std::string& name, const core::Variant& value);
  void GetCategoriesList(std::vector<std::string>& list, bool clearFirst = true) const;
  // Names in a category; "" gives those before the first header.
  void GetVariablesList(const std::string& category, std::vector<std::string>& list) const;
  // Appends at the end of the category; nothing when it does not exist.
  void AddVariable(const std::string& category, const std::string& name,
                   const core::Variant& value);
  void DeleteCategory(const std::string& name);
  void DeleteVariable(const std::string& name);

  // File form:
  //   <variables>
  //     <item Name="..." Value="..."/>   one per variable, in order
  //   </variables>
  // Loading clears first and skips children not named item.
  void SaveToStream(std::ostream& stream) const;
  void LoadFromStream(std::istream& stream);
  void SaveToFile(const std::string& fileName) const;
  void LoadFromFile(const std::string& fileName);
};

// A named style: colour, font and frame a memo can take by name.
class TqdrStyleItem : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  TqdrStyleItem();
  ~TqdrStyleItem() override;
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v; }
  int Color() const { return color_; }
  void SetColor(int v) { color_ = v; }
  TqdrFont* Font() const { return font_.get(); }
  void SetFont(TqdrFont* f);
  TqdrFrame* Frame() const { return frame_.get(); }
  void SetFrame(TqdrFrame* f);
  void Assign(const TqdrPersistent* source) override;

 private:
  template <class>
  friend class TqdrCollection;
  core::TCollection* collection_ = nullptr;
  std::string name_;
  int color_ = clTransparent;
  std::unique_ptr<TqdrFont> font_;
  std::unique_ptr<TqdrFrame> frame_;
};

class TqdrStyles : public TqdrCollection<TqdrStyleItem> {
 public:
  TqdrStyleItem* Find(const std::string& name) const;  // case-insensitive
};

}  // namespace report
