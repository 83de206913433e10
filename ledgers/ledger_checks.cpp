#include "ledger_checks.h"

#include "api/grid_messages.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_ledgers.h"
#include "frame/res/ids_strings.h"

namespace {

// Account codes are looked up padded with spaces to their field of 9 bytes.
constexpr UINT kCodeField = 9;
constexpr UINT kSearchNominal = 258;

constexpr UINT kMsgPageToFront = 1026;
constexpr UINT kInvoiceValueColumn = 1;
constexpr int kDiscountRows = 10;

// Where each ledger keeps its Ageing page.
struct AgeingLedger {
  UINT container;
  UINT page;
  WPARAM pageIndex;
};
constexpr AgeingLedger kCustomerAgeing{IDD_CUSTOMER_DEFAULTS, IDD_CUSTOMER_AGEING, 2};
constexpr AgeingLedger kSupplierAgeing{IDD_SUPPLIER_DEFAULTS, IDD_SUPPLIER_AGEING, 1};

// The container of a dialog family from any of its windows.
HWND containerOf(HWND window, UINT containerId) {
  return GetDEDialogID(window) == containerId ? window : GetDEDialogParent(window);
}

WORD* wordBuffer(HWND dialog, UINT id) {
  return static_cast<WORD*>(GetControlPtr(dialog, id, ENTRY_WORD));
}
WORD wordValue(HWND dialog, UINT id) {
  const WORD* value = wordBuffer(dialog, id);
  return value ? *value : 0;
}

// Periods around box `id` ascend (unsigned 16-bit); p holds P1..P4.
bool periodsAscend(UINT id, const WORD (&p)[4]) {
  switch (id) {
    case IDC_AGEING_PERIOD1_FROM:
      return p[0] < p[1];
    case IDC_AGEING_PERIOD2_FROM:
      return p[0] < p[1] && p[1] < p[2];
    case IDC_AGEING_PERIOD3_FROM:
      return p[1] < p[2] && p[2] < p[3];
    case IDC_AGEING_PERIOD4_FROM:
      return p[2] < p[3];
    default:
      return true;
  }
}

// The first row whose Invoice Value (other than 0) is below the last one
// before it; -1 when they ascend.
int firstDescendingRow(HWND discountPage) {
  double last = 0;
  for (int r = 0; r < kDiscountRows; ++r) {
    DiscountRow row{};
    DESendDlgItemGridMessage(discountPage, IDC_CUSTOMER_DISCOUNT_TABLE, GM_GETROW, 0, r,
                             reinterpret_cast<LPARAM>(&row));
    const double value = row.invoiceValue;
    if (value == 0) continue;
    if (value < last) return r;
    last = value;
  }
  return -1;
}

}  // namespace

UINT IsValidNominalCode(HWND, const char* code) {
  // 1. A padded copy of the code, 2. looked up, 3. stripped again.
  char buffer[kCodeField] = {};
  CopyCut(buffer, sizeof buffer, code, kCodeField - 1);
  FillUp(buffer, kCodeField);
  DWORD record = FlashFindAccount(glob().dataFiles, kSearchNominal, buffer, nullptr, 0);
  CleanUp(buffer);
  // 4. No code is no default, which is valid.
  if (buffer[0] == '\0') return 1;
  return record != 0 ? 1 : 0;
}

UINT UpdateAgeingPeriodEnds(HWND dialog, UINT id, UINT notify, HWND) {
  if (notify != EN_KILLFOCUS) return 1;
  if (id < IDC_AGEING_PERIOD2_FROM || id > IDC_AGEING_PERIOD4_FROM) return 1;
  const UINT to = IDC_AGEING_PERIOD1_TO + (id - IDC_AGEING_PERIOD2_FROM);
  if (WORD* end = wordBuffer(dialog, to)) {
    *end = static_cast<WORD>(wordValue(dialog, id) - 1);
    UpdateDEControl(dialog, to);
  }
  return 1;
}

UINT CheckAgeingPeriod(HWND dialog, UINT id, UINT, UINT, UINT ledger) {
  const AgeingLedger& where = ledger == kSupplierLedger ? kSupplierAgeing : kCustomerAgeing;
  HWND container = containerOf(dialog, where.container);
  WORD periods[4];
  for (UINT i = 0; i < 4; ++i) periods[i] = wordValue(container, IDC_AGEING_PERIOD1_FROM + i);
  if (periodsAscend(id, periods)) return 1;
  SendMessageA(container, kMsgPageToFront, where.pageIndex, 0);
  MsgBox(dialog, MSGBOX_WARNING, "%s",
         GetResourceString(IDS_MSG_INVALID_AGEING_PERIODS, g_hInstance));
  SetFocus(GetDlgItem(GetDEDialogChild(container, where.page), static_cast<int>(id)));
  return 0;
}

UINT CheckDiscountTable(HWND dialog) {
  HWND container = containerOf(dialog, IDD_CUSTOMER_DEFAULTS);
  HWND page = GetDEDialogChild(container, IDD_CUSTOMER_DISCOUNT);
  // 1. and 2.
  const int failing = firstDescendingRow(page);
  if (failing < 0) return 1;
  // 3. The failing row's Invoice Value, in sight.
  SendMessageA(container, kMsgPageToFront, 3, 0);
  MsgBox(dialog, MSGBOX_WARNING, "%s",
         GetResourceString(IDS_MSG_INVALID_DISCOUNT_TABLE, g_hInstance));
  HWND grid = GetDlgItem(page, IDC_CUSTOMER_DISCOUNT_TABLE);
  DESendGridMessage(grid, GM_SETCURRENTCOLUMN, 0, kInvoiceValueColumn, 0);
  DESendGridMessage(grid, GM_SETCURRENTROW, 0, failing, 0);
  SetFocus(grid);
  return 0;
}
