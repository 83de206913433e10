// Product Defaults: the container IDD_PRODUCT_DEFAULTS and its page
// IDD_PRODUCT_DETAILS.
//
// The page shows the product block of the setup record (nominal code, unit
// of sale, department, tax code, category) and the two decimal precisions
// kept beside it.  The unit of sale is bound into the container's record
// image; the other values are read from their controls.  The category list
// counts from 0, the record counts categories from 1.
//
// OK asks before it lowers a precision, units first.  The questions come
// before the store, so that no record lock is held while the person
// thinks: only once both are answered is the setup record read again
// (under its lock when the station locks records) and given just the
// values that the page shows, so that what another station stored
// meanwhile (the analysis labels, the call-charge rate) survives.  A
// refused question puts the record in memory back as the file holds it:
// the values already applied to it were never stored, and a Cancel that
// follows leaves nothing of the attempt behind.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_ledgers.h"
#include "frame/res/ids_strings.h"
#include "ledger_checks.h"
#include "ledger_pages.h"

namespace {

constexpr UINT kProductDefaultsAction = IDS_ACTION_PRODUCT_DEFAULTS;
// Engine message to the container: a field of a page is about to be focused.
constexpr UINT kPrepareFocus = 1025;
constexpr std::size_t kCodeField = 9;
constexpr int kMostDecimals = 6;
constexpr const char* kInvalidNominalCode = "Invalid or missing nominal code";

// The product block, bytes 861-884 of the setup record.
constexpr std::size_t kBlockStart = offsetof(setupmap, prodNominalCode);
constexpr std::size_t kBlockEnd = offsetof(setupmap, prodCategory) + sizeof(WORD);
static_assert(kBlockStart == 861 && kBlockEnd == 885);

// ---- Small helpers ---------------------------------------------------------------

datafilemap* actionFile() { return &glob().dataFiles[DF_ACTIONS]; }
datafilemap* setupFile() { return &glob().dataFiles[DF_SETUP]; }
const char* text(UINT id) { return GetResourceString(id, g_hInstance); }
HWND item(HWND dialog, UINT id) { return GetDlgItem(dialog, static_cast<int>(id)); }

HWND containerOf(HWND window) {
  return GetDEDialogID(window) == IDD_PRODUCT_DEFAULTS ? window : GetDEDialogParent(window);
}
HWND detailsOf(HWND container) { return GetDEDialogChild(container, IDD_PRODUCT_DETAILS); }

BYTE* bytesOf(setupmap& record) { return reinterpret_cast<BYTE*>(&record); }
const BYTE* bytesOf(const setupmap& record) { return reinterpret_cast<const BYTE*>(&record); }

// The container's setup record image, to which the unit of sale is bound.
BYTE* imageOf(HWND container) {
  return static_cast<BYTE*>(GetControlPtr(container, IDC_LEDGER_SETUP_IMAGE, 0));
}

void copyBlock(BYTE* to, const BYTE* from) {
  if (to && from) std::memcpy(to + kBlockStart, from + kBlockStart, kBlockEnd - kBlockStart);
}

char* nominalCodeBuffer(HWND page) {
  return static_cast<char*>(GetControlPtr(page, IDC_LEDGER_NOMINAL_CODE, ENTRY_TEXT));
}

LRESULT listMessage(HWND page, UINT list, UINT message, LPARAM lParam) {
  return DESendDlgItemGridMessage(page, list, message, 0, lParam, 0);
}

// ---- Init --------------------------------------------------------------------------

void fillPrecisionList(HWND page, UINT list, int selected) {
  for (int places = 0; places <= kMostDecimals; ++places) {
    char entry[4];
    std::snprintf(entry, sizeof entry, "%d", places);
    SendDlgItemMessageA(page, static_cast<int>(list), CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(entry));
  }
  SendDlgItemMessageA(page, static_cast<int>(list), CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void initContainer(HWND container) {
  globvar& g = glob();
  if (g.multiUser && !RequestAction(kProductDefaultsAction, 0, &g.access, actionFile(), 1)) {
    DestroyDEDialog(container, 0);
    return;
  }
  ReadSetup();
}

void initDetails(HWND page) {
  const setupmap& s = glob().setup;
  // 1. The lists; a stored category n is list position n - 1.
  listMessage(page, IDC_LEDGER_TAX_CODE, GM_SETCURRENTROW, s.prodTaxCode);
  listMessage(page, IDC_LEDGER_DEPARTMENT, GM_SETCURRENTROW, s.prodDepartment);
  listMessage(page, IDC_PRODUCT_CATEGORY, GM_SETCURRENTROW, s.prodCategory - 1);
  // 2.
  CopyToField(nominalCodeBuffer(page), kCodeField, s.prodNominalCode);
  // 3. List position n is n decimal places.
  fillPrecisionList(page, IDC_PRODUCT_QUANTITY_DECIMALS, s.prodQuantityDecimals);
  fillPrecisionList(page, IDC_PRODUCT_UNIT_DECIMALS, s.prodUnitDecimals);
  // 4. The block into the image, which shows the unit of sale.
  copyBlock(imageOf(containerOf(page)), bytesOf(s));
  // 5.
  UpdateDEDialog(page);
}

// ---- OK and Cancel -----------------------------------------------------------------

void endAction() {
  globvar& g = glob();
  if (g.multiUser) RequestActionEnd(kProductDefaultsAction, 0, &g.access, actionFile());
}

void refuseNominalCode(HWND container, HWND page) {
  MsgBox(container, MSGBOX_ERROR, "%s", kInvalidNominalCode);
  SendMessageA(container, kPrepareFocus, 0, 0);
  SetFocus(item(page, IDC_LEDGER_NOMINAL_CODE));
}

WORD selectionOf(HWND page, UINT list) {
  return static_cast<WORD>(listMessage(page, list, GM_CURRENTROW, 0));
}

std::int16_t decimalsOf(HWND page, UINT list) {
  return static_cast<std::int16_t>(
      SendDlgItemMessageA(page, static_cast<int>(list), CB_GETCURSEL, 0, 0));
}

// What the page shows, laid out as in the setup record: the product block
// and the two precisions; the rest of the record is not used.
setupmap shownValues(HWND container, HWND page) {
  setupmap shown{};
  // The block as the image holds it, the unit of sale as edited.
  copyBlock(bytesOf(shown), imageOf(container));
  // The lists; list position p is category p + 1.
  shown.prodDepartment = selectionOf(page, IDC_LEDGER_DEPARTMENT);
  shown.prodTaxCode = selectionOf(page, IDC_LEDGER_TAX_CODE);
  shown.prodCategory = static_cast<WORD>(selectionOf(page, IDC_PRODUCT_CATEGORY) + 1);
  CopyToField(shown.prodNominalCode, nominalCodeBuffer(page));
  // The precisions, units first.
  shown.prodUnitDecimals = decimalsOf(page, IDC_PRODUCT_UNIT_DECIMALS);
  shown.prodQuantityDecimals = decimalsOf(page, IDC_PRODUCT_QUANTITY_DECIMALS);
  return shown;
}

bool confirmed(HWND container, UINT question) {
  return MsgBox(container, MSGBOX_YESNO, "%s", text(question)) == IDYES;
}

// A refused question: nothing is stored, the record in memory goes back to
// what the file holds, and the person is at the list again.
void stopAt(HWND container, HWND page, UINT list) {
  ReadSetup();
  EnableWindow(container, TRUE);
  SetFocus(item(page, list));
}

// Each precision that goes down needs a Yes, units first; a precision that
// passes goes into the record in memory at once.
bool confirmPrecisions(HWND container, HWND page, const setupmap& shown) {
  setupmap& s = glob().setup;
  if (shown.prodUnitDecimals < s.prodUnitDecimals &&
      !confirmed(container, IDS_CONFIRM_LOWER_UNIT_DECIMALS)) {
    stopAt(container, page, IDC_PRODUCT_UNIT_DECIMALS);
    return false;
  }
  s.prodUnitDecimals = shown.prodUnitDecimals;
  if (shown.prodQuantityDecimals < s.prodQuantityDecimals &&
      !confirmed(container, IDS_CONFIRM_LOWER_QUANTITY_DECIMALS)) {
    stopAt(container, page, IDC_PRODUCT_QUANTITY_DECIMALS);
    return false;
  }
  s.prodQuantityDecimals = shown.prodQuantityDecimals;
  return true;
}

// The record as stored now, with the page's values and nothing else of this
// dialog, written back; under the record lock when the station locks
// records.
void storeShown(const setupmap& shown) {
  globvar& g = glob();
  FileOpen(setupFile(), 2, 32, 1);
  if (g.lockRecords) LockRec(setupFile(), 1);
  ReadSetup();
  copyBlock(bytesOf(g.setup), bytesOf(shown));
  g.setup.prodUnitDecimals = shown.prodUnitDecimals;
  g.setup.prodQuantityDecimals = shown.prodQuantityDecimals;
  WriteSetup();
  if (g.lockRecords) UnLockRec(setupFile(), 1);
  FileClose(setupFile());
}

void saveProductDefaults(HWND container) {
  HWND page = detailsOf(container);
  // 1. A blank code is no default; any other must name an account.
  if (!IsValidNominalCode(container, nominalCodeBuffer(page))) {
    refuseNominalCode(container, page);
    return;
  }
  // 2. Busy; the record as stored.
  EnableWindow(container, FALSE);
  ReadSetup();
  // 3.-5. The block, the lists and the nominal code.
  const setupmap shown = shownValues(container, page);
  copyBlock(bytesOf(glob().setup), bytesOf(shown));
  // 6. The precisions.
  if (!confirmPrecisions(container, page, shown)) return;
  // 7. Stored, and the other stations told.
  storeShown(shown);
  AnnounceSetupChanged();
  // 8.
  EnableWindow(container, TRUE);
  endAction();
  // 9.
  DestroyDEDialog(container, 0);
}

// Cancel reads nothing back: a refused question already did.
void cancelProductDefaults(HWND container) {
  endAction();
  DestroyDEDialog(container, 0);
}

}  // namespace

VX70_HANDLER(ProductDefaultsInit) {
  switch (GetDEDialogID(hwnd)) {
    case IDD_PRODUCT_DEFAULTS:
      initContainer(hwnd);
      break;
    case IDD_PRODUCT_DETAILS:
      initDetails(hwnd);
      break;
    default:
      break;
  }
  return 1;
}

VX70_HANDLER(ProductDefaultsCommand) {
  switch (id) {
    case IDCANCEL:
      cancelProductDefaults(containerOf(hwnd));
      return 0;
    case IDC_LEDGER_NOMINAL_CODE:
      return NominalCodeBoxCommand(hwnd, control, notify, true) ? 0 : 1;
    case IDOK:  // Enter
    case IDC_OK:
      saveProductDefaults(containerOf(hwnd));
      return 0;
    default:
      return 0;
  }
}
