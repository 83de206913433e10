// Currencies (3616) and Edit Currency (3618) driven as a person uses them
// on the demo company, checked against what is stored: the 84-byte
// currency records and the base currency fields of the setup record.  Also
// the currency combos of the ledger defaults.
#include <cstring>

#include "frame/res/ids_codes.h"
#include "frame/res/ids_ledgers.h"
#include "tests/support/drive_support.h"

namespace vx70::test {
namespace {

const std::string kOpen = "open 3616\n";
const std::string kClose = "click 3616 2\n";

std::string editRow(int row) {
  return "select 3616 1610 " + std::to_string(row) + "\nclick 3616 1413\n";
}

json listControl(const DriveRun& run, int id, std::size_t show = 0) {
  return shownControl(run, show, IDD_CURRENCIES, id);
}
json listGrid(const DriveRun& run, std::size_t show = 0) {
  return listControl(run, IDC_CURRENCIES_GRID, show);
}
json editControl(const DriveRun& run, int id, std::size_t show = 0) {
  return shownControl(run, show, IDD_EDIT_CURRENCY, id);
}
bool visible(const json& control) { return control.value("visible", false); }
bool enabled(const json& control) { return control.value("enabled", false); }

currmap currency(const TestCompany& co, unsigned n) { return co.stored<currmap>(DF_CURRENCIES, n); }
setupmap setup(const TestCompany& co) { return co.stored<setupmap>(DF_SETUP, 1); }

TEST(Currencies, ListsAllNinetyNineWithTheBaseChosen) {
  TestCompany co;
  auto before = co.record(DF_CURRENCIES, 3);
  DriveRun run = co.use(kOpen + "show 3616\n" + kClose);
  json g = listGrid(run);
  ASSERT_EQ(g["rows"].size(), 99u);
  EXPECT_EQ(g["current"]["row"], 0) << "Edit acts on a row from the start";
  EXPECT_EQ(g["rows"][0],
            json({"1", "Pound Sterling", "United Kingdom", "Yes", "1.000000", "No", "0.860000"}))
      << "EMU comes from the euro bit, not the EC text";
  EXPECT_EQ(g["rows"][2],
            json({"3", "Euro", "European Union", "Yes", "1.160000", "Yes", "1.000000"}));
  EXPECT_EQ(g["rows"][98], json({"99", "", "", "", "0.000000", "No", "0.000000"}));
  json combo = listControl(run, IDC_CURRENCIES_BASE_COMBO);
  ASSERT_EQ(combo["items"].size(), 99u);
  EXPECT_EQ(combo["items"][3], "Japanese Yen");
  EXPECT_EQ(combo["selection"], 0);
  // Closing settles the same base again.
  EXPECT_EQ(currency(co, 1).flags, CURRENCY_BASE);
  EXPECT_EQ(setup(co).baseCurrency, 0);
  EXPECT_DOUBLE_EQ(setup(co).baseEuroRate, 0.86);
  EXPECT_EQ(co.record(DF_CURRENCIES, 3), before);
  EXPECT_TRUE(run.all("update-sent").empty());
}

TEST(Currencies, AnEditIsStoredAsAFreshRecordAndShownInTheList) {
  TestCompany co;
  currmap dirty = currency(co, 2);
  std::memset(dirty.name + 10, 'x', 20);  // bytes after the terminator
  co.store(DF_CURRENCIES, 2, &dirty);
  DriveRun run = co.use(kOpen + editRow(1) + "show 3618\n" +
                        "type 3618 1673 \"Dollar\"\ntype 3618 1410 \"Nope\"\n" +
                        "type 3618 1431 \"1.3\"\nclick 3618 1216\ntype 3618 1432 \"0.5\"\n" +
                        "click 3618 1942\nshow 3616\n" + kClose);
  EXPECT_EQ(editControl(run, IDC_EDIT_CURRENCY_NAME)["text"], "US Dollar");
  EXPECT_EQ(editControl(run, IDC_EDIT_CURRENCY_EXCHANGE_RATE)["text"], "1.270000");
  EXPECT_EQ(editControl(run, IDC_EDIT_CURRENCY_EURO_RATE)["text"], "1.080000");
  EXPECT_EQ(listGrid(run, 1)["rows"][1],
            json({"2", "Dollar", "United States", "Nop", "1.300000", "Yes", "0.500000"}));

  currmap expected{};
  std::strcpy(expected.name, "Dollar");
  std::strcpy(expected.country, "United States");
  std::strcpy(expected.ecMember, "Nop");  // cut to its 4 bytes
  expected.exchangeRate = 1.3;
  expected.flags = CURRENCY_EURO_MEMBER;
  expected.euroRate = 0.5;
  auto bytes = co.record(DF_CURRENCIES, 2);
  ASSERT_EQ(bytes.size(), sizeof expected);
  EXPECT_EQ(std::memcmp(bytes.data(), &expected, sizeof expected), 0) << "no stale bytes";
  EXPECT_TRUE(run.all("update-sent").empty());
}

TEST(Currencies, OverlongTextsAreCutAndCancelStoresNothing) {
  TestCompany co;
  auto before = co.record(DF_CURRENCIES, 4);
  DriveRun cancel = co.use(kOpen + editRow(3) + "type 3618 1673 \"Yen\"\nclick 3618 2\n" +
                           "show 3616\n" + kClose);
  EXPECT_EQ(listGrid(cancel)["rows"][3][1], "Japanese Yen");
  EXPECT_EQ(co.record(DF_CURRENCIES, 4), before);

  std::string longName(40, 'N');
  DriveRun cut = co.use(kOpen + editRow(3) + "type 3618 1303 \"" + longName +
                        "\"\nclick 3618 1942\n" + kClose);
  EXPECT_EQ(std::string(currency(co, 4).country), std::string(30, 'N'));
  EXPECT_EQ(std::string(currency(co, 4).name), "Japanese Yen");
}

TEST(Currencies, ClosingMovesTheBaseBitAndCopiesTheEditedEuroRate) {
  TestCompany co;
  // Editing the base clears its bit; closing sets it again.
  DriveRun same = co.use(kOpen + editRow(0) + "click 3618 1942\n" + kClose);
  EXPECT_EQ(currency(co, 1).flags, CURRENCY_BASE);

  // A new base, whose euro rate was edited in the same session.
  DriveRun moved = co.use(kOpen + editRow(2) + "type 3618 1432 \"1.25\"\nclick 3618 1942\n" +
                              "select 3616 1881 2\n" + kClose,
                          "--multi-user --lock-records");
  EXPECT_EQ(currency(co, 1).flags, 0);
  EXPECT_EQ(currency(co, 3).flags, CURRENCY_EURO_MEMBER | CURRENCY_BASE);
  setupmap s = setup(co);
  EXPECT_EQ(s.baseCurrency, 2);
  EXPECT_DOUBLE_EQ(s.baseEuroRate, 1.25);
  EXPECT_TRUE(moved.all("update-sent").empty());

  // The next opening selects the new base.
  DriveRun again = co.use(kOpen + "show 3616\n" + kClose);
  EXPECT_EQ(listControl(again, IDC_CURRENCIES_BASE_COMBO)["selection"], 2);
}

TEST(Currencies, ABaseOutsideTheTableSelectsNothingAndSetsNoBit) {
  TestCompany co;
  setupmap s = setup(co);
  s.baseCurrency = 0xFFFF;
  co.store(DF_SETUP, 1, &s);
  DriveRun run = co.use(kOpen + "show 3616\n" + kClose);
  EXPECT_EQ(listControl(run, IDC_CURRENCIES_BASE_COMBO)["selection"], -1);
  EXPECT_EQ(currency(co, 1).flags, CURRENCY_BASE) << "no record -1 + 1 to clear";
  EXPECT_EQ(setup(co).baseCurrency, 0xFFFF);
  EXPECT_DOUBLE_EQ(setup(co).baseEuroRate, 0.86);
}

TEST(Currencies, EntryEditionEditsNamesOnly) {
  TestCompany co("--demo --edition 16");
  auto before = currency(co, 2);
  auto setupBefore = co.record(DF_SETUP, 1);
  DriveRun run = co.use(kOpen + "show 3616\n" + editRow(1) + "show 3618\n" +
                            "type 3618 1673 \"Greenback\"\nclick 3618 1942\n" + kClose,
                        "--edition 16");
  EXPECT_FALSE(visible(listControl(run, IDC_CURRENCIES_BASE_COMBO)));
  EXPECT_FALSE(visible(listControl(run, IDC_CURRENCIES_BASE_LABEL)));
  EXPECT_EQ(listGrid(run)["columns"][3]["width"], 27);
  for (int id : {IDC_EDIT_CURRENCY_EURO_MEMBER, IDC_EDIT_CURRENCY_EXCHANGE_RATE_LABEL,
                 IDC_EDIT_CURRENCY_EXCHANGE_RATE, IDC_EDIT_CURRENCY_EURO_RATE_LABEL,
                 IDC_EDIT_CURRENCY_EURO_RATE, IDC_EDIT_CURRENCY_RATES_GROUP}) {
    EXPECT_FALSE(visible(editControl(run, id, 1))) << id;
    EXPECT_FALSE(enabled(editControl(run, id, 1))) << id;
  }
  EXPECT_EQ(editControl(run, IDC_OK, 1)["rect"], json({165, 120, 80, 25}));

  currmap after = currency(co, 2);
  EXPECT_STREQ(after.name, "Greenback");
  EXPECT_DOUBLE_EQ(after.exchangeRate, before.exchangeRate);
  EXPECT_DOUBLE_EQ(after.euroRate, before.euroRate);
  EXPECT_EQ(currency(co, 1).flags, CURRENCY_BASE);
  EXPECT_EQ(co.record(DF_SETUP, 1), setupBefore);
}

TEST(Currencies, TheActionKeepsASecondStationOut) {
  TestCompany co;
  expectActionKeepsOthersOut(co, kOpen, kClose, 32, "Currencies");
}

TEST(Currencies, TheListsTheLedgersShareFollowTheRecords) {
  TestCompany co;
  DriveRun run = co.use("open 3607\nshow 3608\n");
  json combo = shownControl(run.shown(IDD_CUSTOMER_RECORD), IDC_LEDGER_CURRENCY);
  ASSERT_EQ(combo["items"].size(), 99u);
  EXPECT_EQ(combo["items"][5], "Danish Krone");
  json tax = shownControl(run.shown(IDD_CUSTOMER_RECORD), IDC_LEDGER_TAX_CODE);
  ASSERT_EQ(tax["items"].size(), 100u);
  EXPECT_EQ(tax["items"][1], "T1 17.50") << "the 15-byte column holds the rate";
  // The department and account status lists that every ledger shares.
  json departments = shownControl(run.shown(IDD_CUSTOMER_RECORD), IDC_LEDGER_DEPARTMENT);
  ASSERT_EQ(departments["items"].size(), 100u) << "every department record after the first";
  EXPECT_EQ(departments["items"][5], "Workshop");
  json status = shownControl(run.shown(IDD_CUSTOMER_RECORD), IDC_LEDGER_ACCOUNT_STATUS);
  ASSERT_EQ(status["items"].size(), 100u) << "the index is the status";
  EXPECT_EQ(status["items"][4], "4 Expired Credit Limit");
}

}  // namespace
}  // namespace vx70::test
