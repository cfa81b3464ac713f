// The report component tree: TqdrComponent (name, geometry, font inheritance,
// parent and children, name lookup, alignment) and the first levels of its
// class tree. Views, bands, pages and the report build on these.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/font.h"
#include "report/persistent.h"
#include "report/types.h"

class QPainter;

namespace report {

class TqdrBand;
class TqdrCustomMemoView;
class TqdrDataSet;
class TqdrReportComponent;
class TqdrStretcheable;
class TqdrView;
class TqdrPage;
class TqdrReport;

struct TqdrRect {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Base of everything in the tree. A component created with an owner becomes
// that owner's child (appended to its Objects) and is freed with it.
class TqdrComponent : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  explicit TqdrComponent(TqdrComponent* owner = nullptr);
  // Detaches from the parent, tells the components that refer to this one,
  // then frees the children.
  ~TqdrComponent() override;
  TqdrComponent(const TqdrComponent&) = delete;
  TqdrComponent& operator=(const TqdrComponent&) = delete;

  const std::string& Name() const { return name_; }
  // Raises the "prDupl" text when another component of the report has the name.
  virtual void SetName(const std::string& name);
  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }

  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  virtual void SetLeft(double v);
  virtual void SetTop(double v);
  virtual void SetWidth(double v);
  virtual void SetHeight(double v);
  void SetBounds(double left, double top, double width, double height);
  // Sums of Left/Top up to the first ancestor without a parent or that is a dialog page.
  double AbsLeft() const;
  double AbsTop() const;

  TqdrFont* Font() const { return font_.get(); }
  // Copies the font; ParentFont becomes false.
  virtual void SetFont(TqdrFont* font);
  bool ParentFont() const { return parentFont_; }
  // True copies the parent's font first.
  virtual void SetParentFont(bool v);
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v) { visible_ = v; }
  uint32_t Restrictions() const { return restrictions_; }
  void SetRestrictions(uint32_t v) { restrictions_ = v & 15; }

  TqdrComponent* Parent() const { return parent_; }
  virtual void SetParent(TqdrComponent* parent);
  const std::vector<TqdrComponent*>& Objects() const { return objects_; }
  // All descendants, depth first (each child, then its children); rebuilt on every call.
  const std::vector<TqdrComponent*>& AllObjects() const;
  // Frees the children.
  virtual void Clear();
  // Puts the children back in `order` (the same children, listed earlier).
  void RestoreObjectOrder(const std::vector<TqdrComponent*>& order);
  // Lists only `objects` (children of this component) for one output; the
  // caller puts the whole list back with RestoreObjectOrder.
  void ListObjectsForOutput(const std::vector<TqdrComponent*>& objects) { objects_ = objects; }

  // The nearest page / report among the component itself and its ancestors.
  TqdrPage* Page() const;
  TqdrReport* Report() const;
  // First object under the report (or under this component when it has no
  // report) named `name`, without regard to case.
  TqdrComponent* FindObject(std::string_view name) const;
  // BaseName followed by the first number that makes the name unique.
  void CreateUniqueName();
  // The class name without "Tqdr" and "View" ("Memo", "MasterData", "Page").
  std::string BaseName() const;
  // A display name for the designer.
  virtual std::string GetDescription() const;

  // Kind tests for hot loops: a failing dynamic_cast compares type names.
  virtual TqdrReportComponent* AsReportComponent() const { return nullptr; }
  virtual TqdrView* AsView() const { return nullptr; }
  virtual TqdrStretcheable* AsStretcheable() const { return nullptr; }
  virtual TqdrCustomMemoView* AsMemo() const { return nullptr; }
  virtual TqdrBand* AsBand() const { return nullptr; }
  virtual TqdrPage* AsPage() const { return nullptr; }
  virtual TqdrReport* AsReport() const { return nullptr; }
  // Dialog pages, their controls and non-visual components (datasets).
  virtual bool IsDialogObject() const { return false; }

  // Lays out children whose Align is not baNone.
  virtual void AlignChildren();
  // Called on every object of the report when a run starts.
  virtual void BeforeStartReport() {}
  // Called on every object read from a template (not the report) once the whole
  // tree is read and its references are resolved.
  virtual void Loaded() {}

  // Copies another component through the serializer: published properties
  // with defaults, without children (AssignAll: with children).
  void Assign(const TqdrPersistent* source) override;
  void AssignAll(const TqdrComponent* source);
  virtual void LoadFromStream(std::istream& stream);
  virtual void SaveToStream(std::ostream& stream, bool saveChildren = true,
                            bool saveDefaultValues = false);
  // The compact attribute text against `base` (see serializer.h).
  std::string Diff(const TqdrComponent* base) const;

  bool IsDesigning() const { return designing_; }
  void SetDesigning(bool v) { designing_ = v; }
  bool IsLoading() const { return loading_; }
  void SetLoading(bool v) { loading_ = v; }

  // The referenced dataset of views, data bands, pages and the report.
  TqdrDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TqdrDataSet* ds);
  // The bound dataset's UserName, or the stored name when none is bound.
  std::string DataSetName() const;
  // Stores the name and binds the dataset of that name, when one is found.
  void SetDataSetName(const std::string& name);

  // Free notification: `observer`'s Notification is called when this one is destroyed.
  void FreeNotification(TqdrComponent* observer);
  void RemoveFreeNotification(TqdrComponent* observer);

 protected:
  // The font's change notification: ParentFont off, children re-inherit.
  virtual void FontChanged();
  // A component this one referred to is being destroyed: clear the reference.
  virtual void Notification(TqdrComponent* removed);
  // Sets a reference member and keeps the free notifications right.
  template <class T>
  void SetReference(T*& member, T* value) {
    if (member == value) return;
    if (member) member->RemoveFreeNotification(this);
    member = value;
    if (member) member->FreeNotification(this);
  }

 private:
  void CollectAll(std::vector<TqdrComponent*>& out) const;

  std::string name_;
  int tag_ = 0;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::unique_ptr<TqdrFont> font_;
  bool parentFont_ = true;
  bool visible_ = true;
  uint32_t restrictions_ = 0;
  TqdrComponent* parent_ = nullptr;
  std::vector<TqdrComponent*> objects_;
  mutable std::vector<TqdrComponent*> allObjects_;
  bool designing_ = false;
  bool loading_ = false;
  bool destroying_ = false;
  TqdrDataSet* dataSet_ = nullptr;
  std::string dataSetName_;
  std::vector<TqdrComponent*> observers_;  // told when this one is destroyed
  std::vector<TqdrComponent*> observed_;   // this one is in their observers_
};

// Base of the objects that are printed or run.
class TqdrReportComponent : public TqdrComponent {
  CORE_DECLARE_CLASS()
 public:
  using TqdrComponent::TqdrComponent;
  const std::string& Description() const { return description_; }
  void SetDescription(const std::string& v) { description_ = v; }

  // Draws the object on a canvas; bands and non-visual components draw nothing.
  virtual void Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY);
  TqdrReportComponent* AsReportComponent() const override {
    return const_cast<TqdrReportComponent*>(this);
  }
  // Saves the bounds before the band engine prints the object; AfterPrint restores them.
  virtual void BeforePrint();
  virtual void AfterPrint();
  // Text of the object for export; empty for most objects.
  virtual std::string GetComponentText() const { return {}; }
  TqdrRect GetAbsoluteBounds() const;

 private:
  std::string description_;
  double savedLeft_ = 0, savedTop_ = 0, savedWidth_ = 0, savedHeight_ = 0;
};

// A non-visual object on a dialog page (datasets among them). Reads the
// `pLeft`/`pTop` entries of PropData.
class TqdrDialogComponent : public TqdrReportComponent {
  CORE_DECLARE_CLASS()
 public:
  using TqdrReportComponent::TqdrReportComponent;
  bool IsDialogObject() const override { return true; }
  bool ReadStoredEntry(const std::string& name, TqdrPropReader& reader,
                       TqdrXMLSerializer& serializer) override;
};

// Base of controls on dialog pages; no concrete control classes exist.
class TqdrDialogControl : public TqdrReportComponent {
  CORE_DECLARE_CLASS()
 public:
  using TqdrReportComponent::TqdrReportComponent;
  bool IsDialogObject() const override { return true; }
};

}  // namespace report
