// Printing survey forms: the rows re-read from VW_BA_CYBRDC into qryQr3Print,
// the print template loaded into QDReport with the hospital's and the
// clerk's names, then shown in the preview (window) or printed (batch mode).
#pragma once

#include <memory>
#include <string>

namespace platform {
class DbQuery;
class DbSession;
}  // namespace platform
namespace report {
class TqdrDBDataset;
class TqdrQuerySource;
class TqdrReport;
}  // namespace report

namespace app {

inline constexpr const char* kSurveyTemplate = "医院出院病人调查表(病案).qr3";
inline constexpr const char* kNoTemplateMessage =
    "[医院出院病人调查表(病案).QR3]打印模板不存在，请和管理员联系！";
inline constexpr const char* kPrintFailedMessage = "打印失败，请重试或者联系管理员！";

class TSurveyPrint {
 public:
  explicit TSurveyPrint(platform::DbSession& session);
  ~TSurveyPrint();
  TSurveyPrint(const TSurveyPrint&) = delete;
  TSurveyPrint& operator=(const TSurveyPrint&) = delete;

  platform::DbQuery& qryQr3Print() const { return *qryQr3Print_; }
  report::TqdrReport& QDReport() const { return *report_; }

  // Mode "0": the record `recordNo` only; any other mode every row of the view.
  // Database errors are raised.
  void OpenRows(const std::string& recordNo, const std::string& mode);
  // Whether the template file is in the current working directory.
  static bool TemplateExists();
  // Loads the template and fills its named memos; raises when the template
  // is damaged or lacks one of them.
  void LoadTemplate();

 private:
  std::unique_ptr<platform::DbQuery> qryQr3Print_;
  std::unique_ptr<report::TqdrQuerySource> source_;
  std::unique_ptr<report::TqdrDBDataset> dataset_;  // QDDBBRXX
  std::unique_ptr<report::TqdrReport> report_;      // QDReport
};

// 单个打印 / 全部打印 in the window: rows, template, preview and print dialog,
// with the missing-template and print-failure messages.
void PrintSurveyForms(TSurveyPrint& print, const std::string& recordNo, const std::string& mode);

}  // namespace app
