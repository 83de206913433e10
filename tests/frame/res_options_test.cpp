// The option dialogs of the ledger defaults: Invoice Defaults with its page,
// Options with its five pages and Wallpaper Defaults, held against the
// dialogs' documented controls, buffers and links.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "api/win32.h"  // IDOK, IDCANCEL
#include "frame/res/ids_options.h"
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
constexpr std::uint16_t kDialogs[] = {
    IDD_OPTIONS_TOOLBAR, IDD_OPTIONS_BACKUP,  IDD_OPTIONS_ENVIRONMENT, IDD_OPTIONS_WALLPAPER,
    IDD_OPTIONS,         IDD_OPTIONS_COLOURS, IDD_WALLPAPER_DEFAULTS,  IDD_INVOICE_DEFAULTS_PAGE,
    IDD_INVOICE_DEFAULTS};

// ---- Controls -------------------------------------------------------------

// The caption of every colour button: its tip and its picture.
constexpr const char* kColourButton = "Click here to change colour,656";

constexpr ControlSpec kControls[] = {
    {IDD_INVOICE_DEFAULTS, IDOK, "BUTTON", "OK", kDefaultButton},
    {IDD_INVOICE_DEFAULTS, IDCANCEL, "BUTTON", "Cancel", kPushButton},
    {IDD_INVOICE_DEFAULTS_PAGE, IDC_INVOICE_ACCOUNT_REF, "BUTTON",
     "Invoices default to Account Reference", kCheckBox},
    {IDD_INVOICE_DEFAULTS_PAGE, IDC_INVOICE_ITEMS_QUANTITY, "BUTTON",
     "Invoice Items default to Quantity", kCheckBox},
    {IDD_INVOICE_DEFAULTS_PAGE, IDC_INVOICE_UPDATE_ORDER_NO, "BUTTON", "Update Using Order No",
     kCheckBox},
    {IDD_INVOICE_DEFAULTS_PAGE, IDC_INVOICE_USE_SERVICE_TEXT, "BUTTON",
     "Update using Service Default Text", kCheckBox},
    {IDD_INVOICE_DEFAULTS_PAGE, IDC_INVOICE_SERVICE_TEXT_LABEL, "STATIC", "Service Default Text",
     0},
    {IDD_INVOICE_DEFAULTS_PAGE, IDC_INVOICE_SERVICE_TEXT, "EDIT", "", 0},
    {IDD_INVOICE_DEFAULTS_PAGE, IDC_INVOICE_UPDATE_CUST_DEPT, "BUTTON",
     "Update Using Customer Department", kCheckBox},
    {IDD_INVOICE_DEFAULTS_PAGE, IDC_INVOICE_DISCOUNT_UNIT_PRICE, "BUTTON", "Discount by Unit Price",
     kCheckBox},
    {IDD_OPTIONS, IDC_OK, "BUTTON", "OK", kDefaultButton},
    {IDD_OPTIONS, IDCANCEL, "BUTTON", "Cancel", kPushButton},
    {IDD_OPTIONS_TOOLBAR, IDC_OPTIONS_TOOLBAR_FRAMES, "BUTTON", "Show Button frames", kCheckBox},
    {IDD_OPTIONS_TOOLBAR, IDC_OPTIONS_TOOLBAR_LABELS, "BUTTON", "Show Text labels", kCheckBox},
    {IDD_OPTIONS_TOOLBAR, IDC_OPTIONS_TOOLBAR_BITMAP, "EDIT", "", 0},
    {IDD_OPTIONS_TOOLBAR, IDC_OPTIONS_TOOLBAR_BACKGROUND, "BUTTON", "Display Background",
     kCheckBox},
    {IDD_OPTIONS_TOOLBAR, IDC_OPTIONS_BROWSE, "BUTTON", "&Browse", kPushButton},
    {IDD_OPTIONS_BACKUP, IDC_OPTIONS_BACKUP_TOOL, "EDIT", "", 0},
    {IDD_OPTIONS_BACKUP, IDC_OPTIONS_BROWSE, "BUTTON", "&Browse", kPushButton},
    {IDD_OPTIONS_ENVIRONMENT, IDC_OPTIONS_F11, "EDIT", "", 0},
    {IDD_OPTIONS_ENVIRONMENT, IDC_OPTIONS_F12, "EDIT", "", 0},
    {IDD_OPTIONS_ENVIRONMENT, IDC_OPTIONS_HIDE_ON_F12, "BUTTON", "Configure F12 as Hide Key",
     kCheckBox},
    {IDD_OPTIONS_ENVIRONMENT, IDC_OPTIONS_WELCOME_SCREEN, "BUTTON",
     "Show welcome screen at startup", kCheckBox},
    {IDD_OPTIONS_ENVIRONMENT, IDC_OPTIONS_MODEM_PORT, "EDIT", "", kHidden},
    {IDD_OPTIONS_ENVIRONMENT, IDC_OPTIONS_DIAL_COMMAND, "EDIT", "", kHidden},
    {IDD_OPTIONS_ENVIRONMENT, IDC_OPTIONS_DIAL_DELAY, "EDIT", "", kHidden},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_BITMAP, "EDIT", "", 0},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_DISPLAY, "BUTTON", "Display Wallpaper", kCheckBox},
    {IDD_OPTIONS_WALLPAPER, IDC_OPTIONS_BROWSE, "BUTTON", "&Browse", kPushButton},
    {IDD_OPTIONS_COLOURS, IDC_OPTIONS_IGNORE_COLOURS, "BUTTON", "Ignore colours", kCheckBox},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_BITMAP, "EDIT", "", 0},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_DISPLAY, "BUTTON", "Display Wallpaper", kCheckBox},
    {IDD_WALLPAPER_DEFAULTS, IDC_OPTIONS_BROWSE, "BUTTON", "&Browse", kPushButton},
    {IDD_WALLPAPER_DEFAULTS, IDOK, "BUTTON", "OK", kDefaultButton},
    {IDD_WALLPAPER_DEFAULTS, IDCANCEL, "BUTTON", "Cancel", kPushButton},
    // Wallpaper positions: radio button IDC_WALLPAPER_TOP_LEFT + position, the
    // first of them starting the radio group.
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_TOP_LEFT, "BUTTON", "Top Left", kFirstRadio},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_TOP_CENTRE, "BUTTON", "Top Centre", kRadio},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_TOP_RIGHT, "BUTTON", "Top Right", kRadio},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_BOTTOM_LEFT, "BUTTON", "Bottom Left", kRadio},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_BOTTOM_CENTRE, "BUTTON", "Bottom Centre", kRadio},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_BOTTOM_RIGHT, "BUTTON", "Bottom Right", kRadio},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_TILED, "BUTTON", "Tiled", kRadio},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_FULL_SCREEN, "BUTTON", "Full Screen", kRadio},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_CENTERED, "BUTTON", "Centered", kRadio},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_TOP_LEFT, "BUTTON", "Top Left", kFirstRadio},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_TOP_CENTRE, "BUTTON", "Top Centre", kRadio},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_TOP_RIGHT, "BUTTON", "Top Right", kRadio},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_BOTTOM_LEFT, "BUTTON", "Bottom Left", kRadio},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_BOTTOM_CENTRE, "BUTTON", "Bottom Centre", kRadio},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_BOTTOM_RIGHT, "BUTTON", "Bottom Right", kRadio},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_TILED, "BUTTON", "Tiled", kRadio},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_FULL_SCREEN, "BUTTON", "Full Screen", kRadio},
    {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_CENTERED, "BUTTON", "Centered", kRadio},
    // Ledger colours: each ledger's box, captioned with its label and its
    // colour in the template, then the button that changes that colour.
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_CUSTOMERS_BOX, "__03Box__", "Customers,0x80ff80", 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_CUSTOMERS_BUTTON, "__03Button__", kColourButton, 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_SUPPLIERS_BOX, "__03Box__", "Suppliers,0x80ffff", 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_SUPPLIERS_BUTTON, "__03Button__", kColourButton, 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_NOMINAL_BOX, "__03Box__", "Nominal,0x80ffff", 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_NOMINAL_BUTTON, "__03Button__", kColourButton, 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_BANK_BOX, "__03Box__", "Bank,0xc0ffc0", 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_BANK_BUTTON, "__03Button__", kColourButton, 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_STOCK_BOX, "__03Box__", "Stock,0xc0c0ff", 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_STOCK_BUTTON, "__03Button__", kColourButton, 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_INVOICING_BOX, "__03Box__", "Invoicing,0x80ffff", 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_INVOICING_BUTTON, "__03Button__", kColourButton, 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_SOP_BOX, "__03Box__", "SOP,0x80c0ff", 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_SOP_BUTTON, "__03Button__", kColourButton, 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_POP_BOX, "__03Box__", "POP,0xffc0c0", 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_POP_BUTTON, "__03Button__", kColourButton, 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_FINANCIALS_BOX, "__03Box__", "Financials,0x80c0c0", 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_FINANCIALS_BUTTON, "__03Button__", kColourButton, 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_ASSETS_BOX, "__03Box__", "Assets,0x80c0FF", 0},
    {IDD_OPTIONS_COLOURS, IDC_COLOUR_ASSETS_BUTTON, "__03Button__", kColourButton, 0},
};

TEST(OptionsResources, NamedControls) { ExpectControls(kControls); }

// Labels of the edits, and the group boxes of the Invoices page.
TEST(OptionsResources, LabelsAndGroups) {
  const struct {
    std::uint16_t dialog, field;
    const char* label;
  } kLabels[] = {{IDD_OPTIONS_TOOLBAR, IDC_OPTIONS_TOOLBAR_BITMAP, "Bitmap:"},
                 {IDD_OPTIONS_BACKUP, IDC_OPTIONS_BACKUP_TOOL, "Backup Tool"},
                 {IDD_OPTIONS_ENVIRONMENT, IDC_OPTIONS_F11, "F11"},
                 {IDD_OPTIONS_ENVIRONMENT, IDC_OPTIONS_F12, "F12"},
                 {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_BITMAP, "Bitmap:"},
                 {IDD_WALLPAPER_DEFAULTS, IDC_WALLPAPER_BITMAP, "Bitmap:"},
                 {IDD_INVOICE_DEFAULTS_PAGE, IDC_INVOICE_SERVICE_TEXT, "Service Default Text"}};
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
  } kGroups[] = {
      {"General", {IDC_INVOICE_ACCOUNT_REF, IDC_INVOICE_ITEMS_QUANTITY}},
      {"Updates",
       {IDC_INVOICE_UPDATE_ORDER_NO, IDC_INVOICE_USE_SERVICE_TEXT, IDC_INVOICE_SERVICE_TEXT_LABEL,
        IDC_INVOICE_SERVICE_TEXT, IDC_INVOICE_UPDATE_CUST_DEPT}},
      {"Calculation", {IDC_INVOICE_DISCOUNT_UNIT_PRICE}}};
  const auto d = Dialog(IDD_INVOICE_DEFAULTS_PAGE);
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
    {IDR_INVOICE_DEFAULTS_CENTRY, IDC_INVOICE_SERVICE_TEXT, CT_TEXT, 61},
    {IDR_OPTIONS_CENTRY, IDC_OPTIONS_TOOLBAR_BITMAP, CT_TEXT, 256},
    {IDR_OPTIONS_CENTRY, IDC_OPTIONS_BACKUP_TOOL, CT_TEXT, 256},
    {IDR_OPTIONS_CENTRY, IDC_OPTIONS_F11, CT_TEXT, 51},
    {IDR_OPTIONS_CENTRY, IDC_OPTIONS_F12, CT_TEXT, 51},
    {IDR_OPTIONS_CENTRY, IDC_OPTIONS_MODEM_PORT, CT_TEXT, 145},
    {IDR_OPTIONS_CENTRY, IDC_OPTIONS_DIAL_COMMAND, CT_TEXT, 11},
    // The delay is a 16-bit number whose length is not fixed.
    {IDR_OPTIONS_CENTRY, IDC_OPTIONS_DIAL_DELAY, CT_WORD, 0},
    {IDR_OPTIONS_CENTRY, IDC_WALLPAPER_BITMAP, CT_TEXT, 256},
    {IDR_WALLPAPER_DEFAULTS_CENTRY, IDC_WALLPAPER_BITMAP, CT_TEXT, 256},
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
  } kFrame[] = {{IDR_INVOICE_DEFAULTS_CENTRY, IDOK},
                {IDR_INVOICE_DEFAULTS_CENTRY, IDCANCEL},
                {IDR_OPTIONS_CENTRY, IDC_OK},
                {IDR_OPTIONS_CENTRY, IDCANCEL}};
  for (const auto& f : kFrame) {
    const auto ce = Centry(f.centry);
    const auto* e = ce.find(f.id);
    ASSERT_NE(e, nullptr) << f.centry << "/" << f.id;
    EXPECT_EQ(e->type, CT_BUTTON);
    EXPECT_EQ(e->storage, CS_FRAME);
    EXPECT_EQ(e->length, 0);
  }
  // Wallpaper Defaults is opened by itself: plain window entries.
  const auto alone = Centry(IDR_WALLPAPER_DEFAULTS_CENTRY);
  for (std::uint16_t id : {std::uint16_t{IDOK}, std::uint16_t{IDCANCEL}}) {
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
  for (std::uint16_t container :
       {std::uint16_t{IDD_INVOICE_DEFAULTS}, std::uint16_t{IDD_OPTIONS}}) {
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
  const auto d = Dialog(IDD_WALLPAPER_DEFAULTS);
  for (const auto& e : Centry(IDR_WALLPAPER_DEFAULTS_CENTRY).entries) {
    const auto* item = d.item(e.id);
    ASSERT_NE(item, nullptr) << e.id;
    const std::uint16_t want = TypeForWindow(*item);
    EXPECT_EQ(e.type, want ? want : std::uint16_t{CT_TEXT}) << e.id;
  }
}

}  // namespace
