// The value entries of the dialogs as the handlers rely on them: their
// types, storage and lengths, the record-slot fields of the ledger
// defaults, and the few template details that no generic rule covers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "api/win32.h"
#include "frame/res/ids_codes.h"
#include "frame/res/ids_company.h"
#include "frame/res/ids_ledgers.h"
#include "frame/res/ids_options.h"
#include "tests/support/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::ControlSpec;
using vx70::test::EntryGroup;
using vx70::test::ExpectControls;
using vx70::test::ExpectEntries;
using vx70::test::kAnyLength;
using vx70::test::Resources;
using vx70::test::SameClass;

using Ids = std::vector<std::uint16_t>;

// ---- Code tables --------------------------------------------------------------

const std::vector<std::uint16_t> kCodeDialogs = {
    IDD_PRODUCT_CATEGORIES, IDD_DEPARTMENTS,         IDD_CURRENCIES,    IDD_ASSET_CATEGORIES,
    IDD_EDIT_CURRENCY,      IDD_TAX_CODES,           IDD_EDIT_TAX_CODE, IDD_CONTROL_ACCOUNTS,
    IDD_ACCOUNT_STATUS,     IDD_EDIT_ACCOUNT_STATUS, IDD_FINANCE_RATES, IDD_EDIT_FINANCE_RATE};

// Oddities of the templates: the second group box of Edit Tax Code
// carries a caption of blanks; Product Categories' spare edit has no
// height and no entry.
TEST(CodesResources, BlankGroupCaptionAndSpareEdit) {
  const std::string blanks =
      Resources().dialog(IDD_EDIT_TAX_CODE)->item(IDC_EDIT_TAX_CODE_EC_GROUP)->text;
  EXPECT_FALSE(blanks.empty());
  EXPECT_EQ(blanks.find_first_not_of(' '), std::string::npos);
  EXPECT_EQ(Resources().dialog(IDD_PRODUCT_CATEGORIES)->item(IDC_PRODUCT_CATEGORIES_SPARE)->cy, 0);
  EXPECT_EQ(Resources().centry(IDR_PRODUCT_CATEGORIES_CENTRY)->find(IDC_PRODUCT_CATEGORIES_SPARE),
            nullptr);
}

// The entries besides the grids and grid-combos, which the table of grid
// entries holds: the lists' buttons, the editors' value buffers and the
// record slots of Control Accounts.
const EntryGroup kCodeEntries[] = {
    {IDR_PRODUCT_CATEGORIES_CENTRY,
     CT_BUTTON,
     CS_WINDOW,
     0,
     {IDC_PRODUCT_CATEGORIES_EDIT, IDCANCEL}},
    {IDR_DEPARTMENTS_CENTRY, CT_BUTTON, CS_WINDOW, 0, {IDC_DEPARTMENTS_EDIT, IDCANCEL}},
    {IDR_ASSET_CATEGORIES_CENTRY, CT_BUTTON, CS_WINDOW, 0, {IDC_ASSET_CATEGORIES_EDIT, IDCANCEL}},
    {IDR_CURRENCIES_CENTRY, CT_BUTTON, CS_WINDOW, 0, {IDC_CURRENCIES_EDIT, IDCANCEL}},
    {IDR_EDIT_CURRENCY_CENTRY,
     CT_TEXT,
     CS_OWN,
     31,
     {IDC_EDIT_CURRENCY_NAME, IDC_EDIT_CURRENCY_COUNTRY}},
    {IDR_EDIT_CURRENCY_CENTRY, CT_TEXT, CS_OWN, 4, {IDC_EDIT_CURRENCY_EC_MEMBER}},
    {IDR_EDIT_CURRENCY_CENTRY,
     CT_DECIMAL,
     CS_OWN,
     11,
     {IDC_EDIT_CURRENCY_EXCHANGE_RATE, IDC_EDIT_CURRENCY_EURO_RATE}},
    {IDR_EDIT_CURRENCY_CENTRY, CT_BUTTON, CS_WINDOW, 0, {IDC_EDIT_CURRENCY_EURO_MEMBER}},
    {IDR_EDIT_TAX_CODE_CENTRY, CT_TEXT, CS_OWN, 4, {IDC_EDIT_TAX_CODE_CODE}},
    {IDR_EDIT_TAX_CODE_CENTRY, CT_DECIMAL, CS_OWN, 6, {IDC_EDIT_TAX_CODE_RATE}},
    {IDR_EDIT_TAX_CODE_CENTRY,
     CT_BUTTON,
     CS_WINDOW,
     0,
     {IDC_EDIT_TAX_CODE_IN_USE, IDC_EDIT_TAX_CODE_EC_CODE, IDC_EDIT_TAX_CODE_EC_SALES,
      IDC_EDIT_TAX_CODE_EC_PURCHASES}},
    {IDR_EDIT_TAX_CODE_CENTRY,
     CT_STATIC,
     CS_WINDOW,
     0,
     {IDC_EDIT_TAX_CODE_SETTINGS_GROUP, IDC_EDIT_TAX_CODE_EC_GROUP}},
    {IDR_CONTROL_ACCOUNTS_CENTRY, CT_RECORD, CS_NONE, 651, {IDC_CONTROL_ACCOUNTS_NOMINAL_WORK}},
    {IDR_CONTROL_ACCOUNTS_CENTRY, CT_RECORD, CS_NONE, 1146, {IDC_CONTROL_ACCOUNTS_SPARE_RECORD}},
    {IDR_CONTROL_ACCOUNTS_CENTRY, CT_BUTTON, CS_WINDOW, 0, {IDC_CONTROL_ACCOUNTS_OK, IDCANCEL}},
    {IDR_EDIT_ACCOUNT_STATUS_CENTRY, CT_TEXT, CS_WINDOW, 0, {IDC_EDIT_ACCOUNT_STATUS_DESCRIPTION}},
    {IDR_EDIT_ACCOUNT_STATUS_CENTRY,
     CT_BUTTON,
     CS_WINDOW,
     0,
     {IDC_EDIT_ACCOUNT_STATUS_ON_HOLD, IDOK, IDCANCEL}},
    {IDR_EDIT_FINANCE_RATE_CENTRY, CT_RECNO, CS_HIDDEN, 4, {IDC_EDIT_FINANCE_RATE_RECORD}},
    {IDR_EDIT_FINANCE_RATE_CENTRY, CT_DATE, CS_OWN, 11, {IDC_EDIT_FINANCE_RATE_DATE}},
    {IDR_EDIT_FINANCE_RATE_CENTRY,
     CT_DECIMAL,
     CS_OWN,
     6,
     {IDC_EDIT_FINANCE_RATE_BASE_RATE, IDC_EDIT_FINANCE_RATE_ADDITIONAL_RATE}},
    {IDR_EDIT_FINANCE_RATE_CENTRY, CT_BUTTON, CS_WINDOW, 0, {IDC_OK, IDCANCEL}},
};

TEST(CodesResources, ValueEntries) {
  ExpectEntries(kCodeEntries);
  // The codes that the fifteen control slots held at opening: slot i in
  // IDC_CONTROL_ACCOUNTS_OPENING_0 + i, 9 bytes each, with no window.
  auto control = Resources().centry(IDR_CONTROL_ACCOUNTS_CENTRY);
  for (std::uint16_t slot = 0; slot < 15; ++slot) {
    const CEntry* c =
        control->find(static_cast<std::uint16_t>(IDC_CONTROL_ACCOUNTS_OPENING_0 + slot));
    ASSERT_NE(c, nullptr) << slot;
    EXPECT_EQ(c->type, CT_TEXT);
    EXPECT_EQ(c->storage, CS_HIDDEN);
    EXPECT_EQ(c->length, 9);
  }
  const CEntry* unused = control->find(IDC_CONTROL_ACCOUNTS_SPARE_WORD);
  ASSERT_NE(unused, nullptr);
  EXPECT_EQ(unused->type, CT_WORD);
  // The base currency combo keeps a number.
  EXPECT_EQ(Resources().centry(IDR_CURRENCIES_CENTRY)->find(IDC_CURRENCIES_BASE_COMBO)->type,
            CT_DECIMAL);
}

// Entries with a window (storage 1 and 4) name a window of their template;
// buffers without one (storage 0 and 8) do not.
TEST(CodesResources, EntriesMatchWindows) {
  for (std::uint16_t id : kCodeDialogs) {
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

// ---- Company settings ----------------------------------------------------------

constexpr std::uint16_t kPrefsPages[] = {IDD_PREFS_ADDRESS, IDD_PREFS_LABELS, IDD_PREFS_PARAMETERS,
                                         IDD_PREFS_ENVIRONMENT};

// The pages are drawn in the container's client area, left of its buttons.
TEST(CompanyResources, PagesLieLeftOfTheContainerButtons) {
  const auto container = Resources().dialog(IDD_COMPANY_PREFS);
  ASSERT_TRUE(container);
  for (std::uint16_t page : kPrefsPages) {
    SCOPED_TRACE(page);
    const auto dlg = Resources().dialog(page);
    ASSERT_TRUE(dlg);
    EXPECT_LE(dlg->cy, container->cy);
    for (const DialogItem& item : dlg->items)
      for (const DialogItem& button : container->items) EXPECT_LT(item.x + item.cx, button.x);
  }
}

// Company Preferences keeps the buffers of every page's controls and the
// page-window slots; the other dialogs keep their own.
TEST(CompanyResources, ValueEntries) {
  const EntryGroup entries[] = {
      {IDR_PREFS_CENTRY, CT_BUTTON, CS_FRAME, 0, {IDC_OK, IDCANCEL}},
      {IDR_PREFS_CENTRY,
       CT_SLOT,
       CS_HIDDEN,
       8,
       {IDC_PREFS_ADDRESS_SLOT, IDC_PREFS_LABELS_SLOT, IDC_PREFS_PARAMETERS_SLOT,
        IDC_PREFS_SPARE_SLOT}},
      {IDR_PREFS_CENTRY,
       CT_TEXT,
       CS_OWN,
       61,
       {IDC_PREFS_COMPANY_NAME, IDC_PREFS_ADDRESS_LINE1, IDC_PREFS_ADDRESS_LINE2,
        IDC_PREFS_ADDRESS_LINE3, IDC_PREFS_ADDRESS_LINE4, IDC_PREFS_ADDRESS_LINE5,
        IDC_PREFS_CREDIT_REF_NO}},
      {IDR_PREFS_CENTRY,
       CT_TEXT,
       CS_OWN,
       31,
       {IDC_PREFS_TELEPHONE, IDC_PREFS_FAX, IDC_PREFS_VAT_REG_NO}},
      {IDR_PREFS_CENTRY,
       CT_TEXT,
       CS_OWN,
       256,
       {IDC_PREFS_EMAIL, IDC_PREFS_WEB_SITE, IDC_PREFS_CREDIT_SITE}},
      {IDR_PREFS_CENTRY,
       CT_STATIC,
       CS_WINDOW,
       0,
       {IDC_PREFS_ADDRESS_CAPTION1, IDC_PREFS_ADDRESS_CAPTION2, IDC_PREFS_ADDRESS_CAPTION3,
        IDC_PREFS_ADDRESS_CAPTION4, IDC_PREFS_ADDRESS_CAPTION5}},
      {IDR_PREFS_CENTRY, CT_BUTTON, CS_WINDOW, 0, {IDC_PREFS_PRINT_NAME}},
      {IDR_PREFS_CENTRY,
       CT_TEXT,
       CS_OWN,
       11,
       {IDC_PREFS_ADDRESS_LABEL1, IDC_PREFS_ADDRESS_LABEL2, IDC_PREFS_ADDRESS_LABEL3,
        IDC_PREFS_ADDRESS_LABEL4, IDC_PREFS_ADDRESS_LABEL5, IDC_PREFS_CUSTOMER_LABEL1,
        IDC_PREFS_CUSTOMER_LABEL2, IDC_PREFS_CUSTOMER_LABEL3, IDC_PREFS_SUPPLIER_LABEL1,
        IDC_PREFS_SUPPLIER_LABEL2, IDC_PREFS_SUPPLIER_LABEL3, IDC_PREFS_MODEM}},
      {IDR_PREFS_CENTRY, CT_WORD, CS_OWN, kAnyLength, {IDC_PREFS_CHEQUE_LINES, IDC_PREFS_DELAY}},
      {IDR_PREFS_CENTRY, CT_DECIMAL, CS_OWN, 12, {IDC_PREFS_CALL_CHARGE_RATE}},
      {IDR_PREFS_CENTRY, CT_TEXT, CS_OWN, 145, {IDC_PREFS_PORT}},
      {IDR_PREFS_CENTRY, CT_TEXT, CS_OWN, 51, {IDC_PREFS_F11, IDC_PREFS_F12}},
      {IDR_FINANCIAL_YEAR_CENTRY, CT_WORD, CS_OWN, 5, {IDC_FY_START_YEAR}},
      {IDR_FINANCIAL_YEAR_CENTRY, CT_BUTTON, CS_WINDOW, 0, {IDOK, IDCANCEL, IDC_FY_CHANGE}},
      {IDR_PROGRAM_DATE_CENTRY, CT_TEXT, CS_HIDDEN, 11, {IDC_PROGRAM_DATE_FIELD}},
      {IDR_CHANGE_PASSWORD_CENTRY, CT_STATIC, CS_WINDOW, 0, {IDC_PASSWORD_NAME_CAPTION}},
      {IDR_CHANGE_PASSWORD_CENTRY, CT_TEXT, CS_OWN, 33, {IDC_PASSWORD_LOGON_NAME}},
      {IDR_CHANGE_PASSWORD_CENTRY, CT_TEXT, CS_OWN, 11, {IDC_PASSWORD_NEW, IDC_PASSWORD_CONFIRM}},
      {IDR_UPDATE_DEFAULTS_CENTRY,
       CT_BUTTON,
       CS_WINDOW,
       0,
       {IDC_UPDATE_NET_MESSAGES, IDC_UPDATE_LEDGER_ON_ADD, IDC_UPDATE_LEDGER_ON_MODIFY,
        IDC_UPDATE_LEDGER_ON_POSTING, IDC_UPDATE_LAZY_ON_ADD, IDC_UPDATE_LAZY_ON_MODIFY,
        IDC_UPDATE_LAZY_ON_POSTING, IDC_UPDATE_BALANCE_ON_MODIFY, IDC_UPDATE_BALANCE_ON_POSTING,
        IDC_UPDATE_AGED_ON_MODIFY, IDC_UPDATE_AGED_ON_POSTING, IDC_UPDATE_ACTIVITIES_ON_POSTING}},
  };
  ExpectEntries(entries);
}

// ---- Ledger defaults -----------------------------------------------------------

// The "From" and "To" boxes of the ageing periods, alike on both Ageing pages.
const Ids kAgeingBoxes = {IDC_AGEING_PERIOD1_FROM, IDC_AGEING_PERIOD2_FROM, IDC_AGEING_PERIOD3_FROM,
                          IDC_AGEING_PERIOD4_FROM, IDC_AGEING_PERIOD1_TO,   IDC_AGEING_PERIOD2_TO,
                          IDC_AGEING_PERIOD3_TO};

// The value entries of the containers, as the dialogs describe them; their
// grids and grid-combos are those of the table of grid entries.
TEST(LedgerResources, ContainerValueEntries) {
  constexpr int kAny = -1;  // a displayed width that the dialogs leave open
  struct Value {
    std::uint16_t id, type, storage;
    int length;
    std::uint16_t link1, link2;  // record slot and offset of a field
  };
  auto field = [](std::uint16_t id, std::uint16_t type, int length, std::uint16_t offset) {
    return Value{id, type, CS_FIELD, length, IDC_LEDGER_SETUP_IMAGE, offset};
  };
  auto own = [](std::uint16_t id, std::uint16_t type, int length) {
    return Value{id, type, CS_OWN, length, 0, 0};
  };
  const Value setup{IDC_LEDGER_SETUP_IMAGE, CT_RECORD, CS_NONE, 4783, 0, 0};
  const Value ok{IDC_OK, CT_BUTTON, CS_FRAME, 0, 0, 0};
  const Value cancel{IDCANCEL, CT_BUTTON, CS_FRAME, 0, 0, 0};
  std::vector<Value> ageing;
  for (std::uint16_t id : kAgeingBoxes) ageing.push_back(own(id, CT_WORD, kAny));

  struct List {
    std::uint16_t centry;
    std::vector<Value> values;
  };
  List lists[] = {
      {IDR_CUSTOMER_DEFAULTS_CENTRY,
       {setup,
        {IDC_CUSTOMER_NOMINAL_IMAGE, CT_RECORD, CS_NONE, 651, 0, 0},
        field(IDC_LEDGER_CREDIT_LIMIT, CT_DECIMAL, kAny, 511),
        field(IDC_LEDGER_PAYMENT_DAYS, CT_WORD, kAny, 707),
        field(IDC_LEDGER_SETTLEMENT_DISCOUNT, CT_DECIMAL, kAny, 519),
        field(IDC_LEDGER_SETTLEMENT_DAYS, CT_WORD, kAny, 705),
        field(IDC_LEDGER_TERMS, CT_TEXT, 31, 477),
        field(IDC_CUSTOMER_DISCOUNT_RATE, CT_DECIMAL, kAny, 527),
        own(IDC_STATEMENT_INVOICE_TEXT, CT_TEXT, 61),
        own(IDC_STATEMENT_CREDIT_TEXT, CT_TEXT, 61),
        own(IDC_STATEMENT_DISCOUNT_TEXT, CT_TEXT, 61),
        own(IDC_STATEMENT_PAYMENT_TEXT, CT_TEXT, 61),
        ok,
        cancel}},
      {IDR_SUPPLIER_DEFAULTS_CENTRY,
       {setup, field(IDC_LEDGER_CREDIT_LIMIT, CT_DECIMAL, kAny, 813),
        field(IDC_LEDGER_PAYMENT_DAYS, CT_WORD, kAny, 849),
        field(IDC_LEDGER_SETTLEMENT_DISCOUNT, CT_DECIMAL, kAny, 821),
        field(IDC_LEDGER_SETTLEMENT_DAYS, CT_WORD, kAny, 847),
        field(IDC_LEDGER_TERMS, CT_TEXT, 31, 779), ok, cancel}},
      {IDR_PRODUCT_DEFAULTS_CENTRY,
       {setup, field(IDC_PRODUCT_UNIT_OF_SALE, CT_TEXT, 9, 870), ok, cancel}},
  };
  lists[0].values.insert(lists[0].values.end(), ageing.begin(), ageing.end());
  lists[1].values.insert(lists[1].values.end(), ageing.begin(), ageing.end());

  for (const List& l : lists) {
    SCOPED_TRACE(l.centry);
    const auto ce = Resources().centry(l.centry);
    ASSERT_TRUE(ce);
    std::set<std::uint16_t> described;
    for (const Value& v : l.values) {
      SCOPED_TRACE(v.id);
      described.insert(v.id);
      const CEntry* e = ce->find(v.id);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(e->type, v.type);
      EXPECT_EQ(e->storage, v.storage);
      if (v.length != kAny) EXPECT_EQ(e->length, v.length);
      if (v.type == CT_DECIMAL || v.type == CT_WORD) EXPECT_GT(e->length, 0);
      EXPECT_EQ(e->link1, v.link1);
      EXPECT_EQ(e->link2, v.link2);
      EXPECT_EQ(e->rowsNeeded, 0);
      EXPECT_EQ(e->startUp, 0);
    }
    // No value buffer beyond those described: the rest are windows only.
    for (const CEntry& e : ce->entries) {
      if (described.count(e.id) || e.isGrid() || e.isGridCombo()) continue;
      SCOPED_TRACE(e.id);
      EXPECT_EQ(e.storage, CS_WINDOW);
      EXPECT_TRUE(e.type == CT_STATIC || e.type == CT_BUTTON);
      EXPECT_EQ(e.length, 0);
    }
  }
}

// ---- Options ------------------------------------------------------------------

// The dialogs of this family.
constexpr std::uint16_t kOptionDialogs[] = {
    IDD_OPTIONS_TOOLBAR, IDD_OPTIONS_BACKUP,  IDD_OPTIONS_ENVIRONMENT, IDD_OPTIONS_WALLPAPER,
    IDD_OPTIONS,         IDD_OPTIONS_COLOURS, IDD_WALLPAPER_DEFAULTS,  IDD_INVOICE_DEFAULTS_PAGE,
    IDD_INVOICE_DEFAULTS};

// The caption of every colour button: its tip and its picture.
constexpr const char* kColourButton = "Click here to change colour,656";

constexpr ControlSpec kColourControls[] = {
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

TEST(OptionsResources, ColourBoxesAndButtons) { ExpectControls(kColourControls); }

// The value buffers: the only entries of these dialogs with storage of
// their own.  The dial delay is a 16-bit number whose length is not fixed.
const EntryGroup kOptionBuffers[] = {
    {IDR_INVOICE_DEFAULTS_CENTRY, CT_TEXT, CS_OWN, 61, {IDC_INVOICE_SERVICE_TEXT}},
    {IDR_OPTIONS_CENTRY,
     CT_TEXT,
     CS_OWN,
     256,
     {IDC_OPTIONS_TOOLBAR_BITMAP, IDC_OPTIONS_BACKUP_TOOL, IDC_WALLPAPER_BITMAP}},
    {IDR_OPTIONS_CENTRY, CT_TEXT, CS_OWN, 51, {IDC_OPTIONS_F11, IDC_OPTIONS_F12}},
    {IDR_OPTIONS_CENTRY, CT_TEXT, CS_OWN, 145, {IDC_OPTIONS_MODEM_PORT}},
    {IDR_OPTIONS_CENTRY, CT_TEXT, CS_OWN, 11, {IDC_OPTIONS_DIAL_COMMAND}},
    {IDR_OPTIONS_CENTRY, CT_WORD, CS_OWN, kAnyLength, {IDC_OPTIONS_DIAL_DELAY}},
    {IDR_WALLPAPER_DEFAULTS_CENTRY, CT_TEXT, CS_OWN, 256, {IDC_WALLPAPER_BITMAP}},
};

TEST(OptionsResources, ValueBuffers) {
  ExpectEntries(kOptionBuffers);
  std::set<std::pair<std::uint16_t, std::uint16_t>> described;
  for (const auto& g : kOptionBuffers)
    for (std::uint16_t id : g.ids) described.emplace(g.centry, id);
  for (std::uint16_t dialog : kOptionDialogs) {
    const std::uint16_t centry = Resources().dentry(dialog)->centry;
    if (auto list = Resources().centry(centry))
      for (const auto& e : list->entries)
        if (e.storage == CS_OWN || e.storage == CS_HIDDEN)
          EXPECT_TRUE(described.count({centry, e.id})) << "buffer " << centry << "/" << e.id;
  }
}

// A window entry's type follows its window's class.
std::uint16_t TypeForWindow(const DialogItem& item) {
  const bool button = SameClass(item.className, "BUTTON");
  if (SameClass(item.className, "STATIC") || SameClass(item.className, "__03Box__") ||
      (button && (item.style & 0xF) == 0x7))
    return CT_STATIC;
  if (button || SameClass(item.className, "__03Button__")) return CT_BUTTON;
  return 0;
}

TEST(OptionsResources, WallpaperDefaultsEntriesNameItsWindows) {
  const auto d = Resources().dialog(IDD_WALLPAPER_DEFAULTS);
  const auto list = Resources().centry(IDR_WALLPAPER_DEFAULTS_CENTRY);
  ASSERT_TRUE(d && list);
  for (const auto& e : list->entries) {
    const auto* item = d->item(e.id);
    ASSERT_NE(item, nullptr) << e.id;
    const std::uint16_t want = TypeForWindow(*item);
    EXPECT_EQ(e.type, want ? want : std::uint16_t{CT_TEXT}) << e.id;
  }
}

}  // namespace
