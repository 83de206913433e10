// A company's locks on a PostgreSQL server: session-level advisory locks,
// key (lock space << 40) | place, so that companies sharing a database
// never share a lock.  They belong to the station's connection: the server
// drops them when the station's process dies or its connection breaks.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "host/data/backend.h"

namespace vx70::data {

class PgConnection;

class PgLocks final : public StationLocks {
 public:
  PgLocks(std::shared_ptr<PgConnection> connection, std::int64_t lockSpace);

  bool tryExclusive(off_t place, off_t length = 1) override;
  bool tryShared(off_t place, off_t length = 1) override;
  // Never throws: a lock the server could not drop went with a lost
  // connection.
  void release(off_t place, off_t length = 1) override;
  bool heldByOther(off_t place, off_t length = 1) override;

 private:
  enum class Mode { shared, exclusive };
  bool take(Mode mode, off_t place, off_t length);
  bool takeOne(Mode mode, off_t place);
  std::int64_t key(off_t place) const;

  std::shared_ptr<PgConnection> db_;
  std::int64_t space_;
  // What this station holds, each place once: the server counts a lock
  // taken twice twice, the station's callers count it once.
  std::map<off_t, Mode> held_;
};

}  // namespace vx70::data
