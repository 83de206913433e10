// libFuzzer target for the profile (INI) reader and writer.  The input is
// a buffer size, a section choice and a value, then the file itself.  Every
// section and key that the lists name reads back; an answer cut to a small
// buffer is the whole answer's beginning, terminated as Windows does; a
// write of one key changes that key's line (or adds it, or its section at
// the end) and nothing else, and deleting the key again restores the file.
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "api/host_api.h"
#include "host/station_options.h"

namespace {

constexpr const char* kKey = "FuzzKey";
constexpr const char* kNewSection = "FuzzSection";
constexpr std::size_t kLookups = 64;  // per input, so that each run stays quick

std::string iniPath;

void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

bool same(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

struct Answer {
  std::string bytes;  // the whole buffer
  DWORD length;
};

Answer ask(const char* section, const char* key, DWORD size) {
  std::vector<char> buffer(size, '\x7F');  // exactly `size`, so ASan sees an overrun
  const DWORD length =
      GetPrivateProfileStringA(section, key, "", buffer.data(), size, iniPath.c_str());
  return {std::string(buffer.data(), size), length};
}

// A value cut to `size`: its first size - 1 bytes, terminated.
void checkCutValue(const Answer& whole, const Answer& cut, DWORD size) {
  const DWORD expected = std::min<DWORD>(whole.length, size - 1);
  require(cut.length == expected, "a cut value has the wrong length");
  require(cut.bytes.compare(0, expected, whole.bytes, 0, expected) == 0, "a cut value differs");
  require(cut.bytes[expected] == '\0', "a cut value is not terminated");
}

// A list cut to `size`: whole when it fits, else its first size - 2 bytes
// and two terminators, answering size - 2.
void checkCutList(const Answer& whole, const Answer& cut, DWORD size) {
  if (size < 2) return require(cut.length == 0 && cut.bytes[0] == '\0', "a list in one byte");
  if (whole.length + 1 <= size) {
    require(cut.length == whole.length, "a list that fits answers another length");
    require(cut.bytes.compare(0, whole.length + 1, whole.bytes, 0, whole.length + 1) == 0,
            "a list that fits differs");
    require(whole.length || cut.bytes[1] == '\0', "an empty list is not ended");
    return;
  }
  require(cut.length == size - 2, "a cut list answers another length");
  require(cut.bytes.compare(0, size - 2, whole.bytes, 0, size - 2) == 0, "a cut list differs");
  require(cut.bytes[size - 2] == '\0' && cut.bytes[size - 1] == '\0', "a cut list is not ended");
}

std::vector<std::string> namesOf(const Answer& list) {
  std::vector<std::string> names;
  for (std::size_t start = 0; start < list.length;) {
    const std::size_t end = list.bytes.find('\0', start);
    names.push_back(list.bytes.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

using Values = std::map<std::pair<std::string, std::string>, std::string>;

// Every key of every section with its value, each answer also checked cut.
Values readAll(DWORD whole, DWORD small, std::vector<std::string>& sections) {
  Values values;
  const Answer list = ask(nullptr, nullptr, whole);
  require(list.length + 2 < whole, "the section list does not fit a buffer the file's size");
  checkCutList(list, ask(nullptr, nullptr, small), small);
  sections = namesOf(list);
  std::size_t lookups = 0;
  for (const std::string& section : sections) {
    const Answer keys = ask(section.c_str(), nullptr, whole);
    checkCutList(keys, ask(section.c_str(), nullptr, small), small);
    for (const std::string& key : namesOf(keys)) {
      if (++lookups > kLookups) return values;
      const Answer value = ask(section.c_str(), key.c_str(), whole);
      checkCutValue(value, ask(section.c_str(), key.c_str(), small), small);
      values[{section, key}] = value.bytes.substr(0, value.length);
    }
  }
  return values;
}

std::string fileText() {
  std::string text;
  if (std::FILE* in = std::fopen(iniPath.c_str(), "rb")) {
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, got);
    std::fclose(in);
  }
  return text;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The lines after a write differ from those before by one line changed or
// inserted, or by a new section (with a blank line before it) at the end.
void checkOneLineChanged(const std::vector<std::string>& before,
                         const std::vector<std::string>& after) {
  std::size_t head = 0;
  while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
  const std::ptrdiff_t added = static_cast<std::ptrdiff_t>(after.size() - before.size());
  if (head == before.size())
    return require(added >= 1 && added <= 3, "a write added more than its key and section");
  require(added == 0 || added == 1, "a write changed the number of lines by more than one");
  require(std::equal(before.begin() + static_cast<std::ptrdiff_t>(head) + 1 - added, before.end(),
                     after.begin() + static_cast<std::ptrdiff_t>(head) + 1),
          "a write touched another line");
}

void writeFile(const std::uint8_t* data, std::size_t size) {
  std::FILE* out = std::fopen(iniPath.c_str(), "wb");
  require(out != nullptr, "the file cannot be written");
  std::fwrite(data, 1, size, out);
  std::fclose(out);
}

// A value that reads back as written: printable, no blanks at either end,
// no enclosing quotes.
std::string valueFrom(const std::uint8_t* data, std::size_t size) {
  std::string value = "v";
  for (std::size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(' ' + data[i] % 95);
    value += c == '"' || c == '\'' ? '_' : c;
  }
  return value + "v";
}

void checkWrite(const std::string& section, const std::string& value, DWORD whole, DWORD small,
                const Values& before, bool sectionExisted) {
  const std::vector<std::string> linesBefore = linesOf(fileText());
  bool keyExisted = false;
  for (const std::string& key : namesOf(ask(section.c_str(), nullptr, whole)))
    keyExisted = keyExisted || same(key, kKey);
  require(WritePrivateProfileStringA(section.c_str(), kKey, value.c_str(), iniPath.c_str()),
          "a write failed");
  checkOneLineChanged(linesBefore, linesOf(fileText()));
  std::vector<std::string> sections;
  const Values after = readAll(whole + static_cast<DWORD>(value.size()) + 64, small, sections);
  require(
      ask(section.c_str(), kKey, whole + static_cast<DWORD>(value.size())).bytes.c_str() == value,
      "a written value reads back as another");
  for (const auto& [where, text] : before) {
    if (same(where.first, section) && same(where.second, kKey)) continue;
    const auto found = after.find(where);
    require(found == after.end() || found->second == text, "a write changed another key");
  }
  if (!sectionExisted || keyExisted) return;
  require(WritePrivateProfileStringA(section.c_str(), kKey, nullptr, iniPath.c_str()),
          "a delete failed");
  require(linesOf(fileText()) == linesBefore, "a write and its delete do not restore the file");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  namespace fs = std::filesystem;
  std::string dir = (fs::temp_directory_path() / "vx70-profile-fuzz-XXXXXX").string();
  require(mkdtemp(dir.data()) != nullptr, "no folder for the file");
  vx70::stationOptions().iniDir = dir;
  iniPath = dir + "/fuzz.ini";
  std::atexit([] { std::filesystem::remove_all(std::filesystem::path(iniPath).parent_path()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kHead = 2 + 6;  // buffer size, section choice, value
  if (size < kHead) return 0;
  const DWORD small = 1 + data[0] % 48;
  const std::string value = valueFrom(data + 2, 6);
  const std::uint8_t* content = data + kHead;
  const std::size_t length = size - kHead;
  writeFile(content, length);
  const DWORD whole = static_cast<DWORD>(length) + 16;
  std::vector<std::string> sections;
  const Values before = readAll(whole, small, sections);
  for (const auto& [where, text] : before)
    (void)GetPrivateProfileIntA(where.first.c_str(), where.second.c_str(), 7, iniPath.c_str());
  // A NUL inside a name cuts it in the lists: only the calls above hold then.
  if (std::memchr(content, '\0', length)) return 0;
  const bool existing = data[1] < sections.size();
  checkWrite(existing ? sections[data[1]] : kNewSection, value, whole, small, before, existing);
  return 0;
}
