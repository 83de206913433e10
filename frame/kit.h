// The handler families' small kit: what several dialogs of the module do
// alike, written once.  The global block, copying texts into fixed fields,
// and telling the other stations to reload a shared record.
#pragma once

#include <cstddef>
#include <cstring>

#include "api/host_api.h"
#include "api/notices.h"

// The running program's global block.
inline globvar& glob() { return *g_lpGlobVar; }

// Copies a text into a fixed field of `size` bytes: at most size - 1
// characters (the source may be a field that lacks its terminator) and the
// rest of the field zero, so that no old bytes stay behind the text.
inline void CopyToField(char* field, std::size_t size, const char* text) {
  if (!field || size == 0) return;
  std::size_t n = text ? strnlen(text, size - 1) : 0;
  std::memcpy(field, text, n);
  std::memset(field + n, 0, size - n);
}
template <std::size_t N>
void CopyToField(char (&field)[N], const char* text) {
  CopyToField(field, N, text);
}

// Copies at most `chars` characters of a text (which may lack its
// terminator) into a buffer of `size` bytes, cut to fit and terminated;
// the bytes after the terminator are left as they were.
inline void CopyCut(char* to, std::size_t size, const char* from, std::size_t chars) {
  if (!to || size == 0) return;
  std::size_t n = from ? strnlen(from, chars) : 0;
  if (n >= size) n = size - 1;
  std::memcpy(to, from, n);
  to[n] = '\0';
}

// The other stations reload the company setup record.
inline void AnnounceSetupChanged() {
  GlobalUpdate(glob().station, 0, NOTICE_SETUP_CHANGED, NOTICE_SETUP_FLAG, 0, 0, 0, 1);
}

// The other stations reload the control record (tax codes, control
// accounts, account statuses).
inline void AnnounceControlChanged() {
  GlobalUpdate(glob().station, 0, NOTICE_CONTROL_CHANGED, NOTICE_CONTROL_FLAG, 0, 0, 0, 1);
}
