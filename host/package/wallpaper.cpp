// The common library's (VX70COM) wallpaper operations.  The wallpaper is
// kept twice: in the setup record, where it is the company's, and in the
// user's record, where it is the user's own.  A setting changes both, so
// the latest choice also becomes what users who never chose one see; a
// user who has chosen sees the own (SaveUserOptions stores it), whatever
// another user chose later.
#include <cstring>

#include "api/host_api.h"

namespace {

constexpr UINT kPosition = 39;
constexpr UINT kShown = 40;

bool usersOwn(const accessmap* access) { return access && access->ownWallpaper; }

template <std::size_t N>
void copyName(char (&field)[N], const char* name) {
  const std::size_t n = name ? strnlen(name, N - 1) : 0;
  std::memcpy(field, name, n);
  std::memset(field + n, 0, N - n);
}

// The state byte that `which` names in a record of either kind (const or
// not); nullptr for an unknown one.
template <class Record>
auto stateOf(Record* record, UINT which) -> decltype(&record->wallpaperShown) {
  if (!record) return nullptr;
  if (which == kPosition) return &record->wallpaperPosition;
  if (which == kShown) return &record->wallpaperShown;
  return nullptr;
}

// A user's first own setting starts from the company's wallpaper, which
// the user saw until then.
void takeOwnership(accessmap& access, const setupmap* setup) {
  if (access.ownWallpaper) return;
  copyName(access.wallpaperFile, setup ? setup->wallpaperFile : "");
  access.wallpaperPosition = setup ? setup->wallpaperPosition : 0;
  access.wallpaperShown = setup ? setup->wallpaperShown : 0;
  access.ownWallpaper = 1;
}

}  // namespace

extern "C" {

// The answer stays valid until the next call on the same thread.
const char* GetWallPaperFileName(const setupmap* setup, const accessmap* access) {
  thread_local char name[sizeof setup->wallpaperFile];
  copyName(name, usersOwn(access) ? access->wallpaperFile : setup ? setup->wallpaperFile : "");
  return name;
}

void SetWallPaperFileName(const char* name, setupmap* setup, accessmap* access) {
  if (setup) copyName(setup->wallpaperFile, name);
  if (!access) return;
  takeOwnership(*access, setup);
  copyName(access->wallpaperFile, name);
}

BYTE GetWallPaperState(UINT which, const setupmap* setup, const accessmap* access) {
  const BYTE* state = usersOwn(access) ? stateOf(access, which) : stateOf(setup, which);
  return state ? *state : 0;
}

void SetWallPaperState(UINT which, BYTE value, setupmap* setup, accessmap* access) {
  if (BYTE* state = stateOf(setup, which)) *state = value;
  if (!stateOf(access, which)) return;
  takeOwnership(*access, setup);
  *stateOf(access, which) = value;
}

}  // extern "C"
