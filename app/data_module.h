// The data module: the database session "His_DB" and the two reusable queries.
#pragma once

#include "platform/db/db_query.h"
#include "platform/db/db_session.h"

namespace app {

class TfrmDB {
 public:
  TfrmDB();
  platform::DbSession DBHis;
  platform::DbQuery qryGeneral;  // after login: the employee's row
  platform::DbQuery qryCmd;      // one-off statements
};

// The process's data module (created at start-up).
TfrmDB& DataModule();

// Runs `lines` on `query`: close, clear, add each line, open.
void OpenQuery(platform::DbQuery& query, std::initializer_list<std::string> lines);

// Makes sure the server of `ServerName` answers; bounded, never reports anything.
void EnsureServerRunning();
// Opens the session with the connection settings; on failure shows
// "数据库连接失败！" + message, asks the application to end and returns false.
bool ConnectDatabase();

}  // namespace app
