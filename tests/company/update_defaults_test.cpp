// Update Defaults (3633) driven as a person uses it, checked against the
// stored setup record, the user file and the station's INI file.
#include <cstring>

#include "api/notices.h"
#include "api/records.h"
#include "frame/res/ids_company.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

constexpr const char* kRestart = "You must restart the program for these changes to take effect";
constexpr int kUpdateBoxes[11] = {
    IDC_UPDATE_LEDGER_ON_ADD,     IDC_UPDATE_LEDGER_ON_MODIFY,     IDC_UPDATE_LEDGER_ON_POSTING,
    IDC_UPDATE_LAZY_ON_ADD,       IDC_UPDATE_LAZY_ON_MODIFY,       IDC_UPDATE_LAZY_ON_POSTING,
    IDC_UPDATE_BALANCE_ON_MODIFY, IDC_UPDATE_BALANCE_ON_POSTING,   IDC_UPDATE_AGED_ON_MODIFY,
    IDC_UPDATE_AGED_ON_POSTING,   IDC_UPDATE_ACTIVITIES_ON_POSTING};

template <class Record>
std::vector<int> flags(const Record& r) {
  return std::vector<int>(r.listUpdate, r.listUpdate + 11);
}
std::vector<int> setupFlags(const TestCompany& co) { return flags(storedSetup(co)); }
std::vector<int> userFlags(const TestCompany& co, unsigned n) {
  return flags(co.stored<accessmap>(DF_USERS, n));
}
constexpr const char* kClerksPassword = "pw        ";  // stored form of "PW"

std::string stationIni(const TestCompany& co) {
  return readText(std::filesystem::path(co.dir()) / "stations" / "STATION1" / "VX70.INI");
}

TEST(UpdateDefaults, TheManagerStoresTheCompanyFlagsAndTheStationsSwitch) {
  TestCompany co;
  auto run = co.use(
      "open 3633\nshow 3633\nclick 3633 2264\nclick 3633 1604\nclick 3633 1018\nclick 3633 1\n"
      "answer ok\n");
  // Without "NetMessages" the switch is clear and every box disabled.
  json dialog = run.shown(IDD_UPDATE_DEFAULTS);
  EXPECT_EQ(shownControl(dialog, IDC_UPDATE_NET_MESSAGES)["checked"], 0);
  for (int id : kUpdateBoxes) EXPECT_FALSE(shownControl(dialog, id)["enabled"]) << id;
  EXPECT_EQ(run.messages(), std::vector<std::string>{kRestart});
  EXPECT_EQ(setupFlags(co), (std::vector<int>{0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}));
  EXPECT_NE(stationIni(co).find("NetMessages=1"), std::string::npos);
  expectOneNotice(run, 274, 8);
  EXPECT_EQ(run.all("dialog").back()["result"], 1);
}

// The notice shows only when the choice differs from this run's state.
TEST(UpdateDefaults, TheRestartNoticeFollowsThisRunsState) {
  TestCompany co;
  auto run = co.use(
      "open 3633\nclick 3633 2264\nclick 3633 1\nanswer ok\nopen 3633\nshow 3633\nclick 3633 1\n"
      "open 3633\nclick 3633 2264\nclick 3633 1\nanswer ok\n");
  EXPECT_EQ(run.messages(), (std::vector<std::string>{kRestart, kRestart}));
  json second = run.shown(IDD_UPDATE_DEFAULTS);
  EXPECT_EQ(shownControl(second, IDC_UPDATE_NET_MESSAGES)["checked"], 1);
  EXPECT_TRUE(shownControl(second, IDC_UPDATE_LEDGER_ON_ADD)["enabled"]);
  EXPECT_NE(stationIni(co).find("NetMessages=0"), std::string::npos);
}

TEST(UpdateDefaults, AnotherUserStoresOnlyTheOwnFlags) {
  TestCompany co;
  storeUser(co, 2, "CLERK", kClerksPassword);
  auto setupBefore = co.record(DF_SETUP, 1);
  auto clerkBefore = co.record(DF_USERS, 2);

  auto run = co.use("open 3633\nclick 3633 2264\nclick 3633 1605\nclick 3633 1\nanswer ok\n",
                    "--user CLERK --lock-records");
  EXPECT_EQ(co.record(DF_SETUP, 1), setupBefore) << "written back as read";
  EXPECT_EQ(userFlags(co, 2), (std::vector<int>{1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
  auto clerkAfter = co.record(DF_USERS, 2);
  EXPECT_TRUE(std::equal(clerkAfter.begin(), clerkAfter.begin() + 464, clerkBefore.begin()))
      << "name and stored password unchanged";
  EXPECT_EQ(userFlags(co, 1), (std::vector<int>(11, 1))) << "the manager's record untouched";
}

// Saving the user's options changes only the options: a password that the
// same user changed on another station meanwhile stays as stored.
TEST(UpdateDefaults, SavingTheOptionsKeepsAPasswordChangedElsewhere) {
  TestCompany co;
  storeUser(co, 2, "CLERK", kClerksPassword);
  StationProcess station(co, "--user CLERK --multi-user --lock-records");
  station.send("open 3633\n");
  storeUser(co, 2, "CLERK", "new       ");  // another station's new password
  station.send("click 3633 2264\nclick 3633 1605\nclick 3633 1\nanswer ok\n");
  EXPECT_EQ(station.finish().all("dialog").back()["result"], 1);

  const accessmap after = co.stored<accessmap>(DF_USERS, 2);
  EXPECT_EQ(std::string(after.password, 11), std::string("new       \0", 11));
  EXPECT_EQ(userFlags(co, 2), (std::vector<int>{1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(UpdateDefaults, NtWarnsAndCancelStoresNothing) {
  TestCompany co;
  auto before = co.record(DF_SETUP, 1);
  auto run = co.use("open 3633\nanswer ok\nclick 3633 2264\nclick 3633 2\n", "--windows-nt");
  EXPECT_EQ(run.messages(),
            std::vector<std::string>{"Network updates are not available under Windows NT"});
  EXPECT_EQ(run.all("message").at(0)["kind"], 2);
  EXPECT_EQ(co.record(DF_SETUP, 1), before);
  EXPECT_EQ(stationIni(co), "");
  EXPECT_TRUE(run.all("update-sent").empty());
  EXPECT_EQ(run.all("dialog").back()["result"], 2);
}

}  // namespace
}  // namespace vx70::test
