// Result sets built in memory and a query that holds them, for grid tests.
#pragma once

#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "platform/db/db_query.h"
#include "platform/db/db_session.h"

// A query over an SQLite file holding table T(ID INTEGER, NAME VARCHAR(12), AMOUNT DOUBLE, BORN DATE).
struct GridDb {
  QTemporaryDir dir;
  platform::DbSession session{"GridTest"};
  platform::DbQuery query{session};

  GridDb() {
    std::string file = dir.filePath("grid.db").toStdString();
    std::ofstream(file).close();
    session.SetParam("DATABASE NAME", file);
    session.Open();
    Exec("CREATE TABLE T (ID INTEGER, NAME VARCHAR(12), AMOUNT DOUBLE, BORN DATE)");
  }
  void Exec(const std::string& sql) { session.Run(sql); }
  void Open(const std::string& sql) {
    query.Close();
    query.ClearSql();
    query.AddSql(sql);
    query.Open();
  }
};
