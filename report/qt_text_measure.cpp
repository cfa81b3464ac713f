// Reference-resolution text measurement with Qt font metrics; advances are
// cached per character for each size and style, since a memo is measured many
// times with few distinct characters.
#include "report/qt_text_measure.h"

#include <QFontMetricsF>
#include <QString>
#include <cmath>

namespace report {

struct TqdrQtTextMeasure::Metrics {
  explicit Metrics(const QFont& f) : metrics(f) {}
  QFontMetricsF metrics;
  std::unordered_map<char32_t, double> advances;
};

TqdrQtTextMeasure::TqdrQtTextMeasure() = default;
TqdrQtTextMeasure::~TqdrQtTextMeasure() = default;

void TqdrQtTextMeasure::SetFont(const QString& family, int sizePoints, uint8_t style) {
  if (family != family_) metrics_.clear();
  family_ = family;
  size_ = sizePoints;
  style_ = style;
}

QFont TqdrQtTextMeasure::ReferenceFont(int sizePoints, uint8_t style) const {
  QFont f(family_);
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(sizePoints * kReferenceDpi / 72.0))));
  f.setBold(style & TqdrHTMLTag::Bold);
  f.setItalic(style & TqdrHTMLTag::Italic);
  f.setUnderline(style & TqdrHTMLTag::Underline);
  f.setStrikeOut(style & TqdrHTMLTag::StrikeOut);
  // Advances are added up per character; hinting and kerning would make
  // them depend on neighbours and on the device.
  f.setKerning(false);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

TqdrQtTextMeasure::Metrics& TqdrQtTextMeasure::MetricsFor(int sizePoints, uint8_t style) {
  uint32_t key = (static_cast<uint32_t>(sizePoints) << 8) | style;
  auto it = metrics_.find(key);
  if (it == metrics_.end())
    it = metrics_.emplace(key, std::make_unique<Metrics>(ReferenceFont(sizePoints, style))).first;
  return *it->second;
}

double TqdrQtTextMeasure::Advance(char32_t c, const TqdrHTMLTag& state) {
  Metrics& m = MetricsFor(state.size > 0 ? state.size : size_, state.style);
  auto it = m.advances.find(c);
  if (it != m.advances.end()) return it->second;
  // fromUcs4 keeps characters outside the basic plane as one surrogate pair.
  double w = m.metrics.horizontalAdvance(QString::fromUcs4(&c, 1));
  m.advances.emplace(c, w);
  return w;
}

double TqdrQtTextMeasure::LineHeight() {
  // The font's height is its em size (size x 600 / 72), not the metrics'
  // ascent + descent: memo heights are whole multiples of the point size.
  return std::max(1.0, std::round(size_ * kReferenceDpi / 72.0));
}

}  // namespace report
