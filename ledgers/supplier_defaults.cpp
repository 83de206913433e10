// Supplier Defaults: the container IDD_SUPPLIER_DEFAULTS and its pages
// IDD_SUPPLIER_RECORD and IDD_SUPPLIER_AGEING.
//
// What the purchase ledger gives a new supplier account: the supplier
// block of the setup record.  The purchase-side twin of Customer Defaults,
// without discounts or statement texts; the two share the pages' helpers
// (ledger_pages.h) and checks (ledger_checks.h).  The dialog holds action
// 27 from opening to closing.
//
// OK copies back only the fields that the dialog shows, into the setup
// record as re-read just before the write (under its lock when the station
// locks records): the supplier analysis labels in the same block belong to
// Company Preferences, and what another station stored there meanwhile
// survives.  The entry edition, which hides the account status, keeps it
// as stored.  Nothing of the customer block is touched.
#include <cstring>

#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_ledgers.h"
#include "ledger_checks.h"
#include "ledger_pages.h"

namespace {

constexpr UINT kPurchaseDefaultsAction = 27;
constexpr const char* kDiscountRange = "Discount must be between 0 and 99.99";

// The supplier block of the setup record.
constexpr std::size_t kBlockFirst = 737;
constexpr std::size_t kBlockEnd = 861;

HWND containerOf(HWND window) { return ContainerOf(window, IDD_SUPPLIER_DEFAULTS); }

// ---- Init of the container and the pages ---------------------------------------------

void initContainer(HWND container) {
  // 1. One station at a time edits the purchase defaults.
  if (!RequestLedgerAction(kPurchaseDefaultsAction)) {
    DestroyDEDialog(container, 0);
    return;
  }
  // 2.
  ReadSetup();
  UpdateDEDialog(container);
}

void initRecordPage(HWND record) {
  const setupmap& s = glob().setup;
  // 1. No account status in the entry edition.
  if (!HasAccountStatus()) RemoveAccountStatus(record);
  // 2.
  SelectListItem(record, IDC_LEDGER_DEPARTMENT, s.suppDepartment);
  SelectListItem(record, IDC_LEDGER_CURRENCY, s.suppCurrency);
  SelectListItem(record, IDC_LEDGER_TAX_CODE, s.suppTaxCode);
  // 3.
  ShowNominalCode(record, s.suppNominalCode);
  // 4.
  ShowAccountStatus(record, s.suppAccountStatus);
  // 5. The edits bound into the image show the block.
  CopySetupToImage(containerOf(record), kBlockFirst, kBlockEnd);
  // 6.
  UpdateDEDialog(record);
}

void initAgeingPage(HWND ageing) {
  const setupmap& s = glob().setup;
  AgeingSettings settings{};
  std::memcpy(settings.periods, s.suppAgeingPeriods, sizeof settings.periods);
  settings.calendarMonths = s.suppCalendarAgeing;
  settings.futureTotals = s.suppFutureTotals;
  ShowAgeing(ageing, settings);
  UpdateDEDialog(ageing);
}

// ---- Commands -------------------------------------------------------------------------

void cancel(HWND container) {
  EndLedgerAction(kPurchaseDefaultsAction);
  DestroyDEDialog(container, 0);
  // What the dialog changed in memory is thrown away.
  ReadSetup();
}

bool checksPass(HWND container) {
  return AgeingPeriodsAccepted(container, kSupplierLedger) &&
         NominalCodeAccepted(container, GetDEDialogChild(container, IDD_SUPPLIER_RECORD));
}

// The Record page's edits, from the image they are bound to.
void storeBoundFields(HWND container) {
  setupmap& s = glob().setup;
  const setupmap* image = SetupImage(container);
  if (!image) return;
  CopyToField(s.suppTerms, image->suppTerms);
  s.suppCreditLimit = image->suppCreditLimit;
  s.suppSettlementDiscount = image->suppSettlementDiscount;
  s.suppSettlementDays = image->suppSettlementDays;
  s.suppPaymentDays = image->suppPaymentDays;
}

void save(HWND container) {
  setupmap& s = glob().setup;
  HWND record = GetDEDialogChild(container, IDD_SUPPLIER_RECORD);
  // 1. Busy while the record is stored; the record as stored now (see the
  // file's head).
  EnableWindow(container, FALSE);
  RereadSetupForChange();
  // 2.
  storeBoundFields(container);
  // 3.
  if (HasAccountStatus()) s.suppAccountStatus = AccountStatusSelection(record);
  // 4. and 5.
  const AgeingSettings ageing = AgeingOnPage(GetDEDialogChild(container, IDD_SUPPLIER_AGEING));
  s.suppCalendarAgeing = ageing.calendarMonths;
  s.suppFutureTotals = ageing.futureTotals;
  std::memcpy(s.suppAgeingPeriods, ageing.periods, sizeof ageing.periods);
  // 6.
  s.suppDepartment = static_cast<WORD>(ListSelection(record, IDC_LEDGER_DEPARTMENT));
  s.suppTaxCode = static_cast<WORD>(ListSelection(record, IDC_LEDGER_TAX_CODE));
  s.suppCurrency = static_cast<BYTE>(ListSelection(record, IDC_LEDGER_CURRENCY));
  // 7.
  CopyToField(s.suppNominalCode, NominalCodeBuffer(container));
  // 8.
  StoreSetupChange();
  // 9.
  EnableWindow(container, TRUE);
  EndLedgerAction(kPurchaseDefaultsAction);
  // 10.
  DestroyDEDialog(container, 0);
}

}  // namespace

VX70_HANDLER(SupplierDefaultsInit) {
  switch (GetDEDialogID(hwnd)) {
    case IDD_SUPPLIER_DEFAULTS:
      initContainer(hwnd);
      break;
    case IDD_SUPPLIER_RECORD:
      initRecordPage(hwnd);
      break;
    case IDD_SUPPLIER_AGEING:
      initAgeingPage(hwnd);
      break;
    default:
      break;
  }
  return 1;
}

VX70_HANDLER(SupplierDefaultsCommand) {
  switch (id) {
    case IDCANCEL:
      cancel(containerOf(hwnd));
      break;
    case IDC_AGEING_CALENDAR_MONTHS:
      FollowCalendarAgeing(hwnd);
      break;
    case IDC_AGEING_PERIOD1_FROM:
    case IDC_AGEING_PERIOD2_FROM:
    case IDC_AGEING_PERIOD3_FROM:
    case IDC_AGEING_PERIOD4_FROM:
      UpdateAgeingPeriodEnds(hwnd, id, notify, control);
      break;
    case IDC_LEDGER_NOMINAL_CODE:
      // The finder cancelled answers 1.
      return NominalCodeBoxCommand(hwnd, control, notify, true) ? 0 : 1;
    case IDC_LEDGER_SETTLEMENT_DISCOUNT:
      return RefuseWholeDiscount(hwnd, id, kDiscountRange) ? 1 : 0;
    case IDC_OK:
      if (checksPass(containerOf(hwnd))) save(containerOf(hwnd));
      break;
    default:
      break;
  }
  return 0;
}
