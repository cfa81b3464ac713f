// Binary property stream reader and writer, and the hexadecimal form of PropData.
#include "report/prop_stream.h"

#include <cmath>
#include <cstring>

#include "core/error.h"

namespace report {

namespace {
[[noreturn]] void StreamError() {
  throw core::Error("Stream read error");
}
}  // namespace

void TqdrPropWriter::WriteName(std::string_view name) {
  size_t n = name.size() > 255 ? 255 : name.size();
  bytes_.push_back(static_cast<char>(n));
  bytes_.append(name.data(), n);
}

void TqdrPropWriter::WriteInt32Raw(uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void TqdrPropWriter::WriteInteger(int64_t v) {
  if (v >= -128 && v <= 127) {
    WriteValueType(vaInt8);
    bytes_.push_back(static_cast<char>(static_cast<int8_t>(v)));
  } else if (v >= -32768 && v <= 32767) {
    WriteValueType(vaInt16);
    uint16_t u = static_cast<uint16_t>(static_cast<int16_t>(v));
    bytes_.push_back(static_cast<char>(u & 0xFF));
    bytes_.push_back(static_cast<char>(u >> 8));
  } else {
    WriteValueType(vaInt32);
    WriteInt32Raw(static_cast<uint32_t>(static_cast<int32_t>(v)));
  }
}

void TqdrPropWriter::WriteLString(std::string_view s) {
  WriteValueType(vaLString);
  WriteInt32Raw(static_cast<uint32_t>(s.size()));
  bytes_.append(s);
}

void TqdrPropWriter::WriteBinary(std::string_view data) {
  WriteValueType(vaBinary);
  WriteInt32Raw(static_cast<uint32_t>(data.size()));
  bytes_.append(data);
}

std::string_view TqdrPropReader::Take(size_t n) {
  if (n > bytes_.size() - pos_) StreamError();
  std::string_view out = bytes_.substr(pos_, n);
  pos_ += n;
  return out;
}

uint32_t TqdrPropReader::ReadU32() {
  std::string_view b = Take(4);
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[static_cast<size_t>(i)]);
  return v;
}

std::string TqdrPropReader::ReadName() {
  size_t n = static_cast<unsigned char>(Take(1)[0]);
  return std::string(Take(n));
}

PropValueType TqdrPropReader::ReadValueType() {
  return static_cast<PropValueType>(static_cast<unsigned char>(Take(1)[0]));
}

PropValueType TqdrPropReader::NextValueType() const {
  if (AtEnd()) StreamError();
  return static_cast<PropValueType>(static_cast<unsigned char>(bytes_[pos_]));
}

bool TqdrPropReader::EndOfList() {
  if (NextValueType() != vaNull) return false;
  ++pos_;
  return true;
}

core::Variant TqdrPropReader::ReadValueOfType(PropValueType t) {
  switch (t) {
    case vaInt8:
      return core::Variant(static_cast<int32_t>(static_cast<int8_t>(Take(1)[0])));
    case vaInt16: {
      std::string_view b = Take(2);
      uint16_t u = static_cast<uint16_t>(static_cast<unsigned char>(b[0]) |
                                         (static_cast<unsigned char>(b[1]) << 8));
      return core::Variant(static_cast<int32_t>(static_cast<int16_t>(u)));
    }
    case vaInt32:
      return core::Variant(static_cast<int32_t>(ReadU32()));
    case vaInt64: {
      uint64_t lo = ReadU32(), hi = ReadU32();
      return core::Variant(static_cast<int64_t>(lo | (hi << 32)));
    }
    case vaString:
    case vaIdent: {
      size_t n = static_cast<unsigned char>(Take(1)[0]);
      return core::Variant(Take(n));
    }
    case vaLString:
    case vaUTF8String:
    case vaBinary:
      return core::Variant(Take(ReadU32()));
    case vaWString: {
      // UTF-16 units: kept as the low bytes of ASCII text, which is all the library writes.
      size_t n = ReadU32();
      std::string_view b = Take(n * 2);
      std::string out;
      for (size_t i = 0; i < n; ++i) out.push_back(b[2 * i]);
      return core::Variant(out);
    }
    case vaFalse:
      return core::Variant(false);
    case vaTrue:
      return core::Variant(true);
    case vaSingle: {
      std::string_view b = Take(4);
      float f;
      std::memcpy(&f, b.data(), 4);
      return core::Variant(static_cast<double>(f));
    }
    case vaDate:
    case vaCurrency: {
      std::string_view b = Take(8);
      double d;
      int64_t i;
      std::memcpy(&d, b.data(), 8);
      std::memcpy(&i, b.data(), 8);
      return t == vaDate ? core::Variant::MakeDate(d) : core::Variant(core::Currency{i});
    }
    case vaExtended: {
      // 80-bit float: 64-bit mantissa with explicit integer bit, 15-bit exponent, sign.
      std::string_view b = Take(10);
      uint64_t mant = 0;
      for (int i = 7; i >= 0; --i)
        mant = (mant << 8) | static_cast<unsigned char>(b[static_cast<size_t>(i)]);
      int se = static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8);
      int exp = (se & 0x7FFF) - 16383 - 63;
      double d = mant == 0 ? 0.0 : static_cast<double>(mant) * std::ldexp(1.0, exp);
      return core::Variant((se & 0x8000) ? -d : d);
    }
    case vaNil:
    case vaNull:
      return core::Variant();
    case vaList:
    case vaSet:
    case vaCollection:
      break;
  }
  StreamError();
}

core::Variant TqdrPropReader::ReadValue() {
  PropValueType t = ReadValueType();
  if (t == vaList || t == vaCollection || t == vaSet) {
    --pos_;
    SkipValue();
    return core::Variant();
  }
  return ReadValueOfType(t);
}

void TqdrPropReader::SkipValue() {
  PropValueType t = ReadValueType();
  switch (t) {
    case vaList:
      while (!EndOfList()) SkipValue();
      return;
    case vaSet:
      while (!ReadName().empty()) {
      }
      return;
    case vaCollection:
      while (!EndOfList()) {
        PropValueType n = NextValueType();
        if (n == vaInt8 || n == vaInt16 || n == vaInt32) ReadValue();
        if (ReadValueType() != vaList) StreamError();
        while (!EndOfList()) {
          ReadName();
          SkipValue();
        }
      }
      return;
    default:
      ReadValueOfType(t);
  }
}

int64_t TqdrPropReader::ReadInteger() {
  PropValueType t = ReadValueType();
  if (t != vaInt8 && t != vaInt16 && t != vaInt32 && t != vaInt64) StreamError();
  return ReadValueOfType(t).ToInt64();
}

std::string TqdrPropReader::ReadString() {
  PropValueType t = ReadValueType();
  if (t != vaString && t != vaLString && t != vaUTF8String && t != vaWString) StreamError();
  return ReadValueOfType(t).ToString();
}

std::string TqdrPropReader::ReadBinary() {
  if (ReadValueType() != vaBinary) StreamError();
  return std::string(Take(ReadU32()));
}

std::string BytesToHex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.resize(bytes.size() * 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    out[2 * i] = kDigits[c >> 4];
    out[2 * i + 1] = kDigits[c & 15];
  }
  return out;
}

std::string HexToBytes(std::string_view hex) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw core::Error("Invalid hexadecimal data");
  };
  std::string out;
  out.reserve(hex.size() / 2);
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1])));
  return out;
}

}  // namespace report
