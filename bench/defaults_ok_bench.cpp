// What opening a defaults dialog and pressing OK costs a person: the
// station runs the real module on a demonstration company, opens the dialog
// as the menu would and clicks OK, which re-reads, stores and announces the
// setup record.  Customer Defaults (four pages, the INI texts, the discount
// table) should cost no more than Company Preferences, the other dialog
// that stores the setup record from several pages.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/demo_company.h"
#include "station/station.h"

namespace {

using Clock = std::chrono::steady_clock;

// A demonstration company made by `vx70 init`, with one station on it.
class Company {
 public:
  Company() {
    setenv("VX70_MODULE", VX70_MODULE_PATH, 1);
    vx70::StationOptions options;
    options.dataDir = company_.dir();
    station_ = std::make_unique<vx70::Station>(options, [](const nlohmann::json&) {});
  }
  ~Company() { station_.reset(); }

  // Opens the dialog and presses the button (OK or Cancel).
  void openAndPress(int dialog, int button) {
    station_->execute("open " + std::to_string(dialog));
    station_->execute("click " + std::to_string(dialog) + " " + std::to_string(button));
  }

 private:
  vx70::bench::DemoCompany company_;
  std::unique_ptr<vx70::Station> station_;
};

Company& company() {
  static Company instance;
  return instance;
}

constexpr int kCompanyPreferences = 3600;
constexpr int kCustomerDefaults = 3607;
constexpr int kSupplierDefaults = 3623;
constexpr int kOk = 1942;
constexpr int kCancel = 2;

void BM_OpenAndOk(benchmark::State& state) {
  const int dialog = static_cast<int>(state.range(0));
  for (auto _ : state) company().openAndPress(dialog, kOk);
}
BENCHMARK(BM_OpenAndOk)
    ->Arg(kCompanyPreferences)
    ->Arg(kCustomerDefaults)
    ->Arg(kSupplierDefaults)
    ->UseRealTime()  // the station works on its own thread
    ->Unit(benchmark::kMicrosecond);

// The time of the whole process on the processor, which leaves out waiting
// for the disk: the work a round does, whatever the disk costs.
Clock::duration processorTime() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// Microseconds a round, over rounds taken in turn so that both dialogs
// meet the same disk: with Cancel the cost of opening alone, with OK the
// whole edit.  Elapsed time and processor time each.
void compareWithCompanyPreferences(int button, const char* name) {
  constexpr int kRounds = 200;
  struct Cost {
    Clock::duration elapsed{}, processor{};
  } prefs, customer;
  auto measure = [&](int dialog, Cost& cost) {
    const auto start = Clock::now();
    const auto startProcessor = processorTime();
    company().openAndPress(dialog, button);
    cost.processor += processorTime() - startProcessor;
    cost.elapsed += Clock::now() - start;
  };
  for (int i = 0; i < kRounds; ++i) {
    measure(kCompanyPreferences, prefs);
    measure(kCustomerDefaults, customer);
  }
  auto us = [](Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count() / kRounds;
  };
  std::printf(
      "open and %s, %d rounds each: Company Preferences %.0f us (%.0f us processor), Customer "
      "Defaults %.0f us (%.0f us processor): %.2f of it elapsed, %.2f on the processor\n",
      name, kRounds, us(prefs.elapsed), us(prefs.processor), us(customer.elapsed),
      us(customer.processor), us(customer.elapsed) / us(prefs.elapsed),
      us(customer.processor) / us(prefs.processor));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  compareWithCompanyPreferences(kCancel, "Cancel");
  compareWithCompanyPreferences(kOk, "OK");
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
