// A picture sub-object: the graphic's class name and its bytes (a BMP, JPEG,
// metafile or icon file image), stored as the `Data` entry of PropData.
#pragma once

#include <functional>
#include <string>

#include "report/persistent.h"

class QImage;

namespace report {

class TqdrPicture : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  TqdrPicture() = default;
  explicit TqdrPicture(core::TObject*) {}

  bool IsEmpty() const { return data_.empty(); }
  // "TBitmap", "TJPEGImage", "TMetafile", "TIcon", or empty.
  const std::string& GraphicClass() const { return graphicClass_; }
  const std::string& Data() const { return data_; }
  void SetGraphic(std::string graphicClass, std::string data);
  void Clear() { SetGraphic({}, {}); }
  // Loads field bytes: skips the 8-byte blob header when present and recognises
  // the graphic kind from the content; anything unknown empties the picture.
  void LoadFromBytes(std::string_view bytes);
  // The graphic kind of `bytes`, empty when unknown.
  static std::string DetectGraphicClass(std::string_view bytes);
  QImage ToImage() const;

  void Assign(const TqdrPersistent* source) override;
  bool operator==(const TqdrPicture& o) const {
    return graphicClass_ == o.graphicClass_ && data_ == o.data_;
  }
  bool HasStoredData() const override { return !IsEmpty(); }
  void WriteStoredData(TqdrPropWriter& writer, TqdrXMLSerializer& serializer) const override;
  bool ReadStoredEntry(const std::string& name, TqdrPropReader& reader,
                       TqdrXMLSerializer& serializer) override;

  std::function<void()> OnChange;

 private:
  std::string graphicClass_;
  std::string data_;
};

}  // namespace report
