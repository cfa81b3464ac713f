// Drawing of views on any QPainter device (screen, QImage, PDF, printer):
// device rectangles, background and hatch, frames with every style and the
// drop shadow, and the lines of a text layout stretched to their reference
// widths so that every device shows the same breaks and widths.
#pragma once

#include <QString>

#include "report/text_layout.h"
#include "report/types.h"

class QPainter;
class QColor;

namespace report {

class TqdrView;
class TqdrCustomMemoView;
class TqdrQtTextMeasure;

QColor ToQColor(int32_t color);
// The hatch of a brush style; Qt::NoBrush for solid and clear.
Qt::BrushStyle HatchOf(TBrushStyle style);
// The pen style of a frame style (double lines draw solid).
Qt::PenStyle PenStyleOf(TqdrFrameStyle style);

// Device rectangle of a view (BeginDraw); the shadow is inside the box.
struct TqdrDrawRect {
  int x = 0, y = 0, x1 = 0, y1 = 0;
  int frameWidth = 0;  // device pixels
  double scaleX = 1, scaleY = 1;
};
TqdrDrawRect BeginDraw(const TqdrView& view, double scaleX, double scaleY, double offsetX,
                       double offsetY);

// Text rectangle of a memo inside its device rectangle (right and bottom
// exclusive).
struct TqdrTextRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};
TqdrTextRect MemoTextRect(const TqdrCustomMemoView& memo, const TqdrDrawRect& r);

void DrawBackground(QPainter& painter, const TqdrView& view, const TqdrDrawRect& r);
void DrawFrame(QPainter& painter, const TqdrView& view, const TqdrDrawRect& r);

// Draws laid-out lines into rect. Character positions come from the
// reference advances converted to the device, not from the device's metrics.
struct TqdrTextDrawParams {
  QString family;
  int sizePoints = 9;
  double scaleX = 1, scaleY = 1;
  double lineSpacing = 0, charSpacing = 0, paragraphGap = 0;
  TqdrHAlign hAlign = TqdrHAlign::haLeft;
  TqdrVAlign vAlign = TqdrVAlign::vaTop;
  bool clipped = true;
};
void DrawLayoutText(QPainter& painter, const TqdrTextLayout& layout, TqdrTextMeasure& measure,
                    const TqdrTextRect& rect, const TqdrTextDrawParams& params);

}  // namespace report
