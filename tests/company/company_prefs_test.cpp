// Company Preferences (3600 and its pages) driven as a person uses it,
// checked against the stored setup record byte for byte.
#include <cstddef>
#include <cstring>
#include <memory>
#include <set>

#include "api/records.h"
#include "frame/res/ids_company.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

const std::string kOpen = "open 3600\n";
const std::string kOk = "click 3600 1942\n";
const std::string kShowParameters = "show 3603\n";
// A person brings the Parameters page to the front before using it.
const std::string kToParameters = "page 3600 2\n";

// The "Others" boxes in the order the page packs them.
constexpr int kOthers[] = {IDC_PREFS_ACCESS_RIGHTS,   IDC_PREFS_NO_VISA_WARNING,
                           IDC_PREFS_EXCLUDE_DELETED, IDC_PREFS_NO_RECURRING,
                           IDC_PREFS_COPY_SKELETON,   IDC_PREFS_ACCOUNT_STATUS,
                           IDC_PREFS_PPSR_BY_SPLIT,   IDC_PREFS_BANK_REC_GROUPING,
                           IDC_PREFS_NEGATIVE_STOCK,  IDC_PREFS_WORKCLOCK};

json control(const DriveRun& run, int dialog, int id) {
  return shownControl(run.shown(dialog), id);
}

// A user who is not the manager, with access rights on.
void addClerk(const TestCompany& co) { storeUser(co, 2, "CLERK"); }

TEST(CompanyPrefs, OkStoresEveryPageIntoTheSetupRecord) {
  TestCompany co;
  setupmap before = storedSetup(co);
  before.retiredParamFlag = 1;
  storeSetup(co, before);
  auto run = co.use(kOpen +
                    "type 3601 1673 \"Acme Widgets\"\ntype 3601 1029 \"1 High Street\"\n"
                    "type 3601 2068 \"01234 567890\"\ntype 3601 2318 \"office@acme.example\"\n"
                    "type 3601 1310 \"CR-42\"\nclick 3601 1998\npage 3600 1\n"
                    "type 3602 1044 \"  Road  \"\ntype 3602 1925 \" Area \"\n"
                    "type 3602 1848 \"Group\"\npage 3600 2\nclick 3603 2365\nclick 3603 2449\n"
                    "click 3603 1127\ntype 3603 1769 \"40\"\nselect 3603 2061 5\n"
                    "type 3603 1881 \"1.25\"\n" +
                    kOk);

  setupmap expected = before;
  setText(expected.companyName, "Acme Widgets");
  setText(expected.addressLine[0], "1 High Street");
  setText(expected.telephone, "01234 567890");
  setText(expected.email, "office@acme.example");
  setText(expected.creditRefNo, "CR-42");
  expected.printNameOnStationery = before.printNameOnStationery ? 0 : 1;
  // Address labels are trimmed in place after the copy: the terminator
  // moves forward over the trailing blanks, which stay behind it.
  std::memcpy(expected.addressLabel[0], "  Road\0 \0\0\0", 11);
  setText(expected.customerAnalysisLabel[0], " Area ");  // analysis labels are not
  setText(expected.supplierAnalysisLabel[2], "Group");
  expected.displayAccountStatus = before.displayAccountStatus ? 0 : 1;
  expected.groupBankRecItems = before.groupBankRecItems ? 0 : 1;
  expected.printEndBanner = before.printEndBanner ? 0 : 1;
  expected.chequeLinesPerPage = 40;
  expected.nonVatableTaxCode = 5;
  expected.callChargeRate = 1.25;
  expected.retiredParamFlag = 0;
  expectSameRecord(expected, storedSetup(co));

  // The other stations are told, the title follows the name, and the
  // access menu the access rights.
  expectOneNotice(run, 274, 8);
  ASSERT_FALSE(run.all("title").empty());
  EXPECT_EQ(run.all("title").back()["text"], "VX70 - Acme Widgets");
  ASSERT_FALSE(run.all("access-menu").empty());
  EXPECT_EQ(run.all("access-menu").back()["enabled"], before.accessRights != 0);
  EXPECT_EQ(run.all("dialog").back()["action"], "closed");
}

// Cancel stores nothing and throws away what the pages changed; the next
// opening shows the stored record, so that OK without a change stores it as
// it was (but for the address label, trimmed).
TEST(CompanyPrefs, CancelStoresNothingAndThePagesShowTheStoredRecord) {
  TestCompany co;
  setupmap setup = storedSetup(co);
  setText(setup.addressLabel[1], "Town   ");
  setText(setup.addressLine[1], "Springfield");
  setText(setup.supplierAnalysisLabel[1], "Region");
  setup.chequeLinesPerPage = 33;
  setup.nonVatableTaxCode = 9;
  setup.workclockLink = 1;
  storeSetup(co, setup);
  auto run = co.use(kOpen +
                    "type 3601 1673 \"Changed\"\ntype 3601 1030 \"Elm Row\"\npage 3600 2\n"
                    "click 3603 2244\nclick 3603 1005\nclick 3600 2\n" +
                    kOpen + "show\n");
  expectSameRecord(setup, storedSetup(co));
  EXPECT_TRUE(run.all("update-sent").empty());
  const struct {
    int dialog, control;
    const char* key;
    json value;
  } kShown[] = {
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_CAPTION2, "text", "Town"},  // the label, trimmed
      // Typing stops at the field's size, also on a page that links to the
      // container's buffer.
      {IDD_PREFS_ADDRESS, IDC_PREFS_COMPANY_NAME, "limit", 60},
      {IDD_PREFS_LABELS, IDC_PREFS_ADDRESS_LABEL1, "limit", 10},
  };
  for (const auto& s : kShown)
    EXPECT_EQ(control(run, s.dialog, s.control)[s.key], s.value) << s.control;
  EXPECT_TRUE(removed(control(run, IDD_PREFS_PARAMETERS, IDC_PREFS_AGE_DISPUTES)));
  co.use(kOpen + kOk);
  setText(setup.addressLabel[1], "Town");
  expectSameRecord(setup, storedSetup(co));
}

// Which controls each edition removes, and where the "Others" boxes land:
// five to a column, left column first.
struct EditionCase {
  int edition;
  std::set<int> gone;  // disabled and hidden
};

TEST(CompanyPrefs, EachEditionRemovesItsControlsAndPacksTheOthers) {
  const EditionCase cases[] = {
      {1, {IDC_PREFS_AGE_DISPUTES}},
      {2,
       {IDC_PREFS_AGE_DISPUTES, IDC_PREFS_CALL_CHARGE_RATE, IDC_PREFS_CALL_CHARGE_GROUP,
        IDC_PREFS_CALL_CHARGE_CAPTION}},
      {4,
       {IDC_PREFS_AGE_DISPUTES, IDC_PREFS_NEGATIVE_STOCK, IDC_PREFS_ITEM_VAT,
        IDC_PREFS_OTHERS_GROUP, IDC_PREFS_CALL_CHARGE_CAPTION, IDC_PREFS_CHEQUE_LINES,
        IDC_PREFS_CHEQUE_LINES_CAPTION, IDC_PREFS_CALL_CHARGE_RATE, IDC_PREFS_CALL_CHARGE_GROUP}},
      {8,
       {IDC_PREFS_AGE_DISPUTES, IDC_PREFS_NEGATIVE_STOCK, IDC_PREFS_ITEM_VAT,
        IDC_PREFS_OTHERS_GROUP, IDC_PREFS_CALL_CHARGE_CAPTION, IDC_PREFS_NO_RECURRING,
        IDC_PREFS_CHEQUE_LINES, IDC_PREFS_CHEQUE_LINES_CAPTION, IDC_PREFS_EXCLUDE_DELETED}},
      {16,
       {IDC_PREFS_AGE_DISPUTES, IDC_PREFS_ACCESS_RIGHTS, IDC_PREFS_COPY_SKELETON,
        IDC_PREFS_WORKCLOCK, IDC_PREFS_NEGATIVE_STOCK, IDC_PREFS_CHEQUE_LINES,
        IDC_PREFS_CHEQUE_LINES_CAPTION, IDC_PREFS_CALL_CHARGE_RATE, IDC_PREFS_CALL_CHARGE_GROUP,
        IDC_PREFS_CALL_CHARGE_CAPTION}},
  };
  TestCompany co;
  for (const auto& c : cases) {
    SCOPED_TRACE("edition " + std::to_string(c.edition));
    auto run = co.use(kOpen + "show\n", "--edition " + std::to_string(c.edition));
    json page = run.shown(IDD_PREFS_PARAMETERS);
    for (const auto& ctl : page["controls"]) {
      int id = ctl["id"];
      if (id == 65535 || id == IDC_PREFS_HELP_GROUP || id == IDC_PREFS_TOOL_TIPS ||
          id == IDC_PREFS_BUBBLE_HELP)
        continue;
      if (c.gone.count(id))
        EXPECT_TRUE(removed(ctl)) << id;
      else if (id != IDC_PREFS_CALL_CHARGE_RATE)
        EXPECT_TRUE(ctl["visible"].get<bool>() && ctl["enabled"].get<bool>()) << id;
    }
    // Edition 8 keeps the call-charge combo in sight, greyed.
    json combo = shownControl(page, IDC_PREFS_CALL_CHARGE_RATE);
    if (c.edition == 8) {
      EXPECT_TRUE(combo["visible"]);
      EXPECT_FALSE(combo["enabled"]);
    } else if (!c.gone.count(IDC_PREFS_CALL_CHARGE_RATE)) {
      EXPECT_TRUE(combo["enabled"]);
    }
    int placed = 0;
    for (int id : kOthers) {
      json box = shownControl(page, id);
      if (c.gone.count(id)) continue;
      int x = placed < 5 ? 20 : 195;
      int y = 168 + 23 * (placed < 5 ? placed : placed - 5);
      EXPECT_EQ(box["rect"][0], x) << id;
      EXPECT_EQ(box["rect"][1], y) << id;
      ++placed;
    }
    // The entry edition keeps no credit reference.
    json address = run.shown(IDD_PREFS_ADDRESS);
    EXPECT_EQ(removed(shownControl(address, IDC_PREFS_CREDIT_REF_NO)), c.edition == 16);
    EXPECT_EQ(removed(shownControl(address, IDC_PREFS_CREDIT_REF_CAPTION)), c.edition == 16);
  }
}

// Hidden boxes give back what Init put in them; edition 8 keeps the stored
// "exclude deleted" value.
TEST(CompanyPrefs, HiddenOptionsKeepTheirStoredValues) {
  TestCompany co;
  setupmap setup = storedSetup(co);
  setup.excludeDeleted = 1;
  setup.allowNegativeStock = 1;
  setup.ageDisputesAsCurrent = 1;
  setup.accessRights = 0;
  storeSetup(co, setup);
  auto run = co.use(kOpen + kOk, "--edition 8");
  setupmap after = storedSetup(co);
  EXPECT_EQ(copy(after.excludeDeleted), 1);
  EXPECT_EQ(copy(after.allowNegativeStock), 1);
  EXPECT_EQ(copy(after.ageDisputesAsCurrent), 1);
}

TEST(CompanyPrefs, OkFollowsTheCompanyName) {
  TestCompany co;
  auto run = co.use(kOpen + "type 3601 1673 \"\"\nshow 3600\ntype 3601 1673 \"   \"\nshow 3600\n" +
                    "type 3601 1673 \"B\"\nshow 3600\n");
  EXPECT_FALSE(shownControl(run, 0, IDD_COMPANY_PREFS, IDC_OK)["enabled"]);
  EXPECT_FALSE(shownControl(run, 1, IDD_COMPANY_PREFS, IDC_OK)["enabled"]) << "blanks are trimmed";
  EXPECT_TRUE(shownControl(run, 2, IDD_COMPANY_PREFS, IDC_OK)["enabled"]);
  // The focus starts on the name.
  auto debug = co.use(kOpen + "show 3601\ntype 3601 1673 \"\"\nshow 3600\n", "--debug");
  EXPECT_TRUE(shownControl(debug, 0, IDD_PREFS_ADDRESS, IDC_PREFS_COMPANY_NAME)["focus"]);
  EXPECT_TRUE(shownControl(debug, 1, IDD_COMPANY_PREFS, IDC_OK)["enabled"])
      << "debug mode leaves OK alone";
}

TEST(CompanyPrefs, LeavingALabelRetitlesTheAddressLine) {
  TestCompany co;
  auto run = co.use(kOpen + "page 3600 1\ntype 3602 1046 \" County \"\nleave 3602 1046\nshow\n");
  EXPECT_EQ(control(run, IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_CAPTION3)["text"], " County");
  EXPECT_EQ(control(run, IDD_PREFS_LABELS, IDC_PREFS_ADDRESS_LABEL3)["text"], " County ")
      << "the buffer keeps the typing";
}

TEST(CompanyPrefs, LockedDetailsAreReadOnly) {
  TestCompany co;
  auto open = co.use(kOpen + "show 3601\n");
  auto locked = co.use(kOpen + "show 3601\n", "--details-locked");
  for (int id : {IDC_PREFS_COMPANY_NAME, IDC_PREFS_ADDRESS_LINE1, IDC_PREFS_ADDRESS_LINE5,
                 IDC_PREFS_TELEPHONE, IDC_PREFS_EMAIL, IDC_PREFS_WEB_SITE, IDC_PREFS_FAX,
                 IDC_PREFS_VAT_REG_NO, IDC_PREFS_CREDIT_REF_NO, IDC_PREFS_PRINT_NAME}) {
    EXPECT_FALSE(control(locked, IDD_PREFS_ADDRESS, id)["enabled"]) << id;
    EXPECT_TRUE(control(open, IDD_PREFS_ADDRESS, id)["enabled"]) << id;
  }
  auto style = [](const DriveRun& r) {
    json frame = control(r, IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_FRAME);
    return std::stoul(frame["style"].get<std::string>(), nullptr, 16);
  };
  EXPECT_NE(style(open) & 0x8000, 0u);
  EXPECT_EQ(style(locked) & 0x8000, 0u);
}

// A guarded box refuses the click, with its message, while its rule holds
// (the box stays as stored); otherwise the click stands.  The split
// listing's rule is another station logged in, which OK's notice reaches.
TEST(CompanyPrefs, GuardedBoxesRefuseTheClickWhileTheirRuleHolds) {
  const struct {
    int box;
    std::size_t flag;      // its low byte in the setup record
    const char* refusing;  // the station options under which the rule holds
    const char* message;
    int kind;
  } kCases[] = {
      {IDC_PREFS_VAT_CASH, offsetof(setupmap, vatCashAccounting), "--vat-locked",
       "You can not change your VAT Scheme whilst there are VAT unreconciled transactions", 2},
      {IDC_PREFS_NEGATIVE_STOCK, offsetof(setupmap, allowNegativeStock), "--negative-stock 3",
       "One or more Products have a negative\nstock value.", 1},
      {IDC_PREFS_PPSR_BY_SPLIT, offsetof(setupmap, listPpSrBySplit), "--multi-user",
       "You cannot change this value when other users are logged in", 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.message);
    TestCompany co;
    setupmap setup = storedSetup(co);
    setup.allowNegativeStock = 1;  // the rule guards switching it off
    storeSetup(co, setup);
    const int before = co.record(DF_SETUP, 1).at(c.flag);
    std::unique_ptr<StationProcess> other;
    if (c.box == IDC_PREFS_PPSR_BY_SPLIT)
      other = std::make_unique<StationProcess>(co, "--multi-user --station OTHER");
    const std::string click = kToParameters + "click 3603 " + std::to_string(c.box) + "\n";
    auto refused = co.use(kOpen + click + "answer ok\n" + kOk, c.refusing);
    EXPECT_EQ(refused.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(refused.all("message").at(0)["kind"], c.kind);
    EXPECT_EQ(co.record(DF_SETUP, 1).at(c.flag), before);
    if (other) {
      other->send("wait update\n");
      EXPECT_EQ(other->finish().all("update").at(0)["code"], 274);
      other.reset();
    }
    auto free = co.use(kOpen + click + kOk);
    EXPECT_TRUE(free.messages().empty());
    EXPECT_EQ(co.record(DF_SETUP, 1).at(c.flag), before ? 0 : 1);
  }
}

TEST(CompanyPrefs, ItemVatWarnsInTheFullEditionAndTheClickStands) {
  TestCompany co;
  const setupmap before = storedSetup(co);
  auto run = co.use(kOpen + kToParameters + "click 3603 2174\nanswer ok\n" + kOk);
  EXPECT_EQ(run.messages(), std::vector<std::string>{"Warning: Any change you make to this check "
                                                     "box,\nwill affect incomplete sales orders."});
  EXPECT_EQ(copy(storedSetup(co).itemVatAmendable), before.itemVatAmendable ? 0 : 1);
  EXPECT_TRUE(
      co.use(kOpen + kToParameters + "click 3603 2174\n" + kOk, "--edition 2").messages().empty());
}

// ---- Whose call-charge rate --------------------------------------------------------

TEST(CompanyPrefs, AUserOtherThanTheManagerEditsTheOwnCallChargeRate) {
  TestCompany co;
  setupmap setup = storedSetup(co);
  setup.accessRights = 1;
  setup.callChargeRate = 2.5;
  storeSetup(co, setup);
  addClerk(co);
  auto clerk = co.use(kOpen + kToParameters + kShowParameters + "type 3603 1881 \"0.75\"\n" + kOk,
                      "--user CLERK --call-charge-rate 1.5");
  EXPECT_EQ(control(clerk, IDD_PREFS_PARAMETERS, IDC_PREFS_CALL_CHARGE_RATE)["text"], "1.50");
  EXPECT_DOUBLE_EQ(copy(storedSetup(co).callChargeRate), 2.5) << "the company rate stays";
  EXPECT_DOUBLE_EQ(copy(co.stored<accessmap>(DF_USERS, 2).callChargeRate), 0.75)
      << "the user's own rate goes with the user's options";
  auto later = co.use(kOpen + kShowParameters, "--user CLERK");
  EXPECT_EQ(control(later, IDD_PREFS_PARAMETERS, IDC_PREFS_CALL_CHARGE_RATE)["text"], "0.75");

  auto manager = co.use(kOpen + kToParameters + kShowParameters + "type 3603 1881 \"0.75\"\n" + kOk,
                        "--call-charge-rate 1.5");
  EXPECT_EQ(control(manager, IDD_PREFS_PARAMETERS, IDC_PREFS_CALL_CHARGE_RATE)["text"], "2.50");
  EXPECT_DOUBLE_EQ(copy(storedSetup(co).callChargeRate), 0.75);
}

TEST(CompanyPrefs, TheWorkclockLinkRewritesItsChartOnEveryOk) {
  TestCompany co;
  auto chart = std::filesystem::path(co.dir()) / "GLCOAT.CSV";
  auto off = co.use(kOpen + kOk);
  EXPECT_FALSE(std::filesystem::exists(chart));
  auto on = co.use(kOpen + kToParameters + "click 3603 2244\n" + kOk + kOpen + kOk);
  EXPECT_EQ(on.all("chart-written").size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(chart));
}

}  // namespace
}  // namespace vx70::test
