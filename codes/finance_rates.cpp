// Finance Charge Rates (3223) and Set Finance Charge Rate (3224).
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(FinanceRatesInit) { return 1; }

VX70_HANDLER(FinanceRatesCommand) { return 0; }

VX70_HANDLER(EditFinanceRateInit) { return 1; }

VX70_HANDLER(EditFinanceRateCommand) { return 0; }
