// The company's records, stored byte for byte, one per (data file, record
// number), and the stations' broadcasts.  A data file exists when the
// company says so; its records are numbered from 1 without gaps.  Every
// record carries a checksum of its place and bytes, and every read checks
// it: a damaged record is refused, never shown.
//
// Store holds what every backend shares (the checks, the zero-filling of a
// write past the end, the read-ahead window, nested transactions); a
// backend (SqliteStore, PgStore) only moves rows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vx70::data {

struct FileInfo;

struct Broadcast {
  std::int64_t sequence;
  std::uint32_t fromStation;
  std::uint32_t code;
  std::uint32_t flag;
};

// The checksum a record carries: CRC-32 over its data file and record
// numbers (so that a record moved to another place is caught too) and its
// bytes.
std::int64_t recordChecksum(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                            std::size_t size);

class Store {
 public:
  enum class Access { readWrite, readOnly };
  // A row as a backend hands it over: the record's bytes and stored sum.
  using RowVisitor = std::function<bool(std::uint32_t record, std::span<const std::uint8_t> data,
                                        std::int64_t sum)>;

  virtual ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // The company as messages name it: the database file, or the address of
  // the server's company without its password.
  virtual const std::string& path() const = 0;
  virtual bool readOnly() const = 0;

  // A data file, once made, is never taken away, so a file found is
  // remembered and not asked for again (unless found inside a write
  // transaction, which may yet be rolled back).
  bool fileExists(std::uint16_t file);
  // Makes the file exist, leaving its records as they are.
  void ensureFile(std::uint16_t file);
  // Makes the file exist with no records (a new or a truncated file).
  void createEmptyFile(std::uint16_t file);
  virtual std::uint32_t recordCount(std::uint16_t file) = 0;
  // Copies the record into out (the file's record length).  False past the
  // end and when the file does not exist.
  bool read(std::uint16_t file, std::uint32_t record, std::uint8_t* out);
  // Stores the record, first extending the file with zero records when it
  // lies past the end; one transaction.
  void write(std::uint16_t file, std::uint32_t record, const std::uint8_t* data);
  // Drops the records after count.
  void truncate(std::uint16_t file, std::uint32_t count);
  // Calls visit for every record in order until it returns false; a
  // damaged record stops the walk with its refusal.  Inside a read scope
  // the walk goes through the read-ahead.
  void forEach(std::uint16_t file,
               const std::function<bool(std::uint32_t, std::span<const std::uint8_t>)>& visit);

  // Reads every record of every file and checks its length and checksum,
  // and the database's own structure: what is damaged, one line each
  // naming the file and the record; empty when the company is sound.
  std::vector<std::string> check();

  virtual std::int64_t lastBroadcast() = 0;
  // Stores a broadcast; the newest few thousand are kept.
  virtual void addBroadcast(std::uint32_t fromStation, std::uint32_t code, std::uint32_t flag) = 0;
  virtual std::vector<Broadcast> broadcastsAfter(std::int64_t sequence) = 0;
  // Calls wake (from another thread) whenever another station's broadcast
  // may have arrived, so that the station looks at once instead of at its
  // next turn.  A store without pushed notices never calls it.
  virtual void watchBroadcasts(std::function<void()> wake);
  // True once the connection to the company's server is lost.
  virtual bool connectionLost() const { return false; }

  // Reads while a data file is open for reading share one snapshot of the
  // company (one read transaction): a list that reads a whole table in one
  // handler call pays for one lock, not one a record.  The scope ends with
  // the last such close, and any write ends it first, so that a write never
  // starts from a snapshot older than the company.  Inside the snapshot a
  // read fetches the record and the ones after it in one query, so that a
  // list reading record after record pays for one query a window.  The
  // windows outlive the snapshot while the backend can tell that nobody
  // changed the company since (snapshotVersion): a dialog that fills the
  // same lists each time it opens reads them from the database once.
  void beginReadScope();
  void endReadScope();
  class ReadScope {
   public:
    explicit ReadScope(Store& store) : store_(store) { store_.beginReadScope(); }
    ~ReadScope() { store_.endReadScope(); }
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;

   private:
    Store& store_;
  };

  // A write transaction: the write lock is taken at once, so two stations
  // never deadlock upgrading.  Nested ones join the outer.
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

 protected:
  Store() = default;

  // ---- What a backend does ----
  virtual void beginWrite() = 0;
  virtual void commitWrite() = 0;
  // Never throws: it runs while a failure unwinds.
  virtual void rollbackWrite() noexcept = 0;
  virtual void beginSnapshot() = 0;
  virtual void endSnapshot() noexcept = 0;
  // Read inside the snapshot just begun: a number that differs from the
  // previous snapshot's whenever another connection changed the company in
  // between (this connection's own writes drop the read-ahead anyway).
  // Nothing where the backend cannot tell: the read-ahead then lasts one
  // snapshot.  Never throws.
  virtual std::optional<std::uint64_t> snapshotVersion() noexcept;
  // Adds the file's row to the company's list of files, unless it is there.
  virtual void insertFile(const FileInfo& file) = 0;
  // Whether the company's list of files holds the file.
  virtual bool listsFile(std::uint16_t file) = 0;
  // Stores a record of an existing file that needs no zero records before
  // it, as one write transaction, where the backend can do that in one
  // exchange with its server; false when it did not (no such file, a gap
  // to fill, or no such way): the general path then does the write.
  virtual bool putInPlace(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                          std::size_t size, std::int64_t sum);
  virtual void putRow(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                      std::size_t size, std::int64_t sum) = 0;
  virtual void deleteRowsAfter(std::uint16_t file, std::uint32_t count) = 0;
  // Rows of one file with record numbers in [first, end), in order, until
  // visit returns false.  end 0 means no bound.
  virtual void selectRows(std::uint16_t file, std::uint32_t first, std::uint32_t end,
                          const RowVisitor& visit) = 0;
  // Every row of every file, in order.
  virtual void selectAllRows(
      const std::function<void(std::uint16_t file, std::uint32_t record,
                               std::span<const std::uint8_t> data, std::int64_t sum)>& visit) = 0;
  // The database's own verdict on its structure, one line a fault.
  virtual std::vector<std::string> checkStructure() = 0;

  // ---- Shared checks ----
  const FileInfo& info(std::uint16_t file) const;
  void checkLength(std::uint16_t file, std::uint32_t record, std::size_t length) const;
  void checkRecord(std::uint16_t file, std::uint32_t record, std::span<const std::uint8_t> data,
                   std::int64_t sum) const;
  bool inTransaction() const { return transactionDepth_ > 0; }
  // Ends the shared read snapshot, if one is held, before a write.
  void releaseSnapshot() noexcept;

 private:
  void requireFile(std::uint16_t file);
  void put(std::uint16_t file, std::uint32_t record, const std::uint8_t* data, std::size_t size);

  // Reads record from the snapshot's window of file, fetching the window
  // that starts at it when it is not there; false when there is no record.
  bool readFromWindow(std::uint16_t file, std::uint32_t record, std::uint8_t* out);
  // This connection's own writes do not change the snapshot version, so
  // they go into the read-ahead as they are made: a stored record replaces
  // its copy, a file cut or made drops its window, and a write that fails
  // or is rolled back drops every window.
  void keepInReadAhead(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                       std::size_t size);
  void dropReadAhead(std::uint16_t file) noexcept;
  void forgetReadAhead() noexcept;

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

  // One window a data file, for the few files a dialog's lists read.
  std::vector<Window> windows_;
  // The snapshot version the windows were read at; nothing: read in the
  // current snapshot only.
  std::optional<std::uint64_t> readAheadVersion_;
  std::vector<bool> filesFound_;
  int transactionDepth_ = 0;
  int readScopes_ = 0;
  bool snapshotHeld_ = false;
};

}  // namespace vx70::data
