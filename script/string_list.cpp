// String list operations.
#include "script/string_list.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/error.h"
#include "core/text_util.h"
#include "script/classes_module.h"

namespace sq {

const core::ClassInfo* TsqStringList::StaticClass() {
  static const core::ClassInfo* info = core::ClassBuilder<TsqStringList>("TStringList", TStringsClass()).Done();
  return info;
}

void TsqStringList::CheckIndex(int i) const {
  if (i < 0 || i >= Count())
    throw core::Error("List index out of bounds (" + std::to_string(i) + ")");
}

const std::string& TsqStringList::Strings(int i) const {
  CheckIndex(i);
  return items_[static_cast<size_t>(i)].first;
}

void TsqStringList::SetStrings(int i, std::string_view s) {
  CheckIndex(i);
  items_[static_cast<size_t>(i)].first = std::string(s);
}

core::TObject* TsqStringList::Objects(int i) const {
  CheckIndex(i);
  return items_[static_cast<size_t>(i)].second;
}

void TsqStringList::SetObjects(int i, core::TObject* o) {
  CheckIndex(i);
  items_[static_cast<size_t>(i)].second = o;
}

int TsqStringList::Add(std::string_view s, core::TObject* o) {
  if (!sorted_) {
    items_.emplace_back(std::string(s), o);
    return Count() - 1;
  }
  int at;
  if (Find(s, at)) {
    if (duplicates_ == dupIgnore) return at;
    if (duplicates_ == dupError) throw core::Error("String list does not allow duplicates");
  }
  items_.insert(items_.begin() + at, {std::string(s), o});
  return at;
}

void TsqStringList::Insert(int i, std::string_view s, core::TObject* o) {
  if (sorted_) throw core::Error("Operation not allowed on sorted list");
  if (i < 0 || i > Count()) CheckIndex(i);
  items_.insert(items_.begin() + i, {std::string(s), o});
}

void TsqStringList::Delete(int i) {
  CheckIndex(i);
  items_.erase(items_.begin() + i);
}

void TsqStringList::Move(int from, int to) {
  CheckIndex(from);
  CheckIndex(to);
  auto item = items_[static_cast<size_t>(from)];
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, item);
}

int TsqStringList::IndexOf(std::string_view s) const {
  if (sorted_) {
    int at;
    return Find(s, at) ? at : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (core::EqualsNoCase(items_[static_cast<size_t>(i)].first, s)) return i;
  return -1;
}

int TsqStringList::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& s = items_[static_cast<size_t>(i)].first;
    size_t eq = s.find('=');
    if (eq != std::string::npos && core::EqualsNoCase(std::string_view(s).substr(0, eq), name)) return i;
  }
  return -1;
}

int TsqStringList::IndexOfObject(const core::TObject* o) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)].second == o) return i;
  return -1;
}

bool TsqStringList::Find(std::string_view s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = core::CompareNoCase(items_[static_cast<size_t>(mid)].first, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TsqStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(), [](const auto& a, const auto& b) {
    return core::CompareNoCase(a.first, b.first) < 0;
  });
}

void TsqStringList::SetSorted(bool v) {
  if (v && !sorted_) Sort();
  sorted_ = v;
}

std::string TsqStringList::Names(int i) const {
  const std::string& s = Strings(i);
  size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TsqStringList::Values(std::string_view name) const {
  int i = IndexOfName(name);
  if (i < 0) return std::string();
  const std::string& s = items_[static_cast<size_t>(i)].first;
  return s.substr(s.find('=') + 1);
}

void TsqStringList::SetValues(std::string_view name, std::string_view value) {
  int i = IndexOfName(name);
  std::string line = std::string(name) + "=" + std::string(value);
  if (value.empty()) {
    if (i >= 0) Delete(i);
  } else if (i >= 0) {
    items_[static_cast<size_t>(i)].first = line;
  } else {
    Add(line);
  }
}

std::string TsqStringList::Text() const {
  std::string out;
  for (const auto& [s, o] : items_) out += s + "\r\n";
  return out;
}

void TsqStringList::SetText(std::string_view text) {
  items_.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    Add(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

std::string TsqStringList::CommaText() const {
  std::string out;
  for (size_t i = 0; i < items_.size(); ++i) {
    const std::string& s = items_[i].first;
    if (i) out += ',';
    bool quote = s.empty() || s.find_first_of(" ,\"") != std::string::npos;
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void TsqStringList::SetCommaText(std::string_view text) {
  items_.clear();
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::string item;
    if (i < text.size() && text[i] == '"') {
      ++i;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
      while (i < text.size() && text[i] != ',') ++i;
    } else {
      while (i < text.size() && text[i] != ',' && text[i] != ' ') item += text[i++];
      while (i < text.size() && text[i] == ' ') ++i;
    }
    Add(item);
    if (i < text.size() && text[i] == ',') ++i;
  }
}

void TsqStringList::LoadFromFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw core::Error("Cannot open file \"" + fileName + "\"");
  std::stringstream ss;
  ss << in.rdbuf();
  SetText(ss.str());
}

void TsqStringList::SaveToFile(const std::string& fileName) const {
  std::ofstream out(fileName, std::ios::binary);
  if (!out) throw core::Error("Cannot create file \"" + fileName + "\"");
  out << Text();
}

}  // namespace sq
