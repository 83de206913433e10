// The export table for the host's loader: every ordinal with its name, as
// the module's export directory.  The rows are written at build time from
// frame/exports.tsv, which the Windows build's export directory comes from
// too.
#include <iterator>

#include "api/module_abi.h"
#include "frame/handlers.h"

extern "C" const std::uint8_t vx70def_resources[];
extern "C" const std::uint8_t vx70def_resources_end[];

namespace {

template <typename F>
void* fn(F* f) {
  return reinterpret_cast<void*>(f);
}

const VX70Export kExports[] = {
#include "frame/exports_table.inc"  // written from frame/exports.tsv
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const VX70ModuleImage* VX70GetModuleImage() {
  static const VX70ModuleImage image{
      kExports, std::size(kExports), vx70def_resources,
      static_cast<std::size_t>(vx70def_resources_end - vx70def_resources)};
  return &image;
}
