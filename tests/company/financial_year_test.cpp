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
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

constexpr std::size_t kMonthOffset = 3334;
constexpr std::size_t kYearOffset = 3335;

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

// The demo company has posted transactions; a split count of 0 means none.
void postTransactions(const TestCompany& co, bool posted = true) {
  auto control = co.stored<contmap>(DF_CONTROL, 1);
  control.splitCount = posted ? 5 : 0;
  co.store(DF_CONTROL, 1, &control);
}
void postNoTransactions(const TestCompany& co) { postTransactions(co, false); }

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

// Which of the dialog's controls a person can use: month, year, Cancel,
// Change... and whether Change... shows ("+" usable, "-" not); OK always is.
std::string usable(const json& dialog) {
  std::string out;
  for (int id : {IDC_FY_START_MONTH, IDC_FY_START_YEAR, IDCANCEL, IDC_FY_CHANGE})
    out += shownControl(dialog, id)["enabled"].get<bool>() ? '+' : '-';
  out += shownControl(dialog, IDC_FY_CHANGE)["visible"].get<bool>() ? '+' : '-';
  EXPECT_TRUE(shownControl(dialog, IDOK)["enabled"]) << "OK is always usable";
  return out;
}

// A No keeps the dialog open as typed; a Yes stores the year and the main
// window shows it; Cancel stores nothing.
TEST(FinancialYear, WithoutTransactionsMonthAndYearAreStoredOnYes) {
  TestCompany co;
  postNoTransactions(co);
  storeYear(co, 0, 2025);
  auto before = co.record(DF_SETUP, 1);
  co.use("open 3605\nselect 3605 1642 6\ntype 3605 1336 \"2030\"\nclick 3605 2\n");
  EXPECT_EQ(co.record(DF_SETUP, 1), before);
  auto run = co.use(
      "open 3605\nselect 3605 1642 6\ntype 3605 1336 \"2030\"\nclick 3605 1\n"
      "answer no\nselect 3605 1642 3\ntype 3605 1336 \"2027\"\nclick 3605 1\n"
      "answer yes\nshow\n");
  EXPECT_EQ(run.messages(),
            (std::vector<std::string>{question("July", "2030"), question("April", "2027")}));
  EXPECT_EQ(run.all("message")[0]["kind"], 5);
  expectOnlyYearChanged(before, co.record(DF_SETUP, 1), 3, 2027);
  EXPECT_EQ(run.all("show").back()["main"]["info"], "April 2027");
  EXPECT_TRUE(run.all("show").back()["dialogs"].empty());
  EXPECT_TRUE(run.all("update-sent").empty()) << "no change notice for the financial year";
}

// Posted transactions lock month, year and Cancel unless the dialog opens
// in mode 1 or the station's debug switch is on; details locked and the
// entry edition take Change... away.
TEST(FinancialYear, WhatMayBeChanged) {
  const struct {
    bool posted;
    const char* winIni;  // the station's WIN.INI, "" for none
    std::string open, options;
    const char* usable;
  } kCases[] = {
      {false, "", "open 3605", "", "+++-+"},
      {true, "", "open 3605", "", "---++"},
      {true, "", "open 3605 1", "", "+++-+"},
      {true, "", "open 3605", "--details-locked", "----+"},
      {true, "", "open 3605", "--edition 16", "-----"},
      {true, "[mr]\ndebug=1\n", "open 3605", "", "+++++"},
      {true, "[mr]\ndebug=1\n", "open 3605", "--details-locked", "+++-+"},
      {true, "[mr]\ndebug=1\n", "open 3605", "--edition 16", "+++--"},
  };
  for (const auto& c : kCases) {
    TestCompany co;
    postTransactions(co, c.posted);
    if (*c.winIni) writeWinIni(stationFolder(co), c.winIni);
    auto run = co.use(c.open + "\nshow 3605\n", c.options);
    EXPECT_EQ(usable(run.shown(IDD_FINANCIAL_YEAR)), c.usable) << c.open << c.options << c.winIni;
  }
}

// With posted transactions OK only closes, before any action is asked for;
// in mode 1 it stores the year.
TEST(FinancialYear, PostedTransactionsLeaveOkOnlyClosingUnlessModeOne) {
  TestCompany co;
  storeYear(co, 3, 2025);
  postTransactions(co);
  auto before = co.record(DF_SETUP, 1);
  auto locked = co.use("open 3605\nclick 3605 1\n", "--multi-user");
  EXPECT_TRUE(locked.messages().empty());
  EXPECT_TRUE(locked.all("action").empty());
  EXPECT_EQ(locked.all("dialog").back()["action"], "closed");
  EXPECT_EQ(co.record(DF_SETUP, 1), before);

  auto modeOne = co.use(
      "open 3605 1\nselect 3605 1642 0\ntype 3605 1336 \"2026\"\nclick 3605 1\nanswer yes\n");
  expectOnlyYearChanged(before, co.record(DF_SETUP, 1), 0, 2026);

  // The debug switch is read from the station's own INI folder.
  auto elsewhere = co.scratch("ini");
  writeWinIni(elsewhere, "[MR]\nDebug=0\n");
  auto off = co.use("open 3605\nshow 3605\nclick 3605 1\n", "--ini-dir " + elsewhere.string());
  EXPECT_EQ(usable(off.shown(IDD_FINANCIAL_YEAR)), "---++");
}

TEST(FinancialYear, AYearNeverSetProposesThisYearInMemoryOnly) {
  TestCompany co;
  postNoTransactions(co);
  storeYear(co, 5, 0);
  auto before = co.record(DF_SETUP, 1);
  auto run = co.use("open 3605\nshow 3605\nclick 3605 2\n");
  EXPECT_EQ(shownControl(run.shown(IDD_FINANCIAL_YEAR), IDC_FY_START_YEAR)["text"],
            std::to_string(thisYear()));
  EXPECT_EQ(shownControl(run.shown(IDD_FINANCIAL_YEAR), IDC_FY_START_MONTH)["selection"], 5);
  EXPECT_EQ(co.record(DF_SETUP, 1), before);

  // A month beyond December (a damaged record) is taken, and stored, as January.
  storeYear(co, 14, 2025);
  auto damaged = co.use("open 3605\nclick 3605 1\nanswer yes\n");
  EXPECT_EQ(damaged.messages(), std::vector<std::string>{question("January", "2025")});
  EXPECT_EQ(storedMonth(co.record(DF_SETUP, 1)), 0);
}

TEST(FinancialYear, LeavingTheYearResetsYearsOutOf1971To2099) {
  TestCompany co;
  postNoTransactions(co);
  storeYear(co, 3, 2025);
  auto run = co.use(
      "open 3605\ntype 3605 1336 \"1970\"\nleave 3605 1336\nshow 3605\n"
      "type 3605 1336 \"1971\"\nleave 3605 1336\nshow 3605\n"
      "type 3605 1336 \"2099\"\nleave 3605 1336\nshow 3605\n"
      "type 3605 1336 \"2100\"\nleave 3605 1336\nshow 3605\n"
      "type 3605 1336 \"69\"\nclick 3605 1\nanswer no\nclick 3605 2\n");
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
  StationProcess station(co, "");
  station.send("open 3605\n");
  storeYear(co, 8, shortYear);
  auto before = co.record(DF_SETUP, 1);
  co.broadcast(274, 8);
  station.send("wait update\ntype 3605 1336 \"5\"\nleave 3605 1336\nclick 3605 1\nanswer yes\n");
  DriveRun run = station.finish();
  EXPECT_EQ(run.messages(), std::vector<std::string>{question("April", std::to_string(shortYear))});
  expectOnlyYearChanged(before, co.record(DF_SETUP, 1), 3, widened);
}

TEST(FinancialYear, AYearBelow100IsWidenedWhenStored) {
  expectShortYearWidened(69, 2069);
  expectShortYearWidened(70, 1970);
}

TEST(FinancialYear, ChangeWarnsThenRunsTheProcedureAndFillsTheDialogAgain) {
  TestCompany co;
  storeYear(co, 3, 2025);
  postTransactions(co);
  auto before = co.record(DF_SETUP, 1);
  auto run = co.use(
      "open 3605\nclick 3605 2479\nanswer no\nshow 3605\n"
      "click 3605 2479\nanswer yes\nanswer ok\nshow 3605\nclick 3605 1\n");
  auto messages = run.all("message");
  ASSERT_EQ(messages.size(), 3u);
  for (std::size_t i : {0, 1}) {
    EXPECT_EQ(messages[i]["caption"], "Warning");
    EXPECT_EQ(messages[i]["buttons"], json({"yes", "no"}));
  }
  EXPECT_EQ(messages[2]["caption"], "Change Financial Year");
  EXPECT_NE(messages[2]["text"].get<std::string>().find("nothing has been changed"),
            std::string::npos);

  json after = run.shown(1, IDD_FINANCIAL_YEAR);
  json months = shownControl(after, IDC_FY_START_MONTH);
  ASSERT_EQ(months["items"].size(), 12u) << "the months once, after filling twice";
  EXPECT_EQ(months["items"][3], "April");
  EXPECT_EQ(months["selection"], 3);
  EXPECT_EQ(usable(after), "---++");
  EXPECT_EQ(co.record(DF_SETUP, 1), before);
}

// The action is asked for at OK: a second station's OK is refused while a
// declined confirmation keeps it, and the store reads the record again, so
// the name another station stored meanwhile survives.
TEST(FinancialYear, TheActionIsHeldFromOkAndTheStoreKeepsAnotherStationsChange) {
  TestCompany co;
  postNoTransactions(co);
  storeYear(co, 3, 2025);
  StationProcess first(co, "--multi-user --lock-records");
  first.send("open 3605\nselect 3605 1642 9\ntype 3605 1336 \"2028\"\nclick 3605 1\nanswer no\n");
  auto second = co.use("open 3605\nclick 3605 1\n", "--multi-user --station TWO");
  EXPECT_EQ(second.all("action").back()["action"], "refused");
  EXPECT_EQ(second.all("action").back()["id"], 30);
  EXPECT_TRUE(second.messages().empty()) << "refused without a message or question";

  auto setup = co.stored<setupmap>(DF_SETUP, 1);
  setText(setup.companyName, "Changed Elsewhere Ltd");
  co.store(DF_SETUP, 1, &setup);
  auto before = co.record(DF_SETUP, 1);
  first.send("click 3605 1\nanswer yes\n");
  EXPECT_EQ(first.finish().all("action").back()["action"], "ended");
  expectOnlyYearChanged(before, co.record(DF_SETUP, 1), 9, 2028);
}

const std::string kApril2025 = "--program-date 10/05/2025";

// What the person types, the warnings on the way, and the program date
// the main window shows afterwards (10/05/2025 before).
TEST(ProgramDate, TheDateIsCheckedAndTakenOnOk) {
  const struct {
    const char* name;
    std::string script;
    std::vector<std::string> messages;
    const char* date;
  } kCases[] = {
      {"inside the year, silently",
       "type 3606 1336 \"15/06/2025\"\nleave 3606 1336\nclick 3606 1\n",
       {},
       "15/06/2025"},
      {"outside the year, warned of once",
       "type 3606 1336 \"020427\"\nleave 3606 1336\nanswer ok\nclick 3606 1336\n"
       "leave 3606 1336\nclick 3606 1\n",
       {kOutsideYear},
       "02/04/2027"},
      // Enter presses OK without leaving the field; OK moves the focus, so
      // the field checks itself first and OK stores the date it went back to.
      {"invalid, on leaving and on Enter",
       "type 3606 1336 \"31/02/2025\"\nleave 3606 1336\nanswer ok\n"
       "type 3606 1336 \"99/99/99\"\nkey 3606 1336 enter\nanswer ok\n",
       {kBadFormat, kBadFormat},
       "10/05/2025"},
      {"cancelled", "type 3606 1336 \"01/01/2026\"\nclick 3606 2\n", {}, "10/05/2025"},
  };
  TestCompany co;
  storeYear(co, 3, 2025);
  for (const auto& c : kCases) {
    auto run = co.use("open 3606\nshow 3606\n" + c.script + "show\n", kApril2025);
    EXPECT_EQ(shownControl(run, 0, IDD_PROGRAM_DATE, IDC_PROGRAM_DATE_FIELD)["text"], "10/05/2025");
    EXPECT_EQ(run.messages(), c.messages) << c.name;
    EXPECT_EQ(run.all("show").back()["main"]["programDate"], c.date) << c.name;
    EXPECT_TRUE(run.all("show").back()["dialogs"].empty()) << c.name;
  }
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
