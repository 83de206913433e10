// User List (3634) with its Users (3635) and Requests (3636) pages.
//
// Every logged-in station and every multi-user action held or waited for
// has a record in the shared action file.  The dialog shows them, reads the
// file afresh on every fill and keeps nothing of its own; it takes no
// multi-user action.  Removing a user (command 2316) deletes that user's
// records through the multi-user library.
#include <cstring>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_system.h"

namespace {

constexpr WORD kLoggedIn = 7;
constexpr std::size_t kNameLength = 33;
constexpr std::size_t kRequestLength = 61;
constexpr std::size_t kDetailsLength = 9;

#pragma pack(push, 1)
// One row of the Users grid (GRID 1012).
struct UserRow {
  char user[kNameLength];
  char machine[kNameLength];
};
// One row of the Requests grid (GRID 1013).
struct RequestRow {
  char user[kNameLength];
  char request[kRequestLength];
  char details[kDetailsLength];
};
#pragma pack(pop)
static_assert(sizeof(UserRow) == 66);
static_assert(sizeof(RequestRow) == 103);

datafilemap* actionFile() { return &glob().dataFiles[DF_ACTIONS]; }

bool isCurrent(const actionmap& record) { return record.state == 0; }

// The station's own line is marked when it is the file server and network
// messaging shows who that is.
bool marksServer(const char* machine, const char* station) {
  return glob().netMessaging && std::strcmp(machine, station) == 0 && IsServer(glob().station);
}

UserRow userRowOf(const actionmap& record, const char* station) {
  UserRow row{};
  CopyCut(row.user, sizeof row.user, record.user, sizeof record.user);
  CopyCut(row.machine, sizeof row.machine, record.machine, sizeof record.machine);
  CleanUp(row.machine);
  if (marksServer(row.machine, station)) {
    std::size_t n = std::strlen(row.machine);
    if (n + 1 < sizeof row.machine) {
      row.machine[n] = '*';
      row.machine[n + 1] = '\0';
    }
  }
  return row;
}

RequestRow requestRowOf(const actionmap& record) {
  RequestRow row{};
  CopyCut(row.user, sizeof row.user, record.user, sizeof record.user);
  CopyCut(row.request, sizeof row.request, GetResourceString(record.kind, g_hInstance),
          kRequestLength);
  CopyCut(row.details, sizeof row.details, record.details, sizeof record.details);
  return row;
}

// Reads the action file from the first record to the last and offers each
// record to `take`, which appends a row and answers false once the grid
// refuses one.  A file that cannot be opened leaves the grid empty.
template <typename Take>
void readActionFile(Take&& take) {
  datafilemap* file = actionFile();
  if (!FileOpen(file, 0, 64, 1)) return;
  const DWORD count = RecCount(file);
  for (DWORD n = 1; n <= count; ++n) {
    actionmap record{};
    ReadRec(file, n, &record);
    if (!take(record)) break;
  }
  FileClose(file);
}

bool appendRow(HWND grid, const void* row) {
  return DESendGridMessage(grid, GM_ADDROW, 0, reinterpret_cast<LPARAM>(row), 0) != -1;
}

void FillUsersPage(HWND page) {
  // 1. This station's name, without trailing spaces.
  char station[kNameLength + 1] = {};
  GetStationName(station);
  CleanUp(station);
  // 2. The grid starts empty.
  HWND grid = GetDlgItem(page, IDC_USER_LIST_USERS_GRID);
  DESendGridMessage(grid, GM_CLEAR, 0, 0, 0);
  // 3-5. One row per logged-in user.
  readActionFile([&](const actionmap& record) {
    if (!isCurrent(record) || record.kind != kLoggedIn) return true;
    UserRow row = userRowOf(record, station);
    return appendRow(grid, &row);
  });
}

void FillRequestsPage(HWND page) {
  HWND grid = GetDlgItem(page, IDC_USER_LIST_REQUESTS_GRID);
  DESendGridMessage(grid, GM_CLEAR, 0, 0, 0);
  readActionFile([&](const actionmap& record) {
    if (!isCurrent(record) || record.kind == kLoggedIn) return true;
    RequestRow row = requestRowOf(record);
    return appendRow(grid, &row);
  });
}

// The User List that a call of the container or of either page belongs to.
HWND userListOf(HWND hwnd) { return GetDEDialogID(hwnd) == IDD_USER_LIST ? hwnd : GetParent(hwnd); }

void FillBothPages(HWND dialog) {
  HWND list = userListOf(dialog);
  if (HWND users = GetDEDialogChild(list, IDD_USER_LIST_USERS)) FillUsersPage(users);
  if (HWND requests = GetDEDialogChild(list, IDD_USER_LIST_REQUESTS)) FillRequestsPage(requests);
}

void RemoveSelectedUser(HWND dialog) {
  // 1. The Users grid.
  HWND users = GetDEDialogChild(userListOf(dialog), IDD_USER_LIST_USERS);
  HWND grid = users ? GetDlgItem(users, IDC_USER_LIST_USERS_GRID) : 0;
  if (!grid) return;
  // 2. Its current row; without one there is nobody to remove.
  const LRESULT current = DESendGridMessage(grid, GM_CURRENTROW, 0, 0, 0);
  UserRow row{};
  if (current < 0 ||
      DESendGridMessage(grid, GM_GETROW, 0, current, reinterpret_cast<LPARAM>(&row)) == -1)
    return;
  // 3-4. Warn, then ask.
  MsgBox(dialog, MSGBOX_WARNING,
         "Removing users from the system whilst they are currently working in the program "
         "could cause data corruption.");
  if (MsgBox(dialog, MSGBOX_YESNO, "Are you sure you want to remove this user ?") != IDYES) return;
  // 5. The user's records go from the action file.
  char user[kNameLength + 1] = {};
  CopyCut(user, sizeof user, row.user, sizeof row.user);
  FillUp(user, kNameLength);
  RemoveUserQueueMessagesIndirect(actionFile(), user, 1);
  // 6. Both pages show the file as it now is.
  FillBothPages(dialog);
}

}  // namespace

VX70_HANDLER(UserListInit) {
  FillBothPages(hwnd);
  return 1;
}

VX70_HANDLER(UserListCommand) {
  switch (id) {
    case IDC_USER_LIST_REFRESH:
      FillBothPages(hwnd);
      break;
    case IDOK:
    case IDCANCEL:
      // A page's Close closes the User List around it.
      DestroyDEDialog(userListOf(hwnd), 0);
      break;
    case IDC_USER_LIST_REMOVE_USER:
      RemoveSelectedUser(hwnd);
      break;
    default:
      break;
  }
  return 0;
}
