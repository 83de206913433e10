// Supplier Defaults (3623 and its pages) driven as a person uses it on the
// demo company, checked against the stored setup record byte for byte.
#include <cstring>
#include <set>

#include "api/records.h"
#include "frame/res/ids_ledgers.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

const std::string kOpen = "open 3623\n";
const std::string kOk = "click 3623 1942\n";

// Every field, and nothing of the customer block.
TEST(SupplierDefaults, OkStoresBothPagesAndNothingElse) {
  TestCompany co;
  const setupmap before = storedSetup(co);
  auto run = co.use(kOpen +
                    "type 3624 1211 \"3000\"\ntype 3624 1407 \"60\"\ntype 3624 1964 \"1.5\"\n"
                    "type 3624 1405 \"10\"\ntype 3624 2075 \"Net 60\"\nselect 3624 1373 2\n"
                    "select 3624 2061 0\ntype 3624 1714 \"7000\"\nkey 3624 1714 enter\n"
                    "select 3624 1317 1\nselect 3624 1999 1\npage 3623 1\ntype 3625 1619 \"7\"\n"
                    "type 3625 1622 \"150\"\nclick 3625 1219\n"
                    "click 3625 1218\n" +
                    kOk);
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
  auto sent = run.all("update-sent");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]["code"], 274);
  EXPECT_EQ(sent[0]["flag"], 8);
}

// The first failure reports on its page; nothing is stored.
struct CheckCase {
  std::string script;
  const char* message;
  int page;
  int dialog;
  int focus;
};

TEST(SupplierDefaults, ChecksReportOnTheirPage) {
  const CheckCase cases[] = {
      {"type 3624 1714 \"1234\"\nkey 3624 1714 enter\npage 3623 1\n"
       "type 3625 1620 \"20\"\n" +
           kOk + "answer ok\n",
       "You have entered an invalid period range. Enter the lowest value first and the highest "
       "last. e.g. 30, 60, 90, 120",
       1, IDD_SUPPLIER_AGEING, IDC_AGEING_PERIOD2_FROM},
      {"type 3624 1714 \"1234\"\nkey 3624 1714 enter\npage 3623 1\n" + kOk + "answer ok\n",
       "Invalid or missing nominal code", 0, IDD_SUPPLIER_RECORD, IDC_LEDGER_NOMINAL_CODE},
      {"type 3624 1964 \"100\"\nanswer ok\n", "Discount must be between 0 and 99.99", 0,
       IDD_SUPPLIER_RECORD, IDC_LEDGER_SETTLEMENT_DISCOUNT},
  };
  TestCompany co;
  const setupmap before = storedSetup(co);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    auto run = co.use(kOpen + c.script + "show\n");
    EXPECT_EQ(run.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(run.shown(IDD_SUPPLIER_DEFAULTS)["currentPage"], c.page);
    EXPECT_EQ(focused(run.shown(c.dialog)), c.focus);
    expectSameRecord(before, storedSetup(co));
  }
}

// The entry edition hides the account status; the other editions show
// every control, and OK works in each.
TEST(SupplierDefaults, TheEntryEditionHasNoAccountStatus) {
  TestCompany co;
  for (int edition : {1, 4, 16}) {
    SCOPED_TRACE("edition " + std::to_string(edition));
    auto run = co.use(kOpen + "show 3624\nselect 3624 1373 1\n" + kOk,
                      "--edition " + std::to_string(edition));
    const json record = run.shown(IDD_SUPPLIER_RECORD);
    for (const auto& c : record["controls"]) {
      const bool statusGroup = c["id"] == IDC_LEDGER_ACCOUNT_STATUS ||
                               c["id"] == IDC_LEDGER_ACCOUNT_STATUS_GROUP ||
                               c["id"] == IDC_LEDGER_ACCOUNT_STATUS_LABEL;
      const bool gone = edition == 16 && statusGroup;
      EXPECT_EQ(c["visible"], !gone) << c["id"];
      EXPECT_EQ(c["enabled"], !gone) << c["id"];
    }
    EXPECT_EQ(copy(storedSetup(co).suppDepartment), 1);
  }
}

// A supplier analysis label that another station stores while the dialog
// is open (no setup notice reaches it) survives OK.
TEST(SupplierDefaults, OkKeepsTheLabelsStoredMeanwhile) {
  TestCompany co;
  editWhileAnotherStationStores(
      co, kOpen, "type 3624 1211 \"4444\"\n", 27, "Purchase Defaults",
      [&] {
        setupmap changed = storedSetup(co);
        setText(changed.supplierAnalysisLabel[2], "Buyer");
        storeSetup(co, changed);
      },
      kOk);
  const setupmap after = storedSetup(co);
  EXPECT_DOUBLE_EQ(copy(after.suppCreditLimit), 4444);
  EXPECT_STREQ(after.supplierAnalysisLabel[2], "Buyer");
}

}  // namespace
}  // namespace vx70::test
