// The dialog manager's rules as a person meets them through `vx70 drive`:
// a modal dialog holds the input, the keys do what Windows makes them do,
// and the focus follows the page in front.  One table a rule; each case is
// a script and what must follow from it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frame/res/ids_codes.h"
#include "frame/res/ids_common.h"
#include "frame/res/ids_company.h"
#include "tests/support/drive_support.h"

namespace {

using nlohmann::json;
using vx70::test::DriveRun;
using vx70::test::shownControl;
using vx70::test::TestCompany;

// The dialogs open at the latest `show`, innermost last.
std::vector<int> openDialogs(const DriveRun& run) {
  std::vector<int> ids;
  auto shows = run.all("show");
  if (shows.empty()) return ids;
  for (const auto& d : shows.back()["dialogs"])
    if (!d.contains("container")) ids.push_back(d["dialog"]);
  return ids;
}

// The control that has the focus at the latest `show`: {dialog, control}.
std::pair<int, int> focused(const DriveRun& run) {
  auto shows = run.all("show");
  if (shows.empty()) return {0, 0};
  for (const auto& d : shows.back()["dialogs"])
    for (const auto& c : d["controls"])
      if (c.value("focus", false)) return {d["dialog"], c["id"]};
  return {0, 0};
}

const TestCompany& demo() {
  static TestCompany company;
  return company;
}

// While Edit Tax Code runs, the Tax Codes list takes nothing: no other row,
// no second editor, no closing it from under the editor.  The close box is
// refused while Cancel is disabled.
TEST(Keyboard, AModalDialogHoldsTheInputOfItsOwner) {
  const std::string editing = "open 3619\nselect 3619 1610 1\nclick 3619 1413\n";
  const std::string held = "takes no input while dialog 3620 is open";
  const struct {
    std::string script;
    std::string words;
  } kRefused[] = {
      {editing + "select 3619 1610 4", held},
      {editing + "click 3619 1413", held},
      {editing + "close 3619", held},
      {editing + "key 3619 1610 down", held},
      {editing + "activate 3619 1610 2", held},
      {"open 3605\nclose 3605", "Cancel button is disabled"},
  };
  for (const auto& c : kRefused) {
    SCOPED_TRACE(c.script);
    DriveRun run = demo().drive(c.script + "\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.error().value("message", "").find(c.words), std::string::npos) << run.error();
  }
  // Once the editor has closed, the list takes input again.
  DriveRun after = demo().drive(editing + "click 3620 2\nselect 3619 1610 4\nshow\n");
  ASSERT_EQ(after.status, 0) << after.error();
  EXPECT_EQ(openDialogs(after), std::vector<int>{IDD_TAX_CODES});
}

struct KeyCase {
  const char* what;
  std::string script;  // ends with `show`
  std::vector<int> open;
  bool beeps;
  std::function<void(const DriveRun&)> check = nullptr;
};

TEST(Keyboard, KeysDoWhatTheDialogManagerMakesThemDo) {
  auto currentRow = [](const DriveRun& run) {
    return shownControl(run.shown(IDD_TAX_CODES), IDC_TAX_CODES_GRID)["current"]["row"];
  };
  const KeyCase kCases[] = {
      {"Escape presses an enabled Cancel", "open 3619\nkey 3619 1610 escape\nshow\n", {}, false},
      {"Escape beeps while Cancel is disabled (posted transactions)",
       "open 3605\nkey 3605 1 escape\nshow\n",
       {IDD_FINANCIAL_YEAR},
       true},
      {"Home, Down and Down make the third row current",
       "open 3619\nkey 3619 1610 home\nkey 3619 1610 down\nkey 3619 1610 down\nshow\n",
       {IDD_TAX_CODES},
       false,
       [&](const DriveRun& run) { EXPECT_EQ(currentRow(run), 2); }},
      {"End makes the last row current, and Page Up goes back ten",
       "open 3619\nkey 3619 1610 end\nkey 3619 1610 pageup\nshow\n",
       {IDD_TAX_CODES},
       false,
       [&](const DriveRun& run) { EXPECT_EQ(currentRow(run), 89); }},
      {"Down and Down move the Link To list two rows on",
       "open 3619\nselect 3619 1610 1\nclick 3619 1413\nclick 3620 1957\nclick 3620 1958\n"
       "key 3620 2061 down\nkey 3620 2061 down\nshow\n",
       {IDD_TAX_CODES, IDD_EDIT_TAX_CODE},
       false,
       [](const DriveRun& run) {
         EXPECT_EQ(shownControl(run.shown(IDD_EDIT_TAX_CODE), IDC_TAX_CODE_COMBO)["selection"], 2);
       }},
      {"Tab leaves the date field for OK, Shift+Tab comes back",
       "open 3606\nkey 3606 1336 tab\nshow\nkey 3606 1 shift+tab\nshow\n",
       {IDD_PROGRAM_DATE},
       false,
       [](const DriveRun& run) {
         EXPECT_EQ(shownControl(run, 0, IDD_PROGRAM_DATE, IDOK)["focus"], true);
         EXPECT_EQ(focused(run), std::make_pair(IDD_PROGRAM_DATE, IDC_PROGRAM_DATE_FIELD));
       }},
      {"Alt and a marked letter press that check box",
       "open 3600\npage 3600 2\nshow\nkey 3603 2200 alt+a\nshow\n",
       {IDD_COMPANY_PREFS},
       false,
       [](const DriveRun& run) {
         auto before = shownControl(run, 0, IDD_PREFS_PARAMETERS, IDC_PREFS_ACCESS_RIGHTS);
         auto after = shownControl(run, 1, IDD_PREFS_PARAMETERS, IDC_PREFS_ACCESS_RIGHTS);
         EXPECT_NE(before["checked"], after["checked"]);
         EXPECT_EQ(after["focus"], true);
       }},
      {"Ctrl+Tab brings the next page to the front",
       "open 3600\nkey 3601 1673 ctrl+tab\nshow\n",
       {IDD_COMPANY_PREFS},
       false,
       [](const DriveRun& run) {
         EXPECT_EQ(run.shown(IDD_COMPANY_PREFS)["currentPage"], 1);
         EXPECT_EQ(focused(run).first, IDD_PREFS_LABELS) << "the focus went with the page";
       }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    DriveRun run = demo().drive(c.script);
    ASSERT_EQ(run.status, 0) << run.error();
    EXPECT_EQ(openDialogs(run), c.open);
    EXPECT_EQ(!run.all("beep").empty(), c.beeps);
    if (c.check) c.check(run);
  }
}

// Bringing a page to the front takes the focus off the page that went: its
// field gets the kill-focus notification (the Address captions follow a
// changed label at once) and no hidden control keeps the focus.
TEST(Keyboard, TheFocusFollowsThePageInFront) {
  DriveRun run = demo().drive("open 3600\ntype 3601 1673 \"Changed Ltd\"\npage 3600 2\nshow\n");
  ASSERT_EQ(run.status, 0) << run.error();
  EXPECT_EQ(focused(run).first, IDD_PREFS_PARAMETERS);
  EXPECT_EQ(shownControl(run.shown(IDD_PREFS_ADDRESS), IDC_PREFS_COMPANY_NAME)["focus"], false);
}

}  // namespace
