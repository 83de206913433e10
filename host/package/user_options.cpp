// SaveUserOptions: the user's own options (the private list-update flags,
// the own call-charge rate, the wallpaper choices...) live in the user's
// record of the user file.
// The record in memory holds the password readable; the file keeps it in
// converted form, so it is converted back on the way out.  The record is
// found by logon name, ignoring case and padding, and locked around its
// rewrite when the company locks records.
#include <strings.h>

#include <cstring>

#include "api/host_api.h"

namespace {

constexpr std::size_t kPasswordChars = 10;

void trimInPlace(char* text, std::size_t size) {
  text[size - 1] = '\0';
  CleanUp(text);
}

bool sameUser(const accessmap& stored, const accessmap& current) {
  char a[sizeof stored.logonName];
  char b[sizeof current.logonName];
  std::memcpy(a, stored.logonName, sizeof a);
  std::memcpy(b, current.logonName, sizeof b);
  trimInPlace(a, sizeof a);
  trimInPlace(b, sizeof b);
  return a[0] != '\0' && strcasecmp(a, b) == 0;
}

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
  BOOL saved = FALSE;
  const DWORD count = RecCount(users);
  for (DWORD n = 1; n <= count && !saved; ++n) {
    accessmap record;
    if (ReadRec(users, n, &record) != sizeof record) break;
    if (!sameUser(record, *access)) continue;
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
