// The database session: a named connection configured by a parameter list of
// NAME=value lines. An empty "SERVER NAME" selects the embedded SQLite file
// named by "DATABASE NAME"; otherwise the connection goes through ODBC, where
// "SERVER NAME" is a DSN, a full connection string, or host[,port] of a SQL
// Server reached through FreeTDS.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/variant.h"
#include "platform/db/result_set.h"

struct sqlite3;

namespace platform {

// Values bound to a statement: named (":name") and positional ("?").
struct DbNamedValue {
  std::string name;
  core::Variant value;
  bool bytes = false;  // bind the text's bytes as a blob
};

struct DbBindings {
  std::vector<DbNamedValue> named;
  std::vector<core::Variant> positional;
  bool Empty() const { return named.empty() && positional.empty(); }
};

class DbSession {
 public:
  explicit DbSession(std::string aliasName);
  ~DbSession();
  DbSession(const DbSession&) = delete;
  DbSession& operator=(const DbSession&) = delete;

  const std::string& AliasName() const { return alias_; }
  // The parameter list; entries the backend does not use stay readable.
  const std::vector<std::string>& Params() const { return params_; }
  void AddParamLine(std::string_view line) { params_.emplace_back(line); }
  // Replaces the entry of that name (compared without regard to case) or appends one.
  void SetParam(std::string_view name, std::string_view value);
  std::string Param(std::string_view name) const;
  // Folder a relative SQLite file name is taken from.
  void SetBaseDir(std::string dir) { baseDir_ = std::move(dir); }

  // Opens with the current parameters; raises core::Error with the driver's message.
  void Open();
  void Close();
  bool Connected() const;
  bool IsEmbedded() const;

  // Runs one statement and fetches all its rows. "Exec NAME args" runs a
  // stored procedure. Raises core::Error with the server's message.
  DbResultSet Run(const std::string& sql, const DbBindings& bindings = {});

 private:
  struct Backend;
  DbResultSet RunProcedureEmbedded(const std::string& name, const std::vector<core::Variant>& args);
  std::string ConnectionName() const;
  // The SQLite handle of the embedded database; raises when the driver gives none.
  ::sqlite3* EmbeddedHandle() const;

  std::string alias_;
  std::vector<std::string> params_;
  std::string baseDir_;
  std::unique_ptr<Backend> backend_;
};

}  // namespace platform
