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
#include <QSqlResult>
#include <QString>
#include <QTime>
#include <QVariant>
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

// SQLite stores dates as text; columns declared DATE/DATETIME/TIMESTAMP are read as dates.
bool ParseSqliteDate(const QString& text, double& out) {
  QString t = text.trimmed();
  QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
  if (!dt.isValid()) dt = QDateTime::fromString(t, "yyyy-MM-dd HH:mm:ss");
  if (!dt.isValid()) dt = QDateTime::fromString(t, "yyyy-MM-dd HH:mm:ss.zzz");
  if (dt.isValid()) {
    out = DayNumber(dt.date(), dt.time());
    return true;
  }
  QDate d = QDate::fromString(t, "yyyy-MM-dd");
  if (!d.isValid()) return false;
  out = DayNumber(d, QTime());
  return true;
}

FieldKind KindOf(const QSqlField& f, const char* declType) {
  if (declType) {
    std::string t = core::UpperCase(declType);
    if (t.find("DATE") != std::string::npos || t.find("TIME") != std::string::npos)
      return FieldKind::DateTime;
  }
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
      double d;
      if (ParseSqliteDate(q.toString(), d)) return core::Variant::MakeDate(d);
      return core::Variant(S(q.toString()));
    }
    case FieldKind::String:
      return core::Variant(S(q.toString()));
  }
  return core::Variant(S(q.toString()));
}

DbResultSet Fetch(QSqlQuery& q, bool embedded) {
  std::vector<FieldDef> fields;
  std::vector<core::Variant> cells;
  if (!q.isSelect()) return DbResultSet();
  QSqlRecord rec = q.record();
  sqlite3_stmt* stmt = nullptr;
  if (embedded && q.result()) {
    QVariant h = q.result()->handle();
    if (h.isValid() && qstrcmp(h.typeName(), "sqlite3_stmt*") == 0)
      stmt = *static_cast<sqlite3_stmt* const*>(h.constData());
  }
  for (int i = 0; i < rec.count(); ++i) {
    const char* decl = stmt ? sqlite3_column_decltype(stmt, i) : nullptr;
    FieldDef def{S(rec.fieldName(i)), KindOf(rec.field(i), decl), 0};
    def.size = rec.field(i).length() > 0 ? rec.field(i).length() : 0;
    if (decl && def.size == 0) {
      // SQLite reports no length: read it from the declared type, e.g. VARCHAR(40).
      const char* open = std::strchr(decl, '(');
      if (open) def.size = std::atoi(open + 1);
    }
    fields.push_back(def);
  }
  const int n = rec.count();
  while (q.next()) {
    for (int i = 0; i < n; ++i) {
      QVariant v = q.value(i);
      FieldKind kind = fields[static_cast<size_t>(i)].kind;
      // SQLite columns without a declared type take each value's own type.
      if (embedded && kind == FieldKind::String && !v.isNull() && v.metaType().id() != QMetaType::QString)
        cells.push_back(ToVariant(v, KindOf(QSqlField(QString(), v.metaType()), nullptr)));
      else
        cells.push_back(ToVariant(v, kind));
    }
  }
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
    return Fetch(q, false);
  }
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
  return Fetch(q, backend_->embedded);
}

DbResultSet DbSession::RunProcedureEmbedded(const std::string& name,
                                            const std::vector<core::Variant>& args) {
  QSqlQuery def(backend_->db);
  if (!def.prepare(QString("SELECT PARAMS, BODY FROM %1 WHERE UPPER(NAME) = UPPER(?)").arg(kProcedureTable)))
    Raise(def.lastError());
  def.addBindValue(Q(name));
  if (!def.exec()) Raise(def.lastError());
  if (!def.next()) throw core::Error("Could not find stored procedure '" + name + "'");
  std::vector<std::string> paramNames;
  for (const QString& p : def.value(0).toString().split(',', Qt::SkipEmptyParts))
    paramNames.push_back(core::Trim(S(p)));
  std::vector<std::string> statements = SplitStatements(S(def.value(1).toString()));
  def.finish();
  if (args.size() > paramNames.size())
    throw core::Error("Procedure or function " + name + " has too many arguments specified");

  if (!backend_->db.transaction()) Raise(backend_->db.lastError());
  try {
    DbResultSet last;
    for (const std::string& stmt : statements) {
      QSqlQuery q(backend_->db);
      q.setForwardOnly(true);
      if (!q.prepare(Q(stmt))) Raise(q.lastError());
      for (size_t i = 0; i < paramNames.size(); ++i) {
        if (!UsesName(stmt, paramNames[i])) continue;
        core::Variant v = i < args.size() ? args[i] : core::Variant::MakeNull();
        q.bindValue(Q(":" + paramNames[i]), ToQVariant(v));
      }
      if (!q.exec()) Raise(q.lastError());
      if (q.isSelect()) last = Fetch(q, true);
    }
    if (!backend_->db.commit()) Raise(backend_->db.lastError());
    return last;
  } catch (...) {
    backend_->db.rollback();
    throw;
  }
}

}  // namespace platform
