// PDF export benchmark: N survey pages prepared over a generated SQLite query
// (file cache on, as batch printing does), then written to one PDF through the
// export filter (--via export, the default) or the print loop on a file
// printer (--via print). Prints pages/s of each step and the peak RSS.
// --texts FILE writes the texts of page 1 as laid out for drawing (JSON: one
// entry per drawn line with its baseline position in points, font and size),
// for bench/reportlab_survey.py to draw the same page.
// Run it through bench/pdf_export_bench.sh, or:
//   BUILD/bin/pdf_export_bench [--pages N] [--via export|print] [--texts FILE] OUT.pdf
#include <QFontMetricsF>
#include <QImage>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "bench/survey_fixture.h"
#include "engine/pdf_export.h"
#include "engine/print_pages.h"
#include "engine/printers.h"
#include "report/font.h"
#include "report/html_tags.h"
#include "report/page.h"
#include "report/qt_text_measure.h"
#include "report/text_layout.h"
#include "report/view.h"
#include "report/view_draw.h"

namespace {

constexpr double kMm = 3.77953;      // pixels (96 dpi) per millimetre
constexpr double kPt = 72.0 / 96.0;  // points per pixel

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// The lines page 1 draws, laid out the way memos lay themselves out when
// drawn at zoom 1, with their baselines on the paper.
int DumpTexts(engine::TqdrPreviewPages& pages, const std::string& file) {
  auto* page = dynamic_cast<report::TqdrReportPage*>(pages.PageAt(0));
  if (!page) return -1;
  const double offsetX = page->LeftMargin() * kMm, offsetY = page->TopMargin() * kMm;
  report::TqdrQtTextMeasure measure;
  report::TqdrTextLayout layout(&measure);
  std::ofstream out(file);
  out << "{\"width_pt\": " << page->PaperWidth() * kMm * kPt
      << ", \"height_pt\": " << page->PaperHeight() * kMm * kPt << ", \"texts\": [\n";
  int count = 0;
  for (report::TqdrComponent* c : page->AllObjects()) {
    report::TqdrView* view = c->AsView();
    report::TqdrCustomMemoView* memo = view ? view->AsMemo() : nullptr;
    if (!memo || !memo->Printable() || memo->Rotation() != 0) continue;
    const report::TqdrFont* font =
        memo->Highlight()->Active() ? memo->Highlight()->Font() : memo->Font();
    const uint8_t style = static_cast<uint8_t>(font->Style() & 15);
    measure.SetFont(QString::fromStdString(font->Name()), font->Size(), style);
    report::TqdrHTMLTag defaults;
    defaults.size = font->Size();
    defaults.style = style;
    layout.SetDefaultState(defaults);
    layout.SetOptions(memo->WordWrap(), memo->AllowHTMLTags(), 0);
    layout.SetGaps(memo->LineSpacing(), memo->CharSpacing(), memo->ParagraphGap());
    const report::TqdrTextRect at1 =
        report::MemoTextRect(*memo, report::BeginDraw(*memo, 1, 1, 0, 0));
    layout.SetBounds(at1.right - at1.left, at1.bottom - at1.top);
    layout.SetLayoutText(memo->Memo()->Lines());
    const report::TqdrTextRect rect =
        report::MemoTextRect(*memo, report::BeginDraw(*memo, 1, 1, offsetX, offsetY));

    QFont qfont(QString::fromStdString(font->Name()));
    qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(font->Size() * 96.0 / 72.0))));
    qfont.setBold(style & report::TqdrHTMLTag::Bold);
    const double ascent = QFontMetricsF(qfont).ascent();
    const double lineStep = layout.LineHeightPixels() + memo->LineSpacing();
    const double block = lineStep * static_cast<double>(layout.Lines().size());
    double top = rect.top;
    if (memo->VAlign() == report::TqdrVAlign::vaBottom) top = rect.bottom - block;
    if (memo->VAlign() == report::TqdrVAlign::vaCenter)
      top = rect.top + (rect.bottom - rect.top - block) / 2;
    for (size_t i = 0; i < layout.Lines().size(); ++i) {
      const report::TqdrLayoutLine& line = layout.Lines()[i];
      const std::string text = line.Utf8();
      if (text.find_first_not_of(' ') == std::string::npos) continue;
      const double width = line.width / report::kReferenceRatio;
      double x = rect.left;
      switch (memo->HAlign()) {
        case report::TqdrHAlign::haLeft:
        case report::TqdrHAlign::haBlock:
          if (line.flags & report::TqdrLayoutLine::FirstOfParagraph) x += memo->ParagraphGap();
          break;
        case report::TqdrHAlign::haRight:
          x = rect.right - width;
          break;
        case report::TqdrHAlign::haCenter:
          x = rect.left + (rect.right - rect.left - width) / 2;
          break;
      }
      const double baseline = std::nearbyint(top + lineStep * static_cast<double>(i)) + ascent;
      out << (count ? ",\n" : "") << "{\"x\": " << x * kPt << ", \"y\": " << baseline * kPt
          << ", \"size\": " << font->Size() << ", \"font\": " << JsonString(font->Name())
          << ", \"bold\": " << ((style & report::TqdrHTMLTag::Bold) ? "true" : "false")
          << ", \"text\": " << JsonString(text) << "}";
      ++count;
    }
  }
  out << "\n]}\n";
  return out ? count : -1;
}

int Usage() {
  std::fputs("usage: pdf_export_bench [--pages N] [--via export|print] [--texts FILE] OUT.pdf\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int rows = 10000;
  std::string via = "export", texts, pdf;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--pages" && hasValue)
      rows = std::atoi(argv[++i]);
    else if (arg == "--via" && hasValue)
      via = argv[++i];
    else if (arg == "--texts" && hasValue)
      texts = argv[++i];
    else if (!arg.empty() && arg[0] != '-' && pdf.empty())
      pdf = arg;
    else
      return Usage();
  }
  if (rows < 1 || pdf.empty() || (via != "export" && via != "print")) return Usage();

  bench::EnsureApp("pdf_export_bench");
  try {
    bench::SurveyReport survey(rows, true);
    auto t0 = std::chrono::steady_clock::now();
    if (!survey.Prepare() || survey.pages->PageCount() != rows) {
      std::fprintf(stderr, "preparation failed: %d pages for %d records\n",
                   survey.pages->PageCount(), rows);
      return 1;
    }
    const double prepare = Seconds(t0);
    const long rssPrepared = bench::PeakRssMb();
    std::printf("prepare: %d pages in %.3f s = %.0f pages/s, peak RSS %ld MB\n", rows, prepare,
                rows / prepare, rssPrepared);
    if (!texts.empty()) {
      const int n = DumpTexts(*survey.pages, texts);
      if (n < 0) {
        std::fprintf(stderr, "cannot write %s\n", texts.c_str());
        return 1;
      }
      std::printf("texts: %d lines of page 1 in %s\n", n, texts.c_str());
    }

    t0 = std::chrono::steady_clock::now();
    if (via == "export") {
      engine::TqdrPdfExport filter;
      filter.SetFileName(pdf);
      if (!survey.pages->ExportTo(filter)) return 1;
    } else {
      std::unique_ptr<engine::TqdrPrinter> printer = engine::TqdrPrinter::CreateFilePrinter("PDF");
      printer->SetFileName(pdf);
      printer->Initialize();
      survey.pages->PrintPages(*printer, engine::TqdrPrintSettings{});
    }
    const double write = Seconds(t0);
    std::ifstream size(pdf, std::ios::binary | std::ios::ate);
    std::printf("pdf (%s): %d pages in %.3f s = %.1f pages/s, %.1f MB, peak RSS %ld MB\n",
                via.c_str(), rows, write, rows / write,
                static_cast<double>(size.tellg()) / 1048576.0, bench::PeakRssMb());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "failed: %s\n", e.what());
    return 1;
  }
  return 0;
}
