#include "host/data/sqlite.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include "host/data/fault_vfs.h"

namespace vx70::data {

namespace {

int openFlags(Database::Mode mode) {
  int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
  switch (mode) {
    case Database::Mode::readOnly:
      return flags | SQLITE_OPEN_READONLY;
    case Database::Mode::createNew:
      return flags | SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    case Database::Mode::openExisting:
      break;
  }
  return flags | SQLITE_OPEN_READWRITE;
}

// The path as an SQLite URI that reads the file as it stands, without its
// journal: for a company in a folder that nobody may write, where SQLite
// could not make the journal's shared-memory file.
std::string immutableUri(const std::string& path) {
  std::string uri = "file:";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      uri += escaped;
    } else {
      uri += c;
    }
  }
  return uri + "?immutable=1";
}

bool readable(sqlite3* db) {
  return sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) ==
         SQLITE_OK;
}

}  // namespace

std::string plainCause(int resultCode) {
  switch (resultCode & 0xFF) {
    case SQLITE_FULL:
      return "the disk is full";
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return "the company is read-only";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "another program holds the company";
    case SQLITE_IOERR:
      return "the disk could not be read or written";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return "the file is damaged";
    case SQLITE_CANTOPEN:
      return "the file cannot be opened";
    case SQLITE_NOMEM:
      return "there is not enough memory";
    default:
      return sqlite3_errstr(resultCode);
  }
}

Database::Database(const std::string& path, Mode mode) : path_(path) {
  int rc = sqlite3_open_v2(path.c_str(), &db_, openFlags(mode), fileLayerForFaults());
  if (rc == SQLITE_OK && mode == Mode::readOnly && !readable(db_)) {
    sqlite3_close(db_);
    rc = sqlite3_open_v2(immutableUri(path).c_str(), &db_, openFlags(mode) | SQLITE_OPEN_URI,
                         fileLayerForFaults());
  }
  if (rc != SQLITE_OK) {
    const int code = db_ ? sqlite3_extended_errcode(db_) : rc;
    sqlite3_close(db_);
    db_ = nullptr;
    throw SqliteError(path + ": the company cannot be opened: " + plainCause(code), code);
  }
}

Database::~Database() { sqlite3_close(db_); }

void Database::exec(const char* sql, const char* what) {
  if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(what);
}

void Database::setBusyTimeout(std::chrono::milliseconds wait) {
  sqlite3_busy_timeout(db_, static_cast<int>(std::min<std::chrono::milliseconds::rep>(
                                wait.count(), std::numeric_limits<int>::max())));
}

bool Database::readOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

void Database::fail(const std::string& what) const {
  const int code = sqlite3_extended_errcode(db_);
  throw SqliteError(path_ + ": " + what + ": " + plainCause(code), code);
}

bool SqliteError::damaged() const {
  const int primary = resultCode_ & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

Statement::Statement(const Database& db, const char* sql) : db_(db) {
  if (sqlite3_prepare_v3(db.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) !=
      SQLITE_OK)
    db.fail("the file does not hold a company");
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::bind(int index, std::int64_t value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
    db_.fail("a value could not be passed to the database");
  return *this;
}

Statement& Statement::bindBlob(int index, const void* data, std::size_t size) {
  if (sqlite3_bind_blob64(stmt_, index, data, size, SQLITE_STATIC) != SQLITE_OK)
    db_.fail("a value could not be passed to the database");
  return *this;
}

Statement& Statement::bindZeroBlob(int index, std::size_t size) {
  if (sqlite3_bind_zeroblob64(stmt_, index, size) != SQLITE_OK)
    db_.fail("a value could not be passed to the database");
  return *this;
}

Statement& Statement::bindText(int index, const std::string& text) {
  if (sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) !=
      SQLITE_OK)
    db_.fail("a value could not be passed to the database");
  return *this;
}

bool Statement::step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  db_.fail(sqlite3_stmt_readonly(stmt_) ? "the company could not be read"
                                        : "the company could not be written");
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
