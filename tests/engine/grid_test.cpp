// The engine's grid "__03Grid__" as the module's handlers drive it: row
// records byte for byte, the current row, rows on demand, outline levels,
// cell edits with their editor and notifications, and what a front end
// sees of it.
#include "host/engine/grid.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "frame/res/ids_codes.h"
#include "frame/res/ids_company.h"
#include "frame/res/ids_ledgers.h"
#include "frame/res/ids_system.h"
#include "host/engine/grid_model.h"
#include "host/win32/window.h"
#include "tests/support/res_fixture.h"

namespace vx70 {
namespace {

namespace eng = engine;
using eng::GridFillRequest;

// ---- A dialog that records its commands -------------------------------------

struct Command {
  UINT id;
  WORD code;
  HWND control;
};

std::vector<Command> g_commands;
std::function<void(const Command&)> g_onCommand;

LRESULT recordingDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COMMAND) return win::defWindowProc(window, message, wParam, lParam);
  Command c{LOWORD(wParam), HIWORD(wParam), static_cast<HWND>(lParam)};
  g_commands.push_back(c);
  if (g_onCommand) g_onCommand(c);
  return 0;
}

std::vector<WORD> codesFrom(UINT id) {
  std::vector<WORD> codes;
  for (const auto& c : g_commands)
    if (c.id == id) codes.push_back(c.code);
  return codes;
}

// ---- Row records of the module's grids ----------------------------------------

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
  CategoryRow r{};
  r.no = no;
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

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::reset();
    g_commands.clear();
    g_onCommand = nullptr;
    win::registerClass("GridTestDialog", recordingDialog);
    eng::registerEngineControls();
    // Any dialog of the module will do: the grids never ask for its
    // identifier.
    dialog = win::createWindow("GridTestDialog", "", WS_VISIBLE, {}, 0, IDD_COMPANY_PREFS);
  }
  void TearDown() override {
    g_onCommand = nullptr;
    win::reset();
  }

  HWND makeGrid(std::uint16_t gridId, UINT id, DialogHandler rowsNeeded = nullptr,
                HWND parent = 0) {
    auto layout = test::Resources().grid(gridId);
    EXPECT_TRUE(layout) << "GRID " << gridId;
    eng::GridCreateParams params{&*layout, parent ? parent : dialog, id, rowsNeeded, 0};
    return win::createWindow("__03Grid__", "", WS_CHILD | WS_VISIBLE, {}, parent ? parent : dialog,
                             id, &params);
  }

  LRESULT grid(HWND g, UINT message, WPARAM w = 0, LPARAM l = 0, LPARAM fifth = 0) {
    return DESendGridMessage(g, message, w, l, fifth);
  }

  template <typename Row>
  Row readRow(HWND g, int row) {
    Row r;
    std::memset(&r, 0xAA, sizeof r);
    EXPECT_EQ(grid(g, GM_GETROW, 0, row, reinterpret_cast<LPARAM>(&r)), 0) << "row " << row;
    return r;
  }

  HWND discountGrid() {
    HWND g = makeGrid(IDR_CUSTOMER_DISCOUNT_GRID, IDC_CUSTOMER_DISCOUNT_TABLE);
    for (int r = 0; r < 10; ++r) {
      DiscountRow row{};
      std::strcpy(row.label, "Discount");
      row.value = 100.0 * (r + 1);
      row.rate = r;
      grid(g, GM_ADDROW, 0, addr(row));
    }
    return g;
  }

  HWND controlGrid() {
    HWND g = makeGrid(IDR_CONTROL_ACCOUNTS_GRID, IDC_CONTROL_ACCOUNTS_GRID);
    const char* codes[] = {"1100", "2100", "1200"};
    for (int r = 0; r < 3; ++r) {
      ControlRow row{};
      std::snprintf(row.caption, sizeof row.caption, "Slot %d", r);
      std::strcpy(row.code, codes[r]);
      grid(g, GM_ADDROW, 0, addr(row));
    }
    grid(g, GM_SETCURRENTROW, 0, 0);
    return g;
  }

  HWND dialog = 0;
};

// ---- Row records ------------------------------------------------------------------

TEST_F(GridTest, RowsTravelAsPackedRecordsByteForByte) {
  HWND g = makeGrid(IDR_ASSET_CATEGORIES_GRID, IDC_ASSET_CATEGORIES_GRID);
  ASSERT_NE(g, 0u);
  EXPECT_EQ(grid(g, GM_ADDROW, 0, addr(category(1, "Plant"))), 0);
  EXPECT_EQ(grid(g, GM_ADDROW, 0, addr(category(2, "Vehicles"))), 1);
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 2);

  CategoryRow expected = category(2, "Vehicles");
  CategoryRow got = readRow<CategoryRow>(g, 1);
  EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0);

  EXPECT_EQ(grid(g, GM_SETROW, 0, 0, addr(category(7, "Fixtures"))), 0);
  EXPECT_EQ(readRow<CategoryRow>(g, 0).no, 7u);
  EXPECT_STREQ(readRow<CategoryRow>(g, 0).name, "Fixtures");

  EXPECT_EQ(grid(g, GM_DELETEROW, 0, 0), 0);
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 1);
  EXPECT_STREQ(readRow<CategoryRow>(g, 0).name, "Vehicles");

  EXPECT_EQ(grid(g, GM_CLEAR), 0);
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 0);
}

TEST_F(GridTest, BadRowsAndRecordsAreRefused) {
  HWND g = makeGrid(IDR_ASSET_CATEGORIES_GRID, IDC_ASSET_CATEGORIES_GRID);
  CategoryRow r{};
  EXPECT_EQ(grid(g, GM_ADDROW, 0, 0), -1);  // no record
  EXPECT_EQ(grid(g, GM_GETROW, 0, 0, addr(r)), -1);
  grid(g, GM_ADDROW, 0, addr(category(1, "A")));
  EXPECT_EQ(grid(g, GM_GETROW, 0, 1, addr(r)), -1);
  EXPECT_EQ(grid(g, GM_GETROW, 0, 0, 0), -1);  // no buffer
  EXPECT_EQ(grid(g, GM_SETROW, 0, 5, addr(r)), -1);
  EXPECT_EQ(grid(g, GM_DELETEROW, 0, -7), -1);
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 1);
}

TEST_F(GridTest, ACurrencyRowIsNinetyBytesWithItsNumbersInPlace) {
  HWND g = makeGrid(IDR_CURRENCIES_GRID, IDC_CURRENCIES_GRID);
  std::uint8_t row[90] = {};
  std::uint32_t no = 3;
  double rate = 1.234567, euro = 0.5;
  std::memcpy(row, &no, 4);
  std::strcpy(reinterpret_cast<char*>(row + 4), "Yen");
  std::memcpy(row + 70, &rate, 8);
  std::strcpy(reinterpret_cast<char*>(row + 78), "No");
  std::memcpy(row + 82, &euro, 8);
  grid(g, GM_ADDROW, 0, reinterpret_cast<LPARAM>(row));
  EXPECT_EQ(CtrlGRIDValue(g, 0, 0, 12), nullptr)
      << "columns without an identifier are not addressed";
  EXPECT_STREQ(static_cast<const char*>(CtrlGRIDValue(g, IDC_CODE_NAME_COLUMN, 0, 2)), "Yen");
  std::uint8_t back[90];
  grid(g, GM_GETROW, 0, 0, reinterpret_cast<LPARAM>(back));
  EXPECT_EQ(std::memcmp(row, back, sizeof row), 0);
}

// ---- The current row ----------------------------------------------------------

TEST_F(GridTest, TheCurrentRowFollowsSelectionAndDeletion) {
  HWND g = makeGrid(IDR_ASSET_CATEGORIES_GRID, IDC_ASSET_CATEGORIES_GRID);
  EXPECT_EQ(grid(g, GM_CURRENTROW), -1);
  for (std::uint32_t i = 0; i < 4; ++i) grid(g, GM_ADDROW, 0, addr(category(i, "x")));
  EXPECT_EQ(grid(g, GM_CURRENTROW), 0) << "a filled list starts on its first row";

  EXPECT_EQ(grid(g, GM_SETCURRENTROW, 0, 2), 0);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 2);
  EXPECT_EQ(grid(g, GM_SETCURRENTROW, 0, 4), -1);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 2) << "a row beyond the grid leaves the cursor";

  grid(g, GM_DELETEROW, 0, 0);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 1) << "the cursor stays on its row";
  grid(g, GM_DELETEROW, 0, 1);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 1) << "then on the row that moved up";
  grid(g, GM_DELETEROW, 0, 1);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 0) << "or on the new last row";
  grid(g, GM_DELETEROW, 0, -1);
  EXPECT_EQ(grid(g, GM_CURRENTROW), -1);

  grid(g, GM_ADDROW, 0, addr(category(9, "y")));
  EXPECT_EQ(grid(g, GM_CURRENTROW), 0) << "the emptied list starts again on its first row";
  grid(g, GM_CLEAR);
  EXPECT_EQ(grid(g, GM_CURRENTROW), -1);
  grid(g, GM_ROWSONDEMAND, 0, 5);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 0) << "rows on demand too";
}

TEST_F(GridTest, UserSelectionAndActivation) {
  HWND g = makeGrid(IDR_ASSET_CATEGORIES_GRID, IDC_ASSET_CATEGORIES_GRID);
  for (std::uint32_t i = 0; i < 3; ++i) grid(g, GM_ADDROW, 0, addr(category(i, "x")));
  EXPECT_EQ(win::send(g, win::VXM_SELECT, 1), 0);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 1);
  EXPECT_TRUE(codesFrom(IDC_ASSET_CATEGORIES_GRID).empty()) << "selecting tells the dialog nothing";

  EXPECT_EQ(win::send(g, win::VXM_ACTIVATE, 2), 0);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 2);
  ASSERT_EQ(g_commands.size(), 1u);
  EXPECT_EQ(g_commands[0].code, GN_ACTIVATE);
  EXPECT_EQ(g_commands[0].control, g);

  EXPECT_EQ(win::send(g, win::VXM_ACTIVATE, 3), -1);
  EXPECT_EQ(win::send(g, win::VXM_ACTIVATE, INT_MAX), -1) << "the last row a person can name";
  EXPECT_EQ(win::send(g, win::VXM_SELECT, static_cast<WPARAM>(-1)), -1);
  EXPECT_EQ(g_commands.size(), 1u);
}

// ---- Cell values ------------------------------------------------------------------

TEST_F(GridTest, CellValuesComeInTheColumnsOwnType) {
  HWND g = makeGrid(IDR_DEPARTMENTS_GRID, IDC_DEPARTMENTS_GRID);  // "No" is a 2-byte whole number
  DepartmentRow d{};
  d.no = 65535;
  std::strcpy(d.name, "Sales");
  grid(g, GM_ADDROW, 0, addr(d));
  auto no = static_cast<const std::int32_t*>(CtrlGRIDValue(g, IDC_CODE_NUMBER_COLUMN, 0, 6));
  ASSERT_NE(no, nullptr);
  EXPECT_EQ(*no, 65535) << "widened to 32 bits";
  grid(g, GM_SETCURRENTROW, 0, -1);
  EXPECT_EQ(CtrlGRIDValue(g, IDC_CODE_NAME_COLUMN, -1, 2), nullptr) << "no current row";
  EXPECT_EQ(CtrlGRIDValue(g, 9999, 0, 2), nullptr);

  grid(g, GM_SETCURRENTROW, 0, 0);
  EXPECT_TRUE(SetGRIDValue(g, IDC_CODE_NAME_COLUMN, -1, "Purchasing department name too long!"));
  auto name = static_cast<const char*>(CtrlGRIDValue(g, IDC_CODE_NAME_COLUMN, -1, 2));
  EXPECT_STREQ(name, "Purchasing department name too");  // 30 characters and the terminator
  std::int32_t seven = 7;
  EXPECT_TRUE(SetGRIDValue(g, IDC_CODE_NUMBER_COLUMN, 0, &seven));
  DepartmentRow back = readRow<DepartmentRow>(g, 0);
  EXPECT_EQ(back.no, 7);
  EXPECT_FALSE(SetGRIDValue(g, IDC_CODE_NAME_COLUMN, 3, "x"));
  EXPECT_FALSE(SetGRIDValue(g, IDC_CODE_NAME_COLUMN, 0, nullptr));
}

TEST_F(GridTest, ColumnWidthsMarksAndTheCurrentColumn) {
  HWND g = makeGrid(IDR_CURRENCIES_GRID, IDC_CURRENCIES_GRID);
  EXPECT_EQ(grid(g, GM_COLUMNWIDTH, 1, 20), 11);
  EXPECT_EQ(grid(g, GM_COLUMNWIDTH, 1, 30), 20);
  EXPECT_EQ(grid(g, GM_COLUMNWIDTH, 7, 20), -1);

  EXPECT_EQ(grid(g, GM_CURRENTCOLUMNID, 0, -1), 0);  // "No"
  EXPECT_EQ(grid(g, GM_SETCURRENTCOLUMN, 0, 1), 0);
  EXPECT_EQ(grid(g, GM_CURRENTCOLUMNID, 0, -1), IDC_CODE_NAME_COLUMN);
  EXPECT_EQ(grid(g, GM_SETCURRENTCOLUMN, 0, 9), -1);

  std::uint8_t row[90] = {};
  grid(g, GM_ADDROW, 0, reinterpret_cast<LPARAM>(row));
  EXPECT_EQ(grid(g, GM_MARKROW, 1, 0), 0);
  EXPECT_EQ(grid(g, GM_MARKROW, 1, 1), -1);
  nlohmann::json d;
  win::describe(g, d);
  EXPECT_EQ(d["columns"][1]["width"], 30);
  EXPECT_EQ(d["marked"], nlohmann::json::array({0}));
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
    DESendGridMessage(grid, 1803, 0, reinterpret_cast<LPARAM>(&row), 0);
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

TEST_F(OnDemandTest, RowsAreCountedBeforeTheyAreAskedFor) {
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 99);
  EXPECT_TRUE(g_requests.empty());
}

TEST_F(OnDemandTest, ReadingARowFetchesItsPageIntoTheRightSlots) {
  CategoryRow row = readRow<CategoryRow>(g, 45);
  ASSERT_EQ(g_requests.size(), 1u);
  const GridFillRequest& r = g_requests[0];
  EXPECT_EQ(r.grid, g);
  EXPECT_EQ(r.controlId, static_cast<UINT>(IDC_ASSET_CATEGORIES_GRID));
  EXPECT_EQ(r.firstRow, 40);
  EXPECT_EQ(r.firstRowToo, 40);
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
  EXPECT_EQ(g_requests.size(), 2u);
}

TEST_F(OnDemandTest, TheLastPageAsksOnlyForTheRowsThatExist) {
  win::send(g, win::VXM_SELECT, 98);
  ASSERT_EQ(g_requests.size(), 1u);
  EXPECT_EQ(g_requests[0].firstRow, 80);
  EXPECT_EQ(g_requests[0].count, 19u);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 98);
}

TEST_F(OnDemandTest, DescribingShowsEveryRowAfterFiveFills) {
  nlohmann::json d;
  win::describe(g, d);
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

// ---- Outline levels ---------------------------------------------------------------

TEST_F(GridTest, OutlineLevelsOpenFromTheLastHeadingToTheFirst) {
  HWND g = makeGrid(IDR_SYSTEM_INFO_GRID, IDC_SYSTEM_INFO_GRID);
  grid(g, GM_ADDROW, 0, addr(info("Directories")));
  grid(g, GM_ADDROW, 1, addr(info("Program directory", "C:\\VX70")));
  grid(g, GM_ADDROW, 1, addr(info("Data directory", "C:\\VX70\\DATA")));
  grid(g, GM_ADDROW, 0, addr(info("Data information")));
  grid(g, GM_ADDROW, 1, addr(info("Headers", "12")));
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 2) << "closed levels hide their rows";
  EXPECT_STREQ(readRow<InfoRow>(g, 1).property, "Data information");

  for (int row = static_cast<int>(grid(g, GM_ROWCOUNT)) - 1; row >= 0; --row)
    grid(g, GM_OPENLEVEL, 1, row);
  ASSERT_EQ(grid(g, GM_ROWCOUNT), 5);
  const char* order[] = {"Directories", "Program directory", "Data directory", "Data information",
                         "Headers"};
  for (int row = 0; row < 5; ++row) EXPECT_STREQ(readRow<InfoRow>(g, row).property, order[row]);
  EXPECT_STREQ(readRow<InfoRow>(g, 2).settings, "C:\\VX70\\DATA");
  EXPECT_EQ(grid(g, GM_OPENLEVEL, 1, 1), 0) << "a row under a heading opens nothing";

  nlohmann::json d;
  win::describe(g, d);
  EXPECT_EQ(d["levels"], nlohmann::json::array({0, 1, 1, 0, 1}));
}

TEST_F(GridTest, ARowUnderNoHeadingIsATopLevelRow) {
  HWND g = makeGrid(IDR_SYSTEM_INFO_GRID, IDC_SYSTEM_INFO_GRID);
  grid(g, GM_ADDROW, 1, addr(info("Orphan")));
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 1);
}

// ---- Cell editing ---------------------------------------------------------------

TEST_F(GridTest, ATypedNumberGoesIntoTheCellBeforeTheDialogHears) {
  HWND g = discountGrid();
  std::optional<double> seen;
  LRESULT column = 0;
  g_onCommand = [&](const Command& c) {
    if (c.id != IDC_CUSTOMER_DISCOUNT_TABLE || c.code != GN_CELLDONE) return;
    column = DESendGridMessage(c.control, 1843, 0, -1, 0);
    seen = *static_cast<const double*>(
        CtrlGRIDValue(c.control, IDC_DISCOUNT_TABLE_RATE_COLUMN, -1, 12));
  };
  win::CellInput input{3, IDC_DISCOUNT_TABLE_RATE_COLUMN, "12.5"};
  EXPECT_EQ(win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input)), 0);
  EXPECT_EQ(column, IDC_DISCOUNT_TABLE_RATE_COLUMN);
  ASSERT_TRUE(seen);
  EXPECT_EQ(*seen, 12.5);
  EXPECT_EQ(grid(g, GM_CURRENTROW), 3);
  DiscountRow row = readRow<DiscountRow>(g, 3);
  EXPECT_EQ(double(row.rate), 12.5);
  EXPECT_EQ(double(row.value), 400.0) << "the other cells keep their values";
  EXPECT_STREQ(row.label, "Discount");
}

TEST_F(GridTest, AHandlerCanResetTheCellItIsToldOf) {
  HWND g = discountGrid();
  g_onCommand = [](const Command& c) {
    if (c.code != GN_CELLDONE) return;
    double zero = 0.0;
    SetGRIDValue(c.control, IDC_DISCOUNT_TABLE_RATE_COLUMN, -1, &zero);
  };
  win::CellInput input{0, IDC_DISCOUNT_TABLE_RATE_COLUMN, "150"};
  EXPECT_EQ(win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input)), 0);
  EXPECT_EQ(double(readRow<DiscountRow>(g, 0).rate), 0.0);
}

TEST_F(GridTest, BadNumbersAndFixedColumnsAreRefused) {
  HWND g = discountGrid();
  win::CellInput bad{2, IDC_DISCOUNT_TABLE_VALUE_COLUMN, "12x"};
  EXPECT_EQ(win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&bad)), -1);
  EXPECT_EQ(double(readRow<DiscountRow>(g, 2).value), 300.0);
  win::CellInput label{2, 0, "Other"};
  EXPECT_EQ(win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&label)), -1);
  win::CellInput noRow{10, IDC_DISCOUNT_TABLE_VALUE_COLUMN, "1"};
  EXPECT_EQ(win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&noRow)), -1);
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
  win::CellInput input{1, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "4000"};
  ASSERT_EQ(win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input)), 0);
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
  EXPECT_EQ(grid(g, GM_GETCELLTEXT, 1, -1, reinterpret_cast<LPARAM>(code)), 4);
  EXPECT_STREQ(code, "4000");
  EXPECT_STREQ(readRow<ControlRow>(g, 1).code, "4000");
}

TEST_F(GridTest, AnEditorMadeReadOnlyOnFocusRefusesTyping) {
  HWND g = controlGrid();
  g_onCommand = [](const Command& c) {
    if (c.id == IDC_CONTROL_ACCOUNTS_CODE_COLUMN && (c.code == EN_SETFOCUS || c.code == EN_UPDATE))
      win::send(c.control, EM_SETREADONLY, 1);
  };
  win::CellInput input{0, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "9999"};
  EXPECT_EQ(win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input)), -1);
  EXPECT_STREQ(readRow<ControlRow>(g, 0).code, "1100");
  EXPECT_TRUE(codesFrom(IDC_CONTROL_ACCOUNTS_GRID).empty());
}

TEST_F(GridTest, CancellingUndoesTheLastEditAndCommitTakesTheEditorText) {
  HWND g = controlGrid();
  win::CellInput input{2, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "7777"};
  win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input));
  HWND editor = win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN);
  win::post(g, GM_CANCELEDIT, 0, 0);
  win::dispatchPosted();
  EXPECT_STREQ(readRow<ControlRow>(g, 2).code, "1200");
  EXPECT_EQ(win::get(editor).text, "1200");

  // A finder puts its code into the editor; message 1134 stores it
  // without a second notification.
  std::size_t heard = codesFrom(IDC_CONTROL_ACCOUNTS_GRID).size();
  win::send(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1230"));
  win::send(editor, EM_SETMODIFY, 1);
  EXPECT_EQ(grid(editor, GM_COMMITEDIT), 0);
  EXPECT_STREQ(readRow<ControlRow>(g, 2).code, "1230");
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
    win::CellInput input{2, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "7777"};
    ASSERT_EQ(win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input)), 0);
    for (int row : c.rowsVisited) ASSERT_EQ(win::send(g, win::VXM_SELECT, row), 0);
    grid(g, GM_SETCURRENTROW, 0, 2);
    grid(g, GM_CANCELEDIT);
    EXPECT_STREQ(readRow<ControlRow>(g, 2).code, c.code);
  }
}

TEST_F(GridTest, LeavingAModifiedEditorEndsTheEdit) {
  HWND g = controlGrid();
  HWND other = win::createWindow("GridTestDialog", "", WS_CHILD | WS_VISIBLE, {}, dialog, 1);
  win::CellInput click{1, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, nullptr};
  EXPECT_EQ(win::send(g, win::VXM_CLICK, 0, reinterpret_cast<LPARAM>(&click)), 0);
  std::vector<WORD> codes = codesFrom(IDC_CONTROL_ACCOUNTS_CODE_COLUMN);
  EXPECT_EQ(codes.back(), LN_FINDER) << "a click in the cell presses its finder button";

  HWND editor = win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN);
  win::send(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3000"));
  win::send(editor, EM_SETMODIFY, 1);
  EXPECT_EQ(win::send(g, EM_GETMODIFY), 1) << "an edit is pending";
  win::setFocus(other);
  EXPECT_STREQ(readRow<ControlRow>(g, 1).code, "3000");
  EXPECT_EQ(codesFrom(IDC_CONTROL_ACCOUNTS_GRID), std::vector<WORD>{GN_CELLDONE});
  EXPECT_EQ(win::send(g, EM_GETMODIFY), 0);
}

TEST_F(GridTest, HeldEditsAreStoredWithoutNotification) {
  HWND g = controlGrid();
  grid(g, GM_HOLDEDITS, 1);
  win::CellInput input{0, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "5000"};
  EXPECT_EQ(win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input)), 0);
  EXPECT_TRUE(codesFrom(IDC_CONTROL_ACCOUNTS_GRID).empty());
  grid(g, GM_HOLDEDITS, 0);
  input.text = "5001";
  win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input));
  EXPECT_EQ(codesFrom(IDC_CONTROL_ACCOUNTS_GRID).size(), 1u);
}

TEST_F(GridTest, ClearingTheRowsClosesTheEditor) {
  HWND g = controlGrid();
  win::CellInput input{0, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, "5000"};
  win::send(g, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input));
  ASSERT_NE(win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN), 0u);
  grid(g, GM_CLEAR);
  EXPECT_EQ(win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN), 0u);
  EXPECT_EQ(win::send(g, EM_GETMODIFY), 0);
}

// ---- Finding grids and describing them --------------------------------------------

TEST_F(GridTest, DialogItemMessagesFindGridsOnPages) {
  HWND page = win::createWindow("GridTestDialog", "", WS_CHILD | WS_VISIBLE, {}, dialog,
                                IDD_CUSTOMER_DISCOUNT);
  HWND g = makeGrid(IDR_CUSTOMER_DISCOUNT_GRID, IDC_CUSTOMER_DISCOUNT_TABLE, nullptr, page);
  DiscountRow row{};
  EXPECT_EQ(DESendDlgItemGridMessage(dialog, IDC_CUSTOMER_DISCOUNT_TABLE, 1803, 0, addr(row), 0),
            0);
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 1);
  EXPECT_EQ(DESendDlgItemGridMessage(dialog, 4242, 1797, 0, 0, 0), -1);
  EXPECT_EQ(DESendGridMessage(0, 1797, 0, 0, 0), 0);
}

TEST_F(GridTest, DescribeShowsColumnsRowsAndTheCursor) {
  HWND g = makeGrid(IDR_FINANCE_RATES_GRID, IDC_FINANCE_RATES_GRID);  // last column hidden
  std::uint8_t row[31] = {};
  std::strcpy(reinterpret_cast<char*>(row), "01/04/2024");
  double base = 4.5, extra = 2.126;
  std::uint32_t record = 3;
  std::memcpy(row + 11, &base, 8);
  std::memcpy(row + 19, &extra, 8);
  std::memcpy(row + 27, &record, 4);
  grid(g, GM_ADDROW, 0, reinterpret_cast<LPARAM>(row));
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
  EXPECT_EQ(eng::parseDecimal(" 12.50 "), 12.5);
  EXPECT_EQ(eng::parseDecimal("-.5"), -0.5);
  EXPECT_EQ(eng::parseDecimal("7."), 7.0);
  EXPECT_FALSE(eng::parseDecimal("1.2.3"));
  EXPECT_FALSE(eng::parseDecimal("1e5"));
  EXPECT_FALSE(eng::parseDecimal("."));
  EXPECT_FALSE(eng::parseDecimal("-"));
  EXPECT_FALSE(eng::parseDecimal(""));
  EXPECT_EQ(eng::parseWhole("+42"), 42);
  EXPECT_FALSE(eng::parseWhole("4.0"));
  EXPECT_EQ(eng::formatDecimal(-0.0, 2), "0.00");
  EXPECT_EQ(eng::formatDecimal(1.0 / 3, 6), "0.333333");
  EXPECT_EQ(eng::formatDecimal(2.6, 0), "3");
}

}  // namespace
}  // namespace vx70
