#include "app/new_company.h"

#include <filesystem>
#include <stdexcept>

#include "host/data/company.h"

namespace vx70::app {

namespace {

// The company's folder, readable by its owner only whatever the umask,
// since the records hold the users' passwords.  True when this run made it.
bool makeFolder(const std::string& dir) {
  bool made = !std::filesystem::exists(dir);
  std::filesystem::create_directories(dir);
  if (made) std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
  return made;
}

}  // namespace

NewCompany::NewCompany(const std::string& command, const std::string& location)
    : address_(data::CompanyAddress::parse(location)), backend_(data::backendFor(address_)) {
  if (backend_.exists(address_))
    throw std::runtime_error(command + ": " + shownName() +
                             " already holds a company; it was left as it is");
  try {
    if (address_.kind == data::CompanyAddress::Kind::folder) madeFolder_ = makeFolder(location);
    backend_.create(address_);
    madeCompany_ = true;
  } catch (...) {
    discard();
    throw;
  }
}

NewCompany::~NewCompany() {
  if (!kept_) discard();
}

void NewCompany::discard() noexcept {
  if (data::companyOpen()) data::closeCompany();
  try {
    if (madeCompany_) backend_.remove(address_);
  } catch (const std::exception& e) {
    data::reportError(e.what());
  }
  std::error_code ignored;
  if (madeFolder_) std::filesystem::remove(address_.folder, ignored);  // only when empty
  madeCompany_ = madeFolder_ = false;
}

std::string NewCompany::shownName() const { return address_.shown(); }

}  // namespace vx70::app
