// A company on a PostgreSQL server: one schema holding the tables files,
// records, broadcasts and meta (the mark "VX70", the schema version and the
// company's lock space, unique in the database).  Stations on many machines
// share it; writers of one company take its write lock first, so they
// follow one another as SQLite's writers do.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "host/data/backend.h"
#include "host/data/store.h"

namespace vx70::data {

class PgConnection;
class PgListener;

class PgStore final : public Store {
 public:
  // True when the schema holds a company.
  static bool exists(PgConnection& connection);
  // Makes the schema and its tables; throws DataError when the schema is
  // there.
  static void create(PgConnection& connection);
  // Removes the schema and all it holds (a company that could not be
  // finished).
  static void drop(PgConnection& connection);

  // Checks the company (mark, version, every file's record length, every
  // record's length); throws DataError naming it when it is missing,
  // foreign or damaged.  A company this user may not change opens
  // read-only.
  PgStore(std::shared_ptr<PgConnection> connection, Access access);
  ~PgStore() override;

  const std::string& path() const override;
  bool readOnly() const override { return readOnly_; }
  bool connectionLost() const override;
  // The number that keeps this company's locks apart from other companies'
  // of the same database.
  std::int64_t lockSpace() const { return lockSpace_; }

  std::uint32_t recordCount(std::uint16_t file) override;
  std::int64_t lastBroadcast() override;
  void addBroadcast(std::uint32_t fromStation, std::uint32_t code, std::uint32_t flag) override;
  std::vector<Broadcast> broadcastsAfter(std::int64_t sequence) override;
  // wake runs on the listener's thread, which the store joins when it
  // closes: it must not wait for anything the store's owner holds then.
  void watchBroadcasts(std::function<void()> wake) override;

 private:
  void beginWrite() override;
  void commitWrite() override;
  void rollbackWrite() noexcept override;
  void beginSnapshot() override;
  void endSnapshot() noexcept override;
  void insertFile(const FileInfo& file) override;
  bool listsFile(std::uint16_t file) override;
  bool putInPlace(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                  std::size_t size, std::int64_t sum) override;
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
  void verifyFiles();
  void verifyRecordLengths();
  bool mayChange();
  void prepareStatements();
  std::string channel() const;

  std::shared_ptr<PgConnection> db_;
  std::string schema_;
  std::int64_t lockSpace_ = 0;
  bool readOnly_ = false;
  bool transactionOpen_ = false;  // a write or a snapshot is open
  // Data files seen to exist: a file, once made, is never removed.
  std::set<std::uint16_t> knownFiles_;
  std::unique_ptr<PgListener> listener_;
};

}  // namespace vx70::data
