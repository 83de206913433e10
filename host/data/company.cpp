#include "host/data/company.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "api/host_api.h"
#include "host/data/session.h"
#include "host/station_options.h"

namespace vx70::data {

namespace {

std::unique_ptr<Session>& currentSession() {
  static std::unique_ptr<Session> current;
  return current;
}

std::string& lastErrorText() {
  static std::string text;
  return text;
}

void resetDataFileMap() {
  if (!g_lpGlobVar || !g_lpGlobVar->dataFiles) return;
  for (int n = 0; n < kDataFileCount; ++n) {
    datafilemap& entry = g_lpGlobVar->dataFiles[n];
    entry.openCount = 0;
    entry.access = 0;
    entry.share = 0;
    entry.library = nullptr;
  }
}

}  // namespace

const std::vector<FileInfo>& companyFiles() {
  static const std::vector<FileInfo> files = {
      {DF_SETUP, 4783, "setup"},
      {DF_PRODUCT_CATEGORIES, 31, "productCategories"},
      {DF_NOMINAL, 651, "nominal"},
      {DF_CONTROL, 1280, "control"},
      {DF_DEPARTMENTS, 31, "departments"},
      {DF_CURRENCIES, 84, "currencies"},
      {DF_USERS, 512, "users"},
      {DF_ACTIONS, 84, "actions"},
      {DF_ASSET_CATEGORIES, 61, "assetCategories"},
      {DF_FINANCE_RATES, 20, "financeRates"},
      {DF_ACCOUNT_STATUS, 62, "accountStatus"},
  };
  return files;
}

const FileInfo* fileInfo(std::uint16_t number) {
  // By number at once: every record read and write asks.
  static const std::vector<const FileInfo*> byNumber = [] {
    std::vector<const FileInfo*> table;
    for (const FileInfo& info : companyFiles()) {
      if (info.number >= table.size()) table.resize(info.number + 1u, nullptr);
      table[info.number] = &info;
    }
    return table;
  }();
  return number < byNumber.size() ? byNumber[number] : nullptr;
}

const FileInfo* fileInfo(const std::string& name) {
  for (const FileInfo& info : companyFiles())
    if (name == info.name) return &info;
  return nullptr;
}

std::string databasePath(const std::string& dir) {
  return (std::filesystem::path(dir) / "company.vx70").string();
}

bool companyExists(const std::string& location) {
  const CompanyAddress address = CompanyAddress::parse(location);
  return backendFor(address).exists(address);
}

void createCompany(const std::string& location) {
  const CompanyAddress address = CompanyAddress::parse(location);
  backendFor(address).create(address);
}

std::string companyName(const std::string& location) {
  return CompanyAddress::parse(location).display();
}

std::string companyFolder(const std::string& location) {
  return CompanyAddress::parse(location).folder;
}

Session::Session(const CompanyAddress& company)
    : address(company),
      backend(backendFor(company).openStation(company)),
      store(*backend.store),
      locks(*backend.locks) {
  lastUpdateSeen = store.lastBroadcast();
}

std::recursive_mutex& sessionMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

Session& session() {
  auto& current = currentSession();
  if (!current) throw DataError("no company is open");
  return *current;
}

StationLocks::Clock::time_point lockDeadline() {
  using Clock = StationLocks::Clock;
  auto wait = std::chrono::duration<double>(stationOptions().lockTimeoutSeconds);
  return Clock::now() + std::chrono::duration_cast<Clock::duration>(wait);
}

std::string fileLabel(std::uint16_t file) {
  const FileInfo* info = fileInfo(file);
  return "data file " + std::to_string(file) + (info ? std::string(" (") + info->name + ")" : "");
}

void reportError(const std::string& message) {
  try {
    std::lock_guard lock(sessionMutex());
    lastErrorText() = message;
    static std::set<std::string> printed;
    if (printed.insert(message).second) std::fprintf(stderr, "vx70: %s\n", message.c_str());
  } catch (...) {
    // Out of memory while reporting: the failure result still tells.
  }
}

std::string lastError() {
  std::lock_guard lock(sessionMutex());
  return lastErrorText();
}

void openCompany(const std::string& location) {
  std::lock_guard lock(sessionMutex());
  closeCompany();
  currentSession() = std::make_unique<Session>(CompanyAddress::parse(location));
  resetDataFileMap();
}

void closeCompany() {
  std::lock_guard lock(sessionMutex());
  auto& current = currentSession();
  if (!current) return;
  try {
    logoff();
  } catch (const std::exception& e) {
    reportError(e.what());
  }
  // Closing the lock file (the server connection) drops every lock this
  // station still holds.
  current.reset();
  resetDataFileMap();
}

void watchUpdates(std::function<void()> wake) {
  std::lock_guard lock(sessionMutex());
  if (auto& current = currentSession()) current->store.watchBroadcasts(std::move(wake));
}

std::string companyLost() {
  std::lock_guard lock(sessionMutex());
  auto& current = currentSession();
  if (!current || !current->store.connectionLost()) return {};
  return current->store.path() +
         ": the company is unreachable (the connection to the server was lost)";
}

bool companyOpen() {
  std::lock_guard lock(sessionMutex());
  return currentSession() != nullptr;
}

}  // namespace vx70::data
