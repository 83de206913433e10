// The module's resources held against the table of dialogs, the template
// frames, the grid and grid-combo table and the GRID column descriptions:
// a wrong identifier, count, flag or offset here breaks the dialog engine
// or a handler that relies on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "tests/support/res_fixture.h"

namespace vx70::test {
namespace {

using res::CEntry;
using res::CEntryList;

struct DialogRow {
  std::uint16_t id;
  const char* title;  // nullptr: no template
  std::uint16_t centry;
  std::size_t entries;
  std::uint16_t mentry;
  std::uint16_t init;
  std::uint16_t command;
  std::uint16_t tentry;
  std::vector<std::uint16_t> pages;
  std::uint16_t word;
  std::uint16_t flags;
};

const std::vector<DialogRow> kDialogs = {
    {901, "Account Status", 1046, 3, 1046, 55, 56, 0, {}, 0x0000, 0x0001},
    {3214, "Toolbar", 1041, 5, 1035, 53, 54, 0, {}, 0x0000, 0x4000},
    {3215, "Backup", 1042, 1, 1035, 53, 54, 0, {}, 0x0000, 0x4000},
    {3216, "Environment", 1043, 6, 1035, 53, 54, 0, {}, 0x0000, 0x4000},
    {3217, "Wallpaper", 1044, 1, 1035, 53, 54, 0, {}, 0x0000, 0x4000},
    {3218, "Options", 1040, 35, 1035, 53, 54, 1007, {3214, 3215, 3216, 3217, 3219}, 0x0000, 0x8001},
    {3219, "Colours", 1045, 0, 1035, 53, 54, 0, {}, 0x0000, 0x4000},
    {3223, "Finance Charge Rates", 1048, 1, 1036, 59, 60, 0, {}, 0x0000, 0x0001},
    {3224, "Set Finance Charge Rate", 1049, 6, 1037, 61, 62, 0, {}, 0x0000, 0x0001},
    {3600, "Company Preferences", 1000, 81, 1000, 1, 2, 1000, {3601, 3602, 3603}, 0x0000, 0x8001},
    {3601, "Address", 1001, 22, 1001, 1, 2, 0, {}, 0x0000, 0x4000},
    {3602, "Labels", 1002, 22, 1002, 1, 2, 0, {}, 0x0000, 0x4000},
    {3603, "Parameters", 1003, 19, 1003, 1, 2, 0, {}, 0x0000, 0x4000},
    {3604, "Environment", 1004, 13, 1004, 1, 2, 0, {}, 0x0000, 0x4000},
    {3605, "Financial Year", 1005, 5, 1005, 3, 4, 0, {}, 0x0000, 0x0001},
    {3606, "Change Program Date", 1006, 3, 1006, 5, 6, 0, {}, 0x0000, 0x0001},
    {3607,
     "Customer Defaults",
     1007,
     29,
     1007,
     35,
     36,
     1001,
     {3608, 3609, 3610, 3611},
     0x0000,
     0x8001},
    {3608, "Record", 1008, 11, 1008, 35, 36, 0, {}, 0x0000, 0x4000},
    {3609, "Statements", 1009, 4, 1009, 35, 36, 0, {}, 0x0000, 0x4000},
    {3610, "Ageing", 1010, 9, 1010, 35, 36, 0, {}, 0x0000, 0x4000},
    {3611, "Discount", 1011, 1, 1011, 35, 36, 0, {}, 0x0000, 0x4000},
    {3612, "Product Defaults", 1016, 9, 1016, 7, 8, 1003, {3613}, 0x0103, 0x8001},
    {3613, "Details", 1017, 5, 1017, 7, 8, 0, {}, 0x0103, 0x4000},
    {3614, "Product Categories", 1015, 3, 1015, 9, 10, 0, {}, 0x0103, 0x0001},
    {3615, "Departments", 1018, 3, 1018, 13, 14, 0, {}, 0x0000, 0x0001},
    {3616, "Currencies", 1020, 4, 1020, 21, 22, 0, {}, 0x0000, 0x0001},
    {3617, "Fixed Asset Categories", 1019, 3, 1019, 17, 18, 0, {}, 0x0000, 0x0001},
    {3618, "Edit Currency", 1023, 10, 1023, 29, 30, 0, {}, 0x0000, 0x0001},
    {3619, "Tax Codes", 1021, 3, 1022, 25, 26, 0, {}, 0x0000, 0x0001},
    {3620, "Edit Tax Code", 1022, 14, 1021, 27, 28, 0, {}, 0x0000, 0x0001},
    {3621, "Control Accounts", 1024, 21, 1024, 31, 32, 0, {}, 0x0102, 0x0001},
    {3622, "Wallpaper Defaults", 1025, 15, 1025, 33, 34, 0, {}, 0x0000, 0x0001},
    {3623, "Supplier Defaults", 1012, 36, 1012, 37, 38, 1002, {3624, 3625}, 0x0000, 0x8001},
    {3624, "Record", 1014, 18, 1014, 37, 38, 0, {}, 0x0101, 0x4000},
    {3625, "Ageing", 1013, 13, 1013, 37, 38, 0, {}, 0x0000, 0x4000},
    {3626, "Invoices", 1027, 8, 1027, 39, 40, 0, {}, 0x0000, 0x4000},
    {3627, "Invoice Defaults", 1026, 10, 1026, 39, 40, 1004, {3626}, 0x0000, 0x8001},
    {3628, nullptr, 1029, 0, 1028, 41, 42, 0, {}, 0x0000, 0x4000},
    {3629, "System Info", 1030, 2, 1028, 41, 42, 0, {}, 0x0000, 0x0001},
    {3630, "About", 1028, 2, 1028, 41, 42, 1005, {3628, 3629}, 0x0000, 0x0001},
    {3632, "Change Password", 1032, 9, 1031, 45, 46, 0, {}, 0x0000, 0x0001},
    {3633, "Update Defaults", 1033, 12, 1032, 49, 50, 0, {}, 0x0000, 0x0001},
    {3634, "User List", 1034, 4, 1033, 51, 52, 1006, {3635, 3636}, 0x0000, 0x8001},
    {3635, " Users ", 1035, 1, 1034, 0, 52, 0, {}, 0x0000, 0x4000},
    {3636, " Requests ", 1036, 1, 1034, 0, 52, 0, {}, 0x0000, 0x4000},
    {9026, "Edit Account Status", 1047, 4, 1047, 57, 58, 0, {}, 0x0000, 0x0001},
};

struct FrameRow {
  std::uint16_t id;
  const char* title;
  std::uint32_t style;
  std::int16_t x, y, cx, cy;
  const char* font;
  std::uint16_t points;
  std::size_t windows;
};

const std::vector<FrameRow> kFrames = {
    {901, "Account Status", 0x90c800c0, 0, 0, 200, 120, "Helv", 8, 3},
    {3214, "Toolbar", 0x90c800c0, 21, 72, 219, 141, "MS Sans Serif", 8, 8},
    {3215, "Backup", 0x90c800c0, 0, 0, 219, 141, "MS Sans Serif", 8, 4},
    {3216, "Environment", 0x90c800c0, 0, 0, 219, 141, "MS Sans Serif", 8, 10},
    {3217, "Wallpaper", 0x90c800c0, 0, 0, 219, 141, "MS Sans Serif", 8, 15},
    {3218, "Options", 0x90c800c0, 58, 53, 219, 141, "MS Sans Serif", 8, 2},
    {3219, "Colours", 0x90c800c0, 0, 0, 219, 141, "MS Sans Serif", 8, 22},
    {3223, "Finance Charge Rates", 0x90c800c0, 100, 50, 299, 154, "Helv", 8, 6},
    {3224, "Set Finance Charge Rate", 0x90c800c0, 3, 10, 153, 90, "Helv", 8, 9},
    {3600, "Company Preferences", 0x90cf0040, 0, 0, 283, 225, "Helv", 8, 2},
    {3601, "Address", 0x90c800c0, 22, 34, 222, 225, "Helv", 8, 27},
    {3602, "Labels", 0x90c800c0, 24, 54, 222, 170, "Helv", 8, 25},
    {3603, "Parameters", 0x90c800c0, 25, 32, 223, 218, "Helv", 8, 27},
    {3604, "Environment", 0x90c800c0, 21, 62, 223, 214, "Helv", 8, 15},
    {3605, "Financial Year", 0x90c800c0, 42, 46, 184, 95, "Helv", 8, 9},
    {3606, "Change Program Date", 0x90c800c0, 28, 76, 186, 92, "Helv", 8, 6},
    {3607, "Customer Defaults", 0x90cf0040, 69, 52, 235, 250, "Helv", 8, 2},
    {3608, "Record", 0x90c800c0, 79, 105, 235, 250, "Helv", 8, 28},
    {3609, "Statements", 0x90c800c0, 26, 70, 235, 208, "Helv", 8, 9},
    {3610, "Ageing", 0x90c800c0, 36, 105, 235, 208, "Helv", 8, 21},
    {3611, "Discount", 0x90c800c0, 97, 92, 235, 208, "Helv", 8, 2},
    {3612, "Product Defaults", 0x90cf0040, 0, 0, 222, 215, "Helv", 8, 2},
    {3613, "Details", 0x90c800c0, 64, 125, 222, 190, "Helv", 8, 16},
    {3614, "Product Categories", 0x90c800c0, 3, 0, 170, 130, "Helv", 8, 4},
    {3615, "Departments", 0x90c800c0, 3, 0, 170, 130, "Helv", 8, 3},
    {3616, "Currencies", 0x90c800c0, 100, 50, 300, 130, "Helv", 8, 5},
    {3617, "Fixed Asset Categories", 0x90c800c0, 100, 50, 170, 130, "Helv", 8, 3},
    {3618, "Edit Currency", 0x90c800c0, 3, 10, 189, 159, "Helv", 8, 15},
    {3619, "Tax Codes", 0x90c800c0, 0, 0, 200, 120, "Helv", 8, 3},
    {3620, "Edit Tax Code", 0x90c800c0, 3, 10, 195, 120, "Helv", 8, 14},
    {3621, "Control Accounts", 0x90c80040, 3, 0, 155, 204, "Helv", 8, 3},
    {3622, "Wallpaper Defaults", 0x90c800c0, 12, 36, 216, 151, "Helv", 8, 17},
    {3623, "Supplier Defaults", 0x90cf0040, 69, 52, 235, 250, "Helv", 8, 2},
    {3624, "Record", 0x90c800c0, 79, 105, 235, 250, "Helv", 8, 23},
    {3625, "Ageing", 0x90c800c0, 36, 105, 235, 208, "Helv", 8, 21},
    {3626, "Invoices", 0x90c800c0, 12, 0, 222, 175, "Helv", 8, 11},
    {3627, "Invoice Defaults", 0x90c800c0, 12, 0, 222, 175, "Helv", 8, 2},
    {3629, "System Info", 0x90c800c0, 8, 18, 249, 173, "MS Sans Serif", 8, 5},
    {3630, "About", 0x90c800c0, 14, 44, 249, 173, "MS Sans Serif", 8, 14},
    {3632, "Change Password", 0x90c800c0, 0, 0, 238, 108, "Helv", 8, 9},
    {3633, "Update Defaults", 0x90c800c0, 35, 27, 190, 196, "Helv", 8, 20},
    {3634, "User List", 0x90c800c0, 17, 28, 320, 160, "Helv", 8, 2},
    {3635, " Users ", 0x90c800c0, 17, 28, 300, 140, "Helv", 8, 1},
    {3636, " Requests ", 0x90c800c0, 17, 28, 300, 140, "Helv", 8, 1},
    {9026, "Edit Account Status", 0x90c800c0, 0, 0, 187, 86, "MS Sans Serif", 8, 6},
};

struct GridComboRow {
  std::uint16_t centry, dialog, control, type, grid, rowsNeeded, startUp, layout;
};

const std::vector<GridComboRow> kGridEntries = {
    {1000, 3600, 2061, 0x1A, 1007, 0, 47, 0},  {1005, 3605, 1642, 0x1A, 1000, 0, 0, 0},
    {1007, 3607, 1373, 0x1A, 1003, 15, 16, 0}, {1007, 3607, 2061, 0x1A, 1014, 0, 47, 0},
    {1007, 3607, 1317, 0x1A, 1009, 0, 48, 0},  {1007, 3607, 1396, 0x16, 1010, 0, 0, 0},
    {1012, 3623, 1373, 0x1A, 1003, 15, 16, 0}, {1012, 3623, 2061, 0x1A, 1014, 0, 47, 0},
    {1012, 3623, 1317, 0x1A, 1009, 0, 48, 0},  {1015, 3614, 1610, 0x15, 1002, 11, 12, 0},
    {1016, 3612, 1373, 0x1A, 1003, 15, 16, 0}, {1016, 3612, 2000, 0x1A, 1002, 11, 12, 0},
    {1016, 3612, 2061, 0x1A, 1014, 0, 47, 0},  {1018, 3615, 1373, 0x15, 1003, 15, 16, 0},
    {1019, 3617, 1610, 0x16, 1004, 19, 20, 4}, {1020, 3616, 1610, 0x15, 1005, 23, 24, 4},
    {1021, 3619, 1610, 0x15, 1006, 0, 0, 0},   {1022, 3620, 2061, 0x1A, 1007, 0, 47, 0},
    {1024, 3621, 1287, 0x16, 1008, 0, 0, 0},   {1030, 3629, 1610, 0x16, 1011, 0, 0, 0},
    {1034, 3634, 2162, 0x16, 1012, 0, 0, 0},   {1034, 3634, 1907, 0x16, 1013, 0, 0, 0},
    {1046, 901, 1610, 0x15, 1046, 0, 0, 0},    {1048, 3223, 1610, 0x15, 1015, 0, 0, 4},
};

const DialogRow* rowOf(std::uint16_t dialog) {
  for (const auto& r : kDialogs)
    if (r.id == dialog) return &r;
  return nullptr;
}

TEST(TableOfDialogs, EveryDialogAndNoOther) {
  std::vector<std::uint16_t> expected;
  for (const auto& r : kDialogs) expected.push_back(r.id);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Resources().dialogIds(), expected);
}

TEST(TableOfDialogs, DentryFieldsAndEntryCounts) {
  for (const auto& r : kDialogs) {
    SCOPED_TRACE("dialog " + std::to_string(r.id));
    auto d = Resources().dentry(r.id);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->centry, r.centry);
    EXPECT_EQ(d->mentry, r.mentry);
    EXPECT_EQ(d->tentry, r.tentry);
    EXPECT_EQ(d->displayWord, r.word);
    EXPECT_EQ(d->flags, r.flags);
    EXPECT_EQ(d->reserved, 0);
    auto c = Resources().centry(r.centry);
    if (r.centry == 1029) {
      EXPECT_FALSE(c) << "CENTRY 1029 names no list";
      continue;
    }
    ASSERT_TRUE(c);
    EXPECT_EQ(c->entries.size(), r.entries);
  }
}

TEST(TableOfDialogs, MessageMapsNameTheHandlers) {
  for (const auto& r : kDialogs) {
    SCOPED_TRACE("dialog " + std::to_string(r.id));
    auto m = Resources().mentry(r.mentry);
    ASSERT_TRUE(m);
    std::vector<std::pair<std::uint16_t, std::uint16_t>> got, want;
    for (const auto& e : *m) {
      got.emplace_back(e.message, e.ordinal);
      EXPECT_EQ(e.reserved, 0);
    }
    if (r.init) want.emplace_back(0x0110, r.init);
    if (r.command) want.emplace_back(0x0111, r.command);
    EXPECT_EQ(got, want);
  }
}

TEST(TableOfDialogs, TabPagesInOrderOfModule15) {
  for (const auto& r : kDialogs) {
    if (!r.tentry) continue;
    SCOPED_TRACE("dialog " + std::to_string(r.id));
    auto t = Resources().tentry(r.tentry);
    ASSERT_TRUE(t);
    std::vector<std::uint16_t> pages;
    for (const auto& p : *t) {
      pages.push_back(p.dialog);
      EXPECT_EQ(p.module, 15);
    }
    EXPECT_EQ(pages, r.pages);
  }
  // 3604 is a page that no tab list names.
  for (const auto& r : kDialogs) EXPECT_EQ(std::count(r.pages.begin(), r.pages.end(), 3604), 0);
}

TEST(TemplateFrames, TitleStylePositionSizeFontAndWindows) {
  EXPECT_EQ(Resources().file().ids(res::ResId{res::RT_DIALOG, {}}).size(), kFrames.size());
  for (const auto& f : kFrames) {
    SCOPED_TRACE("dialog " + std::to_string(f.id));
    auto t = Resources().dialog(f.id);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->title, f.title);
    EXPECT_EQ(t->style, f.style);
    EXPECT_EQ(t->x, f.x);
    EXPECT_EQ(t->y, f.y);
    EXPECT_EQ(t->cx, f.cx);
    EXPECT_EQ(t->cy, f.cy);
    EXPECT_EQ(t->font, f.font);
    EXPECT_EQ(t->pointSize, f.points);
    EXPECT_EQ(t->items.size(), f.windows);
    ASSERT_TRUE(rowOf(f.id));
    EXPECT_STREQ(rowOf(f.id)->title, f.title);
  }
  EXPECT_FALSE(Resources().dialog(3628)) << "3628 has no template";
}

// Windows overlap only where one holds the other: a group box around its
// controls, and the frame 101 of the Address page around the address lines.
bool holds(std::uint16_t dialog, const res::DialogItem& outer, const res::DialogItem& inner) {
  if (SameClass(outer.className, "BUTTON") && (outer.style & 0xF) == 0x7) return true;
  return dialog == 3601 && outer.id == 101 && inner.id >= 1029 && inner.id <= 1033;
}

// The part of a window that is drawn: a drop-down list's template height
// takes in its list, of which the field shows 12 units at most.
struct Box {
  int x, y, cx, cy;
};

Box drawn(const res::DialogItem& i) {
  bool dropDown = (SameClass(i.className, "COMBOBOX") && (i.style & 0x3) >= 0x2) ||
                  SameClass(i.className, "__03Combo__");
  return {i.x, i.y, i.cx, dropDown ? std::min<int>(i.cy, 12) : i.cy};
}

bool inside(const Box& in, const Box& out) {
  return in.x >= out.x && in.y >= out.y && in.x + in.cx <= out.x + out.cx &&
         in.y + in.cy <= out.y + out.cy;
}

bool overlap(const Box& a, const Box& b) {
  return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

TEST(TemplateFrames, ControlsLieInsideTheirDialogAndApart) {
  // The Parameters page keeps its "&Help" group above the visible area.
  const std::set<std::pair<std::uint16_t, std::uint32_t>> aboveTheTop = {
      {3603, 130}, {3603, 2108}, {3603, 1146}};
  for (const auto& f : kFrames) {
    auto t = Resources().dialog(f.id);
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->extended) << "dialog " << f.id;
    for (const auto& i : t->items) {
      SCOPED_TRACE("dialog " + std::to_string(f.id) + " control " + std::to_string(i.id));
      if (aboveTheTop.count({f.id, i.id})) {
        EXPECT_LT(i.y + i.cy, 0);
      } else {
        EXPECT_GE(i.x, 0);
        EXPECT_GE(i.y, 0);
        EXPECT_LE(i.x + i.cx, t->cx);
        EXPECT_LE(i.y + i.cy, t->cy);
      }
      for (const auto& j : t->items) {
        if (&j <= &i) continue;
        const Box a = drawn(i), b = drawn(j);
        if (!overlap(a, b)) continue;
        EXPECT_TRUE((holds(f.id, i, j) && inside(b, a)) || (holds(f.id, j, i) && inside(a, b)))
            << "overlaps control " << j.id << " \"" << j.text << "\"";
      }
    }
  }
}

// Every resource is English (United Kingdom) but those of the two date
// dialogs and the month list, which are English (United States).
TEST(Languages, UnitedKingdomButTheDateDialogs) {
  const std::set<std::pair<std::string, std::uint16_t>> us = {
      {"5", 3605},      {"5", 3606},      {"DENTRY", 3605}, {"DENTRY", 3606}, {"CENTRY", 1005},
      {"CENTRY", 1006}, {"MENTRY", 1005}, {"MENTRY", 1006}, {"GRID", 1000}};
  std::size_t usSeen = 0;
  for (const auto& r : Resources().file().all()) {
    auto key = std::make_pair(r.type.str(), r.name.ordinal);
    SCOPED_TRACE(key.first + " " + std::to_string(key.second));
    if (us.count(key)) {
      ++usSeen;
      EXPECT_EQ(r.language, res::LANG_EN_US);
    } else {
      EXPECT_EQ(r.language, res::LANG_EN_GB);
    }
  }
  EXPECT_EQ(usSeen, us.size());
}

// ---- CENTRY rules -----------------------------------------------------------

// A page of a tabbed dialog: listed in its tab list, or a page of the same
// family that the list leaves out (3604).
bool isPageOf(const DialogRow& page, const DialogRow& tabbed) {
  if (tabbed.flags != 0x8001 || page.flags != 0x4000) return false;
  return std::count(tabbed.pages.begin(), tabbed.pages.end(), page.id) > 0 ||
         (page.init != 0 && page.init == tabbed.init);
}

// The template windows that a dialog's entries may stand for: its own,
// its tab pages', and for a tabbed dialog every page of its family.
std::vector<res::DialogTemplate> familyTemplates(const DialogRow& r) {
  std::vector<res::DialogTemplate> out;
  auto add = [&](std::uint16_t id) {
    if (auto t = Resources().dialog(id)) out.push_back(*t);
  };
  add(r.id);
  for (auto p : r.pages) add(p);
  for (const auto& other : kDialogs)
    if (isPageOf(other, r) && std::count(r.pages.begin(), r.pages.end(), other.id) == 0)
      add(other.id);
  return out;
}

const res::DialogItem* findWindow(const std::vector<res::DialogTemplate>& ts, std::uint16_t id) {
  for (const auto& t : ts)
    if (auto i = t.item(id)) return i;
  return nullptr;
}

bool hasWindow(const CEntry& e) {
  return e.storage == res::CS_WINDOW || e.storage == res::CS_OWN || e.storage == res::CS_FRAME ||
         e.storage == res::CS_FIELD;
}

const std::map<std::uint16_t, std::vector<std::string>> kClassesOfType = {
    {res::CT_DECIMAL, {"EDIT", "#VX32CALCEDIT", "COMBOBOX", "__03Combo__"}},
    {res::CT_TEXT, {"EDIT", "__03Combo__"}},
    {res::CT_WORD, {"EDIT", "COMBOBOX"}},
    {res::CT_DATE, {"__03Combo__"}},
    {res::CT_GRID15, {"__03Grid__"}},
    {res::CT_GRID16, {"__03Grid__"}},
    {res::CT_STATIC, {"STATIC", "BUTTON", "__03Box__"}},
    {res::CT_BUTTON, {"BUTTON", "__03Button__"}},
    {res::CT_GRIDCOMBO, {"__03Combo__"}},
};

TEST(ControlEntries, WindowsExistWithAClassOfTheirType) {
  for (const auto& r : kDialogs) {
    auto c = Resources().centry(r.centry);
    if (!c) continue;
    auto templates = familyTemplates(r);
    for (const auto& e : c->entries) {
      if (!hasWindow(e)) continue;
      SCOPED_TRACE("CENTRY " + std::to_string(r.centry) + " entry " + std::to_string(e.id));
      const res::DialogItem* w = findWindow(templates, e.id);
      ASSERT_TRUE(w) << "no template window";
      auto allowed = kClassesOfType.find(e.type);
      ASSERT_NE(allowed, kClassesOfType.end()) << "type " << e.type << " has no window";
      EXPECT_TRUE(std::any_of(allowed->second.begin(), allowed->second.end(),
                              [&](const std::string& cls) { return SameClass(cls, w->className); }))
          << "class " << w->className;
    }
  }
}

TEST(ControlEntries, FieldsLieInsideTheirRecordSlot) {
  for (const auto& r : kDialogs) {
    auto c = Resources().centry(r.centry);
    if (!c) continue;
    for (const auto& e : c->entries) {
      EXPECT_EQ(e.reserved, 0);
      if (e.storage != res::CS_FIELD) continue;
      SCOPED_TRACE("CENTRY " + std::to_string(r.centry) + " entry " + std::to_string(e.id));
      const CEntry* slot = c->find(e.link1);
      ASSERT_TRUE(slot) << "no slot " << e.link1;
      EXPECT_EQ(slot->type, res::CT_RECORD);
      std::size_t size = e.type == res::CT_DECIMAL ? 8 : e.type == res::CT_WORD ? 2 : e.length;
      EXPECT_LE(e.link2 + size, slot->length);
    }
  }
}

TEST(ControlEntries, RecordSlotsHoldWholeRecords) {
  const std::set<std::uint16_t> sizes = {651, 1146, 4783};
  for (const auto& r : kDialogs)
    if (auto c = Resources().centry(r.centry))
      for (const auto& e : c->entries)
        if (e.type == res::CT_RECORD) {
          EXPECT_EQ(e.storage, res::CS_NONE);
          EXPECT_TRUE(sizes.count(e.length)) << "CENTRY " << r.centry << " slot " << e.id;
        }
}

TEST(ControlEntries, PageLinksResolveToTheContainer) {
  for (const auto& r : kDialogs) {
    if (r.flags != 0x8001) continue;
    auto parent = Resources().centry(r.centry);
    ASSERT_TRUE(parent);
    for (const auto& page : kDialogs) {
      if (!isPageOf(page, r)) continue;
      auto c = Resources().centry(page.centry);
      if (!c) continue;
      for (const auto& e : c->entries) {
        if (e.type != res::CT_LINK) continue;
        SCOPED_TRACE("page " + std::to_string(page.id) + " link " + std::to_string(e.id));
        EXPECT_EQ(e.storage, res::CS_NONE);
        const CEntry* target = parent->find(e.id);
        ASSERT_TRUE(target);
        EXPECT_NE(target->type, res::CT_LINK);
      }
    }
  }
  // Only pages of tabbed dialogs link.
  for (const auto& r : kDialogs) {
    bool tabbedPage = std::any_of(kDialogs.begin(), kDialogs.end(),
                                  [&](const DialogRow& p) { return isPageOf(r, p); });
    if (tabbedPage) continue;
    if (auto c = Resources().centry(r.centry))
      for (const auto& e : c->entries)
        EXPECT_NE(e.type, res::CT_LINK) << "dialog " << r.id << " entry " << e.id;
  }
}

TEST(ControlEntries, FrameButtonsOnlyOnTabbedDialogs) {
  const std::set<std::uint16_t> tabbed = {3218, 3600, 3607, 3612, 3623, 3627, 3634};
  for (const auto& r : kDialogs) {
    auto c = Resources().centry(r.centry);
    if (!c) continue;
    std::size_t seen = 0;
    for (const auto& e : c->entries)
      if (e.storage == res::CS_FRAME) {
        ++seen;
        EXPECT_TRUE(tabbed.count(r.id)) << "dialog " << r.id << " entry " << e.id;
        EXPECT_EQ(e.type, res::CT_BUTTON);
      }
    if (tabbed.count(r.id)) EXPECT_GE(seen, 2u) << "dialog " << r.id;
  }
}

TEST(ControlEntries, Terminators) {
  for (const auto& r : kDialogs) {
    auto c = Resources().centry(r.centry);
    if (!c) continue;
    SCOPED_TRACE("CENTRY " + std::to_string(r.centry));
    if (r.centry == 1024 || r.centry == 1025)
      EXPECT_EQ(c->trailingZeroBytes, 20u);
    else if (r.centry == 1045)
      EXPECT_EQ(c->trailingZeroBytes, 8u);
    else
      EXPECT_TRUE(std::set<std::size_t>({2, 4, 6, 8}).count(c->trailingZeroBytes));
  }
  auto empty = Resources().file().find("CENTRY", 1045);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->data.size(), 8u);
}

TEST(ControlEntries, LayoutWords) {
  for (const auto& r : kDialogs) {
    auto c = Resources().centry(r.centry);
    if (!c) continue;
    for (const auto& e : c->entries) {
      std::uint16_t want = 0;
      bool listButtons = r.id == 3614 || r.id == 3616 || r.id == 3617;
      if (listButtons && (e.id == 1413 || e.id == 2)) want = 3;
      if ((r.id == 3616 || r.id == 3617 || r.id == 3223) && e.isGrid()) want = 4;
      EXPECT_EQ(e.layout, want) << "dialog " << r.id << " entry " << e.id;
    }
  }
}

// ---- Grids and grid-combos ---------------------------------------------------

TEST(GridEntries, TheTableRowByRow) {
  for (const auto& g : kGridEntries) {
    SCOPED_TRACE("CENTRY " + std::to_string(g.centry) + " control " + std::to_string(g.control));
    auto c = Resources().centry(g.centry);
    ASSERT_TRUE(c);
    const CEntry* e = c->find(g.control);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->type, g.type);
    EXPECT_EQ(e->link1, g.grid);
    EXPECT_EQ(e->link2, 15);
    EXPECT_EQ(e->rowsNeeded, g.rowsNeeded);
    EXPECT_EQ(e->startUp, g.startUp);
    EXPECT_EQ(e->layout, g.layout);
    EXPECT_EQ(e->storage, res::CS_WINDOW);
    EXPECT_EQ(e->length, 0);
    EXPECT_TRUE(Resources().grid(g.grid)) << "GRID " << g.grid;
    auto d = Resources().dentry(g.dialog);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->centry, g.centry);
  }
}

TEST(GridEntries, NoOtherGridsAndTheNominalCodeCombos) {
  std::set<std::pair<std::uint16_t, std::uint16_t>> listed;
  for (const auto& g : kGridEntries) listed.emplace(g.centry, g.control);
  for (const auto& r : kDialogs) {
    auto c = Resources().centry(r.centry);
    if (!c) continue;
    for (const auto& e : c->entries) {
      if (!e.isGrid() && !e.isGridCombo()) continue;
      SCOPED_TRACE("CENTRY " + std::to_string(r.centry) + " entry " + std::to_string(e.id));
      if (e.id == 1714) {
        EXPECT_TRUE(r.centry == 1007 || r.centry == 1012 || r.centry == 1016);
        EXPECT_EQ(e.type, res::CT_GRIDCOMBO);
        EXPECT_EQ(e.storage, res::CS_OWN);
        EXPECT_EQ(e.length, 9);
        EXPECT_EQ(e.link1, 0);
        EXPECT_EQ(e.rowsNeeded, 0);
        EXPECT_EQ(e.startUp, 0);
        continue;
      }
      EXPECT_TRUE(listed.count({r.centry, e.id}));
    }
  }
  for (std::uint16_t centry : {1007, 1012, 1016})
    EXPECT_TRUE(Resources().centry(centry)->find(1714));
}

struct Col {
  const char* heading;  // "" for a hidden column
  std::uint16_t type, width, length, places, id;
};

struct GridRow {
  std::uint16_t grid;
  std::vector<Col> columns;
};

const std::vector<Col> kCurrencyColumns = {
    {"No", 6, 4, 4, 0, 0},        {"Name", 2, 11, 31, 0, 1673},  {"Country", 2, 11, 31, 0, 1303},
    {"EC", 2, 4, 4, 0, 1410},     {"Ex. Rate", 12, 5, 11, 6, 0}, {"EMU", 2, 4, 4, 0, 0},
    {"EMU Rate", 12, 5, 11, 6, 0}};

std::vector<Col> withLastHeading(std::vector<Col> cols, const char* heading) {
  cols.back().heading = heading;
  return cols;
}

const std::vector<GridRow> kGrids = {
    {101, kCurrencyColumns},
    {1000, {{"Month", 2, 21, 11, 0, 0}}},
    {1002, {{"No", 6, 4, 4, 0, 0}, {"Category", 2, 31, 31, 0, 1673}}},
    {1003, {{"No", 6, 4, 2, 0, 0}, {"Name", 2, 31, 31, 0, 1673}}},
    {1004, {{"No", 6, 4, 4, 0, 0}, {"Name", 2, 20, 61, 0, 1673}}},
    {1005, withLastHeading(kCurrencyColumns, "1 Euro")},
    {1006,
     {{"Code", 2, 4, 4, 0, 2059},
      {"Rate", 12, 8, 8, 2, 1962},
      {"In Use", 2, 1, 1, 0, 1961},
      {"EC Sale", 2, 1, 1, 0, 1959},
      {"EC Purch", 2, 1, 1, 0, 1958},
      {"", 2, 1, 1, 0, 0}}},
    {1007, {{"Code", 2, 10, 10, 0, 2059}}},
    {1014, {{"Code", 2, 15, 15, 0, 2059}}},
    {1008, {{"Control Account", 2, 10, 61, 0, 1718}, {"N/C", 2, 12, 9, 0, 1800}}},
    {1009, {{"No", 6, 4, 4, 0, 0}, {"Name", 2, 35, 31, 0, 1673}}},
    {1010,
     {{"Discount", 2, 13, 13, 0, 0},
      {"Invoice Value", 12, 12, 12, 2, 2164},
      {"Discount %", 12, 12, 12, 2, 1794}}},
    {1011, {{"Property", 2, 14, 61, 0, 0}, {"Settings", 2, 30, 256, 0, 0}}},
    {1012, {{"User Name", 2, 33, 33, 0, 0}, {"Machine Name", 2, 33, 33, 0, 0}}},
    {1013,
     {{"User Name", 2, 15, 33, 0, 0}, {"Request", 2, 15, 61, 0, 0}, {"Details", 2, 9, 9, 0, 0}}},
    {1015,
     {{"Date From", 2, 11, 11, 0, 0},
      {"Base Rate (%)", 12, 11, 11, 2, 0},
      {"Additional (%)", 12, 11, 11, 2, 0},
      {"", 9, 4, 4, 0, 0}}},
    {1046,
     {{"No", 6, 2, 4, 0, 0},
      {"Description", 2, 31, 61, 0, 0},
      {"Hold", 2, 1, 1, 0, 0},
      {"", 2, 1, 1, 0, 0}}},
};

// Columns addressed by no handler may carry identifier 0 or one of their
// own; those the handlers address must carry theirs.
TEST(GridColumns, TheSummaryColumnByColumn) {
  for (const auto& g : kGrids) {
    SCOPED_TRACE("GRID " + std::to_string(g.grid));
    auto grid = Resources().grid(g.grid);
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->columns.size(), g.columns.size());
    for (std::size_t i = 0; i < g.columns.size(); ++i) {
      const auto& want = g.columns[i];
      const auto& got = grid->columns[i];
      SCOPED_TRACE(std::string("column ") + want.heading);
      EXPECT_EQ(got.heading, want.heading);
      EXPECT_EQ(got.valueType, want.type);
      EXPECT_EQ(got.displayWidth, want.width);
      EXPECT_EQ(got.length, want.length);
      EXPECT_EQ(got.decimals, want.places);
      if (want.id) EXPECT_EQ(got.id, want.id);
      EXPECT_EQ(got.reserved, 0);
      EXPECT_EQ(got.reservedText, "");
      bool hidden = *want.heading == 0;
      EXPECT_EQ(got.hidden(), hidden);
      if (hidden) {
        EXPECT_EQ(got.editorClass, "");
        EXPECT_EQ(got.gridFlags, 0);
      } else {
        EXPECT_TRUE(got.style == 0x80 || got.style == 0x81);
        EXPECT_EQ(got.editorClass.substr(0, 1), "@");
      }
    }
  }
}

TEST(GridColumns, FlagsEditorsAndSpareBytes) {
  auto col = [](std::uint16_t grid, std::size_t i) {
    return Resources().grid(grid)->columns.at(i);
  };
  EXPECT_EQ(col(1002, 0).columnFlags, 0x0022);
  EXPECT_EQ(col(1003, 0).columnFlags, 0x0002);
  EXPECT_EQ(col(1004, 0).columnFlags, 0x0002);
  EXPECT_EQ(col(1008, 1).columnFlags, 0x0002);
  EXPECT_EQ(col(1010, 0).columnFlags, 0x0020);
  EXPECT_EQ(col(1008, 1).gridFlags, 0x0021);
  EXPECT_EQ(col(1008, 1).editorClass, "@__03COMBO__");
  EXPECT_EQ(col(1010, 1).gridFlags, 0x0002);
  EXPECT_EQ(col(1010, 2).gridFlags, 0x0002);
  EXPECT_EQ(col(1010, 1).editorClass, "@__03Combo__");
  EXPECT_EQ(col(1010, 2).editorClass, "@__03Combo__");

  const std::set<std::pair<std::uint16_t, std::size_t>> special = {
      {1002, 0}, {1003, 0}, {1004, 0}, {1008, 1}, {1010, 0}};
  const std::set<std::uint16_t> plainGrids = {1003, 1005, 1009, 1015, 101};
  for (const auto& g : kGrids) {
    auto grid = Resources().grid(g.grid);
    for (std::size_t i = 0; i < grid->columns.size(); ++i) {
      const auto& c = grid->columns[i];
      SCOPED_TRACE("GRID " + std::to_string(g.grid) + " column " + std::to_string(i));
      if (!special.count({g.grid, i})) EXPECT_EQ(c.columnFlags, 0);
      if (c.hidden() || (g.grid == 1008 && i == 1) || (g.grid == 1010 && i > 0)) continue;
      EXPECT_EQ(c.gridFlags, plainGrids.count(g.grid) ? 0 : 0x0800);
    }
    bool lastHidden = grid->columns.back().hidden();
    EXPECT_EQ(grid->spareByte, lastHidden) << "GRID " << g.grid;
  }
}

TEST(GridColumns, RowRecordSizes) {
  EXPECT_EQ(Resources().grid(1004)->rowBytes(), 4u + 61u);
  EXPECT_EQ(Resources().grid(1005)->rowBytes(), 4u + 31 + 31 + 4 + 8 + 4 + 8);
  EXPECT_EQ(Resources().grid(1010)->rowBytes(), 29u);
}

TEST(GridBitmaps, SystemInformationGrid) {
  auto words = Resources().gridBitmap(1011);
  ASSERT_TRUE(words);
  EXPECT_EQ(*words, (std::vector<std::uint16_t>{1, 0, 0, 0, 0}));
}

TEST(Bitmaps, FourSixteenColourBitmaps) {
  for (std::uint16_t id = 1; id <= 4; ++id) {
    SCOPED_TRACE("bitmap " + std::to_string(id));
    const res::Resource* b = Resources().file().find(res::RT_BITMAP, id);
    ASSERT_TRUE(b);
    // A BITMAPINFOHEADER: size 40, width, height, planes 1, 4 bits a pixel.
    ASSERT_GE(b->data.size(), 40u + 16 * 4);
    auto u32 = [&](std::size_t o) {
      std::uint32_t v;
      std::memcpy(&v, b->data.data() + o, 4);
      return v;
    };
    auto u16 = [&](std::size_t o) {
      std::uint16_t v;
      std::memcpy(&v, b->data.data() + o, 2);
      return v;
    };
    EXPECT_EQ(u32(0), 40u);
    std::int32_t side = id == 1 ? 16 : 18;
    EXPECT_EQ(static_cast<std::int32_t>(u32(4)), side);
    EXPECT_EQ(std::abs(static_cast<std::int32_t>(u32(8))), side);
    EXPECT_EQ(u16(12), 1);
    EXPECT_EQ(u16(14), 4);
  }
}

}  // namespace
}  // namespace vx70::test
