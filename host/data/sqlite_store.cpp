#include "host/data/sqlite_store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "host/data/company.h"
#include "host/station_options.h"

namespace vx70::data {

namespace {

// "VX70" in the database header, so that no other SQLite file passes for a
// company.
constexpr std::int64_t kApplicationId = 0x56583730;
// Version 2: every record carries a checksum.
constexpr std::int64_t kSchemaVersion = 2;
// Broadcasts older than this many newer ones are of no use to anybody.
constexpr std::int64_t kBroadcastsKept = 4096;

constexpr const char* kSchema = R"sql(
CREATE TABLE files(number INTEGER PRIMARY KEY, reclen INTEGER NOT NULL, name TEXT NOT NULL);
CREATE TABLE records(file INTEGER NOT NULL, recno INTEGER NOT NULL, data BLOB NOT NULL,
                     sum INTEGER NOT NULL, PRIMARY KEY(file, recno)) WITHOUT ROWID;
CREATE TABLE broadcasts(seq INTEGER PRIMARY KEY AUTOINCREMENT, from_station INTEGER NOT NULL,
                        code INTEGER NOT NULL, flag INTEGER NOT NULL);
)sql";

std::string fileLabel(const FileInfo& info) {
  return "data file " + std::to_string(info.number) + " (" + info.name + ")";
}

// A file that opens as SQLite but is not (or no longer) a company.
class NotACompany : public DataError {
 public:
  using DataError::DataError;
};

const std::string& existingPath(const std::string& path) {
  if (!std::filesystem::exists(path))
    throw DataError(path + ": no company database (the file does not exist)");
  return path;
}

// Another station's write lasts milliseconds; a station waits for one as
// long as it waits for any other station's lock.
std::chrono::milliseconds busyWait() {
  return std::chrono::milliseconds(
      static_cast<std::int64_t>(stationOptions().lockTimeoutSeconds * 1000.0));
}

// A company whose file or folder this user may not write opens read-only,
// so that it can still be read (SQLite would otherwise fail to open its
// journal).
Database::Mode openMode(const std::string& path, Store::Access access) {
  if (access == Store::Access::readOnly) return Database::Mode::readOnly;
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const bool writable = ::access(path.c_str(), W_OK) == 0 &&
                        ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
  return writable ? Database::Mode::openExisting : Database::Mode::readOnly;
}

std::int64_t pragmaValue(Database& db, const char* sql) {
  Statement statement(db, sql);
  StatementUse use(statement);
  return use->step() ? use->integer(0) : 0;
}

}  // namespace

struct SqliteStore::Statements {
  explicit Statements(Database& db)
      : fileExists(db, "SELECT 1 FROM files WHERE number = ?1"),
        ensureFile(db, "INSERT OR IGNORE INTO files(number, reclen, name) VALUES(?1, ?2, ?3)"),
        truncate(db, "DELETE FROM records WHERE file = ?1 AND recno > ?2"),
        count(db, "SELECT max(recno) FROM records WHERE file = ?1"),
        select(db, "SELECT recno, data, sum FROM records WHERE file = ?1 AND recno = ?2"),
        selectRange(db,
                    "SELECT recno, data, sum FROM records WHERE file = ?1 AND recno >= ?2 "
                    "AND recno < ?3 ORDER BY recno"),
        replace(db,
                "INSERT OR REPLACE INTO records(file, recno, data, sum) VALUES(?1, ?2, ?3, ?4)"),
        scan(db,
             "SELECT recno, data, sum FROM records WHERE file = ?1 AND recno >= ?2 "
             "ORDER BY recno"),
        lastBroadcast(db, "SELECT coalesce(max(seq), 0) FROM broadcasts"),
        addBroadcast(db, "INSERT INTO broadcasts(from_station, code, flag) VALUES(?1, ?2, ?3)"),
        pruneBroadcasts(db, "DELETE FROM broadcasts WHERE seq <= ?1"),
        broadcastsAfter(db,
                        "SELECT seq, from_station, code, flag FROM broadcasts WHERE seq > ?1 "
                        "ORDER BY seq"),
        dataVersion(db, "PRAGMA data_version"),
        beginRead(db, "BEGIN"),
        endRead(db, "COMMIT") {}
  Statement fileExists, ensureFile, truncate, count, select, selectRange, replace, scan;
  Statement lastBroadcast, addBroadcast, pruneBroadcasts, broadcastsAfter, dataVersion;
  // Prepared once: a dialog's lists take and end several snapshots.
  Statement beginRead, endRead;
};

void SqliteStore::create(const std::string& path) {
  // The file is made here, readable by its owner only whatever the umask;
  // SQLite gives its journal files the same permissions.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0 && errno == EEXIST) throw DataError(path + ": a company already exists here");
  if (fd < 0) throw DataError(path + ": the company cannot be created: " + std::strerror(errno));
  ::fchmod(fd, 0600);
  ::close(fd);
  Database db(path, Database::Mode::createNew);
  const char* what = "the company could not be created";
  db.exec("PRAGMA journal_mode = WAL", what);
  db.exec("BEGIN IMMEDIATE", what);
  db.exec(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str(), what);
  db.exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str(), what);
  db.exec(kSchema, what);
  db.exec("COMMIT", what);
}

SqliteStore::SqliteStore(const std::string& path, Access access)
    : db_(existingPath(path), openMode(path, access)) {
  db_.setBusyTimeout(busyWait());
  try {
    verify();
  } catch (const SqliteError& e) {
    if (!e.damaged()) throw;
    throw NotACompany(path + ": not a usable company database (" + e.reason() + ")");
  } catch (const NotACompany& e) {
    throw NotACompany(path + ": not a usable company database (" + e.what() + ")");
  }
  if (db_.readOnly()) return;
  db_.exec("PRAGMA journal_mode = WAL", "the company could not be opened for writing");
  db_.exec("PRAGMA synchronous = FULL", "the company could not be opened for writing");
}

SqliteStore::~SqliteStore() { releaseSnapshot(); }

void SqliteStore::beginSnapshot() {
  StatementUse use(sql_->beginRead);
  use->run();
}

// SQLite's data version changes for this connection whenever another one
// committed; read as the snapshot's first statement, it is the snapshot's.
std::optional<std::uint64_t> SqliteStore::snapshotVersion() noexcept {
  try {
    StatementUse use(sql_->dataVersion);
    if (use->step()) return static_cast<std::uint64_t>(use->integer(0));
  } catch (...) {
  }
  return std::nullopt;
}

void SqliteStore::endSnapshot() noexcept {
  // A read transaction changes nothing: ending it cannot lose a thing.
  const int ended = sqlite3_step(sql_->endRead.handle());
  sql_->endRead.reset();
  if (ended != SQLITE_DONE) sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteStore::beginWrite() { db_.exec("BEGIN IMMEDIATE", "the company could not be written"); }

void SqliteStore::commitWrite() { db_.exec("COMMIT", "the company could not be written"); }

void SqliteStore::rollbackWrite() noexcept {
  sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

// Every check reads the whole file once; a company is small, and a damaged
// one must be refused before any station works on it.
void SqliteStore::verify() {
  std::int64_t id = pragmaValue(db_, "PRAGMA application_id");
  if (id != kApplicationId) throw NotACompany("it was not written by vx70 (foreign file)");
  std::int64_t version = pragmaValue(db_, "PRAGMA user_version");
  if (version != kSchemaVersion)
    throw NotACompany("schema version " + std::to_string(version) + " is not " +
                      std::to_string(kSchemaVersion));
  Statement check(db_, "PRAGMA quick_check");
  StatementUse use(check);
  while (use->step()) {
    std::string verdict = use->text(0);
    if (verdict != "ok") throw NotACompany("damaged: " + verdict);
  }
  sql_ = std::make_unique<Statements>(db_);
  verifyRecordLengths();
}

void SqliteStore::verifyRecordLengths() {
  Statement files(db_, "SELECT number, reclen FROM files");
  StatementUse useFiles(files);
  while (useFiles->step()) {
    auto number = useFiles->integer(0);
    const FileInfo* known = number >= 0 && number < kDataFileCount
                                ? fileInfo(static_cast<std::uint16_t>(number))
                                : nullptr;
    if (!known)
      throw NotACompany("it holds data file " + std::to_string(number) + ", unknown here");
    if (useFiles->integer(1) != known->recordLength)
      throw NotACompany(fileLabel(*known) + " has records of " + useFiles->text(1) +
                        " bytes, not " + std::to_string(known->recordLength));
  }
  Statement wrong(db_,
                  "SELECT r.file, r.recno, length(r.data) FROM records r "
                  "LEFT JOIN files f ON f.number = r.file "
                  "WHERE f.number IS NULL OR length(r.data) != f.reclen LIMIT 1");
  StatementUse useWrong(wrong);
  if (!useWrong->step()) return;
  auto file = static_cast<std::uint16_t>(useWrong->integer(0));
  if (!fileInfo(file) || !fileExists(file))
    throw NotACompany("it holds records of data file " + std::to_string(file) +
                      ", which does not exist");
  checkLength(file, static_cast<std::uint32_t>(useWrong->integer(1)),
              static_cast<std::size_t>(useWrong->integer(2)));
}

void SqliteStore::putRow(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                         std::size_t size, std::int64_t sum) {
  StatementUse use(sql_->replace);
  use->bind(1, file).bind(2, record).bindBlob(3, data, size).bind(4, sum);
  use->run();
}

bool SqliteStore::listsFile(std::uint16_t file) {
  StatementUse use(sql_->fileExists);
  use->bind(1, file);
  return use->step();
}

void SqliteStore::insertFile(const FileInfo& file) {
  StatementUse use(sql_->ensureFile);
  use->bind(1, file.number).bind(2, file.recordLength).bindText(3, file.name);
  use->run();
}

std::uint32_t SqliteStore::recordCount(std::uint16_t file) {
  StatementUse use(sql_->count);
  use->bind(1, file);
  return use->step() ? static_cast<std::uint32_t>(use->integer(0)) : 0;
}

void SqliteStore::selectRows(std::uint16_t file, std::uint32_t first, std::uint32_t end,
                             const RowVisitor& visit) {
  Statement& statement = end == 0           ? sql_->scan
                         : end == first + 1 ? sql_->select
                                            : sql_->selectRange;
  StatementUse use(statement);
  use->bind(1, file).bind(2, first);
  if (end > first + 1) use->bind(3, end);
  while (use->step())
    if (!visit(static_cast<std::uint32_t>(use->integer(0)), use->blob(1), use->integer(2))) break;
}

void SqliteStore::selectAllRows(
    const std::function<void(std::uint16_t, std::uint32_t, std::span<const std::uint8_t>,
                             std::int64_t)>& visit) {
  Statement all(db_, "SELECT file, recno, data, sum FROM records ORDER BY file, recno");
  StatementUse use(all);
  while (use->step())
    visit(static_cast<std::uint16_t>(use->integer(0)), static_cast<std::uint32_t>(use->integer(1)),
          use->blob(2), use->integer(3));
}

void SqliteStore::deleteRowsAfter(std::uint16_t file, std::uint32_t count) {
  StatementUse use(sql_->truncate);
  use->bind(1, file).bind(2, count);
  use->run();
}

std::int64_t SqliteStore::lastBroadcast() {
  StatementUse use(sql_->lastBroadcast);
  return use->step() ? use->integer(0) : 0;
}

void SqliteStore::addBroadcast(std::uint32_t fromStation, std::uint32_t code, std::uint32_t flag) {
  Transaction transaction(*this);
  {
    StatementUse use(sql_->addBroadcast);
    use->bind(1, fromStation).bind(2, code).bind(3, flag);
    use->run();
  }
  StatementUse prune(sql_->pruneBroadcasts);
  prune->bind(1, sqlite3_last_insert_rowid(db_.handle()) - kBroadcastsKept);
  prune->run();
  transaction.commit();
}

std::vector<Broadcast> SqliteStore::broadcastsAfter(std::int64_t sequence) {
  std::vector<Broadcast> found;
  StatementUse use(sql_->broadcastsAfter);
  use->bind(1, sequence);
  while (use->step())
    found.push_back({use->integer(0), static_cast<std::uint32_t>(use->integer(1)),
                     static_cast<std::uint32_t>(use->integer(2)),
                     static_cast<std::uint32_t>(use->integer(3))});
  return found;
}

std::vector<std::string> SqliteStore::checkStructure() {
  std::vector<std::string> damage;
  Statement structure(db_, "PRAGMA integrity_check");
  StatementUse use(structure);
  while (use->step())
    if (std::string verdict = use->text(0); verdict != "ok")
      damage.push_back(path() + ": the database is damaged: " + verdict);
  return damage;
}

}  // namespace vx70::data
