// Which company store the tests run against.  A company is a folder
// (SQLite) unless VX70_TEST_BACKEND=postgres: then it is a fresh company
// on the server whose URI the file VX70_TEST_PG_URI_FILE holds
// (tests/CMakeLists.txt starts a server for the pg.* tests).  Its schema
// is left behind: the server is thrown away after the run.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/data/company.h"

namespace vx70::test {

inline bool OnPostgres() {
  const char* backend = std::getenv("VX70_TEST_BACKEND");
  return backend && std::string(backend) == "postgres";
}

// The test server's URI.  Throws when there is none, so that a test meant
// for the server fails rather than passes without one.
inline std::string ServerUri() {
  const char* chosen = std::getenv("VX70_TEST_PG_URI_FILE");
  const std::string file = chosen ? chosen : "(VX70_TEST_PG_URI_FILE unset)";
  std::ifstream in(file);
  std::string uri;
  if (!std::getline(in, uri) || uri.empty())
    throw std::runtime_error("no PostgreSQL server for the tests: no URI in " + file);
  return uri;
}

// Where a new company may be made: a new company name on the server, or a
// new folder.  `folder` is what to remove afterwards: the company folder,
// or the folder on this machine for its stations' own files.
inline std::string FreshCompanyLocation(std::string& folder) {
  if (OnPostgres()) {
    const std::string uri = ServerUri();
    std::random_device random;
    const std::string name = "t" + std::to_string(random()) + std::to_string(random());
    const std::string location =
        uri + (uri.find('?') == std::string::npos ? "?" : "&") + "company=" + name;
    folder = data::companyFolder(location);
    return location;
  }
  std::string pattern = (std::filesystem::temp_directory_path() / "vx70-data-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary directory");
  folder = pattern;
  return folder;
}

// Removes what a company left on this machine: its folder, and on a
// server the folders above it (HOST/DATABASE) once empty.
inline void RemoveCompanyFiles(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  if (!OnPostgres()) return;
  auto parent = std::filesystem::path(folder).parent_path();
  for (int level = 0; level < 2; ++level, parent = parent.parent_path())
    std::filesystem::remove(parent, ignored);  // only when empty
}

// SQL run on the test server outside any station: the first value of its
// first row ("" for none).  A failure fails the test.
inline std::string ServerQuery(const std::string& sql) {
  PGconn* connection = PQconnectdb(ServerUri().c_str());
  std::string value;
  if (PQstatus(connection) != CONNECTION_OK) {
    ADD_FAILURE() << PQerrorMessage(connection);
  } else {
    PGresult* result = PQexec(connection, sql.c_str());
    if (PQresultStatus(result) != PGRES_TUPLES_OK && PQresultStatus(result) != PGRES_COMMAND_OK)
      ADD_FAILURE() << sql << ": " << PQerrorMessage(connection);
    else if (PQntuples(result) > 0)
      value = PQgetvalue(result, 0, 0);
    PQclear(result);
  }
  PQfinish(connection);
  return value;
}

// A folder of the test's own, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx70-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary directory");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// `vx70 ARGS...` run as a user runs it, its output passed through files in
// `scratch`.
struct ProgramRun {
  int status = -1;
  std::string out, err;
};

inline ProgramRun RunVx70(const std::vector<std::string>& args,
                          const std::filesystem::path& scratch) {
  auto quoted = [](const std::string& text) {
    std::string q = "'";
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  };
  auto slurp = [](const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  std::string command = quoted(VX70_PROGRAM_PATH);
  for (const auto& arg : args) command += " " + quoted(arg);
  const auto out = scratch / "stdout", err = scratch / "stderr";
  const int raw =
      std::system((command + " >" + quoted(out.string()) + " 2>" + quoted(err.string())).c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

}  // namespace vx70::test
