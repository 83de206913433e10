// The subcommands of the vx70 program.
#pragma once

#include <CLI/CLI.hpp>

namespace vx70::app {

// vx70 resources: what the module holds, dialog by dialog.
void addResourcesCommand(CLI::App& app);
// vx70 init: a new company with its starting records.
void addInitCommand(CLI::App& app);
// vx70 show: a data file's records, field by field.
void addShowCommand(CLI::App& app);
// vx70 check: every record of a company checked for damage.
void addCheckCommand(CLI::App& app);
// vx70 copy: a company copied between folders and servers.
void addCopyCommand(CLI::App& app);

// vx70 drive: one station run from a script.
void addDriveCommand(CLI::App& app);
// vx70 serve: one station served to a web browser.
void addServeCommand(CLI::App& app);

}  // namespace vx70::app
