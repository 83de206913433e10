#include "host/data/lock_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/data/company.h"

namespace vx70::data {

namespace {
struct flock lockRange(short type, off_t offset, off_t length) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = offset;
  range.l_len = length;
  range.l_pid = 0;  // required for OFD locks
  return range;
}
}  // namespace

LockFile::LockFile(const std::string& path, mode_t permissions) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, permissions);
  if (fd_ < 0) throw DataError(path + ": cannot open the lock file: " + std::strerror(errno));
}

LockFile::~LockFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool LockFile::trySet(short type, off_t offset, off_t length) {
  struct flock range = lockRange(type, offset, length);
  while (::fcntl(fd_, F_OFD_SETLK, &range) != 0) {
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EACCES) return false;
    throw DataError(path_ + ": lock failed: " + std::strerror(errno));
  }
  return true;
}

bool LockFile::tryExclusive(off_t offset, off_t length) { return trySet(F_WRLCK, offset, length); }

bool LockFile::tryShared(off_t offset, off_t length) { return trySet(F_RDLCK, offset, length); }

void LockFile::release(off_t offset, off_t length) { trySet(F_UNLCK, offset, length); }

bool LockFile::heldByOther(off_t offset, off_t length) {
  struct flock range = lockRange(F_WRLCK, offset, length);
  while (::fcntl(fd_, F_OFD_GETLK, &range) != 0) {
    if (errno != EINTR) throw DataError(path_ + ": lock test failed: " + std::strerror(errno));
  }
  return range.l_type != F_UNLCK;
}

}  // namespace vx70::data
