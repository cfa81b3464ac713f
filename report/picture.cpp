// Picture sub-object and its stored form.
#include "report/picture.h"

#include <QImage>

#include "core/text_util.h"
#include "report/prop_stream.h"

namespace report {

const core::ClassInfo* TqdrPicture::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrPicture>("TPicture", nullptr).Factory<>().Done();
  return info;
}

void TqdrPicture::SetGraphic(std::string graphicClass, std::string data) {
  graphicClass_ = data.empty() ? std::string() : std::move(graphicClass);
  data_ = std::move(data);
  if (OnChange) OnChange();
}

std::string TqdrPicture::DetectGraphicClass(std::string_view b) {
  auto u8 = [&](size_t i) { return static_cast<unsigned char>(b[i]); };
  if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return "TBitmap";
  if (b.size() >= 2 && u8(0) == 0xFF && u8(1) == 0xD8) return "TJPEGImage";
  if (b.size() >= 4 && u8(0) == 0xD7 && u8(1) == 0xCD && u8(2) == 0xC6 && u8(3) == 0x9A)
    return "TMetafile";
  if (b.size() >= 44 && b.substr(40, 4) == " EMF") return "TMetafile";
  if (b.size() >= 2 && (u8(0) | (u8(1) << 8)) < 2) return "TIcon";
  return {};
}

void TqdrPicture::LoadFromBytes(std::string_view bytes) {
  auto u16 = [&](size_t i) {
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  };
  if (bytes.size() >= 8 && u16(0) == 1 && u16(2) == 256) {
    uint32_t size = u16(4) | (u16(6) << 16);
    if (size == bytes.size() - 8) bytes.remove_prefix(8);
  }
  std::string kind = DetectGraphicClass(bytes);
  if (kind.empty())
    Clear();
  else
    SetGraphic(std::move(kind), std::string(bytes));
}

QImage TqdrPicture::ToImage() const {
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(data_.data()), static_cast<int>(data_.size()));
  return image;
}

void TqdrPicture::Assign(const TqdrPersistent* source) {
  auto* p = dynamic_cast<const TqdrPicture*>(source);
  if (!p || p == this) return;
  SetGraphic(p->graphicClass_, p->data_);
}

void TqdrPicture::WriteStoredData(TqdrPropWriter& writer, TqdrXMLSerializer&) const {
  // Data: the class name, then the graphic's own form (its size and its file bytes).
  std::string form;
  form.push_back(static_cast<char>(graphicClass_.size()));
  form += graphicClass_;
  uint32_t n = static_cast<uint32_t>(data_.size());
  for (int i = 0; i < 4; ++i) form.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
  form += data_;
  writer.WriteName("Data");
  writer.WriteBinary(form);
}

bool TqdrPicture::ReadStoredEntry(const std::string& name, TqdrPropReader& reader,
                                  TqdrXMLSerializer&) {
  if (!core::EqualsNoCase(name, "Data")) return false;
  std::string form = reader.ReadBinary();
  if (form.empty()) {
    Clear();
    return true;
  }
  size_t n = static_cast<unsigned char>(form[0]);
  if (n + 1 > form.size()) {
    Clear();
    return true;
  }
  std::string cls = form.substr(1, n);
  std::string_view rest = std::string_view(form).substr(n + 1);
  // The graphic's form usually starts with its byte count; without one the bytes are the file.
  if (rest.size() >= 4) {
    uint32_t size = 0;
    for (int i = 3; i >= 0; --i)
      size = (size << 8) | static_cast<unsigned char>(rest[static_cast<size_t>(i)]);
    if (size == rest.size() - 4) rest.remove_prefix(4);
  }
  SetGraphic(std::move(cls), std::string(rest));
  return true;
}

}  // namespace report
