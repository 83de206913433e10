// Tax Codes (3619), Edit Tax Code (3620) and the tax code combo.
//
// The hundred VAT codes T0-T99 live in the control record.  The list shows
// them all; its edit dialog changes one code's rate, its VAT-return and EC
// flags and the code an EC purchases code links to, and stores only that
// entry into a freshly read control record, so that what other stations
// changed meanwhile survives.
#include <cstdio>
#include <cstring>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_codes.h"

namespace {

constexpr UINT kActionTaxCodes = 31;
constexpr int kTaxCodeCount = 100;

#pragma pack(push, 1)
// One row of the list (GRID 1006).
struct TaxRow {
  char code[4];
  double rate;
  char inUse;
  char ecSale;
  char ecPurchase;
  char unused;
};
#pragma pack(pop)
static_assert(sizeof(TaxRow) == 16);

datafilemap* controlFile() { return &glob().dataFiles[DF_CONTROL]; }
datafilemap* actionFile() { return &glob().dataFiles[DF_ACTIONS]; }

char yesNo(bool on) { return on ? 'Y' : 'N'; }
BYTE flagOf(char yn) { return yn == 'Y' ? 1 : 0; }
bool ticked(HWND dialog, UINT id) { return IsDlgButtonChecked(dialog, static_cast<int>(id)) != 0; }
void tick(HWND dialog, UINT id, bool on) { CheckDlgButton(dialog, static_cast<int>(id), on); }
void enable(HWND dialog, UINT id, bool on) {
  EnableWindow(GetDlgItem(dialog, static_cast<int>(id)), on);
}

TaxRow rowOf(int code, const taxcodemap& entry) {
  TaxRow row{};
  std::snprintf(row.code, sizeof row.code, "T%d", code);
  row.rate = entry.rate;
  row.inUse = yesNo(entry.inUse != 0);
  row.ecSale = yesNo(entry.ecSales != 0);
  row.ecPurchase = yesNo(entry.ecPurchases != 0);
  return row;
}

LRESULT listGrid(HWND list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, LPARAM fifth = 0) {
  return DESendDlgItemGridMessage(list, IDC_TAX_CODES_GRID, message, wParam, lParam, fifth);
}

// The edit dialog works on its parent list's current row.
HWND listOf(HWND edit) { return GetDEDialogParent(edit); }
int currentListRow(HWND edit) { return static_cast<int>(listGrid(listOf(edit), GM_CURRENTROW)); }

TaxRow readCurrentRow(HWND edit) {
  TaxRow row{};
  listGrid(listOf(edit), GM_GETROW, 0, currentListRow(edit), reinterpret_cast<LPARAM>(&row));
  return row;
}

void repaintListGrid(HWND edit) {
  HWND grid = GetDlgItem(listOf(edit), IDC_TAX_CODES_GRID);
  InvalidateRect(grid, nullptr, TRUE);
  UpdateWindow(grid);
}

LRESULT linkCombo(HWND edit, UINT message, LPARAM lParam = 0) {
  return DESendDlgItemGridMessage(edit, IDC_TAX_CODE_COMBO, message, 0, lParam, 0);
}

double* rateBuffer(HWND edit) {
  return static_cast<double*>(GetControlPtr(edit, IDC_EDIT_TAX_CODE_RATE, ENTRY_DECIMAL));
}
char* codeBuffer(HWND edit) {
  return static_cast<char*>(GetControlPtr(edit, IDC_EDIT_TAX_CODE_CODE, ENTRY_TEXT));
}

void setRate(HWND edit, double rate) {
  if (double* buffer = rateBuffer(edit)) *buffer = rate;
  UpdateDEControl(edit, IDC_EDIT_TAX_CODE_RATE);
}

// ---- Saving ------------------------------------------------------------------

// The row as the dialog now shows it.
TaxRow rowFromDialog(HWND edit) {
  TaxRow row{};
  if (const char* code = codeBuffer(edit)) std::memcpy(row.code, code, strnlen(code, 3));
  if (const double* rate = rateBuffer(edit)) row.rate = *rate;
  row.inUse = yesNo(ticked(edit, IDC_EDIT_TAX_CODE_IN_USE));
  row.ecSale = yesNo(ticked(edit, IDC_EDIT_TAX_CODE_EC_SALES));
  row.ecPurchase = yesNo(ticked(edit, IDC_EDIT_TAX_CODE_EC_PURCHASES));
  return row;
}

void applyRow(taxcodemap& entry, const TaxRow& row, std::int8_t link) {
  entry.rate = row.rate;
  entry.link = link;
  entry.inUse = flagOf(row.inUse);
  entry.ecSales = flagOf(row.ecSale);
  entry.ecPurchases = flagOf(row.ecPurchase);
}

// Steps 3 to 5 of a save: the entry goes into a freshly read control
// record under the record lock.  A failed read stores nothing.
void storeEntry(int code, const TaxRow& row, std::int8_t link) {
  datafilemap* file = controlFile();
  bool locking = glob().lockRecords != 0;
  FileOpen(file, 2, 32, 1);
  if (locking) LockRec(file, 1);
  bool read = ReadRec(file, 1, &glob().control) != 0;
  // A row outside the table (no current row) names no entry to change.
  if (read && code >= 0 && code < kTaxCodeCount) {
    applyRow(glob().control.taxCode[code], row, link);
    WriteRec(file, 1, &glob().control);
  }
  if (locking) UnLockRec(file, 1);
  FileClose(file);
}

void saveTaxCode(HWND edit) {
  // 1. The row's number, as the code's index.
  EnableWindow(edit, FALSE);
  auto code = static_cast<std::int8_t>(currentListRow(edit));
  // 2. The list shows the edited row at once.
  TaxRow row = rowFromDialog(edit);
  listGrid(listOf(edit), GM_SETROW, 0, code, reinterpret_cast<LPARAM>(&row));
  repaintListGrid(edit);
  // 3-4. The control record.
  auto link = static_cast<std::int8_t>(linkCombo(edit, GM_CURRENTROW) & 0xFF);
  storeEntry(code, row, link);
  // 5. Everyone else refreshes; the editor closes.
  AnnounceControlChanged();
  EnableWindow(edit, TRUE);
  DestroyDEDialog(edit, 0);
}

// ---- Edit Tax Code's boxes -----------------------------------------------------

// "EC Code" makes an EC sales code of zero rate; unticked, the rate is the
// user's again.  The link waits for "EC Purchases" either way.
void ecCodeClicked(HWND edit) {
  bool ec = ticked(edit, IDC_EDIT_TAX_CODE_EC_CODE);
  enable(edit, IDC_EDIT_TAX_CODE_EC_SALES, ec);
  enable(edit, IDC_EDIT_TAX_CODE_EC_PURCHASES, ec);
  if (ec) {
    tick(edit, IDC_EDIT_TAX_CODE_EC_SALES, true);
    tick(edit, IDC_EDIT_TAX_CODE_EC_PURCHASES, false);
    setRate(edit, 0.0);
    enable(edit, IDC_EDIT_TAX_CODE_RATE, false);
  } else {
    tick(edit, IDC_EDIT_TAX_CODE_EC_SALES, false);
    tick(edit, IDC_EDIT_TAX_CODE_EC_PURCHASES, false);
    enable(edit, IDC_EDIT_TAX_CODE_RATE, true);
  }
  enable(edit, IDC_TAX_CODE_COMBO, false);
}

void showFlags(HWND edit, const TaxRow& row) {
  tick(edit, IDC_EDIT_TAX_CODE_IN_USE, row.inUse == 'Y');
  if (row.ecSale == 'Y') {
    tick(edit, IDC_EDIT_TAX_CODE_EC_CODE, true);
    tick(edit, IDC_EDIT_TAX_CODE_EC_SALES, true);
  }
  if (row.ecPurchase == 'Y') {
    tick(edit, IDC_EDIT_TAX_CODE_EC_PURCHASES, true);
    tick(edit, IDC_EDIT_TAX_CODE_EC_CODE, true);
  }
}

// The link combo shows the stored link of an EC code and row 0 otherwise.
void showLink(HWND edit, int code) {
  if (!ticked(edit, IDC_EDIT_TAX_CODE_EC_CODE)) {
    enable(edit, IDC_EDIT_TAX_CODE_EC_SALES, false);
    enable(edit, IDC_EDIT_TAX_CODE_EC_PURCHASES, false);
    enable(edit, IDC_TAX_CODE_COMBO, false);
    linkCombo(edit, GM_SETCURRENTROW, 0);
    return;
  }
  std::int8_t link = code >= 0 && code < kTaxCodeCount ? glob().control.taxCode[code].link : 0;
  linkCombo(edit, GM_SETCURRENTROW, link);
  if (ticked(edit, IDC_EDIT_TAX_CODE_EC_SALES)) enable(edit, IDC_TAX_CODE_COMBO, false);
}

}  // namespace

VX70_HANDLER(TaxCodesInit) {
  // 1. One editor of the table at a time.
  if (g_lpGlobVar->multiUser &&
      !RequestAction(kActionTaxCodes, 0, &glob().access, actionFile(), 1)) {
    DestroyDEDialog(hwnd, 0);
    return 1;
  }
  // 2-3. Every code, whatever its flags.
  ReadControl();
  for (int code = 0; code < kTaxCodeCount; ++code) {
    TaxRow row = rowOf(code, glob().control.taxCode[code]);
    listGrid(hwnd, GM_ADDROW, 0, reinterpret_cast<LPARAM>(&row));
  }
  // 4.
  listGrid(hwnd, GM_SETCURRENTROW, 0, 0);
  return 1;
}

VX70_HANDLER(TaxCodesCommand) {
  if (id == IDC_TAX_CODES_EDIT || (id == IDC_TAX_CODES_GRID && notify == GN_ACTIVATE)) {
    CreateDEDialog(hwnd, VX70DEF_MODULE, IDD_EDIT_TAX_CODE, 0);
    return 1;
  }
  if (id == IDOK || id == IDCANCEL) {
    if (g_lpGlobVar->multiUser) RequestActionEnd(kActionTaxCodes, 0, &glob().access, actionFile());
    DestroyDEDialog(hwnd, 0);
  }
  return 0;
}

VX70_HANDLER(EditTaxCodeInit) {
  // 1.
  int code = currentListRow(hwnd);
  TaxRow row = readCurrentRow(hwnd);
  // 2.
  if (char* buffer = codeBuffer(hwnd)) {
    std::memset(buffer, 0, sizeof row.code);
    std::memcpy(buffer, row.code, strnlen(row.code, sizeof row.code - 1));
  }
  if (double* rate = rateBuffer(hwnd)) *rate = row.rate;
  UpdateDEControl(hwnd, IDC_EDIT_TAX_CODE_CODE);
  UpdateDEControl(hwnd, IDC_EDIT_TAX_CODE_RATE);
  // 3.
  showFlags(hwnd, row);
  // 4. An EC sales code has no rate of its own.
  enable(hwnd, IDC_EDIT_TAX_CODE_RATE, row.ecSale != 'Y');
  // 5-6.
  showLink(hwnd, code);
  return 1;
}

VX70_HANDLER(EditTaxCodeCommand) {
  switch (id) {
    case IDC_EDIT_TAX_CODE_EC_CODE:
      ecCodeClicked(hwnd);
      return 0;
    case IDC_EDIT_TAX_CODE_EC_PURCHASES:
    case IDC_EDIT_TAX_CODE_EC_SALES:
      enable(hwnd, IDC_TAX_CODE_COMBO, ticked(hwnd, IDC_EDIT_TAX_CODE_EC_PURCHASES));
      return 0;
    case IDC_OK:
      saveTaxCode(hwnd);
      return 0;
    case IDCANCEL:
      DestroyDEDialog(hwnd, 0);
      return 0;
    default:
      return 0;
  }
}

// Fills any tax code combo 2061 with T0-T99, row n standing for code n.
VX70_HANDLER(TaxCodeComboStart) {
  TaxComboList(control);
  UpdateDEControl(hwnd, IDC_TAX_CODE_COMBO);
  return 1;
}
