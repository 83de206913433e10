#include "host/data/pg_store.h"

#include <map>

#include "host/data/company.h"
#include "host/data/pg_connection.h"
#include "host/data/pg_listener.h"

namespace vx70::data {

namespace {

constexpr const char* kMark = "VX70";
// Version 2: every record carries a checksum.
constexpr std::int64_t kSchemaVersion = 2;
// Broadcasts older than this many newer ones are of no use to anybody.
constexpr std::int64_t kBroadcastsKept = 4096;
// Lock spaces fill the bits of an advisory lock key above a place's 40.
constexpr std::int64_t kMaxLockSpace = (std::int64_t{1} << 23) - 1;

const char* const kRead = "the company could not be read";
const char* const kWrite = "the company could not be written";
const char* const kOpen = "the company could not be opened";

// A company is a plain lower-case identifier (CompanyAddress::parse), so
// it goes into our texts as it is.
constexpr const char* kTables =
    "CREATE TABLE S.files(number smallint PRIMARY KEY, reclen integer NOT NULL, "
    "name text NOT NULL);"
    "CREATE TABLE S.records(file smallint NOT NULL, recno integer NOT NULL, "
    "data bytea NOT NULL, sum bigint NOT NULL, PRIMARY KEY(file, recno));"
    "CREATE TABLE S.broadcasts(seq bigserial PRIMARY KEY, from_station bigint NOT NULL, "
    "code bigint NOT NULL, flag bigint NOT NULL);"
    "CREATE TABLE S.meta(name text PRIMARY KEY, value text NOT NULL);"
    "INSERT INTO S.meta VALUES ('mark', 'VX70'), ('version', '2'), "
    "('lock space', nextval('vx70_shared.lock_spaces')::text);";

std::string withSchema(std::string sql, const std::string& schema) {
  for (std::size_t at = sql.find("S."); at != std::string::npos; at = sql.find("S.", at)) {
    sql.replace(at, 1, schema);
    at += schema.size() + 1;
  }
  return sql;
}

std::string fileLabel(const FileInfo& info) {
  return "data file " + std::to_string(info.number) + " (" + info.name + ")";
}

// A schema that is not (or no longer) a company.
[[noreturn]] void notACompany(const std::string& display, const std::string& why) {
  throw DataError(display + ": not a usable company (" + why + ")");
}

// Whether the schema is there, and whether it holds a meta table.
std::pair<bool, bool> schemaAndMeta(PgConnection& db, const char* what) {
  const std::string& schema = db.address().company;
  PgResult found = db.query(
      "SELECT EXISTS(SELECT 1 FROM pg_namespace WHERE nspname = $1::text), "
      "to_regclass($2::text) IS NOT NULL",
      {PgValue::text(schema), PgValue::text(schema + ".meta")}, what);
  return {found.integer(0, 0) != 0, found.integer(0, 1) != 0};
}

std::map<std::string, std::string> metaOf(PgConnection& db, const char* what) {
  PgResult rows =
      db.query(withSchema("SELECT name, value FROM S.meta", db.address().company), {}, what);
  std::map<std::string, std::string> meta;
  for (int row = 0; row < rows.rows(); ++row) meta[rows.text(row, 0)] = rows.text(row, 1);
  return meta;
}

}  // namespace

bool PgStore::exists(PgConnection& db) {
  if (!schemaAndMeta(db, kRead).second) return false;
  return metaOf(db, kRead)["mark"] == kMark;
}

void PgStore::create(PgConnection& db) {
  const char* what = "the company could not be created";
  // One creation at a time in a database: the lock spaces' sequence is
  // made once, and two stations making the same company do not both pass.
  db.exec("BEGIN; SELECT pg_advisory_xact_lock(0, 0)", what);
  try {
    // The sequence has a schema of its own: making a company needs the
    // right to make schemas anyway, while schema public is closed to
    // everyone but the database's owner.
    PgResult sequence =
        db.query("SELECT to_regclass('vx70_shared.lock_spaces') IS NOT NULL", {}, what);
    if (!sequence.integer(0, 0))
      db.exec(
          "CREATE SCHEMA IF NOT EXISTS vx70_shared; CREATE SEQUENCE vx70_shared.lock_spaces "
          "MAXVALUE " +
              std::to_string(kMaxLockSpace),
          what);
    if (schemaAndMeta(db, what).first)
      throw DataError(db.display() + ": a company already exists here");
    db.exec("CREATE SCHEMA " + db.address().company + ";" +
                withSchema(kTables, db.address().company) + "COMMIT",
            what);
  } catch (...) {
    db.execQuietly("ROLLBACK");
    throw;
  }
}

void PgStore::drop(PgConnection& db) {
  db.exec("DROP SCHEMA IF EXISTS " + db.address().company + " CASCADE",
          "the company could not be removed");
}

PgStore::PgStore(std::shared_ptr<PgConnection> connection, Access access)
    : db_(std::move(connection)), schema_(db_->address().company) {
  verify();
  readOnly_ = access == Access::readOnly || !mayChange();
  if (readOnly_) db_->exec("SET default_transaction_read_only = on", kOpen);
}

PgStore::~PgStore() {
  listener_.reset();
  releaseSnapshot();
}

const std::string& PgStore::path() const { return db_->display(); }

bool PgStore::connectionLost() const { return db_->lost(); }

std::string PgStore::channel() const { return "vx70_" + std::to_string(lockSpace_); }

// Every check reads the whole company once; a company is small, and a
// damaged one must be refused before any station works on it.
void PgStore::verify() {
  const auto [schema, meta] = schemaAndMeta(*db_, kOpen);
  if (!schema)
    throw DataError(path() + ": no company here (the server has no company " + schema_ + ")");
  if (!meta) notACompany(path(), "it was not made by vx70 (foreign schema)");
  auto values = metaOf(*db_, kOpen);
  if (values["mark"] != kMark) notACompany(path(), "it was not made by vx70 (foreign schema)");
  if (values["version"] != std::to_string(kSchemaVersion))
    notACompany(path(), "schema version " + values["version"] + " is not " +
                            std::to_string(kSchemaVersion));
  try {
    lockSpace_ = std::stoll(values["lock space"]);
  } catch (const std::exception&) {
    lockSpace_ = 0;
  }
  if (lockSpace_ < 1 || lockSpace_ > kMaxLockSpace)
    notACompany(path(), "damaged: its lock space is missing");
  prepareStatements();
  verifyFiles();
  verifyRecordLengths();
}

void PgStore::verifyFiles() {
  PgResult files = db_->query(withSchema("SELECT number, reclen FROM S.files", schema_), {}, kOpen);
  for (int row = 0; row < files.rows(); ++row) {
    const std::int64_t number = files.integer(row, 0);
    const FileInfo* known = number >= 0 && number < kDataFileCount
                                ? fileInfo(static_cast<std::uint16_t>(number))
                                : nullptr;
    if (!known)
      notACompany(path(), "it holds data file " + std::to_string(number) + ", unknown here");
    if (files.integer(row, 1) != known->recordLength)
      notACompany(path(), fileLabel(*known) + " has records of " +
                              std::to_string(files.integer(row, 1)) + " bytes, not " +
                              std::to_string(known->recordLength));
  }
}

void PgStore::verifyRecordLengths() {
  PgResult wrong =
      db_->query(withSchema("SELECT r.file, r.recno, octet_length(r.data) "
                            "FROM S.records r LEFT JOIN S.files f ON f.number = r.file "
                            "WHERE f.number IS NULL OR octet_length(r.data) != f.reclen "
                            "LIMIT 1",
                            schema_),
                 {}, kOpen);
  if (wrong.rows() == 0) return;
  const auto file = static_cast<std::uint16_t>(wrong.integer(0, 0));
  if (!fileInfo(file) || !fileExists(file))
    notACompany(path(),
                "it holds records of data file " + std::to_string(file) + ", which does not exist");
  try {
    checkLength(file, static_cast<std::uint32_t>(wrong.integer(0, 1)),
                static_cast<std::size_t>(wrong.integer(0, 2)));
  } catch (const DataError& e) {
    notACompany(path(), e.what());
  }
}

// A company this user may only read, or on a server that only reads (a
// standby), is opened read-only, as a folder that cannot be written is.
bool PgStore::mayChange() {
  PgResult may =
      db_->query(withSchema("SELECT NOT pg_is_in_recovery() "
                            "AND has_table_privilege('S.records', 'INSERT, UPDATE, DELETE') "
                            "AND has_table_privilege('S.files', 'INSERT') "
                            "AND has_table_privilege('S.broadcasts', 'INSERT, DELETE') "
                            "AND has_sequence_privilege('S.broadcasts_seq_seq', 'USAGE')",
                            schema_),
                 {}, kOpen);
  return may.integer(0, 0) != 0;
}

void PgStore::prepareStatements() {
  static constexpr std::pair<const char*, const char*> kStatements[] = {
      {"file_exists", "SELECT 1 FROM S.files WHERE number = $1::int8"},
      {"insert_file",
       "INSERT INTO S.files(number, reclen, name) VALUES($1::int8, $2::int8, $3::text) "
       "ON CONFLICT (number) DO NOTHING"},
      {"truncate", "DELETE FROM S.records WHERE file = $1::int8 AND recno > $2::int8"},
      {"count", "SELECT coalesce(max(recno), 0) FROM S.records WHERE file = $1::int8"},
      {"select",
       "SELECT recno, data, sum FROM S.records WHERE file = $1::int8 AND recno = $2::int8"},
      {"select_range",
       "SELECT recno, data, sum FROM S.records WHERE file = $1::int8 AND recno >= $2::int8 "
       "AND recno < $3::int8 ORDER BY recno"},
      {"scan",
       "SELECT recno, data, sum FROM S.records WHERE file = $1::int8 AND recno >= $2::int8 "
       "ORDER BY recno"},
      {"put",
       "INSERT INTO S.records(file, recno, data, sum) VALUES($1::int8, $2::int8, $3::bytea, "
       "$4::int8) ON CONFLICT (file, recno) DO UPDATE SET data = excluded.data, sum = "
       "excluded.sum"},
      // A write in one exchange: the company's write lock, then the record
      // stored only when its file exists and no gap lies before it.
      {"begin", "BEGIN"},
      {"write_lock", "SELECT pg_advisory_xact_lock(($1::int8)::int4, 0)"},
      {"put_in_place",
       "INSERT INTO S.records(file, recno, data, sum) SELECT $1::int8, $2::int8, $3::bytea, "
       "$4::int8 WHERE EXISTS(SELECT 1 FROM S.files WHERE number = $1::int8) AND ($2::int8 = 1 "
       "OR EXISTS(SELECT 1 FROM S.records WHERE file = $1::int8 AND recno = $2::int8 - 1)) "
       "ON CONFLICT (file, recno) DO UPDATE SET data = excluded.data, sum = excluded.sum"},
      {"commit", "COMMIT"},
      {"last_broadcast", "SELECT coalesce(max(seq), 0) FROM S.broadcasts"},
      // The notice goes out when the broadcast commits, and only then.
      {"add_broadcast",
       "WITH added AS (INSERT INTO S.broadcasts(from_station, code, flag) "
       "VALUES($1::int8, $2::int8, $3::int8) RETURNING seq), "
       "pruned AS (DELETE FROM S.broadcasts WHERE seq <= (SELECT seq FROM added) - $4::int8) "
       "SELECT pg_notify($5::text, '')"},
      {"broadcasts_after",
       "SELECT seq, from_station, code, flag FROM S.broadcasts WHERE seq > $1::int8 "
       "ORDER BY seq"},
  };
  for (auto [name, sql] : kStatements) db_->prepare(name, withSchema(sql, schema_));
}

void PgStore::beginWrite() {
  // The company's write lock (a key of its own, apart from the stations'
  // locks) orders writers as SQLite's BEGIN IMMEDIATE does: a write counts
  // and fills without another slipping in.  lock_timeout bounds the wait.
  try {
    db_->exec("BEGIN; SELECT pg_advisory_xact_lock(" + std::to_string(lockSpace_) + ", 0)", kWrite);
  } catch (...) {
    db_->execQuietly("ROLLBACK");
    throw;
  }
  transactionOpen_ = true;
}

void PgStore::commitWrite() {
  transactionOpen_ = false;
  db_->exec("COMMIT", kWrite);
}

void PgStore::rollbackWrite() noexcept {
  transactionOpen_ = false;
  db_->execQuietly("ROLLBACK");
}

void PgStore::beginSnapshot() {
  db_->exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", kRead);
  transactionOpen_ = true;
}

void PgStore::endSnapshot() noexcept {
  transactionOpen_ = false;
  db_->execQuietly("COMMIT");
}

bool PgStore::listsFile(std::uint16_t file) {
  if (knownFiles_.count(file)) return true;
  const bool found = db_->run("file_exists", {PgValue::integer(file)}, kRead).rows() > 0;
  // A file made inside a write may yet be rolled back.
  if (found && !inTransaction()) knownFiles_.insert(file);
  return found;
}

void PgStore::insertFile(const FileInfo& file) {
  db_->run("insert_file",
           {PgValue::integer(file.number), PgValue::integer(file.recordLength),
            PgValue::text(file.name)},
           kWrite);
}

std::uint32_t PgStore::recordCount(std::uint16_t file) {
  PgResult count = db_->run("count", {PgValue::integer(file)}, kRead);
  return static_cast<std::uint32_t>(count.integer(0, 0));
}

bool PgStore::putInPlace(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                         std::size_t size, std::int64_t sum) {
  // Each statement after the lock sees the company as the lock left it
  // (read committed takes a new snapshot a statement).
  const auto results = db_->runTogether({{"begin", {}},
                                         {"write_lock", {PgValue::integer(lockSpace_)}},
                                         {"put_in_place",
                                          {PgValue::integer(file), PgValue::integer(record),
                                           PgValue::bytea(data, size), PgValue::integer(sum)}},
                                         {"commit", {}}},
                                        kWrite);
  return results[2].affected() == 1;
}

void PgStore::putRow(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                     std::size_t size, std::int64_t sum) {
  db_->run("put",
           {PgValue::integer(file), PgValue::integer(record), PgValue::bytea(data, size),
            PgValue::integer(sum)},
           kWrite);
}

void PgStore::deleteRowsAfter(std::uint16_t file, std::uint32_t count) {
  db_->run("truncate", {PgValue::integer(file), PgValue::integer(count)}, kWrite);
}

void PgStore::selectRows(std::uint16_t file, std::uint32_t first, std::uint32_t end,
                         const RowVisitor& visit) {
  PgResult rows =
      end == 0 ? db_->run("scan", {PgValue::integer(file), PgValue::integer(first)}, kRead)
      : end == first + 1
          ? db_->run("select", {PgValue::integer(file), PgValue::integer(first)}, kRead)
          : db_->run("select_range",
                     {PgValue::integer(file), PgValue::integer(first), PgValue::integer(end)},
                     kRead);
  for (int row = 0; row < rows.rows(); ++row)
    if (!visit(static_cast<std::uint32_t>(rows.integer(row, 0)), rows.bytes(row, 1),
               rows.integer(row, 2)))
      break;
}

void PgStore::selectAllRows(
    const std::function<void(std::uint16_t, std::uint32_t, std::span<const std::uint8_t>,
                             std::int64_t)>& visit) {
  PgResult rows = db_->query(
      withSchema("SELECT file, recno, data, sum FROM S.records ORDER BY file, recno", schema_), {},
      kRead);
  for (int row = 0; row < rows.rows(); ++row)
    visit(static_cast<std::uint16_t>(rows.integer(row, 0)),
          static_cast<std::uint32_t>(rows.integer(row, 1)), rows.bytes(row, 2),
          rows.integer(row, 3));
}

// The server keeps its own pages whole; what it can tell cheaply is a
// record of a data file that the company does not list.
std::vector<std::string> PgStore::checkStructure() {
  PgResult orphans = db_->query(withSchema("SELECT DISTINCT r.file FROM S.records r "
                                           "LEFT JOIN S.files f ON f.number = r.file "
                                           "WHERE f.number IS NULL ORDER BY r.file",
                                           schema_),
                                {}, kRead);
  std::vector<std::string> damage;
  for (int row = 0; row < orphans.rows(); ++row)
    damage.push_back(path() + ": data file " + std::to_string(orphans.integer(row, 0)) +
                     " holds records, but the company has no such file");
  return damage;
}

std::int64_t PgStore::lastBroadcast() {
  return db_->run("last_broadcast", {}, kRead).integer(0, 0);
}

void PgStore::addBroadcast(std::uint32_t fromStation, std::uint32_t code, std::uint32_t flag) {
  // Inside the write lock, sequence numbers commit in their order, so a
  // station that has seen number n never misses a smaller one.
  Transaction transaction(*this);
  db_->run("add_broadcast",
           {PgValue::integer(fromStation), PgValue::integer(code), PgValue::integer(flag),
            PgValue::integer(kBroadcastsKept), PgValue::text(channel())},
           kWrite);
  transaction.commit();
}

std::vector<Broadcast> PgStore::broadcastsAfter(std::int64_t sequence) {
  // While the listener hears every notice, a turn without one needs no
  // query.  Inside a transaction the query may not see the newest
  // broadcast, so the mark stays for the next turn.
  if (listener_) {
    const bool mayHaveNews = transactionOpen_ ? listener_->notified() : listener_->takeNotified();
    if (!mayHaveNews) {
      db_->checkAlive();
      return {};
    }
  }
  PgResult rows = db_->run("broadcasts_after", {PgValue::integer(sequence)}, kRead);
  std::vector<Broadcast> found;
  for (int row = 0; row < rows.rows(); ++row)
    found.push_back({rows.integer(row, 0), static_cast<std::uint32_t>(rows.integer(row, 1)),
                     static_cast<std::uint32_t>(rows.integer(row, 2)),
                     static_cast<std::uint32_t>(rows.integer(row, 3))});
  return found;
}

void PgStore::watchBroadcasts(std::function<void()> wake) {
  listener_.reset();
  listener_ = std::make_unique<PgListener>(db_->address(), channel(), std::move(wake));
}

}  // namespace vx70::data
