// A thin owner of an SQLite connection and its prepared statements.  Every
// failure becomes a DataError that names the database file and says the
// cause in plain words ("the disk is full"), never SQL text, so no SQLite
// result code has to be examined above this layer.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "host/data/company.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vx70::data {

// The cause of an SQLite result code as a person would say it.
std::string plainCause(int resultCode);

// A failure that SQLite reported, with its result code.
class SqliteError : public DataError {
 public:
  SqliteError(const std::string& message, int resultCode)
      : DataError(message), resultCode_(resultCode) {}
  // The cause in plain words ("the disk is full").
  std::string reason() const { return plainCause(resultCode_); }
  // The file is not a sound SQLite database.
  bool damaged() const;

 private:
  int resultCode_;
};

class Database {
 public:
  // readOnly opens a company that cannot (or must not) be written.
  enum class Mode { openExisting, readOnly, createNew };
  Database(const std::string& path, Mode mode);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::string& path() const { return path_; }
  sqlite3* handle() const { return db_; }
  // Runs statements that return no rows (schema, pragmas, BEGIN/COMMIT);
  // `what` says what they do, for the error.
  void exec(const char* sql, const char* what = "the database could not be changed");
  // Waits for another connection's write lock at most this long.
  void setBusyTimeout(std::chrono::milliseconds wait);
  bool readOnly() const;
  // Throws an SqliteError: "<path>: <what>: <the cause in plain words>".
  [[noreturn]] void fail(const std::string& what) const;

 private:
  std::string path_;
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(const Database& db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& bind(int index, std::int64_t value);
  Statement& bindBlob(int index, const void* data, std::size_t size);
  Statement& bindZeroBlob(int index, std::size_t size);
  Statement& bindText(int index, const std::string& text);
  // True when a row is ready; false when the statement is done.
  bool step();
  // Steps a statement that returns no rows, then resets it.
  void run();
  // A statement left on a row keeps its read transaction (and so an old
  // snapshot of the file) open: every use ends with a reset.
  void reset();
  sqlite3_stmt* handle() const { return stmt_; }

  std::int64_t integer(int column) const;
  bool isNull(int column) const;
  std::string text(int column) const;
  std::span<const std::uint8_t> blob(int column) const;

 private:
  const Database& db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Resets the statement when the scope ends, however it ends.
class StatementUse {
 public:
  explicit StatementUse(Statement& statement) : statement_(statement) {}
  ~StatementUse() { statement_.reset(); }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;
  Statement* operator->() { return &statement_; }

 private:
  Statement& statement_;
};

}  // namespace vx70::data
