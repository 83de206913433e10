// The resources of the company settings dialogs: Company Preferences (3600)
// with its pages 3601 to 3603 and the unlisted Environment page 3604,
// Financial Year (3605), Change Program Date (3606), Change Password (3632)
// and Update Defaults (3633), and the month list GRID 1000.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/support/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::ControlSpec;
using vx70::test::ExpectControls;
using vx70::test::Resources;
using vx70::test::SameClass;
using enum vx70::test::ControlKind;

constexpr std::uint16_t kPages[] = {3601, 3602, 3603, 3604};

bool Inside(const DialogItem& in, const DialogItem& out) {
  return in.x >= out.x && in.y >= out.y && in.x + in.cx <= out.x + out.cx &&
         in.y + in.cy <= out.y + out.cy;
}

bool IsGroupBox(const DialogItem& item) {
  return SameClass(item.className, "BUTTON") && (item.style & 0xF) == 0x7;
}

// The pages are drawn in the container's client area, left of its buttons.
TEST(CompanyResources, PagesLieLeftOfTheContainerButtons) {
  const auto container = Resources().dialog(3600);
  ASSERT_TRUE(container);
  for (std::uint16_t page : kPages) {
    SCOPED_TRACE(page);
    const auto dlg = Resources().dialog(page);
    ASSERT_TRUE(dlg);
    EXPECT_LE(dlg->cy, container->cy);
    for (const DialogItem& item : dlg->items)
      for (const DialogItem& button : container->items) EXPECT_LT(item.x + item.cx, button.x);
  }
}

TEST(CompanyResources, NamedControls) {
  const ControlSpec controls[] = {
      {3600, 1942, "BUTTON", "OK", kDefaultButton},
      {3600, 2, "BUTTON", "Cancel", kPushButton},
      // Address.
      {3601, 1673, "EDIT", nullptr, 0},
      {3601, 100, "STATIC", "Name", 0},
      {3601, 1039, "STATIC", "", 0},
      {3601, 1040, "STATIC", "", 0},
      {3601, 1041, "STATIC", "", 0},
      {3601, 1042, "STATIC", "", 0},
      {3601, 1043, "STATIC", "", 0},
      {3601, 1029, "EDIT", nullptr, 0},
      {3601, 1030, "EDIT", nullptr, 0},
      {3601, 1031, "EDIT", nullptr, 0},
      {3601, 1032, "EDIT", nullptr, 0},
      {3601, 1033, "EDIT", nullptr, 0},
      {3601, 101, "EDIT", nullptr, kDisabled},
      {3601, 2068, "EDIT", nullptr, 0},
      {3601, 1429, "EDIT", nullptr, 0},
      {3601, 2318, "EDIT", nullptr, 0},
      {3601, 2319, "EDIT", nullptr, 0},
      {3601, 2178, "EDIT", nullptr, 0},
      {3601, 1310, "EDIT", nullptr, 0},
      {3601, 2473, "STATIC", "Credit Ref No", 0},
      {3601, 1998, "BUTTON", "Print Name and Address on Stationery", kCheckBox},
      {3601, 102, "BUTTON", "&Company Details", kGroup},
      // Labels.
      {3602, 1044, "EDIT", nullptr, 0},
      {3602, 1045, "EDIT", nullptr, 0},
      {3602, 1046, "EDIT", nullptr, 0},
      {3602, 1047, "EDIT", nullptr, 0},
      {3602, 1048, "EDIT", nullptr, 0},
      {3602, 1925, "EDIT", nullptr, 0},
      {3602, 1926, "EDIT", nullptr, 0},
      {3602, 1927, "EDIT", nullptr, 0},
      {3602, 1846, "EDIT", nullptr, 0},
      {3602, 1847, "EDIT", nullptr, 0},
      {3602, 1848, "EDIT", nullptr, 0},
      // Parameters.
      {3603, 1127, "BUTTON", "&Print End of Report Banner", kCheckBox},
      {3603, 1769, "EDIT", nullptr, 0},
      {3603, 200, "STATIC", "Chq. lines per page", 0},
      {3603, 2174, "BUTTON", "&Item VAT Amendable", kCheckBox},
      {3603, 2200, "BUTTON", "&VAT Cash Accounting", kCheckBox},
      {3603, 2061, "__03Combo__", nullptr, 0},
      {3603, 133, "STATIC", "&Non-Vatable Tax Code", 0},
      {3603, 1005, "BUTTON", "&Access Rights", kCheckBox},
      {3603, 2202, "BUTTON", "No &Warning on Visa receipts", kCheckBox},
      {3603, 1425, "BUTTON", "&Exclude deleted transactions", kCheckBox},
      {3603, 1891, "BUTTON", "No &Recurring entries at startup", kCheckBox},
      {3603, 1295, "BUTTON", "&Copy skeleton journal values", kCheckBox},
      {3603, 2365, "BUTTON", "Display Accoun&t Status", kCheckBox},
      {3603, 2444, "BUTTON", "&List PP/SR by split.", kCheckBox},
      {3603, 2449, "BUTTON", "&Group items in Bank Rec.", kCheckBox},
      {3603, 2495, "BUTTON", "All&ow Negative Stock", kCheckBox},
      {3603, 2461, "BUTTON", "Age disputes as current", kCheckBox | kHidden},
      {3603, 2244, "BUTTON", "Wor&kclock Link", kCheckBox},
      {3603, 1881, "__03Combo__", nullptr, 0},
      {3603, 122, "STATIC", "Defa&ult call charge rate", 0},
      {3603, 990, "BUTTON", "Call Charges", kGroup},
      {3603, 131, "BUTTON", "Printing", kGroup},
      {3603, 132, "BUTTON", "VAT Defaults", kGroup},
      {3603, 134, "BUTTON", "Others", kGroup},
      {3603, 130, "BUTTON", "&Help", kGroup},
      {3603, 2108, "BUTTON", "Tool Tips", kCheckBox},
      {3603, 1146, "BUTTON", "Vexa Bubble Help", kCheckBox},
      // Environment.
      {3604, 1811, "EDIT", nullptr, 0},
      {3604, 1637, "EDIT", nullptr, 0},
      {3604, 1360, "EDIT", nullptr, 0},
      {3604, 1427, "EDIT", nullptr, 0},
      {3604, 1428, "EDIT", nullptr, 0},
      {3604, 1143, "EDIT", nullptr, 0},
      // Financial Year.
      {3605, 100, "STATIC",
       "Enter the date in which your financial year is to start. This date is set once "
       "transactions have been posted",
       0},
      {3605, 1642, "__03Combo__", nullptr, 0},
      {3605, 1336, "EDIT", nullptr, 0},
      {3605, 1, "BUTTON", "OK", kDefaultButton},
      {3605, 2, "BUTTON", "Cancel", kPushButton},
      {3605, 2479, "BUTTON", "Change...", kPushButton},
      // Change Program Date.
      {3606, 100, "STATIC",
       "Enter a new date to be used as the default for transactions. This date can be "
       "changed at time of posting.",
       0},
      {3606, 1336, "__03Combo__", nullptr, 0},
      {3606, 1, "BUTTON", "OK", kDefaultButton},
      {3606, 2, "BUTTON", "Cancel", kPushButton},
      // Change Password.
      {3632, 101, "STATIC", "Logon Name", 0},
      {3632, 1618, "EDIT", nullptr, kDisabled},
      {3632, 102, "STATIC", "New Password", 0},
      {3632, 1783, "EDIT", nullptr, kPassword | kUpperCase},
      {3632, 103, "STATIC", "Confirm New Password", 0},
      {3632, 1784, "EDIT", nullptr, kPassword | kUpperCase},
      {3632, 1003, "BUTTON", "&Discard", kPushButton},
      {3632, 1942, "BUTTON", "OK", kDefaultButton},
      {3632, 2, "BUTTON", "Cancel", kPushButton},
      // Update Defaults.
      {3633, 2264, "BUTTON", "Enable NETBIOS Messaging", kCheckBox},
      {3633, 1604, "BUTTON", "Update on Add", kCheckBox},
      {3633, 1605, "BUTTON", "Update on Modify", kCheckBox},
      {3633, 1606, "BUTTON", "Update on Posting", kCheckBox},
      {3633, 1600, "BUTTON", "Update on Add", kCheckBox},
      {3633, 1601, "BUTTON", "Update on Modify", kCheckBox},
      {3633, 1602, "BUTTON", "Update on Posting", kCheckBox},
      {3633, 1098, "BUTTON", "Update on Modify", kCheckBox},
      {3633, 1100, "BUTTON", "Update on Posting", kCheckBox},
      {3633, 1055, "BUTTON", "Update on Modify", kCheckBox},
      {3633, 1056, "BUTTON", "Update on Posting", kCheckBox},
      {3633, 1018, "BUTTON", "Update on Posting", kCheckBox},
      {3633, 1, "BUTTON", "OK", kDefaultButton},
      {3633, 2, "BUTTON", "Cancel", kPushButton},
  };
  ExpectControls(controls);
}

// Captions of windows without an identifier of their own, and the windows
// that each group box (or the frame behind the address lines) holds.
TEST(CompanyResources, LabelsAndGroups) {
  struct Label {
    std::uint16_t dialog;
    const char* cls;
    const char* caption;
  };
  const Label labels[] = {
      {3601, "STATIC", "Telephone"},
      {3601, "STATIC", "Fax"},
      {3601, "STATIC", "E-Mail"},
      {3601, "STATIC", "WWW"},
      {3601, "STATIC", "V.A.T Reg. No"},
      {3602, "STATIC", "Address Line 1"},
      {3602, "STATIC", "Address Line 2"},
      {3602, "STATIC", "Address Line 3"},
      {3602, "STATIC", "Address Line 4"},
      {3602, "STATIC", "Address Line 5"},
      {3604, "STATIC", "Port"},
      {3604, "STATIC", "Modem"},
      {3604, "STATIC", "Delay"},
      {3604, "STATIC", "F11"},
      {3604, "STATIC", "F12"},
      {3604, "STATIC", "&Credit control WWW Site"},
      {3605, "STATIC", "Month"},
      {3605, "STATIC", "Year"},
      {3606, "STATIC", "Default Program Date:"},
  };
  for (const Label& l : labels) {
    SCOPED_TRACE(testing::Message() << l.dialog << " " << l.caption);
    const auto dlg = Resources().dialog(l.dialog);
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(std::any_of(dlg->items.begin(), dlg->items.end(), [&](const DialogItem& i) {
      return SameClass(i.className, l.cls) && i.text == l.caption;
    }));
  }

  struct Group {
    std::uint16_t dialog;
    std::uint16_t id;     // 0: found by its caption
    const char* caption;  // of a group box
    std::vector<std::uint16_t> holds;
  };
  const Group groups[] = {
      {3601, 101, nullptr, {1029, 1030, 1031, 1032, 1033}},
      {3602, 0, "&Address Labels", {1044, 1045, 1046, 1047, 1048}},
      {3602, 0, "&Customer Analysis Codes", {1925, 1926, 1927}},
      {3602, 0, "&Supplier Analysis Codes", {1846, 1847, 1848}},
      {3603, 134, nullptr, {1005, 2202, 1425, 1891, 1295, 2365, 2444, 2449, 2495, 2244}},
      {3603, 990, nullptr, {122, 1881}},
      {3603, 130, nullptr, {2108, 1146}},
      {3633, 0, "Updates", {2264}},
      {3633, 0, "&Ledger Lists", {1604, 1605, 1606}},
      {3633, 0, "La&zy Lists", {1600, 1601, 1602}},
      {3633, 0, "&Balance Lists", {1098, 1100}},
      {3633, 0, "A&ged Balance Lists", {1055, 1056}},
      {3633, 0, "&Activities", {1018}},
  };
  for (const Group& g : groups) {
    SCOPED_TRACE(testing::Message()
                 << g.dialog << " " << g.id << " " << (g.caption ? g.caption : ""));
    const auto dlg = Resources().dialog(g.dialog);
    ASSERT_TRUE(dlg);
    const auto box = std::find_if(dlg->items.begin(), dlg->items.end(), [&](const DialogItem& i) {
      return g.id ? i.id == g.id : IsGroupBox(i) && i.text == g.caption;
    });
    ASSERT_NE(box, dlg->items.end());
    for (std::uint16_t id : g.holds) {
      const DialogItem* item = dlg->item(id);
      ASSERT_NE(item, nullptr) << id;
      EXPECT_TRUE(Inside(*item, *box)) << id;
    }
  }
}

TEST(CompanyResources, ValueEntries) {
  constexpr int kAny = -1;
  struct Entry {
    std::uint16_t centry, id, type, storage;
    int length;
  };
  const Entry entries[] = {
      // Company Preferences: its buttons, the page-window slots, and the
      // buffers of every page's controls.
      {1000, 1942, 0x18, 17, 0},
      {1000, 2, 0x18, 17, 0},
      {1000, 1385, 0x20, 8, 8},
      {1000, 1571, 0x20, 8, 8},
      {1000, 2042, 0x20, 8, 8},
      {1000, 1421, 0x20, 8, 8},
      {1000, 1673, 0x03, 4, 61},
      {1000, 1029, 0x03, 4, 61},
      {1000, 1030, 0x03, 4, 61},
      {1000, 1031, 0x03, 4, 61},
      {1000, 1032, 0x03, 4, 61},
      {1000, 1033, 0x03, 4, 61},
      {1000, 2068, 0x03, 4, 31},
      {1000, 1429, 0x03, 4, 31},
      {1000, 2318, 0x03, 4, 256},
      {1000, 2319, 0x03, 4, 256},
      {1000, 2178, 0x03, 4, 31},
      {1000, 1310, 0x03, 4, 61},
      {1000, 1039, 0x17, 1, 0},
      {1000, 1040, 0x17, 1, 0},
      {1000, 1041, 0x17, 1, 0},
      {1000, 1042, 0x17, 1, 0},
      {1000, 1043, 0x17, 1, 0},
      {1000, 1998, 0x18, 1, 0},
      {1000, 1044, 0x03, 4, 11},
      {1000, 1045, 0x03, 4, 11},
      {1000, 1046, 0x03, 4, 11},
      {1000, 1047, 0x03, 4, 11},
      {1000, 1048, 0x03, 4, 11},
      {1000, 1925, 0x03, 4, 11},
      {1000, 1926, 0x03, 4, 11},
      {1000, 1927, 0x03, 4, 11},
      {1000, 1846, 0x03, 4, 11},
      {1000, 1847, 0x03, 4, 11},
      {1000, 1848, 0x03, 4, 11},
      {1000, 1769, 0x04, 4, kAny},
      {1000, 1881, 0x01, 4, 12},
      {1000, 1811, 0x03, 4, 145},
      {1000, 1637, 0x03, 4, 11},
      {1000, 1360, 0x04, 4, kAny},
      {1000, 1427, 0x03, 4, 51},
      {1000, 1428, 0x03, 4, 51},
      {1000, 1143, 0x03, 4, 256},
      // Financial Year: the year (the month list is a grid-combo).
      {1005, 1336, 0x04, 4, 5},
      {1005, 1, 0x18, 1, 0},
      {1005, 2, 0x18, 1, 0},
      {1005, 2479, 0x18, 1, 0},
      // Change Program Date: the date text, a buffer of its own.
      {1006, 1336, 0x03, 8, 11},
      // Change Password.
      {1032, 101, 0x17, 1, 0},
      {1032, 1618, 0x03, 4, 33},
      {1032, 1783, 0x03, 4, 11},
      {1032, 1784, 0x03, 4, 11},
      // Update Defaults: the NETBIOS switch and the eleven flags.
      {1033, 2264, 0x18, 1, 0},
      {1033, 1604, 0x18, 1, 0},
      {1033, 1605, 0x18, 1, 0},
      {1033, 1606, 0x18, 1, 0},
      {1033, 1600, 0x18, 1, 0},
      {1033, 1601, 0x18, 1, 0},
      {1033, 1602, 0x18, 1, 0},
      {1033, 1098, 0x18, 1, 0},
      {1033, 1100, 0x18, 1, 0},
      {1033, 1055, 0x18, 1, 0},
      {1033, 1056, 0x18, 1, 0},
      {1033, 1018, 0x18, 1, 0},
  };
  for (const Entry& want : entries) {
    SCOPED_TRACE(testing::Message() << want.centry << "/" << want.id);
    const auto list = Resources().centry(want.centry);
    ASSERT_TRUE(list);
    const CEntry* e = list->find(want.id);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->type, want.type);
    EXPECT_EQ(e->storage, want.storage);
    if (want.length != kAny) {
      EXPECT_EQ(e->length, want.length);
    }
    EXPECT_EQ(e->link1, 0);
    EXPECT_EQ(e->link2, 0);
    EXPECT_EQ(e->rowsNeeded, 0);
    EXPECT_EQ(e->startUp, 0);
  }

  // Every entry with a window names a control of its dialog; the
  // container's entries name controls of its own template or of a page.
  struct Owner {
    std::uint16_t centry;
    std::vector<std::uint16_t> dialogs;
  };
  const Owner owners[] = {
      {1000, {3600, 3601, 3602, 3603, 3604}},
      {1001, {3601}},
      {1002, {3602}},
      {1003, {3603}},
      {1004, {3604}},
      {1005, {3605}},
      {1006, {3606}},
      {1032, {3632}},
      {1033, {3633}},
  };
  for (const Owner& o : owners) {
    const auto list = Resources().centry(o.centry);
    ASSERT_TRUE(list);
    std::set<std::uint16_t> seen;
    for (const CEntry& e : list->entries) {
      SCOPED_TRACE(testing::Message() << o.centry << "/" << e.id);
      EXPECT_TRUE(seen.insert(e.id).second) << "twice";
      if (e.type == 0x20) continue;  // handler slots have no window
      EXPECT_TRUE(std::any_of(o.dialogs.begin(), o.dialogs.end(), [&](std::uint16_t d) {
        const auto dlg = Resources().dialog(d);
        return dlg && dlg->item(e.id) != nullptr;
      }));
    }
  }
}

// The pages of Company Preferences keep no buffers: their value controls
// link to the container's entries of the same identifiers.
TEST(CompanyResources, PagesLinkTheirValueControls) {
  struct Page {
    std::uint16_t centry;
    std::vector<std::uint16_t> values;
  };
  const Page pages[] = {
      {1001, {1673, 1029, 1030, 1031, 1032, 1033, 2068, 1429, 2318, 2319, 2178, 1310}},
      {1002, {1044, 1045, 1046, 1047, 1048, 1925, 1926, 1927, 1846, 1847, 1848}},
      {1003, {1769, 2061, 1881}},
      {1004, {1811, 1637, 1360, 1427, 1428, 1143}},
  };
  for (const Page& p : pages) {
    const auto list = Resources().centry(p.centry);
    ASSERT_TRUE(list);
    for (std::uint16_t id : p.values) {
      SCOPED_TRACE(testing::Message() << p.centry << "/" << id);
      const CEntry* e = list->find(id);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(e->type, 0x1F);
    }
    for (const CEntry& e : list->entries) {
      SCOPED_TRACE(testing::Message() << p.centry << "/" << e.id);
      EXPECT_TRUE(e.storage == 0 || e.storage == 1);  // no buffer of the page's own
      EXPECT_EQ(e.length, 0);
    }
  }
}

// The month list: the columns' values beyond the GRID column summary.
TEST(CompanyResources, MonthGrid) {
  const auto grid = Resources().grid(1000);
  ASSERT_TRUE(grid);
  ASSERT_EQ(grid->columns.size(), 1u);
  const GridColumn& c = grid->columns[0];
  EXPECT_EQ(c.id, 0);
  EXPECT_EQ(c.style, 0x80);
  EXPECT_EQ(c.editorClass, "@EDIT");
  EXPECT_EQ(grid->rowBytes(), 11u);
}

}  // namespace
