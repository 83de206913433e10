#include "host/data/pg_connection.h"

#include <endian.h>
#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/data/company.h"
#include "host/station_options.h"

namespace vx70::data {

namespace {

PGresult* asResult(void* result) { return static_cast<PGresult*>(result); }

bool contains(const char* text, const char* part) {
  return text && std::strstr(text, part) != nullptr;
}

// What a failed connection attempt means, from libpq's message (which
// never holds the password).
std::string connectionCause(const char* message) {
  if (contains(message, "password") || contains(message, "authentication"))
    return "the server refused this user's credentials";
  if (contains(message, "does not exist")) return "the server has no such database or user";
  if (contains(message, "too many")) return "the server takes no more connections";
  if (contains(message, "shutting down") || contains(message, "starting up"))
    return "the server is not running";
  return "the server cannot be reached";
}

// What a failed statement means, from its SQLSTATE.
std::string statementCause(const char* state) {
  const std::string code = state ? state : "";
  if (code == "55P03" || code == "40P01") return "another station holds the company";
  if (code == "53100") return "the server's disk is full";
  if (code.rfind("53", 0) == 0) return "the server is out of resources";
  if (code == "42501") return "this user may not change the company";
  if (code == "25006") return "the company is read-only";
  if (code == "57014") return "the server cancelled the work";
  if (code.rfind("57P", 0) == 0) return "the server is shutting down";
  if (code.rfind("42", 0) == 0) return "the company's tables are not as vx70 makes them";
  if (code.rfind("XX", 0) == 0) return "the server's data is damaged";
  return "the server refused it (error " + code + ")";
}

// Notices ("schema already exists, skipping") are the server talking to
// itself; a station's standard error is for its own messages.
void ignoreNotice(void*, const PGresult*) {}

// A lock_timeout of 0 would mean waiting for ever, not at all.
std::string milliseconds(double seconds) {
  return std::to_string(std::max(1LL, static_cast<long long>(seconds * 1000.0)));
}

}  // namespace

DataError connectionLostError(const std::string& display) {
  return DataError(display +
                   ": the company is unreachable (the connection to the server was lost)");
}

PgValue PgValue::integer(std::int64_t value) {
  const std::uint64_t network = htobe64(static_cast<std::uint64_t>(value));
  return {std::string(reinterpret_cast<const char*>(&network), sizeof network)};
}

PgValue PgValue::boolean(bool value) { return {std::string(1, value ? 1 : 0)}; }

PgValue PgValue::bytea(const std::uint8_t* data, std::size_t size) {
  return {std::string(reinterpret_cast<const char*>(data), size)};
}

PgValue PgValue::text(const std::string& value) { return {value}; }

PgResult::~PgResult() {
  if (result_) PQclear(asResult(result_));
}

int PgResult::rows() const { return PQntuples(asResult(result_)); }

int PgResult::affected() const { return std::atoi(PQcmdTuples(asResult(result_))); }

bool PgResult::null(int row, int column) const {
  return PQgetisnull(asResult(result_), row, column) != 0;
}

std::int64_t PgResult::integer(int row, int column) const {
  const auto* bytes =
      reinterpret_cast<const unsigned char*>(PQgetvalue(asResult(result_), row, column));
  const int length = PQgetlength(asResult(result_), row, column);
  std::uint64_t value = 0;
  for (int n = 0; n < length; ++n) value = (value << 8) | bytes[n];
  // Sign-extend the narrower integers.
  if (length > 0 && length < 8 && (bytes[0] & 0x80)) value |= ~std::uint64_t{0} << (8 * length);
  return static_cast<std::int64_t>(value);
}

std::span<const std::uint8_t> PgResult::bytes(int row, int column) const {
  const auto* data =
      reinterpret_cast<const std::uint8_t*>(PQgetvalue(asResult(result_), row, column));
  return {data, static_cast<std::size_t>(PQgetlength(asResult(result_), row, column))};
}

std::string PgResult::text(int row, int column) const {
  const auto data = bytes(row, column);
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

PgConnection::PgConnection(const CompanyAddress& address)
    : address_(address), display_(address.display()) {
  const char* keywords[] = {"dbname", "fallback_application_name", nullptr};
  const char* values[] = {address.connection.c_str(), "vx70", nullptr};
  PGconn* conn = PQconnectdbParams(keywords, values, 1);
  conn_ = conn;
  if (!conn) throw DataError(display_ + ": the company is unreachable (out of memory)");
  if (PQstatus(conn) != CONNECTION_OK) {
    const std::string cause = connectionCause(PQerrorMessage(conn));
    PQfinish(conn);
    conn_ = nullptr;
    throw DataError(display_ + ": the company is unreachable (" + cause + ")");
  }
  PQsetNoticeProcessor(conn, nullptr, nullptr);
  PQsetNoticeReceiver(conn, ignoreNotice, nullptr);
  // Waits for another station's lock (a write, a record) are bounded as
  // the station's own lock waits are; every commit reaches the disk.
  exec("SET lock_timeout = " + milliseconds(stationOptions().lockTimeoutSeconds) +
           "; SET synchronous_commit = on; SET client_min_messages = warning",
       "the company could not be opened");
}

PgConnection::~PgConnection() {
  if (conn_) PQfinish(static_cast<PGconn*>(conn_));
}

// A failure that the server did not word (libpq's own, when the socket
// closed), or the server ending the session or refusing it, means the
// connection is gone, even before libpq's status says so.
namespace {
bool endsTheSession(const char* state) {
  return !state || !*state || std::strncmp(state, "08", 2) == 0 ||
         std::strncmp(state, "57P", 3) == 0;
}
}  // namespace

void PgConnection::fail(void* result, const char* what) {
  PGconn* conn = static_cast<PGconn*>(conn_);
  const char* state = result ? PQresultErrorField(asResult(result), PG_DIAG_SQLSTATE) : nullptr;
  if (lost_ || PQstatus(conn) != CONNECTION_OK || endsTheSession(state)) {
    lost_ = true;
    if (result) PQclear(asResult(result));
    throw connectionLostError(display_);
  }
  const std::string cause =
      statementCause(result ? PQresultErrorField(asResult(result), PG_DIAG_SQLSTATE) : nullptr);
  if (result) PQclear(asResult(result));
  throw DataError(display_ + ": " + what + ": " + cause);
}

PgResult PgConnection::check(void* result, const char* what) {
  const ExecStatusType status = result ? PQresultStatus(asResult(result)) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) fail(result, what);
  return PgResult(result);
}

void PgConnection::prepare(const char* name, const std::string& sql) {
  if (lost_) throw connectionLostError(display_);
  check(PQprepare(static_cast<PGconn*>(conn_), name, sql.c_str(), 0, nullptr),
        "the company could not be opened");
}

template <typename Send>
PgResult PgConnection::withParameters(std::initializer_list<PgValue> parameters, const char* what,
                                      Send&& send) {
  if (lost_) throw connectionLostError(display_);
  std::vector<const char*> values;
  std::vector<int> lengths, formats;
  for (const PgValue& parameter : parameters) {
    values.push_back(parameter.bytes.data());
    lengths.push_back(static_cast<int>(parameter.bytes.size()));
    formats.push_back(1);
  }
  return check(send(static_cast<PGconn*>(conn_), static_cast<int>(values.size()), values.data(),
                    lengths.data(), formats.data()),
               what);
}

PgResult PgConnection::run(const char* name, std::initializer_list<PgValue> parameters,
                           const char* what) {
  return withParameters(parameters, what,
                        [&](PGconn* conn, int count, auto values, auto lengths, auto formats) {
                          return PQexecPrepared(conn, name, count, values, lengths, formats, 1);
                        });
}

PgResult PgConnection::query(const std::string& sql, std::initializer_list<PgValue> parameters,
                             const char* what) {
  return withParameters(
      parameters, what, [&](PGconn* conn, int count, auto values, auto lengths, auto formats) {
        return PQexecParams(conn, sql.c_str(), count, nullptr, values, lengths, formats, 1);
      });
}

std::vector<PgResult> PgConnection::runTogether(std::initializer_list<Step> steps,
                                                const char* what) {
  if (lost_) throw connectionLostError(display_);
  PGconn* conn = static_cast<PGconn*>(conn_);
  if (!PQenterPipelineMode(conn)) fail(nullptr, what);
  for (const Step& step : steps) {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const PgValue& parameter : step.parameters) {
      values.push_back(parameter.bytes.data());
      lengths.push_back(static_cast<int>(parameter.bytes.size()));
      formats.push_back(1);
    }
    PQsendQueryPrepared(conn, step.name, static_cast<int>(values.size()), values.data(),
                        lengths.data(), formats.data(), 1);
  }
  PQpipelineSync(conn);
  // Each statement answers with its result and a null; the sync ends all.
  std::vector<PgResult> results;
  PGresult* failure = nullptr;
  for (std::size_t n = 0; n < steps.size(); ++n) {
    PGresult* result = PQgetResult(conn);
    if (!result) break;  // the connection went
    while (PGresult* more = PQgetResult(conn)) PQclear(more);
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
      results.emplace_back(result);
      continue;
    }
    if (!failure && status != PGRES_PIPELINE_ABORTED)
      failure = result;
    else
      PQclear(result);
  }
  while (PGresult* sync = PQgetResult(conn)) {
    const bool synced = PQresultStatus(sync) == PGRES_PIPELINE_SYNC;
    PQclear(sync);
    if (synced) break;
  }
  PQexitPipelineMode(conn);
  if (failure || results.size() != steps.size()) {
    if (PQtransactionStatus(conn) == PQTRANS_INERROR) execQuietly("ROLLBACK");
    fail(failure, what);
  }
  return results;
}

PgResult PgConnection::exec(const std::string& sql, const char* what) {
  if (lost_) throw connectionLostError(display_);
  return check(PQexec(static_cast<PGconn*>(conn_), sql.c_str()), what);
}

void PgConnection::checkAlive() {
  if (lost_) throw connectionLostError(display_);
  PGconn* conn = static_cast<PGconn*>(conn_);
  pollfd socket{PQsocket(conn), POLLIN, 0};
  if (::poll(&socket, 1, 0) <= 0) return;
  if (!PQconsumeInput(conn) || PQstatus(conn) != CONNECTION_OK) {
    lost_ = true;
    throw connectionLostError(display_);
  }
}

void PgConnection::execQuietly(const char* sql) noexcept {
  if (lost_) return;
  PGconn* conn = static_cast<PGconn*>(conn_);
  PQclear(PQexec(conn, sql));
  if (PQstatus(conn) != CONNECTION_OK) lost_ = true;
}

}  // namespace vx70::data
