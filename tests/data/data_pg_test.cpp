// Companies on a PostgreSQL server: locks that behave as the lock file's,
// companies that keep their locks apart, what an open refuses, broadcasts
// heard without asking, and a connection cut under a station.  The server
// is the pg.* run's (tests/support/backend_support.h).
#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <random>

#include "host/data/backend.h"
#include "host/data/company.h"
#include "host/data/pg_connection.h"
#include "host/data/pg_store.h"
#include "tests/support/backend_support.h"

namespace vx70::test {
namespace {

using data::CompanyAddress;
using data::DataError;
using data::PgConnection;
using data::Store;

// The server's tests run in the pg.* run only.
#define REQUIRE_SERVER() \
  if (!OnPostgres()) GTEST_SKIP() << "the server's tests run as pg.*"

// A new company on the server, or in a scratch folder; removed afterwards.
class Company {
 public:
  explicit Company(bool onServer) {
    static std::mt19937_64 random{std::random_device{}()};
    if (onServer) {
      location_ = ServerUri() + "?company=t" + std::to_string(random() % 1000000000);
    } else {
      std::string pattern = (std::filesystem::temp_directory_path() / "vx70-pg-XXXXXX").string();
      location_ = mkdtemp(pattern.data());
    }
    address_ = CompanyAddress::parse(location_);
    data::backendFor(address_).create(address_);
  }
  ~Company() {
    if (address_.kind == CompanyAddress::Kind::folder)
      std::filesystem::remove_all(address_.folder);
    else
      Sql("DROP SCHEMA " + address_.company + " CASCADE");
  }
  const CompanyAddress& address() const { return address_; }
  data::Backend::Station Station() const {
    return data::backendFor(address_).openStation(address_);
  }
  // Runs sql on a connection of its own; "S." stands for the company's
  // schema.
  void Sql(std::string sql) const {
    for (auto at = sql.find("S."); at != std::string::npos; at = sql.find("S.", at + 1))
      sql.replace(at, 1, address_.company);
    PgConnection(address_).exec(sql, "test");
  }

 private:
  std::string location_;
  CompanyAddress address_;
};

// Stations A and B share a company, C works on another one; each step is
// one call of one station, with what it must answer.  The lock file's
// answers are the rule; the server's locks must give the same.
struct LockStep {
  char station;
  char call;  // X tryExclusive, S tryShared, R release, H heldByOther
  off_t place, length;
  bool expected;
};

constexpr LockStep kLockSteps[] = {
    {'A', 'X', 10, 1, true},  {'A', 'X', 10, 1, true},  // taken again: counts once
    {'B', 'H', 10, 1, true},  {'B', 'S', 10, 1, false}, {'C', 'X', 10, 1, true},
    {'A', 'R', 10, 1, true},  {'B', 'H', 10, 1, false},  // one release frees it
    {'B', 'S', 10, 1, true},  {'A', 'S', 10, 1, true},  {'A', 'X', 10, 1, false},
    {'B', 'R', 10, 1, true},  {'A', 'X', 10, 1, true},  // shared turns exclusive
    {'B', 'S', 10, 1, false}, {'A', 'S', 10, 1, true},  // and back to shared
    {'B', 'S', 10, 1, true},  {'B', 'X', 10, 1, false}, {'A', 'R', 10, 1, true},
    {'B', 'X', 10, 1, true},  {'A', 'S', 21, 1, true},  {'A', 'X', 23, 1, true},
    {'B', 'H', 20, 2, true},  {'B', 'H', 22, 1, false}, {'B', 'H', 20, 4, true},
    {'A', 'R', 20, 4, true},  {'B', 'H', 20, 4, false}, {'B', 'X', 20, 4, true},
    {'A', 'X', 22, 2, false}, {'A', 'H', 23, 1, true},  {'A', 'S', 24, 1, true},
    {'B', 'R', 20, 4, true},  {'B', 'S', 24, 1, true},  {'A', 'X', 22, 3, false},
    {'B', 'H', 22, 2, false},  // a range is taken whole or not at all
    {'B', 'R', 24, 1, true},  {'A', 'X', 22, 3, true},  {'B', 'H', 24, 1, true},
};

class Locks : public ::testing::TestWithParam<bool> {};

TEST_P(Locks, AnswerAsTheLockFileDoes) {
  if (GetParam()) REQUIRE_SERVER();
  Company shared(GetParam()), other(GetParam());
  auto a = shared.Station(), b = shared.Station(), c = other.Station();
  auto locksOf = [&](char station) -> data::StationLocks& {
    return station == 'A' ? *a.locks : station == 'B' ? *b.locks : *c.locks;
  };
  int step = 0;
  for (const LockStep& s : kLockSteps) {
    auto& locks = locksOf(s.station);
    bool answer = true;
    switch (s.call) {
      case 'X':
        answer = locks.tryExclusive(s.place, s.length);
        break;
      case 'S':
        answer = locks.tryShared(s.place, s.length);
        break;
      case 'R':
        locks.release(s.place, s.length);
        break;
      case 'H':
        answer = locks.heldByOther(s.place, s.length);
        break;
    }
    EXPECT_EQ(answer, s.expected) << "step " << step << ": " << s.station << " " << s.call << " "
                                  << s.place << "+" << s.length;
    ++step;
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, Locks, ::testing::Values(false, true),
                         [](const auto& backend) { return backend.param ? "Server" : "Folder"; });

// A company with two currency records, then damaged; opening it must be
// refused with a message that says why.
TEST(ServerCompany, OpenRefusesADamagedCompany) {
  REQUIRE_SERVER();
  const struct {
    const char* damage;
    const char* refusal;
  } kCases[] = {
      {"UPDATE S.meta SET value = 'XV07' WHERE name = 'mark'", "foreign schema"},
      {"DROP TABLE S.meta", "foreign schema"},
      {"UPDATE S.meta SET value = '3' WHERE name = 'version'", "schema version 3 is not 2"},
      {"DELETE FROM S.meta WHERE name = 'lock space'", "its lock space is missing"},
      {"UPDATE S.files SET reclen = 30 WHERE number = 20", "has records of 30 bytes, not 84"},
      {"INSERT INTO S.files VALUES (63, 1, 'x')", "data file 63, unknown here"},
      {"UPDATE S.records SET data = substring(data from 2) WHERE recno = 2",
       "record 2 holds 83 bytes, not 84"},
      {"INSERT INTO S.records VALUES (7, 1, '\\x00', 0)", "data file 7, which does not exist"},
      {"DROP TABLE S.meta, S.files, S.records, S.broadcasts", "foreign schema"},
  };
  for (const auto& c : kCases) {
    Company company(true);
    {
      const std::uint8_t record[84] = {1};
      auto store = data::backendFor(company.address())
                       .openStore(company.address(), Store::Access::readWrite);
      store->createEmptyFile(20);
      store->write(20, 2, record);
    }
    company.Sql(c.damage);
    try {
      data::backendFor(company.address()).openStore(company.address(), Store::Access::readOnly);
      ADD_FAILURE() << c.damage << ": opened";
    } catch (const DataError& e) {
      EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos)
          << c.damage << ": " << e.what();
      EXPECT_EQ(std::string(e.what()).rfind(company.address().display(), 0), 0u) << e.what();
    }
  }
}

TEST(ServerCompany, ABroadcastWakesTheOtherStationAtOnce) {
  REQUIRE_SERVER();
  Company company(true);
  auto sender = company.Station(), hearer = company.Station();
  std::mutex mutex;
  std::condition_variable woken;
  int wakes = 0;
  hearer.store->watchBroadcasts([&] {
    std::lock_guard lock(mutex);
    ++wakes;
    woken.notify_all();
  });
  auto awaitWakes = [&](int count) {
    std::unique_lock lock(mutex);
    return woken.wait_for(lock, std::chrono::seconds(30), [&] { return wakes >= count; });
  };
  ASSERT_TRUE(awaitWakes(1)) << "the listener never listened";
  EXPECT_TRUE(hearer.store->broadcastsAfter(0).empty());
  sender.store->addBroadcast(3, 25, 1);
  ASSERT_TRUE(awaitWakes(2)) << "the broadcast was not heard";
  const auto heard = hearer.store->broadcastsAfter(0);
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].fromStation, 3u);
  EXPECT_EQ(heard[0].code, 25u);
  EXPECT_EQ(hearer.store->lastBroadcast(), heard[0].sequence);
}

// The server ends the station's session under it: each call then fails as
// unreachable, and the write it was making is not half done.
TEST(ServerCompany, ALostConnectionFailsEveryCallAsUnreachable) {
  REQUIRE_SERVER();
  Company company(true);
  auto station = company.Station();
  Store& store = *station.store;
  const std::uint8_t record[84] = {7};
  store.createEmptyFile(20);
  store.write(20, 1, record);
  // The session that holds the station's lock 99 is the station's.
  ASSERT_TRUE(station.locks->tryExclusive(99));
  company.Sql(
      "SELECT pg_terminate_backend(pid) FROM pg_locks WHERE locktype = 'advisory' AND "
      "objsubid = 1 AND ((classid::int8 << 32) | objid::int8) = "
      "((SELECT value::int8 FROM S.meta WHERE name = 'lock space') << 40) | 99");
  std::uint8_t out[84];
  const std::function<void()> kCalls[] = {
      [&] { store.write(20, 5, record); },
      [&] { store.read(20, 1, out); },
      [&] { station.locks->tryExclusive(10); },
  };
  for (const auto& call : kCalls) {
    try {
      call();
      ADD_FAILURE() << "a call succeeded without its server";
    } catch (const DataError& e) {
      EXPECT_NE(std::string(e.what()).find("the company is unreachable"), std::string::npos)
          << e.what();
    }
  }
  EXPECT_TRUE(store.connectionLost());
  auto reader =
      data::backendFor(company.address()).openStore(company.address(), Store::Access::readOnly);
  EXPECT_EQ(reader->recordCount(20), 1u) << "nothing of the failed write is stored";
}

}  // namespace
}  // namespace vx70::test
