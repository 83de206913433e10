#include "host/data/backend.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "host/data/company.h"
#include "host/data/lock_file.h"
#include "host/data/sqlite_store.h"

namespace vx70::data {

namespace {

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool isPostgresUri(const std::string& text) {
  return startsWith(text, "postgresql://") || startsWith(text, "postgres://");
}

// A company is a schema; a plain lower-case identifier needs no quoting
// anywhere and cannot be mistaken for SQL.
bool plainIdentifier(const std::string& name) {
  // vx70_shared holds what the companies of a database share.
  if (name.empty() || name.size() > 63 || name.rfind("pg_", 0) == 0 || name == "vx70_shared")
    return false;
  if (!(name[0] == '_' || (name[0] >= 'a' && name[0] <= 'z'))) return false;
  for (char c : name)
    if (!(c == '_' || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

// Takes `company=NAME` out of the URI's query, leaving the rest for libpq.
std::string takeCompanyParameter(std::string& uri) {
  const auto query = uri.find('?');
  if (query == std::string::npos) return {};
  std::string kept, company;
  std::size_t start = query + 1;
  while (start <= uri.size()) {
    std::size_t end = uri.find('&', start);
    if (end == std::string::npos) end = uri.size();
    const std::string parameter = uri.substr(start, end - start);
    if (startsWith(parameter, "company="))
      company = parameter.substr(8);
    else if (!parameter.empty())
      kept += (kept.empty() ? "" : "&") + parameter;
    start = end + 1;
  }
  uri = uri.substr(0, query) + (kept.empty() ? "" : "?" + kept);
  return company;
}

// The part of a URI between "://" and the first '/' or '?'.
std::pair<std::size_t, std::size_t> authorityOf(const std::string& uri) {
  const std::size_t start = uri.find("://") + 3;
  const std::size_t end = uri.find_first_of("/?", start);
  return {start, end == std::string::npos ? uri.size() : end};
}

// What a file name may hold of a host or database name.
std::string folderName(const std::string& text) {
  std::string name;
  for (char c : text)
    name +=
        (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.') ? c : '_';
  return name.empty() || name.find_first_not_of('.') == std::string::npos ? "_" + name : name;
}

// A company on a server has no folder of its own; the station keeps its
// files (INI files, the chart for the time-recording link) on this machine
// under $XDG_DATA_HOME/vx70 (~/.local/share/vx70), one folder a server's
// database and company.
std::string localFolderFor(const std::string& uri, const std::string& company) {
  auto [start, end] = authorityOf(uri);
  std::string host = uri.substr(start, end - start);
  if (auto at = host.rfind('@'); at != std::string::npos) host = host.substr(at + 1);
  std::string database;
  if (end < uri.size() && uri[end] == '/') {
    const std::size_t stop = uri.find('?', end);
    database = uri.substr(end + 1, (stop == std::string::npos ? uri.size() : stop) - end - 1);
  }
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    base = std::filesystem::path(home) / ".local/share";
  else
    base = std::filesystem::temp_directory_path();
  return (base / "vx70" / folderName(host.empty() ? "localhost" : host) /
          folderName(database.empty() ? "postgres" : database) / company)
      .string();
}

class FolderBackend final : public Backend {
 public:
  bool exists(const CompanyAddress& address) const override {
    return std::filesystem::exists(databasePath(address.folder));
  }
  void create(const CompanyAddress& address) const override {
    std::error_code ignored;
    std::filesystem::create_directories(address.folder, ignored);
    SqliteStore::create(databasePath(address.folder));
  }
  void remove(const CompanyAddress& address) const override {
    std::error_code ignored;
    const std::string db = databasePath(address.folder);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
      std::filesystem::remove(db + suffix, ignored);
    std::filesystem::remove(std::filesystem::path(address.folder) / "company.locks", ignored);
  }
  std::unique_ptr<Store> openStore(const CompanyAddress& address,
                                   Store::Access access) const override {
    return std::make_unique<SqliteStore>(databasePath(address.folder), access);
  }
  Station openStation(const CompanyAddress& address) const override {
    Station station;
    station.store = openStore(address, Store::Access::readWrite);
    station.locks = std::make_unique<LockFile>(lockFilePathFor(address, *station.store),
                                               permissionsOf(station.store->path()));
    return station;
  }

 private:
  // A station writes its log-on and records, so a company it cannot write
  // is refused before anything else; `vx70 show` can still read it.
  static std::string lockFilePathFor(const CompanyAddress& address, const Store& store) {
    if (store.readOnly())
      throw DataError(store.path() +
                      ": the company is read-only, so no station can work on it "
                      "(vx70 show can still read it)");
    return (std::filesystem::path(address.folder) / "company.locks").string();
  }
  // The lock file is as private as the company's database.
  static mode_t permissionsOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 0666) : 0600;
  }
};

}  // namespace

CompanyAddress CompanyAddress::parse(const std::string& text) {
  CompanyAddress address;
  if (!isPostgresUri(text)) {
    address.folder = text;
    return address;
  }
  address.kind = Kind::postgres;
  address.connection = text;
  address.company = takeCompanyParameter(address.connection);
  const std::string shown = CompanyAddress{Kind::postgres, {}, address.connection, {}}.display();
  if (address.company.empty())
    throw DataError(shown + ": the address names no company; add ?company=NAME");
  if (!plainIdentifier(address.company))
    throw DataError(shown + ": \"" + address.company +
                    "\" cannot name a company: use lower-case letters, digits and _, "
                    "starting with a letter, at most 63");
  address.folder = localFolderFor(address.connection, address.company);
  return address;
}

std::string CompanyAddress::display() const {
  if (kind == Kind::folder) return databasePath(folder);
  const auto query = connection.find('?');
  std::string shown = connection.substr(0, query);
  // user:password@host keeps the user only.
  auto [start, end] = authorityOf(shown);
  if (auto at = shown.rfind('@', end); at != std::string::npos && at >= start) {
    const auto colon = shown.find(':', start);
    if (colon < at) shown.erase(colon, at - colon);
  }
  std::vector<std::string> parameters;
  if (query != std::string::npos)
    for (std::size_t from = query + 1; from <= connection.size();) {
      std::size_t stop = connection.find('&', from);
      if (stop == std::string::npos) stop = connection.size();
      std::string parameter = connection.substr(from, stop - from);
      if (!parameter.empty() && !startsWith(parameter, "password="))
        parameters.push_back(parameter);
      from = stop + 1;
    }
  if (!company.empty()) parameters.push_back("company=" + company);
  for (std::size_t n = 0; n < parameters.size(); ++n) shown += (n ? "&" : "?") + parameters[n];
  return shown;
}

bool StationLocks::exclusiveBefore(off_t place, Clock::time_point deadline) {
  Backoff backoff;
  while (!tryExclusive(place)) {
    if (Clock::now() >= deadline) return false;
    backoff.pause();
  }
  return true;
}

void Backoff::pause() {
  std::this_thread::sleep_for(delay_);
  if (delay_ < std::chrono::milliseconds(1)) delay_ *= 2;
}

const Backend& folderBackend() {
  static const FolderBackend backend;
  return backend;
}

const Backend& backendFor(const CompanyAddress& address) {
  return address.kind == CompanyAddress::Kind::postgres ? postgresBackend() : folderBackend();
}

std::string shownLocation(const std::string& location) {
  return CompanyAddress::parse(location).shown();
}

std::unique_ptr<Store> openStore(const std::string& location, Store::Access access) {
  const CompanyAddress address = CompanyAddress::parse(location);
  return backendFor(address).openStore(address, access);
}

}  // namespace vx70::data
