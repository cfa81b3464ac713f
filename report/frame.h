// Sub-objects of views: the frame (border lines and shadow), the highlight
// (conditional font and colour) and the display format of memos.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "report/font.h"
#include "report/persistent.h"
#include "report/types.h"

namespace report {

class TqdrFrame : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  TqdrFrame() = default;
  explicit TqdrFrame(core::TObject*) {}

  int Color() const { return color_; }
  void SetColor(int v) { color_ = v; }
  bool DropShadow() const { return dropShadow_; }
  void SetDropShadow(bool v) { dropShadow_ = v; }
  int ShadowColor() const { return shadowColor_; }
  void SetShadowColor(int v) { shadowColor_ = v; }
  double ShadowWidth() const { return shadowWidth_; }
  void SetShadowWidth(double v) { shadowWidth_ = v; }
  TqdrFrameStyle Style() const { return style_; }
  void SetStyle(TqdrFrameStyle v) { style_ = v; }
  uint32_t Typ() const { return typ_; }  // frame_typ bits
  void SetTyp(uint32_t v) { typ_ = v & frame_typ::ftAll; }
  double Width() const { return width_; }
  void SetWidth(double v) { width_ = v; }

  bool IsShadowWidthStored() const { return shadowWidth_ != 4; }
  bool IsTypStored() const { return typ_ != 0; }
  bool IsWidthStored() const { return width_ != 1; }
  void Assign(const TqdrPersistent* source) override;
  bool operator==(const TqdrFrame& o) const;

 private:
  int color_ = clBlack;
  bool dropShadow_ = false;
  int shadowColor_ = clBlack;
  double shadowWidth_ = 4;
  TqdrFrameStyle style_ = TqdrFrameStyle::fsSolid;
  uint32_t typ_ = 0;
  double width_ = 1;
};

class TqdrHighlight : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  // Inactive; font "宋体" 10 red; transparent.
  TqdrHighlight();
  explicit TqdrHighlight(core::TObject*) : TqdrHighlight() {}

  bool Active() const { return active_; }
  void SetActive(bool v) { active_ = v; }
  TqdrFont* Font() const { return font_.get(); }
  void SetFont(TqdrFont* f) { font_->Assign(f); }
  int Color() const { return color_; }
  void SetColor(int v) { color_ = v; }
  const std::string& Condition() const { return condition_; }
  void SetCondition(const std::string& v) { condition_ = v; }

  // Copies font, colour and condition; Active stays.
  void Assign(const TqdrPersistent* source) override;

 private:
  bool active_ = false;
  std::unique_ptr<TqdrFont> font_;
  int color_ = clTransparent;
  std::string condition_;
};

class TqdrFormat : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  TqdrFormat() = default;
  explicit TqdrFormat(core::TObject*) {}

  const std::string& DecimalSeparator() const { return decimalSeparator_; }
  void SetDecimalSeparator(const std::string& v) { decimalSeparator_ = v; }
  const std::string& FormatStr() const { return formatStr_; }
  void SetFormatStr(const std::string& v) { formatStr_ = v; }
  TqdrFormatKind Kind() const { return kind_; }
  void SetKind(TqdrFormatKind v) { kind_ = v; }
  void Assign(const TqdrPersistent* source) override;

 private:
  std::string decimalSeparator_;
  std::string formatStr_;
  TqdrFormatKind kind_ = TqdrFormatKind::fkText;
};

}  // namespace report
