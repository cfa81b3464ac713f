// TqdrDictionary: the short names ("m1", "b3") under which prepared pages name
// the source copies of template objects.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace report {
class TqdrComponent;
}

namespace engine {

class TqdrDictionary {
 public:
  struct Entry {
    std::string fullName;  // "Page" + source page index + "." + object name
    report::TqdrComponent* source = nullptr;
    std::string serialized;  // class name + attributes, the base of rebuilt objects
  };

  // First free prefix+number: from 10000 halve while free and above 1, then count up.
  std::string CreateUniqueName(std::string_view prefix) const;
  // Adds an entry under `shortName` and returns it.
  Entry& Add(const std::string& shortName, const std::string& fullName,
             report::TqdrComponent* source);
  const Entry* Find(std::string_view shortName) const;
  Entry* Find(std::string_view shortName);
  void Clear() { entries_.clear(); }
  int Count() const { return static_cast<int>(entries_.size()); }
  // Sorted by short name.
  const std::map<std::string, Entry, std::less<>>& Entries() const { return entries_; }

 private:
  std::map<std::string, Entry, std::less<>> entries_;
};

}  // namespace engine
