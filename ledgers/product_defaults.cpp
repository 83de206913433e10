// Product Defaults: the container IDD_PRODUCT_DEFAULTS and its page
// IDD_PRODUCT_DETAILS.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"
#include "frame/res/ids_ledgers.h"

VX70_HANDLER(ProductDefaultsInit) { return 1; }

VX70_HANDLER(ProductDefaultsCommand) { return 0; }
