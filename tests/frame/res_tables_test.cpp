// The module's resources held against the table of dialogs, the template
// frames, the styles of every template control, the grid and grid-combo
// table and the GRID column descriptions:
// a wrong identifier, count, flag or offset here breaks the dialog engine
// or a handler that relies on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "api/win32.h"
#include "frame/res/ids_codes.h"
#include "frame/res/ids_company.h"
#include "frame/res/ids_ledgers.h"
#include "frame/res/ids_options.h"
#include "frame/res/ids_system.h"
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
  std::uint16_t tentry;  // its pages: kTabPages
  std::uint16_t word;
  std::uint16_t flags;
  std::size_t windows;  // of its template
};

const std::vector<DialogRow> kDialogs = {
    {IDD_ACCOUNT_STATUS, "Account Status", IDR_ACCOUNT_STATUS_CENTRY, 3, IDR_ACCOUNT_STATUS_MENTRY,
     55, 56, 0, 0x0000, 0x0001, 3},
    {IDD_OPTIONS_TOOLBAR, "Toolbar", IDR_OPTIONS_TOOLBAR_CENTRY, 5, IDR_OPTIONS_MENTRY, 53, 54, 0,
     0x0000, 0x4000, 8},
    {IDD_OPTIONS_BACKUP, "Backup", IDR_OPTIONS_BACKUP_CENTRY, 1, IDR_OPTIONS_MENTRY, 53, 54, 0,
     0x0000, 0x4000, 4},
    {IDD_OPTIONS_ENVIRONMENT, "Environment", IDR_OPTIONS_ENVIRONMENT_CENTRY, 6, IDR_OPTIONS_MENTRY,
     53, 54, 0, 0x0000, 0x4000, 10},
    {IDD_OPTIONS_WALLPAPER, "Wallpaper", IDR_OPTIONS_WALLPAPER_CENTRY, 1, IDR_OPTIONS_MENTRY, 53,
     54, 0, 0x0000, 0x4000, 15},
    {IDD_OPTIONS, "Options", IDR_OPTIONS_CENTRY, 35, IDR_OPTIONS_MENTRY, 53, 54, IDR_OPTIONS_TENTRY,
     0x0000, 0x8001, 2},
    {IDD_OPTIONS_COLOURS, "Colours", IDR_OPTIONS_COLOURS_CENTRY, 0, IDR_OPTIONS_MENTRY, 53, 54, 0,
     0x0000, 0x4000, 22},
    {IDD_FINANCE_RATES, "Finance Charge Rates", IDR_FINANCE_RATES_CENTRY, 1,
     IDR_FINANCE_RATES_MENTRY, 59, 60, 0, 0x0000, 0x0001, 6},
    {IDD_EDIT_FINANCE_RATE, "Set Finance Charge Rate", IDR_EDIT_FINANCE_RATE_CENTRY, 6,
     IDR_EDIT_FINANCE_RATE_MENTRY, 61, 62, 0, 0x0000, 0x0001, 9},
    {IDD_COMPANY_PREFS, "Company Preferences", IDR_PREFS_CENTRY, 81, IDR_PREFS_MENTRY, 1, 2,
     IDR_PREFS_TENTRY, 0x0000, 0x8001, 2},
    {IDD_PREFS_ADDRESS, "Address", IDR_PREFS_ADDRESS_CENTRY, 22, IDR_PREFS_ADDRESS_MENTRY, 1, 2, 0,
     0x0000, 0x4000, 27},
    {IDD_PREFS_LABELS, "Labels", IDR_PREFS_LABELS_CENTRY, 22, IDR_PREFS_LABELS_MENTRY, 1, 2, 0,
     0x0000, 0x4000, 25},
    {IDD_PREFS_PARAMETERS, "Parameters", IDR_PREFS_PARAMETERS_CENTRY, 19,
     IDR_PREFS_PARAMETERS_MENTRY, 1, 2, 0, 0x0000, 0x4000, 27},
    {IDD_PREFS_ENVIRONMENT, "Environment", IDR_PREFS_ENVIRONMENT_CENTRY, 13,
     IDR_PREFS_ENVIRONMENT_MENTRY, 1, 2, 0, 0x0000, 0x4000, 15},
    {IDD_FINANCIAL_YEAR, "Financial Year", IDR_FINANCIAL_YEAR_CENTRY, 5, IDR_FINANCIAL_YEAR_MENTRY,
     3, 4, 0, 0x0000, 0x0001, 9},
    {IDD_PROGRAM_DATE, "Change Program Date", IDR_PROGRAM_DATE_CENTRY, 3, IDR_PROGRAM_DATE_MENTRY,
     5, 6, 0, 0x0000, 0x0001, 6},
    {IDD_CUSTOMER_DEFAULTS, "Customer Defaults", IDR_CUSTOMER_DEFAULTS_CENTRY, 29,
     IDR_CUSTOMER_DEFAULTS_MENTRY, 35, 36, IDR_CUSTOMER_DEFAULTS_TENTRY, 0x0000, 0x8001, 2},
    {IDD_CUSTOMER_RECORD, "Record", IDR_CUSTOMER_RECORD_CENTRY, 11, IDR_CUSTOMER_RECORD_MENTRY, 35,
     36, 0, 0x0000, 0x4000, 28},
    {IDD_CUSTOMER_STATEMENTS, "Statements", IDR_CUSTOMER_STATEMENTS_CENTRY, 4,
     IDR_CUSTOMER_STATEMENTS_MENTRY, 35, 36, 0, 0x0000, 0x4000, 9},
    {IDD_CUSTOMER_AGEING, "Ageing", IDR_CUSTOMER_AGEING_CENTRY, 9, IDR_CUSTOMER_AGEING_MENTRY, 35,
     36, 0, 0x0000, 0x4000, 21},
    {IDD_CUSTOMER_DISCOUNT, "Discount", IDR_CUSTOMER_DISCOUNT_CENTRY, 1,
     IDR_CUSTOMER_DISCOUNT_MENTRY, 35, 36, 0, 0x0000, 0x4000, 2},
    {IDD_PRODUCT_DEFAULTS, "Product Defaults", IDR_PRODUCT_DEFAULTS_CENTRY, 9,
     IDR_PRODUCT_DEFAULTS_MENTRY, 7, 8, IDR_PRODUCT_DEFAULTS_TENTRY, 0x0103, 0x8001, 2},
    {IDD_PRODUCT_DETAILS, "Details", IDR_PRODUCT_DETAILS_CENTRY, 5, IDR_PRODUCT_DETAILS_MENTRY, 7,
     8, 0, 0x0103, 0x4000, 16},
    {IDD_PRODUCT_CATEGORIES, "Product Categories", IDR_PRODUCT_CATEGORIES_CENTRY, 3,
     IDR_PRODUCT_CATEGORIES_MENTRY, 9, 10, 0, 0x0103, 0x0001, 4},
    {IDD_DEPARTMENTS, "Departments", IDR_DEPARTMENTS_CENTRY, 3, IDR_DEPARTMENTS_MENTRY, 13, 14, 0,
     0x0000, 0x0001, 3},
    {IDD_CURRENCIES, "Currencies", IDR_CURRENCIES_CENTRY, 4, IDR_CURRENCIES_MENTRY, 21, 22, 0,
     0x0000, 0x0001, 5},
    {IDD_ASSET_CATEGORIES, "Fixed Asset Categories", IDR_ASSET_CATEGORIES_CENTRY, 3,
     IDR_ASSET_CATEGORIES_MENTRY, 17, 18, 0, 0x0000, 0x0001, 3},
    {IDD_EDIT_CURRENCY, "Edit Currency", IDR_EDIT_CURRENCY_CENTRY, 10, IDR_EDIT_CURRENCY_MENTRY, 29,
     30, 0, 0x0000, 0x0001, 15},
    {IDD_TAX_CODES, "Tax Codes", IDR_TAX_CODES_CENTRY, 3, IDR_TAX_CODES_MENTRY, 25, 26, 0, 0x0000,
     0x0001, 3},
    {IDD_EDIT_TAX_CODE, "Edit Tax Code", IDR_EDIT_TAX_CODE_CENTRY, 14, IDR_EDIT_TAX_CODE_MENTRY, 27,
     28, 0, 0x0000, 0x0001, 14},
    {IDD_CONTROL_ACCOUNTS, "Control Accounts", IDR_CONTROL_ACCOUNTS_CENTRY, 21,
     IDR_CONTROL_ACCOUNTS_MENTRY, 31, 32, 0, 0x0102, 0x0001, 3},
    {IDD_WALLPAPER_DEFAULTS, "Wallpaper Defaults", IDR_WALLPAPER_DEFAULTS_CENTRY, 15,
     IDR_WALLPAPER_DEFAULTS_MENTRY, 33, 34, 0, 0x0000, 0x0001, 17},
    {IDD_SUPPLIER_DEFAULTS, "Supplier Defaults", IDR_SUPPLIER_DEFAULTS_CENTRY, 36,
     IDR_SUPPLIER_DEFAULTS_MENTRY, 37, 38, IDR_SUPPLIER_DEFAULTS_TENTRY, 0x0000, 0x8001, 2},
    {IDD_SUPPLIER_RECORD, "Record", IDR_SUPPLIER_RECORD_CENTRY, 18, IDR_SUPPLIER_RECORD_MENTRY, 37,
     38, 0, 0x0101, 0x4000, 23},
    {IDD_SUPPLIER_AGEING, "Ageing", IDR_SUPPLIER_AGEING_CENTRY, 13, IDR_SUPPLIER_AGEING_MENTRY, 37,
     38, 0, 0x0000, 0x4000, 21},
    {IDD_INVOICE_DEFAULTS_PAGE, "Invoices", IDR_INVOICE_DEFAULTS_PAGE_CENTRY, 8,
     IDR_INVOICE_DEFAULTS_PAGE_MENTRY, 39, 40, 0, 0x0000, 0x4000, 11},
    {IDD_INVOICE_DEFAULTS, "Invoice Defaults", IDR_INVOICE_DEFAULTS_CENTRY, 10,
     IDR_INVOICE_DEFAULTS_MENTRY, 39, 40, IDR_INVOICE_DEFAULTS_TENTRY, 0x0000, 0x8001, 2},
    {IDD_ABOUT_EMPTY_PAGE, nullptr, IDR_ABOUT_EMPTY_PAGE_CENTRY, 0, IDR_SYSTEM_INFO_MENTRY, 41, 42,
     0, 0x0000, 0x4000, 0},
    {IDD_SYSTEM_INFO, "System Info", IDR_SYSTEM_INFO_CENTRY, 2, IDR_SYSTEM_INFO_MENTRY, 41, 42, 0,
     0x0000, 0x0001, 5},
    {IDD_ABOUT, "About", IDR_ABOUT_CENTRY, 2, IDR_SYSTEM_INFO_MENTRY, 41, 42, IDR_ABOUT_TENTRY,
     0x0000, 0x0001, 14},
    {IDD_CHANGE_PASSWORD, "Change Password", IDR_CHANGE_PASSWORD_CENTRY, 9,
     IDR_CHANGE_PASSWORD_MENTRY, 45, 46, 0, 0x0000, 0x0001, 9},
    {IDD_UPDATE_DEFAULTS, "Update Defaults", IDR_UPDATE_DEFAULTS_CENTRY, 12,
     IDR_UPDATE_DEFAULTS_MENTRY, 49, 50, 0, 0x0000, 0x0001, 20},
    {IDD_USER_LIST, "User List", IDR_USER_LIST_CENTRY, 4, IDR_USER_LIST_MENTRY, 51, 52,
     IDR_USER_LIST_TENTRY, 0x0000, 0x8001, 2},
    {IDD_USER_LIST_USERS, " Users ", IDR_USER_LIST_USERS_CENTRY, 1, IDR_USER_LIST_PAGES_MENTRY, 0,
     52, 0, 0x0000, 0x4000, 1},
    {IDD_USER_LIST_REQUESTS, " Requests ", IDR_USER_LIST_REQUESTS_CENTRY, 1,
     IDR_USER_LIST_PAGES_MENTRY, 0, 52, 0, 0x0000, 0x4000, 1},
    {IDD_EDIT_ACCOUNT_STATUS, "Edit Account Status", IDR_EDIT_ACCOUNT_STATUS_CENTRY, 4,
     IDR_EDIT_ACCOUNT_STATUS_MENTRY, 57, 58, 0, 0x0000, 0x0001, 6},
};

// The pages of each tabbed dialog, in tab order.
const std::map<std::uint16_t, std::vector<std::uint16_t>> kTabPages = {
    {IDD_OPTIONS,
     {IDD_OPTIONS_TOOLBAR, IDD_OPTIONS_BACKUP, IDD_OPTIONS_ENVIRONMENT, IDD_OPTIONS_WALLPAPER,
      IDD_OPTIONS_COLOURS}},
    {IDD_COMPANY_PREFS, {IDD_PREFS_ADDRESS, IDD_PREFS_LABELS, IDD_PREFS_PARAMETERS}},
    {IDD_CUSTOMER_DEFAULTS,
     {IDD_CUSTOMER_RECORD, IDD_CUSTOMER_STATEMENTS, IDD_CUSTOMER_AGEING, IDD_CUSTOMER_DISCOUNT}},
    {IDD_PRODUCT_DEFAULTS, {IDD_PRODUCT_DETAILS}},
    {IDD_SUPPLIER_DEFAULTS, {IDD_SUPPLIER_RECORD, IDD_SUPPLIER_AGEING}},
    {IDD_INVOICE_DEFAULTS, {IDD_INVOICE_DEFAULTS_PAGE}},
    {IDD_ABOUT, {IDD_ABOUT_EMPTY_PAGE, IDD_SYSTEM_INFO}},
    {IDD_USER_LIST, {IDD_USER_LIST_USERS, IDD_USER_LIST_REQUESTS}},
};

const std::vector<std::uint16_t>& pagesOf(const DialogRow& r) {
  static const std::vector<std::uint16_t> none;
  auto found = kTabPages.find(r.id);
  return found == kTabPages.end() ? none : found->second;
}

struct GridComboRow {
  std::uint16_t centry, dialog, control, type, grid, rowsNeeded, startUp, layout;
};

const std::vector<GridComboRow> kGridEntries = {
    {IDR_PREFS_CENTRY, IDD_COMPANY_PREFS, IDC_PREFS_NON_VATABLE_CODE, 0x1A, IDR_TAX_CODE_COMBO_GRID,
     0, 47, 0},
    {IDR_FINANCIAL_YEAR_CENTRY, IDD_FINANCIAL_YEAR, IDC_FY_START_MONTH, 0x1A, IDR_MONTH_GRID, 0, 0,
     0},
    {IDR_CUSTOMER_DEFAULTS_CENTRY, IDD_CUSTOMER_DEFAULTS, IDC_LEDGER_DEPARTMENT, 0x1A,
     IDR_DEPARTMENTS_GRID, 15, 16, 0},
    {IDR_CUSTOMER_DEFAULTS_CENTRY, IDD_CUSTOMER_DEFAULTS, IDC_LEDGER_TAX_CODE, 0x1A,
     IDR_LEDGER_TAX_CODE_COMBO_GRID, 0, 47, 0},
    {IDR_CUSTOMER_DEFAULTS_CENTRY, IDD_CUSTOMER_DEFAULTS, IDC_LEDGER_CURRENCY, 0x1A,
     IDR_CURRENCY_COMBO_GRID, 0, 48, 0},
    {IDR_CUSTOMER_DEFAULTS_CENTRY, IDD_CUSTOMER_DEFAULTS, IDC_CUSTOMER_DISCOUNT_TABLE, 0x16,
     IDR_CUSTOMER_DISCOUNT_GRID, 0, 0, 0},
    {IDR_SUPPLIER_DEFAULTS_CENTRY, IDD_SUPPLIER_DEFAULTS, IDC_LEDGER_DEPARTMENT, 0x1A,
     IDR_DEPARTMENTS_GRID, 15, 16, 0},
    {IDR_SUPPLIER_DEFAULTS_CENTRY, IDD_SUPPLIER_DEFAULTS, IDC_LEDGER_TAX_CODE, 0x1A,
     IDR_LEDGER_TAX_CODE_COMBO_GRID, 0, 47, 0},
    {IDR_SUPPLIER_DEFAULTS_CENTRY, IDD_SUPPLIER_DEFAULTS, IDC_LEDGER_CURRENCY, 0x1A,
     IDR_CURRENCY_COMBO_GRID, 0, 48, 0},
    {IDR_PRODUCT_CATEGORIES_CENTRY, IDD_PRODUCT_CATEGORIES, IDC_PRODUCT_CATEGORIES_GRID, 0x15,
     IDR_PRODUCT_CATEGORIES_GRID, 11, 12, 0},
    {IDR_PRODUCT_DEFAULTS_CENTRY, IDD_PRODUCT_DEFAULTS, IDC_LEDGER_DEPARTMENT, 0x1A,
     IDR_DEPARTMENTS_GRID, 15, 16, 0},
    {IDR_PRODUCT_DEFAULTS_CENTRY, IDD_PRODUCT_DEFAULTS, IDC_PRODUCT_CATEGORY, 0x1A,
     IDR_PRODUCT_CATEGORIES_GRID, 11, 12, 0},
    {IDR_PRODUCT_DEFAULTS_CENTRY, IDD_PRODUCT_DEFAULTS, IDC_LEDGER_TAX_CODE, 0x1A,
     IDR_LEDGER_TAX_CODE_COMBO_GRID, 0, 47, 0},
    {IDR_DEPARTMENTS_CENTRY, IDD_DEPARTMENTS, IDC_DEPARTMENTS_GRID, 0x15, IDR_DEPARTMENTS_GRID, 15,
     16, 0},
    {IDR_ASSET_CATEGORIES_CENTRY, IDD_ASSET_CATEGORIES, IDC_ASSET_CATEGORIES_GRID, 0x16,
     IDR_ASSET_CATEGORIES_GRID, 19, 20, 4},
    {IDR_CURRENCIES_CENTRY, IDD_CURRENCIES, IDC_CURRENCIES_GRID, 0x15, IDR_CURRENCIES_GRID, 23, 24,
     4},
    {IDR_TAX_CODES_CENTRY, IDD_TAX_CODES, IDC_TAX_CODES_GRID, 0x15, IDR_TAX_CODES_GRID, 0, 0, 0},
    {IDR_EDIT_TAX_CODE_CENTRY, IDD_EDIT_TAX_CODE, IDC_TAX_CODE_COMBO, 0x1A, IDR_TAX_CODE_COMBO_GRID,
     0, 47, 0},
    {IDR_CONTROL_ACCOUNTS_CENTRY, IDD_CONTROL_ACCOUNTS, IDC_CONTROL_ACCOUNTS_GRID, 0x16,
     IDR_CONTROL_ACCOUNTS_GRID, 0, 0, 0},
    {IDR_SYSTEM_INFO_CENTRY, IDD_SYSTEM_INFO, IDC_SYSTEM_INFO_GRID, 0x16, IDR_SYSTEM_INFO_GRID, 0,
     0, 0},
    {IDR_USER_LIST_CENTRY, IDD_USER_LIST, IDC_USER_LIST_USERS_GRID, 0x16, IDR_USER_LIST_USERS_GRID,
     0, 0, 0},
    {IDR_USER_LIST_CENTRY, IDD_USER_LIST, IDC_USER_LIST_REQUESTS_GRID, 0x16,
     IDR_USER_LIST_REQUESTS_GRID, 0, 0, 0},
    {IDR_ACCOUNT_STATUS_CENTRY, IDD_ACCOUNT_STATUS, IDC_ACCOUNT_STATUS_GRID, 0x15,
     IDR_ACCOUNT_STATUS_GRID, 0, 0, 0},
    {IDR_FINANCE_RATES_CENTRY, IDD_FINANCE_RATES, IDC_FINANCE_RATES_GRID, 0x15,
     IDR_FINANCE_RATES_GRID, 0, 0, 4},
};

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
    if (r.centry == IDR_ABOUT_EMPTY_PAGE_CENTRY) {
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
    EXPECT_EQ(pages, pagesOf(r));
  }
  // The company's Environment page is a page that no tab list names.
  for (const auto& [dialog, pages] : kTabPages)
    EXPECT_EQ(std::count(pages.begin(), pages.end(), IDD_PREFS_ENVIRONMENT), 0);
}

TEST(TemplateFrames, TitleAndWindows) {
  std::size_t templates = 0;
  for (const auto& r : kDialogs) {
    SCOPED_TRACE("dialog " + std::to_string(r.id));
    auto t = Resources().dialog(r.id);
    ASSERT_EQ(t.has_value(), r.title != nullptr);
    if (!t) continue;
    ++templates;
    EXPECT_EQ(t->title, r.title);
    EXPECT_EQ(t->items.size(), r.windows);
  }
  EXPECT_EQ(Resources().file().ids(res::ResId{res::RT_DIALOG, {}}).size(), templates);
}

// Windows overlap only where one holds the other: a group box around its
// controls, and the frame of the Address page around the address lines.
bool holds(std::uint16_t dialog, const res::DialogItem& outer, const res::DialogItem& inner) {
  if (SameClass(outer.className, "BUTTON") && (outer.style & 0xF) == 0x7) return true;
  return dialog == IDD_PREFS_ADDRESS && outer.id == IDC_PREFS_ADDRESS_FRAME &&
         inner.id >= IDC_PREFS_ADDRESS_LINE1 && inner.id <= IDC_PREFS_ADDRESS_LINE5;
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
      {IDD_PREFS_PARAMETERS, IDC_PREFS_HELP_GROUP},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_TOOL_TIPS},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_BUBBLE_HELP}};
  for (const auto& f : kDialogs) {
    auto t = Resources().dialog(f.id);
    if (!t) continue;
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

// ---- Template controls ---------------------------------------------------------

// The command that removes a user comes from no window of the module.
TEST(TemplateControls, NoWindowSendsRemoveUser) {
  for (const auto& r : kDialogs)
    if (auto t = Resources().dialog(r.id)) EXPECT_EQ(t->item(IDC_USER_LIST_REMOVE_USER), nullptr);
}

// Every resource is English (United Kingdom) but those of the two date
// dialogs and the month list, which are English (United States).
TEST(Languages, UnitedKingdomButTheDateDialogs) {
  const std::set<std::pair<std::string, std::uint16_t>> us = {{"5", IDD_FINANCIAL_YEAR},
                                                              {"5", IDD_PROGRAM_DATE},
                                                              {"DENTRY", IDD_FINANCIAL_YEAR},
                                                              {"DENTRY", IDD_PROGRAM_DATE},
                                                              {"CENTRY", IDR_FINANCIAL_YEAR_CENTRY},
                                                              {"CENTRY", IDR_PROGRAM_DATE_CENTRY},
                                                              {"MENTRY", IDR_FINANCIAL_YEAR_MENTRY},
                                                              {"MENTRY", IDR_PROGRAM_DATE_MENTRY},
                                                              {"GRID", IDR_MONTH_GRID}};
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
// family that the list leaves out (the company's Environment page).
bool isPageOf(const DialogRow& page, const DialogRow& tabbed) {
  if (tabbed.flags != 0x8001 || page.flags != 0x4000) return false;
  const auto& pages = pagesOf(tabbed);
  return std::count(pages.begin(), pages.end(), page.id) > 0 ||
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
  const auto& pages = pagesOf(r);
  for (auto p : pages) add(p);
  for (const auto& other : kDialogs)
    if (isPageOf(other, r) && std::count(pages.begin(), pages.end(), other.id) == 0) add(other.id);
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
    std::set<std::uint16_t> seen;
    for (const auto& e : c->entries) {
      EXPECT_TRUE(seen.insert(e.id).second) << "CENTRY " << r.centry << " has " << e.id << " twice";
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

// An entry that holds a value: a buffer of its own or in a record slot, a
// grid or a grid-combo.
bool holdsValue(const CEntry& e) {
  return e.storage == res::CS_OWN || e.storage == res::CS_FIELD || e.storage == res::CS_HIDDEN ||
         e.isGrid() || e.isGridCombo();
}

TEST(ControlEntries, PagesLinkEveryValueOfTheContainerTheyShow) {
  for (const auto& r : kDialogs) {
    if (r.flags != 0x8001) continue;
    auto parent = Resources().centry(r.centry);
    ASSERT_TRUE(parent);
    for (const auto& page : kDialogs) {
      if (!isPageOf(page, r)) continue;
      auto c = Resources().centry(page.centry);
      if (!c) continue;
      auto pageTemplate = Resources().dialog(page.id);
      ASSERT_TRUE(pageTemplate);
      std::set<std::uint16_t> linked;
      for (const auto& e : c->entries) {
        SCOPED_TRACE("page " + std::to_string(page.id) + " entry " + std::to_string(e.id));
        EXPECT_EQ(e.length, 0) << "a page keeps no buffer of its own";
        if (e.type != res::CT_LINK) {
          EXPECT_EQ(e.storage, res::CS_WINDOW);
          continue;
        }
        linked.insert(e.id);
        EXPECT_EQ(e.storage, res::CS_NONE);
        EXPECT_EQ(e.link1, 0);
        EXPECT_EQ(e.link2, 0);
        const CEntry* target = parent->find(e.id);
        ASSERT_TRUE(target);
        EXPECT_NE(target->type, res::CT_LINK);
      }
      // Every value of the container shown on the page is reached by a link.
      for (const auto& e : parent->entries)
        if (holdsValue(e) && pageTemplate->item(e.id))
          EXPECT_TRUE(linked.count(e.id)) << "page " << page.id << " shows " << e.id << " unlinked";
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
  const std::set<std::uint16_t> tabbed = {
      IDD_OPTIONS,           IDD_COMPANY_PREFS,    IDD_CUSTOMER_DEFAULTS, IDD_PRODUCT_DEFAULTS,
      IDD_SUPPLIER_DEFAULTS, IDD_INVOICE_DEFAULTS, IDD_USER_LIST};
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
    if (r.centry == IDR_CONTROL_ACCOUNTS_CENTRY || r.centry == IDR_WALLPAPER_DEFAULTS_CENTRY)
      EXPECT_EQ(c->trailingZeroBytes, 20u);
    else if (r.centry == IDR_OPTIONS_COLOURS_CENTRY)
      EXPECT_EQ(c->trailingZeroBytes, 8u);
    else
      EXPECT_TRUE(std::set<std::size_t>({2, 4, 6, 8}).count(c->trailingZeroBytes));
  }
  auto empty = Resources().file().find("CENTRY", IDR_OPTIONS_COLOURS_CENTRY);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->data.size(), 8u);
}

TEST(ControlEntries, LayoutWords) {
  // The Edit and Close buttons of three of the lists, and the grids of three.
  const std::set<std::pair<std::uint16_t, std::uint16_t>> listButtons = {
      {IDD_PRODUCT_CATEGORIES, IDC_PRODUCT_CATEGORIES_EDIT},
      {IDD_PRODUCT_CATEGORIES, IDCANCEL},
      {IDD_CURRENCIES, IDC_CURRENCIES_EDIT},
      {IDD_CURRENCIES, IDCANCEL},
      {IDD_ASSET_CATEGORIES, IDC_ASSET_CATEGORIES_EDIT},
      {IDD_ASSET_CATEGORIES, IDCANCEL}};
  const std::set<std::uint16_t> laidOutGrids = {IDD_CURRENCIES, IDD_ASSET_CATEGORIES,
                                                IDD_FINANCE_RATES};
  for (const auto& r : kDialogs) {
    auto c = Resources().centry(r.centry);
    if (!c) continue;
    for (const auto& e : c->entries) {
      std::uint16_t want = 0;
      if (listButtons.count({r.id, e.id})) want = 3;
      if (laidOutGrids.count(r.id) && e.isGrid()) want = 4;
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
      if (e.id == IDC_LEDGER_NOMINAL_CODE) {
        EXPECT_TRUE(r.centry == IDR_CUSTOMER_DEFAULTS_CENTRY ||
                    r.centry == IDR_SUPPLIER_DEFAULTS_CENTRY ||
                    r.centry == IDR_PRODUCT_DEFAULTS_CENTRY);
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
  for (std::uint16_t centry :
       {IDR_CUSTOMER_DEFAULTS_CENTRY, IDR_SUPPLIER_DEFAULTS_CENTRY, IDR_PRODUCT_DEFAULTS_CENTRY})
    EXPECT_TRUE(Resources().centry(centry)->find(IDC_LEDGER_NOMINAL_CODE));
}

struct Col {
  const char* heading;  // "" for a hidden column
  std::uint16_t type, width, length, places, id;
};

struct GridRow {
  std::uint16_t grid;
  std::size_t rowBytes;
  std::vector<Col> columns;
};

const std::vector<Col> kCurrencyColumns = {{"No", 6, 4, 4, 0, 0},
                                           {"Name", 2, 11, 31, 0, IDC_CODE_NAME_COLUMN},
                                           {"Country", 2, 11, 31, 0, IDC_CURRENCY_COUNTRY_COLUMN},
                                           {"EC", 2, 4, 4, 0, IDC_CURRENCY_EC_COLUMN},
                                           {"Ex. Rate", 12, 5, 11, 6, 0},
                                           {"EMU", 2, 4, 4, 0, 0},
                                           {"EMU Rate", 12, 5, 11, 6, 0}};

std::vector<Col> withLastHeading(std::vector<Col> cols, const char* heading) {
  cols.back().heading = heading;
  return cols;
}

const std::vector<GridRow> kGrids = {
    {IDR_CURRENCY_TABLE_GRID, 90, kCurrencyColumns},
    {IDR_MONTH_GRID, 11, {{"Month", 2, 21, 11, 0, 0}}},
    {IDR_PRODUCT_CATEGORIES_GRID,
     35,
     {{"No", 6, 4, 4, 0, IDC_CODE_NUMBER_COLUMN},
      {"Category", 2, 31, 31, 0, IDC_CODE_NAME_COLUMN}}},
    {IDR_DEPARTMENTS_GRID,
     33,
     {{"No", 6, 4, 2, 0, IDC_CODE_NUMBER_COLUMN}, {"Name", 2, 31, 31, 0, IDC_CODE_NAME_COLUMN}}},
    {IDR_ASSET_CATEGORIES_GRID,
     65,
     {{"No", 6, 4, 4, 0, IDC_CODE_NUMBER_COLUMN}, {"Name", 2, 20, 61, 0, IDC_CODE_NAME_COLUMN}}},
    {IDR_CURRENCIES_GRID, 90, withLastHeading(kCurrencyColumns, "1 Euro")},
    {IDR_TAX_CODES_GRID,
     16,
     {{"Code", 2, 4, 4, 0, IDC_TAX_CODE_COLUMN},
      {"Rate", 12, 8, 8, 2, IDC_TAX_RATE_COLUMN},
      {"In Use", 2, 1, 1, 0, IDC_TAX_IN_USE_COLUMN},
      {"EC Sale", 2, 1, 1, 0, IDC_TAX_EC_SALES_COLUMN},
      {"EC Purch", 2, 1, 1, 0, IDC_TAX_EC_PURCHASES_COLUMN},
      {"", 2, 1, 1, 0, 0}}},
    {IDR_TAX_CODE_COMBO_GRID, 10, {{"Code", 2, 10, 10, 0, IDC_TAX_CODE_COLUMN}}},
    {IDR_LEDGER_TAX_CODE_COMBO_GRID, 15, {{"Code", 2, 15, 15, 0, IDC_TAX_CODE_COLUMN}}},
    {IDR_CONTROL_ACCOUNTS_GRID,
     70,
     {{"Control Account", 2, 10, 61, 0, IDC_CONTROL_ACCOUNTS_CAPTION_COLUMN},
      {"N/C", 2, 12, 9, 0, IDC_CONTROL_ACCOUNTS_CODE_COLUMN}}},
    {IDR_CURRENCY_COMBO_GRID,
     35,
     {{"No", 6, 4, 4, 0, 0}, {"Name", 2, 35, 31, 0, IDC_CODE_NAME_COLUMN}}},
    {IDR_CUSTOMER_DISCOUNT_GRID,
     29,
     {{"Discount", 2, 13, 13, 0, 0},
      {"Invoice Value", 12, 12, 12, 2, IDC_DISCOUNT_TABLE_VALUE_COLUMN},
      {"Discount %", 12, 12, 12, 2, IDC_DISCOUNT_TABLE_RATE_COLUMN}}},
    {IDR_SYSTEM_INFO_GRID, 317, {{"Property", 2, 14, 61, 0, 0}, {"Settings", 2, 30, 256, 0, 0}}},
    {IDR_USER_LIST_USERS_GRID,
     66,
     {{"User Name", 2, 33, 33, 0, 0}, {"Machine Name", 2, 33, 33, 0, 0}}},
    {IDR_USER_LIST_REQUESTS_GRID,
     103,
     {{"User Name", 2, 15, 33, 0, 0}, {"Request", 2, 15, 61, 0, 0}, {"Details", 2, 9, 9, 0, 0}}},
    {IDR_FINANCE_RATES_GRID,
     31,
     {{"Date From", 2, 11, 11, 0, 0},
      {"Base Rate (%)", 12, 11, 11, 2, 0},
      {"Additional (%)", 12, 11, 11, 2, 0},
      {"", 9, 4, 4, 0, 0}}},
    {IDR_ACCOUNT_STATUS_GRID,
     67,
     {{"No", 6, 2, 4, 0, 0},
      {"Description", 2, 31, 61, 0, 0},
      {"Hold", 2, 1, 1, 0, 0},
      {"", 2, 1, 1, 0, 0}}},
};

// The editor classes besides "@EDIT" of the visible columns: the N/C
// combo of the control accounts and the discount table's figures.
const std::map<std::pair<std::uint16_t, std::size_t>, std::string> kEditors = {
    {{IDR_CONTROL_ACCOUNTS_GRID, 1}, "@__03COMBO__"},
    {{IDR_CUSTOMER_DISCOUNT_GRID, 1}, "@__03Combo__"},
    {{IDR_CUSTOMER_DISCOUNT_GRID, 2}, "@__03Combo__"}};

TEST(GridColumns, TheSummaryColumnByColumn) {
  EXPECT_EQ(Resources().file().ids(res::ResId{0, "GRID"}).size(), kGrids.size());
  for (const auto& g : kGrids) {
    SCOPED_TRACE("GRID " + std::to_string(g.grid));
    auto grid = Resources().grid(g.grid);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->rowBytes(), g.rowBytes);
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
      EXPECT_EQ(got.id, want.id);
      EXPECT_EQ(got.reserved, 0);
      EXPECT_EQ(got.reservedText, "");
      bool hidden = *want.heading == 0;
      EXPECT_EQ(got.hidden(), hidden);
      if (hidden) {
        EXPECT_EQ(got.editorClass, "");
        EXPECT_EQ(got.gridFlags, 0);
      } else {
        auto editor = kEditors.find({g.grid, i});
        EXPECT_EQ(got.editorClass, editor == kEditors.end() ? "@EDIT" : editor->second);
        const bool combo = g.grid == IDR_CONTROL_ACCOUNTS_GRID && i == 1;
        EXPECT_EQ(got.style, combo ? 0x81 : 0x80);
      }
    }
  }
}

TEST(GridColumns, FlagsEditorsAndSpareBytes) {
  auto col = [](std::uint16_t grid, std::size_t i) {
    return Resources().grid(grid)->columns.at(i);
  };
  EXPECT_EQ(col(IDR_PRODUCT_CATEGORIES_GRID, 0).columnFlags, 0x0022);
  EXPECT_EQ(col(IDR_DEPARTMENTS_GRID, 0).columnFlags, 0x0002);
  EXPECT_EQ(col(IDR_ASSET_CATEGORIES_GRID, 0).columnFlags, 0x0002);
  EXPECT_EQ(col(IDR_CONTROL_ACCOUNTS_GRID, 1).columnFlags, 0x0002);
  EXPECT_EQ(col(IDR_CUSTOMER_DISCOUNT_GRID, 0).columnFlags, 0x0020);
  EXPECT_EQ(col(IDR_CONTROL_ACCOUNTS_GRID, 1).gridFlags, 0x0021);
  EXPECT_EQ(col(IDR_CUSTOMER_DISCOUNT_GRID, 1).gridFlags, 0x0002);
  EXPECT_EQ(col(IDR_CUSTOMER_DISCOUNT_GRID, 2).gridFlags, 0x0002);

  const std::set<std::pair<std::uint16_t, std::size_t>> special = {{IDR_PRODUCT_CATEGORIES_GRID, 0},
                                                                   {IDR_DEPARTMENTS_GRID, 0},
                                                                   {IDR_ASSET_CATEGORIES_GRID, 0},
                                                                   {IDR_CONTROL_ACCOUNTS_GRID, 1},
                                                                   {IDR_CUSTOMER_DISCOUNT_GRID, 0}};
  const std::set<std::uint16_t> plainGrids = {IDR_DEPARTMENTS_GRID, IDR_CURRENCIES_GRID,
                                              IDR_CURRENCY_COMBO_GRID, IDR_FINANCE_RATES_GRID,
                                              IDR_CURRENCY_TABLE_GRID};
  for (const auto& g : kGrids) {
    auto grid = Resources().grid(g.grid);
    for (std::size_t i = 0; i < grid->columns.size(); ++i) {
      const auto& c = grid->columns[i];
      SCOPED_TRACE("GRID " + std::to_string(g.grid) + " column " + std::to_string(i));
      if (!special.count({g.grid, i})) EXPECT_EQ(c.columnFlags, 0);
      if (c.hidden() || (g.grid == IDR_CONTROL_ACCOUNTS_GRID && i == 1) ||
          (g.grid == IDR_CUSTOMER_DISCOUNT_GRID && i > 0))
        continue;
      EXPECT_EQ(c.gridFlags, plainGrids.count(g.grid) ? 0 : 0x0800);
    }
    bool lastHidden = grid->columns.back().hidden();
    EXPECT_EQ(grid->spareByte, lastHidden) << "GRID " << g.grid;
  }
}

TEST(GridBitmaps, SystemInformationGrid) {
  auto words = Resources().gridBitmap(IDR_SYSTEM_INFO_GRID);
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
    EXPECT_EQ(static_cast<std::int32_t>(u32(8)), side);  // positive: bottom-up
    EXPECT_EQ(u16(12), 1);
    EXPECT_EQ(u16(14), 4);
    // Stored bottom-up, the pixels just after the sixteen-colour table.
    const std::size_t stride = (side * 4 + 31) / 32 * 4;
    EXPECT_EQ(b->data.size(), 40u + 16 * 4 + stride * static_cast<std::size_t>(side));
  }
}

}  // namespace
}  // namespace vx70::test
