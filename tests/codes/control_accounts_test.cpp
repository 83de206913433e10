// Control Accounts (3621) driven as a person uses it on the demo company,
// checked against what is stored: the control record's slots and the kind
// bits of the nominal records.  Also GetControlAccountNo in process, and
// the account finder that the dialog and the ledger defaults open.
#include <cstdlib>

#include "frame/res/ids_codes.h"
#include "host/loader/module.h"
#include "host/package/finder.h"
#include "station/station.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

// Nominal record numbers of the demo company's chart.
enum Demo : DWORD {
  kDebtors = 1,           // 1100, slot 0, carries a balance
  kCreditors = 2,         // 2100, slot 1
  kBank = 3,              // 1200, slot 2
  kVatSales = 4,          // 2200, slot 3
  kVatPurchases = 5,      // 2201, slot 4
  kDiscountsAllowed = 6,  // 4009, slot 5
  kRetained = 8,          // 3200, slot 7
  kDefaultSales = 9,      // 4900, slot 8
  kCapital = 16,          // 3000
  kSalesA = 17,           // 4000
  kBankDeposit = 21,      // 1210
  kPettyCash = 22,        // 1230
};

const std::vector<DWORD> kDemoSlots = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

std::vector<DWORD> slots(const TestCompany& co) {
  contmap c = co.stored<contmap>(DF_CONTROL, 1);
  return std::vector<DWORD>(c.controlRec, c.controlRec + 15);
}

BYTE kindBits(const TestCompany& co, DWORD record) {
  return co.stored<nommap>(DF_NOMINAL, record).typeFlags;
}

void setNominal(const TestCompany& co, DWORD record, BYTE typeFlags, DWORD link1 = 0,
                DWORD link2 = 0) {
  nommap n = co.stored<nommap>(DF_NOMINAL, record);
  n.typeFlags = typeFlags;
  n.tranLink1 = link1;
  n.tranLink2 = link2;
  co.store(DF_NOMINAL, record, &n);
}

json grid(const DriveRun& run) {
  return shownControl(run.shown(IDD_CONTROL_ACCOUNTS), IDC_CONTROL_ACCOUNTS_GRID);
}

std::string setSlot(int slot, const std::string& code) {
  return "cell 3621 1287 " + std::to_string(slot) + " 1800 \"" + code + "\"\n";
}

const std::string kOpen = "open 3621\n";
const std::string kOk = "click 3621 1812\n";
const std::string kCancel = "click 3621 2\n";

TEST(ControlAccounts, ListsTheSlotsAndCancelChangesNothing) {
  TestCompany co;
  auto control = co.record(DF_CONTROL, 1);
  auto before = co.record(DF_NOMINAL, kRetained);
  DriveRun run = co.use(kOpen + "show 3621\n" + setSlot(7, "4000") + kCancel);
  json g = grid(run);
  ASSERT_EQ(g["rows"].size(), 15u);
  EXPECT_EQ(g["rows"][0], json({"Debtors Control", "1100"}));
  EXPECT_EQ(g["rows"][2], json({"Default Bank", "1200"}));
  EXPECT_EQ(g["rows"][14], json({"Credit Charges", "4400"}));
  EXPECT_EQ(g["marked"], json({0})) << "only the debtors slot carries a balance";
  EXPECT_EQ(g["current"]["row"], 0);
  EXPECT_TRUE(run.all("update-sent").empty());
  EXPECT_EQ(co.record(DF_CONTROL, 1), control);
  EXPECT_EQ(co.record(DF_NOMINAL, kRetained), before);
  EXPECT_EQ(kindBits(co, kSalesA), NOMINAL_ORDINARY);
}

// Each refused save names the rule it broke, selects the slot's row and
// stores nothing.
TEST(ControlAccounts, ARefusedSaveSelectsItsSlotAndStoresNothing) {
  const std::string duplicate = "Can't have duplicate Control Accounts.";
  const std::string notBank = "Control account is not a bank account";
  const struct {
    int slot;
    const char* code;
    std::string message;
  } kCases[] = {
      {7, "2200", duplicate},
      {14, "1100", duplicate},  // the last slot
      {2, "", notBank},
      {2, "4000", notBank},  // names an account: no finder
      {7, "1230", "Control account should not be a bank account"},
      {3, "3000", "Account already has transactions and cannot be used as a control account"},
  };
  TestCompany co;
  setNominal(co, kCapital, NOMINAL_ORDINARY, 0, 9);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.code);
    DriveRun run =
        co.use(kOpen + setSlot(c.slot, c.code) + kOk + "answer ok\nshow 3621\n" + kCancel);
    EXPECT_EQ(run.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(grid(run)["current"]["row"], c.slot);
    EXPECT_EQ(slots(co), kDemoSlots);
  }
  EXPECT_EQ(kindBits(co, kCapital), NOMINAL_ORDINARY);
}

TEST(ControlAccounts, TheSharedPairsAndEmptySlotsAreNoDuplicates) {
  TestCompany co;
  DriveRun shared = co.use(kOpen + setSlot(4, "2200") + setSlot(6, "4009") + setSlot(7, "") +
                           setSlot(8, "") + kOk);
  EXPECT_TRUE(shared.messages().empty());
  auto s = slots(co);
  EXPECT_EQ(s[3], kVatSales);
  EXPECT_EQ(s[4], kVatSales);
  EXPECT_EQ(s[5], kDiscountsAllowed);
  EXPECT_EQ(s[6], kDiscountsAllowed);
  EXPECT_EQ(s[7], 0u);
  EXPECT_EQ(s[8], 0u);
  EXPECT_EQ(kindBits(co, kVatPurchases), NOMINAL_ORDINARY) << "left every slot";
  EXPECT_EQ(kindBits(co, kRetained), NOMINAL_ORDINARY);
  EXPECT_EQ(kindBits(co, kVatSales), NOMINAL_CONTROL);
  expectOneNotice(shared, 275, 16);
}

TEST(ControlAccounts, SlotsWithPostingsAreLockedAndTheirAccountsRefused) {
  TestCompany co;
  setNominal(co, kCreditors, NOMINAL_CONTROL, 7);  // posted to, no balance
  DriveRun locked =
      co.use(kOpen + "click 3621 1287\nanswer ok\nshow 3621\n" +
             "select 3621 1287 1\nshow 3621\nselect 3621 1287 7\nshow 3621\n" + kCancel);
  EXPECT_EQ(locked.messages(),
            std::vector<std::string>{"This control account can not be changed as transactions "
                                     "have already been posted to it."});
  EXPECT_EQ(locked.all("message")[0]["kind"], 2);
  EXPECT_TRUE(locked.all("finder").empty());
  auto shows = locked.all("show");
  ASSERT_EQ(shows.size(), 3u);
  auto editorOf = [](const json& show) {
    for (const auto& c : show["dialogs"][0]["controls"])
      if (c.value("id", 0) == IDC_CONTROL_ACCOUNTS_GRID) return c["editor"];
    return json();
  };
  EXPECT_TRUE(editorOf(shows[0])["readOnly"].get<bool>()) << "slot 0 has a balance";
  EXPECT_TRUE(editorOf(shows[1])["readOnly"].get<bool>()) << "slot 1 has a transaction link";
  EXPECT_FALSE(editorOf(shows[2])["readOnly"].get<bool>());

  DriveRun typed = co.useFailing(kOpen + setSlot(0, "3000"));
  EXPECT_NE(typed.error().value("message", "").find("refused"), std::string::npos);
}

TEST(ControlAccounts, SavingMarksAndReleasesExactlyTheKindBits) {
  TestCompany co;
  setNominal(co, kSalesA, 0xF9);    // high bits and ordinary
  setNominal(co, kRetained, 0xED);  // high bits, control and ordinary
  auto salesBefore = co.record(DF_NOMINAL, kSalesA);
  // 4000 takes slot 7; 3200 moves to slot 8 (and stays a control account);
  // 4900 leaves every slot.
  DriveRun run =
      co.use(kOpen + setSlot(7, "4000") + setSlot(8, "3200") + kOk, "--multi-user --lock-records");
  EXPECT_TRUE(run.messages().empty());
  EXPECT_TRUE(run.all("action").empty()) << "the dialog takes no multi-user action";
  auto s = slots(co);
  EXPECT_EQ(s[7], kSalesA);
  EXPECT_EQ(s[8], kRetained);
  EXPECT_EQ(kindBits(co, kSalesA), 0xFC) << "(bits & 0xFC) | 4";
  EXPECT_EQ(kindBits(co, kRetained), 0xEC) << "moved: still a control account";
  EXPECT_EQ(kindBits(co, kDefaultSales), 1) << "(4 & 0xF9) | 1";
  auto salesAfter = co.record(DF_NOMINAL, kSalesA);
  salesBefore[91] = salesAfter[91];
  EXPECT_EQ(salesAfter, salesBefore) << "only the kind bits change";
  EXPECT_EQ(co.stored<contmap>(DF_CONTROL, 1).splitCount, 24u) << "the rest of the record stays";

  DriveRun again = co.use(kOpen + setSlot(8, "4900") + kOk);
  EXPECT_EQ(kindBits(co, kRetained), 0xE9) << "released: (bits & 0xF9) | 1";

  // The default bank moves; neither account's kind bits change.
  setNominal(co, kBank, 0x82);
  setNominal(co, kBankDeposit, 0x42);
  DriveRun moved = co.use(kOpen + setSlot(2, "1210") + kOk);
  EXPECT_EQ(slots(co)[2], kBankDeposit);
  EXPECT_EQ(kindBits(co, kBank), 0x82);
  EXPECT_EQ(kindBits(co, kBankDeposit), 0x42);
}

TEST(ControlAccounts, AFailedSaveKeepsTheEarlierSlotsNominalChanges) {
  TestCompany co;
  // ZZZ names no account: the finder opens, the person cancels it.  With
  // record locks, so that the failed save must release its lock too.
  DriveRun run = co.use(kOpen + setSlot(7, "4000") + setSlot(9, "ZZZ") + "popup cancel\n" + kOk +
                            "answer ok\nshow 3621\n" + kCancel,
                        "--lock-records");
  ASSERT_EQ(run.all("finder").size(), 1u);
  EXPECT_EQ(run.all("finder")[0]["control"], IDC_CONTROL_ACCOUNTS_GRID);
  EXPECT_EQ(run.all("finder")[0]["notification"], 5);
  EXPECT_EQ(run.messages(), std::vector<std::string>{"The nominal code entered does not exist."});
  EXPECT_EQ(run.all("message")[0]["kind"], 1);
  EXPECT_EQ(grid(run)["rows"][9][1], "ZZZ");
  EXPECT_FALSE(grid(run).contains("held")) << "edits are released after the message";
  EXPECT_TRUE(run.all("update-sent").empty());
  EXPECT_EQ(slots(co), kDemoSlots) << "the control record is not written";
  EXPECT_EQ(kindBits(co, kSalesA), NOMINAL_CONTROL) << "slot 7 was applied before the failure";
  EXPECT_EQ(kindBits(co, kRetained), NOMINAL_ORDINARY);
}

TEST(ControlAccounts, TheFinderOffersAccountsAndTakesOnlyThoseItOffers) {
  TestCompany co;
  DriveRun all = co.use(kOpen + "select 3621 1287 7\nclick 3621 1287\npopup 4010\n" +
                        "select 3621 1287 2\nclick 3621 1287\npopup 1230\nshow 3621\n" + kOk);
  auto finders = all.all("finder");
  ASSERT_EQ(finders.size(), 2u);
  EXPECT_EQ(finders[0]["search"], 258);
  EXPECT_EQ(finders[0]["control"], IDC_CONTROL_ACCOUNTS_CODE_COLUMN);
  json nominal = finders[0]["accounts"];
  ASSERT_EQ(nominal.size(), 26u);
  EXPECT_EQ(nominal[0], json({{"code", "0030"}, {"name", "Office Equipment"}, {"bank", false}}));
  EXPECT_EQ(nominal[4], json({{"code", "1200"}, {"name", "Bank Current Account"}, {"bank", true}}));
  for (std::size_t i = 1; i < nominal.size(); ++i)
    EXPECT_LT(nominal[i - 1]["code"].get<std::string>(), nominal[i]["code"].get<std::string>());
  EXPECT_EQ(finders[1]["search"], 260);
  std::vector<std::string> banks;
  for (const auto& a : finders[1]["accounts"]) banks.push_back(a["code"]);
  EXPECT_EQ(banks, (std::vector<std::string>{"1200", "1210", "1230"}));
  // The codes went into the cells and were stored.
  EXPECT_EQ(slots(co)[7], 23u);
  EXPECT_EQ(slots(co)[2], kPettyCash);

  DriveRun refused = co.useFailing(kOpen + "select 3621 1287 2\nclick 3621 1287\npopup 4000\n");
  EXPECT_EQ(refused.error()["line"], 4);
  EXPECT_NE(refused.error()["message"].get<std::string>().find("\"4000\""), std::string::npos);
}

TEST(ControlAccounts, ARefusedFinderAnswerLeavesTheFinderWaiting) {
  TestCompany co;
  runInProcess(co, [](Station& station) {
    station.execute("open 3621", 1);
    station.execute("cell 3621 1287 8 1800 NOPE", 2);
    ASSERT_EQ(station.pendingQuestion(), "popup");
    EXPECT_THROW(station.execute("popup NOPE", 3), script::ScriptError);
    EXPECT_EQ(station.pendingQuestion(), "popup");
    station.execute("popup 7500", 4);
    EXPECT_FALSE(station.questionPending());
    station.execute("click 3621 1812", 5);
  });
  EXPECT_EQ(slots(co)[8], 26u) << "7500, chosen in the finder, went into the cell";
  EXPECT_EQ(kindBits(co, 26), NOMINAL_CONTROL);
}

TEST(GetControlAccountNo, FindsTheFirstSlotHoldingTheRecord) {
  auto module = Module::load(VX70_MODULE_PATH, kDefaultsModuleNumber);
  using Lookup = std::int32_t (*)(std::uint32_t);
  auto lookup = reinterpret_cast<Lookup>(module->procAddress("GetControlAccountNo"));
  ASSERT_NE(lookup, nullptr);
  EXPECT_EQ(module->procAddress(std::uint16_t{64}), reinterpret_cast<void*>(lookup));
  contmap& c = g_lpGlobVar->control;
  contmap saved = c;
  for (DWORD i = 0; i < 15; ++i) c.controlRec[i] = 100 + i;
  EXPECT_EQ(lookup(0), -1) << "every slot filled";
  EXPECT_EQ(lookup(100), 0);
  EXPECT_EQ(lookup(114), 14);
  EXPECT_EQ(lookup(99), -1);
  c.controlRec[4] = 103;
  EXPECT_EQ(lookup(103), 3) << "slots 3 and 4 share it: the first";
  c.controlRec[9] = 0;
  c.controlRec[12] = 0;
  EXPECT_EQ(lookup(0), 9) << "the first empty slot";
  c = saved;
}

TEST(Finder, WithoutAFrontEndOrARequestNothingIsChosen) {
  EXPECT_EQ(DoPopup(nullptr), FALSE);
  PopupRequest request{};
  request.searchMode = 258;
  EXPECT_EQ(DoPopup(&request), FALSE);
  EXPECT_TRUE(package::finderOffers(json{{"accounts", {{{"code", "1200"}}}}}, "1200"));
  EXPECT_FALSE(package::finderOffers(json{{"accounts", {{{"code", "1200"}}}}}, "1200 "));
  EXPECT_FALSE(package::finderOffers(json{{"event", "finder"}}, "1200"));
}

}  // namespace
}  // namespace vx70::test
