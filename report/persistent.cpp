// Stored-object base and the string list.
#include "report/persistent.h"

#include "core/text_util.h"

namespace report {

void TqdrPersistent::Assign(const TqdrPersistent*) {}
void TqdrPersistent::WriteStoredData(TqdrPropWriter&, TqdrXMLSerializer&) const {}
bool TqdrPersistent::ReadStoredEntry(const std::string&, TqdrPropReader&, TqdrXMLSerializer&) {
  return false;
}

const core::ClassInfo* TqdrStringList::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrStringList>("TStrings", nullptr)
          .Factory<>()
          .Custom(
              "Text", core::PropKind::String,
              [](const core::TObject* o) {
                return core::Variant(static_cast<const TqdrStringList*>(o)->Text());
              },
              [](const core::PropInfo&, core::TObject* o, const core::Variant& v) {
                static_cast<TqdrStringList*>(o)->SetText(v.ToString());
              })
          .Integer<&TqdrStringList::Count>("Count")
          .Stored([](const core::TObject*) { return false; })
          .Done();
  return info;
}

void TqdrStringList::Add(std::string line) {
  lines_.push_back(std::move(line));
  Changed();
}

void TqdrStringList::Insert(int index, std::string line) {
  if (index < 0) index = 0;
  if (index > Count()) index = Count();
  lines_.insert(lines_.begin() + index, std::move(line));
  Changed();
}

void TqdrStringList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  lines_.erase(lines_.begin() + index);
  Changed();
}

void TqdrStringList::SetLine(int index, std::string line) {
  if (index < 0 || index >= Count()) return;
  lines_[static_cast<size_t>(index)] = std::move(line);
  Changed();
}

void TqdrStringList::Clear() {
  if (lines_.empty()) return;
  lines_.clear();
  Changed();
}

void TqdrStringList::SetLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  Changed();
}

std::string TqdrStringList::Text() const {
  std::string out;
  for (const auto& l : lines_) out.append(l).append("\r\n");
  return out;
}

std::string TqdrStringList::JoinedText() const {
  std::string out;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) out += "\r\n";
    out += lines_[i];
  }
  return out;
}

void TqdrStringList::SetText(std::string_view text) {
  std::vector<std::string> lines;
  size_t i = 0, start = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  SetLines(std::move(lines));
}

int TqdrStringList::IndexOf(std::string_view line) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (core::EqualsNoCase(lines_[i], line)) return static_cast<int>(i);
  return -1;
}

void TqdrStringList::Assign(const TqdrPersistent* source) {
  if (auto* s = dynamic_cast<const TqdrStringList*>(source)) SetLines(s->lines_);
}

}  // namespace report
