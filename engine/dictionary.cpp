// Short-name dictionary of the prepared pages store.
#include "engine/dictionary.h"

namespace engine {

std::string TqdrDictionary::CreateUniqueName(std::string_view prefix) const {
  auto name = [&](int n) { return std::string(prefix) + std::to_string(n); };
  int n = 10000;
  while (n > 1 && !entries_.count(name(n))) n /= 2;
  while (entries_.count(name(n))) ++n;
  return name(n);
}

TqdrDictionary::Entry& TqdrDictionary::Add(const std::string& shortName,
                                           const std::string& fullName,
                                           report::TqdrComponent* source) {
  Entry& e = entries_[shortName];
  e.fullName = fullName;
  e.source = source;
  e.serialized.clear();
  return e;
}

const TqdrDictionary::Entry* TqdrDictionary::Find(std::string_view shortName) const {
  auto it = entries_.find(shortName);
  return it == entries_.end() ? nullptr : &it->second;
}

TqdrDictionary::Entry* TqdrDictionary::Find(std::string_view shortName) {
  auto it = entries_.find(shortName);
  return it == entries_.end() ? nullptr : &it->second;
}

}  // namespace engine
