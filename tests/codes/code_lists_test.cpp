// The category lists (fixed asset categories, product categories,
// departments) and the account status list with its editor, driven as a
// user would, then checked as stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "frame/res/ids_codes.h"
#include "tests/support/drive_support.h"

namespace vx70::test {
namespace {

std::string text(const std::vector<std::uint8_t>& bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.data()),
                     strnlen(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string padded(const std::string& s, std::size_t width) {
  return s + std::string(width - s.size(), ' ');
}

// Each list numbers its rows from 1; row r is record r + `firstRecord`.
// Edit stores the name cut at the field's width, padded with spaces or
// zeros; the edit box's Cancel stores nothing; the list's action keeps a
// second station out.
TEST(CategoryLists, EditStoresTheNameInTheRowsRecord) {
  const struct {
    int dialog, grid;
    unsigned file, rows, firstRecord, width;
    bool spaces;  // padded with spaces, not zeros
    const char* firstName;
    int action;
  } kLists[] = {
      {IDD_ASSET_CATEGORIES, IDC_ASSET_CATEGORIES_GRID, 35, 99, 1, 60, true, "Land and Buildings",
       52},
      {IDD_PRODUCT_CATEGORIES, IDC_PRODUCT_CATEGORIES_GRID, 7, 999, 1, 30, false, "General", 34},
      {IDD_DEPARTMENTS, IDC_DEPARTMENTS_GRID, 19, 100, 2, 30, false, "General", 33},
  };
  const std::string longName(70, 'N');
  TestCompany co;
  for (const auto& l : kLists) {
    SCOPED_TRACE(l.dialog);
    const std::string d = std::to_string(l.dialog), g = std::to_string(l.grid);
    auto run = co.use("open " + d + "\nshow " + d + "\nclick " + d + " 1413\neditbox cancel\n" +
                          "select " + d + " " + g + " " + std::to_string(l.rows - 1) + "\nclick " +
                          d + " 1413\neditbox \"" + longName + "\"\nactivate " + d + " " + g +
                          " 1\neditbox \"Hw\"\nclick " + d + " 2\n",
                      "--multi-user --lock-records");
    json grid = shownControl(run, 0, l.dialog, l.grid);
    ASSERT_EQ(grid["rowCount"], l.rows);
    EXPECT_EQ(grid["rows"][0][0], "1");
    EXPECT_EQ(grid["rows"][l.rows - 1][0], std::to_string(l.rows));
    EXPECT_EQ(run.all("editbox")[0]["text"], l.spaces ? padded(l.firstName, l.width) : l.firstName);
    EXPECT_EQ(run.all("editbox")[0]["max"], l.width);
    EXPECT_EQ(text(co.record(l.file, l.firstRecord)), run.all("editbox")[0]["text"]);
    EXPECT_EQ(text(co.record(l.file, l.rows - 1 + l.firstRecord)), longName.substr(0, l.width));
    auto second = co.record(l.file, 1 + l.firstRecord);
    EXPECT_EQ(text(second), l.spaces ? padded("Hw", l.width) : "Hw");
    std::vector<std::uint8_t> zeros(second.size());
    if (!l.spaces)
      EXPECT_TRUE(std::equal(second.begin() + 2, second.end(), zeros.begin() + 2))
          << "no trace of the old name";
    EXPECT_EQ(run.all("action").back()["action"], "ended");
    expectActionKeepsOthersOut(co, "open " + d + "\n", "click " + d + " 2\n", l.action);
  }
}

json statusGrid(const DriveRun& run) {
  return shownControl(run.shown(IDD_ACCOUNT_STATUS), IDC_ACCOUNT_STATUS_GRID);
}

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
  EXPECT_EQ(shownControl(editor, IDC_EDIT_ACCOUNT_STATUS_DESCRIPTION)["text"], "Odd");
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
  EXPECT_EQ(statusGrid(run)["rows"][5], json::array({"5", sixty, "Y", ""}));
  auto updates = run.all("update-sent");
  ASSERT_EQ(updates.size(), 2u);
  EXPECT_EQ(updates[0]["code"], 275);
  EXPECT_EQ(updates[0]["flag"], 16);
  EXPECT_TRUE(run.all("action").empty()) << "this table takes no action";
  EXPECT_EQ(std::string(co.stored<accstatusmap>(49, 6).description), padded("Cash", 60));
  EXPECT_EQ(co.stored<accstatusmap>(49, 6).onHold, 1) << "the box kept its check";

  // Status 0 keeps its hold mark, but its name can change.
  auto zero = co.use(
      "open 901\nclick 901 1413\nanswer ok\nshow 9026\ntype 9026 1413 \"Current\"\nclick 9026 1\n"
      "click 901 2\n");
  EXPECT_EQ(zero.messages(),
            std::vector<std::string>{"You cannot change the 'On Hold' status of this item"});
  EXPECT_FALSE(shownControl(zero.shown(IDD_EDIT_ACCOUNT_STATUS),
                            IDC_EDIT_ACCOUNT_STATUS_ON_HOLD)["enabled"]);
  EXPECT_EQ(std::string(co.stored<accstatusmap>(49, 1).description), padded("Current", 60));
  EXPECT_EQ(co.stored<accstatusmap>(49, 1).onHold, 0);
}

}  // namespace
}  // namespace vx70::test
