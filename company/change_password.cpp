// Change Password (3632).
//
// With access rights on, every user but the manager keeps a password in the
// user file; the manager, and everybody while access rights are off, uses
// the company password of the setup record.  Stored passwords are always in
// the form `convert` gives them; the current user's in memory is readable.
//
// The manager is recognised two ways: the fill compares the logon name with
// the converted word "Manager", OK with the plain word, both ignoring case.
// Our `convert` only swaps letter case, so the two tests agree for a manager
// logged on in any letter case.
#include <strings.h>

#include <cstring>

#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_company.h"

namespace {

constexpr UINT kManagerName = 1088;
constexpr std::size_t kPasswordChars = 10;
constexpr UINT kPasswordField = 11;  // FillUp size: 10 characters and the terminator

datafilemap* setupFile() { return &glob().dataFiles[DF_SETUP]; }
datafilemap* userFile() { return &glob().dataFiles[DF_USERS]; }

char* textBuffer(HWND dialog, UINT id) {
  return static_cast<char*>(GetControlPtr(dialog, id, ENTRY_TEXT));
}

void trim(char* text) {
  if (text) CleanUp(text);
}

bool sameIgnoringCase(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

// The stored form of a readable password: 10 characters padded with
// spaces, converted, and a terminator at index 10.
void storePassword(char (&stored)[11], const char* readable) {
  std::memset(stored, 0, sizeof stored);
  CopyCut(stored, sizeof stored, readable, kPasswordChars);
  FillUp(stored, kPasswordField);
  convert(stored);
  stored[kPasswordChars] = '\0';
}

void FillChangePassword(HWND dialog) {
  const setupmap& setup = glob().setup;
  const accessmap& access = glob().access;
  char* name = textBuffer(dialog, IDC_PASSWORD_LOGON_NAME);
  char* password = textBuffer(dialog, IDC_PASSWORD_NEW);
  // 1. The manager's name as the fill compares it.
  char manager[64] = {};
  CopyCut(manager, sizeof manager, GetResourceString(kManagerName, g_hInstance), 63);
  convert(manager);
  // 2. A user who is not the manager sees the own password.
  if (setup.accessRights && !sameIgnoringCase(access.logonName, manager)) {
    CopyCut(password, kPasswordField, access.password, kPasswordChars);
    CopyCut(name, sizeof access.logonName, access.logonName, sizeof access.logonName);
  } else {
    // 3. The manager, or everybody without access rights: the company password.
    if (setup.accessRights) {
      CopyCut(name, sizeof access.logonName, access.logonName, sizeof access.logonName);
    } else {
      SetDlgItemTextA(dialog, IDC_PASSWORD_NAME_CAPTION, "Company Name");
      CopyCut(name, sizeof access.logonName, setup.companyName, sizeof setup.companyName);
    }
    CopyCut(password, kPasswordField, setup.password, kPasswordChars);
    if (password) convert(password);
  }
  trim(password);
  trim(name);
  UpdateDEDialog(dialog);
  // 4. The confirmation is never filled.
}

// The user's own record in the user file gets the new password; the
// file is created empty when it is missing.
void changeUserPassword(const char* logonName, const char* newPassword) {
  datafilemap* users = userFile();
  // 1. A missing file is created empty.
  if (!FileOpen(users, OF_EXIST, OF_SHARE_DENY_NONE, 1)) {
    if (FileOpen(users, OF_CREATE, OF_SHARE_EXCLUSIVE, 1)) FileClose(users);
  }
  // 2. Opened for reading and writing, shared.
  if (!FileOpen(users, OF_READWRITE, OF_SHARE_DENY_NONE, 1)) return;
  // 3. The first record of that logon name takes the password.
  DWORD count = RecCount(users);
  for (DWORD n = 1; n <= count; ++n) {
    accessmap record;
    if (ReadRec(users, n, &record) != sizeof record) break;
    CleanUp(record.logonName);
    if (sameIgnoringCase(record.logonName, logonName)) {
      storePassword(record.password, newPassword);
      WriteRec(users, n, &record);
      break;
    }
  }
  // 4. The setup record is not written in this case.
  FileClose(users);
}

void saveNewPassword(HWND dialog) {
  char* name = textBuffer(dialog, IDC_PASSWORD_LOGON_NAME);
  char* password = textBuffer(dialog, IDC_PASSWORD_NEW);
  char* confirm = textBuffer(dialog, IDC_PASSWORD_CONFIRM);
  if (!name || !password || !confirm) return;
  // 1. All three trimmed.
  trim(name);
  trim(password);
  trim(confirm);
  // 2. The two entries must match exactly, case included.
  if (std::strcmp(password, confirm) != 0) {
    MsgBox(dialog, MSGBOX_ERROR, "Passwords do not match");
    SetFocus(GetDlgItem(dialog, IDC_PASSWORD_NEW));
    return;
  }
  // 3. The setup record is re-read under its lock.
  globvar& g = glob();
  EnableWindow(dialog, FALSE);
  NetworkFileOpen(setupFile(), 2, 32);
  if (g.lockRecords) LockRec(setupFile(), 1);
  ReadRec(setupFile(), 1, &g.setup);
  if (g.setup.accessRights &&
      !sameIgnoringCase(g.access.logonName, GetResourceString(kManagerName, g_hInstance))) {
    // 4. A user other than the manager: the user file.
    changeUserPassword(name, password);
  } else {
    // 5. The company password.
    storePassword(g.setup.password, password);
    WriteRec(setupFile(), 1, &g.setup);
  }
  // 6. Unlocked and closed on every path.
  if (g.lockRecords) UnLockRec(setupFile(), 1);
  FileClose(setupFile());
  // 7. The user's password in memory stays readable.
  CopyCut(g.access.password, sizeof g.access.password, password, kPasswordChars);
  // 8. Other stations reload the setup record.
  AnnounceSetupChanged();
  // 9. Done.
  EnableWindow(dialog, TRUE);
  DestroyDEDialog(dialog, 0);
}

}  // namespace

VX70_HANDLER(ChangePasswordInit) {
  FillChangePassword(hwnd);
  ReadSetup();
  SetFocus(GetDlgItem(hwnd, IDC_PASSWORD_NEW));
  return 1;
}

VX70_HANDLER(ChangePasswordCommand) {
  switch (id) {
    case IDCANCEL:
      DestroyDEDialog(hwnd, 0);
      break;
    case IDC_PASSWORD_DISCARD:
      FillChangePassword(hwnd);
      break;
    case IDC_OK:
      saveNewPassword(hwnd);
      break;
    default:
      break;
  }
  return 0;
}
