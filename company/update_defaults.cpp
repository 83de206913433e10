// Update Defaults (3633).
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(UpdateDefaultsInit) { return 1; }

VX70_HANDLER(UpdateDefaultsCommand) { return 0; }
