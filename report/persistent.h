// Base of everything the template serializer stores (components, their
// sub-objects, collection items) and the string list sub-object.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/reflection.h"

namespace report {

class TqdrPropReader;
class TqdrPropWriter;
class TqdrXMLSerializer;

// A stored object: published properties come from its ClassInfo; data beyond
// them ("PropData") goes through the stored-data hooks.
class TqdrPersistent : public core::TObject {
 public:
  // Copies another object; the base does nothing (as for an unrelated source).
  virtual void Assign(const TqdrPersistent* source);
  // Extra stored data: entries of the binary property stream.
  virtual bool HasStoredData() const { return false; }
  virtual void WriteStoredData(TqdrPropWriter& writer, TqdrXMLSerializer& serializer) const;
  // Reads the value of entry `name`; false when the entry is unknown (reading stops).
  virtual bool ReadStoredEntry(const std::string& name, TqdrPropReader& reader,
                               TqdrXMLSerializer& serializer);
};

// An ordered list of text lines (UTF-8), the platform's string list.
class TqdrStringList : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  TqdrStringList() = default;
  explicit TqdrStringList(core::TObject*) {}

  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& operator[](int i) const { return lines_[static_cast<size_t>(i)]; }
  const std::vector<std::string>& Lines() const { return lines_; }
  void Add(std::string line);
  void Insert(int index, std::string line);
  void Delete(int index);
  void SetLine(int index, std::string line);
  void Clear();
  void SetLines(std::vector<std::string> lines);
  // Lines each followed by CR LF.
  std::string Text() const;
  // Splits at CR LF, CR or LF; a final line break does not add an empty line.
  void SetText(std::string_view text);
  // The lines joined by CR LF, without a final line break (the stored form).
  std::string JoinedText() const;
  int IndexOf(std::string_view line) const;  // case-insensitive, -1 when absent
  void Assign(const TqdrPersistent* source) override;
  bool operator==(const TqdrStringList& o) const { return lines_ == o.lines_; }

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  std::vector<std::string> lines_;
};

}  // namespace report
