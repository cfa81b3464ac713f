// Helpers: designator items that apply to the value the previous item
// produced — array elements, string characters, class properties, methods
// with host callbacks (also index properties) and event properties.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/custom_variable.h"

namespace core {
class ClassInfo;
struct PropInfo;
}  // namespace core

namespace sq {

class TsqScript;
class TsqMethodHelper;
class TsqCustomEvent;
class TsqProcVariable;

// Call-method form: arguments arrive as a variant array (indexes 0..n-1);
// elements of var parameters are copied back after the call.
using TsqCallMethodEvent =
    std::function<core::Variant(core::TObject* instance, const core::ClassInfo* classType,
                                const std::string& methodName, core::Variant& args)>;
// Helper form: the callback reads the parameters from the helper by index.
using TsqHelperMethodEvent =
    std::function<core::Variant(core::TObject* instance, const core::ClassInfo* classType,
                                const std::string& methodName, TsqMethodHelper& helper)>;
using TsqGetPropertyEvent = std::function<core::Variant(
    core::TObject* instance, const core::ClassInfo* classType, const std::string& propName)>;
using TsqSetPropertyEvent =
    std::function<void(core::TObject* instance, const core::ClassInfo* classType,
                       const std::string& propName, const core::Variant& value)>;

// The object a value refers to: an object reference, or null for nil (0),
// Null and Empty.
core::TObject* ObjectOf(const core::Variant& v);

class TsqCustomHelper : public TsqCustomVariable {
 public:
  using TsqCustomVariable::TsqCustomVariable;
  // Set by the designator before the helper is read or written.
  void SetContext(TsqCustomVariable* previous, core::Variant object, TsqScript* caller) {
    previous_ = previous;
    object_ = std::move(object);
    caller_ = caller;
  }
  TsqCustomVariable* Previous() const { return previous_; }
  const core::Variant& ObjectValue() const { return object_; }
  TsqScript* Caller() const { return caller_; }

 protected:
  TsqCustomVariable* previous_ = nullptr;
  core::Variant object_;
  TsqScript* caller_ = nullptr;
};

// Elements of an array value; the parameters are the indexes.
class TsqArrayHelper : public TsqCustomHelper {
 public:
  // `indexes` parameters, of which the first `required` have no default.
  TsqArrayHelper(std::string_view name, int indexes, int required, TsqTypeKind elementKind,
                 std::string_view elementType);
  core::Variant Value() override;
  void SetValue(const core::Variant& v) override;
  // Position of the element the first `count` index values select, checked
  // against the bounds ("Variant or safe array index out of bounds").
  static size_t ElementIndex(const core::VariantArrayData& data, const core::Variant* indexes,
                             int count);
};

// One character of a string value (1-based, counted in characters); the
// parameter is the index.
class TsqStringHelper : public TsqCustomHelper {
 public:
  explicit TsqStringHelper(std::string_view name = "__StringHelper");
  core::Variant Value() override;
  void SetValue(const core::Variant& v) override;
};

// A property of a class: a published property read through the class
// information, or one with get/set callbacks.
class TsqPropertyHelper : public TsqCustomHelper {
 public:
  TsqPropertyHelper(const core::PropInfo* prop, const core::ClassInfo* classRef);
  TsqPropertyHelper(std::string_view name, TsqTypeKind typ, std::string_view typeName,
                    const core::ClassInfo* classRef, TsqGetPropertyEvent onGet,
                    TsqSetPropertyEvent onSet);
  core::Variant Value() override;
  void SetValue(const core::Variant& v) override;
  const core::PropInfo* PropInfo() const { return prop_; }

 private:
  const core::PropInfo* prop_ = nullptr;
  const core::ClassInfo* classRef_ = nullptr;
  TsqGetPropertyEvent onGet_;
  TsqSetPropertyEvent onSet_;
};

// A function or method answered by the host; also the index properties of a
// class ("NAME.GET" / "NAME.SET").
class TsqMethodHelper : public TsqCustomHelper {
 public:
  TsqMethodHelper(TsqCallMethodEvent onCall, const core::ClassInfo* classRef);
  TsqMethodHelper(TsqHelperMethodEvent onHelper, const core::ClassInfo* classRef);

  core::Variant Value() override;
  void SetValue(const core::Variant& v) override;

  // Parameter values for helper-form callbacks; during an index-property
  // write, index ParamCount() is the value being written.
  core::Variant ParamValue(int i) const;
  void SetParamValue(int i, const core::Variant& v);

  bool IsIndexProperty() const { return isIndexProperty_; }
  // Call names become NAME.GET / NAME.SET; set after the name.
  void SetIsIndexProperty(bool v);
  const std::string& Category() const { return category_; }
  void SetCategory(std::string_view c) { category_ = std::string(c); }
  const std::string& Description() const { return description_; }
  void SetDescription(std::string_view d) { description_ = std::string(d); }
  const core::ClassInfo* ClassRef() const { return classRef_; }

 private:
  core::Variant Invoke(const std::string& name, const core::Variant* written);

  TsqCallMethodEvent onCall_;
  TsqHelperMethodEvent onHelper_;
  const core::ClassInfo* classRef_;
  const core::Variant* written_ = nullptr;
  std::string category_;
  std::string description_;
  std::string getName_, setName_;
  bool isIndexProperty_ = false;
};

// Adapts one kind of component event to a script procedure: creates the
// adapter for a component and a handler, and installs it (null uninstalls).
struct TsqEventClass {
  std::string name;
  std::function<std::unique_ptr<TsqCustomEvent>(core::TObject* instance, TsqProcVariable* handler)>
      create;
  std::function<void(core::TObject* instance, std::string_view eventName, TsqCustomEvent* adapter)>
      install;
};

// An event property of a class. Writing a procedure name installs an adapter
// that calls it; writing "0" (nil) clears the event; reading gives ''.
class TsqEventHelper : public TsqCustomHelper {
 public:
  TsqEventHelper(std::string_view name, const TsqEventClass* eventClass);
  core::Variant Value() override { return core::Variant(""); }
  void SetValue(const core::Variant& v) override;
  const TsqEventClass* EventClass() const { return eventClass_; }

 private:
  const TsqEventClass* eventClass_;
};

}  // namespace sq
