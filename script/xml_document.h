// TsqXMLDocument / TsqXMLItem: the script engine's small XML model, used for
// grammars and for the intermediate program. An item keeps its attributes as
// the raw text of the start tag and reads them by name on demand.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/object.h"

namespace sq {

class TsqXMLItem : public core::TObject {
 public:
  TsqXMLItem() = default;
  TsqXMLItem(const TsqXMLItem&) = delete;
  TsqXMLItem& operator=(const TsqXMLItem&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string_view n) { name_ = std::string(n); }
  // Raw attribute text: name="value" pairs, values XML-escaped.
  const std::string& Text() const { return text_; }
  void SetText(std::string_view t) { text_ = std::string(t); }
  TsqXMLItem* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TsqXMLItem* Items(int i) const { return items_[static_cast<size_t>(i)].get(); }

  // Unescaped value of an attribute; empty when absent.
  std::string Prop(std::string_view name) const;
  bool HasProp(std::string_view name) const;
  void SetProp(std::string_view name, std::string_view value);

  TsqXMLItem* Add();
  TsqXMLItem* AddItem(std::unique_ptr<TsqXMLItem> item);
  TsqXMLItem* InsertItem(int index, std::unique_ptr<TsqXMLItem> item);
  std::unique_ptr<TsqXMLItem> TakeItem(int index);
  // First child of that name (case-insensitive) or -1 / null.
  int Find(std::string_view name) const;
  TsqXMLItem* FindItem(std::string_view name) const;
  TsqXMLItem* Root();
  void Assign(const TsqXMLItem& source);
  void Clear();

  void Write(std::string& out, int indent = 0) const;

 private:
  std::string name_;
  std::string text_;
  TsqXMLItem* parent_ = nullptr;
  std::vector<std::unique_ptr<TsqXMLItem>> items_;
};

class TsqXMLDocument : public core::TObject {
 public:
  TsqXMLDocument();
  TsqXMLItem& Root() { return *root_; }
  // Parses XML text into Root; raises core::Error on malformed input.
  void LoadFromString(std::string_view text);
  std::string SaveToString() const;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

 private:
  std::unique_ptr<TsqXMLItem> root_;
};

std::string XMLEscape(std::string_view s);
std::string XMLUnescape(std::string_view s);

}  // namespace sq
