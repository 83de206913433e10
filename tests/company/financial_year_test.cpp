// Financial Year (3605) and Change Program Date (3606) driven as a person
// uses them, checked against the stored setup record byte for byte and what
// the station shows: which controls the posted-transactions rules leave
// usable, the year field's range, the confirmation, the change-of-year
// procedure, two stations at once, and the program date's checks.
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "api/records.h"
#include "frame/res/ids_company.h"
#include "host/data/company.h"
#include "station/station.h"
#include "tests/support/drive_support.h"

namespace vx70::test {
namespace {

constexpr std::size_t kMonthOffset = 3334;
constexpr std::size_t kYearOffset = 3335;

const std::string kChangeWarning =
    "Before you run this option you must: \n\n\t1.  Run the \"Check Data\" option in File "
    "Maintenance \n\t2.  Take a full backup of your data \n\n When you have completed both of the "
    "above, select Yes to proceed.";
const std::string kOutsideYear = "This date falls outside the current financial year.";
const std::string kBadFormat =
    "Invalid date or incorrect date format, use DD/MM/YY, DDMMYY, DD/MM/YYYY or DDMMYYYY format";

std::string question(const std::string& month, const std::string& year) {
  return "Financial Year starts in " + month + " " + year + "\n\nIs this correct ?";
}

int storedMonth(const std::vector<std::uint8_t>& setup) { return setup.at(kMonthOffset); }
int storedYear(const std::vector<std::uint8_t>& setup) {
  return setup.at(kYearOffset) | setup.at(kYearOffset + 1) << 8;
}

// Every byte but the financial year's three is as it was.
void expectOnlyYearChanged(const std::vector<std::uint8_t>& before,
                           const std::vector<std::uint8_t>& after, int month, int year) {
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(storedMonth(after), month);
  EXPECT_EQ(storedYear(after), year);
  for (std::size_t i = 0; i < after.size(); ++i)
    if (i < kMonthOffset || i > kYearOffset + 1) ASSERT_EQ(after[i], before[i]) << "offset " << i;
}

void storeYear(const TestCompany& co, int month, int year) {
  auto setup = co.stored<setupmap>(DF_SETUP, 1);
  setup.fyStartMonth = static_cast<BYTE>(month);
  setup.fyStartYear = static_cast<WORD>(year);
  co.store(DF_SETUP, 1, &setup);
}

// The demo company has posted transactions; a count of 0 means none.
void setSplitCount(const TestCompany& co, DWORD splits) {
  auto control = co.stored<contmap>(DF_CONTROL, 1);
  control.splitCount = splits;
  co.store(DF_CONTROL, 1, &control);
}
void postTransactions(const TestCompany& co) { setSplitCount(co, 5); }
void postNoTransactions(const TestCompany& co) { setSplitCount(co, 0); }

void writeWinIni(const std::filesystem::path& folder, const std::string& text) {
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "WIN.INI") << text;
}

std::filesystem::path stationFolder(const TestCompany& co) {
  return std::filesystem::path(co.dir()) / "stations" / "STATION1";
}

int thisYear() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

// Which of the dialog's controls a person can use, by identifier.
struct Usable {
  bool month, year, cancel, change, changeVisible;
};
Usable usable(const json& dialog) {
  return {shownControl(dialog, IDC_FY_START_MONTH)["enabled"],
          shownControl(dialog, IDC_FY_START_YEAR)["enabled"],
          shownControl(dialog, IDCANCEL)["enabled"], shownControl(dialog, IDC_FY_CHANGE)["enabled"],
          shownControl(dialog, IDC_FY_CHANGE)["visible"]};
}
void expectUsable(const json& dialog, Usable want) {
  ASSERT_FALSE(dialog.is_null());
  Usable got = usable(dialog);
  EXPECT_EQ(got.month, want.month);
  EXPECT_EQ(got.year, want.year);
  EXPECT_EQ(got.cancel, want.cancel);
  EXPECT_EQ(got.change, want.change);
  EXPECT_EQ(got.changeVisible, want.changeVisible);
  EXPECT_TRUE(shownControl(dialog, IDOK)["enabled"]) << "OK is always usable";
}

// ---- Financial Year: what may be changed ---------------------------------------------------

TEST(FinancialYear, WithoutTransactionsMonthAndYearAreStoredAndShown) {
  TestCompany co;
  postNoTransactions(co);
  storeYear(co, 0, 2025);
  auto before = co.record(DF_SETUP, 1);
  auto run = co.drive(
      "open 3605\nshow 3605\nselect 3605 1642 3\ntype 3605 1336 \"2027\"\nclick 3605 1\n"
      "answer yes\nshow\n");
  ASSERT_EQ(run.status, 0) << run.error();
  json dialog = run.shown(0, IDD_FINANCIAL_YEAR);
  expectUsable(dialog, {true, true, true, false, true});
  json months = shownControl(dialog, IDC_FY_START_MONTH);
  ASSERT_EQ(months["items"].size(), 12u);
  EXPECT_EQ(months["items"][0], "January");
  EXPECT_EQ(months["items"][11], "December");
  EXPECT_EQ(months["selection"], 0);
  EXPECT_EQ(shownControl(dialog, IDC_FY_START_YEAR)["text"], "2025");

  ASSERT_EQ(run.all("message").size(), 1u);
  EXPECT_EQ(run.all("message")[0]["kind"], 5);
  EXPECT_EQ(run.messages()[0], question("April", "2027"));
  expectOnlyYearChanged(before, co.record(DF_SETUP, 1), 3, 2027);
  EXPECT_EQ(run.all("show").back()["main"]["info"], "April 2027");
  auto info = run.all("info");
  ASSERT_EQ(info.size(), 1u);
  EXPECT_EQ(info[0]["control"], 102);
  EXPECT_EQ(info[0]["text"], "April 2027");
  EXPECT_TRUE(run.all("show").back()["dialogs"].empty());
  EXPECT_TRUE(run.all("update-sent").empty()) << "no change notice for the financial year";
}

TEST(FinancialYear, ANoKeepsTheDialogOpenAndCancelStoresNothing) {
  TestCompany co;
  postNoTransactions(co);
  auto before = co.record(DF_SETUP, 1);
  auto run = co.drive(
      "open 3605\nselect 3605 1642 6\ntype 3605 1336 \"2030\"\nclick 3605 1\nanswer no\n"
      "show 3605\nclick 3605 2\n");
  ASSERT_EQ(run.status, 0) << run.error();
  EXPECT_EQ(run.messages(), std::vector<std::string>{question("July", "2030")});
  json dialog = run.shown(IDD_FINANCIAL_YEAR);
  ASSERT_FALSE(dialog.is_null()) << "still open after No";
  EXPECT_EQ(shownControl(dialog, IDC_FY_START_YEAR)["text"], "2030");
  EXPECT_EQ(co.record(DF_SETUP, 1), before);
  EXPECT_EQ(run.all("dialog").back()["action"], "closed");
}

TEST(FinancialYear, PostedTransactionsLockMonthYearAndCancelUnlessModeOne) {
  TestCompany co;
  storeYear(co, 3, 2025);
  postTransactions(co);
  auto before = co.record(DF_SETUP, 1);

  // OK only closes, before any action is asked for.
  auto locked = co.drive("open 3605\nshow 3605\nclick 3605 1\n", "--multi-user");
  ASSERT_EQ(locked.status, 0) << locked.error();
  expectUsable(locked.shown(IDD_FINANCIAL_YEAR), {false, false, false, true, true});
  EXPECT_TRUE(locked.messages().empty());
  EXPECT_TRUE(locked.all("action").empty());
  EXPECT_EQ(locked.all("dialog").back()["action"], "closed");
  EXPECT_EQ(co.record(DF_SETUP, 1), before);

  auto modeOne = co.drive(
      "open 3605 1\nshow 3605\nselect 3605 1642 0\ntype 3605 1336 \"2026\"\nclick 3605 1\n"
      "answer yes\n");
  ASSERT_EQ(modeOne.status, 0) << modeOne.error();
  expectUsable(modeOne.shown(IDD_FINANCIAL_YEAR), {true, true, true, false, true});
  expectOnlyYearChanged(before, co.record(DF_SETUP, 1), 0, 2026);
}

TEST(FinancialYear, TheDebugSwitchLiftsTheTransactionRules) {
  TestCompany co;
  postTransactions(co);
  writeWinIni(stationFolder(co), "[mr]\ndebug=1\n");
  auto run = co.drive("open 3605\nshow 3605\nclick 3605 2\n");
  ASSERT_EQ(run.status, 0) << run.error();
  expectUsable(run.shown(IDD_FINANCIAL_YEAR), {true, true, true, true, true});

  // Details locked or the entry edition still take Change... away.
  auto locked = co.drive("open 3605\nshow 3605\nclick 3605 2\n", "--details-locked");
  ASSERT_EQ(locked.status, 0) << locked.error();
  expectUsable(locked.shown(IDD_FINANCIAL_YEAR), {true, true, true, false, true});
  auto entry = co.drive("open 3605\nshow 3605\nclick 3605 2\n", "--edition 16");
  ASSERT_EQ(entry.status, 0) << entry.error();
  expectUsable(entry.shown(IDD_FINANCIAL_YEAR), {true, true, true, false, false});

  // The switch is read from the station's own INI folder.
  auto elsewhere = co.scratch("ini");
  writeWinIni(elsewhere, "[MR]\nDebug=0\n");
  auto off = co.drive("open 3605\nshow 3605\nclick 3605 1\n", "--ini-dir " + elsewhere.string());
  ASSERT_EQ(off.status, 0) << off.error();
  expectUsable(off.shown(IDD_FINANCIAL_YEAR), {false, false, false, true, true});
}

TEST(FinancialYear, DetailsLockedAndTheEntryEditionTakeChangeAway) {
  TestCompany co;
  postTransactions(co);
  auto locked = co.drive("open 3605\nshow 3605\nclick 3605 1\n", "--details-locked");
  ASSERT_EQ(locked.status, 0) << locked.error();
  expectUsable(locked.shown(IDD_FINANCIAL_YEAR), {false, false, false, false, true});
  auto entry = co.drive("open 3605\nshow 3605\nclick 3605 1\n", "--edition 16");
  ASSERT_EQ(entry.status, 0) << entry.error();
  expectUsable(entry.shown(IDD_FINANCIAL_YEAR), {false, false, false, false, false});
}

// ---- Financial Year: the year field ---------------------------------------------------------

TEST(FinancialYear, AYearNeverSetProposesThisYearInMemoryOnly) {
  TestCompany co;
  postNoTransactions(co);
  storeYear(co, 5, 0);
  auto before = co.record(DF_SETUP, 1);
  auto run = co.drive("open 3605\nshow 3605\nclick 3605 2\n");
  ASSERT_EQ(run.status, 0) << run.error();
  EXPECT_EQ(shownControl(run.shown(IDD_FINANCIAL_YEAR), IDC_FY_START_YEAR)["text"],
            std::to_string(thisYear()));
  EXPECT_EQ(shownControl(run.shown(IDD_FINANCIAL_YEAR), IDC_FY_START_MONTH)["selection"], 5);
  EXPECT_EQ(co.record(DF_SETUP, 1), before);

  // A month beyond December (a damaged record) shows, and stores, January.
  storeYear(co, 14, 2025);
  auto damaged = co.drive("open 3605\nshow 3605\nclick 3605 1\nanswer yes\n");
  ASSERT_EQ(damaged.status, 0) << damaged.error();
  EXPECT_EQ(shownControl(damaged.shown(IDD_FINANCIAL_YEAR), IDC_FY_START_MONTH)["selection"], 0);
  EXPECT_EQ(damaged.messages(), std::vector<std::string>{question("January", "2025")});
  EXPECT_EQ(storedMonth(co.record(DF_SETUP, 1)), 0);
}

TEST(FinancialYear, LeavingTheYearResetsYearsOutOf1971To2099) {
  TestCompany co;
  postNoTransactions(co);
  storeYear(co, 3, 2025);
  auto run = co.drive(
      "open 3605\n"
      "type 3605 1336 \"1970\"\nleave 3605 1336\nshow 3605\n"
      "type 3605 1336 \"1971\"\nleave 3605 1336\nshow 3605\n"
      "type 3605 1336 \"2099\"\nleave 3605 1336\nshow 3605\n"
      "type 3605 1336 \"2100\"\nleave 3605 1336\nshow 3605\n"
      "type 3605 1336 \"69\"\nclick 3605 1\nanswer no\nclick 3605 2\n");
  ASSERT_EQ(run.status, 0) << run.error();
  const char* want[] = {"2025", "1971", "2099", "2025"};
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(shownControl(run, i, IDD_FINANCIAL_YEAR, IDC_FY_START_YEAR)["text"], want[i])
        << "show " << i;
  // Typed and confirmed at once, a short year is reset before OK sees it.
  EXPECT_EQ(run.messages(), std::vector<std::string>{question("April", "2025")});
}

// A year below 100 reaches the store only as the stored year that an
// out-of-range entry falls back to: another station stored it, and its
// change notice reloaded the setup record while the dialog was open.
void expectShortYearWidened(int shortYear, int widened) {
  TestCompany co;
  postNoTransactions(co);
  storeYear(co, 3, 2025);
  auto out = co.driveInBackground(
      "open 3605\nwait update 30\ntype 3605 1336 \"5\"\nleave 3605 1336\nshow 3605\n"
      "click 3605 1\nanswer yes\n");
  ASSERT_TRUE(waitForText(out, "\"opened\""));
  storeYear(co, 8, shortYear);
  auto before = co.record(DF_SETUP, 1);
  co.broadcast(274, 8);
  ASSERT_TRUE(waitForText(out, "\"closed\"")) << readText(out);
  auto run = DriveRun{0, jsonLines(readText(out))};
  EXPECT_EQ(shownControl(run.shown(IDD_FINANCIAL_YEAR), IDC_FY_START_YEAR)["text"],
            std::to_string(shortYear));
  EXPECT_EQ(run.messages(), std::vector<std::string>{question("April", std::to_string(shortYear))});
  expectOnlyYearChanged(before, co.record(DF_SETUP, 1), 3, widened);
}

TEST(FinancialYear, AYearBelow100IsWidenedWhenStored) {
  expectShortYearWidened(69, 2069);
  expectShortYearWidened(70, 1970);
}

// ---- Financial Year: Change... ---------------------------------------------------------------

TEST(FinancialYear, ChangeWarnsThenRunsTheProcedureAndFillsTheDialogAgain) {
  TestCompany co;
  storeYear(co, 3, 2025);
  postTransactions(co);
  auto before = co.record(DF_SETUP, 1);
  auto run = co.drive(
      "open 3605\nclick 3605 2479\nanswer no\nshow 3605\n"
      "click 3605 2479\nanswer yes\nanswer ok\nshow 3605\nclick 3605 1\n");
  ASSERT_EQ(run.status, 0) << run.error();
  auto messages = run.all("message");
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0]["caption"], "Warning");
  EXPECT_EQ(messages[0]["text"], kChangeWarning);
  EXPECT_EQ(messages[0]["buttons"], json({"yes", "no"}));
  EXPECT_EQ(messages[1]["text"], kChangeWarning);
  EXPECT_EQ(messages[2]["caption"], "Change Financial Year");
  EXPECT_EQ(messages[2]["buttons"], json({"ok"}));
  EXPECT_NE(messages[2]["text"].get<std::string>().find("nothing has been changed"),
            std::string::npos);

  json after = run.shown(1, IDD_FINANCIAL_YEAR);
  json months = shownControl(after, IDC_FY_START_MONTH);
  ASSERT_EQ(months["items"].size(), 12u) << "the months once, after filling twice";
  EXPECT_EQ(months["items"][3], "April");
  EXPECT_EQ(months["selection"], 3);
  expectUsable(after, {false, false, false, true, true});
  EXPECT_EQ(co.record(DF_SETUP, 1), before);
}

// ---- Financial Year: two stations -------------------------------------------------------------

TEST(FinancialYear, ADeclinedConfirmationKeepsTheActionUntilCancel) {
  TestCompany co;
  postNoTransactions(co);
  storeYear(co, 3, 2025);
  auto before = co.record(DF_SETUP, 1);
  auto out = co.driveInBackground(
      "open 3605\nclick 3605 1\nanswer no\nwait update 30\nclick 3605 2\n", "--multi-user");
  ASSERT_TRUE(waitForText(out, "\"granted\""));

  auto second = co.drive("open 3605\nclick 3605 1\n", "--multi-user --station TWO");
  ASSERT_EQ(second.status, 0) << second.error();
  auto actions = second.all("action");
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(actions[1]["action"], "refused");
  EXPECT_EQ(actions[1]["id"], 30);
  EXPECT_EQ(actions[1]["name"], "Financial Year");
  EXPECT_TRUE(second.messages().empty()) << "refused without a message or question";
  EXPECT_EQ(second.all("dialog").back()["action"], "closed");
  EXPECT_EQ(co.record(DF_SETUP, 1), before);

  co.broadcast(275, 16);
  ASSERT_TRUE(waitForText(out, "\"ended\"")) << "Cancel ends the held action";

  auto third = co.drive("open 3605\ntype 3605 1336 \"2026\"\nclick 3605 1\nanswer yes\n",
                        "--multi-user --station THREE");
  ASSERT_EQ(third.status, 0) << third.error();
  EXPECT_EQ(third.all("action").back()["action"], "ended");
  expectOnlyYearChanged(before, co.record(DF_SETUP, 1), 3, 2026);
}

TEST(FinancialYear, AnotherStationsChangeOfTheSetupRecordSurvives) {
  TestCompany co;
  postNoTransactions(co);
  storeYear(co, 3, 2025);
  auto out = co.driveInBackground(
      "open 3605\nselect 3605 1642 9\ntype 3605 1336 \"2028\"\nwait update 30\nclick 3605 1\n"
      "answer yes\n",
      "--multi-user --lock-records");
  ASSERT_TRUE(waitForText(out, "\"opened\""));
  auto setup = co.stored<setupmap>(DF_SETUP, 1);
  std::memset(setup.companyName, 0, sizeof setup.companyName);
  std::strcpy(setup.companyName, "Changed Elsewhere Ltd");
  co.store(DF_SETUP, 1, &setup);
  auto before = co.record(DF_SETUP, 1);
  // A notice that does not reload the setup record: only the store's own
  // read can carry the new name.
  co.broadcast(275, 16);
  ASSERT_TRUE(waitForText(out, "\"closed\"")) << readText(out);
  expectOnlyYearChanged(before, co.record(DF_SETUP, 1), 9, 2028);
}

// ---- Change Program Date ---------------------------------------------------------------------

const std::string kApril2025 = "--program-date 10/05/2025";

json mainOf(const DriveRun& run) { return run.all("show").back()["main"]; }

TEST(ProgramDate, ADateInsideTheYearIsTakenSilently) {
  TestCompany co;
  storeYear(co, 3, 2025);
  auto run = co.drive(
      "open 3606\nshow 3606\ntype 3606 1336 \"15/06/2025\"\nleave 3606 1336\nclick 3606 1\n"
      "show\n",
      kApril2025);
  ASSERT_EQ(run.status, 0) << run.error();
  EXPECT_EQ(shownControl(run.shown(0, IDD_PROGRAM_DATE), IDC_PROGRAM_DATE_FIELD)["text"],
            "10/05/2025");
  EXPECT_TRUE(run.messages().empty());
  EXPECT_EQ(mainOf(run)["programDate"], "15/06/2025");
  EXPECT_TRUE(run.all("show").back()["dialogs"].empty());
  auto shown = run.all("program-date");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0]["date"], "15/06/2025");
}

TEST(ProgramDate, ADateOutsideTheYearIsWarnedOfOnceAndAccepted) {
  TestCompany co;
  storeYear(co, 3, 2025);
  auto run = co.drive(
      "open 3606\ntype 3606 1336 \"020427\"\nleave 3606 1336\nanswer ok\nclick 3606 1336\n"
      "leave 3606 1336\nclick 3606 1\nshow\n",
      kApril2025);
  ASSERT_EQ(run.status, 0) << run.error();
  EXPECT_EQ(run.messages(), std::vector<std::string>{kOutsideYear});
  EXPECT_EQ(run.all("message")[0]["kind"], 2);
  EXPECT_EQ(mainOf(run)["programDate"], "02/04/2027");
}

TEST(ProgramDate, InvalidTextIsRefusedOnLeavingAndWhenEnterPressesOk) {
  TestCompany co;
  storeYear(co, 3, 2025);
  auto run = co.drive(
      "open 3606\ntype 3606 1336 \"31/02/2025\"\nleave 3606 1336\nanswer ok\nshow 3606\n"
      // Enter presses OK without leaving the field; OK moves the focus, so
      // the field checks itself first and OK stores the date it went back to.
      "type 3606 1336 \"99/99/99\"\nkey 3606 1336 enter\nanswer ok\nshow\n",
      kApril2025);
  ASSERT_EQ(run.status, 0) << run.error();
  EXPECT_EQ(run.messages(), (std::vector<std::string>{kBadFormat, kBadFormat}));
  json field = shownControl(run, 0, IDD_PROGRAM_DATE, IDC_PROGRAM_DATE_FIELD);
  EXPECT_EQ(field["text"], "10/05/2025");
  EXPECT_EQ(field["modified"], false);
  EXPECT_EQ(field["focus"], true);
  EXPECT_EQ(mainOf(run)["programDate"], "10/05/2025");
  EXPECT_EQ(run.all("dialog").back()["action"], "closed");
}

TEST(ProgramDate, CancelKeepsTheDate) {
  TestCompany co;
  auto run = co.drive("open 3606\ntype 3606 1336 \"01/01/2026\"\nclick 3606 2\nshow\n", kApril2025);
  ASSERT_EQ(run.status, 0) << run.error();
  EXPECT_EQ(mainOf(run)["programDate"], "10/05/2025");
  EXPECT_TRUE(run.all("program-date").empty());
  EXPECT_TRUE(run.all("show").back()["dialogs"].empty());
}

// A station whose program date is none (0): the field is empty, and text
// that reads as no date is the program date itself, passed over silently.
TEST(ProgramDate, InvalidTextThatReadsAsTheProgramDatePassesSilently) {
  TestCompany co;
  auto events = runInProcess(co, [](Station& station) {
    g_lpGlobVar->programDate = 0;
    int line = 0;
    for (const char* command : {"open 3606", "show 3606", "type 3606 1336 \"abc\"",
                                "leave 3606 1336", "click 3606 1", "show 3606"})
      station.execute(command, ++line);
    EXPECT_FALSE(station.questionPending());
    station.execute("click 3606 2", ++line);
  });
  DriveRun run{0, events};
  EXPECT_TRUE(run.messages().empty());
  EXPECT_EQ(shownControl(run, 0, IDD_PROGRAM_DATE, IDC_PROGRAM_DATE_FIELD)["text"], "");
  EXPECT_EQ(shownControl(run, 1, IDD_PROGRAM_DATE, IDC_PROGRAM_DATE_FIELD)["text"], "abc")
      << "OK left it open";
  EXPECT_EQ(run.all("dialog").back()["action"], "closed");
}

}  // namespace
}  // namespace vx70::test
