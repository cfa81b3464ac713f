// Variant: the tagged value carried by datasets, report expressions and scripts.
// Numbers, dates and Booleans live inline; strings and arrays sit behind a
// reference-counted pointer, so copying a variant never copies text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class TObject;

// Type codes as scripts see them (VarType).
enum class VarType : uint16_t {
  Empty = 0,
  Null = 1,
  Smallint = 2,
  Integer = 3,
  Single = 4,
  Double = 5,
  Currency = 6,
  Date = 7,
  OleStr = 8,
  Dispatch = 9,
  Error = 10,
  Boolean = 11,
  Variant = 12,
  Unknown = 13,
  ShortInt = 16,
  Byte = 17,
  Word = 18,
  LongWord = 19,
  Int64 = 20,
  String = 256,
  Array = 8192,
};

// Currency: a fixed-point number with four decimals, held as value * 10000.
struct Currency {
  int64_t scaled = 0;
  static Currency FromDouble(double d);
  double ToDouble() const { return static_cast<double>(scaled) / 10000.0; }
  friend bool operator==(Currency a, Currency b) { return a.scaled == b.scaled; }
};

class Variant;

// Bounds of one array dimension, inclusive.
struct ArrayBound {
  int32_t low = 0;
  int32_t high = -1;
  int32_t Count() const { return high >= low ? high - low + 1 : 0; }
};

// The elements of a variant array, row-major over its dimensions.
struct VariantArrayData {
  VarType elementType = VarType::Variant;
  std::vector<ArrayBound> bounds;
  std::vector<Variant> items;
};

class Variant {
 public:
  Variant() noexcept : type_(VarType::Empty) { u_.i = 0; }
  Variant(bool b) noexcept : type_(VarType::Boolean) { u_.b = b; }
  Variant(int32_t i) noexcept : type_(VarType::Integer) { u_.i = i; }
  Variant(int64_t i) noexcept : type_(VarType::Int64) { u_.i = i; }
  Variant(double d) noexcept : type_(VarType::Double) { u_.d = d; }
  Variant(Currency c) noexcept : type_(VarType::Currency) { u_.i = c.scaled; }
  Variant(std::string_view s);
  Variant(const std::string& s) : Variant(std::string_view(s)) {}
  Variant(std::string&& s);
  Variant(const char* s) : Variant(std::string_view(s)) {}
  Variant(TObject* obj) noexcept : type_(VarType::Dispatch) { u_.obj = obj; }

  static Variant MakeNull() noexcept;
  static Variant MakeDate(double days) noexcept;
  static Variant MakeSingle(float f) noexcept;
  static Variant MakeSmallint(int16_t i) noexcept;
  static Variant MakeByte(uint8_t i) noexcept;
  static Variant MakeOleStr(std::string_view s);
  // An array with the given bounds per dimension, every element Empty.
  static Variant MakeArray(const std::vector<ArrayBound>& bounds,
                           VarType elementType = VarType::Variant);

  // Copies of numbers stay inline; only strings and arrays touch a counter.
  Variant(const Variant& other) noexcept : type_(other.type_), u_(other.u_) {
    if (other.OnHeap()) AddRef();
  }
  Variant(Variant&& other) noexcept : type_(other.type_), u_(other.u_) {
    other.type_ = VarType::Empty;
    other.u_.i = 0;
  }
  Variant& operator=(const Variant& other) noexcept;
  Variant& operator=(Variant&& other) noexcept;
  ~Variant() {
    if (OnHeap()) Release();
  }

  VarType Type() const noexcept { return type_; }
  bool IsEmpty() const noexcept { return type_ == VarType::Empty; }
  bool IsNull() const noexcept { return type_ == VarType::Null; }
  bool IsString() const noexcept { return type_ == VarType::String || type_ == VarType::OleStr; }
  bool IsArray() const noexcept { return type_ == VarType::Array; }
  bool IsObject() const noexcept { return type_ == VarType::Dispatch; }
  bool IsBoolean() const noexcept { return type_ == VarType::Boolean; }
  bool IsOrdinal() const noexcept;  // any integer type
  bool IsFloat() const noexcept;    // single, double, currency or date
  bool IsNumeric() const noexcept { return IsOrdinal() || IsFloat(); }

  // Raw access without conversion; valid only for the matching type.
  int64_t RawInt() const noexcept { return u_.i; }
  double RawDouble() const noexcept { return u_.d; }
  bool RawBool() const noexcept { return u_.b; }
  const std::string& RawString() const noexcept;
  TObject* RawObject() const noexcept { return u_.obj; }
  const VariantArrayData& RawArray() const noexcept;
  // Unshares the array so that it can be changed in place.
  VariantArrayData& MutableArray();

  // Conversions. Failures raise core::Error("Invalid variant type conversion").
  std::string ToString() const;  // Null and Empty give the empty text
  int32_t ToInt32() const;        // floats round to nearest, ties to even
  int64_t ToInt64() const;
  double ToDouble() const;
  Currency ToCurrency() const;
  bool ToBool() const;
  double ToDate() const { return ToDouble(); }

 private:
  struct StringRep;
  struct ArrayRep;
  bool OnHeap() const noexcept {
    return type_ == VarType::String || type_ == VarType::OleStr || type_ == VarType::Array;
  }
  void Release() noexcept;
  void AddRef() const noexcept;

  VarType type_;
  union {
    int64_t i;
    double d;
    bool b;
    StringRep* s;
    ArrayRep* a;
    TObject* obj;
  } u_;
};

// Text of a Boolean as variants convert it.
const char* BoolToText(bool b);

}  // namespace core
