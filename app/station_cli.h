// The station options shared by `vx70 drive` and `vx70 serve`: which
// company, who logs on, and the host's answers to what the module asks
// about the program and its machine.
#pragma once

#include <CLI/CLI.hpp>

#include "host/station_options.h"

namespace vx70::app {

void addStationOptions(CLI::App& command, StationOptions& options);

}  // namespace vx70::app
