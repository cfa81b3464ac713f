// Query text handling; the work is done by the session.
#include "platform/db/db_query.h"

#include "core/text_util.h"

namespace platform {

void DbQuery::Close() {
  data_ = DbResultSet();
  active_ = false;
}

std::string DbQuery::SqlText() const {
  std::string text;
  for (size_t i = 0; i < sql_.size(); ++i) {
    if (i) text.push_back('\n');
    text.append(sql_[i]);
  }
  return text;
}

namespace {
void SetNamed(DbBindings& b, std::string_view name, const core::Variant& value, bool bytes) {
  std::string key(name);
  if (!key.empty() && key.front() == ':') key.erase(0, 1);
  for (DbNamedValue& n : b.named)
    if (core::EqualsNoCase(n.name, key)) {
      n.value = value;
      n.bytes = bytes;
      return;
    }
  b.named.push_back(DbNamedValue{key, value, bytes});
}
}  // namespace

void DbQuery::SetParam(std::string_view name, const core::Variant& value) {
  SetNamed(bindings_, name, value, false);
}

void DbQuery::SetParamBytes(std::string_view name, const std::string& bytes) {
  SetNamed(bindings_, name, core::Variant(bytes), true);
}

void DbQuery::Open() {
  Close();
  data_ = session_->Run(SqlText(), bindings_);
  active_ = true;
}

void DbQuery::ExecSql() {
  Close();
  session_->Run(SqlText(), bindings_);
}

}  // namespace platform
