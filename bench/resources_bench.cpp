// What reading the resources costs: indexing the whole image (once per
// module load), and parsing everything that opening one dialog needs (its
// template, DENTRY, CENTRY, MENTRY, TENTRY and the templates and lists of its
// pages), which the engine does at every CreateDEDialog.
#include <benchmark/benchmark.h>

#include "frame/res/ids_codes.h"
#include "frame/res/ids_company.h"
#include "frame/res/ids_strings.h"
#include "host/loader/resources.h"

namespace {

using namespace vx70::res;

const std::vector<std::uint8_t>& image() {
  static const std::vector<std::uint8_t> bytes = readFile(VX70_RES_PATH);
  return bytes;
}

void IndexImage(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ResourceFile::parse(image()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image().size()));
}
BENCHMARK(IndexImage);

void OpenOneDialog(const ModuleResources& r, std::uint16_t id) {
  auto d = r.dentry(id);
  benchmark::DoNotOptimize(r.dialog(id));
  benchmark::DoNotOptimize(r.centry(d->centry));
  benchmark::DoNotOptimize(r.mentry(d->mentry));
  if (!d->tentry) return;
  auto pages = r.tentry(d->tentry);
  for (const auto& page : *pages) OpenOneDialog(r, page.dialog);
}

void ParseDialogDescriptions(benchmark::State& state) {
  ModuleResources r(image());
  auto id = static_cast<std::uint16_t>(state.range(0));
  for (auto _ : state) OpenOneDialog(r, id);
}
// Company Preferences (the largest tabbed dialog) and Tax Codes (a list).
BENCHMARK(ParseDialogDescriptions)->Arg(IDD_COMPANY_PREFS)->Arg(IDD_TAX_CODES);

void LoadString(benchmark::State& state) {
  ModuleResources r(image());
  for (auto _ : state) benchmark::DoNotOptimize(r.string(IDS_MSG_VAT_SCHEME_UNRECONCILED));
}
BENCHMARK(LoadString);

}  // namespace

BENCHMARK_MAIN();
