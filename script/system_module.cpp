// The system module's registrations and function bodies.
#include "script/system_module.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "core/date_time.h"
#include "core/error.h"
#include "core/float_text.h"
#include "core/text_util.h"
#include "core/variant_ops.h"
#include "script/format_text.h"
#include "script/helpers.h"
#include "script/parser.h"
#include "script/script.h"
#include "script/utf8_text.h"

namespace sq {

namespace {

uint32_t& Seed() {
  static uint32_t seed = 0;
  return seed;
}

TsqShowMessageHandler& ShowHandler() {
  static TsqShowMessageHandler handler;
  return handler;
}

using Fn = core::Variant (*)(TsqMethodHelper& h);

core::Variant P(TsqMethodHelper& h, int i) {
  return h.ParamValue(i);
}
std::string S(TsqMethodHelper& h, int i) {
  return h.ParamValue(i).ToString();
}
int32_t I(TsqMethodHelper& h, int i) {
  return h.ParamValue(i).ToInt32();
}
double F(TsqMethodHelper& h, int i) {
  return h.ParamValue(i).ToDouble();
}

int32_t ToInt32Checked(double v) {
  if (!(v >= -2147483648.0 && v <= 2147483647.0)) throw core::Error("Invalid floating point operation");
  return static_cast<int32_t>(v);
}

// Character-counted substring, 1-based, clipped to the text.
std::string CopyChars(const std::string& s, int64_t from, int64_t count) {
  if (count <= 0) return std::string();
  if (from < 1) from = 1;
  size_t start, len;
  if (!Utf8CharRange(s, static_cast<size_t>(from), start, len)) return std::string();
  size_t end = start;
  for (int64_t k = 0; k < count && end < s.size(); ++k) {
    size_t st, ln;
    if (!Utf8CharRange(std::string_view(s).substr(end), 1, st, ln)) break;
    end += ln;
  }
  return s.substr(start, end - start);
}

size_t CharOffset(const std::string& s, int64_t index) {
  // Byte offset of character `index` (1-based); the end for indexes past it.
  if (index <= 1) return 0;
  size_t start, len;
  if (!Utf8CharRange(s, static_cast<size_t>(index), start, len)) return s.size();
  return start;
}

core::Variant DeleteChars(TsqMethodHelper& h) {
  std::string s = S(h, 0);
  const int64_t from = I(h, 1), count = I(h, 2);
  if (from >= 1 && count > 0 && static_cast<size_t>(from) <= Utf8Length(s)) {
    size_t a = CharOffset(s, from);
    size_t b = CharOffset(s, from + count);
    s.erase(a, b - a);
  }
  h.SetParamValue(0, core::Variant(s));
  return core::Variant();
}

uint32_t FirstCode(const std::string& s) {
  if (s.empty()) return 0;
  const unsigned char c = static_cast<unsigned char>(s[0]);
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  if (extra == 0 || s.size() <= static_cast<size_t>(extra)) return c;
  uint32_t code = c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) code = (code << 6) | (static_cast<unsigned char>(s[static_cast<size_t>(k)]) & 0x3F);
  return code;
}

double EncodeDateChecked(int y, int m, int d) {
  if (!core::IsValidDate(y, m, d)) throw core::Error("Invalid argument to date encode");
  return core::EncodeDate(y, m, d);
}

bool IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

struct Entry {
  const char* declaration;
  const char* category;
  Fn fn;
};

const Entry kFunctions[] = {
    // Conversions.
    {"function IntToStr(i: Integer): String", "ctConv",
     [](TsqMethodHelper& h) { return core::Variant(std::to_string(P(h, 0).ToInt64())); }},
    {"function FloatToStr(e: Extended): String", "ctConv",
     [](TsqMethodHelper& h) {
       return core::Variant(core::FloatToStrSep(F(h, 0), core::FormatSettings().DecimalSeparator));
     }},
    {"function DateToStr(e: Extended): String", "ctConv",
     [](TsqMethodHelper& h) { return core::Variant(core::DateToStr(F(h, 0))); }},
    {"function TimeToStr(e: Extended): String", "ctConv",
     [](TsqMethodHelper& h) { return core::Variant(core::TimeToStr(F(h, 0))); }},
    {"function DateTimeToStr(e: Extended): String", "ctConv",
     [](TsqMethodHelper& h) { return core::Variant(core::DateTimeToStr(F(h, 0))); }},
    {"function VarToStr(v: Variant): String", "ctConv",
     [](TsqMethodHelper& h) { return core::Variant(S(h, 0)); }},
    {"function StrToInt(s: String): Integer", "ctConv",
     [](TsqMethodHelper& h) {
       int32_t v;
       if (!TryStrToInt(S(h, 0), v)) throw core::Error("'" + S(h, 0) + "' is not a valid integer value");
       return core::Variant(v);
     }},
    {"function StrToFloat(s: String): Extended", "ctConv",
     [](TsqMethodHelper& h) {
       double v;
       if (!TryStrToFloat(S(h, 0), v))
         throw core::Error("'" + S(h, 0) + "' is not a valid floating point value");
       return core::Variant(v);
     }},
    {"function StrToDate(s: String): Extended", "ctConv",
     [](TsqMethodHelper& h) {
       double v;
       if (!TryStrToDate(S(h, 0), v)) throw core::Error("'" + S(h, 0) + "' is not a valid date");
       return core::Variant::MakeDate(v);
     }},
    {"function StrToTime(s: String): Extended", "ctConv",
     [](TsqMethodHelper& h) {
       double v;
       if (!TryStrToTime(S(h, 0), v)) throw core::Error("'" + S(h, 0) + "' is not a valid time");
       return core::Variant::MakeDate(v);
     }},
    {"function StrToDateTime(s: String): Extended", "ctConv",
     [](TsqMethodHelper& h) {
       double v;
       if (!TryStrToDateTime(S(h, 0), v))
         throw core::Error("'" + S(h, 0) + "' is not a valid date and time");
       return core::Variant::MakeDate(v);
     }},
    // Formatting.
    {"function Format(Fmt: String; Args: array): String", "ctFormat",
     [](TsqMethodHelper& h) {
       std::vector<core::Variant> args;
       core::Variant a = P(h, 1);
       if (a.IsArray()) {
         for (const core::Variant& v : a.RawArray().items) {
           if (v.IsString()) {
             std::string s = v.RawString();
             if (s.size() > 255) s.resize(255);
             args.emplace_back(s);
           } else if (v.IsObject() || v.IsArray()) {
             args.emplace_back(int32_t{0});
           } else {
             args.push_back(v);
           }
         }
       } else if (!a.IsNull() && !a.IsEmpty()) {
         args.push_back(a);
       }
       return core::Variant(FormatText(S(h, 0), args));
     }},
    {"function FormatFloat(Fmt: String; Value: Extended): String", "ctFormat",
     [](TsqMethodHelper& h) { return core::Variant(FormatFloatText(S(h, 0), F(h, 1))); }},
    {"function FormatDateTime(Fmt: String; DateTime: TDateTime): String", "ctFormat",
     [](TsqMethodHelper& h) { return core::Variant(core::FormatDateTime(S(h, 0), F(h, 1))); }},
    {"function FormatMaskText(EditMask: string; Value: string): string", "ctFormat",
     [](TsqMethodHelper& h) { return core::Variant(FormatMaskText(S(h, 0), S(h, 1))); }},
    // Dates.
    {"function EncodeDate(Year, Month, Day: Word): TDateTime", "ctDate",
     [](TsqMethodHelper& h) {
       return core::Variant::MakeDate(EncodeDateChecked(I(h, 0), I(h, 1), I(h, 2)));
     }},
    {"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", "ctDate",
     [](TsqMethodHelper& h) {
       core::DateParts d = core::DecodeDate(F(h, 0));
       h.SetParamValue(1, core::Variant(int32_t{d.year}));
       h.SetParamValue(2, core::Variant(int32_t{d.month}));
       h.SetParamValue(3, core::Variant(int32_t{d.day}));
       return core::Variant();
     }},
    {"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", "ctDate",
     [](TsqMethodHelper& h) {
       const int hh = I(h, 0), mm = I(h, 1), ss = I(h, 2), ms = I(h, 3);
       if (hh < 0 || hh > 23 || mm < 0 || mm > 59 || ss < 0 || ss > 59 || ms < 0 || ms > 999)
         throw core::Error("Invalid argument to time encode");
       return core::Variant::MakeDate(core::EncodeTime(hh, mm, ss, ms));
     }},
    {"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", "ctDate",
     [](TsqMethodHelper& h) {
       core::TimeParts t = core::DecodeTime(F(h, 0));
       h.SetParamValue(1, core::Variant(int32_t{t.hour}));
       h.SetParamValue(2, core::Variant(int32_t{t.minute}));
       h.SetParamValue(3, core::Variant(int32_t{t.second}));
       h.SetParamValue(4, core::Variant(int32_t{t.msec}));
       return core::Variant();
     }},
    {"function Date: TDateTime", "ctDate",
     [](TsqMethodHelper&) { return core::Variant::MakeDate(std::floor(core::Now())); }},
    {"function Time: TDateTime", "ctDate",
     [](TsqMethodHelper&) {
       double n = core::Now();
       return core::Variant::MakeDate(n - std::floor(n));
     }},
    {"function Now: TDateTime", "ctDate",
     [](TsqMethodHelper&) { return core::Variant::MakeDate(core::Now()); }},
    {"function DayOfWeek(aDate: TDateTime): Integer", "ctDate",
     [](TsqMethodHelper& h) { return core::Variant(int32_t{core::DayOfWeek(F(h, 0))}); }},
    {"function IsLeapYear(Year: Word): Boolean", "ctDate",
     [](TsqMethodHelper& h) { return core::Variant(IsLeap(I(h, 0))); }},
    {"function DaysInMonth(nYear, nMonth: Integer): Integer", "ctDate",
     [](TsqMethodHelper& h) {
       static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
       const int y = I(h, 0), m = I(h, 1);
       // A month outside 1..12 has no days.
       if (m < 1 || m > 12) return core::Variant(int32_t{0});
       return core::Variant(int32_t{days[m - 1] + (m == 2 && IsLeap(y) ? 1 : 0)});
     }},
    // Strings.
    {"function Length(s: Variant): Integer", "ctString",
     [](TsqMethodHelper& h) {
       core::Variant v = P(h, 0);
       if (v.IsArray()) {
         const auto& b = v.RawArray().bounds;
         return core::Variant(int32_t{b.empty() ? 0 : b[0].Count()});
       }
       return core::Variant(static_cast<int32_t>(Utf8Length(v.ToString())));
     }},
    {"function Copy(s: String; from, count: Integer): String", "ctString",
     [](TsqMethodHelper& h) { return core::Variant(CopyChars(S(h, 0), I(h, 1), I(h, 2))); }},
    {"function Pos(substr, s: String): Integer", "ctString",
     [](TsqMethodHelper& h) {
       const std::string sub = S(h, 0), s = S(h, 1);
       if (sub.empty()) return core::Variant(int32_t{0});
       size_t at = s.find(sub);
       if (at == std::string::npos) return core::Variant(int32_t{0});
       return core::Variant(static_cast<int32_t>(Utf8Length(std::string_view(s).substr(0, at)) + 1));
     }},
    {"procedure Delete(var s: String; from, count: Integer)", "ctString", DeleteChars},
    {"procedure DeleteStr(var s: String; from, count: Integer)", "ctString", DeleteChars},
    {"procedure Insert(s: String; var s2: String; pos: Integer)", "ctString",
     [](TsqMethodHelper& h) {
       std::string s = S(h, 0), s2 = S(h, 1);
       int64_t pos = I(h, 2);
       if (pos < 1) pos = 1;
       s2.insert(CharOffset(s2, pos), s);
       h.SetParamValue(1, core::Variant(s2));
       return core::Variant();
     }},
    {"function Uppercase(s: String): String", "ctString",
     [](TsqMethodHelper& h) { return core::Variant(core::UpperCase(S(h, 0))); }},
    {"function Lowercase(s: String): String", "ctString",
     [](TsqMethodHelper& h) { return core::Variant(core::LowerCase(S(h, 0))); }},
    {"function Trim(s: String): String", "ctString",
     [](TsqMethodHelper& h) {
       const std::string s = S(h, 0);
       size_t a = 0, b = s.size();
       while (a < b && static_cast<unsigned char>(s[a]) <= 32) ++a;
       while (b > a && static_cast<unsigned char>(s[b - 1]) <= 32) --b;
       return core::Variant(s.substr(a, b - a));
     }},
    {"function NameCase(s: String): String", "ctString",
     [](TsqMethodHelper& h) {
       std::string s = core::LowerCase(S(h, 0));
       for (size_t i = 0; i < s.size(); ++i)
         if ((i == 0 || s[i - 1] == ' ') && s[i] >= 'a' && s[i] <= 'z') s[i] = static_cast<char>(s[i] - 32);
       return core::Variant(s);
     }},
    {"function CompareText(s, s1: String): Integer", "ctString",
     [](TsqMethodHelper& h) { return core::Variant(int32_t{core::CompareNoCase(S(h, 0), S(h, 1))}); }},
    {"function Chr(i: Integer): Char", "ctString",
     [](TsqMethodHelper& h) {
       std::string out;
       AppendCharCode(out, static_cast<uint32_t>(I(h, 0)) & 0xFF);
       return core::Variant(out);
     }},
    {"function Ord(ch: Char): Integer", "ctString",
     [](TsqMethodHelper& h) {
       core::Variant v = P(h, 0);
       if (v.IsOrdinal()) return core::Variant(v.ToInt32());
       // An empty text has code 0.
       return core::Variant(static_cast<int32_t>(FirstCode(v.ToString())));
     }},
    {"procedure SetLength(var S: Variant; L: Integer)", "ctString",
     [](TsqMethodHelper& h) {
       core::Variant v = P(h, 0);
       const int32_t n = std::max(0, I(h, 1));
       if (v.IsArray()) {
         core::VariantArrayData& a = v.MutableArray();
         if (a.bounds.empty()) a.bounds.push_back({0, -1});
         // Redimension the first dimension; elements keep their places.
         const int32_t oldCount = a.bounds[0].Count();
         size_t inner = 1;
         for (size_t k = 1; k < a.bounds.size(); ++k) inner *= static_cast<size_t>(a.bounds[k].Count());
         std::vector<core::Variant> items(static_cast<size_t>(n) * inner);
         for (size_t k = 0; k < items.size() && k < static_cast<size_t>(oldCount) * inner; ++k)
           items[k] = a.items[k];
         a.items = std::move(items);
         a.bounds[0].high = a.bounds[0].low + n - 1;
       } else {
         std::string s = v.ToString();
         const size_t chars = Utf8Length(s);
         if (chars > static_cast<size_t>(n)) s.resize(CharOffset(s, n + 1));
         else s.append(static_cast<size_t>(n) - chars, ' ');
         v = core::Variant(s);
       }
       h.SetParamValue(0, v);
       return core::Variant();
     }},
    // Math.
    {"function Round(e: Extended): Integer", "ctMath",
     [](TsqMethodHelper& h) { return core::Variant(ToInt32Checked(std::nearbyint(F(h, 0)))); }},
    {"function Trunc(e: Extended): Integer", "ctMath",
     [](TsqMethodHelper& h) { return core::Variant(ToInt32Checked(std::trunc(F(h, 0)))); }},
    {"function Int(e: Extended): Integer", "ctMath",
     [](TsqMethodHelper& h) { return core::Variant(std::trunc(F(h, 0))); }},
    {"function Frac(X: Extended): Extended", "ctMath",
     [](TsqMethodHelper& h) {
       double v = F(h, 0);
       return core::Variant(v - std::trunc(v));
     }},
    {"function Sqrt(e: Extended): Extended", "ctMath",
     [](TsqMethodHelper& h) {
       double v = F(h, 0);
       if (v < 0) throw core::Error("Invalid floating point operation");
       return core::Variant(std::sqrt(v));
     }},
    {"function Abs(e: Extended): Extended", "ctMath",
     [](TsqMethodHelper& h) { return core::Variant(std::fabs(F(h, 0))); }},
    {"function Sin(e: Extended): Extended", "ctMath",
     [](TsqMethodHelper& h) { return core::Variant(std::sin(F(h, 0))); }},
    {"function Cos(e: Extended): Extended", "ctMath",
     [](TsqMethodHelper& h) { return core::Variant(std::cos(F(h, 0))); }},
    {"function ArcTan(X: Extended): Extended", "ctMath",
     [](TsqMethodHelper& h) { return core::Variant(std::atan(F(h, 0))); }},
    {"function Tan(X: Extended): Extended", "ctMath",
     [](TsqMethodHelper& h) {
       double v = F(h, 0);
       return core::Variant(std::sin(v) / std::cos(v));
     }},
    {"function Exp(X: Extended): Extended", "ctMath",
     [](TsqMethodHelper& h) { return core::Variant(std::exp(F(h, 0))); }},
    {"function Ln(X: Extended): Extended", "ctMath",
     [](TsqMethodHelper& h) {
       double v = F(h, 0);
       if (v <= 0) throw core::Error("Invalid floating point operation");
       return core::Variant(std::log(v));
     }},
    {"function Pi: Extended", "ctMath",
     [](TsqMethodHelper&) { return core::Variant(3.1415926535897932385); }},
    // Other.
    {"procedure Inc(var i: Integer; incr: Integer = 1)", "ctOther",
     [](TsqMethodHelper& h) {
       h.SetParamValue(0, core::VarAdd(P(h, 0), P(h, 1)));
       return core::Variant();
     }},
    {"procedure Dec(var i: Integer; decr: Integer = 1)", "ctOther",
     [](TsqMethodHelper& h) {
       h.SetParamValue(0, core::VarSub(P(h, 0), P(h, 1)));
       return core::Variant();
     }},
    {"procedure RaiseException(Param: String)", "ctOther",
     [](TsqMethodHelper& h) -> core::Variant { throw core::Error(S(h, 0)); }},
    {"procedure ShowMessage(Msg: Variant)", "ctOther",
     [](TsqMethodHelper& h) {
       const std::string text = S(h, 0);
       if (ShowHandler())
         ShowHandler()(text);
       else
         std::cout << text << '\n' << std::flush;
       return core::Variant();
     }},
    {"procedure Randomize", "ctOther",
     [](TsqMethodHelper&) {
       Seed() = static_cast<uint32_t>(
           std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFFFFu);
       return core::Variant();
     }},
    {"function Random: Extended", "ctOther",
     [](TsqMethodHelper&) {
       Seed() = Seed() * 134775813u + 1u;
       return core::Variant(static_cast<double>(Seed()) / 4294967296.0);
     }},
    {"function ValidInt(cInt: String): Boolean", "ctOther",
     [](TsqMethodHelper& h) {
       int32_t v;
       return core::Variant(TryStrToInt(S(h, 0), v));
     }},
    {"function ValidFloat(cFlt: String): Boolean", "ctOther",
     [](TsqMethodHelper& h) {
       double v;
       return core::Variant(TryStrToFloat(S(h, 0), v));
     }},
    {"function ValidDate(cDate: String): Boolean", "ctOther",
     [](TsqMethodHelper& h) {
       double v;
       return core::Variant(TryStrToDate(S(h, 0), v));
     }},
    {"function CreateOleObject(ClassName: String): Variant", "ctOther",
     [](TsqMethodHelper& h) -> core::Variant {
       throw core::Error("Automation objects are not available on this platform: " + S(h, 0));
     }},
    {"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", "ctOther",
     [](TsqMethodHelper& h) {
       core::Variant b = P(h, 0);
       std::vector<core::ArrayBound> bounds;
       if (b.IsArray()) {
         const auto& items = b.RawArray().items;
         for (size_t k = 0; k + 1 < items.size(); k += 2)
           bounds.push_back({items[k].ToInt32(), items[k + 1].ToInt32()});
       }
       if (bounds.empty()) throw core::Error("Invalid argument");
       const int typ = I(h, 1) & 0xFFF;
       return core::Variant::MakeArray(bounds, static_cast<core::VarType>(typ));
     }},
    {"function VarType(V: Variant): Integer", "ctOther",
     [](TsqMethodHelper& h) {
       core::Variant v = P(h, 0);
       int32_t code = static_cast<int32_t>(v.Type());
       if (v.IsArray()) code = 0x2000 | static_cast<int32_t>(v.RawArray().elementType);
       return core::Variant(code);
     }},
};

}  // namespace

void SetShowMessageHandler(TsqShowMessageHandler handler) {
  ShowHandler() = std::move(handler);
}

void SetRandomSeed(uint32_t seed) {
  Seed() = seed;
}

uint32_t RandomSeed() {
  return Seed();
}

TsqSystemModule::TsqSystemModule(TsqScript& s) : TsqRTTIModule(s) {
  for (const char* n : {"Byte", "Word", "Integer", "Longint", "Cardinal", "TColor"}) s.AddType(n, stInt);
  s.AddType("Boolean", stBool);
  for (const char* n : {"Real", "Single", "Double", "Extended", "Currency", "TDate", "TTime", "TDateTime"})
    s.AddType(n, stFloat);
  s.AddType("Char", stChar);
  s.AddType("String", stString);
  s.AddType("Variant", stVariant);
  s.AddType("Pointer", stVariant);
  s.AddType("Array", stArray);
  s.AddType("Constructor", stConstructor);

  s.AddConst("True", "Boolean", core::Variant(true));
  s.AddConst("False", "Boolean", core::Variant(false));
  s.AddConst("nil", "Variant", core::Variant(int32_t{0}));
  s.AddConst("Null", "Variant", core::Variant::MakeNull());
  s.Add("__StringHelper", std::make_unique<TsqStringHelper>());
  s.Add("__ArrayHelper", std::make_unique<TsqArrayHelper>("__ArrayHelper", 3, 1, stVariant, "Variant"));
  s.AddVariable("ExceptionClassName", "String", core::Variant(std::string()));
  s.AddVariable("ExceptionMessage", "String", core::Variant(std::string()));
  static const std::pair<const char*, int32_t> codes[] = {
      {"varEmpty", 0},     {"varNull", 1},      {"varSmallint", 2},  {"varInteger", 3},
      {"varSingle", 4},    {"varDouble", 5},    {"varCurrency", 6},  {"varDate", 7},
      {"varOleStr", 8},    {"varDispatch", 9},  {"varError", 10},    {"varBoolean", 11},
      {"varVariant", 12},  {"varUnknown", 13},  {"varShortInt", 16}, {"varByte", 17},
      {"varWord", 18},     {"varLongWord", 19}, {"varInt64", 20},    {"varStrArg", 72},
      {"varString", 256},  {"varAny", 257},     {"varTypeMask", 4095}, {"varArray", 8192},
      {"varByRef", 16384}};
  for (const auto& [name, value] : codes) s.AddConst(name, "Integer", core::Variant(value));

  for (const Entry& e : kFunctions) {
    Fn fn = e.fn;
    s.AddMethod(
        e.declaration,
        TsqHelperMethodEvent([fn](core::TObject*, const core::ClassInfo*, const std::string&,
                                  TsqMethodHelper& h) { return fn(h); }),
        e.category);
  }
}

void RegisterSystemModule() {
  RegisterRTTIModule(&MakeRTTIModule<TsqSystemModule>);
}

}  // namespace sq
