// Finance Charge Rates (3223) and Set Finance Charge Rate (3224).
//
// The rates are a dated history in their own file of 20-byte records; the
// file ends at the first record that does not read whole.  A deleted entry
// stays as a free slot (deleted mark 1, the rest zero) until a new entry
// takes it.  The list shows the entries in record order and, above them,
// the rate that applies on the program date.  The editor knows its entry
// only by the record number in its slot 1887 (0 for a new one).
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_codes.h"

namespace {

constexpr UINT kRatesAction = 64;

// A record number's entry kind, which only this dialog asks for.
constexpr UINT kRecordNumberEntry = 0x05;

// Strings.
constexpr UINT kValidDateNeeded = 4;
constexpr UINT kNoRateApplying = 1110;
constexpr UINT kRateApplying = 1111;
constexpr UINT kConfirmDelete = 1112;
constexpr UINT kRateExistsForDate = 1115;
constexpr UINT kEarliestDate = 1116;
// MsgBox formats its text, so "%%" shows one percent sign.
constexpr const char* kRateTooHigh = "Please enter a finance rate less than 100%%";
constexpr const char* kNoRateEntered = "You have not entered a rate.";

constexpr double kRateCeiling = 99.99;
constexpr double kLeastRate = 5e-9;
constexpr WORD kEarliestDay[3] = {1, 11, 1998};  // day, month, year

constexpr DWORD kRecordBytes = sizeof(finratemap);

#pragma pack(push, 1)
// A row of GRID 1015; the hidden last column keeps the entry's record.
struct RateRow {
  char dateFrom[11];
  double baseRate;
  double additionalRate;
  DWORD record;
};
#pragma pack(pop)
static_assert(sizeof(RateRow) == 31);

datafilemap* ratesFile() { return &g_lpGlobVar->dataFiles[DF_FINANCE_RATES]; }
datafilemap* actionFile() { return &g_lpGlobVar->dataFiles[DF_ACTIONS]; }

void OpenForReading() { FileOpen(ratesFile(), 0, 64, 1); }
void OpenForWriting() { FileOpen(ratesFile(), 2, 32, 1); }

bool ReadRate(DWORD record, finratemap& rate) {
  return ReadRec(ratesFile(), record, &rate) == kRecordBytes;
}

RateRow BuildRateRow(const finratemap& rate, DWORD record) {
  RateRow row{};
  DateNumberToFullString(row.dateFrom, rate.dateFrom);
  row.baseRate = rate.baseRate;
  row.additionalRate = rate.additionalRate;
  row.record = record;
  return row;
}

HWND GridOf(HWND list) { return GetDlgItem(list, IDC_FINANCE_RATES_GRID); }

int RowCount(HWND grid) { return static_cast<int>(DESendGridMessage(grid, GM_ROWCOUNT, 0, 0, 0)); }

int CurrentRow(HWND grid) {
  return static_cast<int>(DESendGridMessage(grid, GM_CURRENTROW, 0, 0, 0));
}

bool ReadRow(HWND grid, int row, RateRow& out) {
  out = RateRow{};
  return DESendGridMessage(grid, GM_GETROW, 0, row, reinterpret_cast<LPARAM>(&out)) != -1;
}

// ---- The list ---------------------------------------------------------------

void EnableFinanceRateButtons(HWND list) {
  const BOOL hasRows = RowCount(GridOf(list)) > 0 ? TRUE : FALSE;
  EnableWindow(GetDlgItem(list, IDC_FINANCE_RATES_EDIT), hasRows);
  EnableWindow(GetDlgItem(list, IDC_FINANCE_RATES_DELETE), hasRows);
}

void ShowCurrentFinanceRate(HWND list, HWND grid) {
  const int rows = RowCount(grid);
  const WORD today = GetProgramDate();
  RateRow applying{};
  WORD applyingSince = 0;
  for (int row = 0; row < rows; ++row) {
    RateRow candidate;
    if (!ReadRow(grid, row, candidate)) continue;
    const WORD from = DateStringToNumber(candidate.dateFrom);
    if (from <= today && from > applyingSince) {
      applying = candidate;
      applyingSince = from;
    }
  }
  if (applyingSince == 0) {
    SetDlgItemTextA(list, IDC_FINANCE_RATES_CURRENT,
                    GetResourceString(kNoRateApplying, g_hInstance));
    return;
  }
  char line[512];
  std::snprintf(line, sizeof line, GetResourceString(kRateApplying, g_hInstance),
                applying.baseRate + applying.additionalRate, applying.additionalRate,
                applying.baseRate, applying.dateFrom);
  SetDlgItemTextA(list, IDC_FINANCE_RATES_CURRENT, line);
}

void FillFinanceRates(HWND list, HWND grid) {
  DESendGridMessage(grid, GM_CLEAR, 0, 0, 0);
  OpenForReading();
  finratemap rate{};
  for (DWORD record = 1; ReadRate(record, rate); ++record) {
    if (rate.deleted != 0) continue;
    RateRow row = BuildRateRow(rate, record);
    DESendGridMessage(grid, GM_ADDROW, 0, reinterpret_cast<LPARAM>(&row), 0);
  }
  FileClose(ratesFile());
  ShowCurrentFinanceRate(list, grid);
}

void DeleteFinanceRate(HWND list) {
  HWND grid = GridOf(list);
  const int row = CurrentRow(grid);
  if (row == -1) return;
  if (MsgBox(list, MSGBOX_YESNO, GetResourceString(kConfirmDelete, g_hInstance)) == IDYES) {
    RateRow shown;
    ReadRow(grid, row, shown);
    OpenForWriting();
    finratemap freeSlot{};
    freeSlot.deleted = 1;
    if (WriteRec(ratesFile(), shown.record, &freeSlot) == kRecordBytes) {
      DESendGridMessage(grid, GM_DELETEROW, 0, row, 0);
      ShowCurrentFinanceRate(list, grid);
    }
    FileClose(ratesFile());
  }
  EnableFinanceRateButtons(list);
}

void OpenFinanceRateEditor(HWND list, UINT id) {
  HWND grid = GridOf(list);
  DWORD record = 0;
  if (id != IDC_FINANCE_RATES_ADD) {
    // Edit with no row chosen has no entry to open.
    RateRow shown;
    const int row = CurrentRow(grid);
    if (row < 0 || !ReadRow(grid, row, shown)) return;
    record = shown.record;
  }
  CreateDEDialog(list, VX70DEF_MODULE, IDD_EDIT_FINANCE_RATE, record);
  ShowCurrentFinanceRate(list, grid);
  EnableFinanceRateButtons(list);
}

void CloseFinanceRates(HWND list) {
  if (g_lpGlobVar->multiUser) RequestActionEnd(kRatesAction, 0, &g_lpGlobVar->access, actionFile());
  DestroyDEDialog(list, 0);
}

// ---- The editor -------------------------------------------------------------

DWORD* RecordSlot(HWND editor) {
  return static_cast<DWORD*>(
      GetControlPtr(editor, IDC_EDIT_FINANCE_RATE_RECORD, kRecordNumberEntry));
}
char* DateText(HWND editor) {
  return static_cast<char*>(GetControlPtr(editor, IDC_EDIT_FINANCE_RATE_DATE, ENTRY_TEXT));
}
double* RateValue(HWND editor, UINT id) {
  return static_cast<double*>(GetControlPtr(editor, id, ENTRY_DECIMAL));
}

// 1 when the date is refused (its message shown).
int CheckFinanceRateDate(HWND editor, WORD date) {
  const WORD earliest = DateNumberFromComponents(kEarliestDay);
  if (date < earliest) {
    const UINT message = date != 0 ? kEarliestDate : kValidDateNeeded;
    MsgBox(editor, MSGBOX_ERROR, GetResourceString(message, g_hInstance));
    return 1;
  }
  const DWORD* slot = RecordSlot(editor);
  const DWORD editing = slot ? *slot : 0;
  bool taken = false;
  OpenForReading();
  finratemap rate{};
  for (DWORD record = 1; !taken && ReadRate(record, rate); ++record)
    taken = record != editing && rate.deleted == 0 && rate.dateFrom == date;
  FileClose(ratesFile());
  if (!taken) return 0;
  MsgBox(editor, MSGBOX_ERROR, GetResourceString(kRateExistsForDate, g_hInstance));
  return 1;
}

// The record an entry is written to: its own, else the first free slot,
// else the one after the last.
DWORD RecordToWrite(DWORD editing) {
  if (editing != 0) return editing;
  finratemap rate{};
  DWORD record = 1;
  for (; ReadRate(record, rate); ++record)
    if (rate.deleted != 0) return record;
  return record;
}

// The first failed check shows its message; true when all pass.
bool CheckRates(HWND editor, const finratemap& rate) {
  if (rate.baseRate > kRateCeiling || rate.additionalRate > kRateCeiling) {
    MsgBox(editor, MSGBOX_ERROR, kRateTooHigh);
    SetFocus(GetDlgItem(editor, IDC_EDIT_FINANCE_RATE_BASE_RATE));
    return false;
  }
  if (Round(rate.baseRate + rate.additionalRate, 6) < kLeastRate) {
    MsgBox(editor, MSGBOX_ERROR, kNoRateEntered);
    return false;
  }
  return true;
}

void ShowSavedRow(HWND editor, const finratemap& rate, DWORD record, bool isNew) {
  HWND grid = GridOf(GetDEDialogParent(editor));
  RateRow row = BuildRateRow(rate, record);
  if (isNew)
    DESendGridMessage(grid, GM_ADDROW, 0, reinterpret_cast<LPARAM>(&row), 0);
  else
    DESendGridMessage(grid, GM_SETROW, 0, CurrentRow(grid), reinterpret_cast<LPARAM>(&row));
}

void SaveFinanceRate(HWND editor) {
  EnableWindow(editor, FALSE);
  const char* dateText = DateText(editor);
  const WORD date = dateText ? DateStringToNumber(dateText) : 0;
  if (CheckFinanceRateDate(editor, date)) {
    EnableWindow(editor, TRUE);
    SetFocus(GetDlgItem(editor, IDC_EDIT_FINANCE_RATE_DATE));
    return;
  }

  OpenForWriting();
  const DWORD* slot = RecordSlot(editor);
  const DWORD editing = slot ? *slot : 0;
  const DWORD record = RecordToWrite(editing);

  finratemap rate{};
  rate.deleted = 0;
  rate.dateFrom = date;
  const double* base = RateValue(editor, IDC_EDIT_FINANCE_RATE_BASE_RATE);
  const double* additional = RateValue(editor, IDC_EDIT_FINANCE_RATE_ADDITIONAL_RATE);
  rate.baseRate = base ? *base : 0.0;
  rate.additionalRate = additional ? *additional : 0.0;

  bool saved = false;
  if (CheckRates(editor, rate) && WriteRec(ratesFile(), record, &rate) == kRecordBytes) {
    ShowSavedRow(editor, rate, record, editing == 0);
    saved = true;
  }

  FileClose(ratesFile());
  EnableWindow(editor, TRUE);
  if (saved)
    DestroyDEDialog(editor, 0);
  else
    SetFocus(GetDlgItem(editor, IDC_EDIT_FINANCE_RATE_DATE));
}

}  // namespace

VX70_HANDLER(FinanceRatesInit) {
  if (g_lpGlobVar->multiUser &&
      !RequestAction(kRatesAction, 0, &g_lpGlobVar->access, actionFile(), 1)) {
    DestroyDEDialog(hwnd, 0);
    return 1;
  }
  FillFinanceRates(hwnd, GridOf(hwnd));
  EnableFinanceRateButtons(hwnd);
  UpdateDEDialog(hwnd);
  return 1;
}

VX70_HANDLER(FinanceRatesCommand) {
  if (id == IDC_FINANCE_RATES_DELETE)
    DeleteFinanceRate(hwnd);
  else if (id == IDC_FINANCE_RATES_ADD || id == IDC_FINANCE_RATES_EDIT ||
           (id == IDC_FINANCE_RATES_GRID && notify == GN_ACTIVATE))
    OpenFinanceRateEditor(hwnd, id);
  else if (id == IDCANCEL)
    CloseFinanceRates(hwnd);
  return 0;
}

VX70_HANDLER(EditFinanceRateInit) {
  if (DWORD* slot = RecordSlot(hwnd)) *slot = initParam;
  if (initParam != 0) {
    // The list closed the file after filling; the read opens it again.
    finratemap rate{};
    OpenForReading();
    const bool found = ReadRate(initParam, rate);
    FileClose(ratesFile());
    if (found) {
      if (char* date = DateText(hwnd)) DateNumberToFullString(date, rate.dateFrom);
      if (double* base = RateValue(hwnd, IDC_EDIT_FINANCE_RATE_BASE_RATE)) *base = rate.baseRate;
      if (double* additional = RateValue(hwnd, IDC_EDIT_FINANCE_RATE_ADDITIONAL_RATE))
        *additional = rate.additionalRate;
    }
  }
  UpdateDEDialog(hwnd);
  return 1;
}

VX70_HANDLER(EditFinanceRateCommand) {
  if (id == IDC_OK)
    SaveFinanceRate(hwnd);
  else if (id == IDCANCEL)
    DestroyDEDialog(hwnd, 0);
  return 1;
}
