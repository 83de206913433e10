#include "host/package/record_counts.h"

namespace vx70::package {

void countCompanyRecords(globvar& g) {
  g.nominalCount = 0;
  g.bankCount = 0;
  datafilemap* nominal = &g.dataFiles[DF_NOMINAL];
  if (!FileOpen(nominal, OF_READ, OF_SHARE_DENY_NONE, 1)) return;
  const DWORD count = RecCount(nominal);
  for (DWORD r = 1; r <= count; ++r) {
    nommap account{};
    if (!ReadRec(nominal, r, &account) || account.code[0] == '\0' || account.code[0] == ' ')
      continue;
    ++g.nominalCount;
    if (account.typeFlags & NOMINAL_BANK) ++g.bankCount;
  }
  FileClose(nominal);
}

}  // namespace vx70::package
