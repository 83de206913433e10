// vx70: the host program of the company-defaults module.  Each subcommand
// is one job; see README.md and docs/ for the command line.
#include <iostream>

#include "app/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"vx70: the company-defaults module of the vx70 accounting package"};
  app.require_subcommand(1);
  vx70::app::addResourcesCommand(app);
  vx70::app::addInitCommand(app);
  vx70::app::addShowCommand(app);
  vx70::app::addCheckCommand(app);
  vx70::app::addCopyCommand(app);
  vx70::app::addDriveCommand(app);
  vx70::app::addServeCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const std::exception& e) {
    std::cerr << "vx70: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
