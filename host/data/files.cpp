// The data file functions (VX70FL32) with the meanings of Windows OpenFile,
// ReadFile and LockFile on record files, and the global block's record
// loaders of VX70COM that go through them.
#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

#include "api/host_api.h"
#include "host/data/session.h"

namespace vx70::data {
namespace {

// OpenFile's flags.
constexpr UINT kAccessMask = 0x3;
constexpr UINT kAccessWrite = 1;
constexpr UINT kAccessReadWrite = 2;
constexpr UINT kCreate = 0x1000;
constexpr UINT kExist = 0x4000;
constexpr UINT kShareMask = 0x70;
constexpr UINT kShareExclusive = 0x10;
constexpr UINT kShareDenyWrite = 0x20;
constexpr UINT kShareDenyRead = 0x30;

// Where the nominal record keeps what the account search looks at.
constexpr std::size_t kNominalCodeLength = 9;
constexpr std::size_t kNominalTypeFlagsOffset = 91;
constexpr std::uint8_t kBankAccountBit = 2;
constexpr UINT kSearchNominal = 258;
constexpr UINT kSearchBank = 260;

std::uint16_t fileNumber(const datafilemap* file) {
  if (!file) throw DataError("no data file entry given");
  if (!fileInfo(file->number))
    throw DataError("data file " + std::to_string(file->number) + " is not a file of the company");
  return file->number;
}

std::uint16_t recordLength(std::uint16_t file) { return fileInfo(file)->recordLength; }

unsigned shareBitsOf(UINT access, UINT share) {
  unsigned bits = 0;
  UINT mode = access & kAccessMask;
  if ((access & kCreate) || mode != kAccessWrite) bits |= kReadAccess;
  if ((access & kCreate) || mode == kAccessWrite || mode == kAccessReadWrite) bits |= kWriteAccess;
  switch (share & kShareMask) {
    case kShareExclusive:
      bits |= kDenyRead | kDenyWrite;
      break;
    case kShareDenyWrite:
      bits |= kDenyWrite;
      break;
    case kShareDenyRead:
      bits |= kDenyRead;
      break;
    default:
      break;  // deny none, or the compatibility mode
  }
  return bits;
}

// Sharing bytes of a file: 1 read access, 2 write access, 3 deny read,
// 4 deny write; each bit of ShareBit is byte index + 1.
off_t shareByte(std::uint16_t file, unsigned bit) {
  return LockMap::share(file, std::countr_zero(bit) + 1);
}

// Each thing asked conflicts with its opposite held by another station.
bool sharingConflicts(Session& s, std::uint16_t file, unsigned wanted) {
  static constexpr std::pair<unsigned, unsigned> kOpposites[] = {{kReadAccess, kDenyRead},
                                                                 {kWriteAccess, kDenyWrite},
                                                                 {kDenyRead, kReadAccess},
                                                                 {kDenyWrite, kWriteAccess}};
  for (auto [asked, opposite] : kOpposites)
    if ((wanted & asked) && s.locks.heldByOther(shareByte(file, opposite))) return true;
  return false;
}

// The check and the taking happen under the file's gate, so two stations
// opening at once cannot both pass.  Handlers hold files only within one
// call, so a conflicting open is worth waiting for.
void takeSharing(Session& s, std::uint16_t file, unsigned wanted) {
  auto deadline = lockDeadline();
  Backoff backoff;
  for (;;) {
    if (s.locks.exclusiveBefore(LockMap::share(file, 0), deadline)) {
      bool free = !sharingConflicts(s, file, wanted);
      if (free)
        for (unsigned bit = 1; bit <= kDenyWrite; bit <<= 1)
          if (wanted & bit) s.locks.tryShared(shareByte(file, bit));
      s.locks.release(LockMap::share(file, 0));
      if (free) {
        s.files[file].shareBits |= wanted;
        return;
      }
    }
    if (StationLocks::Clock::now() >= deadline)
      throw DataError(s.store.path() + ": " + fileLabel(file) + " is in use by another station");
    backoff.pause();
  }
}

void dropSharing(Session& s, std::uint16_t file) {
  s.locks.release(LockMap::share(file, 1), 4);
  s.files[file] = OpenFileState{};
}

[[noreturn]] void missingFile(Session& s, std::uint16_t file) {
  throw DataError(s.store.path() + ": " + fileLabel(file) + " does not exist");
}

// An open for reading alone: its reads share one snapshot until it closes.
bool readsOnly(UINT access) { return !(access & kCreate) && (access & kAccessMask) == 0; }

BOOL openFile(datafilemap* file, UINT access, UINT share) {
  Session& s = session();
  std::uint16_t number = fileNumber(file);
  if (access & kExist) return s.store.fileExists(number) ? TRUE : FALSE;
  bool create = access & kCreate;
  if (!create && !s.store.fileExists(number)) missingFile(s, number);
  OpenFileState& state = s.files[number];
  unsigned wasHeld = state.shareBits;
  takeSharing(s, number, shareBitsOf(access, share));
  try {
    if (create) s.store.createEmptyFile(number);
    if (number == DF_ACTIONS) sweepDeadStations(s);
  } catch (...) {
    if (state.openCount == 0) dropSharing(s, number);
    state.shareBits = wasHeld;
    throw;
  }
  ++state.openCount;
  state.writable = state.writable || (shareBitsOf(access, share) & kWriteAccess);
  if (readsOnly(access)) s.store.beginReadScope();
  state.readScopes += readsOnly(access) ? 1 : 0;
  file->openCount = state.openCount;
  file->access = access;
  file->share = share;
  file->library = &state;
  return TRUE;
}

BOOL closeFile(datafilemap* file) {
  Session& s = session();
  std::uint16_t number = fileNumber(file);
  OpenFileState& state = s.files[number];
  if (state.openCount == 0) throw DataError(fileLabel(number) + " is not open");
  if (state.readScopes > 0) {
    --state.readScopes;
    s.store.endReadScope();
  }
  if (--state.openCount == 0) {
    dropSharing(s, number);
    file->library = nullptr;
  }
  file->openCount = state.openCount;
  return TRUE;
}

// Reads work on an entry that is not open: one handler reads while the
// list that owns the file has closed it.
DWORD readRecord(std::uint16_t number, DWORD record, void* buffer) {
  Session& s = session();
  if (!buffer) throw DataError(fileLabel(number) + ": no buffer to read into");
  if (record == 0) throw DataError(fileLabel(number) + ": record numbers start at 1");
  if (s.store.read(number, record, static_cast<std::uint8_t*>(buffer))) return recordLength(number);
  if (!s.store.fileExists(number)) missingFile(s, number);
  return 0;
}

// As with Windows' record locks, a record that another station holds
// locked cannot be written over, whether or not this one asked first.
void refuseIfLockedByOther(Session& s, std::uint16_t number, DWORD record) {
  if (!s.lockedRecords.count({number, record}) &&
      s.locks.heldByOther(LockMap::record(number, record)))
    throw DataError(s.store.path() + ": " + fileLabel(number) + " record " +
                    std::to_string(record) + " is locked by another station");
}

DWORD writeRecord(datafilemap* file, DWORD record, const void* buffer) {
  Session& s = session();
  std::uint16_t number = fileNumber(file);
  if (!buffer) throw DataError(fileLabel(number) + ": no record to write");
  // The program holds the setup file open for the whole session, so record
  // 1 may be written back without an open of the handler's own.
  if (!s.files[number].writable && number != DF_SETUP)
    throw DataError(s.store.path() + ": " + fileLabel(number) + " is not open for writing");
  refuseIfLockedByOther(s, number, record);
  s.store.write(number, record, static_cast<const std::uint8_t*>(buffer));
  return recordLength(number);
}

static_assert(sizeof(setupmap) == 4783 && sizeof(contmap) == 1280);

// The global block's copy of record 1; left as it was when the read fails.
BOOL readRecordOne(std::uint16_t number, void* copy) {
  if (readRecord(number, 1, copy)) return TRUE;
  throw DataError(session().store.path() + ": " + fileLabel(number) + " has no record 1");
}

void lockRecord(Session& s, std::uint16_t number, DWORD record) {
  if (record == 0) throw DataError(fileLabel(number) + ": record numbers start at 1");
  if (!s.locks.exclusiveBefore(LockMap::record(number, record), lockDeadline()))
    throw DataError(s.store.path() + ": " + fileLabel(number) + " record " +
                    std::to_string(record) + " is locked by another station");
  s.lockedRecords.insert({number, record});
}

void unlockRecord(Session& s, std::uint16_t number, DWORD record) {
  if (!s.lockedRecords.erase({number, record}))
    throw DataError(fileLabel(number) + " record " + std::to_string(record) + " is not locked");
  s.locks.release(LockMap::record(number, record));
}

// Holds record 1 of a file for a write of the global block's copy when the
// station locks records, unless the caller already holds it.
class RecordOneLock {
 public:
  RecordOneLock(Session& s, std::uint16_t file)
      : session_(s),
        file_(file),
        taken_(g_lpGlobVar->lockRecords && !s.lockedRecords.count({file, 1})) {
    if (taken_) lockRecord(s, file, 1);
  }
  ~RecordOneLock() {
    if (taken_) {
      session_.lockedRecords.erase({file_, 1});
      session_.locks.release(LockMap::record(file_, 1));
    }
  }
  RecordOneLock(const RecordOneLock&) = delete;
  RecordOneLock& operator=(const RecordOneLock&) = delete;

 private:
  Session& session_;
  std::uint16_t file_;
  bool taken_;
};

// Text up to its terminator (at most size bytes), without trailing spaces.
std::string_view trimmedField(const char* text, std::size_t size) {
  std::string_view field(text, strnlen(text, size));
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return field;
}

DWORD findAccount(const datafilemap* files, UINT kind, const char* code, void* buffer) {
  Session& s = session();
  if (!files || !code) throw DataError("account search: no data file map or code");
  std::uint16_t number = fileNumber(&files[DF_NOMINAL]);
  if (kind != kSearchNominal && kind != kSearchBank)
    throw DataError("account search kind " + std::to_string(kind) + " is not known");
  std::string_view key = trimmedField(code, kNominalCodeLength);
  if (key.empty()) return 0;
  if (!s.store.fileExists(number)) missingFile(s, number);
  DWORD found = 0;
  // One snapshot for the walk, whose read-ahead a later search reuses.
  Store::ReadScope snapshot(s.store);
  s.store.forEach(number, [&](std::uint32_t record, std::span<const std::uint8_t> data) {
    auto* text = reinterpret_cast<const char*>(data.data());
    if (trimmedField(text, kNominalCodeLength) != key) return true;
    if (kind == kSearchBank && !(data[kNominalTypeFlagsOffset] & kBankAccountBit)) return true;
    if (buffer) std::memcpy(buffer, data.data(), data.size());
    found = record;
    return false;
  });
  return found;
}

}  // namespace

std::vector<std::uint8_t> ReadRecords(const datafilemap* file, std::uint32_t first,
                                      std::uint32_t count) {
  const int number = numberOf(file);
  const std::size_t length = number >= 0 ? recordLength(static_cast<std::uint16_t>(number)) : 0;
  std::vector<std::uint8_t> records(length * count);
  const BOOL read = guarded<BOOL>({"could not be read", number, first}, FALSE, [&] {
    Session& s = session();
    const std::uint16_t checked = fileNumber(file);
    if (!s.store.fileExists(checked)) missingFile(s, checked);
    // Record by record, so that a list read again while nobody changed the
    // company comes from the store's read-ahead.
    for (std::uint32_t i = 0; i < count; ++i)
      if (!s.store.read(checked, first + i, &records[i * length])) break;
    return TRUE;
  });
  if (!read) std::fill(records.begin(), records.end(), 0);
  return records;
}

}  // namespace vx70::data

using namespace vx70::data;

namespace {

Operation opening(const datafilemap* file) { return {"could not be opened", numberOf(file)}; }
Operation reading(int file, DWORD record) { return {"could not be read", file, record}; }
Operation storing(int file, DWORD record) { return {"could not be stored", file, record, true}; }

// A failed write of the global block's copy of the setup or control record
// puts the stored record back into it, so that the station goes on showing
// what is stored, not the change that was lost.
void keepGlobalCopyAsStored(const void* buffer) {
  if (!g_lpGlobVar) return;
  std::uint16_t number = buffer == &g_lpGlobVar->setup     ? DF_SETUP
                         : buffer == &g_lpGlobVar->control ? DF_CONTROL
                                                           : kDataFileCount;
  if (number == kDataFileCount) return;
  guarded<BOOL>(reading(number, 1), FALSE,
                [&] { return readRecordOne(number, const_cast<void*>(buffer)); });
}

}  // namespace

extern "C" {

BOOL FileOpen(datafilemap* file, UINT access, UINT share, UINT) {
  return guarded<BOOL>(opening(file), FALSE, [&] { return openFile(file, access, share); });
}

BOOL FileClose(datafilemap* file) {
  return guarded<BOOL>({"could not be closed", numberOf(file)}, FALSE,
                       [&] { return closeFile(file); });
}

DWORD ReadRec(datafilemap* file, DWORD record, void* buffer) {
  return guarded<DWORD>(reading(numberOf(file), record), 0,
                        [&] { return readRecord(fileNumber(file), record, buffer); });
}

DWORD WriteRec(datafilemap* file, DWORD record, const void* buffer) {
  DWORD written = guarded<DWORD>(storing(numberOf(file), record), 0,
                                 [&] { return writeRecord(file, record, buffer); });
  if (!written) keepGlobalCopyAsStored(buffer);
  return written;
}

BOOL LockRec(datafilemap* file, DWORD record) {
  return guarded<BOOL>({"could not be locked", numberOf(file), record}, FALSE, [&] {
    lockRecord(session(), fileNumber(file), record);
    return TRUE;
  });
}

BOOL UnLockRec(datafilemap* file, DWORD record) {
  return guarded<BOOL>({"could not be unlocked", numberOf(file), record}, FALSE, [&] {
    unlockRecord(session(), fileNumber(file), record);
    return TRUE;
  });
}

DWORD RecCount(datafilemap* file) {
  return guarded<DWORD>({"could not be counted", numberOf(file)}, 0, [&] {
    Session& s = session();
    std::uint16_t number = fileNumber(file);
    DWORD count = s.store.recordCount(number);
    if (count == 0 && !s.store.fileExists(number)) missingFile(s, number);
    return count;
  });
}

DWORD FlashFindAccount(datafilemap* files, UINT searchKind, const char* code, void* buffer, UINT) {
  return guarded<DWORD>({"could not be searched", DF_NOMINAL}, 0,
                        [&] { return findAccount(files, searchKind, code, buffer); });
}

BOOL ReadSetup(void) {
  return guarded<BOOL>(reading(DF_SETUP, 1), FALSE,
                       [] { return readRecordOne(DF_SETUP, &g_lpGlobVar->setup); });
}

BOOL WriteSetup(void) {
  BOOL written = guarded<BOOL>(storing(DF_SETUP, 1), FALSE, [] {
    Session& s = session();
    RecordOneLock lock(s, DF_SETUP);
    refuseIfLockedByOther(s, DF_SETUP, 1);
    s.store.write(DF_SETUP, 1, reinterpret_cast<const std::uint8_t*>(&g_lpGlobVar->setup));
    return TRUE;
  });
  if (!written) keepGlobalCopyAsStored(&g_lpGlobVar->setup);
  return written;
}

BOOL ReadControl(void) {
  return guarded<BOOL>(reading(DF_CONTROL, 1), FALSE,
                       [] { return readRecordOne(DF_CONTROL, &g_lpGlobVar->control); });
}

BOOL NetworkFileOpen(datafilemap* file, UINT access, UINT share) {
  return FileOpen(file, access, share, 1);
}
}
