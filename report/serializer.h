// TqdrXMLSerializer: component trees as .qr3 templates, attribute texts of any
// stored object, and the compact attribute form of prepared pages.
//
// Template layout (two blanks of indentation per level, CR LF after each tag):
//   LEVEL  ELEMENT                  ATTRIBUTES
//   0      TqdrReport               the report's properties; no Name
//   1      TqdrReportPage ...       Name="..." first, then the properties
//   2      bands, e.g. TqdrMasterData
//   3+     views, e.g. TqdrMemoView
// Properties are written in class order, inherited first, where the stored rule
// allows: ordinals when not the declared default (enumerations by name), floats
// always (general format), strings when not empty (GBK bytes, escaped), string
// lists as Prefix.Text, sub-objects as Prefix.Property, references by name. A
// memo then gets Text="..." (UTF-8, escaped) and an object with extra data
// PropData="HEX" (the binary property stream of prop_stream.h).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "core/reflection.h"

namespace report {

class TqdrComponent;
class TqdrPersistent;
class TqdrReport;
class TqdrXMLItem;

class TqdrXMLSerializer {
 public:
  explicit TqdrXMLSerializer(TqdrReport* owner);
  // Write properties that hold their defaults too (used by Assign).
  bool SaveDefaultValues = false;

  // Writes `c` (and its children when `saveChildren`) into `item`, or, without
  // an item, as a whole indented document to `stream`.
  void WriteRootComponent(TqdrComponent* c, std::ostream& stream, bool saveChildren = true,
                          TqdrXMLItem* item = nullptr);
  // Reads a document (or `item`) into `c`: children are created by class name;
  // unknown classes and attributes that cannot be applied go to Errors().
  void ReadRootComponent(TqdrComponent* c, std::istream& stream, TqdrXMLItem* item = nullptr);
  // One component as class name + attribute text, and back (created with `owner`).
  std::string WriteComponentText(TqdrComponent* c);
  TqdrComponent* ReadComponentText(TqdrComponent* owner, std::string_view text);
  // Reads an attribute text into a collection item and resolves its references.
  void ReadPersistentText(TqdrPersistent* obj, std::string_view text);
  // The attribute text of any stored object, each attribute with a leading blank.
  std::string WriteProperties(const core::TObject* obj, std::string_view prefix);
  // Applies an attribute text; references are queued until ResolveReferences.
  void ReadProperties(core::TObject* obj, std::string_view text);
  void ResolveReferences();
  void AddFixup(core::TObject* obj, const core::PropInfo* prop, std::string name);

  // The compact form: attributes where `obj` differs from `base` (full text without a base).
  std::string Diff(const TqdrComponent* obj, const TqdrComponent* base);

  const std::vector<std::string>& Errors() const { return errors_; }
  void AddError(const std::string& text);  // sorted, each once

 private:
  std::string ElementText(const TqdrComponent* c, bool withName);
  void WriteElement(TqdrComponent* c, TqdrXMLItem* item, bool saveChildren, bool top);
  void ReadElement(TqdrComponent* c, TqdrXMLItem* item, std::vector<TqdrComponent*>& read);
  void ApplyAttribute(core::TObject* obj, std::string_view name, std::string_view value);

  struct Fixup {
    core::TObject* obj;
    const core::PropInfo* prop;
    std::string name;
  };
  TqdrReport* owner_;
  std::vector<std::string> errors_;
  std::vector<Fixup> fixups_;
};

// Memo text of a template value: valid UTF-8 (up to four bytes per
// character), or empty.
std::string MemoTextFromXml(std::string_view utf8);

}  // namespace report
