#include "ledger_checks.h"

#include "frame/kit.h"

namespace {

// Account codes are looked up padded with spaces to their field of 9 bytes.
constexpr UINT kCodeField = 9;
constexpr UINT kSearchNominal = 258;

}  // namespace

UINT IsValidNominalCode(HWND, const char* code) {
  // 1. A padded copy of the code, 2. looked up, 3. stripped again.
  char buffer[kCodeField] = {};
  CopyCut(buffer, sizeof buffer, code, kCodeField - 1);
  FillUp(buffer, kCodeField);
  DWORD record = FlashFindAccount(glob().dataFiles, kSearchNominal, buffer, nullptr, 0);
  CleanUp(buffer);
  // 4. No code is no default, which is valid.
  if (buffer[0] == '\0') return 1;
  return record != 0 ? 1 : 0;
}
