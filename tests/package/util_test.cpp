// The utilities: date numbers and their texts, fixed-field padding,
// rounding, the password transform, and the common library's answers about
// the program (directories, the version block, the 16-bit file calls).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "api/host_api.h"

namespace vx70::test {
namespace {

WORD dateOf(int day, int month, int year) {
  const WORD components[3] = {WORD(day), WORD(month), WORD(year)};
  return DateNumberFromComponents(components);
}

std::string fullString(WORD date) {
  char buffer[11];
  std::memset(buffer, 'x', sizeof buffer);
  return DateNumberToFullString(buffer, date);
}

TEST(DateNumbers, EveryDayFrom1980To2099RoundTripsInOrder) {
  WORD expected = 1;
  for (int year = 1980; year <= 2099; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        const WORD date = dateOf(day, month, year);
        if (date == 0) continue;  // no such day in this month
        ASSERT_EQ(date, expected) << day << "/" << month << "/" << year;
        ++expected;
        WORD components[3];
        DateNumberToComponents(date, components);
        ASSERT_EQ(components[0], day);
        ASSERT_EQ(components[1], month);
        ASSERT_EQ(components[2], year);
        const std::string text = fullString(date);
        ASSERT_EQ(text.size(), 10u);
        ASSERT_EQ(DateStringToNumber(text.c_str()), date) << text;
        ASSERT_TRUE(IsDateValid(text.c_str()));
      }
    }
  }
  EXPECT_EQ(expected - 1, 43830);  // 31/12/2099 is the last number
}

TEST(DateNumbers, FixedPointsAndNoDate) {
  EXPECT_EQ(fullString(1), "01/01/1980");
  EXPECT_EQ(fullString(60), "29/02/1980");
  EXPECT_EQ(fullString(43830), "31/12/2099");
  EXPECT_EQ(fullString(0), "");
  WORD components[3] = {9, 9, 9};
  DateNumberToComponents(0, components);
  EXPECT_EQ(components[0] + components[1] + components[2], 0);
}

TEST(DateNumbers, ComponentsOutsideTheCalendarGiveNoDate) {
  // Years are given in full: 98 is no year of the calendar.
  const int noDay[][3] = {{31, 12, 1979}, {1, 1, 2100},  {29, 2, 2100}, {29, 2, 1999},
                          {0, 1, 2000},   {1, 13, 2000}, {31, 4, 2000}, {1, 11, 98}};
  for (const auto& d : noDay) EXPECT_EQ(dateOf(d[0], d[1], d[2]), 0) << d[0] << "/" << d[1];
  EXPECT_NE(dateOf(29, 2, 2000), 0);
  EXPECT_NE(dateOf(29, 2, 2096), 0);
}

TEST(DateNumbers, AcceptedForms) {
  const struct {
    const char* text;
    int day, month, year;
  } cases[] = {
      {"01/02/2003", 1, 2, 2003}, {"01/02/03", 1, 2, 2003},     {"010203", 1, 2, 2003},
      {"01022003", 1, 2, 2003},   {"1/2/03", 1, 2, 2003},       {"1/12/1999", 1, 12, 1999},
      {"31/1/2000", 31, 1, 2000}, {" 01/02/2003 ", 1, 2, 2003}, {"29/02/2000", 29, 2, 2000},
      {"01/01/69", 1, 1, 2069},   {"01/01/80", 1, 1, 1980},     {"31/12/99", 31, 12, 1999},
      {"311299", 31, 12, 1999},   {"010100", 1, 1, 2000},       {"31/12/2099", 31, 12, 2099},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DateStringToNumber(c.text), dateOf(c.day, c.month, c.year)) << c.text;
    EXPECT_TRUE(IsDateValid(c.text)) << c.text;
  }
}

TEST(DateNumbers, RejectedTexts) {
  const char* cases[] = {
      "",           "   ",         "31/02/2000", "29/02/2001",  "00/01/2000",
      "01/00/2000", "01/13/2000",  "32/01/2000", "1a/01/2000",  "01/01/2000x",
      "01/01/200",  "01/01/20000", "0101200",    "01012000 1",  "01-01-2000",
      "1/1/1",      "//",          "01//2000",   "001/01/2000", "01/01/2000/",
      "+1/01/2000", "29/02/2100",  "29/02/1900", "01/01/70",    "31/12/1979",
      "01/01/2100", "11180",       "abcdef",     "01/01/ 2000", "1.1.2000",
  };
  for (const char* text : cases) {
    EXPECT_EQ(DateStringToNumber(text), 0) << '"' << text << '"';
    EXPECT_FALSE(IsDateValid(text)) << '"' << text << '"';
  }
  EXPECT_EQ(DateStringToNumber(nullptr), 0);
  const std::string endless(500, '1');
  EXPECT_EQ(DateStringToNumber(endless.c_str()), 0);
}

// Today as the date program tells it, read before and after the call
// (midnight may pass between them).
std::string todayByDateProgram() {
  char text[16] = "";
  FILE* date = popen("date +%d/%m/%Y", "r");
  if (date && !std::fgets(text, sizeof text, date)) text[0] = '\0';
  if (date) pclose(date);
  return std::string(text, std::strcspn(text, "\n"));
}

TEST(DateNumbers, SystemDateIsTodayLocally) {
  const std::string before = todayByDateProgram();
  const std::string answer = fullString(GetSystemDate());
  const std::string after = todayByDateProgram();
  EXPECT_TRUE(answer == before || answer == after) << answer << " " << before;
}

TEST(FixedFields, FillUpPadsOrCutsToSizeLessOne) {
  char buffer[16];
  std::strcpy(buffer, "AB");
  std::memset(buffer + 3, 'x', sizeof buffer - 3);  // stale bytes after the text
  EXPECT_STREQ(FillUp(buffer, 9), "AB      ");
  std::strcpy(buffer, "ABCDEFGH");
  EXPECT_STREQ(FillUp(buffer, 9), "ABCDEFGH");
  std::strcpy(buffer, "ABCDEFGHIJKL");
  EXPECT_STREQ(FillUp(buffer, 9), "ABCDEFGH");
  std::strcpy(buffer, "AB");
  EXPECT_STREQ(FillUp(buffer, 1), "");
  std::strcpy(buffer, "AB");
  EXPECT_STREQ(FillUp(buffer, 0), "AB");
  EXPECT_EQ(FillUp(nullptr, 9), nullptr);
}

TEST(FixedFields, CleanUpRemovesTrailingSpacesOnly) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"AB   ", "AB"}, {"   ", ""}, {"", ""}, {" A B ", " A B"}, {"A\t ", "A\t"}};
  for (const auto& c : cases) {
    char buffer[16];
    std::strcpy(buffer, c.in);
    EXPECT_STREQ(CleanUp(buffer), c.out) << '"' << c.in << '"';
  }
}

TEST(FixedFields, SpaceIsClampedTo260) {
  EXPECT_STREQ(Space(0), "");
  EXPECT_STREQ(Space(3), "   ");
  EXPECT_EQ(std::strlen(Space(100000)), 260u);
}

TEST(Rounding, HalfAwayFromZeroInDecimal) {
  const struct {
    double value;
    int places;
    double expected;
  } cases[] = {
      {2.675, 2, 2.68},        {1.005, 2, 1.01},
      {2.674999999, 2, 2.67},  {-2.675, 2, -2.68},
      {0.5, 0, 1.0},           {-0.5, 0, -1.0},
      {1.5, 0, 2.0},           {2.5, 0, 3.0},
      {0.125, 2, 0.13},        {-0.125, 2, -0.13},
      {1234.5678, -2, 1200.0}, {0.0049, 2, 0.0},
      {0.1 + 0.2, 6, 0.3},     {4.9e-9, 8, 0.0},
      {5e-9, 8, 1e-8},         {123456789.125, 2, 123456789.13},
      {99.994, 2, 99.99},      {99.995, 2, 100.0},
      {1e20, 2, 1e20},         {0.0, 3, 0.0},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(Round(c.value, c.places), c.expected) << c.value << " at " << c.places;
  EXPECT_FALSE(std::signbit(Round(-0.004, 2)));
  EXPECT_TRUE(std::isnan(Round(std::nan(""), 2)));
}

TEST(Passwords, ConvertSwapsLetterCaseAndUndoesItself) {
  char word[] = "Manager 12";
  convert(word);
  EXPECT_STREQ(word, "mANAGER 12");
  char all[256];
  for (int i = 1; i < 256; ++i) all[i - 1] = static_cast<char>(i);
  all[255] = '\0';
  char twice[256];
  std::memcpy(twice, all, sizeof all);
  convert(twice);
  convert(twice);
  EXPECT_EQ(std::memcmp(all, twice, sizeof all), 0);
  char stored[11] = "SECRET";
  FillUp(stored, 11);
  convert(stored);
  EXPECT_STREQ(stored, "secret    ");  // padding stays spaces
}

TEST(ProgramAnswers, DirectoryPathIsAbsoluteWithoutTrailingSlash) {
  const struct {
    const char* path;
    const char* base;
    const char* expected;
  } cases[] = {
      {"data", "/prog", "/prog/data"},
      {"data/", "/prog/", "/prog/data"},
      {"/abs/dir/", "/prog", "/abs/dir"},
      {"../d", "/prog/bin", "/prog/d"},
      {"./", "/prog", "/prog"},
      {"/", "/prog", "/"},
      {"", "/prog", "/prog"},
  };
  for (const auto& c : cases)
    EXPECT_STREQ(GetDirectoryPath(c.path, c.base, 101, 0), c.expected) << c.path << " " << c.base;
  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(GetDirectoryPath("x", nullptr, 101, 0), here + "/x");
}

// The platform itself is read through System Info and Update Defaults.
TEST(ProgramAnswers, AVersionBlockOfNoKnownSizeIsRefused) {
  OSVERSIONINFOA info{};
  EXPECT_FALSE(GetVersionExA(&info));
  EXPECT_FALSE(GetVersionExA(nullptr));
}

TEST(ProgramAnswers, SixteenBitFileCallsCreateWriteAndTruncate) {
  char dir[] = "/tmp/vx70-lfile-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/report.txt";

  // Whole rows written System Info's print shows; here a count of 0 cuts.
  const int file = _lcreat(path.c_str(), 0);
  ASSERT_GE(file, 0);
  EXPECT_EQ(_lwrite(file, "abcdef", 6), 6u);
  ASSERT_EQ(lseek(file, 2, SEEK_SET), 2);
  EXPECT_EQ(_lwrite(file, "", 0), 0u);  // a count of 0 cuts the file here
  EXPECT_EQ(_lclose(file), 0);
  EXPECT_EQ(std::filesystem::file_size(path), 2u);

  EXPECT_EQ(_lcreat((std::string(dir) + "/missing/x.txt").c_str(), 0), -1);
  EXPECT_EQ(_lwrite(-1, "a", 1), static_cast<UINT>(-1));
  EXPECT_EQ(_lclose(-1), -1);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vx70::test
