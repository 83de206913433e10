// The grid-combo "__03Combo__" (lists and look-up fields) and the
// calculator edit "#VX32CALCEDIT" where the dialogs that use them show no
// fault: a list's own notification, a field's length and its cancel, and
// the calculator edit's places, refusals and whole-number mode.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "frame/res/ids_ledgers.h"
#include "tests/engine/recording_dialog.h"

namespace vx70::test {
namespace {

LPARAM text(const char* t) { return reinterpret_cast<LPARAM>(t); }

class ComboTest : public RecordingDialogTest {
 protected:
  HWND makeCombo(std::optional<std::uint16_t> gridId, UINT id, UINT entryLength = 0) {
    return make("__03Combo__", gridId, id, nullptr, entryLength);
  }
  static LRESULT type(HWND w, const char* t) { return win::send(w, win::VXM_TYPE, 0, text(t)); }
  static std::string shown(HWND w) {
    char buffer[64] = {};
    win::send(w, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }
};

TEST_F(ComboTest, TheUserPicksFromTheList) {
  HWND combo = makeCombo(IDR_MONTH_GRID, IDC_FY_START_MONTH);
  for (const char* m : {"January", "February", "March", "April"})
    DESendGridMessage(combo, GM_ADDITEM, 0, text(m), 0);
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 3), 0);
  EXPECT_EQ(DESendGridMessage(combo, GM_CURRENTROW, 0, 0, 0), 3);
  EXPECT_EQ(shown(combo), "April");
  EXPECT_EQ(codesFrom(), std::vector<WORD>{CBN_SELCHANGE});
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 4), -1);
  EXPECT_EQ(type(combo, "feb"), 0);
  EXPECT_EQ(type(combo, "Smarch"), -1);
  EXPECT_EQ(shown(combo), "February");
  win::get(combo).enabled = false;
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 1), -1);
}

// Typing is cut to the field's length; cancel restores the program's text;
// a read-only or disabled field refuses typing, and a disabled one the
// finder too.
TEST_F(ComboTest, ALookUpFieldCutsTypingAndCancelRestoresTheProgramsText) {
  HWND field = makeCombo(std::nullopt, IDC_LEDGER_NOMINAL_CODE, 9);
  win::send(field, WM_SETTEXT, 0, text("4000"));
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 0) << "the program's text is no change of the user's";
  win::setFocus(field);
  EXPECT_EQ(type(field, "ABCDEFGHIJ"), 0);
  EXPECT_EQ(shown(field), "ABCDEFGH");
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 1);
  EXPECT_EQ(win::send(field, GM_CANCELEDIT), 0);
  EXPECT_EQ(shown(field), "4000");
  EXPECT_EQ(win::send(field, EM_GETMODIFY), 0);
  win::send(field, EM_SETREADONLY, 1);
  EXPECT_EQ(type(field, "1"), -1);
  EXPECT_EQ(win::send(field, win::VXM_CLICK), 0) << "the finder still answers, read-only or not";
  win::send(field, EM_SETREADONLY, 0);
  win::get(field).enabled = false;
  EXPECT_EQ(type(field, "1"), -1);
  EXPECT_EQ(win::send(field, win::VXM_CLICK), -1);
  EXPECT_EQ(shown(field), "4000");
}

// ---- The calculator edit ----------------------------------------------------------

double valueOf(HWND w) {
  double v = -1;
  win::send(w, win::VXM_GETDOUBLE, 0, reinterpret_cast<LPARAM>(&v));
  return v;
}

void setValue(HWND w, double v) {
  win::send(w, win::VXM_SETDOUBLE, 0, reinterpret_cast<LPARAM>(&v));
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
  EXPECT_EQ(type(edit, ""), 0);
  EXPECT_EQ(valueOf(edit), 0.0);
  EXPECT_EQ(type(edit, "-5"), 0) << "negative values are the handlers' to judge";
  win::send(edit, EM_SETREADONLY, 1);
  EXPECT_EQ(type(edit, "1"), -1);
  nlohmann::json d;
  win::describe(edit, d);
  EXPECT_EQ(d["value"], -5.0);
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
