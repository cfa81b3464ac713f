// The root of every object a variant can reference and a script can see.
// Class information (name, parent, published properties) is attached by the
// reflection layer (core/reflection.h); a plain TObject has none.
#pragma once

#include <string_view>

namespace core {

class ClassInfo;

class TObject {
 public:
  virtual ~TObject() = default;
  // Reflection record of the object's most derived registered class, or null.
  virtual const ClassInfo* ClassType() const { return nullptr; }
  // The class name from ClassType(), or "TObject" when the class has none.
  std::string_view ClassName() const;
  // True when the object's class is `info` or derives from it.
  bool InheritsFrom(const ClassInfo* info) const;
};

}  // namespace core
