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

void SetBaseCurrencyFlag(DWORD n, UINT on);
UINT WriteCurrencyRecord(HWND edit, const void* rowBuffer);

namespace {

constexpr UINT kModuleNumber = 15;
constexpr UINT kEditDialog = 3618;
constexpr UINT kActionCurrencies = 32;
constexpr DWORD kEntryEdition = 16;
constexpr DWORD kCurrencyCount = 99;

// Currencies.
constexpr UINT kGridId = 1610;
constexpr UINT kBaseLabel = 101;
constexpr UINT kBaseCombo = 1881;
constexpr UINT kEditButton = 1413;
constexpr UINT kCloseButton = 2;

// Edit Currency.
constexpr UINT kNameEdit = 1673;
constexpr UINT kCountryEdit = 1303;
constexpr UINT kEcEdit = 1410;
constexpr UINT kExchangeRateEdit = 1431;
constexpr UINT kEuroMemberBox = 1216;
constexpr UINT kEuroRateEdit = 1432;
constexpr UINT kSaveButton = 1942;
constexpr UINT kCancelButton = 2;
// The rates and their labels and group, which the entry edition hides.
constexpr UINT kRateControls[] = {kEuroMemberBox, 200, kExchangeRateEdit, 201, kEuroRateEdit, 202};

constexpr UINT kTextValue = 2;
constexpr UINT kRatePlaces = 6;

constexpr UINT kNotifyActivated = 1;

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

// Copies a text into a field of `size` bytes, cut to size - 1 characters.
template <std::size_t N>
void copyText(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  if (text) std::memcpy(field, text, strnlen(text, N - 1));
}

void copyIntoBuffer(HWND dialog, UINT id, const char* text) {
  auto* buffer = static_cast<char*>(GetControlPtr(dialog, id, ENTRY_TEXT));
  if (!buffer || !text) return;
  // The edits' buffers are as long as the row's cells (31, 31 and 4 bytes).
  std::size_t size = id == kEcEdit ? 4 : 31;
  std::memset(buffer, 0, size);
  std::memcpy(buffer, text, strnlen(text, size - 1));
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
  return static_cast<int>(
      SendDlgItemMessageA(list, static_cast<int>(kBaseCombo), CB_GETCURSEL, 0, 0));
}

CurrencyRow rowOf(DWORD n, const currmap& record) {
  CurrencyRow row{};
  row.number = n;
  copyText(row.name, record.name);
  copyText(row.country, record.country);
  copyText(row.ecMember, record.ecMember);
  row.exchangeRate = record.exchangeRate;
  copyText(row.emu, (record.flags & CURRENCY_EURO_MEMBER) ? "Yes" : "No");
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

HWND listGridOf(HWND edit) {
  return GetDlgItem(GetDEDialogParent(edit), static_cast<int>(kGridId));
}
int currentListRow(HWND edit) {
  return static_cast<int>(DESendGridMessage(listGridOf(edit), GM_CURRENTROW, 0, 0, 0));
}

// The row as the dialog now shows it; the number is the list's current
// row + 1.
CurrencyRow rowFromDialog(HWND edit) {
  CurrencyRow row{};
  row.number = static_cast<DWORD>(currentListRow(edit) + 1);
  copyText(row.name, bufferText(edit, kNameEdit));
  copyText(row.country, bufferText(edit, kCountryEdit));
  copyText(row.ecMember, bufferText(edit, kEcEdit));
  if (const double* rate = rateBuffer(edit, kExchangeRateEdit)) row.exchangeRate = *rate;
  bool member = IsDlgButtonChecked(edit, static_cast<int>(kEuroMemberBox)) != 0;
  copyText(row.emu, member ? "Yes" : "No");
  if (const double* rate = rateBuffer(edit, kEuroRateEdit)) row.euroRate = *rate;
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
  MoveWindow(GetDlgItem(edit, static_cast<int>(kSaveButton)), 165, 120, 80, 25, TRUE);
  MoveWindow(GetDlgItem(edit, static_cast<int>(kCancelButton)), 250, 120, 80, 25, TRUE);
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
    DESendDlgItemGridMessage(list, kGridId, GM_GETROW, 0, chosen, reinterpret_cast<LPARAM>(&row));
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
  copyText(record.name, row.name);
  copyText(record.country, row.country);
  copyText(record.ecMember, row.ecMember);
  record.exchangeRate = row.exchangeRate;
  record.flags =
      IsDlgButtonChecked(edit, static_cast<int>(kEuroMemberBox)) ? CURRENCY_EURO_MEMBER : 0;
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
    copyText(row.name, record.name);
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
    hideControl(hwnd, kBaseLabel);
    hideControl(hwnd, kBaseCombo);
    DESendDlgItemGridMessage(hwnd, kGridId, GM_COLUMNWIDTH, 1, 20, 0);
    DESendDlgItemGridMessage(hwnd, kGridId, GM_COLUMNWIDTH, 2, 30, 0);
    DESendDlgItemGridMessage(hwnd, kGridId, GM_COLUMNWIDTH, 3, 27, 0);
    UpdateDEDialog(hwnd);
    return 1;
  }
  // 3.
  FillCurrencyCombo(GetDlgItem(hwnd, static_cast<int>(kBaseCombo)));
  UpdateDEDialog(hwnd);
  return 1;
}

VX70_HANDLER(CurrenciesCommand) {
  if (id == kEditButton || (id == kGridId && notify == kNotifyActivated)) {
    if (!entryEdition()) glob().setup.baseCurrency = static_cast<WORD>(comboSelection(hwnd));
    CreateDEDialog(hwnd, kModuleNumber, kEditDialog, 0);
    return 0;
  }
  if (id == kCloseButton) {
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
  copyIntoBuffer(hwnd, kNameEdit,
                 static_cast<const char*>(CtrlGRIDValue(grid, kNameEdit, current, kTextValue)));
  copyIntoBuffer(hwnd, kCountryEdit,
                 static_cast<const char*>(CtrlGRIDValue(grid, kCountryEdit, current, kTextValue)));
  copyIntoBuffer(hwnd, kEcEdit,
                 static_cast<const char*>(CtrlGRIDValue(grid, kEcEdit, current, kTextValue)));
  // 2.
  if (entryEdition()) shrinkForEntryEdition(hwnd);
  // 3. The hidden rates of the entry edition keep the row's values too.
  DESetDecimalPlaces(hwnd, kExchangeRateEdit, kRatePlaces);
  DESetDecimalPlaces(hwnd, kEuroRateEdit, kRatePlaces);
  if (double* rate = rateBuffer(hwnd, kExchangeRateEdit)) *rate = row.exchangeRate;
  CheckDlgButton(hwnd, static_cast<int>(kEuroMemberBox), row.emu[0] == 'Y');
  if (double* rate = rateBuffer(hwnd, kEuroRateEdit)) *rate = row.euroRate;
  UpdateDEDialog(hwnd);
  return 1;
}

VX70_HANDLER(EditCurrencyCommand) {
  if (id == kSaveButton) {
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
  if (id == kCancelButton) DestroyDEDialog(hwnd, 0);
  return 1;
}
