// TqdrTextMeasure over Qt font metrics at the reference resolution: the font
// gets the pixel size a 600 dpi device gives it, so the widths do not depend
// on the screen, image or printer that draws afterwards.
#pragma once

#include <QFont>
#include <memory>
#include <unordered_map>

#include "report/text_layout.h"

class QFontMetricsF;

namespace report {

class TqdrQtTextMeasure : public TqdrTextMeasure {
 public:
  TqdrQtTextMeasure();
  ~TqdrQtTextMeasure() override;
  // The memo's font: family, size in points, style bits of TqdrHTMLTag.
  void SetFont(const QString& family, int sizePoints, uint8_t style);
  double Advance(char32_t c, const TqdrHTMLTag& state) override;
  double LineHeight() override;
  // The font at reference resolution for a size and style.
  QFont ReferenceFont(int sizePoints, uint8_t style) const;

 private:
  struct Metrics;
  Metrics& MetricsFor(int sizePoints, uint8_t style);

  QString family_;
  int size_ = 10;
  uint8_t style_ = 0;
  std::unordered_map<uint32_t, std::unique_ptr<Metrics>> metrics_;  // size << 8 | style
};

}  // namespace report
