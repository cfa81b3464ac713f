// The statistics run: definition, template extraction, procedure call.
#include "app/survey_statistics.h"

#include <QDir>
#include <QFileInfo>

#include "app/data_module.h"
#include "app/his_globals.h"
#include "core/text_util.h"
#include "platform/db/db_query.h"

namespace app {
namespace {

// Text inside a quoted SQL literal: quotes doubled.
std::string Quoted(const std::string& s) {
  std::string out;
  for (char c : s) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  return out;
}

}  // namespace

TStatisticsOutcome RunSurveyStatistics(platform::DbQuery& q, const TSurveySelection& selection,
                                       const std::function<void(int)>& progress,
                                       std::string& detail) {
  const std::string reportName = "首页报盘处理";
  progress(35);
  OpenQuery(
      q, {" SELECT BBMC00,BBLB00,BBLX00,BBMB00,MBMC00,SJLY00,XSSJY0,QSHS00,QSLS00,XSLS00,QSBT00 ",
          " FROM XT_BBMC00 WHERE BBMC00='" + reportName + "'"});
  if (q.RecordCount() == 0) {
    q.Close();
    return TStatisticsOutcome::soNoDefinition;
  }
  progress(45);
  (void)q.FieldByName("SJLY00").AsString();
  for (const char* name : {"QSHS00", "QSLS00", "QSBT00", "XSLS00"})
    (void)q.FieldByName(name).Value().ToInt32();
  progress(50);
  QDir exeDir(QString::fromUtf8(Globals().ExeDir));
  if (!QFileInfo(exeDir.filePath("Templet")).isDir()) exeDir.mkdir("Templet");
  q.FieldByName("BBMB00").SaveToFile(Globals().ExeDir + "Templet/" +
                                     q.FieldByName("MBMC00").AsString());
  progress(65);

  // The procedure call is parsed into bound parameters by the database layer.
  const QDate end = selection.to.addDays(1);
  const std::string statement = "Exec SP_BA_SYBRDC '" + Quoted(selection.deptCode) + "','" +
                                Quoted(core::Trim(selection.recordNo)) + "','" +
                                selection.from.toString("yyyyMMdd").toStdString() + "','" +
                                end.toString("yyyyMMdd").toStdString() + "'";
  q.Close();
  q.ClearSql();
  q.AddSql(statement);
  try {
    q.Open();
  } catch (const std::exception& e) {
    q.Close();
    detail = e.what();
    return TStatisticsOutcome::soFailed;
  }
  return TStatisticsOutcome::soOk;
}

}  // namespace app
