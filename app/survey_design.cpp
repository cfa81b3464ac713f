// Builds the survey form from its layout table.
#include "app/survey_design.h"

#include "app/survey_layout.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/dataset.h"
#include "report/font.h"
#include "report/frame.h"
#include "report/page.h"
#include "report/persistent.h"
#include "report/report.h"
#include "report/types.h"
#include "report/view.h"

namespace app {

namespace {

constexpr double kUnitsPerMm = 3.77953;
constexpr double kMemoHeight = 18.89765;

bool HasOwnFont(const std::string& name, const std::string& text) {
  return name == "Memo_jgdm" || name == "Memo_yymc" || text == "[QDDBBRXX.\"mrn000\"]" ||
         text == "[QDDBBRXX.\"ZYCS00\"]";
}

}  // namespace

void BuildSurveyDesign(report::TqdrReport& rep, report::TqdrDataSet* dataSet) {
  using namespace report;
  rep.Clear();
  rep.SetScriptLanguage("VuredeVizivo");
  rep.ScriptText()->SetText("begin\r\nend.");
  if (dataSet) {
    rep.Datasets()->AddDataSet(dataSet);
    rep.SetDataSet(dataSet);
  }

  auto* page = new TqdrReportPage(&rep);
  page->SetName("Page1");
  page->SetPaperSize(9);
  page->SetOrientation(TPrinterOrientation::poPortrait);
  page->SetLeftMargin(10);
  page->SetTopMargin(10);
  page->SetRightMargin(10);
  page->SetBottomMargin(10);

  auto* band = new TqdrMasterData(page);
  band->SetName("MasterData1");
  band->SetDataSet(dataSet);
  band->SetTop(18.89765);
  band->SetHeight(1012.91404);
  band->SetWidth(718.1107);

  for (const SurveyMemo& m : kSurveyMemos) {
    auto* memo = new TqdrMemoView(band);
    memo->SetName(m.name);
    memo->SetLeft(m.left * kUnitsPerMm);
    memo->SetTop(m.top * kUnitsPerMm);
    memo->SetWidth(m.width * kUnitsPerMm);
    memo->SetHeight(m.kind == kTitle ? 31.89765 : m.kind == kRule ? 7.55906 : kMemoHeight);
    memo->SetText(m.text);
    memo->SetVAlign(TqdrVAlign::vaCenter);
    bool underlined = m.kind == kField || m.kind == kFillIn;
    if (underlined) {
      memo->Frame()->SetTyp(frame_typ::ftBottom);
      memo->SetWordWrap(false);
    }
    memo->SetHAlign(m.centred ? TqdrHAlign::haCenter : TqdrHAlign::haLeft);
    if (m.kind == kTitle) {
      memo->Font()->SetName("宋体");
      memo->Font()->SetHeight(-19);
      memo->Font()->SetStyle(font_style::fsBold);
      memo->Font()->SetColor(0);
    } else if (HasOwnFont(m.name, m.text)) {
      memo->Font()->SetName("宋体");
      memo->Font()->SetHeight(-13);
      memo->Font()->SetColor(0);
    }
  }
}

}  // namespace app
