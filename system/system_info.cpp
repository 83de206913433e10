// About (IDD_ABOUT) with its pages IDD_ABOUT_EMPTY_PAGE and IDD_SYSTEM_INFO,
// and System Info by itself.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"
#include "frame/res/ids_system.h"

VX70_HANDLER(SystemInfoInit) { return 1; }

VX70_HANDLER(SystemInfoCommand) { return 0; }
