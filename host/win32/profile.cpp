// Profile (INI) files with the Windows rules: sections and keys compare
// without case, values are trimmed (and lose one pair of enclosing quotes),
// anything missing gives the caller's default, and a write touches only its
// own line, leaving comments, blank lines and the other entries as they
// were.  A bare file name lives in the station's INI folder, as a bare name
// lives in the Windows directory on Windows.
//
// Writes replace the whole file by renaming a finished copy over it, so a
// station killed mid-write leaves the old file or the new one, never half
// of one.  Read-modify-write cycles hold an flock on the folder, so two
// stations (or threads) sharing one folder do not lose each other's keys.
#include "host/win32/profile.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "api/host_api.h"
#include "host/station_options.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kPackageIniName = "VX70.INI";
constexpr const char* kWindowsIniName = "WIN.INI";
// The vendor's INI file, where the welcome screen's choice is written; it
// is read back from the package INI file, so the two are one file.
constexpr const char* kVendorIniName = "VEXA.INI";
constexpr const char* kEngineSection = "VX70";
constexpr DWORD kEngineStringSize = MAX_PATH;

// ---- Where a profile file lives ------------------------------------------

struct ProfilePath {
  std::string path;
  bool inStationDir = false;
};

// On Windows "vx70.ini" and "VX70.INI" are one file; here an existing file
// of the folder that matches without case is taken before the exact name.
std::string findWithoutCase(const std::string& dir, const std::string& name) {
  const std::string exact = (fs::path(dir) / name).string();
  if (access(exact.c_str(), F_OK) == 0) return exact;
  DIR* folder = opendir(dir.c_str());
  if (!folder) return exact;
  std::string found = exact;
  while (const dirent* entry = readdir(folder)) {
    if (strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = (fs::path(dir) / entry->d_name).string();
      break;
    }
  }
  closedir(folder);
  return found;
}

// As on Windows, a profile call that names no file reads WIN.INI.
ProfilePath resolveProfilePath(const char* file) {
  std::string name = file && *file ? file : kWindowsIniName;
  if (name.find('/') != std::string::npos) return {name, false};
  if (strcasecmp(name.c_str(), kVendorIniName) == 0) name = kPackageIniName;
  return {findWithoutCase(vx70::stationIniDir(), name), true};
}

// ---- Parsing ----------------------------------------------------------------

// The file as lines, each kept byte for byte (a CR of a CRLF file stays on
// its line) so that an untouched line is written back unchanged.
struct IniText {
  std::vector<std::string> lines;
  bool crlf = false;
};

// Views into the line: a look-up scans every line of a section and copies
// nothing but the value it finds.
std::string_view trim(std::string_view text) {
  const char* blanks = " \t\r";
  const std::size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

std::optional<IniText> readIniText(const std::string& path) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return std::nullopt;
  std::string content;
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) content.append(chunk, got);
  std::fclose(in);

  IniText text;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    text.lines.push_back(content.substr(start, end - start));
    if (!text.lines.back().empty() && text.lines.back().back() == '\r') text.crlf = true;
    start = end + 1;
  }
  return text;
}

// The text of a profile file as last read, kept while the file is the same
// (same inode, size and modification time): a dialog reads several keys of
// one file in a row, and every write here replaces the file by a new one.
// A file changed in the last two seconds is read again each time, because
// the file system's clock is coarse and a freed inode number comes back:
// two writes close together could otherwise look alike.  Nothing when
// there is no such file.
std::shared_ptr<const IniText> readIniTextKept(const std::string& path) {
  struct Kept {
    struct stat seen {};
    std::shared_ptr<const IniText> text;
  };
  thread_local std::map<std::string, Kept> kept;
  struct stat now {};
  if (::stat(path.c_str(), &now) != 0) {
    kept.erase(path);
    return nullptr;
  }
  Kept& entry = kept[path];
  const bool same = entry.text && entry.seen.st_dev == now.st_dev &&
                    entry.seen.st_ino == now.st_ino && entry.seen.st_size == now.st_size &&
                    entry.seen.st_mtim.tv_sec == now.st_mtim.tv_sec &&
                    entry.seen.st_mtim.tv_nsec == now.st_mtim.tv_nsec;
  if (same) return entry.text;
  std::optional<IniText> text = readIniText(path);
  if (!text) return nullptr;
  auto shared = std::make_shared<const IniText>(std::move(*text));
  constexpr time_t kSettled = 2;
  if (std::time(nullptr) - now.st_mtim.tv_sec >= kSettled)
    entry = {now, shared};
  else
    kept.erase(path);
  return shared;
}

// "[name]": the name between the brackets, trimmed.
std::optional<std::string_view> sectionNameOf(std::string_view line) {
  const std::string_view text = trim(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  const std::size_t close = text.find(']');
  return trim(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

// "key = value"; comments (';') and lines without '=' are not entries.
std::optional<Entry> entryOf(std::string_view line) {
  const std::string_view text = trim(line);
  if (text.empty() || text.front() == ';' || text.front() == '[') return std::nullopt;
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Entry{trim(text.substr(0, equals)), trim(text.substr(equals + 1))};
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  return a.empty() || strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The lines of a section: [header + 1, end).
struct SectionSpan {
  std::size_t header;
  std::size_t end;
};

std::optional<SectionSpan> findSection(const IniText& text, const char* section) {
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    const auto name = sectionNameOf(text.lines[i]);
    if (!name || !sameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < text.lines.size() && !sectionNameOf(text.lines[end])) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> findKeyLine(const IniText& text, const SectionSpan& span,
                                       const char* key) {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    const auto entry = entryOf(text.lines[i]);
    if (entry && sameName(entry->key, key)) return i;
  }
  return std::nullopt;
}

// Windows drops one pair of matching quotes around a value.
std::string unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

std::optional<std::string> lookUpValue(const std::string& path, const char* section,
                                       const char* key) {
  const auto text = readIniTextKept(path);
  if (!text) return std::nullopt;
  const auto span = findSection(*text, section);
  if (!span) return std::nullopt;
  const auto line = findKeyLine(*text, *span, key);
  if (!line) return std::nullopt;
  return unquote(entryOf(text->lines[*line])->value);
}

std::vector<std::string> sectionNames(const std::shared_ptr<const IniText>& text) {
  std::vector<std::string> names;
  if (!text) return names;
  for (const std::string& line : text->lines) {
    const auto name = sectionNameOf(line);
    if (!name) continue;
    bool listed = false;
    for (const std::string& seen : names) listed = listed || sameName(seen, *name);
    if (!listed) names.emplace_back(*name);
  }
  return names;
}

std::vector<std::string> keyNames(const std::shared_ptr<const IniText>& text, const char* section) {
  std::vector<std::string> names;
  if (!text) return names;
  const auto span = findSection(*text, section);
  if (!span) return names;
  for (std::size_t i = span->header + 1; i < span->end; ++i)
    if (const auto entry = entryOf(text->lines[i])) names.emplace_back(entry->key);
  return names;
}

// ---- Answers into the caller's buffer -------------------------------------

DWORD copyValue(const std::string& value, char* buffer, DWORD size) {
  const std::size_t length = value.size() < size - 1 ? value.size() : size - 1;
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

// Names one after another, each terminated, and one more terminator at the
// end.  When they do not fit, the last one that starts is cut, the list
// still ends in two terminators, and the answer is size - 2, as on Windows.
DWORD copyList(const std::vector<std::string>& names, char* buffer, DWORD size) {
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::size_t used = 0;
  for (const std::string& name : names) {
    if (used + name.size() + 2 > size) {
      if (used < size - 2) std::memcpy(buffer + used, name.data(), size - 2 - used);
      buffer[size - 2] = buffer[size - 1] = '\0';
      return size - 2;
    }
    std::memcpy(buffer + used, name.c_str(), name.size() + 1);
    used += name.size() + 1;
  }
  buffer[used] = '\0';
  if (used == 0) buffer[1] = '\0';
  return static_cast<DWORD>(used);
}

// A leading decimal whole number, with an optional sign; nothing when the
// text does not start with one.
std::optional<long long> leadingInteger(const std::string& text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (value < 0x7FFFFFFFLL) value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

// ---- Writing --------------------------------------------------------------------

// Holds an exclusive flock on a folder for one read-modify-write.
class FolderLock {
 public:
  explicit FolderLock(const std::string& dir) : fd_(::open(dir.c_str(), O_RDONLY | O_DIRECTORY)) {
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

bool writeAll(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool replaceFile(const std::string& path, const IniText& text) {
  std::string content;
  for (const std::string& line : text.lines) content += line + "\n";
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  ::fchmod(fd, 0644);
  const bool written = writeAll(fd, content);
  if (::close(fd) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

std::string newLine(const IniText& text, const std::string& line) {
  return text.crlf ? line + "\r" : line;
}

// A value is one line of the file: line breaks inside it become spaces.
std::string oneLine(const char* value) {
  std::string text = value;
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

void setKey(IniText& text, const char* section, const char* key, const char* value) {
  const auto span = findSection(text, section);
  if (!span) {
    if (!text.lines.empty() && !trim(text.lines.back()).empty())
      text.lines.push_back(newLine(text, ""));
    text.lines.push_back(newLine(text, std::string("[") + section + "]"));
    text.lines.push_back(newLine(text, std::string(key) + "=" + oneLine(value)));
    return;
  }
  if (const auto line = findKeyLine(text, *span, key)) {
    // Keep the key as the file spells it.
    text.lines[*line] =
        newLine(text, std::string(entryOf(text.lines[*line])->key) + "=" + oneLine(value));
    return;
  }
  // A new key goes after the section's last non-blank line, so the blank
  // line that separates it from the next section stays where it was.
  std::size_t at = span->end;
  while (at > span->header + 1 && trim(text.lines[at - 1]).empty()) --at;
  text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(at),
                    newLine(text, std::string(key) + "=" + oneLine(value)));
}

void deleteKey(IniText& text, const char* section, const char* key) {
  const auto span = findSection(text, section);
  if (!span) return;
  if (const auto line = findKeyLine(text, *span, key))
    text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(*line));
}

void deleteSection(IniText& text, const char* section) {
  const auto span = findSection(text, section);
  if (!span) return;
  text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(span->header),
                   text.lines.begin() + static_cast<std::ptrdiff_t>(span->end));
}

bool writeProfile(const char* section, const char* key, const char* value, const char* file) {
  const ProfilePath where = resolveProfilePath(file);
  const std::string dir = fs::path(where.path).parent_path().string();
  // GetINI names the package INI by its full path; it still lies in the
  // station's folder, which the first write makes.
  std::error_code noPath;
  const bool stationFolder =
      where.inStationDir || fs::absolute(dir, noPath).lexically_normal() ==
                                fs::absolute(vx70::stationIniDir(), noPath).lexically_normal();
  if (stationFolder) {
    std::error_code ignored;
    fs::create_directories(dir, ignored);
  }
  FolderLock lock(dir.empty() ? "." : dir);
  std::optional<IniText> text = readIniText(where.path);
  const bool removing = !key || !value;
  if (!text) {
    if (removing) return true;  // nothing to remove
    text.emplace();
  }
  if (!key)
    deleteSection(*text, section);
  else if (!value)
    deleteKey(*text, section, key);
  else
    setKey(*text, section, key, value);
  return replaceFile(where.path, *text);
}

std::string defaultText(const char* defaultValue) {
  std::string text = defaultValue ? defaultValue : "";
  const std::size_t end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);  // Windows drops trailing blanks
  return text;
}

std::string packageIniPath() {
  const std::string path = resolveProfilePath(kPackageIniName).path;
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

}  // namespace

extern "C" {

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* file) {
  if (!buffer || size == 0) return 0;
  try {
    const std::string path = resolveProfilePath(file).path;
    if (!section) return copyList(sectionNames(readIniTextKept(path)), buffer, size);
    if (!key) return copyList(keyNames(readIniTextKept(path), section), buffer, size);
    const auto value = lookUpValue(path, section, key);
    return copyValue(value ? *value : defaultText(defaultValue), buffer, size);
  } catch (...) {
    buffer[0] = '\0';
    return 0;
  }
}

UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                           const char* file) {
  if (!section || !key) return static_cast<UINT>(defaultValue);
  try {
    const auto value = lookUpValue(resolveProfilePath(file).path, section, key);
    const auto number = value ? leadingInteger(*value) : std::nullopt;
    return static_cast<UINT>(number ? *number : defaultValue);
  } catch (...) {
    return static_cast<UINT>(defaultValue);
  }
}

// A null value removes the key, a null key the whole section.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* file) {
  if (!section) return FALSE;
  try {
    return writeProfile(section, key, value, file) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

DWORD GetProfileStringA(const char* section, const char* key, const char* defaultValue,
                        char* buffer, DWORD size) {
  return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, kWindowsIniName);
}

UINT GetProfileIntA(const char* section, const char* key, int defaultValue) {
  return GetPrivateProfileIntA(section, key, defaultValue, kWindowsIniName);
}

BOOL WriteProfileStringA(const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, kWindowsIniName);
}

// The full path of the package INI file; the text stays valid until the
// next call on the same thread.
const char* GetINI(void) {
  // Worked out again only when the station's folder changes or no file was
  // found there (one may come, under another case): handlers ask for it at
  // every turn.
  thread_local std::string folder, path;
  thread_local bool found = false;
  try {
    std::string now = vx70::stationIniDir();
    if (now != folder || path.empty() || !found) {
      path = packageIniPath();
      found = ::access(path.c_str(), F_OK) == 0;
      folder = std::move(now);
    }
  } catch (...) {
    folder.clear();
    path = kPackageIniName;
    found = false;
  }
  return path.c_str();
}

// The engine's own settings: section "VX70" of the package INI file.
int ReadINIInt(const char* key, int defaultValue) {
  return static_cast<int>(GetPrivateProfileIntA(kEngineSection, key, defaultValue, GetINI()));
}

// The buffer takes MAX_PATH bytes.
const char* ReadINIString(const char* key, char* buffer, const char* defaultValue) {
  if (!buffer) return buffer;
  if (!key) {
    try {
      copyValue(defaultText(defaultValue), buffer, kEngineStringSize);
    } catch (...) {
      buffer[0] = '\0';
    }
    return buffer;
  }
  GetPrivateProfileStringA(kEngineSection, key, defaultValue, buffer, kEngineStringSize, GetINI());
  return buffer;
}

BOOL WriteINIInt(const char* key, int value) {
  if (!key) return FALSE;
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return WritePrivateProfileStringA(kEngineSection, key, text, GetINI());
}

BOOL WriteINIString(const char* key, const char* text) {
  if (!key) return FALSE;
  return WritePrivateProfileStringA(kEngineSection, key, text, GetINI());
}

}  // extern "C"

namespace vx70::win {

std::string profileFilePath(const std::string& file) {
  return resolveProfilePath(file.c_str()).path;
}

void replaceProfileFile(const std::string& path, const std::string& content) {
  const auto fail = [&](const char* cause, int error) {
    throw std::runtime_error(path + ": " + cause + ": " + std::strerror(error));
  };
  const std::string dir = fs::path(path).parent_path().string();
  std::error_code ignored;
  if (!dir.empty()) fs::create_directories(dir, ignored);
  FolderLock lock(dir.empty() ? "." : dir);
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) fail("no copy can be made beside it", errno);
  ::fchmod(fd, 0644);
  int error = writeAll(fd, content) && ::fsync(fd) == 0 ? 0 : (errno ? errno : EIO);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temporary.c_str(), path.c_str()) == 0) return;
  const bool renaming = error == 0;
  if (renaming) error = errno;
  std::remove(temporary.c_str());
  fail(renaming ? "it could not be replaced" : "it could not be written", error);
}

}  // namespace vx70::win
