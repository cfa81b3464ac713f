// The binary property stream held (as hexadecimal) in PropData attributes:
// entries of a length-prefixed name followed by one typed value.
//
//   TYPE  VALUE
//   0     end of list
//   1     list (entries or items up to a 0)
//   2     int8          3 int16          4 int32 (little-endian)
//   6     short string: 1 length byte, bytes
//   8/9   false / true
//   10    binary: 4-byte length, bytes
//   12    long string: 4-byte length, bytes
//   14    collection (form files only): items, each optional index then a list of entries
//   13    nil       18/20 wide/UTF-8 string: 4-byte length, units
// Integers are written with the smallest of the three widths that holds them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/variant.h"

namespace report {

enum PropValueType : uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20
};

class TqdrPropWriter {
 public:
  void WriteName(std::string_view name);  // length byte + bytes (at most 255)
  void WriteValueType(PropValueType t) { bytes_.push_back(static_cast<char>(t)); }
  void WriteListBegin() { WriteValueType(vaList); }
  void WriteListEnd() { WriteValueType(vaNull); }
  void WriteInteger(int64_t v);
  void WriteLString(std::string_view s);
  void WriteBinary(std::string_view data);
  const std::string& Bytes() const { return bytes_; }

 private:
  void WriteInt32Raw(uint32_t v);
  std::string bytes_;
};

// Reads a property stream; every read past the end raises core::Error.
class TqdrPropReader {
 public:
  explicit TqdrPropReader(std::string_view bytes) : bytes_(bytes) {}
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  std::string ReadName();
  PropValueType ReadValueType();
  PropValueType NextValueType() const;  // without consuming it
  bool EndOfList();                     // consumes the 0 when it is next
  int64_t ReadInteger();                // value type included
  std::string ReadString();             // any string kind, value type included
  std::string ReadBinary();             // value type included
  // Any value: ordinal, string, float or Boolean, as a variant (lists are skipped).
  core::Variant ReadValue();
  void SkipValue();

 private:
  std::string_view Take(size_t n);
  uint32_t ReadU32();
  core::Variant ReadValueOfType(PropValueType t);
  std::string_view bytes_;
  size_t pos_ = 0;
};

// Upper-case hexadecimal, two digits per byte, and back (bad digits raise core::Error).
std::string BytesToHex(std::string_view bytes);
std::string HexToBytes(std::string_view hex);

}  // namespace report
