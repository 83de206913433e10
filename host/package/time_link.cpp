// The time-recording (Workclock) link reads the company's chart of accounts
// from a CSV file beside the company's data: one line per nominal account,
// in code order, as "CODE","NAME".  The link's program may read the file at
// any moment, so a new chart replaces the old one in a single rename and a
// reader sees either the whole old chart or the whole new one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/events.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kChartFileName = "GLCOAT.CSV";

struct Account {
  std::string code;
  std::string name;
};

// A fixed text field up to its terminator, without the padding spaces.
std::string trimmedField(const char* field, std::size_t size) {
  std::string text(field, strnlen(field, size));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// Every account of the nominal file in code order; free records (no code)
// are left out.  nullopt when the file cannot be read.
std::optional<std::vector<Account>> nominalAccounts() {
  datafilemap* nominal = &g_lpGlobVar->dataFiles[DF_NOMINAL];
  if (!FileOpen(nominal, OF_READ, OF_SHARE_DENY_NONE, 1)) return std::nullopt;
  std::vector<Account> accounts;
  const DWORD count = RecCount(nominal);
  for (DWORD r = 1; r <= count; ++r) {
    nommap record{};
    if (!ReadRec(nominal, r, &record)) continue;
    std::string code = trimmedField(record.code, sizeof record.code);
    if (code.empty()) continue;
    accounts.push_back({std::move(code), trimmedField(record.name, sizeof record.name)});
  }
  FileClose(nominal);
  std::stable_sort(accounts.begin(), accounts.end(),
                   [](const Account& a, const Account& b) { return a.code < b.code; });
  return accounts;
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string chartText(const std::vector<Account>& accounts) {
  std::string text;
  for (const auto& a : accounts) text += quoted(a.code) + "," + quoted(a.name) + "\r\n";
  return text;
}

bool writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The rename itself is made durable too, so that a crash cannot bring the
// old chart back after the link has read the new one.
void syncDirectory(const fs::path& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes a temporary file beside the target and renames it over the target.
bool replaceFile(const fs::path& target, const std::string& bytes) {
  std::string temp = target.string() + ".XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool written = ::fchmod(fd, 0644) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  if (!written || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  syncDirectory(target.parent_path());
  return true;
}

void reportChart(const fs::path& file, std::size_t accounts) {
  try {
    vx70::events::emit(nlohmann::json{
        {"event", "chart-written"}, {"file", file.string()}, {"accounts", accounts}});
  } catch (...) {
    // The chart is written; a front end that cannot take the event changes nothing.
  }
}

}  // namespace

extern "C" BOOL CreateGLCOATfile(UINT /*flag*/) {
  try {
    const char* path = g_lpGlobVar->dataPath;
    const std::string dataPath(path, strnlen(path, sizeof g_lpGlobVar->dataPath));
    if (dataPath.empty()) return FALSE;
    std::optional<std::vector<Account>> accounts = nominalAccounts();
    if (!accounts) return FALSE;
    const fs::path file = fs::path(dataPath) / kChartFileName;
    if (!replaceFile(file, chartText(*accounts))) return FALSE;
    reportChart(file, accounts->size());
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}
