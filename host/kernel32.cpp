#include "host/kernel32.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

extern "C" DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) {
  const char* env = std::getenv("TMPDIR");
  std::string dir = env && *env ? env : "/tmp";
  if (dir.back() != '/') dir += '/';
  if (dir.size() + 1 > bufferLength) return static_cast<DWORD>(dir.size() + 1);
  std::memcpy(buffer, dir.c_str(), dir.size() + 1);
  return static_cast<DWORD>(dir.size());
}

namespace {
bool makeName(LPCSTR pathName, LPCSTR prefix, UINT number, LPSTR out) {
  std::string dir = pathName;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  char name[32];
  std::snprintf(name, sizeof name, "%.3s%X.TMP", prefix ? prefix : "", number & 0xFFFFu);
  std::string full = dir + name;
  if (full.size() + 1 > MAX_PATH) return false;
  std::memcpy(out, full.c_str(), full.size() + 1);
  return true;
}
}  // namespace

extern "C" UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName) {
  if (!pathName || !tempFileName) return 0;
  if (unique != 0) return makeName(pathName, prefix, unique, tempFileName) ? (unique & 0xFFFFu) : 0;
  // Windows starts from a time-based number and counts up until a name is
  // free; so do we, from a random start.
  std::random_device seed;
  UINT start = (seed() % 0xFFFFu) + 1;
  for (UINT k = 0; k < 0xFFFFu; ++k) {
    UINT number = (start + k - 1) % 0xFFFFu + 1;
    if (!makeName(pathName, prefix, number, tempFileName)) return 0;
    int fd = ::open(tempFileName, O_CREAT | O_EXCL | O_WRONLY, 0600);
    if (fd >= 0) {
      ::close(fd);
      return number;
    }
    if (errno != EEXIST) return 0;
  }
  return 0;
}
