// The report printer: a data file of any length becomes a PDF whose pages
// hold every line, a long setting wrapped rather than lost; what it cannot
// print it refuses without leaving a file behind.
#include "host/package/report_printer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vx70::test {
namespace {

namespace fs = std::filesystem;

std::string output(const std::string& command) {
  std::string text;
  FILE* in = popen(command.c_str(), "r");
  char chunk[4096];
  std::size_t got;
  while (in && (got = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, got);
  if (in) pclose(in);
  return text;
}

class ReportPrinter : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vx70-report-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    dir_ = pattern;
    setenv("TMPDIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("TMPDIR");
    fs::remove_all(dir_);
  }
  std::string dataFile(const std::string& content) {
    const std::string path = dir_ + "/VEX1.TMP";
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  std::size_t pdfCount() const {
    std::size_t n = 0;
    for (const auto& entry : fs::directory_iterator(dir_)) n += entry.path().extension() == ".pdf";
    return n;
  }
  std::string dir_;
};

TEST_F(ReportPrinter, EveryLineLandsOnAPageOfItsOwnCount) {
  const std::string longSetting(300, 'w');
  struct Case {
    int lines;  // the last one with the long setting when `wrapped`
    bool wrapped;
    int pages;
  };
  for (const Case& c : {Case{1, false, 1}, Case{50, false, 1}, Case{51, false, 2},
                        Case{150, false, 3}, Case{3, true, 1}}) {
    std::string content = "Directories: \r\n";
    for (int n = 2; n <= c.lines; ++n)
      content += "Line " + std::to_string(n) + ": " +
                 (c.wrapped && n == c.lines ? longSetting : std::string("v")) + "\r\n";
    const std::string pdf = package::printReport("SYSINFO.SRT", dataFile(content));
    EXPECT_NE(output("pdfinfo " + pdf).find("Pages:           " + std::to_string(c.pages)),
              std::string::npos)
        << c.lines;
    std::string text = output("pdftotext " + pdf + " -");
    std::erase(text, '\n');
    const std::string last = "Page " + std::to_string(c.pages) + " of " + std::to_string(c.pages);
    EXPECT_NE(text.find(last), std::string::npos) << last;
    if (c.lines > 1) EXPECT_NE(text.find("Line " + std::to_string(c.lines)), std::string::npos);
    const auto ws = static_cast<std::size_t>(std::count(text.begin(), text.end(), 'w'));
    EXPECT_EQ(ws, c.wrapped ? longSetting.size() : 0u) << "the wrapped setting, whole";
    fs::remove(pdf);
  }
}

TEST_F(ReportPrinter, RefusesWhatItCannotPrintAndLeavesNothing) {
  const std::string data = dataFile("Directories: \r\n");
  const std::vector<std::pair<std::string, std::string>> cases{
      {"NOSUCH.SRT", data},
      {"SYSINFO.SRT", dir_ + "/missing.TMP"},
  };
  for (const auto& [layout, path] : cases) {
    EXPECT_THROW(package::printReport(layout, path), package::ReportError) << layout;
    EXPECT_EQ(pdfCount(), 0u);
  }
}

}  // namespace
}  // namespace vx70::test
