// The module's string table: action names, month names, slot captions, INI
// defaults and keys, and the message texts that the handlers show.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "frame/res/ids_strings.h"
#include "tests/support/res_fixture.h"

namespace {

using vx70::test::Resources;

struct Text {
  std::uint16_t id;
  const char* text;
};

// Names of the multi-user actions, shown beside the requests in the user
// list; the dialogs of this module request 25-28, 30-34, 51, 52 and 64.
constexpr Text kActionNames[] = {
    {IDS_ACTION_DISK_DOCTOR, "Disk Doctor"},
    {IDS_ACTION_BACKUP, "Backup"},
    {IDS_ACTION_RESTORE, "Restore"},
    {IDS_ACTION_IMPORT, "Import"},
    {IDS_ACTION_DEPRECIATION, "Depreciation"},
    {IDS_ACTION_PREPAYMENTS, "Prepayments"},
    {IDS_ACTION_ACCRUALS, "Accruals"},
    {IDS_ACTION_RECURRING_ENTRIES, "Recurring Entries"},
    {IDS_ACTION_UPDATE_LEDGERS, "Update Ledgers"},
    {IDS_ACTION_MONTH_END, "Month End"},
    {IDS_ACTION_YEAR_END, "Year End"},
    {IDS_ACTION_CONTROL_ACCOUNTS, "Control Accounts"},
    {IDS_ACTION_DELETE_INVOICES, "delete Invoices"},
    {IDS_ACTION_DELETE_SALES_ORDERS, "delete Sales Orders"},
    {IDS_ACTION_DELETE_PURCHASE_ORDERS, "delete Purchase Orders"},
    {IDS_ACTION_BANK_RECONCILIATION, "Bank Reconciliation"},
    {IDS_ACTION_INVOICE, "Invoice"},
    {IDS_ACTION_SALES_ORDER, "Sales Order"},
    {IDS_ACTION_PURCHASE_ORDER, "Purchase Order"},
    {IDS_ACTION_COMPANY_PREFERENCES, "Company Preferences"},
    {IDS_ACTION_SALES_DEFAULTS, "Sales Defaults"},
    {IDS_ACTION_PURCHASE_DEFAULTS, "Purchase Defaults"},
    {IDS_ACTION_PRODUCT_DEFAULTS, "Product Defaults"},
    {IDS_ACTION_ACCESS_RIGHTS, "Access Rights"},
    {IDS_ACTION_FINANCIAL_YEAR, "Financial Year"},
    {IDS_ACTION_TAX_CODES, "Tax Codes"},
    {IDS_ACTION_CURRENCIES, "Currencies"},
    {IDS_ACTION_DEPARTMENTS, "Departments"},
    {IDS_ACTION_PRODUCT_CATEGORIES, "Product Categories"},
    {IDS_ACTION_CONSOLIDATION, "Consolodation"},
    {IDS_ACTION_CHART_OF_ACCOUNTS, "Chart of Accounts"},
    {IDS_ACTION_PRINT_INVOICE, "print Invoice"},
    {IDS_ACTION_PRINT_SALES_ORDER, "print Sales Order"},
    {IDS_ACTION_PRINT_PURCHASE_ORDER, "print Purchase Order"},
    {IDS_ACTION_NEW_COMPANY, "New Company"},
    {IDS_ACTION_DELETE_COMPANY, "Delete Company"},
    {IDS_ACTION_GLOBAL_CHANGES, "Global Changes"},
    {IDS_ACTION_DELETE_RECORDS, "delete records"},
    {IDS_ACTION_CLEAR_STOCK, "Clear Stock"},
    {IDS_ACTION_CLEAR_AUDIT_TRAIL, "Clear Audit Trail"},
    {IDS_ACTION_WRITE_OFF, "Write Off"},
    {IDS_ACTION_CONTRA_ENTRIES, "Contra Entries"},
    {IDS_ACTION_UPGRADE_PROGRAM, "Upgrade Program"},
    {IDS_ACTION_UPGRADE_DATA, "Upgrade Data"},
    {IDS_ACTION_INVOICE_DEFAULTS, "Invoice Defaults"},
    {IDS_ACTION_ASSET_CATEGORIES, "Asset Categories"},
    {IDS_ACTION_REPORTING, "Reporting"},
    {IDS_ACTION_CUSTOMER_RECEIPTS, "Customer Receipts"},
    {IDS_ACTION_PURCHASE_PAYMENTS, "Purchase Payments"},
    {IDS_ACTION_VAT_RETURN, "Vat Return"},
    {IDS_ACTION_TORVIK_EIS, "Torvik EIS"},
    {IDS_ACTION_EXTERNAL_APPLICATION, "External application"},
    {IDS_ACTION_PAYROLL, "Payroll"},
    {IDS_ACTION_JOB_COSTING, "Job Costing"},
    {IDS_ACTION_CONTACT_EDITING, "Contact Editing"},
    {IDS_ACTION_TODO_LIST, "Todo List"},
    {IDS_ACTION_FINANCE_CHARGES, "Finance charges"},
    {IDS_ACTION_RATES, "Rates"},
    {IDS_ACTION_BATCH_PAYMENT, "Batch payment"},
    {IDS_ACTION_SALES_DISPUTES, "Sales disputes"},
    {IDS_ACTION_PURCHASE_DISPUTES, "Purchase disputes"},
};

// Action identifiers without a name; 69 is ended by the financial year
// dialog but requested elsewhere.
constexpr std::uint16_t kUnnamedActions[] = {5, 6, 7, 21, 37, 69};

// The month list of the financial year, January first.
constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

// Captions of the control account slots, slot i at IDS_SLOT_DEBTORS_CONTROL + i.
constexpr const char* kControlSlots[] = {
    "Debtors Control",  "Creditors Control", "Default Bank",      "VAT on Sales",
    "VAT on Purchases", "Sales Discount",    "Purchase Discount", "Retained Earnings",
    "Default Sales",    "Accruals",          "Prepayments",       "Bad Debts",
    "Mispostings",      "Suspense",          "Credit Charges"};

// Additional discount types in list order; the stored type is the position
// (IDS_DISCOUNT_NONE + type).
constexpr const char* kDiscountTypes[] = {"No additional", "Invoice Value", "Qty Table A",
                                          "Qty Table B",   "Qty Table C",   "Qty Table D",
                                          "Qty Table E"};

// INI keys of the ledger colours, in the order of the colour buttons
// (IDS_COLOUR_KEY_CUSTOMERS + the button's place among them).
constexpr const char* kColourKeys[] = {"SalColor", "PurColor", "NomColor", "BankColor", "StkColor",
                                       "InvColor", "SopColor", "PopColor", "FinColor",  "FixColor"};

// INI section, keys and defaults, labels and property names.
constexpr Text kSettings[] = {
    {IDS_DEFAULT_MODEM_PORT, "COM1"},
    {IDS_DEFAULT_DIAL_COMMAND, "ATDT"},
    {IDS_DEFAULT_F11, "CONTROL.EXE"},
    {IDS_DEFAULT_F12, "QXFORM32.EXE /L QXBOOK32.DLL /R VexaOrbit7032v5"},
    {IDS_DEFAULT_F12_ENTRY, "QXFORM32.EXE /L QXBOOK32.DLL /R Varnel2000"},
    {IDS_DEBUG_KEY, "Debug"},
    {IDS_DEBUG_SECTION, "MR"},
    {IDS_INI_SECTION, "VX70"},
    {IDS_STATEMENT_DISCOUNT, "Discount"},
    {IDS_STATEMENT_INVOICE, "Goods/Services"},
    {IDS_STATEMENT_CREDIT, "Credit"},
    {IDS_STATEMENT_PAYMENT, "Payment"},
    {IDS_DEFAULT_SERVICE_TEXT, "Services"},
    {IDS_MANAGER_LOGON, "Manager"},
    {IDS_INFO_PROGRAM_DIRECTORY, "Program directory"},
    {IDS_INFO_DATA_DIRECTORY, "Data directory"},
    {IDS_INFO_WINDOWS_SYSTEM, "Windows system"},
    {IDS_INFO_WINDOWS_DIRECTORY, "Windows directory"},
    {IDS_INFO_FREE_GLOBAL_HEAP, "Free global heap"},
    {IDS_INFO_TEMP_DRIVE, "Temp drive"},
    {IDS_INFO_DOS_VERSION, "Dos version"},
    {IDS_INFO_WINDOWS_VERSION, "Windows version"},
    {IDS_INFO_SCREEN_RESOLUTION, "Screen Resolution"},
};

// Message texts, with their line breaks and format fields.
constexpr Text kMessages[] = {
    {IDS_MSG_INVALID_DATE, "A valid date must be entered"},
    {IDS_MSG_CONFIRM_YEAR_START, "Financial Year starts in %s %s\n\nIs this correct ?"},
    {IDS_MSG_DUPLICATE_CONTROL_ACCOUNTS, "Can't have duplicate Control Accounts."},
    {IDS_MSG_CONTROL_ACCOUNT_HAS_TRANSACTIONS,
     "Account already has transactions and cannot be used as a control account"},
    {IDS_MSG_CONTROL_ACCOUNT_NOT_BANK, "Control account is not a bank account"},
    {IDS_MSG_CONTROL_ACCOUNT_IS_BANK, "Control account should not be a bank account"},
    {IDS_MSG_CONTROL_ACCOUNT_POSTED,
     "This control account can not be changed as transactions have already been posted to it."},
    {IDS_CONFIRM_LOWER_UNIT_DECIMALS,
     "Reducing the default decimal precision for units\ncould cause discrepancies between actual "
     "figures and stock transactions.\n\nAre you sure you wish to save this change ?"},
    {IDS_CONFIRM_LOWER_QUANTITY_DECIMALS,
     "Reducing the default decimal precision for quantities\ncould cause discrepancies between "
     "actual figures and stock transactions.\n\nAre you sure you wish to save this change ?"},
    {IDS_MSG_VAT_SCHEME_UNRECONCILED,
     "You can not change your VAT Scheme whilst there are VAT unreconciled transactions"},
    {IDS_MSG_INVALID_AGEING_PERIODS,
     "You have entered an invalid period range. Enter the lowest value first and the highest "
     "last. e.g. 30, 60, 90, 120"},
    {IDS_MSG_INVALID_DISCOUNT_TABLE,
     "You have entered an invalid Discount range. Enter the lowest value first and the highest "
     "last."},
    {IDS_MSG_UNIT_PRICE_DISCOUNT_WARNING,
     "Warning: Any change you make to this check box,\nwill affect incomplete sales orders."},
    {IDS_MSG_NO_FINANCE_RATE, "There is currently no finance rate applying."},
    {IDS_MSG_CURRENT_FINANCE_RATE,
     "The current rate applying is %.2f which is %.2f above the base rate of %.2f.\nThis rate "
     "has applied since %s."},
    {IDS_MSG_CONFIRM_DELETE_ENTRY, "Are you sure you wish to delete this entry?"},
    {IDS_MSG_INVALID_DATE_ENTERED,
     "The date that you have entered is invalid.\n\nPlease enter a valid date before "
     "proceeding."},
    {IDS_MSG_FINANCE_RATE_EXISTS, "A rate already exists for the date entered."},
    {IDS_MSG_FINANCE_RATE_TOO_EARLY,
     "The earliest date permitted for a finance rate is 01/11/1998"},
};

// IDS_EMPTY clears the nominal code boxes; IDS_MSG_UNKNOWN_NOMINAL_CODE, for
// a code that names no nominal account, has wording of our own.

void ExpectTexts(const char* group, std::uint16_t first, const auto& texts) {
  std::uint16_t id = first;
  for (const char* text : texts) {
    SCOPED_TRACE(::testing::Message() << group << " " << id);
    EXPECT_EQ(Resources().string(id), std::optional<std::string>(text));
    ++id;
  }
}

void ExpectTexts(const char* group, const auto& texts) {
  for (const Text& t : texts) {
    SCOPED_TRACE(::testing::Message() << group << " " << t.id);
    EXPECT_EQ(Resources().string(t.id), std::optional<std::string>(t.text));
  }
}

TEST(ResStrings, ActionNames) {
  ExpectTexts("action", kActionNames);
  for (std::uint16_t id : kUnnamedActions) {
    EXPECT_EQ(Resources().string(id), std::nullopt) << "action " << id;
  }
}

TEST(ResStrings, MonthsInOrder) { ExpectTexts("month", IDS_MONTH_JANUARY, kMonths); }

TEST(ResStrings, ControlAccountSlots) {
  ExpectTexts("slot", IDS_SLOT_DEBTORS_CONTROL, kControlSlots);
}

TEST(ResStrings, DiscountTypes) { ExpectTexts("discount type", IDS_DISCOUNT_NONE, kDiscountTypes); }

TEST(ResStrings, ColourKeys) { ExpectTexts("colour key", IDS_COLOUR_KEY_CUSTOMERS, kColourKeys); }

TEST(ResStrings, Settings) { ExpectTexts("setting", kSettings); }

TEST(ResStrings, Messages) {
  ExpectTexts("message", kMessages);
  auto unknown = Resources().string(IDS_MSG_UNKNOWN_NOMINAL_CODE);
  ASSERT_TRUE(unknown.has_value());
  EXPECT_FALSE(unknown->empty());
}

TEST(ResStrings, EmptyTextIsPresent) {
  auto empty = Resources().string(IDS_EMPTY);
  ASSERT_TRUE(empty.has_value())
      << "the empty text must be stored as an empty string, not left out";
  EXPECT_EQ(*empty, "");
}

// Every string of the table is one of those above.
TEST(ResStrings, NothingElse) {
  std::set<std::uint16_t> known{IDS_EMPTY, IDS_MSG_UNKNOWN_NOMINAL_CODE};
  for (const auto& t : kActionNames) known.insert(t.id);
  for (const auto& t : kSettings) known.insert(t.id);
  for (const auto& t : kMessages) known.insert(t.id);
  for (std::uint16_t i = 0; i < 12; ++i)
    known.insert(static_cast<std::uint16_t>(IDS_MONTH_JANUARY + i));
  for (std::uint16_t i = 0; i < 15; ++i)
    known.insert(static_cast<std::uint16_t>(IDS_SLOT_DEBTORS_CONTROL + i));
  for (std::uint16_t i = 0; i < 7; ++i)
    known.insert(static_cast<std::uint16_t>(IDS_DISCOUNT_NONE + i));
  for (std::uint16_t i = 0; i < 10; ++i)
    known.insert(static_cast<std::uint16_t>(IDS_COLOUR_KEY_CUSTOMERS + i));
  EXPECT_EQ(known.size(), 149u);

  const auto& file = Resources().file();
  std::size_t present = 0;
  for (std::uint16_t block : file.ids(vx70::res::ResId{vx70::res::RT_STRING, {}})) {
    for (unsigned i = 0; i < 16; ++i) {
      auto id = static_cast<std::uint16_t>((block - 1) * 16 + i);
      if (!file.string(id)) continue;
      ++present;
      EXPECT_TRUE(known.count(id)) << "unexpected string " << id;
    }
  }
  EXPECT_EQ(present, known.size());
}

}  // namespace
