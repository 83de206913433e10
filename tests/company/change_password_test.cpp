// Change Password (3632) driven as a person uses it, checked against the
// stored setup record and user file: which record owns the password, its
// stored form, and that a mismatch or Cancel stores nothing.
#include <cstring>

#include "api/records.h"
#include "frame/res/ids_company.h"
#include "host/data/sqlite.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

constexpr unsigned kPasswordOffset = 369;

// The stored form of a password as the user typed it in capitals: padded
// with spaces to 10 characters, letter case swapped, terminated.
std::string storedForm(const std::string& typed) {
  char field[11] = {};
  std::memcpy(field, typed.data(), typed.size());
  FillUp(field, 11);
  convert(field);
  field[10] = '\0';
  return std::string(field, 11);
}

std::string companyPassword(const TestCompany& co) {
  auto setup = co.record(DF_SETUP, 1);
  return std::string(reinterpret_cast<const char*>(setup.data()) + kPasswordOffset, 11);
}

std::string userPassword(const TestCompany& co, unsigned n) {
  return std::string(co.stored<accessmap>(DF_USERS, n).password, 11);
}

// Access rights on, the manager under that name, a clerk with a password.
void withAccessRightsAndClerk(const TestCompany& co, const char* managerName = "MANAGER") {
  auto setup = storedSetup(co);
  setup.accessRights = 1;
  storeSetup(co, setup);
  storeUser(co, 1, managerName);
  storeUser(co, 2, "CLERK", storedForm("CLERKPW").c_str());
}

const std::string kType = "type 3632 1783 \"newpass\"\ntype 3632 1784 \"newpass\"\n";
const std::string kChange = "open 3632\n" + kType + "click 3632 1942\n";

TEST(ChangePassword, WithoutAccessRightsTheCompanyPasswordChanges) {
  TestCompany co;
  auto usersBefore = co.record(DF_USERS, 1);
  auto run = co.use("open 3632\nshow 3632\n" + kType + "click 3632 1942\n");
  EXPECT_EQ(shownControl(run.shown(IDD_CHANGE_PASSWORD), IDC_PASSWORD_LOGON_NAME)["text"],
            "Wintergreen Trading Ltd");
  EXPECT_EQ(shownControl(run.shown(IDD_CHANGE_PASSWORD), IDC_PASSWORD_NAME_CAPTION)["text"],
            "Company Name");
  EXPECT_EQ(companyPassword(co), storedForm("NEWPASS")) << "typed in capitals, stored converted";
  EXPECT_EQ(co.record(DF_USERS, 1), usersBefore);
  expectOneNotice(run, 274, 8);

  // Discard brings the stored password back after typing; Cancel stores
  // nothing; typing stops at 10 characters.
  auto again = co.use(
      "open 3632\ntype 3632 1783 \"abcdefghijklm\"\nshow 3632\nclick 3632 1003\nshow 3632\n"
      "click 3632 2\n");
  EXPECT_EQ(shownControl(again, 0, IDD_CHANGE_PASSWORD, IDC_PASSWORD_NEW)["text"], "**********");
  EXPECT_EQ(shownControl(again, 1, IDD_CHANGE_PASSWORD, IDC_PASSWORD_NEW)["text"], "*******");
  EXPECT_EQ(companyPassword(co), storedForm("NEWPASS"));
}

TEST(ChangePassword, AMismatchIsRefusedAndStoresNothing) {
  TestCompany co;
  auto before = co.record(DF_SETUP, 1);
  auto run = co.use(
      "open 3632\ntype 3632 1783 \"abc\"\ntype 3632 1784 \"abd\"\nclick 3632 1942\nanswer ok\n"
      "show 3632\nclick 3632 2\n");
  EXPECT_EQ(run.messages(), std::vector<std::string>{"Passwords do not match"});
  EXPECT_TRUE(run.shown(IDD_CHANGE_PASSWORD).value("visible", false)) << "the dialog stays open";
  EXPECT_EQ(co.record(DF_SETUP, 1), before);
  EXPECT_TRUE(run.all("update-sent").empty());
}

// With access rights on, a user changes the own record and the manager
// (in any letter case) the company's password, shown on opening.
TEST(ChangePassword, WithAccessRightsEachUserChangesTheOwnPassword) {
  const struct {
    const char* manager;
    const char* user;
    bool companys;
  } kCases[] = {{"MANAGER", "CLERK", false},
                {"Manager", "Manager", true},
                {"manager", "manager", true},
                {"MANAGER", "MANAGER", true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.user);
    TestCompany co;
    withAccessRightsAndClerk(co, c.manager);
    auto setupBefore = companyPassword(co);
    auto users = std::make_pair(co.record(DF_USERS, 1), co.record(DF_USERS, 2));
    auto run = co.use("open 3632\nshow 3632\n" + kType + "click 3632 1942\n",
                      std::string("--lock-records --user ") + c.user);
    json dialog = run.shown(IDD_CHANGE_PASSWORD);
    EXPECT_EQ(shownControl(dialog, IDC_PASSWORD_LOGON_NAME)["text"], c.user);
    EXPECT_EQ(companyPassword(co), c.companys ? storedForm("NEWPASS") : setupBefore);
    EXPECT_EQ(userPassword(co, 2), c.companys ? userPassword(co, 2) : storedForm("NEWPASS"));
    EXPECT_EQ(co.record(DF_USERS, 1), users.first);
    if (c.companys) EXPECT_EQ(co.record(DF_USERS, 2), users.second);
    EXPECT_EQ(run.all("update-sent").size(), 1u);
  }
}

// Another station stores the financial year while the dialog is open: the
// save reads the setup record again under its lock and keeps that change.
TEST(ChangePassword, TheSaveKeepsWhatAnotherStationStoredMeanwhile) {
  TestCompany co;
  StationProcess station(co, "--multi-user --lock-records");
  station.send("open 3632\n" + kType);
  setupmap changed = storedSetup(co);
  changed.fyStartYear = 2031;
  storeSetup(co, changed);
  station.send("click 3632 1942\n");
  EXPECT_EQ(station.finish().status, 0);
  EXPECT_EQ(companyPassword(co), storedForm("NEWPASS"));
  EXPECT_EQ(copy(storedSetup(co).fyStartYear), 2031);
}

// A company whose user file is gone: the user's change creates it empty,
// finds nobody to store the password for, and leaves the setup record.
TEST(ChangePassword, AMissingUserFileIsCreatedEmpty) {
  TestCompany co;
  withAccessRightsAndClerk(co);
  {
    data::Database db((std::filesystem::path(co.dir()) / "company.vx70").string(),
                      data::Database::Mode::openExisting);
    db.exec("DELETE FROM records WHERE file = 31; DELETE FROM files WHERE number = 31");
  }
  auto setupBefore = co.record(DF_SETUP, 1);
  auto run = co.use(kChange, "--user CLERK");
  EXPECT_TRUE(run.messages().empty());
  EXPECT_EQ(co.record(DF_SETUP, 1), setupBefore);
  EXPECT_TRUE(co.record(DF_USERS, 1).empty()) << "created, and empty";
  data::openCompany(co.dir());
  EXPECT_TRUE(FileOpen(&g_lpGlobVar->dataFiles[DF_USERS], 0x4000, 64, 1));
  data::closeCompany();
}

}  // namespace
}  // namespace vx70::test
