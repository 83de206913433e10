// The company's records as they lie in the data files: packed,
// little-endian, each field at the offset its file gives it.  Every
// record here is byte-exact; the static_asserts hold each offset and size.
// Bytes that no dialog of this module names are kept as reserved arrays and
// written back as they were read.
//
// PLACEHOLDER SIZES: the named fields are being filled in; the sizes are
// final.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/win32.h"

#pragma pack(push, 1)

// Record 1 of data file 0: the company setup record.
struct setupmap {
  BYTE bytes[4783];
};
static_assert(sizeof(setupmap) == 4783);

// Record 1 of data file 18: the fifteen control-account slots, the counts
// and the hundred tax codes.
struct contmap {
  BYTE bytes[1280];
};
static_assert(sizeof(contmap) == 1280);

// A record of data file 31, the user and password file; the current
// user's record is also held in the global block.
struct accessmap {
  BYTE bytes[512];
};
static_assert(sizeof(accessmap) == 512);

// A record of data file 10, the nominal accounts.
struct nommap {
  BYTE bytes[651];
};
static_assert(sizeof(nommap) == 651);

// A record of data file 32, the action file: one per logged-in user
// (kind 7) and one per multi-user action held.
struct actionmap {
  WORD state;          // 0: current
  char user[33];       // terminated
  char machine[33];    // terminated, may be padded with spaces
  WORD kind;           // 7: logged in; else the action identifier
  BYTE reserved70[2];
  char details[9];
  BYTE reserved81[3];
};
static_assert(offsetof(actionmap, user) == 2);
static_assert(offsetof(actionmap, machine) == 35);
static_assert(offsetof(actionmap, kind) == 68);
static_assert(offsetof(actionmap, details) == 72);
static_assert(sizeof(actionmap) == 84);

#pragma pack(pop)
