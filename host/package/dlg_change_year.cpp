// The change-of-financial-year procedure (dialog 3307 of module 12), which
// the Financial Year dialog's Change... button runs.  The procedure itself
// (closing the year's ledgers and moving the start on) belongs to another
// part of the package that this host does not carry, so the dialog tells
// the person what it would do and that nothing was changed.  It stores
// nothing.
#include "api/host_api.h"
#include "host/engine/dialog.h"

namespace {

constexpr int kChangeYearModule = 12;
constexpr UINT kChangeYearDialog = 3307;

constexpr const char* kCaption = "Change Financial Year";
constexpr const char* kNotice =
    "The change of financial year procedure clears the year's transactions from the "
    "profit and loss accounts, carries the balances forward and starts the next "
    "financial year.\n\nIt is not available in this program, so nothing has been changed.";

UINT runChangeYear(HWND parent, UINT /*initParam*/) {
  MessageBoxA(parent, kNotice, kCaption, MB_OK | MB_ICONINFORMATION);
  return 1;
}

const bool kRegistered = [] {
  vx70::engine::registerHostDialog(kChangeYearModule, kChangeYearDialog, runChangeYear);
  return true;
}();

}  // namespace
