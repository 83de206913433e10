// The common-library questions that are answered from a record alone:
// whether a nominal account fills a control slot, whether a date lies in
// the company's financial year, and whether an access record is the
// manager's.
#include <cctype>
#include <cstring>
#include <iterator>
#include <string_view>

#include "api/host_api.h"

namespace {

constexpr std::string_view kManagerLogon = "MANAGER";

// The logon name without surrounding spaces; the name need not be
// terminated within its field.
std::string_view trimmedLogon(const accessmap& access) {
  std::string_view name(access.logonName, strnlen(access.logonName, sizeof access.logonName));
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  return name;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Months counted from year 0, so that a financial year is the twelve
// consecutive counts from its start.
long monthCount(long year, long monthIndex) { return year * 12 + monthIndex; }

}  // namespace

extern "C" {

// Record 0 names no account: an empty slot makes nothing a control account.
BOOL IsMajorControlAccount(DWORD accountRecord, const nommap* /*nominal*/, UINT /*flag*/,
                           const contmap* control) {
  if (!control || accountRecord == 0) return FALSE;
  // Indexed and counted by size: the record is packed, so no reference
  // may bind to its array (std::size would).
  constexpr std::size_t kSlots = sizeof(contmap::controlRec) / sizeof(DWORD);
  for (std::size_t slot = 0; slot < kSlots; ++slot)
    if (control->controlRec[slot] == accountRecord) return TRUE;
  return FALSE;
}

// The year starts on the first day of its start month and spans twelve
// whole months, so comparing months is enough.  A date that is no date
// (0) lies outside every year; without a setup record there is no year to
// lie outside of.
BOOL IsDateOutsideFYear(const setupmap* setup, WORD date) {
  if (!setup) return FALSE;
  if (date == 0) return TRUE;
  WORD parts[3] = {};  // day, month, year
  DateNumberToComponents(date, parts);
  const long start = monthCount(setup->fyStartYear, setup->fyStartMonth);
  const long month = monthCount(parts[2], parts[1] - 1L);
  return month < start || month >= start + 12 ? TRUE : FALSE;
}

// The manager is known by the logon name alone, in any letter case and
// with any padding.  Change Password tests the name against "Manager" and
// against its converted form, both ignoring case; the password transform
// only swaps letter case, so all three tests agree.
BOOL IsUserManager(const accessmap* access) {
  if (!access) return FALSE;
  return equalIgnoringCase(trimmedLogon(*access), kManagerLogon) ? TRUE : FALSE;
}

}  // extern "C"
