// Type kinds of script variables, operands and expression nodes, their names
// in messages, and the compatibility rule of operators, assignments and
// arguments.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sq {

class TsqScript;

enum TsqTypeKind : uint8_t {
  stInt = 0,
  stBool = 1,
  stFloat = 2,
  stChar = 3,
  stString = 4,
  stClass = 5,
  stArray = 6,
  stVariant = 7,
  stEnum = 8,
  stConstructor = 9,
};

// "Integer", "Boolean", "Extended", ...; classes and enumerations give their
// type name.
std::string TypeKindName(TsqTypeKind kind, std::string_view typeName);

// Whether a value of kind `r` (type name `rName`) is accepted where `l` is
// expected. `assignment` additionally refuses a float into an integer.
// Class names are checked against the classes registered in `script`.
bool TypesCompatible(TsqTypeKind l, std::string_view lName, TsqTypeKind r, std::string_view rName,
                     const TsqScript* script, bool assignment);

}  // namespace sq
