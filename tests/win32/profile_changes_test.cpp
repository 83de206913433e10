// A profile file read once is read again whenever it may have changed: a
// station keeps the text only while the file is the same file, of the same
// size and time, and not just written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "api/host_api.h"

namespace vx70::test {
namespace {

std::string valueOf(const std::string& path) {
  char value[16] = {};
  GetPrivateProfileStringA("Texts", "Line", "none", value, sizeof value, path.c_str());
  return value;
}

void writeInPlace(const std::string& path, const char* value) {
  std::fstream file(path, std::ios::in | std::ios::out);
  file << "[Texts]\nLine=" << value << "\n";
}

void setTime(const std::string& path, std::time_t when) {
  const timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(ProfileChanges, AChangedFileIsReadAgain) {
  char pattern[] = "/tmp/vx70-profile-changes-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string path = std::string(pattern) + "/TEXTS.INI";
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
         writeInPlace(path, "bbb");
         setTime(path, settled + 1);
       },
       "bbb"},
      {"replaced by another file of the same size and time",
       [&] {
         std::ofstream(path + ".new") << "[Texts]\nLine=ccc\n";
         setTime(path + ".new", settled);
         std::rename((path + ".new").c_str(), path.c_str());
       },
       "ccc"},
      // The clock of the file system is coarse: two writes in one tick
      // leave the same time behind.
      {"written twice in the same tick",
       [&] {
         const std::time_t now = std::time(nullptr);
         writeInPlace(path, "ddd");
         setTime(path, now);
         EXPECT_EQ(valueOf(path), "ddd");
         writeInPlace(path, "eee");
         setTime(path, now);
       },
       "eee"},
      {"removed", [&] { std::remove(path.c_str()); }, "none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settled -= 10;
    std::ofstream(path) << "[Texts]\nLine=aaa\n";
    setTime(path, settled);
    EXPECT_EQ(valueOf(path), "aaa");
    c.change();
    EXPECT_EQ(valueOf(path), c.seen);
  }
  std::filesystem::remove_all(pattern);
}

}  // namespace
}  // namespace vx70::test
