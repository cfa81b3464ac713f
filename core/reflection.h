// Run-time class information: a registry that creates classes by name and, per
// class, the ordered list of published properties with their kinds, declared
// defaults, stored rules and accessors. The template serializer and the script
// engine both work from it; nothing here knows about either.
//
// A class describes itself once, one builder call per property:
//
//   class TqdrMemoView : public TqdrCustomMemoView {
//     CORE_DECLARE_CLASS()
//    public:
//     double GapX() const; void SetGapX(double v); bool IsGapXStored() const;
//     ...
//   };
//
//   const core::ClassInfo* TqdrMemoView::StaticClass() {
//     static const core::ClassInfo* info =
//         core::ClassBuilder<TqdrMemoView>("TqdrMemoView", TqdrCustomMemoView::StaticClass())
//             .Factory<TqdrMemoView>()
//             .Float<&TqdrMemoView::GapX, &TqdrMemoView::SetGapX>("GapX")
//                 .StoredIf<&TqdrMemoView::IsGapXStored>()
//             .Enum<&TqdrMemoView::HAlign, &TqdrMemoView::SetHAlign>("HAlign", &kHAlignType)
//                 .Default(0)
//             .Done();
//     return info;
//   }
//
// and is made creatable by name with core::RegisterClass(TqdrMemoView::StaticClass()).
//
// Property order: the parent's list first, then the class's own properties in
// declaration order. A class that declares a property its parent already has
// (re-publishing it, for example with another default) replaces the inherited
// entry in place, so the property keeps the position it had in the parent.
//
// Values cross the accessors as core::Variant:
//   Integer      Variant Integer (int32) or Int64
//   Float        Variant Double (or Date for date-time values)
//   String       Variant String (UTF-8 text)
//   Boolean      Variant Boolean
//   Enumeration  Variant Integer: the ordinal; setters also accept a member name
//   Set          Variant Integer: bit mask, bit i = member i of the element enum
//   Class        Variant Dispatch (TObject*) or Empty when there is none
//   Event        Variant String: the name of a script procedure
//   Variant      any Variant
//   Collection   Variant Dispatch: the TCollection object
// Getters never throw for well-formed objects; setters raise core::Error with
// the class's own message when a value is refused (for example "Duplicate name").
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/object.h"
#include "core/variant.h"

namespace core {

class ClassInfo;

enum class PropKind : uint8_t {
  Integer,
  Float,
  String,
  Boolean,
  Enumeration,
  Set,
  Class,  // sub-object owned by the object (Font, Frame) or a reference (DataSet)
  Event,  // script procedure name, stored as a string
  Variant,
  Collection,  // a TCollection of items of PropInfo::classType
};

// Member names of an enumeration, in ordinal order; also the element type of a set.
struct EnumType {
  std::string name;                  // e.g. "TqdrAlign"
  std::vector<std::string> members;  // e.g. "baNone", "baLeft", ...
  // Ordinal of the member named `member` (case-insensitive), or -1.
  int IndexOf(std::string_view member) const;
  // Name of ordinal `value`, or empty when out of range.
  std::string_view NameOf(int64_t value) const;
};

using PropGetter = Variant (*)(const TObject*);
struct PropInfo;
// Setters get their property entry too, so that one setter serves every
// enumeration (member names are looked up in PropInfo::enumType).
using PropSetter = void (*)(const PropInfo&, TObject*, const Variant&);
using StoredRule = bool (*)(const TObject*);
using ObjectGetter = TObject* (*)(const TObject*);
// Creates an instance. `owner` may be null; for report components a non-null
// owner takes ownership of the new object (it joins the owner's tree), otherwise
// the caller owns it.
using ClassFactory = TObject* (*)(TObject* owner);

// Property flags (PropInfo::flags).
enum PropFlag : uint32_t {
  pfNone = 0,
  pfReference = 1u << 0,    // Class: a reference to another object, not an owned sub-object
  pfStringList = 1u << 1,   // Class: the sub-object is a string list (stored as Prefix.Text)
  pfWideStrings = 1u << 2,  // Class: a wide string list (a memo's Memo; stored as Text)
  pfDateTime = 1u << 3,     // Float: a date-time day number
  pfReadOnly = 1u << 4,     // no setter for scripts; sub-objects are still changed in place
};

// One published property.
struct PropInfo {
  std::string name;
  PropKind kind = PropKind::Integer;
  uint32_t flags = pfNone;
  const EnumType* enumType = nullptr;    // Enumeration: its members; Set: the element members
  const ClassInfo* classType = nullptr;  // Class: class of the value; Collection: item class
  bool hasDefault = false;               // ordinal kinds: whether `defaultValue` is declared
  int64_t defaultValue = 0;              // ordinal kinds: the declared default (Boolean: 0/1)
  StoredRule stored = nullptr;           // null: always stored
  PropGetter get = nullptr;
  PropSetter set = nullptr;          // null: read-only
  ObjectGetter object = nullptr;     // Class and Collection: the object itself (may be null)
  const ClassInfo* owner = nullptr;  // the class that declared this entry
  int index = -1;                    // position in the owner class's full list

  bool IsOrdinal() const {
    return kind == PropKind::Integer || kind == PropKind::Boolean ||
           kind == PropKind::Enumeration || kind == PropKind::Set;
  }
  bool IsStored(const TObject* obj) const { return stored == nullptr || stored(obj); }
  Variant Get(const TObject* obj) const { return get(obj); }
  // Raises core::Error("Property is read-only") when there is no setter.
  void Set(TObject* obj, const Variant& value) const;
  TObject* Object(const TObject* obj) const { return object ? object(obj) : nullptr; }
};

// Class information of one class. Built once by ClassBuilder, never changed
// afterwards, alive until the process ends.
class ClassInfo {
 public:
  ClassInfo(std::string name, const ClassInfo* parent);
  ClassInfo(const ClassInfo&) = delete;
  ClassInfo& operator=(const ClassInfo&) = delete;

  const std::string& Name() const { return name_; }
  const ClassInfo* Parent() const { return parent_; }
  bool CanCreate() const { return factory_ != nullptr; }
  // A new instance, or null for an abstract class (see ClassFactory for ownership).
  TObject* Create(TObject* owner = nullptr) const { return factory_ ? factory_(owner) : nullptr; }
  // True when this class is `other` or derives from it.
  bool InheritsFrom(const ClassInfo* other) const;

  // Published properties, inherited first, in file order.
  const std::vector<const PropInfo*>& Properties() const { return props_; }
  // Case-insensitive lookup by name: a binary search over a sorted index, no
  // linear scan. Null when the class has no such property.
  const PropInfo* FindProperty(std::string_view name) const;

 private:
  template <class C>
  friend class ClassBuilder;
  void Finish();

  std::string name_;
  const ClassInfo* parent_;
  ClassFactory factory_ = nullptr;
  std::vector<std::unique_ptr<PropInfo>> own_;  // entries this class declared
  std::vector<const PropInfo*> props_;          // full ordered list
  std::vector<const PropInfo*> byName_;         // props_ sorted by name, case-insensitive
};

// The process-wide class registry: finds and creates classes by name
// (case-insensitive). Registering a second class of the same name replaces the
// first. Safe to use from any thread.
const ClassInfo* FindClass(std::string_view name);
void RegisterClass(const ClassInfo* info);
// Creates an instance of the registered class `name`; null when unknown or abstract.
TObject* CreateObject(std::string_view name, TObject* owner = nullptr);
// All registered classes, sorted by name.
std::vector<const ClassInfo*> RegisteredClasses();

// A list of items all of one class (datasets, variables, styles of a report).
class TCollection : public TObject {
 public:
  virtual int Count() const = 0;
  virtual TObject* Item(int index) const = 0;
  // Appends a new default item and returns it (the collection owns it).
  virtual TObject* Add() = 0;
  virtual void Clear() = 0;
  virtual const ClassInfo* ItemClass() const = 0;
};

// ---------------------------------------------------------------------------
// Declaring classes.

// Inside a class body: declares StaticClass() and overrides TObject::ClassType().
// The class defines StaticClass() in its .cpp with a ClassBuilder.
#define CORE_DECLARE_CLASS()                            \
 public:                                                \
  static const ::core::ClassInfo* StaticClass();        \
  const ::core::ClassInfo* ClassType() const override { \
    return StaticClass();                               \
  }                                                     \
                                                        \
 private:

namespace reflection_detail {

// Traits of getter and setter member pointers.
template <class T>
struct MemberTraits;
template <class C, class R>
struct MemberTraits<R (C::*)() const> {
  using Value = std::remove_cvref_t<R>;
};
template <class C, class R>
struct MemberTraits<R (C::*)()> {
  using Value = std::remove_cvref_t<R>;
};
template <class C, class A>
struct MemberTraits<void (C::*)(A)> {
  using Value = std::remove_cvref_t<A>;
};

template <class T>
Variant ToVariant(const T& v) {
  if constexpr (std::is_same_v<T, Variant>) {
    return v;
  } else if constexpr (std::is_same_v<T, bool>) {
    return Variant(v);
  } else if constexpr (std::is_enum_v<T>) {
    return Variant(static_cast<int32_t>(v));
  } else if constexpr (std::is_integral_v<T> && sizeof(T) <= 4 && !std::is_same_v<T, uint32_t>) {
    return Variant(static_cast<int32_t>(v));
  } else if constexpr (std::is_integral_v<T>) {
    return Variant(static_cast<int64_t>(v));
  } else if constexpr (std::is_floating_point_v<T>) {
    return Variant(static_cast<double>(v));
  } else if constexpr (std::is_convertible_v<T, std::string_view>) {
    return Variant(std::string_view(v));
  } else if constexpr (std::is_pointer_v<T>) {
    return v ? Variant(static_cast<TObject*>(
                   const_cast<std::remove_const_t<std::remove_pointer_t<T>>*>(v)))
             : Variant();
  } else {
    static_assert(sizeof(T) == 0, "unsupported property type");
  }
}

// Enumeration ordinal from a variant holding a number or a member name.
int64_t EnumFromVariant(const Variant& v, const EnumType* type);
TObject* ObjectFromVariant(const Variant& v);

template <class T>
T FromVariant(const Variant& v, const EnumType* enumType) {
  if constexpr (std::is_same_v<T, Variant>) {
    return v;
  } else if constexpr (std::is_same_v<T, bool>) {
    return v.ToBool();
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<T>(EnumFromVariant(v, enumType));
  } else if constexpr (std::is_integral_v<T>) {
    return static_cast<T>(v.ToInt64());
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(v.ToDouble());
  } else if constexpr (std::is_same_v<T, std::string>) {
    return v.ToString();
  } else if constexpr (std::is_pointer_v<T>) {
    return dynamic_cast<T>(ObjectFromVariant(v));
  } else {
    static_assert(sizeof(T) == 0, "unsupported property type");
  }
}

template <class C, auto Get>
Variant Getter(const TObject* obj) {
  auto* self = const_cast<C*>(static_cast<const C*>(obj));
  return ToVariant((self->*Get)());
}

template <class C, auto Get>
TObject* ObjectOf(const TObject* obj) {
  auto* self = const_cast<C*>(static_cast<const C*>(obj));
  return (self->*Get)();
}

template <class C, auto Method>
bool Stored(const TObject* obj) {
  return (static_cast<const C*>(obj)->*Method)();
}

}  // namespace reflection_detail

// Builds the ClassInfo of class C (which must derive from TObject). Each
// property call adds one entry; Default, Stored, StoredIf and Flags refine the
// entry added last. Done() finishes the list and returns the class info, which
// lives for the rest of the process.
template <class C>
class ClassBuilder {
 public:
  ClassBuilder(std::string name, const ClassInfo* parent)
      : info_(new ClassInfo(std::move(name), parent)) {}

  // Makes the class creatable: `new C(owner)` with owner cast to C's owner type,
  // or `new C()` when C takes no owner.
  template <class Owner = TObject>
  ClassBuilder& Factory() {
    info_->factory_ = [](TObject* owner) -> TObject* {
      if constexpr (!std::is_constructible_v<C, Owner*>) {
        (void)owner;
        return new C();  // a class without an owner (sub-objects, items)
      } else if constexpr (std::is_same_v<Owner, TObject>) {
        return new C(owner);
      } else {
        return new C(dynamic_cast<Owner*>(owner));
      }
    };
    return *this;
  }
  ClassBuilder& Factory(ClassFactory f) {
    info_->factory_ = f;
    return *this;
  }

  // Getter: `T (C::*)() const`; setter: `void (C::*)(T)` / `(const T&)` or
  // nullptr for read-only. T fits the kind (see the table at the top).
  template <auto G, auto S = nullptr>
  ClassBuilder& Integer(std::string_view name) {
    return Add<G, S>(name, PropKind::Integer, nullptr);
  }
  template <auto G, auto S = nullptr>
  ClassBuilder& Float(std::string_view name) {
    return Add<G, S>(name, PropKind::Float, nullptr);
  }
  template <auto G, auto S = nullptr>
  ClassBuilder& String(std::string_view name) {
    return Add<G, S>(name, PropKind::String, nullptr);
  }
  template <auto G, auto S = nullptr>
  ClassBuilder& Boolean(std::string_view name) {
    return Add<G, S>(name, PropKind::Boolean, nullptr);
  }
  template <auto G, auto S = nullptr>
  ClassBuilder& Enum(std::string_view name, const EnumType* type) {
    return Add<G, S>(name, PropKind::Enumeration, type);
  }
  template <auto G, auto S = nullptr>
  ClassBuilder& Set(std::string_view name, const EnumType* elementType) {
    return Add<G, S>(name, PropKind::Set, elementType);
  }
  template <auto G, auto S = nullptr>
  ClassBuilder& Event(std::string_view name) {
    return Add<G, S>(name, PropKind::Event, nullptr);
  }
  template <auto G, auto S = nullptr>
  ClassBuilder& VariantProp(std::string_view name) {
    return Add<G, S>(name, PropKind::Variant, nullptr);
  }
  // An owned sub-object (Font, Frame, a string list); Get returns its pointer.
  // Set (optional) assigns another object of that class into it.
  template <auto G, auto S = nullptr>
  ClassBuilder& Object(std::string_view name, const ClassInfo* type, uint32_t flags = pfNone) {
    Add<G, S>(name, PropKind::Class, nullptr);
    last_->classType = type;
    last_->flags |= flags;
    last_->object = &reflection_detail::ObjectOf<C, G>;
    return *this;
  }
  // A reference to another object (a dataset, a band, a memo); Get returns it or null.
  template <auto G, auto S = nullptr>
  ClassBuilder& Reference(std::string_view name, const ClassInfo* type) {
    return Object<G, S>(name, type, pfReference);
  }
  template <auto G>
  ClassBuilder& Collection(std::string_view name, const ClassInfo* itemType) {
    Add<G, nullptr>(name, PropKind::Collection, nullptr);
    last_->classType = itemType;
    last_->object = &reflection_detail::ObjectOf<C, G>;
    last_->flags |= pfReadOnly;
    return *this;
  }
  // A property with hand-written accessors (plain functions or captureless lambdas).
  ClassBuilder& Custom(std::string_view name, PropKind kind, PropGetter get, PropSetter set,
                       const EnumType* enumType = nullptr) {
    auto p = NewProp(name, kind);
    p->get = get;
    p->set = set;
    p->enumType = enumType;
    if (!set) p->flags |= pfReadOnly;
    return *this;
  }

  // Refinements of the property added last.
  ClassBuilder& Default(int64_t value) {
    last_->hasDefault = true;
    last_->defaultValue = value;
    return *this;
  }
  ClassBuilder& Stored(StoredRule rule) {
    last_->stored = rule;
    return *this;
  }
  // Stored rule from a member `bool (C::*)() const`.
  template <auto Method>
  ClassBuilder& StoredIf() {
    last_->stored = &reflection_detail::Stored<C, Method>;
    return *this;
  }
  ClassBuilder& Flags(uint32_t flags) {
    last_->flags |= flags;
    return *this;
  }

  const ClassInfo* Done() {
    info_->Finish();
    return info_;
  }

 private:
  PropInfo* NewProp(std::string_view name, PropKind kind) {
    auto p = std::make_unique<PropInfo>();
    p->name = std::string(name);
    p->kind = kind;
    p->owner = info_;
    last_ = p.get();
    info_->own_.push_back(std::move(p));
    return last_;
  }

  template <auto G, auto S>
  ClassBuilder& Add(std::string_view name, PropKind kind, const EnumType* enumType) {
    PropInfo* p = NewProp(name, kind);
    p->enumType = enumType;
    p->get = &reflection_detail::Getter<C, G>;
    if constexpr (!std::is_null_pointer_v<decltype(S)>) {
      p->set = [](const PropInfo& prop, TObject* obj, const Variant& v) {
        using T = typename reflection_detail::MemberTraits<decltype(S)>::Value;
        (static_cast<C*>(obj)->*S)(reflection_detail::FromVariant<T>(v, prop.enumType));
      };
    } else {
      p->flags |= pfReadOnly;
    }
    return *this;
  }

  ClassInfo* info_;
  PropInfo* last_ = nullptr;
};

}  // namespace core
