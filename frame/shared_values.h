// What several dialogs of the module pass to the host alike: the value
// kinds that GetControlPtr is asked for, and the change notices that tell
// the other stations to reload a shared record.
#pragma once

#include "frame/host_api.h"

// Value kinds of a control entry, as GetControlPtr takes them.
inline constexpr UINT ENTRY_DECIMAL = 0x01;  // an 8-byte f64
inline constexpr UINT ENTRY_TEXT = 0x03;     // a text buffer
inline constexpr UINT ENTRY_WORD = 0x04;     // a 16-bit number
inline constexpr UINT ENTRY_SLOT = 0x20;     // an 8-byte data slot

// The other stations reload the company setup record.
inline void AnnounceSetupChanged() { GlobalUpdate(g_lpGlobVar->station, 0, 274, 8, 0, 0, 0, 1); }

// The other stations reload the control record (tax codes, control
// accounts, account statuses).
inline void AnnounceControlChanged() { GlobalUpdate(g_lpGlobVar->station, 0, 275, 16, 0, 0, 0, 1); }
