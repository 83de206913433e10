#include "app/station_cli.h"

namespace vx70::app {

void addStationOptions(CLI::App& command, StationOptions& o) {
  command.add_option(
      "--data", o.dataDir,
      "The company: its directory, or a PostgreSQL URI with ?company=NAME (made with `vx70 init`)");
  command.add_option("--station", o.station, "This station's name")->capture_default_str();
  command.add_option("--user", o.user, "The user who logs on")->capture_default_str();
  command.add_option("--edition", o.edition, "Edition code: 1, 2, 4, 8 or 16 (entry edition)")
      ->check(CLI::IsMember({1, 2, 4, 8, 16}))
      ->capture_default_str();
  command.add_flag("--multi-user", o.multiUser, "Dialogs take and release multi-user actions");
  command.add_flag("--lock-records", o.lockRecords, "Writes of shared records lock the record");
  command.add_option("--program-date", o.programDate, "Program date DD/MM/YYYY (default: today)");
  command.add_flag("--details-locked", o.detailsLocked,
                   "The company's name, address and contact fields are read-only");
  command
      .add_option("--negative-stock", o.negativeStockCount,
                  "Number of products with a negative stock level")
      ->capture_default_str();
  command.add_flag("--net-messaging", o.netMessaging, "Network messaging is on in this run");
  command.add_flag("--server", o.server, "This station is the file server");
  command.add_option(
      "--call-charge-rate", o.callChargeRate,
      "The user's own default call-charge rate (default: as the user file keeps it)");
  command.add_flag("--debug", o.debug, "Debug mode of the program");
  command.add_flag("--vat-locked", o.vatLocked, "The VAT scheme may not be changed");
  command.add_flag("--windows-nt", o.windowsNT, "Report the Windows NT platform");
  command.add_option("--ini-dir", o.iniDir,
                     "Folder of the station's INI files (default DATA/stations/STATION)");
  command
      .add_option("--lock-timeout", o.lockTimeoutSeconds,
                  "Seconds a record lock or file open waits for another station")
      ->capture_default_str();
}

}  // namespace vx70::app
