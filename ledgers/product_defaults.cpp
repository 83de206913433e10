// Product Defaults: the container 3612 and its page 3613.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(ProductDefaultsInit) { return 1; }

VX70_HANDLER(ProductDefaultsCommand) { return 0; }
