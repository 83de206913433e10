// Supplier Defaults: the container IDD_SUPPLIER_DEFAULTS and its pages
// IDD_SUPPLIER_RECORD and IDD_SUPPLIER_AGEING.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"
#include "frame/res/ids_ledgers.h"

VX70_HANDLER(SupplierDefaultsInit) { return 1; }

VX70_HANDLER(SupplierDefaultsCommand) { return 0; }
