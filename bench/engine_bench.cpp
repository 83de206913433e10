// The dialog engine: how long building, initialising and closing each
// dialog of the module takes, and whether doing it over and over keeps
// memory flat.  The real module is loaded with its handlers; the "person"
// closes each dialog as soon as it waits.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>

#include "api/host_api.h"
#include "host/engine/dialog.h"
#include "host/loader/module.h"
#include "host/win32/window.h"

namespace {

using namespace vx70;

std::unique_ptr<Module>& module() {
  static std::unique_ptr<Module> m;
  if (!m) {
    m = Module::load(VX70_MODULE_PATH, kDefaultsModuleNumber);
    engine::registerEngineClasses();
    engine::registerModule(m.get());
    engine::setInputWait([] {
      auto open = engine::openDialogs();
      for (auto it = open.rbegin(); it != open.rend(); ++it)
        if (!it->page) return void(DestroyDEDialog(it->hwnd, 0));
    });
  }
  return m;
}

std::vector<std::uint16_t> dialogs() {
  std::vector<std::uint16_t> ids;
  for (auto id : module()->resources().dialogIds())
    if (module()->resources().dentry(id)->flags != res::DENTRY_PAGE) ids.push_back(id);
  return ids;
}

void openAndCloseAll(const std::vector<std::uint16_t>& ids) {
  for (auto id : ids) engine::runDialog(0, kDefaultsModuleNumber, id, 0);
}

void BM_OpenAndCloseEveryDialog(benchmark::State& state) {
  auto ids = dialogs();
  for (auto _ : state) openAndCloseAll(ids);
  state.counters["dialogs"] = static_cast<double>(ids.size());
  state.counters["per_dialog_us"] = benchmark::Counter(
      static_cast<double>(ids.size()) * static_cast<double>(state.iterations()) / 1e6,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OpenAndCloseEveryDialog)->Unit(benchmark::kMillisecond);

// 1,000 rounds of every dialog: the heap in use and the window count
// before and after.
void reportMemoryAfterThousandRounds() {
  auto ids = dialogs();
  openAndCloseAll(ids);  // first use sets up what stays for good
  std::size_t windowsBefore = win::windowCount();
  std::size_t heapBefore = mallinfo2().uordblks;
  for (int round = 0; round < 1000; ++round) openAndCloseAll(ids);
  std::size_t heapAfter = mallinfo2().uordblks;
  std::printf(
      "1000 rounds of %zu dialogs: heap in use %zu -> %zu bytes (%+lld), windows %zu -> %zu\n",
      ids.size(), heapBefore, heapAfter,
      static_cast<long long>(heapAfter) - static_cast<long long>(heapBefore), windowsBefore,
      win::windowCount());
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  reportMemoryAfterThousandRounds();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
