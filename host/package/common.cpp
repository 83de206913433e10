// The common library's (VX70COM) answers about the program and the
// station: program date, flags, version text and directory paths.
#include <cstring>
#include <filesystem>
#include <string>

#include "api/host_api.h"
#include "host/station_options.h"

namespace {

// The version of this program, the same for every company.
constexpr const char* kProgramVersion = "7.00";

// Makes the path absolute against the base folder when it is relative and
// removes a trailing '/' (the root stays "/"); "." and ".." are resolved
// in the text only, so the folder need not exist.
std::string directoryPathOf(const char* path, const char* base) {
  namespace fs = std::filesystem;
  fs::path result = path ? path : "";
  if (result.is_relative()) {
    std::error_code error;
    fs::path folder = base && *base ? fs::path(base) : fs::current_path(error);
    if (folder.is_relative()) folder = fs::absolute(folder, error);
    result = folder / result;
  }
  std::string text = result.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

extern "C" {

// The run's program date lives in the global block; without one (a tool
// that runs no station) it is today.
WORD GetProgramDate(void) { return g_lpGlobVar ? g_lpGlobVar->programDate : GetSystemDate(); }

BOOL IsVexaDebug(void) { return vx70::stationOptions().debug ? TRUE : FALSE; }

BOOL CanVatModeChange(void) { return vx70::stationOptions().vatLocked ? FALSE : TRUE; }

const char* GetVersionString(const setupmap* /*setup*/) { return kProgramVersion; }

// The answer stays valid until the next call on the same thread and holds
// at most MAX_PATH - 1 characters.  `kind` (101) and `flags` (0) are the
// only values callers pass; they select this one form.
const char* GetDirectoryPath(const char* path, const char* base, UINT /*kind*/, UINT /*flags*/) {
  thread_local char answer[MAX_PATH];
  try {
    const std::string text = directoryPathOf(path, base);
    const std::size_t length = text.size() < MAX_PATH - 1 ? text.size() : MAX_PATH - 1;
    std::memcpy(answer, text.data(), length);
    answer[length] = '\0';
  } catch (...) {
    answer[0] = '\0';
  }
  return answer;
}

}  // extern "C"
