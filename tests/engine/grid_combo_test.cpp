// The grid-combo "__03Combo__" (lists, look-up fields, the numeric combo)
// and the calculator edit "#VX32CALCEDIT": values, texts, the user's
// actions and the notifications that the module's handlers act on.
#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "frame/res/ids_codes.h"
#include "frame/res/ids_company.h"
#include "frame/res/ids_ledgers.h"
#include "host/engine/grid.h"
#include "host/win32/window.h"
#include "tests/support/res_fixture.h"

namespace vx70 {
namespace {

namespace eng = engine;

struct Command {
  UINT id;
  WORD code;
};
std::vector<Command> g_commands;

LRESULT recordingDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COMMAND) return win::defWindowProc(window, message, wParam, lParam);
  g_commands.push_back({LOWORD(wParam), HIWORD(wParam)});
  return 0;
}

std::vector<WORD> codes() {
  std::vector<WORD> out;
  for (const auto& c : g_commands) out.push_back(c.code);
  return out;
}

const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                         "July",    "August",   "September", "October", "November", "December"};

class ComboTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::reset();
    g_commands.clear();
    win::registerClass("ComboTestDialog", recordingDialog);
    eng::registerEngineControls();
    // The dialog of the month list; the other combos never ask for its
    // identifier.
    dialog = win::createWindow("ComboTestDialog", "", WS_VISIBLE, {}, 0, IDD_FINANCIAL_YEAR);
    other = win::createWindow("ComboTestDialog", "", WS_CHILD | WS_VISIBLE, {}, dialog, 1);
  }
  void TearDown() override { win::reset(); }

  HWND makeCombo(std::optional<std::uint16_t> gridId, UINT id, UINT entryLength = 0,
                 DialogHandler rowsNeeded = nullptr) {
    std::optional<res::Grid> layout;
    if (gridId) layout = test::Resources().grid(*gridId);
    eng::GridCreateParams params{layout ? &*layout : nullptr, dialog, id, rowsNeeded, entryLength};
    return win::createWindow("__03Combo__", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, {}, dialog, id,
                             &params);
  }

  HWND monthList() {
    HWND combo = makeCombo(IDR_MONTH_GRID, IDC_FY_START_MONTH);
    for (const char* m : kMonths) DESendGridMessage(combo, 1804, 0, reinterpret_cast<LPARAM>(m), 0);
    return combo;
  }

  static std::string text(HWND w) {
    char buffer[64] = {};
    win::send(w, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }

  HWND dialog = 0;
  HWND other = 0;
};

// ---- Lists ----------------------------------------------------------------------

TEST_F(ComboTest, TheMonthListHoldsEachMonthOnceHoweverOftenItIsFilled) {
  HWND combo = monthList();
  for (const char* m : kMonths) DESendGridMessage(combo, 1804, 0, reinterpret_cast<LPARAM>(m), 0);
  EXPECT_EQ(DESendGridMessage(combo, 1797, 0, 0, 0), 12);
  EXPECT_EQ(DESendGridMessage(combo, 1804, 0, reinterpret_cast<LPARAM>("March"), 0), 2);
}

TEST_F(ComboTest, SelectionIndexItemTextsAndTheShownText) {
  HWND combo = monthList();
  EXPECT_EQ(DESendGridMessage(combo, 1798, 0, 0, 0), -1);
  EXPECT_EQ(DESendGridMessage(combo, 1800, 1, 8, 0), 0);
  EXPECT_EQ(DESendGridMessage(combo, 1798, 0, 0, 0), 8);
  EXPECT_EQ(text(combo), "September");

  char buffer[16] = {};
  EXPECT_EQ(DESendGridMessage(combo, 1815, 0, 3, reinterpret_cast<LPARAM>(buffer)), 5);
  EXPECT_STREQ(buffer, "April");
  EXPECT_EQ(DESendGridMessage(combo, 1815, 0, 12, reinterpret_cast<LPARAM>(buffer)), -1);
  EXPECT_TRUE(g_commands.empty()) << "the program's selection tells the dialog nothing";
}

TEST_F(ComboTest, AnIndexBeyondTheListReadsBackUnchanged) {
  HWND combo = makeCombo(IDR_DEPARTMENTS_GRID, IDC_LEDGER_DEPARTMENT);
  EXPECT_EQ(DESendGridMessage(combo, 1800, 0, 5, 0), -1);
  EXPECT_EQ(DESendGridMessage(combo, 1798, 0, 0, 0), 5);
  EXPECT_EQ(text(combo), "");
  EXPECT_EQ(DESendGridMessage(combo, 1800, 0, -1, 0), -1);
  EXPECT_EQ(DESendGridMessage(combo, 1798, 0, 0, 0), -1);
}

TEST_F(ComboTest, AListShowsItsNameColumnNotItsNumber) {
  HWND combo = makeCombo(IDR_CURRENCY_COMBO_GRID, IDC_LEDGER_CURRENCY);  // currencies: "No", "Name"
#pragma pack(push, 1)
  struct {
    std::uint32_t no;
    char name[31];
  } row{2, "Euro"};
#pragma pack(pop)
  DESendGridMessage(combo, 1803, 0, reinterpret_cast<LPARAM>(&row), 0);
  DESendGridMessage(combo, 1800, 0, 0, 0);
  EXPECT_EQ(text(combo), "Euro");
  EXPECT_EQ(win::get(combo).text, "Euro");
}

TEST_F(ComboTest, TheUserPicksFromTheList) {
  HWND combo = monthList();
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 3), 0);
  EXPECT_EQ(DESendGridMessage(combo, 1798, 0, 0, 0), 3);
  EXPECT_EQ(text(combo), "April");
  EXPECT_EQ(codes(), std::vector<WORD>{CBN_SELCHANGE});

  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 12), -1);
  EXPECT_EQ(win::send(combo, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("dec")), 0);
  EXPECT_EQ(DESendGridMessage(combo, 1798, 0, 0, 0), 11);
  EXPECT_EQ(win::send(combo, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("Smarch")), -1);
  EXPECT_EQ(DESendGridMessage(combo, 1798, 0, 0, 0), 11);

  win::get(combo).enabled = false;
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 1), -1);
}

int g_fills = 0;
std::uint32_t fillDepartments(HWND, UINT, UINT, HWND combo, UINT, UINT) {
  ++g_fills;
  auto* request = reinterpret_cast<eng::GridFillRequest*>(DESendGridMessage(combo, 1830, 0, 0, 0));
  for (std::uint32_t i = 0; i < request->count; ++i) {
#pragma pack(push, 1)
    struct {
      std::uint16_t no;
      char name[31];
    } row{};
#pragma pack(pop)
    int r = request->firstRowToo + static_cast<int>(i);
    row.no = static_cast<std::uint16_t>(r);
    std::snprintf(row.name, sizeof row.name, "Dept %d", r);
    DESendGridMessage(combo, 1803, 0, reinterpret_cast<LPARAM>(&row), 0);
  }
  return 0;
}

TEST_F(ComboTest, OnDemandRowsAreFetchedWhenShownOrDroppedDown) {
  g_fills = 0;
  HWND combo = makeCombo(IDR_DEPARTMENTS_GRID, IDC_LEDGER_DEPARTMENT, 0, fillDepartments);
  DESendGridMessage(combo, 1831, 0, 45, 0);
  EXPECT_EQ(g_fills, 0);
  DESendGridMessage(combo, 1800, 0, 25, 0);
  EXPECT_EQ(g_fills, 1);
  EXPECT_EQ(text(combo), "Dept 25");
  // The field asked for its row alone; the list asks page by page.
  EXPECT_EQ(win::send(combo, win::VXM_DROPDOWN), 0);
  EXPECT_EQ(g_fills, 4);
  EXPECT_EQ(g_commands.back().code, CBN_DROPDOWN);

  nlohmann::json d;
  win::describe(combo, d);
  EXPECT_EQ(d["items"].size(), 45u);
  EXPECT_EQ(d["items"][44], "Dept 44");
  EXPECT_EQ(d["selection"], 25);
}

// ---- Look-up fields ----------------------------------------------------------------

TEST_F(ComboTest, TypingIntoALookUpFieldIsCutToItsLengthAndMarksItModified) {
  HWND field = makeCombo(std::nullopt, IDC_LEDGER_NOMINAL_CODE, 9);
  EXPECT_EQ(win::send(field, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("ABCDEFGHIJ")), 0);
  EXPECT_EQ(text(field), "ABCDEFGH");
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 1);
  EXPECT_EQ(codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));

  g_commands.clear();
  win::send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("4000"));
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 0) << "the program's text is no change of the user's";
  EXPECT_EQ(text(field), "4000");
  EXPECT_EQ(codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
}

TEST_F(ComboTest, EnterConfirmsTheCodeLeavingReportsTheFocusLossAndTheButtonOpensTheFinder) {
  HWND field = makeCombo(std::nullopt, IDC_LEDGER_NOMINAL_CODE, 9);
  win::setFocus(field);
  win::send(field, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("4000"));
  g_commands.clear();

  win::send(field, WM_KEYDOWN, eng::kEnterKey);
  EXPECT_EQ(codes(), std::vector<WORD>{LN_CODEENTERED});
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 0) << "the entered code is taken";

  win::send(field, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("40"));
  g_commands.clear();
  win::setFocus(other);
  EXPECT_EQ(codes(), std::vector<WORD>{EN_KILLFOCUS});
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 1) << "a handler reads whether the text changed";

  g_commands.clear();
  EXPECT_EQ(win::send(field, win::VXM_CLICK), 0);
  EXPECT_EQ(codes(), std::vector<WORD>{LN_FINDER});
  EXPECT_EQ(g_commands[0].id, static_cast<UINT>(IDC_LEDGER_NOMINAL_CODE));
}

TEST_F(ComboTest, ReadOnlyOrDisabledFieldsRefuseTheUser) {
  HWND field = makeCombo(std::nullopt, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, 9);
  win::send(field, EM_SETREADONLY, 1);
  EXPECT_EQ(win::send(field, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("1")), -1);
  EXPECT_EQ(win::send(field, win::VXM_CLICK), 0) << "the finder still answers, read-only or not";
  win::send(field, EM_SETREADONLY, 0);
  win::get(field).enabled = false;
  EXPECT_EQ(win::send(field, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("1")), -1);
  EXPECT_EQ(win::send(field, win::VXM_CLICK), -1);
  EXPECT_EQ(win::send(field, win::VXM_SELECT, 0), -1);
}

TEST_F(ComboTest, CancelRestoresTheProgramsText) {
  HWND field = makeCombo(std::nullopt, IDC_PROGRAM_DATE_FIELD, 11);
  win::send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("01/01/2024"));
  win::send(field, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("garbage"));
  EXPECT_EQ(win::send(field, GM_CANCELEDIT), 0);
  EXPECT_EQ(text(field), "01/01/2024");
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 0);
}

TEST_F(ComboTest, ANumericComboCarriesAnEightByteValue) {
  HWND combo = makeCombo(std::nullopt, IDC_PREFS_CALL_CHARGE_RATE, 12);
  double v = 1.5;
  win::send(combo, win::VXM_SETDOUBLE, 0, reinterpret_cast<LPARAM>(&v));
  EXPECT_EQ(text(combo), "1.50");
  EXPECT_EQ(win::send(combo, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("abc")), -1);
  EXPECT_EQ(win::send(combo, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("0.125")), 0);
  double out = 0;
  win::send(combo, win::VXM_GETDOUBLE, 0, reinterpret_cast<LPARAM>(&out));
  EXPECT_EQ(out, 0.13) << "the value it shows, rounded half away from zero";
  EXPECT_EQ(text(combo), "0.13");
  win::send(combo, win::VXM_SETDECIMALS, 4);
  EXPECT_EQ(text(combo), "0.1300");
}

// ---- Calculator edits ----------------------------------------------------------------

class CalcEditTest : public ComboTest {
 protected:
  void SetUp() override {
    ComboTest::SetUp();
    edit = win::createWindow("#VX32CALCEDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, {}, dialog,
                             IDC_LEDGER_CREDIT_LIMIT);
  }
  double value() {
    double v = -1;
    win::send(edit, win::VXM_GETDOUBLE, 0, reinterpret_cast<LPARAM>(&v));
    return v;
  }
  LRESULT type(const char* t) {
    return win::send(edit, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>(t));
  }
  HWND edit = 0;
};

TEST_F(CalcEditTest, ShowsItsValueWithItsDecimalPlaces) {
  EXPECT_EQ(text(edit), "0.00");
  double v = 1.23456789;
  win::send(edit, win::VXM_SETDOUBLE, 0, reinterpret_cast<LPARAM>(&v));
  EXPECT_EQ(text(edit), "1.23");
  win::send(edit, win::VXM_SETDECIMALS, 6);
  EXPECT_EQ(text(edit), "1.234568");
  EXPECT_EQ(value(), 1.23456789);
  EXPECT_EQ(win::send(edit, WM_GETTEXTLENGTH), 8);
}

TEST_F(CalcEditTest, TypedNumbersAreTakenAndAnythingElseChangesNothing) {
  EXPECT_EQ(type("12.5"), 0);
  EXPECT_EQ(value(), 12.5);
  EXPECT_EQ(text(edit), "12.50");
  EXPECT_EQ(win::send(edit, EM_GETMODIFY), 1);
  EXPECT_EQ(codes(), std::vector<WORD>{EN_CHANGE});

  g_commands.clear();
  EXPECT_EQ(type("12a"), -1);
  EXPECT_EQ(type("1,000"), -1);
  EXPECT_EQ(value(), 12.5);
  EXPECT_TRUE(g_commands.empty());
  EXPECT_EQ(type(""), 0);
  EXPECT_EQ(value(), 0.0);
  EXPECT_EQ(type("-5"), 0) << "negative values are the handlers' to judge";
  EXPECT_EQ(value(), -5.0);

  win::send(edit, EM_SETREADONLY, 1);
  EXPECT_EQ(type("1"), -1);
}

TEST_F(CalcEditTest, TheProgramsTextIsParsedAndClearsTheModifiedFlag) {
  type("3");
  EXPECT_EQ(win::send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3.14159")), TRUE);
  EXPECT_EQ(value(), 3.14159);
  EXPECT_EQ(win::send(edit, EM_GETMODIFY), 0);
  EXPECT_EQ(win::send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("pi")), FALSE);
  EXPECT_EQ(value(), 3.14159);
}

TEST_F(CalcEditTest, WholeNumberModeShowsAndTakesNoDecimals) {
  double v = 7;
  win::send(edit, win::VXM_SETDOUBLE, 0, reinterpret_cast<LPARAM>(&v));
  EXPECT_EQ(win::send(edit, GM_SETNUMBERMODE, 2), 0);
  EXPECT_EQ(text(edit), "7");
  EXPECT_EQ(type("1.5"), -1);
  EXPECT_EQ(type("42"), 0);
  EXPECT_EQ(value(), 42.0);
  EXPECT_EQ(DESendGridMessage(edit, 1125, 0, 0, 0), 2);
  EXPECT_EQ(text(edit), "42.00");
}

TEST_F(CalcEditTest, FocusChangesAreReported) {
  win::setFocus(edit);
  win::setFocus(other);
  EXPECT_EQ(codes(), (std::vector<WORD>{EN_SETFOCUS, EN_KILLFOCUS}));
  EXPECT_EQ(g_commands[1].id, static_cast<UINT>(IDC_LEDGER_CREDIT_LIMIT));
  nlohmann::json d;
  win::describe(edit, d);
  EXPECT_EQ(d["value"], 0.0);
  EXPECT_EQ(d["decimals"], 2);
  EXPECT_EQ(d["text"], "0.00");
}

}  // namespace
}  // namespace vx70
