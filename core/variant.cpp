// Variant storage, copying and the conversions between its kinds.
#include "core/variant.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <new>

#include "core/date_time.h"
#include "core/error.h"
#include "core/float_text.h"
#include "core/text_util.h"

namespace core {

struct Variant::StringRep {
  std::atomic<uint32_t> refs{1};
  std::string text;
};

struct Variant::ArrayRep {
  std::atomic<uint32_t> refs{1};
  VariantArrayData data;
};

void ThrowConversionError() { throw Error("Invalid variant type conversion"); }
void ThrowOperationError() { throw Error("Invalid variant operation"); }

const char* BoolToText(bool b) { return b ? "True" : "False"; }

Currency Currency::FromDouble(double d) {
  double scaled = std::nearbyint(d * 10000.0);
  if (!(scaled >= -9.2233720368547758e18 && scaled <= 9.2233720368547758e18)) ThrowConversionError();
  return Currency{static_cast<int64_t>(scaled)};
}

Variant::Variant(std::string_view s) : type_(VarType::String) {
  u_.s = new StringRep;
  u_.s->text.assign(s.data(), s.size());
}

Variant::Variant(std::string&& s) : type_(VarType::String) {
  u_.s = new StringRep;
  u_.s->text = std::move(s);
}

Variant Variant::MakeNull() noexcept {
  Variant v;
  v.type_ = VarType::Null;
  return v;
}

Variant Variant::MakeDate(double days) noexcept {
  Variant v(days);
  v.type_ = VarType::Date;
  return v;
}

Variant Variant::MakeSingle(float f) noexcept {
  Variant v(static_cast<double>(f));
  v.type_ = VarType::Single;
  return v;
}

Variant Variant::MakeSmallint(int16_t i) noexcept {
  Variant v(static_cast<int32_t>(i));
  v.type_ = VarType::Smallint;
  return v;
}

Variant Variant::MakeByte(uint8_t i) noexcept {
  Variant v(static_cast<int32_t>(i));
  v.type_ = VarType::Byte;
  return v;
}

Variant Variant::MakeOleStr(std::string_view s) {
  Variant v(s);
  v.type_ = VarType::OleStr;
  return v;
}

Variant Variant::MakeArray(const std::vector<ArrayBound>& bounds, VarType elementType) {
  Variant v;
  v.type_ = VarType::Array;
  v.u_.a = new ArrayRep;
  v.u_.a->data.elementType = elementType;
  v.u_.a->data.bounds = bounds;
  size_t count = bounds.empty() ? 0 : 1;
  for (const ArrayBound& b : bounds) count *= static_cast<size_t>(b.Count());
  v.u_.a->data.items.resize(count);
  return v;
}

Variant& Variant::operator=(const Variant& other) noexcept {
  if (this != &other) {
    other.AddRef();
    Release();
    type_ = other.type_;
    u_ = other.u_;
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    Release();
    type_ = other.type_;
    u_ = other.u_;
    other.type_ = VarType::Empty;
    other.u_.i = 0;
  }
  return *this;
}

void Variant::AddRef() const noexcept {
  if (IsString())
    u_.s->refs.fetch_add(1, std::memory_order_relaxed);
  else if (type_ == VarType::Array)
    u_.a->refs.fetch_add(1, std::memory_order_relaxed);
}

void Variant::Release() noexcept {
  if (IsString()) {
    if (u_.s->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete u_.s;
  } else if (type_ == VarType::Array) {
    if (u_.a->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete u_.a;
  }
  type_ = VarType::Empty;
  u_.i = 0;
}

bool Variant::IsOrdinal() const noexcept {
  switch (type_) {
    case VarType::Smallint:
    case VarType::Integer:
    case VarType::ShortInt:
    case VarType::Byte:
    case VarType::Word:
    case VarType::LongWord:
    case VarType::Int64:
      return true;
    default:
      return false;
  }
}

bool Variant::IsFloat() const noexcept {
  return type_ == VarType::Single || type_ == VarType::Double || type_ == VarType::Currency ||
         type_ == VarType::Date;
}

const std::string& Variant::RawString() const noexcept {
  static const std::string empty;
  return IsString() ? u_.s->text : empty;
}

const VariantArrayData& Variant::RawArray() const noexcept {
  static const VariantArrayData empty;
  return type_ == VarType::Array ? u_.a->data : empty;
}

VariantArrayData& Variant::MutableArray() {
  if (type_ != VarType::Array) ThrowOperationError();
  if (u_.a->refs.load(std::memory_order_acquire) != 1) {
    ArrayRep* copy = new ArrayRep;
    copy->data = u_.a->data;
    Release();
    type_ = VarType::Array;
    u_.a = copy;
  }
  return u_.a->data;
}

std::string Variant::ToString() const {
  switch (type_) {
    case VarType::Empty:
    case VarType::Null:
      return std::string();
    case VarType::Boolean:
      return BoolToText(u_.b);
    case VarType::Single:
      return FloatToStr(u_.d, 7);
    case VarType::Double:
      return FloatToStr(u_.d);
    case VarType::Currency:
      return CurrToStr(Currency{u_.i});
    case VarType::Date:
      return DateTimeToStr(u_.d);
    case VarType::String:
    case VarType::OleStr:
      return u_.s->text;
    default:
      if (IsOrdinal()) return std::to_string(u_.i);
      ThrowConversionError();
  }
}

namespace {

int64_t RoundToInt64(double d) {
  double r = std::nearbyint(d);  // default rounding mode: ties to even
  if (!(r >= -9.2233720368547758e18 && r < 9.2233720368547758e18)) ThrowConversionError();
  return static_cast<int64_t>(r);
}

bool TextToBool(const std::string& s, bool& out) {
  std::string_view t = TrimView(s);
  if (EqualsNoCase(t, "true")) {
    out = true;
    return true;
  }
  if (EqualsNoCase(t, "false")) {
    out = false;
    return true;
  }
  return false;
}

}  // namespace

int64_t Variant::ToInt64() const {
  switch (type_) {
    case VarType::Empty:
      return 0;
    case VarType::Boolean:
      return u_.b ? -1 : 0;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return RoundToInt64(u_.d);
    case VarType::Currency:
      return RoundToInt64(static_cast<double>(u_.i) / 10000.0);
    case VarType::String:
    case VarType::OleStr: {
      double d;
      if (!TextToFloat(u_.s->text, d)) ThrowConversionError();
      return RoundToInt64(d);
    }
    default:
      if (IsOrdinal()) return u_.i;
      ThrowConversionError();
  }
}

int32_t Variant::ToInt32() const {
  if (type_ == VarType::Integer) return static_cast<int32_t>(u_.i);
  int64_t v = ToInt64();
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    ThrowConversionError();
  return static_cast<int32_t>(v);
}

double Variant::ToDouble() const {
  switch (type_) {
    case VarType::Empty:
      return 0.0;
    case VarType::Boolean:
      return u_.b ? -1.0 : 0.0;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return u_.d;
    case VarType::Currency:
      return static_cast<double>(u_.i) / 10000.0;
    case VarType::String:
    case VarType::OleStr: {
      double d;
      if (!TextToFloat(u_.s->text, d)) ThrowConversionError();
      return d;
    }
    default:
      if (IsOrdinal()) return static_cast<double>(u_.i);
      ThrowConversionError();
  }
}

Currency Variant::ToCurrency() const {
  if (type_ == VarType::Currency) return Currency{u_.i};
  if (IsOrdinal()) return Currency{u_.i * 10000};
  return Currency::FromDouble(ToDouble());
}

bool Variant::ToBool() const {
  switch (type_) {
    case VarType::Empty:
      return false;
    case VarType::Boolean:
      return u_.b;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return u_.d != 0.0;
    case VarType::Currency:
      return u_.i != 0;
    case VarType::String:
    case VarType::OleStr: {
      bool b;
      if (TextToBool(u_.s->text, b)) return b;
      double d;
      if (!TextToFloat(u_.s->text, d)) ThrowConversionError();
      return d != 0.0;
    }
    default:
      if (IsOrdinal()) return u_.i != 0;
      ThrowConversionError();
  }
}

}  // namespace core
