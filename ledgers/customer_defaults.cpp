// Customer Defaults: the container IDD_CUSTOMER_DEFAULTS and its pages
// IDD_CUSTOMER_RECORD, _STATEMENTS, _AGEING and _DISCOUNT.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"
#include "frame/res/ids_ledgers.h"

VX70_HANDLER(CustomerDefaultsInit) { return 1; }

VX70_HANDLER(CustomerDefaultsCommand) { return 0; }
