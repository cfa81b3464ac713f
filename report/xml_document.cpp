// Reader, writer and document of the XML dialect.
#include "report/xml_document.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <istream>
#include <ostream>
#include <sstream>

#include "core/date_time.h"
#include "core/error.h"
#include "core/float_text.h"
#include "core/text_util.h"
#include "core/variant.h"

namespace report {

namespace {

[[noreturn]] void InvalidFormat() {
  throw core::Error("Invalid file format");
}

// Deeper trees than this are refused as malformed: the tree is freed and written
// recursively, and no file of the library nests more than a handful of levels.
constexpr size_t kMaxDepth = 1000;

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

inline char Fold(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Position of the first `name="` in `text` that starts the text or follows a blank;
// npos when there is none. `valueStart` receives the position after the quote.
size_t FindAttribute(std::string_view text, std::string_view name, size_t& valueStart) {
  const size_t n = name.size();
  if (n == 0 || text.size() < n + 2) return std::string_view::npos;
  const char first = Fold(name[0]);
  for (size_t i = 0; i + n + 2 <= text.size(); ++i) {
    if (Fold(text[i]) != first) continue;
    if (i > 0 && static_cast<unsigned char>(text[i - 1]) > ' ') continue;
    if (text[i + n] != '=' || text[i + n + 1] != '"') continue;
    if (!core::EqualsNoCase(text.substr(i, n), name)) continue;
    valueStart = i + n + 2;
    return i;
  }
  return std::string_view::npos;
}

}  // namespace

// ---------------------------------------------------------------------------
// Escapes

std::string XmlEscape(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 16);
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    switch (c) {
      case '\r':
        out += "&#13;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '"':
        out += "&#34;";
        break;
      case '<':
        out += "&#60;";
        break;
      case '>':
        out += "&#62;";
        break;
      case '&':
        if (s.substr(i + 1, 5) == "quot;") {
          out += "&#34;";
          i += 5;
        } else {
          out += '&';
        }
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string XmlUnescape(std::string_view s) {
  if (s.find('&') == std::string_view::npos) return std::string(s);
  std::string out;
  out.reserve(s.size());
  const size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    char c = s[i];
    // The last byte never starts an escape.
    if (c != '&' || i + 1 >= n) {
      out += c;
      continue;
    }
    if (s[i + 1] == '#' && i + 3 < n) {
      size_t semi = s.find(';', i + 2);
      if (semi == std::string_view::npos) {
        out += c;  // never written by the library: kept as it is
        continue;
      }
      std::string_view digits = s.substr(i + 2, semi - i - 2);
      int code = 0;
      bool ok = !digits.empty() && digits.size() <= 9;
      for (char d : digits) {
        if (d < '0' || d > '9') {
          ok = false;
          break;
        }
        code = code * 10 + (d - '0');
      }
      if (!ok) throw core::Error("'" + std::string(digits) + "' is not a valid integer value");
      out += static_cast<char>(code & 0xFF);
      i = semi;
      continue;
    }
    if (s.substr(i + 1, 5) == "quot;") {
      out += '"';
      i += 5;
      continue;
    }
    out += c;
  }
  return out;
}

std::string VariantToXml(const core::Variant& v) {
  using core::VarType;
  switch (v.Type()) {
    case VarType::Boolean:
      return v.RawBool() ? "1" : "0";
    case VarType::Smallint:
    case VarType::Integer:
    case VarType::Byte:
    case VarType::ShortInt:
    case VarType::Word:
    case VarType::LongWord:
    case VarType::Int64:
      return std::to_string(v.RawInt());
    case VarType::Single:
    case VarType::Double:
      return core::FloatToStr(v.RawDouble());
    case VarType::Currency:
      return core::FloatToStr(v.ToDouble());
    case VarType::Date:
      return core::DateTimeToStr(v.RawDouble());
    case VarType::String:
    case VarType::OleStr:
      return XmlEscape(v.RawString());
    default:
      return {};
  }
}

// ---------------------------------------------------------------------------
// Items

TqdrXMLItem::~TqdrXMLItem() {
  Clear();
  if (parent_) {
    auto self = parent_->Release(this);
    self.release();  // already being destroyed
  }
}

std::unique_ptr<TqdrXMLItem> TqdrXMLItem::Release(TqdrXMLItem* item) {
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (it->get() == item) {
      std::unique_ptr<TqdrXMLItem> out = std::move(*it);
      items_.erase(it);
      out->parent_ = nullptr;
      return out;
    }
  }
  return nullptr;
}

TqdrXMLItem* TqdrXMLItem::Add() {
  items_.push_back(std::make_unique<TqdrXMLItem>());
  items_.back()->parent_ = this;
  return items_.back().get();
}

void TqdrXMLItem::AddItem(TqdrXMLItem* item) {
  std::unique_ptr<TqdrXMLItem> owned;
  if (item->parent_)
    owned = item->parent_->Release(item);
  else
    owned.reset(item);
  owned->parent_ = this;
  items_.push_back(std::move(owned));
}

void TqdrXMLItem::InsertItem(int index, TqdrXMLItem* item) {
  AddItem(item);
  if (index < 0) index = 0;
  if (index >= Count()) return;
  auto owned = std::move(items_.back());
  items_.pop_back();
  items_.insert(items_.begin() + index, std::move(owned));
}

int TqdrXMLItem::Find(std::string_view name) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (core::EqualsNoCase(items_[i]->Name, name)) return static_cast<int>(i);
  return -1;
}

TqdrXMLItem* TqdrXMLItem::FindItem(std::string_view name) {
  int i = Find(name);
  if (i >= 0) return Items(i);
  TqdrXMLItem* item = Add();
  item->Name = std::string(name);
  return item;
}

int TqdrXMLItem::IndexOf(const TqdrXMLItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

std::string TqdrXMLItem::Prop(std::string_view name) const {
  size_t valueStart = 0;
  if (FindAttribute(Text, name, valueStart) == std::string::npos) return {};
  size_t end = Text.find('"', valueStart);
  if (end == std::string::npos) end = Text.size();
  return XmlUnescape(std::string_view(Text).substr(valueStart, end - valueStart));
}

bool TqdrXMLItem::HasProp(std::string_view name) const {
  size_t valueStart = 0;
  return FindAttribute(Text, name, valueStart) != std::string::npos;
}

void TqdrXMLItem::SetProp(std::string_view name, std::string_view value) {
  std::string attr;
  attr.reserve(name.size() + value.size() + 4);
  attr.append(name).append("=\"").append(XmlEscape(value)).append("\"");
  size_t valueStart = 0;
  size_t at = FindAttribute(Text, name, valueStart);
  if (at != std::string::npos) {
    size_t end = Text.find('"', valueStart);
    end = end == std::string::npos ? Text.size() : end + 1;
    Text.replace(at, end - at, attr);
    return;
  }
  if (!Text.empty() && Text.back() != ' ') Text += ' ';
  Text += attr;
}

void TqdrXMLItem::Clear() {
  // Children detach themselves from this list as they are destroyed.
  while (!items_.empty()) {
    std::unique_ptr<TqdrXMLItem> child = std::move(items_.back());
    items_.pop_back();
    child->parent_ = nullptr;
  }
  if (unloadable_) loaded_ = false;
}

// ---------------------------------------------------------------------------
// Reader

TqdrXMLReader::TqdrXMLReader(std::istream& stream) : stream_(stream) {
  std::streamoff p = stream_.tellg();
  base_ = position_ = p < 0 ? 0 : static_cast<int64_t>(p);
  tag_.reserve(4096);
}

TqdrXMLReader::~TqdrXMLReader() {
  stream_.clear();
  stream_.seekg(position_);
}

void TqdrXMLReader::SetPosition(int64_t pos) {
  stream_.clear();
  stream_.seekg(pos);
  base_ = position_ = pos;
  fill_ = pos_ = 0;
}

bool TqdrXMLReader::Fill() {
  base_ += static_cast<int64_t>(fill_);
  pos_ = fill_ = 0;
  if (!stream_) return false;
  stream_.read(buf_, sizeof buf_);
  fill_ = static_cast<size_t>(stream_.gcount());
  return fill_ > 0;
}

bool TqdrXMLReader::ReadTag(std::string& name, std::string& text) {
  tag_.clear();
  for (;;) {
    // Outside: skip to the next '<'.
    for (;;) {
      if (pos_ == fill_ && !Fill()) {
        position_ = base_;
        return false;
      }
      const char* lt = static_cast<const char*>(std::memchr(buf_ + pos_, '<', fill_ - pos_));
      if (lt) {
        pos_ = static_cast<size_t>(lt - buf_) + 1;
        break;
      }
      pos_ = fill_;
    }
    // Tag: collect to '>'. The first three bytes go one by one: "!--" opens a comment.
    bool comment = false;
    for (;;) {
      if (pos_ == fill_ && !Fill()) InvalidFormat();
      if (tag_.size() < 3) {
        char c = buf_[pos_++];
        if (c == '>') break;
        if (c == '<') InvalidFormat();
        tag_ += c;
        if (tag_.size() == 3 && tag_ == "!--") {
          comment = true;
          tag_.clear();
          break;
        }
        continue;
      }
      const char* start = buf_ + pos_;
      const char* gt = static_cast<const char*>(std::memchr(start, '>', fill_ - pos_));
      size_t len = gt ? static_cast<size_t>(gt - start) : fill_ - pos_;
      if (std::memchr(start, '<', len)) InvalidFormat();
      tag_.append(start, len);
      pos_ += len;
      if (gt) {
        ++pos_;
        break;
      }
    }
    if (!comment) break;
    // Comment: until "--" directly followed by '>' (a third '-' resets the count).
    int dashes = 0;
    for (;;) {
      if (pos_ == fill_ && !Fill()) InvalidFormat();
      char c = buf_[pos_++];
      if (c == '-') {
        dashes = dashes == 2 ? 0 : dashes + 1;
      } else if (c == '>' && dashes == 2) {
        break;
      } else {
        dashes = 0;
      }
    }
  }
  position_ = base_ + static_cast<int64_t>(pos_);
  std::string_view t(tag_);
  if (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  size_t split = 0;
  while (split < t.size() && !IsBlank(t[split])) ++split;
  name.assign(t.data(), split);
  size_t textStart = split;
  while (textStart < t.size() && IsBlank(t[textStart])) ++textStart;
  text.assign(t.data() + textStart, t.size() - textStart);
  return true;
}

void TqdrXMLReader::ReadHeader() {
  std::string name, text;
  if (!ReadTag(name, text) || name.compare(0, 4, "?xml") != 0) InvalidFormat();
}

namespace {

// Fills an item from its tag; returns whether the element has children to read.
bool SetUpItem(TqdrXMLItem* item, std::string& name, std::string& text) {
  bool open = true;
  if (!name.empty() && name.back() == '/') {
    name.pop_back();
    open = false;
  } else if (!text.empty() && text.back() == '/') {
    text.pop_back();
    while (!text.empty() && text.back() == ' ') text.pop_back();
    open = false;
  }
  item->Name = std::move(name);
  item->Text = std::move(text);
  return open;
}

// Removes the ` ld="0"` mark from an attribute text; true when it was there.
// The mark is also found as the first attribute, where it has no blank before it.
bool RemoveLoadMark(std::string& text) {
  static constexpr std::string_view kMark = "ld=\"0\"";
  for (size_t i = 0; i + kMark.size() <= text.size(); ++i) {
    if (i > 0 && text[i - 1] != ' ') continue;
    if (!core::EqualsNoCase(std::string_view(text).substr(i, kMark.size()), kMark)) continue;
    if (i > 0)
      text.erase(i - 1, kMark.size() + 1);
    else
      text.erase(0, kMark.size() + (text.size() > kMark.size() && text[kMark.size()] == ' '));
    return true;
  }
  return false;
}

}  // namespace

bool TqdrXMLReader::ReadItem(TqdrXMLItem* item, bool readAll) {
  struct Open {
    TqdrXMLItem* item;
    int64_t start;
  };
  std::vector<Open> stack;
  std::string name, text;
  int64_t start = position_;
  if (!ReadTag(name, text)) InvalidFormat();
  if (name.empty() || name[0] == '/') {
    item->Name = std::move(name);
    return false;
  }
  if (!SetUpItem(item, name, text)) return true;
  stack.push_back({item, start});
  while (!stack.empty()) {
    start = position_;
    if (!ReadTag(name, text)) InvalidFormat();
    TqdrXMLItem* top = stack.back().item;
    if (name.empty() || name[0] == '/') {
      if (name.empty() || !core::EqualsNoCase(std::string_view(name).substr(1), top->Name))
        InvalidFormat();
      if (RemoveLoadMark(top->Text) && !readAll) {
        top->Clear();
        top->offset_ = stack.back().start;
        top->unloadable_ = true;
        top->loaded_ = false;
      }
      stack.pop_back();
      continue;
    }
    TqdrXMLItem* child = top->Add();
    if (SetUpItem(child, name, text)) {
      if (stack.size() >= kMaxDepth) InvalidFormat();
      stack.push_back({child, start});
    }
  }
  return true;
}

void TqdrXMLReader::ReadRootItem(TqdrXMLItem* item, bool readAll) {
  if (!ReadItem(item, readAll)) InvalidFormat();
}

// ---------------------------------------------------------------------------
// Writer

TqdrXMLWriter::TqdrXMLWriter(std::ostream& stream, bool autoIndent)
    : stream_(stream), autoIndent_(autoIndent) {
  out_.reserve(8192);
}

TqdrXMLWriter::~TqdrXMLWriter() {
  Flush();
}

void TqdrXMLWriter::Flush() {
  if (out_.empty()) return;
  stream_.write(out_.data(), static_cast<std::streamsize>(out_.size()));
  out_.clear();
}

void TqdrXMLWriter::WriteHeader() {
  out_ += "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
  if (autoIndent_) out_ += "\r\n";
}

void TqdrXMLWriter::WriteRootItem(TqdrXMLItem* item) {
  WriteItem(item, 0);
  Flush();
}

void TqdrXMLWriter::WriteItem(TqdrXMLItem* item, int level) {
  bool reloaded = false;
  if (item->unloadable_ && !item->loaded_ && doc_) {
    doc_->LoadItem(item);
    reloaded = item->loaded_;
  }
  if (autoIndent_) out_.append(static_cast<size_t>(level), ' ');
  out_ += '<';
  out_ += item->Name;
  if (!item->Text.empty()) {
    if (item->Text[0] != ' ') out_ += ' ';
    out_ += item->Text;
  }
  if (item->unloadable_) out_ += " ld=\"0\"";
  const bool hasChildren = item->Count() > 0;
  out_ += hasChildren ? ">" : "/>";
  if (autoIndent_) out_ += "\r\n";
  if (out_.size() > 4096) Flush();
  if (hasChildren) {
    for (int i = 0; i < item->Count(); ++i) WriteItem(item->Items(i), autoIndent_ ? level + 2 : 0);
    if (autoIndent_) out_.append(static_cast<size_t>(level), ' ');
    out_ += "</";
    out_ += item->Name;
    out_ += '>';
    if (autoIndent_) out_ += "\r\n";
    if (out_.size() > 4096) Flush();
  }
  if (reloaded) item->Clear();
}

// ---------------------------------------------------------------------------
// Document

TqdrXMLDocument::TqdrXMLDocument() : root_(std::make_unique<TqdrXMLItem>()) {}

TqdrXMLDocument::~TqdrXMLDocument() {
  Clear();
}

void TqdrXMLDocument::DropBackingStream() {
  source_ = nullptr;
  if (temp_) {
    temp_->close();
    temp_.reset();
    std::error_code ec;
    std::filesystem::remove(tempName_, ec);
    tempName_.clear();
  }
}

void TqdrXMLDocument::Clear() {
  root_->Clear();
  root_->Name.clear();
  root_->Text.clear();
  root_->loaded_ = true;
  root_->unloadable_ = false;
  DropBackingStream();
}

void TqdrXMLDocument::LoadFromStream(std::istream& stream, bool allowPartialLoading) {
  Clear();
  root_->offset_ = 0;
  if (allowPartialLoading) source_ = &stream;
  TqdrXMLReader reader(stream);
  reader.ReadHeader();
  reader.ReadRootItem(root_.get(), !allowPartialLoading);
}

void TqdrXMLDocument::SaveToStream(std::ostream& stream) {
  TqdrXMLWriter writer(stream, AutoIndent);
  writer.SetDocument(this);
  writer.WriteHeader();
  writer.WriteRootItem(root_.get());
}

void TqdrXMLDocument::LoadFromFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw core::Error("Cannot open file \"" + fileName + "\"");
  LoadFromStream(in, false);
}

void TqdrXMLDocument::SaveToFile(const std::string& fileName) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw core::Error("Cannot create file \"" + fileName + "\"");
  SaveToStream(out);
}

std::istream* TqdrXMLDocument::StreamOf(const TqdrXMLItem* item) {
  if (item->inTempFile_) return temp_.get();
  return source_;
}

void TqdrXMLDocument::LoadItem(TqdrXMLItem* item) {
  if (!item || item->loaded_ || !item->unloadable_) return;
  std::istream* stream = StreamOf(item);
  if (!stream) return;
  TqdrXMLItem copy;
  {
    TqdrXMLReader reader(*stream);
    reader.SetPosition(item->offset_);
    reader.ReadRootItem(&copy, true);
  }
  for (auto& child : copy.items_) child->parent_ = item;
  item->items_ = std::move(copy.items_);
  copy.items_.clear();
  item->loaded_ = true;
}

void TqdrXMLDocument::UnloadItem(TqdrXMLItem* item) {
  if (!item || !item->loaded_ || !item->unloadable_) return;
  if (!temp_) {
    std::string dir = TempDir.empty() ? std::filesystem::temp_directory_path().string() : TempDir;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    std::string pattern = dir + "qrXXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0) throw core::Error("Cannot create file \"" + pattern + "\"");
    close(fd);
    temp_ = std::make_unique<std::fstream>(
        pattern, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
    if (!*temp_) {
      temp_.reset();
      std::remove(pattern.c_str());
      throw core::Error("Cannot create file \"" + pattern + "\"");
    }
    tempName_ = pattern;
  }
  // Written to a string first: nested unloaded items may be read from the same file.
  std::ostringstream text;
  {
    TqdrXMLWriter writer(text, false);
    writer.SetDocument(this);
    writer.WriteRootItem(item);
  }
  const std::string bytes = text.str();
  temp_->clear();
  temp_->seekp(0, std::ios::end);
  item->offset_ = static_cast<int64_t>(temp_->tellp());
  temp_->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  temp_->flush();
  item->inTempFile_ = true;
  item->Clear();
}

}  // namespace report
