// The category lists (fixed asset categories, product categories,
// departments) and the account status list with its editor, driven as a
// user would, then checked as stored.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/res/ids_codes.h"
#include "tests/support/drive_support.h"

namespace vx70::test {
namespace {

json gridOf(const DriveRun& run, int dialog, int grid) {
  return shownControl(run.shown(dialog), grid);
}
json assetGrid(const DriveRun& run) {
  return gridOf(run, IDD_ASSET_CATEGORIES, IDC_ASSET_CATEGORIES_GRID);
}
json statusGrid(const DriveRun& run) {
  return gridOf(run, IDD_ACCOUNT_STATUS, IDC_ACCOUNT_STATUS_GRID);
}

std::string text(const std::vector<std::uint8_t>& bytes, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(bytes.data()),
                     strnlen(reinterpret_cast<const char*>(bytes.data()), size));
}

bool zerosFrom(const std::vector<std::uint8_t>& bytes, std::size_t from) {
  for (std::size_t i = from; i < bytes.size(); ++i)
    if (bytes[i] != 0) return false;
  return true;
}

std::string padded(const std::string& s, std::size_t width) {
  return s + std::string(width - s.size(), ' ');
}

// ---- Fixed asset categories, product categories, departments ------------------

TEST(AssetCategories, NinetyNineNumberedRowsAndEditStoresTheNamePaddedAtRowPlusOne) {
  TestCompany co;
  std::vector<std::uint8_t> blank(61, 0);
  co.store(35, 50, blank.data());
  const std::string sixty(60, 'x');
  auto run = co.use(
      "open 3617\nshow 3617\nclick 3617 1413\neditbox cancel\nclick 3617 1413\n"
      "editbox \"" +
      sixty +
      "\"\nactivate 3617 1610 6\neditbox \"Tools\"\n"
      "show 3617\nclick 3617 2\n");
  json grid = shownControl(run, 0, IDD_ASSET_CATEGORIES, IDC_ASSET_CATEGORIES_GRID);
  ASSERT_EQ(grid["rowCount"], 99);
  for (int row = 0; row < 99; ++row) EXPECT_EQ(grid["rows"][row][0], std::to_string(row + 1));
  EXPECT_EQ(grid["rows"][0][1], padded("Land and Buildings", 60));
  EXPECT_EQ(grid["rows"][49][1], "") << "a blank record shows an empty name";
  EXPECT_TRUE(run.all("action").empty()) << "single user: no action";
  auto boxes = run.all("editbox");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0]["text"], padded("Land and Buildings", 60)) << "the first row as opened";
  EXPECT_EQ(boxes[0]["max"], 60);
  auto first = co.record(35, 1);
  ASSERT_EQ(first.size(), 61u);
  EXPECT_EQ(text(first, 61), sixty) << "sixty characters are stored whole";
  EXPECT_EQ(text(co.record(35, 7), 61), padded("Tools", 60));
  EXPECT_EQ(assetGrid(run)["rows"][6][1], "Tools");
  EXPECT_TRUE(run.all("update-sent").empty());
}

// Every code list opens on its first row, as a list view does, so that its
// Edit acts on a row from the start.
TEST(CodeLists, EveryListOpensOnItsFirstRow) {
  TestCompany co;
  const struct {
    int dialog;
    int grid;
  } kLists[] = {
      {IDD_DEPARTMENTS, IDC_DEPARTMENTS_GRID},
      {IDD_PRODUCT_CATEGORIES, IDC_PRODUCT_CATEGORIES_GRID},
      {IDD_CURRENCIES, IDC_CURRENCIES_GRID},
      {IDD_FINANCE_RATES, IDC_FINANCE_RATES_GRID},
  };
  for (const auto& list : kLists) {
    const std::string id = std::to_string(list.dialog);
    auto run = co.use("open " + id + "\nshow " + id + "\n");
    EXPECT_EQ(gridOf(run, list.dialog, list.grid)["current"]["row"], 0) << id;
  }
}

TEST(ProductCategories, NineHundredNinetyNineRowsAndANameCutAtThirty) {
  TestCompany co;
  const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  auto run = co.use("open 3614\nshow 3614\nselect 3614 1610 998\nclick 3614 1413\neditbox \"" +
                    longName + "\"\nselect 3614 1610 1\nclick 3614 1413\neditbox \"Hw\"\n");
  json grid = gridOf(run, IDD_PRODUCT_CATEGORIES, IDC_PRODUCT_CATEGORIES_GRID);
  ASSERT_EQ(grid["rowCount"], 999);
  EXPECT_EQ(grid["rows"][0], json::array({"1", "General"}));
  EXPECT_EQ(grid["rows"][998][0], "999");
  EXPECT_EQ(run.all("editbox")[0]["max"], 30);
  EXPECT_EQ(text(co.record(7, 999), 31), longName.substr(0, 30));
  auto second = co.record(7, 2);
  EXPECT_EQ(text(second, 31), "Hw");
  EXPECT_TRUE(zerosFrom(second, 2)) << "no trace of the old name \"Hardware\"";
}

// Row r is record r + 2; the edit takes the action and locks the record.
TEST(Departments, RowRIsRecordRPlusTwoNumberedFromOne) {
  TestCompany co;
  auto recordOne = co.record(19, 1);
  auto run = co.use(
      "open 3615\nshow 3615\nselect 3615 1373 0\nclick 3615 1413\neditbox \"Head Office and "
      "Accounts Department\"\nactivate 3615 1373 99\neditbox \"Last\"\nclick 3615 2\n",
      "--multi-user --lock-records");
  json grid = gridOf(run, IDD_DEPARTMENTS, IDC_DEPARTMENTS_GRID);
  ASSERT_EQ(grid["rowCount"], 100) << "every record after the first";
  EXPECT_EQ(grid["rows"][0], json::array({"1", "General"}));
  EXPECT_EQ(grid["rows"][99][0], "100");
  EXPECT_EQ(run.all("editbox")[0]["text"], "General");
  EXPECT_EQ(text(co.record(19, 2), 31), "Head Office and Accounts Depar");
  EXPECT_EQ(text(co.record(19, 101), 31), "Last");
  EXPECT_EQ(co.record(19, 1), recordOne);
  EXPECT_EQ(text(co.record(19, 3), 31), "Sales");
  auto actions = run.all("action");
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_EQ(actions[1]["action"], "granted");
  EXPECT_EQ(actions[2]["action"], "ended");
  EXPECT_EQ(actions[2]["id"], 33);
}

TEST(CategoryLists, ASecondStationIsRefusedEachList) {
  TestCompany co;
  const std::pair<int, int> kLists[] = {
      {IDD_ASSET_CATEGORIES, 52}, {IDD_PRODUCT_CATEGORIES, 34}, {IDD_DEPARTMENTS, 33}};
  for (auto [dialog, action] : kLists) {
    const std::string id = std::to_string(dialog);
    expectActionKeepsOthersOut(co, "open " + id + "\n", "click " + id + " 2\n", action);
  }
}

// ---- Account status ------------------------------------------------------------

TEST(AccountStatus, ListShowsAllHundredWithHoldMarksAndTheEditorStoresTrimmedText) {
  TestCompany co;
  accstatusmap odd{};
  std::memset(odd.description, ' ', 60);
  std::memcpy(odd.description, "Odd", 3);
  odd.onHold = 2;
  co.store(49, 10, &odd);
  auto closed = co.record(49, 3);
  auto run = co.use(
      "open 901\nselect 901 1610 9\nclick 901 1413\nshow\nclick 9026 1\n"
      // Cancel in the editor stores nothing.
      "select 901 1610 2\nclick 901 1413\ntype 9026 1413 \"Gone\"\nclick 9026 1010\n"
      "click 9026 2\nclose 901\n");
  json grid = statusGrid(run);
  ASSERT_EQ(grid["rowCount"], 100);
  EXPECT_EQ(grid["rows"][0], json::array({"0", padded("Open", 60), " ", ""}));
  EXPECT_EQ(grid["rows"][2][2], "Y");
  EXPECT_EQ(grid["rows"][99][0], "99");
  EXPECT_EQ(grid["rows"][9][2], " ") << "a hold byte of 2 is not on hold";
  json editor = run.shown(IDD_EDIT_ACCOUNT_STATUS);
  EXPECT_EQ(shownControl(editor, IDC_EDIT_ACCOUNT_STATUS_DESCRIPTION)["text"], "Odd")
      << "the edit shows it trimmed";
  EXPECT_EQ(shownControl(editor, IDC_EDIT_ACCOUNT_STATUS_ON_HOLD)["checked"], 0);
  EXPECT_EQ(co.stored<accstatusmap>(49, 10).onHold, 0) << "saving writes 0";
  EXPECT_EQ(co.record(49, 3), closed);
}

TEST(AccountStatus, EditStoresPaddedDescriptionAndHoldAndTellsOtherStations) {
  TestCompany co;
  const std::string sixty(60, 'D');
  auto run = co.use(
      "open 901\nselect 901 1610 5\nclick 901 1413\ntype 9026 1413 \"" + sixty +
          "X\"\nclick 9026 1010\nclick 9026 1\nshow 901\n"
          "select 901 1610 5\nclick 901 1413\ntype 9026 1413 \"Cash\"\nclick 9026 1\nclick 901 2\n",
      "--multi-user --lock-records");
  EXPECT_EQ(statusGrid(run)["rows"][5], json::array({"5", sixty, "Y", ""}))
      << "the edit takes 60 characters";
  auto updates = run.all("update-sent");
  ASSERT_EQ(updates.size(), 2u);
  EXPECT_EQ(updates[0]["code"], 275);
  EXPECT_EQ(updates[0]["flag"], 16);
  EXPECT_TRUE(run.all("action").empty()) << "this table takes no action";
  EXPECT_EQ(std::string(co.stored<accstatusmap>(49, 6).description), padded("Cash", 60));
  EXPECT_EQ(co.stored<accstatusmap>(49, 6).onHold, 1) << "the box kept its check";
}

TEST(AccountStatus, StatusZeroKeepsItsHoldMarkButItsNameCanChange) {
  TestCompany co;
  auto run = co.use(
      "open 901\nclick 901 1413\nanswer ok\nshow 9026\ntype 9026 1413 \"Current\"\nclick 9026 1\n"
      "click 901 2\n");
  EXPECT_EQ(run.messages(),
            std::vector<std::string>{"You cannot change the 'On Hold' status of this item"});
  EXPECT_EQ(
      shownControl(run.shown(IDD_EDIT_ACCOUNT_STATUS), IDC_EDIT_ACCOUNT_STATUS_ON_HOLD)["enabled"],
      false);
  auto status0 = co.stored<accstatusmap>(49, 1);
  EXPECT_EQ(std::string(status0.description), padded("Current", 60));
  EXPECT_EQ(status0.onHold, 0);
}

}  // namespace
}  // namespace vx70::test
