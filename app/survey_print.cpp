// Survey form printing, shared by the window and batch mode.
#include "app/survey_print.h"

#include <QDir>
#include <QFileInfo>

#include "app/his_globals.h"
#include "app/messages.h"
#include "core/error.h"
#include "engine/report_runtime.h"
#include "platform/db/db_query.h"
#include "report/collections.h"
#include "report/db/query_source.h"
#include "report/db_dataset.h"
#include "report/options.h"
#include "report/report.h"
#include "report/view.h"

namespace app {
namespace {

void SetMemoText(report::TqdrReport& r, const char* name, const std::string& text) {
  auto* memo = dynamic_cast<report::TqdrCustomMemoView*>(r.FindObject(name));
  if (!memo) throw core::Error(std::string("Memo ") + name + " not found in the template");
  memo->SetText(text);
}

// The report library's error boxes shown through the application's messages.
class ReportBoxes : public report::TqdrMessageBoxes {
 public:
  void ErrorBox(const std::string& text, const std::string& caption) override {
    MessageRequest r;
    r.text = text;
    r.caption = caption;
    r.icon = MessageIcon::Error;
    MessageBox(r);
  }
};

}  // namespace

TSurveyPrint::TSurveyPrint(platform::DbSession& session)
    : qryQr3Print_(std::make_unique<platform::DbQuery>(session)),
      source_(std::make_unique<report::TqdrQuerySource>(*qryQr3Print_)),
      dataset_(std::make_unique<report::TqdrDBDataset>()),
      report_(std::make_unique<report::TqdrReport>()) {
  engine::InstallReportRuntime();
  static const bool boxes = [] {
    report::SetMessageBoxes(std::make_unique<ReportBoxes>());
    return true;
  }();
  (void)boxes;
  dataset_->SetName("QDDBBRXX");
  dataset_->SetUserName("QDDBBRXX");
  dataset_->SetDataSet(source_.get());
  dataset_->SetCloseDataSource(false);
  report_->SetName("QDReport");
}

TSurveyPrint::~TSurveyPrint() {
  report_.reset();  // its datasets list refers to QDDBBRXX
}

void TSurveyPrint::OpenRows(const std::string& recordNo, const std::string& mode) {
  platform::DbQuery& q = *qryQr3Print_;
  q.Close();
  q.ClearSql();
  q.ClearParams();
  if (mode == "0") {
    q.AddSql("select  * from VW_BA_CYBRDC where BAH000=:lvzyid00 order by BAH000");
    q.SetParam("lvzyid00", recordNo);
  } else {
    q.AddSql("select  * from VW_BA_CYBRDC order by BAH000");
  }
  q.Open();
}

bool TSurveyPrint::TemplateExists() {
  return QFileInfo::exists(QDir::current().filePath(QString::fromUtf8(kSurveyTemplate)));
}

void TSurveyPrint::LoadTemplate() {
  report::TqdrReport& r = *report_;
  r.LoadFromFile(kSurveyTemplate);
  // The template also names QDDBBRXX as the report's own dataset, which would
  // run the whole report once per row over the band that already walks them.
  r.SetDataSet(nullptr);
  const std::string& hospital = Globals().HospitalName;
  SetMemoText(r, "Memo_HospitalName", hospital + "出院病人调查表");
  SetMemoText(r, "Memo_jgdm", "");
  SetMemoText(r, "Memo_yymc", hospital);
  SetMemoText(r, "Memo_tbr", Globals().OperatorName);
  r.PrintOptions()->SetShowDialog(true);
}

void PrintSurveyForms(TSurveyPrint& print, const std::string& recordNo, const std::string& mode) {
  print.OpenRows(recordNo, mode);
  if (!TSurveyPrint::TemplateExists()) {
    MessageRequest r;
    r.text = kNoTemplateMessage;
    r.caption = kAppTitle;
    MessageBox(r);
    return;
  }
  try {
    print.LoadTemplate();
    print.QDReport().ShowReport(true);
  } catch (const std::exception&) {
    MessageRequest r;
    r.text = kPrintFailedMessage;
    r.caption = "提示";
    r.icon = MessageIcon::Information;
    MessageBox(r);
  }
}

}  // namespace app
