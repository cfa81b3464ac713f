// TsqStringList: the string list scripts create as TStringList — lines with
// an optional object each, name=value access, sorting and duplicates rules.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/object.h"
#include "core/reflection.h"

namespace sq {

class TsqStringList : public core::TObject {
  CORE_DECLARE_CLASS()

 public:
  enum Duplicates { dupIgnore, dupAccept, dupError };

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Strings(int i) const;
  void SetStrings(int i, std::string_view s);
  core::TObject* Objects(int i) const;
  void SetObjects(int i, core::TObject* o);

  int Add(std::string_view s, core::TObject* o = nullptr);
  void Insert(int i, std::string_view s, core::TObject* o = nullptr);
  void Delete(int i);
  void Clear() { items_.clear(); }
  void Move(int from, int to);
  int IndexOf(std::string_view s) const;
  int IndexOfName(std::string_view name) const;
  int IndexOfObject(const core::TObject* o) const;
  // Binary search of a sorted list; `index` is the place of s or where it goes.
  bool Find(std::string_view s, int& index) const;
  void Sort();

  std::string Names(int i) const;
  std::string Values(std::string_view name) const;
  void SetValues(std::string_view name, std::string_view value);
  // Lines joined with CR LF, each followed by one.
  std::string Text() const;
  void SetText(std::string_view text);
  std::string CommaText() const;
  void SetCommaText(std::string_view text);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  Duplicates DuplicatesMode() const { return duplicates_; }
  void SetDuplicates(Duplicates d) { duplicates_ = d; }

  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

 private:
  void CheckIndex(int i) const;
  std::vector<std::pair<std::string, core::TObject*>> items_;
  bool sorted_ = false;
  Duplicates duplicates_ = dupIgnore;
};

}  // namespace sq
