// A query bound to a session: statement text held as lines, opened into a
// fully fetched result set. Reused the way the application uses it: close,
// clear the text, add lines, open.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/db/db_session.h"
#include "platform/db/result_set.h"

namespace platform {

class DbQuery {
 public:
  explicit DbQuery(DbSession& session) : session_(&session) {}

  void Close();
  void ClearSql() { sql_.clear(); }
  void AddSql(std::string_view line) { sql_.emplace_back(line); }
  const std::vector<std::string>& Sql() const { return sql_; }
  // The statement sent: the lines joined with line breaks.
  std::string SqlText() const;

  // Named parameter (":name" in the text); kept until ClearParams.
  void SetParam(std::string_view name, const core::Variant& value);
  // Named parameter holding raw bytes (a blob column).
  void SetParamBytes(std::string_view name, const std::string& bytes);
  // Positional parameter ("?" in the text), in order.
  void AddParam(const core::Variant& value) { bindings_.positional.push_back(value); }
  void ClearParams() { bindings_ = DbBindings(); }

  // Runs the statement and keeps its rows; raises core::Error on failure.
  void Open();
  // Runs a statement that returns no rows.
  void ExecSql();
  bool Active() const { return active_; }

  DbResultSet& Data() { return data_; }
  const DbResultSet& Data() const { return data_; }
  int RecordCount() const { return data_.RecordCount(); }
  bool Eof() const { return data_.Eof(); }
  void First() { data_.First(); }
  void Next() { data_.Next(); }
  DbField FieldByName(std::string_view name) const { return data_.FieldByName(name); }

 private:
  DbSession* session_;
  std::vector<std::string> sql_;
  DbBindings bindings_;
  DbResultSet data_;
  bool active_ = false;
};

}  // namespace platform
