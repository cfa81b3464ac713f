// Data module, connection and the bounded server check.
#include "app/data_module.h"

#include "app/his_globals.h"
#include "app/messages.h"
#include "platform/service_check.h"

namespace app {

TfrmDB::TfrmDB() : DBHis("His_DB"), qryGeneral(DBHis), qryCmd(DBHis) {
  // Fixed entries of the session's parameter list; backends that do not use
  // them keep them readable.
  for (const char* line :
       {"OPEN MODE=READ/WRITE", "SCHEMA CACHE SIZE=8", "BLOB EDIT LOGGING=", "LANGDRIVER=", "SQLQRYMODE=",
        "DATE MODE=0", "SCHEMA CACHE TIME=-1", "MAX QUERY TIME=600000", "MAX ROWS=-1", "BATCH COUNT=200",
        "ENABLE SCHEMA CACHE=FALSE", "SCHEMA CACHE DIR=", "HOST NAME=", "APPLICATION NAME=",
        "NATIONAL LANG NAME=", "ENABLE BCD=FALSE", "TDS PACKET SIZE=4096", "BLOBS TO CACHE=64", "BLOB SIZE=32"})
    DBHis.AddParamLine(line);
}

TfrmDB& DataModule() {
  static TfrmDB module;
  return module;
}

void OpenQuery(platform::DbQuery& query, std::initializer_list<std::string> lines) {
  query.Close();
  query.ClearSql();
  query.ClearParams();
  for (const std::string& line : lines) query.AddSql(line);
  query.Open();
}

void EnsureServerRunning() {
  const std::string& server = Globals().Connection.ServerName;
  // Only a host[,port] names a machine to check; the embedded file and a DSN have none.
  if (server.empty() || server.find('=') != std::string::npos) return;
  if (server.find_first_of(",.:\\") == std::string::npos && server != "localhost") return;
  try {
    platform::CheckServerReachable(server, 10000);
  } catch (...) {
  }
}

bool ConnectDatabase() {
  TfrmDB& dm = DataModule();
  const ConnectionSettings& c = Globals().Connection;
  try {
    dm.DBHis.Close();
    dm.DBHis.SetParam("SQLPASSTHRU MODE", "SHARED NOAUTOCOMMIT");
    dm.DBHis.SetParam("DATABASE NAME", c.DatabaseName);
    dm.DBHis.SetParam("SERVER NAME", c.ServerName);
    dm.DBHis.SetParam("USER NAME", c.DbUserName);
    dm.DBHis.SetParam("PassWord", c.DbPassword);
    dm.DBHis.SetBaseDir(Globals().ExeDir);
    dm.DBHis.Open();
    return true;
  } catch (const std::exception& e) {
    ShowErrorBox(std::string("数据库连接失败！") + e.what());
    RequestTerminate();
    return false;
  }
}

}  // namespace app
