// What the data file tests share: a scratch company directory, entries of
// the global data file map, and station processes (tests/tools/data_worker)
// driven line by line through pipes.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/data/company.h"
#include "host/station_options.h"

extern char** environ;

namespace vx70::test {

inline datafilemap* Entry(unsigned number) { return &g_lpGlobVar->dataFiles[number]; }

// A fresh directory holding a new, empty company; removed afterwards.
class ScratchCompany {
 public:
  ScratchCompany() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx70-data-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    data::createCompany(dir_);
  }
  ~ScratchCompany() {
    data::closeCompany();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  const std::string& dir() const { return dir_; }
  std::string database() const { return data::databasePath(dir_); }

 private:
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

  std::string Ask(const std::string& command) {
    std::fprintf(in_, "%s\n", command.c_str());
    std::fflush(in_);
    return ReadLine();
  }
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
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    Reap();
  }

 private:
  static std::string WorkerPath() {
    return (std::filesystem::path(VX70_PROGRAM_PATH).parent_path() / "data_worker").string();
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
