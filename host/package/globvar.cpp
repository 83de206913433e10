// The one global block of the running program and its data file map.  The
// map has an entry for every file number; numbers that name no file of the
// company keep record length 0.
#include <cstring>

#include "api/host_api.h"
#include "host/data/company.h"

namespace {

datafilemap g_dataFiles[kDataFileCount];
globvar g_globVar;

// Filled before main; the numbers and lengths never change afterwards.
[[maybe_unused]] const bool g_dataFileMapFilled = [] {
  for (int n = 0; n < kDataFileCount; ++n) g_dataFiles[n].number = static_cast<WORD>(n);
  for (const auto& info : vx70::data::companyFiles()) {
    datafilemap& entry = g_dataFiles[info.number];
    entry.recordLength = info.recordLength;
    std::strncpy(entry.name, info.name, sizeof entry.name - 1);
  }
  g_globVar.dataFiles = g_dataFiles;
  return true;
}();

}  // namespace

globvar* g_lpGlobVar = &g_globVar;
