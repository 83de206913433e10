#include "host/station_options.h"

namespace vx70 {

namespace {

// A station name becomes one folder name: letters, digits, '-', '_' and '.'
// stay, anything else (a '/', a space) becomes '_', and a name that would
// mean "here" or "up" is prefixed so that it cannot leave stations/.
std::string folderNameOf(const std::string& station) {
  std::string name;
  for (const char c : station) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    name += plain ? c : '_';
  }
  if (name.empty() || name.find_first_not_of('.') == std::string::npos) name.insert(0, "_");
  return name;
}

}  // namespace

StationOptions& stationOptions() {
  static StationOptions options;
  return options;
}

std::string stationIniDir() {
  const StationOptions& options = stationOptions();
  if (!options.iniDir.empty()) return options.iniDir;
  if (!options.dataDir.empty()) {
    std::string dir = options.companyFolder.empty() ? options.dataDir : options.companyFolder;
    if (dir.back() != '/') dir += '/';
    return dir + "stations/" + folderNameOf(options.station);
  }
  return "./";
}

}  // namespace vx70
