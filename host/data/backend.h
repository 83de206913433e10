// Where a company lives, and the seam between the data library and what
// stores it.  A company is either a folder on this machine (one SQLite
// database and a lock file beside it: the default) or a company (schema)
// in a PostgreSQL database that stations on many machines share.  The
// data library's calls (FileOpen, ReadRec, LockRec, RequestAction,
// GlobalUpdate...) work on a Store, which holds the records and the
// broadcasts, and on StationLocks, which excludes stations from each other;
// a backend makes both.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "host/data/store.h"

namespace vx70::data {

// The company that `--data` names.
struct CompanyAddress {
  enum class Kind { folder, postgres };
  Kind kind = Kind::folder;
  // folder: the company directory.  postgres: the folder on this machine
  // for the station's own files (its INI files, the time-recording link's
  // chart): see localFolder().
  std::string folder;
  // postgres: the connection URI as libpq takes it (without `company`).
  std::string connection;
  // postgres: the company's schema.
  std::string company;

  // A directory, or a `postgresql://` / `postgres://` URI with a
  // `company=NAME` parameter.  Throws DataError for a URI it cannot use.
  static CompanyAddress parse(const std::string& text);
  // The company as messages name it: the database file, or the URI with
  // its password left out.
  std::string display() const;
  // The company as commands name it: its folder, or display().
  std::string shown() const { return kind == Kind::folder ? folder : display(); }
};

// Locks between stations, on numbered places (LockMap).  A lock belongs
// to the station's connection to the company: when the station's process
// dies or loses its connection, its locks lapse at once.
class StationLocks {
 public:
  using Clock = std::chrono::steady_clock;
  virtual ~StationLocks() = default;

  // Re-taking a lock this station holds succeeds and counts once.
  virtual bool tryExclusive(off_t place, off_t length = 1) = 0;
  virtual bool tryShared(off_t place, off_t length = 1) = 0;
  // Waits until the exclusive lock is ours or the deadline has passed,
  // asking again a little later each time.
  bool exclusiveBefore(off_t place, Clock::time_point deadline);
  // Drops whatever this station holds there.
  virtual void release(off_t place, off_t length = 1) = 0;
  // True when another station holds any lock there.
  virtual bool heldByOther(off_t place, off_t length = 1) = 0;
};

// Sleeps a little longer each time, so that a short wait is answered fast
// and a long one does not spin.
class Backoff {
 public:
  void pause();

 private:
  std::chrono::microseconds delay_{50};
};

// One kind of company store.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual bool exists(const CompanyAddress& address) const = 0;
  // Makes a new, empty company; throws DataError when one is there.
  virtual void create(const CompanyAddress& address) const = 0;
  // Removes a company that could not be finished (a folder's database
  // and lock file, not the folder).
  virtual void remove(const CompanyAddress& address) const = 0;
  // The records alone, for `vx70 show`, `check` and `copy`.
  virtual std::unique_ptr<Store> openStore(const CompanyAddress& address,
                                           Store::Access access) const = 0;
  // A station's company: its records and its locks.
  struct Station {
    std::unique_ptr<Store> store;
    std::unique_ptr<StationLocks> locks;
  };
  virtual Station openStation(const CompanyAddress& address) const = 0;
};

const Backend& backendFor(const CompanyAddress& address);
// The company at location as commands name it (never with a password).
std::string shownLocation(const std::string& location);
// The records of the company at location (as `--data` gives it).
std::unique_ptr<Store> openStore(const std::string& location, Store::Access access);
const Backend& folderBackend();
// The PostgreSQL backend (pg_backend.cpp).
const Backend& postgresBackend();

}  // namespace vx70::data
