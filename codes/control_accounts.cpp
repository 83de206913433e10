// Control Accounts (3621): the fifteen fixed slots of the control record
// that the ledgers post to automatically, each naming a nominal account.
// An account in a slot is marked as a control account in its nominal
// record; one that leaves every slot is marked ordinary again.  Also
// GetControlAccountNo, through which the other modules ask which slot an
// account fills.
#include <cstring>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_codes.h"

namespace {

// A whole-record buffer's entry kind, which only this dialog asks for.
constexpr UINT kEntryRecordBuffer = 0x0a;

constexpr int kSlotCount = 15;
constexpr int kBankSlot = 2;
constexpr UINT kFirstSlotCaption = 1028;

constexpr WPARAM kCodeColumn = 1;

constexpr UINT kSearchNominal = 258;
constexpr UINT kSearchBank = 260;

constexpr UINT kDuplicateAccounts = 1025;
constexpr UINT kAccountHasTransactions = 1026;
constexpr UINT kNotABankAccount = 1027;
constexpr UINT kNoSuchAccount = 1045;
constexpr UINT kBankNotAllowed = 1046;
constexpr UINT kSlotLocked = 1047;
// The save's own notice; the string table's 1046 says the same without
// the full stop.
constexpr const char* kBankNotAllowedOnSave = "Control account should not be a bank account.";

constexpr std::size_t kCodeSize = 9;

#pragma pack(push, 1)
// One grid row: the slot's caption and the account code.
struct SlotRow {
  char caption[61];
  char code[kCodeSize];
};
#pragma pack(pop)
static_assert(sizeof(SlotRow) == 70);

struct Code {
  char text[kCodeSize] = {};
};

datafilemap* controlFile() { return &glob().dataFiles[DF_CONTROL]; }
datafilemap* nominalFile() { return &glob().dataFiles[DF_NOMINAL]; }
bool lockingRecords() { return glob().lockRecords != 0; }

// The slots that stay locked once their account carries postings.
bool isPostingSlot(int slot) { return slot == 0 || slot == 1 || slot == 3 || slot == 4; }

// Slots 3 and 4 (VAT) and 5 and 6 (discounts) may share one account.
bool mayShareAccount(int a, int b) { return (a == 3 && b == 4) || (a == 5 && b == 6); }

Code copyCode(const char* text) {
  Code c;
  CopyToField(c.text, text);
  return c;
}
Code padded(const char* text) {
  Code c = copyCode(text);
  FillUp(c.text, kCodeSize);
  return c;
}
Code trimmed(const char* text) {
  Code c = copyCode(text);
  CleanUp(c.text);
  return c;
}
bool sameCode(const Code& a, const Code& b) { return std::strcmp(a.text, b.text) == 0; }

void setCursor(UINT cursor) { SetCursor(LoadCursorA(nullptr, cursor)); }

HWND gridOf(HWND dialog) { return GetDlgItem(dialog, IDC_CONTROL_ACCOUNTS_GRID); }
HWND cellEditorOf(HWND dialog) {
  return GetDlgItem(gridOf(dialog), IDC_CONTROL_ACCOUNTS_CODE_COLUMN);
}

LRESULT gridMessage(HWND dialog, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                    LPARAM fifth = 0) {
  return DESendDlgItemGridMessage(dialog, IDC_CONTROL_ACCOUNTS_GRID, message, wParam, lParam,
                                  fifth);
}

int currentRow(HWND dialog) { return static_cast<int>(gridMessage(dialog, GM_CURRENTROW)); }
void selectRow(HWND dialog, int row) { gridMessage(dialog, GM_SETCURRENTROW, 0, row); }
void holdCellEdits(HWND dialog, bool hold) { gridMessage(dialog, GM_HOLDEDITS, hold ? 1 : 0); }

SlotRow readRow(HWND dialog, int row) {
  SlotRow r{};
  gridMessage(dialog, GM_GETROW, 0, row, reinterpret_cast<LPARAM>(&r));
  return r;
}

char* openingCode(HWND dialog, int slot) {
  return static_cast<char*>(
      GetControlPtr(dialog, IDC_CONTROL_ACCOUNTS_OPENING_0 + static_cast<UINT>(slot), ENTRY_TEXT));
}

nommap* nominalWork(HWND dialog) {
  return static_cast<nommap*>(
      GetControlPtr(dialog, IDC_CONTROL_ACCOUNTS_NOMINAL_WORK, kEntryRecordBuffer));
}

DWORD findAccount(UINT searchKind, const Code& paddedCode, nommap* into) {
  return FlashFindAccount(glob().dataFiles, searchKind, paddedCode.text, into, 0);
}

void showString(HWND owner, int kind, UINT id) {
  MsgBox(owner, kind, GetResourceString(id, g_hInstance));
}

// ---- Nominal records ---------------------------------------------------------------

void markAsControlAccount(nommap& n) {
  n.typeFlags = static_cast<BYTE>((n.typeFlags & 0xFC) | NOMINAL_CONTROL);
}
void markAsOrdinaryAccount(nommap& n) {
  n.typeFlags = static_cast<BYTE>((n.typeFlags & 0xF9) | NOMINAL_ORDINARY);
}

// Reads a nominal record for a look at it alone.
void readNominal(DWORD record, nommap* into) {
  datafilemap* nominal = nominalFile();
  FileOpen(nominal, OF_READ, OF_SHARE_DENY_NONE, 1);
  ReadRec(nominal, record, into);
  FileClose(nominal);
}

// Re-reads the nominal record under its lock, lets `change` adjust it and
// writes it back.
template <class Change>
void rewriteNominal(DWORD record, nommap* work, Change change) {
  datafilemap* nominal = nominalFile();
  FileOpen(nominal, OF_READWRITE, OF_SHARE_DENY_NONE, 1);
  if (lockingRecords()) LockRec(nominal, record);
  ReadRec(nominal, record, work);
  change(*work);
  WriteRec(nominal, record, work);
  if (lockingRecords()) UnLockRec(nominal, record);
  FileClose(nominal);
}

// ---- Init --------------------------------------------------------------------------

SlotRow slotRow(int slot, const char* code) {
  SlotRow row{};
  CopyToField(row.code, code);
  CleanUp(row.code);
  CopyToField(row.caption,
              GetResourceString(kFirstSlotCaption + static_cast<UINT>(slot), g_hInstance));
  return row;
}

void loadSlot(HWND dialog, int slot, nommap* work) {
  DWORD record = glob().control.controlRec[slot];
  if (record) {
    std::memset(work, 0, sizeof *work);
    ReadRec(nominalFile(), record, work);
  } else {
    std::memcpy(work->code, Space(8), 8);
    work->code[8] = '\0';
  }
  std::memcpy(openingCode(dialog, slot), work->code, kCodeSize);
  SlotRow row = slotRow(slot, work->code);
  gridMessage(dialog, GM_ADDROW, 0, reinterpret_cast<LPARAM>(&row));
  if (row.code[0] && work->balance != 0.0 && isPostingSlot(slot))
    gridMessage(dialog, GM_MARKROW, 1, slot);
}

std::uint32_t initControlAccounts(HWND dialog) {
  nommap* work = nominalWork(dialog);
  ReadSetup();
  ReadControl();
  gridMessage(dialog, GM_CLEAR);
  FileOpen(nominalFile(), OF_READ, OF_SHARE_DENY_NONE, 1);
  for (int slot = 0; slot < kSlotCount; ++slot) loadSlot(dialog, slot, work);
  FileClose(nominalFile());
  UpdateDEDialog(dialog);
  selectRow(dialog, 0);
  PostMessageA(dialog, WM_COMMAND, IDC_CONTROL_ACCOUNTS_AFTER_INIT, 0);
  return 0;  // the grid's row is chosen here, not by the engine's default focus
}

// ---- Checks --------------------------------------------------------------------------

BOOL CanChangeControlAccount(HWND dialog) {
  int row = currentRow(dialog);
  if (!isPostingSlot(row)) return TRUE;
  DWORD record = glob().control.controlRec[row];
  if (!record) return TRUE;
  nommap n{};
  readNominal(record, &n);
  return n.balance == 0.0 && n.tranLink1 == 0 ? TRUE : FALSE;
}

// The first later row holding the same (non-empty) code, -1 if none.
int duplicateOf(HWND dialog, int row, const Code& code) {
  if (!code.text[0]) return -1;
  for (int later = row + 1; later < kSlotCount; ++later) {
    if (mayShareAccount(row, later)) continue;
    if (sameCode(code, trimmed(readRow(dialog, later).code))) return later;
  }
  return -1;
}

// The string id of the changed slot's first failure, 0 when it passes.
UINT checkChangedSlot(int slot, const Code& code) {
  if (isPostingSlot(slot)) {
    nommap n{};
    if (findAccount(kSearchNominal, code, &n) && n.tranLink2 != 0) return kAccountHasTransactions;
  }
  bool bank = findAccount(kSearchBank, code, nullptr) != 0;
  if (slot != kBankSlot && bank) return kBankNotAllowed;
  if (slot == kBankSlot && !bank) return kNotABankAccount;
  return 0;
}

UINT ValidateControlAccounts(HWND dialog) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    SlotRow row = readRow(dialog, slot);
    if (int dup = duplicateOf(dialog, slot, trimmed(row.code)); dup >= 0) {
      SetFocus(gridOf(dialog));
      selectRow(dialog, dup);
      return kDuplicateAccounts;
    }
    Code code = padded(row.code);
    if (sameCode(code, padded(openingCode(dialog, slot)))) continue;
    if (UINT failure = checkChangedSlot(slot, code)) {
      selectRow(dialog, slot);
      return failure;
    }
  }
  SetFocus(gridOf(dialog));
  return 0;
}

BOOL IsCodeInControlGrid(HWND dialog, const char* paddedCode) {
  Code wanted = copyCode(paddedCode);
  for (int row = 0; row < kSlotCount; ++row)
    if (sameCode(wanted, padded(readRow(dialog, row).code))) return TRUE;
  return FALSE;
}

// ---- Closing -------------------------------------------------------------------------

// A cell edit still pending keeps the dialog open.
void closeControlAccounts(HWND dialog) {
  if (gridMessage(dialog, EM_GETMODIFY) != 0) return;
  DestroyDEDialog(dialog, 0);
}

// ---- Save ----------------------------------------------------------------------------

void releaseControlFile() {
  if (lockingRecords()) UnLockRec(controlFile(), 1);
  FileClose(controlFile());
}

// Applies one changed slot to contmap and the nominal records; false when
// the save must stop here (the control record is then not written).
bool applySlot(HWND dialog, int slot, const Code& newCode, const Code& oldCode) {
  contmap& control = glob().control;
  nommap* work = nominalWork(dialog);
  if (!trimmed(newCode.text).text[0]) {
    control.controlRec[slot] = 0;
  } else {
    DWORD record = findAccount(kSearchNominal, newCode, work);
    if (!record) {
      control.controlRec[slot] = 0;
      releaseControlFile();
      setCursor(IDC_ARROW);
      holdCellEdits(dialog, true);
      showString(dialog, MSGBOX_ERROR, kNoSuchAccount);
      holdCellEdits(dialog, false);
      return false;
    }
    if ((work->typeFlags & NOMINAL_BANK) && slot != kBankSlot) {
      MsgBox(dialog, MSGBOX_NOTICE, kBankNotAllowedOnSave);
      selectRow(dialog, slot);
      SetFocus(gridOf(dialog));
      releaseControlFile();
      setCursor(IDC_ARROW);
      return false;
    }
    control.controlRec[slot] = record;
    // The default bank keeps its kind bits: it stays a bank account.
    rewriteNominal(record, work, [slot](nommap& n) {
      if (slot != kBankSlot) markAsControlAccount(n);
    });
  }
  if (DWORD old = findAccount(kSearchNominal, oldCode, work)) {
    // An account that moved to another slot is still a control account.
    bool released = slot != kBankSlot && !IsCodeInControlGrid(dialog, oldCode.text);
    rewriteNominal(old, work, [released](nommap& n) {
      if (released) markAsOrdinaryAccount(n);
    });
  }
  return true;
}

void saveControlAccounts(HWND dialog) {
  setCursor(IDC_WAIT);
  if (UINT failure = ValidateControlAccounts(dialog)) {
    setCursor(IDC_ARROW);
    showString(dialog, MSGBOX_ERROR, failure);
    return;
  }
  datafilemap* control = controlFile();
  FileOpen(control, OF_READWRITE, OF_SHARE_DENY_WRITE, 1);
  if (lockingRecords()) LockRec(control, 1);
  ReadRec(control, 1, &glob().control);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    Code newCode = padded(readRow(dialog, slot).code);
    Code oldCode = padded(openingCode(dialog, slot));
    if (sameCode(newCode, oldCode)) continue;
    if (!applySlot(dialog, slot, newCode, oldCode)) return;
  }
  WriteRec(control, 1, &glob().control);
  releaseControlFile();
  AnnounceControlChanged();
  setCursor(IDC_ARROW);
  closeControlAccounts(dialog);
}

// ---- Cell editing --------------------------------------------------------------------

// A locked slot's editor takes no typing.
void lockEditorIfPosted(HWND dialog, HWND editor) {
  if (!CanChangeControlAccount(dialog)) {
    SendMessageA(editor, EM_SETREADONLY, 1, 0);
    HideCaret(editor);
  } else {
    SendMessageA(editor, EM_SETREADONLY, 0, 0);
    ShowCaret(editor);
  }
}

void PopupControlAccount(HWND dialog, UINT controlId, UINT notification,
                         [[maybe_unused]] HWND control) {
  HWND grid = gridOf(dialog);
  HWND editor = cellEditorOf(dialog);
  PopupRequest request{};
  request.dialog = dialog;
  request.control = editor;
  request.controlId = static_cast<WORD>(controlId);
  request.notification = static_cast<WORD>(notification);
  request.searchMode = currentRow(dialog) == kBankSlot ? kSearchBank : kSearchNominal;
  request.flag14 = 1;
  request.flag16 = 0;
  request.flag18 = request.flag20 = request.flag22 = request.flag24 = 1;
  request.grid = grid;
  auto caretWindow = static_cast<HWND>(SendMessageA(editor, GM_CARETWINDOW, 0, 0));
  HideCaret(caretWindow);
  if (CanChangeControlAccount(dialog)) {
    DoPopup(&request);
  } else {
    PostMessageA(dialog, WM_COMMAND, IDC_CONTROL_ACCOUNTS_LOCKED_NOTICE, 0);
    PostMessageA(editor, GM_CANCELEDIT, 0, 0);
  }
  ShowCaret(caretWindow);
}

// The user left an N/C cell: a code that names no account opens the finder.
std::uint32_t cellDone(HWND dialog) {
  if (gridMessage(dialog, EM_GETMODIFY) == 0) return 0;
  char text[kCodeSize] = {};
  gridMessage(dialog, GM_GETCELLTEXT, kCodeColumn, currentRow(dialog),
              reinterpret_cast<LPARAM>(text));
  Code code = trimmed(text);
  // An emptied slot is accepted as it is; the hold it leaves lasts until
  // a finder or a save message releases it, and the save checks every slot.
  if (!code.text[0]) {
    holdCellEdits(dialog, true);
    return 0;
  }
  if (findAccount(kSearchNominal, padded(code.text), nullptr)) return 0;
  HWND grid = gridOf(dialog);
  if (!CanChangeControlAccount(dialog)) {
    PostMessageA(grid, GM_CANCELEDIT, 0, 0);
    return 0;
  }
  holdCellEdits(dialog, true);
  PopupControlAccount(dialog, IDC_CONTROL_ACCOUNTS_GRID, GN_CELLDONE, grid);
  SendMessageA(cellEditorOf(dialog), GM_COMMITEDIT, 0, 0);
  holdCellEdits(dialog, false);
  return 1;
}

std::uint32_t cellEditorCommand(HWND dialog, HWND editor, UINT notify) {
  if (notify == EN_SETFOCUS || notify == EN_UPDATE) lockEditorIfPosted(dialog, editor);
  if (notify == LN_FINDER)
    PopupControlAccount(dialog, IDC_CONTROL_ACCOUNTS_CODE_COLUMN, notify, editor);
  return 0;
}

}  // namespace

VX70_HANDLER(ControlAccountsInit) {
  // Only the Control Accounts dialog has the nominal work buffer; any
  // other window is not this dialog's and is left alone.
  if (!nominalWork(hwnd)) return 0;
  return initControlAccounts(hwnd);
}

VX70_HANDLER(ControlAccountsCommand) {
  if (!nominalWork(hwnd)) return 0;
  switch (id) {
    case IDC_CONTROL_ACCOUNTS_OK:
      if (notify == BN_CLICKED) saveControlAccounts(hwnd);
      return 0;
    case IDCANCEL:
      if (notify == BN_CLICKED) closeControlAccounts(hwnd);
      return 0;
    case IDC_CONTROL_ACCOUNTS_CODE_COLUMN:
      return cellEditorCommand(hwnd, control, notify);
    case IDC_CONTROL_ACCOUNTS_GRID:
      return notify == GN_CELLDONE ? cellDone(hwnd) : 0;
    case IDC_CONTROL_ACCOUNTS_LOCKED_NOTICE:
      showString(hwnd, MSGBOX_WARNING, kSlotLocked);
      return 0;
    default:
      return 0;
  }
}

extern "C" std::int32_t WINAPI GetControlAccountNo(std::uint32_t nominalRecord) {
  const contmap& control = g_lpGlobVar->control;
  for (int slot = 0; slot < kSlotCount; ++slot)
    if (control.controlRec[slot] == nominalRecord) return slot;
  return -1;
}
