// The checks that the ledger-defaults dialogs share (Customer, Supplier and
// Product Defaults), written once.
#pragma once

#include "api/host_api.h"

// 1 when the code may stand as a default nominal code: blank (no default),
// or the code of a nominal account that exists; else 0.
UINT IsValidNominalCode(HWND dialog, const char* code);
