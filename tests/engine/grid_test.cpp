// The engine's grid "__03Grid__" as the module's handlers drive it: row
// records byte for byte, the current row, rows on demand, outline levels,
// cell edits with their editor and notifications, and what a front end
// sees of it.
#include "host/engine/grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "frame/res/ids_codes.h"
#include "frame/res/ids_ledgers.h"
#include "frame/res/ids_system.h"
#include "host/engine/grid_model.h"
#include "tests/engine/recording_dialog.h"

namespace vx70::test {
namespace {

namespace eng = engine;
using eng::GridFillRequest;

#pragma pack(push, 1)
struct CategoryRow {  // IDR_ASSET_CATEGORIES_GRID
  std::uint32_t no;
  char name[61];
};
struct DiscountRow {  // IDR_CUSTOMER_DISCOUNT_GRID
  char label[13];
  double value;
  double rate;
};
struct ControlRow {  // IDR_CONTROL_ACCOUNTS_GRID
  char caption[61];
  char code[9];
};
struct InfoRow {  // IDR_SYSTEM_INFO_GRID
  char property[61];
  char settings[256];
};
struct DepartmentRow {  // IDR_DEPARTMENTS_GRID
  std::uint16_t no;
  char name[31];
};
#pragma pack(pop)
static_assert(sizeof(DiscountRow) == 29 && sizeof(ControlRow) == 70);

CategoryRow category(std::uint32_t no, const char* name) {
  CategoryRow r{no, {}};
  std::strncpy(r.name, name, sizeof r.name - 1);
  return r;
}

InfoRow info(const char* property, const char* settings = "") {
  InfoRow r{};
  std::strncpy(r.property, property, sizeof r.property - 1);
  std::strncpy(r.settings, settings, sizeof r.settings - 1);
  return r;
}

template <typename Row>
LPARAM addr(const Row& row) {
  return reinterpret_cast<LPARAM>(&row);
}

class GridTest : public RecordingDialogTest {
 protected:
  HWND makeGrid(std::uint16_t gridId, UINT id, DialogHandler rowsNeeded = nullptr) {
    return make("__03Grid__", gridId, id, rowsNeeded);
  }
  static LRESULT grid(HWND g, UINT message, WPARAM w = 0, LPARAM l = 0, LPARAM fifth = 0) {
    return DESendGridMessage(g, message, w, l, fifth);
  }
  // The person types into a cell (or, without text, clicks it).
  static LRESULT cell(HWND g, int row, UINT column, const char* text) {
    win::CellInput input{row, column, text};
    return win::send(g, text ? win::VXM_CELL : win::VXM_CLICK, 0, addr(input));
  }
  template <typename Row>
  Row readRow(HWND g, int row) {
    Row r;
    std::memset(&r, 0xAA, sizeof r);
    EXPECT_EQ(grid(g, GM_GETROW, 0, row, addr(r)), 0) << "row " << row;
    return r;
  }

  HWND discountGrid() {
    HWND g = makeGrid(IDR_CUSTOMER_DISCOUNT_GRID, IDC_CUSTOMER_DISCOUNT_TABLE);
    for (int r = 0; r < 10; ++r) {
      DiscountRow row{"Discount", 100.0 * (r + 1), double(r)};
      grid(g, GM_ADDROW, 0, addr(row));
    }
    return g;
  }
  // Rows 0-2 with the codes 1100, 2100 and 1200; row 0 current.
  HWND controlGrid() {
    HWND g = makeGrid(IDR_CONTROL_ACCOUNTS_GRID, IDC_CONTROL_ACCOUNTS_GRID);
    for (const char* code : {"1100", "2100", "1200"}) {
      ControlRow row{"Slot", {}};
      std::strcpy(row.code, code);
      grid(g, GM_ADDROW, 0, addr(row));
    }
    grid(g, GM_SETCURRENTROW, 0, 0);
    return g;
  }
  std::string codeOf(HWND g, int row) { return readRow<ControlRow>(g, row).code; }
};

TEST_F(GridTest, RowsTravelAsPackedRecordsByteForByteAndBadOnesAreRefused) {
  HWND g = makeGrid(IDR_ASSET_CATEGORIES_GRID, IDC_ASSET_CATEGORIES_GRID);
  EXPECT_EQ(grid(g, GM_ADDROW, 0, addr(category(1, "Plant"))), 0);
  EXPECT_EQ(grid(g, GM_ADDROW, 0, addr(category(2, "Vehicles"))), 1);
  CategoryRow expected = category(2, "Vehicles");
  CategoryRow got = readRow<CategoryRow>(g, 1);
  EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0);
  EXPECT_EQ(grid(g, GM_SETROW, 0, 0, addr(category(7, "Fixtures"))), 0);
  EXPECT_EQ(readRow<CategoryRow>(g, 0).no, 7u);
  EXPECT_EQ(grid(g, GM_DELETEROW, 0, 0), 0);
  EXPECT_STREQ(readRow<CategoryRow>(g, 0).name, "Vehicles");

  CategoryRow r{};
  const struct {
    UINT message;
    LPARAM row, record;
  } refused[] = {{GM_ADDROW, 0, 0},
                 {GM_GETROW, 1, addr(r)},
                 {GM_GETROW, 0, 0},
                 {GM_SETROW, 5, addr(r)},
                 {GM_DELETEROW, -7, 0}};
  for (const auto& c : refused)  // no record, no such row, no buffer
    EXPECT_EQ(grid(g, c.message, 0, c.row, c.record), -1) << c.message << " " << c.row;
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 1);
  EXPECT_EQ(grid(g, GM_CLEAR), 0);
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 0);
}

TEST_F(GridTest, ACurrencyRowIsNinetyBytesWithItsNumbersInPlace) {
  HWND g = makeGrid(IDR_CURRENCIES_GRID, IDC_CURRENCIES_GRID);
  std::uint8_t row[90] = {3};
  double rate = 1.234567, euro = 0.5;
  std::strcpy(reinterpret_cast<char*>(row + 4), "Yen");
  std::memcpy(row + 70, &rate, 8);
  std::strcpy(reinterpret_cast<char*>(row + 78), "No");
  std::memcpy(row + 82, &euro, 8);
  grid(g, GM_ADDROW, 0, addr(row));
  EXPECT_EQ(CtrlGRIDValue(g, 0, 0, 12), nullptr) << "columns without an identifier";
  EXPECT_STREQ(static_cast<const char*>(CtrlGRIDValue(g, IDC_CODE_NAME_COLUMN, 0, 2)), "Yen");
  std::uint8_t back[90];
  grid(g, GM_GETROW, 0, 0, addr(back));
  EXPECT_EQ(std::memcmp(row, back, sizeof row), 0);
  // Widths, the current column and marks.
  EXPECT_EQ(grid(g, GM_COLUMNWIDTH, 1, 20), 11);
  EXPECT_EQ(grid(g, GM_COLUMNWIDTH, 1, 30), 20);
  EXPECT_EQ(grid(g, GM_COLUMNWIDTH, 7, 20), -1);
  EXPECT_EQ(grid(g, GM_SETCURRENTCOLUMN, 0, 1), 0);
  EXPECT_EQ(grid(g, GM_CURRENTCOLUMNID, 0, -1), IDC_CODE_NAME_COLUMN);
  EXPECT_EQ(grid(g, GM_SETCURRENTCOLUMN, 0, 9), -1);
  EXPECT_EQ(grid(g, GM_MARKROW, 1, 0), 0);
  EXPECT_EQ(grid(g, GM_MARKROW, 1, 1), -1);
  nlohmann::json d;
  win::describe(g, d);
  EXPECT_EQ(d["columns"][1]["width"], 30);
  EXPECT_EQ(d["marked"], nlohmann::json::array({0}));
}

TEST_F(GridTest, TheCurrentRowFollowsSelectionAndDeletion) {
  HWND g = makeGrid(IDR_ASSET_CATEGORIES_GRID, IDC_ASSET_CATEGORIES_GRID);
  EXPECT_EQ(grid(g, GM_CURRENTROW), -1);
  for (std::uint32_t i = 0; i < 4; ++i) grid(g, GM_ADDROW, 0, addr(category(i, "x")));
  EXPECT_EQ(grid(g, GM_CURRENTROW), 0) << "a filled list starts on its first row";
  const CategoryRow y = category(9, "y");
  const struct {
    UINT message;
    LPARAM row;
    LRESULT current;
  } steps[] = {
      {GM_SETCURRENTROW, 2, 2}, {GM_SETCURRENTROW, 4, 2},  // a row beyond leaves the cursor
      {GM_DELETEROW, 0, 1},                                // the cursor stays on its row
      {GM_DELETEROW, 1, 1},                                // then on the row that moved up
      {GM_DELETEROW, 1, 0},                                // or on the new last row
      {GM_DELETEROW, -1, -1},   {GM_ADDROW, addr(y), 0},   // the emptied list starts again
      {GM_CLEAR, 0, -1},        {GM_ROWSONDEMAND, 5, 0},
  };
  for (const auto& step : steps) {
    grid(g, step.message, 0, step.row);
    EXPECT_EQ(grid(g, GM_CURRENTROW), step.current) << step.message << " " << step.row;
  }
}

TEST_F(GridTest, UserSelectionAndActivation) {
  HWND g = makeGrid(IDR_ASSET_CATEGORIES_GRID, IDC_ASSET_CATEGORIES_GRID);
  for (std::uint32_t i = 0; i < 3; ++i) grid(g, GM_ADDROW, 0, addr(category(i, "x")));
  EXPECT_EQ(win::send(g, win::VXM_SELECT, 1), 0);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 1);
  EXPECT_TRUE(g_commands.empty()) << "selecting tells the dialog nothing";
  EXPECT_EQ(win::send(g, win::VXM_ACTIVATE, 2), 0);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 2);
  ASSERT_EQ(g_commands.size(), 1u);
  EXPECT_EQ(g_commands[0].code, GN_ACTIVATE);
  EXPECT_EQ(g_commands[0].control, g);
  for (WPARAM bad : {WPARAM{3}, WPARAM{INT_MAX}, static_cast<WPARAM>(-1)}) {
    EXPECT_EQ(win::send(g, win::VXM_ACTIVATE, bad), -1) << bad;
    EXPECT_EQ(win::send(g, win::VXM_SELECT, bad), -1) << bad;
  }
  EXPECT_EQ(g_commands.size(), 1u);
}

TEST_F(GridTest, CellValuesComeInTheColumnsOwnType) {
  HWND g = makeGrid(IDR_DEPARTMENTS_GRID, IDC_DEPARTMENTS_GRID);  // "No" is a 2-byte whole number
  DepartmentRow d{65535, "Sales"};
  grid(g, GM_ADDROW, 0, addr(d));
  auto no = static_cast<const std::int32_t*>(CtrlGRIDValue(g, IDC_CODE_NUMBER_COLUMN, 0, 6));
  ASSERT_NE(no, nullptr);
  EXPECT_EQ(*no, 65535) << "widened to 32 bits";
  grid(g, GM_SETCURRENTROW, 0, -1);
  EXPECT_EQ(CtrlGRIDValue(g, IDC_CODE_NAME_COLUMN, -1, 2), nullptr) << "no current row";
  EXPECT_EQ(CtrlGRIDValue(g, 9999, 0, 2), nullptr);
  grid(g, GM_SETCURRENTROW, 0, 0);
  EXPECT_TRUE(SetGRIDValue(g, IDC_CODE_NAME_COLUMN, -1, "Purchasing department name too long!"));
  EXPECT_STREQ(static_cast<const char*>(CtrlGRIDValue(g, IDC_CODE_NAME_COLUMN, -1, 2)),
               "Purchasing department name too");  // 30 characters and the terminator
  std::int32_t seven = 7;
  EXPECT_TRUE(SetGRIDValue(g, IDC_CODE_NUMBER_COLUMN, 0, &seven));
  EXPECT_EQ(readRow<DepartmentRow>(g, 0).no, 7);
  EXPECT_FALSE(SetGRIDValue(g, IDC_CODE_NAME_COLUMN, 3, "x"));
  EXPECT_FALSE(SetGRIDValue(g, IDC_CODE_NAME_COLUMN, 0, nullptr));
}

// ---- Rows on demand -------------------------------------------------------------

std::vector<GridFillRequest> g_requests;
bool g_fillSupplies = true;

std::uint32_t fillCategories(HWND, UINT, UINT, HWND grid, UINT code, UINT) {
  auto* request = reinterpret_cast<GridFillRequest*>(DESendGridMessage(grid, 1830, 0, 0, 0));
  g_requests.push_back(*request);
  if (code != 6 || !g_fillSupplies) return 0;
  int first = request->selector == 1 ? request->firstRowToo : request->firstRow;
  for (std::uint32_t i = 0; i < request->count; ++i) {
    auto record = static_cast<std::uint32_t>(first) + i + 1;
    CategoryRow row = category(record, ("Category " + std::to_string(record)).c_str());
    DESendGridMessage(grid, 1803, 0, addr(row), 0);
    DESendGridMessage(grid, 1822, 0, static_cast<LPARAM>(record - 1), record);
  }
  return 0;
}

class OnDemandTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    g_requests.clear();
    g_fillSupplies = true;
    g = makeGrid(IDR_ASSET_CATEGORIES_GRID, IDC_ASSET_CATEGORIES_GRID, fillCategories);
    EXPECT_EQ(DESendDlgItemGridMessage(dialog, IDC_ASSET_CATEGORIES_GRID, 1831, 0, 99, 0), 0);
  }
  HWND g = 0;
};

TEST_F(OnDemandTest, ReadingARowFetchesItsPageOnceIntoTheRightSlots) {
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 99);
  EXPECT_TRUE(g_requests.empty()) << "rows are counted before they are asked for";
  CategoryRow row = readRow<CategoryRow>(g, 45);
  ASSERT_EQ(g_requests.size(), 1u);
  const GridFillRequest& r = g_requests[0];
  EXPECT_EQ(r.grid, g);
  EXPECT_EQ(r.controlId, static_cast<UINT>(IDC_ASSET_CATEGORIES_GRID));
  EXPECT_EQ((std::vector<int>{r.firstRow, r.firstRowToo}), (std::vector<int>{40, 40}));
  EXPECT_EQ(r.selector, 1u);
  EXPECT_EQ(r.count, 20u);
  EXPECT_EQ(row.no, 46u);
  EXPECT_STREQ(row.name, "Category 46");
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 99) << "appends filled slots, not the end";
  readRow<CategoryRow>(g, 59);
  readRow<CategoryRow>(g, 40);
  EXPECT_EQ(g_requests.size(), 1u) << "a supplied page is not asked for again";
  EXPECT_STREQ(static_cast<const char*>(CtrlGRIDValue(g, IDC_CODE_NAME_COLUMN, 60, 2)),
               "Category 61");
  win::send(g, win::VXM_SELECT, 98);  // the last page asks only for the rows that exist
  ASSERT_EQ(g_requests.size(), 3u);
  EXPECT_EQ(g_requests[2].firstRow, 80);
  EXPECT_EQ(g_requests[2].count, 19u);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 98);
  nlohmann::json d;
  win::describe(g, d);  // fetches the two pages still missing
  EXPECT_EQ(g_requests.size(), 5u);
  ASSERT_EQ(d["rows"].size(), 99u);
  EXPECT_EQ(d["rows"][0], nlohmann::json::array({"1", "Category 1"}));
  EXPECT_EQ(d["rows"][98], nlohmann::json::array({"99", "Category 99"}));
}

TEST_F(OnDemandTest, RowsThatTheCallbackLeavesOutStayBlankAndAreNotAskedAgain) {
  g_fillSupplies = false;
  CategoryRow row = readRow<CategoryRow>(g, 3);
  EXPECT_EQ(row.no, 0u);
  EXPECT_STREQ(row.name, "");
  readRow<CategoryRow>(g, 4);
  EXPECT_EQ(g_requests.size(), 1u);
}

TEST_F(GridTest, OutlineLevelsOpenFromTheLastHeadingToTheFirst) {
  HWND g = makeGrid(IDR_SYSTEM_INFO_GRID, IDC_SYSTEM_INFO_GRID);
  grid(g, GM_ADDROW, 1, addr(info("Orphan")));  // under no heading: a top-level row
  grid(g, GM_ADDROW, 0, addr(info("Directories")));
  grid(g, GM_ADDROW, 1, addr(info("Program directory", "C:\\VX70")));
  grid(g, GM_ADDROW, 1, addr(info("Data directory", "C:\\VX70\\DATA")));
  grid(g, GM_ADDROW, 0, addr(info("Data information")));
  grid(g, GM_ADDROW, 1, addr(info("Headers", "12")));
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 3) << "closed levels hide their rows";
  EXPECT_STREQ(readRow<InfoRow>(g, 2).property, "Data information");
  for (int row = static_cast<int>(grid(g, GM_ROWCOUNT)) - 1; row >= 0; --row)
    grid(g, GM_OPENLEVEL, 1, row);
  ASSERT_EQ(grid(g, GM_ROWCOUNT), 6);
  const char* order[] = {"Orphan",         "Directories",      "Program directory",
                         "Data directory", "Data information", "Headers"};
  for (int row = 0; row < 6; ++row) EXPECT_STREQ(readRow<InfoRow>(g, row).property, order[row]);
  EXPECT_STREQ(readRow<InfoRow>(g, 3).settings, "C:\\VX70\\DATA");
  EXPECT_EQ(grid(g, GM_OPENLEVEL, 1, 2), 0) << "a row under a heading opens nothing";
  nlohmann::json d;
  win::describe(g, d);
  EXPECT_EQ(d["levels"], nlohmann::json::array({0, 0, 1, 1, 0, 1}));
}

// ---- Cell editing ---------------------------------------------------------------

TEST_F(GridTest, ATypedNumberGoesIntoTheCellBeforeTheDialogHearsWhichMayResetIt) {
  HWND g = discountGrid();
  std::optional<double> seen;
  LRESULT column = 0;
  g_onCommand = [&](const Command& c) {
    if (c.id != IDC_CUSTOMER_DISCOUNT_TABLE || c.code != GN_CELLDONE) return;
    column = DESendGridMessage(c.control, 1843, 0, -1, 0);
    seen = *static_cast<const double*>(
        CtrlGRIDValue(c.control, IDC_DISCOUNT_TABLE_RATE_COLUMN, -1, 12));
    double zero = 0.0;
    if (*seen > 100) SetGRIDValue(c.control, IDC_DISCOUNT_TABLE_RATE_COLUMN, -1, &zero);
  };
  EXPECT_EQ(cell(g, 3, IDC_DISCOUNT_TABLE_RATE_COLUMN, "12.5"), 0);
  EXPECT_EQ(column, IDC_DISCOUNT_TABLE_RATE_COLUMN);
  EXPECT_EQ(seen, 12.5);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 3);
  DiscountRow row = readRow<DiscountRow>(g, 3);
  EXPECT_EQ(double(row.rate), 12.5);
  EXPECT_EQ(double(row.value), 400.0) << "the other cells keep their values";
  EXPECT_STREQ(row.label, "Discount");
  EXPECT_EQ(cell(g, 0, IDC_DISCOUNT_TABLE_RATE_COLUMN, "150"), 0);
  EXPECT_EQ(double(readRow<DiscountRow>(g, 0).rate), 0.0) << "the handler's reset stays";

  g_commands.clear();
  EXPECT_EQ(cell(g, 2, IDC_DISCOUNT_TABLE_VALUE_COLUMN, "12x"), -1);
  EXPECT_EQ(cell(g, 2, 0, "Other"), -1);  // a fixed column
  EXPECT_EQ(cell(g, 10, IDC_DISCOUNT_TABLE_VALUE_COLUMN, "1"), -1);
  EXPECT_EQ(double(readRow<DiscountRow>(g, 2).value), 300.0);
  EXPECT_TRUE(codesFrom(IDC_CUSTOMER_DISCOUNT_TABLE).empty());
}

TEST_F(GridTest, TheCellEditorIsAChildWithTheColumnsIdentifier) {
  HWND g = controlGrid();
  std::optional<LRESULT> editorModified, gridModified;
  g_onCommand = [&](const Command& c) {
    if (c.id != IDC_CONTROL_ACCOUNTS_GRID || c.code != GN_CELLDONE) return;
    editorModified =
        win::send(win::childById(c.control, IDC_CONTROL_ACCOUNTS_CODE_COLUMN), EM_GETMODIFY);
    gridModified = win::send(c.control, EM_GETMODIFY);
  };
  ASSERT_EQ(cell(g, 1, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "4000"), 0);
  HWND editor = win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN);
  ASSERT_NE(editor, 0u);
  EXPECT_EQ(win::focus(), editor);
  EXPECT_EQ(grid(g, GM_CARETWINDOW), static_cast<LRESULT>(editor));
  EXPECT_EQ(grid(editor, GM_CARETWINDOW), static_cast<LRESULT>(editor));
  // The editor speaks to the dialog in its own name; the edit is pending
  // while the dialog hears of it and over afterwards.
  std::vector<WORD> editorCodes = codesFrom(IDC_CONTROL_ACCOUNTS_CODE_COLUMN);
  EXPECT_NE(std::find(editorCodes.begin(), editorCodes.end(), EN_SETFOCUS), editorCodes.end());
  EXPECT_NE(std::find(editorCodes.begin(), editorCodes.end(), EN_UPDATE), editorCodes.end());
  EXPECT_EQ(editorModified, 1);
  EXPECT_EQ(gridModified, 1);
  EXPECT_EQ(win::send(g, EM_GETMODIFY), 0);
  char code[9] = {};
  EXPECT_EQ(grid(g, GM_GETCELLTEXT, 1, -1, addr(code)), 4);
  EXPECT_STREQ(code, "4000");
  EXPECT_EQ(codeOf(g, 1), "4000");
}

TEST_F(GridTest, AnEditorMadeReadOnlyOnFocusRefusesTyping) {
  HWND g = controlGrid();
  g_onCommand = [](const Command& c) {
    if (c.id == IDC_CONTROL_ACCOUNTS_CODE_COLUMN && (c.code == EN_SETFOCUS || c.code == EN_UPDATE))
      win::send(c.control, EM_SETREADONLY, 1);
  };
  EXPECT_EQ(cell(g, 0, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "9999"), -1);
  EXPECT_EQ(codeOf(g, 0), "1100");
  EXPECT_TRUE(codesFrom(IDC_CONTROL_ACCOUNTS_GRID).empty());
}

TEST_F(GridTest, APostedCancelUndoesTheLastEditAndCommitTakesTheEditorText) {
  HWND g = controlGrid();
  cell(g, 2, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "7777");
  HWND editor = win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN);
  win::post(g, GM_CANCELEDIT, 0, 0);
  win::dispatchPosted();
  EXPECT_EQ(codeOf(g, 2), "1200");
  EXPECT_EQ(win::get(editor).text, "1200");
  // A finder puts its code into the editor; message 1134 stores it
  // without a second notification.
  std::size_t heard = codesFrom(IDC_CONTROL_ACCOUNTS_GRID).size();
  win::send(editor, WM_SETTEXT, 0, addr("1230"));
  win::send(editor, EM_SETMODIFY, 1);
  EXPECT_EQ(grid(editor, GM_COMMITEDIT), 0);
  EXPECT_EQ(codeOf(g, 2), "1230");
  EXPECT_EQ(codesFrom(IDC_CONTROL_ACCOUNTS_GRID).size(), heard);
  EXPECT_EQ(win::send(editor, EM_GETMODIFY), 0);
}

// Undo takes back the last edit only while the cursor stays on its cell:
// once the person has moved away, coming back finds the edit kept.
TEST_F(GridTest, UndoForgetsAnEditOnceTheCursorLeavesItsCell) {
  struct Case {
    const char* what;
    std::vector<int> rowsVisited;  // after the edit, before the undo
    const char* code;              // row 2's code after the undo
  };
  const Case cases[] = {
      {"stays", {}, "1200"}, {"same row again", {2}, "1200"}, {"away and back", {0, 2}, "7777"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND g = controlGrid();
    ASSERT_EQ(cell(g, 2, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "7777"), 0);
    for (int row : c.rowsVisited) ASSERT_EQ(win::send(g, win::VXM_SELECT, row), 0);
    grid(g, GM_SETCURRENTROW, 0, 2);
    grid(g, GM_CANCELEDIT);
    EXPECT_EQ(codeOf(g, 2), c.code);
  }
}

TEST_F(GridTest, LeavingAModifiedEditorEndsTheEdit) {
  HWND g = controlGrid();
  EXPECT_EQ(cell(g, 1, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, nullptr), 0);
  EXPECT_EQ(codesFrom(IDC_CONTROL_ACCOUNTS_CODE_COLUMN).back(), LN_FINDER)
      << "a click in the cell presses its finder button";
  HWND editor = win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN);
  win::send(editor, WM_SETTEXT, 0, addr("3000"));
  win::send(editor, EM_SETMODIFY, 1);
  EXPECT_EQ(win::send(g, EM_GETMODIFY), 1) << "an edit is pending";
  win::setFocus(other);
  EXPECT_EQ(codeOf(g, 1), "3000");
  EXPECT_EQ(codesFrom(IDC_CONTROL_ACCOUNTS_GRID), std::vector<WORD>{GN_CELLDONE});
  EXPECT_EQ(win::send(g, EM_GETMODIFY), 0);
}

TEST_F(GridTest, HeldEditsAreStoredWithoutNotificationAndClearingClosesTheEditor) {
  HWND g = controlGrid();
  grid(g, GM_HOLDEDITS, 1);
  EXPECT_EQ(cell(g, 0, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "5000"), 0);
  EXPECT_EQ(codeOf(g, 0), "5000");
  EXPECT_TRUE(codesFrom(IDC_CONTROL_ACCOUNTS_GRID).empty());
  grid(g, GM_HOLDEDITS, 0);
  cell(g, 0, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "5001");
  EXPECT_EQ(codesFrom(IDC_CONTROL_ACCOUNTS_GRID).size(), 1u);
  ASSERT_NE(win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN), 0u);
  grid(g, GM_CLEAR);
  EXPECT_EQ(win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN), 0u);
  EXPECT_EQ(win::send(g, EM_GETMODIFY), 0);
}

// ---- Finding grids and describing them --------------------------------------------

TEST_F(GridTest, DialogItemMessagesFindGridsOnPagesAndDescribeShowsWhatTheyHold) {
  HWND page = win::createWindow("RecordingDialog", "", WS_CHILD | WS_VISIBLE, {}, dialog,
                                IDD_CUSTOMER_DISCOUNT);
  HWND g = make("__03Grid__", IDR_FINANCE_RATES_GRID, IDC_FINANCE_RATES_GRID, nullptr, 0, page);
  std::uint8_t row[31] = {};  // the last column is hidden
  std::strcpy(reinterpret_cast<char*>(row), "01/04/2024");
  double base = 4.5, extra = 2.126;
  std::uint32_t record = 3;
  std::memcpy(row + 11, &base, 8);
  std::memcpy(row + 19, &extra, 8);
  std::memcpy(row + 27, &record, 4);
  EXPECT_EQ(DESendDlgItemGridMessage(dialog, IDC_FINANCE_RATES_GRID, 1803, 0, addr(row), 0), 0);
  EXPECT_EQ(DESendDlgItemGridMessage(dialog, 4242, 1797, 0, 0, 0), -1);
  EXPECT_EQ(DESendGridMessage(0, 1797, 0, 0, 0), 0);
  grid(g, GM_SETCURRENTROW, 0, 0);
  nlohmann::json d;
  win::describe(g, d);
  ASSERT_EQ(d["columns"].size(), 4u);
  EXPECT_EQ(d["columns"][1]["heading"], "Base Rate (%)");
  EXPECT_EQ(d["columns"][1]["type"], "decimal");
  EXPECT_EQ(d["columns"][3]["hidden"], true);
  EXPECT_EQ(d["columns"][3]["type"], "whole");
  EXPECT_EQ(d["rows"][0], nlohmann::json::array({"01/04/2024", "4.50", "2.13", "3"}));
  EXPECT_EQ(d["rowCount"], 1);
  EXPECT_EQ(d["current"]["row"], 0);
  EXPECT_FALSE(d.contains("editor"));
}

TEST(GridNumbers, TypedNumbersAreStrict) {
  const struct {
    const char* text;
    std::optional<double> decimal;
  } cases[] = {{" 12.50 ", 12.5}, {"-.5", -0.5}, {"7.", 7.0}, {"1.2.3", {}},
               {"1e5", {}},       {".", {}},     {"-", {}},   {"", {}}};
  for (const auto& c : cases) EXPECT_EQ(eng::parseDecimal(c.text), c.decimal) << c.text;
  EXPECT_EQ(eng::parseWhole("+42"), 42);
  EXPECT_FALSE(eng::parseWhole("4.0"));
  EXPECT_EQ(eng::formatDecimal(-0.0, 2), "0.00");
  EXPECT_EQ(eng::formatDecimal(1.0 / 3, 6), "0.333333");
  EXPECT_EQ(eng::formatDecimal(2.6, 0), "3");
}

}  // namespace
}  // namespace vx70::test
