// The option dialogs of the ledger defaults: Invoice Defaults (3627 with its
// page 3626), Options (3218 with its pages 3214, 3215, 3216, 3217, 3219) and
// Wallpaper Defaults (3622), held against the dialogs' documented controls,
// buffers and links.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tests/support/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::ControlSpec;
using vx70::test::ExpectControls;
using vx70::test::Resources;
using vx70::test::SameClass;
using enum vx70::test::ControlKind;

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

constexpr ControlSpec kControls[] = {
    {3627, 1, "BUTTON", "OK", kDefaultButton},
    {3627, 2, "BUTTON", "Cancel", kPushButton},
    {3626, 1350, "BUTTON", "Invoices default to Account Reference", kCheckBox},
    {3626, 1354, "BUTTON", "Invoice Items default to Quantity", kCheckBox},
    {3626, 2151, "BUTTON", "Update Using Order No", kCheckBox},
    {3626, 2261, "BUTTON", "Update using Service Default Text", kCheckBox},
    {3626, 2262, "STATIC", "Service Default Text", 0},
    {3626, 1992, "EDIT", "", 0},
    {3626, 2243, "BUTTON", "Update Using Customer Department", kCheckBox},
    {3626, 1398, "BUTTON", "Discount by Unit Price", kCheckBox},
    {3218, 1942, "BUTTON", "OK", kDefaultButton},
    {3218, 2, "BUTTON", "Cancel", kPushButton},
    {3214, 2313, "BUTTON", "Show Button frames", kCheckBox},
    {3214, 2290, "BUTTON", "Show Text labels", kCheckBox},
    {3214, 2291, "EDIT", "", 0},
    {3214, 1399, "BUTTON", "Display Background", kCheckBox},
    {3214, 1143, "BUTTON", "&Browse", kPushButton},
    {3215, 2314, "EDIT", "", 0},
    {3215, 1143, "BUTTON", "&Browse", kPushButton},
    {3216, 1427, "EDIT", "", 0},
    {3216, 1428, "EDIT", "", 0},
    {3216, 2315, "BUTTON", "Configure F12 as Hide Key", kCheckBox},
    {3216, 2471, "BUTTON", "Show welcome screen at startup", kCheckBox},
    {3216, 1811, "EDIT", "", kHidden},
    {3216, 1637, "EDIT", "", kHidden},
    {3216, 1360, "EDIT", "", kHidden},
    {3217, 1786, "EDIT", "", 0},
    {3217, 2053, "BUTTON", "Display Wallpaper", kCheckBox},
    {3217, 1143, "BUTTON", "&Browse", kPushButton},
    {3219, 1350, "BUTTON", "Ignore colours", kCheckBox},
    {3622, 1786, "EDIT", "", 0},
    {3622, 2053, "BUTTON", "Display Wallpaper", kCheckBox},
    {3622, 1143, "BUTTON", "&Browse", kPushButton},
    {3622, 1, "BUTTON", "OK", kDefaultButton},
    {3622, 2, "BUTTON", "Cancel", kPushButton},
    // Wallpaper positions: radio button 2234 + position, the first of them
    // starting the radio group.
    {3217, 2234, "BUTTON", "Top Left", kFirstRadio},
    {3217, 2235, "BUTTON", "Top Centre", kRadio},
    {3217, 2236, "BUTTON", "Top Right", kRadio},
    {3217, 2237, "BUTTON", "Bottom Left", kRadio},
    {3217, 2238, "BUTTON", "Bottom Centre", kRadio},
    {3217, 2239, "BUTTON", "Bottom Right", kRadio},
    {3217, 2240, "BUTTON", "Tiled", kRadio},
    {3217, 2241, "BUTTON", "Full Screen", kRadio},
    {3217, 2242, "BUTTON", "Centered", kRadio},
    {3622, 2234, "BUTTON", "Top Left", kFirstRadio},
    {3622, 2235, "BUTTON", "Top Centre", kRadio},
    {3622, 2236, "BUTTON", "Top Right", kRadio},
    {3622, 2237, "BUTTON", "Bottom Left", kRadio},
    {3622, 2238, "BUTTON", "Bottom Centre", kRadio},
    {3622, 2239, "BUTTON", "Bottom Right", kRadio},
    {3622, 2240, "BUTTON", "Tiled", kRadio},
    {3622, 2241, "BUTTON", "Full Screen", kRadio},
    {3622, 2242, "BUTTON", "Centered", kRadio},
    // Ledger colours: each ledger's box, captioned with its label and its
    // colour in the template, then the button that changes that colour.
    {3219, 2302, "__03Box__", "Customers,0x80ff80", 0},
    {3219, 2292, "__03Button__", "Click here to change colour,656", 0},
    {3219, 2303, "__03Box__", "Suppliers,0x80ffff", 0},
    {3219, 2293, "__03Button__", "Click here to change colour,656", 0},
    {3219, 2304, "__03Box__", "Nominal,0x80ffff", 0},
    {3219, 2294, "__03Button__", "Click here to change colour,656", 0},
    {3219, 2305, "__03Box__", "Bank,0xc0ffc0", 0},
    {3219, 2295, "__03Button__", "Click here to change colour,656", 0},
    {3219, 2306, "__03Box__", "Stock,0xc0c0ff", 0},
    {3219, 2296, "__03Button__", "Click here to change colour,656", 0},
    {3219, 2307, "__03Box__", "Invoicing,0x80ffff", 0},
    {3219, 2297, "__03Button__", "Click here to change colour,656", 0},
    {3219, 2308, "__03Box__", "SOP,0x80c0ff", 0},
    {3219, 2298, "__03Button__", "Click here to change colour,656", 0},
    {3219, 2309, "__03Box__", "POP,0xffc0c0", 0},
    {3219, 2299, "__03Button__", "Click here to change colour,656", 0},
    {3219, 2310, "__03Box__", "Financials,0x80c0c0", 0},
    {3219, 2300, "__03Button__", "Click here to change colour,656", 0},
    {3219, 2311, "__03Box__", "Assets,0x80c0FF", 0},
    {3219, 2301, "__03Button__", "Click here to change colour,656", 0},
};

TEST(OptionsResources, NamedControls) { ExpectControls(kControls); }

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
