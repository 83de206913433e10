// The User List (3634) driven as a person uses it: the Users and Requests
// pages of two and three live station processes, the same after one of
// them is killed, the rows that the action file's own records give, the
// server's mark, and removing a user through the Users grid's menu.
#include <memory>

#include "frame/res/ids_codes.h"
#include "frame/res/ids_system.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

const std::string kShowBoth = "open 3634\nshow 3635\npage 3634 1\nshow 3636\nclick 3634 1\n";

// Grid rows as `show` gives them: an array of rows, each an array of texts.
json table(std::initializer_list<std::vector<std::string>> rows) {
  json out = json::array();
  for (const auto& row : rows) out.push_back(row);
  return out;
}

json usersRows(const DriveRun& run) {
  return shownControl(run, 0, IDD_USER_LIST_USERS, IDC_USER_LIST_USERS_GRID)["rows"];
}
json requestRows(const DriveRun& run) {
  return shownControl(run, 1, IDD_USER_LIST_REQUESTS, IDC_USER_LIST_REQUESTS_GRID)["rows"];
}

void addUser(const TestCompany& co, const char* name) { storeUser(co, 2, name); }

// A station process that has opened a dialog, taking its action.
std::unique_ptr<StationProcess> holding(const TestCompany& co, const std::string& name,
                                        const std::string& user, int dialog) {
  auto station =
      std::make_unique<StationProcess>(co, "--multi-user --station " + name + " --user " + user);
  station->send("open " + std::to_string(dialog) + "\n");
  return station;
}

// The other stations' rows come in the order they logged on, this
// station's own line last; a station that dies holding its action is
// forgotten at the next look, which frees its records.
TEST(UserList, ShowsLiveStationsAndTheirActionsAndForgetsAKilledOne) {
  TestCompany co;
  addUser(co, "CLERK");
  auto two = holding(co, "TWO", "CLERK", IDD_TAX_CODES);
  auto three = holding(co, "THREE", "MANAGER", IDD_CURRENCIES);
  const std::string one = "--multi-user --station ONE --net-messaging --server";
  const std::vector<std::string> own{"MANAGER", "ONE*"}, clerk{"CLERK", "TWO"};
  const std::vector<std::string> taxCodes{"CLERK", "Tax Codes", ""};
  DriveRun run = co.use(kShowBoth, one);
  EXPECT_EQ(usersRows(run), table({clerk, {"MANAGER", "THREE"}, own}));
  EXPECT_EQ(requestRows(run), table({taxCodes, {"MANAGER", "Currencies", ""}}));
  three->kill();
  run = co.use(kShowBoth, one);
  EXPECT_EQ(usersRows(run), table({clerk, own}));
  EXPECT_EQ(requestRows(run), table({taxCodes}));
  two->kill();
  run = co.use(kShowBoth, one);
  EXPECT_EQ(usersRows(run), table({own}));
  EXPECT_EQ(requestRows(run), json::array());
}

TEST(UserList, RowsFollowTheActionFileRecords) {
  TestCompany co;
  auto record = [](WORD state, const char* user, const char* machine, WORD kind,
                   const char* details) {
    actionmap r{};
    r.state = state;
    std::snprintf(r.user, sizeof r.user, "%s", user);
    std::snprintf(r.machine, sizeof r.machine, "%s", machine);
    r.kind = kind;
    std::snprintf(r.details, sizeof r.details, "%s", details);
    return r;
  };
  // No owning station (bytes 70-71 zero): records the package wrote itself.
  const std::vector<actionmap> records{
      record(0, "ALICE", "DESK9   ", 7, ""),       record(1, "GHOST", "GONE", 7, ""),
      record(0, "ALICE", "DESK9", 33, "12345678"), record(2, "GHOST", "GONE", 31, ""),
      record(0, "BOB", "DESK4", 5, "x"),
  };
  for (std::size_t n = 0; n < records.size(); ++n) co.store(DF_ACTIONS, n + 1, &records[n]);

  DriveRun run = co.use(kShowBoth);
  EXPECT_EQ(usersRows(run), table({{"ALICE", "DESK9"}, {"MANAGER", "STATION1"}}));
  EXPECT_EQ(requestRows(run), table({{"ALICE", "Departments", "12345678"}, {"BOB", "", "x"}}));
}

TEST(UserList, MarksTheServersOwnLineOnlyWithMessagingOn) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"", "STATION1"},
      {"--net-messaging", "STATION1"},
      {"--server", "STATION1"},
      {"--net-messaging --server", "STATION1*"},
  };
  TestCompany co;
  for (const auto& [options, machine] : cases) {
    DriveRun run = co.use(kShowBoth, options);
    EXPECT_EQ(usersRows(run), table({{"MANAGER", machine}})) << options;
  }
}

// A manager removes the clerk's records, once sure, while the clerk's
// station still holds Tax Codes: its lock still keeps a third station out.
// Only a manager is offered Remove user.
TEST(UserList, ManagerRemovesAUserOnlyWhenSure) {
  TestCompany co;
  addUser(co, "CLERK");
  DriveRun clerks = co.useFailing("open 3634\nshow 3635\nmenu 3635 2162 2316\n", "--user CLERK");
  EXPECT_TRUE(
      shownControl(clerks, 0, IDD_USER_LIST_USERS, IDC_USER_LIST_USERS_GRID)["menu"].is_null());
  EXPECT_NE(clerks.error()["message"].get<std::string>().find("offers this user no menu item"),
            std::string::npos);
  auto clerk = holding(co, "TWO", "CLERK", IDD_TAX_CODES);
  for (const char* answer : {"no", "yes"}) {
    SCOPED_TRACE(answer);
    DriveRun run =
        co.use("open 3634\nselect 3635 2162 0\nmenu 3635 2162 2316\nanswer ok\nanswer " +
                   std::string(answer) + "\nshow 3635\npage 3634 1\nshow 3636\nclick 3634 1\n",
               "--multi-user --station ONE");
    EXPECT_EQ(run.all("message").at(0)["kind"], 2);
    EXPECT_EQ(run.messages().at(1), "Are you sure you want to remove this user ?");
    EXPECT_EQ(shownControl(run, 0, IDD_USER_LIST_USERS, IDC_USER_LIST_USERS_GRID)["menu"],
              json({{{"command", 2316}, {"text", "Remove user"}}}));
    const bool removed = answer == std::string("yes");
    EXPECT_EQ(usersRows(run).size(), removed ? 1u : 2u);
    EXPECT_EQ(requestRows(run).size(), removed ? 0u : 1u);
    expectActionRefused(co.use("open 3619\n", "--multi-user --station THREE"), 31, "Tax Codes");
  }
}

}  // namespace
}  // namespace vx70::test
