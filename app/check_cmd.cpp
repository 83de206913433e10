// vx70 check: reads every record of a company and checks it against its
// checksum and length, and the database's own structure, without changing
// anything.  Prints what is damaged, one line each naming the file and the
// record, and exits 1 when anything is; prints that the company is sound
// otherwise.
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/commands.h"
#include "host/data/backend.h"
#include "host/data/company.h"

namespace vx70::app {
namespace {

struct CheckOptions {
  std::string dataDir;
};

int runCheck(const CheckOptions& o) {
  if (!data::companyExists(o.dataDir))
    throw std::runtime_error("check: " + data::shownLocation(o.dataDir) + " holds no company");
  auto opened = data::openStore(o.dataDir, data::Store::Access::readOnly);
  data::Store& store = *opened;
  const auto damage = store.check();
  for (const auto& line : damage) std::cout << line << '\n';
  if (damage.empty()) std::cout << store.path() << ": the company is sound\n";
  return damage.empty() ? 0 : 1;
}

}  // namespace

void addCheckCommand(CLI::App& app) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* cmd = app.add_subcommand("check", "Check every record of a company for damage");
  cmd->add_option("--data", options->dataDir,
                  "Directory, or PostgreSQL URI with ?company=NAME, of the company")
      ->required();
  cmd->callback([options] {
    if (runCheck(*options) != 0) throw CLI::RuntimeError(1);
  });
}

}  // namespace vx70::app
