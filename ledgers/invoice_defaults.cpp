// Invoice Defaults: the container 3627 and its page 3626.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(InvoiceDefaultsInit) { return 1; }

VX70_HANDLER(InvoiceDefaultsCommand) { return 0; }
