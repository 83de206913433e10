#include "host/data/store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

#include "host/data/company.h"
#include "host/station_options.h"

namespace vx70::data {

namespace {

// "VX70" in the database header, so that no other SQLite file passes for a
// company.
constexpr std::int64_t kApplicationId = 0x56583730;
// Version 2: every record carries a checksum.
constexpr std::int64_t kSchemaVersion = 2;
// Far beyond any real file; it keeps a stray record number from filling
// the disk with zero records.
constexpr std::uint32_t kMaxRecordNumber = 1u << 24;
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

// The record's checksum: CRC-32 over its file and record numbers (so that a
// record moved to another place is caught too) and its bytes.
std::int64_t checksum(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                      std::size_t size) {
  const std::uint8_t place[6] = {
      static_cast<std::uint8_t>(file),         static_cast<std::uint8_t>(file >> 8),
      static_cast<std::uint8_t>(record),       static_cast<std::uint8_t>(record >> 8),
      static_cast<std::uint8_t>(record >> 16), static_cast<std::uint8_t>(record >> 24)};
  uLong crc = crc32(0L, place, sizeof place);
  crc = crc32(crc, data, static_cast<uInt>(size));
  return static_cast<std::int64_t>(crc);
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

struct Store::Statements {
  explicit Statements(Database& db)
      : fileExists(db, "SELECT 1 FROM files WHERE number = ?1"),
        ensureFile(db, "INSERT OR IGNORE INTO files(number, reclen, name) VALUES(?1, ?2, ?3)"),
        truncate(db, "DELETE FROM records WHERE file = ?1 AND recno > ?2"),
        count(db, "SELECT max(recno) FROM records WHERE file = ?1"),
        select(db, "SELECT data, sum FROM records WHERE file = ?1 AND recno = ?2"),
        selectRange(db,
                    "SELECT recno, data, sum FROM records WHERE file = ?1 AND recno >= ?2 "
                    "AND recno < ?3 ORDER BY recno"),
        replace(db,
                "INSERT OR REPLACE INTO records(file, recno, data, sum) VALUES(?1, ?2, ?3, ?4)"),
        scan(db, "SELECT recno, data, sum FROM records WHERE file = ?1 ORDER BY recno"),
        lastBroadcast(db, "SELECT coalesce(max(seq), 0) FROM broadcasts"),
        addBroadcast(db, "INSERT INTO broadcasts(from_station, code, flag) VALUES(?1, ?2, ?3)"),
        pruneBroadcasts(db, "DELETE FROM broadcasts WHERE seq <= ?1"),
        broadcastsAfter(db,
                        "SELECT seq, from_station, code, flag FROM broadcasts WHERE seq > ?1 "
                        "ORDER BY seq") {}
  Statement fileExists, ensureFile, truncate, count, select, selectRange, replace, scan;
  Statement lastBroadcast, addBroadcast, pruneBroadcasts, broadcastsAfter;
};

void Store::create(const std::string& path) {
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

Store::Store(const std::string& path, Access access)
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

Store::~Store() { releaseSnapshot(); }

void Store::beginReadScope() {
  if (readScopes_++ > 0 || transactionDepth_ > 0) return;
  db_.exec("BEGIN", "the company could not be read");
  snapshotHeld_ = true;
}

void Store::endReadScope() {
  if (readScopes_ > 0 && --readScopes_ == 0) releaseSnapshot();
}

void Store::releaseSnapshot() {
  if (!snapshotHeld_) return;
  snapshotHeld_ = false;
  window_ = Window{};
  // A read transaction changes nothing: ending it cannot lose a thing.
  if (sqlite3_exec(db_.handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
    sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

// Every check reads the whole file once; a company is small, and a damaged
// one must be refused before any station works on it.
void Store::verify() {
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

void Store::verifyRecordLengths() {
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

const FileInfo& Store::info(std::uint16_t file) const {
  const FileInfo* known = fileInfo(file);
  if (!known) throw DataError(path() + ": there is no data file " + std::to_string(file));
  return *known;
}

void Store::checkLength(std::uint16_t file, std::uint32_t record, std::size_t length) const {
  const FileInfo& known = info(file);
  if (length == known.recordLength) return;
  throw DataError(path() + ": " + fileLabel(known) + ": record " + std::to_string(record) +
                  " holds " + std::to_string(length) + " bytes, not " +
                  std::to_string(known.recordLength));
}

void Store::checkRecord(std::uint16_t file, std::uint32_t record,
                        std::span<const std::uint8_t> data, std::int64_t sum) const {
  checkLength(file, record, data.size());
  if (checksum(file, record, data.data(), data.size()) == sum) return;
  throw DataError(path() + ": " + fileLabel(info(file)) + ": record " + std::to_string(record) +
                  " is damaged (its bytes do not match their checksum)");
}

void Store::put(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                std::size_t size) {
  window_ = Window{};
  StatementUse use(sql_->replace);
  use->bind(1, file).bind(2, record).bindBlob(3, data, size);
  use->bind(4, checksum(file, record, data, size));
  use->run();
}

bool Store::fileExists(std::uint16_t file) {
  StatementUse use(sql_->fileExists);
  use->bind(1, file);
  return use->step();
}

void Store::requireFile(std::uint16_t file) {
  if (!fileExists(file)) throw DataError(path() + ": " + fileLabel(info(file)) + " does not exist");
}

void Store::ensureFile(std::uint16_t file) {
  if (transactionDepth_ == 0) releaseSnapshot();
  const FileInfo& known = info(file);
  StatementUse use(sql_->ensureFile);
  use->bind(1, file).bind(2, known.recordLength).bindText(3, known.name);
  use->run();
}

void Store::createEmptyFile(std::uint16_t file) {
  Transaction transaction(*this);
  ensureFile(file);
  truncate(file, 0);
  transaction.commit();
}

std::uint32_t Store::recordCount(std::uint16_t file) {
  StatementUse use(sql_->count);
  use->bind(1, file);
  return use->step() ? static_cast<std::uint32_t>(use->integer(0)) : 0;
}

bool Store::read(std::uint16_t file, std::uint32_t record, std::uint8_t* out) {
  if (snapshotHeld_) return readFromWindow(file, record, out);
  StatementUse use(sql_->select);
  use->bind(1, file).bind(2, record);
  if (!use->step()) return false;
  auto data = use->blob(0);
  checkRecord(file, record, data, use->integer(1));
  std::memcpy(out, data.data(), data.size());
  return true;
}

bool Store::readFromWindow(std::uint16_t file, std::uint32_t record, std::uint8_t* out) {
  // Lists read a code table front to back; 128 records of the largest
  // table are a few hundred KiB at most.
  constexpr std::uint32_t kWindow = 128;
  if (window_.file != file || record < window_.first || record >= window_.end) {
    Window fetched{file, record, record + kWindow, {}};
    fetched.records.resize(kWindow);
    StatementUse use(sql_->selectRange);
    use->bind(1, file).bind(2, record).bind(3, fetched.end);
    while (use->step()) {
      auto number = static_cast<std::uint32_t>(use->integer(0));
      auto data = use->blob(1);
      WindowRecord& kept = fetched.records[number - record];
      try {
        checkRecord(file, number, data, use->integer(2));
        kept.data.assign(data.begin(), data.end());
      } catch (const DataError& damaged) {
        kept.damage = damaged.what();
      }
    }
    window_ = std::move(fetched);
  }
  const WindowRecord& kept = window_.records[record - window_.first];
  if (!kept.damage.empty()) throw DataError(kept.damage);
  if (kept.data.empty()) return false;
  std::memcpy(out, kept.data.data(), kept.data.size());
  return true;
}

void Store::write(std::uint16_t file, std::uint32_t record, const std::uint8_t* data) {
  const FileInfo& known = info(file);
  if (record == 0 || record > kMaxRecordNumber)
    throw DataError(path() + ": " + fileLabel(known) + ": no record " + std::to_string(record));
  Transaction transaction(*this);
  requireFile(file);
  // Counting inside the transaction: another station's truncation cannot
  // slip in between, so the file never gets a gap.
  const std::vector<std::uint8_t> zeroes(known.recordLength);
  for (std::uint32_t fill = recordCount(file) + 1; fill < record; ++fill)
    put(file, fill, zeroes.data(), zeroes.size());
  put(file, record, data, known.recordLength);
  transaction.commit();
}

void Store::truncate(std::uint16_t file, std::uint32_t count) {
  window_ = Window{};
  StatementUse use(sql_->truncate);
  use->bind(1, file).bind(2, count);
  use->run();
}

void Store::forEach(
    std::uint16_t file,
    const std::function<bool(std::uint32_t, std::span<const std::uint8_t>)>& visit) {
  StatementUse use(sql_->scan);
  use->bind(1, file);
  while (use->step()) {
    auto record = static_cast<std::uint32_t>(use->integer(0));
    auto data = use->blob(1);
    checkRecord(file, record, data, use->integer(2));
    if (!visit(record, data)) break;
  }
}

std::int64_t Store::lastBroadcast() {
  StatementUse use(sql_->lastBroadcast);
  return use->step() ? use->integer(0) : 0;
}

void Store::addBroadcast(std::uint32_t fromStation, std::uint32_t code, std::uint32_t flag) {
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

std::vector<std::string> Store::check() {
  std::vector<std::string> damage;
  Statement structure(db_, "PRAGMA integrity_check");
  StatementUse useStructure(structure);
  while (useStructure->step())
    if (std::string verdict = useStructure->text(0); verdict != "ok")
      damage.push_back(path() + ": the database is damaged: " + verdict);
  Statement all(db_, "SELECT file, recno, data, sum FROM records ORDER BY file, recno");
  StatementUse use(all);
  while (use->step()) {
    auto file = static_cast<std::uint16_t>(use->integer(0));
    auto record = static_cast<std::uint32_t>(use->integer(1));
    try {
      checkRecord(file, record, use->blob(2), use->integer(3));
    } catch (const DataError& e) {
      damage.push_back(e.what());
    }
  }
  return damage;
}

std::vector<Broadcast> Store::broadcastsAfter(std::int64_t sequence) {
  std::vector<Broadcast> found;
  StatementUse use(sql_->broadcastsAfter);
  use->bind(1, sequence);
  while (use->step())
    found.push_back({use->integer(0), static_cast<std::uint32_t>(use->integer(1)),
                     static_cast<std::uint32_t>(use->integer(2)),
                     static_cast<std::uint32_t>(use->integer(3))});
  return found;
}

Store::Transaction::Transaction(Store& store)
    : store_(store), outermost_(store.transactionDepth_ == 0) {
  if (outermost_) store_.releaseSnapshot();
  if (outermost_) store_.db_.exec("BEGIN IMMEDIATE", "the company could not be written");
  ++store_.transactionDepth_;
}

Store::Transaction::~Transaction() {
  --store_.transactionDepth_;
  if (outermost_ && !done_)
    sqlite3_exec(store_.db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Store::Transaction::commit() {
  if (outermost_) store_.db_.exec("COMMIT", "the company could not be written");
  done_ = true;
}

}  // namespace vx70::data
