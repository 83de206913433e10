// Financial Year (3605) and Change Program Date (3606).
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(FinancialYearInit) { return 1; }

VX70_HANDLER(FinancialYearCommand) { return 0; }

VX70_HANDLER(ProgramDateInit) { return 1; }

VX70_HANDLER(ProgramDateCommand) { return 0; }
