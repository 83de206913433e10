// What several dialogs of the module do alike: tell the other stations
// to reload a shared record.
#pragma once

#include "api/host_api.h"
#include "api/notices.h"

// The other stations reload the company setup record.
inline void AnnounceSetupChanged() {
  GlobalUpdate(g_lpGlobVar->station, 0, NOTICE_SETUP_CHANGED, NOTICE_SETUP_FLAG, 0, 0, 0, 1);
}

// The other stations reload the control record (tax codes, control
// accounts, account statuses).
inline void AnnounceControlChanged() {
  GlobalUpdate(g_lpGlobVar->station, 0, NOTICE_CONTROL_CHANGED, NOTICE_CONTROL_FLAG, 0, 0, 0, 1);
}
