// The Win32 system services (kernel32) that the module calls, with their
// Windows meanings on a POSIX file system.
#pragma once

#include "host/win32.h"

extern "C" {

// The directory for temporary files, with a trailing '/': $TMPDIR, or /tmp.
// Returns the length copied (without the terminator), or the size needed
// when the buffer is too small, as Windows does.
DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);

// With unique 0, creates an empty file "<path><prefix up to 3 chars><hex>.TMP"
// that did not exist and returns its number; otherwise makes the name from
// `unique` without creating the file.  The buffer takes MAX_PATH bytes.
// Returns 0 on failure.
UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName);
}
