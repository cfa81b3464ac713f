// View drawing over QPainter.
#include "report/view_draw.h"

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "report/frame.h"
#include "report/view.h"

namespace report {
namespace {

int Rnd(double v) {
  return static_cast<int>(std::nearbyint(v));  // halves to even, as the platform rounds
}

}  // namespace

// GDI's forward diagonal runs down from left to right, like Qt's FDiagPattern.
Qt::BrushStyle HatchOf(TBrushStyle s) {
  switch (s) {
    case TBrushStyle::bsHorizontal:
      return Qt::HorPattern;
    case TBrushStyle::bsVertical:
      return Qt::VerPattern;
    case TBrushStyle::bsFDiagonal:
      return Qt::FDiagPattern;
    case TBrushStyle::bsBDiagonal:
      return Qt::BDiagPattern;
    case TBrushStyle::bsCross:
      return Qt::CrossPattern;
    case TBrushStyle::bsDiagCross:
      return Qt::DiagCrossPattern;
    case TBrushStyle::bsSolid:
    case TBrushStyle::bsClear:
      break;
  }
  return Qt::NoBrush;
}

Qt::PenStyle PenStyleOf(TqdrFrameStyle s) {
  switch (s) {
    case TqdrFrameStyle::fsSolid:
    case TqdrFrameStyle::fsDouble:
      return Qt::SolidLine;
    case TqdrFrameStyle::fsDash:
      return Qt::DashLine;
    case TqdrFrameStyle::fsDot:
      return Qt::DotLine;
    case TqdrFrameStyle::fsDashDot:
      return Qt::DashDotLine;
    case TqdrFrameStyle::fsDashDotDot:
      return Qt::DashDotDotLine;
  }
  return Qt::SolidLine;
}

namespace {

// A band of `width` pixels covering the pixels from..to (inclusive) across,
// at position `at` along: horizontal when horizontal, else vertical.
void Band(QPainter& p, bool horizontal, int at, int from, int to, int width, const QColor& c) {
  if (width <= 0 || to < from) return;
  int start = at - width / 2;  // a 2-pixel line covers at-1 and at, like a centred pen
  if (horizontal)
    p.fillRect(from, start, to - from + 1, width, c);
  else
    p.fillRect(start, from, width, to - from + 1, c);
}

QFont DeviceFont(const QString& family, int sizePoints, uint8_t style, double scale) {
  QFont f(family);
  f.setPixelSize(std::max(1, Rnd(sizePoints * scale * 96.0 / 72.0)));
  f.setBold(style & TqdrHTMLTag::Bold);
  f.setItalic(style & TqdrHTMLTag::Italic);
  f.setUnderline(style & TqdrHTMLTag::Underline);
  f.setStrikeOut(style & TqdrHTMLTag::StrikeOut);
  f.setKerning(false);
  return f;
}


// Device fonts, their raw form and ascent, resolved once per family, pixel
// size and style (sizes are in device pixels, so no device resolution enters).
struct DeviceFace {
  QFont font;
  QRawFont raw;
  double ascent = 0;
};

const DeviceFace& FaceFor(const QString& family, int sizePoints, uint8_t style, double scale) {
  static std::map<std::tuple<QString, int, int>, DeviceFace> cache;
  const int pixels = std::max(1, Rnd(sizePoints * scale * 96.0 / 72.0));
  auto key = std::make_tuple(family, pixels, static_cast<int>(style));
  auto it = cache.find(key);
  if (it == cache.end()) {
    DeviceFace face;
    face.font = DeviceFont(family, sizePoints, style, scale);
    face.raw = QRawFont::fromFont(face.font);
    face.ascent = QFontMetricsF(face.font).ascent();
    it = cache.emplace(key, std::move(face)).first;
  }
  return it->second;
}

// A stretch of characters with the same tag state, each at its device x.
class TextRun {
 public:
  bool Continues(int size, const TqdrHTMLTag& st) const {
    return !chars_.empty() && size == size_ && st.style == state_.style &&
           st.color == state_.color && st.offsetFactor == state_.offsetFactor;
  }
  void Start(int size, const TqdrHTMLTag& st) {
    size_ = size;
    state_ = st;
  }
  void Add(char32_t c, int x) {
    chars_.push_back(c);
    xs_.push_back(x);
  }
  void Flush(QPainter& painter, const QString& family, double scale, int lineTop) {
    if (chars_.empty()) return;
    const DeviceFace& face = FaceFor(family, size_, state_.style, scale);
    const QFont& font = face.font;
    double baseline = lineTop + face.ascent;
    if (state_.offsetFactor) baseline += state_.offsetFactor * font.pixelSize() * 0.5;
    painter.setPen(ToQColor(state_.color));
    const QRawFont& raw = face.raw;
    QVector<quint32> glyphs;
    bool drawable = raw.isValid();
    if (drawable) {
      glyphs = raw.glyphIndexesForString(QString::fromUcs4(chars_.data(), static_cast<qsizetype>(chars_.size())));
      drawable = glyphs.size() == static_cast<qsizetype>(chars_.size()) &&
                 std::find(glyphs.begin(), glyphs.end(), 0u) == glyphs.end();
    }
    if (drawable) {
      QVector<QPointF> positions;
      positions.reserve(glyphs.size());
      for (int x : xs_) positions.push_back(QPointF(x - xs_.front(), 0));
      QGlyphRun glyphRun;
      glyphRun.setRawFont(raw);
      glyphRun.setGlyphIndexes(glyphs);
      glyphRun.setPositions(positions);
      glyphRun.setUnderline(font.underline());
      glyphRun.setStrikeOut(font.strikeOut());
      painter.drawGlyphRun(QPointF(xs_.front(), baseline), glyphRun);
    } else {
      // Characters the face lacks (or outside the basic plane) take Qt's font fallback.
      painter.setFont(font);
      for (size_t i = 0; i < chars_.size(); ++i)
        painter.drawText(QPointF(xs_[i], baseline), QString::fromUcs4(&chars_[i], 1));
    }
    chars_.clear();
    xs_.clear();
  }

 private:
  int size_ = 0;
  TqdrHTMLTag state_;
  std::vector<char32_t> chars_;
  std::vector<int> xs_;
};

}  // namespace

QColor ToQColor(int32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TqdrDrawRect BeginDraw(const TqdrView& view, double scaleX, double scaleY, double offsetX,
                       double offsetY) {
  TqdrDrawRect r;
  r.scaleX = scaleX;
  r.scaleY = scaleY;
  r.x = Rnd(offsetX + view.AbsLeft() * scaleX);
  r.y = Rnd(offsetY + view.AbsTop() * scaleY);
  r.x1 = Rnd(offsetX + (view.AbsLeft() + view.Width()) * scaleX);
  r.y1 = Rnd(offsetY + (view.AbsTop() + view.Height()) * scaleY);
  const TqdrFrame& frame = *view.Frame();
  if (frame.DropShadow()) {
    r.x1 -= Rnd(frame.ShadowWidth() * scaleX);
    r.y1 -= Rnd(frame.ShadowWidth() * scaleY);
  }
  r.frameWidth = Rnd(frame.Width() * scaleX);
  return r;
}

TqdrTextRect MemoTextRect(const TqdrCustomMemoView& memo, const TqdrDrawRect& r) {
  const TqdrFrame& f = *memo.Frame();
  const uint32_t typ = f.Typ();
  TqdrTextRect t;
  t.left = r.x + Rnd(r.scaleX * memo.GapX()) +
           (typ & frame_typ::ftLeft ? Rnd((r.scaleX * f.Width() - 1) / 2) : 0);
  t.top = r.y + Rnd(r.scaleY * memo.GapY()) +
          (typ & frame_typ::ftTop ? Rnd((r.scaleY * f.Width() - 1) / 2) : 0);
  t.right = r.x1 - Rnd(r.scaleX * memo.GapX()) -
            (typ & frame_typ::ftRight ? Rnd(r.scaleX * f.Width() / 2) : 0) + 1;
  t.bottom = r.y1 - Rnd(r.scaleY * memo.GapY()) -
             (typ & frame_typ::ftBottom ? Rnd(r.scaleY * f.Width() / 2) : 0) + 1;
  return t;
}

void DrawBackground(QPainter& painter, const TqdrView& view, const TqdrDrawRect& r) {
  if (view.Color() != clTransparent)
    painter.fillRect(r.x, r.y, r.x1 - r.x + 1, r.y1 - r.y + 1, ToQColor(view.Color()));
  const TBrushStyle bs = view.BrushStyle();
  if (const Qt::BrushStyle hatch = HatchOf(bs); hatch != Qt::NoBrush)
    painter.fillRect(r.x, r.y, r.x1 - r.x + 2, r.y1 - r.y + 2,
                     QBrush(ToQColor(view.Frame()->Color()), hatch));
}

void DrawFrame(QPainter& painter, const TqdrView& view, const TqdrDrawRect& r) {
  const TqdrFrame& f = *view.Frame();
  if (f.DropShadow()) {
    int s = Rnd(f.ShadowWidth() * r.scaleX);
    QColor c = ToQColor(f.ShadowColor());
    // bands just outside the reduced box, along its right and bottom edges
    painter.fillRect(r.x1 + 1, r.y + s, s, r.y1 - r.y - s + 1, c);
    painter.fillRect(r.x + s, r.y1 + 1, r.x1 - r.x + 1, s, c);
  }
  const uint32_t typ = f.Typ();
  if (typ == 0 || f.Color() == clTransparent || f.Width() == 0) return;
  const QColor color = ToQColor(f.Color());
  const int w = std::max(1, r.frameWidth);
  const bool left = typ & frame_typ::ftLeft, right = typ & frame_typ::ftRight;
  const bool top = typ & frame_typ::ftTop, bottom = typ & frame_typ::ftBottom;

  if (f.Style() == TqdrFrameStyle::fsSolid) {
    if (left) Band(painter, false, r.x, r.y, r.y1, w, color);
    if (right) Band(painter, false, r.x1, r.y, r.y1, w, color);
    if (top) Band(painter, true, r.y, r.x, r.x1, w, color);
    if (bottom) Band(painter, true, r.y1, r.x, r.x1 + (w == 1 ? 1 : 0), w, color);
    return;
  }
  if (f.Style() == TqdrFrameStyle::fsDouble) {
    // Two lines a frame width outside and inside the edge; the object's
    // colour fills between them. Ends move by w so the corners meet.
    if (view.Color() != clTransparent) {
      QColor fill = ToQColor(view.Color());
      if (left) Band(painter, false, r.x, r.y - w, r.y1 + w, w, fill);
      if (right) Band(painter, false, r.x1, r.y - w, r.y1 + w, w, fill);
      if (top) Band(painter, true, r.y, r.x - w, r.x1 + w, w, fill);
      if (bottom) Band(painter, true, r.y1, r.x - w, r.x1 + w, w, fill);
    }
    for (int side : {-1, 1}) {
      int d = side * w;  // -: outside, +: inside
      if (left)
        Band(painter, false, r.x + d, r.y + (top ? d : 0), r.y1 - (bottom ? d : 0), w, color);
      if (right)
        Band(painter, false, r.x1 - d, r.y + (top ? d : 0), r.y1 - (bottom ? d : 0), w, color);
      if (top) Band(painter, true, r.y + d, r.x + (left ? d : 0), r.x1 - (right ? d : 0), w, color);
      if (bottom)
        Band(painter, true, r.y1 - d, r.x + (left ? d : 0), r.x1 - (right ? d : 0), w, color);
    }
    return;
  }
  // Dashed styles: 1-pixel dashed pens side by side until the width is covered.
  QPen pen(color, 1, PenStyleOf(f.Style()), Qt::FlatCap);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(pen);
  for (int i = 0; i < w; ++i) {
    int o = i - w / 2;
    if (left) painter.drawLine(r.x + o, r.y, r.x + o, r.y1);
    if (right) painter.drawLine(r.x1 + o, r.y, r.x1 + o, r.y1);
    if (top) painter.drawLine(r.x, r.y + o, r.x1, r.y + o);
    if (bottom) painter.drawLine(r.x, r.y1 + o, r.x1, r.y1 + o);
  }
  painter.restore();
}

void DrawLayoutText(QPainter& painter, const TqdrTextLayout& layout, TqdrTextMeasure& measure,
                    const TqdrTextRect& rect, const TqdrTextDrawParams& params) {
  const auto& lines = layout.Lines();
  if (lines.empty()) return;
  const double toDeviceX = params.scaleX / kReferenceRatio;
  const double lineStep = (layout.LineHeightPixels() + params.lineSpacing) * params.scaleY;
  const double blockHeight = lineStep * static_cast<double>(lines.size());
  const double rectWidth = rect.right - rect.left;
  painter.save();
  // A clip costs every device a path; text that stays inside needs none.
  bool overflows = blockHeight > rect.bottom - rect.top;
  for (size_t li = 0; li < lines.size() && !overflows; ++li)
    overflows = lines[li].width * toDeviceX + params.paragraphGap * params.scaleX > rectWidth;
  if (params.clipped && overflows)
    painter.setClipRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  double top = rect.top;
  if (params.vAlign == TqdrVAlign::vaBottom) top = rect.bottom - blockHeight;
  if (params.vAlign == TqdrVAlign::vaCenter)
    top = rect.top + (rect.bottom - rect.top - blockHeight) / 2;
  const double spacing = params.charSpacing * kReferenceRatio;

  for (size_t li = 0; li < lines.size(); ++li) {
    const TqdrLayoutLine& line = lines[li];
    // Line tops from the reference layout: rounding each one spreads the
    // difference to the device's own line heights over the gaps.
    const int lineTop = Rnd(top + lineStep * static_cast<double>(li));
    const double lineWidth = line.width * toDeviceX;
    const bool first = line.flags & TqdrLayoutLine::FirstOfParagraph;
    const bool last = line.flags & TqdrLayoutLine::LastOfParagraph;
    double x = rect.left;
    double extraPerBlank = 0;
    int blanks = 0, extraRemainder = 0;
    switch (params.hAlign) {
      case TqdrHAlign::haLeft:
        if (first) x += params.paragraphGap * params.scaleX;
        break;
      case TqdrHAlign::haRight:
        x = rect.right - lineWidth;
        break;
      case TqdrHAlign::haCenter:
        x = rect.left + (rectWidth - lineWidth) / 2;
        break;
      case TqdrHAlign::haBlock: {
        if (first) x += params.paragraphGap * params.scaleX;
        for (char32_t c : line.text)
          if (c == ' ' || c == 0xA0) ++blanks;
        if (!last && blanks > 0) {
          int freeWidth = static_cast<int>(std::floor(rect.right - x - lineWidth));
          if (freeWidth > 0) {
            extraPerBlank = freeWidth / blanks;
            extraRemainder = freeWidth % blanks;
          }
        }
        break;
      }
    }
    double refPos = 0;
    double justify = 0;
    int blankIndex = 0;
    // Characters of one tag state go out as one glyph run at their own
    // positions: one font, metrics and draw call per run instead of per character.
    TextRun run;
    for (size_t i = 0; i < line.text.size(); ++i) {
      const TqdrHTMLTag& st = line.states[i];
      const char32_t c = line.text[i];
      const int size = st.size > 0 ? st.size : params.sizePoints;
      if (!run.Continues(size, st)) {
        run.Flush(painter, params.family, params.scaleY, lineTop);
        run.Start(size, st);
      }
      run.Add(c, Rnd(x + refPos * toDeviceX + justify));
      refPos += measure.Advance(c, st) + spacing;
      if ((c == ' ' || c == 0xA0) && blanks > 0 && (extraPerBlank > 0 || extraRemainder > 0)) {
        justify += extraPerBlank + (blankIndex < extraRemainder ? 1 : 0);
        ++blankIndex;
      }
    }
    run.Flush(painter, params.family, params.scaleY, lineTop);
  }
  painter.restore();
}

}  // namespace report
