// Start-up and shutting down: the station loads the module, opens the
// company, logs the user on and fills the global block as the host
// program does before the module's first dialog, then installs itself as
// the engine's input wait and question port.
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>

#include "host/codepage.h"
#include "host/data/company.h"
#include "host/engine/dialog.h"
#include "host/package/record_counts.h"
#include "host/package/user_record.h"
#include "host/win32/window.h"
#include "station/station_impl.h"

namespace vx70 {

using nlohmann::json;

namespace {

void copyText(char* to, std::size_t size, const std::string& text) {
  std::memset(to, 0, size);
  std::memcpy(to, text.data(), std::min(text.size(), size - 1));
}

void copyPath(char* to, const std::string& path) { copyText(to, MAX_PATH, path); }

std::string programDirectory() {
  char exe[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return ".";
  return std::filesystem::path(std::string(exe, static_cast<std::size_t>(n)))
      .parent_path()
      .string();
}

// The user's logon name as the records hold it, in the Windows code page.
std::string logonName(const std::string& user) {
  try {
    return codepage::fromUtf8(user);
  } catch (const codepage::TextError& e) {
    throw std::runtime_error("--user \"" + codepage::validUtf8(user) + "\": " + e.what());
  }
}

// The user's record when the company has no user file to read: the logon
// name alone.
void accessOfName(accessmap& access, const std::string& user) {
  std::memset(&access, 0, sizeof access);
  copyText(access.logonName, sizeof access.logonName, user);
}

}  // namespace

void Station::Impl::startUp() {
  stationOptions() = options;
  if (!options.dataDir.empty())
    stationOptions().companyFolder = data::companyFolder(options.dataDir);
  engine::registerEngineClasses();
  registerWindowClasses();
  module = Module::load(defaultModulePath(), kDefaultsModuleNumber);
  engine::registerModule(module.get());
  if (!options.dataDir.empty()) {
    data::openCompany(options.dataDir);
    data::logon(options.station, logonName(options.user));
    loggedOn = true;
    // A server that pushes other stations' notices wakes the station, so
    // that it shows them at once rather than at its next look.
    data::watchUpdates([this] { wake.notify_all(); });
  }
  fillGlobalBlock();
  createMainWindow();
  showCompanyInMainWindow();
  showOptionsInMainWindow();
  events::setUiPort(this);
  events::setSink([this](const json& e) { emit(withActionName(e)); });
  engine::setInputWait([this] { dialogWait(); });
  emit(json{{"event", "station"},
            {"action", "started"},
            {"station", options.station},
            {"user", options.user},
            {"number", g_lpGlobVar->station}});
}

void Station::Impl::shutDown() {
  engine::setInputWait(nullptr);
  events::setUiPort(nullptr);
  if (mainWindow) win::destroyWindow(mainWindow);
  mainWindow = 0;
  // Logging off writes to the company.  When that fails (a full disk) the
  // station still closes, and says why; nothing thrown leaves it.
  try {
    if (loggedOn) data::logoff();
  } catch (const std::exception& e) {
    emit(nlohmann::json{{"event", "error"}, {"line", 0}, {"message", e.what()}});
  }
  loggedOn = false;
  if (data::companyOpen()) data::closeCompany();
  if (module) engine::unregisterModule(module->number());
  module.reset();
  events::setSink(nullptr);
  win::reset();
}

void Station::Impl::fillGlobalBlock() {
  globvar& g = *g_lpGlobVar;
  g.edition = options.edition;
  g.multiUser = options.multiUser;
  g.lockRecords = options.lockRecords;
  g.detailsLocked = options.detailsLocked;
  g.netMessaging = options.netMessaging;
  g.negativeStockCount = options.negativeStockCount;
  if (options.programDate.empty()) {
    g.programDate = GetSystemDate();
  } else {
    g.programDate = DateStringToNumber(options.programDate.c_str());
    if (!g.programDate)
      throw std::runtime_error("--program-date \"" + options.programDate + "\" is not a date");
  }
  copyPath(g.programDirectory, programDirectory());
  if (!options.dataDir.empty()) {
    // A company on a server has its station files in a folder of this
    // machine; the module sees that folder as the company's.
    const std::string folder = data::companyFolder(options.dataDir);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    copyPath(g.dataPath, std::filesystem::absolute(folder).lexically_normal().string());
    // A station never runs on zeroes: a missing or damaged setup or control
    // record stops it here, with the file and the record named.
    if (!ReadSetup() || !ReadControl()) throw std::runtime_error(data::lastError());
    loadAccessRecord();
    package::countCompanyRecords(g);
  } else {
    accessOfName(g.access, logonName(options.user));
  }
  // The user's own call-charge rate as the user file keeps it, unless
  // this run names another (copied out of the packed record first, as
  // value_or takes a reference).
  const double storedRate = g.access.callChargeRate;
  g.userCallChargeRate = options.callChargeRate.value_or(storedRate);
}

// The user's record of the user file, its password held readable in
// memory as the dialogs expect it.
void Station::Impl::loadAccessRecord() {
  accessmap& access = g_lpGlobVar->access;
  std::memset(&access, 0, sizeof access);
  datafilemap* users = &g_lpGlobVar->dataFiles[DF_USERS];
  const std::string name = logonName(options.user);
  if (!FileOpen(users, OF_READ, OF_SHARE_DENY_NONE, 1)) {
    accessOfName(access, name);
    return;
  }
  const bool found = package::findUserRecord(users, name, access) != 0;
  FileClose(users);
  if (!found)
    throw std::runtime_error("the company has no user \"" + codepage::validUtf8(options.user) +
                             "\"");
  access.password[sizeof access.password - 1] = '\0';
  convert(access.password);
}

}  // namespace vx70
