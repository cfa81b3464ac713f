// View drawing checked on the pixels of rendered images: frames, hatch,
// shadow, and memo text that keeps its breaks and widths at every scale.
#include "report/view_draw.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include "report/frame.h"
#include "report/qt_text_measure.h"
#include "report/view.h"

namespace report {
namespace {

const char* kMing = "AR PL UMing CN";

QImage White(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}

bool IsInk(const QImage& img, int x, int y) {
  return qGray(img.pixel(x, y)) < 160;
}

// Bounding box of dark pixels, or an empty rect.
QRect InkBox(const QImage& img) {
  int minX = img.width(), minY = img.height(), maxX = -1, maxY = -1;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (IsInk(img, x, y)) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
  return maxX < 0 ? QRect() : QRect(QPoint(minX, minY), QPoint(maxX, maxY));
}

// Rows holding any dark pixel, merged into runs: one run per drawn text line.
int InkRowRuns(const QImage& img) {
  int runs = 0;
  bool in = false;
  for (int y = 0; y < img.height(); ++y) {
    bool any = false;
    for (int x = 0; x < img.width() && !any; ++x) any = IsInk(img, x, y);
    if (any && !in) ++runs;
    in = any;
  }
  return runs;
}

class ViewDrawTest : public testing::Test {
 protected:
  void SetUp() override {
    memo_.SetLeft(10);
    memo_.SetTop(10);
    memo_.SetWidth(100);
    memo_.SetHeight(30);
    memo_.Frame()->SetColor(clBlack);
  }
  QImage Render(double scale = 1) {
    QImage img = White(static_cast<int>(140 * scale), static_cast<int>(60 * scale));
    QPainter p(&img);
    TqdrDrawRect r = BeginDraw(memo_, scale, scale, 0, 0);
    DrawBackground(p, memo_, r);
    DrawFrame(p, memo_, r);
    return img;
  }
  TqdrMemoView memo_;
};

TEST_F(ViewDrawTest, BottomLineTwoPixelsAlongTheBottomEdge) {
  memo_.Frame()->SetTyp(frame_typ::ftBottom);
  memo_.Frame()->SetWidth(2);
  QImage img = Render();
  img.save("/tmp/report_draw_bottom.png");
  // the box ends at y = 40
  for (int x = 12; x < 108; x += 7) {
    EXPECT_FALSE(IsInk(img, x, 38)) << x;
    EXPECT_TRUE(IsInk(img, x, 39)) << x;
    EXPECT_TRUE(IsInk(img, x, 40)) << x;
    EXPECT_FALSE(IsInk(img, x, 41)) << x;
  }
  EXPECT_FALSE(IsInk(img, 10, 20)) << "no left line";
  EXPECT_FALSE(IsInk(img, 60, 10)) << "no top line";
}

TEST_F(ViewDrawTest, AllLinesOnePixel) {
  memo_.Frame()->SetTyp(frame_typ::ftAll);
  QImage img = Render();
  EXPECT_TRUE(IsInk(img, 10, 25));
  EXPECT_TRUE(IsInk(img, 110, 25));
  EXPECT_TRUE(IsInk(img, 60, 10));
  EXPECT_TRUE(IsInk(img, 60, 40));
  EXPECT_TRUE(IsInk(img, 111, 40)) << "a 1-pixel bottom line is one pixel longer";
  EXPECT_FALSE(IsInk(img, 60, 25));
  EXPECT_EQ(InkBox(img), QRect(QPoint(10, 10), QPoint(111, 40)));
}

TEST_F(ViewDrawTest, TransparentCrossHatchDrawsOnlyTheHatch) {
  memo_.SetColor(clTransparent);
  memo_.SetBrushStyle(TBrushStyle::bsCross);
  memo_.Frame()->SetColor(clRed);
  QImage img = Render();
  img.save("/tmp/report_draw_hatch.png");
  int red = 0, other = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      QRgb px = img.pixel(x, y);
      if (px == qRgb(255, 0, 0))
        ++red;
      else if (px != qRgb(255, 255, 255))
        ++other;
      if (px == qRgb(255, 0, 0)) {
        EXPECT_TRUE(x >= 10 && x <= 111 && y >= 10 && y <= 41) << x << "," << y;
      }
    }
  EXPECT_GT(red, 300);
  EXPECT_LT(red, 101 * 31 / 2) << "a hatch, not a fill";
  EXPECT_EQ(other, 0);
}

TEST_F(ViewDrawTest, FilledBackgroundAndDropShadowInsideTheBox) {
  memo_.SetColor(0x00FF00);  // lime
  memo_.Frame()->SetDropShadow(true);
  memo_.Frame()->SetShadowWidth(4);
  QImage img = Render();
  img.save("/tmp/report_draw_shadow.png");
  EXPECT_EQ(img.pixel(20, 20), qRgb(0, 255, 0));
  EXPECT_EQ(img.pixel(106, 36), qRgb(0, 255, 0)) << "box reduced by the shadow width";
  EXPECT_EQ(img.pixel(108, 25), qRgb(0, 0, 0)) << "right shadow band";
  EXPECT_EQ(img.pixel(60, 38), qRgb(0, 0, 0)) << "bottom shadow band";
  EXPECT_EQ(img.pixel(108, 11), qRgb(255, 255, 255)) << "shadow starts s below the top";
}

TEST_F(ViewDrawTest, DoubleFrameDrawsTwoLinesPerSide) {
  memo_.Frame()->SetTyp(frame_typ::ftAll);
  memo_.Frame()->SetStyle(TqdrFrameStyle::fsDouble);
  memo_.Frame()->SetWidth(1);
  QImage img = Render();
  img.save("/tmp/report_draw_double.png");
  // left edge at x = 10: lines at 9 and 11, the edge itself left clear
  EXPECT_TRUE(IsInk(img, 9, 25));
  EXPECT_FALSE(IsInk(img, 10, 25));
  EXPECT_TRUE(IsInk(img, 11, 25));
  EXPECT_TRUE(IsInk(img, 60, 9));
  EXPECT_TRUE(IsInk(img, 60, 11));
  EXPECT_TRUE(IsInk(img, 60, 39));
  EXPECT_TRUE(IsInk(img, 60, 41));
}

TEST_F(ViewDrawTest, DashedFrameHasGaps) {
  memo_.Frame()->SetTyp(frame_typ::ftTop);
  memo_.Frame()->SetStyle(TqdrFrameStyle::fsDash);
  QImage img = Render();
  int ink = 0;
  for (int x = 10; x <= 110; ++x) ink += IsInk(img, x, 10);
  EXPECT_GT(ink, 30);
  EXPECT_LT(ink, 95);
}

TEST(MemoTextRectTest, GapsAndFrameLines) {
  TqdrMemoView memo;
  memo.SetLeft(10);
  memo.SetTop(20);
  memo.SetWidth(100);
  memo.SetHeight(40);
  memo.SetGapX(2);
  memo.SetGapY(1);
  memo.Frame()->SetTyp(frame_typ::ftAll);
  memo.Frame()->SetWidth(3);
  TqdrTextRect t = MemoTextRect(memo, BeginDraw(memo, 2, 2, 5, 0));
  // X = 25, Y = 40, X1 = 225, Y1 = 120; rnd(4) + rnd(5 / 2) = 4 + 2, rnd(6 / 2) = 3
  EXPECT_EQ(t.left, 25 + 4 + 2);
  EXPECT_EQ(t.top, 40 + 2 + 2);
  EXPECT_EQ(t.right, 225 - 4 - 3 + 1);
  EXPECT_EQ(t.bottom, 120 - 2 - 3 + 1);
}

// Draws the memo text at a scale; returns the image.
QImage DrawText(const std::vector<std::string>& text, double width, double scale, TqdrHAlign align,
                std::vector<std::string>* lines = nullptr) {
  TqdrQtTextMeasure measure;
  measure.SetFont(kMing, 9, 0);
  TqdrTextLayout layout(&measure);
  TqdrHTMLTag defaults;
  defaults.size = 9;
  layout.SetDefaultState(defaults);
  layout.SetOptions(true, true, 0);
  layout.SetBounds(width, 100);
  layout.SetLayoutText(text);
  if (lines)
    for (const TqdrLayoutLine& l : layout.Lines()) lines->push_back(l.Utf8());
  QImage img = White(static_cast<int>((width + 20) * scale), static_cast<int>(80 * scale));
  QPainter p(&img);
  TqdrTextRect rect{static_cast<int>(10 * scale), static_cast<int>(10 * scale),
                    static_cast<int>((10 + width) * scale), static_cast<int>(70 * scale)};
  TqdrTextDrawParams params;
  params.family = kMing;
  params.sizePoints = 9;
  params.scaleX = params.scaleY = scale;
  params.hAlign = align;
  DrawLayoutText(p, layout, measure, rect, params);
  return img;
}

TEST(DrawLayoutTextTest, SameLinesAndWidthsAtEveryScale) {
  const std::vector<std::string> text = {"患者姓名李\xF0\xA8\x8B\xA2性别女年龄三十五岁 ABC"};
  std::vector<std::string> reference;
  QImage base = DrawText(text, 100, 1, TqdrHAlign::haLeft, &reference);
  base.save("/tmp/report_text_scale1.png");
  const QRect baseBox = InkBox(base);
  ASSERT_FALSE(baseBox.isNull());
  EXPECT_EQ(InkRowRuns(base), static_cast<int>(reference.size()));
  for (double scale : {0.5, 2.0, 6.25}) {
    std::vector<std::string> lines;
    QImage img = DrawText(text, 100, scale, TqdrHAlign::haLeft, &lines);
    img.save(("/tmp/report_text_scale" + std::to_string(scale) + ".png").c_str());
    EXPECT_EQ(lines, reference) << scale;
    if (scale < 1) continue;  // 6-pixel glyphs are too faint for the ink threshold
    QRect box = InkBox(img);
    // the ink spans the same part of the memo, in device pixels
    EXPECT_NEAR(box.left() / scale, baseBox.left(), 2.0) << scale;
    EXPECT_NEAR(box.right() / scale, baseBox.right(), 2.5) << scale;
    EXPECT_EQ(InkRowRuns(img), static_cast<int>(reference.size())) << scale;
  }
}

TEST(DrawLayoutTextTest, BlockJustifiesAllButTheLastLineOfAParagraph) {
  const std::vector<std::string> text = {"aa bb cc dd ee ff gg hh ii"};
  std::vector<std::string> lines;
  QImage left = DrawText(text, 100, 1, TqdrHAlign::haLeft, &lines);
  QImage block = DrawText(text, 100, 1, TqdrHAlign::haBlock);
  block.save("/tmp/report_text_block.png");
  ASSERT_GE(lines.size(), 2u);
  // right edge of the ink in the first line's rows
  auto rightInk = [](const QImage& img, int y0, int y1) {
    int right = -1;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < img.width(); ++x)
        if (IsInk(img, x, y)) right = std::max(right, x);
    return right;
  };
  EXPECT_GE(rightInk(block, 10, 22), 107) << "justified to the right edge at 110";
  EXPECT_LT(rightInk(left, 10, 22), rightInk(block, 10, 22));
  const int lastTop = 10 + 12 * static_cast<int>(lines.size() - 1);
  EXPECT_EQ(rightInk(block, lastTop, lastTop + 12), rightInk(left, lastTop, lastTop + 12))
      << "the last line stays left-aligned";
}

TEST(DrawLayoutTextTest, BoldTagDrawsHeavierText) {
  QImage plain = DrawText({"bold normal"}, 200, 2, TqdrHAlign::haLeft);
  QImage bold = DrawText({"<b>bold</b> normal"}, 200, 2, TqdrHAlign::haLeft);
  bold.save("/tmp/report_text_bold.png");
  auto inkIn = [](const QImage& img, int x0, int x1) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = x0; x < x1; ++x) n += IsInk(img, x, y);
    return n;
  };
  // "bold" spans about 4 x 6 pixels at scale 2 from x = 20
  EXPECT_GT(inkIn(bold, 20, 70), inkIn(plain, 20, 70) * 11 / 10);
}

// A PDF device draws the same lines; the text comes back out of the file.
TEST(DrawLayoutTextTest, PdfDeviceKeepsTheText) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath("memo.pdf");
  TqdrQtTextMeasure measure;
  measure.SetFont(kMing, 9, 0);
  TqdrTextLayout layout(&measure);
  TqdrHTMLTag defaults;
  defaults.size = 9;
  layout.SetDefaultState(defaults);
  layout.SetBounds(100, 100);
  layout.SetLayoutText({"患者姓名张三性别女年龄三十五岁"});
  ASSERT_EQ(layout.Lines().size(), 2u);
  {
    QPdfWriter pdf(file);
    pdf.setResolution(600);
    QPainter p(&pdf);
    const double scale = 600.0 / 96.0;
    TqdrTextRect rect{60, 60, 60 + static_cast<int>(100 * scale),
                      60 + static_cast<int>(100 * scale)};
    TqdrTextDrawParams params;
    params.family = kMing;
    params.sizePoints = 9;
    params.scaleX = params.scaleY = scale;
    DrawLayoutText(p, layout, measure, rect, params);
  }
  QProcess text;
  text.start("pdftotext", {"-layout", file, "-"});
  ASSERT_TRUE(text.waitForFinished(20000));
  const QString out = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(out.contains(QString::fromUtf8("患者姓名张三性别"))) << out.toStdString();
  EXPECT_TRUE(out.contains(QString::fromUtf8("女年龄三十五岁"))) << out.toStdString();
}

}  // namespace
}  // namespace report
