// The dialogs that edit the setup record, each open on one station while
// another station stores into the same record: the editing station holds
// its action, which keeps a second one out, and its save reads the record
// again, so that the other station's change survives beside its own.
#include "api/records.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

struct Case {
  const char* name;  // the action's
  int action;
  std::string open, edit, finish;
  bool ownsLabels;  // the dialog edits the analysis labels and the call-charge rate itself
  void (*expectEdit)(const setupmap& before, const setupmap& after);
};

TEST(SetupRecordDialogs, TheSaveKeepsWhatAnotherStationStoredMeanwhile) {
  const Case kCases[] = {
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
  for (const Case& c : kCases) {
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
