// Report variables: lookup by name, categories and the variables file.
#include <fstream>

#include "core/error.h"
#include "core/text_util.h"
#include "report/collections.h"
#include "report/component.h"
#include "report/serializer.h"
#include "report/xml_document.h"

namespace report {
namespace {

bool IsHeader(const std::string& name) {
  return !name.empty() && name[0] == ' ';
}

}  // namespace

core::Variant TqdrVariables::Variables(const std::string& name) const {
  int i = IndexOf(name);
  return i < 0 ? core::Variant::MakeNull() : Items(i)->Value();
}

void TqdrVariables::SetVariables(const std::string& name, const core::Variant& value) {
  int i = IndexOf(name);
  TqdrVariable* v = i < 0 ? AddItem() : Items(i);
  if (i < 0) v->SetName(name);
  v->SetValue(value);
}

void TqdrVariables::GetCategoriesList(std::vector<std::string>& list, bool clearFirst) const {
  if (clearFirst) list.clear();
  for (int i = 0; i < Count(); ++i)
    if (IsHeader(Items(i)->Name())) list.push_back(Items(i)->Name().substr(1));
}

void TqdrVariables::GetVariablesList(const std::string& category,
                                     std::vector<std::string>& list) const {
  list.clear();
  int i = 0;
  if (!category.empty()) {
    i = IndexOf(" " + category);
    if (i < 0) return;
    ++i;
  }
  for (; i < Count() && !IsHeader(Items(i)->Name()); ++i) list.push_back(Items(i)->Name());
}

void TqdrVariables::AddVariable(const std::string& category, const std::string& name,
                                const core::Variant& value) {
  int i = IndexOf(" " + category);
  if (i < 0) return;
  for (++i; i < Count() && !IsHeader(Items(i)->Name()); ++i) {
  }
  TqdrVariable* v = InsertItem(i);
  v->SetName(name);
  v->SetValue(value);
}

void TqdrVariables::DeleteCategory(const std::string& name) {
  int i = IndexOf(" " + name);
  if (i < 0) return;
  Delete(i);
  while (i < Count() && !IsHeader(Items(i)->Name())) Delete(i);
}

void TqdrVariables::DeleteVariable(const std::string& name) {
  Delete(IndexOf(name));
}

void TqdrVariables::SaveToStream(std::ostream& stream) const {
  TqdrXMLDocument doc;
  doc.AutoIndent = true;
  doc.Root()->Name = "variables";
  TqdrXMLSerializer serializer(nullptr);
  for (int i = 0; i < Count(); ++i) {
    TqdrXMLItem* item = doc.Root()->Add();
    item->Name = "item";
    item->Text = serializer.WriteProperties(Items(i), "").substr(1);
  }
  doc.SaveToStream(stream);
}

void TqdrVariables::LoadFromStream(std::istream& stream) {
  Clear();
  TqdrXMLDocument doc;
  doc.LoadFromStream(stream);
  if (!core::EqualsNoCase(doc.Root()->Name, "variables")) return;
  TqdrXMLSerializer serializer(nullptr);
  for (int i = 0; i < doc.Root()->Count(); ++i) {
    TqdrXMLItem* item = doc.Root()->Items(i);
    if (core::EqualsNoCase(item->Name, "item")) serializer.ReadProperties(AddItem(), item->Text);
  }
}

void TqdrVariables::SaveToFile(const std::string& fileName) const {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw core::Error("Cannot create file \"" + fileName + "\"");
  SaveToStream(out);
}

void TqdrVariables::LoadFromFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw core::Error("Cannot open file \"" + fileName + "\"");
  LoadFromStream(in);
}

}  // namespace report
