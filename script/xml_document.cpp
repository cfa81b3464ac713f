// Reading and writing the script engine's XML model.
#include "script/xml_document.h"

#include <fstream>
#include <sstream>

#include "core/error.h"
#include "core/text_util.h"
#include "script/parser.h"

namespace sq {

std::string XMLEscape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      case '\r': out += "&#13;"; break;
      case '\n': out += "&#10;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string XMLUnescape(std::string_view s) {
  if (s.find('&') == std::string_view::npos) return std::string(s);
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '&') {
      out += s[i];
      continue;
    }
    size_t semi = s.find(';', i);
    if (semi == std::string_view::npos || semi - i > 10) {
      out += s[i];
      continue;
    }
    std::string_view ent = s.substr(i + 1, semi - i - 1);
    if (ent == "amp") out += '&';
    else if (ent == "lt") out += '<';
    else if (ent == "gt") out += '>';
    else if (ent == "quot") out += '"';
    else if (ent == "apos") out += '\'';
    else if (!ent.empty() && ent[0] == '#') {
      uint32_t code = 0;
      bool hex = ent.size() > 1 && (ent[1] == 'x' || ent[1] == 'X');
      for (size_t k = hex ? 2 : 1; k < ent.size(); ++k) {
        char c = ent[k];
        int d = c >= '0' && c <= '9' ? c - '0'
                : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : -1;
        if (d < 0 || code > 0x10FFFF) break;
        code = code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
      }
      AppendCharCode(out, code);
    } else {
      out.append(s.substr(i, semi - i + 1));
    }
    i = semi;
  }
  return out;
}

namespace {

// Finds name="value" in a raw attribute text; returns the raw value.
bool FindAttr(std::string_view text, std::string_view name, std::string_view& value) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= 32) ++i;
    size_t nameStart = i;
    while (i < text.size() && text[i] != '=' && static_cast<unsigned char>(text[i]) > 32) ++i;
    std::string_view n = text.substr(nameStart, i - nameStart);
    while (i < text.size() && text[i] != '=') ++i;
    if (i >= text.size()) return false;
    ++i;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= 32) ++i;
    if (i >= text.size()) return false;
    char q = text[i];
    if (q != '"' && q != '\'') return false;
    size_t end = text.find(q, i + 1);
    if (end == std::string_view::npos) return false;
    if (core::EqualsNoCase(n, name)) {
      value = text.substr(i + 1, end - i - 1);
      return true;
    }
    i = end + 1;
  }
  return false;
}

}  // namespace

std::string TsqXMLItem::Prop(std::string_view name) const {
  std::string_view v;
  return FindAttr(text_, name, v) ? XMLUnescape(v) : std::string();
}

bool TsqXMLItem::HasProp(std::string_view name) const {
  std::string_view v;
  return FindAttr(text_, name, v);
}

void TsqXMLItem::SetProp(std::string_view name, std::string_view value) {
  std::string_view v;
  std::string escaped = XMLEscape(value);
  if (FindAttr(text_, name, v)) {
    size_t at = static_cast<size_t>(v.data() - text_.data());
    text_.replace(at, v.size(), escaped);
    return;
  }
  if (!text_.empty()) text_ += ' ';
  text_ += std::string(name) + "=\"" + escaped + "\"";
}

TsqXMLItem* TsqXMLItem::Add() {
  return AddItem(std::make_unique<TsqXMLItem>());
}

TsqXMLItem* TsqXMLItem::AddItem(std::unique_ptr<TsqXMLItem> item) {
  item->parent_ = this;
  items_.push_back(std::move(item));
  return items_.back().get();
}

TsqXMLItem* TsqXMLItem::InsertItem(int index, std::unique_ptr<TsqXMLItem> item) {
  item->parent_ = this;
  index = std::max(0, std::min(index, Count()));
  return items_.insert(items_.begin() + index, std::move(item))->get();
}

std::unique_ptr<TsqXMLItem> TsqXMLItem::TakeItem(int index) {
  std::unique_ptr<TsqXMLItem> item = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  return item;
}

int TsqXMLItem::Find(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (core::EqualsNoCase(items_[static_cast<size_t>(i)]->name_, name)) return i;
  return -1;
}

TsqXMLItem* TsqXMLItem::FindItem(std::string_view name) const {
  int i = Find(name);
  return i < 0 ? nullptr : Items(i);
}

TsqXMLItem* TsqXMLItem::Root() {
  TsqXMLItem* r = this;
  while (r->parent_) r = r->parent_;
  return r;
}

void TsqXMLItem::Assign(const TsqXMLItem& source) {
  name_ = source.name_;
  text_ = source.text_;
  items_.clear();
  for (const auto& c : source.items_) Add()->Assign(*c);
}

void TsqXMLItem::Clear() {
  items_.clear();
}

void TsqXMLItem::Write(std::string& out, int indent) const {
  out.append(static_cast<size_t>(indent), ' ');
  out += '<';
  out += name_;
  if (!text_.empty()) {
    out += ' ';
    out += text_;
  }
  if (items_.empty()) {
    out += "/>\n";
    return;
  }
  out += ">\n";
  for (const auto& c : items_) c->Write(out, indent + 1);
  out.append(static_cast<size_t>(indent), ' ');
  out += "</" + name_ + ">\n";
}

// ---------------------------------------------------------------------------

TsqXMLDocument::TsqXMLDocument() : root_(std::make_unique<TsqXMLItem>()) {}

void TsqXMLDocument::LoadFromString(std::string_view s) {
  root_ = std::make_unique<TsqXMLItem>();
  auto fail = [] { throw core::Error("Invalid XML document"); };
  size_t i = 0;
  std::vector<TsqXMLItem*> stack;
  bool haveRoot = false;
  while (i < s.size()) {
    size_t lt = s.find('<', i);
    if (lt == std::string_view::npos) break;
    i = lt;
    if (s.compare(i, 4, "<!--") == 0) {
      size_t end = s.find("-->", i + 4);
      if (end == std::string_view::npos) fail();
      i = end + 3;
      continue;
    }
    if (s.compare(i, 2, "<?") == 0 || s.compare(i, 2, "<!") == 0) {
      size_t end = s.find('>', i);
      if (end == std::string_view::npos) fail();
      i = end + 1;
      continue;
    }
    if (s.compare(i, 2, "</") == 0) {
      size_t end = s.find('>', i);
      if (end == std::string_view::npos || stack.empty()) fail();
      stack.pop_back();
      i = end + 1;
      continue;
    }
    // Start tag: find its end outside quoted values.
    size_t j = i + 1;
    char quote = 0;
    while (j < s.size()) {
      char c = s[j];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        break;
      }
      ++j;
    }
    if (j >= s.size()) fail();
    bool selfClosing = s[j - 1] == '/';
    std::string_view inner = s.substr(i + 1, j - i - 1 - (selfClosing ? 1 : 0));
    size_t nameEnd = 0;
    while (nameEnd < inner.size() && static_cast<unsigned char>(inner[nameEnd]) > 32) ++nameEnd;
    if (nameEnd == 0) fail();
    TsqXMLItem* item;
    if (stack.empty()) {
      if (haveRoot) fail();
      haveRoot = true;
      item = root_.get();
    } else {
      item = stack.back()->Add();
    }
    item->SetName(inner.substr(0, nameEnd));
    item->SetText(core::TrimView(inner.substr(nameEnd)));
    if (!selfClosing) stack.push_back(item);
    i = j + 1;
  }
  if (!stack.empty() || !haveRoot) fail();
}

std::string TsqXMLDocument::SaveToString() const {
  std::string out = "<?xml version=\"1.0\"?>\n";
  root_->Write(out);
  return out;
}

void TsqXMLDocument::LoadFromFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw core::Error("Cannot open file \"" + fileName + "\"");
  std::stringstream ss;
  ss << in.rdbuf();
  LoadFromString(ss.str());
}

void TsqXMLDocument::SaveToFile(const std::string& fileName) const {
  std::ofstream out(fileName, std::ios::binary);
  if (!out) throw core::Error("Cannot create file \"" + fileName + "\"");
  out << SaveToString();
}

}  // namespace sq
