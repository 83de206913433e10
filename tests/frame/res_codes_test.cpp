// The code-table dialogs (category lists, currencies, tax codes, control
// accounts, account status, finance charge rates) and the GRID descriptions
// of their lists and of the shared code combos, held against the dialogs'
// documented controls, value entries and columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "api/win32.h"
#include "frame/res/ids_codes.h"
#include "tests/support/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::ControlSpec;
using vx70::test::ExpectControls;
using vx70::test::Resources;
using enum vx70::test::ControlKind;

constexpr std::uint32_t kButtonKind = 0x000F;
constexpr std::uint32_t kGroupBox = 0x0007;

const std::vector<std::uint16_t> kDialogs = {
    IDD_PRODUCT_CATEGORIES, IDD_DEPARTMENTS,         IDD_CURRENCIES,    IDD_ASSET_CATEGORIES,
    IDD_EDIT_CURRENCY,      IDD_TAX_CODES,           IDD_EDIT_TAX_CODE, IDD_CONTROL_ACCOUNTS,
    IDD_ACCOUNT_STATUS,     IDD_EDIT_ACCOUNT_STATUS, IDD_FINANCE_RATES, IDD_EDIT_FINANCE_RATE};

// ---- Controls --------------------------------------------------------------

const ControlSpec kControls[] = {
    // Category lists.
    {IDD_PRODUCT_CATEGORIES, IDC_PRODUCT_CATEGORIES_GRID, "__03Grid__", nullptr, 0},
    {IDD_PRODUCT_CATEGORIES, IDC_PRODUCT_CATEGORIES_EDIT, "__03Button__", "&Edit", 0},
    {IDD_PRODUCT_CATEGORIES, IDCANCEL, "__03Button__", "Close", 0},
    {IDD_PRODUCT_CATEGORIES, IDC_PRODUCT_CATEGORIES_SPARE, "EDIT", nullptr, 0},
    {IDD_DEPARTMENTS, IDC_DEPARTMENTS_GRID, "__03Grid__", nullptr, 0},
    {IDD_DEPARTMENTS, IDC_DEPARTMENTS_EDIT, "__03Button__", "&Edit", 0},
    {IDD_DEPARTMENTS, IDCANCEL, "__03Button__", "Close", 0},
    {IDD_ASSET_CATEGORIES, IDC_ASSET_CATEGORIES_GRID, "__03Grid__", nullptr, 0},
    {IDD_ASSET_CATEGORIES, IDC_ASSET_CATEGORIES_EDIT, "__03Button__", "&Edit", 0},
    {IDD_ASSET_CATEGORIES, IDCANCEL, "__03Button__", "Close", 0},
    // Currencies.
    {IDD_CURRENCIES, IDC_CURRENCIES_GRID, "__03Grid__", nullptr, 0},
    {IDD_CURRENCIES, IDC_CURRENCIES_BASE_LABEL, "STATIC", "Base Currency:", 0},
    {IDD_CURRENCIES, IDC_CURRENCIES_BASE_COMBO, "COMBOBOX", nullptr, 0},
    {IDD_CURRENCIES, IDC_CURRENCIES_EDIT, "BUTTON", "&Edit", 0},
    {IDD_CURRENCIES, IDCANCEL, "BUTTON", "Close", 0},
    {IDD_EDIT_CURRENCY, IDC_EDIT_CURRENCY_NAME, "EDIT", nullptr, 0},
    {IDD_EDIT_CURRENCY, IDC_EDIT_CURRENCY_COUNTRY, "EDIT", nullptr, 0},
    {IDD_EDIT_CURRENCY, IDC_EDIT_CURRENCY_EC_MEMBER, "EDIT", nullptr, 0},
    {IDD_EDIT_CURRENCY, IDC_EDIT_CURRENCY_EXCHANGE_RATE, "EDIT", nullptr, 0},
    {IDD_EDIT_CURRENCY, IDC_EDIT_CURRENCY_EURO_RATE, "EDIT", nullptr, 0},
    {IDD_EDIT_CURRENCY, IDC_EDIT_CURRENCY_EXCHANGE_RATE_LABEL, "STATIC", "Ex. Rate", 0},
    {IDD_EDIT_CURRENCY, IDC_EDIT_CURRENCY_EURO_RATE_LABEL, "STATIC", "1 Euro =", 0},
    {IDD_EDIT_CURRENCY, IDC_EDIT_CURRENCY_RATES_GROUP, "BUTTON", "Rates", kGroup},
    {IDD_EDIT_CURRENCY, IDC_EDIT_CURRENCY_EURO_MEMBER, "BUTTON", "Euro &Member", kCheckBox},
    {IDD_EDIT_CURRENCY, IDC_OK, "BUTTON", "OK", 0},
    {IDD_EDIT_CURRENCY, IDCANCEL, "BUTTON", "Cancel", 0},
    // Tax codes.
    {IDD_TAX_CODES, IDC_TAX_CODES_GRID, "__03Grid__", nullptr, 0},
    {IDD_TAX_CODES, IDC_TAX_CODES_EDIT, "BUTTON", "&Edit", 0},
    {IDD_TAX_CODES, IDCANCEL, "BUTTON", "Close", 0},
    {IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_CODE, "EDIT", nullptr, kDisabled},
    {IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_RATE, "EDIT", nullptr, 0},
    {IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_IN_USE, "BUTTON", "Include in VAT return", kCheckBox},
    {IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_EC_CODE, "BUTTON", "EC Code", kCheckBox},
    {IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_EC_SALES, "BUTTON", "EC Sales", kFirstRadio},
    {IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_EC_PURCHASES, "BUTTON", "EC Purchases", kRadio},
    {IDD_EDIT_TAX_CODE, IDC_TAX_CODE_COMBO, "__03Combo__", nullptr, 0},
    {IDD_EDIT_TAX_CODE, IDC_OK, "BUTTON", "OK", 0},
    {IDD_EDIT_TAX_CODE, IDCANCEL, "BUTTON", "Cancel", 0},
    {IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_SETTINGS_GROUP, "BUTTON", "Settings", kGroup},
    {IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_EC_GROUP, "BUTTON", nullptr, kGroup},
    // Control accounts.
    {IDD_CONTROL_ACCOUNTS, IDC_CONTROL_ACCOUNTS_GRID, "__03Grid__", nullptr, 0},
    {IDD_CONTROL_ACCOUNTS, IDC_CONTROL_ACCOUNTS_OK, "BUTTON", "OK", 0},
    {IDD_CONTROL_ACCOUNTS, IDCANCEL, "BUTTON", "Cancel", 0},
    // Account status.
    {IDD_ACCOUNT_STATUS, IDC_ACCOUNT_STATUS_GRID, "__03Grid__", nullptr, 0},
    {IDD_ACCOUNT_STATUS, IDC_ACCOUNT_STATUS_EDIT, "BUTTON", "&Edit", 0},
    {IDD_ACCOUNT_STATUS, IDCANCEL, "BUTTON", "Close", 0},
    {IDD_EDIT_ACCOUNT_STATUS, IDC_EDIT_ACCOUNT_STATUS_DESCRIPTION, "EDIT", nullptr, 0},
    {IDD_EDIT_ACCOUNT_STATUS, IDC_EDIT_ACCOUNT_STATUS_ON_HOLD, "BUTTON",
     "Marks account as \"On Hold\"", kCheckBox},
    {IDD_EDIT_ACCOUNT_STATUS, IDOK, "BUTTON", "OK", 0},
    {IDD_EDIT_ACCOUNT_STATUS, IDCANCEL, "BUTTON", "Cancel", 0},
    // Finance charge rates.
    {IDD_FINANCE_RATES, IDC_FINANCE_RATES_CURRENT, "STATIC", nullptr, 0},
    {IDD_FINANCE_RATES, IDC_FINANCE_RATES_GRID, "__03Grid__", nullptr, 0},
    {IDD_FINANCE_RATES, IDC_FINANCE_RATES_ADD, "BUTTON", "&Add", 0},
    {IDD_FINANCE_RATES, IDC_FINANCE_RATES_EDIT, "BUTTON", "&Edit", 0},
    {IDD_FINANCE_RATES, IDC_FINANCE_RATES_DELETE, "BUTTON", "&Delete", 0},
    {IDD_FINANCE_RATES, IDCANCEL, "BUTTON", "Close", 0},
    {IDD_EDIT_FINANCE_RATE, IDC_EDIT_FINANCE_RATE_DATE, "__03Combo__", nullptr, 0},
    {IDD_EDIT_FINANCE_RATE, IDC_EDIT_FINANCE_RATE_BASE_RATE, "EDIT", nullptr, 0},
    {IDD_EDIT_FINANCE_RATE, IDC_EDIT_FINANCE_RATE_ADDITIONAL_RATE, "EDIT", nullptr, 0},
    {IDD_EDIT_FINANCE_RATE, IDC_OK, "BUTTON", "OK", 0},
    {IDD_EDIT_FINANCE_RATE, IDCANCEL, "BUTTON", "Cancel", 0},
};

TEST(CodesResources, NamedControls) {
  ExpectControls(kControls);
  // The second group box of Edit Tax Code carries a caption of blanks.
  const std::string blanks =
      Resources().dialog(IDD_EDIT_TAX_CODE)->item(IDC_EDIT_TAX_CODE_EC_GROUP)->text;
  EXPECT_FALSE(blanks.empty());
  EXPECT_EQ(blanks.find_first_not_of(' '), std::string::npos);
  // Product Categories' spare edit has no height and no entry.
  EXPECT_EQ(Resources().dialog(IDD_PRODUCT_CATEGORIES)->item(IDC_PRODUCT_CATEGORIES_SPARE)->cy, 0);
  EXPECT_EQ(Resources().centry(IDR_PRODUCT_CATEGORIES_CENTRY)->find(IDC_PRODUCT_CATEGORIES_SPARE),
            nullptr);
}

// Labels and group boxes that the dialogs name by caption only.
const std::pair<std::uint16_t, const char*> kLabels[] = {
    {IDD_EDIT_CURRENCY, "Currency"},
    {IDD_EDIT_CURRENCY, "Country"},
    {IDD_EDIT_CURRENCY, "EC Member"},
    {IDD_EDIT_CURRENCY, "Currency Details"},
    {IDD_EDIT_TAX_CODE, "Code"},
    {IDD_EDIT_TAX_CODE, "Rate"},
    {IDD_EDIT_TAX_CODE, "Link To:"},
    {IDD_EDIT_ACCOUNT_STATUS, "Description"},
    {IDD_EDIT_ACCOUNT_STATUS, "Enter description and status"},
    {IDD_EDIT_FINANCE_RATE, "Date Applying From"},
    {IDD_EDIT_FINANCE_RATE, "Base Rate %"},
    {IDD_EDIT_FINANCE_RATE, "Additional %"},
};

TEST(CodesResources, Labels) {
  for (auto [dialog, caption] : kLabels) {
    auto dlg = Resources().dialog(dialog);
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(std::any_of(dlg->items.begin(), dlg->items.end(),
                            [&](const DialogItem& i) { return i.text == caption; }))
        << dialog << " " << caption;
  }
  auto group = Resources().dialog(IDD_EDIT_ACCOUNT_STATUS);
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
    {IDR_PRODUCT_CATEGORIES_CENTRY, IDC_PRODUCT_CATEGORIES_EDIT, CT_BUTTON, CS_WINDOW, 0},
    {IDR_PRODUCT_CATEGORIES_CENTRY, IDCANCEL, CT_BUTTON, CS_WINDOW, 0},
    {IDR_DEPARTMENTS_CENTRY, IDC_DEPARTMENTS_EDIT, CT_BUTTON, CS_WINDOW, 0},
    {IDR_DEPARTMENTS_CENTRY, IDCANCEL, CT_BUTTON, CS_WINDOW, 0},
    {IDR_ASSET_CATEGORIES_CENTRY, IDC_ASSET_CATEGORIES_EDIT, CT_BUTTON, CS_WINDOW, 0},
    {IDR_ASSET_CATEGORIES_CENTRY, IDCANCEL, CT_BUTTON, CS_WINDOW, 0},
    {IDR_CURRENCIES_CENTRY, IDC_CURRENCIES_EDIT, CT_BUTTON, CS_WINDOW, 0},
    {IDR_CURRENCIES_CENTRY, IDCANCEL, CT_BUTTON, CS_WINDOW, 0},
    // Edit Currency: the currency record's texts and rates.
    {IDR_EDIT_CURRENCY_CENTRY, IDC_EDIT_CURRENCY_NAME, CT_TEXT, CS_OWN, 31},
    {IDR_EDIT_CURRENCY_CENTRY, IDC_EDIT_CURRENCY_COUNTRY, CT_TEXT, CS_OWN, 31},
    {IDR_EDIT_CURRENCY_CENTRY, IDC_EDIT_CURRENCY_EC_MEMBER, CT_TEXT, CS_OWN, 4},
    {IDR_EDIT_CURRENCY_CENTRY, IDC_EDIT_CURRENCY_EXCHANGE_RATE, CT_DECIMAL, CS_OWN, 11},
    {IDR_EDIT_CURRENCY_CENTRY, IDC_EDIT_CURRENCY_EURO_RATE, CT_DECIMAL, CS_OWN, 11},
    {IDR_EDIT_CURRENCY_CENTRY, IDC_EDIT_CURRENCY_EURO_MEMBER, CT_BUTTON, CS_WINDOW, 0},
    // Edit Tax Code.
    {IDR_EDIT_TAX_CODE_CENTRY, IDC_EDIT_TAX_CODE_CODE, CT_TEXT, CS_OWN, 4},
    {IDR_EDIT_TAX_CODE_CENTRY, IDC_EDIT_TAX_CODE_RATE, CT_DECIMAL, CS_OWN, 6},
    {IDR_EDIT_TAX_CODE_CENTRY, IDC_EDIT_TAX_CODE_IN_USE, CT_BUTTON, CS_WINDOW, 0},
    {IDR_EDIT_TAX_CODE_CENTRY, IDC_EDIT_TAX_CODE_EC_CODE, CT_BUTTON, CS_WINDOW, 0},
    {IDR_EDIT_TAX_CODE_CENTRY, IDC_EDIT_TAX_CODE_EC_SALES, CT_BUTTON, CS_WINDOW, 0},
    {IDR_EDIT_TAX_CODE_CENTRY, IDC_EDIT_TAX_CODE_EC_PURCHASES, CT_BUTTON, CS_WINDOW, 0},
    {IDR_EDIT_TAX_CODE_CENTRY, IDC_EDIT_TAX_CODE_SETTINGS_GROUP, CT_STATIC, CS_WINDOW, 0},
    {IDR_EDIT_TAX_CODE_CENTRY, IDC_EDIT_TAX_CODE_EC_GROUP, CT_STATIC, CS_WINDOW, 0},
    // Control Accounts (the hidden opening codes are checked below).
    {IDR_CONTROL_ACCOUNTS_CENTRY, IDC_CONTROL_ACCOUNTS_NOMINAL_WORK, CT_RECORD, CS_NONE, 651},
    {IDR_CONTROL_ACCOUNTS_CENTRY, IDC_CONTROL_ACCOUNTS_SPARE_RECORD, CT_RECORD, CS_NONE, 1146},
    {IDR_CONTROL_ACCOUNTS_CENTRY, IDC_CONTROL_ACCOUNTS_OK, CT_BUTTON, CS_WINDOW, 0},
    {IDR_CONTROL_ACCOUNTS_CENTRY, IDCANCEL, CT_BUTTON, CS_WINDOW, 0},
    // Edit Account Status: a text entry without a buffer.
    {IDR_EDIT_ACCOUNT_STATUS_CENTRY, IDC_EDIT_ACCOUNT_STATUS_DESCRIPTION, CT_TEXT, CS_WINDOW, 0},
    {IDR_EDIT_ACCOUNT_STATUS_CENTRY, IDC_EDIT_ACCOUNT_STATUS_ON_HOLD, CT_BUTTON, CS_WINDOW, 0},
    {IDR_EDIT_ACCOUNT_STATUS_CENTRY, IDOK, CT_BUTTON, CS_WINDOW, 0},
    {IDR_EDIT_ACCOUNT_STATUS_CENTRY, IDCANCEL, CT_BUTTON, CS_WINDOW, 0},
    // Set Finance Charge Rate.
    {IDR_EDIT_FINANCE_RATE_CENTRY, IDC_EDIT_FINANCE_RATE_RECORD, CT_RECNO, CS_HIDDEN, 4},
    {IDR_EDIT_FINANCE_RATE_CENTRY, IDC_EDIT_FINANCE_RATE_DATE, CT_DATE, CS_OWN, 11},
    {IDR_EDIT_FINANCE_RATE_CENTRY, IDC_EDIT_FINANCE_RATE_BASE_RATE, CT_DECIMAL, CS_OWN, 6},
    {IDR_EDIT_FINANCE_RATE_CENTRY, IDC_EDIT_FINANCE_RATE_ADDITIONAL_RATE, CT_DECIMAL, CS_OWN, 6},
    {IDR_EDIT_FINANCE_RATE_CENTRY, IDC_OK, CT_BUTTON, CS_WINDOW, 0},
    {IDR_EDIT_FINANCE_RATE_CENTRY, IDCANCEL, CT_BUTTON, CS_WINDOW, 0},
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
// where no handler addresses it; the No columns of the category lists carry
// one too), the size of a row record, and the style byte and editor class of
// the visible columns: 0x80 and "@EDIT" but for the N/C combo of the control
// accounts.
struct GridSpec {
  std::uint16_t grid;
  std::vector<std::uint16_t> ids;
  std::size_t rowBytes;
};

const GridSpec kGridSpecs[] = {
    {IDR_CURRENCY_TABLE_GRID,
     {0, IDC_CODE_NAME_COLUMN, IDC_CURRENCY_COUNTRY_COLUMN, IDC_CURRENCY_EC_COLUMN, 0, 0, 0},
     90},
    {IDR_PRODUCT_CATEGORIES_GRID, {IDC_CODE_NUMBER_COLUMN, IDC_CODE_NAME_COLUMN}, 35},
    {IDR_DEPARTMENTS_GRID, {IDC_CODE_NUMBER_COLUMN, IDC_CODE_NAME_COLUMN}, 33},
    {IDR_ASSET_CATEGORIES_GRID, {IDC_CODE_NUMBER_COLUMN, IDC_CODE_NAME_COLUMN}, 65},
    {IDR_CURRENCIES_GRID,
     {0, IDC_CODE_NAME_COLUMN, IDC_CURRENCY_COUNTRY_COLUMN, IDC_CURRENCY_EC_COLUMN, 0, 0, 0},
     90},
    {IDR_TAX_CODES_GRID,
     {IDC_TAX_CODE_COLUMN, IDC_TAX_RATE_COLUMN, IDC_TAX_IN_USE_COLUMN, IDC_TAX_EC_SALES_COLUMN,
      IDC_TAX_EC_PURCHASES_COLUMN, 0},
     16},
    {IDR_TAX_CODE_COMBO_GRID, {IDC_TAX_CODE_COLUMN}, 10},
    {IDR_CONTROL_ACCOUNTS_GRID,
     {IDC_CONTROL_ACCOUNTS_CAPTION_COLUMN, IDC_CONTROL_ACCOUNTS_CODE_COLUMN},
     70},
    {IDR_CURRENCY_COMBO_GRID, {0, IDC_CODE_NAME_COLUMN}, 35},
    {IDR_LEDGER_TAX_CODE_COMBO_GRID, {IDC_TAX_CODE_COLUMN}, 15},
    {IDR_FINANCE_RATES_GRID, {0, 0, 0, 0}, 31},
    {IDR_ACCOUNT_STATUS_GRID, {0, 0, 0, 0}, 67},
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
      const bool combo = g.grid == IDR_CONTROL_ACCOUNTS_GRID && i == 1;
      EXPECT_EQ(c.style, combo ? 0x81 : 0x80);
      if (!combo) EXPECT_EQ(c.editorClass, "@EDIT");
    }
  }
}

}  // namespace
