// What the data file library costs beside the bare work underneath it: each
// operation is measured through the library, as one SQLite statement on a
// database of the same schema, and as plain file calls (pread, pwrite and
// fdatasync, fcntl).  The table printed at the end gives the ratios.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/data/company.h"
#include "host/data/sqlite.h"

namespace {

using namespace vx70::data;
namespace fs = std::filesystem;

constexpr std::size_t kSetupLength = 4783;

datafilemap* setupEntry() { return &g_lpGlobVar->dataFiles[DF_SETUP]; }

// Two companies in a scratch directory: "lib" opened through the library,
// "raw" worked on with bare statements; and a plain file of one record.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "vx70-bench-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    createCompany(dir_ + "/lib");
    createCompany(dir_ + "/raw");
    openCompany(dir_ + "/lib");
    FileOpen(setupEntry(), 4096, 64, 1);
    WriteRec(setupEntry(), 1, record_.data());
    raw_ = std::make_unique<Database>(databasePath(dir_ + "/raw"), Database::Mode::openExisting);
    raw_->exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL");
    raw_->exec("INSERT INTO files VALUES(0, 4783, 'setup')");
    plain_ = ::open((dir_ + "/plain.dat").c_str(), O_RDWR | O_CREAT, 0600);
    if (::pwrite(plain_, record_.data(), kSetupLength, 0) != static_cast<ssize_t>(kSetupLength))
      std::abort();
  }
  ~Scratch() {
    closeCompany();
    raw_.reset();
    ::close(plain_);
    fs::remove_all(dir_);
  }

  std::vector<std::uint8_t>& record() { return record_; }
  Database& raw() { return *raw_; }
  int plain() const { return plain_; }
  std::string lockPath() const { return dir_ + "/plain.locks"; }

 private:
  std::string dir_;
  std::vector<std::uint8_t> record_ = std::vector<std::uint8_t>(kSetupLength, 0x42);
  std::unique_ptr<Database> raw_;
  int plain_ = -1;
};

Scratch& scratch() {
  static Scratch instance;
  return instance;
}

void rawWrite(Statement& replace, const std::vector<std::uint8_t>& record) {
  StatementUse use(replace);
  use->bind(1, 0).bind(2, 1).bindBlob(3, record.data(), record.size());
  use->run();
}

bool rawRead(Statement& select, std::vector<std::uint8_t>& record) {
  StatementUse use(select);
  use->bind(1, 0).bind(2, 1);
  if (!use->step()) return false;
  std::copy(use->blob(0).begin(), use->blob(0).end(), record.begin());
  return true;
}

const char* kSelect = "SELECT data FROM records WHERE file = ?1 AND recno = ?2";
// Bare SQLite stores the same row without computing the record's checksum,
// so the ratio shows what the library's checks cost.
const char* kReplace =
    "INSERT OR REPLACE INTO records(file, recno, data, sum) VALUES(?1, ?2, ?3, 0)";

// ---- ReadRec ---------------------------------------------------------------

void ReadRecord_Library(benchmark::State& state) {
  auto& record = scratch().record();
  for (auto _ : state) benchmark::DoNotOptimize(ReadRec(setupEntry(), 1, record.data()));
}
BENCHMARK(ReadRecord_Library);

void ReadRecord_Sqlite(benchmark::State& state) {
  Statement replace(scratch().raw(), kReplace), select(scratch().raw(), kSelect);
  rawWrite(replace, scratch().record());
  for (auto _ : state) benchmark::DoNotOptimize(rawRead(select, scratch().record()));
}
BENCHMARK(ReadRecord_Sqlite);

void ReadRecord_File(benchmark::State& state) {
  auto& record = scratch().record();
  for (auto _ : state)
    benchmark::DoNotOptimize(::pread(scratch().plain(), record.data(), kSetupLength, 0));
}
BENCHMARK(ReadRecord_File);

// ---- WriteRec: every write is durable when it returns ----------------------

void WriteRecord_Library(benchmark::State& state) {
  auto& record = scratch().record();
  for (auto _ : state) benchmark::DoNotOptimize(WriteRec(setupEntry(), 1, record.data()));
}
BENCHMARK(WriteRecord_Library)->UseRealTime();

void WriteRecord_Sqlite(benchmark::State& state) {
  Statement replace(scratch().raw(), kReplace);
  for (auto _ : state) rawWrite(replace, scratch().record());
}
BENCHMARK(WriteRecord_Sqlite)->UseRealTime();

void WriteRecord_File(benchmark::State& state) {
  auto& record = scratch().record();
  for (auto _ : state) {
    benchmark::DoNotOptimize(::pwrite(scratch().plain(), record.data(), kSetupLength, 0));
    ::fdatasync(scratch().plain());
  }
}
BENCHMARK(WriteRecord_File)->UseRealTime();

// ---- LockRec + UnLockRec ----------------------------------------------------

void LockRecord_Library(benchmark::State& state) {
  scratch();
  for (auto _ : state) {
    LockRec(setupEntry(), 1);
    UnLockRec(setupEntry(), 1);
  }
}
BENCHMARK(LockRecord_Library);

void LockRecord_File(benchmark::State& state) {
  int fd = ::open(scratch().lockPath().c_str(), O_RDWR | O_CREAT, 0600);
  struct flock range {};
  range.l_whence = SEEK_SET;
  range.l_start = 1;
  range.l_len = 1;
  for (auto _ : state) {
    range.l_type = F_WRLCK;
    ::fcntl(fd, F_OFD_SETLK, &range);
    range.l_type = F_UNLCK;
    ::fcntl(fd, F_OFD_SETLK, &range);
  }
  ::close(fd);
}
BENCHMARK(LockRecord_File);

// ---- ReadSetup + WriteSetup under the record lock ----------------------------

void SaveSetup_Library(benchmark::State& state) {
  scratch();  // the company is open, whichever benchmark runs first
  g_lpGlobVar->lockRecords = 1;
  for (auto _ : state) {
    ReadSetup();
    WriteSetup();
  }
}
BENCHMARK(SaveSetup_Library)->UseRealTime();

void SaveSetup_Sqlite(benchmark::State& state) {
  Statement replace(scratch().raw(), kReplace), select(scratch().raw(), kSelect);
  for (auto _ : state) {
    rawRead(select, scratch().record());
    rawWrite(replace, scratch().record());
  }
}
BENCHMARK(SaveSetup_Sqlite)->UseRealTime();

void SaveSetup_File(benchmark::State& state) {
  auto& record = scratch().record();
  for (auto _ : state) {
    benchmark::DoNotOptimize(::pread(scratch().plain(), record.data(), kSetupLength, 0));
    benchmark::DoNotOptimize(::pwrite(scratch().plain(), record.data(), kSetupLength, 0));
    ::fdatasync(scratch().plain());
  }
}
BENCHMARK(SaveSetup_File)->UseRealTime();

// Keeps each run's time per iteration for the table of ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration)
        seconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
  }

  void PrintRatios() const {
    std::printf("\n%-12s %14s %10s %10s\n", "operation", "library (us)", "/ sqlite", "/ file");
    for (const char* operation : {"ReadRecord", "WriteRecord", "LockRecord", "SaveSetup"}) {
      double library = find(operation, "_Library");
      if (library <= 0) continue;
      std::printf("%-12s %14.2f %10s %10s\n", operation, library / 1000.0,
                  ratio(library, find(operation, "_Sqlite")).c_str(),
                  ratio(library, find(operation, "_File")).c_str());
    }
  }

 private:
  double find(const std::string& operation, const char* kind) const {
    for (const auto& [name, time] : seconds_)
      if (name.rfind(operation + kind, 0) == 0) return time;
    return 0;
  }
  static std::string ratio(double library, double base) {
    if (base <= 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2fx", library / base);
    return text;
  }
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
