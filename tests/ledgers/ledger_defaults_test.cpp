// Customer Defaults (3607 and its pages) and Supplier Defaults (3623 and
// its pages) driven as a person uses them on the demo company, checked
// against the stored setup record byte for byte and the station's package
// INI; and every dialog that edits the setup record open on one station
// while another station stores into the same record.
#include <cstddef>
#include <cstring>
#include <set>

#include "api/records.h"
#include "frame/res/ids_ledgers.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

const std::string kOpen = "open 3607\n";
const std::string kOk = "click 3607 1942\n";

constexpr const char* kDiscountMessage =
    "You have entered an invalid Discount range. Enter the lowest value first and the highest "
    "last.";
constexpr const char* kAgeingMessage =
    "You have entered an invalid period range. Enter the lowest value first and the highest "
    "last. e.g. 30, 60, 90, 120";
constexpr const char* kNominalMessage = "Invalid or missing nominal code";

std::string packageIni(const TestCompany& co) {
  return readText(std::filesystem::path(co.dir()) / "stations" / "STATION1" / "VX70.INI");
}

TEST(CustomerDefaults, OkStoresEveryPage) {
  TestCompany co;
  const setupmap before = storedSetup(co);
  auto run = co.use(kOpen +
                    "type 3608 1211 \"2500\"\ntype 3608 1407 \"14\"\ntype 3608 1964 \"2.5\"\n"
                    "type 3608 1405 \"7\"\ntype 3608 2075 \"Net 14\"\nselect 3608 1373 1\n"
                    "select 3608 2061 2\ntype 3608 1714 \"4010\"\nkey 3608 1714 enter\n"
                    "select 3608 1317 1\ntype 3608 1395 \"4\"\nselect 3608 1397 3\n"
                    "select 3608 1999 2\npage 3607 1\ntype 3609 1431 \"Sales\"\n"
                    "type 3609 1434 \"Receipt\"\npage 3607 2\ntype 3610 1619 \"14\"\n"
                    "type 3610 1620 \"45\"\ntype 3610 1621 \"75\"\ntype 3610 1622 \"105\"\n"
                    "click 3610 1219\nclick 3610 1218\npage 3607 3\n"
                    "cell 3611 1396 3 2164 \"20000\"\ncell 3611 1396 3 1794 \"10\"\n"
                    "cell 3611 1396 5 2164 \"20000\"\n" +
                    kOk);

  setupmap expected = before;
  expected.custCreditLimit = 2500;
  expected.custPaymentDays = 14;
  expected.custSettlementDiscount = 2.5;
  expected.custSettlementDays = 7;
  setText(expected.custTerms, "Net 14");
  expected.custDepartment = 1;
  expected.custTaxCode = 2;
  setText(expected.custNominalCode, "4010");
  expected.custCurrency = 1;
  expected.custDiscountRate = 4;
  expected.custDiscountType = 3;
  expected.custAccountStatus = 2;
  const WORD periods[] = {14, 45, 75, 105};
  std::memcpy(expected.custAgeingPeriods, periods, sizeof periods);
  expected.custFutureTotals = 1;
  expected.custCalendarAgeing = 1;
  // Rows of 0 are left out of the check, and equal values pass.
  expected.custDiscountValues[3] = 20000;
  expected.custDiscountRates[3] = 10;
  expected.custDiscountValues[5] = 20000;
  expectSameRecord(expected, storedSetup(co));
  // The statement texts, defaults where untouched.
  EXPECT_EQ(packageIni(co),
            "[VX70]\nInvText=Sales\nCrdText=Credit\nDiscText=Discount\nPayText=Receipt\n");

  expectOneNotice(run, 274, 8);
}

// Each case breaks something; the first failing check in the order
// discount table, ageing periods (last box first), nominal code reports,
// brings its page forward and focuses the field (the table: the Invoice
// Value of the failing row); nothing is stored.  Supplier Defaults, which
// has no discount table, checks the same way.
struct CheckCase {
  const char* name;
  const char* storedCode;  // the customers' default nominal code
  std::string script;      // after opening
  const char* message;
  int page;
  int dialog;
  int focus;
  int row;  // the table's current row after a table failure
};

TEST(CustomerDefaults, TheFirstFailingCheckKeepsTheDialogOpenOnItsField) {
  const std::string descending =
      "cell 3611 1396 0 2164 \"100\"\ncell 3611 1396 1 2164 \"0\"\n"
      "cell 3611 1396 2 2164 \"50\"\n";
  const std::string ageing = "page 3607 2\n";
  const std::string fail = kOk + "answer ok\n";
  const std::string supplierCode = "open 3623\ntype 3624 1714 \"1234\"\nkey 3624 1714 enter\n";
  const CheckCase cases[] = {
      {"100, 0, 50", "4000", descending + fail, kDiscountMessage, 3, IDD_CUSTOMER_DISCOUNT,
       IDC_CUSTOMER_DISCOUNT_TABLE, 2},
      {"a negative first value", "4000", "cell 3611 1396 0 2164 \"-5\"\n" + fail, kDiscountMessage,
       3, IDD_CUSTOMER_DISCOUNT, IDC_CUSTOMER_DISCOUNT_TABLE, 0},
      {"the table before the periods", "4000",
       descending + ageing + "type 3610 1622 \"10\"\n" + fail, kDiscountMessage, 3,
       IDD_CUSTOMER_DISCOUNT, IDC_CUSTOMER_DISCOUNT_TABLE, 2},
      {"the last period first", "4000",
       ageing + "type 3610 1619 \"100\"\ntype 3610 1622 \"10\"\n" + fail, kAgeingMessage, 2,
       IDD_CUSTOMER_AGEING, IDC_AGEING_PERIOD4_FROM, 0},
      {"the periods before the code", "1234", ageing + "type 3610 1620 \"30\"\n" + fail,
       kAgeingMessage, 2, IDD_CUSTOMER_AGEING, IDC_AGEING_PERIOD2_FROM, 0},
      // The Record page was never in front: its opening focus on the credit
      // limit must not take the focus from the failing code.
      {"a code that names no account", "1234", fail, kNominalMessage, 0, IDD_CUSTOMER_RECORD,
       IDC_LEDGER_NOMINAL_CODE, 0},
      {"supplier: the periods before the code", "4000",
       supplierCode + "page 3623 1\ntype 3625 1620 \"20\"\nclick 3623 1942\nanswer ok\n",
       kAgeingMessage, 1, IDD_SUPPLIER_AGEING, IDC_AGEING_PERIOD2_FROM, 0},
      {"supplier: a code that names no account", "4000",
       supplierCode + "page 3623 1\nclick 3623 1942\nanswer ok\n", kNominalMessage, 0,
       IDD_SUPPLIER_RECORD, IDC_LEDGER_NOMINAL_CODE, 0},
      {"supplier: a whole discount", "4000", "open 3623\ntype 3624 1964 \"100\"\nanswer ok\n",
       "Discount must be between 0 and 99.99", 0, IDD_SUPPLIER_RECORD,
       IDC_LEDGER_SETTLEMENT_DISCOUNT, 0},
  };
  TestCompany co;
  setupmap setup = storedSetup(co);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    setText(setup.custNominalCode, c.storedCode);
    storeSetup(co, setup);
    const bool supplier = c.script.starts_with("open 3623");
    auto run = co.use((supplier ? "" : "open 3607 3\n") + c.script + "show\n");
    EXPECT_EQ(run.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(run.shown(supplier ? IDD_SUPPLIER_DEFAULTS : IDD_CUSTOMER_DEFAULTS)["currentPage"],
              c.page);
    EXPECT_EQ(focused(run.shown(c.dialog)), c.focus);
    EXPECT_TRUE(run.all("update-sent").empty());
    expectSameRecord(setup, storedSetup(co));
    if (c.dialog == IDD_CUSTOMER_DISCOUNT) {
      json grid = shownControl(run.shown(c.dialog), IDC_CUSTOMER_DISCOUNT_TABLE);
      EXPECT_EQ(grid["current"]["column"], IDC_DISCOUNT_TABLE_VALUE_COLUMN);
      EXPECT_EQ(grid["current"]["row"], c.row);
    }
  }
}

// Percentages: 99.99 passes; what rounds to 100 on the Record page, or
// above 99.99 in the table, is refused and reset to 0; negative ones pass.
struct RateCase {
  std::string input;
  const char* message;  // nullptr: accepted
  double stored;
  std::size_t offset;  // of the f64 in the setup record
};

TEST(CustomerDefaults, DiscountRatesStayBelowOneHundred) {
  const char* record = "Discount must be between 0 and 99.99.";
  const char* cell = "Value must be within the range 0 - 99.99";
  const RateCase cases[] = {
      {"type 3608 1964 \"99.99\"\n", nullptr, 99.99, offsetof(setupmap, custSettlementDiscount)},
      {"type 3608 1964 \"100\"\n", record, 0, offsetof(setupmap, custSettlementDiscount)},
      {"type 3608 1395 \"99.999\"\n", record, 0, offsetof(setupmap, custDiscountRate)},
      {"type 3608 1395 \"-5\"\n", nullptr, -5, offsetof(setupmap, custDiscountRate)},
  };
  TestCompany co;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    auto run = co.use(kOpen + c.input + (c.message ? "answer ok\n" : "") + kOk);
    EXPECT_EQ(run.messages().size(), c.message ? 1u : 0u);
    if (c.message) EXPECT_EQ(run.messages()[0], c.message);
    double stored;
    std::memcpy(&stored, co.record(DF_SETUP, 1).data() + c.offset, sizeof stored);
    EXPECT_DOUBLE_EQ(stored, c.stored);
  }
  // The table's Discount % column.
  auto run = co.use(
      "open 3607 3\ncell 3611 1396 0 1794 \"99.99\"\n"
      "cell 3611 1396 1 1794 \"99.999\"\nanswer ok\n" +
      kOk);
  EXPECT_EQ(run.messages(), std::vector<std::string>{cell});
  EXPECT_DOUBLE_EQ(copy(storedSetup(co).custDiscountRates[0]), 99.99);
  EXPECT_DOUBLE_EQ(copy(storedSetup(co).custDiscountRates[1]), 0);
}

// The "To" boxes follow in 16 bits: a "From" of 0 gives 65535.
TEST(CustomerDefaults, ToBoxesFollowTheNextPeriodIn16Bits) {
  const std::pair<std::string, std::string> cases[] = {{"0", "65535"}, {"45", "44"}};
  TestCompany co;
  for (const auto& [from, to] : cases) {
    auto run = co.use("open 3607 2\ntype 3610 1620 \"" + from + "\"\nleave 3610 1620\nshow 3610\n");
    EXPECT_EQ(shownControl(run.shown(IDD_CUSTOMER_AGEING), IDC_AGEING_PERIOD1_TO)["text"], to);
  }
}

TEST(CustomerDefaults, OpenedOnTheDiscountPageTheTableHasTheFocus) {
  TestCompany co;
  auto run = co.use("open 3607 3\nshow\npage 3607 0\nshow\n");
  EXPECT_EQ(run.shown(0, IDD_CUSTOMER_DEFAULTS)["currentPage"], 3);
  EXPECT_TRUE(run.shown(0, IDD_CUSTOMER_DISCOUNT)["visible"]);
  EXPECT_EQ(focused(run.shown(0, IDD_CUSTOMER_DISCOUNT)), IDC_CUSTOMER_DISCOUNT_TABLE);
  EXPECT_TRUE(focused(run.shown(0, IDD_CUSTOMER_RECORD)).is_null());
  // The Record page takes its opening focus when the person turns to it.
  EXPECT_EQ(focused(run.shown(1, IDD_CUSTOMER_RECORD)), IDC_LEDGER_CREDIT_LIMIT);
}

// Editions 4, 8 and 16 have no additional discount (group, rate, type and
// the Discount page), 16 no account status; what they hide keeps its
// stored value on OK.
TEST(CustomerDefaults, EditionsHideTheDiscountsAndTheAccountStatus) {
  TestCompany co;
  setupmap setup = storedSetup(co);
  setup.custAccountStatus = 3;
  storeSetup(co, setup);
  for (int edition : {1, 2, 4, 8, 16}) {
    SCOPED_TRACE("edition " + std::to_string(edition));
    const bool discounts = edition < 4;
    const std::string script = kOpen + "show\npage 3607 3\n";
    const std::string options = "--edition " + std::to_string(edition);
    auto run = discounts ? co.use(script, options) : co.useFailing(script, options);
    json record = run.shown(IDD_CUSTOMER_RECORD);
    for (int id : {IDC_CUSTOMER_DISCOUNT_RATE, IDC_CUSTOMER_DISCOUNT_TYPE,
                   IDC_CUSTOMER_DISCOUNT_RATE_LABEL, IDC_CUSTOMER_DISCOUNT_TYPE_LABEL})
      EXPECT_EQ(removed(shownControl(record, id)), !discounts) << id;
    EXPECT_EQ(shownControl(record, IDC_CUSTOMER_DISCOUNT_GROUP)["visible"], discounts);
    json supplier = co.use("open 3623\nshow 3624\n", options).shown(IDD_SUPPLIER_RECORD);
    for (int id : {IDC_LEDGER_ACCOUNT_STATUS, IDC_LEDGER_ACCOUNT_STATUS_GROUP,
                   IDC_LEDGER_ACCOUNT_STATUS_LABEL}) {
      EXPECT_EQ(removed(shownControl(record, id)), edition == 16) << id;
      EXPECT_EQ(removed(shownControl(supplier, id)), edition == 16) << id;
    }
    EXPECT_EQ(run.shown(IDD_CUSTOMER_DISCOUNT)["hidden"], !discounts);
    co.use(kOpen + "select 3608 1373 2\n" + kOk, options);
    const setupmap after = storedSetup(co);
    EXPECT_EQ(copy(after.custDepartment), 2);
    EXPECT_EQ(copy(after.custAccountStatus), 3);
    EXPECT_EQ(copy(after.custDiscountType), copy(setup.custDiscountType));
    EXPECT_EQ(std::memcmp(after.custDiscountValues, setup.custDiscountValues,
                          sizeof setup.custDiscountValues),
              0);
  }
}

TEST(CustomerDefaults, CancelAndTheCloseBoxStoreNothing) {
  TestCompany co;
  const setupmap before = storedSetup(co);
  for (const char* end : {"click 3607 2\n", "close 3609\n"}) {
    SCOPED_TRACE(end);
    auto run = co.use(kOpen + "type 3608 1211 \"9\"\npage 3607 1\ntype 3609 1431 \"X\"\n" + end,
                      "--multi-user");
    EXPECT_EQ(run.all("dialog").back()["action"], "closed");
    EXPECT_EQ(run.all("action").back()["action"], "ended");
    EXPECT_TRUE(run.all("update-sent").empty());
    expectSameRecord(before, storedSetup(co));
    EXPECT_EQ(packageIni(co), "");
  }
}

// Enter on a major control account clears the box (the finder it opens
// otherwise is the product defaults test's).
TEST(CustomerDefaults, EnterOnAControlAccountClearsTheNominalCodeBox) {
  TestCompany co;
  auto control = co.use(kOpen + "type 3608 1714 \"9999\"\nkey 3608 1714 enter\nshow 3608\n");
  EXPECT_EQ(shownControl(control.shown(IDD_CUSTOMER_RECORD), IDC_LEDGER_NOMINAL_CODE)["text"], "");
}

// Every field, and nothing of the customer block.
TEST(SupplierDefaults, OkStoresBothPagesAndNothingElse) {
  TestCompany co;
  const setupmap before = storedSetup(co);
  auto run = co.use(std::string("open 3623\n") +
                    "type 3624 1211 \"3000\"\ntype 3624 1407 \"60\"\ntype 3624 1964 \"1.5\"\n"
                    "type 3624 1405 \"10\"\ntype 3624 2075 \"Net 60\"\nselect 3624 1373 2\n"
                    "select 3624 2061 0\ntype 3624 1714 \"7000\"\nkey 3624 1714 enter\n"
                    "select 3624 1317 1\nselect 3624 1999 1\npage 3623 1\ntype 3625 1619 \"7\"\n"
                    "type 3625 1622 \"150\"\nclick 3625 1219\n"
                    "click 3625 1218\n" +
                    "click 3623 1942\n");
  setupmap expected = before;
  expected.suppCreditLimit = 3000;
  expected.suppPaymentDays = 60;
  expected.suppSettlementDiscount = 1.5;
  expected.suppSettlementDays = 10;
  setText(expected.suppTerms, "Net 60");
  expected.suppDepartment = 2;
  expected.suppTaxCode = 0;
  setText(expected.suppNominalCode, "7000");
  expected.suppCurrency = 1;
  expected.suppAccountStatus = 1;
  expected.suppAgeingPeriods[0] = 7;
  expected.suppAgeingPeriods[3] = 150;
  expected.suppFutureTotals = 1;
  expected.suppCalendarAgeing = 1;
  expectSameRecord(expected, storedSetup(co));
  expectOneNotice(run, 274, 8);
}

// The editing station holds its action, which keeps a second one out, and
// its save reads the record again, so that the other station's change
// survives beside its own.
struct StationCase {
  const char* name;  // the action's
  int action;
  std::string open, edit, finish;
  bool ownsLabels;  // the dialog edits the analysis labels and the call-charge rate itself
  void (*expectEdit)(const setupmap& before, const setupmap& after);
};

TEST(SetupRecordDialogs, TheSaveKeepsWhatAnotherStationStoredMeanwhile) {
  const StationCase kCases[] = {
      {"Company Preferences", 25, "open 3600\n", "type 3601 1673 \"Merged Name\"\n",
       "click 3600 1942\n", true,
       [](const setupmap&, const setupmap& after) {
         EXPECT_STREQ(after.companyName, "Merged Name");
       }},
      {"Sales Defaults", 26, "open 3607\n", "type 3608 1211 \"7777\"\n", "click 3607 1942\n", false,
       [](const setupmap&, const setupmap& after) {
         EXPECT_DOUBLE_EQ(copy(after.custCreditLimit), 7777);
       }},
      {"Purchase Defaults", 27, "open 3623\n", "type 3624 1211 \"4444\"\n", "click 3623 1942\n",
       false,
       [](const setupmap&, const setupmap& after) {
         EXPECT_DOUBLE_EQ(copy(after.suppCreditLimit), 4444);
       }},
      // The question about the lower precision waits while the other stores.
      {"Product Defaults", 28, "open 3612\n",
       "type 3613 2011 \"Pack\"\nselect 3613 2146 0\nclick 3612 1942\n", "answer yes\n", false,
       [](const setupmap&, const setupmap& after) {
         EXPECT_STREQ(after.prodUnitOfSale, "Pack");
         EXPECT_EQ(copy(after.prodUnitDecimals), 0);
       }},
      {"Invoice Defaults", 51, "open 3627\n", "click 3626 2151\n", "click 3627 1\n", false,
       [](const setupmap& before, const setupmap& after) {
         EXPECT_EQ(copy(after.invUpdateOrderNo), before.invUpdateOrderNo ? 0 : 1);
       }},
  };
  for (const StationCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TestCompany co;
    const setupmap before = storedSetup(co);
    auto storeElsewhere = [&] {
      setupmap changed = storedSetup(co);
      changed.fyStartMonth = 3;
      changed.listUpdate[4] = 0;
      if (!c.ownsLabels) {
        setText(changed.customerAnalysisLabel[0], "Region");
        setText(changed.supplierAnalysisLabel[2], "Buyer");
        changed.callChargeRate = 9.5;
      }
      storeSetup(co, changed);
    };
    editWhileAnotherStationStores(co, c.open, c.edit, c.action, c.name, storeElsewhere, c.finish);
    const setupmap after = storedSetup(co);
    c.expectEdit(before, after);
    EXPECT_EQ(copy(after.fyStartMonth), 3);
    EXPECT_EQ(copy(after.listUpdate[4]), 0);
    if (c.ownsLabels) continue;
    EXPECT_STREQ(after.customerAnalysisLabel[0], "Region");
    EXPECT_STREQ(after.supplierAnalysisLabel[2], "Buyer");
    EXPECT_DOUBLE_EQ(copy(after.callChargeRate), 9.5);
  }
}

}  // namespace
}  // namespace vx70::test
