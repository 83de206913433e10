// The option dialogs of the ledger defaults: Invoice Defaults (3627 with its
// page 3626), Options (3218 with its pages 3214, 3215, 3216, 3217, 3219) and
// Wallpaper Defaults (3622), held against the dialogs' documented controls,
// buffers and links.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::Resources;
using vx70::test::SameClass;

constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kGroup = 0x00020000;

DialogTemplate Dialog(std::uint16_t id) {
  auto d = Resources().dialog(id);
  if (!d) ADD_FAILURE() << "no template " << id;
  return d.value_or(DialogTemplate{});
}

CEntryList Centry(std::uint16_t id) {
  auto c = Resources().centry(id);
  if (!c) ADD_FAILURE() << "no CENTRY " << id;
  return c.value_or(CEntryList{});
}

bool IsGroupBox(const DialogItem& item) {
  return SameClass(item.className, "BUTTON") && (item.style & 0xF) == 0x7;
}

// The dialogs of this family.
constexpr std::uint16_t kDialogs[] = {3214, 3215, 3216, 3217, 3218, 3219, 3622, 3626, 3627};

// ---- Controls -------------------------------------------------------------

enum Kind { Check, Radio, Push, DefPush, Edit, HiddenEdit, Static, Box, EngineButton };

struct ControlRow {
  std::uint16_t dialog;
  std::uint16_t id;
  Kind kind;
  const char* caption;
};

constexpr ControlRow kControls[] = {
    {3627, 1, DefPush, "OK"},
    {3627, 2, Push, "Cancel"},
    {3626, 1350, Check, "Invoices default to Account Reference"},
    {3626, 1354, Check, "Invoice Items default to Quantity"},
    {3626, 2151, Check, "Update Using Order No"},
    {3626, 2261, Check, "Update using Service Default Text"},
    {3626, 2262, Static, "Service Default Text"},
    {3626, 1992, Edit, ""},
    {3626, 2243, Check, "Update Using Customer Department"},
    {3626, 1398, Check, "Discount by Unit Price"},
    {3218, 1942, DefPush, "OK"},
    {3218, 2, Push, "Cancel"},
    {3214, 2313, Check, "Show Button frames"},
    {3214, 2290, Check, "Show Text labels"},
    {3214, 2291, Edit, ""},
    {3214, 1399, Check, "Display Background"},
    {3214, 1143, Push, "&Browse"},
    {3215, 2314, Edit, ""},
    {3215, 1143, Push, "&Browse"},
    {3216, 1427, Edit, ""},
    {3216, 1428, Edit, ""},
    {3216, 2315, Check, "Configure F12 as Hide Key"},
    {3216, 2471, Check, "Show welcome screen at startup"},
    {3216, 1811, HiddenEdit, ""},
    {3216, 1637, HiddenEdit, ""},
    {3216, 1360, HiddenEdit, ""},
    {3217, 1786, Edit, ""},
    {3217, 2053, Check, "Display Wallpaper"},
    {3217, 1143, Push, "&Browse"},
    {3219, 1350, Check, "Ignore colours"},
    {3622, 1786, Edit, ""},
    {3622, 2053, Check, "Display Wallpaper"},
    {3622, 1143, Push, "&Browse"},
    {3622, 1, DefPush, "OK"},
    {3622, 2, Push, "Cancel"},
};

// Wallpaper positions: radio button 2234 + position.
constexpr const char* kPositions[] = {"Top Left",    "Top Centre",    "Top Right",
                                      "Bottom Left", "Bottom Centre", "Bottom Right",
                                      "Tiled",       "Full Screen",   "Centered"};

// Ledger colours: the button, the box it colours, the box's label and its
// colour in the template.
constexpr struct {
  std::uint16_t button, box;
  const char* label;
  const char* colour;
} kColours[] = {
    {2292, 2302, "Customers", "0x80ff80"},  {2293, 2303, "Suppliers", "0x80ffff"},
    {2294, 2304, "Nominal", "0x80ffff"},    {2295, 2305, "Bank", "0xc0ffc0"},
    {2296, 2306, "Stock", "0xc0c0ff"},      {2297, 2307, "Invoicing", "0x80ffff"},
    {2298, 2308, "SOP", "0x80c0ff"},        {2299, 2309, "POP", "0xffc0c0"},
    {2300, 2310, "Financials", "0x80c0c0"}, {2301, 2311, "Assets", "0x80c0FF"},
};

void ExpectControl(const ControlRow& row, const std::string& caption) {
  SCOPED_TRACE(testing::Message() << row.dialog << "/" << row.id);
  const auto d = Dialog(row.dialog);
  const DialogItem* item = d.item(row.id);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text, caption);
  const std::uint32_t type = item->style & 0xF;
  const bool visible = (item->style & kVisible) != 0;
  switch (row.kind) {
    case Check:
    case Radio:
    case Push:
    case DefPush: {
      EXPECT_TRUE(SameClass(item->className, "BUTTON")) << item->className;
      const std::uint32_t want[] = {0x3, 0x9, 0x0, 0x1};
      EXPECT_EQ(type, want[row.kind]);
      EXPECT_TRUE(visible);
      break;
    }
    case Edit:
    case HiddenEdit:
      EXPECT_TRUE(SameClass(item->className, "EDIT")) << item->className;
      EXPECT_EQ(visible, row.kind == Edit);
      break;
    case Static:
      EXPECT_TRUE(SameClass(item->className, "STATIC")) << item->className;
      break;
    case Box:
      EXPECT_TRUE(SameClass(item->className, "__03Box__")) << item->className;
      break;
    case EngineButton:
      EXPECT_TRUE(SameClass(item->className, "__03Button__")) << item->className;
      break;
  }
}

TEST(OptionsResources, NamedControls) {
  for (const auto& row : kControls) ExpectControl(row, row.caption);
  for (std::uint16_t dialog : {std::uint16_t{3217}, std::uint16_t{3622}}) {
    for (std::uint16_t i = 0; i < 9; ++i) {
      ExpectControl({dialog, static_cast<std::uint16_t>(2234 + i), Radio, ""}, kPositions[i]);
    }
    const auto d = Dialog(dialog);
    const auto* first = d.item(2234);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first->style & kGroup, 0u) << "the positions start a radio group";
  }
  // A colour box carries its ledger's label and its template colour.
  for (const auto& c : kColours) {
    ExpectControl({3219, c.box, Box, ""}, std::string(c.label) + "," + c.colour);
    ExpectControl({3219, c.button, EngineButton, ""}, "Click here to change colour,656");
  }
}

// Labels of the edits, and the group boxes of the Invoices page.
TEST(OptionsResources, LabelsAndGroups) {
  const struct {
    std::uint16_t dialog, field;
    const char* label;
  } kLabels[] = {{3214, 2291, "Bitmap:"},
                 {3215, 2314, "Backup Tool"},
                 {3216, 1427, "F11"},
                 {3216, 1428, "F12"},
                 {3217, 1786, "Bitmap:"},
                 {3622, 1786, "Bitmap:"},
                 {3626, 1992, "Service Default Text"}};
  for (const auto& l : kLabels) {
    SCOPED_TRACE(testing::Message() << l.dialog << "/" << l.label);
    const auto d = Dialog(l.dialog);
    const auto* field = d.item(l.field);
    ASSERT_NE(field, nullptr);
    const auto it = std::find_if(d.items.begin(), d.items.end(), [&](const DialogItem& i) {
      return SameClass(i.className, "STATIC") && i.text == l.label;
    });
    ASSERT_NE(it, d.items.end());
    EXPECT_LE(it->x + it->cx, field->x) << "label left of its field";
    EXPECT_LT(it->y, field->y + field->cy);
    EXPECT_GT(it->y + it->cy, field->y);
  }

  const struct {
    const char* group;
    std::vector<std::uint16_t> members;
  } kGroups[] = {{"General", {1350, 1354}},
                 {"Updates", {2151, 2261, 2262, 1992, 2243}},
                 {"Calculation", {1398}}};
  const auto d = Dialog(3626);
  for (const auto& g : kGroups) {
    const auto box = std::find_if(d.items.begin(), d.items.end(), [&](const DialogItem& i) {
      return IsGroupBox(i) && i.text == g.group;
    });
    ASSERT_NE(box, d.items.end()) << g.group;
    for (auto id : g.members) {
      const auto* m = d.item(id);
      ASSERT_NE(m, nullptr) << id;
      EXPECT_TRUE(m->x >= box->x && m->y >= box->y && m->x + m->cx <= box->x + box->cx &&
                  m->y + m->cy <= box->y + box->cy)
          << g.group << " holds " << id;
    }
  }
}

// ---- Entries --------------------------------------------------------------

// The value buffers: the only entries with storage of their own.
struct BufferRow {
  std::uint16_t centry, id, type, length;
};

constexpr BufferRow kBuffers[] = {
    {1026, 1992, CT_TEXT, 61},   // service default text
    {1040, 2291, CT_TEXT, 256},  // toolbar bitmap
    {1040, 2314, CT_TEXT, 256},  // backup tool
    {1040, 1427, CT_TEXT, 51},   // F11
    {1040, 1428, CT_TEXT, 51},   // F12
    {1040, 1811, CT_TEXT, 145},  // modem port
    {1040, 1637, CT_TEXT, 11},   // dial command
    {1040, 1360, CT_WORD, 0},    // delay, a 16-bit number (length not fixed)
    {1040, 1786, CT_TEXT, 256},  // wallpaper bitmap
    {1025, 1786, CT_TEXT, 256},  // wallpaper bitmap of Wallpaper Defaults
};

TEST(OptionsResources, ValueBuffers) {
  for (const auto& b : kBuffers) {
    SCOPED_TRACE(testing::Message() << b.centry << "/" << b.id);
    const auto ce = Centry(b.centry);
    const auto* e = ce.find(b.id);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->type, b.type);
    EXPECT_EQ(e->storage, CS_OWN);
    if (b.length) {
      EXPECT_EQ(e->length, b.length);
    }
    EXPECT_EQ(e->link1, 0);
    EXPECT_EQ(e->link2, 0);
  }
  // No list carries a buffer beyond these.
  for (std::uint16_t dialog : kDialogs) {
    const auto de = Resources().dentry(dialog);
    ASSERT_TRUE(de) << dialog;
    for (const auto& e : Centry(de->centry).entries) {
      if (e.storage != CS_OWN && e.storage != CS_HIDDEN) continue;
      const bool known =
          std::any_of(std::begin(kBuffers), std::end(kBuffers),
                      [&](const BufferRow& b) { return b.centry == de->centry && b.id == e.id; });
      EXPECT_TRUE(known) << de->centry << "/" << e.id;
    }
  }
}

TEST(OptionsResources, FrameButtonsOfTheTabbedDialogs) {
  const struct {
    std::uint16_t centry, id;
  } kFrame[] = {{1026, 1}, {1026, 2}, {1040, 1942}, {1040, 2}};
  for (const auto& f : kFrame) {
    const auto ce = Centry(f.centry);
    const auto* e = ce.find(f.id);
    ASSERT_NE(e, nullptr) << f.centry << "/" << f.id;
    EXPECT_EQ(e->type, CT_BUTTON);
    EXPECT_EQ(e->storage, CS_FRAME);
    EXPECT_EQ(e->length, 0);
  }
  // Wallpaper Defaults is opened by itself: plain window entries.
  const auto alone = Centry(1025);
  for (std::uint16_t id : {std::uint16_t{1}, std::uint16_t{2}}) {
    const auto* e = alone.find(id);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->storage, CS_WINDOW);
  }
}

// A window entry's type follows its window's class.
std::uint16_t TypeForWindow(const DialogItem& item) {
  if (SameClass(item.className, "STATIC") || SameClass(item.className, "__03Box__") ||
      IsGroupBox(item))
    return CT_STATIC;
  if (SameClass(item.className, "BUTTON") || SameClass(item.className, "__03Button__"))
    return CT_BUTTON;
  return 0;
}

TEST(OptionsResources, PagesLinkToTheContainer) {
  for (std::uint16_t container : {std::uint16_t{3627}, std::uint16_t{3218}}) {
    SCOPED_TRACE(container);
    const auto de = Resources().dentry(container);
    ASSERT_TRUE(de);
    const auto parent = Centry(de->centry);
    const auto tabs = Resources().tentry(de->tentry);
    ASSERT_TRUE(tabs);
    std::vector<DialogTemplate> windows{Dialog(container)};
    for (const auto& t : *tabs) windows.push_back(Dialog(t.dialog));

    // Every container entry is a window of the container or of one page, of
    // a type that fits the window.
    for (const auto& e : parent.entries) {
      const DialogItem* item = nullptr;
      for (const auto& w : windows) {
        if (!item) item = w.item(e.id);
      }
      ASSERT_NE(item, nullptr) << "entry " << e.id << " names no window";
      const std::uint16_t want = TypeForWindow(*item);
      if (want) {
        EXPECT_EQ(e.type, want) << e.id;
      }
    }

    for (const auto& t : *tabs) {
      SCOPED_TRACE(t.dialog);
      const auto page = Dialog(t.dialog);
      const auto pe = Resources().dentry(t.dialog);
      ASSERT_TRUE(pe);
      const auto list = Centry(pe->centry);
      for (const auto& e : list.entries) {
        EXPECT_EQ(e.type, CT_LINK) << e.id;
        EXPECT_NE(page.item(e.id), nullptr) << "link " << e.id << " has no window";
      }
      // Each buffer whose window is on this page is reached through a link.
      for (const auto& e : parent.entries) {
        if (e.storage == CS_OWN && page.item(e.id)) {
          EXPECT_NE(list.find(e.id), nullptr) << "buffer " << e.id << " not linked";
        }
      }
    }
  }
}

TEST(OptionsResources, WallpaperDefaultsEntriesNameItsWindows) {
  const auto d = Dialog(3622);
  for (const auto& e : Centry(1025).entries) {
    const auto* item = d.item(e.id);
    ASSERT_NE(item, nullptr) << e.id;
    const std::uint16_t want = TypeForWindow(*item);
    EXPECT_EQ(e.type, want ? want : std::uint16_t{CT_TEXT}) << e.id;
  }
}

}  // namespace
