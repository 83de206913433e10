// The engine's grid "__03Grid__" where the dialogs that use it show no
// fault: its answers to a handler's requests, the cursor after deletions,
// values cut to their column, rows on demand asked for once, outline
// levels, the cell editor and its undo, and grids found on pages.
#include "host/engine/grid.h"

#include <gtest/gtest.h>

#include <cstring>
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

#pragma pack(push, 1)
struct ControlRow {  // IDR_CONTROL_ACCOUNTS_GRID
  char caption[61];
  char code[9];
};
struct CategoryRow {  // IDR_ASSET_CATEGORIES_GRID
  std::uint32_t no;
  char name[61];
};
struct DepartmentRow {  // IDR_DEPARTMENTS_GRID
  std::uint16_t no;
  char name[31];
};
struct InfoRow {  // IDR_SYSTEM_INFO_GRID
  char property[61];
  char settings[256];
};
#pragma pack(pop)

template <typename Row>
LPARAM addr(const Row& row) {
  return reinterpret_cast<LPARAM>(&row);
}

LRESULT grid(HWND g, UINT message, WPARAM w = 0, LPARAM l = 0, LPARAM fifth = 0) {
  return DESendGridMessage(g, message, w, l, fifth);
}

template <typename Row>
Row readRow(HWND g, int row) {
  Row r;
  std::memset(&r, 0xAA, sizeof r);
  EXPECT_EQ(grid(g, GM_GETROW, 0, row, addr(r)), 0) << "row " << row;
  return r;
}

class GridTest : public RecordingDialogTest {
 protected:
  HWND makeGrid(std::uint16_t layoutId, UINT id, DialogHandler rowsNeeded = nullptr,
                HWND parent = 0) {
    return make("__03Grid__", layoutId, id, rowsNeeded, 0, parent);
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
  static std::string codeOf(HWND g, int row) { return readRow<ControlRow>(g, row).code; }
  // The person types into a code cell.
  static LRESULT typeCode(HWND g, int row, const char* text) {
    win::CellInput input{row, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, text};
    return win::send(g, win::VXM_CELL, 0, addr(input));
  }
};

// In order: no record, no such row or column, no buffer are refused and
// change nothing; a width or current column set returns the one before.
TEST_F(GridTest, RequestsAnswerAsAHandlerReadsThem) {
  HWND g = controlGrid();
  const LRESULT width = Resources().grid(IDR_CONTROL_ACCOUNTS_GRID)->columns[1].displayWidth;
  ControlRow r{};
  const struct {
    UINT message;
    WPARAM w;
    LPARAM row, fifth;
    LRESULT answer;
  } steps[] = {{GM_ADDROW, 0, 0, 0, -1},
               {GM_GETROW, 0, 3, addr(r), -1},
               {GM_GETROW, 0, 0, 0, -1},
               {GM_SETROW, 0, 5, addr(r), -1},
               {GM_DELETEROW, 0, -7, 0, -1},
               {GM_DELETEROW, 0, 3, 0, -1},
               {GM_GETCELLTEXT, 1, 9, 0, -1},
               {GM_MARKROW, 1, 3, 0, -1},
               {GM_MARKROW, 1, 0, 0, 0},
               {GM_COLUMNWIDTH, 1, 20, 0, width},
               {GM_COLUMNWIDTH, 1, 30, 0, 20},
               {GM_COLUMNWIDTH, 7, 20, 0, -1},
               {GM_SETCURRENTCOLUMN, 0, 1, 0, 0},
               {GM_SETCURRENTCOLUMN, 0, 9, 0, -1},
               {GM_CURRENTCOLUMNID, 0, -1, 0, IDC_CONTROL_ACCOUNTS_CODE_COLUMN},
               {GM_CARETWINDOW, 0, 0, 0, static_cast<LRESULT>(g)},
               {GM_ROWCOUNT, 0, 0, 0, 3}};
  for (const auto& s : steps)
    EXPECT_EQ(grid(g, s.message, s.w, s.row, s.fifth), s.answer) << s.message << " " << s.row;
  EXPECT_EQ(CtrlGRIDValue(g, 9999, 0, 2), nullptr);
  EXPECT_EQ(CtrlGRIDValue(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, 3, 2), nullptr);
  EXPECT_FALSE(SetGRIDValue(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, 3, "x"));
  EXPECT_FALSE(SetGRIDValue(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, 0, nullptr));
  EXPECT_EQ(codeOf(g, 0), "1100");
}

TEST_F(GridTest, TheCurrentRowFollowsSelectionAndDeletion) {
  HWND g = makeGrid(IDR_ASSET_CATEGORIES_GRID, IDC_ASSET_CATEGORIES_GRID);
  EXPECT_EQ(grid(g, GM_CURRENTROW), -1);
  for (std::uint32_t i = 0; i < 4; ++i) grid(g, GM_ADDROW, 0, addr(CategoryRow{i, "x"}));
  EXPECT_EQ(grid(g, GM_CURRENTROW), 0) << "a filled list starts on its first row";
  const CategoryRow y{9, "y"};
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

// A handler's text is cut to its column, terminator included; a 2-byte
// whole number comes widened to 32 bits.
TEST_F(GridTest, AHandlersValuesFitTheirColumn) {
  HWND g = makeGrid(IDR_DEPARTMENTS_GRID, IDC_DEPARTMENTS_GRID);
  grid(g, GM_ADDROW, 0, addr(DepartmentRow{65535, "Sales"}));
  auto no = static_cast<const std::int32_t*>(CtrlGRIDValue(g, IDC_CODE_NUMBER_COLUMN, 0, 6));
  ASSERT_NE(no, nullptr);
  EXPECT_EQ(*no, 65535);
  EXPECT_TRUE(SetGRIDValue(g, IDC_CODE_NAME_COLUMN, 0, "Purchasing department name too long!"));
  DepartmentRow back = readRow<DepartmentRow>(g, 0);
  EXPECT_EQ(std::string(back.name, sizeof back.name),
            std::string("Purchasing department name too\0", 31));
  EXPECT_EQ(back.no, 65535);
}

std::vector<engine::GridFillRequest> g_requests;
bool g_fillSupplies = true;

// Supplies (or not) row n as category n + 1.
std::uint32_t fillCategories(HWND, UINT, UINT, HWND g, UINT, UINT) {
  auto* request = reinterpret_cast<engine::GridFillRequest*>(grid(g, GM_FILLREQUEST));
  g_requests.push_back(*request);
  for (std::uint32_t i = 0; g_fillSupplies && i < request->count; ++i) {
    CategoryRow row{static_cast<std::uint32_t>(request->firstRowToo) + i + 1, "Category"};
    grid(g, GM_ADDROW, 0, addr(row));
  }
  return 0;
}

// A row read asks for its page of twenty, once; the rows land in their own
// slots, and rows the callback leaves out stay blank rather than being
// asked for again.  The last page asks only for the rows that exist.
TEST_F(GridTest, RowsOnDemandAreAskedForOncePageByPage) {
  for (bool supplies : {true, false}) {
    SCOPED_TRACE(supplies ? "supplied" : "left out");
    g_requests.clear();
    g_fillSupplies = supplies;
    HWND g = makeGrid(IDR_ASSET_CATEGORIES_GRID, IDC_ASSET_CATEGORIES_GRID, fillCategories);
    grid(g, GM_ROWSONDEMAND, 0, 99);
    EXPECT_EQ(readRow<CategoryRow>(g, 45).no, supplies ? 46u : 0u);
    EXPECT_EQ(readRow<CategoryRow>(g, 59).no, supplies ? 60u : 0u);
    readRow<CategoryRow>(g, 40);
    ASSERT_EQ(g_requests.size(), 1u);
    EXPECT_EQ(g_requests[0].firstRowToo, 40);
    EXPECT_EQ(g_requests[0].count, 20u);
    readRow<CategoryRow>(g, 98);
    ASSERT_EQ(g_requests.size(), 2u);
    EXPECT_EQ(g_requests[1].firstRowToo, 80);
    EXPECT_EQ(g_requests[1].count, 19u);
    EXPECT_EQ(grid(g, GM_ROWCOUNT), 99);
  }
}

// A closed heading hides its rows; opening them from the last heading to
// the first keeps the rows still to open where they were.  A row under no
// heading stays at the top level.
TEST_F(GridTest, OutlineLevelsOpenFromTheLastHeadingToTheFirst) {
  HWND g = makeGrid(IDR_SYSTEM_INFO_GRID, IDC_SYSTEM_INFO_GRID);
  const struct {
    WPARAM child;
    const char* property;
  } rows[] = {{1, "Orphan"}, {0, "Directories"}, {1, "Program"},
              {1, "Data"},   {0, "Information"}, {1, "Headers"}};
  for (const auto& r : rows) {
    InfoRow row{};
    std::strcpy(row.property, r.property);
    grid(g, GM_ADDROW, r.child, addr(row));
  }
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 3);
  EXPECT_STREQ(readRow<InfoRow>(g, 2).property, "Information");
  for (int row = 2; row >= 0; --row) grid(g, GM_OPENLEVEL, 1, row);
  ASSERT_EQ(grid(g, GM_ROWCOUNT), 6);
  for (int row = 0; row < 6; ++row)
    EXPECT_STREQ(readRow<InfoRow>(g, row).property, rows[row].property) << row;
}

// The editor is a child named by its column, with the caret; the edit is
// pending while the dialog hears of it and over afterwards.
TEST_F(GridTest, TheCellEditorIsAChildWithTheColumnsIdentifier) {
  HWND g = controlGrid();
  std::optional<LRESULT> modifiedWhileHeard;
  g_onCommand = [&](const Command& c) {
    if (c.id == IDC_CONTROL_ACCOUNTS_GRID && c.code == GN_CELLDONE)
      modifiedWhileHeard = win::send(c.control, EM_GETMODIFY);
  };
  ASSERT_EQ(typeCode(g, 1, "4000"), 0);
  HWND editor = win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN);
  ASSERT_NE(editor, 0u);
  EXPECT_EQ(win::focus(), editor);
  EXPECT_EQ(grid(g, GM_CARETWINDOW), static_cast<LRESULT>(editor));
  EXPECT_EQ(modifiedWhileHeard, 1);
  EXPECT_EQ(win::send(g, EM_GETMODIFY), 0);
  char code[9] = {};
  EXPECT_EQ(grid(g, GM_GETCELLTEXT, 1, -1, addr(code)), 4);
  EXPECT_STREQ(code, "4000");
}

TEST_F(GridTest, APostedCancelUndoesTheLastEditAndCommitTakesTheEditorText) {
  HWND g = controlGrid();
  typeCode(g, 2, "7777");
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

TEST_F(GridTest, HeldEditsAreStoredWithoutNotificationAndClearingClosesTheEditor) {
  HWND g = controlGrid();
  grid(g, GM_HOLDEDITS, 1);
  EXPECT_EQ(typeCode(g, 0, "5000"), 0);
  EXPECT_EQ(codeOf(g, 0), "5000");
  EXPECT_EQ(codesFrom(IDC_CONTROL_ACCOUNTS_GRID).size(), 0u);
  grid(g, GM_HOLDEDITS, 0);
  typeCode(g, 0, "5001");
  EXPECT_EQ(codesFrom(IDC_CONTROL_ACCOUNTS_GRID).size(), 1u);
  grid(g, GM_CLEAR);
  EXPECT_EQ(win::childById(g, IDC_CONTROL_ACCOUNTS_CODE_COLUMN), 0u);
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
    ASSERT_EQ(typeCode(g, 2, "7777"), 0);
    for (int row : c.rowsVisited) ASSERT_EQ(win::send(g, win::VXM_SELECT, row), 0);
    grid(g, GM_SETCURRENTROW, 0, 2);
    grid(g, GM_CANCELEDIT);
    EXPECT_EQ(codeOf(g, 2), c.code);
  }
}

TEST_F(GridTest, DialogItemMessagesFindGridsOnPages) {
  HWND page = win::createWindow("RecordingDialog", "", WS_CHILD | WS_VISIBLE, {}, dialog,
                                IDD_CUSTOMER_DISCOUNT);
  HWND g = makeGrid(IDR_FINANCE_RATES_GRID, IDC_FINANCE_RATES_GRID, nullptr, page);
  std::uint8_t row[31] = {};
  EXPECT_EQ(DESendDlgItemGridMessage(dialog, IDC_FINANCE_RATES_GRID, GM_ADDROW, 0, addr(row), 0),
            0);
  EXPECT_EQ(grid(g, GM_ROWCOUNT), 1);
  EXPECT_EQ(DESendDlgItemGridMessage(dialog, 4242, GM_ROWCOUNT, 0, 0, 0), -1);
  EXPECT_EQ(DESendGridMessage(0, GM_ROWCOUNT, 0, 0, 0), 0);
}

TEST(GridNumbers, TypedNumbersAreStrict) {
  const struct {
    const char* text;
    std::optional<double> decimal;
  } cases[] = {{" 12.50 ", 12.5}, {"-.5", -0.5}, {"7.", 7.0}, {"1.2.3", {}},
               {"1e5", {}},       {".", {}},     {"-", {}},   {"", {}}};
  for (const auto& c : cases) EXPECT_EQ(engine::parseDecimal(c.text), c.decimal) << c.text;
  EXPECT_EQ(engine::parseWhole("+42"), 42);
  EXPECT_FALSE(engine::parseWhole("4.0"));
  EXPECT_EQ(engine::formatDecimal(-0.0, 2), "0.00");
  EXPECT_EQ(engine::formatDecimal(1.0 / 3, 6), "0.333333");
  EXPECT_EQ(engine::formatDecimal(2.6, 0), "3");
}

}  // namespace
}  // namespace vx70::test
