// SaveUserOptions: the user's own options (the private list-update flags,
// the own call-charge rate, the wallpaper choices...) live in the user's
// record of the user file.
// Only the options are written: the record is found by logon name
// (ignoring case and padding), re-read under its lock when the company locks
// records, and takes this station's options while its name, password and
// access data stay as stored, so that a password the same user changed on
// another station meanwhile is never put back.
#include <cstring>

#include "api/host_api.h"
#include "host/package/user_record.h"

namespace {

// The options that the station owns in the user's record.  Everything else
// (the name, the password, the access data) stays as the file holds it, so
// that what another station changed meanwhile survives.
void takeOptions(accessmap& stored, const accessmap& current) {
  stored.callChargeRate = current.callChargeRate;
  std::memcpy(stored.listUpdate, current.listUpdate, sizeof stored.listUpdate);
  std::memcpy(stored.wallpaperFile, current.wallpaperFile, sizeof stored.wallpaperFile);
  stored.wallpaperPosition = current.wallpaperPosition;
  stored.wallpaperShown = current.wallpaperShown;
  stored.ownWallpaper = current.ownWallpaper;
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
    // Re-read under the lock: the record as it stands now takes the options.
    if (ReadRec(users, n, &stored) == sizeof stored) {
      takeOptions(stored, *access);
      saved = WriteRec(users, n, &stored) == sizeof stored ? TRUE : FALSE;
    }
    if (lockRecords) UnLockRec(users, n);
  }
  FileClose(users);
  return saved;
}
