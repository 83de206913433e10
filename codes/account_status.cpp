// Account Status (901) and Edit Account Status (9026).
//
// The hundred statuses 0-99 are records 1-100 of their file.  The list
// shows them all; the editor works on the list's current row and stores
// its record at once, so closing either dialog has nothing to save.  No
// multi-user action guards this table: each save locks only its record and
// tells the other stations with a change notice.
#include <cstdint>
#include <cstring>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_codes.h"

namespace {

constexpr int kStatusCount = 100;
constexpr UINT kDescriptionLimit = 60;

constexpr const char* kStatusZeroNotice = "You cannot change the 'On Hold' status of this item";

#pragma pack(push, 1)
// A row of GRID 1046.
struct StatusRow {
  std::int32_t number;
  char description[61];  // as stored, with its padding
  char hold;             // 'Y' on hold, else a space
  char hidden;           // a column of its own, never set
};
#pragma pack(pop)
static_assert(sizeof(StatusRow) == 67);

datafilemap* statusFile() { return &g_lpGlobVar->dataFiles[DF_ACCOUNT_STATUS]; }

char HoldMark(bool onHold) { return onHold ? 'Y' : ' '; }

StatusRow BuildStatusRow(int status, const char* description, bool onHold) {
  StatusRow row{};
  row.number = status;
  std::memcpy(row.description, description, strnlen(description, sizeof row.description - 1));
  row.hold = HoldMark(onHold);
  return row;
}

HWND ListGrid(HWND editor) {
  return GetDlgItem(GetDEDialogParent(editor), IDC_ACCOUNT_STATUS_GRID);
}

// -1 when there is no row: also when the editor was opened without the list.
int CurrentRow(HWND grid) {
  return grid ? static_cast<int>(DESendGridMessage(grid, GM_CURRENTROW, 0, 0, 0)) : -1;
}

// ---- The list ---------------------------------------------------------------

void FillStatusList(HWND dialog) {
  datafilemap* file = statusFile();
  FileOpen(file, 0, 64, 1);
  for (int status = 0; status < kStatusCount; ++status) {
    accstatusmap record{};
    ReadRec(file, static_cast<DWORD>(status + 1), &record);
    record.description[sizeof record.description - 1] = '\0';
    StatusRow row = BuildStatusRow(status, record.description, record.onHold == 1);
    DESendDlgItemGridMessage(dialog, IDC_ACCOUNT_STATUS_GRID, GM_ADDROW, 0,
                             reinterpret_cast<LPARAM>(&row), 0);
  }
  FileClose(file);
}

// ---- The editor -------------------------------------------------------------

void SaveStatus(HWND editor) {
  HWND grid = ListGrid(editor);
  EnableWindow(editor, FALSE);
  int row = CurrentRow(grid);
  if (row < 0) {
    // Opened without a row of the list there is no status to store.
    DestroyDEDialog(editor, 0);
    return;
  }
  DWORD recordNo = static_cast<DWORD>(row + 1);
  datafilemap* file = statusFile();
  FileOpen(file, 1, 64, 1);

  accstatusmap record{};
  GetDlgItemTextA(editor, IDC_EDIT_ACCOUNT_STATUS_DESCRIPTION, record.description,
                  static_cast<int>(kDescriptionLimit + 1));
  FillUp(record.description, sizeof record.description);
  const bool onHold = IsDlgButtonChecked(editor, IDC_EDIT_ACCOUNT_STATUS_ON_HOLD) == BST_CHECKED;
  record.onHold = onHold ? 1 : 0;

  if (g_lpGlobVar->lockRecords) LockRec(file, recordNo);
  WriteRec(file, recordNo, &record);
  if (g_lpGlobVar->lockRecords) UnLockRec(file, recordNo);

  StatusRow shown = BuildStatusRow(row, record.description, onHold);
  DESendGridMessage(grid, GM_SETROW, 0, row, reinterpret_cast<LPARAM>(&shown));

  FileClose(file);
  AnnounceControlChanged();
  EnableWindow(editor, TRUE);
  DestroyDEDialog(editor, 0);
}

}  // namespace

VX70_HANDLER(AccountStatusInit) {
  ReadControl();
  FillStatusList(hwnd);
  DESendDlgItemGridMessage(hwnd, IDC_ACCOUNT_STATUS_GRID, GM_SETCURRENTROW, 0, 0, 0);
  return 1;
}

VX70_HANDLER(AccountStatusCommand) {
  if (id == IDOK || id == IDCANCEL) {
    DestroyDEDialog(hwnd, 0);
  } else if (id == IDC_ACCOUNT_STATUS_EDIT ||
             (id == IDC_ACCOUNT_STATUS_GRID && notify == GN_ACTIVATE)) {
    // The editor works on the current row; without one there is nothing
    // to edit.
    if (CurrentRow(GetDlgItem(hwnd, IDC_ACCOUNT_STATUS_GRID)) >= 0)
      CreateDEDialog(hwnd, VX70DEF_MODULE, IDD_EDIT_ACCOUNT_STATUS, 0);
  }
  return 0;
}

VX70_HANDLER(EditAccountStatusInit) {
  HWND grid = ListGrid(hwnd);
  int row = CurrentRow(grid);
  StatusRow shown{};
  DESendGridMessage(grid, GM_GETROW, 0, row, reinterpret_cast<LPARAM>(&shown));
  SendDlgItemMessageA(hwnd, IDC_EDIT_ACCOUNT_STATUS_DESCRIPTION, EM_LIMITTEXT, kDescriptionLimit,
                      0);

  char description[sizeof shown.description] = {};
  std::memcpy(description, shown.description, sizeof description - 1);
  CleanUp(description);
  SetDlgItemTextA(hwnd, IDC_EDIT_ACCOUNT_STATUS_DESCRIPTION, description);

  if (row == 0) {
    MsgBox(hwnd, MSGBOX_NOTICE, kStatusZeroNotice);
    EnableWindow(GetDlgItem(hwnd, IDC_EDIT_ACCOUNT_STATUS_ON_HOLD), FALSE);
  }
  CheckDlgButton(hwnd, IDC_EDIT_ACCOUNT_STATUS_ON_HOLD,
                 shown.hold == 'Y' ? BST_CHECKED : BST_UNCHECKED);
  return 1;
}

VX70_HANDLER(EditAccountStatusCommand) {
  if (id == IDOK)
    SaveStatus(hwnd);
  else if (id == IDCANCEL)
    DestroyDEDialog(hwnd, 0);
  return 0;
}
