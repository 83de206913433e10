#include "tests/support/drive_support.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <sstream>

#include "app/station_cli.h"
#include "host/data/session.h"

namespace vx70::test {

namespace {

StationOptions parseOptions(const std::string& dir, const std::string& options) {
  StationOptions parsed;
  CLI::App app;
  app::addStationOptions(app, parsed);
  app.parse("--data " + shellQuote(dir) + " " + options, false);
  return parsed;
}

// What the station holds between two inputs of the person: every handler
// has returned by then, so any open data file or record lock was lost.
std::string heldByStation() {
  std::lock_guard lock(data::sessionMutex());
  if (!data::companyOpen()) return "";
  const data::Session& s = data::session();
  std::string held;
  for (std::uint16_t n = 0; n < kDataFileCount; ++n)
    if (s.files[n].openCount) held += data::fileLabel(n) + " is open; ";
  for (auto [file, record] : s.lockedRecords)
    held += "record " + std::to_string(record) + " of " + data::fileLabel(file) + " is locked; ";
  return held;
}

json errorEvent(int line, const std::string& message) {
  return json{{"event", "error"}, {"line", line}, {"message", message}};
}

}  // namespace

DriveRun TestCompany::driveHere(const std::string& script, const std::string& options) const {
  setenv("VX70_MODULE", VX70_MODULE_PATH, 1);
  DriveRun run;
  bool failed = false;
  auto sink = [&](const json& e) {
    run.events.push_back(e);
    const std::string kind = e.value("event", "");
    if (kind == "error" || (kind == "message" && e.contains("error"))) failed = true;
  };
  std::unique_ptr<Station> station;
  try {
    station = std::make_unique<Station>(parseOptions(dir_, options), sink);
  } catch (const std::exception& e) {
    run.events.push_back(errorEvent(0, e.what()));
    run.status = 1;
    return run;
  }
  std::istringstream lines(script);
  std::string text;
  int line = 0;
  while (std::getline(lines, text)) {
    ++line;
    try {
      station->execute(text, line);
    } catch (const script::ScriptError& e) {
      station.reset();
      run.events.push_back(errorEvent(e.line(), e.what()));
      run.status = 1;
      return run;
    }
    if (station->questionPending()) continue;
    std::string held = heldByStation();
    if (!held.empty()) ADD_FAILURE() << "after line " << line << " (" << text << "): " << held;
  }
  if (station->questionPending()) failed = true;
  station.reset();
  unsetenv("VX70_MODULE");
  run.status = failed ? 1 : 0;
  return run;
}

DriveRun TestCompany::use(const std::string& script, const std::string& options) const {
  DriveRun run = driveHere(script, options);
  if (run.status != 0) ADD_FAILURE() << "the run failed: " << run.error();
  return run;
}

DriveRun TestCompany::useFailing(const std::string& script, const std::string& options) const {
  DriveRun run = driveHere(script, options);
  if (run.status != 1) ADD_FAILURE() << "the run should have failed";
  return run;
}

StationProcess::StationProcess(const TestCompany& co, const std::string& options) {
  int toStation[2], fromStation[2];
  if (pipe(toStation) || pipe(fromStation)) throw std::runtime_error("no pipe");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("cannot start a station");
  std::signal(SIGPIPE, SIG_IGN);  // a station that stopped on an error reads no more
  if (pid_ == 0) {
    dup2(toStation[0], 0);
    dup2(fromStation[1], 1);
    for (int fd : {toStation[0], toStation[1], fromStation[0], fromStation[1]}) close(fd);
    std::string command = "exec " + shellQuote(VX70_PROGRAM_PATH) + " drive - --data " +
                          shellQuote(co.dir()) + " " + options;
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(toStation[0]);
  close(fromStation[1]);
  in_ = fdopen(toStation[1], "w");
  out_ = fdopen(fromStation[0], "r");
  send("");  // started and idle
}

StationProcess::~StationProcess() {
  if (pid_ > 0) finish();
}

// Each batch ends with a `show` of our own, so its answer marks the moment
// the station has run every command and waits for input again.
void StationProcess::send(const std::string& commands) {
  std::size_t shows = 0;
  std::istringstream lines(commands);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("show", 0) == 0) ++shows;
  std::fputs((commands + "show\n").c_str(), in_);
  std::fflush(in_);
  char chunk[65536];
  std::string text;
  while (std::fgets(chunk, sizeof chunk, out_)) {
    text += chunk;
    if (text.back() != '\n') continue;
    json e = json::parse(text);
    text.clear();
    if (e.value("event", "") == "show" && shows-- == 0) return;
    events_.push_back(std::move(e));
  }
}

DriveRun StationProcess::finish() {
  std::fclose(in_);
  char line[65536];
  std::string text;
  while (std::fgets(line, sizeof line, out_)) text += line;
  std::fclose(out_);
  int status = -1;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  for (auto& e : jsonLines(text)) events_.push_back(std::move(e));
  return DriveRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, events_};
}

void StationProcess::kill() {
  ::kill(pid_, SIGKILL);
  finish();
}

}  // namespace vx70::test
