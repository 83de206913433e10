// Profile files with the Windows rules, read again when they change, where
// a station keeps them, and the directories the station reports as
// Windows's own.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "api/host_api.h"
#include "host/station_options.h"

namespace vx70::test {
namespace {

namespace fs = std::filesystem;

// Each test gets its own station folder, given as the station's INI folder.
class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = stationOptions();
    char pattern[] = "/tmp/vx70-profile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    stationOptions().iniDir = root_;
  }
  void TearDown() override {
    stationOptions() = saved_;
    fs::remove_all(root_);
  }

  std::string pathOf(const std::string& name) const { return root_ + "/" + name; }

  void writeFile(const std::string& name, const std::string& content) const {
    std::ofstream(pathOf(name), std::ios::binary) << content;
  }

  std::string readFile(const std::string& name) const {
    std::ifstream in(pathOf(name), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

  std::string get(const char* section, const char* key, const char* defaultValue = "",
                  const char* file = "TEST.INI") const {
    char buffer[256];
    GetPrivateProfileStringA(section, key, defaultValue, buffer, sizeof buffer, file);
    return buffer;
  }

  std::vector<std::string> namesInFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root_))
      names.push_back(entry.path().filename().string());
    return names;
  }

  StationOptions saved_;
  std::string root_;
};

// A literal's every byte, its terminator included: a list's closing zero.
template <std::size_t N>
std::string allBytes(const char (&text)[N]) {
  return std::string(text, N);
}

const char* const kSample =
    "; the station's settings\n"
    "[VX70]\n"
    "NetMessages = 1\n"
    "F11=CONTROL.EXE\n"
    "Quoted = \"  spaced  \"\n"
    "Empty=\n"
    ";Commented=yes\n"
    "NoEquals\n"
    "\n"
    "[WelcomeScreen]\n"
    "Show=0\n"
    "[vx70]\n"
    "NetMessages=2\n"
    "[N]\nplain=42\nneg=-7\nplus=+5\nmixed=12abc\nword=abc\nempty=\nspaced=  8  \n";

TEST_F(Profile, ReadsIgnoreCaseTrimFallBackToTheDefaultAndCutToTheBuffer) {
  writeFile("TEST.INI", kSample);
  const struct {
    const char* section;
    const char* key;
    const char* defaultValue;
    const char* expected;
  } cases[] = {
      {"vx70", "netmessages", "x", "1"},  // the first of two like-named sections
      {"VX70", "F11", "", "CONTROL.EXE"},
      {"VX70", "Quoted", "", "  spaced  "},
      {"VX70", "Empty", "d", ""},
      {"VX70", "Commented", "d", "d"},
      {"VX70", "NoEquals", "d", "d"},
      {"WELCOMESCREEN", "SHOW", "1", "0"},
      {"Missing", "Show", "dflt  ", "dflt"},
      {"VX70", "Missing", nullptr, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(get(c.section, c.key, c.defaultValue), c.expected) << c.section << "/" << c.key;
  EXPECT_EQ(get("VX70", "F11", "none", "NOFILE.INI"), "none");

  // Integers: a leading decimal number.
  const struct {
    const char* key;
    int expected;
  } numbers[] = {{"plain", 42}, {"neg", -7},   {"plus", 5},   {"mixed", 12},
                 {"word", 99},  {"empty", 99}, {"spaced", 8}, {"absent", 99}};
  for (const auto& c : numbers)
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("n", c.key, 99, "TEST.INI")), c.expected)
        << c.key;
  EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("N", "plain", -1, "NOFILE.INI")), -1);

  char buffer[8] = "zzzzzzz";
  EXPECT_EQ(GetPrivateProfileStringA("VX70", "F11", "", buffer, 5, "TEST.INI"), 4u);
  EXPECT_STREQ(buffer, "CONT");
  EXPECT_EQ(GetPrivateProfileStringA("VX70", "F11", "", buffer, 1, "TEST.INI"), 0u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(GetPrivateProfileStringA("S", "none", "LONGDEFAULT", buffer, 5, "TEST.INI"), 4u);
  EXPECT_STREQ(buffer, "LONG");
  EXPECT_EQ(GetPrivateProfileStringA("VX70", "F11", "", nullptr, 5, "TEST.INI"), 0u);
}

TEST_F(Profile, NullNamesListSectionsAndKeys) {
  writeFile("TEST.INI", kSample);
  char buffer[64];
  DWORD length = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, "TEST.INI");
  EXPECT_EQ(std::string(buffer, length + 1), allBytes("VX70\0WelcomeScreen\0N\0"));
  EXPECT_EQ(buffer[length], '\0');

  length = GetPrivateProfileStringA("vx70", nullptr, "", buffer, sizeof buffer, "TEST.INI");
  EXPECT_EQ(std::string(buffer, length + 1), allBytes("NetMessages\0F11\0Quoted\0Empty\0"));

  // Too small: the last name is cut and the list still ends in two zeros.
  length = GetPrivateProfileStringA("VX70", nullptr, "", buffer, 10, "TEST.INI");
  EXPECT_EQ(length, 8u);
  EXPECT_EQ(std::string(buffer, 10), allBytes("NetMessa\0"));

  length = GetPrivateProfileStringA("Nothing", nullptr, "", buffer, sizeof buffer, "TEST.INI");
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '\0');
}

TEST_F(Profile, WritesCreateReplaceAppendAndDeleteLeavingOtherLinesAlone) {
  const std::string start = "; keep me\n[A]\nOne=1\n; note in A\nTwo = 2\n\n[B]\nThree=3\n";
  writeFile("TEST.INI", start);
  const struct {
    const char* section;
    const char* key;
    const char* value;
    const char* file;
  } steps[] = {
      {"a", "two", "22", nullptr},       // replaced in place, the file's spelling kept
      {"A", "Four", "4", nullptr},       // appended after A's last entry, before the gap
      {"C", "Five", "5", nullptr},       // a new section at the end
      {"b", "three", nullptr, nullptr},  // null value: the key goes
      {"C", nullptr, nullptr, nullptr},  // null key: the section goes
      {"Z", "Gone", nullptr, nullptr},   // removing what is not there is no error
  };
  const char* expected[] = {
      "; keep me\n[A]\nOne=1\n; note in A\nTwo=22\n\n[B]\nThree=3\n",
      "; keep me\n[A]\nOne=1\n; note in A\nTwo=22\nFour=4\n\n[B]\nThree=3\n",
      "; keep me\n[A]\nOne=1\n; note in A\nTwo=22\nFour=4\n\n[B]\nThree=3\n\n[C]\nFive=5\n",
      "; keep me\n[A]\nOne=1\n; note in A\nTwo=22\nFour=4\n\n[B]\n\n[C]\nFive=5\n",
      "; keep me\n[A]\nOne=1\n; note in A\nTwo=22\nFour=4\n\n[B]\n\n",
      "; keep me\n[A]\nOne=1\n; note in A\nTwo=22\nFour=4\n\n[B]\n\n",
  };
  struct stat before {};
  ASSERT_EQ(stat(pathOf("TEST.INI").c_str(), &before), 0);
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_TRUE(
        WritePrivateProfileStringA(steps[i].section, steps[i].key, steps[i].value, "TEST.INI"))
        << i;
    EXPECT_EQ(readFile("TEST.INI"), expected[i]) << "after step " << i;
    struct stat after {};
    ASSERT_EQ(stat(pathOf("TEST.INI").c_str(), &after), 0);
    if (i == 0) EXPECT_NE(before.st_ino, after.st_ino) << "a new file renamed over the old";
  }
  EXPECT_EQ(namesInFolder(), std::vector<std::string>{"TEST.INI"});
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "K", "V", "TEST.INI"));
}

TEST_F(Profile, WritesKeepCarriageReturnsAndMakeFoldersAndFiles) {
  writeFile("DOS.INI", "[S]\r\nK=1\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("S", "L", "2", "DOS.INI"));
  EXPECT_EQ(readFile("DOS.INI"), "[S]\r\nK=1\r\nL=2\r\n");

  stationOptions().iniDir = root_ + "/new/station";
  EXPECT_TRUE(WritePrivateProfileStringA("S", "K", "line\nbreak", "NEW.INI"));
  EXPECT_EQ(readFile("new/station/NEW.INI"), "[S]\nK=line break\n");
  // Removing from a file that does not exist creates nothing.
  EXPECT_TRUE(WritePrivateProfileStringA("S", nullptr, nullptr, "NONE.INI"));
  EXPECT_FALSE(fs::exists(pathOf("new/station/NONE.INI")));
  // A folder that does not exist is not made for an absolute path.
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "V", (root_ + "/no/such/X.INI").c_str()));
}

TEST_F(Profile, ConcurrentWritersLoseNoKey) {
  auto key = [](int t, int k) { return "T" + std::to_string(t) + "K" + std::to_string(k); };
  std::vector<std::thread> writers;
  for (int t = 0; t < 6; ++t)
    writers.emplace_back([&, t] {
      for (int k = 0; k < 15; ++k)
        WritePrivateProfileStringA("S", key(t, k).c_str(), key(t, k).c_str(), "TEST.INI");
    });
  for (auto& writer : writers) writer.join();
  for (int t = 0; t < 6; ++t)
    for (int k = 0; k < 15; ++k) EXPECT_EQ(get("S", key(t, k).c_str()), key(t, k));
}

// A profile file read once is read again whenever it may have changed: a
// station keeps the text only while the file is the same file, of the same
// size and time, and not just written.
TEST_F(Profile, AChangedFileIsReadAgain) {
  const std::string path = pathOf("TEXTS.INI");
  auto line = [&] { return get("Texts", "Line", "none", "TEXTS.INI"); };
  auto writeInPlace = [&](const char* value) {
    std::fstream(path, std::ios::in | std::ios::out) << "[Texts]\nLine=" << value << "\n";
  };
  auto setTime = [](const std::string& file, std::time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  };
  // Each case starts from a file of its own time, long settled.
  std::time_t settled = std::time(nullptr) - 3600;
  struct Case {
    const char* what;
    std::function<void()> change;
    const char* seen;
  };
  const Case cases[] = {
      {"written in place, same size, another time",
       [&] {
         writeInPlace("bbb");
         setTime(path, settled + 1);
       },
       "bbb"},
      {"replaced by another file of the same size and time",
       [&] {
         writeFile("TEXTS.NEW", "[Texts]\nLine=ccc\n");
         setTime(pathOf("TEXTS.NEW"), settled);
         fs::rename(pathOf("TEXTS.NEW"), path);
       },
       "ccc"},
      // The clock of the file system is coarse: two writes in one tick
      // leave the same time behind.
      {"written twice in the same tick",
       [&] {
         const std::time_t now = std::time(nullptr);
         writeInPlace("ddd");
         setTime(path, now);
         EXPECT_EQ(line(), "ddd");
         writeInPlace("eee");
         setTime(path, now);
       },
       "eee"},
      {"removed", [&] { fs::remove(path); }, "none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settled -= 10;
    writeFile("TEXTS.INI", "[Texts]\nLine=aaa\n");
    setTime(path, settled);
    EXPECT_EQ(line(), "aaa");
    c.change();
    EXPECT_EQ(line(), c.seen);
  }
}

TEST_F(Profile, StationFolderComesFromTheOptionsAndServesAsWindowsDirectories) {
  StationOptions& options = stationOptions();
  EXPECT_EQ(stationIniDir(), root_);
  options.iniDir.clear();
  options.dataDir = "/data/acme";
  const struct {
    const char* station;
    const char* folder;
  } cases[] = {{"STATION1", "/data/acme/stations/STATION1"},
               {"front desk/2", "/data/acme/stations/front_desk_2"},
               {"..", "/data/acme/stations/_.."},
               {"", "/data/acme/stations/_"}};
  for (const auto& c : cases) {
    options.station = c.station;
    EXPECT_EQ(stationIniDir(), c.folder) << c.station;
  }
  options.dataDir.clear();
  EXPECT_EQ(stationIniDir(), "./");
  options.iniDir = root_;
  // Windows's own directories are the station folder.
  char buffer[MAX_PATH];
  EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), root_.size());
  EXPECT_EQ(buffer, root_);
  // Too small: nothing copied, the size needed returned.
  char tiny[4] = "abc";
  EXPECT_EQ(GetWindowsDirectoryA(tiny, sizeof tiny), root_.size() + 1);
  EXPECT_STREQ(tiny, "abc");
}

}  // namespace
}  // namespace vx70::test
