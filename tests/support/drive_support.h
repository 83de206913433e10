// What the dialog tests share: a scratch company made by `vx70 init`, a
// station driven on a script against it in this process (checked after
// every input to hold no data file and no record lock) or by the `vx70
// drive` program (one JSON event a line), station processes for
// multi-station cases, and the stored records read back byte for byte.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "api/host_api.h"
#include "host/data/company.h"
#include "station/station.h"
#include "tests/support/backend_support.h"

namespace vx70::test {

using nlohmann::json;

inline std::string shellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

inline std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<json> jsonLines(const std::string& text) {
  std::vector<json> out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) break;
    if (end > start) out.push_back(json::parse(text.substr(start, end - start)));
    start = end + 1;
  }
  return out;
}

// What one `vx70 drive` run printed, and how it ended.
struct DriveRun {
  int status = -1;
  std::vector<json> events;

  std::vector<json> all(const std::string& kind) const {
    std::vector<json> out;
    for (const auto& e : events)
      if (e.value("event", "") == kind) out.push_back(e);
    return out;
  }
  // The texts of the message boxes shown, in order.
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& e : all("message")) out.push_back(e.value("text", ""));
    return out;
  }
  json error() const {
    auto errors = all("error");
    return errors.empty() ? json() : errors.back();
  }
  // The latest `show` answer's dialog of that identifier (null if none).
  json shown(int dialog) const {
    auto shows = all("show");
    return shows.empty() ? json() : shown(shows.size() - 1, dialog);
  }
  // The same from the n-th `show` answer of the run (from 0).
  json shown(std::size_t n, int dialog) const {
    auto shows = all("show");
    if (n >= shows.size()) return json();
    for (const auto& d : shows[n]["dialogs"])
      if (d.value("dialog", 0) == dialog) return d;
    return json();
  }
};

// A station that opened a dialog while another station held its action:
// the action was refused and the dialog closed unseen, without a message.
inline void expectActionRefused(const DriveRun& second, int action, const std::string& name) {
  ASSERT_EQ(second.status, 0) << second.error();
  auto actions = second.all("action");
  ASSERT_FALSE(actions.empty());
  EXPECT_EQ(actions.back()["action"], "refused");
  EXPECT_EQ(actions.back()["id"], action);
  if (!name.empty()) EXPECT_EQ(actions.back()["name"], name);
  auto dialogs = second.all("dialog");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_FALSE(dialogs[0]["shown"]);
  EXPECT_TRUE(second.messages().empty());
}

// The control of a `show` dialog with that identifier (null if none).
inline json shownControl(const json& dialog, int id) {
  if (dialog.is_null()) return json();
  for (const auto& c : dialog["controls"])
    if (c.value("id", 0) == id) return c;
  return json();
}

// The identifier of the dialog's focused control (null if none).
inline json focused(const json& dialog) {
  for (const auto& c : dialog["controls"])
    if (c.value("focus", false)) return c["id"];
  return json();
}

// A control that its dialog took away: hidden and disabled.
inline bool removed(const json& c) {
  return !c["enabled"].get<bool>() && !c["visible"].get<bool>();
}

// A control of a dialog as the n-th `show` answer of the run gave it.
inline json shownControl(const DriveRun& run, std::size_t show, int dialog, int id) {
  return shownControl(run.shown(show, dialog), id);
}

// A company made by `vx70 init` with the given options (for example
// "--demo" or "--edition 16"), in a fresh temporary directory or on the
// test server (backend_support.h), with a scratch folder; removed
// afterwards.
class TestCompany {
  DriveRun driveHere(const std::string& script, const std::string& options) const;

 public:
  explicit TestCompany(const std::string& initOptions = "--demo") {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx70-co-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary directory");
    root_ = pattern;
    dir_ = OnPostgres() ? FreshCompanyLocation(stationFiles_)
                        : (std::filesystem::path(root_) / "company").string();
    std::string command = shellQuote(VX70_PROGRAM_PATH) + " init " + shellQuote(dir_) + " " +
                          initOptions + " >/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("vx70 init failed");
  }
  ~TestCompany() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
    if (!stationFiles_.empty()) RemoveCompanyFiles(stationFiles_);
  }
  TestCompany(const TestCompany&) = delete;
  TestCompany& operator=(const TestCompany&) = delete;

  // The company as `--data` takes it.
  const std::string& dir() const { return dir_; }
  // A scratch folder beside the company for scripts and outputs.
  std::filesystem::path scratch(const std::string& name) const {
    return std::filesystem::path(root_) / name;
  }

  // Runs `vx70 drive` with the real module on the script (station options
  // in `options`, for example "--multi-user --station TWO").
  DriveRun drive(const std::string& script, const std::string& options = "") const {
    static int counter = 0;
    auto file = scratch("script-" + std::to_string(++counter) + ".vx70");
    std::ofstream(file) << script;
    std::string command = shellQuote(VX70_PROGRAM_PATH) + " drive " + shellQuote(file.string()) +
                          " --data " + shellQuote(dir_) + " " + options + " 2>" +
                          shellQuote(file.string() + ".err");
    DriveRun run;
    FILE* out = popen(command.c_str(), "r");
    std::string text;
    char line[65536];
    while (out && std::fgets(line, sizeof line, out)) text += line;
    int status = out ? pclose(out) : -1;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.events = jsonLines(text);
    return run;
  }

  // Drives a station of the company in this process as `vx70 drive` does,
  // with the same events and status.  Whenever the station waits for the
  // person again with no question open, every handler has returned: it
  // must then hold no open data file and no record lock, or the test fails;
  // so does a run that ends in an error (status 1), unless it is a
  // `useFailing` run, whose last command is meant to be refused.
  DriveRun use(const std::string& script, const std::string& options = "") const;
  DriveRun useFailing(const std::string& script, const std::string& options = "") const;

  // Record n (from 1) of data file `number` as stored, byte for byte;
  // empty when the file has no such record.
  std::vector<std::uint8_t> record(unsigned number, unsigned n) const {
    data::openCompany(dir_);
    datafilemap* file = &g_lpGlobVar->dataFiles[number];
    std::vector<std::uint8_t> bytes(file->recordLength);
    DWORD got = 0;
    if (FileOpen(file, 0, 64, 1)) {
      got = ReadRec(file, n, bytes.data());
      FileClose(file);
    }
    data::closeCompany();
    bytes.resize(got);
    return bytes;
  }

  // The same record as its fixed-layout struct (zeroes when missing).
  template <class Record>
  Record stored(unsigned number, unsigned n) const {
    Record r{};
    auto bytes = record(number, n);
    std::memcpy(&r, bytes.data(), std::min(bytes.size(), sizeof r));
    return r;
  }

  // Another station's change notice, sent from this process (outside any
  // station): it wakes a station that waits with `wait update`.
  void broadcast(UINT code, UINT flag) const {
    data::openCompany(dir_);
    GlobalUpdate(99, 0, code, flag, 0, 0, 0, 1);
    data::closeCompany();
  }

  // Overwrites record n of data file `number` (to set a case up).
  void store(unsigned number, unsigned n, const void* bytes) const {
    data::openCompany(dir_);
    datafilemap* file = &g_lpGlobVar->dataFiles[number];
    if (FileOpen(file, 2, 32, 1)) {
      WriteRec(file, n, bytes);
      FileClose(file);
    }
    data::closeCompany();
  }

 private:
  std::string root_;
  std::string dir_;
  std::string stationFiles_;  // on a server: the stations' own files on this machine
};

// Another station, a `vx70 drive` process fed a command batch at a time,
// for a case where the company changes between two inputs of the person.
class StationProcess {
 public:
  StationProcess(const TestCompany& co, const std::string& options);
  ~StationProcess();
  StationProcess(const StationProcess&) = delete;
  StationProcess& operator=(const StationProcess&) = delete;

  // Runs the commands; returns once the station waits for input again
  // (or has stopped on an error).
  void send(const std::string& commands);
  // Ends the script: the station closes; every event and the status.
  DriveRun finish();
  // Kills the station as a crash would, leaving its records behind.
  void kill();

 private:
  pid_t pid_ = -1;
  FILE* in_ = nullptr;
  FILE* out_ = nullptr;
  std::vector<json> events_;
};

// Two stations at once: a first one opens the dialog and does `edit`, a
// second one is refused the dialog's action (see expectActionRefused),
// `meanwhile` changes the company under the first, and the first one's
// `finish` (its OK or Cancel) ends its action.  The first one's events.
template <class Meanwhile>
DriveRun editWhileAnotherStationStores(const TestCompany& co, const std::string& open,
                                       const std::string& edit, int action, const std::string& name,
                                       Meanwhile&& meanwhile, const std::string& finish) {
  StationProcess first(co, "--multi-user --lock-records --station FIRST");
  first.send(open + edit);
  DriveRun second = co.use(open, "--multi-user --station SECOND");
  expectActionRefused(second, action, name);
  EXPECT_EQ(second.all("action").back()["holder"]["station"], "FIRST") << name;
  meanwhile();
  first.send(finish);
  DriveRun run = first.finish();
  EXPECT_EQ(run.status, 0) << run.error();
  EXPECT_EQ(run.all("action").back()["action"], "ended") << name;
  return run;
}

inline void expectActionKeepsOthersOut(const TestCompany& co, const std::string& open,
                                       const std::string& close, int action,
                                       const std::string& name = "") {
  editWhileAnotherStationStores(
      co, open, "", action, name, [] {}, close);
}

// Waits up to 30 s until the file holds the text.
inline bool waitForText(const std::filesystem::path& file, const std::string& text) {
  for (int i = 0; i < 300; ++i) {
    if (readText(file).find(text) != std::string::npos) return true;
    usleep(100 * 1000);
  }
  return false;
}

// Runs a station of the company with the real module in this process, for
// cases a script cannot set up (the global block is at hand while `use`
// drives the station).  Returns the events the station reported.
template <class Use>
std::vector<json> runInProcess(const TestCompany& co, StationOptions options, Use&& use) {
  setenv("VX70_MODULE", VX70_MODULE_PATH, 1);
  std::vector<json> events;
  {
    options.dataDir = co.dir();
    Station station(options, [&](const json& e) { events.push_back(e); });
    use(station);
  }
  unsetenv("VX70_MODULE");
  return events;
}

template <class Use>
std::vector<json> runInProcess(const TestCompany& co, Use&& use) {
  return runInProcess(co, StationOptions{}, std::forward<Use>(use));
}

}  // namespace vx70::test
