// Financial Year (3605) and Change Program Date (3606).
//
// The financial year's start month and year live in the setup record and
// are written straight into record 1 of the setup file, re-read under the
// record's lock so that what other stations changed meanwhile survives.
// Once transactions are posted only the change-of-year procedure (Change...)
// may move the start, unless the opener passes mode 1 or the station's
// WIN.INI sets "Debug" in section "MR".  The program date lives in the
// global block for this run only.
//
// Settled here:
// - The dialog requests action 30 only once OK is pressed, and a declined
//   confirmation leaves it held; Cancel therefore ends action 30.  When it
//   is not held, ending it does nothing.
// - Change... fills the dialog again.  Adding a month to the list keeps one
//   item per text, so the list holds the twelve months once without being
//   cleared first.
// - A stored month beyond December (a damaged record) shows January, so
//   that OK always stores a month of the list.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_company.h"

namespace {

constexpr int kDateChars = 10;

constexpr UINT kJanuary = 1009;  // the month names follow, to 1020 "December"
constexpr int kMonths = 12;
constexpr UINT kDebugKey = 1021;      // "Debug"
constexpr UINT kDebugSection = 1022;  // "MR"
constexpr UINT kConfirmYear = 1024;
constexpr UINT kInvalidDateOnOk = 1114;

constexpr UINT kFinancialYearAction = 30;
constexpr UINT kInfoYearControl = 102;
constexpr DWORD kEntryEdition = 16;
constexpr UINT kChangeYearModule = 12;
constexpr UINT kChangeYearDialog = 3307;

constexpr WORD kEarliestYear = 1900;
constexpr WORD kLowestYearKept = 1971;
constexpr WORD kHighestYearKept = 2099;

constexpr const char* kOutsideYear = "This date falls outside the current financial year.";
constexpr const char* kBadDateFormat =
    "Invalid date or incorrect date format, use DD/MM/YY, DDMMYY, DD/MM/YYYY or DDMMYYYY format";
constexpr const char* kChangeWarning =
    "Before you run this option you must: \n\n\t1.  Run the \"Check Data\" option in File "
    "Maintenance \n\t2.  Take a full backup of your data \n\n When you have completed both of "
    "the above, select Yes to proceed.";

datafilemap* setupFile() { return &glob().dataFiles[DF_SETUP]; }
datafilemap* actionFile() { return &glob().dataFiles[DF_ACTIONS]; }
HWND item(HWND dialog, UINT id) { return GetDlgItem(dialog, static_cast<int>(id)); }

const char* text(const char* maybe) { return maybe ? maybe : ""; }

// The year field's value: two bytes of the engine's buffer, not aligned.
WORD yearValue(HWND dialog) {
  WORD year = 0;
  if (const void* buffer = GetControlPtr(dialog, IDC_FY_START_YEAR, ENTRY_WORD))
    std::memcpy(&year, buffer, sizeof year);
  return year;
}

void showYear(HWND dialog, WORD year) {
  if (void* buffer = GetControlPtr(dialog, IDC_FY_START_YEAR, ENTRY_WORD))
    std::memcpy(buffer, &year, sizeof year);
  UpdateDEControl(dialog, IDC_FY_START_YEAR);
}

WORD thisYear() {
  WORD parts[3] = {};  // day, month, year
  DateNumberToComponents(GetSystemDate(), parts);
  return parts[2];
}

// Section and key come from two different string buffers, as one call
// would overwrite the other.
bool debugProfileSet() {
  const char* section = GetResourceString(kDebugSection, g_hInstance);
  const char* key = GetResourceString2(kDebugKey, g_hInstance);
  return GetProfileIntA(text(section), text(key), 0) != 0;
}

WORD widenedYear(WORD year) {
  if (year >= 100) return year;
  return static_cast<WORD>(year < 70 ? 2000 + year : 1900 + year);
}

void FillFinancialYear(HWND dialog, UINT mode) {
  globvar& g = glob();
  HWND months = item(dialog, IDC_FY_START_MONTH);
  HWND change = item(dialog, IDC_FY_CHANGE);
  // 1.
  ReadSetup();
  // 2. An item of a text already listed is not added twice.
  for (UINT m = 0; m < kMonths; ++m)
    DESendGridMessage(months, GM_ADDITEM, 0,
                      reinterpret_cast<LPARAM>(text(GetResourceString(kJanuary + m, g_hInstance))),
                      0);
  // 3.
  const LPARAM month = g.setup.fyStartMonth < kMonths ? g.setup.fyStartMonth : 0;
  DESendGridMessage(months, GM_SETCURRENTROW, 1, month, 0);
  // 4. A year never set proposes this one, in memory only.
  if (g.setup.fyStartYear < kEarliestYear) g.setup.fyStartYear = thisYear();
  // 5.
  if (g.detailsLocked) EnableWindow(change, FALSE);
  // 6.
  if (g.edition == kEntryEdition) {
    EnableWindow(change, FALSE);
    ShowWindow(change, SW_HIDE);
  }
  // 7.
  showYear(dialog, g.setup.fyStartYear);
  // 8. The debug switch lifts the rules of posted transactions.
  if (debugProfileSet()) return;
  // 9. Nothing posted: month and year are edited directly.
  if (g.control.splitCount == 0) {
    EnableWindow(change, FALSE);
    return;
  }
  // 10. Posted: only Change... moves the start, unless the opener says 1.
  if (mode == 1) {
    EnableWindow(change, FALSE);
    return;
  }
  EnableWindow(months, FALSE);
  EnableWindow(item(dialog, IDC_FY_START_YEAR), FALSE);
  EnableWindow(item(dialog, IDCANCEL), FALSE);
}

void storeFinancialYear(BYTE month, WORD year) {
  globvar& g = glob();
  FileOpen(setupFile(), 2, 32, 1);
  if (g.lockRecords) LockRec(setupFile(), 1);
  // Read again under the lock, so the write carries every other field as
  // stored now.
  ReadRec(setupFile(), 1, &g.setup);
  g.setup.fyStartMonth = month;
  g.setup.fyStartYear = widenedYear(year);
  WriteRec(setupFile(), 1, &g.setup);
  if (g.lockRecords) UnLockRec(setupFile(), 1);
  FileClose(setupFile());
}

void showFinancialYearInInfoWindow() {
  const setupmap& setup = glob().setup;
  char line[64];
  std::snprintf(line, sizeof line, "%s %i",
                text(GetResourceString(kJanuary + setup.fyStartMonth, g_hInstance)),
                static_cast<int>(setup.fyStartYear));
  SetDlgItemTextA(glob().infoWindow, static_cast<int>(kInfoYearControl), line);
}

// Returns the handler's result: 1 where the dialog stays open or the
// action was refused.
std::uint32_t saveFinancialYear(HWND dialog) {
  globvar& g = glob();
  HWND months = item(dialog, IDC_FY_START_MONTH);
  // 1. Leaving the year field checks it first.
  SetFocus(item(dialog, IDOK));
  const LRESULT selected = std::max<LRESULT>(DESendGridMessage(months, GM_CURRENTROW, 0, 0, 0), 0);
  char monthName[32] = {};
  DESendGridMessage(months, GM_GETITEMTEXT, 0, selected, reinterpret_cast<LPARAM>(monthName));
  // 2. With posted transactions OK only closes.
  if (!IsWindowEnabled(months)) {
    DestroyDEDialog(dialog, 0);
    return 0;
  }
  // 3.
  if (g.multiUser && !RequestAction(kFinancialYearAction, 0, &g.access, actionFile(), 1)) {
    DestroyDEDialog(dialog, 0);
    return 1;
  }
  // 4. A No keeps the dialog open, and the action held.
  const WORD year = yearValue(dialog);
  char yearText[8];
  std::snprintf(yearText, sizeof yearText, "%u", static_cast<unsigned>(year));
  if (MsgBox(dialog, MSGBOX_YESNO, GetResourceString(kConfirmYear, g_hInstance), monthName,
             yearText) != IDYES)
    return 1;
  // 5.
  storeFinancialYear(static_cast<BYTE>(selected), year);
  // 6.
  showFinancialYearInInfoWindow();
  // 7.
  if (g.multiUser && !RequestActionEnd(kFinancialYearAction, 0, &g.access, actionFile())) {
    DestroyDEDialog(dialog, 0);
    return 1;
  }
  // 8.
  DestroyDEDialog(dialog, 0);
  return 0;
}

// Out-of-range years go back to the stored one without a message.
void checkYear(HWND dialog) {
  if (!IsWindowVisible(dialog)) return;
  const WORD year = yearValue(dialog);
  if (year >= kLowestYearKept && year <= kHighestYearKept) return;
  showYear(dialog, glob().setup.fyStartYear);
}

void changeFinancialYear(HWND dialog, UINT mode) {
  if (MessageBoxA(dialog, kChangeWarning, "Warning", MB_YESNO | MB_ICONWARNING) != IDYES) return;
  CreateDEDialog(dialog, kChangeYearModule, kChangeYearDialog, 0);
  FillFinancialYear(dialog, mode);
}

// ---- Change Program Date ----------------------------------------------------

// The field's text, at most 10 characters.
void readDateField(HWND dialog, char (&date)[kDateChars + 1]) {
  date[0] = '\0';
  GetDlgItemTextA(dialog, IDC_PROGRAM_DATE_FIELD, date, sizeof date);
}

// Buffer and shown text together.
void setDateField(HWND dialog, const char* date) {
  CopyToField(static_cast<char*>(GetControlPtr(dialog, IDC_PROGRAM_DATE_FIELD, ENTRY_TEXT)),
              kDateChars + 1, date);
  SetDlgItemTextA(dialog, IDC_PROGRAM_DATE_FIELD, date);
}

void clearDateModified(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_PROGRAM_DATE_FIELD, EM_SETMODIFY, 0, 0);
}

void resetDateField(HWND dialog) {
  char date[kDateChars + 1];
  DateNumberToFullString(date, GetProgramDate());
  setDateField(dialog, date);
  clearDateModified(dialog);
  SetFocus(item(dialog, IDC_PROGRAM_DATE_FIELD));
}

// An invalid text that reads as the program date itself is let pass.
bool isProgramDate(const char* date) { return DateStringToNumber(date) == GetProgramDate(); }

void checkDateOnLeaving(HWND dialog) {
  if (!SendDlgItemMessageA(dialog, IDC_PROGRAM_DATE_FIELD, EM_GETMODIFY, 0, 0)) return;
  char date[kDateChars + 1];
  readDateField(dialog, date);
  // 1. A valid date outside the year is warned of once, and kept.
  if (IsDateValid(date)) {
    if (IsDateOutsideFYear(&glob().setup, DateStringToNumber(date))) {
      MsgBox(dialog, MSGBOX_WARNING, kOutsideYear);
      clearDateModified(dialog);
    }
    return;
  }
  // 2.
  if (isProgramDate(date)) return;
  MsgBox(dialog, MSGBOX_WARNING, kBadDateFormat);
  resetDateField(dialog);
}

void acceptProgramDate(HWND dialog) {
  // Leaving the field checks it first.
  SetFocus(item(dialog, IDOK));
  char date[kDateChars + 1];
  readDateField(dialog, date);
  // 1.
  if (!IsDateValid(date)) {
    if (isProgramDate(date)) return;
    MsgBox(dialog, MSGBOX_ERROR, GetResourceString(kInvalidDateOnOk, g_hInstance));
    resetDateField(dialog);
    return;
  }
  // 2.
  setDateField(dialog, date);
  glob().programDate = DateStringToNumber(date);
  ShowSystemDate();
  DestroyDEDialog(dialog, 0);
}

}  // namespace

VX70_HANDLER(FinancialYearInit) {
  FillFinancialYear(hwnd, initParam);
  return 1;
}

VX70_HANDLER(FinancialYearCommand) {
  switch (id) {
    case IDOK:
      return saveFinancialYear(hwnd);
    case IDCANCEL:
      if (glob().multiUser) RequestActionEnd(kFinancialYearAction, 0, &glob().access, actionFile());
      DestroyDEDialog(hwnd, 0);
      break;
    case IDC_FY_START_YEAR:
      if (notify == EN_KILLFOCUS) checkYear(hwnd);
      break;
    case IDC_FY_CHANGE:
      changeFinancialYear(hwnd, initParam);
      break;
    default:
      break;
  }
  return 0;
}

VX70_HANDLER(ProgramDateInit) {
  char date[kDateChars + 1];
  DateNumberToFullString(date, GetProgramDate());
  setDateField(hwnd, date);
  UpdateDEControl(hwnd, IDC_PROGRAM_DATE_FIELD);
  return 1;
}

VX70_HANDLER(ProgramDateCommand) {
  switch (id) {
    case IDOK:
      acceptProgramDate(hwnd);
      break;
    case IDCANCEL:
      DestroyDEDialog(hwnd, 0);
      break;
    case IDC_PROGRAM_DATE_FIELD:
      if (notify == EN_KILLFOCUS) checkDateOnLeaving(hwnd);
      break;
    default:
      break;
  }
  return 0;
}
