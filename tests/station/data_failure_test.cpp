// A save that cannot be stored, as the person at the station meets it: the
// disk fills up at every point of a save in turn, and another program holds
// the company.  What is stored must be the old record or the new one, the
// person is told once, and a save that failed is announced to no one (no
// change notice, no title naming what was not stored).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "frame/res/ids_common.h"
#include "frame/res/ids_company.h"
#include "host/data/fault_vfs.h"
#include "host/data/sqlite.h"
#include "tests/support/drive_support.h"

namespace {

using nlohmann::json;
using vx70::test::TestCompany;
namespace data = vx70::data;

const std::string kOpen = "open " + std::to_string(IDD_COMPANY_PREFS);
const std::string kType = "type " + std::to_string(IDD_PREFS_ADDRESS) + " " +
                          std::to_string(IDC_PREFS_COMPANY_NAME) + " \"Changed Ltd\"";
const std::string kOk = "click " + std::to_string(IDD_COMPANY_PREFS) + " " + std::to_string(IDC_OK);

// The error boxes among a run's events.
std::vector<json> errorBoxes(const vx70::test::DriveRun& run) {
  std::vector<json> out;
  for (const auto& e : run.all("message"))
    if (e.contains("error")) out.push_back(e);
  return out;
}

vx70::StationOptions multiUser(double lockTimeout = 10) {
  vx70::StationOptions options;
  options.multiUser = true;
  options.lockTimeoutSeconds = lockTimeout;
  return options;
}

// The person types a new name and presses OK; the disk fills after
// `writes` more writes; the person answers the box if one comes.
vx70::test::DriveRun saveWithDiskFullAfter(const TestCompany& co, long writes) {
  return {0, vx70::test::runInProcess(co, multiUser(), [&](vx70::Station& station) {
            station.execute(kOpen);
            station.execute(kType);
            data::faults::failWritesAfter(writes);
            station.execute(kOk);
            while (station.questionPending()) station.execute("answer ok");
            data::faults::failWritesAfter(-1);
          })};
}

// Each case starts from the same company, copied back while no station runs.
void restore(const TestCompany& co, const std::filesystem::path& model) {
  std::filesystem::remove_all(co.dir());
  std::filesystem::copy(model, co.dir(), std::filesystem::copy_options::recursive);
}

bool storedNameIsNew(const TestCompany& co) {
  const setupmap stored = co.stored<setupmap>(DF_SETUP, 1);
  return std::string(stored.companyName, 11) == "Changed Ltd";
}

TEST(DataFailure, ADiskThatFillsAtAnyWriteOfASaveStoresAllOrNothingAndTellsOnce) {
  data::faults::install();
  TestCompany co;
  const auto model = co.scratch("model");
  std::filesystem::copy(co.dir(), model, std::filesystem::copy_options::recursive);
  bool saved = false;
  for (long writes = 0; writes < 100 && !saved; ++writes) {
    SCOPED_TRACE("writes before the disk is full: " + std::to_string(writes));
    restore(co, model);
    const std::string before = co.stored<setupmap>(DF_SETUP, 1).companyName;
    auto events = saveWithDiskFullAfter(co, writes);
    const bool stored = storedNameIsNew(co);
    const auto boxes = errorBoxes(events);
    if (!stored) {
      EXPECT_STREQ(co.stored<setupmap>(DF_SETUP, 1).companyName, before.c_str());
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_NE(boxes[0]["text"].get<std::string>().find("the disk is full"), std::string::npos)
          << boxes[0].dump();
      EXPECT_TRUE(events.all("update-sent").empty());
    }
    EXPECT_LE(boxes.size(), 1u);
    if (!events.all("title").empty()) EXPECT_TRUE(stored) << "the title names a lost name";
    EXPECT_TRUE(events.all("error").empty()) << "the station closes cleanly afterwards";
    saved = boxes.empty();
    if (saved) {
      EXPECT_TRUE(stored);
      EXPECT_EQ(events.all("update-sent").size(), 1u);
    }
  }
  EXPECT_TRUE(saved) << "the save never went through";
}

TEST(DataFailure, ACompanyHeldByAnotherProgramIsToldWithinTheLockTimeoutAndNothingIsStored) {
  TestCompany co;
  const setupmap before = co.stored<setupmap>(DF_SETUP, 1);
  data::Database holder(data::databasePath(co.dir()), data::Database::Mode::openExisting);
  vx70::test::DriveRun events{
      0, vx70::test::runInProcess(co, multiUser(0.2), [&](vx70::Station& station) {
        station.execute(kOpen);
        station.execute(kType);
        holder.exec("BEGIN EXCLUSIVE", "hold the company");
        station.execute(kOk);
        while (station.questionPending()) station.execute("answer ok");
        holder.exec("ROLLBACK", "let the company go");
      })};
  const auto boxes = errorBoxes(events);
  ASSERT_EQ(boxes.size(), 1u);
  const std::string text = boxes[0]["text"];
  EXPECT_NE(text.find("another program holds the company"), std::string::npos) << text;
  EXPECT_EQ(boxes[0]["error"]["company"], data::databasePath(co.dir()));
  EXPECT_TRUE(events.all("update-sent").empty());
  EXPECT_TRUE(events.all("title").empty());
  EXPECT_STREQ(co.stored<setupmap>(DF_SETUP, 1).companyName, before.companyName);
}

}  // namespace
