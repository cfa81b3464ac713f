// Bench fixture: the survey print template prepared over a SQLite file of
// generated rows, as the program does it (font faces substituted, offscreen
// application, one page per record).
#pragma once

#include <sys/resource.h>

#include <QFont>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/preview_pages.h"
#include "platform/db/db_query.h"
#include "platform/db/db_session.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/db/query_source.h"
#include "report/db_dataset.h"
#include "report/options.h"
#include "report/report.h"

namespace bench {

// The application once per process, with the program's face substitutions
// registered before any font is made.
inline void EnsureApp(const char* name) {
  static QGuiApplication* app = [name] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static std::string arg0 = name;
    static char* argv[] = {arg0.data(), nullptr};
    auto* a = new QGuiApplication(argc, argv);
    QFont::insertSubstitution("宋体", "AR PL UMing CN");
    QFont::insertSubstitution("SimSun", "AR PL UMing CN");
    QFont::insertSubstitution("Tahoma", "DejaVu Sans");
    return a;
  }();
  (void)app;
}

inline const std::string kTemplate =
    std::string(SURVEY_SOURCE_DIR) + "/data/医院出院病人调查表(病案).qr3";

// The QDDBBRXX fields the template prints.
inline std::vector<std::string> TemplateFields() {
  std::ifstream in(kTemplate, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string s = text.str();
  std::set<std::string> names;
  const std::regex field("QDDBBRXX\\.&#34;([A-Za-z0-9_]+)&#34;");
  for (auto it = std::sregex_iterator(s.begin(), s.end(), field); it != std::sregex_iterator();
       ++it)
    names.insert((*it)[1].str());
  return {names.begin(), names.end()};
}

// A SQLite file with `rows` survey rows.
struct SurveyDb {
  explicit SurveyDb(int rows) {
    file = dir.filePath("survey.db").toStdString();
    std::ofstream{file};
    session.SetParam("DATABASE NAME", file);
    session.SetParam("SERVER NAME", "");
    session.Open();
    const std::vector<std::string> fields = TemplateFields();
    std::string create = "CREATE TABLE S (", insert = "INSERT INTO S SELECT ", select = "SELECT ";
    for (size_t i = 0; i < fields.size(); ++i) {
      const char* sep = i ? ", " : "";
      create += sep + fields[i] + " VARCHAR(40)";
      insert += sep + std::string("'v' || (value % 97)");
      select += sep + fields[i];
    }
    Exec(create + ")");
    Exec("WITH RECURSIVE n(value) AS (SELECT 1 UNION ALL SELECT value + 1 FROM n WHERE value < " +
         std::to_string(rows) + ") " + insert + " FROM n");
    query.AddSql(select + " FROM S");
  }
  void Exec(const std::string& sql) {
    platform::DbQuery q(session);
    q.AddSql(sql);
    q.ExecSql();
  }
  QTemporaryDir dir;
  std::string file;
  platform::DbSession session{"His_DB"};
  platform::DbQuery query{session};
};

// The template bound to the generated query, with its store and engine.
// Prepare() fills the store; false when the template or the run fails.
struct SurveyReport {
  explicit SurveyReport(int rows, bool fileCache) : db(rows), source(db.query) {
    ds.SetName("QDDBBRXX");
    ds.SetDataSet(&source);
    loaded = rep.LoadFromFile(kTemplate);
    rep.SetDataSet(nullptr);
    rep.Datasets()->Clear();
    rep.Datasets()->AddDataSet(&ds);
    if (auto* band = dynamic_cast<report::TqdrBand*>(rep.FindObject("MasterData1")))
      band->SetDataSet(&ds);
    rep.EngineOptions()->SetUseFileCache(fileCache);
    rep.EngineOptions()->SetMaxMemSize(10);
    pages = std::make_unique<engine::TqdrPreviewPages>(&rep);
    eng = std::make_unique<engine::TqdrEngine>(rep, *pages);
  }
  bool Prepare() {
    pages->ClearAll();
    return loaded && rep.PrepareScript() && eng->BuildPages();
  }

  SurveyDb db;
  report::TqdrQuerySource source;
  report::TqdrDBDataset ds;
  report::TqdrReport rep;
  bool loaded = false;
  std::unique_ptr<engine::TqdrPreviewPages> pages;
  std::unique_ptr<engine::TqdrEngine> eng;
};

inline long PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace bench
