// Cross layouts: a horizontal band's cells under a vertical band repeat
// across the page once per record of the vertical dataset, and continue on a
// following page, beside the row headers again, when the width is used up.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "engine/engine.h"
#include "engine/pdf_export.h"
#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/dataset.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"
#include "template_builder.h"

namespace engine {
namespace {

using enginetest::AddBand;
using enginetest::AddMemo;
using enginetest::AddPage;

class Names : public report::TqdrUserDataSet {
 public:
  explicit Names(std::vector<std::string> names) : names_(std::move(names)) {
    SetRangeEnd(report::TqdrRangeEnd::reCount);
    SetRangeEndCount(static_cast<int>(names_.size()));
    Fields()->SetLines({"V"});
    OnGetValue = [this](const std::string&, core::Variant& v) {
      if (names_.empty() || RecNo() < 0) return;
      const std::string& n = names_[std::min(names_.size() - 1, static_cast<size_t>(RecNo()))];
      const bool digits = n.find_first_not_of("0123456789") == std::string::npos;
      v = digits ? core::Variant(int32_t{std::stoi(n)}) : core::Variant(n);
    };
  }
  report::TqdrFieldType FieldType(const std::string&) override {
    return report::TqdrFieldType::fftString;
  }

 private:
  std::vector<std::string> names_;
};

TEST(CrossLayout, CellsRunAcrossAndContinueOnTheNextPage) {
  report::TqdrReport report;
  TqdrPreviewPages pages(&report);
  TqdrEngine engine(report, pages);
  Names departments({"Eye", "ENT"}), months({"Jan", "Feb", "Mar", "Apr", "May"});
  departments.SetName("d");
  months.SetName("m");
  report.Datasets()->AddDataSet(&departments);
  report.Datasets()->AddDataSet(&months);
  auto* page = AddPage(report, "Page1");
  auto* rows = AddBand<report::TqdrMasterData>(report, page, "Rows", 0, 10, 794, 30);
  rows->SetDataSet(&departments);
  auto* columns = AddBand<report::TqdrMasterData>(report, page, "Columns", 100, 0, 200, 1000);
  columns->SetVertical(true);
  columns->SetDataSet(&months);
  AddMemo(report, rows, "RowHeader", "[d.\"V\"]", 0, 0, 100);
  AddMemo(report, rows, "Cell", "[m.\"V\"]/[d.\"V\"]", 100, 0, 100);  // under the vertical band
  ASSERT_TRUE(report.PrepareScript()) << report.ErrorsText();
  ASSERT_TRUE(engine.BuildPages()) << report.ErrorsText();

  // A4 is 793.7 wide: cells at 100, 300 and 500 fit, the fourth would end at 900.
  ASSERT_EQ(2, pages.PageCount());
  auto lines = [&pages](int index) {
    std::vector<std::string> out;
    for (report::TqdrComponent* c : pages.PageAt(index)->AllObjects())
      if (auto* m = dynamic_cast<report::TqdrCustomMemoView*>(c))
        out.push_back(m->Text() + "@" + std::to_string(static_cast<int>(m->AbsLeft())) + "," +
                      std::to_string(static_cast<int>(m->AbsTop())));
    return out;
  };
  EXPECT_EQ(
      (std::vector<std::string>{"Eye@0,0", "Jan/Eye@100,0", "Feb/Eye@300,0", "Mar/Eye@500,0",
                                "ENT@0,30", "Jan/ENT@100,30", "Feb/ENT@300,30", "Mar/ENT@500,30"}),
      lines(0));
  EXPECT_EQ((std::vector<std::string>{"Eye@0,0", "Apr/Eye@100,0", "May/Eye@300,0", "ENT@0,30",
                                      "Apr/ENT@100,30", "May/ENT@300,30"}),
            lines(1));
  EXPECT_EQ(1u, rows->Objects().size()) << "the copies are gone after the run";

  // The same pages through the PDF export.
  QTemporaryDir dir;
  TqdrPdfExport pdf;
  pdf.SetFileName(dir.filePath("cross.pdf").toStdString());
  ASSERT_TRUE(pages.ExportTo(pdf));
  QProcess text;
  text.start("pdftotext", {"-layout", dir.filePath("cross.pdf"), "-"});
  ASSERT_TRUE(text.waitForFinished(30000));
  const QString out = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_EQ(2, out.count(QChar('\f'))) << "two pages";
  EXPECT_TRUE(out.contains("May/ENT")) << out.toStdString();
  EXPECT_EQ(1u, columns->Objects().size()) << "the cell lives in the vertical band";
}

TEST(CrossLayout, FooterTotalsPerVerticalColumnAndRepeatedVerticalHeaders) {
  report::TqdrReport report;
  TqdrPreviewPages pages(&report);
  TqdrEngine engine(report, pages);
  Names departments({"2", "3"}), months({"Jan", "Feb", "Mar", "Apr"});
  departments.SetName("d");
  months.SetName("m");
  report.Datasets()->AddDataSet(&departments);
  report.Datasets()->AddDataSet(&months);
  auto* page = AddPage(report, "Page1");
  auto* rows = AddBand<report::TqdrMasterData>(report, page, "Rows", 0, 10, 794, 30);
  rows->SetDataSet(&departments);
  auto* totals = AddBand<report::TqdrFooter>(report, page, "Totals", 0, 50, 794, 30);
  AddBand<report::TqdrHeader>(report, page, "MonthTitle", 80, 0, 20, 1000)->SetVertical(true);
  auto* columns = AddBand<report::TqdrMasterData>(report, page, "Columns", 100, 0, 250, 1000);
  columns->SetVertical(true);
  columns->SetDataSet(&months);
  AddMemo(report, rows, "Cell", "[m.\"V\"]:[d.\"V\"]", 100, 0, 100);
  AddMemo(report, totals, "Total", "[m.\"V\"] sum [SUM(<d.\"V\">, Rows)]", 100, 0, 100);
  AddMemo(report, rows, "Mark", "|", 80, 0, 100);  // under the vertical header
  ASSERT_TRUE(report.PrepareScript()) << report.ErrorsText();
  ASSERT_TRUE(engine.BuildPages()) << report.ErrorsText();
  // Columns of 250 from 100: Jan and Feb fit (to 600), Mar and Apr go on page 2.
  ASSERT_EQ(2, pages.PageCount());
  std::vector<std::string> texts;
  for (int i = 0; i < 2; ++i)
    for (report::TqdrComponent* c : pages.PageAt(i)->AllObjects())
      if (auto* m = dynamic_cast<report::TqdrCustomMemoView*>(c))
        texts.push_back(std::to_string(i + 1) + ":" + m->Text());
  EXPECT_EQ((std::vector<std::string>{"1:|", "1:Jan:2", "1:Feb:2", "1:|", "1:Jan:3", "1:Feb:3",
                                      "1:Jan sum 5", "1:Feb sum 5", "2:|", "2:Mar:2", "2:Apr:2",
                                      "2:|", "2:Mar:3", "2:Apr:3", "2:Mar sum 5", "2:Apr sum 5"}),
            texts);
}

TEST(CrossLayout, GroupsAcrossThePage) {
  report::TqdrReport report;
  TqdrPreviewPages pages(&report);
  TqdrEngine engine(report, pages);
  Names departments({"Eye"}), months({"Jan", "Jun", "Jul", "Feb"});
  departments.SetName("d");
  months.SetName("m");
  report.Datasets()->AddDataSet(&departments);
  report.Datasets()->AddDataSet(&months);
  auto* page = AddPage(report, "Page1");
  auto* rows = AddBand<report::TqdrMasterData>(report, page, "Rows", 0, 10, 794, 30);
  rows->SetDataSet(&departments);
  auto* letter = AddBand<report::TqdrGroupHeader>(report, page, "Letter", 100, 0, 50, 1000);
  letter->SetCondition("Copy(<m.\"V\">, 1, 1)");
  auto* monthBand = AddBand<report::TqdrMasterData>(report, page, "Months", 150, 0, 100, 1000);
  monthBand->SetDataSet(&months);
  auto* end = AddBand<report::TqdrGroupFooter>(report, page, "LetterEnd", 250, 0, 50, 1000);
  for (report::TqdrBand* b :
       {static_cast<report::TqdrBand*>(letter), static_cast<report::TqdrBand*>(monthBand),
        static_cast<report::TqdrBand*>(end)})
    b->SetVertical(true);
  AddMemo(report, rows, "LetterCell", "[Copy(<m.\"V\">, 1, 1)]", 100, 0, 50);
  AddMemo(report, rows, "MonthCell", "[m.\"V\"]", 150, 0, 100);
  AddMemo(report, rows, "EndCell", "end", 250, 0, 50);
  ASSERT_TRUE(report.PrepareScript()) << report.ErrorsText();
  ASSERT_TRUE(engine.BuildPages()) << report.ErrorsText();
  ASSERT_EQ(1, pages.PageCount());
  std::vector<std::string> cells;
  for (report::TqdrComponent* c : pages.PageAt(0)->AllObjects())
    if (auto* m = dynamic_cast<report::TqdrCustomMemoView*>(c))
      cells.push_back(m->Text() + "@" + std::to_string(static_cast<int>(m->AbsLeft())));
  EXPECT_EQ((std::vector<std::string>{"J@100", "Jan@150", "Jun@250", "Jul@350", "end@450", "F@500",
                                      "Feb@550", "end@650"}),
            cells);
}

}  // namespace
}  // namespace engine
