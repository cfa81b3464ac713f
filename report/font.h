// The font of components, highlights and styles: face name (UTF-8), height in
// pixels at 96 per inch (negative: character height), colour, style bits, charset.
#pragma once

#include <functional>
#include <string>

#include "report/persistent.h"
#include "report/types.h"

class QFont;

namespace report {

class TqdrFont : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  // "宋体", 10 points, black, charset 134.
  TqdrFont();
  explicit TqdrFont(core::TObject*) : TqdrFont() {}

  const std::string& Name() const { return name_; }
  void SetName(const std::string& v);
  int Height() const { return height_; }
  void SetHeight(int v);
  // Point size: -Height x 72 / PixelsPerInch, rounded.
  int Size() const;
  void SetSize(int points);
  int Color() const { return color_; }
  void SetColor(int v);
  uint32_t Style() const { return style_; }  // font_style bits
  void SetStyle(uint32_t v);
  int Charset() const { return charset_; }
  void SetCharset(int v);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch v);
  int PixelsPerInch() const { return 96; }

  void Assign(const TqdrPersistent* source) override;
  bool operator==(const TqdrFont& o) const;
  bool operator!=(const TqdrFont& o) const { return !(*this == o); }
  // A QFont with this face, point size and style (colour is the caller's business).
  QFont ToQFont() const;

  // Called after every change (one call per Assign).
  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  std::string name_;
  int height_;
  int color_ = clBlack;
  uint32_t style_ = 0;
  int charset_ = kCharsetGB2312;
  TFontPitch pitch_ = TFontPitch::fpDefault;
};

}  // namespace report
