// Component tree operations shared by every report component.
#include "report/component.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>
#include <sstream>

#include "core/error.h"
#include "core/text_util.h"
#include "report/dataset.h"
#include "report/page.h"
#include "report/prop_stream.h"
#include "report/report.h"
#include "report/resources.h"
#include "report/serializer.h"
#include "report/view.h"

namespace report {

namespace {

bool IsValidIdent(std::string_view s) {
  if (s.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(s[0])) return false;
  for (char c : s)
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

}  // namespace

const core::ClassInfo* TqdrComponent::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrComponent>("TqdrComponent", nullptr)
          // Written first by the element writer itself, never through the property list.
          .String<&TqdrComponent::Name, &TqdrComponent::SetName>("Name")
          .Stored([](const core::TObject*) { return false; })
          .Integer<&TqdrComponent::Tag, &TqdrComponent::SetTag>("Tag")
          .Default(0)
          .Done();
  return info;
}

TqdrComponent::TqdrComponent(TqdrComponent* owner) : font_(std::make_unique<TqdrFont>()) {
  font_->OnChange = [this] { FontChanged(); };
  if (owner) SetParent(owner);
}

TqdrComponent::~TqdrComponent() {
  destroying_ = true;
  if (parent_) {
    auto& siblings = parent_->objects_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
  }
  TqdrComponent::Clear();
  for (TqdrComponent* target : observed_) {
    auto& list = target->observers_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  observed_.clear();
  std::vector<TqdrComponent*> observers = std::move(observers_);
  for (TqdrComponent* o : observers) {
    auto& list = o->observed_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    o->Notification(this);
  }
  font_->OnChange = nullptr;
}

void TqdrComponent::FreeNotification(TqdrComponent* observer) {
  if (!observer || observer == this) return;
  if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end()) return;
  observers_.push_back(observer);
  observer->observed_.push_back(this);
}

void TqdrComponent::RemoveFreeNotification(TqdrComponent* observer) {
  auto it = std::find(observers_.begin(), observers_.end(), observer);
  if (it == observers_.end()) return;
  observers_.erase(it);
  auto& list = observer->observed_;
  auto jt = std::find(list.begin(), list.end(), this);
  if (jt != list.end()) list.erase(jt);
}

void TqdrComponent::Notification(TqdrComponent* removed) {
  if (removed == dataSet_) dataSet_ = nullptr;
}

void TqdrComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty()) {
    if (TqdrReport* report = Report()) {
      TqdrComponent* other = report->FindObject(name);
      if (other && other != this) throw core::Error(Resources().Lookup("prDupl"));
    }
    if (!IsValidIdent(name)) throw core::Error("'" + name + "' is not a valid component name");
  }
  name_ = name;
}

void TqdrComponent::SetLeft(double v) {
  if (designing_ && (restrictions_ & restriction::rfDontMove)) return;
  left_ = v;
}

void TqdrComponent::SetTop(double v) {
  if (designing_ && (restrictions_ & restriction::rfDontMove)) return;
  top_ = v;
}

void TqdrComponent::SetWidth(double v) {
  if (designing_ && (restrictions_ & restriction::rfDontSize)) return;
  width_ = v;
}

void TqdrComponent::SetHeight(double v) {
  if (designing_ && (restrictions_ & restriction::rfDontSize)) return;
  height_ = v;
}

void TqdrComponent::SetBounds(double left, double top, double width, double height) {
  SetLeft(left);
  SetTop(top);
  SetWidth(width);
  SetHeight(height);
}

double TqdrComponent::AbsLeft() const {
  double sum = left_;
  for (const TqdrComponent* c = this; c->parent_ && !dynamic_cast<const TqdrDialogPage*>(c);
       c = c->parent_)
    sum += c->parent_->left_;
  return sum;
}

double TqdrComponent::AbsTop() const {
  double sum = top_;
  for (const TqdrComponent* c = this; c->parent_ && !dynamic_cast<const TqdrDialogPage*>(c);
       c = c->parent_)
    sum += c->parent_->top_;
  return sum;
}

void TqdrComponent::SetFont(TqdrFont* font) {
  if (font) font_->Assign(font);
}

void TqdrComponent::SetParentFont(bool v) {
  // Copying the parent's font runs FontChanged, which also passes it on to the children.
  if (v && parent_) font_->Assign(parent_->font_.get());
  parentFont_ = v;
}

void TqdrComponent::FontChanged() {
  parentFont_ = false;
  for (TqdrComponent* child : objects_)
    if (child->parentFont_) child->SetParentFont(true);
}

void TqdrComponent::SetParent(TqdrComponent* parent) {
  if (parent == parent_ || parent == this) return;
  if (parent_) {
    auto& siblings = parent_->objects_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  parent_ = parent;
  if (parent_) {
    parent_->objects_.push_back(this);
    SetParentFont(parentFont_);
  }
}

void TqdrComponent::RestoreObjectOrder(const std::vector<TqdrComponent*>& order) {
  std::vector<TqdrComponent*> a = objects_, b = order;
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  if (a == b) objects_ = order;
}

void TqdrComponent::CollectAll(std::vector<TqdrComponent*>& out) const {
  for (TqdrComponent* child : objects_) {
    out.push_back(child);
    child->CollectAll(out);
  }
}

const std::vector<TqdrComponent*>& TqdrComponent::AllObjects() const {
  allObjects_.clear();
  CollectAll(allObjects_);
  return allObjects_;
}

void TqdrComponent::Clear() {
  while (!objects_.empty()) delete objects_.front();
}

TqdrPage* TqdrComponent::Page() const {
  for (const TqdrComponent* c = this; c; c = c->parent_)
    if (TqdrPage* p = c->AsPage()) return p;
  return nullptr;
}

TqdrReport* TqdrComponent::Report() const {
  for (const TqdrComponent* c = this; c; c = c->parent_)
    if (TqdrReport* r = c->AsReport()) return r;
  return nullptr;
}

namespace {
TqdrComponent* FindIn(const TqdrComponent* root, std::string_view name) {
  for (TqdrComponent* child : root->Objects()) {
    if (core::EqualsNoCase(child->Name(), name)) return child;
    if (TqdrComponent* found = FindIn(child, name)) return found;
  }
  return nullptr;
}
}  // namespace

TqdrComponent* TqdrComponent::FindObject(std::string_view name) const {
  // Depth first, each child before its children: the order of AllObjects.
  const TqdrComponent* root = Report();
  if (!root) root = this;
  return FindIn(root, name);
}

void TqdrComponent::CreateUniqueName() {
  const TqdrComponent* root = Report();
  if (!root) root = parent_;
  std::set<std::string, bool (*)(const std::string&, const std::string&)> names(
      [](const std::string& a, const std::string& b) { return core::CompareNoCase(a, b) < 0; });
  if (root)
    for (TqdrComponent* c : root->AllObjects()) names.insert(c->Name());
  std::string base = BaseName();
  for (int i = 1;; ++i) {
    std::string candidate = base + std::to_string(i);
    if (!names.count(candidate)) {
      name_ = candidate;
      return;
    }
  }
}

std::string TqdrComponent::BaseName() const {
  if (dynamic_cast<const TqdrReportPage*>(this)) return "Page";
  std::string name(ClassName());
  if (dynamic_cast<const TqdrDialogControl*>(this)) {
    size_t control = name.find("Control");
    if (control != std::string::npos) name.erase(control, 7);
  }
  if (core::StartsWithNoCase(name, "Tqdr")) name.erase(0, 4);
  size_t at = name.find("View");
  if (at != std::string::npos) name.erase(at, 4);
  return name;
}

std::string TqdrComponent::GetDescription() const {
  return std::string(ClassName());
}

void TqdrComponent::AlignChildren() {
  std::vector<std::pair<std::string, TqdrView*>> list;
  for (TqdrComponent* c : objects_) {
    auto* v = dynamic_cast<TqdrView*>(c);
    if (!v) continue;
    char key[64];
    if (v->Left() >= 0)
      std::snprintf(key, sizeof key, "1%9.2f", v->Left());
    else
      std::snprintf(key, sizeof key, "0%9.2f", -v->Left());
    list.emplace_back(key, v);
  }
  std::stable_sort(list.begin(), list.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  auto overlaps = [](const TqdrView* a, const TqdrView* b) {
    return !(b->AbsTop() >= a->AbsTop() + a->Height() - 1e-4 ||
             a->AbsTop() >= b->AbsTop() + b->Height() - 1e-4);
  };
  const int n = static_cast<int>(list.size());
  for (int i = 0; i < n; ++i) {
    TqdrView* v = list[static_cast<size_t>(i)].second;
    if (v->Align() != TqdrAlign::baLeft && v->Align() != TqdrAlign::baWidth) continue;
    TqdrView* found = nullptr;
    for (int j = i - 1; j >= 0; --j) {
      TqdrView* c = list[static_cast<size_t>(j)].second;
      if (v->Align() == TqdrAlign::baWidth && c->Left() > v->Left()) continue;
      if (overlaps(v, c)) {
        found = c;
        break;
      }
    }
    v->SetLeft(found ? found->Left() + found->Width() : 0);
  }
  for (int i = n - 1; i >= 0; --i) {
    TqdrView* v = list[static_cast<size_t>(i)].second;
    if (v->Align() != TqdrAlign::baRight && v->Align() != TqdrAlign::baWidth) continue;
    TqdrView* found = nullptr;
    for (int j = i + 1; j < n; ++j) {
      TqdrView* c = list[static_cast<size_t>(j)].second;
      if (v->Align() == TqdrAlign::baWidth && c->Left() + c->Width() < v->Left() + v->Width())
        continue;
      if (overlaps(v, c)) {
        found = c;
        break;
      }
    }
    double x = found ? found->Left() : Width();
    if (v->Align() == TqdrAlign::baRight)
      v->SetLeft(x - v->Width());
    else
      v->SetWidth(x - v->Left());
  }
  for (TqdrComponent* c : objects_) {
    auto* v = dynamic_cast<TqdrView*>(c);
    if (!v) continue;
    switch (v->Align()) {
      case TqdrAlign::baCenter:
        v->SetLeft((Width() - v->Width()) / 2);
        break;
      case TqdrAlign::baBottom:
        v->SetTop(Height() - v->Height());
        break;
      case TqdrAlign::baClient:
        v->SetBounds(0, 0, Width(), Height());
        break;
      case TqdrAlign::baNone:
      case TqdrAlign::baLeft:
      case TqdrAlign::baRight:
      case TqdrAlign::baWidth:
        break;
    }
  }
}

void TqdrComponent::Assign(const TqdrPersistent* source) {
  auto* c = dynamic_cast<const TqdrComponent*>(source);
  if (!c || c == this) return;
  std::stringstream stream;
  const_cast<TqdrComponent*>(c)->SaveToStream(stream, false, true);
  stream.seekg(0);
  LoadFromStream(stream);
}

void TqdrComponent::AssignAll(const TqdrComponent* source) {
  if (!source || source == this) return;
  std::stringstream stream;
  const_cast<TqdrComponent*>(source)->SaveToStream(stream, true, true);
  stream.seekg(0);
  LoadFromStream(stream);
}

void TqdrComponent::LoadFromStream(std::istream& stream) {
  const std::string savedName = name_;
  name_.clear();
  Clear();
  TqdrReport* report = Report();
  TqdrXMLSerializer serializer(report);
  TqdrXMLSerializer* previous = report ? report->ActiveSerializer() : nullptr;
  if (report) report->SetActiveSerializer(&serializer);
  // One library-wide lock for loads of reports whose thread-safe switch is on.
  static std::mutex loadLock;
  std::unique_lock<std::mutex> guard(loadLock, std::defer_lock);
  if (report && report->EngineOptions()->UseThreadSafe()) guard.lock();
  try {
    serializer.ReadRootComponent(this, stream);
  } catch (...) {
    if (report) {
      report->AddErrors(serializer.Errors());
      report->SetActiveSerializer(previous);
    }
    name_ = savedName;
    throw;
  }
  if (report) {
    report->AddErrors(serializer.Errors());
    report->SetActiveSerializer(previous);
  }
  name_ = savedName;
}

void TqdrComponent::SaveToStream(std::ostream& stream, bool saveChildren, bool saveDefaultValues) {
  TqdrXMLSerializer serializer(Report());
  serializer.SaveDefaultValues = saveDefaultValues;
  serializer.WriteRootComponent(this, stream, saveChildren);
}

std::string TqdrComponent::Diff(const TqdrComponent* base) const {
  return TqdrXMLSerializer(Report()).Diff(this, base);
}

void TqdrComponent::SetDataSet(TqdrDataSet* ds) {
  SetReference(dataSet_, ds);
  dataSetName_ = ds ? ds->UserName() : std::string();
}

std::string TqdrComponent::DataSetName() const {
  return dataSet_ ? dataSet_->UserName() : dataSetName_;
}

void TqdrComponent::SetDataSetName(const std::string& name) {
  dataSetName_ = name;
  SetReference(dataSet_, FindDataSetByName(dataSet_, name, Report()));
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrReportComponent::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrReportComponent>("TqdrReportComponent", TqdrComponent::StaticClass())
          .String<&TqdrReportComponent::Description, &TqdrReportComponent::SetDescription>(
              "Description")
          .Done();
  return info;
}

void TqdrReportComponent::Draw(QPainter&, double, double, double, double) {}

void TqdrReportComponent::BeforePrint() {
  savedLeft_ = Left();
  savedTop_ = Top();
  savedWidth_ = Width();
  savedHeight_ = Height();
}

void TqdrReportComponent::AfterPrint() {
  SetLeft(savedLeft_);
  SetTop(savedTop_);
  SetWidth(savedWidth_);
  SetHeight(savedHeight_);
}

TqdrRect TqdrReportComponent::GetAbsoluteBounds() const {
  return {AbsLeft(), AbsTop(), AbsLeft() + Width(), AbsTop() + Height()};
}

const core::ClassInfo* TqdrDialogComponent::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrDialogComponent>("TqdrDialogComponent",
                                              TqdrReportComponent::StaticClass())
          .Done();
  return info;
}

bool TqdrDialogComponent::ReadStoredEntry(const std::string& name, TqdrPropReader& reader,
                                          TqdrXMLSerializer& serializer) {
  if (core::EqualsNoCase(name, "pLeft")) {
    SetLeft(static_cast<double>(reader.ReadInteger()));
    return true;
  }
  if (core::EqualsNoCase(name, "pTop")) {
    SetTop(static_cast<double>(reader.ReadInteger()));
    return true;
  }
  return TqdrReportComponent::ReadStoredEntry(name, reader, serializer);
}

const core::ClassInfo* TqdrDialogControl::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrDialogControl>("TqdrDialogControl", TqdrReportComponent::StaticClass())
          .Done();
  return info;
}

}  // namespace report
