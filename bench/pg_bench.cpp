// What a company on a PostgreSQL server costs, and how its stations fare
// beside those of a company folder (SQLite):
//
//  1. ReadRec, WriteRec and LockRec + UnLockRec on a company on the server
//     over loopback, each beside bare libpq doing the same work on a table
//     of the same shape: a prepared read of the row (binary), a durable
//     update of it in its own transaction, a pg_advisory_lock/unlock pair.
//     The ratios are printed beside their targets.
//  2. 8 and 16 station processes in multi-user mode, each making 500
//     locked read-modify-writes of a counter in the setup record, on either
//     backend: the updates lost (must be 0) and the read-modify-writes a
//     second.
//  3. A station that holds the setup record's lock and a multi-user action
//     is killed: how long until another station can take both.
//
// Run it by hand, never from the tests:
//   build/bin/pg_bench [--benchmark_repetitions=5] [--benchmark_filter=...]
// It uses the server in VX70_BENCH_PG_URI (postgresql://user@host:port/db)
// or starts a throwaway one with scripts/pg-cluster.sh and stops it at the
// end.  The stations are this program run again with --station.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <libpq-fe.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/data/company.h"
#include "host/station_options.h"

extern char** environ;

namespace {

using namespace vx70::data;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kSetupLength = 4783;
constexpr int kUpdatesPerStation = 500;
constexpr UINT kAction = 25;  // Company Preferences
constexpr double kLapseTarget = 1.0;

datafilemap* setupEntry() { return &g_lpGlobVar->dataFiles[DF_SETUP]; }

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// ---- The server and bare libpq ------------------------------------------------

// One libpq connection; every failure throws.
class PgConnection {
 public:
  explicit PgConnection(const std::string& uri) : conn_(PQconnectdb(uri.c_str())) {
    if (PQstatus(conn_) != CONNECTION_OK) fail("connect");
    exec("SET synchronous_commit = on; SET client_min_messages = warning");
  }
  ~PgConnection() { PQfinish(conn_); }
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  void exec(const std::string& sql) { check(PQexec(conn_, sql.c_str()), sql); }
  void prepare(const char* name, const std::string& sql) {
    check(PQprepare(conn_, name, sql.c_str(), 0, nullptr), sql);
  }
  // Runs a prepared statement; a parameter with a length is binary.
  std::unique_ptr<PGresult, void (*)(PGresult*)> run(const char* name,
                                                     const std::vector<const char*>& values,
                                                     const std::vector<int>& lengths = {},
                                                     int resultFormat = 0) {
    std::vector<int> formats;
    for (int length : lengths) formats.push_back(length > 0 ? 1 : 0);
    PGresult* result = PQexecPrepared(conn_, name, static_cast<int>(values.size()), values.data(),
                                      lengths.empty() ? nullptr : lengths.data(),
                                      lengths.empty() ? nullptr : formats.data(), resultFormat);
    return {check(result, name), PQclear};
  }

 private:
  PGresult* check(PGresult* result, const std::string& what) {
    ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
    PQclear(result);
    fail(what);
  }
  [[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error("PostgreSQL: " + what + ": " + PQerrorMessage(conn_));
  }
  PGconn* conn_;
};

// The server the benchmark works on: VX70_BENCH_PG_URI's, or a throwaway
// one of its own.  The companies and schemas it made go at the end.
class Server {
 public:
  Server() {
    if (const char* uri = std::getenv("VX70_BENCH_PG_URI"); uri && *uri) {
      uri_ = uri;
      return;
    }
    std::string pattern = "/tmp/vx70-pg-bench-XXXXXX";
    dir_ = mkdtemp(pattern.data());
    if (std::system((std::string(VX70_PG_CLUSTER) + " start " + dir_ + " >/dev/null").c_str()))
      throw std::runtime_error("the throwaway PostgreSQL server did not start");
    std::ifstream(dir_ + "/uri") >> uri_;
  }
  ~Server() {
    if (!dir_.empty()) {
      if (std::system((std::string(VX70_PG_CLUSTER) + " stop " + dir_).c_str()) != 0)
        std::fprintf(stderr, "the throwaway PostgreSQL server in %s did not stop\n", dir_.c_str());
      return;
    }
    try {
      PgConnection db(uri_);
      for (const std::string& schema : schemas_)
        db.exec("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
    }
  }

  const std::string& uri() const { return uri_; }
  // A schema name of this run, dropped at the end.
  std::string schema(const std::string& purpose) {
    schemas_.push_back("vx70_bench_" + purpose + "_" + std::to_string(getpid()));
    return schemas_.back();
  }
  std::string company(const std::string& purpose) {
    return uri_ + (uri_.find('?') == std::string::npos ? "?" : "&") + "company=" + schema(purpose);
  }

 private:
  std::string dir_;
  std::string uri_;
  std::vector<std::string> schemas_;
};

std::unique_ptr<Server> g_server;

// The setup record in a table of the library's shape, worked on with bare
// prepared statements.
class BareRecords {
 public:
  BareRecords(const std::string& uri, const std::string& schema) : db_(uri) {
    const std::string table = schema + ".records";
    db_.exec("CREATE SCHEMA " + schema + "; CREATE TABLE " + table +
             "(file smallint NOT NULL, recno integer NOT NULL, data bytea NOT NULL, "
             "sum bigint NOT NULL, PRIMARY KEY(file, recno))");
    db_.prepare("read", "SELECT data FROM " + table + " WHERE file = $1 AND recno = $2");
    db_.prepare("update", "UPDATE " + table + " SET data = $3 WHERE file = $1 AND recno = $2");
    db_.prepare("insert", "INSERT INTO " + table + " VALUES($1, $2, $3, 0)");
    db_.prepare("lock", "SELECT pg_advisory_lock($1::int8)");
    db_.prepare("unlock", "SELECT pg_advisory_unlock($1::int8)");
    db_.run("insert", {"0", "1", record_.data()}, {0, 0, length()});
  }

  std::vector<char>& record() { return record_; }

  void read() {
    auto result = db_.run("read", {"0", "1"}, {}, 1);
    if (PQntuples(result.get()) != 1 || PQgetlength(result.get(), 0, 0) != length())
      throw std::runtime_error("the bare row is missing");
    std::memcpy(record_.data(), PQgetvalue(result.get(), 0, 0), record_.size());
  }
  void write() { db_.run("update", {"0", "1", record_.data()}, {0, 0, length()}); }
  void lockPair() {
    db_.run("lock", {"1"});
    db_.run("unlock", {"1"});
  }

 private:
  int length() const { return static_cast<int>(record_.size()); }
  PgConnection db_;
  std::vector<char> record_ = std::vector<char>(kSetupLength, 0x42);
};

// ---- 1. The library beside bare libpq ------------------------------------------

// A company on the server, open in this process, holding the setup record;
// and the same record worked on bare.
class Scratch {
 public:
  Scratch()
      : location_(g_server->company("lib")), bare_(g_server->uri(), g_server->schema("bare")) {
    createCompany(location_);
    openCompany(location_);
    if (!FileOpen(setupEntry(), OF_CREATE, OF_SHARE_DENY_NONE, 1) ||
        !WriteRec(setupEntry(), 1, record_.data()))
      throw std::runtime_error("the library company could not be made: " + lastError());
  }
  ~Scratch() { closeCompany(); }

  std::vector<std::uint8_t>& record() { return record_; }
  BareRecords& bare() { return bare_; }

 private:
  std::string location_;
  BareRecords bare_;
  std::vector<std::uint8_t> record_ = std::vector<std::uint8_t>(kSetupLength, 0x42);
};

std::unique_ptr<Scratch> g_scratch;

void ReadRec_Library(benchmark::State& state) {
  auto& record = g_scratch->record();
  for (auto _ : state)
    if (ReadRec(setupEntry(), 1, record.data()) != kSetupLength) state.SkipWithError("ReadRec");
}
BENCHMARK(ReadRec_Library)->UseRealTime();

void ReadRec_Bare(benchmark::State& state) {
  for (auto _ : state) g_scratch->bare().read();
}
BENCHMARK(ReadRec_Bare)->UseRealTime();

void WriteRec_Library(benchmark::State& state) {
  auto& record = g_scratch->record();
  for (auto _ : state)
    if (WriteRec(setupEntry(), 1, record.data()) != kSetupLength) state.SkipWithError("WriteRec");
}
BENCHMARK(WriteRec_Library)->UseRealTime();

void WriteRec_Bare(benchmark::State& state) {
  for (auto _ : state) g_scratch->bare().write();
}
BENCHMARK(WriteRec_Bare)->UseRealTime();

void LockPair_Library(benchmark::State& state) {
  for (auto _ : state) {
    if (!LockRec(setupEntry(), 1) || !UnLockRec(setupEntry(), 1)) state.SkipWithError("LockRec");
  }
}
BENCHMARK(LockPair_Library)->UseRealTime();

void LockPair_Bare(benchmark::State& state) {
  for (auto _ : state) g_scratch->bare().lockPair();
}
BENCHMARK(LockPair_Bare)->UseRealTime();

// Keeps each run's time per iteration for the table of ratios: with
// --benchmark_repetitions, the median of the repetitions (the loopback and
// the disk are shared, so single runs wander).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(::isatty(1) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (!run.error_occurred &&
          (run.run_type == Run::RT_Iteration || run.aggregate_name == "median"))
        nanoseconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
  }

  void PrintRatios() const {
    struct Row {
      const char* operation;
      const char* name;
      double target;
    };
    std::printf("\n%-18s %12s %12s %8s %8s\n", "on PostgreSQL", "library (us)", "libpq (us)",
                "ratio", "target");
    for (const Row& row : {Row{"ReadRec", "ReadRec", 2.0}, Row{"WriteRec", "WriteRec", 1.2},
                           Row{"LockRec+UnLockRec", "LockPair", 1.5}}) {
      double library = find(std::string(row.name) + "_Library");
      double bare = find(std::string(row.name) + "_Bare");
      if (library <= 0 || bare <= 0) continue;
      double ratio = library / bare;
      std::printf("%-18s %12.1f %12.1f %7.2fx %6s%.1fx %s\n", row.operation, library / 1000.0,
                  bare / 1000.0, ratio, "<= ", row.target, ratio <= row.target ? "ok" : "OVER");
    }
  }

 private:
  double find(const std::string& name) const {
    auto it = nanoseconds_.find(name);
    return it == nanoseconds_.end() ? 0 : it->second;
  }
  std::map<std::string, double> nanoseconds_;
};

bool measureLibraryBesideLibpq() {
  try {
    g_scratch = std::make_unique<Scratch>();
  } catch (const std::exception& e) {
    std::printf("PostgreSQL company: %s\n", e.what());
    return false;
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  g_scratch.reset();
  reporter.PrintRatios();
  return true;
}

// ---- Stations: this program run again ------------------------------------------

// A station process tells the benchmark on descriptor 3 that it is ready
// (or could not start), and waits on descriptor 4 for the word to go:
// the benchmark closing its end.
constexpr int kTellFd = 3;
constexpr int kGoFd = 4;
constexpr char kReady = 'r';
constexpr char kFailed = 'x';

struct Pipe {
  int read = -1;
  int write = -1;
};

// Both ends close on exec, and sit above the descriptors the stations get
// theirs on.
Pipe makePipe() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  Pipe pipe{::fcntl(fds[0], F_DUPFD_CLOEXEC, 10), ::fcntl(fds[1], F_DUPFD_CLOEXEC, 10)};
  ::close(fds[0]);
  ::close(fds[1]);
  return pipe;
}

// Station processes started together; killed if still running at the end.
class Stations {
 public:
  Stations() : tell_(makePipe()), go_(makePipe()) {}
  ~Stations() {
    for (pid_t pid : pids_) ::kill(pid, SIGKILL);
    waitAll();
    for (int fd : {tell_.read, tell_.write, go_.read, go_.write})
      if (fd >= 0) ::close(fd);
  }

  void start(const std::string& mode, const std::string& location, const std::string& name) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, tell_.write, kTellFd);
    posix_spawn_file_actions_adddup2(&actions, go_.read, kGoFd);
    std::string self = fs::read_symlink("/proc/self/exe");
    std::vector<std::string> args = {self, "--station", mode, location, name};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid;
    int error = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error) throw std::runtime_error("could not start a station");
    pids_.push_back(pid);
  }

  // True once every station said it is ready; false when one could not
  // start or died first.
  bool allReady() {
    closeFd(tell_.write);
    closeFd(go_.read);
    for (std::size_t told = 0; told < pids_.size(); ++told) {
      char word = 0;
      if (::read(tell_.read, &word, 1) != 1 || word != kReady) return false;
    }
    return true;
  }
  void go() { closeFd(go_.write); }

  // True when every station exited with status 0.
  bool waitAll() {
    bool allWell = true;
    for (pid_t pid : pids_) {
      int status = 0;
      ::waitpid(pid, &status, 0);
      allWell = allWell && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    pids_.clear();
    return allWell;
  }
  void kill(std::size_t index) { ::kill(pids_.at(index), SIGKILL); }

 private:
  static void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  Pipe tell_;
  Pipe go_;
  std::vector<pid_t> pids_;
};

void openSetupFile() {
  if (!FileOpen(setupEntry(), OF_READWRITE, OF_SHARE_DENY_NONE, 1)) throw DataError(lastError());
}

// Adds one to the counter in the setup record's first four bytes under its
// lock, as many times as asked.
bool countUp(int times) {
  std::vector<std::uint8_t> record(kSetupLength);
  for (int i = 0; i < times; ++i) {
    if (!LockRec(setupEntry(), 1)) return false;
    std::uint32_t counter = 0;
    bool done = ReadRec(setupEntry(), 1, record.data()) == kSetupLength;
    std::memcpy(&counter, record.data(), sizeof counter);
    ++counter;
    std::memcpy(record.data(), &counter, sizeof counter);
    done = done && WriteRec(setupEntry(), 1, record.data()) == kSetupLength;
    if (!UnLockRec(setupEntry(), 1) || !done) return false;
  }
  return true;
}

// The station's side: "count" makes its read-modify-writes once told to
// go; "hold" takes the setup record's lock and the action and waits to be
// killed.
int stationMain(const std::string& mode, const std::string& location, const std::string& name) {
  vx70::stationOptions().multiUser = true;
  vx70::stationOptions().lockTimeoutSeconds = 600;  // many stations queue for one record
  try {
    openCompany(location);
    logon(name, "MANAGER");
    openSetupFile();
    if (mode == "hold" &&
        (!LockRec(setupEntry(), 1) || !RequestAction(kAction, 0, nullptr, nullptr, 0)))
      throw DataError(lastError());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
    (void)!::write(kTellFd, &kFailed, 1);
    return 1;
  }
  // Closed once said, so that a station dying before it is ready ends
  // the benchmark's wait.
  (void)!::write(kTellFd, &kReady, 1);
  ::close(kTellFd);
  if (mode == "hold")
    for (;;) ::pause();
  char word;
  (void)!::read(kGoFd, &word, 1);
  bool counted = countUp(kUpdatesPerStation);
  logoff();
  closeCompany();
  return counted ? 0 : 1;
}

// ---- 2. Many stations on one record ----------------------------------------------

// A new company at location whose setup record's counter is 0.
void makeCountedCompany(const std::string& location) {
  createCompany(location);
  openCompany(location);
  std::vector<std::uint8_t> record(kSetupLength, 0);
  bool made = FileOpen(setupEntry(), OF_CREATE, OF_SHARE_DENY_NONE, 1) &&
              WriteRec(setupEntry(), 1, record.data());
  closeCompany();
  if (!made) throw DataError(lastError());
}

std::uint32_t counterOf(const std::string& location) {
  openCompany(location);
  std::vector<std::uint8_t> record(kSetupLength, 0);
  openSetupFile();
  bool read = ReadRec(setupEntry(), 1, record.data()) == kSetupLength;
  closeCompany();
  if (!read) throw DataError(lastError());
  std::uint32_t counter;
  std::memcpy(&counter, record.data(), sizeof counter);
  return counter;
}

struct Contention {
  long lost = 0;
  double perSecond = 0;
  std::string failure;
};

Contention contend(const std::string& location, int stationCount) {
  Contention result;
  try {
    makeCountedCompany(location);
    Stations stations;
    for (int i = 1; i <= stationCount; ++i)
      stations.start("count", location, "BENCH" + std::to_string(i));
    if (!stations.allReady()) throw std::runtime_error("a station could not start");
    auto start = Clock::now();
    stations.go();
    bool allWell = stations.waitAll();
    double seconds = secondsSince(start);
    long expected = long{stationCount} * kUpdatesPerStation;
    result.lost = expected - counterOf(location);
    result.perSecond = static_cast<double>(expected) / seconds;
    if (!allWell) result.failure = "a station failed";
  } catch (const std::exception& e) {
    result.failure = e.what();
  }
  return result;
}

std::string contentionCells(const Contention& c) {
  char text[64];
  if (!c.failure.empty() && c.perSecond == 0) return "      -           -";
  std::snprintf(text, sizeof text, "%7ld %11.0f", c.lost, c.perSecond);
  return text;
}

void measureContention(const fs::path& folders) {
  std::printf("\n%-9s %19s %22s\n", "stations", "sqlite", "postgresql");
  std::printf("%-9s %7s %11s %10s %11s\n", "", "lost", "rmw/s", "lost", "rmw/s");
  for (int stationCount : {8, 16}) {
    std::string name = "count" + std::to_string(stationCount);
    Contention sqlite = contend(folders / name, stationCount);
    Contention postgres = contend(g_server->company(name), stationCount);
    std::printf("%-9d %s    %s\n", stationCount, contentionCells(sqlite).c_str(),
                contentionCells(postgres).c_str());
    for (const std::string& failure : {sqlite.failure, postgres.failure})
      if (!failure.empty()) std::printf("  %s\n", failure.c_str());
  }
}

// ---- 3. A killed station's locks lapse ----------------------------------------------

// Seconds from killing a station that holds the setup record's lock and the
// action until this one holds both.
double lapseSeconds(const std::string& location) {
  makeCountedCompany(location);
  vx70::stationOptions().multiUser = true;
  vx70::stationOptions().lockTimeoutSeconds = 10;
  openCompany(location);
  logon("WATCHER", "MANAGER");
  openSetupFile();
  Stations holder;
  holder.start("hold", location, "HOLDER");
  if (!holder.allReady()) throw std::runtime_error("the holding station could not start");
  if (RequestAction(kAction, 0, nullptr, nullptr, 0))
    throw std::runtime_error("the action was granted twice");
  auto killed = Clock::now();
  holder.kill(0);
  if (!LockRec(setupEntry(), 1)) throw DataError(lastError());
  while (!RequestAction(kAction, 0, nullptr, nullptr, 0))
    if (secondsSince(killed) > 10) throw std::runtime_error("the action never lapsed");
  double seconds = secondsSince(killed);
  RequestActionEnd(kAction, 0, nullptr, nullptr);
  UnLockRec(setupEntry(), 1);
  logoff();
  closeCompany();
  return seconds;
}

std::string lapseCell(const std::string& location) {
  char text[64];
  try {
    std::snprintf(text, sizeof text, "%.0f ms", lapseSeconds(location) * 1000);
  } catch (const std::exception& e) {
    std::printf("  %s\n", e.what());
    if (companyOpen()) closeCompany();
    return "-";
  }
  return text;
}

void measureLapse(const fs::path& folders) {
  std::string sqlite = lapseCell(folders / "lapse");
  std::string postgres = lapseCell(g_server->company("lapse"));
  std::printf("\n%-34s %10s %12s %8s\n", "killed station: lock + action", "sqlite", "postgresql",
              "target");
  std::printf("%-34s %10s %12s %6s%.0f ms\n", "free again after", sqlite.c_str(), postgres.c_str(),
              "<= ", kLapseTarget * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--station")
    return stationMain(argv[2], argv[3], argv[4]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::string pattern = (fs::temp_directory_path() / "vx70-bench-XXXXXX").string();
  const fs::path folders = mkdtemp(pattern.data());
  try {
    g_server = std::make_unique<Server>();
    measureLibraryBesideLibpq();
    measureContention(folders);
    measureLapse(folders);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pg_bench: %s\n", e.what());
  }
  g_server.reset();
  fs::remove_all(folders);
  benchmark::Shutdown();
  return 0;
}
