// The module's string table: action names, month names, slot captions, INI
// defaults and keys, and the message texts that the handlers show.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>

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
    {1, "Disk Doctor"},
    {2, "Backup"},
    {3, "Restore"},
    {8, "Import"},
    {9, "Depreciation"},
    {10, "Prepayments"},
    {11, "Accruals"},
    {12, "Recurring Entries"},
    {13, "Update Ledgers"},
    {14, "Month End"},
    {15, "Year End"},
    {16, "Control Accounts"},
    {17, "delete Invoices"},
    {18, "delete Sales Orders"},
    {19, "delete Purchase Orders"},
    {20, "Bank Reconciliation"},
    {22, "Invoice"},
    {23, "Sales Order"},
    {24, "Purchase Order"},
    {25, "Company Preferences"},
    {26, "Sales Defaults"},
    {27, "Purchase Defaults"},
    {28, "Product Defaults"},
    {29, "Access Rights"},
    {30, "Financial Year"},
    {31, "Tax Codes"},
    {32, "Currencies"},
    {33, "Departments"},
    {34, "Product Categories"},
    {35, "Consolodation"},
    {36, "Chart of Accounts"},
    {38, "print Invoice"},
    {39, "print Sales Order"},
    {40, "print Purchase Order"},
    {41, "New Company"},
    {42, "Delete Company"},
    {43, "Global Changes"},
    {44, "delete records"},
    {45, "Clear Stock"},
    {46, "Clear Audit Trail"},
    {47, "Write Off"},
    {48, "Contra Entries"},
    {49, "Upgrade Program"},
    {50, "Upgrade Data"},
    {51, "Invoice Defaults"},
    {52, "Asset Categories"},
    {53, "Reporting"},
    {54, "Customer Receipts"},
    {55, "Purchase Payments"},
    {56, "Vat Return"},
    {57, "Torvik EIS"},
    {58, "External application"},
    {59, "Payroll"},
    {60, "Job Costing"},
    {61, "Contact Editing"},
    {62, "Todo List"},
    {63, "Finance charges"},
    {64, "Rates"},
    {65, "Batch payment"},
    {66, "Sales disputes"},
    {67, "Purchase disputes"},
};

// Action identifiers without a name; 69 is ended by the financial year
// dialog but requested elsewhere.
constexpr std::uint16_t kUnnamedActions[] = {5, 6, 7, 21, 37, 69};

// The month list of the financial year, January first (1009 + month).
constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

// Captions of the control account slots, slot i at 1028 + i.
constexpr const char* kControlSlots[] = {
    "Debtors Control",  "Creditors Control", "Default Bank",      "VAT on Sales",
    "VAT on Purchases", "Sales Discount",    "Purchase Discount", "Retained Earnings",
    "Default Sales",    "Accruals",          "Prepayments",       "Bad Debts",
    "Mispostings",      "Suspense",          "Credit Charges"};

// Additional discount types in list order; the stored type is the position
// (1054 + type).
constexpr const char* kDiscountTypes[] = {"No additional", "Invoice Value", "Qty Table A",
                                          "Qty Table B",   "Qty Table C",   "Qty Table D",
                                          "Qty Table E"};

// INI keys of the ledger colours, in the order of the colour buttons
// (1100 + button - 2292).
constexpr const char* kColourKeys[] = {"SalColor", "PurColor", "NomColor", "BankColor", "StkColor",
                                       "InvColor", "SopColor", "PopColor", "FinColor",  "FixColor"};

// INI section, keys and defaults, labels and property names.
constexpr Text kSettings[] = {
    {1003, "COM1"},
    {1004, "ATDT"},
    {1007, "CONTROL.EXE"},
    {1008, "QXFORM32.EXE /L QXBOOK32.DLL /R VexaOrbit7032v5"},
    {1118, "QXFORM32.EXE /L QXBOOK32.DLL /R Varnel2000"},
    {1021, "Debug"},
    {1022, "MR"},
    {1049, "VX70"},
    {1048, "Discount"},
    {1050, "Goods/Services"},
    {1051, "Credit"},
    {1053, "Payment"},
    {1061, "Services"},
    {1088, "Manager"},
    {1069, "Program directory"},
    {1070, "Data directory"},
    {1071, "Windows system"},
    {1072, "Windows directory"},
    {1074, "Free global heap"},
    {1081, "Temp drive"},
    {1082, "Dos version"},
    {1083, "Windows version"},
    {1085, "Screen Resolution"},
};

// Message texts, with their line breaks and format fields.
constexpr Text kMessages[] = {
    {4, "A valid date must be entered"},
    {1024, "Financial Year starts in %s %s\n\nIs this correct ?"},
    {1025, "Can't have duplicate Control Accounts."},
    {1026, "Account already has transactions and cannot be used as a control account"},
    {1027, "Control account is not a bank account"},
    {1046, "Control account should not be a bank account"},
    {1047,
     "This control account can not be changed as transactions have already been posted to it."},
    {1062,
     "Reducing the default decimal precision for units\ncould cause discrepancies between actual "
     "figures and stock transactions.\n\nAre you sure you wish to save this change ?"},
    {1063,
     "Reducing the default decimal precision for quantities\ncould cause discrepancies between "
     "actual figures and stock transactions.\n\nAre you sure you wish to save this change ?"},
    {1090, "You can not change your VAT Scheme whilst there are VAT unreconciled transactions"},
    {1091,
     "You have entered an invalid period range. Enter the lowest value first and the highest "
     "last. e.g. 30, 60, 90, 120"},
    {1092,
     "You have entered an invalid Discount range. Enter the lowest value first and the highest "
     "last."},
    {1096, "Warning: Any change you make to this check box,\nwill affect incomplete sales orders."},
    {1110, "There is currently no finance rate applying."},
    {1111,
     "The current rate applying is %.2f which is %.2f above the base rate of %.2f.\nThis rate "
     "has applied since %s."},
    {1112, "Are you sure you wish to delete this entry?"},
    {1114,
     "The date that you have entered is invalid.\n\nPlease enter a valid date before "
     "proceeding."},
    {1115, "A rate already exists for the date entered."},
    {1116, "The earliest date permitted for a finance rate is 01/11/1998"},
};

// The empty text that clears the nominal code boxes.
constexpr std::uint16_t kEmptyText = 1094;
// The message for a code that names no nominal account; its wording is ours.
constexpr std::uint16_t kUnknownNominalCode = 1045;

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

TEST(ResStrings, MonthsInOrder) { ExpectTexts("month", 1009, kMonths); }

TEST(ResStrings, ControlAccountSlots) { ExpectTexts("slot", 1028, kControlSlots); }

TEST(ResStrings, DiscountTypes) { ExpectTexts("discount type", 1054, kDiscountTypes); }

TEST(ResStrings, ColourKeys) { ExpectTexts("colour key", 1100, kColourKeys); }

TEST(ResStrings, Settings) { ExpectTexts("setting", kSettings); }

TEST(ResStrings, Messages) {
  ExpectTexts("message", kMessages);
  auto unknown = Resources().string(kUnknownNominalCode);
  ASSERT_TRUE(unknown.has_value());
  EXPECT_FALSE(unknown->empty());
}

TEST(ResStrings, EmptyTextIsPresent) {
  auto empty = Resources().string(kEmptyText);
  ASSERT_TRUE(empty.has_value()) << "1094 must be stored as an empty string, not left out";
  EXPECT_EQ(*empty, "");
}

// Every string of the table is one of those above.
TEST(ResStrings, NothingElse) {
  std::set<std::uint16_t> known{kEmptyText, kUnknownNominalCode};
  for (const auto& t : kActionNames) known.insert(t.id);
  for (const auto& t : kSettings) known.insert(t.id);
  for (const auto& t : kMessages) known.insert(t.id);
  for (std::uint16_t i = 0; i < 12; ++i) known.insert(static_cast<std::uint16_t>(1009 + i));
  for (std::uint16_t i = 0; i < 15; ++i) known.insert(static_cast<std::uint16_t>(1028 + i));
  for (std::uint16_t i = 0; i < 7; ++i) known.insert(static_cast<std::uint16_t>(1054 + i));
  for (std::uint16_t i = 0; i < 10; ++i) known.insert(static_cast<std::uint16_t>(1100 + i));
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
