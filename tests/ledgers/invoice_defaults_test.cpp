// Invoice Defaults (3627 and its page 3626) driven as a person uses it,
// checked against the stored setup record byte for byte.
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "api/records.h"
#include "frame/res/ids_options.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

const std::string kOpen = "open 3627\n";
const std::string kOk = "click 3627 1\n";
const std::string kOrdersWarning =
    "Warning: Any change you make to this check box,\nwill affect incomplete sales orders.";

json page(const DriveRun& run, int id) {
  return shownControl(run.shown(IDD_INVOICE_DEFAULTS_PAGE), id);
}

// Every switch turned, and the service text as it is shown and stored.
TEST(InvoiceDefaults, OkStoresEverySwitchAndTheServiceText) {
  struct Case {
    const char* stored;
    std::optional<std::string> typed;
    const char* shown;
    const char* storedAfter;
  };
  const Case cases[] = {
      {"     ", std::nullopt, "Services", "Services"},
      {"Labour", "", "Labour", "Service Default Text"},
      {"Labour", "  Parts and labour  ", "Labour", "  Parts and labour"},
  };
  TestCompany co;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    setupmap before = storedSetup(co);
    before.invAccountRefDefault = 1;
    before.invItemsQuantity = 0;
    before.invUpdateOrderNo = 1;
    before.invDiscountUnitPrice = 0;
    before.invUseServiceText = 0;
    before.invUpdateCustDept = 1;
    setText(before.invServiceText, c.stored);
    storeSetup(co, before);
    std::string typing = c.typed ? "type 3626 1992 \"" + *c.typed + "\"\n" : "";
    auto run = co.use(kOpen + "show 3626\nclick 3626 2261\n" + typing +
                      "click 3626 1350\nclick 3626 1354\nclick 3626 2151\n"
                      "click 3626 1398\nanswer ok\nclick 3626 2243\n" +
                      kOk);
    EXPECT_EQ(page(run, IDC_INVOICE_SERVICE_TEXT)["text"], c.shown);
    EXPECT_FALSE(page(run, IDC_INVOICE_SERVICE_TEXT)["enabled"]) << "its switch is off";
    EXPECT_FALSE(page(run, IDC_INVOICE_SERVICE_TEXT_LABEL)["enabled"]);

    setupmap expected = before;
    expected.invAccountRefDefault = 0;
    expected.invItemsQuantity = 1;
    expected.invUpdateOrderNo = 0;
    expected.invDiscountUnitPrice = 1;
    expected.invUseServiceText = 1;
    expected.invUpdateCustDept = 0;
    setText(expected.invServiceText, c.storedAfter);
    expectSameRecord(expected, storedSetup(co));
    EXPECT_TRUE(run.all("update-sent").empty()) << "no other station is told";
    EXPECT_EQ(run.all("dialog").back()["action"], "closed");
  }
}

// Edition 1 warns at every click of "Discount by Unit Price"; the entry
// edition hides "Update Using Customer Department" and still writes it.
TEST(InvoiceDefaults, EditionsWarnAndHide) {
  struct Case {
    int edition;
    std::size_t warnings;
    bool departmentShown;
  };
  const Case cases[] = {{1, 2, true}, {2, 0, true}, {16, 0, false}};
  TestCompany co;
  for (const auto& c : cases) {
    SCOPED_TRACE("edition " + std::to_string(c.edition));
    setupmap before = storedSetup(co);
    before.invUpdateCustDept = 1;
    before.invDiscountUnitPrice = 0;
    storeSetup(co, before);
    std::string answers = c.warnings ? "answer ok\n" : "";
    auto run = co.use(
        kOpen + "click 3626 1398\n" + answers + "click 3626 1398\n" + answers + "show 3626\n" + kOk,
        "--edition " + std::to_string(c.edition));
    EXPECT_EQ(run.messages(), std::vector<std::string>(c.warnings, kOrdersWarning));
    json department = page(run, IDC_INVOICE_UPDATE_CUST_DEPT);
    EXPECT_EQ(department["visible"], c.departmentShown);
    EXPECT_EQ(department["enabled"], c.departmentShown);
    const setupmap after = storedSetup(co);
    EXPECT_EQ(copy(after.invUpdateCustDept), 1);
    EXPECT_EQ(copy(after.invDiscountUnitPrice), 0);
  }
}

// The close box ends the dialog's action.
TEST(InvoiceDefaults, TheCloseBoxEndsTheAction) {
  TestCompany co;
  auto actions = co.use(kOpen + "close 3627\n", "--multi-user").all("action");
  ASSERT_GE(actions.size(), 2u);
  EXPECT_EQ(actions[actions.size() - 2]["action"], "granted");
  EXPECT_EQ(actions.back()["action"], "ended");
}

}  // namespace
}  // namespace vx70::test
