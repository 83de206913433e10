#include "host/data/store.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>

#include "host/data/company.h"

namespace vx70::data {

namespace {

// "VX70" in the database header, so that no other SQLite file passes for a
// company.
constexpr std::int64_t kApplicationId = 0x56583730;
constexpr std::int64_t kSchemaVersion = 1;
// Another station's write transaction lasts milliseconds; a minute of
// waiting means something is badly wrong, and the call then fails.
constexpr int kBusyTimeoutMs = 60000;
// Far beyond any real file; it keeps a stray record number from filling
// the disk with zero records.
constexpr std::uint32_t kMaxRecordNumber = 1u << 24;
// Broadcasts older than this many newer ones are of no use to anybody.
constexpr std::int64_t kBroadcastsKept = 4096;

constexpr const char* kSchema = R"sql(
CREATE TABLE files(number INTEGER PRIMARY KEY, reclen INTEGER NOT NULL, name TEXT NOT NULL);
CREATE TABLE records(file INTEGER NOT NULL, recno INTEGER NOT NULL, data BLOB NOT NULL,
                     PRIMARY KEY(file, recno)) WITHOUT ROWID;
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
        select(db, "SELECT data FROM records WHERE file = ?1 AND recno = ?2"),
        replace(db, "INSERT OR REPLACE INTO records(file, recno, data) VALUES(?1, ?2, ?3)"),
        scan(db, "SELECT recno, data FROM records WHERE file = ?1 ORDER BY recno"),
        lastBroadcast(db, "SELECT coalesce(max(seq), 0) FROM broadcasts"),
        addBroadcast(db, "INSERT INTO broadcasts(from_station, code, flag) VALUES(?1, ?2, ?3)"),
        pruneBroadcasts(db, "DELETE FROM broadcasts WHERE seq <= ?1"),
        broadcastsAfter(db,
                        "SELECT seq, from_station, code, flag FROM broadcasts WHERE seq > ?1 "
                        "ORDER BY seq") {}
  Statement fileExists, ensureFile, truncate, count, select, replace, scan;
  Statement lastBroadcast, addBroadcast, pruneBroadcasts, broadcastsAfter;
};

void Store::create(const std::string& path) {
  if (std::filesystem::exists(path)) throw DataError(path + ": a company already exists here");
  Database db(path, Database::Mode::createNew);
  db.exec("PRAGMA journal_mode = WAL");
  db.exec("BEGIN IMMEDIATE");
  db.exec(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
  db.exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
  db.exec(kSchema);
  db.exec("COMMIT");
}

Store::Store(const std::string& path) : db_(existingPath(path), Database::Mode::openExisting) {
  sqlite3_busy_timeout(db_.handle(), kBusyTimeoutMs);
  try {
    verify();
  } catch (const SqliteError& e) {
    throw NotACompany(path + ": not a usable company database (" + e.reason() + ")");
  } catch (const NotACompany& e) {
    throw NotACompany(path + ": not a usable company database (" + e.what() + ")");
  }
  db_.exec("PRAGMA journal_mode = WAL");
  db_.exec("PRAGMA synchronous = FULL");
}

Store::~Store() = default;

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

bool Store::fileExists(std::uint16_t file) {
  StatementUse use(sql_->fileExists);
  use->bind(1, file);
  return use->step();
}

void Store::requireFile(std::uint16_t file) {
  if (!fileExists(file)) throw DataError(path() + ": " + fileLabel(info(file)) + " does not exist");
}

void Store::ensureFile(std::uint16_t file) {
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
  StatementUse use(sql_->select);
  use->bind(1, file).bind(2, record);
  if (!use->step()) return false;
  auto data = use->blob(0);
  checkLength(file, record, data.size());
  std::memcpy(out, data.data(), data.size());
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
  for (std::uint32_t fill = recordCount(file) + 1; fill < record; ++fill) {
    StatementUse use(sql_->replace);
    use->bind(1, file).bind(2, fill).bindZeroBlob(3, known.recordLength);
    use->run();
  }
  StatementUse use(sql_->replace);
  use->bind(1, file).bind(2, record).bindBlob(3, data, known.recordLength);
  use->run();
  transaction.commit();
}

void Store::truncate(std::uint16_t file, std::uint32_t count) {
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
    checkLength(file, record, data.size());
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
  if (outermost_) store_.db_.exec("BEGIN IMMEDIATE");
  ++store_.transactionDepth_;
}

Store::Transaction::~Transaction() {
  --store_.transactionDepth_;
  if (outermost_ && !done_)
    sqlite3_exec(store_.db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Store::Transaction::commit() {
  if (outermost_) store_.db_.exec("COMMIT");
  done_ = true;
}

}  // namespace vx70::data
