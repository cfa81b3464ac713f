// TqdrOutline: the bookmark tree of prepared pages, kept as `item` elements
// (text, page, top) under the store's `outline` element.
#pragma once

#include <string>

namespace report {
class TqdrXMLItem;
}

namespace engine {

// An item's integer attribute (page, top); 0 when it is missing or not a number.
int IntProp(const report::TqdrXMLItem* item, const char* name);

class TqdrCustomPreviewPages;

class TqdrCustomOutline {
 public:
  virtual ~TqdrCustomOutline() = default;
  // Adds a child of the current item on the store's current page; it becomes current.
  virtual void AddItem(const std::string& text, int top) = 0;
  virtual void LevelRoot() = 0;
  virtual void LevelUp() = 0;
  virtual void LevelDown(int index) = 0;
  virtual int ItemCount() const = 0;
  // Leaves `page` and `top` unchanged when there is no such child.
  virtual void GetItem(int index, std::string& text, int& page, int& top) const = 0;
  virtual report::TqdrXMLItem* OutlinePosition() const = 0;
  // The item after `position` and everything under it move to the next page, top
  // shifted so the item lands at `newTop`.
  virtual void ShiftOutline(report::TqdrXMLItem* position, int newTop) = 0;
};

class TqdrOutline : public TqdrCustomOutline {
 public:
  explicit TqdrOutline(TqdrCustomPreviewPages* pages) : pages_(pages) {}
  void AddItem(const std::string& text, int top) override;
  void LevelRoot() override;
  void LevelUp() override;
  void LevelDown(int index) override;
  int ItemCount() const override;
  void GetItem(int index, std::string& text, int& page, int& top) const override;
  report::TqdrXMLItem* OutlinePosition() const override;
  void ShiftOutline(report::TqdrXMLItem* position, int newTop) override;
  // Forgets the current item (the store's tree was replaced).
  void Reset() { current_ = nullptr; }

 private:
  report::TqdrXMLItem* Current() const;

  TqdrCustomPreviewPages* pages_;
  mutable report::TqdrXMLItem* current_ = nullptr;
};

}  // namespace engine
