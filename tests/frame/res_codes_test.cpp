// The code-table dialogs (category lists, currencies, tax codes, control
// accounts, account status, finance charge rates) and the GRID descriptions
// of their lists and of the shared code combos, held against the dialogs'
// documented controls, value entries and columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::ControlSpec;
using vx70::test::ExpectControls;
using vx70::test::Resources;
using enum vx70::test::ControlKind;

constexpr std::uint32_t kButtonKind = 0x000F;
constexpr std::uint32_t kGroupBox = 0x0007;

const std::vector<std::uint16_t> kDialogs = {3614, 3615, 3616, 3617, 3618, 3619,
                                             3620, 3621, 901,  9026, 3223, 3224};

// ---- Controls --------------------------------------------------------------

const ControlSpec kControls[] = {
    // Category lists.
    {3614, 1610, "__03Grid__", nullptr, 0},
    {3614, 1413, "__03Button__", "&Edit", 0},
    {3614, 2, "__03Button__", "Close", 0},
    {3614, 1417, "EDIT", nullptr, 0},
    {3615, 1373, "__03Grid__", nullptr, 0},
    {3615, 1413, "__03Button__", "&Edit", 0},
    {3615, 2, "__03Button__", "Close", 0},
    {3617, 1610, "__03Grid__", nullptr, 0},
    {3617, 1413, "__03Button__", "&Edit", 0},
    {3617, 2, "__03Button__", "Close", 0},
    // Currencies.
    {3616, 1610, "__03Grid__", nullptr, 0},
    {3616, 101, "STATIC", "Base Currency:", 0},
    {3616, 1881, "COMBOBOX", nullptr, 0},
    {3616, 1413, "BUTTON", "&Edit", 0},
    {3616, 2, "BUTTON", "Close", 0},
    {3618, 1673, "EDIT", nullptr, 0},
    {3618, 1303, "EDIT", nullptr, 0},
    {3618, 1410, "EDIT", nullptr, 0},
    {3618, 1431, "EDIT", nullptr, 0},
    {3618, 1432, "EDIT", nullptr, 0},
    {3618, 200, "STATIC", "Ex. Rate", 0},
    {3618, 201, "STATIC", "1 Euro =", 0},
    {3618, 202, "BUTTON", "Rates", kGroup},
    {3618, 1216, "BUTTON", "Euro &Member", kCheckBox},
    {3618, 1942, "BUTTON", "OK", 0},
    {3618, 2, "BUTTON", "Cancel", 0},
    // Tax codes.
    {3619, 1610, "__03Grid__", nullptr, 0},
    {3619, 1413, "BUTTON", "&Edit", 0},
    {3619, 2, "BUTTON", "Close", 0},
    {3620, 2059, "EDIT", nullptr, kDisabled},
    {3620, 1962, "EDIT", nullptr, 0},
    {3620, 1961, "BUTTON", "Include in VAT return", kCheckBox},
    {3620, 1957, "BUTTON", "EC Code", kCheckBox},
    {3620, 1959, "BUTTON", "EC Sales", kFirstRadio},
    {3620, 1958, "BUTTON", "EC Purchases", kRadio},
    {3620, 2061, "__03Combo__", nullptr, 0},
    {3620, 1942, "BUTTON", "OK", 0},
    {3620, 2, "BUTTON", "Cancel", 0},
    {3620, 101, "BUTTON", "Settings", kGroup},
    {3620, 102, "BUTTON", nullptr, kGroup},
    // Control accounts.
    {3621, 1287, "__03Grid__", nullptr, 0},
    {3621, 1812, "BUTTON", "OK", 0},
    {3621, 2, "BUTTON", "Cancel", 0},
    // Account status.
    {901, 1610, "__03Grid__", nullptr, 0},
    {901, 1413, "BUTTON", "&Edit", 0},
    {901, 2, "BUTTON", "Close", 0},
    {9026, 1413, "EDIT", nullptr, 0},
    {9026, 1010, "BUTTON", "Marks account as \"On Hold\"", kCheckBox},
    {9026, 1, "BUTTON", "OK", 0},
    {9026, 2, "BUTTON", "Cancel", 0},
    // Finance charge rates.
    {3223, 1881, "STATIC", nullptr, 0},
    {3223, 1610, "__03Grid__", nullptr, 0},
    {3223, 1026, "BUTTON", "&Add", 0},
    {3223, 1413, "BUTTON", "&Edit", 0},
    {3223, 1362, "BUTTON", "&Delete", 0},
    {3223, 2, "BUTTON", "Close", 0},
    {3224, 1336, "__03Combo__", nullptr, 0},
    {3224, 1431, "EDIT", nullptr, 0},
    {3224, 1432, "EDIT", nullptr, 0},
    {3224, 1942, "BUTTON", "OK", 0},
    {3224, 2, "BUTTON", "Cancel", 0},
};

TEST(CodesResources, NamedControls) {
  ExpectControls(kControls);
  // The second group box of Edit Tax Code carries a caption of blanks.
  const std::string blanks = Resources().dialog(3620)->item(102)->text;
  EXPECT_FALSE(blanks.empty());
  EXPECT_EQ(blanks.find_first_not_of(' '), std::string::npos);
  // Product Categories' spare edit has no height and no entry.
  EXPECT_EQ(Resources().dialog(3614)->item(1417)->cy, 0);
  EXPECT_EQ(Resources().centry(1015)->find(1417), nullptr);
}

// Labels and group boxes that the dialogs name by caption only.
const std::pair<std::uint16_t, const char*> kLabels[] = {
    {3618, "Currency"},           {3618, "Country"},     {3618, "EC Member"},
    {3618, "Currency Details"},   {3620, "Code"},        {3620, "Rate"},
    {3620, "Link To:"},           {9026, "Description"}, {9026, "Enter description and status"},
    {3224, "Date Applying From"}, {3224, "Base Rate %"}, {3224, "Additional %"},
};

TEST(CodesResources, Labels) {
  for (auto [dialog, caption] : kLabels) {
    auto dlg = Resources().dialog(dialog);
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(std::any_of(dlg->items.begin(), dlg->items.end(),
                            [&](const DialogItem& i) { return i.text == caption; }))
        << dialog << " " << caption;
  }
  auto group = Resources().dialog(9026);
  auto box = std::find_if(group->items.begin(), group->items.end(), [](const DialogItem& i) {
    return i.text == "Enter description and status";
  });
  ASSERT_NE(box, group->items.end());
  EXPECT_EQ(box->style & kButtonKind, kGroupBox);
}

// ---- Value entries ---------------------------------------------------------

// The entries besides the grids and grid-combos, which the table of grid
// entries holds.
struct Entry {
  std::uint16_t centry, id, type, storage, length;
};

const Entry kEntries[] = {
    // Lists: the Edit and Close buttons.
    {1015, 1413, CT_BUTTON, CS_WINDOW, 0},
    {1015, 2, CT_BUTTON, CS_WINDOW, 0},
    {1018, 1413, CT_BUTTON, CS_WINDOW, 0},
    {1018, 2, CT_BUTTON, CS_WINDOW, 0},
    {1019, 1413, CT_BUTTON, CS_WINDOW, 0},
    {1019, 2, CT_BUTTON, CS_WINDOW, 0},
    {1020, 1413, CT_BUTTON, CS_WINDOW, 0},
    {1020, 2, CT_BUTTON, CS_WINDOW, 0},
    // Edit Currency: the currency record's texts and rates.
    {1023, 1673, CT_TEXT, CS_OWN, 31},
    {1023, 1303, CT_TEXT, CS_OWN, 31},
    {1023, 1410, CT_TEXT, CS_OWN, 4},
    {1023, 1431, CT_DECIMAL, CS_OWN, 11},
    {1023, 1432, CT_DECIMAL, CS_OWN, 11},
    {1023, 1216, CT_BUTTON, CS_WINDOW, 0},
    // Edit Tax Code.
    {1022, 2059, CT_TEXT, CS_OWN, 4},
    {1022, 1962, CT_DECIMAL, CS_OWN, 6},
    {1022, 1961, CT_BUTTON, CS_WINDOW, 0},
    {1022, 1957, CT_BUTTON, CS_WINDOW, 0},
    {1022, 1959, CT_BUTTON, CS_WINDOW, 0},
    {1022, 1958, CT_BUTTON, CS_WINDOW, 0},
    {1022, 101, CT_STATIC, CS_WINDOW, 0},
    {1022, 102, CT_STATIC, CS_WINDOW, 0},
    // Control Accounts (the hidden codes 1699-1713 are checked below).
    {1024, 1719, CT_RECORD, CS_NONE, 651},
    {1024, 1120, CT_RECORD, CS_NONE, 1146},
    {1024, 1812, CT_BUTTON, CS_WINDOW, 0},
    {1024, 2, CT_BUTTON, CS_WINDOW, 0},
    // Edit Account Status: a text entry without a buffer.
    {1047, 1413, CT_TEXT, CS_WINDOW, 0},
    {1047, 1010, CT_BUTTON, CS_WINDOW, 0},
    {1047, 1, CT_BUTTON, CS_WINDOW, 0},
    {1047, 2, CT_BUTTON, CS_WINDOW, 0},
    // Set Finance Charge Rate.
    {1049, 1887, CT_RECNO, CS_HIDDEN, 4},
    {1049, 1336, CT_DATE, CS_OWN, 11},
    {1049, 1431, CT_DECIMAL, CS_OWN, 6},
    {1049, 1432, CT_DECIMAL, CS_OWN, 6},
    {1049, 1942, CT_BUTTON, CS_WINDOW, 0},
    {1049, 2, CT_BUTTON, CS_WINDOW, 0},
};

TEST(CodesResources, ValueEntries) {
  for (const Entry& e : kEntries) {
    SCOPED_TRACE(std::to_string(e.centry) + "/" + std::to_string(e.id));
    auto list = Resources().centry(e.centry);
    ASSERT_TRUE(list);
    const CEntry* c = list->find(e.id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->type, e.type);
    EXPECT_EQ(c->storage, e.storage);
    EXPECT_EQ(c->length, e.length);
    EXPECT_EQ(c->link1, 0);
    EXPECT_EQ(c->link2, 0);
    EXPECT_EQ(c->rowsNeeded, 0);
    EXPECT_EQ(c->startUp, 0);
  }
  // The codes that the fifteen control slots held at opening: slot i in
  // 1699 + i, 9 bytes each, with no window.
  auto control = Resources().centry(1024);
  for (std::uint16_t slot = 0; slot < 15; ++slot) {
    const CEntry* c = control->find(static_cast<std::uint16_t>(1699 + slot));
    ASSERT_NE(c, nullptr) << slot;
    EXPECT_EQ(c->type, CT_TEXT);
    EXPECT_EQ(c->storage, CS_HIDDEN);
    EXPECT_EQ(c->length, 9);
  }
  const CEntry* unused = control->find(1524);
  ASSERT_NE(unused, nullptr);
  EXPECT_EQ(unused->type, CT_WORD);
  // The base currency combo keeps a number.
  EXPECT_EQ(Resources().centry(1020)->find(1881)->type, CT_DECIMAL);
}

// Entries with a window (storage 1 and 4) name a window of their template;
// buffers without one (storage 0 and 8) do not.
TEST(CodesResources, EntriesMatchWindows) {
  for (std::uint16_t id : kDialogs) {
    SCOPED_TRACE(id);
    auto dlg = Resources().dialog(id);
    auto list = Resources().centry(Resources().dentry(id)->centry);
    ASSERT_TRUE(dlg && list);
    for (const CEntry& c : list->entries) {
      SCOPED_TRACE(c.id);
      const bool windowed = c.storage == CS_WINDOW || c.storage == CS_OWN;
      EXPECT_TRUE(windowed || c.storage == CS_NONE || c.storage == CS_HIDDEN);
      EXPECT_EQ(dlg->item(c.id) != nullptr, windowed);
    }
  }
}

// ---- GRID descriptions -------------------------------------------------------

// What the GRID column summary leaves open: every column's identifier (0
// where no handler addresses it; the No columns of GRID 1002, 1003 and 1004
// carry 2477), the size of a row record, and the style byte and editor class of
// the visible columns: 0x80 and "@EDIT" but for the N/C combo of GRID 1008.
struct GridSpec {
  std::uint16_t grid;
  std::vector<std::uint16_t> ids;
  std::size_t rowBytes;
};

const GridSpec kGridSpecs[] = {
    {101, {0, 1673, 1303, 1410, 0, 0, 0}, 90},
    {1002, {2477, 1673}, 35},
    {1003, {2477, 1673}, 33},
    {1004, {2477, 1673}, 65},
    {1005, {0, 1673, 1303, 1410, 0, 0, 0}, 90},
    {1006, {2059, 1962, 1961, 1959, 1958, 0}, 16},
    {1007, {2059}, 10},
    {1008, {1718, 1800}, 70},
    {1009, {0, 1673}, 35},
    {1014, {2059}, 15},
    {1015, {0, 0, 0, 0}, 31},
    {1046, {0, 0, 0, 0}, 67},
};

TEST(CodesResources, Grids) {
  for (const GridSpec& g : kGridSpecs) {
    SCOPED_TRACE(g.grid);
    auto grid = Resources().grid(g.grid);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->rowBytes(), g.rowBytes);
    ASSERT_EQ(grid->columns.size(), g.ids.size());
    for (std::size_t i = 0; i < g.ids.size(); ++i) {
      SCOPED_TRACE(i);
      const GridColumn& c = grid->columns[i];
      EXPECT_EQ(c.id, g.ids[i]);
      if (c.hidden()) continue;
      const bool combo = g.grid == 1008 && i == 1;
      EXPECT_EQ(c.style, combo ? 0x81 : 0x80);
      if (!combo) EXPECT_EQ(c.editorClass, "@EDIT");
    }
  }
}

}  // namespace
