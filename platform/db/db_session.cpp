// Session over Qt SQL: QSQLITE for the embedded file, QODBC for a server.
#include "platform/db/db_session.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QTime>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "core/date_time.h"
#include "core/error.h"
#include "core/text_util.h"
#include "platform/db/stored_call.h"

namespace platform {

// The embedded database keeps its procedures as rows of this table:
//   NAME    procedure name (compared without regard to case)
//   PARAMS  parameter names separated by commas, in call order
//   BODY    statements separated by ";", parameters written as :name
static const char* const kProcedureTable = "SYS_PROCEDURES";

struct DbSession::Backend {
  QSqlDatabase db;
  bool embedded = false;
};

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

[[noreturn]] void Raise(const QSqlError& e) {
  std::string text = core::Trim(S(e.databaseText()));
  std::string driver = core::Trim(S(e.driverText()));
  if (text.empty()) text = driver;
  if (text.empty()) text = "Database error";
  throw core::Error(text);
}

QVariant ToQVariant(const core::Variant& v) {
  switch (v.Type()) {
    case core::VarType::Empty:
    case core::VarType::Null:
      return QVariant();
    case core::VarType::Boolean:
      return QVariant(v.RawBool());
    case core::VarType::Single:
    case core::VarType::Double:
    case core::VarType::Currency:
      return QVariant(v.ToDouble());
    case core::VarType::Date: {
      auto d = core::DecodeDate(v.RawDouble());
      auto t = core::DecodeTime(v.RawDouble());
      return QVariant(QDateTime(QDate(d.year, d.month, d.day), QTime(t.hour, t.minute, t.second, t.msec)));
    }
    case core::VarType::String:
    case core::VarType::OleStr:
      return QVariant(Q(v.RawString()));
    default:
      if (v.IsOrdinal()) return QVariant(static_cast<qlonglong>(v.RawInt()));
      return QVariant(Q(v.ToString()));
  }
}

double DayNumber(const QDate& d, const QTime& t) {
  double day = core::EncodeDate(d.year(), d.month(), d.day());
  if (t.isValid()) day += core::EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
  return day;
}

// Parses "YYYY-MM-DD[ HH:MM[:SS[.fff]]]" (a "T" may separate the time) without
// going through QDateTime, which is slow enough to dominate large fetches.
bool ParseDateText(const char* t, size_t n, double& out) {
  auto digits = [&](size_t at, size_t count, int& v) {
    if (at + count > n) return false;
    v = 0;
    for (size_t i = at; i < at + count; ++i) {
      if (t[i] < '0' || t[i] > '9') return false;
      v = v * 10 + (t[i] - '0');
    }
    return true;
  };
  int y, mo, d, h = 0, mi = 0, sec = 0, ms = 0;
  if (!digits(0, 4, y) || n < 10 || t[4] != '-' || !digits(5, 2, mo) || t[7] != '-' || !digits(8, 2, d)) return false;
  if (!core::IsValidDate(y, mo, d)) return false;
  if (n > 10) {
    if ((t[10] != ' ' && t[10] != 'T') || !digits(11, 2, h) || n < 16 || t[13] != ':' || !digits(14, 2, mi))
      return false;
    if (n > 16 && (t[16] != ':' || !digits(17, 2, sec))) return false;
    if (n > 19) {
      if (t[19] != '.') return false;
      size_t k = 20;
      int scale = 100;
      while (k < n && t[k] >= '0' && t[k] <= '9') {
        ms += (t[k] - '0') * scale;
        scale /= 10;
        ++k;
      }
      if (k != n) return false;
    }
    if (h > 23 || mi > 59 || sec > 59) return false;
  }
  out = core::EncodeDate(y, mo, d) + core::EncodeTime(h, mi, sec, ms);
  return true;
}

FieldKind KindOf(const QSqlField& f) {
  switch (f.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
      return FieldKind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
      return FieldKind::Float;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
      return FieldKind::DateTime;
    case QMetaType::Bool:
      return FieldKind::Boolean;
    case QMetaType::QByteArray:
      return FieldKind::Blob;
    default:
      return FieldKind::String;
  }
}

core::Variant ToVariant(const QVariant& q, FieldKind kind) {
  if (q.isNull()) return core::Variant::MakeNull();
  switch (kind) {
    case FieldKind::Integer: {
      qlonglong v = q.toLongLong();
      if (v >= INT32_MIN && v <= INT32_MAX) return core::Variant(static_cast<int32_t>(v));
      return core::Variant(static_cast<int64_t>(v));
    }
    case FieldKind::Float:
      return core::Variant(q.toDouble());
    case FieldKind::Boolean:
      return core::Variant(q.toBool());
    case FieldKind::Blob: {
      QByteArray b = q.toByteArray();
      return core::Variant(std::string_view(b.constData(), static_cast<size_t>(b.size())));
    }
    case FieldKind::DateTime: {
      if (q.metaType().id() == QMetaType::QDate) return core::Variant::MakeDate(DayNumber(q.toDate(), QTime()));
      if (q.metaType().id() == QMetaType::QDateTime) {
        QDateTime dt = q.toDateTime();
        return core::Variant::MakeDate(DayNumber(dt.date(), dt.time()));
      }
      if (q.metaType().id() == QMetaType::QTime) {
        QTime t = q.toTime();
        return core::Variant::MakeDate(core::EncodeTime(t.hour(), t.minute(), t.second(), t.msec()));
      }
      std::string text = S(q.toString());
      double d;
      if (ParseDateText(text.data(), text.size(), d)) return core::Variant::MakeDate(d);
      return core::Variant(std::move(text));
    }
    case FieldKind::String:
      return core::Variant(S(q.toString()));
  }
  return core::Variant(S(q.toString()));
}

// Reads every row of a server query (the embedded database reads through SQLite itself).
DbResultSet Fetch(QSqlQuery& q) {
  std::vector<FieldDef> fields;
  std::vector<core::Variant> cells;
  if (!q.isSelect()) return DbResultSet();
  QSqlRecord rec = q.record();
  for (int i = 0; i < rec.count(); ++i)
    fields.push_back(FieldDef{S(rec.fieldName(i)), KindOf(rec.field(i)), std::max(rec.field(i).length(), 0)});
  const int n = rec.count();
  while (q.next())
    for (int i = 0; i < n; ++i) cells.push_back(ToVariant(q.value(i), fields[static_cast<size_t>(i)].kind));
  return DbResultSet(std::move(fields), std::move(cells));
}


bool UsesName(const std::string& sql, const std::string& name) {
  std::string upper = core::UpperCase(sql);
  std::string key = ":" + core::UpperCase(name);
  for (size_t at = upper.find(key); at != std::string::npos; at = upper.find(key, at + 1)) {
    size_t end = at + key.size();
    if (end >= upper.size()) return true;
    char c = upper[end];
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return true;
  }
  return false;
}

void Bind(QSqlQuery& q, const std::string& sql, const DbBindings& b) {
  for (const auto& v : b.positional) q.addBindValue(ToQVariant(v));
  // Bind only names the statement uses: drivers refuse unknown placeholders.
  for (const DbNamedValue& n : b.named) {
    if (!UsesName(sql, n.name)) continue;
    if (n.bytes) {
      const std::string& raw = n.value.RawString();
      q.bindValue(Q(":" + n.name), QByteArray(raw.data(), static_cast<qsizetype>(raw.size())));
    } else {
      q.bindValue(Q(":" + n.name), ToQVariant(n.value));
    }
  }
}

sqlite3* SqliteHandle(const QSqlDatabase& db) {
  QVariant v = db.driver()->handle();
  if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0) return *static_cast<sqlite3* const*>(v.constData());
  return nullptr;
}

FieldKind KindOfDeclared(const char* decl, bool& known) {
  known = decl && *decl;
  if (!known) return FieldKind::String;
  std::string t = core::UpperCase(decl);
  if (t.find("DATE") != std::string::npos || t.find("TIME") != std::string::npos) return FieldKind::DateTime;
  if (t.find("INT") != std::string::npos) return FieldKind::Integer;
  if (t.find("CHAR") != std::string::npos || t.find("TEXT") != std::string::npos || t.find("CLOB") != std::string::npos)
    return FieldKind::String;
  if (t.find("BLOB") != std::string::npos) return FieldKind::Blob;
  if (t.find("BOOL") != std::string::npos) return FieldKind::Boolean;
  if (t.find("REAL") != std::string::npos || t.find("FLOA") != std::string::npos || t.find("DOUB") != std::string::npos ||
      t.find("NUM") != std::string::npos || t.find("DEC") != std::string::npos)
    return FieldKind::Float;
  return FieldKind::String;
}

void BindSqlite(sqlite3_stmt* st, int index, const core::Variant& v, bool bytes) {
  if (index <= 0) return;
  if (bytes) {
    const std::string& raw = v.RawString();
    sqlite3_bind_blob(st, index, raw.data(), static_cast<int>(raw.size()), SQLITE_TRANSIENT);
    return;
  }
  switch (v.Type()) {
    case core::VarType::Empty:
    case core::VarType::Null:
      sqlite3_bind_null(st, index);
      return;
    case core::VarType::Boolean:
      sqlite3_bind_int(st, index, v.RawBool() ? 1 : 0);
      return;
    case core::VarType::Single:
    case core::VarType::Double:
    case core::VarType::Currency:
      sqlite3_bind_double(st, index, v.ToDouble());
      return;
    case core::VarType::Date: {
      std::string text = core::FormatDateTime("yyyy\"-\"mm\"-\"dd hh:nn:ss", v.RawDouble());
      sqlite3_bind_text(st, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      return;
    }
    default:
      if (v.IsOrdinal()) {
        sqlite3_bind_int64(st, index, v.RawInt());
        return;
      }
      std::string text = v.ToString();
      sqlite3_bind_text(st, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
}

// Runs one statement on the embedded database through SQLite itself and reads
// the rows straight into variants: no QVariant or QString per cell.
DbResultSet RunSqlite(sqlite3* h, const std::string& sql, const DbBindings& b) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(h, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr) != SQLITE_OK)
    throw core::Error(sqlite3_errmsg(h));
  struct Finalizer {
    sqlite3_stmt* st;
    ~Finalizer() { sqlite3_finalize(st); }
  } finalizer{st};
  if (!st) return DbResultSet();  // blank statement
  for (size_t i = 0; i < b.positional.size(); ++i) BindSqlite(st, static_cast<int>(i) + 1, b.positional[i], false);
  // Named parameters compare without regard to case.
  for (int k = 1; k <= sqlite3_bind_parameter_count(st); ++k) {
    const char* name = sqlite3_bind_parameter_name(st, k);
    if (!name || name[0] != ':') continue;
    for (const DbNamedValue& v : b.named)
      if (core::EqualsNoCase(v.name, name + 1)) BindSqlite(st, k, v.value, v.bytes);
  }
  const int n = sqlite3_column_count(st);
  std::vector<FieldDef> fields(static_cast<size_t>(n));
  std::vector<bool> declared(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const char* decl = sqlite3_column_decltype(st, i);
    bool known = false;
    fields[static_cast<size_t>(i)].name = sqlite3_column_name(st, i);
    fields[static_cast<size_t>(i)].kind = KindOfDeclared(decl, known);
    declared[static_cast<size_t>(i)] = known;
    if (const char* open = decl ? std::strchr(decl, '(') : nullptr) fields[static_cast<size_t>(i)].size = std::atoi(open + 1);
  }
  std::vector<core::Variant> cells;
  for (;;) {
    int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) throw core::Error(sqlite3_errmsg(h));
    for (int i = 0; i < n; ++i) {
      FieldDef& f = fields[static_cast<size_t>(i)];
      switch (sqlite3_column_type(st, i)) {
        case SQLITE_NULL:
          cells.push_back(core::Variant::MakeNull());
          break;
        case SQLITE_INTEGER: {
          sqlite3_int64 v = sqlite3_column_int64(st, i);
          if (!declared[static_cast<size_t>(i)]) {
            f.kind = FieldKind::Integer;  // an expression column takes its values' type
            declared[static_cast<size_t>(i)] = true;
          }
          if (f.kind == FieldKind::Float)
            cells.emplace_back(static_cast<double>(v));
          else if (f.kind == FieldKind::Boolean)
            cells.emplace_back(v != 0);
          else if (v >= INT32_MIN && v <= INT32_MAX)
            cells.emplace_back(static_cast<int32_t>(v));
          else
            cells.emplace_back(static_cast<int64_t>(v));
          break;
        }
        case SQLITE_FLOAT:
          if (!declared[static_cast<size_t>(i)]) {
            f.kind = FieldKind::Float;
            declared[static_cast<size_t>(i)] = true;
          }
          cells.emplace_back(sqlite3_column_double(st, i));
          break;
        case SQLITE_BLOB: {
          const char* p = static_cast<const char*>(sqlite3_column_blob(st, i));
          cells.emplace_back(std::string_view(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, i))));
          break;
        }
        default: {
          const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
          size_t len = static_cast<size_t>(sqlite3_column_bytes(st, i));
          double day;
          if (f.kind == FieldKind::DateTime && ParseDateText(t, len, day))
            cells.push_back(core::Variant::MakeDate(day));
          else
            cells.emplace_back(std::string_view(t ? t : "", len));
        }
      }
    }
  }
  return DbResultSet(std::move(fields), std::move(cells));
}

bool LooksLikeHost(const std::string& server) {
  if (server.find('=') != std::string::npos) return false;  // a connection string
  return server.find_first_of(",.:\\") != std::string::npos || core::EqualsNoCase(server, "localhost");
}

}  // namespace

DbSession::DbSession(std::string aliasName) : alias_(std::move(aliasName)) {}

DbSession::~DbSession() { Close(); }

void DbSession::SetParam(std::string_view name, std::string_view value) {
  std::string line = std::string(name) + "=" + std::string(value);
  for (std::string& p : params_) {
    size_t eq = p.find('=');
    if (core::EqualsNoCase(core::TrimView(std::string_view(p).substr(0, eq)), name)) {
      p = line;
      return;
    }
  }
  params_.push_back(line);
}

std::string DbSession::Param(std::string_view name) const {
  for (const std::string& p : params_) {
    size_t eq = p.find('=');
    if (eq == std::string::npos) continue;
    if (core::EqualsNoCase(core::TrimView(std::string_view(p).substr(0, eq)), name))
      return p.substr(eq + 1);
  }
  return std::string();
}

std::string DbSession::ConnectionName() const {
  static std::atomic<int> counter{0};
  return alias_ + "#" + std::to_string(counter.fetch_add(1));
}

bool DbSession::Connected() const { return backend_ && backend_->db.isOpen(); }
bool DbSession::IsEmbedded() const { return backend_ && backend_->embedded; }

void DbSession::Open() {
  Close();
  std::string database = core::Trim(Param("DATABASE NAME"));
  std::string server = core::Trim(Param("SERVER NAME"));
  std::string user = Param("USER NAME");
  std::string password = Param("PASSWORD");
  auto backend = std::make_unique<Backend>();
  std::string conn = ConnectionName();
  if (server.empty()) {
    backend->embedded = true;
    if (database.empty()) throw core::Error("No database file is configured");
    QFileInfo info(Q(database));
    if (info.isRelative() && !baseDir_.empty()) info = QFileInfo(Q(baseDir_) + Q(database));
    if (!info.exists()) info = QFileInfo(info.filePath() + ".db");
    if (!info.exists() || !info.isFile())
      throw core::Error("Database file \"" + S(info.filePath()) + "\" does not exist");
    backend->db = QSqlDatabase::addDatabase("QSQLITE", Q(conn));
    backend->db.setDatabaseName(info.absoluteFilePath());
  } else {
    backend->db = QSqlDatabase::addDatabase("QODBC", Q(conn));
    std::string target;
    if (server.find('=') != std::string::npos) {
      target = server;
    } else if (LooksLikeHost(server)) {
      std::string host = server, port = "1433";
      if (size_t comma = server.find(','); comma != std::string::npos) {
        host = core::Trim(server.substr(0, comma));
        port = core::Trim(server.substr(comma + 1));
      }
      target = "DRIVER={FreeTDS};SERVER=" + host + ";PORT=" + port + ";DATABASE=" + database +
               ";UID=" + user + ";PWD=" + password + ";TDS_Version=7.3;ClientCharset=UTF-8";
    } else {
      // Qt's ODBC driver turns a bare name into "DSN=name".
      target = server;
    }
    backend->db.setDatabaseName(Q(target));
    backend->db.setUserName(Q(user));
    backend->db.setPassword(Q(password));
    backend->db.setConnectOptions("SQL_ATTR_LOGIN_TIMEOUT=10;SQL_ATTR_CONNECTION_TIMEOUT=10");
  }
  if (!backend->db.isValid()) {
    QString name = backend->db.connectionName();
    backend->db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
    throw core::Error(server.empty() ? "The SQLite driver is not available"
                                     : "The ODBC driver is not available");
  }
  if (!backend->db.open()) {
    QSqlError e = backend->db.lastError();
    QString name = backend->db.connectionName();
    backend->db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
    Raise(e);
  }
  backend_ = std::move(backend);
}

void DbSession::Close() {
  if (!backend_) return;
  QString name = backend_->db.connectionName();
  backend_->db.close();
  backend_.reset();
  QSqlDatabase::removeDatabase(name);
}

DbResultSet DbSession::Run(const std::string& sql, const DbBindings& bindings) {
  if (!Connected()) throw core::Error("Database " + alias_ + " is not open");
  if (auto call = ParseStoredCall(sql)) {
    if (backend_->embedded) return RunProcedureEmbedded(call->name, call->args);
    std::string text = "{call " + call->name + "(";
    for (size_t i = 0; i < call->args.size(); ++i) text += i ? ",?" : "?";
    text += ")}";
    QSqlQuery q(backend_->db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!q.prepare(Q(text))) Raise(q.lastError());
    for (const auto& a : call->args) q.addBindValue(ToQVariant(a));
    if (!q.exec()) Raise(q.lastError());
    return Fetch(q);
  }
  if (backend_->embedded) return RunSqlite(EmbeddedHandle(), sql, bindings);
  QSqlQuery q(backend_->db);
  q.setForwardOnly(true);
  q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
  if (bindings.Empty()) {
    if (!q.exec(Q(sql))) Raise(q.lastError());
  } else {
    if (!q.prepare(Q(sql))) Raise(q.lastError());
    Bind(q, sql, bindings);
    if (!q.exec()) Raise(q.lastError());
  }
  return Fetch(q);
}

sqlite3* DbSession::EmbeddedHandle() const {
  sqlite3* h = SqliteHandle(backend_->db);
  if (!h) throw core::Error("The SQLite driver gives no database handle");
  return h;
}

DbResultSet DbSession::RunProcedureEmbedded(const std::string& name,
                                            const std::vector<core::Variant>& args) {
  sqlite3* h = EmbeddedHandle();
  DbBindings byName;
  byName.positional.push_back(core::Variant(name));
  DbResultSet def =
      RunSqlite(h, std::string("SELECT PARAMS, BODY FROM ") + kProcedureTable + " WHERE UPPER(NAME) = UPPER(?)", byName);
  if (def.RecordCount() == 0) throw core::Error("Could not find stored procedure '" + name + "'");
  DbBindings b;
  for (const QString& p : QString::fromStdString(def.FieldByName("PARAMS").AsString()).split(',', Qt::SkipEmptyParts)) {
    size_t i = b.named.size();
    b.named.push_back(DbNamedValue{core::Trim(S(p)), i < args.size() ? args[i] : core::Variant::MakeNull(), false});
  }
  if (args.size() > b.named.size())
    throw core::Error("Procedure or function " + name + " has too many arguments specified");
  std::vector<std::string> statements = SplitStatements(def.FieldByName("BODY").AsString());

  if (!backend_->db.transaction()) Raise(backend_->db.lastError());
  try {
    DbResultSet last;
    for (const std::string& stmt : statements) {
      DbResultSet rows = RunSqlite(h, stmt, b);
      if (rows.FieldCount() > 0) last = std::move(rows);
    }
    if (!backend_->db.commit()) Raise(backend_->db.lastError());
    return last;
  } catch (...) {
    backend_->db.rollback();
    throw;
  }
}

}  // namespace platform
