// Finding the user's record in the user file by logon name.
#include "host/package/user_record.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vx70::package {

namespace {

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::string logonName(const accessmap& record) {
  // The field's last byte is its terminator, whatever the file holds there.
  std::string name(record.logonName, strnlen(record.logonName, sizeof record.logonName - 1));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

DWORD findUserRecord(datafilemap* users, std::string_view name, accessmap& record) {
  if (name.empty()) return 0;
  const DWORD count = RecCount(users);
  for (DWORD n = 1; n <= count; ++n) {
    accessmap stored;
    if (ReadRec(users, n, &stored) != sizeof stored) continue;
    if (!sameName(logonName(stored), name)) continue;
    record = stored;
    return n;
  }
  return 0;
}

}  // namespace vx70::package
