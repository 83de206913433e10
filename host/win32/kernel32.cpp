
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "api/host_api.h"
#include "host/station_options.h"

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

// ---- Version, memory and directories ------------------------------------

namespace {

// What Windows 95 (4.00.950) answers: version 4.0 in the low word, and in
// the high word the 95 family's high bits over its build number; NT 4.0
// (build 1381) answers with a plain build number there.
constexpr DWORD kWindows95Version = 0xC3B60004;
constexpr DWORD kWindowsNT4Version = 0x05650004;

void fillVersion(OSVERSIONINFOA& info, bool windowsNT) {
  info.dwMajorVersion = 4;
  info.dwMinorVersion = 0;
  info.dwBuildNumber = windowsNT ? 1381 : 0x040003B6;  // the 95 family repeats 4.0 above 950
  info.dwPlatformId = windowsNT ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS;
  std::memset(info.szCSDVersion, 0, sizeof info.szCSDVersion);
  std::strcpy(info.szCSDVersion, windowsNT ? "Service Pack 6" : "");
}

// The 32-bit fields of MEMORYSTATUS cannot count past 4 GB; larger sizes
// read as the largest they can hold, as Windows reports them.
DWORD clampedBytes(unsigned long long bytes) {
  return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(bytes);
}

// A "Name:  value kB" line of a /proc file, in bytes; 0 when absent.
unsigned long long procKilobytes(const char* file, const char* name) {
  std::FILE* in = std::fopen(file, "r");
  if (!in) return 0;
  char line[256];
  unsigned long long bytes = 0;
  const std::size_t nameLength = std::strlen(name);
  while (std::fgets(line, sizeof line, in)) {
    if (std::strncmp(line, name, nameLength) == 0 && line[nameLength] == ':') {
      bytes = std::strtoull(line + nameLength + 1, nullptr, 10) * 1024;
      break;
    }
  }
  std::fclose(in);
  return bytes;
}

// The user part of a 32-bit process's address space: 2 GB less 128 KB.
constexpr unsigned long long kUserAddressSpace = 0x7FFE0000ull;

// Copies a path the Windows way: the length without the terminator when it
// fits, otherwise the size the buffer would need, and nothing copied.
UINT copyPath(const std::string& path, char* buffer, UINT size) {
  if (!buffer || path.size() + 1 > size) return static_cast<UINT>(path.size() + 1);
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<UINT>(path.size());
}

// The station's INI folder plays the Windows directory (its WIN.INI lives
// there), as an absolute path without a trailing '/'.
std::string windowsDirectory() {
  std::error_code error;
  std::filesystem::path dir = std::filesystem::absolute(vx70::stationIniDir(), error);
  if (error) dir = vx70::stationIniDir();
  std::string text = dir.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

extern "C" DWORD GetVersion(void) {
  return vx70::stationOptions().windowsNT ? kWindowsNT4Version : kWindows95Version;
}

extern "C" BOOL GetVersionExA(OSVERSIONINFOA* info) {
  // Windows refuses a block whose size field is not set for the layout.
  constexpr DWORD kExtendedSize = sizeof(OSVERSIONINFOA) + 8;
  if (!info || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
                info->dwOSVersionInfoSize != kExtendedSize))
    return FALSE;
  fillVersion(*info, vx70::stationOptions().windowsNT);
  return TRUE;
}

extern "C" void GlobalMemoryStatus(MEMORYSTATUS* status) {
  if (!status) return;
  const unsigned long long total = procKilobytes("/proc/meminfo", "MemTotal");
  unsigned long long available = procKilobytes("/proc/meminfo", "MemAvailable");
  if (available == 0) available = procKilobytes("/proc/meminfo", "MemFree");
  const unsigned long long swapTotal = procKilobytes("/proc/meminfo", "SwapTotal");
  const unsigned long long swapFree = procKilobytes("/proc/meminfo", "SwapFree");
  const unsigned long long resident = procKilobytes("/proc/self/status", "VmRSS");

  status->dwLength = sizeof(MEMORYSTATUS);
  status->dwMemoryLoad = total ? static_cast<DWORD>(100 - available * 100 / total) : 0;
  status->dwTotalPhys = clampedBytes(total);
  status->dwAvailPhys = clampedBytes(available);
  // The page file of Windows is its commit limit: memory and swap together.
  status->dwTotalPageFile = clampedBytes(total + swapTotal);
  status->dwAvailPageFile = clampedBytes(available + swapFree);
  status->dwTotalVirtual = clampedBytes(kUserAddressSpace);
  status->dwAvailVirtual =
      clampedBytes(resident < kUserAddressSpace ? kUserAddressSpace - resident : 0);
}

extern "C" UINT GetWindowsDirectoryA(char* buffer, UINT size) {
  try {
    return copyPath(windowsDirectory(), buffer, size);
  } catch (...) {
    return 0;
  }
}

// "system" under the Windows directory, "system32" on the NT platform, as
// those systems name it.  Nothing needs to exist there.
extern "C" UINT GetSystemDirectoryA(char* buffer, UINT size) {
  try {
    const char* name = vx70::stationOptions().windowsNT ? "/system32" : "/system";
    std::string dir = windowsDirectory();
    if (dir == "/") dir.clear();
    return copyPath(dir + name, buffer, size);
  } catch (...) {
    return 0;
  }
}

// ---- The 16-bit file calls ----------------------------------------------------

namespace {
constexpr int kHFileError = -1;
constexpr int kReadOnlyAttribute = 1;
}  // namespace

// Creates the file, or empties one that exists, open for reading and
// writing.  Attribute 1 (read-only) makes it read-only for later opens;
// hidden and system (2, 4) have no meaning here.
extern "C" int _lcreat(const char* path, int attribute) {
  if (!path) return kHFileError;
  const mode_t mode = (attribute & kReadOnlyAttribute) ? 0444 : 0666;
  const int fd = ::open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  return fd >= 0 ? fd : kHFileError;
}

// Writes all the bytes; a count of 0 cuts the file at the current position,
// as the Windows call does.
extern "C" UINT _lwrite(int file, const char* buffer, UINT count) {
  constexpr UINT kFailed = static_cast<UINT>(kHFileError);
  if (file < 0) return kFailed;
  if (count == 0) {
    const off_t position = ::lseek(file, 0, SEEK_CUR);
    return position >= 0 && ::ftruncate(file, position) == 0 ? 0 : kFailed;
  }
  if (!buffer) return kFailed;
  UINT done = 0;
  while (done < count) {
    const ssize_t n = ::write(file, buffer + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return kFailed;
    done += static_cast<UINT>(n);
  }
  return done;
}

extern "C" int _lclose(int file) {
  if (file < 0) return kHFileError;
  return ::close(file) == 0 ? 0 : kHFileError;
}
