// SaveUserOptions: the user's own options (the private list-update flags,
// the own call-charge rate, the wallpaper choices...) live in the user's
// record of the user file.
// The record in memory holds the password readable; the file keeps it in
// converted form, so it is converted back on the way out.  The record is
// found by logon name, ignoring case and padding, and locked around its
// rewrite when the company locks records.
#include <cstring>

#include "api/host_api.h"
#include "host/package/user_record.h"

namespace {

constexpr std::size_t kPasswordChars = 10;

// The record as the file keeps it: the password padded and converted.
accessmap storedForm(const accessmap& current) {
  accessmap out = current;
  std::memset(out.password, 0, sizeof out.password);
  std::memcpy(out.password, current.password, strnlen(current.password, kPasswordChars));
  FillUp(out.password, sizeof out.password);
  convert(out.password);
  out.password[kPasswordChars] = '\0';
  return out;
}

}  // namespace

extern "C" BOOL SaveUserOptions(datafilemap* files, setupmap* /*setup*/, accessmap* access,
                                DWORD lockRecords) {
  if (!files || !access) return FALSE;
  datafilemap* users = &files[DF_USERS];
  if (!FileOpen(users, OF_READWRITE, OF_SHARE_DENY_NONE, 1)) return FALSE;
  namespace pkg = vx70::package;
  accessmap stored;
  const DWORD n = pkg::findUserRecord(users, pkg::logonName(*access), stored);
  BOOL saved = FALSE;
  if (n) {
    if (lockRecords) LockRec(users, n);
    // The user's own call-charge rate is held in the global block while
    // the program runs.
    if (access == &g_lpGlobVar->access) access->callChargeRate = g_lpGlobVar->userCallChargeRate;
    accessmap out = storedForm(*access);
    saved = WriteRec(users, n, &out) == sizeof out ? TRUE : FALSE;
    if (lockRecords) UnLockRec(users, n);
  }
  FileClose(users);
  return saved;
}
