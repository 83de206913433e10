// Supplier Defaults (3623 and its pages) driven as a person uses it on the
// demo company, checked against the stored setup record byte for byte.
#include <cstring>

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

}  // namespace
}  // namespace vx70::test
