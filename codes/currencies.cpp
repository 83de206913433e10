// Currencies (3616), Edit Currency (3618) and the currency combo.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(CurrenciesInit) { return 1; }

VX70_HANDLER(CurrenciesCommand) { return 0; }

VX70_HANDLER(CurrenciesGridStart) { return 1; }

VX70_HANDLER(CurrencyComboStart) { return 1; }

VX70_HANDLER(EditCurrencyInit) { return 1; }

VX70_HANDLER(EditCurrencyCommand) { return 0; }
