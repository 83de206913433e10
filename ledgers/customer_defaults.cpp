// Customer Defaults: the container IDD_CUSTOMER_DEFAULTS and its pages
// IDD_CUSTOMER_RECORD, _STATEMENTS, _AGEING and _DISCOUNT.
//
// What the sales ledger gives a new customer account: the customer block
// of the setup record, the four statement texts of the package INI and the
// ten-row invoice discount table.  One Init and one Command serve the
// family; the container holds every page's value buffers, among them the
// setup record image that the Record page's edits are bound to.  The
// dialog holds action 26 from opening to closing.
//
// OK copies back only the fields that the dialog shows, into the setup
// record as re-read just before the write (under its lock when the station
// locks records).  The customer block also holds the analysis labels and
// the call-charge rate, which belong to Company Preferences: what another
// station stored there meanwhile survives.  For the same reason an edition
// that hides the additional discount (4, 8, 16) or the account status (16)
// keeps those fields as stored, the discount table included.
//
// Opened with a page index (`initParam`), the dialog shows that page and
// marks the others as not chosen, so that the Record page's opening focus
// on the credit limit waits until the person turns to that page, and the
// discount table takes the focus.
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_ledgers.h"
#include "frame/res/ids_strings.h"
#include "ledger_checks.h"
#include "ledger_pages.h"

namespace {

constexpr UINT kSalesDefaultsAction = 26;

constexpr UINT kMsgPageToFront = 1026;
constexpr UINT kMsgPageNotChosen = 1031;
constexpr WPARAM kPageCount = 4;

constexpr DWORD kEditionsWithoutDiscounts = 4 | 8 | 16;
constexpr int kDiscountRows = 10;
constexpr UINT kCellValueType = 12;  // asked of the grid; it answers in the column's type
constexpr double kHighestCellRate = 99.99;

constexpr const char* kDiscountRange = "Discount must be between 0 and 99.99.";
constexpr const char* kCellRateRange = "Value must be within the range 0 - 99.99";

// The customer block of the setup record.
constexpr std::size_t kBlockFirst = 435;
constexpr std::size_t kBlockEnd = 737;

// A statement text: its INI key, its box and its default.
struct StatementText {
  const char* key;
  UINT box;
  UINT defaultText;
};
constexpr StatementText kStatementTexts[] = {
    {"InvText", IDC_STATEMENT_INVOICE_TEXT, IDS_STATEMENT_INVOICE},
    {"CrdText", IDC_STATEMENT_CREDIT_TEXT, IDS_STATEMENT_CREDIT},
    {"DiscText", IDC_STATEMENT_DISCOUNT_TEXT, IDS_STATEMENT_DISCOUNT},
    {"PayText", IDC_STATEMENT_PAYMENT_TEXT, IDS_STATEMENT_PAYMENT},
};
constexpr DWORD kStatementRead = 60;  // at most 59 characters come back
constexpr std::size_t kStatementBuffer = 61;

constexpr UINT kDiscountTypes[] = {IDS_DISCOUNT_NONE,        IDS_DISCOUNT_INVOICE_VALUE,
                                   IDS_DISCOUNT_QTY_TABLE_A, IDS_DISCOUNT_QTY_TABLE_B,
                                   IDS_DISCOUNT_QTY_TABLE_C, IDS_DISCOUNT_QTY_TABLE_D,
                                   IDS_DISCOUNT_QTY_TABLE_E};

bool hasDiscounts() { return (glob().edition & kEditionsWithoutDiscounts) == 0; }

HWND containerOf(HWND window) { return ContainerOf(window, IDD_CUSTOMER_DEFAULTS); }

const char* iniSection() { return GetResourceString2(IDS_INI_SECTION, g_hInstance); }

char* textBuffer(HWND dialog, UINT id) {
  return static_cast<char*>(GetControlPtr(dialog, id, ENTRY_TEXT));
}

LRESULT tableMessage(HWND discountPage, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                     LPARAM fifth = 0) {
  return DESendDlgItemGridMessage(discountPage, IDC_CUSTOMER_DISCOUNT_TABLE, message, wParam,
                                  lParam, fifth);
}

// ---- Init of the container and the pages ---------------------------------------------

void initContainer(HWND container, UINT initParam) {
  // 1. One station at a time edits the sales defaults.
  if (!RequestLedgerAction(kSalesDefaultsAction)) {
    DestroyDEDialog(container, 0);
    return;
  }
  // 2.
  ReadSetup();
  // 3. Opened on a page: the others are not chosen, and the discount
  // table takes the focus.
  if (initParam > 0) {
    SendMessageA(container, kMsgPageToFront, initParam, 0);
    for (WPARAM i = 0; i < kPageCount; ++i)
      if (i != initParam) SendMessageA(container, kMsgPageNotChosen, i, 1);
    PostMessageA(container, WM_COMMAND, IDC_CUSTOMER_FOCUS_DISCOUNT_TABLE, 0);
  }
  // 4.
  UpdateDEDialog(container);
}

void fillDiscountTypes(HWND record) {
  HWND list = ItemOf(record, IDC_CUSTOMER_DISCOUNT_TYPE);
  for (UINT type : kDiscountTypes)
    SendMessageA(list, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(GetResourceString(type, g_hInstance)));
  SendMessageA(list, CB_SETCURSEL, glob().setup.custDiscountType, 0);
}

void initRecordPage(HWND record) {
  const setupmap& s = glob().setup;
  // 1. No additional discount in the smaller editions.
  if (!hasDiscounts()) {
    ShowWindow(ItemOf(record, IDC_CUSTOMER_DISCOUNT_GROUP), SW_HIDE);
    for (UINT id : {IDC_CUSTOMER_DISCOUNT_RATE, IDC_CUSTOMER_DISCOUNT_TYPE,
                    IDC_CUSTOMER_DISCOUNT_RATE_LABEL, IDC_CUSTOMER_DISCOUNT_TYPE_LABEL})
      RemoveControl(record, id);
  }
  // 2. No account status in the entry edition.
  if (!HasAccountStatus()) RemoveAccountStatus(record);
  // 3.
  SelectListItem(record, IDC_LEDGER_DEPARTMENT, s.custDepartment);
  SelectListItem(record, IDC_LEDGER_CURRENCY, s.custCurrency);
  SelectListItem(record, IDC_LEDGER_TAX_CODE, s.custTaxCode);
  // 4.
  fillDiscountTypes(record);
  // 5.
  ShowNominalCode(record, s.custNominalCode);
  // 6. The edits bound into the image show the block.
  CopySetupToImage(containerOf(record), kBlockFirst, kBlockEnd);
  UpdateDEDialog(record);
  // 7.
  ShowAccountStatus(record, s.custAccountStatus);
  // 8. The credit limit takes the focus once the page is up.
  PostMessageA(record, WM_COMMAND, IDC_CUSTOMER_FOCUS_CREDIT_LIMIT, 0);
  // 9.
  UpdateDEDialog(record);
}

void initStatementsPage(HWND statements) {
  for (const StatementText& t : kStatementTexts) {
    char text[kStatementRead] = {};
    GetPrivateProfileStringA(iniSection(), t.key, GetResourceString(t.defaultText, g_hInstance),
                             text, sizeof text, GetINI());
    CopyToField(textBuffer(statements, t.box), kStatementBuffer, text);
  }
  UpdateDEDialog(statements);
}

void initAgeingPage(HWND ageing) {
  const setupmap& s = glob().setup;
  AgeingSettings settings{};
  std::memcpy(settings.periods, s.custAgeingPeriods, sizeof settings.periods);
  settings.calendarMonths = s.custCalendarAgeing;
  settings.futureTotals = s.custFutureTotals;
  ShowAgeing(ageing, settings);
  UpdateDEDialog(ageing);
}

void initDiscountPage(HWND discount) {
  const setupmap& s = glob().setup;
  if (!hasDiscounts()) {
    EnableWindow(discount, FALSE);
    ShowWindow(discount, SW_HIDE);
  } else {
    tableMessage(discount, GM_CLEAR);
    // The label is the string used as a format: it takes the row's
    // number only if the string is changed to ask for it.
    const char* label = GetResourceString(IDS_STATEMENT_DISCOUNT, g_hInstance);
    for (int r = 0; r < kDiscountRows; ++r) {
      DiscountRow row{};
      std::snprintf(row.label, sizeof row.label, label, r + 1);
      row.invoiceValue = s.custDiscountValues[r];
      row.rate = s.custDiscountRates[r];
      tableMessage(discount, GM_ADDROW, 0, reinterpret_cast<LPARAM>(&row));
    }
  }
  UpdateDEDialog(discount);
}

// ---- Commands -------------------------------------------------------------------------

// A Discount % cell above 99.99 once rounded goes back to 0.
bool refuseCellRate(HWND grid) {
  if (DESendGridMessage(grid, GM_CURRENTCOLUMNID, 0, -1, 0) != IDC_DISCOUNT_TABLE_RATE_COLUMN)
    return false;
  const auto* value = static_cast<const double*>(
      CtrlGRIDValue(grid, IDC_DISCOUNT_TABLE_RATE_COLUMN, -1, kCellValueType));
  if (!value || Round(*value, 2) <= kHighestCellRate) return false;
  const double zero = 0;
  SetGRIDValue(grid, IDC_DISCOUNT_TABLE_RATE_COLUMN, -1, &zero);
  MsgBox(grid, MSGBOX_WARNING, "%s", kCellRateRange);
  return true;
}

void focusDiscountTable(HWND container) {
  SetFocus(ItemOf(GetDEDialogChild(container, IDD_CUSTOMER_DISCOUNT), IDC_CUSTOMER_DISCOUNT_TABLE));
  InvalidateRect(0, nullptr, TRUE);
}

void cancel(HWND container) {
  EndLedgerAction(kSalesDefaultsAction);
  DestroyDEDialog(container, 0);
  // What the dialog changed in memory is thrown away.
  ReadSetup();
}

bool checksPass(HWND container) {
  return CheckDiscountTable(container) && AgeingPeriodsAccepted(container, kCustomerLedger) &&
         NominalCodeAccepted(container, GetDEDialogChild(container, IDD_CUSTOMER_RECORD));
}

// A text is written only when the INI does not hold it already (a
// missing key counts as different), so that an OK that leaves the texts
// as they were does not rewrite the station's INI file four times.
void writeStatementTexts(HWND container) {
  // Longer than any text a box holds: a missing key never matches.
  static const std::string kMissing(kStatementBuffer, 'x');
  for (const StatementText& t : kStatementTexts) {
    const char* text = textBuffer(container, t.box);
    if (!text) continue;
    char stored[kStatementBuffer + 1] = {};
    GetPrivateProfileStringA(iniSection(), t.key, kMissing.c_str(), stored, sizeof stored,
                             GetINI());
    if (std::strcmp(stored, text) != 0)
      WritePrivateProfileStringA(iniSection(), t.key, text, GetINI());
  }
}

// The Record page's edits, from the image they are bound to.
void storeBoundFields(HWND container) {
  setupmap& s = glob().setup;
  const setupmap* image = SetupImage(container);
  if (!image) return;
  CopyToField(s.custTerms, image->custTerms);
  s.custCreditLimit = image->custCreditLimit;
  s.custSettlementDiscount = image->custSettlementDiscount;
  if (hasDiscounts()) s.custDiscountRate = image->custDiscountRate;
  s.custSettlementDays = image->custSettlementDays;
  s.custPaymentDays = image->custPaymentDays;
}

void storeDiscountTable(HWND discount) {
  setupmap& s = glob().setup;
  for (int r = 0; r < kDiscountRows; ++r) {
    DiscountRow row{};
    if (tableMessage(discount, GM_GETROW, 0, r, reinterpret_cast<LPARAM>(&row)) == -1) continue;
    s.custDiscountValues[r] = row.invoiceValue;
    s.custDiscountRates[r] = row.rate;
  }
}

void save(HWND container) {
  setupmap& s = glob().setup;
  HWND record = GetDEDialogChild(container, IDD_CUSTOMER_RECORD);
  // 1. Busy while the record is stored.
  EnableWindow(container, FALSE);
  // 2. The record as stored now: see the file's head.
  RereadSetupForChange();
  // 3.
  if (HasAccountStatus()) s.custAccountStatus = AccountStatusSelection(record);
  // 4.
  writeStatementTexts(container);
  // 5.
  storeBoundFields(container);
  // 6. and 7.
  const AgeingSettings ageing = AgeingOnPage(GetDEDialogChild(container, IDD_CUSTOMER_AGEING));
  s.custCalendarAgeing = ageing.calendarMonths;
  s.custFutureTotals = ageing.futureTotals;
  std::memcpy(s.custAgeingPeriods, ageing.periods, sizeof ageing.periods);
  // 8.
  s.custDepartment = static_cast<WORD>(ListSelection(record, IDC_LEDGER_DEPARTMENT));
  s.custTaxCode = static_cast<WORD>(ListSelection(record, IDC_LEDGER_TAX_CODE));
  s.custCurrency = static_cast<BYTE>(ListSelection(record, IDC_LEDGER_CURRENCY));
  // 9.
  CopyToField(s.custNominalCode, NominalCodeBuffer(container));
  if (hasDiscounts()) {
    // 10.
    storeDiscountTable(GetDEDialogChild(container, IDD_CUSTOMER_DISCOUNT));
    // 11.
    s.custDiscountType = static_cast<BYTE>(
        SendDlgItemMessageA(record, IDC_CUSTOMER_DISCOUNT_TYPE, CB_GETCURSEL, 0, 0));
  }
  // 12. and 13.
  StoreSetupChange();
  // 14.
  EnableWindow(container, TRUE);
  // 15.
  EndLedgerAction(kSalesDefaultsAction);
  // 16.
  DestroyDEDialog(container, 0);
}

}  // namespace

VX70_HANDLER(CustomerDefaultsInit) {
  switch (GetDEDialogID(hwnd)) {
    case IDD_CUSTOMER_DEFAULTS:
      initContainer(hwnd, initParam);
      break;
    case IDD_CUSTOMER_RECORD:
      initRecordPage(hwnd);
      break;
    case IDD_CUSTOMER_STATEMENTS:
      initStatementsPage(hwnd);
      break;
    case IDD_CUSTOMER_AGEING:
      initAgeingPage(hwnd);
      break;
    case IDD_CUSTOMER_DISCOUNT:
      initDiscountPage(hwnd);
      break;
    default:
      break;
  }
  return 1;
}

VX70_HANDLER(CustomerDefaultsCommand) {
  switch (id) {
    case IDCANCEL:
      cancel(containerOf(hwnd));
      break;
    case IDC_AGEING_CALENDAR_MONTHS:
      FollowCalendarAgeing(hwnd);
      break;
    case IDC_CUSTOMER_DISCOUNT_RATE:
    case IDC_LEDGER_SETTLEMENT_DISCOUNT:
      return RefuseWholeDiscount(hwnd, id, kDiscountRange) ? 1 : 0;
    case IDC_CUSTOMER_DISCOUNT_TABLE:
      return notify == GN_CELLDONE && refuseCellRate(control) ? 1 : 0;
    case IDC_CUSTOMER_FOCUS_DISCOUNT_TABLE:
      focusDiscountTable(containerOf(hwnd));
      break;
    case IDC_CUSTOMER_FOCUS_CREDIT_LIMIT:
      SetFocus(ItemOf(hwnd, IDC_LEDGER_CREDIT_LIMIT));
      break;
    case IDC_AGEING_PERIOD1_FROM:
    case IDC_AGEING_PERIOD2_FROM:
    case IDC_AGEING_PERIOD3_FROM:
    case IDC_AGEING_PERIOD4_FROM:
      UpdateAgeingPeriodEnds(hwnd, id, notify, control);
      break;
    case IDC_LEDGER_NOMINAL_CODE:
      NominalCodeBoxCommand(hwnd, control, notify, false);
      break;
    case IDC_OK:
      if (checksPass(containerOf(hwnd))) save(containerOf(hwnd));
      break;
    default:
      break;
  }
  return 0;
}
