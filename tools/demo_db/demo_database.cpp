// Demo database builder.
#include "tools/demo_db/demo_database.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/password.h"
#include "core/error.h"
#include "platform/db/db_session.h"
#include "platform/db/stored_call.h"

namespace tools {

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw core::Error("Cannot read \"" + path + "\"");
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string ExpandCount(std::string sql, int patients) {
  const std::string key = "{{PATIENTS}}";
  for (size_t at = sql.find(key); at != std::string::npos; at = sql.find(key, at))
    sql.replace(at, key.size(), std::to_string(patients));
  return sql;
}

std::string ExpandPasswords(std::string sql) {
  const std::string open = "{{PASSWORD:";
  for (size_t at = sql.find(open); at != std::string::npos; at = sql.find(open, at)) {
    size_t close = sql.find("}}", at);
    if (close == std::string::npos) throw core::Error("Unclosed password placeholder in the seed");
    std::string clear = sql.substr(at + open.size(), close - at - open.size());
    std::string scrambled = app::EncodePassword(clear);
    sql.replace(at, close + 2 - at, scrambled);
    at += scrambled.size();
  }
  return sql;
}

}  // namespace

void BuildDemoDatabase(const std::string& dbPath, const std::string& schemaSql, const std::string& seedSql,
                       int patients) {
  QFile::remove(QString::fromUtf8(dbPath));
  { std::ofstream create(dbPath, std::ios::binary); }
  platform::DbSession session("DemoBuilder");
  session.SetParam("DATABASE NAME", dbPath);
  session.Open();
  for (const std::string& sql : {schemaSql, ExpandCount(ExpandPasswords(seedSql), patients)})
    for (const std::string& stmt : platform::SplitStatements(sql)) session.Run(stmt);
  session.Close();
}

void BuildDemoDatabaseFromDir(const std::string& dbPath, const std::string& dataDir, int patients) {
  std::string schema = ReadFile(dataDir + "/demo_schema.sql");
  std::string seed = ReadFile(dataDir + "/demo_seed.sql");
  QStringList more = QDir(QString::fromUtf8(dataDir)).entryList({"demo_*.sql"}, QDir::Files, QDir::Name);
  for (const QString& name : more) {
    if (name == "demo_schema.sql" || name == "demo_seed.sql") continue;
    seed += "\n;\n" + ReadFile(dataDir + "/" + name.toStdString());
  }
  BuildDemoDatabase(dbPath, schema, seed, patients);
  // The report definition carries the shipped print template.
  std::ifstream tpl(dataDir + "/医院出院病人调查表(病案).qr3", std::ios::binary);
  if (tpl) {
    std::string bytes((std::istreambuf_iterator<char>(tpl)), std::istreambuf_iterator<char>());
    platform::DbSession session("DemoBuilder");
    session.SetParam("DATABASE NAME", dbPath);
    session.Open();
    platform::DbBindings b;
    b.named.push_back(platform::DbNamedValue{"BBMB00", core::Variant(bytes), true});
    session.Run("UPDATE XT_BBMC00 SET BBMB00 = :BBMB00 WHERE BBMC00 = '首页报盘处理'", b);
  }
}

void WriteDemoSettings(const std::string& iniPath, const std::string& databaseName) {
  std::ofstream out(iniPath, std::ios::binary | std::ios::trunc);
  if (!out) throw core::Error("Cannot write \"" + iniPath + "\"");
  out << "; Settings of the survey program (stand-in for the installation's registry keys).\n"
         "; An empty ServerName uses the embedded database file named by DataBase.\n"
         "[SOFTWARE\\Nordvane\\VELK300]\n"
         "DataBase=" << databaseName << "\n"
         "ServerName=\n"
         "UserName=\n"
         "Password=\n"
         "Ime=\n"
         "HospitalID=350100001\n"
         "\n"
         "[SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
         "HNAME=" << app::EncodePassword("福州市第一人民医院") << "\n";
  if (!out) throw core::Error("Cannot write \"" + iniPath + "\"");
}

}  // namespace tools
