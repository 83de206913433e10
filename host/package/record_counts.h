// The record counts of the global block, as the package's main program
// keeps them for System Info and its ledgers.  Of the files that hold
// them, the company has only the nominal ledger so far: the nominal and
// bank account counts come from it; the customer, supplier, stock,
// invoice, order and asset counts and the last document numbers stay 0
// until their ledgers exist.
#pragma once

#include "api/host_api.h"

namespace vx70::package {

// Counts the nominal file's accounts (records with a code) and, among
// them, the bank accounts into the global block; without a nominal file
// both are 0.
void countCompanyRecords(globvar& g);

}  // namespace vx70::package
