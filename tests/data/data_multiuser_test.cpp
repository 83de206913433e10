// Stations in one company: log-on records, actions granted to one station
// at a time, record locks and sharing between processes, stations that
// die holding them, lost updates, torn records and broadcasts.
#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <thread>

#include "tests/support/data_support.h"

namespace vx70::test {
namespace {

constexpr UINT kCompanyPreferences = 25;

std::vector<actionmap> ActionRecords() {
  std::vector<actionmap> records;
  DWORD count = RecCount(Entry(DF_ACTIONS));
  for (DWORD n = 1; n <= count; ++n) {
    actionmap record{};
    EXPECT_EQ(ReadRec(Entry(DF_ACTIONS), n, &record), 84u);
    records.push_back(record);
  }
  return records;
}

std::vector<actionmap> CurrentActionRecords() {
  auto records = ActionRecords();
  std::erase_if(records, [](const actionmap& r) { return r.state != 0; });
  return records;
}

accessmap AccessOf(const char* logonName) {
  accessmap access{};
  std::strcpy(reinterpret_cast<char*>(&access), logonName);
  return access;
}

class OneStation : public ::testing::Test {
 protected:
  void SetUp() override {
    data::openCompany(company_.dir());
    data::logon("DESK7", "SARAH");
  }
  ScratchCompany company_;
};

// Log-on writes the station's record in the first free slot; an action
// takes one record however often granted and ends once; a freed record is
// reused, or dropped at the end of the file; log-off removes every record
// of the station.
TEST_F(OneStation, ActionRecordsAreAddedOnceReusedAndRemovedAtLogoff) {
  accessmap access = AccessOf("MANAGER");
  auto request = [&](UINT action) {
    return RequestAction(action, 0, &access, Entry(DF_ACTIONS), 1);
  };
  auto end = [&](UINT action) { return RequestActionEnd(action, 0, &access, Entry(DF_ACTIONS)); };
  ASSERT_TRUE(request(31));
  EXPECT_TRUE(request(31));
  ASSERT_TRUE(request(32));
  auto records = CurrentActionRecords();
  ASSERT_EQ(records.size(), 3u) << "one record for the action, however often granted";
  EXPECT_EQ(g_lpGlobVar->station, 1u);
  EXPECT_EQ(records[0].kind, 7) << "logged on";
  EXPECT_STREQ(records[0].user, "SARAH");
  EXPECT_EQ(records[1].kind, 31);
  EXPECT_STREQ(records[1].user, "MANAGER") << "the access record's logon name";
  EXPECT_STREQ(records[1].machine, "DESK7");
  EXPECT_TRUE(end(31));
  EXPECT_FALSE(end(31));
  EXPECT_EQ(RecCount(Entry(DF_ACTIONS)), 3u);
  ASSERT_TRUE(request(33));
  records = ActionRecords();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].kind, 33) << "the freed record reused";
  EXPECT_EQ(records[2].kind, 32);
  EXPECT_TRUE(end(32));
  EXPECT_EQ(RecCount(Entry(DF_ACTIONS)), 2u) << "the freed record at the end is dropped";
  data::logoff();
  EXPECT_EQ(RecCount(Entry(DF_ACTIONS)), 0u);
  EXPECT_EQ(GetUserCount(), 0);
  EXPECT_FALSE(request(33)) << "a station that is not logged on holds no action";
}

TEST_F(OneStation, RemovingAUserComparesTrimmedNames) {
  accessmap access = AccessOf("SARAH");
  ASSERT_TRUE(RequestAction(kCompanyPreferences, 0, &access, Entry(DF_ACTIONS), 1));
  char padded[34];
  std::snprintf(padded, sizeof padded, "%-32s", "SARA");
  EXPECT_TRUE(RemoveUserQueueMessagesIndirect(Entry(DF_ACTIONS), padded, 1));
  EXPECT_EQ(CurrentActionRecords().size(), 2u) << "SARA is not SARAH";
  std::snprintf(padded, sizeof padded, "%-32s", "SARAH");
  EXPECT_TRUE(RemoveUserQueueMessagesIndirect(Entry(DF_ACTIONS), padded, 1));
  EXPECT_TRUE(CurrentActionRecords().empty());
  EXPECT_EQ(GetUserCount(), 0);
}

// Stations in processes of their own.
class Stations : public ::testing::Test {
 protected:
  std::unique_ptr<Station> Start(const char* name, const char* user,
                                 const std::string& lockTimeout = "10") {
    auto station = std::make_unique<Station>(company_.dir(), lockTimeout);
    EXPECT_TRUE(station->started());
    EXPECT_EQ(station->Ask(std::string("logon ") + name + " " + user).substr(0, 3), "ok ");
    return station;
  }
  // Creates a file with one zero record.
  void CreateFile(unsigned number) {
    data::openCompany(company_.dir());
    ASSERT_TRUE(FileOpen(Entry(number), 4096, 64, 1));
    std::vector<std::uint8_t> zero(Entry(number)->recordLength);
    ASSERT_TRUE(WriteRec(Entry(number), 1, zero.data()));
    FileClose(Entry(number));
    data::closeCompany();
  }
  ScratchCompany company_;
};

// A single-user station holds the company alone, and refuses or is refused
// by any other; the refusal names the station that holds the company.
TEST_F(Stations, ASingleUserStationHoldsTheCompanyAlone) {
  struct Case {
    const char* first;
    const char* second;
  };
  for (const Case c : {Case{"single", "single"}, Case{"single", ""}, Case{"", "single"}}) {
    SCOPED_TRACE(std::string(c.first) + " then " + c.second);
    auto a = std::make_unique<Station>(company_.dir());
    ASSERT_EQ(a->Ask(std::string("logon DESK1 ANNE ") + c.first).substr(0, 3), "ok ");
    Station b(company_.dir());
    std::string refusal = b.Ask(std::string("logon DESK2 BOB ") + c.second);
    EXPECT_EQ(refusal.rfind("error ", 0), 0u) << refusal;
    EXPECT_NE(refusal.find("DESK1"), std::string::npos) << refusal;
    EXPECT_EQ(a->Ask("users"), "1") << "the refused station left nothing behind";
    a.reset();  // logs off
    Station c2(company_.dir());
    EXPECT_EQ(c2.Ask(std::string("logon DESK3 CAROL ") + c.second).substr(0, 3), "ok ");
  }
}

// Of two stations asking for an action at once exactly one gets it, and the
// other only once it is ended; another action is free all along.
TEST_F(Stations, OfTwoAskingAtOnceExactlyOneIsGrantedUntilItEnds) {
  for (int round = 0; round < 5; ++round) {
    std::unique_ptr<Station> stations[] = {Start("A", "ANNE"), Start("B", "BOB")};
    for (auto& station : stations) station->Send("request 30 USER");
    const std::string answers = stations[0]->ReadLine() + stations[1]->ReadLine();
    ASSERT_TRUE(answers == "10" || answers == "01") << answers;
    Station& holder = *stations[answers == "10" ? 0 : 1];
    Station& other = *stations[answers == "10" ? 1 : 0];
    EXPECT_EQ(other.Ask("request 31 USER"), "1");
    EXPECT_EQ(other.Ask("request 30 USER"), "0");
    EXPECT_EQ(holder.Ask("end 30"), "1");
    EXPECT_EQ(other.Ask("request 30 USER"), "1");
  }
}

TEST_F(Stations, RecordLocksExcludeOtherStations) {
  CreateFile(DF_SETUP);
  auto a = Start("A", "ANNE", "0.3");
  auto b = Start("B", "BOB", "0.3");
  EXPECT_EQ(a->Ask("lock 0 1"), "1");
  EXPECT_EQ(b->Ask("lock 0 1"), "0") << "gives up after its timeout";
  EXPECT_EQ(b->Ask("lock 0 2"), "1") << "another record is free";
  EXPECT_EQ(b->Ask("lock 10 1"), "1") << "so is the same number in another file";
  ASSERT_EQ(b->Ask("open 0 2 64"), "1");
  EXPECT_EQ(b->Ask("write 0 1"), "0") << "a record locked by another station is not written over";
  EXPECT_EQ(a->Ask("unlock 0 1"), "1");
  EXPECT_EQ(b->Ask("write 0 1"), "4783");
  EXPECT_EQ(b->Ask("lock 0 1"), "1");
  EXPECT_EQ(a->Ask("lock 0 1"), "0");
}

TEST_F(Stations, SharingModesExcludeConflictingOpens) {
  CreateFile(DF_SETUP);
  auto a = Start("A", "ANNE", "0.3");
  auto b = Start("B", "BOB", "0.3");
  EXPECT_EQ(a->Ask("open 0 2 16"), "1");
  EXPECT_EQ(b->Ask("open 0 0 64"), "0") << "exclusive";
  EXPECT_EQ(a->Ask("close 0"), "1");
  EXPECT_EQ(b->Ask("open 0 0 64"), "1");
  EXPECT_EQ(a->Ask("open 0 2 32"), "1") << "B only reads";
  EXPECT_EQ(b->Ask("open 0 2 64"), "0") << "A denies writing";
  EXPECT_EQ(a->Ask("open 0 0 16"), "0") << "B has it open";
  EXPECT_EQ(a->Ask("close 0"), "1");
  EXPECT_EQ(b->Ask("open 0 2 64"), "1");
  b->Kill();
  EXPECT_EQ(a->Ask("open 0 2 16"), "1") << "a dead station's opens lapse";
}

// Eight stations add to one counter under its record lock, each waiting
// for the lock that another releases: no update is lost, no wait fails.
TEST_F(Stations, ConcurrentReadModifyWriteLosesNoUpdate) {
  CreateFile(DF_SETUP);
  std::vector<std::unique_ptr<Station>> stations;
  for (int i = 0; i < 8; ++i) {
    std::string name = "S" + std::to_string(i);
    stations.push_back(Start(name.c_str(), "USER"));
  }
  for (auto& station : stations) station->Send("rmw 500");
  for (auto& station : stations) EXPECT_EQ(station->ReadLine(), "done 0");
  data::openCompany(company_.dir());
  setupmap setup{};
  ASSERT_EQ(ReadRec(Entry(DF_SETUP), 1, &setup), 4783u);
  std::uint32_t counter;
  std::memcpy(&counter, &setup, sizeof counter);
  EXPECT_EQ(counter, 8u * 500u);
}

// The worker's write k fills the setup record (k % 5 == 0) or nominal
// record k % 5 with the byte k % 250 + 1.
class TornWrites : public Stations {
 protected:
  static std::uint8_t Pattern(std::uint64_t k) { return static_cast<std::uint8_t>(k % 250 + 1); }

  // Every record holds one pattern throughout; the last reported write is
  // there.
  void CheckRecords(std::uint64_t lastReported) {
    data::openCompany(company_.dir());
    std::vector<std::uint8_t> record(4783);
    for (unsigned target = 0; target < 5; ++target) {
      DWORD read = target == 0 ? ReadRec(Entry(DF_SETUP), 1, record.data())
                               : ReadRec(Entry(DF_NOMINAL), target, record.data());
      if (read == 0) continue;  // never written
      bool uniform = std::all_of(record.begin(), record.begin() + read,
                                 [&](std::uint8_t b) { return b == record[0]; });
      EXPECT_TRUE(uniform) << "record " << target << " is torn";
    }
    if (lastReported == 0) return;
    unsigned target = static_cast<unsigned>(lastReported % 5);
    ASSERT_GT(target == 0 ? ReadRec(Entry(DF_SETUP), 1, record.data())
                          : ReadRec(Entry(DF_NOMINAL), target, record.data()),
              0u);
    EXPECT_EQ(record[0], Pattern(lastReported)) << "write " << lastReported << " was lost";
    data::closeCompany();
  }
};

TEST_F(TornWrites, AKilledStationLeavesEveryRecordOldOrNew) {
  CreateFile(DF_SETUP);
  CreateFile(DF_NOMINAL);
  std::mt19937 random(20261205);
  for (int round = 0; round < 24; ++round) {
    SCOPED_TRACE(round);
    auto station = std::make_unique<Station>(company_.dir());
    station->Send("hammer");
    int writesBeforeKill = std::uniform_int_distribution<int>(1, 40)(random);
    std::uint64_t last = 0;
    for (int i = 0; i < writesBeforeKill; ++i) {
      std::string line = station->ReadLine();
      ASSERT_EQ(line.substr(0, 6), "wrote ") << line;
      last = std::stoull(line.substr(6));
    }
    std::this_thread::sleep_for(
        std::chrono::microseconds(std::uniform_int_distribution<int>(0, 400)(random)));
    station->Kill();
    for (std::string line; !(line = station->ReadLine()).empty();)
      if (line.substr(0, 6) == "wrote ") last = std::stoull(line.substr(6));
    CheckRecords(last);
  }
}

// A station gone in the middle of its writes while holding a record lock
// and an action, killed or (on a server) cut off: every record is old or
// new, the station hears that the company is unreachable, and a station
// waiting for its lock gets it, its action and its slot within a second.
TEST_F(TornWrites, AStationGoneMidWriteLeavesWholeRecordsAndItsLocksLapseWithinASecond) {
  const struct {
    const char* what;
    bool cut;  // else killed
  } kGone[] = {{"killed", false}, {"connection cut", true}};
  CreateFile(DF_SETUP);
  CreateFile(DF_NOMINAL);
  for (const auto& gone : kGone) {
    if (gone.cut && !OnPostgres()) continue;
    SCOPED_TRACE(gone.what);
    auto a = Start("A", "ANNE");
    auto b = Start("B", "BOB");
    ASSERT_EQ(a->Ask("request 25 ANNE"), "1");
    ASSERT_EQ(a->Ask("lock 10 1"), "1");
    a->Send("hammer");
    std::uint64_t last = 0;
    std::string line;
    for (int i = 0; i < 20 && (line = a->ReadLine()).rfind("wrote ", 0) == 0; ++i)
      last = std::stoull(line.substr(6));
    ASSERT_GT(last, 0u) << line;
    b->Send("lock 10 1");
    const auto start = std::chrono::steady_clock::now();
    if (gone.cut)
      ASSERT_GT(a->CutConnection(), 0);
    else
      a->Kill();
    EXPECT_EQ(b->ReadLine(), "1");
    const auto lapse = std::chrono::steady_clock::now() - start;
    EXPECT_LT(lapse, std::chrono::seconds(1));
    RecordProperty(
        std::string("lapse_ms ") + gone.what,
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(lapse).count()));
    EXPECT_EQ(b->Ask("request 25 BOB"), "1");
    EXPECT_EQ(b->Ask("users"), "1");
    if (gone.cut) {
      for (int i = 0; i < 100000 && (line = a->ReadLine()).rfind("wrote ", 0) == 0; ++i)
        last = std::stoull(line.substr(6));
      EXPECT_NE(line.find("unreachable"), std::string::npos) << line;
      a->Kill();
    }
    for (; !(line = a->ReadLine()).empty();)
      if (line.rfind("wrote ", 0) == 0) last = std::stoull(line.substr(6));
    CheckRecords(last);
  }
}

TEST_F(Stations, UpdatesReachTheOtherStationsOnly) {
  auto a = Start("A", "ANNE");
  auto b = Start("B", "BOB");
  EXPECT_EQ(a->Ask("update 274 8"), "1");
  EXPECT_EQ(b->Ask("take"), "updates 1:274:8");
  EXPECT_EQ(b->Ask("take"), "updates") << "taken once";
  EXPECT_EQ(a->Ask("take"), "updates") << "not the sender's own";
  auto c = Start("C", "CAROL");
  EXPECT_EQ(c->Ask("take"), "updates") << "nothing from before its logon";
  EXPECT_EQ(b->Ask("update 275 16"), "1");
  EXPECT_EQ(a->Ask("update 274 8"), "1");
  EXPECT_EQ(c->Ask("take"), "updates 2:275:16 1:274:8") << "oldest first";
  EXPECT_EQ(a->Ask("take"), "updates 2:275:16");
}

}  // namespace
}  // namespace vx70::test
