// Variant arithmetic and comparison by operand class.
#include "core/variant_ops.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "core/error.h"

namespace core {

namespace {

// Operand classes; the order is the row/column order of the kind table.
enum Cls : uint8_t { E, N, I, R, C, S, B, D };
// How a pair of classes is computed.
enum Kind : uint8_t { kErr, kNull, kInt, kReal, kCur, kStr, kBool, kDate };

constexpr Kind kKinds[8][8] = {
    /* E */ {kErr, kErr, kErr, kErr, kErr, kErr, kErr, kErr},
    /* N */ {kErr, kNull, kNull, kNull, kNull, kNull, kNull, kNull},
    /* I */ {kErr, kNull, kInt, kReal, kCur, kReal, kInt, kDate},
    /* R */ {kErr, kNull, kReal, kReal, kCur, kReal, kReal, kDate},
    /* C */ {kErr, kNull, kCur, kCur, kCur, kCur, kCur, kDate},
    /* S */ {kErr, kNull, kReal, kReal, kCur, kStr, kBool, kDate},
    /* B */ {kErr, kNull, kInt, kReal, kCur, kBool, kBool, kDate},
    /* D */ {kErr, kNull, kDate, kDate, kDate, kDate, kDate, kDate},
};

Cls ClassOf(const Variant& v) {
  switch (v.Type()) {
    case VarType::Null:
      return N;
    case VarType::Smallint:
    case VarType::Integer:
    case VarType::Byte:
    // Wider and unsigned integers come from database fields; they count as
    // integers rather than failing as unknown kinds.
    case VarType::ShortInt:
    case VarType::Word:
    case VarType::LongWord:
    case VarType::Int64:
      return I;
    case VarType::Single:
    case VarType::Double:
      return R;
    case VarType::Currency:
      return C;
    case VarType::String:
    case VarType::OleStr:
      return S;
    case VarType::Boolean:
      return B;
    case VarType::Date:
      return D;
    default:
      return E;
  }
}

[[noreturn]] void Fail(const char* text) {
  throw Error(text);
}

bool IsIntOp(VarOp op) {
  return op == VarOp::IntDiv || op == VarOp::Mod || op == VarOp::Shl || op == VarOp::Shr ||
         op == VarOp::And || op == VarOp::Or || op == VarOp::Xor;
}

bool Fits32(int64_t v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

Variant FromInt64(int64_t v) {
  if (Fits32(v)) return Variant(static_cast<int32_t>(v));
  return Variant(v);
}

double RealDivide(double a, double b) {
  if (b == 0.0) {
    if (a == 0.0 || std::isnan(a)) Fail("Invalid floating point operation");
    Fail("Floating point division by zero");
  }
  return a / b;
}

Variant RealArith(double a, double b, VarOp op) {
  switch (op) {
    case VarOp::Add:
      return Variant(a + b);
    case VarOp::Sub:
      return Variant(a - b);
    case VarOp::Mul:
      return Variant(a * b);
    case VarOp::Div:
      return Variant(RealDivide(a, b));
    default:
      break;
  }
  ThrowOperationError();
}

// Integer operations on values already converted to integers. Values inside
// the 32-bit range follow 32-bit rules (add, subtract and multiply that
// overflow become real arithmetic); wider values use 64 bits the same way.
Variant IntArith(int64_t a, int64_t b, VarOp op) {
  const bool narrow = Fits32(a) && Fits32(b);
  switch (op) {
    case VarOp::Add:
    case VarOp::Sub:
    case VarOp::Mul: {
      int64_t r;
      bool overflow;
      if (op == VarOp::Add)
        overflow = __builtin_add_overflow(a, b, &r);
      else if (op == VarOp::Sub)
        overflow = __builtin_sub_overflow(a, b, &r);
      else
        overflow = __builtin_mul_overflow(a, b, &r);
      if (narrow) {
        if (overflow || !Fits32(r))
          return RealArith(static_cast<double>(a), static_cast<double>(b), op);
        return Variant(static_cast<int32_t>(r));
      }
      if (overflow) return RealArith(static_cast<double>(a), static_cast<double>(b), op);
      return FromInt64(r);
    }
    case VarOp::Div:
      return Variant(RealDivide(static_cast<double>(a), static_cast<double>(b)));
    case VarOp::IntDiv:
      if (b == 0) Fail("Division by zero");
      if (b == -1)
        return FromInt64(narrow ? -static_cast<int64_t>(a)
                                : static_cast<int64_t>(0 - static_cast<uint64_t>(a)));
      return FromInt64(a / b);
    case VarOp::Mod:
      if (b == 0) Fail("Division by zero");
      if (b == -1) return Variant(int32_t{0});
      return FromInt64(a % b);
    case VarOp::Shl:
      if (narrow) return Variant(static_cast<int32_t>(static_cast<uint32_t>(a) << (b & 31)));
      return FromInt64(static_cast<int64_t>(static_cast<uint64_t>(a) << (b & 63)));
    case VarOp::Shr:
      // Logical shift, as on the platform's unsigned shift of a 32-bit register.
      if (narrow) return Variant(static_cast<int32_t>(static_cast<uint32_t>(a) >> (b & 31)));
      return FromInt64(static_cast<int64_t>(static_cast<uint64_t>(a) >> (b & 63)));
    case VarOp::And:
      return FromInt64(a & b);
    case VarOp::Or:
      return FromInt64(a | b);
    case VarOp::Xor:
      return FromInt64(a ^ b);
  }
  ThrowOperationError();
}

Variant AsInt(const Variant& l, const Variant& r, VarOp op) {
  return IntArith(l.ToInt64(), r.ToInt64(), op);
}

Variant AsReal(const Variant& l, const Variant& r, VarOp op) {
  if (IsIntOp(op)) return AsInt(l, r, op);
  return RealArith(l.ToDouble(), r.ToDouble(), op);
}

Currency CurrencyFrom(long double v) {
  long double scaled = std::nearbyint(v * 10000.0L);
  if (!(scaled >= -9.2233720368547758e18L && scaled <= 9.2233720368547758e18L))
    Fail("Integer overflow");
  return Currency{static_cast<int64_t>(scaled)};
}

long double CurrencyOperand(const Variant& v) {
  if (v.Type() == VarType::Currency) return static_cast<long double>(v.RawInt()) / 10000.0L;
  return static_cast<long double>(v.ToDouble());
}

Variant AsCurrency(const Variant& l, const Variant& r, VarOp op) {
  switch (op) {
    case VarOp::Add:
    case VarOp::Sub: {
      int64_t a = l.ToCurrency().scaled, b = r.ToCurrency().scaled, s;
      bool overflow =
          op == VarOp::Add ? __builtin_add_overflow(a, b, &s) : __builtin_sub_overflow(a, b, &s);
      if (overflow) Fail("Integer overflow");
      return Variant(Currency{s});
    }
    case VarOp::Mul:
      return Variant(CurrencyFrom(CurrencyOperand(l) * CurrencyOperand(r)));
    case VarOp::Div: {
      long double a = CurrencyOperand(l), b = CurrencyOperand(r);
      if (b == 0) {
        if (a == 0) Fail("Invalid floating point operation");
        Fail("Floating point division by zero");
      }
      return Variant(CurrencyFrom(a / b));
    }
    default:
      return AsInt(l, r, op);
  }
}

Variant AsString(const Variant& l, const Variant& r, VarOp op) {
  if (op == VarOp::Add) return Variant(l.RawString() + r.RawString());
  return AsReal(l, r, op);
}

Variant AsBool(const Variant& l, const Variant& r, VarOp op) {
  switch (op) {
    case VarOp::And:
      return Variant(l.ToBool() && r.ToBool());
    case VarOp::Or:
      return Variant(l.ToBool() || r.ToBool());
    case VarOp::Xor:
      return Variant(l.ToBool() != r.ToBool());
    default:
      return AsReal(l, r, op);
  }
}

Variant AsDate(const Variant& l, const Variant& r, VarOp op) {
  if (op == VarOp::Add) return Variant::MakeDate(l.ToDouble() + r.ToDouble());
  if (op == VarOp::Sub) {
    double d = l.ToDouble() - r.ToDouble();
    if (l.Type() == VarType::Date && r.Type() == VarType::Date) return Variant(d);
    return Variant::MakeDate(d);
  }
  return AsReal(l, r, op);
}

int Sign(double a, double b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

bool IsObjectLike(const Variant& v) {
  return v.IsObject() || v.IsOrdinal();
}

intptr_t ObjectAddress(const Variant& v) {
  if (v.IsObject()) return reinterpret_cast<intptr_t>(v.RawObject());
  return static_cast<intptr_t>(v.RawInt());
}

}  // namespace

Variant VarOperation(const Variant& left, const Variant& right, VarOp op) {
  switch (kKinds[ClassOf(left)][ClassOf(right)]) {
    case kErr:
      ThrowOperationError();
    case kNull:
      return Variant::MakeNull();
    case kInt:
      if (op == VarOp::Div) return RealArith(left.ToDouble(), right.ToDouble(), op);
      return AsInt(left, right, op);
    case kReal:
      return AsReal(left, right, op);
    case kCur:
      return AsCurrency(left, right, op);
    case kStr:
      return AsString(left, right, op);
    case kBool:
      return AsBool(left, right, op);
    case kDate:
      return AsDate(left, right, op);
  }
  ThrowOperationError();
}

Variant VarNeg(const Variant& v) {
  switch (ClassOf(v)) {
    case N:
      return v;
    case I: {
      int64_t i = v.RawInt();
      // -MinInt does not fit in 32 bits: real, like an overflowing subtraction.
      if (i == std::numeric_limits<int32_t>::min()) return Variant(-static_cast<double>(i));
      if (Fits32(i)) return Variant(static_cast<int32_t>(-i));
      if (i == std::numeric_limits<int64_t>::min()) return Variant(-static_cast<double>(i));
      return Variant(-i);
    }
    case R:
      return v.Type() == VarType::Single ? Variant::MakeSingle(static_cast<float>(-v.RawDouble()))
                                         : Variant(-v.RawDouble());
    case C:
      return Variant(Currency{-v.RawInt()});
    case D:
      return Variant::MakeDate(-v.RawDouble());
    case S:
      return Variant(-v.ToDouble());
    case B:
      return FromInt64(-v.ToInt64());
    case E:
      break;
  }
  ThrowOperationError();
}

Variant VarNot(const Variant& v) {
  if (v.IsBoolean()) return Variant(!v.RawBool());
  if (v.IsNull()) return v;
  if (v.Type() == VarType::Int64) return Variant(~v.RawInt());
  return Variant(static_cast<int32_t>(~v.ToInt32()));
}

int VarCompare(const Variant& left, const Variant& right) {
  // Object references are addresses; nil is the integer 0.
  if (left.IsObject() || right.IsObject()) {
    if (left.IsNull()) return right.IsNull() ? 0 : -1;
    if (right.IsNull()) return 1;
    if (!IsObjectLike(left) || !IsObjectLike(right)) ThrowOperationError();
    intptr_t a = ObjectAddress(left), b = ObjectAddress(right);
    return a < b ? -1 : (a > b ? 1 : 0);
  }
  Cls lc = ClassOf(left), rc = ClassOf(right);
  switch (kKinds[lc][rc]) {
    case kErr:
      ThrowOperationError();
    case kNull:
      return lc == rc ? 0 : (lc == N ? -1 : 1);
    case kInt: {
      int64_t a = left.ToInt64(), b = right.ToInt64();
      return a < b ? -1 : (a > b ? 1 : 0);
    }
    case kCur:
      if (lc == C && rc == C) {
        int64_t a = left.RawInt(), b = right.RawInt();
        return a < b ? -1 : (a > b ? 1 : 0);
      }
      return Sign(left.ToDouble(), right.ToDouble());
    case kReal:
    case kDate:
      return Sign(left.ToDouble(), right.ToDouble());
    case kStr: {
      // char_traits<char>::compare orders bytes as unsigned, like memcmp.
      int c = left.RawString().compare(right.RawString());
      return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case kBool: {
      bool a = left.ToBool(), b = right.ToBool();
      return a == b ? 0 : (a ? 1 : -1);
    }
  }
  ThrowOperationError();
}

int32_t IntDivChecked(int32_t a, int32_t b) {
  if (b == 0) Fail("Division by zero");
  if (b == -1) return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
  return a / b;
}

int32_t IntModChecked(int32_t a, int32_t b) {
  if (b == 0) Fail("Division by zero");
  if (b == -1) return 0;
  return a % b;
}

}  // namespace core
