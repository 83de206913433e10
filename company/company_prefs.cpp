// Company Preferences: the container 3600 and its pages 3601-3604.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(CompanyPrefsInit) { return 1; }

VX70_HANDLER(CompanyPrefsCommand) { return 0; }
