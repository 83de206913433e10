// Change Password (3632).
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(ChangePasswordInit) { return 1; }

VX70_HANDLER(ChangePasswordCommand) { return 0; }
