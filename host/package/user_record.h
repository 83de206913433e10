// The user's record in the company's user file, found by logon name: the
// station reads it at log-on and SaveUserOptions rewrites it.
#pragma once

#include <string>
#include <string_view>

#include "api/host_api.h"

namespace vx70::package {

// The record's logon name without its padding.
std::string logonName(const accessmap& record);

// Looks the user up in the user file, which the caller has opened: the
// first record whose logon name, without its padding, is `name` ignoring
// case.  Returns the record's number (from 1) and fills `record` as the
// file keeps it (the password converted), or returns 0 when no record has
// the name; an empty name matches nothing.
DWORD findUserRecord(datafilemap* users, std::string_view name, accessmap& record);

}  // namespace vx70::package
