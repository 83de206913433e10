// Tax Codes (3619), Edit Tax Code (3620) and the tax code combo.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(TaxCodesInit) { return 1; }

VX70_HANDLER(TaxCodesCommand) { return 0; }

VX70_HANDLER(EditTaxCodeInit) { return 1; }

VX70_HANDLER(EditTaxCodeCommand) { return 0; }

VX70_HANDLER(TaxCodeComboStart) { return 1; }
