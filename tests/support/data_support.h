// What the data file tests share: a scratch company, entries of the global
// data file map, and station processes (tests/tools/data_worker) driven
// line by line through pipes.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/data/company.h"
#include "host/station_options.h"
#include "tests/support/backend_support.h"

extern char** environ;

namespace vx70::test {

inline datafilemap* Entry(unsigned number) { return &g_lpGlobVar->dataFiles[number]; }

// A new, empty company; its folder is removed afterwards.
class ScratchCompany {
 public:
  ScratchCompany() : dir_(FreshCompanyLocation(folder_)) { data::createCompany(dir_); }
  ~ScratchCompany() {
    data::closeCompany();
    if (!folder_.empty()) RemoveCompanyFiles(folder_);
  }
  // The company as `--data` and openCompany take it.
  const std::string& dir() const { return dir_; }
  // The company as messages name it: on SQLite its database file.
  std::string database() const { return data::companyName(dir_); }

 private:
  std::string folder_;
  std::string dir_;
};

// One station process.  Ask sends a command line and returns its answer
// line; Kill ends it with SIGKILL at once.
class Station {
 public:
  explicit Station(const std::string& companyDir, const std::string& lockTimeout = "10") {
    signal(SIGPIPE, SIG_IGN);  // a station that died must fail the test, not end it
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]})
      posix_spawn_file_actions_addclose(&actions, fd);
    std::string program = WorkerPath();
    std::vector<char*> argv = {program.data(), const_cast<char*>(companyDir.c_str()),
                               const_cast<char*>(lockTimeout.c_str()), nullptr};
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    in_ = fdopen(toChild[1], "w");
    out_ = fdopen(fromChild[0], "r");
  }
  ~Station() {
    if (pid_ > 0) {
      std::fputs("quit\n", in_);
      std::fflush(in_);
    }
    std::fclose(in_);
    std::fclose(out_);
    Reap();
  }
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  bool started() const { return pid_ > 0; }

  std::string Ask(const std::string& command) { return Send(command), ReadLine(); }
  // Sends a command that answers with many lines (or never finishes).
  void Send(const std::string& command) {
    std::fprintf(in_, "%s\n", command.c_str());
    std::fflush(in_);
  }
  // The next line of output without its newline; "" at the end.
  std::string ReadLine() {
    char line[4096];
    if (!std::fgets(line, sizeof line, out_)) return "";
    std::string text = line;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }
  // On a server, also waits until the server has seen the station's
  // sessions end (that is when their locks lapse), as it does a few
  // milliseconds after the process.
  void Kill() {
    if (pid_ <= 0) return;
    const std::string ports = OnPostgres() ? SessionPorts() : "";
    kill(pid_, SIGKILL);
    Reap();
    if (!ports.empty())
      ServerQuery("DO $$BEGIN WHILE EXISTS (SELECT FROM pg_stat_activity WHERE " +
                  SessionsOf(ports) +
                  ") LOOP PERFORM pg_sleep(0.002); PERFORM pg_stat_clear_snapshot(); END LOOP; "
                  "END$$");
  }
  // Ends the station's sessions on the server as a network failure would,
  // leaving the process running; how many ended (waiting until they have).
  int CutConnection() {
    const std::string ports = SessionPorts();
    if (ports.empty()) return 0;
    return std::stoi(
        ServerQuery("SELECT count(*) FILTER (WHERE pg_terminate_backend(pid, 10000)) FROM "
                    "pg_stat_activity WHERE " +
                    SessionsOf(ports)));
  }

 private:
  static std::string WorkerPath() {
    return (std::filesystem::path(VX70_PROGRAM_PATH).parent_path() / "data_worker").string();
  }
  // The local ports of the process's TCP sockets, "1,2": what the server
  // sees as the client ports of its sessions.
  std::string SessionPorts() const {
    const std::string proc = "/proc/" + std::to_string(pid_);
    std::set<std::string> sockets;
    std::error_code ignored;
    for (const auto& fd : std::filesystem::directory_iterator(proc + "/fd", ignored)) {
      const std::string target = std::filesystem::read_symlink(fd.path(), ignored).string();
      if (target.rfind("socket:[", 0) == 0) sockets.insert(target.substr(8, target.size() - 9));
    }
    std::ifstream table(proc + "/net/tcp");
    std::string ports;
    std::string line;
    std::getline(table, line);  // the heading
    while (std::getline(table, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
          timeout >> inode;
      if (sockets.count(inode))
        ports += (ports.empty() ? "" : ",") +
                 std::to_string(std::stoi(local.substr(local.find(':') + 1), nullptr, 16));
    }
    return ports;
  }
  static std::string SessionsOf(const std::string& ports) {
    return "client_addr = '127.0.0.1' AND client_port IN (" + ports + ")";
  }
  void Reap() {
    if (pid_ <= 0) return;
    int status;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }

  pid_t pid_ = -1;
  FILE* in_ = nullptr;
  FILE* out_ = nullptr;
};

}  // namespace vx70::test
