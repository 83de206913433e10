#include "ledger_pages.h"

#include <cstring>
#include <initializer_list>

#include "api/grid_messages.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_ledgers.h"
#include "frame/res/ids_strings.h"
#include "ledger_checks.h"

namespace {

constexpr UINT kEntryRecordImage = 0x0a;
constexpr UINT kMsgFocusPrepare = 1025;
constexpr DWORD kEntryEdition = 16;
constexpr const char* kInvalidNominalCode = "Invalid or missing nominal code";

// Account codes are looked up padded with spaces to their field of 9 bytes.
constexpr UINT kCodeField = 9;
constexpr WORD kSearchNominal = 258;

constexpr UINT kPeriodBoxes[] = {IDC_AGEING_PERIOD1_FROM, IDC_AGEING_PERIOD2_FROM,
                                 IDC_AGEING_PERIOD3_FROM, IDC_AGEING_PERIOD4_FROM};
constexpr UINT kPeriodEnds[] = {IDC_AGEING_PERIOD1_TO, IDC_AGEING_PERIOD2_TO,
                                IDC_AGEING_PERIOD3_TO};

datafilemap* setupFile() { return &glob().dataFiles[DF_SETUP]; }
datafilemap* actionFile() { return &glob().dataFiles[DF_ACTIONS]; }

WORD* wordBuffer(HWND dialog, UINT id) {
  return static_cast<WORD*>(GetControlPtr(dialog, id, ENTRY_WORD));
}

bool checked(HWND dialog, UINT id) {
  return IsDlgButtonChecked(dialog, static_cast<int>(id)) == BST_CHECKED;
}

void enablePeriods(HWND ageingPage, bool enable) {
  for (UINT id : kPeriodBoxes) EnableWindow(ItemOf(ageingPage, id), enable ? TRUE : FALSE);
}

// The code entered, looked up: a major control account is no default.
bool namesMajorControlAccount(HWND page) {
  char code[kCodeField] = {};
  GetDlgItemTextA(page, IDC_LEDGER_NOMINAL_CODE, code, sizeof code);
  FillUp(code, kCodeField);
  nommap nominal{};
  const DWORD record = FlashFindAccount(glob().dataFiles, kSearchNominal, code, &nominal, 0);
  return record && IsMajorControlAccount(record, &nominal, 1, &glob().control);
}

void clearNominalCode(HWND page, bool alsoWindowText) {
  const char* empty = GetResourceString(IDS_EMPTY, g_hInstance);
  CopyToField(NominalCodeBuffer(page), kCodeField, empty);
  UpdateDEControl(page, IDC_LEDGER_NOMINAL_CODE);
  if (alsoWindowText) SetDlgItemTextA(page, IDC_LEDGER_NOMINAL_CODE, empty);
}

// The account finder over nominal accounts, for the box that asks.
BOOL openFinder(HWND page, HWND box, UINT notify) {
  PopupRequest request{};
  request.dialog = page;
  request.control = box;
  request.controlId = IDC_LEDGER_NOMINAL_CODE;
  request.notification = static_cast<WORD>(notify);
  request.searchMode = kSearchNominal;
  request.flag14 = 1;
  request.flag16 = 0;
  request.flag18 = 1;
  request.flag20 = 1;
  request.flag22 = 1;
  return DoPopup(&request);
}

}  // namespace

// ---- Windows of a dialog family -------------------------------------------------

HWND ContainerOf(HWND window, UINT containerId) {
  return GetDEDialogID(window) == containerId ? window : GetDEDialogParent(window);
}

HWND ItemOf(HWND dialog, UINT id) { return GetDlgItem(dialog, static_cast<int>(id)); }

void RemoveControl(HWND dialog, UINT id) {
  HWND control = ItemOf(dialog, id);
  EnableWindow(control, FALSE);
  ShowWindow(control, SW_HIDE);
}

// ---- The multi-user action and the setup record --------------------------------------

bool RequestLedgerAction(UINT action) {
  globvar& g = glob();
  return !g.multiUser || RequestAction(action, 0, &g.access, actionFile(), 1);
}

void EndLedgerAction(UINT action) {
  globvar& g = glob();
  if (g.multiUser) RequestActionEnd(action, 0, &g.access, actionFile());
}

void RereadSetupForChange() {
  if (glob().lockRecords) LockRec(setupFile(), 1);
  ReadSetup();
}

void StoreSetupChange() {
  WriteSetup();
  if (glob().lockRecords) UnLockRec(setupFile(), 1);
  AnnounceSetupChanged();
}

setupmap* SetupImage(HWND container) {
  return static_cast<setupmap*>(
      GetControlPtr(container, IDC_LEDGER_SETUP_IMAGE, kEntryRecordImage));
}

void CopySetupToImage(HWND container, std::size_t first, std::size_t end) {
  if (setupmap* image = SetupImage(container))
    std::memcpy(reinterpret_cast<char*>(image) + first,
                reinterpret_cast<const char*>(&glob().setup) + first, end - first);
}

// ---- The Record page ---------------------------------------------------------------------

void SelectListItem(HWND page, UINT id, UINT index) {
  DESendDlgItemGridMessage(page, id, GM_SETCURRENTROW, 0, static_cast<LPARAM>(index), 0);
}

UINT ListSelection(HWND page, UINT id) {
  return static_cast<UINT>(DESendDlgItemGridMessage(page, id, GM_CURRENTROW, 0, 0, 0));
}

bool HasAccountStatus() { return (glob().edition & kEntryEdition) == 0; }

void RemoveAccountStatus(HWND recordPage) {
  RemoveControl(recordPage, IDC_LEDGER_ACCOUNT_STATUS_GROUP);
  RemoveControl(recordPage, IDC_LEDGER_ACCOUNT_STATUS_LABEL);
  RemoveControl(recordPage, IDC_LEDGER_ACCOUNT_STATUS);
}

void ShowAccountStatus(HWND recordPage, WORD status) {
  HWND list = ItemOf(recordPage, IDC_LEDGER_ACCOUNT_STATUS);
  FillAccStatusCombo(list);
  SendMessageA(list, CB_SETCURSEL, status, 0);
}

WORD AccountStatusSelection(HWND recordPage) {
  return static_cast<WORD>(
      SendDlgItemMessageA(recordPage, IDC_LEDGER_ACCOUNT_STATUS, CB_GETCURSEL, 0, 0));
}

char* NominalCodeBuffer(HWND dialog) {
  return static_cast<char*>(GetControlPtr(dialog, IDC_LEDGER_NOMINAL_CODE, ENTRY_TEXT));
}

void ShowNominalCode(HWND recordPage, const char* code) {
  CopyToField(NominalCodeBuffer(recordPage), kCodeField, code);
}

BOOL NominalCodeBoxCommand(HWND page, HWND box, UINT notify, bool alsoWindowText) {
  const bool modified = SendMessageA(box, EM_GETMODIFY, 0, 0) != 0;
  switch (notify) {
    case LN_CODEENTERED:
      if (namesMajorControlAccount(page)) clearNominalCode(page, alsoWindowText);
      return 1;
    case EN_KILLFOCUS:
      return modified ? openFinder(page, box, notify) : 1;
    case LN_FINDER:
      return openFinder(page, box, notify);
    default:
      return 1;
  }
}

bool NominalCodeAccepted(HWND container, HWND recordPage) {
  if (IsValidNominalCode(container, NominalCodeBuffer(container))) return true;
  MsgBox(container, MSGBOX_ERROR, "%s", kInvalidNominalCode);
  SendMessageA(container, kMsgFocusPrepare, 0, 0);
  SetFocus(ItemOf(recordPage, IDC_LEDGER_NOMINAL_CODE));
  return false;
}

bool RefuseWholeDiscount(HWND page, UINT id, const char* message) {
  auto* value = static_cast<double*>(GetControlPtr(page, id, ENTRY_DECIMAL));
  if (!value) return false;
  double rate;
  std::memcpy(&rate, value, sizeof rate);
  if (Round(rate, 2) < 100) return false;
  MsgBox(page, MSGBOX_ERROR, "%s", message);
  const double zero = 0;
  std::memcpy(value, &zero, sizeof zero);
  UpdateDEControl(page, id);
  SetFocus(ItemOf(page, id));
  return true;
}

// ---- The Ageing page ------------------------------------------------------------------------

void ShowAgeing(HWND ageingPage, const AgeingSettings& settings) {
  CheckDlgButton(ageingPage, IDC_AGEING_CALENDAR_MONTHS, settings.calendarMonths ? 1 : 0);
  CheckDlgButton(ageingPage, IDC_AGEING_FUTURE_TOTALS, settings.futureTotals ? 1 : 0);
  if (checked(ageingPage, IDC_AGEING_CALENDAR_MONTHS)) enablePeriods(ageingPage, false);
  for (std::size_t i = 0; i < 4; ++i)
    if (WORD* from = wordBuffer(ageingPage, kPeriodBoxes[i])) *from = settings.periods[i];
  // Each "To" is the day before the next period starts, in 16 bits.
  for (std::size_t i = 0; i < 3; ++i)
    if (WORD* to = wordBuffer(ageingPage, kPeriodEnds[i]))
      *to = static_cast<WORD>(settings.periods[i + 1] - 1);
}

AgeingSettings AgeingOnPage(HWND ageingPage) {
  AgeingSettings settings{};
  settings.calendarMonths = checked(ageingPage, IDC_AGEING_CALENDAR_MONTHS) ? 1 : 0;
  settings.futureTotals = checked(ageingPage, IDC_AGEING_FUTURE_TOTALS) ? 1 : 0;
  for (std::size_t i = 0; i < 4; ++i)
    if (const WORD* from = wordBuffer(ageingPage, kPeriodBoxes[i])) settings.periods[i] = *from;
  return settings;
}

void FollowCalendarAgeing(HWND ageingPage) {
  enablePeriods(ageingPage, !checked(ageingPage, IDC_AGEING_CALENDAR_MONTHS));
}

bool AgeingPeriodsAccepted(HWND container, UINT ledger) {
  for (UINT id : {IDC_AGEING_PERIOD4_FROM, IDC_AGEING_PERIOD3_FROM, IDC_AGEING_PERIOD2_FROM,
                  IDC_AGEING_PERIOD1_FROM})
    if (!CheckAgeingPeriod(container, id, 0, 0, ledger)) return false;
  return true;
}
