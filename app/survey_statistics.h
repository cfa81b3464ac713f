// The statistics run behind 查询, shared by the main window and batch mode:
// the report definition "首页报盘处理" read from XT_BBMC00 (its template saved
// into Templet), then the procedure SP_BA_SYBRDC run for the selection.
#pragma once

#include <QDate>
#include <functional>
#include <string>

namespace platform {
class DbQuery;
}

namespace app {

struct TSurveySelection {
  std::string deptCode = "-1";  // "-1": all departments
  std::string recordNo;         // empty: every record
  QDate from, to;               // discharge dates, both included
};

enum class TStatisticsOutcome { soOk, soNoDefinition, soFailed };

// Runs into `q`; `progress` gets the steps 35, 45, 50, 65. On soFailed
// `detail` holds the database's message.
TStatisticsOutcome RunSurveyStatistics(platform::DbQuery& q, const TSurveySelection& selection,
                                       const std::function<void(int)>& progress,
                                       std::string& detail);

}  // namespace app
