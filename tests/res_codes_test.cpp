// The code-table dialogs (category lists, currencies, tax codes, control
// accounts, account status, finance charge rates) and the GRID descriptions
// of their lists and of the shared code combos, held against the dialogs'
// documented frames, controls, value entries and columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::Resources;

bool sameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kWsDisabled = 0x08000000;
constexpr std::uint32_t kButtonKind = 0x000F;
constexpr std::uint32_t kAutoCheckBox = 0x0003;
constexpr std::uint32_t kGroupBox = 0x0007;
constexpr std::uint32_t kAutoRadio = 0x0009;

const std::vector<std::uint16_t> kDialogs = {3614, 3615, 3616, 3617, 3618, 3619,
                                             3620, 3621, 901,  9026, 3223, 3224};

// ---- Frames and description headers --------------------------------------

struct Frame {
  std::uint16_t dialog;
  const char* title;
  std::uint32_t style;
  std::int16_t x, y, cx, cy;
  const char* font;
  std::size_t windows;
};

const Frame kFrames[] = {
    {901, "Account Status", 0x90c800c0, 0, 0, 200, 120, "Helv", 3},
    {3223, "Finance Charge Rates", 0x90c800c0, 100, 50, 299, 154, "Helv", 6},
    {3224, "Set Finance Charge Rate", 0x90c800c0, 3, 10, 153, 90, "Helv", 9},
    {3614, "Product Categories", 0x90c800c0, 3, 0, 170, 130, "Helv", 4},
    {3615, "Departments", 0x90c800c0, 3, 0, 170, 130, "Helv", 3},
    {3616, "Currencies", 0x90c800c0, 100, 50, 300, 130, "Helv", 5},
    {3617, "Fixed Asset Categories", 0x90c800c0, 100, 50, 170, 130, "Helv", 3},
    {3618, "Edit Currency", 0x90c800c0, 3, 10, 189, 159, "Helv", 15},
    {3619, "Tax Codes", 0x90c800c0, 0, 0, 200, 120, "Helv", 3},
    {3620, "Edit Tax Code", 0x90c800c0, 3, 10, 195, 120, "Helv", 14},
    {3621, "Control Accounts", 0x90c80040, 3, 0, 155, 204, "Helv", 3},
    {9026, "Edit Account Status", 0x90c800c0, 0, 0, 187, 86, "MS Sans Serif", 6},
};

TEST(CodesResources, TemplateFrames) {
  for (const Frame& f : kFrames) {
    SCOPED_TRACE(f.dialog);
    auto dlg = Resources().dialog(f.dialog);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(dlg->title, f.title);
    EXPECT_EQ(dlg->style, f.style);
    EXPECT_EQ(dlg->x, f.x);
    EXPECT_EQ(dlg->y, f.y);
    EXPECT_EQ(dlg->cx, f.cx);
    EXPECT_EQ(dlg->cy, f.cy);
    EXPECT_EQ(dlg->pointSize, 8);
    EXPECT_EQ(dlg->font, f.font);
    EXPECT_EQ(dlg->items.size(), f.windows);
    // Every window lies inside the dialog, and no two windows overlap.
    for (std::size_t i = 0; i < dlg->items.size(); ++i) {
      const DialogItem& a = dlg->items[i];
      SCOPED_TRACE(a.id);
      EXPECT_GE(a.x, 0);
      EXPECT_GE(a.y, 0);
      EXPECT_LE(a.x + a.cx, f.cx);
      EXPECT_LE(a.y + a.cy, f.cy);
      for (std::size_t j = i + 1; j < dlg->items.size(); ++j) {
        const DialogItem& b = dlg->items[j];
        const bool aGroup = sameText(a.className, "BUTTON") && (a.style & kButtonKind) == kGroupBox;
        const bool bGroup = sameText(b.className, "BUTTON") && (b.style & kButtonKind) == kGroupBox;
        if (aGroup || bGroup) continue;  // group boxes frame their controls
        const bool overlap =
            a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
        EXPECT_FALSE(overlap) << a.id << " and " << b.id;
      }
    }
  }
}

struct Header {
  std::uint16_t dialog, centry, mentry, word;
  std::size_t count;
  std::uint16_t init, command;
  std::size_t trailingZeros;
};

const Header kHeaders[] = {
    {901, 1046, 1046, 0x0000, 3, 55, 56, 2},    {3223, 1048, 1036, 0x0000, 1, 59, 60, 2},
    {3224, 1049, 1037, 0x0000, 6, 61, 62, 2},   {3614, 1015, 1015, 0x0103, 3, 9, 10, 2},
    {3615, 1018, 1018, 0x0000, 3, 13, 14, 2},   {3616, 1020, 1020, 0x0000, 4, 21, 22, 2},
    {3617, 1019, 1019, 0x0000, 3, 17, 18, 2},   {3618, 1023, 1023, 0x0000, 10, 29, 30, 2},
    {3619, 1021, 1022, 0x0000, 3, 25, 26, 2},   {3620, 1022, 1021, 0x0000, 14, 27, 28, 2},
    {3621, 1024, 1024, 0x0102, 21, 31, 32, 20}, {9026, 1047, 1047, 0x0000, 4, 57, 58, 2},
};

TEST(CodesResources, DescriptionHeaders) {
  for (const Header& h : kHeaders) {
    SCOPED_TRACE(h.dialog);
    auto de = Resources().dentry(h.dialog);
    ASSERT_TRUE(de);
    EXPECT_EQ(de->centry, h.centry);
    EXPECT_EQ(de->mentry, h.mentry);
    EXPECT_EQ(de->tentry, 0);
    EXPECT_EQ(de->displayWord, h.word);
    EXPECT_EQ(de->flags, DENTRY_ALONE);
    EXPECT_EQ(de->reserved, 0);

    auto ce = Resources().centry(h.centry);
    ASSERT_TRUE(ce);
    EXPECT_EQ(ce->entries.size(), h.count);
    EXPECT_EQ(ce->trailingZeroBytes, h.trailingZeros);

    auto me = Resources().mentry(h.mentry);
    ASSERT_TRUE(me);
    ASSERT_EQ(me->size(), 2u);
    EXPECT_EQ((*me)[0].message, 0x0110);
    EXPECT_EQ((*me)[0].ordinal, h.init);
    EXPECT_EQ((*me)[1].message, 0x0111);
    EXPECT_EQ((*me)[1].ordinal, h.command);
    for (const MEntry& m : *me) EXPECT_EQ(m.reserved, 0);
  }
  // Everything of this family is stored in English (United Kingdom).
  const ResourceFile& file = Resources().file();
  for (const Header& h : kHeaders) {
    const std::pair<const char*, std::uint16_t> described[] = {
        {"DENTRY", h.dialog}, {"CENTRY", h.centry}, {"MENTRY", h.mentry}};
    for (auto [type, id] : described) {
      const Resource* r = file.find(type, id);
      ASSERT_NE(r, nullptr) << type << " " << id;
      EXPECT_EQ(r->language, LANG_EN_GB) << type << " " << id;
    }
    const Resource* r = file.find(RT_DIALOG, h.dialog);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->language, LANG_EN_GB);
  }
}

// ---- Controls --------------------------------------------------------------

enum Kind { kPlain, kCheckBox, kRadio, kRadioFirst, kGroup, kDisabled };

struct Control {
  std::uint16_t dialog;
  std::uint16_t id;
  const char* cls;
  const char* caption;  // nullptr: not given
  Kind kind;
};

const Control kControls[] = {
    // Category lists.
    {3614, 1610, "__03Grid__", nullptr, kPlain},
    {3614, 1413, "__03Button__", "&Edit", kPlain},
    {3614, 2, "__03Button__", "Close", kPlain},
    {3614, 1417, "EDIT", nullptr, kPlain},
    {3615, 1373, "__03Grid__", nullptr, kPlain},
    {3615, 1413, "__03Button__", "&Edit", kPlain},
    {3615, 2, "__03Button__", "Close", kPlain},
    {3617, 1610, "__03Grid__", nullptr, kPlain},
    {3617, 1413, "__03Button__", "&Edit", kPlain},
    {3617, 2, "__03Button__", "Close", kPlain},
    // Currencies.
    {3616, 1610, "__03Grid__", nullptr, kPlain},
    {3616, 101, "STATIC", "Base Currency:", kPlain},
    {3616, 1881, "COMBOBOX", nullptr, kPlain},
    {3616, 1413, "BUTTON", "&Edit", kPlain},
    {3616, 2, "BUTTON", "Close", kPlain},
    {3618, 1673, "EDIT", nullptr, kPlain},
    {3618, 1303, "EDIT", nullptr, kPlain},
    {3618, 1410, "EDIT", nullptr, kPlain},
    {3618, 1431, "EDIT", nullptr, kPlain},
    {3618, 1432, "EDIT", nullptr, kPlain},
    {3618, 200, "STATIC", "Ex. Rate", kPlain},
    {3618, 201, "STATIC", "1 Euro =", kPlain},
    {3618, 202, "BUTTON", "Rates", kGroup},
    {3618, 1216, "BUTTON", "Euro &Member", kCheckBox},
    {3618, 1942, "BUTTON", "OK", kPlain},
    {3618, 2, "BUTTON", "Cancel", kPlain},
    // Tax codes.
    {3619, 1610, "__03Grid__", nullptr, kPlain},
    {3619, 1413, "BUTTON", "&Edit", kPlain},
    {3619, 2, "BUTTON", "Close", kPlain},
    {3620, 2059, "EDIT", nullptr, kDisabled},
    {3620, 1962, "EDIT", nullptr, kPlain},
    {3620, 1961, "BUTTON", "Include in VAT return", kCheckBox},
    {3620, 1957, "BUTTON", "EC Code", kCheckBox},
    {3620, 1959, "BUTTON", "EC Sales", kRadioFirst},
    {3620, 1958, "BUTTON", "EC Purchases", kRadio},
    {3620, 2061, "__03Combo__", nullptr, kPlain},
    {3620, 1942, "BUTTON", "OK", kPlain},
    {3620, 2, "BUTTON", "Cancel", kPlain},
    {3620, 101, "BUTTON", "Settings", kGroup},
    {3620, 102, "BUTTON", nullptr, kGroup},
    // Control accounts.
    {3621, 1287, "__03Grid__", nullptr, kPlain},
    {3621, 1812, "BUTTON", "OK", kPlain},
    {3621, 2, "BUTTON", "Cancel", kPlain},
    // Account status.
    {901, 1610, "__03Grid__", nullptr, kPlain},
    {901, 1413, "BUTTON", "&Edit", kPlain},
    {901, 2, "BUTTON", "Close", kPlain},
    {9026, 1413, "EDIT", nullptr, kPlain},
    {9026, 1010, "BUTTON", "Marks account as \"On Hold\"", kCheckBox},
    {9026, 1, "BUTTON", "OK", kPlain},
    {9026, 2, "BUTTON", "Cancel", kPlain},
    // Finance charge rates.
    {3223, 1881, "STATIC", nullptr, kPlain},
    {3223, 1610, "__03Grid__", nullptr, kPlain},
    {3223, 1026, "BUTTON", "&Add", kPlain},
    {3223, 1413, "BUTTON", "&Edit", kPlain},
    {3223, 1362, "BUTTON", "&Delete", kPlain},
    {3223, 2, "BUTTON", "Close", kPlain},
    {3224, 1336, "__03Combo__", nullptr, kPlain},
    {3224, 1431, "EDIT", nullptr, kPlain},
    {3224, 1432, "EDIT", nullptr, kPlain},
    {3224, 1942, "BUTTON", "OK", kPlain},
    {3224, 2, "BUTTON", "Cancel", kPlain},
};

TEST(CodesResources, NamedControls) {
  for (const Control& c : kControls) {
    SCOPED_TRACE(std::to_string(c.dialog) + "/" + std::to_string(c.id));
    auto dlg = Resources().dialog(c.dialog);
    ASSERT_TRUE(dlg);
    const DialogItem* item = dlg->item(c.id);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(sameText(item->className, c.cls)) << item->className;
    if (c.caption) {
      EXPECT_EQ(item->text, c.caption);
    }
    EXPECT_TRUE(item->style & kVisible);
    EXPECT_EQ((item->style & kWsDisabled) != 0, c.kind == kDisabled);
    const std::uint32_t button = item->style & kButtonKind;
    switch (c.kind) {
      case kCheckBox:
        EXPECT_EQ(button, kAutoCheckBox);
        break;
      case kRadio:
      case kRadioFirst:
        EXPECT_EQ(button, kAutoRadio);
        EXPECT_EQ((item->style & 0x00020000) != 0, c.kind == kRadioFirst);
        break;
      case kGroup:
        EXPECT_EQ(button, kGroupBox);
        break;
      default:
        break;
    }
  }
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

struct Entry {
  std::uint16_t centry, id, type, storage, length, link1, link2, rows, start, layout;
};

// Grids and grid-combos name module 15 in link 2.
const Entry kEntries[] = {
    // Lists: grid, callbacks and layout; Edit and Close of 3614, 3616, 3617
    // carry layout 3.
    {1015, 1610, CT_GRID15, CS_WINDOW, 0, 1002, 15, 11, 12, 0},
    {1015, 1413, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 3},
    {1015, 2, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 3},
    {1018, 1373, CT_GRID15, CS_WINDOW, 0, 1003, 15, 15, 16, 0},
    {1018, 1413, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1018, 2, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1019, 1610, CT_GRID16, CS_WINDOW, 0, 1004, 15, 19, 20, 4},
    {1019, 1413, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 3},
    {1019, 2, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 3},
    {1020, 1610, CT_GRID15, CS_WINDOW, 0, 1005, 15, 23, 24, 4},
    {1020, 1413, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 3},
    {1020, 2, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 3},
    {1021, 1610, CT_GRID15, CS_WINDOW, 0, 1006, 15, 0, 0, 0},
    {1046, 1610, CT_GRID15, CS_WINDOW, 0, 1046, 15, 0, 0, 0},
    {1048, 1610, CT_GRID15, CS_WINDOW, 0, 1015, 15, 0, 0, 4},
    // Edit Currency: the currency record's texts and rates.
    {1023, 1673, CT_TEXT, CS_OWN, 31, 0, 0, 0, 0, 0},
    {1023, 1303, CT_TEXT, CS_OWN, 31, 0, 0, 0, 0, 0},
    {1023, 1410, CT_TEXT, CS_OWN, 4, 0, 0, 0, 0, 0},
    {1023, 1431, CT_DECIMAL, CS_OWN, 11, 0, 0, 0, 0, 0},
    {1023, 1432, CT_DECIMAL, CS_OWN, 11, 0, 0, 0, 0, 0},
    {1023, 1216, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    // Edit Tax Code.
    {1022, 2059, CT_TEXT, CS_OWN, 4, 0, 0, 0, 0, 0},
    {1022, 1962, CT_DECIMAL, CS_OWN, 6, 0, 0, 0, 0, 0},
    {1022, 2061, CT_GRIDCOMBO, CS_WINDOW, 0, 1007, 15, 0, 47, 0},
    {1022, 1961, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1022, 1957, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1022, 1959, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1022, 1958, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1022, 101, CT_STATIC, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1022, 102, CT_STATIC, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    // Control Accounts (the hidden codes 1699-1713 are checked below).
    {1024, 1287, CT_GRID16, CS_WINDOW, 0, 1008, 15, 0, 0, 0},
    {1024, 1719, CT_RECORD, CS_NONE, 651, 0, 0, 0, 0, 0},
    {1024, 1120, CT_RECORD, CS_NONE, 1146, 0, 0, 0, 0, 0},
    {1024, 1812, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1024, 2, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    // Edit Account Status: a text entry without a buffer.
    {1047, 1413, CT_TEXT, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1047, 1010, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1047, 1, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1047, 2, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    // Set Finance Charge Rate.
    {1049, 1887, CT_RECNO, CS_HIDDEN, 4, 0, 0, 0, 0, 0},
    {1049, 1336, CT_DATE, CS_OWN, 11, 0, 0, 0, 0, 0},
    {1049, 1431, CT_DECIMAL, CS_OWN, 6, 0, 0, 0, 0, 0},
    {1049, 1432, CT_DECIMAL, CS_OWN, 6, 0, 0, 0, 0, 0},
    {1049, 1942, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
    {1049, 2, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0},
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
    EXPECT_EQ(c->link1, e.link1);
    EXPECT_EQ(c->link2, e.link2);
    EXPECT_EQ(c->rowsNeeded, e.rows);
    EXPECT_EQ(c->startUp, e.start);
    EXPECT_EQ(c->layout, e.layout);
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
// buffers without one (storage 0 and 8) do not.  Reserved words are zero.
TEST(CodesResources, EntriesMatchWindows) {
  for (std::uint16_t id : kDialogs) {
    SCOPED_TRACE(id);
    auto dlg = Resources().dialog(id);
    auto list = Resources().centry(Resources().dentry(id)->centry);
    ASSERT_TRUE(dlg && list);
    for (const CEntry& c : list->entries) {
      SCOPED_TRACE(c.id);
      EXPECT_EQ(c.reserved, 0);
      const bool windowed = c.storage == CS_WINDOW || c.storage == CS_OWN;
      EXPECT_TRUE(windowed || c.storage == CS_NONE || c.storage == CS_HIDDEN);
      EXPECT_EQ(dlg->item(c.id) != nullptr, windowed);
      if (c.isGrid() || c.isGridCombo()) {
        EXPECT_TRUE(Resources().grid(c.link1)) << "GRID " << c.link1;
        EXPECT_TRUE(
            sameText(dlg->item(c.id)->className, c.isGrid() ? "__03Grid__" : "__03Combo__"));
      }
    }
  }
}

// ---- GRID descriptions -------------------------------------------------------

struct Column {
  std::uint16_t type, id, width, length, places, colFlags, gridFlags;
  std::uint8_t style;
  const char* cls;
  const char* heading;
};

constexpr std::uint8_t kHid = 0x00;
constexpr std::uint8_t kEd = 0x80;

const std::vector<Column> kCurrencyColumns = {
    {6, 0, 4, 4, 0, 0, 0, kEd, "@EDIT", "No"},
    {2, 1673, 11, 31, 0, 0, 0, kEd, "@EDIT", "Name"},
    {2, 1303, 11, 31, 0, 0, 0, kEd, "@EDIT", "Country"},
    {2, 1410, 4, 4, 0, 0, 0, kEd, "@EDIT", "EC"},
    {12, 0, 5, 11, 6, 0, 0, kEd, "@EDIT", "Ex. Rate"},
    {2, 0, 4, 4, 0, 0, 0, kEd, "@EDIT", "EMU"},
    {12, 0, 5, 11, 6, 0, 0, kEd, "@EDIT", "EMU Rate"},
};

std::vector<Column> euroColumns() {
  std::vector<Column> cols = kCurrencyColumns;
  cols.back().heading = "1 Euro";
  return cols;
}

struct GridSpec {
  std::uint16_t grid;
  std::vector<Column> columns;
  bool spare;
  std::size_t rowBytes;
};

const std::vector<GridSpec>& gridSpecs() {
  static const std::vector<GridSpec> specs = {
      {101, kCurrencyColumns, false, 90},
      {1002,
       {{6, 2477, 4, 4, 0, 0x0022, 0x0800, kEd, "@EDIT", "No"},
        {2, 1673, 31, 31, 0, 0, 0x0800, kEd, "@EDIT", "Category"}},
       false,
       35},
      {1003,
       {{6, 2477, 4, 2, 0, 0x0002, 0, kEd, "@EDIT", "No"},
        {2, 1673, 31, 31, 0, 0, 0, kEd, "@EDIT", "Name"}},
       false,
       33},
      {1004,
       {{6, 2477, 4, 4, 0, 0x0002, 0x0800, kEd, "@EDIT", "No"},
        {2, 1673, 20, 61, 0, 0, 0x0800, kEd, "@EDIT", "Name"}},
       false,
       65},
      {1005, euroColumns(), false, 90},
      {1006,
       {{2, 2059, 4, 4, 0, 0, 0x0800, kEd, "@EDIT", "Code"},
        {12, 1962, 8, 8, 2, 0, 0x0800, kEd, "@EDIT", "Rate"},
        {2, 1961, 1, 1, 0, 0, 0x0800, kEd, "@EDIT", "In Use"},
        {2, 1959, 1, 1, 0, 0, 0x0800, kEd, "@EDIT", "EC Sale"},
        {2, 1958, 1, 1, 0, 0, 0x0800, kEd, "@EDIT", "EC Purch"},
        {2, 0, 1, 1, 0, 0, 0, kHid, "", ""}},
       true,
       16},
      {1007, {{2, 2059, 10, 10, 0, 0, 0x0800, kEd, "@EDIT", "Code"}}, false, 10},
      {1008,
       {{2, 1718, 10, 61, 0, 0, 0x0800, kEd, "@EDIT", "Control Account"},
        {2, 1800, 12, 9, 0, 0x0002, 0x0021, 0x81, "@__03COMBO__", "N/C"}},
       false,
       70},
      {1009,
       {{6, 0, 4, 4, 0, 0, 0, kEd, "@EDIT", "No"},
        {2, 1673, 35, 31, 0, 0, 0, kEd, "@EDIT", "Name"}},
       false,
       35},
      {1014, {{2, 2059, 15, 15, 0, 0, 0x0800, kEd, "@EDIT", "Code"}}, false, 15},
      {1015,
       {{2, 0, 11, 11, 0, 0, 0, kEd, "@EDIT", "Date From"},
        {12, 0, 11, 11, 2, 0, 0, kEd, "@EDIT", "Base Rate (%)"},
        {12, 0, 11, 11, 2, 0, 0, kEd, "@EDIT", "Additional (%)"},
        {9, 0, 4, 4, 0, 0, 0, kHid, "", ""}},
       true,
       31},
      {1046,
       {{6, 0, 2, 4, 0, 0, 0x0800, kEd, "@EDIT", "No"},
        {2, 0, 31, 61, 0, 0, 0x0800, kEd, "@EDIT", "Description"},
        {2, 0, 1, 1, 0, 0, 0x0800, kEd, "@EDIT", "Hold"},
        {2, 0, 1, 1, 0, 0, 0, kHid, "", ""}},
       true,
       67},
  };
  return specs;
}

TEST(CodesResources, Grids) {
  for (const GridSpec& g : gridSpecs()) {
    SCOPED_TRACE(g.grid);
    auto grid = Resources().grid(g.grid);
    ASSERT_TRUE(grid);
    EXPECT_EQ(Resources().file().find("GRID", g.grid)->language, LANG_EN_GB);
    EXPECT_EQ(grid->spareByte, g.spare);
    EXPECT_EQ(grid->rowBytes(), g.rowBytes);
    ASSERT_EQ(grid->columns.size(), g.columns.size());
    for (std::size_t i = 0; i < g.columns.size(); ++i) {
      SCOPED_TRACE(i);
      const GridColumn& got = grid->columns[i];
      const Column& want = g.columns[i];
      EXPECT_EQ(got.valueType, want.type);
      EXPECT_EQ(got.id, want.id);
      EXPECT_EQ(got.reserved, 0);
      EXPECT_EQ(got.displayWidth, want.width);
      EXPECT_EQ(got.length, want.length);
      EXPECT_EQ(got.decimals, want.places);
      EXPECT_EQ(got.columnFlags, want.colFlags);
      EXPECT_EQ(got.gridFlags, want.gridFlags);
      EXPECT_EQ(got.style, want.style);
      EXPECT_EQ(got.editorClass, want.cls);
      EXPECT_EQ(got.reservedText, "");
      EXPECT_EQ(got.heading, want.heading);
    }
  }
}

}  // namespace
