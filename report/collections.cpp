// Dataset items, variables and styles.
#include "report/collections.h"

#include <functional>

#include "core/text_util.h"
#include "report/component.h"
#include "report/dataset.h"
#include "report/frame.h"
#include "report/report.h"

namespace report {

namespace {

// Holds an item's dataset reference; when the dataset is freed the item is removed.
class DatasetLink : public TqdrComponent {
 public:
  DatasetLink() : TqdrComponent(nullptr) {}
  std::function<void()> onRemoved;

 protected:
  void Notification(TqdrComponent* removed) override {
    const bool mine = removed == DataSet();
    TqdrComponent::Notification(removed);
    if (mine && onRemoved) {
      std::function<void()> remove = onRemoved;
      remove();  // frees this link: nothing may touch it afterwards
    }
  }
};

}  // namespace

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrDatasetItem::StaticClass() {
  using I = TqdrDatasetItem;
  static const core::ClassInfo* info =
      core::ClassBuilder<I>("TqdrDatasetItem", nullptr)
          .Factory([](core::TObject*) -> core::TObject* { return new TqdrDatasetItem; })
          .Reference<&I::DataSet, &I::SetDataSet>("DataSet", TqdrDataSet::StaticClass())
          .String<&I::DataSetName, &I::SetDataSetName>("DataSetName")
          .Done();
  return info;
}

TqdrDatasetItem::~TqdrDatasetItem() = default;

TqdrReport* TqdrDatasetItem::Report() const {
  auto* list = dynamic_cast<TqdrReportDatasets*>(collection_);
  return list ? list->Report() : nullptr;
}

TqdrDataSet* TqdrDatasetItem::DataSet() const {
  return link_ ? link_->DataSet() : nullptr;
}

std::string TqdrDatasetItem::DataSetName() const {
  return link_ ? link_->DataSetName() : "";
}

static DatasetLink* EnsureLink(std::unique_ptr<TqdrComponent>& link, TqdrDatasetItem* item,
                               core::TCollection* collection) {
  if (!link) {
    auto l = std::make_unique<DatasetLink>();
    l->onRemoved = [item, collection] {
      auto* list = dynamic_cast<TqdrReportDatasets*>(collection);
      if (!list) return;
      for (int i = 0; i < list->Count(); ++i)
        if (list->Items(i) == item) {
          list->Delete(i);
          return;
        }
    };
    link = std::move(l);
  }
  return static_cast<DatasetLink*>(link.get());
}

void TqdrDatasetItem::SetDataSet(TqdrDataSet* ds) {
  EnsureLink(link_, this, collection_)->SetDataSet(ds);
}

void TqdrDatasetItem::SetDataSetName(const std::string& name) {
  DatasetLink* link = EnsureLink(link_, this, collection_);
  TqdrDataSet* ds = FindDataSetByName(link->DataSet(), name, Report());
  link->SetDataSetName(name);
  if (ds && ds != link->DataSet()) link->SetDataSet(ds);
}

void TqdrDatasetItem::Assign(const TqdrPersistent* source) {
  auto* s = dynamic_cast<const TqdrDatasetItem*>(source);
  if (!s || s == this) return;
  if (s->DataSet())
    SetDataSet(s->DataSet());
  else
    SetDataSetName(s->DataSetName());
}

void TqdrReportDatasets::InitializeAll() {
  for (int i = 0; i < Count(); ++i) {
    if (TqdrDataSet* ds = Items(i)->DataSet()) {
      ds->SetServedReport(report_);
      ds->Initialize();
    }
  }
}

void TqdrReportDatasets::FinalizeAll() {
  for (int i = 0; i < Count(); ++i)
    if (TqdrDataSet* ds = Items(i)->DataSet()) ds->Finalize();
}

void TqdrReportDatasets::AddDataSet(TqdrDataSet* ds) {
  if (!ds || Find(ds)) return;
  AddItem()->SetDataSet(ds);
}

TqdrDatasetItem* TqdrReportDatasets::Find(const TqdrDataSet* ds) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->DataSet() == ds) return Items(i);
  return nullptr;
}

TqdrDatasetItem* TqdrReportDatasets::Find(const std::string& userName) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->DataSet() && core::EqualsNoCase(Items(i)->DataSet()->UserName(), userName))
      return Items(i);
  return nullptr;
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrVariable::StaticClass() {
  using V = TqdrVariable;
  static const core::ClassInfo* info =
      core::ClassBuilder<V>("TqdrVariable", nullptr)
          .Factory([](core::TObject*) -> core::TObject* { return new TqdrVariable; })
          .String<&V::Name, &V::SetName>("Name")
          .VariantProp<&V::Value, &V::SetValue>("Value")
          .Done();
  return info;
}

void TqdrVariable::Assign(const TqdrPersistent* source) {
  auto* s = dynamic_cast<const TqdrVariable*>(source);
  if (!s || s == this) return;
  name_ = s->name_;
  value_ = s->value_;
}

int TqdrVariables::IndexOf(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (core::EqualsNoCase(Items(i)->Name(), name)) return i;
  return -1;
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrStyleItem::StaticClass() {
  using S = TqdrStyleItem;
  static const core::ClassInfo* info =
      core::ClassBuilder<S>("TqdrStyleItem", nullptr)
          .Factory([](core::TObject*) -> core::TObject* { return new TqdrStyleItem; })
          .String<&S::Name, &S::SetName>("Name")
          .Integer<&S::Color, &S::SetColor>("Color")
          .Object<&S::Font, &S::SetFont>("Font", TqdrFont::StaticClass())
          .Object<&S::Frame, &S::SetFrame>("Frame", TqdrFrame::StaticClass())
          .Done();
  return info;
}

TqdrStyleItem::TqdrStyleItem()
    : font_(std::make_unique<TqdrFont>()), frame_(std::make_unique<TqdrFrame>()) {}

TqdrStyleItem::~TqdrStyleItem() = default;

void TqdrStyleItem::SetFont(TqdrFont* f) {
  font_->Assign(f);
}
void TqdrStyleItem::SetFrame(TqdrFrame* f) {
  frame_->Assign(f);
}

void TqdrStyleItem::Assign(const TqdrPersistent* source) {
  auto* s = dynamic_cast<const TqdrStyleItem*>(source);
  if (!s || s == this) return;
  name_ = s->name_;
  color_ = s->color_;
  font_->Assign(s->font_.get());
  frame_->Assign(s->frame_.get());
}

TqdrStyleItem* TqdrStyles::Find(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (core::EqualsNoCase(Items(i)->Name(), name)) return Items(i);
  return nullptr;
}

}  // namespace report
