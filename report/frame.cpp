// Frame, highlight and display format.
#include "report/frame.h"

#include "core/text_util.h"

namespace report {

const core::ClassInfo* TqdrFrame::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrFrame>("TqdrFrame", nullptr)
          .Factory<>()
          .Integer<&TqdrFrame::Color, &TqdrFrame::SetColor>("Color")
          .Default(clBlack)
          .Boolean<&TqdrFrame::DropShadow, &TqdrFrame::SetDropShadow>("DropShadow")
          .Default(0)
          .Integer<&TqdrFrame::ShadowColor, &TqdrFrame::SetShadowColor>("ShadowColor")
          .Default(clBlack)
          .Float<&TqdrFrame::ShadowWidth, &TqdrFrame::SetShadowWidth>("ShadowWidth")
          .StoredIf<&TqdrFrame::IsShadowWidthStored>()
          .Enum<&TqdrFrame::Style, &TqdrFrame::SetStyle>("Style", &kFrameStyleType)
          .Default(0)
          .Set<&TqdrFrame::Typ, &TqdrFrame::SetTyp>("Typ", &kFrameTypType)
          .StoredIf<&TqdrFrame::IsTypStored>()
          .Float<&TqdrFrame::Width, &TqdrFrame::SetWidth>("Width")
          .StoredIf<&TqdrFrame::IsWidthStored>()
          .Done();
  return info;
}

void TqdrFrame::Assign(const TqdrPersistent* source) {
  auto* f = dynamic_cast<const TqdrFrame*>(source);
  if (!f || f == this) return;
  color_ = f->color_;
  dropShadow_ = f->dropShadow_;
  shadowColor_ = f->shadowColor_;
  shadowWidth_ = f->shadowWidth_;
  style_ = f->style_;
  typ_ = f->typ_;
  width_ = f->width_;
}

bool TqdrFrame::operator==(const TqdrFrame& o) const {
  return color_ == o.color_ && dropShadow_ == o.dropShadow_ && shadowColor_ == o.shadowColor_ &&
         shadowWidth_ == o.shadowWidth_ && style_ == o.style_ && typ_ == o.typ_ &&
         width_ == o.width_;
}

const core::ClassInfo* TqdrHighlight::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrHighlight>("TqdrHighlight", nullptr)
          .Factory<>()
          .Boolean<&TqdrHighlight::Active, &TqdrHighlight::SetActive>("Active")
          .Default(0)
          .Object<&TqdrHighlight::Font, &TqdrHighlight::SetFont>("Font", TqdrFont::StaticClass())
          .Integer<&TqdrHighlight::Color, &TqdrHighlight::SetColor>("Color")
          .Default(clTransparent)
          .String<&TqdrHighlight::Condition, &TqdrHighlight::SetCondition>("Condition")
          .Done();
  return info;
}

TqdrHighlight::TqdrHighlight() : font_(std::make_unique<TqdrFont>()) {
  font_->SetColor(clRed);
}

void TqdrHighlight::Assign(const TqdrPersistent* source) {
  auto* h = dynamic_cast<const TqdrHighlight*>(source);
  if (!h || h == this) return;
  font_->Assign(h->font_.get());
  color_ = h->color_;
  condition_ = h->condition_;
}

const core::ClassInfo* TqdrFormat::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TqdrFormat>("TqdrFormat", nullptr)
          .Factory<>()
          .String<&TqdrFormat::DecimalSeparator, &TqdrFormat::SetDecimalSeparator>(
              "DecimalSeparator")
          .String<&TqdrFormat::FormatStr, &TqdrFormat::SetFormatStr>("FormatStr")
          .Enum<&TqdrFormat::Kind, &TqdrFormat::SetKind>("Kind", &kFormatKindType)
          .Default(0)
          .Done();
  return info;
}

void TqdrFormat::Assign(const TqdrPersistent* source) {
  auto* f = dynamic_cast<const TqdrFormat*>(source);
  if (!f || f == this) return;
  decimalSeparator_ = f->decimalSeparator_;
  formatStr_ = f->formatStr_;
  kind_ = f->kind_;
}

}  // namespace report
