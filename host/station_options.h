// The options of one running station: which company, who is logged on,
// and the answers the host gives to the module's questions about the
// program and its machine.  Front ends (vx70 drive, vx70 serve, tests)
// fill them before the station starts; the host's libraries read them.
#pragma once

#include <optional>
#include <string>

#include "api/win32.h"

namespace vx70 {

struct StationOptions {
  std::string dataDir;  // the company: its directory, or its address on a server
  // The folder of the station's own files: empty for a company directory
  // (they are kept in it); for a company on a server, a folder of this
  // machine that the station fills in when it opens the company.
  std::string companyFolder;
  std::string station = "STATION1";
  std::string user = "MANAGER";
  DWORD edition = 1;  // 1, 2, 4, 8 or 16
  bool multiUser = false;
  bool lockRecords = false;
  std::string programDate;  // DD/MM/YYYY; empty: today
  bool detailsLocked = false;
  DWORD negativeStockCount = 0;
  bool netMessaging = false;
  bool server = false;                   // IsServer answers yes
  std::optional<double> callChargeRate;  // globvar.userCallChargeRate; none: the user record's
  bool debug = false;                    // IsVexaDebug
  bool vatLocked = false;                // CanVatModeChange answers no
  bool windowsNT = false;                // GetVersionExA reports the NT platform
  std::string iniDir;                    // empty: <dataDir>/stations/<station>
  double lockTimeoutSeconds = 10.0;      // how long LockRec waits for another station
};

// The options of the station running in this process.
StationOptions& stationOptions();
// The folder of the station's INI files (package INI, VEXA.INI, WIN.INI).
std::string stationIniDir();

}  // namespace vx70
