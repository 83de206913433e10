// Locks between stations: open-file-description locks (F_OFD_SETLK) on
// byte ranges of the company's lock file.  They belong to this process's
// descriptor, not to a thread, and the kernel drops them when the process
// dies, so a killed station never leaves a lock behind.
//
// The bytes mean (see LockMap): one per station slot, held while the
// station is logged on; the company's use, held shared by every multi-user
// station and exclusively by a single-user one; one per multi-user action;
// a few per data file for its sharing modes; one per (data file, record)
// for LockRec.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "host/data/backend.h"

namespace vx70::data {

namespace LockMap {
inline constexpr off_t kSlotBase = 0;
inline constexpr std::uint32_t kMaxSlots = 4096;
inline constexpr off_t kCompanyUse = off_t{1} << 19;
inline constexpr off_t kActionBase = off_t{1} << 20;
inline constexpr off_t kShareBase = off_t{1} << 24;
inline constexpr off_t kShareBytesPerFile = 8;
inline constexpr off_t kRecordBase = off_t{1} << 32;

inline off_t slot(std::uint32_t number) { return kSlotBase + number; }
inline off_t action(std::uint32_t id) { return kActionBase + id; }
// Byte 0 is the file's gate, held while a station checks and takes its
// sharing bytes 1 to 4 (ShareByte).
inline off_t share(std::uint16_t file, int byte) {
  return kShareBase + file * kShareBytesPerFile + byte;
}
inline off_t record(std::uint16_t file, std::uint32_t number) {
  return kRecordBase + (off_t{file} << 32) + number;
}
}  // namespace LockMap

// A folder company's locks: byte ranges of its lock file.
class LockFile final : public StationLocks {
 public:
  // Opens the lock file, creating it with the given permissions; throws
  // DataError naming it.
  LockFile(const std::string& path, mode_t permissions);
  ~LockFile() override;
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // Re-taking a lock this descriptor holds succeeds.
  bool tryExclusive(off_t offset, off_t length = 1) override;
  bool tryShared(off_t offset, off_t length = 1) override;
  void release(off_t offset, off_t length = 1) override;
  // True when another descriptor (another station) holds any lock there.
  bool heldByOther(off_t offset, off_t length = 1) override;

 private:
  bool trySet(short type, off_t offset, off_t length);

  std::string path_;
  int fd_ = -1;
};

}  // namespace vx70::data
