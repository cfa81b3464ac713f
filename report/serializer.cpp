// Template serializer: element form, attribute texts, references and the compact form.
#include "report/serializer.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <ostream>

#include "core/code_page.h"
#include "core/error.h"
#include "core/float_text.h"
#include "core/text_util.h"
#include "report/band.h"
#include "report/dataset.h"
#include "report/prop_stream.h"
#include "report/report.h"
#include "report/resources.h"
#include "report/view.h"
#include "report/xml_document.h"

namespace report {

namespace {

// Byte strings of templates are GBK; in memory everything is UTF-8.
std::string ToFile(std::string_view utf8) {
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) return core::Utf8ToGbk(utf8);
  return std::string(utf8);
}

std::string FromFile(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return core::GbkToUtf8(bytes);
  return std::string(bytes);
}

void AppendAttr(std::string& out, std::string_view prefix, std::string_view name,
                std::string_view value) {
  out += ' ';
  out.append(prefix).append(name).append("=\"").append(value).append("\"");
}

bool ParseInteger(std::string_view text, int64_t& out) {
  text = core::TrimView(text);
  if (text.empty()) return false;
  size_t i = 0;
  bool negative = false;
  if (text[0] == '-' || text[0] == '+') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i >= text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > 0xFFFFFFFFLL) return false;
  }
  out = negative ? -v : v;
  return true;
}

int64_t IntegerValue(std::string_view text) {
  int64_t v = 0;
  if (!ParseInteger(text, v))
    throw core::Error("'" + std::string(text) + "' is not a valid integer value");
  return v;
}

double FloatValue(std::string_view text) {
  std::string clean;
  for (char c : text)
    if (c != ' ') clean += c;
  double v = 0;
  if (!core::TextToFloatAnySeparator(clean, v))
    throw core::Error("'" + std::string(text) + "' is not a valid floating point value");
  return v;
}

}  // namespace

std::string MemoTextFromXml(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    // Four-byte sequences are accepted too: rejecting them would empty every
    // memo holding a character outside the basic plane (names such as 𨋢).
    size_t n = c < 0x80                   ? 1
               : (c & 0xE0) == 0xC0       ? 2
               : (c & 0xF0) == 0xE0       ? 3
               : (c >= 0xF0 && c <= 0xF4) ? 4
                                          : 0;
    if (n == 0 || i + n > s.size()) return {};
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return {};
    i += n;
  }
  return std::string(s);
}

TqdrXMLSerializer::TqdrXMLSerializer(TqdrReport* owner) : owner_(owner) {
  RegisterReportClasses();
}

void TqdrXMLSerializer::AddError(const std::string& text) {
  auto less = [](const std::string& a, const std::string& b) {
    return core::CompareNoCase(a, b) < 0;
  };
  auto it = std::lower_bound(errors_.begin(), errors_.end(), text, less);
  if (it != errors_.end() && core::EqualsNoCase(*it, text)) return;
  errors_.insert(it, text);
}

void TqdrXMLSerializer::AddFixup(core::TObject* obj, const core::PropInfo* prop, std::string name) {
  if (!name.empty()) fixups_.push_back({obj, prop, std::move(name)});
}

// ---------------------------------------------------------------------------
// Writing

std::string TqdrXMLSerializer::WriteProperties(const core::TObject* obj, std::string_view prefix) {
  std::string out;
  const core::ClassInfo* info = obj->ClassType();
  if (!info) return out;
  for (const core::PropInfo* p : info->Properties()) {
    if (!p->IsStored(obj)) continue;
    switch (p->kind) {
      case core::PropKind::Integer:
      case core::PropKind::Boolean:
      case core::PropKind::Enumeration:
      case core::PropKind::Set: {
        const core::Variant value = p->Get(obj);
        const int64_t v =
            p->kind == core::PropKind::Boolean ? (value.ToBool() ? 1 : 0) : value.ToInt64();
        if (!SaveDefaultValues && p->hasDefault && v == p->defaultValue) break;
        if (p->kind == core::PropKind::Boolean)
          AppendAttr(out, prefix, p->name, v ? "True" : "False");
        else if (p->kind == core::PropKind::Enumeration && p->enumType &&
                 !p->enumType->NameOf(v).empty())
          AppendAttr(out, prefix, p->name, p->enumType->NameOf(v));
        else
          AppendAttr(out, prefix, p->name, std::to_string(v));
        break;
      }
      case core::PropKind::Float:
        AppendAttr(out, prefix, p->name, core::FloatToStr(p->Get(obj).ToDouble()));
        break;
      case core::PropKind::String:
      case core::PropKind::Event: {
        std::string v = p->Get(obj).ToString();
        if (v.empty() && !SaveDefaultValues) break;
        AppendAttr(out, prefix, p->name, XmlEscape(ToFile(v)));
        break;
      }
      case core::PropKind::Variant:
        AppendAttr(out, prefix, p->name, XmlEscape(ToFile(p->Get(obj).ToString())));
        break;
      case core::PropKind::Class: {
        core::TObject* sub = p->Object(obj);
        if (p->flags & core::pfReference) {
          if (auto* c = dynamic_cast<TqdrComponent*>(sub))
            AppendAttr(out, prefix, p->name, XmlEscape(ToFile(c->Name())));
        } else if (p->flags & core::pfWideStrings) {
          // A memo's lines: written as its Text attribute.
        } else if (p->flags & core::pfStringList) {
          auto* list = dynamic_cast<TqdrStringList*>(sub);
          std::string name = p->name + ".Text";
          AppendAttr(out, prefix, name, list ? XmlEscape(ToFile(list->JoinedText())) : "");
        } else if (sub) {
          std::string subPrefix(prefix);
          subPrefix.append(p->name).append(".");
          out += WriteProperties(sub, subPrefix);
        }
        break;
      }
      case core::PropKind::Collection:
        break;  // stored in the owner's PropData
    }
  }
  if (prefix.empty())
    if (auto* memo = dynamic_cast<const TqdrCustomMemoView*>(obj))
      AppendAttr(out, "", "Text", XmlEscape(memo->Text()));
  if (auto* persistent = dynamic_cast<const TqdrPersistent*>(obj);
      persistent && persistent->HasStoredData()) {
    TqdrPropWriter writer;
    persistent->WriteStoredData(writer, *this);
    AppendAttr(out, prefix, "PropData", BytesToHex(writer.Bytes()));
  }
  return out;
}

std::string TqdrXMLSerializer::ElementText(const TqdrComponent* c, bool withName) {
  std::string text;
  if (withName) text = "Name=\"" + ToFile(c->Name()) + "\"";
  text += WriteProperties(c, "");
  if (!withName && !text.empty() && text[0] == ' ') text.erase(0, 1);
  return text;
}

void TqdrXMLSerializer::WriteElement(TqdrComponent* c, TqdrXMLItem* item, bool saveChildren,
                                     bool top) {
  item->Name = std::string(c->ClassName());
  item->Text = ElementText(c, !top);
  if (!saveChildren) return;
  for (TqdrComponent* child : c->Objects()) WriteElement(child, item->Add(), true, false);
}

void TqdrXMLSerializer::WriteRootComponent(TqdrComponent* c, std::ostream& stream,
                                           bool saveChildren, TqdrXMLItem* item) {
  if (item) {
    WriteElement(c, item, saveChildren, true);
    return;
  }
  TqdrXMLDocument doc;
  doc.AutoIndent = true;
  WriteElement(c, doc.Root(), saveChildren, true);
  doc.SaveToStream(stream);
}

std::string TqdrXMLSerializer::WriteComponentText(TqdrComponent* c) {
  return std::string(c->ClassName()) + " " + ElementText(c, true);
}

// ---------------------------------------------------------------------------
// Reading

void TqdrXMLSerializer::ApplyAttribute(core::TObject* obj, std::string_view name,
                                       std::string_view value) {
  if (name.size() == 1) {
    auto* c = dynamic_cast<TqdrComponent*>(obj);
    auto* memo = dynamic_cast<TqdrCustomMemoView*>(obj);
    switch (name[0]) {
      case 'l':
        if (c) return c->SetLeft(FloatValue(value));
        break;
      case 't':
        if (c) return c->SetTop(FloatValue(value));
        break;
      case 'w':
        if (c) return c->SetWidth(FloatValue(value));
        break;
      case 'h':
        if (c) return c->SetHeight(FloatValue(value));
        break;
      case 'u':
        if (memo) return memo->SetText(MemoTextFromXml(XmlUnescape(value)));
        break;
      case 'x':
        if (memo) return memo->SetText(core::GbkToUtf8(XmlUnescape(value)));
        break;
      default:
        break;
    }
  }
  core::TObject* cur = obj;
  size_t start = 0;
  for (size_t dot = name.find('.'); dot != std::string_view::npos;
       start = dot + 1, dot = name.find('.', start)) {
    const core::ClassInfo* info = cur->ClassType();
    const core::PropInfo* p = info ? info->FindProperty(name.substr(start, dot - start)) : nullptr;
    if (!p || p->kind != core::PropKind::Class || (p->flags & core::pfReference)) return;
    cur = p->Object(cur);
    if (!cur) return;
  }
  std::string_view last = name.substr(start);
  if (last == "text") {
    if (auto* list = dynamic_cast<TqdrStringList*>(cur)) {
      list->SetText(FromFile(XmlUnescape(value)));
      return;
    }
    if (auto* memo = dynamic_cast<TqdrCustomMemoView*>(cur)) {
      memo->SetText(MemoTextFromXml(XmlUnescape(value)));
      return;
    }
  }
  if (last == "propdata") {
    auto* persistent = dynamic_cast<TqdrPersistent*>(cur);
    if (!persistent) return;
    std::string bytes = HexToBytes(value);
    TqdrPropReader reader(bytes);
    try {
      while (!reader.AtEnd()) {
        std::string entry = reader.ReadName();
        if (entry.empty() || !persistent->ReadStoredEntry(entry, reader, *this)) break;
      }
    } catch (const core::Error&) {
      // A damaged entry ends the stream; what was read stays.
    }
    return;
  }
  const core::ClassInfo* info = cur->ClassType();
  const core::PropInfo* p = info ? info->FindProperty(last) : nullptr;
  if (!p || !p->set) {
    if (p && p->kind == core::PropKind::Class && (p->flags & core::pfReference))
      AddFixup(cur, p, FromFile(XmlUnescape(value)));
    return;
  }
  switch (p->kind) {
    case core::PropKind::Boolean:
    case core::PropKind::Enumeration: {
      int64_t v = 0;
      if (ParseInteger(value, v)) {
        p->Set(cur, core::Variant(static_cast<int32_t>(v)));
        return;
      }
      std::string_view member = core::TrimView(value);
      int index = -1;
      if (p->kind == core::PropKind::Boolean)
        index = core::EqualsNoCase(member, "True")    ? 1
                : core::EqualsNoCase(member, "False") ? 0
                                                      : -1;
      else if (p->enumType)
        index = p->enumType->IndexOf(member);
      if (index < 0) throw core::Error(Resources().Lookup("prInvProp"));
      p->Set(cur, core::Variant(static_cast<int32_t>(index)));
      return;
    }
    case core::PropKind::Float:
      p->Set(cur, core::Variant(FloatValue(value)));
      return;
    case core::PropKind::String:
    case core::PropKind::Event:
    case core::PropKind::Variant:
      p->Set(cur, core::Variant(FromFile(XmlUnescape(value))));
      return;
    case core::PropKind::Class:
      if (p->flags & core::pfReference) AddFixup(cur, p, FromFile(XmlUnescape(value)));
      return;
    case core::PropKind::Integer:
    case core::PropKind::Set:
      p->Set(cur, core::Variant(IntegerValue(value)));
      return;
    case core::PropKind::Collection:
      return;
  }
}

void TqdrXMLSerializer::ReadProperties(core::TObject* obj, std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t q = text.find('"', pos);
    if (q == std::string_view::npos) break;
    std::string name = core::LowerCase(core::TrimView(text.substr(pos, q - pos)));
    if (!name.empty() && name.back() == '=') name.pop_back();
    name = core::Trim(name);
    if (name.empty()) break;
    size_t q2 = text.find('"', q + 1);
    if (q2 == std::string_view::npos) q2 = text.size();
    try {
      ApplyAttribute(obj, name, text.substr(q + 1, q2 - q - 1));
    } catch (const std::exception& e) {
      AddError(e.what());
    }
    pos = q2 + 1;
  }
}

void TqdrXMLSerializer::ResolveReferences() {
  std::vector<Fixup> fixups = std::move(fixups_);
  fixups_.clear();
  for (const Fixup& f : fixups) {
    TqdrComponent* found = nullptr;
    try {
      if (owner_) found = owner_->FindObject(f.name);
      if (!found && owner_ && owner_->OnFindComponent) found = owner_->OnFindComponent(f.name);
      if (!found) found = FindDataSetComponent(f.name, owner_);
    } catch (const std::exception&) {
      throw core::Error("Missing " + f.name);
    }
    if (!found || (f.prop->classType && !found->InheritsFrom(f.prop->classType))) continue;
    try {
      f.prop->Set(f.obj, core::Variant(static_cast<core::TObject*>(found)));
    } catch (const std::exception& e) {
      AddError(e.what());
    }
  }
}

void TqdrXMLSerializer::ReadElement(TqdrComponent* c, TqdrXMLItem* item,
                                    std::vector<TqdrComponent*>& read) {
  c->SetLoading(true);
  read.push_back(c);
  ReadProperties(c, item->Text);
  for (int i = 0; i < item->Count(); ++i) {
    TqdrXMLItem* childItem = item->Items(i);
    const core::ClassInfo* info = core::FindClass(childItem->Name);
    if (!info || !info->CanCreate() || !info->InheritsFrom(TqdrComponent::StaticClass())) {
      AddError(Resources().Lookup("xrCantFindClass") + " " + childItem->Name);
      continue;
    }
    auto* child = static_cast<TqdrComponent*>(info->Create(c));
    ReadElement(child, childItem, read);
  }
}

void TqdrXMLSerializer::ReadRootComponent(TqdrComponent* c, std::istream& stream,
                                          TqdrXMLItem* item) {
  TqdrXMLDocument doc;
  if (!item) {
    doc.LoadFromStream(stream);
    item = doc.Root();
  }
  std::vector<TqdrComponent*> read;
  try {
    ReadElement(c, item, read);
    ResolveReferences();
  } catch (...) {
    for (TqdrComponent* obj : read) obj->SetLoading(false);
    throw;
  }
  for (TqdrComponent* obj : read) {
    obj->SetLoading(false);
    if (!dynamic_cast<TqdrReport*>(obj)) obj->Loaded();
  }
}

TqdrComponent* TqdrXMLSerializer::ReadComponentText(TqdrComponent* owner, std::string_view text) {
  size_t blank = text.find(' ');
  std::string className(text.substr(0, blank));
  const core::ClassInfo* info = core::FindClass(className);
  if (!info || !info->CanCreate() || !info->InheritsFrom(TqdrComponent::StaticClass())) {
    AddError(Resources().Lookup("xrCantFindClass") + " " + className);
    return nullptr;
  }
  auto* c = static_cast<TqdrComponent*>(info->Create(owner));
  c->SetLoading(true);
  if (blank != std::string_view::npos) ReadProperties(c, text.substr(blank + 1));
  ResolveReferences();
  c->SetLoading(false);
  if (!dynamic_cast<TqdrReport*>(c)) c->Loaded();
  return c;
}

void TqdrXMLSerializer::ReadPersistentText(TqdrPersistent* obj, std::string_view text) {
  ReadProperties(obj, text);
  ResolveReferences();
}

// ---------------------------------------------------------------------------
// Compact form

std::string TqdrXMLSerializer::Diff(const TqdrComponent* c, const TqdrComponent* base) {
  if (!base) return " " + ElementText(c, true);
  std::string out;
  auto f = [&](const char* name, double a, double b) {
    if (std::fabs(a - b) > 0.0001) AppendAttr(out, "", name, core::FloatToStr(a));
  };
  auto i = [&](const char* name, int64_t a, int64_t b) {
    if (a != b) AppendAttr(out, "", name, std::to_string(a));
  };
  auto s = [&](const char* name, const std::string& a, const std::string& b) {
    if (a != b) AppendAttr(out, "", name, XmlEscape(ToFile(a)));
  };
  const TqdrView* view = c->AsView();
  const TqdrView* baseView = base->AsView();
  const TqdrCustomMemoView* memo = c->AsMemo();
  const TqdrCustomMemoView* baseMemo = base->AsMemo();
  // Class tests through the class records: a failing dynamic_cast compares type names.
  const auto* pic = c->InheritsFrom(TqdrPictureView::StaticClass())
                        ? static_cast<const TqdrPictureView*>(c)
                        : nullptr;
  if (pic && pic->PictureChanged()) {
    TqdrPropWriter writer;
    pic->Picture()->WriteStoredData(writer, *this);
    if (!pic->Picture()->IsEmpty())
      AppendAttr(out, "", "Picture.PropData", BytesToHex(writer.Bytes()));
  }
  if (!view || view->Align() == TqdrAlign::baNone) f("l", c->Left(), base->Left());
  if (c->AsBand())
    AppendAttr(out, "", "t", core::FloatToStr(c->Top()));
  else
    f("t", c->Top(), base->Top());
  if (!memo || !memo->AutoWidth()) f("w", c->Width(), base->Width());
  f("h", c->Height(), base->Height());
  i("Visible", c->Visible(), base->Visible());
  if (!c->ParentFont()) {
    const TqdrFont* a = c->Font();
    const TqdrFont* b = base->Font();
    s("Font.Name", a->Name(), b->Name());
    i("Font.Size", a->Size(), b->Size());
    i("Font.Color", a->Color(), b->Color());
    i("Font.Style", a->Style(), b->Style());
    i("Font.Charset", a->Charset(), b->Charset());
  }
  i("ParentFont", c->ParentFont(), base->ParentFont());
  i("Tag", c->Tag(), base->Tag());
  if (view && baseView) {
    i("BrushStyle", static_cast<int>(view->BrushStyle()), static_cast<int>(baseView->BrushStyle()));
    i("Align", static_cast<int>(view->Align()), static_cast<int>(baseView->Align()));
    i("Color", view->Color(), baseView->Color());
    const TqdrFrame* a = view->Frame();
    const TqdrFrame* b = baseView->Frame();
    i("Frame.Color", a->Color(), b->Color());
    i("Frame.DropShadow", a->DropShadow(), b->DropShadow());
    i("Frame.ShadowColor", a->ShadowColor(), b->ShadowColor());
    f("Frame.ShadowWidth", a->ShadowWidth(), b->ShadowWidth());
    i("Frame.Style", static_cast<int>(a->Style()), static_cast<int>(b->Style()));
    i("Frame.Typ", a->Typ(), b->Typ());
    f("Frame.Width", a->Width(), b->Width());
    i("Cursor", view->Cursor(), baseView->Cursor());
    i("Printable", view->Printable(), baseView->Printable());
    s("TagStr", view->TagStr(), baseView->TagStr());
    s("URL", view->URL(), baseView->URL());
  }
  const auto* shape = c->InheritsFrom(TqdrShapeView::StaticClass())
                          ? static_cast<const TqdrShapeView*>(c)
                          : nullptr;
  const auto* baseShape = base->InheritsFrom(TqdrShapeView::StaticClass())
                              ? static_cast<const TqdrShapeView*>(base)
                              : nullptr;
  if (shape && baseShape)
    i("Shape", static_cast<int>(shape->Shape()), static_cast<int>(baseShape->Shape()));
  if (memo && baseMemo) {
    i("AutoWidth", memo->AutoWidth(), baseMemo->AutoWidth());
    f("CharSpacing", memo->CharSpacing(), baseMemo->CharSpacing());
    f("GapX", memo->GapX(), baseMemo->GapX());
    f("GapY", memo->GapY(), baseMemo->GapY());
    i("HAlign", static_cast<int>(memo->HAlign()), static_cast<int>(baseMemo->HAlign()));
    i("Highlight.Active", memo->Highlight()->Active(), baseMemo->Highlight()->Active());
    f("LineSpacing", memo->LineSpacing(), baseMemo->LineSpacing());
    AppendAttr(out, "", "u", XmlEscape(memo->Text()));
    f("ParagraphGap", memo->ParagraphGap(), baseMemo->ParagraphGap());
    i("Rotation", memo->Rotation(), baseMemo->Rotation());
    i("RTLReading", memo->RTLReading(), baseMemo->RTLReading());
    i("Underlines", memo->Underlines(), baseMemo->Underlines());
    i("VAlign", static_cast<int>(memo->VAlign()), static_cast<int>(baseMemo->VAlign()));
    i("WordWrap", memo->WordWrap(), baseMemo->WordWrap());
  }
  return out;
}

}  // namespace report
