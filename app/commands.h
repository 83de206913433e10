// The subcommands of the vx70 program.
#pragma once

#include <CLI/CLI.hpp>

namespace vx70::app {

// vx70 resources: what the module holds, dialog by dialog.
void addResourcesCommand(CLI::App& app);

}  // namespace vx70::app
