// Injected faults for the tests: an SQLite file layer that passes every
// call to the system's own, except that its writes fail as on a full disk
// while the file named by $VX70_FAULT_DISK_FULL exists.  A test makes the
// file at the moment the disk should "fill up" and removes it to let the
// disk "empty" again, from outside the station's process.
//
// A test in the station's own process may instead install the layer and
// let a given number of writes through before the disk "fills up".
//
// Without either the layer is never registered and the system's file layer
// is used as it is.
#include "host/data/fault_vfs.h"

#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace vx70::data {

namespace {

constexpr const char* kVfsName = "vx70-faults";

sqlite3_vfs* systemVfs() { return sqlite3_vfs_find(nullptr); }

std::atomic<bool> g_installed{false};
std::atomic<long> g_writesLeft{-1};  // negative: no counted fault

// Counts one write against the writes left; true when it must fail.
bool countedWriteFails() {
  long left = g_writesLeft.load();
  while (left >= 0) {
    if (left == 0) return true;
    if (g_writesLeft.compare_exchange_weak(left, left - 1)) return false;
  }
  return false;
}

bool diskFull() {
  const char* marker = std::getenv("VX70_FAULT_DISK_FULL");
  if (marker && *marker && ::access(marker, F_OK) == 0) return true;
  return countedWriteFails();
}

// The layer's file: the system's file lies right behind it.
struct FaultFile {
  sqlite3_file base;
  sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

FaultFile* faultFile(sqlite3_file* f) { return reinterpret_cast<FaultFile*>(f); }
sqlite3_file* real(sqlite3_file* f) { return faultFile(f)->real(); }

int faultWrite(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
  if (diskFull()) return SQLITE_FULL;
  return real(f)->pMethods->xWrite(real(f), data, amount, offset);
}

int faultClose(sqlite3_file* f) { return real(f)->pMethods->xClose(real(f)); }
int faultRead(sqlite3_file* f, void* data, int amount, sqlite3_int64 offset) {
  return real(f)->pMethods->xRead(real(f), data, amount, offset);
}
int faultTruncate(sqlite3_file* f, sqlite3_int64 size) {
  return real(f)->pMethods->xTruncate(real(f), size);
}
int faultSync(sqlite3_file* f, int flags) { return real(f)->pMethods->xSync(real(f), flags); }
int faultFileSize(sqlite3_file* f, sqlite3_int64* size) {
  return real(f)->pMethods->xFileSize(real(f), size);
}
int faultLock(sqlite3_file* f, int level) { return real(f)->pMethods->xLock(real(f), level); }
int faultUnlock(sqlite3_file* f, int level) { return real(f)->pMethods->xUnlock(real(f), level); }
int faultCheckReservedLock(sqlite3_file* f, int* out) {
  return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int faultFileControl(sqlite3_file* f, int op, void* arg) {
  return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int faultSectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
int faultDeviceCharacteristics(sqlite3_file* f) {
  return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int faultShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
  return real(f)->pMethods->xShmMap(real(f), region, size, extend, out);
}
int faultShmLock(sqlite3_file* f, int offset, int n, int flags) {
  return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void faultShmBarrier(sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); }
int faultShmUnmap(sqlite3_file* f, int deleteFlag) {
  return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
int faultFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
  return real(f)->pMethods->xFetch(real(f), offset, amount, out);
}
int faultUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* page) {
  return real(f)->pMethods->xUnfetch(real(f), offset, page);
}

const sqlite3_io_methods kFaultMethods = {
    3,
    faultClose,
    faultRead,
    faultWrite,
    faultTruncate,
    faultSync,
    faultFileSize,
    faultLock,
    faultUnlock,
    faultCheckReservedLock,
    faultFileControl,
    faultSectorSize,
    faultDeviceCharacteristics,
    faultShmMap,
    faultShmLock,
    faultShmBarrier,
    faultShmUnmap,
    faultFetch,
    faultUnfetch,
};

int faultOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
  FaultFile* file = faultFile(f);
  file->base.pMethods = nullptr;
  int rc = systemVfs()->xOpen(systemVfs(), name, file->real(), flags, outFlags);
  if (rc != SQLITE_OK) return rc;
  // The layer forwards every method of the current file interface, so it
  // stands only over a file that offers them all.
  if (!file->real()->pMethods || file->real()->pMethods->iVersion < 3) {
    if (file->real()->pMethods) file->real()->pMethods->xClose(file->real());
    return SQLITE_CANTOPEN;
  }
  file->base.pMethods = &kFaultMethods;
  return SQLITE_OK;
}

sqlite3_vfs& faultVfs() {
  static sqlite3_vfs vfs = [] {
    sqlite3_vfs v = *systemVfs();
    v.zName = kVfsName;
    v.szOsFile = static_cast<int>(sizeof(FaultFile)) + systemVfs()->szOsFile;
    v.xOpen = faultOpen;
    v.pNext = nullptr;
    return v;
  }();
  return vfs;
}

}  // namespace

const char* fileLayerForFaults() {
  const char* marker = std::getenv("VX70_FAULT_DISK_FULL");
  if ((!marker || !*marker) && !g_installed) return nullptr;
  static std::once_flag registered;
  std::call_once(registered, [] { sqlite3_vfs_register(&faultVfs(), 0); });
  return kVfsName;
}

namespace faults {

void install() { g_installed = true; }

void failWritesAfter(long writes) { g_writesLeft = writes < 0 ? -1 : writes; }

}  // namespace faults

}  // namespace vx70::data
