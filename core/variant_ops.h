// Variant arithmetic and comparison: the rules every script and report
// expression relies on. Each operand is mapped to a class (Empty, Null,
// integer, real, currency, string, Boolean, date); the pair of classes picks
// how the operation is carried out.
#pragma once

#include <cstdint>

#include "core/variant.h"

namespace core {

enum class VarOp : uint8_t { Add, Sub, Mul, Div, IntDiv, Mod, Shl, Shr, And, Or, Xor };

// Binary operation; failures raise core::Error with the system's texts
// ("Invalid variant operation", "Invalid variant type conversion",
// "Division by zero", "Floating point division by zero", ...).
Variant VarOperation(const Variant& left, const Variant& right, VarOp op);

inline Variant VarAdd(const Variant& l, const Variant& r) {
  return VarOperation(l, r, VarOp::Add);
}
inline Variant VarSub(const Variant& l, const Variant& r) {
  return VarOperation(l, r, VarOp::Sub);
}
inline Variant VarMul(const Variant& l, const Variant& r) {
  return VarOperation(l, r, VarOp::Mul);
}
inline Variant VarDiv(const Variant& l, const Variant& r) {
  return VarOperation(l, r, VarOp::Div);
}

// Numeric negation by the value's class: Null stays Null, strings negate as reals.
Variant VarNeg(const Variant& v);
// Boolean negation; Null stays Null; anything else is the bitwise complement
// of its integer value.
Variant VarNot(const Variant& v);

// Three-way comparison (-1, 0, 1). Null equals Null and is less than every
// other value; strings compare byte by byte. Object references compare by
// address, nil (the integer 0) being the null reference.
int VarCompare(const Variant& left, const Variant& right);
inline bool VarEquals(const Variant& l, const Variant& r) {
  return VarCompare(l, r) == 0;
}

// 32-bit integer arithmetic of the both-integer fast path: wraps on
// overflow, "Division by zero" for div and mod by 0.
int32_t IntDivChecked(int32_t a, int32_t b);
int32_t IntModChecked(int32_t a, int32_t b);

}  // namespace core
