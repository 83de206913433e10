// Invoice Defaults: the container IDD_INVOICE_DEFAULTS and its page
// IDD_INVOICE_DEFAULTS_PAGE.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"
#include "frame/res/ids_options.h"

VX70_HANDLER(InvoiceDefaultsInit) { return 1; }

VX70_HANDLER(InvoiceDefaultsCommand) { return 0; }
