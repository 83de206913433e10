// Supplier Defaults: the container 3623 and its pages 3624, 3625.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(SupplierDefaultsInit) { return 1; }

VX70_HANDLER(SupplierDefaultsCommand) { return 0; }
