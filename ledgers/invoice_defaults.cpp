// Invoice Defaults: the container IDD_INVOICE_DEFAULTS and its page
// IDD_INVOICE_DEFAULTS_PAGE.
//
// Six switches and the service default text, all in the setup record.
// Init runs the same steps for the container and for the page (only the
// container takes the action); both set the page's controls.  A blank
// stored text shows as "Services", and an empty box is stored as "Service
// Default Text", so that invoices never get a blank service line.
//
// The service text switch changes the record in memory as soon as it is
// clicked, and Cancel leaves that change there: the rest of the program
// reads the switch from memory.
//
// OK checks nothing and tells no other station.  It reads the setup record
// again (under its lock when the station locks records) and gives it only
// this dialog's fields, so that what another station stored meanwhile
// survives.  The customer department box of the entry edition is hidden
// but written all the same, with the value that Init gave it.
#include <cstddef>

#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_options.h"
#include "frame/res/ids_strings.h"

namespace {

constexpr UINT kInvoiceDefaultsAction = IDS_ACTION_INVOICE_DEFAULTS;
constexpr DWORD kEntryEdition = 16;
constexpr DWORD kEditionWithOrderWarning = 1;
constexpr const char* kServiceTextForEmptyBox = "Service Default Text";
constexpr std::size_t kServiceTextSize = sizeof(setupmap::invServiceText);

datafilemap* actionFile() { return &glob().dataFiles[DF_ACTIONS]; }
datafilemap* setupFile() { return &glob().dataFiles[DF_SETUP]; }
const char* text(UINT id) { return GetResourceString(id, g_hInstance); }
HWND item(HWND dialog, UINT id) { return GetDlgItem(dialog, static_cast<int>(id)); }

HWND containerOf(HWND window) {
  return GetDEDialogID(window) == IDD_INVOICE_DEFAULTS ? window : GetDEDialogParent(window);
}

bool isChecked(HWND page, UINT id) {
  return IsDlgButtonChecked(page, static_cast<int>(id)) == BST_CHECKED;
}
BYTE checkByte(HWND page, UINT id) { return isChecked(page, id) ? 1 : 0; }

// A zero field leaves the box as it is.
void checkWhenSet(HWND page, UINT id, BYTE field) {
  if (field) CheckDlgButton(page, static_cast<int>(id), BST_CHECKED);
}

char* serviceTextBuffer(HWND page) {
  return static_cast<char*>(GetControlPtr(page, IDC_INVOICE_SERVICE_TEXT, ENTRY_TEXT));
}

void enableServiceText(HWND page, bool enable) {
  EnableWindow(item(page, IDC_INVOICE_SERVICE_TEXT_LABEL), enable ? TRUE : FALSE);
  EnableWindow(item(page, IDC_INVOICE_SERVICE_TEXT), enable ? TRUE : FALSE);
}

// ---- Init --------------------------------------------------------------------------

bool takeAction(HWND container) {
  globvar& g = glob();
  if (!g.multiUser || RequestAction(kInvoiceDefaultsAction, 0, &g.access, actionFile(), 1))
    return true;
  DestroyDEDialog(container, 0);
  return false;
}

// The stored text trimmed in place (cut to its field first); a blank one
// shows as "Services".
void showServiceText(HWND page) {
  char* stored = glob().setup.invServiceText;
  stored[kServiceTextSize - 1] = '\0';
  CleanUp(stored);
  CopyToField(serviceTextBuffer(page), kServiceTextSize,
              stored[0] ? stored : text(IDS_DEFAULT_SERVICE_TEXT));
}

void showInvoiceDefaults(HWND page) {
  setupmap& s = glob().setup;
  // 3.
  checkWhenSet(page, IDC_INVOICE_ACCOUNT_REF, s.invAccountRefDefault);
  checkWhenSet(page, IDC_INVOICE_ITEMS_QUANTITY, s.invItemsQuantity);
  checkWhenSet(page, IDC_INVOICE_UPDATE_ORDER_NO, s.invUpdateOrderNo);
  // 4. The entry edition has no customer departments to update from.
  if (glob().edition == kEntryEdition) {
    HWND box = item(page, IDC_INVOICE_UPDATE_CUST_DEPT);
    EnableWindow(box, FALSE);
    ShowWindow(box, SW_HIDE);
  }
  // 5.
  checkWhenSet(page, IDC_INVOICE_DISCOUNT_UNIT_PRICE, s.invDiscountUnitPrice);
  // 6.
  showServiceText(page);
  // 7. The text only counts while its switch is on.
  const bool useText = s.invUseServiceText != 0;
  CheckDlgButton(page, IDC_INVOICE_USE_SERVICE_TEXT, useText ? BST_CHECKED : BST_UNCHECKED);
  enableServiceText(page, useText);
  // 8.
  checkWhenSet(page, IDC_INVOICE_UPDATE_CUST_DEPT, s.invUpdateCustDept);
  // 9.
  UpdateDEDialog(page);
}

// ---- Commands ----------------------------------------------------------------------

void warnAboutSalesOrders(HWND page) {
  if (glob().edition == kEditionWithOrderWarning)
    MsgBox(page, MSGBOX_WARNING, "%s", text(IDS_MSG_UNIT_PRICE_DISCOUNT_WARNING));
}

// The switch goes into the record in memory at once.
void followServiceTextSwitch(HWND page) {
  const bool on = isChecked(page, IDC_INVOICE_USE_SERVICE_TEXT);
  enableServiceText(page, on);
  glob().setup.invUseServiceText = on ? 1 : 0;
  if (on) UpdateDEControl(page, IDC_INVOICE_SERVICE_TEXT);
}

// The box trimmed; an empty box gives the fixed default.
void storeServiceText(const char* box) {
  char trimmed[kServiceTextSize] = {};
  CopyCut(trimmed, sizeof trimmed, box, kServiceTextSize - 1);
  CleanUp(trimmed);
  CopyToField(glob().setup.invServiceText, trimmed[0] ? trimmed : kServiceTextForEmptyBox);
}

void endInvoiceDefaults(HWND container) {
  globvar& g = glob();
  if (g.multiUser) RequestActionEnd(kInvoiceDefaultsAction, 0, &g.access, actionFile());
  DestroyDEDialog(container, 0);
}

void saveInvoiceDefaults(HWND container) {
  globvar& g = glob();
  setupmap& s = g.setup;
  HWND page = GetDEDialog(container, IDD_INVOICE_DEFAULTS_PAGE);
  // 1. Busy; the record as stored now, held while it is changed.
  EnableWindow(container, FALSE);
  FileOpen(setupFile(), 2, 32, 1);
  if (g.lockRecords) LockRec(setupFile(), 1);
  ReadSetup();
  // 2.
  s.invAccountRefDefault = checkByte(page, IDC_INVOICE_ACCOUNT_REF);
  s.invItemsQuantity = checkByte(page, IDC_INVOICE_ITEMS_QUANTITY);
  s.invUpdateOrderNo = checkByte(page, IDC_INVOICE_UPDATE_ORDER_NO);
  s.invDiscountUnitPrice = checkByte(page, IDC_INVOICE_DISCOUNT_UNIT_PRICE);
  // 3.
  const char* box = serviceTextBuffer(page);
  s.invUseServiceText =
      static_cast<BYTE>(IsDlgButtonChecked(page, static_cast<int>(IDC_INVOICE_USE_SERVICE_TEXT)));
  // 4.
  storeServiceText(box);
  // 5. Hidden in the entry edition, and written all the same.
  s.invUpdateCustDept = checkByte(page, IDC_INVOICE_UPDATE_CUST_DEPT);
  // 6. No other station is told.
  WriteSetup();
  if (g.lockRecords) UnLockRec(setupFile(), 1);
  FileClose(setupFile());
  EnableWindow(container, TRUE);
  // 7.
  endInvoiceDefaults(container);
}

}  // namespace

VX70_HANDLER(InvoiceDefaultsInit) {
  // 1. Only the container takes the action.
  if (GetDEDialogID(hwnd) == IDD_INVOICE_DEFAULTS && !takeAction(hwnd)) return 1;
  // 2.
  ReadSetup();
  // 3.-9. The page's controls, from either window.
  if (HWND page = GetDEDialog(hwnd, IDD_INVOICE_DEFAULTS_PAGE)) showInvoiceDefaults(page);
  return 1;
}

VX70_HANDLER(InvoiceDefaultsCommand) {
  switch (id) {
    case IDOK:
      saveInvoiceDefaults(containerOf(hwnd));
      break;
    case IDCANCEL:
      endInvoiceDefaults(containerOf(hwnd));
      break;
    case IDC_INVOICE_DISCOUNT_UNIT_PRICE:
      warnAboutSalesOrders(hwnd);
      break;
    case IDC_INVOICE_USE_SERVICE_TEXT:
      followServiceTextSwitch(hwnd);
      break;
    default:
      break;
  }
  return 0;
}
