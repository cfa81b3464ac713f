// Printing tests: prepared pages that carry their page number as black
// marks, and readers of the PDF files that printing produces (poppler tools).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/reflection.h"
#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/page.h"
#include "report/report.h"
#include "report/types.h"
#include "report/view.h"
#include "report/view_draw.h"

namespace print_test {

namespace fs = std::filesystem;
using namespace report;

constexpr int kMarkBits = 4;  // page numbers 1 to 15
constexpr double kMarginMm = 10;
constexpr double kBandTop = 20, kMarkTop = 20, kMarkLeft = 20, kMarkStep = 50, kMarkSize = 40;

inline std::string Run(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"),
                                             pclose);
  if (!pipe) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe.get())) > 0) out.append(buf, n);
  return out;
}

inline std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

struct PdfPage {
  double width = 0, height = 0;  // points, as shown (rotation applied)
};

inline std::vector<PdfPage> PdfPages(const std::string& file) {
  std::vector<PdfPage> pages;
  const std::string info = Run("pdfinfo -f 1 -l 9999 " + Quote(file));
  std::regex size(R"(Page\s+\d+\s+size:\s+([\d.]+) x ([\d.]+))");
  std::regex rot(R"(Page\s+\d+\s+rot:\s+(\d+))");
  std::istringstream in(info);
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (std::regex_search(line, m, size)) pages.push_back({std::stod(m[1]), std::stod(m[2])});
    if (std::regex_search(line, m, rot) && !pages.empty() && (std::stoi(m[1]) / 90) % 2 == 1)
      std::swap(pages.back().width, pages.back().height);
  }
  return pages;
}

inline std::string PdfTitle(const std::string& file) {
  std::smatch m;
  const std::string info = Run("pdfinfo " + Quote(file));
  std::regex title(R"(Title:\s+(.*))");
  return std::regex_search(info, m, title) ? m[1].str() : std::string();
}

// Text of each page, trimmed.
inline std::vector<std::string> PdfTexts(const std::string& file) {
  std::string all = Run("pdftotext -layout " + Quote(file) + " -");
  std::vector<std::string> pages;
  std::string cur;
  for (char c : all) {
    if (c == '\f') {
      pages.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  for (std::string& p : pages) {
    const size_t a = p.find_first_not_of(" \n\r\t");
    const size_t b = p.find_last_not_of(" \n\r\t");
    p = a == std::string::npos ? std::string() : p.substr(a, b - a + 1);
  }
  return pages;
}

// The page numbers drawn as marks on each page of a portrait PDF; 0 for a blank page.
inline std::vector<int> PdfMarks(const std::string& file) {
  constexpr int kDpi = 24;
  const fs::path dir = fs::temp_directory_path() / ("qdr-marks-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  Run("pdftoppm -r " + std::to_string(kDpi) + " -gray " + Quote(file) + " " +
      Quote((dir / "p").string()));
  std::vector<std::pair<int, fs::path>> files;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string stem = e.path().stem().string();  // p-1, p-01, ...
    files.push_back({std::stoi(stem.substr(stem.find('-') + 1)), e.path()});
  }
  std::sort(files.begin(), files.end());
  std::vector<int> numbers;
  for (const auto& [index, path] : files) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, maxv = 0;
    in >> magic >> w >> h >> maxv;
    in.get();
    std::vector<unsigned char> px(static_cast<size_t>(w) * h);
    in.read(reinterpret_cast<char*>(px.data()), static_cast<std::streamsize>(px.size()));
    const double origin = kMarginMm * 3.77953;
    const int y = static_cast<int>((origin + kBandTop + kMarkTop + kMarkSize / 2) * kDpi / 96);
    int n = 0;
    for (int b = 0; b < kMarkBits; ++b) {
      const int x =
          static_cast<int>((origin + kMarkLeft + b * kMarkStep + kMarkSize / 2) * kDpi / 96);
      if (x < w && y < h && px[static_cast<size_t>(y) * w + x] < 128) n |= 1 << b;
    }
    numbers.push_back(n);
  }
  fs::remove_all(dir);
  return numbers;
}

// A memo that draws itself plainly: its colour as a filled box and its text,
// so the tests see where the print loop puts each view on the paper.
class MarkView : public TqdrMemoView {
  CORE_DECLARE_CLASS()
 public:
  explicit MarkView(TqdrComponent* owner = nullptr) : TqdrMemoView(owner) {}
  void Draw(QPainter& canvas, double scaleX, double scaleY, double offsetX,
            double offsetY) override {
    const TqdrDrawRect r = BeginDraw(*this, scaleX, scaleY, offsetX, offsetY);
    const QRect box(r.x, r.y, r.x1 - r.x, r.y1 - r.y);
    if (Color() != clTransparent) canvas.fillRect(box, Qt::black);
    QFont f("DejaVu Sans");
    f.setPixelSize(std::max(1, static_cast<int>(12 * scaleY)));
    canvas.setFont(f);
    canvas.setPen(Qt::black);
    canvas.drawText(box, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(Text()));
  }
};

inline const core::ClassInfo* MarkView::StaticClass() {
  static const core::ClassInfo* info = [] {
    const core::ClassInfo* i =
        core::ClassBuilder<MarkView>("TqdrTestMarkView", TqdrMemoView::StaticClass())
            .Factory(+[](core::TObject* owner) -> core::TObject* {
              return new MarkView(dynamic_cast<TqdrComponent*>(owner));
            })
            .Done();
    core::RegisterClass(i);
    return i;
  }();
  return info;
}

class NoEngine : public engine::TqdrEngineState {
 public:
  bool Preparing() const override { return preparing; }
  bool FinalPass() const override { return true; }
  double CurY() const override { return 0; }
  bool preparing = false;
};

// A template page whose band carries the number marks and a "Page N" text.
struct MarkedPage {
  TqdrReportPage* page = nullptr;
  TqdrMasterData* band = nullptr;
  std::vector<MarkView*> marks;
  MarkView* text = nullptr;
};

// A report with prepared pages built by hand, each page marked with its number.
class PrintedReport {
 public:
  PrintedReport() {
    RegisterReportClasses();
    MarkView::StaticClass();
    report = std::make_unique<TqdrReport>();
    store = std::make_unique<engine::TqdrPreviewPages>(report.get());
    store->SetEngine(&engine);
  }

  MarkedPage& AddTemplate(int paper,
                          TPrinterOrientation orientation = TPrinterOrientation::poPortrait,
                          double width = 0, double height = 0,
                          TqdrDuplexMode duplex = TqdrDuplexMode::dmNone) {
    MarkedPage t;
    t.page = new TqdrReportPage(report.get());
    t.page->SetName("Page" + std::to_string(templates.size() + 1));
    t.page->SetOrientation(orientation);
    if (paper == 256) {
      t.page->SetPaperWidth(width);
      t.page->SetPaperHeight(height);
    } else {
      t.page->SetPaperSize(paper);
    }
    t.page->SetLeftMargin(kMarginMm);
    t.page->SetTopMargin(kMarginMm);
    t.page->SetRightMargin(kMarginMm);
    t.page->SetBottomMargin(kMarginMm);
    t.page->SetDuplex(duplex);
    t.band = new TqdrMasterData(t.page);
    t.band->SetName("Band" + std::to_string(templates.size() + 1));
    t.band->SetBounds(0, kBandTop, 500, 150);
    for (int b = 0; b < kMarkBits; ++b) {
      auto* m = new MarkView(t.band);
      m->SetName("Mark" + std::to_string(templates.size() + 1) + "_" + std::to_string(b));
      m->SetBounds(kMarkLeft + b * kMarkStep, kMarkTop, kMarkSize, kMarkSize);
      t.marks.push_back(m);
    }
    t.text = new MarkView(t.band);
    t.text->SetName("Text" + std::to_string(templates.size() + 1));
    t.text->SetBounds(20, 80, 300, 24);
    templates.push_back(t);
    return templates.back();
  }

  // `count` pages; page i (0-based) is made from template pick(i).
  void Prepare(int count, const std::function<int(int)>& pick = nullptr) {
    if (templates.empty()) AddTemplate(9);
    store->ClearAll();
    store->OpenStore();
    for (MarkedPage& t : templates) store->RegisterSourcePage(t.page);
    store->MarkPassStart();
    engine.preparing = true;
    for (int i = 0; i < count; ++i) {
      MarkedPage& t = templates[static_cast<size_t>(pick ? pick(i) : 0)];
      const int number = i + 1;
      for (int b = 0; b < kMarkBits; ++b)
        t.marks[static_cast<size_t>(b)]->SetColor(number & (1 << b) ? 0 : clTransparent);
      t.text->SetText("Page " + std::to_string(number));
      store->StartOutputPage(t.page);
      store->AppendBand(t.band);
    }
    store->CloseStore();
    engine.preparing = false;
  }

  NoEngine engine;
  std::unique_ptr<TqdrReport> report;
  std::unique_ptr<engine::TqdrPreviewPages> store;
  std::vector<MarkedPage> templates;
};

// A fresh folder for output files, removed afterwards.
class TempDir {
 public:
  TempDir() {
    path = fs::temp_directory_path() /
           ("qdr-print-" + std::to_string(getpid()) + "-" + std::to_string(counter()++));
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() { fs::remove_all(path); }
  std::string File(const std::string& name) const { return (path / name).string(); }
  fs::path path;

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
};

}  // namespace print_test
