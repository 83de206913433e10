// The checks that the ledger-defaults dialogs share (Customer, Supplier and
// Product Defaults), written once.
#pragma once

#include "api/host_api.h"

// 1 when the code may stand as a default nominal code: blank (no default),
// or the code of a nominal account that exists; else 0.
UINT IsValidNominalCode(HWND dialog, const char* code);

// On leaving a "From" box of an Ageing page (notification 512), the "To"
// box of the period before shows the day before it: From - 1 in 16 bits,
// so a From of 0 gives 65535.  Returns 1.
UINT UpdateAgeingPeriodEnds(HWND dialog, UINT id, UINT notify, HWND control);

// The ledger whose Ageing page CheckAgeingPeriod checks.
inline constexpr UINT kCustomerLedger = 256;
inline constexpr UINT kSupplierLedger = 257;

// The periods must ascend around the "From" box `id`.  When they do not,
// the Ageing page comes to the front, the message says how to enter them
// and the box takes the focus; returns 0.  Else 1.
UINT CheckAgeingPeriod(HWND dialog, UINT id, UINT, UINT, UINT ledger);

#pragma pack(push, 1)
// A row of the customer discount table as the grid passes it.
struct DiscountRow {
  char label[13];
  double invoiceValue;
  double rate;  // percent
};
#pragma pack(pop)
static_assert(sizeof(DiscountRow) == 29);

// The Invoice Values of the customer discount table ascend, rows of 0
// left out.  When they do not, the Discount page comes to the front, the
// message is shown and the failing row's Invoice Value takes the focus;
// returns 0.  Else 1.
UINT CheckDiscountTable(HWND dialog);
