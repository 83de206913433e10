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

std::string storedPassword(const TestCompany& co) {
  auto setup = co.record(DF_SETUP, 1);
  return std::string(reinterpret_cast<const char*>(setup.data()) + kPasswordOffset, 11);
}

std::string userPassword(const TestCompany& co, unsigned n) {
  auto user = co.stored<accessmap>(DF_USERS, n);
  return std::string(user.password, 11);
}

// Turns access rights on and adds a user with a password of their own.
void withAccessRightsAndClerk(const TestCompany& co, const char* managerName = "MANAGER") {
  auto setup = co.stored<setupmap>(DF_SETUP, 1);
  setup.accessRights = 1;
  co.store(DF_SETUP, 1, &setup);
  auto manager = co.stored<accessmap>(DF_USERS, 1);
  std::memset(manager.logonName, 0, sizeof manager.logonName);
  std::strcpy(manager.logonName, managerName);
  co.store(DF_USERS, 1, &manager);
  accessmap clerk = manager;
  std::memset(clerk.logonName, 0, sizeof clerk.logonName);
  std::strcpy(clerk.logonName, "CLERK");
  std::memcpy(clerk.password, storedForm("CLERKPW").data(), 11);
  co.store(DF_USERS, 2, &clerk);
}

const std::string kChange =
    "open 3632\ntype 3632 1783 \"newpass\"\ntype 3632 1784 \"newpass\"\nclick 3632 1942\n";

TEST(ChangePassword, WithoutAccessRightsTheCompanyPasswordChanges) {
  TestCompany co;
  auto usersBefore = co.record(DF_USERS, 1);
  auto run = co.use("open 3632\nshow 3632\n" + kChange.substr(std::strlen("open 3632\n")));
  json dialog = run.shown(IDD_CHANGE_PASSWORD);
  EXPECT_EQ(shownControl(dialog, IDC_PASSWORD_NAME_CAPTION)["text"], "Company Name");
  EXPECT_EQ(shownControl(dialog, IDC_PASSWORD_LOGON_NAME)["text"], "Wintergreen Trading Ltd");
  EXPECT_EQ(storedPassword(co), storedForm("NEWPASS")) << "typed in capitals, stored converted";
  EXPECT_EQ(co.record(DF_USERS, 1), usersBefore);
  auto updates = run.all("update-sent");
  ASSERT_EQ(updates.size(), 1u);
  EXPECT_EQ(updates[0]["code"], 274);
  EXPECT_EQ(updates[0]["flag"], 8);

  // The stored password opens the next time readable, and Discard brings
  // it back after typing.
  auto again = co.use(
      "open 3632\nshow 3632\ntype 3632 1783 \"other\"\nclick 3632 1003\nshow 3632\nclick 3632 2\n");
  EXPECT_EQ(shownControl(again.shown(0, IDD_CHANGE_PASSWORD), IDC_PASSWORD_NEW)["text"], "*******");
  EXPECT_EQ(shownControl(again.shown(1, IDD_CHANGE_PASSWORD), IDC_PASSWORD_NEW)["text"], "*******");
  EXPECT_EQ(storedPassword(co), storedForm("NEWPASS")) << "Cancel stores nothing";
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

  // Typing stops at 10 characters.
  auto longer = co.use("open 3632\ntype 3632 1783 \"abcdefghijklm\"\nshow 3632\nclick 3632 2\n");
  EXPECT_EQ(shownControl(longer.shown(IDD_CHANGE_PASSWORD), IDC_PASSWORD_NEW)["text"],
            "**********");
}

TEST(ChangePassword, AUserWithAccessRightsChangesTheOwnRecordOnly) {
  TestCompany co;
  withAccessRightsAndClerk(co);
  std::string companyBefore = storedPassword(co);
  auto run = co.use("open 3632\nshow 3632\n" + kChange.substr(std::strlen("open 3632\n")),
                    "--user CLERK --lock-records");
  json dialog = run.shown(IDD_CHANGE_PASSWORD);
  EXPECT_EQ(shownControl(dialog, IDC_PASSWORD_LOGON_NAME)["text"], "CLERK");
  EXPECT_EQ(shownControl(dialog, IDC_PASSWORD_NEW)["text"], "*******")
      << "the own password, CLERKPW";
  EXPECT_EQ(userPassword(co, 2), storedForm("NEWPASS"));
  EXPECT_EQ(storedPassword(co), companyBefore) << "the setup record is not written";
  EXPECT_EQ(run.all("update-sent").size(), 1u);
}

TEST(ChangePassword, TheManagerInAnyLetterCaseChangesTheCompanyPassword) {
  for (const char* name : {"Manager", "manager", "MANAGER"}) {
    TestCompany co;
    withAccessRightsAndClerk(co, name);
    auto userBefore = co.record(DF_USERS, 1);
    auto run = co.use(kChange, std::string("--user ") + name);
    EXPECT_EQ(storedPassword(co), storedForm("NEWPASS")) << name;
    EXPECT_EQ(co.record(DF_USERS, 1), userBefore) << name;
  }
}

// Another station stores the financial year while the dialog is open: the
// save reads the setup record again under its lock and keeps that change.
TEST(ChangePassword, TheSaveKeepsWhatAnotherStationStoredMeanwhile) {
  TestCompany co;
  StationProcess station(co, "--multi-user --lock-records");
  station.send(kChange.substr(0, kChange.find("click")));
  setupmap changed = storedSetup(co);
  changed.fyStartYear = 2031;
  storeSetup(co, changed);
  station.send("click 3632 1942\n");
  EXPECT_EQ(station.finish().status, 0);
  EXPECT_EQ(storedPassword(co), storedForm("NEWPASS"));
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
  data::openCompany(co.dir());
  datafilemap* users = &g_lpGlobVar->dataFiles[DF_USERS];
  const bool exists = FileOpen(users, 0x4000, 64, 1) != 0;
  DWORD count = 0;
  if (FileOpen(users, 0, 64, 1)) {
    count = RecCount(users);
    FileClose(users);
  }
  data::closeCompany();
  EXPECT_TRUE(exists);
  EXPECT_EQ(count, 0u);
}

}  // namespace
}  // namespace vx70::test
