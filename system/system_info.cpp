// About (3630) with its pages 3628 and 3629, and System Info (3629) by itself.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(SystemInfoInit) { return 1; }

VX70_HANDLER(SystemInfoCommand) { return 0; }
