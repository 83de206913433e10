// Program Options: the container 3218 and its pages 3214-3217, 3219.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(OptionsInit) { return 1; }

VX70_HANDLER(OptionsCommand) { return 0; }
