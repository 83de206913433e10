// The company database: the records of every data file, stored byte for
// byte, one row per (file, record number), and the stations' broadcasts.
// A data file exists when the files table has its row; its records are
// numbered from 1 without gaps.  Every record carries a checksum of its
// place and bytes, and every read checks it: a damaged record is refused,
// never shown.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "host/data/sqlite.h"

namespace vx70::data {

struct FileInfo;

struct Broadcast {
  std::int64_t sequence;
  std::uint32_t fromStation;
  std::uint32_t code;
  std::uint32_t flag;
};

class Store {
 public:
  enum class Access { readWrite, readOnly };

  // Writes a new, empty company database at path (which must not exist).
  static void create(const std::string& path);
  // Opens and checks the database; throws DataError naming the file when it
  // is missing, foreign, damaged or holds a record of the wrong length.
  // Waits for other stations' writes as long as the station's lock
  // timeout.  A company that cannot be written opens read-only.
  explicit Store(const std::string& path, Access access = Access::readWrite);
  ~Store();

  const std::string& path() const { return db_.path(); }
  bool readOnly() const { return db_.readOnly(); }
  // For the benchmarks and the tests that damage a company on purpose.
  Database& database() { return db_; }

  bool fileExists(std::uint16_t file);
  // Makes the file exist, leaving its records as they are.
  void ensureFile(std::uint16_t file);
  // Makes the file exist with no records (a new or a truncated file).
  void createEmptyFile(std::uint16_t file);
  std::uint32_t recordCount(std::uint16_t file);
  // Copies the record into out (the file's record length).  False past the
  // end and when the file does not exist.
  bool read(std::uint16_t file, std::uint32_t record, std::uint8_t* out);
  // Stores the record, first extending the file with zero records when it
  // lies past the end; one transaction.
  void write(std::uint16_t file, std::uint32_t record, const std::uint8_t* data);
  // Drops the records after count.
  void truncate(std::uint16_t file, std::uint32_t count);
  // Calls visit for every record in order until it returns false.
  void forEach(std::uint16_t file,
               const std::function<bool(std::uint32_t, std::span<const std::uint8_t>)>& visit);

  // Reads every record of every file and checks its length and checksum,
  // and the database's own structure: what is damaged, one line each
  // naming the file and the record; empty when the company is sound.
  std::vector<std::string> check();

  std::int64_t lastBroadcast();
  void addBroadcast(std::uint32_t fromStation, std::uint32_t code, std::uint32_t flag);
  std::vector<Broadcast> broadcastsAfter(std::int64_t sequence);

  // A write transaction (BEGIN IMMEDIATE: the write lock is taken at once,
  // so two stations never deadlock upgrading).  Nested ones join the outer.
  // Reads while a data file is open for reading share one snapshot of the
  // company (one read transaction): a list that reads a whole table in one
  // handler call pays for one lock, not one a record.  The scope ends with
  // the last such close, and any write ends it first, so that a write never
  // starts from a snapshot older than the company.  Inside the snapshot a
  // read fetches the record and the ones after it in one query, so that a
  // list reading record after record pays for one query a window.
  void beginReadScope();
  void endReadScope();

  class Transaction {
   public:
    explicit Transaction(Store& store);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

   private:
    Store& store_;
    bool outermost_;
    bool done_ = false;
  };

 private:
  const FileInfo& info(std::uint16_t file) const;
  void verify();
  void verifyRecordLengths();
  void checkLength(std::uint16_t file, std::uint32_t record, std::size_t length) const;
  void checkRecord(std::uint16_t file, std::uint32_t record, std::span<const std::uint8_t> data,
                   std::int64_t sum) const;
  void put(std::uint16_t file, std::uint32_t record, const std::uint8_t* data, std::size_t size);
  void requireFile(std::uint16_t file);

  // Ends the shared read snapshot, if one is held, before a write.
  void releaseSnapshot();

  // Reads record from the snapshot's window of file, fetching the window
  // that starts at it when it is not there; false when there is no record.
  bool readFromWindow(std::uint16_t file, std::uint32_t record, std::uint8_t* out);

  // Records of one file read ahead inside the snapshot.  A damaged one
  // keeps its refusal, so that it fails its own read, not its neighbours'.
  struct WindowRecord {
    std::vector<std::uint8_t> data;  // empty: no such record
    std::string damage;
  };
  struct Window {
    std::uint16_t file = 0;
    std::uint32_t first = 0, end = 0;  // records [first, end)
    std::vector<WindowRecord> records;
  };

  Database db_;
  Window window_;
  int transactionDepth_ = 0;
  int readScopes_ = 0;
  bool snapshotHeld_ = false;
  struct Statements;
  std::unique_ptr<Statements> sql_;
};

}  // namespace vx70::data
