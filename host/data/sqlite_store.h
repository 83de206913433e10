// A company in one SQLite database file (WAL journal, synchronous=FULL):
// the tables files, records and broadcasts.  Stations on one machine share
// it; SQLite's own locks order their writes.
#pragma once

#include <memory>
#include <string>

#include "host/data/sqlite.h"
#include "host/data/store.h"

namespace vx70::data {

class SqliteStore final : public Store {
 public:
  // Writes a new, empty company database at path (which must not exist).
  static void create(const std::string& path);
  // Opens and checks the database; throws DataError naming the file when it
  // is missing, foreign, damaged or holds a record of the wrong length.
  // Waits for other stations' writes as long as the station's lock
  // timeout.  A company that cannot be written opens read-only.
  explicit SqliteStore(const std::string& path, Access access = Access::readWrite);
  ~SqliteStore() override;

  const std::string& path() const override { return db_.path(); }
  bool readOnly() const override { return db_.readOnly(); }
  // For the benchmarks and the tests that damage a company on purpose.
  Database& database() { return db_; }

  std::uint32_t recordCount(std::uint16_t file) override;
  std::int64_t lastBroadcast() override;
  void addBroadcast(std::uint32_t fromStation, std::uint32_t code, std::uint32_t flag) override;
  std::vector<Broadcast> broadcastsAfter(std::int64_t sequence) override;

 private:
  void beginWrite() override;
  void commitWrite() override;
  void rollbackWrite() noexcept override;
  void beginSnapshot() override;
  void endSnapshot() noexcept override;
  std::optional<std::uint64_t> snapshotVersion() noexcept override;
  void insertFile(const FileInfo& file) override;
  bool listsFile(std::uint16_t file) override;
  void putRow(std::uint16_t file, std::uint32_t record, const std::uint8_t* data, std::size_t size,
              std::int64_t sum) override;
  void deleteRowsAfter(std::uint16_t file, std::uint32_t count) override;
  void selectRows(std::uint16_t file, std::uint32_t first, std::uint32_t end,
                  const RowVisitor& visit) override;
  void selectAllRows(
      const std::function<void(std::uint16_t, std::uint32_t, std::span<const std::uint8_t>,
                               std::int64_t)>& visit) override;
  std::vector<std::string> checkStructure() override;

  void verify();
  void verifyRecordLengths();

  Database db_;
  struct Statements;
  std::unique_ptr<Statements> sql_;
};

}  // namespace vx70::data
