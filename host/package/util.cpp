// The utilities library (VX70UT32) and the text helpers of the common
// library: fixed-field padding, date numbers, decimal rounding and the
// password transform.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>

#include "api/host_api.h"

namespace {

// ---- Dates ------------------------------------------------------------------
//
// A date number counts days from 31/12/1979, so 1 is 01/01/1980 and the
// numbers sort as the dates do.  0 means "no date".  The package's dates run
// to 31/12/2099 (number 43830), well inside 16 bits.

struct CivilDate {
  int day;
  int month;
  int year;
};

constexpr int kFirstYear = 1980;
constexpr int kLastYear = 2099;

// Days since 01/01/1970 of a proleptic Gregorian date (H. Hinnant's
// days_from_civil), so that leap centuries need no special cases.
constexpr long daysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const long yearOfEra = year - era * 400;
  const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

constexpr CivilDate civilFromDays(long days) {
  days += 719468;
  const long era = (days >= 0 ? days : days - 146096) / 146097;
  const long dayOfEra = days - era * 146097;
  const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
  return {day, month, year};
}

constexpr long kDayZero = daysFromCivil(1979, 12, 31);
static_assert(daysFromCivil(2099, 12, 31) - kDayZero == 43830);

constexpr bool isLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr int daysInMonth(int month, int year) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isInRange(const CivilDate& date) {
  return date.year >= kFirstYear && date.year <= kLastYear && date.month >= 1 && date.month <= 12 &&
         date.day >= 1 && date.day <= daysInMonth(date.month, date.year);
}

WORD dateNumberOf(const CivilDate& date) {
  if (!isInRange(date)) return 0;
  return static_cast<WORD>(daysFromCivil(date.year, date.month, date.day) - kDayZero);
}

// Reads `count` digits; false when any is not a digit.
bool readDigits(const char* text, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

// Two-digit years pivot at 70: 00-69 are 2000-2069, 70-99 are 1970-1999.
int widenYear(int year, std::size_t digits) {
  if (digits == 4) return year;
  return year < 70 ? 2000 + year : 1900 + year;
}

// One field of a "/"-separated date: 1 or 2 digits for day and month, 2 or
// 4 for the year.  With separators a one-digit day or month cannot be
// misread, so "1/2/03" is 01/02/2003; run-together digits must be full.
bool readField(const std::string& field, bool isYear, int& value) {
  const std::size_t n = field.size();
  const bool lengthOk = isYear ? (n == 2 || n == 4) : (n == 1 || n == 2);
  return lengthOk && readDigits(field.c_str(), n, value);
}

std::optional<CivilDate> parseSeparated(const std::string& text) {
  const std::size_t first = text.find('/');
  const std::size_t second = text.find('/', first + 1);
  if (second == std::string::npos || text.find('/', second + 1) != std::string::npos)
    return std::nullopt;
  const std::string yearText = text.substr(second + 1);
  CivilDate date{};
  if (!readField(text.substr(0, first), false, date.day) ||
      !readField(text.substr(first + 1, second - first - 1), false, date.month) ||
      !readField(yearText, true, date.year))
    return std::nullopt;
  date.year = widenYear(date.year, yearText.size());
  return date;
}

std::optional<CivilDate> parseRunTogether(const std::string& text) {
  if (text.size() != 6 && text.size() != 8) return std::nullopt;
  CivilDate date{};
  if (!readDigits(text.c_str(), 2, date.day) || !readDigits(text.c_str() + 2, 2, date.month) ||
      !readDigits(text.c_str() + 4, text.size() - 4, date.year))
    return std::nullopt;
  date.year = widenYear(date.year, text.size() - 4);
  return date;
}

// Spaces around the date are tolerated (a date edit may pad its text);
// anything else outside the accepted forms is not.
std::optional<CivilDate> parseDateText(const char* text) {
  if (!text) return std::nullopt;
  constexpr std::size_t kLongestSensibleText = 64;
  const std::size_t length = strnlen(text, kLongestSensibleText + 1);
  if (length > kLongestSensibleText) return std::nullopt;
  std::string trimmed(text, length);
  const std::size_t begin = trimmed.find_first_not_of(' ');
  if (begin == std::string::npos) return std::nullopt;
  trimmed = trimmed.substr(begin, trimmed.find_last_not_of(' ') - begin + 1);
  return trimmed.find('/') != std::string::npos ? parseSeparated(trimmed)
                                                : parseRunTogether(trimmed);
}

// ---- Rounding -----------------------------------------------------------

// The decimal digits of a value to 15 significant places, the precision a
// double holds for any decimal text: 2.675 is stored as 2.67499999..., but
// its 15 digits read 267500000000000, which is what the user typed.
struct DecimalDigits {
  char digits[16];  // 15 digits, terminated
  int exponent;     // of the first digit
};

DecimalDigits decimalDigitsOf(double magnitude) {
  char text[40];
  std::snprintf(text, sizeof text, "%.14e", magnitude);  // d.dddddddddddddde+XX
  DecimalDigits result{};
  result.digits[0] = text[0];
  std::memcpy(result.digits + 1, text + 2, 14);
  result.digits[15] = '\0';
  result.exponent = std::atoi(std::strchr(text, 'e') + 1);
  return result;
}

double roundMagnitude(double magnitude, int places) {
  const DecimalDigits decimal = decimalDigitsOf(magnitude);
  const int kept = decimal.exponent + 1 + places;  // digits left of the cut
  if (kept >= 15) return magnitude;                // nothing below the cut
  if (kept < 0) return 0.0;                        // below half a unit
  long long units = 0;
  for (int i = 0; i < kept; ++i) units = units * 10 + (decimal.digits[i] - '0');
  if (decimal.digits[kept] >= '5') ++units;  // half away from zero
  // Let the C library turn the decimal result into the nearest double.
  char text[48];
  std::snprintf(text, sizeof text, "%llde%d", units, -places);
  return std::strtod(text, nullptr);
}

}  // namespace

extern "C" {

// ---- Fixed text fields --------------------------------------------------------

// Makes the text exactly size - 1 characters: shorter texts are padded with
// spaces, and a longer one is cut, since a field of `size` bytes cannot
// hold more and the callers pass the field's own size.
char* FillUp(char* text, UINT size) {
  if (!text || size == 0) return text;
  const std::size_t width = size - 1;
  const std::size_t length = strnlen(text, width);
  std::memset(text + length, ' ', width - length);
  text[width] = '\0';
  return text;
}

char* CleanUp(char* text) {
  if (!text) return text;
  std::size_t length = std::strlen(text);
  while (length > 0 && text[length - 1] == ' ') --length;
  text[length] = '\0';
  return text;
}

const char* Space(UINT count) {
  thread_local char spaces[MAX_PATH + 1];
  const UINT n = count < MAX_PATH ? count : MAX_PATH;
  std::memset(spaces, ' ', n);
  spaces[n] = '\0';
  return spaces;
}

// ---- Dates --------------------------------------------------------------------

char* DateNumberToFullString(char* buffer, WORD date) {
  if (!buffer) return buffer;
  if (date == 0) {
    buffer[0] = '\0';
    return buffer;
  }
  const CivilDate civil = civilFromDays(kDayZero + date);
  char text[32];  // room for any int, though a WORD's dates never need it
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", civil.day, civil.month, civil.year);
  std::memcpy(buffer, text, 10);
  buffer[10] = '\0';
  return buffer;
}

WORD DateStringToNumber(const char* text) {
  const std::optional<CivilDate> date = parseDateText(text);
  return date ? dateNumberOf(*date) : 0;
}

BOOL IsDateValid(const char* text) { return DateStringToNumber(text) != 0 ? TRUE : FALSE; }

// Numbers past 31/12/2099 still convert, by the same calendar, so that a
// stored value out of the package's range shows as what it is.
void DateNumberToComponents(WORD date, WORD* components) {
  if (!components) return;
  if (date == 0) {
    components[0] = components[1] = components[2] = 0;
    return;
  }
  const CivilDate civil = civilFromDays(kDayZero + date);
  components[0] = static_cast<WORD>(civil.day);
  components[1] = static_cast<WORD>(civil.month);
  components[2] = static_cast<WORD>(civil.year);
}

WORD DateNumberFromComponents(const WORD* components) {
  if (!components) return 0;
  return dateNumberOf({components[0], components[1], components[2]});
}

WORD GetSystemDate(void) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!localtime_r(&now, &local)) return 0;
  return dateNumberOf({local.tm_mday, local.tm_mon + 1, local.tm_year + 1900});
}

// ---- Rounding -----------------------------------------------------------------

// Rounds half away from zero in decimal, as a person would on paper.  The
// value is first read to 15 significant digits, which undoes the binary
// error of its storage (2.675 -> 2.68, 1.005 -> 1.01) without moving a
// genuinely smaller value (2.674999999 stays 2.67).  Negative places round
// to tens, hundreds...
double Round(double value, int places) {
  if (!std::isfinite(value) || value == 0.0) return value == 0.0 ? 0.0 : value;
  if (places > 300 || places < -300) return places > 0 ? value : 0.0;
  const double rounded = roundMagnitude(std::fabs(value), places);
  if (rounded == 0.0) return 0.0;  // no negative zero for a tiny negative value
  return value < 0 ? -rounded : rounded;
}

// ---- Passwords ------------------------------------------------------------------

// Swaps the case of every ASCII letter and leaves every other byte (digits,
// spaces, the terminator) alone.  Swapping twice gives the text back, so
// the one routine both stores a padded readable password and reads a
// stored one back, and the spaces that pad a stored password stay spaces.
//
// The change-password dialog tells the manager apart twice: once by
// comparing the logon name, ignoring case, with convert("Manager"), and
// once with the plain "Manager".  convert("Manager") is "mANAGER", which
// equals "Manager" when case is ignored; so for a logon name in any letter
// case both tests give the same answer.  A transform that moved letters to
// other letters (a shift or a cipher) would make the first test fail for
// the real manager.
void convert(char* text) {
  if (!text) return;
  for (char* c = text; *c; ++c) {
    const unsigned char byte = static_cast<unsigned char>(*c);
    if (byte >= 'a' && byte <= 'z')
      *c = static_cast<char>(byte - 'a' + 'A');
    else if (byte >= 'A' && byte <= 'Z')
      *c = static_cast<char>(byte - 'A' + 'a');
  }
}

}  // extern "C"
