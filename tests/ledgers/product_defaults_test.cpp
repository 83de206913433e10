// Product Defaults (3612 and its page 3613) driven as a person uses it,
// checked against the stored setup record byte for byte.
#include <cstring>
#include <string>
#include <vector>

#include "api/records.h"
#include "frame/res/ids_ledgers.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

const std::string kOpen = "open 3612\n";
const std::string kOk = "click 3612 1942\n";
const std::string kLowerUnits =
    "Reducing the default decimal precision for units\ncould cause discrepancies between actual "
    "figures and stock transactions.\n\nAre you sure you wish to save this change ?";
const std::string kLowerQuantities =
    "Reducing the default decimal precision for quantities\ncould cause discrepancies between "
    "actual figures and stock transactions.\n\nAre you sure you wish to save this change ?";
const std::string kBadCode = "Invalid or missing nominal code";

json details(const DriveRun& run, int id) {
  return shownControl(run.shown(IDD_PRODUCT_DETAILS), id);
}

TEST(ProductDefaults, OpensOnTheStoredRecordAndStoresItBackUnchanged) {
  TestCompany co;
  setupmap setup = storedSetup(co);
  setText(setup.prodNominalCode, "5000");
  setText(setup.prodUnitOfSale, "Dozen");
  setup.prodDepartment = 4;
  setup.prodTaxCode = 2;
  setup.prodCategory = 3;
  setup.prodUnitDecimals = 5;
  setup.prodQuantityDecimals = 1;
  storeSetup(co, setup);
  auto run = co.use(kOpen + "show 3613\n" + kOk);
  EXPECT_EQ(details(run, IDC_PRODUCT_UNIT_DECIMALS)["items"],
            json({"0", "1", "2", "3", "4", "5", "6"}));
  expectSameRecord(setup, storedSetup(co));
}

// OK, and Enter in a field of the page, store the page and tell the other
// stations.
TEST(ProductDefaults, OkAndEnterStoreWhatThePageShows) {
  const std::vector<std::pair<std::string, std::string>> ways = {
      {"the OK button", kOk},
      {"Enter in the unit of sale", "key 3613 2011 enter\n"},
  };
  TestCompany co;
  const setupmap before = storedSetup(co);
  for (const auto& [how, save] : ways) {
    SCOPED_TRACE(how);
    storeSetup(co, before);
    auto run = co.use(kOpen +
                      "type 3613 1714 \"3000\"\nkey 3613 1714 enter\n"
                      "select 3613 2061 5\nselect 3613 2000 0\nselect 3613 1373 3\n"
                      "select 3613 1866 3\nselect 3613 2146 4\n"
                      "type 3613 2011 \"Box\"\n" +
                      save);
    setupmap expected = before;
    setText(expected.prodNominalCode, "3000");
    setText(expected.prodUnitOfSale, "Box");
    expected.prodTaxCode = 5;
    expected.prodCategory = 1;  // list position 0
    expected.prodDepartment = 3;
    expected.prodQuantityDecimals = 3;
    expected.prodUnitDecimals = 4;
    expectSameRecord(expected, storedSetup(co));
    expectOneNotice(run, 274, 8);
  }
}

// How the nominal code is entered, and what OK then stores.
TEST(ProductDefaults, TheNominalCodeBoxRefusesControlAccountsAndFindsOthers) {
  struct Case {
    const char* name;
    std::string entry;
    const char* stored;
    bool finder;
  };
  const Case cases[] = {
      {"Enter on a control account empties the box",
       "type 3613 1714 \"1100\"\nkey 3613 1714 enter\n", "", false},
      {"Enter on another account keeps it", "type 3613 1714 \"5000\"\nkey 3613 1714 enter\n",
       "5000", false},
      {"leaving a changed code opens the finder",
       "type 3613 1714 \"50\"\nleave 3613 1714\npopup 7100\n", "7100", true},
  };
  TestCompany co;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto run = co.use(kOpen + c.entry + kOk);
    EXPECT_STREQ(storedSetup(co).prodNominalCode, c.stored);
    auto finders = run.all("finder");
    ASSERT_EQ(finders.size(), c.finder ? 1u : 0u);
    if (c.finder) {
      EXPECT_EQ(finders[0]["search"], 258);
      EXPECT_EQ(finders[0]["control"], IDC_LEDGER_NOMINAL_CODE);
    }
  }
}

// The precision questions come in order, units first; a refusal (or a
// code that names no account) stores nothing and leaves the dialog open at
// the field to change.
TEST(ProductDefaults, LoweringAPrecisionNeedsAYes) {
  struct Case {
    const char* name;
    int unitsBefore, quantitiesBefore;
    std::string edits, answers;
    const char* asked;  // in order: u lower units, q lower quantities, c bad code
    int refusedAt;      // the control focused after a refusal; 0 when stored
    int unitsAfter, quantitiesAfter;
  };
  const std::string lowerBoth = "select 3613 2146 0\nselect 3613 1866 0\n";
  const Case cases[] = {
      {"raising asks nothing", 2, 2, "select 3613 2146 4\nselect 3613 1866 3\n", "", "", 0, 4, 3},
      {"keeping 6 asks nothing", 6, 6, "", "", "", 0, 6, 6},
      {"both lowered and confirmed", 2, 2, "select 3613 2146 0\nselect 3613 1866 1\n",
       "answer yes\nanswer yes\n", "uq", 0, 0, 1},
      {"units refused", 2, 2, lowerBoth, "answer no\n", "u", IDC_PRODUCT_UNIT_DECIMALS, 2, 2},
      {"quantities refused after units", 2, 2, lowerBoth, "answer yes\nanswer no\n", "uq",
       IDC_PRODUCT_QUANTITY_DECIMALS, 2, 2},
      {"quantities refused, units raised", 2, 2, "select 3613 2146 3\nselect 3613 1866 1\n",
       "answer no\n", "q", IDC_PRODUCT_QUANTITY_DECIMALS, 2, 2},
      {"a code that names no account", 2, 2,
       "select 3613 2146 0\ntype 3613 1714 \"8888\"\nkey 3613 1714 enter\n", "answer ok\n", "c",
       IDC_LEDGER_NOMINAL_CODE, 2, 2},
  };
  TestCompany co;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    setupmap before = storedSetup(co);
    before.prodUnitDecimals = static_cast<std::int16_t>(c.unitsBefore);
    before.prodQuantityDecimals = static_cast<std::int16_t>(c.quantitiesBefore);
    storeSetup(co, before);
    const std::string stillOpen = c.refusedAt ? "show\nclick 3612 2\n" : "";
    auto run = co.use(kOpen + c.edits + "type 3613 2011 \"Pair\"\n" + kOk + c.answers + stillOpen);
    std::vector<std::string> asked;
    for (const char* q = c.asked; *q; ++q)
      asked.push_back(*q == 'u' ? kLowerUnits : *q == 'q' ? kLowerQuantities : kBadCode);
    EXPECT_EQ(run.messages(), asked);
    const setupmap after = storedSetup(co);
    EXPECT_EQ(copy(after.prodUnitDecimals), c.unitsAfter);
    EXPECT_EQ(copy(after.prodQuantityDecimals), c.quantitiesAfter);
    if (c.refusedAt) {
      expectSameRecord(before, after);
      EXPECT_TRUE(run.all("update-sent").empty());
      EXPECT_TRUE(details(run, c.refusedAt)["focus"]) << "the dialog stays open there";
      EXPECT_TRUE(run.shown(IDD_PRODUCT_DEFAULTS)["enabled"]);
    } else {
      EXPECT_STREQ(after.prodUnitOfSale, "Pair");
    }
  }
}

// After a refused question, Cancel leaves the setup record in memory as the
// file holds it: nothing the attempt applied stays behind.
TEST(ProductDefaults, CancelAfterARefusalLeavesTheRecordInMemoryAsStored) {
  TestCompany co;
  const setupmap stored = storedSetup(co);
  setupmap inMemory{};
  runInProcess(co, [&](Station& station) {
    int line = 0;
    for (const char* command :
         {"open 3612", "type 3613 2011 \"Crate\"", "select 3613 1373 7", "select 3613 2146 0",
          "click 3612 1942", "answer no", "click 3612 2"})
      station.execute(command, ++line);
    inMemory = g_lpGlobVar->setup;
  });
  expectSameRecord(stored, inMemory);
  expectSameRecord(stored, storedSetup(co));
}

}  // namespace
}  // namespace vx70::test
