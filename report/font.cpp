// Font sub-object.
#include "report/font.h"

#include <QFont>
#include <QString>
#include <cmath>

namespace report {

namespace {
// Rounded a * b / c, halves away from zero.
int MulDiv(int a, int b, int c) {
  return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}
}  // namespace

const core::ClassInfo* TqdrFont::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrFont>("TFont", nullptr)
          .Factory<>()
          .Integer<&TqdrFont::Charset, &TqdrFont::SetCharset>("Charset")
          .Integer<&TqdrFont::Color, &TqdrFont::SetColor>("Color")
          .Integer<&TqdrFont::Height, &TqdrFont::SetHeight>("Height")
          .String<&TqdrFont::Name, &TqdrFont::SetName>("Name")
          .Enum<&TqdrFont::Pitch, &TqdrFont::SetPitch>("Pitch", &kFontPitchType)
          .Default(0)
          .Integer<&TqdrFont::Size, &TqdrFont::SetSize>("Size")
          .Stored([](const core::TObject*) { return false; })
          .Set<&TqdrFont::Style, &TqdrFont::SetStyle>("Style", &kFontStyleType)
          .Done();
  return info;
}

TqdrFont::TqdrFont() : name_("\xE5\xAE\x8B\xE4\xBD\x93"), height_(-MulDiv(10, 96, 72)) {}

void TqdrFont::SetName(const std::string& v) {
  if (v == name_) return;
  name_ = v;
  Changed();
}

void TqdrFont::SetHeight(int v) {
  if (v == height_) return;
  height_ = v;
  Changed();
}

int TqdrFont::Size() const {
  return -MulDiv(height_, 72, PixelsPerInch());
}

void TqdrFont::SetSize(int points) {
  SetHeight(-MulDiv(points, PixelsPerInch(), 72));
}

void TqdrFont::SetColor(int v) {
  if (v == color_) return;
  color_ = v;
  Changed();
}

void TqdrFont::SetStyle(uint32_t v) {
  v &= 15;
  if (v == style_) return;
  style_ = v;
  Changed();
}

void TqdrFont::SetCharset(int v) {
  v &= 0xFF;
  if (v == charset_) return;
  charset_ = v;
  Changed();
}

void TqdrFont::SetPitch(TFontPitch v) {
  if (v == pitch_) return;
  pitch_ = v;
  Changed();
}

void TqdrFont::Assign(const TqdrPersistent* source) {
  auto* f = dynamic_cast<const TqdrFont*>(source);
  if (!f || f == this) return;
  name_ = f->name_;
  height_ = f->height_;
  color_ = f->color_;
  style_ = f->style_;
  charset_ = f->charset_;
  pitch_ = f->pitch_;
  Changed();
}

bool TqdrFont::operator==(const TqdrFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_ &&
         charset_ == o.charset_ && pitch_ == o.pitch_;
}

QFont TqdrFont::ToQFont() const {
  QFont f(QString::fromStdString(name_));
  f.setPointSize(Size() > 0 ? Size() : 1);
  f.setBold(style_ & font_style::fsBold);
  f.setItalic(style_ & font_style::fsItalic);
  f.setUnderline(style_ & font_style::fsUnderline);
  f.setStrikeOut(style_ & font_style::fsStrikeOut);
  return f;
}

}  // namespace report
