// Draw of the non-text views: the plain view (background and frame), lines,
// shapes, pictures and sub-report placeholders. Memos draw in memo_text.cpp.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "report/font.h"
#include "report/frame.h"
#include "report/picture.h"
#include "report/view.h"
#include "report/view_draw.h"

namespace report {
namespace {

int Rnd(double v) {
  return static_cast<int>(std::nearbyint(v));
}

// Pen of a frame: its colour and style; dashed styles are one pixel wide.
QPen FramePen(const TqdrFrame& f, int width) {
  if (f.Color() == clTransparent || f.Width() <= 0) return QPen(Qt::NoPen);
  const Qt::PenStyle style = PenStyleOf(f.Style());
  return QPen(ToQColor(f.Color()), style == Qt::SolidLine ? std::max(1, width) : 1, style,
              Qt::FlatCap, Qt::MiterJoin);
}

}  // namespace

void TqdrView::Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX,
                    double offsetY) {
  const TqdrDrawRect r = BeginDraw(*this, scaleX, scaleY, offsetX, offsetY);
  DrawBackground(canvas, *this, r);
  DrawFrame(canvas, *this, r);
}

void TqdrCustomLineView::Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX,
                              double offsetY) {
  if (!Diagonal()) {
    FitToEdge();
    DrawFrame(canvas, *this, BeginDraw(*this, scaleX, scaleY, offsetX, offsetY));
    return;
  }
  const TqdrDrawRect r = BeginDraw(*this, scaleX, scaleY, offsetX, offsetY);
  const TqdrFrame& f = *Frame();
  if (f.Color() == clTransparent) return;
  canvas.save();
  canvas.setPen(QPen(ToQColor(f.Color()), 1, PenStyleOf(f.Style())));
  canvas.drawLine(r.x, r.y, r.x1, r.y1);
  canvas.restore();
}

void TqdrShapeView::Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX,
                         double offsetY) {
  const TqdrDrawRect r = BeginDraw(*this, scaleX, scaleY, offsetX, offsetY);
  const TqdrFrame& f = *Frame();
  canvas.save();
  canvas.setPen(FramePen(f, r.frameWidth));
  if (Color() != clTransparent)
    canvas.setBrush(QBrush(ToQColor(Color())));
  else if (HatchOf(BrushStyle()) != Qt::NoBrush)
    canvas.setBrush(QBrush(ToQColor(f.Color()), HatchOf(BrushStyle())));
  else
    canvas.setBrush(Qt::NoBrush);
  const QRect box(QPoint(r.x, r.y), QPoint(r.x1, r.y1));
  const int midX = (r.x + r.x1) / 2, midY = (r.y + r.y1) / 2;
  switch (Shape()) {
    case TqdrShapeKind::skRectangle:
      canvas.drawRect(box);
      break;
    case TqdrShapeKind::skRoundRectangle: {
      const double corner =
          Curve() > 0 ? Curve() * 10 * scaleX : std::min(box.width(), box.height()) / 4.0;
      canvas.drawRoundedRect(box, corner / 2, corner / 2);
      break;
    }
    case TqdrShapeKind::skEllipse:
      canvas.drawEllipse(box);
      break;
    case TqdrShapeKind::skTriangle:
      canvas.drawPolygon(QPolygon({QPoint(midX, r.y), QPoint(r.x1, r.y1), QPoint(r.x, r.y1)}));
      break;
    case TqdrShapeKind::skDiamond:
      canvas.drawPolygon(
          QPolygon({QPoint(midX, r.y), QPoint(r.x1, midY), QPoint(midX, r.y1), QPoint(r.x, midY)}));
      break;
    case TqdrShapeKind::skDiagonal1:
      canvas.drawLine(r.x, r.y1, r.x1, r.y);
      break;
    case TqdrShapeKind::skDiagonal2:
      canvas.drawLine(r.x, r.y, r.x1, r.y1);
      break;
  }
  canvas.restore();
}

void TqdrPictureView::Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX,
                           double offsetY) {
  const TqdrDrawRect r = BeginDraw(*this, scaleX, scaleY, offsetX, offsetY);
  DrawBackground(canvas, *this, r);
  const QImage image = Picture()->IsEmpty() ? QImage() : Picture()->ToImage();
  if (!image.isNull()) {
    const QRectF box(r.x, r.y, r.x1 - r.x, r.y1 - r.y);
    QRectF target(box.topLeft(), QSizeF(image.width() * scaleX, image.height() * scaleY));
    if (Stretched()) {
      target = box;
      if (KeepAspectRatio() && image.width() > 0 && image.height() > 0) {
        const double k = std::min(box.width() / image.width(), box.height() / image.height());
        target.setSize(QSizeF(image.width() * k, image.height() * k));
      }
    }
    if (Center()) target.moveCenter(box.center());
    canvas.save();
    canvas.setClipRect(box, Qt::IntersectClip);
    canvas.drawImage(target, image);
    canvas.restore();
  }
  DrawFrame(canvas, *this, r);
}

void TqdrSubreport::Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX,
                         double offsetY) {
  const TqdrDrawRect r = BeginDraw(*this, scaleX, scaleY, offsetX, offsetY);
  DrawBackground(canvas, *this, r);
  DrawFrame(canvas, *this, r);
  canvas.save();
  QFont font(QString::fromStdString(Font()->Name()));
  font.setPixelSize(std::max(1, Rnd(Font()->Size() * scaleY * 96 / 72)));
  canvas.setFont(font);
  canvas.setPen(ToQColor(Font()->Color()));
  canvas.drawText(QPoint(r.x + 2, r.y + 2 + QFontMetrics(font).ascent()),
                  QString::fromStdString(Name()));
  canvas.restore();
}

}  // namespace report
