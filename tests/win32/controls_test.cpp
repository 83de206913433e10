// The standard controls: what they tell their parent for each call and
// each user action, and what a user sees of them.
#include "host/win32/controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "api/host_api.h"
#include "host/win32/window.h"

namespace win = vx70::win;

namespace {

struct Notice {
  UINT id;
  WORD code;
  bool operator==(const Notice&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Notice& n) {
  return out << "{" << n.id << ", 0x" << std::hex << n.code << std::dec << "}";
}

std::vector<Notice> notices;
std::function<void(UINT id, WORD code, HWND control)> onCommand;

LRESULT parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    auto control = static_cast<HWND>(lParam);
    EXPECT_EQ(win::get(control).id, LOWORD(wParam));
    notices.push_back({LOWORD(wParam), HIWORD(wParam)});
    if (onCommand) onCommand(LOWORD(wParam), HIWORD(wParam), control);
    return 0;
  }
  return win::defWindowProc(window, message, wParam, lParam);
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::reset();
    win::registerStandardControls();
    win::registerClass("TestParent", parentProc);
    dialog = win::createWindow("TestParent", "Dialog", WS_VISIBLE, {0, 0, 300, 200}, 0, 0);
    notices.clear();
    onCommand = nullptr;
  }
  void TearDown() override {
    onCommand = nullptr;
    win::reset();
  }

  HWND control(const char* cls, UINT id, DWORD style, const char* text = "") {
    return win::createWindow(cls, text, WS_CHILD | WS_VISIBLE | style, {0, 0, 50, 14}, dialog, id);
  }
  static LRESULT type(HWND window, const char* text) {
    return win::send(window, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>(text));
  }
  static std::string text(HWND window) { return win::get(window).text; }
  static nlohmann::json described(HWND window) {
    nlohmann::json out;
    win::describe(window, out);
    return out;
  }
  std::vector<Notice> take() { return std::exchange(notices, {}); }

  HWND dialog = 0;
};

// ---- EDIT ----

TEST_F(ControlsTest, TypingFocusesTheEditMarksItModifiedAndNotifies) {
  HWND other = control("EDIT", 1, 0);
  HWND edit = control("EDIT", 2, 0);
  SetFocus(other);
  take();
  EXPECT_EQ(type(edit, "Smith"), 0);
  EXPECT_EQ(take(), (std::vector<Notice>{
                        {1, EN_KILLFOCUS}, {2, EN_SETFOCUS}, {2, EN_UPDATE}, {2, EN_CHANGE}}));
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_TRUE(win::get(edit).caretCreated);  // the focused edit owns the caret
  EXPECT_EQ(text(edit), "Smith");
  EXPECT_EQ(win::send(edit, EM_GETMODIFY), TRUE);
  // The program's text clears the modified flag; a multi-line edit sends nothing.
  EXPECT_EQ(SetWindowTextA(edit, "Vexa Ltd"), TRUE);
  EXPECT_EQ(win::send(edit, EM_GETMODIFY), FALSE);
  EXPECT_EQ(take(), (std::vector<Notice>{{2, EN_UPDATE}, {2, EN_CHANGE}}));
  SetWindowTextA(control("EDIT", 5, ES_MULTILINE), "a\r\nb");
  EXPECT_TRUE(take().empty());
  SetFocus(other);
  EXPECT_FALSE(win::get(edit).caretCreated);
}

TEST_F(ControlsTest, TypingPastTheLimitTellsItAndNumberEditsKeepDigitsOnly) {
  HWND lower = control("EDIT", 8, ES_LOWERCASE);
  win::send(lower, EM_LIMITTEXT, 3);
  SetFocus(lower);
  take();
  type(lower, "MiXeD");
  EXPECT_EQ(text(lower), "mix");
  EXPECT_EQ(take(), (std::vector<Notice>{{8, EN_MAXTEXT}, {8, EN_UPDATE}, {8, EN_CHANGE}}));
  SetWindowTextA(lower, "MiXeD");  // the case style holds for any text it shows, the limit not
  EXPECT_EQ(text(lower), "mixed");
  HWND number = control("EDIT", 9, ES_NUMBER);
  type(number, "1a2 3");
  EXPECT_EQ(text(number), "123");
}

TEST_F(ControlsTest, ReadOnlyAndDisabledEditsRefuseTyping) {
  HWND edit = control("EDIT", 1800, 0);
  HWND late = control("EDIT", 1801, 0);  // made read-only as it takes the focus
  SetWindowTextA(edit, "keep");
  take();
  const std::function<void()> refusals[] = {
      [&] { win::send(edit, EM_SETREADONLY, TRUE); },
      [&] {
        win::send(edit, EM_SETREADONLY, FALSE);
        EnableWindow(edit, FALSE);
      },
      [&] {
        EnableWindow(edit, TRUE);
        EnableWindow(dialog, FALSE);  // a control of a disabled dialog
      },
  };
  for (const auto& refuse : refusals) {
    refuse();
    EXPECT_EQ(type(edit, "new"), -1);
  }
  EXPECT_EQ(text(edit), "keep");
  EXPECT_EQ(win::send(edit, EM_GETMODIFY), FALSE);
  EXPECT_TRUE(take().empty());
  onCommand = [&](UINT, WORD code, HWND from) {
    if (code == EN_SETFOCUS) win::send(from, EM_SETREADONLY, TRUE);
  };
  EnableWindow(dialog, TRUE);
  EXPECT_EQ(type(late, "x"), -1);
  EXPECT_EQ(text(late), "");
}

TEST_F(ControlsTest, AValidationThatKeepsTheFocusLosesTheAction) {
  HWND date = control("EDIT", 1336, 0);
  HWND ok = control("BUTTON", 1, BS_PUSHBUTTON);
  type(date, "31/02/2024");
  onCommand = [&](UINT id, WORD code, HWND) {
    if (id == 1336 && code == EN_KILLFOCUS) win::setFocus(date);
  };
  take();
  EXPECT_EQ(win::send(ok, win::VXM_CLICK), -1);
  std::vector<Notice> seen = take();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), Notice{1, BN_CLICKED}), 0);
  EXPECT_EQ(GetFocus(), date);
}

// ---- BUTTON ----

TEST_F(ControlsTest, ClicksFocusAndNotifyExceptOnDisabledButtonsGroupsAndStatics) {
  HWND ok = control("BUTTON", 1, BS_DEFPUSHBUTTON);
  HWND off = control("BUTTON", 2, BS_PUSHBUTTON | WS_DISABLED);
  HWND group = control("BUTTON", 131, BS_GROUPBOX, "Printing");
  HWND label = control("STATIC", 1039, SS_LEFT, "Street");
  for (HWND refused : {off, group, label}) EXPECT_EQ(win::send(refused, win::VXM_CLICK), -1);
  win::send(off, BM_CLICK);
  EXPECT_EQ(type(label, "x"), -1);
  EXPECT_TRUE(take().empty());
  EXPECT_EQ(GetFocus(), 0u);
  EXPECT_EQ(win::send(ok, win::VXM_CLICK), 0);
  win::send(ok, BM_CLICK);
  EXPECT_EQ(take(), (std::vector<Notice>{{1, BN_CLICKED}, {1, BN_CLICKED}}));
  EXPECT_EQ(GetFocus(), ok);
  EXPECT_EQ(described(group)["kind"], "group");
  EXPECT_FALSE(described(ok).contains("checked"));
}

TEST_F(ControlsTest, CheckBoxesChangeBeforeTheirParentHearsWithinTheStatesTheyHold) {
  HWND manual = control("BUTTON", 2200, BS_CHECKBOX);
  HWND automatic = control("BUTTON", 2174, BS_AUTOCHECKBOX);
  HWND threeState = control("BUTTON", 2, BS_AUTO3STATE);
  std::vector<LRESULT> stateSeen;
  onCommand = [&](UINT, WORD code, HWND from) {
    if (code == BN_CLICKED) stateSeen.push_back(win::send(from, BM_GETCHECK));
  };
  for (HWND box : {manual, automatic, automatic, threeState, threeState, threeState})
    EXPECT_EQ(win::send(box, win::VXM_CLICK), 0);
  EXPECT_EQ(stateSeen, (std::vector<LRESULT>{0, 1, 0, 1, 2, 0}));  // a plain box only reports
  take();
  CheckDlgButton(dialog, 2174, BST_INDETERMINATE);           // programmatic: no notification
  EXPECT_EQ(IsDlgButtonChecked(dialog, 2174), BST_CHECKED);  // two states only
  win::send(threeState, BM_SETCHECK, BST_INDETERMINATE);
  EXPECT_EQ(win::send(threeState, BM_GETCHECK), BST_INDETERMINATE);
  EXPECT_TRUE(take().empty());
  EXPECT_EQ(described(automatic)["kind"], "check");
  EXPECT_EQ(described(automatic)["checked"], 1);
}

TEST_F(ControlsTest, AutomaticRadioButtonsUncheckTheirGroupOnly) {
  HWND before = control("BUTTON", 10, BS_AUTORADIOBUTTON | WS_GROUP);
  HWND first = control("BUTTON", 1959, BS_AUTORADIOBUTTON | WS_GROUP);
  HWND manual = control("BUTTON", 1957, BS_RADIOBUTTON);
  HWND second = control("BUTTON", 1958, BS_AUTORADIOBUTTON);
  HWND after = control("BUTTON", 20, BS_AUTORADIOBUTTON | WS_GROUP);
  for (HWND radio : {before, first, manual, after}) win::send(radio, BM_SETCHECK, BST_CHECKED);
  take();
  EXPECT_EQ(win::send(second, win::VXM_CLICK), 0);
  std::vector<LRESULT> checks;
  for (HWND radio : {before, first, manual, second, after})
    checks.push_back(win::send(radio, BM_GETCHECK));
  EXPECT_EQ(checks, (std::vector<LRESULT>{1, 0, 1, 1, 1}));  // only automatic ones follow
  EXPECT_EQ(take(), (std::vector<Notice>{{1958, BN_CLICKED}}));
  // A checked radio button is the tab stop of its group.
  EXPECT_TRUE(win::get(second).style & WS_TABSTOP);
  EXPECT_FALSE(win::get(first).style & WS_TABSTOP);
  EXPECT_EQ(described(second)["kind"], "radio");
}

TEST_F(ControlsTest, RadioGroupWithoutAGroupStyleStartsAtTheFirstSibling) {
  HWND a = control("BUTTON", 1, BS_AUTORADIOBUTTON);
  HWND b = control("BUTTON", 2, BS_AUTORADIOBUTTON);
  HWND edit = control("EDIT", 3, 0x9);  // same low bits as an automatic radio button
  win::send(a, BM_SETCHECK, BST_CHECKED);
  win::send(b, win::VXM_CLICK);
  EXPECT_EQ(win::send(a, BM_GETCHECK), BST_UNCHECKED);
  EXPECT_EQ(win::find(edit)->style & 0xF, 0x9u);
}

TEST_F(ControlsTest, ButtonFocusNoticesNeedNotifyStyle) {
  HWND plain = control("BUTTON", 1, BS_PUSHBUTTON);
  HWND notifying = control("BUTTON", 2, BS_PUSHBUTTON | BS_NOTIFY);
  SetFocus(plain);
  SetFocus(notifying);
  SetFocus(plain);
  EXPECT_EQ(take(), (std::vector<Notice>{{2, BN_SETFOCUS}, {2, BN_KILLFOCUS}}));
  EXPECT_EQ(win::send(plain, BM_GETSTATE) & BST_FOCUS, static_cast<LRESULT>(BST_FOCUS));
}

TEST_F(ControlsTest, AClickThatClosesTheDialogEndsCleanly) {
  HWND close = control("BUTTON", 2, BS_AUTOCHECKBOX);
  onCommand = [&](UINT, WORD code, HWND) {
    if (code == BN_CLICKED) win::destroyWindow(dialog);
  };
  EXPECT_EQ(win::send(close, win::VXM_CLICK), 0);
  EXPECT_EQ(win::windowCount(), 0u);
}

// ---- __03Button__ ----

TEST_F(ControlsTest, EngineButtonsShowTheLabelOfTheirCaption) {
  HWND colour = control("__03BUTTON__", 2292, WS_TABSTOP, "Click here to change colour,656");
  HWND edit = control("__03Button__", 1413, BS_DEFPUSHBUTTON, "&Edit");
  HWND check = control("__03Button__", 5, BS_AUTOCHECKBOX, "Hold, please");
  EXPECT_EQ(win::get(colour).className, "__03Button__");
  EXPECT_EQ(text(colour), "Click here to change colour");
  EXPECT_EQ(text(check), "Hold, please");  // no number after the comma
  SetWindowTextA(edit, "Close,12");
  EXPECT_EQ(text(edit), "Close");
  EXPECT_EQ(win::send(colour, win::VXM_CLICK), 0);
  win::send(check, win::VXM_CLICK);
  EXPECT_EQ(take(), (std::vector<Notice>{{2292, BN_CLICKED}, {5, BN_CLICKED}}));
  EXPECT_EQ(win::send(check, BM_GETCHECK), BST_CHECKED);
}

// ---- COMBOBOX ----

LRESULT addString(HWND combo, const char* text) {
  return win::send(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

LRESULT findString(HWND combo, UINT message, int start, const char* text) {
  return win::send(combo, message, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text));
}

TEST_F(ControlsTest, SortedCombosPlaceItemsAndKeepTheSelection) {
  HWND combo = control("COMBOBOX", 1999, CBS_DROPDOWNLIST | CBS_SORT);
  EXPECT_EQ(addString(combo, "pear"), 0);
  EXPECT_EQ(addString(combo, "Apple"), 0);
  win::send(combo, CB_SETCURSEL, 1);  // pear
  EXPECT_EQ(addString(combo, "banana"), 1);
  EXPECT_EQ(addString(combo, "Zucchini"), 3);
  EXPECT_EQ(win::send(combo, CB_GETCURSEL), 2);
  EXPECT_EQ(text(combo), "pear");
  // Inserting never sorts.
  EXPECT_EQ(win::send(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zz")), 0);
  EXPECT_EQ(
      win::send(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("aa")),
      5);
  EXPECT_EQ(win::send(combo, CB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), CB_ERR);
  EXPECT_EQ(described(combo)["items"],
            nlohmann::json({"zz", "Apple", "banana", "pear", "Zucchini", "aa"}));
  EXPECT_EQ(described(combo)["selection"], 3);
  EXPECT_EQ(described(combo)["editable"], false);
  EXPECT_TRUE(take().empty());
}

TEST_F(ControlsTest, SetCurSelAndDeletingMoveOrDropTheShownItemWithoutNotifying) {
  HWND combo = control("COMBOBOX", 1397, CBS_DROPDOWNLIST);
  for (const char* t : {"None", "Invoice", "Line", "Hold"}) addString(combo, t);
  EXPECT_EQ(text(combo), "");
  EXPECT_EQ(win::send(combo, CB_SETCURSEL, 2), 2);
  EXPECT_EQ(text(combo), "Line");
  EXPECT_EQ(win::send(combo, CB_DELETESTRING, 0), 3);
  EXPECT_EQ(win::send(combo, CB_GETCURSEL), 1);
  EXPECT_EQ(text(combo), "Line");
  EXPECT_EQ(win::send(combo, CB_DELETESTRING, 1), 2);
  EXPECT_EQ(win::send(combo, CB_GETCURSEL), CB_ERR);
  EXPECT_EQ(text(combo), "");
  EXPECT_EQ(win::send(combo, CB_DELETESTRING, 5), CB_ERR);
  EXPECT_EQ(win::send(combo, CB_SETCURSEL, 1), 1);
  EXPECT_EQ(win::send(combo, CB_SETCURSEL, 2), CB_ERR);  // out of range clears
  EXPECT_EQ(text(combo), "");
  EXPECT_TRUE(take().empty());

  EXPECT_EQ(win::send(combo, CB_SETITEMDATA, 1, 4711), CB_OKAY);
  EXPECT_EQ(win::send(combo, CB_GETITEMDATA, 1), 4711);
  EXPECT_EQ(win::send(combo, CB_GETITEMDATA, 2), CB_ERR);
  EXPECT_EQ(win::send(combo, CB_GETLBTEXTLEN, 1), 4);
  EXPECT_EQ(win::send(combo, CB_GETLBTEXTLEN, 2), CB_ERR);
  char buffer[8];
  EXPECT_EQ(win::send(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 4);
  EXPECT_STREQ(buffer, "Hold");
  EXPECT_EQ(win::send(combo, CB_GETLBTEXT, 1, 0), CB_ERR);
  EXPECT_EQ(win::send(combo, CB_RESETCONTENT), CB_OKAY);
  EXPECT_EQ(win::send(combo, CB_GETCOUNT), 0);
}

TEST_F(ControlsTest, FindingItemsIgnoresCaseAndWrapsFromTheStart) {
  HWND combo = control("COMBOBOX", 1, CBS_DROPDOWN);
  for (const char* t : {"Sterling", "Euro", "US Dollar", "euro zone"}) addString(combo, t);
  const struct {
    UINT message;
    int start;
    const char* text;
    LRESULT found;
  } cases[] = {
      {CB_FINDSTRING, -1, "EU", 1},        {CB_FINDSTRING, 1, "eu", 3},   // after the start
      {CB_FINDSTRING, 3, "eu", 1},         {CB_FINDSTRING, 99, "us", 2},  // wraps round
      {CB_FINDSTRINGEXACT, -1, "EURO", 1}, {CB_FINDSTRINGEXACT, -1, "Eur", CB_ERR},
      {CB_SELECTSTRING, -1, "ster", 0},    {CB_SELECTSTRING, -1, "yen", CB_ERR},
  };
  for (const auto& c : cases)
    EXPECT_EQ(findString(combo, c.message, c.start, c.text), c.found) << c.start << c.text;
  EXPECT_EQ(text(combo), "Sterling");  // a failed search leaves the selection
}

TEST_F(ControlsTest, ChoosingFromTheListNotifiesSelChangeThenSelEndOk) {
  HWND edit = control("EDIT", 1, 0);
  HWND combo = control("COMBOBOX", 1866, CBS_DROPDOWNLIST);
  for (const char* t : {"0", "1", "2"}) addString(combo, t);
  SetFocus(edit);
  take();
  LRESULT selectionSeen = -2;
  onCommand = [&](UINT, WORD code, HWND from) {
    if (code == CBN_SELCHANGE) selectionSeen = win::send(from, CB_GETCURSEL);
  };
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 2), 0);
  EXPECT_EQ(selectionSeen, 2);
  EXPECT_EQ(
      take(),
      (std::vector<Notice>{
          {1, EN_KILLFOCUS}, {1866, CBN_SETFOCUS}, {1866, CBN_SELCHANGE}, {1866, CBN_SELENDOK}}));
  EXPECT_EQ(text(combo), "2");
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 3), -1);
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, static_cast<WPARAM>(-1)), -1);
  take();
  EnableWindow(combo, FALSE);  // the focus leaves a disabled control
  EXPECT_EQ(take(), (std::vector<Notice>{{1866, CBN_KILLFOCUS}}));
  EXPECT_EQ(win::send(combo, win::VXM_SELECT, 0), -1);
  EXPECT_EQ(win::send(combo, CB_GETCURSEL), 2);
  EXPECT_TRUE(take().empty());
}

TEST_F(ControlsTest, OnlyEditableCombosTakeTypingOrTextsThatAreNoItem) {
  HWND list = control("COMBOBOX", 1, CBS_DROPDOWNLIST);
  HWND editable = control("COMBOBOX", 2, CBS_DROPDOWN | CBS_UPPERCASE);
  for (HWND combo : {list, editable})
    for (const char* t : {"Monthly", "Weekly"}) addString(combo, t);
  EXPECT_EQ(SetWindowTextA(list, "weekly"), TRUE);  // selects the matching item
  EXPECT_EQ(win::send(list, CB_GETCURSEL), 1);
  EXPECT_EQ(text(list), "Weekly");
  EXPECT_EQ(SetWindowTextA(list, "Daily"), FALSE);
  EXPECT_EQ(text(list), "Weekly");
  EXPECT_EQ(SetWindowTextA(editable, "DAILY"), TRUE);
  EXPECT_EQ(text(editable), "DAILY");
  EXPECT_TRUE(take().empty());
  SetFocus(editable);
  take();
  EXPECT_EQ(type(list, "x"), -1);
  EXPECT_EQ(GetFocus(), editable);  // a refused action does not move the focus
  win::send(editable, CB_LIMITTEXT, 3);
  EXPECT_EQ(type(editable, "gbp1"), 0);
  EXPECT_EQ(text(editable), "GBP");
  EXPECT_EQ(take(), (std::vector<Notice>{{2, CBN_EDITUPDATE}, {2, CBN_EDITCHANGE}}));
  EXPECT_EQ(described(editable)["editable"], true);
  EXPECT_EQ(described(editable)["selection"], -1);
}

}  // namespace
