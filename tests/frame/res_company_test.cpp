// The resources of the company settings dialogs: Company Preferences (3600)
// with its pages 3601 to 3603 and the unlisted Environment page 3604,
// Financial Year (3605), Change Program Date (3606), Change Password (3632)
// and Update Defaults (3633), and the month list GRID 1000.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "api/win32.h"
#include "frame/res/ids_company.h"
#include "tests/support/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::ControlSpec;
using vx70::test::ExpectControls;
using vx70::test::Resources;
using vx70::test::SameClass;
using enum vx70::test::ControlKind;

constexpr std::uint16_t kPages[] = {IDD_PREFS_ADDRESS, IDD_PREFS_LABELS, IDD_PREFS_PARAMETERS,
                                    IDD_PREFS_ENVIRONMENT};

bool Inside(const DialogItem& in, const DialogItem& out) {
  return in.x >= out.x && in.y >= out.y && in.x + in.cx <= out.x + out.cx &&
         in.y + in.cy <= out.y + out.cy;
}

bool IsGroupBox(const DialogItem& item) {
  return SameClass(item.className, "BUTTON") && (item.style & 0xF) == 0x7;
}

// The pages are drawn in the container's client area, left of its buttons.
TEST(CompanyResources, PagesLieLeftOfTheContainerButtons) {
  const auto container = Resources().dialog(IDD_COMPANY_PREFS);
  ASSERT_TRUE(container);
  for (std::uint16_t page : kPages) {
    SCOPED_TRACE(page);
    const auto dlg = Resources().dialog(page);
    ASSERT_TRUE(dlg);
    EXPECT_LE(dlg->cy, container->cy);
    for (const DialogItem& item : dlg->items)
      for (const DialogItem& button : container->items) EXPECT_LT(item.x + item.cx, button.x);
  }
}

TEST(CompanyResources, NamedControls) {
  const ControlSpec controls[] = {
      {IDD_COMPANY_PREFS, IDC_OK, "BUTTON", "OK", kDefaultButton},
      {IDD_COMPANY_PREFS, IDCANCEL, "BUTTON", "Cancel", kPushButton},
      // Address.
      {IDD_PREFS_ADDRESS, IDC_PREFS_COMPANY_NAME, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_NAME_CAPTION, "STATIC", "Name", 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_CAPTION1, "STATIC", "", 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_CAPTION2, "STATIC", "", 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_CAPTION3, "STATIC", "", 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_CAPTION4, "STATIC", "", 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_CAPTION5, "STATIC", "", 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_LINE1, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_LINE2, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_LINE3, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_LINE4, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_LINE5, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_ADDRESS_FRAME, "EDIT", nullptr, kDisabled},
      {IDD_PREFS_ADDRESS, IDC_PREFS_TELEPHONE, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_FAX, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_EMAIL, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_WEB_SITE, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_VAT_REG_NO, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_CREDIT_REF_NO, "EDIT", nullptr, 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_CREDIT_REF_CAPTION, "STATIC", "Credit Ref No", 0},
      {IDD_PREFS_ADDRESS, IDC_PREFS_PRINT_NAME, "BUTTON", "Print Name and Address on Stationery",
       kCheckBox},
      {IDD_PREFS_ADDRESS, IDC_PREFS_DETAILS_GROUP, "BUTTON", "&Company Details", kGroup},
      // Labels.
      {IDD_PREFS_LABELS, IDC_PREFS_ADDRESS_LABEL1, "EDIT", nullptr, 0},
      {IDD_PREFS_LABELS, IDC_PREFS_ADDRESS_LABEL2, "EDIT", nullptr, 0},
      {IDD_PREFS_LABELS, IDC_PREFS_ADDRESS_LABEL3, "EDIT", nullptr, 0},
      {IDD_PREFS_LABELS, IDC_PREFS_ADDRESS_LABEL4, "EDIT", nullptr, 0},
      {IDD_PREFS_LABELS, IDC_PREFS_ADDRESS_LABEL5, "EDIT", nullptr, 0},
      {IDD_PREFS_LABELS, IDC_PREFS_CUSTOMER_LABEL1, "EDIT", nullptr, 0},
      {IDD_PREFS_LABELS, IDC_PREFS_CUSTOMER_LABEL2, "EDIT", nullptr, 0},
      {IDD_PREFS_LABELS, IDC_PREFS_CUSTOMER_LABEL3, "EDIT", nullptr, 0},
      {IDD_PREFS_LABELS, IDC_PREFS_SUPPLIER_LABEL1, "EDIT", nullptr, 0},
      {IDD_PREFS_LABELS, IDC_PREFS_SUPPLIER_LABEL2, "EDIT", nullptr, 0},
      {IDD_PREFS_LABELS, IDC_PREFS_SUPPLIER_LABEL3, "EDIT", nullptr, 0},
      // Parameters.
      {IDD_PREFS_PARAMETERS, IDC_PREFS_END_BANNER, "BUTTON", "&Print End of Report Banner",
       kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_CHEQUE_LINES, "EDIT", nullptr, 0},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_CHEQUE_LINES_CAPTION, "STATIC", "Chq. lines per page", 0},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_ITEM_VAT, "BUTTON", "&Item VAT Amendable", kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_VAT_CASH, "BUTTON", "&VAT Cash Accounting", kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_NON_VATABLE_CODE, "__03Combo__", nullptr, 0},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_NON_VATABLE_CAPTION, "STATIC", "&Non-Vatable Tax Code", 0},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_ACCESS_RIGHTS, "BUTTON", "&Access Rights", kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_NO_VISA_WARNING, "BUTTON", "No &Warning on Visa receipts",
       kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_EXCLUDE_DELETED, "BUTTON", "&Exclude deleted transactions",
       kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_NO_RECURRING, "BUTTON", "No &Recurring entries at startup",
       kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_COPY_SKELETON, "BUTTON", "&Copy skeleton journal values",
       kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_ACCOUNT_STATUS, "BUTTON", "Display Accoun&t Status",
       kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_PPSR_BY_SPLIT, "BUTTON", "&List PP/SR by split.", kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_BANK_REC_GROUPING, "BUTTON", "&Group items in Bank Rec.",
       kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_NEGATIVE_STOCK, "BUTTON", "All&ow Negative Stock",
       kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_AGE_DISPUTES, "BUTTON", "Age disputes as current",
       kCheckBox | kHidden},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_WORKCLOCK, "BUTTON", "Wor&kclock Link", kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_CALL_CHARGE_RATE, "__03Combo__", nullptr, 0},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_CALL_CHARGE_CAPTION, "STATIC", "Defa&ult call charge rate",
       0},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_CALL_CHARGE_GROUP, "BUTTON", "Call Charges", kGroup},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_PRINTING_GROUP, "BUTTON", "Printing", kGroup},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_VAT_GROUP, "BUTTON", "VAT Defaults", kGroup},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_OTHERS_GROUP, "BUTTON", "Others", kGroup},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_HELP_GROUP, "BUTTON", "&Help", kGroup},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_TOOL_TIPS, "BUTTON", "Tool Tips", kCheckBox},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_BUBBLE_HELP, "BUTTON", "Vexa Bubble Help", kCheckBox},
      // Environment.
      {IDD_PREFS_ENVIRONMENT, IDC_PREFS_PORT, "EDIT", nullptr, 0},
      {IDD_PREFS_ENVIRONMENT, IDC_PREFS_MODEM, "EDIT", nullptr, 0},
      {IDD_PREFS_ENVIRONMENT, IDC_PREFS_DELAY, "EDIT", nullptr, 0},
      {IDD_PREFS_ENVIRONMENT, IDC_PREFS_F11, "EDIT", nullptr, 0},
      {IDD_PREFS_ENVIRONMENT, IDC_PREFS_F12, "EDIT", nullptr, 0},
      {IDD_PREFS_ENVIRONMENT, IDC_PREFS_CREDIT_SITE, "EDIT", nullptr, 0},
      // Financial Year.
      {IDD_FINANCIAL_YEAR, IDC_FY_INTRO, "STATIC",
       "Enter the date in which your financial year is to start. This date is set once "
       "transactions have been posted",
       0},
      {IDD_FINANCIAL_YEAR, IDC_FY_START_MONTH, "__03Combo__", nullptr, 0},
      {IDD_FINANCIAL_YEAR, IDC_FY_START_YEAR, "EDIT", nullptr, 0},
      {IDD_FINANCIAL_YEAR, IDOK, "BUTTON", "OK", kDefaultButton},
      {IDD_FINANCIAL_YEAR, IDCANCEL, "BUTTON", "Cancel", kPushButton},
      {IDD_FINANCIAL_YEAR, IDC_FY_CHANGE, "BUTTON", "Change...", kPushButton},
      // Change Program Date.
      {IDD_PROGRAM_DATE, IDC_PROGRAM_DATE_INTRO, "STATIC",
       "Enter a new date to be used as the default for transactions. This date can be "
       "changed at time of posting.",
       0},
      {IDD_PROGRAM_DATE, IDC_PROGRAM_DATE_FIELD, "__03Combo__", nullptr, 0},
      {IDD_PROGRAM_DATE, IDOK, "BUTTON", "OK", kDefaultButton},
      {IDD_PROGRAM_DATE, IDCANCEL, "BUTTON", "Cancel", kPushButton},
      // Change Password.
      {IDD_CHANGE_PASSWORD, IDC_PASSWORD_NAME_CAPTION, "STATIC", "Logon Name", 0},
      {IDD_CHANGE_PASSWORD, IDC_PASSWORD_LOGON_NAME, "EDIT", nullptr, kDisabled},
      {IDD_CHANGE_PASSWORD, IDC_PASSWORD_NEW_CAPTION, "STATIC", "New Password", 0},
      {IDD_CHANGE_PASSWORD, IDC_PASSWORD_NEW, "EDIT", nullptr, kPassword | kUpperCase},
      {IDD_CHANGE_PASSWORD, IDC_PASSWORD_CONFIRM_CAPTION, "STATIC", "Confirm New Password", 0},
      {IDD_CHANGE_PASSWORD, IDC_PASSWORD_CONFIRM, "EDIT", nullptr, kPassword | kUpperCase},
      {IDD_CHANGE_PASSWORD, IDC_PASSWORD_DISCARD, "BUTTON", "&Discard", kPushButton},
      {IDD_CHANGE_PASSWORD, IDC_OK, "BUTTON", "OK", kDefaultButton},
      {IDD_CHANGE_PASSWORD, IDCANCEL, "BUTTON", "Cancel", kPushButton},
      // Update Defaults.
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_NET_MESSAGES, "BUTTON", "Enable NETBIOS Messaging",
       kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_LEDGER_ON_ADD, "BUTTON", "Update on Add", kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_LEDGER_ON_MODIFY, "BUTTON", "Update on Modify", kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_LEDGER_ON_POSTING, "BUTTON", "Update on Posting", kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_LAZY_ON_ADD, "BUTTON", "Update on Add", kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_LAZY_ON_MODIFY, "BUTTON", "Update on Modify", kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_LAZY_ON_POSTING, "BUTTON", "Update on Posting", kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_BALANCE_ON_MODIFY, "BUTTON", "Update on Modify", kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_BALANCE_ON_POSTING, "BUTTON", "Update on Posting",
       kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_AGED_ON_MODIFY, "BUTTON", "Update on Modify", kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_AGED_ON_POSTING, "BUTTON", "Update on Posting", kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDC_UPDATE_ACTIVITIES_ON_POSTING, "BUTTON", "Update on Posting",
       kCheckBox},
      {IDD_UPDATE_DEFAULTS, IDOK, "BUTTON", "OK", kDefaultButton},
      {IDD_UPDATE_DEFAULTS, IDCANCEL, "BUTTON", "Cancel", kPushButton},
  };
  ExpectControls(controls);
}

// Captions of windows without an identifier of their own, and the windows
// that each group box (or the frame behind the address lines) holds.
TEST(CompanyResources, LabelsAndGroups) {
  struct Label {
    std::uint16_t dialog;
    const char* cls;
    const char* caption;
  };
  const Label labels[] = {
      {IDD_PREFS_ADDRESS, "STATIC", "Telephone"},
      {IDD_PREFS_ADDRESS, "STATIC", "Fax"},
      {IDD_PREFS_ADDRESS, "STATIC", "E-Mail"},
      {IDD_PREFS_ADDRESS, "STATIC", "WWW"},
      {IDD_PREFS_ADDRESS, "STATIC", "V.A.T Reg. No"},
      {IDD_PREFS_LABELS, "STATIC", "Address Line 1"},
      {IDD_PREFS_LABELS, "STATIC", "Address Line 2"},
      {IDD_PREFS_LABELS, "STATIC", "Address Line 3"},
      {IDD_PREFS_LABELS, "STATIC", "Address Line 4"},
      {IDD_PREFS_LABELS, "STATIC", "Address Line 5"},
      {IDD_PREFS_ENVIRONMENT, "STATIC", "Port"},
      {IDD_PREFS_ENVIRONMENT, "STATIC", "Modem"},
      {IDD_PREFS_ENVIRONMENT, "STATIC", "Delay"},
      {IDD_PREFS_ENVIRONMENT, "STATIC", "F11"},
      {IDD_PREFS_ENVIRONMENT, "STATIC", "F12"},
      {IDD_PREFS_ENVIRONMENT, "STATIC", "&Credit control WWW Site"},
      {IDD_FINANCIAL_YEAR, "STATIC", "Month"},
      {IDD_FINANCIAL_YEAR, "STATIC", "Year"},
      {IDD_PROGRAM_DATE, "STATIC", "Default Program Date:"},
  };
  for (const Label& l : labels) {
    SCOPED_TRACE(testing::Message() << l.dialog << " " << l.caption);
    const auto dlg = Resources().dialog(l.dialog);
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(std::any_of(dlg->items.begin(), dlg->items.end(), [&](const DialogItem& i) {
      return SameClass(i.className, l.cls) && i.text == l.caption;
    }));
  }

  struct Group {
    std::uint16_t dialog;
    std::uint16_t id;     // 0: found by its caption
    const char* caption;  // of a group box
    std::vector<std::uint16_t> holds;
  };
  const Group groups[] = {
      {IDD_PREFS_ADDRESS,
       IDC_PREFS_ADDRESS_FRAME,
       nullptr,
       {IDC_PREFS_ADDRESS_LINE1, IDC_PREFS_ADDRESS_LINE2, IDC_PREFS_ADDRESS_LINE3,
        IDC_PREFS_ADDRESS_LINE4, IDC_PREFS_ADDRESS_LINE5}},
      {IDD_PREFS_LABELS,
       0,
       "&Address Labels",
       {IDC_PREFS_ADDRESS_LABEL1, IDC_PREFS_ADDRESS_LABEL2, IDC_PREFS_ADDRESS_LABEL3,
        IDC_PREFS_ADDRESS_LABEL4, IDC_PREFS_ADDRESS_LABEL5}},
      {IDD_PREFS_LABELS,
       0,
       "&Customer Analysis Codes",
       {IDC_PREFS_CUSTOMER_LABEL1, IDC_PREFS_CUSTOMER_LABEL2, IDC_PREFS_CUSTOMER_LABEL3}},
      {IDD_PREFS_LABELS,
       0,
       "&Supplier Analysis Codes",
       {IDC_PREFS_SUPPLIER_LABEL1, IDC_PREFS_SUPPLIER_LABEL2, IDC_PREFS_SUPPLIER_LABEL3}},
      {IDD_PREFS_PARAMETERS,
       IDC_PREFS_OTHERS_GROUP,
       nullptr,
       {IDC_PREFS_ACCESS_RIGHTS, IDC_PREFS_NO_VISA_WARNING, IDC_PREFS_EXCLUDE_DELETED,
        IDC_PREFS_NO_RECURRING, IDC_PREFS_COPY_SKELETON, IDC_PREFS_ACCOUNT_STATUS,
        IDC_PREFS_PPSR_BY_SPLIT, IDC_PREFS_BANK_REC_GROUPING, IDC_PREFS_NEGATIVE_STOCK,
        IDC_PREFS_WORKCLOCK}},
      {IDD_PREFS_PARAMETERS,
       IDC_PREFS_CALL_CHARGE_GROUP,
       nullptr,
       {IDC_PREFS_CALL_CHARGE_CAPTION, IDC_PREFS_CALL_CHARGE_RATE}},
      {IDD_PREFS_PARAMETERS,
       IDC_PREFS_HELP_GROUP,
       nullptr,
       {IDC_PREFS_TOOL_TIPS, IDC_PREFS_BUBBLE_HELP}},
      {IDD_UPDATE_DEFAULTS, 0, "Updates", {IDC_UPDATE_NET_MESSAGES}},
      {IDD_UPDATE_DEFAULTS,
       0,
       "&Ledger Lists",
       {IDC_UPDATE_LEDGER_ON_ADD, IDC_UPDATE_LEDGER_ON_MODIFY, IDC_UPDATE_LEDGER_ON_POSTING}},
      {IDD_UPDATE_DEFAULTS,
       0,
       "La&zy Lists",
       {IDC_UPDATE_LAZY_ON_ADD, IDC_UPDATE_LAZY_ON_MODIFY, IDC_UPDATE_LAZY_ON_POSTING}},
      {IDD_UPDATE_DEFAULTS,
       0,
       "&Balance Lists",
       {IDC_UPDATE_BALANCE_ON_MODIFY, IDC_UPDATE_BALANCE_ON_POSTING}},
      {IDD_UPDATE_DEFAULTS,
       0,
       "A&ged Balance Lists",
       {IDC_UPDATE_AGED_ON_MODIFY, IDC_UPDATE_AGED_ON_POSTING}},
      {IDD_UPDATE_DEFAULTS, 0, "&Activities", {IDC_UPDATE_ACTIVITIES_ON_POSTING}},
  };
  for (const Group& g : groups) {
    SCOPED_TRACE(testing::Message()
                 << g.dialog << " " << g.id << " " << (g.caption ? g.caption : ""));
    const auto dlg = Resources().dialog(g.dialog);
    ASSERT_TRUE(dlg);
    const auto box = std::find_if(dlg->items.begin(), dlg->items.end(), [&](const DialogItem& i) {
      return g.id ? i.id == g.id : IsGroupBox(i) && i.text == g.caption;
    });
    ASSERT_NE(box, dlg->items.end());
    for (std::uint16_t id : g.holds) {
      const DialogItem* item = dlg->item(id);
      ASSERT_NE(item, nullptr) << id;
      EXPECT_TRUE(Inside(*item, *box)) << id;
    }
  }
}

TEST(CompanyResources, ValueEntries) {
  constexpr int kAny = -1;
  struct Entry {
    std::uint16_t centry, id, type, storage;
    int length;
  };
  const Entry entries[] = {
      // Company Preferences: its buttons, the page-window slots, and the
      // buffers of every page's controls.
      {IDR_PREFS_CENTRY, IDC_OK, 0x18, 17, 0},
      {IDR_PREFS_CENTRY, IDCANCEL, 0x18, 17, 0},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_SLOT, 0x20, 8, 8},
      {IDR_PREFS_CENTRY, IDC_PREFS_LABELS_SLOT, 0x20, 8, 8},
      {IDR_PREFS_CENTRY, IDC_PREFS_PARAMETERS_SLOT, 0x20, 8, 8},
      {IDR_PREFS_CENTRY, IDC_PREFS_SPARE_SLOT, 0x20, 8, 8},
      {IDR_PREFS_CENTRY, IDC_PREFS_COMPANY_NAME, 0x03, 4, 61},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_LINE1, 0x03, 4, 61},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_LINE2, 0x03, 4, 61},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_LINE3, 0x03, 4, 61},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_LINE4, 0x03, 4, 61},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_LINE5, 0x03, 4, 61},
      {IDR_PREFS_CENTRY, IDC_PREFS_TELEPHONE, 0x03, 4, 31},
      {IDR_PREFS_CENTRY, IDC_PREFS_FAX, 0x03, 4, 31},
      {IDR_PREFS_CENTRY, IDC_PREFS_EMAIL, 0x03, 4, 256},
      {IDR_PREFS_CENTRY, IDC_PREFS_WEB_SITE, 0x03, 4, 256},
      {IDR_PREFS_CENTRY, IDC_PREFS_VAT_REG_NO, 0x03, 4, 31},
      {IDR_PREFS_CENTRY, IDC_PREFS_CREDIT_REF_NO, 0x03, 4, 61},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_CAPTION1, 0x17, 1, 0},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_CAPTION2, 0x17, 1, 0},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_CAPTION3, 0x17, 1, 0},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_CAPTION4, 0x17, 1, 0},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_CAPTION5, 0x17, 1, 0},
      {IDR_PREFS_CENTRY, IDC_PREFS_PRINT_NAME, 0x18, 1, 0},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_LABEL1, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_LABEL2, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_LABEL3, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_LABEL4, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_ADDRESS_LABEL5, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_CUSTOMER_LABEL1, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_CUSTOMER_LABEL2, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_CUSTOMER_LABEL3, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_SUPPLIER_LABEL1, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_SUPPLIER_LABEL2, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_SUPPLIER_LABEL3, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_CHEQUE_LINES, 0x04, 4, kAny},
      {IDR_PREFS_CENTRY, IDC_PREFS_CALL_CHARGE_RATE, 0x01, 4, 12},
      {IDR_PREFS_CENTRY, IDC_PREFS_PORT, 0x03, 4, 145},
      {IDR_PREFS_CENTRY, IDC_PREFS_MODEM, 0x03, 4, 11},
      {IDR_PREFS_CENTRY, IDC_PREFS_DELAY, 0x04, 4, kAny},
      {IDR_PREFS_CENTRY, IDC_PREFS_F11, 0x03, 4, 51},
      {IDR_PREFS_CENTRY, IDC_PREFS_F12, 0x03, 4, 51},
      {IDR_PREFS_CENTRY, IDC_PREFS_CREDIT_SITE, 0x03, 4, 256},
      // Financial Year: the year (the month list is a grid-combo).
      {IDR_FINANCIAL_YEAR_CENTRY, IDC_FY_START_YEAR, 0x04, 4, 5},
      {IDR_FINANCIAL_YEAR_CENTRY, IDOK, 0x18, 1, 0},
      {IDR_FINANCIAL_YEAR_CENTRY, IDCANCEL, 0x18, 1, 0},
      {IDR_FINANCIAL_YEAR_CENTRY, IDC_FY_CHANGE, 0x18, 1, 0},
      // Change Program Date: the date text, a buffer of its own.
      {IDR_PROGRAM_DATE_CENTRY, IDC_PROGRAM_DATE_FIELD, 0x03, 8, 11},
      // Change Password.
      {IDR_CHANGE_PASSWORD_CENTRY, IDC_PASSWORD_NAME_CAPTION, 0x17, 1, 0},
      {IDR_CHANGE_PASSWORD_CENTRY, IDC_PASSWORD_LOGON_NAME, 0x03, 4, 33},
      {IDR_CHANGE_PASSWORD_CENTRY, IDC_PASSWORD_NEW, 0x03, 4, 11},
      {IDR_CHANGE_PASSWORD_CENTRY, IDC_PASSWORD_CONFIRM, 0x03, 4, 11},
      // Update Defaults: the NETBIOS switch and the eleven flags.
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_NET_MESSAGES, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_LEDGER_ON_ADD, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_LEDGER_ON_MODIFY, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_LEDGER_ON_POSTING, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_LAZY_ON_ADD, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_LAZY_ON_MODIFY, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_LAZY_ON_POSTING, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_BALANCE_ON_MODIFY, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_BALANCE_ON_POSTING, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_AGED_ON_MODIFY, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_AGED_ON_POSTING, 0x18, 1, 0},
      {IDR_UPDATE_DEFAULTS_CENTRY, IDC_UPDATE_ACTIVITIES_ON_POSTING, 0x18, 1, 0},
  };
  for (const Entry& want : entries) {
    SCOPED_TRACE(testing::Message() << want.centry << "/" << want.id);
    const auto list = Resources().centry(want.centry);
    ASSERT_TRUE(list);
    const CEntry* e = list->find(want.id);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->type, want.type);
    EXPECT_EQ(e->storage, want.storage);
    if (want.length != kAny) {
      EXPECT_EQ(e->length, want.length);
    }
    EXPECT_EQ(e->link1, 0);
    EXPECT_EQ(e->link2, 0);
    EXPECT_EQ(e->rowsNeeded, 0);
    EXPECT_EQ(e->startUp, 0);
  }

  // Every entry with a window names a control of its dialog; the
  // container's entries name controls of its own template or of a page.
  struct Owner {
    std::uint16_t centry;
    std::vector<std::uint16_t> dialogs;
  };
  const Owner owners[] = {
      {IDR_PREFS_CENTRY,
       {IDD_COMPANY_PREFS, IDD_PREFS_ADDRESS, IDD_PREFS_LABELS, IDD_PREFS_PARAMETERS,
        IDD_PREFS_ENVIRONMENT}},
      {IDR_PREFS_ADDRESS_CENTRY, {IDD_PREFS_ADDRESS}},
      {IDR_PREFS_LABELS_CENTRY, {IDD_PREFS_LABELS}},
      {IDR_PREFS_PARAMETERS_CENTRY, {IDD_PREFS_PARAMETERS}},
      {IDR_PREFS_ENVIRONMENT_CENTRY, {IDD_PREFS_ENVIRONMENT}},
      {IDR_FINANCIAL_YEAR_CENTRY, {IDD_FINANCIAL_YEAR}},
      {IDR_PROGRAM_DATE_CENTRY, {IDD_PROGRAM_DATE}},
      {IDR_CHANGE_PASSWORD_CENTRY, {IDD_CHANGE_PASSWORD}},
      {IDR_UPDATE_DEFAULTS_CENTRY, {IDD_UPDATE_DEFAULTS}},
  };
  for (const Owner& o : owners) {
    const auto list = Resources().centry(o.centry);
    ASSERT_TRUE(list);
    std::set<std::uint16_t> seen;
    for (const CEntry& e : list->entries) {
      SCOPED_TRACE(testing::Message() << o.centry << "/" << e.id);
      EXPECT_TRUE(seen.insert(e.id).second) << "twice";
      if (e.type == 0x20) continue;  // handler slots have no window
      EXPECT_TRUE(std::any_of(o.dialogs.begin(), o.dialogs.end(), [&](std::uint16_t d) {
        const auto dlg = Resources().dialog(d);
        return dlg && dlg->item(e.id) != nullptr;
      }));
    }
  }
}

// The pages of Company Preferences keep no buffers: their value controls
// link to the container's entries of the same identifiers.
TEST(CompanyResources, PagesLinkTheirValueControls) {
  struct Page {
    std::uint16_t centry;
    std::vector<std::uint16_t> values;
  };
  const Page pages[] = {
      {IDR_PREFS_ADDRESS_CENTRY,
       {IDC_PREFS_COMPANY_NAME, IDC_PREFS_ADDRESS_LINE1, IDC_PREFS_ADDRESS_LINE2,
        IDC_PREFS_ADDRESS_LINE3, IDC_PREFS_ADDRESS_LINE4, IDC_PREFS_ADDRESS_LINE5,
        IDC_PREFS_TELEPHONE, IDC_PREFS_FAX, IDC_PREFS_EMAIL, IDC_PREFS_WEB_SITE,
        IDC_PREFS_VAT_REG_NO, IDC_PREFS_CREDIT_REF_NO}},
      {IDR_PREFS_LABELS_CENTRY,
       {IDC_PREFS_ADDRESS_LABEL1, IDC_PREFS_ADDRESS_LABEL2, IDC_PREFS_ADDRESS_LABEL3,
        IDC_PREFS_ADDRESS_LABEL4, IDC_PREFS_ADDRESS_LABEL5, IDC_PREFS_CUSTOMER_LABEL1,
        IDC_PREFS_CUSTOMER_LABEL2, IDC_PREFS_CUSTOMER_LABEL3, IDC_PREFS_SUPPLIER_LABEL1,
        IDC_PREFS_SUPPLIER_LABEL2, IDC_PREFS_SUPPLIER_LABEL3}},
      {IDR_PREFS_PARAMETERS_CENTRY,
       {IDC_PREFS_CHEQUE_LINES, IDC_PREFS_NON_VATABLE_CODE, IDC_PREFS_CALL_CHARGE_RATE}},
      {IDR_PREFS_ENVIRONMENT_CENTRY,
       {IDC_PREFS_PORT, IDC_PREFS_MODEM, IDC_PREFS_DELAY, IDC_PREFS_F11, IDC_PREFS_F12,
        IDC_PREFS_CREDIT_SITE}},
  };
  for (const Page& p : pages) {
    const auto list = Resources().centry(p.centry);
    ASSERT_TRUE(list);
    for (std::uint16_t id : p.values) {
      SCOPED_TRACE(testing::Message() << p.centry << "/" << id);
      const CEntry* e = list->find(id);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(e->type, 0x1F);
    }
    for (const CEntry& e : list->entries) {
      SCOPED_TRACE(testing::Message() << p.centry << "/" << e.id);
      EXPECT_TRUE(e.storage == 0 || e.storage == 1);  // no buffer of the page's own
      EXPECT_EQ(e.length, 0);
    }
  }
}

// The month list: the columns' values beyond the GRID column summary.
TEST(CompanyResources, MonthGrid) {
  const auto grid = Resources().grid(IDR_MONTH_GRID);
  ASSERT_TRUE(grid);
  ASSERT_EQ(grid->columns.size(), 1u);
  const GridColumn& c = grid->columns[0];
  EXPECT_EQ(c.id, 0);
  EXPECT_EQ(c.style, 0x80);
  EXPECT_EQ(c.editorClass, "@EDIT");
  EXPECT_EQ(grid->rowBytes(), 11u);
}

}  // namespace
