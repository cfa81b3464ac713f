// The report library's XML dialect: elements carry all data in attributes, kept
// as one raw string per element and looked up on demand. Reader, writer, the
// escaping helpers and partial loading (subtrees kept on disk until needed).
//
// File form:
//   <?xml version="1.0" encoding="utf-8"?>      header, CR LF when indented
//   <Name attr="v" ...>                          start tag; Text is everything after the name
//     <Child .../>                               children at two more blanks (AutoIndent)
//   </Name>                                      end tag, name compared without regard to case
// Comments <!-- ... --> and text between tags are skipped. An element written
// with ` ld="0"` may be left unloaded when a document is read with partial loading.
// Every syntax error raises core::Error("Invalid file format").
#pragma once

#include <cstdint>
#include <fstream>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace core {
class Variant;
}

namespace report {

// One element: its tag name, its raw attribute text and its children.
class TqdrXMLItem {
 public:
  TqdrXMLItem() = default;
  TqdrXMLItem(const TqdrXMLItem&) = delete;
  TqdrXMLItem& operator=(const TqdrXMLItem&) = delete;
  // Frees the children and removes the item from its parent's list.
  ~TqdrXMLItem();

  std::string Name;
  // Attribute text without the leading blank, e.g. `Left="10" Width="20"`.
  std::string Text;

  TqdrXMLItem* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TqdrXMLItem* Items(int index) const { return items_[static_cast<size_t>(index)].get(); }
  TqdrXMLItem* Add();
  // Appends `item` (taking ownership), removing it from its old parent first.
  void AddItem(TqdrXMLItem* item);
  void InsertItem(int index, TqdrXMLItem* item);
  // Index of the first child named `name` (case-insensitive), or -1.
  int Find(std::string_view name) const;
  // That child, or a new child of that name appended when there is none.
  TqdrXMLItem* FindItem(std::string_view name);
  int IndexOf(const TqdrXMLItem* item) const;
  // Unescaped value of attribute `name` (case-insensitive), empty when absent.
  std::string Prop(std::string_view name) const;
  // Replaces the attribute's value or appends the attribute.
  void SetProp(std::string_view name, std::string_view value);
  // True when the attribute is present (the value may be empty).
  bool HasProp(std::string_view name) const;
  // Frees all children; an unloadable item becomes not loaded.
  void Clear();

  bool Loaded() const { return loaded_; }
  bool Unloadable() const { return unloadable_; }
  void SetUnloadable(bool v) { unloadable_ = v; }
  int64_t Offset() const { return offset_; }

 private:
  friend class TqdrXMLDocument;
  friend class TqdrXMLReader;
  friend class TqdrXMLWriter;
  // Detaches `item` from this item's list without freeing it.
  std::unique_ptr<TqdrXMLItem> Release(TqdrXMLItem* item);

  TqdrXMLItem* parent_ = nullptr;
  std::vector<std::unique_ptr<TqdrXMLItem>> items_;
  bool loaded_ = true;
  bool unloadable_ = false;
  bool inTempFile_ = false;  // the offset refers to the document's temporary file
  int64_t offset_ = 0;
};

// Reads tags from a stream through a 4096-byte buffer.
class TqdrXMLReader {
 public:
  explicit TqdrXMLReader(std::istream& stream);
  // Leaves the stream positioned just after the last byte consumed.
  ~TqdrXMLReader();
  TqdrXMLReader(const TqdrXMLReader&) = delete;
  TqdrXMLReader& operator=(const TqdrXMLReader&) = delete;

  void ReadHeader();
  // Reads one element with its subtree into `item`. With `readAll` false,
  // elements marked ld="0" keep only their own tag and become unloadable.
  void ReadRootItem(TqdrXMLItem* item, bool readAll = true);
  void SetPosition(int64_t pos);
  int64_t Position() const { return position_; }

 private:
  // Reads one tag: false at the end of data before any tag began.
  bool ReadTag(std::string& name, std::string& text);
  // Reads an element; returns false when the tag was an end tag (its name in `name`).
  bool ReadItem(TqdrXMLItem* item, bool readAll);
  bool Fill();

  std::istream& stream_;
  int64_t base_ = 0;      // stream position of buf_[0]
  int64_t position_ = 0;  // logical position: next byte to consume
  char buf_[4096];
  size_t fill_ = 0, pos_ = 0;
  std::string tag_;
};

// Writes items to a stream, flushing about every 4096 characters.
class TqdrXMLWriter {
 public:
  TqdrXMLWriter(std::ostream& stream, bool autoIndent);
  ~TqdrXMLWriter();
  void WriteHeader();
  void WriteRootItem(TqdrXMLItem* item);
  // The document whose backing streams hold unloaded items.
  void SetDocument(class TqdrXMLDocument* doc) { doc_ = doc; }

 private:
  void WriteItem(TqdrXMLItem* item, int level);
  void Flush();

  std::ostream& stream_;
  bool autoIndent_;
  TqdrXMLDocument* doc_ = nullptr;
  std::string out_;
};

// A document: its Root element and the streams that hold unloaded subtrees.
class TqdrXMLDocument {
 public:
  TqdrXMLDocument();
  ~TqdrXMLDocument();
  TqdrXMLDocument(const TqdrXMLDocument&) = delete;
  TqdrXMLDocument& operator=(const TqdrXMLDocument&) = delete;

  TqdrXMLItem* Root() const { return root_.get(); }
  bool AutoIndent = false;
  // Folder of the temporary file; empty: the system temporary folder.
  std::string TempDir;

  // Replaces the tree with the first element of `stream`. With partial loading
  // the stream must stay alive (and unchanged) while the document uses it.
  void LoadFromStream(std::istream& stream, bool allowPartialLoading = false);
  void SaveToStream(std::ostream& stream);
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  // Reads an unloaded item's children back from its stream.
  void LoadItem(TqdrXMLItem* item);
  // Moves a loaded unloadable item's children to the temporary file.
  void UnloadItem(TqdrXMLItem* item);
  void Clear();
  // Name of the temporary file, empty when none was created.
  const std::string& TempFileName() const { return tempName_; }

 private:
  friend class TqdrXMLWriter;
  std::istream* StreamOf(const TqdrXMLItem* item);
  void DropBackingStream();

  std::unique_ptr<TqdrXMLItem> root_;
  std::istream* source_ = nullptr;  // the stream a partial load came from (not owned)
  std::unique_ptr<std::fstream> temp_;
  std::string tempName_;
};

// `&#NN;` escapes for CR, LF, double quote, < and >; `&quot;` becomes `&#34;`.
std::string XmlEscape(std::string_view s);
// Reverse of XmlEscape; also decodes `&quot;`. Raises core::Error when the
// digits of a numeric escape are not a number.
std::string XmlUnescape(std::string_view s);
// Variant as an attribute value: Booleans 1/0, numbers, dates, escaped strings.
std::string VariantToXml(const core::Variant& v);

}  // namespace report
