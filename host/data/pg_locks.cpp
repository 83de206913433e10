#include "host/data/pg_locks.h"

#include <string>

#include "host/data/company.h"
#include "host/data/lock_file.h"
#include "host/data/pg_connection.h"

namespace vx70::data {

namespace {

constexpr int kPlaceBits = 40;
const char* const kLock = "the lock could not be taken";

// A lock turns shared or exclusive as a byte range lock of the lock file
// does: taking the other mode of a place held replaces the mode held.
constexpr std::pair<const char*, const char*> kStatements[] = {
    {"lock_exclusive",
     "SELECT CASE WHEN NOT pg_try_advisory_lock($1::int8) THEN false "
     "WHEN $2::bool THEN pg_advisory_unlock_shared($1::int8) ELSE true END"},
    {"lock_shared",
     "SELECT CASE WHEN NOT pg_try_advisory_lock_shared($1::int8) THEN false "
     "WHEN $2::bool THEN pg_advisory_unlock($1::int8) ELSE true END"},
    // Advisory locks on one bigint key show as classid (high half), objid
    // (low half) and objsubid 1.
    {"held_by_other",
     "SELECT EXISTS(SELECT 1 FROM pg_locks WHERE locktype = 'advisory' AND objsubid = 1 "
     "AND granted AND pid <> pg_backend_pid() "
     "AND database = (SELECT oid FROM pg_database WHERE datname = current_database()) "
     "AND ((classid::int8 << 32) | objid::int8) BETWEEN $1::int8 AND $2::int8)"},
};

}  // namespace

PgLocks::PgLocks(std::shared_ptr<PgConnection> connection, std::int64_t lockSpace)
    : db_(std::move(connection)), space_(lockSpace) {
  for (auto [name, sql] : kStatements) db_->prepare(name, sql);
}

std::int64_t PgLocks::key(off_t place) const {
  return (space_ << kPlaceBits) | static_cast<std::int64_t>(place);
}

bool PgLocks::tryExclusive(off_t place, off_t length) {
  return take(Mode::exclusive, place, length);
}

bool PgLocks::tryShared(off_t place, off_t length) { return take(Mode::shared, place, length); }

// A range is taken whole or not at all, as one byte range lock is: a
// refusal puts back what the range held before.
bool PgLocks::take(Mode mode, off_t place, off_t length) {
  const std::map<off_t, Mode> before(held_.lower_bound(place), held_.lower_bound(place + length));
  for (off_t at = place; at < place + length; ++at) {
    if (takeOne(mode, at)) continue;
    for (off_t back = place; back < at; ++back) {
      const auto was = before.find(back);
      if (was == before.end())
        release(back);
      else
        takeOne(was->second, back);
    }
    return false;
  }
  return true;
}

bool PgLocks::takeOne(Mode mode, off_t place) {
  const auto held = held_.find(place);
  if (held != held_.end() && held->second == mode) return true;
  const bool replacing = held != held_.end();
  const bool taken = db_->run(mode == Mode::exclusive ? "lock_exclusive" : "lock_shared",
                              {PgValue::integer(key(place)), PgValue::boolean(replacing)}, kLock)
                         .integer(0, 0) != 0;
  if (taken) held_[place] = mode;
  return taken;
}

void PgLocks::release(off_t place, off_t length) {
  std::string unlocks;
  for (auto at = held_.lower_bound(place); at != held_.end() && at->first < place + length;) {
    unlocks +=
        std::string(unlocks.empty() ? "SELECT " : ", ") +
        (at->second == Mode::exclusive ? "pg_advisory_unlock(" : "pg_advisory_unlock_shared(") +
        std::to_string(key(at->first)) + ")";
    at = held_.erase(at);
  }
  if (!unlocks.empty()) db_->execQuietly(unlocks.c_str());
}

bool PgLocks::heldByOther(off_t place, off_t length) {
  return db_->run("held_by_other",
                  {PgValue::integer(key(place)), PgValue::integer(key(place + length - 1))}, kLock)
             .integer(0, 0) != 0;
}

}  // namespace vx70::data
