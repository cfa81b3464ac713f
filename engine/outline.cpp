// Outline tree over the prepared pages document.
#include "engine/outline.h"

#include <functional>

#include "engine/preview_pages.h"
#include "report/xml_document.h"

namespace engine {

int IntProp(const report::TqdrXMLItem* item, const char* name) {
  try {
    return std::stoi(item->Prop(name));
  } catch (...) {
    return 0;
  }
}

report::TqdrXMLItem* TqdrOutline::Current() const {
  if (!current_) current_ = pages_->OutlineItem();
  return current_;
}

void TqdrOutline::AddItem(const std::string& text, int top) {
  report::TqdrXMLItem* item = Current()->Add();
  item->Name = "item";
  item->SetProp("text", text);
  item->SetProp("page", std::to_string(pages_->CurrentPage()));
  item->SetProp("top", std::to_string(top));
  current_ = item;
}

void TqdrOutline::LevelRoot() {
  current_ = pages_->OutlineItem();
}

void TqdrOutline::LevelUp() {
  report::TqdrXMLItem* cur = Current();
  if (cur != pages_->OutlineItem() && cur->Parent()) current_ = cur->Parent();
}

void TqdrOutline::LevelDown(int index) {
  report::TqdrXMLItem* cur = Current();
  if (index >= 0 && index < cur->Count()) current_ = cur->Items(index);
}

int TqdrOutline::ItemCount() const {
  return Current()->Count();
}

void TqdrOutline::GetItem(int index, std::string& text, int& page, int& top) const {
  report::TqdrXMLItem* cur = Current();
  if (index < 0 || index >= cur->Count()) return;
  report::TqdrXMLItem* item = cur->Items(index);
  text = item->Prop("text");
  page = IntProp(item, "page");
  top = IntProp(item, "top");
}

report::TqdrXMLItem* TqdrOutline::OutlinePosition() const {
  report::TqdrXMLItem* cur = Current();
  return cur->Count() ? cur->Items(cur->Count() - 1) : cur;
}

void TqdrOutline::ShiftOutline(report::TqdrXMLItem* position, int newTop) {
  if (!position || !position->Parent()) return;
  report::TqdrXMLItem* parent = position->Parent();
  int i = parent->IndexOf(position) + 1;
  if (i <= 0 || i >= parent->Count()) return;
  report::TqdrXMLItem* first = parent->Items(i);
  const int delta = newTop - IntProp(first, "top");
  std::function<void(report::TqdrXMLItem*)> shift = [&](report::TqdrXMLItem* item) {
    item->SetProp("page", std::to_string(IntProp(item, "page") + 1));
    item->SetProp("top", std::to_string(IntProp(item, "top") + delta));
    for (int k = 0; k < item->Count(); ++k) shift(item->Items(k));
  };
  shift(first);
}

}  // namespace engine
