// Customer Defaults: the container 3607 and its pages 3608-3611.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(CustomerDefaultsInit) { return 1; }

VX70_HANDLER(CustomerDefaultsCommand) { return 0; }
