// The finance charge rates list and its editor: the current-rate line, free
// slots reused, every refusal with its text, and what is stored.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/host_api.h"
#include "frame/res/ids_codes.h"
#include "tests/support/drive_support.h"

namespace vx70::test {
namespace {

const char* kNoRate = "There is currently no finance rate applying.";
const char* kTooHigh = "Please enter a finance rate less than 100%";
const char* kNoRateEntered = "You have not entered a rate.";
const char* kEarliest = "The earliest date permitted for a finance rate is 01/11/1998";
const char* kValidDate = "A valid date must be entered";
const char* kExists = "A rate already exists for the date entered.";

WORD dateNumber(WORD day, WORD month, WORD year) {
  const WORD parts[] = {day, month, year};
  return DateNumberFromComponents(parts);
}

// A company whose rates are these records (1998 and 2010), tested with a
// program date of 01/06/2005.
class FinanceRates : public ::testing::Test {
 protected:
  void SetUp() override {
    finratemap first{0, dateNumber(1, 11, 1998), 5.0, 3.0};
    finratemap second{0, dateNumber(1, 1, 2010), 4.0, 4.0};
    company.store(48, 1, &first);
    company.store(48, 2, &second);
  }

  DriveRun drive(const std::string& script, const std::string& options = "") {
    return company.use(script, "--program-date 01/06/2005 " + options);
  }

  static std::string rateLine(const DriveRun& run) {
    return shownControl(run.shown(IDD_FINANCE_RATES), IDC_FINANCE_RATES_CURRENT).value("text", "");
  }
  static json grid(const DriveRun& run) {
    return shownControl(run.shown(IDD_FINANCE_RATES), IDC_FINANCE_RATES_GRID);
  }

  // Opens the editor from Add, fills it and presses OK.
  static std::string addEntry(const std::string& date, const std::string& base,
                              const std::string& additional) {
    return "click 3223 1026\ntype 3224 1336 \"" + date + "\"\ntype 3224 1431 \"" + base +
           "\"\ntype 3224 1432 \"" + additional + "\"\nclick 3224 1942\n";
  }

  TestCompany company{""};
};

TEST_F(FinanceRates, ListShowsEntriesInRecordOrderAndTheRateApplyingNow) {
  auto run = drive("open 3223\nshow 3223\nclick 3223 2\n");
  json rows = grid(run)["rows"];
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], json::array({"01/11/1998", "5.00", "3.00", "1"}));
  EXPECT_EQ(grid(run)["current"]["row"], 0) << "Edit acts on a row from the start";
  EXPECT_EQ(rows[1], json::array({"01/01/2010", "4.00", "4.00", "2"}));
  EXPECT_EQ(rateLine(run),
            "The current rate applying is 8.00 which is 3.00 above the base rate of 5.00.\n"
            "This rate has applied since 01/11/1998.")
      << "the 2010 entry lies after the program date";
  EXPECT_TRUE(run.all("action").empty());
  auto early = company.use("open 3223\nshow 3223\nclick 3223 2\n", "--program-date 31/10/1998");
  EXPECT_EQ(rateLine(early), kNoRate) << "only later entries";
}

TEST_F(FinanceRates, AnEmptyFileDisablesEditAndDeleteAndTheFirstEntryIsRecordOne) {
  TestCompany empty("");
  auto run = empty.use(
      "open 3223\nshow 3223\n" + addEntry("15/03/2001", "5", "2.5") + "show 3223\nclick 3223 2\n",
      "--program-date 01/06/2005");
  json before = run.shown(0, IDD_FINANCE_RATES);
  EXPECT_EQ(shownControl(before, IDC_FINANCE_RATES_GRID)["rowCount"], 0);
  EXPECT_EQ(shownControl(before, IDC_FINANCE_RATES_CURRENT)["text"], kNoRate);
  EXPECT_EQ(shownControl(before, IDC_FINANCE_RATES_EDIT)["enabled"], false);
  EXPECT_EQ(shownControl(before, IDC_FINANCE_RATES_DELETE)["enabled"], false);

  auto stored = empty.stored<finratemap>(48, 1);
  EXPECT_EQ(WORD{stored.deleted}, 0);
  EXPECT_EQ(WORD{stored.dateFrom}, dateNumber(15, 3, 2001));
  EXPECT_EQ(double{stored.baseRate}, 5.0);
  EXPECT_EQ(double{stored.additionalRate}, 2.5);
  EXPECT_EQ(grid(run)["rows"][0], json::array({"15/03/2001", "5.00", "2.50", "1"}));
  EXPECT_EQ(rateLine(run),
            "The current rate applying is 7.50 which is 2.50 above the base rate of 5.00.\n"
            "This rate has applied since 15/03/2001.");
  EXPECT_EQ(shownControl(run.shown(IDD_FINANCE_RATES), IDC_FINANCE_RATES_EDIT)["enabled"], true);
  EXPECT_TRUE(run.all("update-sent").empty());
}

TEST_F(FinanceRates, ADeletedEntryBecomesAFreeSlotThatTheNextEntryTakes) {
  auto run = drive(
      "open 3223\nselect 3223 1610 0\nclick 3223 1362\nanswer no\nselect 3223 1610 0\n"
      "click 3223 1362\nanswer yes\nshow 3223\n" +
      addEntry("01/01/2003", "6", "1") + "show 3223\nclick 3223 2\n");
  EXPECT_EQ(run.messages(),
            (std::vector<std::string>{"Are you sure you wish to delete this entry?",
                                      "Are you sure you wish to delete this entry?"}));
  json afterDelete = run.shown(0, IDD_FINANCE_RATES);
  EXPECT_EQ(shownControl(afterDelete, IDC_FINANCE_RATES_GRID)["rowCount"], 1);
  EXPECT_EQ(shownControl(afterDelete, IDC_FINANCE_RATES_CURRENT)["text"], kNoRate);

  auto reused = company.stored<finratemap>(48, 1);
  EXPECT_EQ(WORD{reused.deleted}, 0);
  EXPECT_EQ(WORD{reused.dateFrom}, dateNumber(1, 1, 2003));
  EXPECT_EQ(company.record(48, 3).size(), 0u) << "no record added past the end";
  json rows = grid(run)["rows"];
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1], json::array({"01/01/2003", "6.00", "1.00", "1"})) << "appended at the end";
}

TEST_F(FinanceRates, DeletingWritesTheFreeMarkAndZeros) {
  drive("open 3223\nselect 3223 1610 1\nclick 3223 1362\nanswer yes\nclick 3223 2\n");
  std::vector<std::uint8_t> freeSlot(20, 0);
  freeSlot[0] = 1;
  EXPECT_EQ(company.record(48, 2), freeSlot);
}

TEST_F(FinanceRates, EditLoadsTheEntryAndMayKeepItsOwnDate) {
  auto run = drive(
      "open 3223\nactivate 3223 1610 0\ntype 3224 1431 \"6\"\nclick 3224 1942\nshow 3223\n"
      "click 3223 2\n");
  EXPECT_TRUE(run.messages().empty());
  auto stored = company.stored<finratemap>(48, 1);
  EXPECT_EQ(double{stored.baseRate}, 6.0);
  EXPECT_EQ(double{stored.additionalRate}, 3.0);
  EXPECT_EQ(WORD{stored.dateFrom}, dateNumber(1, 11, 1998));
  EXPECT_EQ(grid(run)["rows"][0], json::array({"01/11/1998", "6.00", "3.00", "1"}));
  EXPECT_EQ(grid(run)["rowCount"], 2);
}

TEST_F(FinanceRates, EachRefusalShowsItsTextAndStoresNothing) {
  struct Case {
    std::string date, base, additional;
    const char* message;
  };
  const Case cases[] = {
      {"31/10/1998", "5", "1", kEarliest},
      {"xx", "5", "1", kValidDate},
      {"01/01/2010", "5", "1", kExists},
      {"31/10/1998", "150", "1", kEarliest},  // the date is checked first
      {"01/01/2004", "99.991", "0", kTooHigh},
      {"01/01/2004", "1", "100", kTooHigh},
      {"01/01/2004", "0", "0", kNoRateEntered},
      {"01/01/2004", "2", "-2", kNoRateEntered},
  };
  const auto before = company.record(48, 1);
  for (const Case& c : cases) {
    auto run = drive("open 3223\n" + addEntry(c.date, c.base, c.additional) +
                     "answer ok\nshow 3224\nclick 3224 2\nclick 3223 2\n");
    EXPECT_EQ(run.messages(), std::vector<std::string>{c.message}) << c.date << " " << c.base;
    EXPECT_TRUE(run.shown(IDD_EDIT_FINANCE_RATE).value("visible", false))
        << "the editor stays open";
    EXPECT_EQ(company.record(48, 3).size(), 0u) << c.message;
  }
  EXPECT_EQ(company.record(48, 1), before);
}

TEST_F(FinanceRates, TheCeilingIsAcceptedAndCancelStoresNothing) {
  auto run = drive("open 3223\n" + addEntry("01/01/2004", "99.99", "-1") +
                   "click 3223 1026\ntype 3224 1336 \"02/02/2004\"\ntype 3224 1431 \"1\"\n"
                   "click 3224 2\nclick 3223 2\n");
  EXPECT_TRUE(run.messages().empty());
  auto stored = company.stored<finratemap>(48, 3);
  EXPECT_EQ(double{stored.baseRate}, 99.99);
  EXPECT_EQ(double{stored.additionalRate}, -1.0) << "rates of any sign";
  EXPECT_EQ(company.record(48, 4).size(), 0u) << "Cancel stores nothing";
}

TEST_F(FinanceRates, TheRatesActionKeepsASecondStationOut) {
  expectActionKeepsOthersOut(company, "open 3223\n", "click 3223 2\n", 64);
}

}  // namespace
}  // namespace vx70::test
