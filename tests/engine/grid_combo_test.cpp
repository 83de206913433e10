// The grid-combo "__03Combo__" (lists, look-up fields, the numeric combo)
// and the calculator edit "#VX32CALCEDIT": values, texts, the user's
// actions and the notifications that the module's handlers act on.
#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "frame/res/ids_codes.h"
#include "frame/res/ids_ledgers.h"
#include "tests/engine/recording_dialog.h"

namespace vx70::test {
namespace {

const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                         "July",    "August",   "September", "October", "November", "December"};

LPARAM text(const char* t) { return reinterpret_cast<LPARAM>(t); }

class ComboTest : public RecordingDialogTest {
 protected:
  HWND makeCombo(std::optional<std::uint16_t> gridId, UINT id, UINT entryLength = 0,
                 DialogHandler rowsNeeded = nullptr) {
    return make("__03Combo__", gridId, id, rowsNeeded, entryLength);
  }
  HWND monthList() {
    HWND combo = makeCombo(IDR_MONTH_GRID, IDC_FY_START_MONTH);
    for (const char* m : kMonths) DESendGridMessage(combo, 1804, 0, text(m), 0);
    return combo;
  }
  static LRESULT selection(HWND combo) { return DESendGridMessage(combo, 1798, 0, 0, 0); }
  static LRESULT type(HWND w, const char* t) { return win::send(w, win::VXM_TYPE, 0, text(t)); }
  static std::string shown(HWND w) {
    char buffer[64] = {};
    win::send(w, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }
};

// ---- Lists ----------------------------------------------------------------------

TEST_F(ComboTest, TheMonthListHoldsEachMonthOnceAndSelectsByIndexQuietly) {
  HWND combo = monthList();
  for (const char* m : kMonths) DESendGridMessage(combo, 1804, 0, text(m), 0);
  EXPECT_EQ(DESendGridMessage(combo, 1797, 0, 0, 0), 12) << "each month once however often filled";
  EXPECT_EQ(DESendGridMessage(combo, 1804, 0, text("March"), 0), 2);
  EXPECT_EQ(selection(combo), -1);
  EXPECT_EQ(DESendGridMessage(combo, 1800, 1, 8, 0), 0);
  EXPECT_EQ(selection(combo), 8);
  EXPECT_EQ(shown(combo), "September");
  char buffer[16] = {};
  EXPECT_EQ(DESendGridMessage(combo, 1815, 0, 3, reinterpret_cast<LPARAM>(buffer)), 5);
  EXPECT_STREQ(buffer, "April");
  EXPECT_EQ(DESendGridMessage(combo, 1815, 0, 12, reinterpret_cast<LPARAM>(buffer)), -1);
  EXPECT_TRUE(g_commands.empty()) << "the program's selection tells the dialog nothing";
  // An index beyond a list reads back unchanged and shows nothing.
  HWND empty = makeCombo(IDR_DEPARTMENTS_GRID, IDC_LEDGER_DEPARTMENT);
  EXPECT_EQ(DESendGridMessage(empty, 1800, 0, 5, 0), -1);
  EXPECT_EQ(selection(empty), 5);
  EXPECT_EQ(shown(empty), "");
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
  EXPECT_EQ(shown(combo), "Euro");
  EXPECT_EQ(win::get(combo).text, "Euro");
}

TEST_F(ComboTest, TheUserPicksFromTheList) {
  HWND combo = monthList();
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 3), 0);
  EXPECT_EQ(selection(combo), 3);
  EXPECT_EQ(shown(combo), "April");
  EXPECT_EQ(codesFrom(), std::vector<WORD>{CBN_SELCHANGE});
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 12), -1);
  EXPECT_EQ(type(combo, "dec"), 0);
  EXPECT_EQ(type(combo, "Smarch"), -1);
  EXPECT_EQ(selection(combo), 11);
  win::get(combo).enabled = false;
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 1), -1);
}

int g_fills = 0;
std::uint32_t fillDepartments(HWND, UINT, UINT, HWND combo, UINT, UINT) {
  ++g_fills;
  auto* request =
      reinterpret_cast<engine::GridFillRequest*>(DESendGridMessage(combo, 1830, 0, 0, 0));
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
  EXPECT_EQ(shown(combo), "Dept 25");
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

TEST_F(ComboTest, ALookUpFieldCutsTypingEntersCodesReportsLeavingAndOpensTheFinder) {
  HWND field = makeCombo(std::nullopt, IDC_LEDGER_NOMINAL_CODE, 9);
  win::send(field, WM_SETTEXT, 0, text("4000"));
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 0) << "the program's text is no change of the user's";
  EXPECT_EQ(codesFrom(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
  win::setFocus(field);
  EXPECT_EQ(type(field, "ABCDEFGHIJ"), 0);
  EXPECT_EQ(shown(field), "ABCDEFGH");
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 1);
  g_commands.clear();
  win::send(field, WM_KEYDOWN, engine::kEnterKey);
  EXPECT_EQ(codesFrom(), std::vector<WORD>{LN_CODEENTERED});
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 0) << "the entered code is taken";
  type(field, "40");
  g_commands.clear();
  win::setFocus(other);
  EXPECT_EQ(codesFrom(), std::vector<WORD>{EN_KILLFOCUS});
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 1) << "a handler reads whether the text changed";
  g_commands.clear();
  EXPECT_EQ(win::send(field, win::VXM_CLICK), 0);
  EXPECT_EQ(codesFrom(IDC_LEDGER_NOMINAL_CODE), std::vector<WORD>{LN_FINDER});
}

TEST_F(ComboTest, ReadOnlyOrDisabledFieldsRefuseTheUserAndCancelRestoresTheText) {
  HWND field = makeCombo(std::nullopt, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, 9);
  win::send(field, WM_SETTEXT, 0, text("1100"));
  type(field, "garbage");
  EXPECT_EQ(win::send(field, GM_CANCELEDIT), 0);
  EXPECT_EQ(shown(field), "1100");
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 0);
  win::send(field, EM_SETREADONLY, 1);
  EXPECT_EQ(type(field, "1"), -1);
  EXPECT_EQ(win::send(field, win::VXM_CLICK), 0) << "the finder still answers, read-only or not";
  win::send(field, EM_SETREADONLY, 0);
  win::get(field).enabled = false;
  EXPECT_EQ(type(field, "1"), -1);
  EXPECT_EQ(win::send(field, win::VXM_CLICK), -1);
  EXPECT_EQ(shown(field), "1100");
}

// ---- Numbers: the numeric combo and the calculator edit ---------------------------

double valueOf(HWND w) {
  double v = -1;
  win::send(w, win::VXM_GETDOUBLE, 0, reinterpret_cast<LPARAM>(&v));
  return v;
}

void setValue(HWND w, double v) {
  win::send(w, win::VXM_SETDOUBLE, 0, reinterpret_cast<LPARAM>(&v));
}

TEST_F(ComboTest, ANumericComboCarriesAnEightByteValue) {
  HWND combo = makeCombo(std::nullopt, IDC_PREFS_CALL_CHARGE_RATE, 12);
  setValue(combo, 1.5);
  EXPECT_EQ(shown(combo), "1.50");
  EXPECT_EQ(type(combo, "abc"), -1);
  EXPECT_EQ(type(combo, "0.125"), 0);
  EXPECT_EQ(valueOf(combo), 0.13) << "the value it shows, rounded half away from zero";
  EXPECT_EQ(shown(combo), "0.13");
  win::send(combo, win::VXM_SETDECIMALS, 4);
  EXPECT_EQ(shown(combo), "0.1300");
}

class CalcEditTest : public ComboTest {
 protected:
  void SetUp() override {
    ComboTest::SetUp();
    edit = win::createWindow("#VX32CALCEDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, {}, dialog,
                             IDC_LEDGER_CREDIT_LIMIT);
  }
  HWND edit = 0;
};

TEST_F(CalcEditTest, ShowsItsValueWithItsDecimalPlacesAndParsesTheProgramsText) {
  EXPECT_EQ(shown(edit), "0.00");
  setValue(edit, 1.23456789);
  EXPECT_EQ(shown(edit), "1.23");
  win::send(edit, win::VXM_SETDECIMALS, 6);
  EXPECT_EQ(shown(edit), "1.234568");
  EXPECT_EQ(valueOf(edit), 1.23456789);
  EXPECT_EQ(win::send(edit, WM_GETTEXTLENGTH), 8);
  type(edit, "3");
  EXPECT_EQ(win::send(edit, WM_SETTEXT, 0, text("3.14159")), TRUE);
  EXPECT_EQ(valueOf(edit), 3.14159);
  EXPECT_EQ(win::send(edit, EM_GETMODIFY), 0);
  EXPECT_EQ(win::send(edit, WM_SETTEXT, 0, text("pi")), FALSE);
  EXPECT_EQ(valueOf(edit), 3.14159);
}

TEST_F(CalcEditTest, TypedNumbersAreTakenAndAnythingElseChangesNothing) {
  win::setFocus(edit);
  EXPECT_EQ(type(edit, "12.5"), 0);
  EXPECT_EQ(valueOf(edit), 12.5);
  EXPECT_EQ(shown(edit), "12.50");
  EXPECT_EQ(win::send(edit, EM_GETMODIFY), 1);
  win::setFocus(other);
  EXPECT_EQ(codesFrom(IDC_LEDGER_CREDIT_LIMIT),
            (std::vector<WORD>{EN_SETFOCUS, EN_CHANGE, EN_KILLFOCUS}));
  g_commands.clear();
  EXPECT_EQ(type(edit, "12a"), -1);
  EXPECT_EQ(type(edit, "1,000"), -1);
  EXPECT_EQ(valueOf(edit), 12.5);
  EXPECT_TRUE(g_commands.empty());
  EXPECT_EQ(type(edit, "-5"), 0) << "negative values are the handlers' to judge";
  EXPECT_EQ(valueOf(edit), -5.0);
  EXPECT_EQ(type(edit, ""), 0);
  EXPECT_EQ(valueOf(edit), 0.0);
  win::send(edit, EM_SETREADONLY, 1);
  EXPECT_EQ(type(edit, "1"), -1);
  nlohmann::json d;
  win::describe(edit, d);
  EXPECT_EQ(d["value"], 0.0);
  EXPECT_EQ(d["decimals"], 2);
}

TEST_F(CalcEditTest, WholeNumberModeShowsAndTakesNoDecimals) {
  setValue(edit, 7);
  EXPECT_EQ(win::send(edit, GM_SETNUMBERMODE, 2), 0);
  EXPECT_EQ(shown(edit), "7");
  EXPECT_EQ(type(edit, "1.5"), -1);
  EXPECT_EQ(type(edit, "42"), 0);
  EXPECT_EQ(valueOf(edit), 42.0);
  EXPECT_EQ(DESendGridMessage(edit, 1125, 0, 0, 0), 2);
  EXPECT_EQ(shown(edit), "42.00");
}

}  // namespace
}  // namespace vx70::test
