#include "host/data/sqlite.h"

#include <sqlite3.h>

namespace vx70::data {

namespace {
int openFlags(Database::Mode mode) {
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
  if (mode == Database::Mode::createNew) flags |= SQLITE_OPEN_CREATE;
  return flags;
}
}  // namespace

Database::Database(const std::string& path, Mode mode) : path_(path) {
  int rc = sqlite3_open_v2(path.c_str(), &db_, openFlags(mode), nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw SqliteError(path + ": cannot open the company database: " + message, message);
  }
}

Database::~Database() { sqlite3_close(db_); }

void Database::exec(const char* sql) {
  if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(sql);
}

void Database::fail(const std::string& what) const {
  std::string reason = sqlite3_errmsg(db_);
  throw SqliteError(path_ + ": " + what + ": " + reason, reason);
}

Statement::Statement(const Database& db, const char* sql) : db_(db) {
  if (sqlite3_prepare_v3(db.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) !=
      SQLITE_OK)
    db.fail("the database does not hold the company schema");
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::bind(int index, std::int64_t value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) db_.fail("bind");
  return *this;
}

Statement& Statement::bindBlob(int index, const void* data, std::size_t size) {
  if (sqlite3_bind_blob64(stmt_, index, data, size, SQLITE_STATIC) != SQLITE_OK) db_.fail("bind");
  return *this;
}

Statement& Statement::bindZeroBlob(int index, std::size_t size) {
  if (sqlite3_bind_zeroblob64(stmt_, index, size) != SQLITE_OK) db_.fail("bind");
  return *this;
}

Statement& Statement::bindText(int index, const std::string& text) {
  if (sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) !=
      SQLITE_OK)
    db_.fail("bind");
  return *this;
}

bool Statement::step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  std::string sql = sqlite3_sql(stmt_);
  sqlite3_reset(stmt_);
  db_.fail(sql);
}

void Statement::run() {
  while (step()) {
  }
  reset();
}

void Statement::reset() { sqlite3_reset(stmt_); }

std::int64_t Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

bool Statement::isNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::string Statement::text(int column) const {
  auto* data = sqlite3_column_text(stmt_, column);
  return data ? reinterpret_cast<const char*>(data) : "";
}

std::span<const std::uint8_t> Statement::blob(int column) const {
  auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
  auto size = static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column));
  return {data, data ? size : 0};
}

}  // namespace vx70::data
