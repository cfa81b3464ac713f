// Class information, the class registry and the variant conversions of property accessors.
#include "core/reflection.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "core/error.h"
#include "core/text_util.h"

namespace core {

std::string_view TObject::ClassName() const {
  const ClassInfo* info = ClassType();
  return info ? std::string_view(info->Name()) : std::string_view("TObject");
}

bool TObject::InheritsFrom(const ClassInfo* info) const {
  const ClassInfo* mine = ClassType();
  return mine && mine->InheritsFrom(info);
}

int EnumType::IndexOf(std::string_view member) const {
  for (size_t i = 0; i < members.size(); ++i)
    if (EqualsNoCase(members[i], member)) return static_cast<int>(i);
  return -1;
}

std::string_view EnumType::NameOf(int64_t value) const {
  if (value < 0 || value >= static_cast<int64_t>(members.size())) return {};
  return members[static_cast<size_t>(value)];
}

void PropInfo::Set(TObject* obj, const Variant& value) const {
  if (!set) throw Error("Property is read-only");
  set(*this, obj, value);
}

ClassInfo::ClassInfo(std::string name, const ClassInfo* parent)
    : name_(std::move(name)), parent_(parent) {}

bool ClassInfo::InheritsFrom(const ClassInfo* other) const {
  for (const ClassInfo* c = this; c; c = c->parent_)
    if (c == other) return true;
  return false;
}

void ClassInfo::Finish() {
  if (parent_) props_ = parent_->props_;
  for (const auto& own : own_) {
    auto same = std::find_if(props_.begin(), props_.end(),
                             [&](const PropInfo* p) { return EqualsNoCase(p->name, own->name); });
    if (same != props_.end())
      *same = own.get();
    else
      props_.push_back(own.get());
  }
  for (size_t i = 0; i < props_.size(); ++i) {
    // Inherited entries keep the index they have in the parent list, which is
    // the same position: re-declared ones take the slot they replace.
    if (props_[i]->owner == this) const_cast<PropInfo*>(props_[i])->index = static_cast<int>(i);
  }
  byName_ = props_;
  std::sort(byName_.begin(), byName_.end(), [](const PropInfo* a, const PropInfo* b) {
    return CompareNoCase(a->name, b->name) < 0;
  });
}

const PropInfo* ClassInfo::FindProperty(std::string_view name) const {
  auto it = std::lower_bound(
      byName_.begin(), byName_.end(), name,
      [](const PropInfo* p, std::string_view n) { return CompareNoCase(p->name, n) < 0; });
  if (it != byName_.end() && EqualsNoCase((*it)->name, name)) return *it;
  return nullptr;
}

namespace {

struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareNoCase(a, b) < 0; }
};

struct Registry {
  std::mutex lock;
  std::map<std::string, const ClassInfo*, NoCaseLess> classes;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;  // never destroyed: used until exit
  return *registry;
}

}  // namespace

const ClassInfo* FindClass(std::string_view name) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.classes.find(name);
  return it == r.classes.end() ? nullptr : it->second;
}

void RegisterClass(const ClassInfo* info) {
  if (!info) return;
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.classes.find(std::string_view(info->Name()));
  if (it != r.classes.end())
    it->second = info;
  else
    r.classes.emplace(info->Name(), info);
}

TObject* CreateObject(std::string_view name, TObject* owner) {
  const ClassInfo* info = FindClass(name);
  return info ? info->Create(owner) : nullptr;
}

std::vector<const ClassInfo*> RegisteredClasses() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  std::vector<const ClassInfo*> out;
  out.reserve(r.classes.size());
  for (const auto& [name, info] : r.classes) out.push_back(info);
  return out;
}

namespace reflection_detail {

int64_t EnumFromVariant(const Variant& v, const EnumType* type) {
  if (v.IsString() && type) {
    int index = type->IndexOf(TrimView(v.RawString()));
    if (index >= 0) return index;
  }
  return v.ToInt64();
}

TObject* ObjectFromVariant(const Variant& v) {
  if (v.IsObject()) return v.RawObject();
  if (v.IsEmpty() || v.IsNull()) return nullptr;
  ThrowConversionError();
}

}  // namespace reflection_detail

}  // namespace core
