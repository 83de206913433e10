// Program Options: the container IDD_OPTIONS and its pages IDD_OPTIONS_TOOLBAR,
// _BACKUP, _ENVIRONMENT, _WALLPAPER and _COLOURS.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"
#include "frame/res/ids_options.h"

VX70_HANDLER(OptionsInit) { return 1; }

VX70_HANDLER(OptionsCommand) { return 0; }
