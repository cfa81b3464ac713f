// Message helpers and the detail message dialog.
#include "app/messages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cctype>
#include <cstdlib>

#include "app/his_globals.h"
#include "app/message_dialog.h"
#include "recording_ui.h"

TEST(DetailShortText, Table) {
  struct Case {
    const char* name;
    const char* message;
    const char* shortText;
  } cases[] = {
      {"colon before star", "Error: table missing*select ...", " table missing"},
      {"no colon", "connect failed*details", "connect failed"},
      {"colon after star", "failed*at 10:30", ""},
      {"no star", "plain: message", "plain: message"},
      {"star first", "*rest", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(app::DetailShortText(c.message), c.shortText) << c.name;
}

TEST(ShowDetailMessage, DetailHoldsTheWholeMessageAndCaptionDefaults) {
  RecordingUi ui;
  app::ShowDetailMessage("", "a:b*c", "more");
  app::ShowDetailMessage("打印设置", "获取打印设备时出错!", "");
  ASSERT_EQ(ui.details.size(), 2u);
  EXPECT_EQ(ui.details[0], std::string(app::kAppTitle) + "|b|a:b*c\r\nmore");
  EXPECT_EQ(ui.details[1], "打印设置|获取打印设备时出错!|获取打印设备时出错!\r\n");
}

TEST(MessageBoxes, KindsAndCaptions) {
  RecordingUi ui;
  app::ShowMessageBox("w", 0);
  app::ShowErrorBox("e");
  app::ShowMessageBox("i", 2);
  app::ShowMessageBox("n", 7);
  ui.answers = {app::MessageAnswer::Yes};
  EXPECT_TRUE(app::ConfirmBox("q?", "退出系统"));
  EXPECT_FALSE(app::ConfirmBox("q?", "退出系统"));
  ASSERT_EQ(ui.boxes.size(), 6u);
  EXPECT_EQ(ui.boxes[0].icon, app::MessageIcon::Warning);
  EXPECT_EQ(ui.boxes[1].icon, app::MessageIcon::Error);
  EXPECT_EQ(ui.boxes[2].icon, app::MessageIcon::Information);
  EXPECT_EQ(ui.boxes[3].icon, app::MessageIcon::None);
  EXPECT_EQ(ui.boxes[1].caption, app::kAppTitle);
  EXPECT_EQ(ui.boxes[4].caption, "退出系统");
  EXPECT_TRUE(ui.boxes[4].defaultNo);
  EXPECT_EQ(ui.boxes[4].icon, app::MessageIcon::Question);
}

TEST(TfrmMessage, ExpandsKeepsRemarkAndClosesOnEscape) {
  app::TfrmMessage dialog;
  dialog.SetTexts("short", "detail line 1\r\nline 2");
  dialog.show();
  EXPECT_EQ(dialog.height(), app::TfrmMessage::kCollapsedHeight);
  EXPECT_EQ(dialog.width(), app::TfrmMessage::kWidth);
  EXPECT_FALSE(dialog.Panel1()->isVisible());
  dialog.MnoUser()->setPlainText("already typed");
  QTest::mouseClick(dialog.BtnDetails(), Qt::LeftButton);
  EXPECT_EQ(dialog.height(), app::TfrmMessage::kExpandedHeight);
  EXPECT_TRUE(dialog.Panel1()->isVisible());
  EXPECT_EQ(dialog.BtnDetails()->text().toStdString(), "<<<详细情况");
  EXPECT_EQ(dialog.MnoUser()->toPlainText().toStdString(), "already typed");
  QTest::mouseClick(dialog.BtnDetails(), Qt::LeftButton);
  EXPECT_EQ(dialog.height(), app::TfrmMessage::kCollapsedHeight);
  EXPECT_EQ(dialog.BtnDetails()->text().toStdString(), "详细情况>>>");
  dialog.MnoUser()->clear();
  QTest::mouseClick(dialog.BtnDetails(), Qt::LeftButton);
  EXPECT_EQ(dialog.MnoUser()->toPlainText().toStdString(), "建议：") << "a blank remark gets the prompt";
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

// Reads a binary PGM (P5) as written by pdftoppm -gray.
struct Gray {
  int width = 0, height = 0;
  QByteArray pixels;
  bool Ink(int x, int y) const { return static_cast<unsigned char>(pixels[y * width + x]) < 128; }
  bool RowHasInk(int y) const {
    for (int x = 0; x < width; ++x)
      if (Ink(x, y)) return true;
    return false;
  }
};

Gray ReadPgm(const QString& path) {
  QFile f(path);
  Gray g;
  if (!f.open(QIODevice::ReadOnly)) return g;
  QByteArray all = f.readAll();
  QList<QByteArray> head;
  int pos = 0;
  while (head.size() < 4 && pos < all.size()) {
    while (pos < all.size() && isspace(static_cast<unsigned char>(all[pos]))) ++pos;
    int start = pos;
    while (pos < all.size() && !isspace(static_cast<unsigned char>(all[pos]))) ++pos;
    head << all.mid(start, pos - start);
  }
  if (head.size() < 4 || head[0] != "P5") return g;
  g.width = head[1].toInt();
  g.height = head[2].toInt();
  g.pixels = all.mid(pos + 1);
  if (g.pixels.size() < g.width * g.height) g = Gray();
  return g;
}

// Prints the detail text through the real CUPS queue and looks at the PDF
// that comes out: a 15 x 15 cm page with one text line at each line position.
TEST(TfrmMessage, PrintsTheDetailLinesThroughCups) {
  const char* queue = std::getenv("SURVEY_TEST_CUPS_QUEUE");
  if (!queue || !*queue) GTEST_SKIP() << "SURVEY_TEST_CUPS_QUEUE is not set (./test starts CUPS)";
  QPrinterInfo info = QPrinterInfo::printerInfo(queue);
  ASSERT_FALSE(info.isNull()) << "queue " << queue << " not listed";
  QString job = QString("detail-%1").arg(QDateTime::currentMSecsSinceEpoch());
  app::TfrmMessage dialog;
  dialog.SetTexts("x", "第一行 first line\r\n第二行 second line");
  QPrinter printer(info, QPrinter::HighResolution);
  dialog.PrintDetails(&printer, job);
  const double dpi = printer.resolution();

  QStringList dirs;
  if (const char* out = std::getenv("SURVEY_TEST_CUPS_OUT")) dirs << QString::fromUtf8(out);
  dirs << QDir::homePath() + "/PDF" << "/var/spool/cups-pdf/ANONYMOUS";
  QString pdf;
  QElapsedTimer timer;
  timer.start();
  while (pdf.isEmpty() && timer.elapsed() < 60000) {
    for (const QString& d : dirs)
      for (const QFileInfo& f : QDir(d).entryInfoList({"*" + job + "*.pdf"}, QDir::Files))
        if (f.size() > 0) pdf = f.absoluteFilePath();
    if (pdf.isEmpty()) QThread::msleep(100);
  }
  ASSERT_FALSE(pdf.isEmpty()) << "no PDF named after the job in " << dirs.join(", ").toStdString();
  QThread::msleep(300);  // let cups-pdf finish writing

  QProcess info2;
  info2.start("pdfinfo", {pdf});
  info2.waitForFinished(10000);
  QString meta = QString::fromUtf8(info2.readAllStandardOutput());
  EXPECT_TRUE(meta.contains(QRegularExpression("Pages:\\s+1\\b"))) << meta.toStdString();
  EXPECT_TRUE(meta.contains(QRegularExpression("Page size:\\s+425(\\.\\d+)? x 425"))) << meta.toStdString();

  QTemporaryDir tmp;
  QProcess raster;
  raster.start("pdftoppm", {"-r", "72", "-gray", "-singlefile", pdf, tmp.filePath("page")});
  raster.waitForFinished(30000);
  Gray page = ReadPgm(tmp.filePath("page.pgm"));
  ASSERT_GT(page.width, 0) << "pdftoppm gave no page";
  QFile::remove(pdf);
  // Line i starts at y = 100 + 150 i printer pixels; 11 points are about 15 pixels at 72 dpi.
  const int top1 = static_cast<int>(100 * 72 / dpi), top2 = static_cast<int>(250 * 72 / dpi);
  for (int y = 0; y < top1 - 1; ++y) EXPECT_FALSE(page.RowHasInk(y)) << "ink above the first line at " << y;
  auto bandHasInk = [&](int top) {
    for (int y = top; y < top + 16 && y < page.height; ++y)
      if (page.RowHasInk(y)) return true;
    return false;
  };
  EXPECT_TRUE(bandHasInk(top1)) << "first line missing at " << top1;
  EXPECT_TRUE(bandHasInk(top2)) << "second line missing at " << top2;
  for (int y = top2 + 20; y < page.height; ++y) EXPECT_FALSE(page.RowHasInk(y)) << "ink below the text at " << y;
}
