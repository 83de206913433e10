// One connection to the PostgreSQL server that holds a company.  A station
// has one, shared by its store and its locks; everything it sends is a
// prepared statement with binary parameters and results, or a fixed text
// of ours.  Every failure becomes a DataError naming the company (never its
// password) and saying the cause in plain words, never SQL text.
//
// libpq stays inside the .cpp files: nothing here names its types.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "host/data/backend.h"
#include "host/data/company.h"

namespace vx70::data {

// A parameter in PostgreSQL's binary form; the statement's text gives its
// type ($1::int8, $2::bytea, $3::text, $4::bool).
struct PgValue {
  std::string bytes;
  static PgValue integer(std::int64_t value);
  static PgValue boolean(bool value);
  static PgValue bytea(const std::uint8_t* data, std::size_t size);
  static PgValue text(const std::string& value);
};

// The rows a statement returned, in binary form.
class PgResult {
 public:
  explicit PgResult(void* result) : result_(result) {}
  PgResult(PgResult&& other) noexcept : result_(other.result_) { other.result_ = nullptr; }
  PgResult& operator=(PgResult&&) = delete;
  ~PgResult();

  int rows() const;
  // How many rows an INSERT, UPDATE or DELETE touched.
  int affected() const;
  bool null(int row, int column) const;
  // int2, int4 or int8 as the column holds it; bool as 0 or 1.
  std::int64_t integer(int row, int column) const;
  std::span<const std::uint8_t> bytes(int row, int column) const;
  std::string text(int row, int column) const;

 private:
  void* result_;
};

class PgConnection {
 public:
  // Connects with libpq's own means for credentials (password file,
  // environment, service file); throws DataError when the server cannot be
  // reached or refuses.
  explicit PgConnection(const CompanyAddress& address);
  ~PgConnection();
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  // The company as messages name it.
  const std::string& display() const { return display_; }
  const CompanyAddress& address() const { return address_; }

  void prepare(const char* name, const std::string& sql);
  // Runs a prepared statement; what says what failed ("the company could
  // not be written") when it does.
  PgResult run(const char* name, std::initializer_list<PgValue> parameters, const char* what);
  // Runs a statement once, with binary parameters and results.
  PgResult query(const std::string& sql, std::initializer_list<PgValue> parameters,
                 const char* what);
  // Sends prepared statements in one round trip (libpq's pipeline) and
  // returns their results, in order.  When one fails, those after it do
  // not run, an open transaction is rolled back, and it throws as run()
  // does.
  struct Step {
    const char* name;  // a prepared statement
    std::initializer_list<PgValue> parameters;
  };
  std::vector<PgResult> runTogether(std::initializer_list<Step> steps, const char* what);
  // Runs a text of ours (it may hold several statements); text results.
  PgResult exec(const std::string& sql, const char* what);
  // For rollbacks and unlocks while a failure unwinds: never throws.
  void execQuietly(const char* sql) noexcept;

  // True once the connection to the server is gone: every lock of the
  // station went with it, so nothing may carry on as if it were there.
  bool lost() const { return lost_; }
  // Notices a server that ended the session while the station was idle,
  // without a round trip: the server says so and closes the socket.
  // Throws as a failed call would.
  void checkAlive();

  // Throws what a failed result means.
  [[noreturn]] void fail(void* result, const char* what);

 private:
  PgResult check(void* result, const char* what);
  template <typename Send>
  PgResult withParameters(std::initializer_list<PgValue> parameters, const char* what, Send&& send);

  CompanyAddress address_;
  std::string display_;
  void* conn_ = nullptr;
  bool lost_ = false;
};

// The error for a connection that was lost.
DataError connectionLostError(const std::string& display);

}  // namespace vx70::data
