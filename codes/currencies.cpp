// Currencies (3616), Edit Currency (3618) and the currency combo.
//
// The company keeps a fixed table of 99 currencies (records 1-99 of the
// currency file, grid row n - 1).  The list shows them all and chooses the
// base currency, which is settled only when the list is closed: its record
// carries the base bit and the setup record its index and euro rate.  The
// edit dialog rewrites one currency at once, as a fresh record.
#include <cstddef>
#include <cstring>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_codes.h"

void SetBaseCurrencyFlag(DWORD n, UINT on);
UINT WriteCurrencyRecord(HWND edit, const void* rowBuffer);

namespace {

constexpr UINT kActionCurrencies = 32;
constexpr DWORD kEntryEdition = 16;
constexpr DWORD kCurrencyCount = 99;

// The rates and their labels and group, which the entry edition hides.
constexpr UINT kRateControls[] = {
    IDC_EDIT_CURRENCY_EURO_MEMBER,   IDC_EDIT_CURRENCY_EXCHANGE_RATE_LABEL,
    IDC_EDIT_CURRENCY_EXCHANGE_RATE, IDC_EDIT_CURRENCY_EURO_RATE_LABEL,
    IDC_EDIT_CURRENCY_EURO_RATE,     IDC_EDIT_CURRENCY_RATES_GROUP};

constexpr UINT kTextValue = 2;
constexpr UINT kRatePlaces = 6;

#pragma pack(push, 1)
// One row of the list (GRID 1005).
struct CurrencyRow {
  DWORD number;  // record number 1-99
  char name[31];
  char country[31];
  char ecMember[4];
  double exchangeRate;
  char emu[4];  // "Yes" or "No"
  double euroRate;
};
// One row of a currency combo (GRID 1009).
struct CurrencyComboRow {
  DWORD number;
  char name[31];
};
#pragma pack(pop)
static_assert(sizeof(CurrencyRow) == 90);
static_assert(offsetof(CurrencyRow, exchangeRate) == 70);
static_assert(offsetof(CurrencyRow, euroRate) == 82);
static_assert(sizeof(CurrencyComboRow) == 35);

datafilemap* currencyFile() { return &glob().dataFiles[DF_CURRENCIES]; }
datafilemap* actionFile() { return &glob().dataFiles[DF_ACTIONS]; }
bool entryEdition() { return (glob().edition & kEntryEdition) != 0; }
bool validRecord(DWORD n) { return n >= 1 && n <= kCurrencyCount; }

void copyIntoBuffer(HWND dialog, UINT id, const char* text) {
  auto* buffer = static_cast<char*>(GetControlPtr(dialog, id, ENTRY_TEXT));
  if (!buffer || !text) return;
  // The edits' buffers are as long as the row's cells (31, 31 and 4 bytes).
  CopyToField(buffer, id == IDC_EDIT_CURRENCY_EC_MEMBER ? 4 : 31, text);
}

// The text of a cell of the list's row into the edit that shows it.
void copyCellIntoBuffer(HWND dialog, UINT id, HWND grid, UINT column, int row) {
  copyIntoBuffer(dialog, id,
                 static_cast<const char*>(CtrlGRIDValue(grid, column, row, kTextValue)));
}

const char* bufferText(HWND dialog, UINT id) {
  return static_cast<const char*>(GetControlPtr(dialog, id, ENTRY_TEXT));
}

double* rateBuffer(HWND dialog, UINT id) {
  return static_cast<double*>(GetControlPtr(dialog, id, ENTRY_DECIMAL));
}

void hideControl(HWND dialog, UINT id) {
  HWND control = GetDlgItem(dialog, static_cast<int>(id));
  EnableWindow(control, FALSE);
  ShowWindow(control, SW_HIDE);
}

int comboSelection(HWND list) {
  return static_cast<int>(SendDlgItemMessageA(list, IDC_CURRENCIES_BASE_COMBO, CB_GETCURSEL, 0, 0));
}

CurrencyRow rowOf(DWORD n, const currmap& record) {
  CurrencyRow row{};
  row.number = n;
  CopyToField(row.name, record.name);
  CopyToField(row.country, record.country);
  CopyToField(row.ecMember, record.ecMember);
  row.exchangeRate = record.exchangeRate;
  CopyToField(row.emu, (record.flags & CURRENCY_EURO_MEMBER) ? "Yes" : "No");
  row.euroRate = record.euroRate;
  return row;
}

// Reads records 1-99 in order and hands each to `add`; a record that
// cannot be read is blank.
template <class Add>
void forEachCurrency(Add add) {
  datafilemap* file = currencyFile();
  FileOpen(file, 0, 64, 1);
  for (DWORD n = 1; n <= kCurrencyCount; ++n) {
    currmap record{};
    ReadRec(file, n, &record);
    add(n, record);
  }
  FileClose(file);
}

// ---- The edit dialog's row ----------------------------------------------------

HWND listGridOf(HWND edit) { return GetDlgItem(GetDEDialogParent(edit), IDC_CURRENCIES_GRID); }
int currentListRow(HWND edit) {
  return static_cast<int>(DESendGridMessage(listGridOf(edit), GM_CURRENTROW, 0, 0, 0));
}

// The row as the dialog now shows it; the number is the list's current
// row + 1.
CurrencyRow rowFromDialog(HWND edit) {
  CurrencyRow row{};
  row.number = static_cast<DWORD>(currentListRow(edit) + 1);
  CopyToField(row.name, bufferText(edit, IDC_EDIT_CURRENCY_NAME));
  CopyToField(row.country, bufferText(edit, IDC_EDIT_CURRENCY_COUNTRY));
  CopyToField(row.ecMember, bufferText(edit, IDC_EDIT_CURRENCY_EC_MEMBER));
  if (const double* rate = rateBuffer(edit, IDC_EDIT_CURRENCY_EXCHANGE_RATE))
    row.exchangeRate = *rate;
  bool member = IsDlgButtonChecked(edit, IDC_EDIT_CURRENCY_EURO_MEMBER) != 0;
  CopyToField(row.emu, member ? "Yes" : "No");
  if (const double* rate = rateBuffer(edit, IDC_EDIT_CURRENCY_EURO_RATE)) row.euroRate = *rate;
  return row;
}

void showRowInList(HWND edit, const CurrencyRow& row) {
  HWND grid = listGridOf(edit);
  DESendGridMessage(grid, GM_SETROW, 0, static_cast<LPARAM>(row.number) - 1,
                    reinterpret_cast<LPARAM>(&row));
  SendMessageA(grid, WM_SETREDRAW, 1, 0);
  InvalidateRect(grid, nullptr, TRUE);
  UpdateWindow(grid);
}

// The entry edition keeps the smaller dialog of names only.
void shrinkForEntryEdition(HWND edit) {
  for (UINT id : kRateControls) hideControl(edit, id);
  MoveWindow(edit, 0, 0, 340, 180, TRUE);
  MoveWindow(GetDlgItem(edit, IDC_OK), 165, 120, 80, 25, TRUE);
  MoveWindow(GetDlgItem(edit, IDCANCEL), 250, 120, 80, 25, TRUE);
}

// ---- Closing the list ------------------------------------------------------------

void storeBaseCurrency(HWND list) {
  // 1. The previous base loses its bit.
  auto previous = static_cast<std::int16_t>(glob().setup.baseCurrency);
  SetBaseCurrencyFlag(static_cast<DWORD>(previous + 1), 0);
  // 2.
  int chosen = comboSelection(list);
  glob().setup.baseCurrency = static_cast<WORD>(chosen);
  // 3. Its euro rate as shown in the list, edits of this session included.
  if (validRecord(static_cast<DWORD>(chosen + 1))) {
    CurrencyRow row{};
    DESendDlgItemGridMessage(list, IDC_CURRENCIES_GRID, GM_GETROW, 0, chosen,
                             reinterpret_cast<LPARAM>(&row));
    glob().setup.baseEuroRate = row.euroRate;
  }
  // 4-5.
  SetBaseCurrencyFlag(static_cast<DWORD>(chosen + 1), 1);
  WriteRec(&glob().dataFiles[DF_SETUP], 1, &glob().setup);
}

}  // namespace

// Marks (on nonzero) or unmarks record n as the base currency.  Numbers
// outside 1-99 name no currency and change nothing.
void SetBaseCurrencyFlag(DWORD n, UINT on) {
  if (!validRecord(n)) return;
  datafilemap* file = currencyFile();
  bool locking = glob().lockRecords != 0;
  NetworkFileOpen(file, 2, 64);
  if (locking) LockRec(file, n);
  currmap record{};
  if (ReadRec(file, n, &record)) {
    if (on)
      record.flags = static_cast<WORD>(record.flags | CURRENCY_BASE);
    else
      record.flags = static_cast<WORD>(record.flags & ~CURRENCY_BASE);
    WriteRec(file, n, &record);
  }
  if (locking) UnLockRec(file, n);
  FileClose(file);
}

// Stores the row as a fresh record: the old one is not read, so its base
// bit goes, and the euro membership comes from the dialog's box.
UINT WriteCurrencyRecord(HWND edit, const void* rowBuffer) {
  if (!rowBuffer) return 1;
  CurrencyRow row{};
  std::memcpy(&row, rowBuffer, sizeof row);
  if (!validRecord(row.number)) return 1;
  currmap record{};
  CopyToField(record.name, row.name);
  CopyToField(record.country, row.country);
  CopyToField(record.ecMember, row.ecMember);
  record.exchangeRate = row.exchangeRate;
  record.flags = IsDlgButtonChecked(edit, IDC_EDIT_CURRENCY_EURO_MEMBER) ? CURRENCY_EURO_MEMBER : 0;
  record.euroRate = row.euroRate;
  datafilemap* file = currencyFile();
  bool locking = glob().lockRecords != 0;
  NetworkFileOpen(file, 2, 64);
  if (locking) LockRec(file, row.number);
  WriteRec(file, row.number, &record);
  if (locking) UnLockRec(file, row.number);
  FileClose(file);
  return 1;
}

VX70_HANDLER(CurrenciesGridStart) {
  forEachCurrency([control](DWORD n, const currmap& record) {
    CurrencyRow row = rowOf(n, record);
    DESendGridMessage(control, GM_ADDROW, 0, reinterpret_cast<LPARAM>(&row), 0);
  });
  return 1;
}

VX70_HANDLER(CurrencyComboStart) {
  forEachCurrency([control](DWORD n, const currmap& record) {
    CurrencyComboRow row{};
    row.number = n;
    CopyToField(row.name, record.name);
    DESendGridMessage(control, GM_ADDROW, 0, reinterpret_cast<LPARAM>(&row), 0);
  });
  return 1;
}

VX70_HANDLER(CurrenciesInit) {
  // 1.
  if (glob().multiUser && !RequestAction(kActionCurrencies, 0, &glob().access, actionFile(), 1)) {
    DestroyDEDialog(hwnd, 0);
    return 1;
  }
  // 2. The entry edition has no base currency to choose; the names get the
  // room.
  if (entryEdition()) {
    hideControl(hwnd, IDC_CURRENCIES_BASE_LABEL);
    hideControl(hwnd, IDC_CURRENCIES_BASE_COMBO);
    DESendDlgItemGridMessage(hwnd, IDC_CURRENCIES_GRID, GM_COLUMNWIDTH, 1, 20, 0);
    DESendDlgItemGridMessage(hwnd, IDC_CURRENCIES_GRID, GM_COLUMNWIDTH, 2, 30, 0);
    DESendDlgItemGridMessage(hwnd, IDC_CURRENCIES_GRID, GM_COLUMNWIDTH, 3, 27, 0);
    UpdateDEDialog(hwnd);
    return 1;
  }
  // 3.
  FillCurrencyCombo(GetDlgItem(hwnd, IDC_CURRENCIES_BASE_COMBO));
  UpdateDEDialog(hwnd);
  return 1;
}

VX70_HANDLER(CurrenciesCommand) {
  if (id == IDC_CURRENCIES_EDIT || (id == IDC_CURRENCIES_GRID && notify == GN_ACTIVATE)) {
    if (!entryEdition()) glob().setup.baseCurrency = static_cast<WORD>(comboSelection(hwnd));
    CreateDEDialog(hwnd, VX70DEF_MODULE, IDD_EDIT_CURRENCY, 0);
    return 0;
  }
  if (id == IDCANCEL) {
    if (!entryEdition()) storeBaseCurrency(hwnd);
    // 6.
    if (glob().multiUser) RequestActionEnd(kActionCurrencies, 0, &glob().access, actionFile());
    DestroyDEDialog(hwnd, 0);
  }
  return 0;
}

VX70_HANDLER(EditCurrencyInit) {
  // 1. The three texts of the list's current row.
  HWND grid = listGridOf(hwnd);
  int current = currentListRow(hwnd);
  CurrencyRow row{};
  DESendGridMessage(grid, GM_GETROW, 0, current, reinterpret_cast<LPARAM>(&row));
  copyCellIntoBuffer(hwnd, IDC_EDIT_CURRENCY_NAME, grid, IDC_CODE_NAME_COLUMN, current);
  copyCellIntoBuffer(hwnd, IDC_EDIT_CURRENCY_COUNTRY, grid, IDC_CURRENCY_COUNTRY_COLUMN, current);
  copyCellIntoBuffer(hwnd, IDC_EDIT_CURRENCY_EC_MEMBER, grid, IDC_CURRENCY_EC_COLUMN, current);
  // 2.
  if (entryEdition()) shrinkForEntryEdition(hwnd);
  // 3. The hidden rates of the entry edition keep the row's values too.
  DESetDecimalPlaces(hwnd, IDC_EDIT_CURRENCY_EXCHANGE_RATE, kRatePlaces);
  DESetDecimalPlaces(hwnd, IDC_EDIT_CURRENCY_EURO_RATE, kRatePlaces);
  if (double* rate = rateBuffer(hwnd, IDC_EDIT_CURRENCY_EXCHANGE_RATE)) *rate = row.exchangeRate;
  CheckDlgButton(hwnd, IDC_EDIT_CURRENCY_EURO_MEMBER, row.emu[0] == 'Y');
  if (double* rate = rateBuffer(hwnd, IDC_EDIT_CURRENCY_EURO_RATE)) *rate = row.euroRate;
  UpdateDEDialog(hwnd);
  return 1;
}

VX70_HANDLER(EditCurrencyCommand) {
  if (id == IDC_OK) {
    // 1.
    EnableWindow(hwnd, FALSE);
    CurrencyRow row = rowFromDialog(hwnd);
    // 2. The list shows the edit even when its write fails.
    showRowInList(hwnd, row);
    // 3.
    WriteCurrencyRecord(hwnd, &row);
    // 4.
    EnableWindow(hwnd, TRUE);
    DestroyDEDialog(hwnd, 0);
    return 1;
  }
  if (id == IDCANCEL) DestroyDEDialog(hwnd, 0);
  return 1;
}
