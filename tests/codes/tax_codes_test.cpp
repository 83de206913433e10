// Tax Codes (3619) and Edit Tax Code (3620) driven as a person uses them
// on the demo company, checked against the control record as stored: each
// code's 12 bytes at offset 80 + 12n.  Also the tax code combo that other
// dialogs fill with the same codes.
#include <cstring>

#include "frame/res/ids_codes.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

const std::string kOpen = "open 3619\n";
const std::string kClose = "click 3619 2\n";

std::string editCode(int code) {
  return "select 3619 1610 " + std::to_string(code) + "\nclick 3619 1413\n";
}

json listGrid(const DriveRun& run, std::size_t show = 0) {
  return shownControl(run, show, IDD_TAX_CODES, IDC_TAX_CODES_GRID);
}
json editControl(const DriveRun& run, int id, std::size_t show = 0) {
  return shownControl(run, show, IDD_EDIT_TAX_CODE, id);
}
bool checked(const json& box) { return box.value("checked", -1) == 1; }
bool enabled(const json& control) { return control.value("enabled", false); }

taxcodemap storedCode(const TestCompany& co, int code) {
  return co.stored<contmap>(DF_CONTROL, 1).taxCode[code];
}

void storeCode(const TestCompany& co, int code, const taxcodemap& entry) {
  contmap c = co.stored<contmap>(DF_CONTROL, 1);
  c.taxCode[code] = entry;
  co.store(DF_CONTROL, 1, &c);
}

// The control record with one code's 12 bytes blanked, to compare the rest.
std::vector<std::uint8_t> withoutCode(std::vector<std::uint8_t> record, int code) {
  std::memset(record.data() + 80 + 12 * code, 0, 12);
  return record;
}

// A double-click opens the editor too; Cancel and Close store nothing.
TEST(TaxCodes, ListsAllHundredCodesAndCancelChangesNothing) {
  TestCompany co;
  auto before = co.record(DF_CONTROL, 1);
  DriveRun run = co.use(kOpen + "show 3619\nactivate 3619 1610 5\nshow 3620\n" +
                        "type 3620 1962 \"99\"\nclick 3620 2\nshow 3619\n" + kClose);
  json g = listGrid(run);
  ASSERT_EQ(g["rows"].size(), 100u);
  EXPECT_EQ(g["rows"][1], json({"T1", "17.50", "Y", "N", "N", ""}));
  EXPECT_EQ(g["rows"][4], json({"T4", "0.00", "Y", "Y", "N", ""}));
  EXPECT_EQ(g["rows"][8], json({"T8", "17.50", "Y", "N", "Y", ""}));
  EXPECT_EQ(g["rows"][9], json({"T9", "0.00", "N", "N", "N", ""}));
  EXPECT_EQ(g["rows"][99][0], "T99");
  EXPECT_EQ(g["current"]["row"], 0);
  EXPECT_EQ(editControl(run, IDC_EDIT_TAX_CODE_CODE, 1)["text"], "T5");
  EXPECT_EQ(editControl(run, IDC_EDIT_TAX_CODE_RATE, 1)["text"], "5.00");
  EXPECT_EQ(listGrid(run, 2)["rows"][5][1], "5.00");
  EXPECT_EQ(co.record(DF_CONTROL, 1), before);
  EXPECT_TRUE(run.all("update-sent").empty());
}

TEST(TaxCodes, KeyboardRateEditIsStoredInItsEntryOnly) {
  TestCompany co;
  auto before = co.record(DF_CONTROL, 1);
  DriveRun run = co.use(kOpen + editCode(3) + "show 3620\n" + "type 3620 1962 \"12.25\"\n" +
                            "click 3620 1961\nclick 3620 1942\nshow 3619\n" + kClose,
                        "--multi-user --lock-records");
  EXPECT_EQ(editControl(run, IDC_EDIT_TAX_CODE_CODE)["text"], "T3");
  EXPECT_FALSE(enabled(editControl(run, IDC_EDIT_TAX_CODE_CODE)));
  EXPECT_FALSE(enabled(editControl(run, IDC_TAX_CODE_COMBO))) << "no EC code, no link";
  EXPECT_EQ(listGrid(run, 1)["rows"][3], json({"T3", "12.25", "Y", "N", "N", ""}));

  auto bytes = co.record(DF_CONTROL, 1);
  double rate = 0;
  std::memcpy(&rate, bytes.data() + 80 + 12 * 3, sizeof rate);
  EXPECT_DOUBLE_EQ(rate, 12.25) << "T3's rate at offset 80 + 12 * 3";
  taxcodemap t = storedCode(co, 3);
  EXPECT_EQ(t.inUse, 1);
  EXPECT_EQ(t.link, 0);
  EXPECT_EQ(withoutCode(co.record(DF_CONTROL, 1), 3), withoutCode(before, 3));
  expectOneNotice(run, 275, 16);
}

TEST(TaxCodes, EcCodeForcesSalesWithNoRateAndPurchasesTakeTheLink) {
  TestCompany co;
  DriveRun run =
      co.use(kOpen + editCode(1) + "click 3620 1957\nshow 3620\n" +
             "click 3620 1958\nshow 3620\nselect 3620 2061 5\nclick 3620 1942\n" + kClose);
  ASSERT_EQ(run.all("show").size(), 2u);
  EXPECT_TRUE(checked(editControl(run, IDC_EDIT_TAX_CODE_EC_SALES, 0)));
  EXPECT_FALSE(checked(editControl(run, IDC_EDIT_TAX_CODE_EC_PURCHASES, 0)));
  EXPECT_EQ(editControl(run, IDC_EDIT_TAX_CODE_RATE, 0)["text"], "0.00");
  EXPECT_FALSE(enabled(editControl(run, IDC_EDIT_TAX_CODE_RATE, 0)));
  EXPECT_FALSE(enabled(editControl(run, IDC_TAX_CODE_COMBO, 0)));
  EXPECT_TRUE(checked(editControl(run, IDC_EDIT_TAX_CODE_EC_PURCHASES, 1)));
  EXPECT_FALSE(checked(editControl(run, IDC_EDIT_TAX_CODE_EC_SALES, 1)));
  EXPECT_TRUE(enabled(editControl(run, IDC_TAX_CODE_COMBO, 1)));
  EXPECT_FALSE(enabled(editControl(run, IDC_EDIT_TAX_CODE_RATE, 1))) << "the rate stays zero";

  taxcodemap t = storedCode(co, 1);
  EXPECT_DOUBLE_EQ(t.rate, 0.0);
  EXPECT_EQ(t.ecSales, 0);
  EXPECT_EQ(t.ecPurchases, 1);
  EXPECT_EQ(t.link, 5);
  EXPECT_EQ(t.inUse, 1);

  // Unticking "EC Code" gives the rate back to the user.
  DriveRun off = co.use(kOpen + editCode(4) + "click 3620 1957\nshow 3620\n" +
                        "type 3620 1962 \"3\"\nclick 3620 1942\n" + kClose);
  EXPECT_TRUE(enabled(editControl(off, IDC_EDIT_TAX_CODE_RATE)));
  EXPECT_FALSE(enabled(editControl(off, IDC_EDIT_TAX_CODE_EC_SALES)));
  EXPECT_FALSE(checked(editControl(off, IDC_EDIT_TAX_CODE_EC_SALES)));
  t = storedCode(co, 4);
  EXPECT_DOUBLE_EQ(t.rate, 3.0);
  EXPECT_EQ(t.ecSales, 0);
  EXPECT_EQ(t.ecPurchases, 0);
}

TEST(TaxCodes, StoredEcPurchasesOpensOnItsLinkAndLinksAreAlwaysSaved) {
  TestCompany co;
  storeCode(co, 2, {0.0, 5, 0, 0, 7});  // a stale link on a code that is no EC code
  DriveRun run = co.use(kOpen + editCode(8) + "show 3620\nclick 3620 2\n" + editCode(2) +
                        "show 3620\nclick 3620 1942\nshow 3619\n" + kClose);
  EXPECT_TRUE(checked(editControl(run, IDC_EDIT_TAX_CODE_EC_CODE, 0)));
  EXPECT_TRUE(checked(editControl(run, IDC_EDIT_TAX_CODE_EC_PURCHASES, 0)));
  EXPECT_TRUE(enabled(editControl(run, IDC_EDIT_TAX_CODE_RATE, 0)));
  EXPECT_EQ(editControl(run, IDC_EDIT_TAX_CODE_RATE, 0)["text"], "17.50");
  EXPECT_TRUE(enabled(editControl(run, IDC_TAX_CODE_COMBO, 0)));
  EXPECT_EQ(editControl(run, IDC_TAX_CODE_COMBO, 0)["selection"], 1);
  EXPECT_EQ(storedCode(co, 2).link, 0) << "the combo's row is saved for every code";
  // Any nonzero flag is taken as Yes and saved as 1.
  EXPECT_EQ(listGrid(run, 2)["rows"][2], json({"T2", "0.00", "Y", "N", "N", ""}));
  EXPECT_EQ(storedCode(co, 2).inUse, 1);
  EXPECT_EQ(storedCode(co, 8).link, 1) << "cancelled";
}

// The editing station has read the control record; the record changes
// under it (T7 and a control slot), so its own copy is stale until the
// save reads the record again.  A second station is kept out meanwhile.
TEST(TaxCodes, SaveKeepsWhatAnotherStationStoredMeanwhile) {
  TestCompany co;
  StationProcess first(co, "--multi-user");
  first.send(kOpen + editCode(3));
  expectActionRefused(co.use(kOpen, "--multi-user --station TWO"), 31, "Tax Codes");
  contmap c = co.stored<contmap>(DF_CONTROL, 1);
  c.taxCode[7].rate = 9.5;
  c.controlRec[7] = 99;
  co.store(DF_CONTROL, 1, &c);
  first.send("type 3620 1962 \"4\"\nclick 3620 1942\n" + kClose);
  EXPECT_EQ(first.finish().all("action").back()["action"], "ended");
  contmap after = co.stored<contmap>(DF_CONTROL, 1);
  EXPECT_DOUBLE_EQ(after.taxCode[3].rate, 4.0);
  EXPECT_DOUBLE_EQ(after.taxCode[7].rate, 9.5);
  EXPECT_EQ(after.controlRec[7], 99u);
}

TEST(TaxCodes, ComboListsEveryCodeWithItsRate) {
  TestCompany co;
  DriveRun run = co.use(kOpen + editCode(8) + "show 3620\n");
  json combo = editControl(run, IDC_TAX_CODE_COMBO);
  ASSERT_EQ(combo["items"].size(), 100u);
  EXPECT_EQ(combo["items"][0], "T0 0.00");
  EXPECT_EQ(combo["items"][1], "T1 17.50");
  EXPECT_EQ(combo["items"][99], "T99 0.00");
  EXPECT_EQ(combo["text"], "T1 17.50");

  // A rate too wide for the 10-byte column leaves the code alone, whole.
  storeCode(co, 99, {100.0, 1, 0, 0, 0});
  DriveRun wide = co.use(kOpen + editCode(8) + "show 3620\n");
  EXPECT_EQ(editControl(wide, IDC_TAX_CODE_COMBO)["items"][99], "T99");
}

}  // namespace
}  // namespace vx70::test
