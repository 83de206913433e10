// The change notices that stations broadcast to each other with
// GlobalUpdate: a station that stored a shared record tells the others,
// and each of them reloads the record named by the code.
#pragma once

#include "win32.h"

// The company setup record changed: reload it (ReadSetup).
inline constexpr UINT NOTICE_SETUP_CHANGED = 274;
inline constexpr UINT NOTICE_SETUP_FLAG = 8;

// The control record changed (tax codes, control accounts, account
// statuses): reload it (ReadControl).
inline constexpr UINT NOTICE_CONTROL_CHANGED = 275;
inline constexpr UINT NOTICE_CONTROL_FLAG = 16;
