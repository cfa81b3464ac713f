// The root of every object a variant can reference and a script can see.
// Class information (name, parent, published properties) is attached by the
// reflection layer; a plain TObject has none.
#pragma once

namespace core {

struct ClassInfo;

class TObject {
 public:
  virtual ~TObject() = default;
  // Reflection record of the object's most derived registered class, or null.
  virtual const ClassInfo* ClassType() const { return nullptr; }
};

}  // namespace core
